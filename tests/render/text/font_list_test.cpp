// The font list, reference counts, glyph records and lazy glyph ranges, over
// the fake face provider.
#include <gtest/gtest.h>

#include <vector>

#include "font_fake_faces.h"
#include "render/text/font.h"
#include "render/text/glyph.h"

using namespace fonttest;

TEST(GlyphRecord, RowsAreTrimmedAndStoredFromTheLowestUp) {
  // 5 columns x 4 rows, top row first.
  const u8 pixels[4][5] = {
      {0, 0, 0, 0, 0},        // top: empty
      {0, 255, 128, 0, 0},    //
      {1, 0, 0, 0, 64},       // zeros inside a row stay
      {0, 0, 0, 0, 32},       // lowest
  };
  GlyphImage image{7.5, 0, -1, 3, 4, 5, &pixels[0][0], 5, 256};
  std::vector<double> block(Glyph::RecordBytes(image) / 8);
  EXPECT_EQ(Glyph::RecordBytes(image), 56u + (8 + 8) + (8 + 5 * 8) + (8 + 2 * 8) + 8);
  Glyph::FromBitmap(image, block.data());
  const Glyph* g = reinterpret_cast<const Glyph*>(block.data());
  EXPECT_EQ(g->size, Glyph::RecordBytes(image));
  EXPECT_EQ(g->advanceX, 7.5);
  EXPECT_EQ(g->left, -1);
  EXPECT_EQ(g->bottom, -1);  // top 3 minus 4 rows
  EXPECT_EQ(g->rows, 4u);
  EXPECT_EQ(g->width, 5u);
  Glyph::Row r0 = g->GetRow(0), r1 = g->GetRow(1), r2 = g->GetRow(2), r3 = g->GetRow(3);
  EXPECT_EQ(r0.first, 4u);
  ASSERT_EQ(r0.length, 1u);
  EXPECT_EQ(r0.coverage[0], 32 / 256.0);
  EXPECT_EQ(r1.first, 0u);
  ASSERT_EQ(r1.length, 5u);
  EXPECT_EQ(r1.coverage[0], 1 / 256.0);
  EXPECT_EQ(r1.coverage[1], 0.0);
  EXPECT_EQ(r1.coverage[4], 64 / 256.0);
  EXPECT_EQ(r2.first, 1u);
  ASSERT_EQ(r2.length, 2u);
  EXPECT_EQ(r2.coverage[0], 255 / 256.0);
  EXPECT_EQ(r2.coverage[1], 128 / 256.0);
  EXPECT_EQ(r3.first, 0u);
  EXPECT_EQ(r3.length, 0u);
}

TEST(GlyphRecord, RangeBlockChainsRecordsAndKeepsEmptyEntries) {
  const u8 ink[2] = {10, 20};
  GlyphImage image{3, 0, 0, 1, 1, 2, ink, 2, 256};
  CGlyphRangeBuilder builder(0xFFFE, 3);  // ends past 0xFFFF
  ASSERT_TRUE(builder.Add(0, image));
  ASSERT_TRUE(builder.Add(2, image));
  EXPECT_FALSE(builder.Add(2, image));  // an entry is filled once
  EXPECT_FALSE(builder.Add(3, image));
  GlyphRange* range = builder.Finish();
  ASSERT_NE(range, nullptr);
  EXPECT_EQ(range->first, 0xFFFEu);
  EXPECT_EQ(range->end, 0x10001u);
  EXPECT_TRUE(range->Covers(0x10000));
  EXPECT_FALSE(range->Covers(0x10001));
  EXPECT_FALSE(range->Covers(0x0000));
  const Glyph* a = range->Entry(0xFFFE);
  const Glyph* c = range->Entry(0x10000);
  ASSERT_NE(a, nullptr);
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(range->Entry(0xFFFF), nullptr);
  EXPECT_EQ(a->next, c);
  EXPECT_EQ(c->next, nullptr);
  EXPECT_EQ(c->GetRow(0).coverage[1], 20 / 256.0);
  GlyphRange* list = nullptr;
  InsertGlyphRange(&list, range);
  EXPECT_EQ(GlyphRange::Find(list, 0x10000), range);
  EXPECT_EQ(GlyphRange::Find(list, 0x41), nullptr);
  GlyphRange::FreeList(list);
}

