// Measuring, fitting and word-wrapped layout over the fake faces (fixed
// advances: 10 per glyph, 4 for the space; line height 16, ascender 12,
// descender 4; 'j' starts 2 pixels left of its pen).
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "font_fake_faces.h"
#include "render/canvas.h"
#include "render/display_records.h"
#include "render/text/font.h"
#include "render/text/text_layout.h"

using namespace fonttest;

namespace {

class TextTest : public ::testing::Test {
 protected:
  // FitText over the whole of `text`: the characters taken, the width they
  // fill and (where `blanks` is not kAny) the blanks inside the line.
  static constexpr i32 kAny = -100;
  void ExpectFit(double width, std::u16string_view text, i32 taken, double fitted,
                 i32 blanks = kAny) {
    SCOPED_TRACE(::testing::Message() << "width " << width << " text #" << text.size());
    double gotFitted = -1;
    i32 gotBlanks = -1;
    EXPECT_EQ(font_->FitText(width, text.data(), static_cast<i32>(text.size()), &gotFitted,
                             &gotBlanks),
              taken);
    EXPECT_EQ(gotFitted, fitted);
    if (blanks != kAny) {
      EXPECT_EQ(gotBlanks, blanks);
    }
  }
  void SetUp() override {
    scope_ = new CFontListScope(&faces_);
    font_ = AcquireFont(u"Tahoma", 10, false, false);
    ASSERT_NE(font_, nullptr);
  }
  void TearDown() override {
    if (font_) font_->Release();
    delete scope_;
  }
  CFakeFaces faces_;
  CFontListScope* scope_ = nullptr;
  CFont* font_ = nullptr;
};

struct Line {
  std::u16string text;
  TextRunRecord record;
};

// The text records of a canvas's stream, in order.
std::vector<Line> TextLines(const CCanvas& canvas) {
  std::vector<Line> lines;
  const CArena& commands = canvas.list.Commands();
  const CArena& strings = canvas.list.Strings();
  u32 at = 0;
  while (at + 4 <= commands.used) {
    u32 op = ReadRecord<u32>(commands.data + at);
    if (op == kOpClip) {
      at += sizeof(ClipRecord);
    } else if (op == kOpTextRun) {
      TextRunRecord r = ReadRecord<TextRunRecord>(commands.data + at);
      const wchar16* s = reinterpret_cast<const wchar16*>(strings.data) + r.stringOffset;
      lines.push_back(Line{std::u16string(s, s + r.length), r});
      at += sizeof(TextRunRecord);
      EXPECT_EQ(ReadRecord<u32>(commands.data + at), static_cast<u32>(kPaintSolid));
      at += sizeof(SolidPaint);
    } else {
      ADD_FAILURE() << "unexpected record " << op;
      break;
    }
  }
  return lines;
}

// A 300 x 200 target drawing with `font`.
struct Surface {
  explicit Surface(CFont* font) : pixels(300 * 200), coverage(300), canvas(1) {
    canvas.Attach(pixels.data(), coverage.data(), 300, 200);
    canvas.SetFont(font);
  }
  // Lays the whole of `text` out in the given box; every line recorded so far.
  std::vector<Line> Layout(double left, double bottom, double right, double top,
                           const char16_t* text, u32 flags) {
    canvas.LayoutText(left, bottom, right, top, text, -1, flags);
    return TextLines(canvas);
  }
  std::vector<u32> pixels;
  std::vector<double> coverage;
  CCanvas canvas;
};

}  // namespace

TEST_F(TextTest, MeasureCountsTabsAsEightSpaces) {
  EXPECT_EQ(font_->MeasureText(u"a\tb", 3), 10 + 8 * 4 + 10);
  EXPECT_EQ(font_->MeasureText(u"a b", 3), 24);
  EXPECT_EQ(font_->MeasureText(u"a\x1\xE000z", 4), 20);  // no glyph: nothing
  EXPECT_EQ(font_->MeasureText(u"abc", 2), 20);
  EXPECT_EQ(font_->MeasureText(u"abc", 0), 0);
}

