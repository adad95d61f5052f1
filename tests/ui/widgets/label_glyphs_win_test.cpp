// Labels in a real window, at the default font, drawn from their top in the
// heights the program's windows use: every glyph shows whole inside the
// label's own box (the accents of capitals, which rise above the font's
// ascender, and the descenders), exactly as the same text shows in a tall
// label with room around it, and the controls just above and below keep
// every pixel. A text of two lines, by a line feed or wrapped, whose
// second line (with its descenders) does not fit whole under the first
// shows only its first line there, whole: the one line the roomy label
// shows.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ui/support/real_window.h"
#include "ui/widgets/label.h"

namespace {

constexpr u32 kBlack = 0xFF000000u, kWhite = 0xFFFFFFFFu, kFillColour = 0xFF3060A0u;
constexpr i32 kHeights[3] = {13, 16, 22};

template <class TParent>
class CFill : public CWidgetOf<CFill<TParent>, TParent> {
 public:
  void PaintContent(CCanvas& canvas) { canvas.FillRect(0, 0, this->width, this->height, kFillColour); }
};

class CLabelFrame : public CFrameWindow<CLabelFrame> {
 public:
  static constexpr u32 kStyle = 0x6670;
  static constexpr i32 kMinTrackWidth = 100, kMinTrackHeight = 100;

  CLabel<CLabelFrame> labels[3];
  CLabel<CLabelFrame> roomy;  // the reference: one line centred in 40 rows
  CFill<CLabelFrame> fills[4];
  auto Children() {
    return std::tie(labels[0], labels[1], labels[2], roomy, fills[0], fills[1], fills[2], fills[3]);
  }
  // From the top down: a fill, a label, a fill, ... each touching the next.
  void CreateControls() {
    i32 top = GetContentRect().bottom - 10;
    for (i32 i = 0; i < 4; ++i) {
      const Rect f = {10, top - 10, 230, top};
      fills[i].Create(kFlagVisible, &f, this);
      top -= 10;
      if (i == 3) break;
      const Rect l = {10, top - kHeights[i], 230, top};
      labels[i].textColour = kWhite;
      labels[i].Create(kFlagVisible | kFlagSeeThrough, &l, this);
      top -= kHeights[i];
    }
    const Rect r = {10, 10, 230, 50};
    roomy.textColour = kWhite;
    roomy.alignment = CLabel<CLabelFrame>::kAlignMiddle;
    roomy.Create(kFlagVisible | kFlagSeeThrough, &r, this);
  }
  void PaintDecoration(CCanvas& canvas) {
    const Rect c = GetContentRect();
    canvas.FillRect(0, 0, c.right, c.bottom, kBlack);
  }
};

// The inked part of a widget's pixels (rows from the bottom): the rows and
// columns between the first and last pixel that is not the black ground.
struct Ink {
  i32 width = 0, height = 0;
  std::vector<u32> pixels;
  bool operator==(const Ink& o) const { return width == o.width && height == o.height && pixels == o.pixels; }
};
Ink InkOf(const std::vector<u32>& pixels, i32 width) {
  const i32 height = static_cast<i32>(pixels.size()) / width;
  i32 x0 = width, x1 = -1, y0 = height, y1 = -1;
  for (i32 y = 0; y < height; ++y)
    for (i32 x = 0; x < width; ++x)
      if (pixels[static_cast<size_t>(y) * width + x] != kBlack) {
        x0 = std::min(x0, x);
        x1 = std::max(x1, x);
        y0 = std::min(y0, y);
        y1 = std::max(y1, y);
      }
  Ink ink;
  if (x1 < 0) return ink;
  ink.width = x1 - x0 + 1;
  ink.height = y1 - y0 + 1;
  for (i32 y = y0; y <= y1; ++y)
    for (i32 x = x0; x <= x1; ++x) ink.pixels.push_back(pixels[static_cast<size_t>(y) * width + x]);
  return ink;
}

}  // namespace

TEST(LabelGlyphs, EveryGlyphShowsWholeInsideTheLabelsBox) {
  CLabelFrame frame;
  ASSERT_TRUE(frame.CreateAt(Rect{100, 100, 400, 300}, false));
  PumpPending();
  const std::u16string texts[] = {
      u"\u00DC\u00C9\u00D1",                          // Ü É Ñ: accents alone
      u"\u00D1and\u00FA \u00DCber \u00C9cole",        // words as names show them
      u"\u00C9jgy|\u00C5\u00D1 (\u00C1q)",            // accents and descenders at once
      u"\u00C9cole jgy\n\u00C1vila y \u00DAbeda",      // two lines by a line feed
      u"\u00C1vila y \u00DAbeda, fotograf\u00EDas de las vacaciones de verano 2023.jpg",  // wrapped
  };
  for (const std::u16string& text : texts) {
    SCOPED_TRACE(std::string(text.begin(), text.end()));
    for (CLabel<CLabelFrame>* l : {&frame.labels[0], &frame.labels[1], &frame.labels[2], &frame.roomy}) {
      l->text.Assign(text.c_str());
      l->LayoutText();
    }
    for (i32 bands : {1, 4}) {
      SCOPED_TRACE(bands);
      frame.bandCount = bands;
      frame.Repaint();
      const Ink whole = InkOf(SurfacePixelsOver(frame, frame.roomy.ToWindowRect()), frame.roomy.width);
      ASSERT_GE(whole.height, 11) << "the roomy label shows the accents";
      for (i32 i = 0; i < 3; ++i) {
        SCOPED_TRACE(kHeights[i]);
        const CLabel<CLabelFrame>& l = frame.labels[i];
        EXPECT_TRUE(InkOf(SurfacePixelsOver(frame, l.ToWindowRect()), l.width) == whole)
            << "every glyph's every pixel, within the label's box";
      }
      for (const CFill<CLabelFrame>& f : frame.fills)
        for (u32 p : SurfacePixelsOver(frame, f.ToWindowRect())) ASSERT_EQ(kFillColour, p) << "a neighbour drawn over";
    }
  }
  DestroyWindow(static_cast<HWND>(frame.Handle()));
  PumpPending();
}
