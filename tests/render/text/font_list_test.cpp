// Glyph records and ranges, the font list with its reference counts, and
// glyphs loaded lazily by block from the font's face or the fallback faces,
// over the fake face provider.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "support/font_fake_faces.h"
#include "render/text/font.h"
#include "render/text/glyph.h"

using namespace fonttest;

TEST(GlyphRecord, RowsRangesAndRefusedImages) {
  const u8 pixels[4][5] = {{0, 0, 0, 0, 0}, {0, 255, 128, 0, 0}, {1, 0, 0, 0, 64}, {0, 0, 0, 0, 32}};
  const GlyphImage image{7.5, 0, -1, 3, 4, 5, &pixels[0][0], 5, 256};
  std::vector<double> block(Glyph::RecordBytes(image) / 8);
  Glyph::FromBitmap(image, block.data());
  ExpectRecordOf(image, reinterpret_cast<const Glyph*>(block.data()));
  // A range ending past 0xFFFF with an empty entry; each entry filled once;
  // an image too large for a record (over 4 GB of coverage) refused.
  std::vector<u8> ink(65536, 255);
  const GlyphImage small{3, 0, 0, 1, 1, 2, ink.data(), 2, 256}, huge{3, 0, 0, 8193, 8193, 65536, ink.data(), 0, 256};
  EXPECT_EQ(Glyph::RecordBytes(huge), 0xFFFFFFFFu);
  CGlyphRangeBuilder builder(0xFFFE, 3);
  EXPECT_FALSE(builder.Add(1, huge));
  EXPECT_TRUE(builder.Add(0, small) && builder.Add(2, small));
  EXPECT_FALSE(builder.Add(2, small) || builder.Add(3, small));
  GlyphRange* range = builder.Finish();
  ASSERT_NE(range, nullptr);
  EXPECT_TRUE(range->first == 0xFFFE && range->end == 0x10001 && range->Covers(0x10000) && !range->Covers(0x10001));
  const Glyph* a = range->Entry(0xFFFE);
  const Glyph* c = range->Entry(0x10000);
  EXPECT_TRUE(a && c && a->next == c && !c->next && !range->Entry(0xFFFF) && !range->Entry(0x41));
  ExpectRecordOf(small, c);
  // Ranges linked after the head stay in code order.
  GlyphRange* list = range;
  for (u32 first : {0x300u, 0x20u, 0x200u}) {
    CGlyphRangeBuilder b(first, 1);
    b.Add(0, small);
    InsertGlyphRange(&list, b.Finish());
  }
  std::vector<u32> order;
  for (const GlyphRange* r = list; r; r = r->next) order.push_back(r->first);
  EXPECT_EQ(order, (std::vector<u32>{0xFFFE, 0x20, 0x200, 0x300}));
  EXPECT_TRUE(GlyphRange::Find(list, 0x10000) == range && GlyphRange::Find(list, 0x41) == nullptr);
  GlyphRange::FreeList(list);
}

TEST(FontList, FontsAreSharedCountedAndFreed) {
  CFakeFaces faces;
  EXPECT_TRUE(GetDefaultFont() == nullptr && AcquireFont(u"Tahoma", 8, false, false) == nullptr) << "no list yet";
  {
    CFontListScope scope(&faces);
    ASSERT_TRUE(scope.ok);
    CFont* def = GetDefaultFont();
    ASSERT_NE(def, nullptr);
    EXPECT_TRUE(std::u16string(def->faceName.c_str()) == u"Tahoma" && def->size == 8 && UiFontNormal() == def &&
                UiFontSecond() == def);
    ASSERT_NE(UiFontBold(), nullptr);
    EXPECT_TRUE(UiFontBold()->size == 10 && UiFontBold()->bold);
    EXPECT_EQ(def->references, 4) << "the list's own, the two UI fonts' and this one";
    const u32 listed = FontListCount();
    CFont* a = AcquireFont(u"Tahoma", 9, false, false);
    ASSERT_EQ(AcquireFont(u"Tahoma", 9, false, false), a);
    EXPECT_TRUE(a->references == 2 && FontListCount() == listed + 1);
    CFont* italic = AcquireFont(u"Tahoma", 9, false, true);
    EXPECT_NE(italic, a);
    italic->Release();
    {
      CFontRef ref(a);  // takes over one of the two references
      CFontRef copy(ref), other;
      other = copy;
      EXPECT_EQ(a->references, 4);
      other.Assign(nullptr);
      EXPECT_EQ(a->references, 3);
    }
    a->Release();
    EXPECT_EQ(FontListCount(), listed);
    // Faces that cannot be opened, or without any code point from 32 up.
    FakeFaceSpec control;
    control.codes = {0, 9, 13};
    faces.SetFace(u"Control", control);
    for (const wchar16* name : {u"No Such Face", u"", static_cast<const wchar16*>(nullptr), u"Control"})
      EXPECT_EQ(AcquireFont(name, 8, false, false), nullptr);
    EXPECT_EQ(AcquireFont(u"Tahoma", 0, false, false), nullptr);
    EXPECT_EQ(FontListCount(), listed);
    def->Release();
  }
  EXPECT_TRUE(GetDefaultFont() == nullptr && FontListCount() == 0);
}

