// The text edit's rules on a font whose every character is 10 pixels wide.
#include <gtest/gtest.h>

#include <string>

#include "runtime/startup.h"
#include "support/virtual_clock.h"
#include "ui/support/fixed_font.h"
#include "ui/widgets/caret_blink.h"
#include "ui/widgets/edit_text.h"

namespace {

constexpr u32 kLeft = 37, kRight = 39, kHome = 36, kEnd = 35, kBack = 8, kDel = 46;

struct EditText : testing::Test {
  void SetUp() override {
    ASSERT_TRUE(fixed.font);
    e.font = fixed.font;
  }
  void Set(const char16_t* text, i32 caret, i32 start, i32 end, i32 first = 0) {
    e.text.Assign(text);
    e.caret = caret, e.selectionStart = start, e.selectionEnd = end, e.firstVisible = first;
  }
  std::u16string Text() const { return std::u16string(e.text.c_str(), e.Length()); }
  CFixedFontScope fixed;
  CEditText e;
};

TEST_F(EditText, KeyTable) {
  const struct {
    const char16_t* text;
    i32 caret, start, end;
    u32 key;
    bool shift, ctrl;
    const char16_t* after;
    i32 caretAfter, startAfter, endAfter;
    u32 outcome;  // the flags that must be set
  } cases[] = {
      {u"hello world", 2, 2, 2, kRight, false, false, u"hello world", 3, 3, 3, kEditMoved | kEditNavigation},
      {u"hello world", 5, 2, 5, kRight, false, false, u"hello world", 5, 5, 5, kEditMoved},  // collapses only
      {u"hello", 5, 5, 5, kRight, false, false, u"hello", 5, 5, 5, 0},
      {u"hello world", 2, 2, 2, kRight, false, true, u"hello world", 5, 5, 5, kEditMoved},
      {u"hello  world", 5, 5, 5, kRight, false, true, u"hello  world", 12, 12, 12, kEditMoved},
      {u"hello world", 2, 2, 2, kRight, true, false, u"hello world", 3, 2, 3, kEditMoved},
      {u"hello world", 4, 2, 4, kRight, true, false, u"hello world", 5, 2, 5, kEditMoved},
      {u"hello world", 2, 2, 6, kRight, true, false, u"hello world", 3, 3, 6, kEditMoved},
      {u"hello world", 1, 1, 1, kRight, true, true, u"hello world", 5, 1, 5, kEditMoved},
      {u"hello world", 5, 5, 5, kLeft, false, false, u"hello world", 4, 4, 4, kEditMoved},
      {u"hello world", 0, 0, 0, kLeft, false, false, u"hello world", 0, 0, 0, 0},
      {u"ab cd", 3, 3, 3, kLeft, false, true, u"ab cd", 0, 0, 0, kEditMoved},
      {u"ab cd ef", 7, 7, 7, kLeft, false, true, u"ab cd ef", 6, 6, 6, kEditMoved},
      {u" abc", 3, 3, 3, kLeft, false, true, u" abc", 0, 0, 0, kEditMoved},  // index 0 is never looked at
      {u"hello", 3, 3, 3, kLeft, true, false, u"hello", 2, 2, 3, kEditMoved},
      {u"ab cd ef", 7, 7, 7, kLeft, true, true, u"ab cd ef", 6, 6, 7, kEditMoved},
      {u"hello world", 4, 2, 6, kHome, false, false, u"hello world", 0, 0, 0, kEditMoved},
      {u"hello world", 4, 2, 6, kHome, true, false, u"hello world", 0, 0, 6, kEditMoved},
      {u"hello world", 4, 4, 6, kEnd, true, false, u"hello world", 11, 4, 11, kEditMoved},
      {u"hello world", 11, 2, 11, kEnd, false, false, u"hello world", 11, 11, 11, kEditMoved},
      {u"hello", 0, 0, 3, kBack, false, false, u"hello", 0, 0, 3, 0},  // caret at 0: nothing
      {u"hello", 3, 3, 3, kBack, false, false, u"helo", 2, 2, 2, kEditTextChanged},
      {u"hello", 3, 1, 3, kBack, false, false, u"hlo", 1, 1, 1, kEditTextChanged},
      {u"hello", 0, 0, 3, kDel, false, false, u"lo", 0, 0, 0, kEditTextChanged},
      {u"hello", 5, 5, 5, kDel, false, false, u"hello", 5, 5, 5, 0},
      {u"hello", 1, 1, 1, kDel, false, false, u"hllo", 1, 1, 1, kEditTextChanged},
      {u"hello", 1, 1, 3, 67, false, true, u"hello", 1, 1, 3, kEditCopy},
      {u"hello", 1, 1, 3, 118, false, true, u"hello", 1, 1, 3, kEditPaste},
      {u"hello", 1, 1, 1, 88, false, true, u"hello", 1, 1, 1, 0},  // nothing to cut
      {u"hello", 1, 1, 3, 120, false, true, u"hello", 1, 1, 3, kEditCut},
      {u"hello", 1, 1, 3, 45, true, false, u"hello", 1, 1, 3, kEditPaste},
      {u"hello", 1, 1, 3, 45, false, true, u"hello", 1, 1, 3, kEditCopy},
      {u"hello", 1, 1, 3, 65, false, true, u"hello", 1, 1, 3, 0},  // no select-all key
      {u"hello", 40, -3, 99, kLeft, false, false, u"hello", 5, 5, 5, kEditMoved},  // indices clamped first
  };
  for (const auto& c : cases) {
    Set(c.text, c.caret, c.start, c.end);
    const u32 outcome = e.OnKey(c.key, c.shift, c.ctrl);
    const std::string where = std::string("key ") + std::to_string(c.key) + " caret " + std::to_string(c.caret);
    EXPECT_EQ(std::u16string(c.after), Text()) << where;
    EXPECT_EQ(c.caretAfter, e.caret) << where;
    EXPECT_EQ(c.startAfter, e.selectionStart) << where;
    EXPECT_EQ(c.endAfter, e.selectionEnd) << where;
    EXPECT_EQ(c.outcome, outcome & c.outcome) << where;
    if (c.outcome == 0) {
      EXPECT_EQ(0u, outcome & (kEditMoved | kEditTextChanged | kEditCopy | kEditPaste | kEditCut)) << where;
    }
  }
}

TEST_F(EditText, TypingAndPastingReplaceTheSelectionAndStopAtTheLimit) {
  Set(u"hello", 4, 1, 4, 0);
  EXPECT_FALSE(e.TypeChar(0x1F));
  EXPECT_TRUE(e.TypeChar(u'X'));
  EXPECT_EQ(u"hXo", Text());
  EXPECT_EQ(2, e.caret);
  std::u16string big(kEditTextLimit + 50, u'a');
  Set(u"0123", 2, 1, 3, 0);
  EXPECT_TRUE(e.InsertText(big.data(), static_cast<i32>(big.size())));
  EXPECT_EQ(kEditTextLimit, e.Length()) << "cut, never written past the limit";
  EXPECT_EQ(kEditTextLimit - 1, e.caret);
  EXPECT_FALSE(e.TypeChar(u'b'));
  EXPECT_FALSE(e.InsertText(u"z", 1));
}

TEST_F(EditText, ThePointerPicksTheCharacterItIsOverAndDoubleClicksPickWords) {
  Set(u"one two  three", 0, 0, 0, 0);
  EXPECT_EQ(0, e.IndexAt(4 + 9.9, 4));  // inside the first character: before it
  EXPECT_EQ(1, e.IndexAt(4 + 10, 4));   // a sum equal to the width still fits
  EXPECT_EQ(14, e.IndexAt(1000, 4));
  EXPECT_EQ(0, e.IndexAt(-50, 4));
  e.firstVisible = 4;
  EXPECT_EQ(6, e.IndexAt(4 + 25, 4));
  EXPECT_TRUE(e.SelectWordAt(5));
  EXPECT_EQ(4, e.selectionStart);
  EXPECT_EQ(7, e.selectionEnd);
  EXPECT_FALSE(e.SelectWordAt(8)) << "a space selects nothing";
  EXPECT_TRUE(e.SelectWordAt(99));
  EXPECT_EQ(9, e.selectionStart);
}

TEST_F(EditText, TheCaretStaysInTheView) {
  // 100 pixels of view: ten characters.
  Set(u"abcdefghijklmnopqrstuvwxyz", 26, 26, 26, 0);
  e.ScrollToCaret(100);
  EXPECT_EQ(16, e.firstVisible) << "at the end the view ends with the text";
  e.caret = 3;
  e.ScrollToCaret(100);
  EXPECT_EQ(0, e.firstVisible) << "to the caret, then 0.3 x W / avg further left";
  Set(u"abcdefghijklmnopqrstuvwxyz", 10, 10, 10, 10);
  e.ScrollToCaret(100);
  EXPECT_EQ(7, e.firstVisible);
  e.firstVisible = 0;
  e.caret = 20;  // far right of the view, not at the end
  e.ScrollToCaret(100);
  EXPECT_LE(e.WidthOf(e.firstVisible, e.caret), 100.0) << "shown however far it jumped";
  Set(u"short", 5, 5, 5, 0);
  e.firstVisible = 3;
  e.ScrollToCaret(100);
  EXPECT_EQ(0, e.firstVisible) << "a text that fits shows from its start";
  e.state |= kEditDragging;
  Set(u"abcdefghijklmnopqrstuvwxyz", 10, 10, 10, 0);
  e.firstVisible = 10;
  e.ScrollToCaret(100);
  EXPECT_EQ(9, e.firstVisible) << "one character at a time while dragging";
}

}  // namespace

