// Real faces: FreeType glyph conversion on Tahoma (the TrueType files of
// fonts-wine), face choice inside a font collection, the system font data
// read through GDI, and drawing with system fonts from several threads.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "render/canvas.h"
#include "render/text/font.h"
#include "render/text/glyph.h"
#include "render/text/font_freetype.h"
#include "support/font_fake_faces.h"
#include "runtime/byte_order.h"
#include "runtime/heap.h"
#include "runtime/threads.h"
#include "runtime/win.h"
#include "../render_test_support.h"

namespace {

typedef std::vector<u8> Bytes;

bool ReadFontFile(const char* name, Bytes* out) {
  std::string path = std::string("Z:\\usr\\share\\wine\\fonts\\") + name;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  u8 buffer[65536];
  size_t n;
  out->clear();
  while ((n = std::fread(buffer, 1, sizeof(buffer), f)) > 0) out->insert(out->end(), buffer, buffer + n);
  std::fclose(f);
  return !out->empty();
}

u8* HeapCopy(const Bytes& bytes) {
  u8* block = static_cast<u8*>(rt::malloc(static_cast<u32>(bytes.size())));
  std::memcpy(block, bytes.data(), bytes.size());
  return block;
}

// A font collection of the given single fonts: the header, each font's table
// directory with offsets moved to the copy of its file that follows.
Bytes MakeCollection(const std::vector<const Bytes*>& fonts) {
  const size_t headerBytes = 12 + 4 * fonts.size();
  size_t directories = 0;
  for (const Bytes* f : fonts) directories += 12 + 16 * ((f->at(4) << 8) | f->at(5));
  Bytes out(headerBytes + directories, 0);
  out[0] = 't', out[1] = 't', out[2] = 'c', out[3] = 'f';
  WriteBigEndian32(&out[4], 0x00010000u);
  WriteBigEndian32(&out[8], static_cast<u32>(fonts.size()));
  size_t directory = headerBytes;
  for (size_t i = 0; i < fonts.size(); ++i) {
    const Bytes& font = *fonts[i];
    while (out.size() % 4) out.push_back(0);
    const size_t copyAt = out.size();
    const u32 tables = (font[4] << 8) | font[5];
    WriteBigEndian32(&out[12 + 4 * i], static_cast<u32>(directory));
    std::memcpy(&out[directory], font.data(), 12 + 16 * tables);
    for (u32 t = 0; t < tables; ++t) {
      const size_t record = directory + 12 + 16 * t;
      WriteBigEndian32(&out[record + 8], ReadBigEndian32(&out[record + 8]) + static_cast<u32>(copyAt));
    }
    directory += 12 + 16 * tables;
    out.insert(out.end(), font.begin(), font.end());
  }
  return out;
}

class FreeTypeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(ReadFontFile("tahoma.ttf", &regular_)) << "fonts-wine's tahoma.ttf missing";
    ASSERT_TRUE(ReadFontFile("tahomabd.ttf", &bold_)) << "fonts-wine's tahomabd.ttf missing";
  }
  Bytes regular_, bold_;
};

}  // namespace