TEST_F(TextTest, MeasureBoxOfARun) {
  double left = 5, bottom = 100, width = 0, height = 0;
  font_->MeasureTextBox(&left, &bottom, &width, &height, u"ab", 2);
  EXPECT_EQ(left, 5);
  EXPECT_EQ(bottom, 100);  // the glyphs stand on the baseline
  EXPECT_EQ(width, 20);
  EXPECT_EQ(height, 8 + 1);
  // A first glyph starting left of the pen widens the box to the left.
  left = 5, bottom = 100;
  font_->MeasureTextBox(&left, &bottom, &width, &height, u"jb", 2);
  EXPECT_EQ(left, 3);
  EXPECT_EQ(width, 22);
  // A tab takes its drawn width in the box too.
  left = 5, bottom = 100;
  font_->MeasureTextBox(&left, &bottom, &width, &height, u"a\tb", 3);
  EXPECT_EQ(width, 52);
}

TEST_F(TextTest, FitBreaksAtTheLastBlankThatFits) {
  // Room for "hello wo": the line is "hello", as wide as "hello".
  ExpectFit(74, u"hello world", 5, 50, 0);
  ExpectFit(1000, u"ab cd ef", 8, 68, 2);
  ExpectFit(75, u"aa bb cc dd", 8, 68, 2);  // the blank at the break is not inside the line
}

TEST_F(TextTest, FitCutsAWordLongerThanTheLine) {
  ExpectFit(35, u"abcdefghij", 3, 30, 0);
  double fitted = -1;
  i32 blanks = -1;
  EXPECT_EQ(font_->FitText(5, u"abc", 3, &fitted, &blanks), -1);
}

TEST_F(TextTest, FitStopsAtLineFeedsAndBreaksAtTabs) {
  ExpectFit(1000, u"ab\ncd", 2, 20);
  ExpectFit(60, u"ab\tcd", 2, 20, 0);
  // A tab that passes the width ends the line before it.
  ExpectFit(45, u"a b\tcc", 3, 24, 1);
}

TEST_F(TextTest, LayoutWrapsWordsFromTheTopDown) {
  Surface s(font_);
  s.canvas.textColour = 0xFF102030u;
  std::vector<Line> lines = s.Layout(10, 20, 85, 120, u"hello world again", 0);
  ASSERT_EQ(lines.size(), 3u);
  const char16_t* words[] = {u"hello", u"world", u"again"};
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(lines[i].text, words[i]);
    const TextRunRecord& r = lines[i].record;
    EXPECT_EQ(r.x, 10);
    EXPECT_EQ(r.y, 120 - 12 - 16 * i);  // baselines a line height apart
    EXPECT_EQ(r.boxLeft, 10 - 2);       // the font's left overhang
    EXPECT_EQ(r.boxBottom, r.y - 4);
    EXPECT_EQ(r.boxWidth, 75 + 2);
    EXPECT_EQ(r.boxHeight, 16);
    EXPECT_EQ(r.font, font_);
    EXPECT_EQ(r.blankCount, 0);
  }
}

TEST_F(TextTest, LayoutAlignsCentredAndRight) {
  Surface s(font_);
  s.canvas.LayoutText(10, 20, 85, 120, u"hello", 5, kTextCentre);
  s.canvas.LayoutText(10, 20, 85, 120, u"hello", 5, kTextRight);
  std::vector<Line> lines = TextLines(s.canvas);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].record.x, 22.5);
  EXPECT_EQ(lines[1].record.x, 35);
}

TEST_F(TextTest, JustifiedLinesSpreadTheRestExceptAtParagraphEnds) {
  Surface s(font_);
  std::vector<Line> lines = s.Layout(0, 0, 75, 150, u"aa bb cc dd\nee ff gg hh ii", kTextJustify);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0].text, u"aa bb cc");
  EXPECT_EQ(lines[0].record.blankCount, 2);
  EXPECT_EQ(lines[0].record.justifyExtra, 75 - 68);
  EXPECT_EQ(lines[1].text, u"dd");  // last line of its paragraph
  EXPECT_EQ(lines[1].record.blankCount, 0);
  EXPECT_EQ(lines[2].text, u"ee ff gg");
  EXPECT_EQ(lines[2].record.blankCount, 2);
  EXPECT_EQ(lines[3].text, u"hh ii");
  EXPECT_EQ(lines[3].record.blankCount, 0);
}

