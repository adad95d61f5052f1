// PNG decoding: ImageMagick's files against its own raw dumps, files of the
// tests' encoder against their source pixels, refusals, and damaged files.
#include <gtest/gtest.h>
#include <zlib.h>

#include <set>
#include <string>

#include "png_test_encoder.h"
#include "render/bitmap.h"
#include "render/png_decoder.h"

using namespace pngtest;

namespace {

struct Loaded {
  explicit Loaded(const Bytes& png) : bitmap(CBitmap::LoadPng(png.data(), static_cast<u32>(png.size()))) {}
  ~Loaded() { CBitmap::Destroy(bitmap); }
  CBitmap* bitmap;
};

// Filter types of every row of an 8-bit RGBA PNG, read with zlib directly.
std::set<int> RowFilters(const Bytes& png) {
  std::set<int> types;
  Bytes idat;
  for (size_t at : ChunkOffsets(png)) {
    u32 length = (u32(png[at]) << 24) | (u32(png[at + 1]) << 16) | (u32(png[at + 2]) << 8) | png[at + 3];
    if (std::string(png.begin() + at + 4, png.begin() + at + 8) == "IDAT")
      idat.insert(idat.end(), png.begin() + at + 8, png.begin() + at + 8 + length);
  }
  u32 width = (u32(png[16]) << 24) | (u32(png[17]) << 16) | (u32(png[18]) << 8) | png[19];
  u32 height = (u32(png[20]) << 24) | (u32(png[21]) << 16) | (u32(png[22]) << 8) | png[23];
  uLongf size = (width * 4 + 1) * height;
  Bytes raw(size);
  if (uncompress(raw.data(), &size, idat.data(), static_cast<uLong>(idat.size())) != Z_OK) return types;
  for (u32 r = 0; r < height; ++r) types.insert(raw[r * (width * 4 + 1)]);
  return types;
}

const char* const kMagickFiles[] = {
    "png_unfiltered", "png_adaptive", "png_adaptive_level9", "png_tiny", "png_odd",
    "png_comment",    "png_strip_wide", "png_strip_tall", "png_strip_16x40",
};

}  // namespace

TEST(PngDecoder, ImageMagickFilesMatchTheirRawDumps) {
  std::set<int> filtersSeen;
  for (const char* name : kMagickFiles) {
    SCOPED_TRACE(name);
    Bytes png, rgba;
    ASSERT_TRUE(ReadFixture(std::string(name) + ".png", &png)) << "fixture missing";
    ASSERT_TRUE(ReadFixture(std::string(name) + ".rgba", &rgba)) << "fixture missing";
    Loaded loaded(png);
    ASSERT_NE(loaded.bitmap, nullptr);
    EXPECT_EQ(static_cast<size_t>(loaded.bitmap->width) * loaded.bitmap->height * 4, rgba.size());
    EXPECT_TRUE(TopDownRgba(loaded.bitmap) == rgba);
    std::set<int> types = RowFilters(png);
    filtersSeen.insert(types.begin(), types.end());
  }
  // Together the files exercise every filter type.
  EXPECT_EQ(filtersSeen, (std::set<int>{0, 1, 2, 3, 4}));
}

TEST(PngDecoder, ImageMagickFilesHaveSeveralIdatsAndAncillaryChunks) {
  Bytes png;
  ASSERT_TRUE(ReadFixture("png_adaptive.png", &png));
  int idats = 0, ancillary = 0;
  for (size_t at : ChunkOffsets(png)) {
    std::string type(png.begin() + at + 4, png.begin() + at + 8);
    if (type == "IDAT") ++idats;
    if (type[0] >= 'a' && type[0] <= 'z') ++ancillary;
  }
  EXPECT_GT(idats, 1);
  EXPECT_GT(ancillary, 1);
}

TEST(PngDecoder, EachFilterTypeForcedOnEveryRow) {
  const u32 w = 33, h = 17;
  Bytes pixels = TestPicture(w, h, 5);
  for (u8 type = 0; type <= 4; ++type) {
    SCOPED_TRACE(int(type));
    Loaded loaded(MakePng(pixels, w, h, {type}));
    ASSERT_NE(loaded.bitmap, nullptr);
    EXPECT_TRUE(TopDownRgba(loaded.bitmap) == pixels);
  }
}