// Glyphs rendered through the program's FreeType path against FreeType
// driven directly: grey outlines become trimmed coverage rows, 1-bit
// bitmaps (Tahoma carries them at small sizes) full coverage where set.
TEST_F(FreeTypeTest, GlyphsMatchFreeTypeDrivenDirectly) {
  FT_Library library = NewFreeTypeLibrary(), own = NewFreeTypeLibrary();
  ASSERT_TRUE(library && own);
  FT_Face reference = nullptr, face = nullptr;
  ASSERT_EQ(FT_New_Memory_Face(library, regular_.data(), static_cast<FT_Long>(regular_.size()), 0, &reference), 0);
  ASSERT_EQ(FT_New_Memory_Face(own, regular_.data(), static_cast<FT_Long>(regular_.size()), 0, &face), 0);
  FT_Bitmap scratch;
  FT_Bitmap_Init(&scratch);
  const struct {
    FT_F26Dot6 size;
    FT_Int32 flags;
    std::vector<u32> codes;
  } rows[] = {{12 * 64, FT_LOAD_RENDER | FT_LOAD_NO_BITMAP, {'A', 'g', 'W', 0xE9, '.'}},
              {10 * 64, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO, {'A', 'k', '@'}}};
  for (const auto& r : rows) {
    ASSERT_EQ(FT_Set_Char_Size(reference, r.size, 0, 96, 0), 0);
    ASSERT_EQ(FT_Set_Char_Size(face, r.size, 0, 96, 0), 0);
    for (u32 code : r.codes) {
      SCOPED_TRACE(code);
      GlyphImage image;
      ASSERT_TRUE(RenderFreeTypeGlyph(own, face, code, r.flags, &scratch, &image));
      ASSERT_EQ(FT_Load_Char(reference, code, r.flags), 0);
      const FT_Bitmap& bm = reference->glyph->bitmap;
      const bool mono = bm.pixel_mode == FT_PIXEL_MODE_MONO;
      ASSERT_TRUE(mono || bm.pixel_mode == FT_PIXEL_MODE_GRAY);
      ASSERT_TRUE(image.rows == bm.rows && image.width == bm.width && image.left == reference->glyph->bitmap_left);
      EXPECT_TRUE(mono || image.greyLevels == 256);
      EXPECT_EQ(image.advanceX, reference->glyph->advance.x / 64.0);
      int inked = 0;
      for (u32 y = 0; y < bm.rows; ++y)
        for (u32 x = 0; x < bm.width; ++x) {
          const u8 want = mono ? ((bm.buffer[y * bm.pitch + x / 8] >> (7 - x % 8)) & 1) * 255 : bm.buffer[y * bm.pitch + x];
          // A set 1-bit pixel becomes full coverage: its byte equals the grey levels.
          const u32 got = image.topRow[static_cast<i64>(y) * image.pitch + x];
          ASSERT_EQ(mono ? (got == 0 ? 0u : got == image.greyLevels ? 255u : 1u) : got, want) << y << "," << x;
          inked += want != 0;
        }
      EXPECT_GT(inked, 0);
      std::vector<double> block(Glyph::RecordBytes(image) / 8 + 1);
      Glyph::FromBitmap(image, block.data());
      fonttest::ExpectRecordOf(image, reinterpret_cast<const Glyph*>(block.data()));
    }
  }
  FT_Bitmap_Done(own, &scratch);
  FT_Done_Face(face);
  DoneFreeTypeLibrary(own);
  // A face of the program's own: wider glyphs wider, metrics from the size.
  IFontFace* memoryFace = OpenMemoryFace(HeapCopy(regular_), static_cast<u32>(regular_.size()), u"Tahoma", 12, false, false, 96);
  ASSERT_NE(memoryFace, nullptr);
  ASSERT_EQ(FT_Set_Char_Size(reference, 12 * 64, 0, 96, 0), 0);
  GlyphImage w, i;
  ASSERT_TRUE(memoryFace->RenderChar('W', &w));
  const double wide = w.advanceX;
  ASSERT_TRUE(memoryFace->RenderChar('i', &i));
  EXPECT_GT(wide, i.advanceX);
  double line, ascender, descender;
  memoryFace->Metrics(&line, &ascender, &descender);
  EXPECT_TRUE(line == reference->size->metrics.height / 64.0 && ascender > 0 && descender > 0);
  CloseMemoryFace(memoryFace);
  FT_Done_Face(reference);
  DoneFreeTypeLibrary(library);
  // Damaged font data opens no face.
  const Bytes cut(regular_.begin(), regular_.begin() + 200), junk(4096, 0x5A);
  for (const Bytes* bad : {&cut, &junk})
    EXPECT_EQ(OpenMemoryFace(HeapCopy(*bad), static_cast<u32>(bad->size()), u"Tahoma", 8, false, false, 96), nullptr);
  EXPECT_EQ(OpenMemoryFace(nullptr, 100, u"Tahoma", 8, false, false, 96), nullptr);
}