TEST(GlyphRecord, ImagesTooLargeForARecordAreRefused) {
  // Every row is the same fully inked row (pitch 0): 8193 rows of 65536
  // columns need more than 4 GB of coverage values.
  std::vector<u8> ink(65536, 255);
  GlyphImage huge{3, 0, 0, 8193, 8193, 65536, ink.data(), 0, 256};
  EXPECT_EQ(Glyph::RecordBytes(huge), 0xFFFFFFFFu);
  CGlyphRangeBuilder builder(0x41, 2);
  EXPECT_FALSE(builder.Add(0, huge));
  // The builder still takes a normal glyph afterwards.
  GlyphImage small{3, 0, 0, 1, 1, 2, ink.data(), 2, 256};
  EXPECT_EQ(Glyph::RecordBytes(small), kGlyphHeaderBytes + 8 + 16);
  EXPECT_TRUE(builder.Add(1, small));
  GlyphRange* range = builder.Finish();
  ASSERT_NE(range, nullptr);
  EXPECT_EQ(range->Entry(0x41), nullptr);
  ASSERT_NE(range->Entry(0x42), nullptr);
  EXPECT_EQ(range->Entry(0x42)->GetRow(0).length, 2u);
  GlyphRange::FreeList(range);
}

TEST(GlyphRecord, RangesAfterTheHeadStayInCodeOrder) {
  const u8 ink = 1;
  GlyphImage image{1, 0, 0, 1, 1, 1, &ink, 1, 256};
  GlyphRange* list = nullptr;
  const u32 firsts[] = {0x100, 0x300, 0x20, 0x200};
  for (u32 f : firsts) {
    CGlyphRangeBuilder b(f, 1);
    b.Add(0, image);
    InsertGlyphRange(&list, b.Finish());
  }
  std::vector<u32> order;
  for (const GlyphRange* r = list; r; r = r->next) order.push_back(r->first);
  EXPECT_EQ(order, (std::vector<u32>{0x100, 0x20, 0x200, 0x300}));
  GlyphRange::FreeList(list);
}

TEST(FontList, SameRequestGivesTheSameFontWithOneMoreReference) {
  CFakeFaces faces;
  CFontListScope scope(&faces);
  ASSERT_TRUE(scope.ok);
  const u32 listed = FontListCount();
  CFont* a = AcquireFont(u"Tahoma", 9, false, false);
  CFont* b = AcquireFont(u"Tahoma", 9, false, false);
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a, b);
  EXPECT_EQ(a->references, 2);
  EXPECT_EQ(FontListCount(), listed + 1);
  CFont* italic = AcquireFont(u"Tahoma", 9, false, true);
  EXPECT_NE(italic, a);
  italic->Release();
  b->Release();
  EXPECT_EQ(a->references, 1);
  a->Release();
  EXPECT_EQ(FontListCount(), listed);
}

TEST(FontList, DefaultAndUiFonts) {
  CFakeFaces faces;
  {
    CFontListScope scope(&faces);
    ASSERT_TRUE(scope.ok);
    CFont* def = GetDefaultFont();
    ASSERT_NE(def, nullptr);
    EXPECT_EQ(def->faceName.GetLength(), 6);
    EXPECT_EQ(def->size, 8u);
    EXPECT_EQ(UiFontNormal(), def);
    EXPECT_EQ(UiFontSecond(), def);
    ASSERT_NE(UiFontBold(), nullptr);
    EXPECT_EQ(UiFontBold()->size, 10u);
    EXPECT_EQ(UiFontBold()->bold, 1);
    // The list's own, the two UI fonts' and this one.
    EXPECT_EQ(def->references, 4);
    CFont* again = AcquireFont(u"Tahoma", 8, false, false);
    EXPECT_EQ(again, def);
    again->Release();
    def->Release();
  }
  EXPECT_EQ(GetDefaultFont(), nullptr);
  EXPECT_EQ(FontListCount(), 0u);
}

TEST(FontList, AFaceThatCannotBeOpenedGivesNoFont) {
  CFakeFaces faces;
  CFontListScope scope(&faces);
  const u32 listed = FontListCount();
  EXPECT_EQ(AcquireFont(u"No Such Face", 8, false, false), nullptr);
  EXPECT_EQ(AcquireFont(u"Tahoma", 0, false, false), nullptr);
  EXPECT_EQ(AcquireFont(u"", 8, false, false), nullptr);
  EXPECT_EQ(AcquireFont(nullptr, 8, false, false), nullptr);
  EXPECT_EQ(FontListCount(), listed);
  // A face without any code point from 32 up gives no font either.
  FakeFaceSpec control;
  control.codes = {0, 9, 13};
  faces.SetFace(u"Control", control);
  EXPECT_EQ(AcquireFont(u"Control", 8, false, false), nullptr);
}

TEST(FontList, WithoutAListNothingIsCreated) {
  EXPECT_EQ(GetDefaultFont(), nullptr);
  EXPECT_EQ(AcquireFont(u"Tahoma", 8, false, false), nullptr);
}

