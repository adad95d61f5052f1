// The content painters: the look words and arguments they hand to the
// theme (recorded), and what they draw on the canvas themselves (read back
// from the command stream).
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "ui/support/display_list_reader.h"
#include "ui/support/fake_owner.h"
#include "ui/support/fixed_font.h"
#include "ui/support/memory_canvas.h"
#include "ui/support/recording_theme_painter.h"
#include "ui/widgets/button.h"
#include "ui/widgets/check_box.h"
#include "ui/widgets/gradient_panel.h"
#include "ui/widgets/label.h"
#include "ui/widgets/painted_controls.h"
#include "ui/widgets/picture.h"
#include "ui/widgets/text_edit.h"

namespace {

using Button = CButton<CFakeOwner>;

TEST(ControlPainters, ButtonLooks) {
  const struct {
    u8 state;
    bool disabled, focused;
    u32 style, look;
  } cases[] = {
      {0, false, false, 0x10, 0x10},
      {Button::kHot, false, false, 0x10, 0x12},
      {Button::kHot | Button::kHeld, false, false, 0x10, 0x16},
      {Button::kHeld, false, false, 0x10, 0x10},  // held off the button: not pressed
      {Button::kKeyPressed, false, false, 0x10, 0x14},
      {0, true, false, 0x2010, 0x11},  // disabled: never the default look
      {0, false, true, 0x2010, 0x3010},
  };
  for (const auto& c : cases) {
    CFakeOwner owner;
    Button b;
    const Rect r = {0, 0, 80, 24};
    b.Create(kButtonFlags | (c.disabled ? kFlagDisabled : 0), &r, &owner);
    b.state = c.state;
    b.style = c.style;
    if (c.focused) StoreFocusedWidget(&b);
    EXPECT_EQ(c.look, ButtonLook(b)) << int(c.state) << " " << c.style;
    StoreFocusedWidget(nullptr);
  }
}

TEST(ControlPainters, CheckBoxLooksCarryTheStyleAndEachStateBit) {
  using Box = CCheckBox<CFakeOwner>;
  const struct {
    u8 state;
    bool disabled, focused;
    u32 style;
    i32 look;
  } cases[] = {{0, false, false, kCheckTicked, kCheckTicked},
               {Box::kHighlighted, false, false, kCheckTextRight, kCheckTextRight | kLookHot},
               {0, false, true, kCheckTicked, kCheckTicked | kLookHot},
               {Box::kHot | Box::kHeld, false, false, 0, 0},  // held: no look of its own
               {0, true, false, kCheckTicked, kCheckTicked | kLookDisabled},
               {Box::kHighlighted, true, false, 0, kLookDisabled | kLookHot}};
  for (const auto& c : cases) {
    CRecordingThemePainter theme;
    CFakeOwner owner;
    Box box;
    const Rect r = {0, 0, 120, 20};
    box.Create(kFlagVisible | (c.disabled ? kFlagDisabled : 0), &r, &owner);
    box.state = c.state;
    box.style = c.style;
    box.text.Assign(u"Verify");
    if (c.focused) StoreFocusedWidget(&box);
    CMemoryCanvas m(120, 20);
    box.PaintContent(m.canvas);
    StoreFocusedWidget(nullptr);
    const std::vector<ThemeCall> calls = theme.CallsOf('k');
    ASSERT_EQ(1u, calls.size());
    EXPECT_EQ(c.look, calls[0].state) << int(c.state) << " " << c.disabled << " " << c.focused;
    EXPECT_EQ(u"Verify", calls[0].text);
  }
}

// A link is drawn in the link colour only while the pointer is over it; a
// plain label keeps its own colour even when hot. The canvas's colour
// comes back afterwards.
TEST(ControlPainters, ALinkTakesTheLinkColourOnlyWhileHot) {
  CFixedFontScope fixed;
  ASSERT_TRUE(fixed.font);
  const struct {
    u32 decoration;
    u8 state;
    u32 colour;
  } cases[] = {{CLabel<CFakeOwner>::kLink, CLabel<CFakeOwner>::kHot, kLabelLinkColour},
               {CLabel<CFakeOwner>::kLink, 0, 0xFF112233u},
               {0, CLabel<CFakeOwner>::kHot, 0xFF112233u}};
  for (const auto& c : cases) {
    CFakeOwner owner;
    CLabel<CFakeOwner> l;
    l.font = fixed.font;
    l.textColour = 0xFF112233u;
    l.decoration = c.decoration;
    l.text.Assign(u"link");
    const Rect r = {0, 0, 80, 20};
    l.Create(kFlagVisible, &r, &owner);
    l.state = c.state;
    CMemoryCanvas m(80, 20);
    m.canvas.textColour = 0xFF445566u;
    l.PaintContent(m.canvas);
    const std::vector<DrawnRecord> runs = RecordsOf(ReadRecords(m.canvas), kOpTextRun);
    ASSERT_EQ(1u, runs.size());
    EXPECT_EQ(c.colour, runs[0].colour) << c.decoration << " " << int(c.state);
    EXPECT_EQ(0xFF445566u, m.canvas.textColour);
  }
}

// The empty track list's hint: its text in the pale hint colour, centred,
// and nothing once there is a row.
TEST(ControlPainters, TheDropHintShowsOnlyOverAnEmptyList) {
  CFixedFontScope fixed;
  const Rect content = {0, 0, 300, 100};
  CMemoryCanvas empty(300, 100);
  empty.canvas.textColour = 0xFF000000u;
  PaintDropHint(empty.canvas, content, 0, fixed.font);
  const std::vector<DrawnRecord> runs = RecordsOf(ReadRecords(empty.canvas), kOpTextRun);
  ASSERT_FALSE(runs.empty());
  EXPECT_EQ(0xE0C0C0C0u, runs[0].colour);
  EXPECT_GT(runs[0].x0, 0.0) << "centred, not at the left edge";
  EXPECT_EQ(0xFF000000u, empty.canvas.textColour);
  CMemoryCanvas filled(300, 100);
  PaintDropHint(filled.canvas, content, 1, fixed.font);
  EXPECT_TRUE(RecordsOf(ReadRecords(filled.canvas), kOpTextRun).empty());
}

// The panel's gradient runs from its bottom colour at y 0 to its top colour
// at its height; a button hands its own and its disabled icon strips to
// the theme.
TEST(ControlPainters, APanelsGradientStartsAtTheBottomAndAButtonHandsOverBothStrips) {
  CFakeOwner owner;
  CGradientPanel<CFakeOwner> panel;
  panel.bottomColour = 0xFF0000FFu;
  panel.topColour = 0xFFFF0000u;
  const Rect r = {0, 0, 60, 40};
  panel.Create(kFlagVisible, &r, &owner);
  CMemoryCanvas m(60, 40);
  panel.PaintContent(m.canvas);
  const std::vector<DrawnRecord> rects = RecordsOf(ReadRecords(m.canvas), kOpRect);
  ASSERT_EQ(1u, rects.size());
  EXPECT_TRUE(rects[0].paint == kPaintGradientY && rects[0].colour == 0xFF0000FFu);
  CRecordingThemePainter theme;
  CImageStrip icons, grey;
  Button b;
  b.iconStrip = &icons;
  b.disabledIconStrip = &grey;
  b.Create(kButtonFlags, &r, &owner);
  CMemoryCanvas bm(60, 40);
  PaintButton(bm.canvas, b);
  EXPECT_TRUE(bm.state.iconStrip == &icons && bm.state.disabledIconStrip == &grey);
  // Without a disabled strip, a disabled button keeps its icon.
  b.disabledIconStrip = nullptr;
  CMemoryCanvas plain(60, 40);
  PaintButton(plain.canvas, b);
  EXPECT_TRUE(plain.state.iconStrip == &icons && plain.state.disabledIconStrip == &icons);
}

TEST(ControlPainters, LabelLinesCloseAFrameWithTheSidesBetween) {
  CFakeOwner owner;
  CLabel<CFakeOwner> l;
  l.decoration = 0xF;
  l.lineColour = 0xFF123456u;
  const Rect r = {0, 0, 50, 20};
  l.Create(kFlagVisible, &r, &owner);
  CMemoryCanvas m(60, 30);
  l.PaintContent(m.canvas);
  const std::vector<DrawnRecord> rects = RecordsOf(ReadRecords(m.canvas), kOpRect);
  ASSERT_EQ(4u, rects.size()) << "the lines only: no own text";
  const double expected[4][4] = {{0, 0, 50, 1}, {0, 19, 50, 20}, {0, 1, 1, 19}, {49, 1, 50, 19}};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(expected[i][0], rects[i].x0);
    EXPECT_EQ(expected[i][1], rects[i].y0);
    EXPECT_EQ(expected[i][2], rects[i].x1);
    EXPECT_EQ(expected[i][3], rects[i].y1);
  }
}