TEST_F(FreeTypeTest, CollectionsOpenTheFaceWhoseNamesMatch) {
  const Bytes both = MakeCollection({&regular_, &bold_}), reversed = MakeCollection({&bold_, &regular_});
  const struct {
    const Bytes* data;
    const char16_t* name;
    bool bold;
    i32 face;
  } rows[] = {{&both, u"Tahoma", false, 0},    {&both, u"Tahoma", true, 1},      {&both, u"tahoma", true, 1},
              {&both, u"Verdana", true, 0},    {&reversed, u"Tahoma", false, 1}, {&regular_, u"Tahoma", true, 0}};
  for (const auto& r : rows)
    EXPECT_EQ(SelectCollectionFace(r.data->data(), static_cast<u32>(r.data->size()), r.name, r.bold, false), r.face);

  // The face opened from the collection renders as the bold file does (at a
  // size drawn from the outlines).
  IFontFace* fromCollection =
      OpenMemoryFace(HeapCopy(reversed), static_cast<u32>(reversed.size()), u"Tahoma", 40, true, false, 96);
  IFontFace* single = OpenMemoryFace(HeapCopy(bold_), static_cast<u32>(bold_.size()), u"Tahoma", 40, true, false, 96);
  IFontFace* plain = OpenMemoryFace(HeapCopy(regular_), static_cast<u32>(regular_.size()), u"Tahoma", 40, false, false, 96);
  ASSERT_NE(fromCollection, nullptr);
  ASSERT_NE(single, nullptr);
  ASSERT_NE(plain, nullptr);
  auto pixelsOf = [](IFontFace* f, u32 code) {
    GlyphImage image;
    std::vector<u8> out;
    if (!f->RenderChar(code, &image)) return out;
    out.push_back(static_cast<u8>(image.width));
    out.push_back(static_cast<u8>(image.advanceX));
    for (u32 r = 0; r < image.rows; ++r)
      for (u32 x = 0; x < image.width; ++x) out.push_back(image.topRow[static_cast<i64>(r) * image.pitch + x]);
    return out;
  };
  for (u32 code : {u32('m'), u32('B'), u32('e')}) {
    std::vector<u8> fromBoth = pixelsOf(fromCollection, code);
    ASSERT_FALSE(fromBoth.empty());
    EXPECT_TRUE(fromBoth == pixelsOf(single, code)) << code;
    EXPECT_FALSE(fromBoth == pixelsOf(plain, code)) << code;
  }
  CloseMemoryFace(fromCollection);
  CloseMemoryFace(single);
  CloseMemoryFace(plain);
}

TEST_F(FreeTypeTest, GdiSuppliesTheFileOfTheFaceItMapsTo) {
  u32 bytes = 0;
  u8* data = GetSystemFontData(u"Tahoma", 8, false, false, &bytes);
  ASSERT_NE(data, nullptr);
  ASSERT_GT(bytes, 1000u);
  // The face GDI selects for the request (the system may substitute one).
  HDC dc = CreateCompatibleDC(nullptr);
  HFONT font = CreateFontW(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_TT_PRECIS,
                           CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"Tahoma");
  HGDIOBJ old = SelectObject(dc, font);
  wchar_t selected[64] = {0};
  GetTextFaceW(dc, 64, selected);
  const DWORD size = GetFontData(dc, 0, 0, nullptr, 0);
  SelectObject(dc, old);
  DeleteObject(font);
  DeleteDC(dc);
  EXPECT_EQ(bytes, size);
  // The bytes are a whole font file of that family.
  FT_Library library = NewFreeTypeLibrary();
  FT_Face face = nullptr;
  ASSERT_EQ(FT_New_Memory_Face(library, data, static_cast<FT_Long>(bytes), 0, &face), 0);
  std::string family = face->family_name ? face->family_name : "";
  std::string expected;
  for (const wchar_t* p = selected; *p; ++p) expected.push_back(static_cast<char>(*p));
  EXPECT_EQ(family, expected);
  if (family == "Tahoma") {
    ASSERT_EQ(bytes, regular_.size());
    EXPECT_EQ(std::memcmp(data, regular_.data(), bytes), 0);
  }
  FT_Done_Face(face);
  DoneFreeTypeLibrary(library);
  rt::free(data);
  u32 x = 0, y = 0;
  GetScreenDpi(&x, &y);
  EXPECT_GT(x, 0u);
  EXPECT_GT(y, 0u);
}