TEST(PngDecoder, MixedFiltersPerRowAndOddSizes) {
  const u32 sizes[][2] = {{1, 1}, {1, 9}, {9, 1}, {2, 5}, {31, 29}, {200, 3}};
  for (auto& s : sizes) {
    SCOPED_TRACE(std::to_string(s[0]) + "x" + std::to_string(s[1]));
    Bytes pixels = TestPicture(s[0], s[1], s[0] * 100 + s[1]);
    Loaded loaded(MakePng(pixels, s[0], s[1], {4, 0, 3, 1, 2, 4, 4, 3}));
    ASSERT_NE(loaded.bitmap, nullptr);
    EXPECT_TRUE(TopDownRgba(loaded.bitmap) == pixels);
  }
}

TEST(PngDecoder, TopRowIsLastInMemoryAndPixelsAreArgb) {
  // 2 x 5 with filter types 0 to 4 on successive rows.
  Bytes pixels = {
      0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88,  // top row
      0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 0x70, 0x80,
      0xFF, 0x00, 0x80, 0x01, 0x7F, 0xFE, 0x02, 0xFF,
      0x00, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF,
      0x9A, 0xBC, 0xDE, 0xF0, 0x12, 0x34, 0x56, 0x78,  // bottom row
  };
  Loaded loaded(MakePng(pixels, 2, 5, {0, 1, 2, 3, 4}));
  ASSERT_NE(loaded.bitmap, nullptr);
  const u32* p = loaded.bitmap->pixels;
  EXPECT_EQ(p[8], 0x44112233u);  // image top-left, last row in memory
  EXPECT_EQ(p[9], 0x88556677u);
  EXPECT_EQ(p[0], 0xF09ABCDEu);  // image bottom-left, first row in memory
  EXPECT_EQ(p[1], 0x78123456u);
  EXPECT_EQ(p[4], 0x01FF0080u);
  EXPECT_EQ(p[5], 0xFF7FFE02u);
}

TEST(PngDecoder, SplitAndEmptyIdatChunks) {
  const u32 w = 24, h = 20;
  Bytes pixels = TestPicture(w, h, 9);
  Bytes compressed = Deflate(FilterRows(pixels, w, h, {1, 2, 3, 4, 0}));
  const std::vector<std::vector<size_t>> splits = {
      {0},                   // empty chunk before the data
      {1, 1, 1, 1},          // single bytes
      {5, 0, 0, 7, 0, 100},  // empty chunks between
      {compressed.size(), 0},  // empty chunk after the data
      {0, 0, 0, compressed.size() / 2},
  };
  for (size_t i = 0; i < splits.size(); ++i) {
    SCOPED_TRACE(i);
    PngWriter writer;
    writer.Header(w, h);
    writer.Chunk("tEXt", Bytes{'a', 0, 'b'});
    writer.ImageData(compressed, splits[i]);
    writer.Chunk("tIME", Bytes(7, 1));
    writer.End();
    Loaded loaded(writer.Data());
    ASSERT_NE(loaded.bitmap, nullptr);
    EXPECT_TRUE(TopDownRgba(loaded.bitmap) == pixels);
  }
}

TEST(PngDecoder, AncillaryChunksAnywhereOutsideTheDataRun) {
  const u32 w = 5, h = 4;
  Bytes pixels = TestPicture(w, h, 1);
  PngWriter writer;
  writer.Header(w, h);
  writer.Chunk("gAMA", Bytes{0, 0, 0xB1, 0x8F});
  writer.Chunk("zzZz", Bytes(40, 0xEE));
  writer.ImageData(Deflate(FilterRows(pixels, w, h, {4})));
  writer.Chunk("tEXt", Bytes{'k', 0, 'v'});
  writer.Chunk("prVt", Bytes());
  writer.End();
  Loaded loaded(writer.Data());
  ASSERT_NE(loaded.bitmap, nullptr);
  EXPECT_TRUE(TopDownRgba(loaded.bitmap) == pixels);
}