class FontGlyphsTest : public testing::Test {
 protected:
  CFont* Font(u32 size) {
    if (!scope_) scope_.reset(new CFontListScope(&faces_));
    fonts_.push_back(AcquireFont(u"Tahoma", size, false, false));
    return fonts_.back();
  }
  void TearDown() override {
    for (CFont* f : fonts_)
      if (f) f->Release();
  }
  CFakeFaces faces_;
  std::unique_ptr<CFontListScope> scope_;
  std::vector<CFont*> fonts_;
};

TEST_F(FontGlyphsTest, MetricsAndTheFirstRange) {
  CFont* font = Font(12);
  ASSERT_NE(font, nullptr);
  EXPECT_TRUE(font->lineHeight == 16 && font->ascender == 12 && font->descender == 4 && font->spaceAdvance == 4);
  EXPECT_DOUBLE_EQ(font->averageAdvance, (4 + 94 * 10.0) / 95);  // 32..126
  EXPECT_EQ(font->leftOverhang, 2);                                // 'j'
  ASSERT_NE(font->ranges, nullptr);
  EXPECT_TRUE(font->ranges->first == 32 && font->ranges->end == 127) << "not from the face's codes 0 and 13";
  EXPECT_TRUE(font->FindGlyph(9) == nullptr && font->FindGlyph(13) == nullptr);
  const Glyph* a = font->FindGlyph('a');
  ASSERT_NE(a, nullptr);
  EXPECT_TRUE(a->advanceX == 10 && a->rows == 8 && a->GetRow(0).first == 1 && a->GetRow(0).length == 4 &&
              a->GetRow(0).coverage[0] == FakeInk('a') / 256.0 && a->GetRow(7).length == 0);
}