TEST(SystemFonts, DefaultFontThroughGdiAndFreeType) {
  ASSERT_TRUE(InitFontListWith(SystemFaceProvider()));
  CFont* font = GetDefaultFont();
  ASSERT_NE(font, nullptr);
  EXPECT_GT(font->lineHeight, 8);
  EXPECT_GT(font->ascender, 0);
  EXPECT_GT(font->spaceAdvance, 0);
  EXPECT_GT(font->averageAdvance, 0);
  const Glyph* a = font->FindGlyph('A');
  ASSERT_NE(a, nullptr);
  EXPECT_GT(a->rows, 0u);
  EXPECT_NEAR(font->MeasureText(u"a\tb", 3),
              font->FindGlyph('a')->advanceX + 8 * font->spaceAdvance + font->FindGlyph('b')->advanceX, 1e-9);
  EXPECT_NE(font->FindGlyph(0xE9), nullptr);  // Latin-1, loaded on use
  EXPECT_EQ(font->FindGlyph(0xE123), nullptr);
  EXPECT_TRUE(font->IsKnownMissing(0xE123));
  CFont* bold = AcquireFont(u"Tahoma", 10, true, false);
  ASSERT_NE(bold, nullptr);
  EXPECT_GT(bold->FindGlyph('m')->advanceX, font->FindGlyph('m')->advanceX);
  bold->Release();
  font->Release();
  DestroyFontList();
}

TEST(SystemFonts, StartUpEntryMakesTheList) {
  InitFontList();
  CFont* font = GetDefaultFont();
  ASSERT_NE(font, nullptr);
  EXPECT_NE(UiFontBold(), nullptr);
  font->Release();
  DestroyFontList();
  EXPECT_EQ(GetDefaultFont(), nullptr);
}

