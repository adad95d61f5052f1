// The text edit's rules on a font whose every character is 10 pixels wide.
#include <gtest/gtest.h>

#include <string>

#include "ui/support/fixed_font.h"
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
