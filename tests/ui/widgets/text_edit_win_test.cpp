// The text edit in a real window: its clipboard keys through the system's
// clipboard, and its caret blink posting ticks to the window.
#include <gtest/gtest.h>

#include <string>

#include "render/text/font.h"
#include "runtime/platform.h"
#include "support/virtual_clock.h"
#include "ui/support/real_window.h"
#include "ui/support/scripted_window_system.h"
#include "ui/widgets/text_edit.h"

namespace {

class CEditFrame : public CFrameWindow<CEditFrame> {
 public:
  static constexpr u32 kStyle = 0x6470;
  static constexpr u32 kCaretSlot = kCaretSlotBurnImage;
  static constexpr i32 kMinTrackWidth = 100, kMinTrackHeight = 100;
  auto Children() { return std::tie(first, second); }
  void CreateControls() {
    const Rect a = {10, 10, 210, 32}, b = {10, 40, 210, 62};
    first.edit.font = second.edit.font = UiFontNormal();
    first.change = BindCallback<CEditFrame, &CEditFrame::OnChange>(this, this);
    first.Create(kFlagVisible | kFlagTabStop, &a, this);
    second.Create(kFlagVisible | kFlagTabStop, &b, this);
  }
  void OnChange() { ++changes; }
  CTextEdit<CEditFrame> first, second;
  int changes = 0;
};

std::u16string ClipboardText() {
  CWideString s;
  GetClipboardText(&s, 100000);
  return std::u16string(s.c_str(), s.GetLength());
}
std::u16string TextOf(const CTextEdit<CEditFrame>& e) { return std::u16string(e.edit.text.c_str(), e.edit.Length()); }

struct TextEditWindow : testing::Test {
  static void SetUpTestSuite() {
    frame = new CEditFrame;
    ASSERT_TRUE(frame->CreateAt(Rect{100, 100, 400, 260}, false));
    PumpPending();
  }
  static void TearDownTestSuite() {
    delete frame;  // destroys the window
    frame = nullptr;
  }
  void TearDown() override { StoreFocusedWidget(nullptr); }
  // Ctrl held through the input seam while the key goes down.
  void CtrlKey(CTextEdit<CEditFrame>& e, u32 key) {
    keys.SetKeyDown(17, true);
    e.OnKeyDown(key, 1, 0);
    keys.SetKeyDown(17, false);
  }
  static CEditFrame* frame;
  CScriptedWindowSystem keys;
};
CEditFrame* TextEditWindow::frame = nullptr;

TEST_F(TextEditWindow, CopyCutAndPasteGoThroughTheClipboard) {
  CTextEdit<CEditFrame>& e = frame->first;
  e.SetFocus();
  e.SetText(u"hello world");
  e.edit.selectionStart = 0, e.edit.selectionEnd = e.edit.caret = 5;
  CtrlKey(e, 67);
  EXPECT_EQ(u"hello", ClipboardText());
  e.edit.selectionStart = 6, e.edit.selectionEnd = e.edit.caret = 11;
  const int before = frame->changes;
  CtrlKey(e, 120);  // lower-case x
  EXPECT_EQ(u"world", ClipboardText());
  EXPECT_EQ(u"hello ", TextOf(e));
  EXPECT_EQ(before + 1, frame->changes);
  CtrlKey(e, 86);
  EXPECT_EQ(u"hello world", TextOf(e));
  EXPECT_EQ(11, e.edit.caret);
  e.edit.selectionStart = 0, e.edit.selectionEnd = e.edit.caret = 5;
  CtrlKey(e, 65);  // no select-all key: nothing changes
  EXPECT_EQ(0, e.edit.selectionStart);
  EXPECT_EQ(5, e.edit.selectionEnd);
}

TEST_F(TextEditWindow, APasteLongerThanTheLimitIsCut) {
  CTextEdit<CEditFrame>& e = frame->first;
  e.SetFocus();
  e.SetText(u"ab");
  const std::u16string big(6000, u'x');
  ASSERT_TRUE(SetClipboardText(big.data(), static_cast<i32>(big.size())));
  CtrlKey(e, 118);
  EXPECT_EQ(kEditTextLimit, e.edit.Length());
  EXPECT_EQ(u"ab", TextOf(e).substr(0, 2));
  EXPECT_EQ(kEditTextLimit, e.edit.caret);
}

TEST_F(TextEditWindow, TheCaretBlinksByPostedTicksAndOneBlinkRunsPerClass) {
  CVirtualClock clock;
  CInstalledClock installed(clock);
  CTextEdit<CEditFrame>& e = frame->first;
  auto& blink = CTextEdit<CEditFrame>::Blink();
  e.SetFocus();
  ASSERT_TRUE(blink.IsRunning());
  ASSERT_EQ(&e, blink.Target());
  EXPECT_TRUE(e.edit.state & kEditCaretShown);
  // The worker only posts: without the messages being handled nothing moves.
  const u64 start = clock.NowMs();
  while (clock.NowMs() - start < 700) SystemClock().Sleep(1);
  EXPECT_TRUE(e.edit.state & kEditCaretShown);
  EXPECT_TRUE(PumpUntil([&] { return !(e.edit.state & kEditCaretShown); }));
  EXPECT_TRUE(PumpUntil([&] { return (e.edit.state & kEditCaretShown) != 0; })) << "shown again half a second later";
  // Stopping never needs the window lock.
  frame->second.SetFocus();
  EXPECT_EQ(&frame->second, blink.Target()) << "the first edit's blink stopped for the second's";
  {
    CLockGuard hold(frame->lock);
    blink.Stop();
  }
  EXPECT_FALSE(blink.IsRunning());
}

// Shift read through the key seam at each key, both ways; the owner is told
// of every navigation key that moved the caret or collapsed a selection,
// and of nothing else.
TEST_F(TextEditWindow, ShiftArrowsSelectBothWaysAndTheOwnerHearsOnlyMoves) {
  CTextEdit<CEditFrame>& e = frame->first;
  e.SetFocus();
  e.SetText(u"hello world");
  const int start = frame->changes;
  const struct {
    u32 key;
    bool shift;
    i32 caret, selStart, selEnd;
    int told;  // change callbacks so far
  } walk[] = {
      {37, true, 10, 10, 11, 1}, {37, true, 9, 9, 11, 2},  {39, true, 10, 10, 11, 3}, {39, true, 11, 11, 11, 4},
      {39, true, 11, 11, 11, 4},  // at the end: nothing, nobody told
      {36, true, 0, 0, 11, 5},    {39, false, 0, 0, 0, 6},  // collapses where the caret is
      {36, false, 0, 0, 0, 6},    {35, false, 11, 11, 11, 7}, {35, false, 11, 11, 11, 7},
  };
  for (const auto& s : walk) {
    keys.SetKeyDown(16, s.shift);
    e.edit.state &= ~kEditCaretShown;  // as the blink hid it
    e.OnKeyDown(s.key, 1, 0);
    keys.SetKeyDown(16, false);
    const int step = static_cast<int>(&s - walk);
    EXPECT_EQ(s.caret, e.edit.caret) << step;
    EXPECT_EQ(s.selStart, e.edit.selectionStart) << step;
    EXPECT_EQ(s.selEnd, e.edit.selectionEnd) << step;
    EXPECT_EQ(s.told, frame->changes - start) << step;
    EXPECT_TRUE(e.edit.state & kEditCaretShown) << "every key shows the caret, also one that changes nothing";
  }
}

// Losing the focus stops the blink and leaves the selection and the
// caret bit as they were; a late tick for the edit changes nothing.
TEST_F(TextEditWindow, LosingTheFocusStopsTheBlinkAndKeepsTheSelection) {
  CTextEdit<CEditFrame>& e = frame->first;
  auto& blink = CTextEdit<CEditFrame>::Blink();
  e.SetFocus();
  e.SetText(u"hello world");
  e.edit.selectionStart = 2, e.edit.selectionEnd = e.edit.caret = 7;
  ASSERT_TRUE(blink.IsRunning());
  ASSERT_EQ(&e, blink.Target());
  const u8 shown = e.edit.state & kEditCaretShown;
  frame->SetFocusedWidget(nullptr);
  EXPECT_FALSE(blink.IsRunning());
  EXPECT_EQ(nullptr, blink.Target());
  EXPECT_TRUE(e.edit.selectionStart == 2 && e.edit.selectionEnd == 7 && e.edit.caret == 7);
  EXPECT_EQ(shown, e.edit.state & kEditCaretShown);
  CTextEdit<CEditFrame>::OnCaretTick(&e);
  EXPECT_EQ(shown, e.edit.state & kEditCaretShown) << "not focused: the tick is ignored";
  // Focus back: everything is selected and the blink runs for it again.
  e.SetFocus();
  EXPECT_TRUE(blink.IsRunning() && blink.Target() == &e);
  EXPECT_TRUE(e.edit.selectionStart == 0 && e.edit.selectionEnd == 11 && e.edit.caret == 11);
  EXPECT_TRUE(e.edit.state & kEditCaretShown);
  frame->SetFocusedWidget(nullptr);
}

}  // namespace