namespace {

// One walk through a text twice as wide as the view (24 characters, 10 in
// view, spaces at 4, 9, 14 and 19), as the widget runs it: each key, then
// the caret kept in view when it moved or the text changed. Every step
// checks the whole state and the outcome, word moves both ways and the
// selection growing and shrinking from either end.
TEST_F(EditText, AWalkBothWaysKeepsTheWholeStateInStep) {
  constexpr u32 kDelete = 46;
  constexpr u32 kNav = kEditNavigation | kEditMoved | kEditRedraw;
  Set(u"abcd efgh ijkl mnop qrst", 0, 0, 0, 0);
  const struct {
    u32 key;
    bool shift, ctrl;
    i32 caret, start, end, first;
    u32 outcome;
  } walk[] = {
      {kRight, false, true, 4, 4, 4, 0, kNav},
      {kRight, false, true, 9, 9, 9, 0, kNav},
      {kRight, false, true, 14, 14, 14, 4, kNav},  // past the right edge: the view follows
      {kRight, false, true, 19, 19, 19, 9, kNav},
      {kRight, false, true, 24, 24, 24, 14, kNav},  // at the end the view ends with the text
      {kRight, false, true, 24, 24, 24, 14, kEditNavigation},
      {kLeft, false, true, 20, 20, 20, 14, kNav},
      {kLeft, false, true, 15, 15, 15, 14, kNav},
      {kLeft, false, true, 10, 10, 10, 7, kNav},  // left of the view: it jumps three further
      {kLeft, false, true, 5, 5, 5, 2, kNav},
      {kLeft, false, true, 0, 0, 0, 0, kNav},
      {kLeft, false, true, 0, 0, 0, 0, kEditNavigation},
      {kEnd, true, false, 24, 0, 24, 14, kNav},
      {kLeft, true, false, 23, 0, 23, 14, kNav},  // the end at the caret shrinks
      {kHome, true, false, 0, 0, 23, 0, kNav},
      {kRight, true, true, 5, 5, 23, 0, kNav},  // the start at the caret goes past the word's space
      {kHome, true, false, 0, 0, 23, 0, kNav},
      {kRight, true, false, 1, 1, 23, 0, kNav},  // now the start is at the caret
      {kRight, false, false, 1, 1, 1, 0, kNav},  // collapses where the caret is
      {kRight, true, true, 4, 1, 4, 0, kNav},
      {kRight, true, true, 9, 1, 9, 0, kNav},
      {kLeft, true, true, 4, 1, 4, 0, kNav},
      {kLeft, true, true, 0, 1, 0, 0, kNav},  // back past the anchor
      {kLeft, false, false, 0, 0, 0, 0, kNav},
      {kDelete, false, false, 0, 0, 0, 0, kEditTextChanged | kEditRedraw},
  };
  for (const auto& s : walk) {
    const u32 outcome = e.OnKey(s.key, s.shift, s.ctrl);
    if (outcome & (kEditMoved | kEditTextChanged)) e.ScrollToCaret(100);
    const std::string where = "step " + std::to_string(&s - walk);
    EXPECT_EQ(s.caret, e.caret) << where;
    EXPECT_EQ(s.start, e.selectionStart) << where;
    EXPECT_EQ(s.end, e.selectionEnd) << where;
    EXPECT_EQ(s.first, e.firstVisible) << where;
    EXPECT_EQ(s.outcome, outcome) << where;
  }
  EXPECT_EQ(u"bcd efgh ijkl mnop qrst", Text());
}

// Typing at either end of a long text: at the right end the view keeps the
// caret at its right edge; at the left end, with the view scrolled, the
// view jumps back by three characters (0.3 x 100 / 10).
TEST_F(EditText, TypingAtEitherEndOfALongTextScrollsTheViewThatWay) {
  Set(u"abcdefghij", 10, 10, 10, 0);
  e.ScrollToCaret(100);
  EXPECT_EQ(0, e.firstVisible) << "exactly the view's width: still from the start";
  ASSERT_TRUE(e.TypeChar(u'k'));
  e.ScrollToCaret(100);
  EXPECT_EQ(1, e.firstVisible);
  ASSERT_TRUE(e.TypeChar(u'l'));
  e.ScrollToCaret(100);
  EXPECT_EQ(2, e.firstVisible);
  e.caret = e.selectionStart = e.selectionEnd = 2;
  e.ScrollToCaret(100);
  EXPECT_EQ(0, e.firstVisible) << "the caret on the first visible character: back by up to three";
  Set(u"abcdefghijklmnopqrstuvwxyz", 12, 12, 12, 12);
  e.ScrollToCaret(100);
  EXPECT_EQ(9, e.firstVisible);
  e.OnKey(kBack, false, false);
  e.ScrollToCaret(100);
  EXPECT_EQ(u"abcdefghijkmnopqrstuvwxyz", Text());
  EXPECT_EQ(11, e.caret);
  EXPECT_EQ(9, e.firstVisible) << "still in view: no jump";
  e.OnKey(kBack, false, false);
  e.OnKey(kBack, false, false);
  e.ScrollToCaret(100);
  EXPECT_EQ(9, e.caret);
  EXPECT_EQ(6, e.firstVisible);
  // A jump near the end fills the view up to the text's end, no further.
  Set(u"abcdefghijklmnopqrstuvwxyz", 25, 25, 25, 14);
  e.ScrollToCaret(100);
  EXPECT_EQ(16, e.firstVisible);
}

}  // namespace