TEST(FontList, FontRefHoldsAndReleases) {
  CFakeFaces faces;
  CFontListScope scope(&faces);
  CFont* font = AcquireFont(u"Tahoma", 11, false, false);
  ASSERT_NE(font, nullptr);
  {
    CFontRef ref(font);  // takes over the reference
    CFontRef copy(ref);
    EXPECT_EQ(font->references, 2);
    CFontRef other;
    other = copy;
    EXPECT_EQ(font->references, 3);
    other.Assign(nullptr);
    EXPECT_EQ(font->references, 2);
    copy.AddRef();  // a reference of its own for the test to give back
    EXPECT_EQ(font->references, 3);
    font->Release();
  }
  EXPECT_EQ(FontListCount(), 3u - 1u);  // only the default and the bold UI font remain
}

TEST(FontMetrics, TakenFromTheFaceAndTheFirstRange) {
  CFakeFaces faces;
  faces.Face(u"Tahoma").advance = 10;
  faces.Face(u"Tahoma").spaceAdvance = 4;
  CFontListScope scope(&faces);
  CFont* font = AcquireFont(u"Tahoma", 12, false, false);
  ASSERT_NE(font, nullptr);
  EXPECT_EQ(font->lineHeight, 16);
  EXPECT_EQ(font->ascender, 12);
  EXPECT_EQ(font->descender, 4);
  EXPECT_EQ(font->spaceAdvance, 4);
  // 32..126: the space (4) and 94 glyphs of 10.
  EXPECT_DOUBLE_EQ(font->averageAdvance, (4 + 94 * 10.0) / 95);
  EXPECT_EQ(font->leftOverhang, 2);  // 'j'
  // The first range starts at the space, not at the face's code 0 or 13.
  ASSERT_NE(font->ranges, nullptr);
  EXPECT_EQ(font->ranges->first, 32u);
  EXPECT_EQ(font->ranges->end, 127u);
  font->Release();
}

TEST(FontGlyphs, LookupAndLazyRanges) {
  CFakeFaces faces;
  CFontListScope scope(&faces);
  CFont* font = AcquireFont(u"Tahoma", 10, false, false);
  ASSERT_NE(font, nullptr);
  EXPECT_EQ(font->FindGlyph(9), nullptr);
  EXPECT_EQ(font->FindGlyph(13), nullptr);
  const Glyph* a = font->FindGlyph('a');
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->advanceX, 10);
  EXPECT_EQ(a->rows, 8u);
  EXPECT_EQ(a->GetRow(0).first, 1u);
  EXPECT_EQ(a->GetRow(0).length, 4u);
  EXPECT_EQ(a->GetRow(0).coverage[0], FakeInk('a') / 256.0);
  EXPECT_EQ(a->GetRow(7).length, 0u);
  // Latin-1 is loaded on first use, once, as the run of its block.
  const int renders = faces.Renders(0xE9);
  const Glyph* e = font->FindGlyph(0xE9);
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(faces.Renders(0xE9), renders + 1);
  EXPECT_EQ(font->FindGlyph(0xE9), e);
  EXPECT_NE(font->FindGlyph(0xA0), nullptr);
  EXPECT_EQ(faces.Renders(0xE9), renders + 1);
  const GlyphRange* latin1 = GlyphRange::Find(font->ranges, 0xE9);
  ASSERT_NE(latin1, nullptr);
  EXPECT_EQ(latin1->first, 0xA0u);
  EXPECT_EQ(latin1->end, 0x100u);  // the block ends at 0xFF
  EXPECT_NE(GlyphRange::Find(font->ranges, 0x100), latin1);
  font->Release();
}

TEST(FontGlyphs, CodePointsNoFaceHasAreNotRetried) {
  CFakeFaces faces;
  CFontListScope scope(&faces);
  CFont* font = AcquireFont(u"Tahoma", 10, false, false);
  ASSERT_NE(font, nullptr);
  const int opens = faces.TotalOpens();
  EXPECT_EQ(font->FindGlyph(0xE000), nullptr);
  EXPECT_TRUE(font->IsKnownMissing(0xE000));
  const int afterFirst = faces.TotalOpens();
  EXPECT_GT(afterFirst, opens);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(font->FindGlyph(0xE000), nullptr);
  EXPECT_EQ(faces.TotalOpens(), afterFirst);
  // A glyph that fails to render stays empty and is not retried either.
  faces.Face(u"Tahoma").failing = {0x110};
  CFont* other = AcquireFont(u"Tahoma", 13, false, false);
  ASSERT_NE(other, nullptr);
  EXPECT_EQ(other->FindGlyph(0x110), nullptr);
  EXPECT_NE(other->FindGlyph(0x111), nullptr);  // the rest of the range is there
  const int renders = faces.Renders(0x110);
  EXPECT_EQ(other->FindGlyph(0x110), nullptr);
  EXPECT_EQ(faces.Renders(0x110), renders);
  other->Release();
  font->Release();
}

