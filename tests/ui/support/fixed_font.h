// A font whose every character (the space too) is 10 pixels wide, from the
// fake faces, for the text edit's tests, and a taller one of the same widths
// (ascender 15, descender 5) where a painter uses two fonts; the real font
// list comes back when the scope ends.
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
    spec.lineHeight = 22, spec.ascender = 15, spec.descender = 5;
    faces_.SetFace(u"FakeTall", spec);
    tall = AcquireFont(u"FakeTall", 8, false, false);
  }
  ~CFixedFontScope() {
    if (font) font->Release();
    if (tall) tall->Release();
    delete list_;
    InitUiTestPlatform();
  }
  CFont* font = nullptr;
  CFont* tall = nullptr;

 private:
  fonttest::CFakeFaces faces_;
  fonttest::CFontListScope* list_ = nullptr;
};