TEST(PngDecoder, RefusesOtherKindsMadeByImageMagick) {
  const char* const names[] = {"png_refuse_rgb",     "png_refuse_grey",      "png_refuse_grey_alpha",
                               "png_refuse_palette", "png_refuse_rgba16",    "png_refuse_interlaced"};
  for (const char* name : names) {
    SCOPED_TRACE(name);
    Bytes png;
    ASSERT_TRUE(ReadFixture(std::string(name) + ".png", &png)) << "fixture missing";
    Loaded loaded(png);
    EXPECT_EQ(loaded.bitmap, nullptr);
  }
}

namespace {

// A well-formed small file with one header field or stream detail changed.
struct Variant {
  const char* what;
  u32 width = 4, height = 3;
  u8 depth = 8, colour = 6, compression = 0, filter = 0, interlace = 0;
  std::vector<u8> filters{1};
  int extraRawBytes = 0;  // added (or removed) at the end of the raw stream
};

Bytes MakeVariant(const Variant& v) {
  Bytes pixels = TestPicture(4, 3, 2);
  Bytes raw = FilterRows(pixels, 4, 3, v.filters);
  if (v.extraRawBytes > 0) raw.insert(raw.end(), v.extraRawBytes, 0);
  if (v.extraRawBytes < 0) raw.resize(raw.size() - static_cast<size_t>(-v.extraRawBytes));
  PngWriter writer;
  writer.Header(v.width, v.height, v.depth, v.colour, v.compression, v.filter, v.interlace);
  writer.ImageData(Deflate(raw));
  writer.End();
  return writer.Data();
}

}  // namespace

TEST(PngDecoder, RefusesBadHeadersAndStreams) {
  std::vector<Variant> variants(14);
  variants[0].what = "grey";              variants[0].colour = 0;
  variants[1].what = "rgb";               variants[1].colour = 2;
  variants[2].what = "palette";           variants[2].colour = 3;
  variants[3].what = "grey alpha";        variants[3].colour = 4;
  variants[4].what = "16-bit";            variants[4].depth = 16;
  variants[5].what = "interlaced";        variants[5].interlace = 1;
  variants[6].what = "compression 1";     variants[6].compression = 1;
  variants[7].what = "filter method 1";   variants[7].filter = 1;
  variants[8].what = "filter byte 5";     variants[8].filters = {0, 5, 0};
  variants[9].what = "filter byte 255";   variants[9].filters = {0, 0, 255};
  variants[10].what = "row data short";   variants[10].extraRawBytes = -1;
  variants[11].what = "row data long";    variants[11].extraRawBytes = 1;
  variants[12].what = "taller than data"; variants[12].height = 4;
  variants[13].what = "wider than data";  variants[13].width = 5;
  for (const Variant& v : variants) {
    SCOPED_TRACE(v.what);
    Loaded loaded(MakeVariant(v));
    EXPECT_EQ(loaded.bitmap, nullptr);
  }
  Variant good;
  good.what = "unchanged";
  Loaded loaded(MakeVariant(good));
  EXPECT_NE(loaded.bitmap, nullptr);
}