TEST(FontGlyphs, HighCodePointsNearTheEndOfThePlane) {
  CFakeFaces faces;
  CFontListScope scope(&faces);
  CFont* font = AcquireFont(u"Tahoma", 10, false, false);
  ASSERT_NE(font, nullptr);
  const Glyph* g = font->FindGlyph(0xFFFD);
  ASSERT_NE(g, nullptr);
  const GlyphRange* r = GlyphRange::Find(font->ranges, 0xFFFD);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->first, 0xFFF0u);
  EXPECT_EQ(r->end, 0xFFFEu);
  EXPECT_EQ(font->FindGlyph(0xFFFF), nullptr);
  EXPECT_EQ(font->FindGlyph('A')->advanceX, 10);  // earlier ranges still found
  font->Release();
}

TEST(FontGlyphs, KanaComesFromTheFirstFallbackFaceAndStays) {
  CFakeFaces faces;
  faces.SetFace(u"MS PGothic", FakeFaceCovering(0x3041, 0x3096, 12));
  faces.SetFace(u"SimSun", FakeFaceCovering(0x3041, 0x30FF, 14));
  CFontListScope scope(&faces);
  CFont* font = AcquireFont(u"Tahoma", 10, false, false);
  ASSERT_NE(font, nullptr);
  const Glyph* a = font->FindGlyph(0x3042);  // hiragana a
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->advanceX, 12);
  // Katakana of the same block that only the second face has come from it.
  const Glyph* ka = font->FindGlyph(0x30AB);
  ASSERT_NE(ka, nullptr);
  EXPECT_EQ(ka->advanceX, 14);
  const GlyphRange* block = GlyphRange::Find(font->ranges, 0x3042);
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(block->first, 0x3000u);  // an aligned block of 256
  EXPECT_EQ(block->end, 0x3100u);
  EXPECT_EQ(block, GlyphRange::Find(font->ranges, 0x30AB));
  // Loaded once: later lookups open no face.
  const int opens = faces.TotalOpens();
  EXPECT_EQ(font->FindGlyph(0x3042), a);
  EXPECT_EQ(font->FindGlyph(0x3000), nullptr);  // in the block, in no face
  EXPECT_EQ(faces.TotalOpens(), opens);
  font->Release();
}

TEST(FontGlyphs, IdeographsFallBackToTheSecondFaceWhenTheFirstIsMissing) {
  CFakeFaces faces;
  faces.SetFace(u"SimSun", FakeFaceCovering(0x4E00, 0x4EFF, 16));
  CFontListScope scope(&faces);
  CFont* font = AcquireFont(u"Tahoma", 10, false, false);
  ASSERT_NE(font, nullptr);
  const Glyph* g = font->FindGlyph(0x4E2D);
  ASSERT_NE(g, nullptr);
  EXPECT_EQ(g->advanceX, 16);
  EXPECT_GE(faces.Opens(u"MS PGothic"), 1);
  // A block that no face has is noted as a whole.
  const int opens = faces.TotalOpens();
  EXPECT_EQ(font->FindGlyph(0x9F00), nullptr);
  EXPECT_EQ(font->FindGlyph(0x9F01), nullptr);
  EXPECT_TRUE(font->IsKnownMissing(0x9FFF));
  EXPECT_EQ(faces.TotalOpens(), opens + 3);  // own face and both fallbacks, once
  font->Release();
}

TEST(FontGlyphs, OwnFaceGlyphsWinOverFallbacks) {
  CFakeFaces faces;
  faces.Face(u"Tahoma").codes.insert(0x4E01);
  faces.SetFace(u"MS PGothic", FakeFaceCovering(0x4E00, 0x4E01, 20));
  CFontListScope scope(&faces);
  CFont* font = AcquireFont(u"Tahoma", 10, false, false);
  ASSERT_NE(font, nullptr);
  EXPECT_EQ(font->FindGlyph(0x4E01)->advanceX, 10);
  EXPECT_EQ(font->FindGlyph(0x4E00)->advanceX, 20);
  font->Release();
}

TEST(FontText, FindCharN) {
  const wchar16 text[] = u"ab\tc";
  EXPECT_EQ(FindCharN(text, u'\t', 4), text + 2);
  EXPECT_EQ(FindCharN(text, u'\t', 2), nullptr);
  EXPECT_EQ(FindCharN(text, u'z', 10), nullptr);
  EXPECT_EQ(FindCharN(u"", u'a', 5), nullptr);
  EXPECT_EQ(FindCharN(nullptr, u'a', 5), nullptr);
  EXPECT_TRUE(IsBlank(32));
  EXPECT_TRUE(IsBlank(9));
  EXPECT_FALSE(IsBlank(10));
}