TEST(ControlPainters, APictureScalesAboutItsMiddleBelowZoomOne) {
  const struct {
    double zoom, opacity;
    size_t bitmaps;
    double x0, y0, x1, y1;
  } cases[] = {{0.5, 1, 1, 25, 15, 75, 45}, {1.0, 0.5, 1, 0, 0, 16, 16}, {0, 1, 0, 0, 0, 0, 0}, {0.5, 0, 0, 0, 0, 0, 0}};
  for (const auto& c : cases) {
    CFakeOwner owner;
    CPicture<CFakeOwner> p;
    std::vector<u32> px(16 * 16, 0xFF00FF00u);
    p.image.AppendFrame(BitmapView{16, 16, 16, px.data()});
    p.zoom = c.zoom, p.opacity = c.opacity;
    const Rect r = {0, 0, 100, 60};
    p.Create(kFlagVisible, &r, &owner);
    CMemoryCanvas m(100, 60);
    p.PaintContent(m.canvas);
    const std::vector<DrawnRecord> bitmaps = RecordsOf(ReadRecords(m.canvas), kOpBitmap);
    ASSERT_EQ(c.bitmaps, bitmaps.size()) << c.zoom;
    if (c.bitmaps) {
      EXPECT_EQ(c.x0, bitmaps[0].x0);
      EXPECT_EQ(c.y0, bitmaps[0].y0);
      EXPECT_EQ(c.x1, bitmaps[0].x1);
      EXPECT_EQ(c.y1, bitmaps[0].y1);
    }
  }
}