TEST(PngDecoder, RefusesBadChunkStructure) {
  const u32 w = 3, h = 2;
  Bytes pixels = TestPicture(w, h, 4);
  Bytes z = Deflate(FilterRows(pixels, w, h, {0}));
  Bytes header;
  {
    PngWriter probe;
    probe.Header(w, h);
    header.assign(probe.Data().begin() + 8, probe.Data().end());
  }
  auto build = [&](auto&& steps) {
    PngWriter writer;
    steps(writer);
    return writer.Data();
  };
  struct Case {
    const char* what;
    Bytes png;
  };
  std::vector<Case> cases;
  cases.push_back({"no IDAT", build([&](PngWriter& wr) { wr.Header(w, h); wr.End(); })});
  cases.push_back({"IEND before IDAT",
                   build([&](PngWriter& wr) { wr.Header(w, h); wr.End(); wr.ImageData(z); wr.End(); })});
  cases.push_back({"no IEND", build([&](PngWriter& wr) { wr.Header(w, h); wr.ImageData(z); })});
  cases.push_back({"text before IHDR", build([&](PngWriter& wr) {
                     wr.Chunk("tEXt", Bytes{'a', 0});
                     wr.Header(w, h);
                     wr.ImageData(z);
                     wr.End();
                   })});
  cases.push_back({"IHDR length 14", build([&](PngWriter& wr) {
                     Bytes fields(header.begin() + 8, header.begin() + 21);
                     fields.push_back(0);
                     wr.Chunk("IHDR", fields);
                     wr.ImageData(z);
                     wr.End();
                   })});
  cases.push_back({"IHDR length 12", build([&](PngWriter& wr) {
                     wr.Chunk("IHDR", Bytes(header.begin() + 8, header.begin() + 20));
                     wr.ImageData(z);
                     wr.End();
                   })});
  {
    // The data split in two runs with a text chunk between them.
    PngWriter wr;
    wr.Header(w, h);
    wr.Chunk("IDAT", Bytes(z.begin(), z.begin() + z.size() / 2));
    wr.Chunk("tEXt", Bytes{'a', 0});
    wr.Chunk("IDAT", Bytes(z.begin() + z.size() / 2, z.end()));
    wr.End();
    cases.push_back({"two IDAT runs", wr.Data()});
  }
  cases.push_back({"zlib garbage", build([&](PngWriter& wr) {
                     wr.Header(w, h);
                     wr.Chunk("IDAT", Bytes(40, 0x5A));
                     wr.End();
                   })});
  cases.push_back({"chunk type not letters", build([&](PngWriter& wr) {
                     wr.Header(w, h);
                     wr.Chunk("t3Xt", Bytes{1});
                     wr.ImageData(z);
                     wr.End();
                   })});
  cases.push_back({"width 0", build([&](PngWriter& wr) { wr.Header(0, h); wr.ImageData(z); wr.End(); })});
  cases.push_back({"height 0", build([&](PngWriter& wr) { wr.Header(w, 0); wr.ImageData(z); wr.End(); })});
  cases.push_back({"width 16385", build([&](PngWriter& wr) { wr.Header(16385, 1); wr.ImageData(z); wr.End(); })});
  cases.push_back({"huge sides", build([&](PngWriter& wr) {
                     wr.Header(0xFFFFFFFFu, 0xFFFFFFFFu);
                     wr.ImageData(z);
                     wr.End();
                   })});
  cases.push_back({"sides whose product wraps", build([&](PngWriter& wr) {
                     wr.Header(0x10000u, 0x10000u);
                     wr.ImageData(z);
                     wr.End();
                   })});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Loaded loaded(c.png);
    EXPECT_EQ(loaded.bitmap, nullptr);
  }
  PngWriter good;
  good.Header(w, h);
  good.ImageData(z);
  good.End();
  Loaded loaded(good.Data());
  EXPECT_NE(loaded.bitmap, nullptr);
}

TEST(PngDecoder, DataTooShortForTheSidesIsRefusedBeforeDecoding) {
  // 16384 x 16384 pixels cannot come out of a few hundred bytes of deflate
  // data: refused without allocating the gigabyte of pixels.
  Bytes z = Deflate(FilterRows(TestPicture(8, 8, 1), 8, 8, {0}));
  PngWriter writer;
  writer.Header(16384, 16384);
  writer.ImageData(z);
  writer.End();
  CPngDecoder decoder(writer.Data().data(), static_cast<u32>(writer.Data().size()));
  ASSERT_TRUE(decoder.IsOpen());
  EXPECT_FALSE(decoder.IsDecodable());
  Loaded loaded(writer.Data());
  EXPECT_EQ(loaded.bitmap, nullptr);
  // A well-formed file passes the same check.
  Bytes good = MakePng(TestPicture(8, 8, 1), 8, 8, {0});
  CPngDecoder fine(good.data(), static_cast<u32>(good.size()));
  EXPECT_TRUE(fine.IsDecodable());
}

