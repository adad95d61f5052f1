// Measuring, fitting and word-wrapped layout over the fake faces (fixed
// advances: 10 per glyph, 4 for the space; line height 16, ascender 12,
// descender 4; 'j' starts 2 pixels left of its pen).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/font_fake_faces.h"
#include "render/canvas.h"
#include "render/display_records.h"
#include "render/text/font.h"
#include "render/text/text_layout.h"

using namespace fonttest;

namespace {

class TextTest : public ::testing::Test {
 protected:
  void SetUp() override {
    font_ = AcquireFont(u"Tahoma", 10, false, false);
    ASSERT_NE(font_, nullptr);
    canvas_.Attach(pixels_.data(), coverage_.data(), 300, 200);
    canvas_.SetFont(font_);
  }
  void TearDown() override { font_->Release(); }
  // The text records of the stream, in order: {text, record}.
  std::vector<std::pair<std::u16string, TextRunRecord>> Lines() {
    std::vector<std::pair<std::u16string, TextRunRecord>> lines;
    const CArena& commands = canvas_.list.Commands();
    for (u32 at = 0; at + 4 <= commands.used;) {
      const u32 op = ReadRecord<u32>(commands.data + at);
      if (op == kOpClip) {
        at += sizeof(ClipRecord);
        continue;
      }
      EXPECT_EQ(op, static_cast<u32>(kOpTextRun));
      if (op != kOpTextRun) break;
      const TextRunRecord r = ReadRecord<TextRunRecord>(commands.data + at);
      const wchar16* s = reinterpret_cast<const wchar16*>(canvas_.list.Strings().data) + r.stringOffset;
      lines.push_back({std::u16string(s, s + r.length), r});
      at += sizeof(TextRunRecord) + sizeof(SolidPaint);
    }
    return lines;
  }
  CFakeFaces faces_;
  CFontListScope scope_{&faces_};
  CFont* font_ = nullptr;
  std::vector<u32> pixels_ = std::vector<u32>(300 * 200);
  std::vector<double> coverage_ = std::vector<double>(300);
  CCanvas canvas_{1};
};

TEST_F(TextTest, MeasureCountsTabsAsEightSpacesAndMissingGlyphsAsNothing) {
  EXPECT_EQ(font_->MeasureText(u"a\tb", 3), 10 + 8 * 4 + 10);
  EXPECT_EQ(font_->MeasureText(u"a b", 3), 24);
  EXPECT_EQ(font_->MeasureText(u"a\x1\xE000z", 4), 20);
  EXPECT_EQ(font_->MeasureText(u"abc", 2), 20);
  EXPECT_EQ(font_->MeasureText(u"abc", 0), 0);
  // The box of a run: on the baseline, widened by a glyph starting left of
  // its pen, a tab at its drawn width.
  const struct {
    const char16_t* text;
    i32 n;
    double left, width;
  } boxes[] = {{u"ab", 2, 5, 20}, {u"jb", 2, 3, 22}, {u"a\tb", 3, 5, 52}};
  for (const auto& b : boxes) {
    double left = 5, bottom = 100, width = 0, height = 0;
    font_->MeasureTextBox(&left, &bottom, &width, &height, b.text, b.n);
    EXPECT_TRUE(left == b.left && bottom == 100 && width == b.width && height == 9) << b.n << " " << width;
  }
}

// The first line of a text within a width: a break at the last blank before
// the character that passes the width (so a word that ends at the edge, or
// whose blank does not fit, wraps too), a cut inside a word longer than the
// line, a stop at a line feed, a tab that passes the width ending the line
// before it. A line ended by a character that passes the width counts one
// blank fewer than it scanned: -1 when it scanned none.
TEST_F(TextTest, FitTable) {
  const struct {
    double width;
    const char16_t* text;
    i32 taken;
    double fitted;
    i32 blanks;
  } rows[] = {
      {74, u"hello world", 5, 50, 0},  {1000, u"ab cd ef", 8, 68, 2},  {75, u"aa bb cc dd", 8, 68, 2},
      {44, u"aa bb cc", 2, 20, 0},     {46, u"aa bb cc", 2, 20, 0},     {48, u"aa bb cc", 5, 44, 1},
      {44, u"aa bb", 5, 44, 1},        {70, u"aa bb cc dd", 5, 44, 1},  {72, u"aa bb cc dd", 8, 68, 2},
      {50, u"hello world", 5, 50, -1}, {50, u"aa bb  cc", 5, 44, 1},    {35, u"abcdefghij", 3, 30, -1},
      {1000, u"ab\ncd", 2, 20, 0},     {60, u"ab\tcd", 2, 20, -1},      {45, u"a b\tcc", 3, 24, 1},
      {5, u"abc", -1, -2, -2},         {35, u" abcdefghij", 4, 34, 0},  {20, u"ab", 2, 20, 0},
      {50, u"ab\tcd", 2, 20, 0},
  };
  for (const auto& r : rows) {
    double fitted = -2;
    i32 blanks = -2;
    const std::u16string text = r.text;
    EXPECT_EQ(font_->FitText(r.width, text.data(), static_cast<i32>(text.size()), &fitted, &blanks), r.taken) << r.width;
    EXPECT_TRUE(r.taken < 0 || (fitted == r.fitted && blanks == r.blanks)) << r.width << ": " << fitted << ", " << blanks;
  }
}

// Lines of a box {left, bottom, right, top} from the top down, a line
// height apart: words wrapped, long words cut, alignment, justification
// except at the end of a paragraph, blanks before a line feed ending it.
TEST_F(TextTest, LayoutTable) {
  const struct {
    double left, bottom, right, top;
    const char16_t* text;
    u32 flags;
    std::vector<std::u16string> lines;
    std::vector<i32> blanks;  // justified lines' blank counts
    double firstX;
  } rows[] = {
      {10, 20, 85, 120, u"hello world again", 0, {u"hello", u"world", u"again"}, {0, 0, 0}, 10},
      {10, 20, 85, 120, u"hello", kTextCentre, {u"hello"}, {0}, 22.5},
      {10, 20, 85, 120, u"hello", kTextRight, {u"hello"}, {0}, 35},
      {0, 0, 75, 150, u"aa bb cc dd\nee ff gg hh ii", kTextJustify, {u"aa bb cc", u"dd", u"ee ff gg", u"hh ii"}, {2, 0, 2, 0}, 0},
      {0, 100, 15, 120, u"a b c d e f", 0, {u"a", u"b"}, {0, 0}, 0},  // the third line's top passes the bottom
      {0, 0, 35, 190, u"abcdefghij", 0, {u"abc", u"def", u"ghi", u"j"}, {0, 0, 0, 0}, 0},
      {0, 0, 35, 190, u"abcdefghij", kTextJustify, {u"abc", u"def", u"ghi", u"j"}, {-1, -1, -1, 0}, 0},
      {0, 0, 55, 190, u"ab\tcdefgh", kTextJustify, {u"ab", u"cdefg", u"h"}, {-1, -1, 0}, 0},
      {0, 0, 48, 190, u"aa bb cc dd", kTextJustify, {u"aa bb", u"cc dd"}, {1, 0}, 0},
      {0, 0, 44, 190, u"aa bb cc dd", kTextJustify, {u"aa", u"bb", u"cc dd"}, {0, 0, 0}, 0},
      {0, 0, 46, 190, u"aa bb cc dd ee", kTextJustify, {u"aa", u"bb", u"cc", u"dd ee"}, {0, 0, 0, 0}, 0},
      {0, 0, 30, 190, u"abc \ndef", 0, {u"abc", u"def"}, {0, 0}, 0},
      {0, 0, 50, 190, u"aa bb  \t\ncc dd ee", kTextJustify, {u"aa bb", u"cc dd", u"ee"}, {0, 1, 0}, 0},
      {0, 0, 30, 190, u"\tab  \t", 0, {u"ab  "}, {0}, 0},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(testing::Message() << "box right " << r.right << " flags " << r.flags);
    canvas_.Reset();
    canvas_.SetFont(font_);
    canvas_.LayoutText(r.left, r.bottom, r.right, r.top, r.text, -1, r.flags);
    const auto lines = Lines();
    ASSERT_EQ(lines.size(), r.lines.size());
    for (size_t i = 0; i < lines.size(); ++i) {
      const TextRunRecord& rec = lines[i].second;
      EXPECT_TRUE(lines[i].first == r.lines[i]) << "line " << i;
      EXPECT_EQ(rec.blankCount, r.blanks[i]) << "line " << i;
      EXPECT_EQ(rec.y, lines[0].second.y - 16 * static_cast<double>(i)) << "line " << i;
      // A left-aligned line's box: the whole width, widened by the overhang.
      EXPECT_TRUE(r.firstX != r.left || (rec.boxLeft == r.left - 2 && rec.boxBottom == rec.y - 4 &&
                                         rec.boxWidth == r.right - r.left + 2 && rec.boxHeight == 16 && rec.font == font_));
      // A justified line spreads the rest of the width over its blanks.
      EXPECT_TRUE(!rec.blankCount ||
                  rec.justifyExtra == r.right - r.left - font_->MeasureText(lines[i].first.c_str(), rec.length));
    }
    EXPECT_EQ(lines[0].second.x, r.firstX);
    EXPECT_TRUE(r.text[0] == u'\t' || lines[0].second.y == r.top - 12);  // the first baseline under the top
  }
}

TEST_F(TextTest, OneLineCentredOriginAndEmptyInput) {
  canvas_.LayoutText(0, 20, 200, 120, u"first line\nsecond", -1, kTextOneLineCentred);
  auto lines = Lines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_TRUE(lines[0].first == u"first line" && lines[0].second.y == 20 + (100 - 10) / 2.0);
  canvas_.Reset();
  canvas_.SetFont(font_);
  canvas_.originX = 100;
  canvas_.originY = 50;
  canvas_.DrawTextInRect(10, 20, 85, 120, u"hello", 5, 0);
  lines = Lines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_TRUE(lines[0].second.x == 110 && lines[0].second.y == 170 - 12);
  canvas_.Reset();
  const std::u16string tooLong(5000, u'a');
  canvas_.SetFont(font_);
  canvas_.DrawTextInRect(0, 0, 100, 100, nullptr, 5, 0);
  canvas_.DrawTextInRect(0, 0, 100, 100, u"abc", 0, 0);
  canvas_.DrawTextInRect(50, 0, 50, 100, u"abc", 3, 0);  // no width
  canvas_.DrawTextInRect(0, 0, 100, 100, tooLong.c_str(), -1, 0);
  DrawTextInBox(&canvas_, 0, 0, 100, 100, u"", -1, 0);
  canvas_.SetFont(nullptr);
  canvas_.DrawTextInRect(0, 0, 100, 100, u"abc", 3, 0);
  canvas_.list.RecordTextLine(0, 10, 100, 0, 0, u"abc", 3, nullptr, 0xFF000000u);
  EXPECT_TRUE(Lines().empty());
}

// One line of a width: a text that fits stays as it is; a longer one keeps
// the start that fits with "..." (a blank before the mark left out, a line
// feed ending it); narrower than the mark, only the dots that fit.
TEST_F(TextTest, ShortenTable) {
  const struct {
    double width;
    const char16_t* text;
    const char16_t* shown;
  } rows[] = {
      {100, u"abc", u"abc"},        {30, u"abc", u"abc"},       {55, u"abcdefgh", u"ab..."},
      {60, u"ab cdefgh", u"ab..."}, {100, u"ab\ncd", u"ab..."}, {30, u"abcd", u"..."},
      {25, u"abcdef", u".."},       {9, u"abcdef", u""},        {100, u"", u""},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(testing::Message() << r.width);
    CWideString shown;
    ShortenToWidth(font_, r.width, r.text, -1, &shown);
    EXPECT_TRUE(std::u16string(shown.c_str()) == r.shown);
    EXPECT_LE(font_->MeasureText(shown.c_str(), shown.GetLength()), r.width);
    // Laid out in its width, it is one line, whole.
    canvas_.Reset();
    canvas_.SetFont(font_);
    canvas_.LayoutText(0, 0, r.width, 190, shown.c_str(), shown.GetLength(), 0);
    const auto lines = Lines();
    EXPECT_TRUE(shown.IsEmpty() ? lines.empty() : lines.size() == 1 && lines[0].first == r.shown);
  }
  CWideString shown;
  ShortenToWidth(nullptr, 100, u"abc", -1, &shown);
  EXPECT_TRUE(shown.IsEmpty());
}

// Text from the top of a box with glyphs rising 2 rows above the ascender
// (14 rows over 12): only the lines whose glyphs fit whole once the text
// comes down by their rise are taken, and a line that does not fit no
// longer cancels the drop; laid out in the box it gives, exactly those
// lines are drawn.
TEST_F(TextTest, FromTheTopTable) {
  FakeFaceSpec rising = FakeFaceCovering(32, 126);
  rising.glyphRows = 14;
  faces_.SetFace(u"Rising", rising);
  CFont* tall = AcquireFont(u"Rising", 10, false, false);
  ASSERT_NE(tall, nullptr);
  const struct {
    CFont* font;
    double width, height;
    const char16_t* text;
    i32 lines;
    double drop;
  } rows[] = {
      {tall, 100, 16, u"ab", 1, 2},          {tall, 100, 14, u"ab", 1, 2},  {tall, 100, 13, u"ab", 0, 0},
      {tall, 100, 16, u"ab\ncd", 1, 2},      {tall, 100, 24, u"ab\ncd", 1, 2},
      {tall, 100, 34, u"ab\ncd", 2, 2},      {tall, 30, 24, u"aa bb", 1, 2}, {tall, 100, 16, u"", 0, 0},
      {font_, 100, 16, u"ab\ncd", 1, 0},     {font_, 100, 28, u"ab\ncd", 2, 0},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(testing::Message() << r.height << " " << r.lines);
    const TopAlignedText fit = FitTextFromTop(r.font, r.width, r.height, r.text, -1);
    EXPECT_EQ(fit.lines, r.lines);
    EXPECT_EQ(fit.drop, r.drop);
    if (fit.lines == 0) continue;
    EXPECT_EQ(fit.top, r.height - r.drop);
    canvas_.Reset();
    canvas_.SetFont(r.font);
    canvas_.LayoutText(0, fit.bottom, r.width, fit.top, r.text, -1, 0);
    EXPECT_EQ(Lines().size(), static_cast<size_t>(r.lines));
  }
  tall->Release();
}

}  // namespace