namespace {

// The caret's blink on the clock seam: a key keeps the caret shown for half
// a second (not hidden at exactly 0.5 s), then it is hidden and shown every
// half second, each end counted from the step that changed it.
TEST(CaretBlink, AKeyShowsTheCaretForHalfASecondThenItBlinksEveryHalfSecond) {
  CVirtualClock clock;
  CInstalledClock installed(clock);
  CCaretBlink blink;
  u8 state = kEditCaretShown | kEditDragging;  // other bits are left alone
  blink.Stamp();
  const struct {
    u32 advanceMs;
    bool key;  // a key at this moment (before the step)
    bool changed, shown;
  } steps[] = {
      {500, false, false, true}, {50, false, true, false},  {450, false, false, false}, {50, false, false, false},
      {50, false, true, true},   {500, false, false, true}, {50, false, true, false},   {0, true, false, true},
      {450, false, false, true}, {50, false, false, true},  {50, false, true, false},
  };
  for (const auto& s : steps) {
    clock.Advance(s.advanceMs);
    if (s.key) {
      blink.Stamp();
      state |= kEditCaretShown;  // as the edit's key handler does
    }
    const std::string where = "at " + std::to_string(clock.NowMs());
    EXPECT_EQ(s.changed, blink.Step(&state, kEditCaretShown)) << where;
    EXPECT_EQ(s.shown, (state & kEditCaretShown) != 0) << where;
    EXPECT_TRUE(state & kEditDragging) << where;
  }
  EXPECT_FALSE(blink.IsRunning()) << "never started: no ticker";
  EXPECT_EQ(nullptr, blink.Target());
}

void Tick(void*) {}

template <u32 Slot>
constexpr rt::ExitRoutine kSlotClosers[2] = {CloseCaretThread<Slot>, CloseCaretEvent<Slot>};

// Each caret slot holds the blink of its own edit class, whichever class
// blinked first, and its two exit callbacks end that blink and no other:
// the thread first (the blink still names its edit), then the event. For
// a slot whose class never blinked, or whose blink has ended, they have
// nothing to do; a blink ended at exit can start again.
TEST(CaretBlink, EachSlotsExitCallbacksEndTheBlinkOfThatSlotOnly) {
  const rt::ExitRoutine* closers[kCaretSlotCount] = {
      kSlotClosers<kCaretSlotFolderBrowser>, kSlotClosers<kCaretSlotBrowseDialog>,
      kSlotClosers<kCaretSlotBurnImage>,     kSlotClosers<kCaretSlotAudioTrack>,
      kSlotClosers<kCaretSlotExplorerTree>};
  int edit = 0;
  CCaretBlink* blinks = CaretSlotBlinks();
  for (u32 slot = kCaretSlotCount; slot-- > 0;) {  // the last slot first
    SCOPED_TRACE(slot);
    blinks[slot].Start(nullptr, Tick, &edit);
    ASSERT_TRUE(blinks[slot].IsRunning());
    for (u32 other = 0; other < kCaretSlotCount; ++other) {
      if (other == slot) continue;
      closers[other][0]();
      closers[other][1]();
      EXPECT_FALSE(blinks[other].IsRunning()) << other;
    }
    EXPECT_TRUE(blinks[slot].IsRunning() && blinks[slot].Target() == &edit) << "another slot's callbacks";
    closers[slot][0]();
    EXPECT_FALSE(blinks[slot].IsRunning()) << "the thread ended";
    EXPECT_EQ(&edit, blinks[slot].Target()) << "the event not yet closed";
    closers[slot][1]();
    EXPECT_EQ(nullptr, blinks[slot].Target());
    closers[slot][0]();  // nothing left to release
    closers[slot][1]();
    blinks[slot].Start(nullptr, Tick, &edit);
    EXPECT_TRUE(blinks[slot].IsRunning()) << "started again";
    blinks[slot].Stop();
  }
}

}  // namespace