TEST(PngDecoder, LargestSideIsAccepted) {
  Bytes pixels = TestPicture(16384, 1, 3);
  Loaded loaded(MakePng(pixels, 16384, 1, {1}));
  ASSERT_NE(loaded.bitmap, nullptr);
  EXPECT_TRUE(TopDownRgba(loaded.bitmap) == pixels);
}

TEST(PngDecoder, NullShortAndWrongSignatureGiveNoBitmap) {
  Bytes png = MakePng(TestPicture(2, 2, 1), 2, 2, {0});
  EXPECT_EQ(CBitmap::LoadPng(nullptr, 100), nullptr);
  EXPECT_EQ(CBitmap::LoadPng(png.data(), 0), nullptr);
  EXPECT_EQ(CBitmap::LoadPng(png.data(), 8), nullptr);
  Bytes wrong = png;
  wrong[1] = 'Q';
  EXPECT_EQ(CBitmap::LoadPng(wrong.data(), static_cast<u32>(wrong.size())), nullptr);
  CPngDecoder decoder(wrong.data(), static_cast<u32>(wrong.size()));
  EXPECT_FALSE(decoder.IsOpen());
  EXPECT_EQ(decoder.Width(), 0u);
  EXPECT_EQ(decoder.Height(), 0u);
}

TEST(PngDecoder, DecodeRefusesTooLittleRoom) {
  Bytes png = MakePng(TestPicture(3, 3, 1), 3, 3, {2});
  CPngDecoder decoder(png.data(), static_cast<u32>(png.size()));
  ASSERT_TRUE(decoder.IsOpen());
  u32 out[9];
  EXPECT_FALSE(decoder.Decode(out, sizeof(out) - 1));
  EXPECT_FALSE(decoder.Decode(nullptr, sizeof(out)));
  EXPECT_TRUE(decoder.Decode(out, sizeof(out)));
}

TEST(PngDecoder, UnfilterRefusesOtherPixelSizesAndTypes) {
  u8 src[1 + 8] = {0};
  u8 dst[8];
  EXPECT_FALSE(CPngDecoder::Unfilter(dst, src, 2, 3, 0));
  src[0] = 5;
  EXPECT_FALSE(CPngDecoder::Unfilter(dst, src, 2, 4, 0));
  src[0] = 4;
  EXPECT_TRUE(CPngDecoder::Unfilter(dst, src, 2, 4, 0));
}

namespace {

// A small file with an ancillary chunk and the data over two IDAT chunks.
Bytes SmallDamageTarget() {
  const u32 w = 6, h = 5;
  Bytes pixels = TestPicture(w, h, 12);
  Bytes z = Deflate(FilterRows(pixels, w, h, {0, 1, 2, 3, 4}));
  PngWriter writer;
  writer.Header(w, h);
  writer.Chunk("tEXt", Bytes{'T', 'i', 't', 'l', 'e', 0, 'x'});
  writer.ImageData(z, {z.size() / 3});
  writer.End();
  return writer.Data();
}

}  // namespace

TEST(PngDecoder, EveryTruncationGivesNoBitmap) {
  Bytes png = SmallDamageTarget();
  {
    Loaded whole(png);
    ASSERT_NE(whole.bitmap, nullptr);
  }
  for (size_t n = 0; n < png.size(); ++n) {
    // A copy of exactly n bytes, so that reading past it is caught.
    Bytes cut(png.begin(), png.begin() + n);
    Loaded loaded(cut);
    EXPECT_EQ(loaded.bitmap, nullptr) << "length " << n;
  }
}

TEST(PngDecoder, EveryLengthMutationGivesNoBitmap) {
  const Bytes png = SmallDamageTarget();
  const std::vector<size_t> offsets = ChunkOffsets(png);
  ASSERT_EQ(offsets.size(), 5u);  // IHDR, tEXt, IDAT, IDAT, IEND
  int tried = 0;
  for (size_t at : offsets) {
    u32 length = (u32(png[at]) << 24) | (u32(png[at + 1]) << 16) | (u32(png[at + 2]) << 8) | png[at + 3];
    std::vector<u32> values = {0, 1, 12, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu, 0xFFFFFFF4u,
                               u32(png.size()), u32(png.size() - at), length + 1, length - 1};
    for (int bit = 0; bit < 32; ++bit) values.push_back(length ^ (1u << bit));
    for (u32 value : values) {
      if (value == length) continue;
      Bytes mutated = png;
      mutated[at] = u8(value >> 24);
      mutated[at + 1] = u8(value >> 16);
      mutated[at + 2] = u8(value >> 8);
      mutated[at + 3] = u8(value);
      Loaded loaded(mutated);
      EXPECT_EQ(loaded.bitmap, nullptr) << "chunk at " << at << " length " << value;
      ++tried;
    }
  }
  EXPECT_GT(tried, 200);
}