TEST(ControlPainters, ProgressFractions) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_EQ(0.25, ProgressFraction(0, 100, 25));
  EXPECT_EQ(0.5, ProgressFraction(10, 10, 10.5)) << "equal bounds: value less minimum";
  EXPECT_EQ(1.0, ProgressFraction(10, 10, 40));
  EXPECT_EQ(0.0, ProgressFraction(0, 100, nan));
  EXPECT_EQ(0.0, ProgressFraction(0, 100, -5));
}

TEST(ControlPainters, StatusBarItemsShareTheWidthLeftOfTheGrip) {
  CRecordingThemePainter theme;
  StatusBarItem items[2] = {{-1, -1, -1, CWideString(u"Ready")}, {120, 3, -1, CWideString(u"CD")}};
  CMemoryCanvas m(400, 24);
  PaintStatusBarItems(m.canvas, items, 2, 400, 24, false, nullptr);
  ASSERT_EQ(3u, theme.calls.size());
  EXPECT_EQ(1.0, theme.calls[0].value) << "the grip while not maximised";
  const Rect a = theme.calls[1].item, b = theme.calls[2].item;
  EXPECT_TRUE(a.left == 0 && a.top == 0 && a.right == 259 && a.bottom == 21);
  EXPECT_TRUE(b.left == 262 && b.right == 379 && b.bottom == 21);
  EXPECT_EQ(u"CD", theme.calls[2].text);
  EXPECT_EQ(3, theme.calls[2].image);
  theme.calls.clear();
  PaintStatusBarItems(m.canvas, items, 2, 400, 24, true, nullptr);
  EXPECT_EQ(0.0, theme.calls[0].value);
  EXPECT_EQ(280, theme.calls[1].item.right + 3) << "maximised: the whole width";
}