// An edit given no font of its own measures in the UI font, the one it is
// drawn in: widths, the character under a point and the scroll to the
// caret all follow the text.
TEST(EditTextFont, WithoutAFontOfItsOwnTheTextIsMeasuredInTheUiFont) {
  CFixedFontScope fixed;
  CFont* ui = UiFontNormal();
  ASSERT_NE(nullptr, ui);
  CEditText e;
  e.text.Assign(u"abcdefgh");
  EXPECT_EQ(ui, e.TextFont());
  EXPECT_DOUBLE_EQ(ui->MeasureText(u"abcdefgh", 8), e.WidthFrom(0));
  EXPECT_EQ(2, e.IndexAt(4 + ui->MeasureText(u"ab", 2) + 1, 4)) << "just inside the third character: before it";
  e.caret = 8;
  e.ScrollToCaret(ui->MeasureText(u"fgh", 3) + 0.5);
  EXPECT_EQ(5, e.firstVisible) << "the caret at the end, the last three characters in view";
  e.font = fixed.tall;
  EXPECT_EQ(fixed.tall, e.TextFont()) << "its own font when it has one";
}

// The keys an edit claims before a window's shortcuts are exactly the keys
// its table acts on: every key and modifier pair that does anything in
// some state is claimed, and every claimed pair does something in one of
// them (Ctrl+X needs a selection, Backspace a character before the caret).
TEST_F(EditText, ItsOwnKeysAreTheKeysItsTableActsOn) {
  const struct {
    const char16_t* text;
    i32 caret, start, end;
  } states[] = {{u"ab cd", 2, 2, 2}, {u"ab cd", 1, 1, 4}, {u"ab cd", 0, 0, 0}, {u"ab cd", 5, 5, 5}, {u"", 0, 0, 0}};
  int claimed = 0;
  for (u32 key = 0; key < 256; ++key) {
    for (int m = 0; m < 4; ++m) {
      const bool shift = (m & 1) != 0, ctrl = (m & 2) != 0;
      bool acts = false;
      for (const auto& s : states) {
        Set(s.text, s.caret, s.start, s.end);
        acts = acts || e.OnKey(key, shift, ctrl) != 0;
      }
      EXPECT_EQ(acts, CEditText::IsOwnKey(key, shift, ctrl)) << key << " shift " << shift << " ctrl " << ctrl;
      claimed += CEditText::IsOwnKey(key, shift, ctrl);
    }
  }
  // Left, Right, Home, End, Backspace, Delete with any modifiers; Insert
  // with Shift or Ctrl; C, V and X (both codes each) with Ctrl.
  EXPECT_EQ(6 * 4 + 3 + 6 * 2, claimed);
}