TEST_F(TextTest, LayoutStopsAtTheBottomAndCutsLongWords) {
  Surface s(font_);
  s.canvas.LayoutText(0, 100, 15, 120, u"a b c d e f", -1, 0);
  EXPECT_EQ(TextLines(s.canvas).size(), 2u);  // the third line's top reaches the bottom
  s.canvas.Reset();
  std::vector<Line> lines = s.Layout(0, 0, 35, 190, u"abcdefghij", 0);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0].text, u"abc");
  EXPECT_EQ(lines[3].text, u"j");
}

TEST_F(TextTest, OneLineCentredVertically) {
  Surface s(font_);
  std::vector<Line> lines = s.Layout(0, 20, 200, 120, u"first line\nsecond", kTextOneLineCentred);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].text, u"first line");
  EXPECT_EQ(lines[0].record.y, 20 + (100 - 10) / 2.0);
}

TEST_F(TextTest, LayoutAddsTheOriginAndRecordsNothingForEmptyInput) {
  Surface s(font_);
  s.canvas.originX = 100;
  s.canvas.originY = 50;
  s.canvas.DrawTextInRect(10, 20, 85, 120, u"hello", 5, 0);
  std::vector<Line> lines = TextLines(s.canvas);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].record.x, 110);
  EXPECT_EQ(lines[0].record.y, 170 - 12);
  s.canvas.Reset();
  s.canvas.DrawTextInRect(0, 0, 100, 100, nullptr, 5, 0);
  s.canvas.DrawTextInRect(0, 0, 100, 100, u"abc", 0, 0);
  s.canvas.DrawTextInRect(50, 0, 50, 100, u"abc", 3, 0);   // no width
  std::u16string tooLong(5000, u'a');
  s.canvas.DrawTextInRect(0, 0, 100, 100, tooLong.c_str(), -1, 0);
  DrawTextInBox(&s.canvas, 0, 0, 100, 100, u"", -1, 0);
  EXPECT_EQ(TextLines(s.canvas).size(), 0u);
}

TEST_F(TextTest, ANullFontRecordsNoLine) {
  Surface s(nullptr);
  s.canvas.DrawTextInRect(0, 0, 100, 100, u"abc", 3, 0);
  s.canvas.list.RecordTextLine(0, 10, 100, 0, 0, u"abc", 3, nullptr, 0xFF000000u);
  EXPECT_EQ(TextLines(s.canvas).size(), 0u);
}

TEST_F(TextTest, WordsThatFillTheLineExactlyStayOnIt) {
  // "aa bb" is 44 wide; the blank after it does not fit, so the line ends
  // there instead of before "bb".
  ExpectFit(44, u"aa bb cc", 5, 44, 1);
  ExpectFit(70, u"aa bb cc dd", 8, 68, 2);
  // Two blanks after the word: the line still ends before the first.
  ExpectFit(50, u"aa bb  cc", 5, 44, 1);

  Surface s(font_);
  std::vector<Line> lines = s.Layout(0, 0, 44, 190, u"aa bb cc dd", kTextJustify);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].text, u"aa bb");
  EXPECT_EQ(lines[0].record.justifyExtra, 0);
  EXPECT_EQ(lines[1].text, u"cc dd");
}

TEST_F(TextTest, BlanksBeforeALineFeedEndTheParagraph) {
  Surface s(font_);
  // "abc" fills the width; the blank after it and the line feed make no
  // empty line of their own.
  std::vector<Line> lines = s.Layout(0, 0, 30, 190, u"abc \ndef", 0);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].text, u"abc");
  EXPECT_EQ(lines[1].text, u"def");
  EXPECT_EQ(lines[0].record.y - lines[1].record.y, 16);
  // Justified: the line is the last of its paragraph, so it is not spread.
  s.canvas.Reset();
  lines = s.Layout(0, 0, 50, 190, u"aa bb  \t\ncc dd ee", kTextJustify);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].text, u"aa bb");
  EXPECT_EQ(lines[0].record.blankCount, 0);
  EXPECT_EQ(lines[1].text, u"cc dd");
  EXPECT_EQ(lines[1].record.blankCount, 1);
  EXPECT_EQ(lines[2].text, u"ee");
  EXPECT_EQ(lines[0].record.y - lines[1].record.y, 16);
  // Blanks and tabs at both ends of a text that does not fit on one line.
  s.canvas.Reset();
  lines = s.Layout(0, 0, 30, 190, u"\tab  \t", 0);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].text, u"ab  ");
}