TEST(PngDecoder, CrcsAreNotCheckedButDamagedImageDataNeverGivesAWrongImage) {
  const u32 w = 7, h = 5;
  Bytes pixels = TestPicture(w, h, 12);
  Bytes png = MakePng(pixels, w, h, {0, 1, 2, 3, 4}, {9, 0, 17});
  Loaded reference(png);
  ASSERT_NE(reference.bitmap, nullptr);
  const Bytes expected = TopDownRgba(reference.bitmap);
  EXPECT_EQ(expected, pixels);
  // Every CRC wrong: the chunks are still read (zlib's own check guards the
  // image data; a damaged header fails the exact size and kind tests).
  Bytes badCrcs = png;
  for (size_t at : ChunkOffsets(png)) {
    u32 length = (u32(png[at]) << 24) | (u32(png[at + 1]) << 16) | (u32(png[at + 2]) << 8) | png[at + 3];
    badCrcs[at + 8 + length] ^= 0xA5;
  }
  Loaded crcs(badCrcs);
  ASSERT_NE(crcs.bitmap, nullptr);
  EXPECT_EQ(TopDownRgba(crcs.bitmap), expected);
  // Any byte of the compressed data changed: no bitmap, or (where deflate
  // ignores the bits) the same image.
  int refused = 0;
  for (size_t at : ChunkOffsets(png)) {
    u32 length = (u32(png[at]) << 24) | (u32(png[at + 1]) << 16) | (u32(png[at + 2]) << 8) | png[at + 3];
    if (std::string(png.begin() + at + 4, png.begin() + at + 8) != "IDAT") continue;
    for (u32 i = 0; i < length; ++i)
      for (u8 flip : {0x01, 0x10, 0x80, 0xFF}) {
        Bytes damaged = png;
        damaged[at + 8 + i] ^= flip;
        Loaded loaded(damaged);
        if (!loaded.bitmap) {
          ++refused;
          continue;
        }
        ASSERT_EQ(TopDownRgba(loaded.bitmap), expected) << "byte " << i << " flip " << int(flip);
      }
  }
  EXPECT_GT(refused, 0);
}

TEST(PngDecoder, ChunkLengthsFromTwoToTheThirtyFirstAreRefused) {
  const u32 w = 2, h = 2;
  Bytes z = Deflate(FilterRows(TestPicture(w, h, 3), w, h, {0}));
  for (u32 length : {0x80000000u, 0x80000001u, 0xFFFFFFF3u, 0xFFFFFFFFu}) {
    SCOPED_TRACE(length);
    // An ancillary chunk claiming that length, with a few bytes after it.
    PngWriter wr;
    wr.Header(w, h);
    const size_t at = wr.Data().size();
    wr.Chunk("tEXt", Bytes(16, 'x'));
    wr.ImageData(z);
    wr.End();
    Bytes png = wr.Data();
    png[at] = static_cast<u8>(length >> 24);
    png[at + 1] = static_cast<u8>(length >> 16);
    png[at + 2] = static_cast<u8>(length >> 8);
    png[at + 3] = static_cast<u8>(length);
    Loaded loaded(png);
    EXPECT_EQ(loaded.bitmap, nullptr);
  }
  // An end chunk that carries data is still the end.
  PngWriter wr;
  wr.Header(w, h);
  wr.ImageData(z, {0, 3, 0});
  wr.Chunk("IEND", Bytes{1, 2, 3});
  Loaded loaded(wr.Data());
  EXPECT_NE(loaded.bitmap, nullptr);
}