// Blocks are loaded on first use, once: Latin-1 up to 0xFF, the last block
// of the plane up to 0xFFFD, 256-code blocks of kana and ideographs from the
// own face first, then "MS PGothic" ("SimSun" is not asked while that one
// opens, even for what it lacks); code points no face has are noted and
// never looked up again, nor is a glyph that failed to render.
TEST_F(FontGlyphsTest, BlocksLoadOnceFromTheRightFace) {
  faces_.Face(u"Tahoma").codes.insert(0x4E01);
  faces_.Face(u"Tahoma").failing = {0x110};
  faces_.SetFace(u"MS PGothic", FakeFaceCovering(0x3041, 0x3096, 12));
  faces_.Face(u"MS PGothic").codes.insert(0x4E01);
  faces_.SetFace(u"SimSun", FakeFaceCovering(0x3041, 0x30FF, 14));
  for (u32 c = 0x4E00; c <= 0x4EFF; ++c) faces_.Face(u"SimSun").codes.insert(c);
  CFont* font = Font(10);
  ASSERT_NE(font, nullptr);
  const struct {
    u32 code;
    double advance;  // 0: no glyph
    u32 first, end;  // of the block loaded with it (0: not looked at)
  } rows[] = {{0xE9, 10, 0xA0, 0x100},      {0xA0, 10, 0xA0, 0x100},      {0xFFFD, 10, 0xFFF0, 0xFFFE},
              {0xFFFF, 0, 0, 0},            {0x3042, 12, 0x3000, 0x3100}, {0x30AB, 0, 0x3000, 0x3100},
              {0x3000, 0, 0x3000, 0x3100},  {0x4E01, 10, 0x4E00, 0x4F00}, {0x4E2D, 0, 0x4E00, 0x4F00},
              {0x110, 0, 0, 0},             {0x111, 10, 0, 0},            {0xE000, 0, 0, 0},
              {0x9F00, 0, 0, 0}};
  for (int pass = 0; pass < 2; ++pass) {
    const int opens = faces_.TotalOpens(), renders = faces_.TotalRenders();
    for (const auto& r : rows) {
      SCOPED_TRACE(testing::Message() << std::hex << r.code);
      const Glyph* g = font->FindGlyph(r.code);
      EXPECT_EQ(g ? g->advanceX : 0.0, r.advance);
      const GlyphRange* block = GlyphRange::Find(font->ranges, r.code);
      EXPECT_TRUE(!r.first || (block && block->first == r.first && block->end == r.end));
    }
    EXPECT_TRUE(pass == 0 || (faces_.TotalOpens() == opens && faces_.TotalRenders() == renders))
        << "the second pass loads nothing";
  }
  EXPECT_TRUE(font->IsKnownMissing(0xE000) && font->IsKnownMissing(0x9FFF)) << "a block no face has is noted whole";
  EXPECT_EQ(faces_.Renders(0x3042), 1);
  EXPECT_EQ(faces_.Opens(u"SimSun"), 0);
  EXPECT_NE(font->FindGlyph('A'), nullptr) << "earlier ranges still found";
  const wchar16 text[] = u"ab\tc";
  EXPECT_TRUE(FindCharN(text, u'\t', 4) == text + 2 && !FindCharN(text, u'\t', 2) && !FindCharN(u"", u'a', 5) &&
              !FindCharN(nullptr, u'a', 5));
  EXPECT_TRUE(IsBlank(32) && IsBlank(9) && !IsBlank(10));
}

// Kana and ideographs the own face lacks come from "MS PGothic" when it
// opens, whatever "SimSun" has; from "SimSun" only when "MS PGothic" cannot
// be opened; from neither when neither opens.
TEST(FontFallback, SimSunOnlyWhenMsPGothicCannotBeOpened) {
  const struct {
    bool gothic, simsun;              // faces the system has
    double kana, ideograph, katakana;  // advances of 0x3042, 0x4E2D, 0x30FA (0: no glyph)
    bool simsunAsked;
  } rows[] = {
      {true, true, 12, 12, 0, false},
      {true, false, 12, 12, 0, false},
      {false, true, 14, 14, 14, true},
      {false, false, 0, 0, 0, true},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(testing::Message() << "MS PGothic " << r.gothic << ", SimSun " << r.simsun);
    CFakeFaces faces;
    if (r.gothic) {
      faces.SetFace(u"MS PGothic", FakeFaceCovering(0x3041, 0x3096, 12));  // no 0x30FA
      faces.Face(u"MS PGothic").codes.insert(0x4E2D);
    }
    if (r.simsun) {
      faces.SetFace(u"SimSun", FakeFaceCovering(0x3041, 0x30FF, 14));
      for (u32 c = 0x4E00; c <= 0x4EFF; ++c) faces.Face(u"SimSun").codes.insert(c);
    }
    CFontListScope scope(&faces);
    CFont* font = AcquireFont(u"Tahoma", 10, false, false);
    ASSERT_NE(font, nullptr);
    auto advance = [&](u32 code) {
      const Glyph* g = font->FindGlyph(code);
      return g ? g->advanceX : 0.0;
    };
    EXPECT_EQ(advance(0x3042), r.kana);
    EXPECT_EQ(advance(0x4E2D), r.ideograph);
    EXPECT_EQ(advance(0x30FA), r.katakana);
    EXPECT_EQ(faces.Opens(u"SimSun") > 0, r.simsunAsked);
    font->Release();
  }
}