struct EditPainter : testing::Test {
  void SetUp() override {
    ASSERT_TRUE(fixed.font);
    e.font = fixed.font;
  }
  std::vector<DrawnRecord> Paint(bool focused) {
    CMemoryCanvas m(200, 22);
    PaintTextEdit(m.canvas, e, 200, 22, focused);
    return ReadRecords(m.canvas);
  }
  static const DrawnRecord* Find(const std::vector<DrawnRecord>& all, u32 op, u32 colour) {
    for (const DrawnRecord& r : all)
      if (r.op == op && r.colour == colour) return &r;
    return nullptr;
  }
  CFixedFontScope fixed;
  CEditText e;
};

TEST_F(EditPainter, AnUnfocusedEditShowsNoSelectionAndNoCaret) {
  e.SetText(u"hello");
  e.selectionStart = 1, e.selectionEnd = e.caret = 3;
  e.state = kEditCaretShown;
  const std::vector<DrawnRecord> unfocused = Paint(false);
  EXPECT_EQ(nullptr, Find(unfocused, kOpRoundRect, ThemeSelectionColor()));
  EXPECT_EQ(nullptr, Find(unfocused, kOpRect, 0xFF000000u));
  EXPECT_NE(nullptr, Find(unfocused, kOpRoundRect, 0xBFFFFFFFu));
  EXPECT_NE(nullptr, Find(unfocused, kOpRoundRectFrame, 0x7F81A1C1u));
  const std::vector<DrawnRecord> focused = Paint(true);
  const DrawnRecord* selection = Find(focused, kOpRoundRect, ThemeSelectionColor());
  ASSERT_NE(nullptr, selection);
  EXPECT_EQ(4 + 10 - 1, selection->x0);
  EXPECT_EQ(4 + 30 + 2, selection->x1);
  const DrawnRecord* caret = Find(focused, kOpRect, 0xFF000000u);
  ASSERT_NE(nullptr, caret);
  EXPECT_EQ(34, caret->x0);
}

TEST_F(EditPainter, ASelectionIsShownOnlyWhereItReachesTheVisibleText) {
  e.SetText(u"abcdefghijklmnopqrstuvwxyz");
  e.firstVisible = 10;
  e.selectionStart = 5, e.selectionEnd = e.caret = 14;
  const std::vector<DrawnRecord> reaching = Paint(true);
  const DrawnRecord* from = Find(reaching, kOpRoundRect, ThemeSelectionColor());
  ASSERT_NE(nullptr, from);
  EXPECT_EQ(4 - 1, from->x0) << "from the left end of the visible text";
  e.selectionEnd = e.caret = 10;
  EXPECT_EQ(nullptr, Find(Paint(true), kOpRoundRect, ThemeSelectionColor()));
  e.SetText(u"");
  e.state = kEditCaretShown;
  const std::vector<DrawnRecord> empty = Paint(true);
  const DrawnRecord* caret = Find(empty, kOpRect, 0xFF000000u);
  ASSERT_NE(nullptr, caret);
  EXPECT_EQ(4, caret->x0) << "an empty edit's caret at the margin";
}

TEST_F(EditPainter, AlignmentAppliesOnlyWhileTheTextFits) {
  e.SetText(u"abc");
  e.options = kEditAlignRight;
  std::vector<DrawnRecord> runs = RecordsOf(Paint(false), kOpTextRun);
  ASSERT_EQ(1u, runs.size());
  EXPECT_EQ(200 - 4 - 30, runs[0].x0);
  e.SetText(u"abcdefghijklmnopqrstuvwxyz");
  runs = RecordsOf(Paint(false), kOpTextRun);
  ASSERT_EQ(1u, runs.size());
  EXPECT_EQ(4, runs[0].x0);
}

}  // namespace
