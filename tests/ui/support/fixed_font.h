// A font whose every character (the space too) is 10 pixels wide, from the
// fake faces, for the text edit's tests; the real font list comes back when
// the scope ends.
#pragma once
#include "render/text/font.h"
#include "support/font_fake_faces.h"
#include "ui/support/ui_test_platform.h"

class CFixedFontScope {
 public:
  CFixedFontScope() {
    fonttest::FakeFaceSpec spec = fonttest::FakeFaceCovering(32, 126, 10);
    spec.spaceAdvance = 10;
    faces_.SetFace(u"FakeMono", spec);
    list_ = new fonttest::CFontListScope(&faces_);
    font = AcquireFont(u"FakeMono", 8, false, false);
  }
  ~CFixedFontScope() {
    if (font) font->Release();
    delete list_;
    InitUiTestPlatform();
  }
  // Another face as wide whose lines are `lineHeight` high ("FakeTall"),
  // for painters that mix two fonts; the caller releases it.
  CFont* AcquireTaller(double lineHeight, double ascender) {
    fonttest::FakeFaceSpec spec = fonttest::FakeFaceCovering(32, 126, 10);
    spec.spaceAdvance = 10;
    spec.lineHeight = lineHeight;
    spec.ascender = ascender;
    spec.descender = lineHeight - ascender;
    faces_.SetFace(u"FakeTall", spec);
    return AcquireFont(u"FakeTall", 12, false, false);
  }
  CFont* font = nullptr;

 private:
  fonttest::CFakeFaces faces_;
  fonttest::CFontListScope* list_ = nullptr;
};
