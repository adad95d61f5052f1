// A font whose every character (the space too) is 10 pixels wide, from the
// fake faces, for the text edit's tests, and a taller one of the same widths
// (ascender 15, descender 5) where a painter uses two fonts; the real font
// list comes back when the scope ends.
#pragma once
#include <string>

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
    tall = AcquireTaller(22, 15, 5, 8);
  }
  ~CFixedFontScope() {
    if (font) font->Release();
    if (tall) tall->Release();
    delete list_;
    InitUiTestPlatform();
  }
  // Another face as wide whose lines are `lineHeight` high, for painters
  // that mix two fonts (each set of metrics a face of its own); the caller
  // releases it. Without a descender the line is ascender and descender.
  CFont* AcquireTaller(double lineHeight, double ascender, double descender = -1, u32 size = 12) {
    fonttest::FakeFaceSpec spec = fonttest::FakeFaceCovering(32, 126, 10);
    spec.spaceAdvance = 10;
    spec.lineHeight = lineHeight;
    spec.ascender = ascender;
    spec.descender = descender < 0 ? lineHeight - ascender : descender;
    std::u16string name = u"FakeTall";
    for (char c : std::to_string(static_cast<int>((lineHeight * 100 + ascender) * 100 + spec.descender)))
      name.push_back(static_cast<char16_t>(c));
    faces_.SetFace(name.c_str(), spec);
    return AcquireFont(name.c_str(), size, false, false);
  }
  CFont* font = nullptr;
  CFont* tall = nullptr;

 private:
  fonttest::CFakeFaces faces_;
  fonttest::CFontListScope* list_ = nullptr;
};