// A line laid out in a rectangle at the default font shows its glyphs
// whole: the accents of capitals, which rise above the cap height and past
// the top of the line's rounded metrics, keep every row, in one band as in
// four, exactly as a run drawn at the same pen with the glyphs' own box.
TEST(SystemFonts, TextLinesDrawTheAccentsOfCapitals) {
  ASSERT_TRUE(InitFontListWith(SystemFaceProvider()));
  CFont* font = GetDefaultFont();
  ASSERT_NE(font, nullptr);
  const Glyph* capital = font->FindGlyph('H');
  ASSERT_NE(capital, nullptr);
  const double capTop = capital->bottom + capital->rows;  // rows from here up are the accents'
  const std::u16string text = u"\xD1\xDC\xC9";  // N with tilde, U with diaeresis, E with acute
  const i32 w = 60, h = 30, left = 2, top = 28;
  const u32 black = 0xFF000000u, white = 0xFFFFFFFFu;
  const double baseline = top - font->ascender;
  // The glyphs' rows above the cap height, blended in order at their pens.
  std::vector<u32> expected(static_cast<size_t>(w) * h, black);
  std::vector<bool> accentRow(h, false);
  double pen = left;
  for (char16_t c : text) {
    SCOPED_TRACE(static_cast<u32>(c));
    const Glyph* g = font->FindGlyph(c);
    ASSERT_NE(g, nullptr);
    const i32 x0 = static_cast<i32>(std::trunc(pen + g->left)), y0 = static_cast<i32>(std::trunc(baseline + g->bottom));
    const u8* p = reinterpret_cast<const u8*>(g) + kGlyphHeaderBytes;
    i32 inkedAbove = 0;
    for (u32 r = 0; r < g->rows; ++r) {
      const u32 first = reinterpret_cast<const u32*>(p)[0], length = reinterpret_cast<const u32*>(p)[1];
      const double* coverage = reinterpret_cast<const double*>(p + 8);
      p += 8 + 8 * static_cast<size_t>(length);
      if (g->bottom + r < capTop) continue;
      const i32 y = y0 + static_cast<i32>(r);
      ASSERT_TRUE(y >= 0 && y < h && x0 + static_cast<i32>(first + length) <= w);
      accentRow[y] = true;
      for (u32 i = 0; i < length; ++i) {
        u32& px = expected[static_cast<size_t>(y) * w + x0 + first + i];
        px = ExpectedPixel(px, white, coverage[i]);
        inkedAbove += coverage[i] > 0;
      }
    }
    EXPECT_GT(inkedAbove, 0) << "an accent above the cap height";
    pen += g->advanceX;
  }
  for (i32 bands : {1, 4}) {
    SCOPED_TRACE(bands);
    TestTarget line(w, h, bands, black), run(w, h, bands, black);
    for (TestTarget* t : {&line, &run}) {
      t->canvas.SetFont(font);
      t->canvas.textColour = white;
    }
    line.canvas.DrawTextInRect(left, 2, w - 2, top, text.c_str(), static_cast<i32>(text.size()), 0);
    line.canvas.list.Flush(line.canvas.bandCount);
    run.canvas.DrawText(left, baseline, text.c_str(), static_cast<i32>(text.size()));
    run.canvas.list.Flush(run.canvas.bandCount);
    for (i32 y = 0; y < h; ++y) {
      if (!accentRow[y]) continue;
      for (i32 x = 0; x < w; ++x) ASSERT_EQ(line.At(x, y), expected[static_cast<size_t>(y) * w + x]) << x << "," << y;
    }
    EXPECT_TRUE(line.pixels == run.pixels);
  }
  font->Release();
  DestroyFontList();
}

namespace {

struct SystemDrawJob {
  CFont* font;
  std::vector<u32> pixels;
};

u32 DrawWithSystemFont(void* argument) {
  SystemDrawJob* job = static_cast<SystemDrawJob*>(argument);
  for (int round = 0; round < 6; ++round) {
    std::vector<u32> pixels(240 * 60, 0xFF000000u);
    std::vector<double> coverage(240 * 4);
    CCanvas canvas(4);
    canvas.Attach(pixels.data(), coverage.data(), 240, 60);
    canvas.SetFont(job->font);
    canvas.textColour = 0xFFFFFFFFu;
    std::u16string text = u"Caf\xE9 \x3042 ";
    for (int i = 0; i < 5; ++i) text.push_back(static_cast<char16_t>(0xE400 + round * 300 + i * 51));
    text += u" \x0416\x0436 ok";
    for (int line = 0; line < 3; ++line) canvas.DrawText(2, 6 + 18 * line, text.c_str(), static_cast<i32>(text.size()));
    canvas.list.Flush(canvas.bandCount);
    job->pixels = pixels;
  }
  return 0;
}

}  // namespace

TEST(SystemFonts, SeveralThreadsDrawRunsWithMissingCodePoints) {
  ASSERT_TRUE(InitFontListWith(SystemFaceProvider()));
  CFont* font = AcquireFont(u"Tahoma", 9, false, false);
  ASSERT_NE(font, nullptr);
  std::vector<SystemDrawJob> jobs(4, SystemDrawJob{font, {}});
  std::vector<CThread> threads(4);
  for (size_t i = 0; i < jobs.size(); ++i) ASSERT_TRUE(threads[i].Start(&DrawWithSystemFont, &jobs[i], 256 * 1024));
  for (auto& t : threads) EXPECT_TRUE(t.Join(120000));
  for (const auto& job : jobs) EXPECT_TRUE(job.pixels == jobs[0].pixels);
  bool inked = false;
  for (u32 p : jobs[0].pixels) inked |= p != 0xFF000000u;
  EXPECT_TRUE(inked);
  font->Release();
  DestroyFontList();
}
