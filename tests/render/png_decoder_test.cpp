// PNG decoding: ImageMagick's files against its own raw dumps, files of the
// tests' encoder against their source pixels, refusals, and damaged files.
#include <gtest/gtest.h>
#include <zlib.h>

#include <functional>
#include <set>
#include <string>

#include "png_test_encoder.h"
#include "render/bitmap.h"
#include "render/png_decoder.h"
#include "runtime/byte_order.h"

using namespace pngtest;

namespace {

// The decoded picture as RGBA bytes, top row first; empty when refused.
Bytes Decoded(const Bytes& png) {
  CBitmap* bitmap = CBitmap::LoadPng(png.data(), static_cast<u32>(png.size()));
  Bytes out = TopDownRgba(bitmap);
  CBitmap::Destroy(bitmap);
  return out;
}

std::string TypeAt(const Bytes& png, size_t at) { return std::string(png.begin() + at + 4, png.begin() + at + 8); }

}  // namespace

TEST(PngDecoder, ImageMagickFilesMatchTheirRawDumpsUsingEveryFilter) {
  std::set<int> filtersSeen;
  for (const char* name : {"png_unfiltered", "png_adaptive", "png_adaptive_level9", "png_tiny", "png_odd", "png_comment",
                           "png_strip_wide", "png_strip_tall", "png_strip_16x40"}) {
    SCOPED_TRACE(name);
    Bytes png, rgba, idat;
    ASSERT_TRUE(ReadFixture(std::string(name) + ".png", &png) && ReadFixture(std::string(name) + ".rgba", &rgba))
        << "fixture missing";
    EXPECT_TRUE(Decoded(png) == rgba);
    // The filter byte of every row, read with zlib directly.
    for (size_t at : ChunkOffsets(png))
      if (TypeAt(png, at) == "IDAT")
        idat.insert(idat.end(), png.begin() + at + 8, png.begin() + at + 8 + ReadBigEndian32(&png[at]));
    const u32 width = ReadBigEndian32(&png[16]), height = ReadBigEndian32(&png[20]);
    uLongf size = (width * 4 + 1) * height;
    Bytes raw(size);
    ASSERT_EQ(uncompress(raw.data(), &size, idat.data(), static_cast<uLong>(idat.size())), Z_OK);
    for (u32 r = 0; r < height; ++r) filtersSeen.insert(raw[r * (width * 4 + 1)]);
  }
  EXPECT_EQ(filtersSeen, (std::set<int>{0, 1, 2, 3, 4}));
}

// Files of the tests' encoder: any filter per row, any size up to the
// largest side, the data over split and empty chunks, ancillary chunks on
// either side of it and an end chunk that carries data.
TEST(PngDecoder, EncoderFilesDecodeToTheirPixels) {
  const struct {
    u32 w, h;
    std::vector<u8> filters;
    std::vector<size_t> pieces;
    bool ancillary;
  } rows[] = {
      {33, 17, {0}, {}, false}, {33, 17, {1}, {}, false}, {33, 17, {2}, {}, false}, {33, 17, {3}, {}, false},
      {33, 17, {4}, {}, false}, {1, 1, {4, 0, 3, 1, 2}, {}, false}, {1, 9, {4, 0, 3, 1, 2}, {}, false},
      {9, 1, {3}, {}, false},   {2, 5, {0, 1, 2, 3, 4}, {}, false}, {31, 29, {4, 0, 3, 1, 2, 4, 4, 3}, {}, false},
      {200, 3, {4, 3}, {}, false}, {16384, 1, {1}, {}, false},
      {24, 20, {1, 2, 3, 4, 0}, {0}, true},  // an empty chunk before the data
      {24, 20, {1, 2, 3, 4, 0}, {1, 1, 1, 1}, true}, {24, 20, {1, 2, 3, 4, 0}, {5, 0, 0, 7, 0, 100}, true},
      {24, 20, {1, 2, 3, 4, 0}, {100000, 0}, true},  // and after it
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(testing::Message() << r.w << "x" << r.h << " first filter " << int(r.filters[0]) << " pieces "
                                    << r.pieces.size());
    const Bytes pixels = TestPicture(r.w, r.h, r.w * 100 + r.h);
    PngWriter writer;
    writer.Header(r.w, r.h);
    if (r.ancillary) writer.Chunk("gAMA", Bytes{0, 0, 0xB1, 0x8F}), writer.Chunk("zzZz", Bytes(40, 0xEE));
    writer.ImageData(Deflate(FilterRows(pixels, r.w, r.h, r.filters)), r.pieces);
    if (r.ancillary) writer.Chunk("tEXt", Bytes{'k', 0, 'v'}), writer.Chunk("prVt", Bytes());
    writer.Chunk("IEND", r.ancillary ? Bytes{1, 2, 3} : Bytes());
    EXPECT_TRUE(Decoded(writer.Data()) == pixels);
  }
  // The top row is the last in memory, pixels are 0xAARRGGBB.
  const Bytes pixels = {0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88, 0x9A, 0xBC, 0xDE, 0xF0, 0x12, 0x34, 0x56, 0x78};
  const Bytes png = MakePng(pixels, 2, 2, {4, 3});
  CBitmap* bitmap = CBitmap::LoadPng(png.data(), static_cast<u32>(png.size()));
  ASSERT_NE(bitmap, nullptr);
  EXPECT_TRUE(bitmap->pixels[2] == 0x44112233u && bitmap->pixels[3] == 0x88556677u && bitmap->pixels[0] == 0xF09ABCDEu);
  CBitmap::Destroy(bitmap);
}

// Every kind but 8-bit RGBA without interlace, and every file whose chunk
// sequence is not whole (IHDR first and only once, one run of data chunks,
// IEND last, lengths inside the file), gives no bitmap.
TEST(PngDecoder, RefusesOtherKindsAndBrokenStructures) {
  const u32 w = 4, h = 3;
  const Bytes pixels = TestPicture(w, h, 2), z = Deflate(FilterRows(pixels, w, h, {1}));
  auto file = [&](std::function<void(PngWriter&)> steps) {
    PngWriter writer;
    steps(writer);
    return writer.Data();
  };
  auto header = [&](u32 width, u32 height, u8 depth, u8 colour, u8 method, u8 filter, u8 interlace) {
    return file([=](PngWriter& wr) {
      wr.Header(width, height, depth, colour, method, filter, interlace);
      wr.ImageData(z);
      wr.End();
    });
  };
  auto raw = [&](const Bytes& rows) {
    return file([&](PngWriter& wr) {
      wr.Header(w, h);
      wr.ImageData(Deflate(rows));
      wr.End();
    });
  };
  Bytes rows = FilterRows(pixels, w, h, {1}), shortRows(rows.begin(), rows.end() - 1), longRows = rows;
  longRows.push_back(0);
  Bytes fields = header(w, h, 8, 6, 0, 0, 0);
  fields = Bytes(fields.begin() + 16, fields.begin() + 29);
  const struct {
    const char* what;
    Bytes png;
  } cases[] = {
      {"grey", header(w, h, 8, 0, 0, 0, 0)},
      {"rgb", header(w, h, 8, 2, 0, 0, 0)},
      {"palette", header(w, h, 8, 3, 0, 0, 0)},
      {"grey alpha", header(w, h, 8, 4, 0, 0, 0)},
      {"16-bit", header(w, h, 16, 6, 0, 0, 0)},
      {"interlaced", header(w, h, 8, 6, 0, 0, 1)},
      {"compression 1", header(w, h, 8, 6, 1, 0, 0)},
      {"filter method 1", header(w, h, 8, 6, 0, 1, 0)},
      {"taller than the data", header(w, h + 1, 8, 6, 0, 0, 0)},
      {"wider than the data", header(w + 1, h, 8, 6, 0, 0, 0)},
      {"width 0", header(0, h, 8, 6, 0, 0, 0)},
      {"height 0", header(w, 0, 8, 6, 0, 0, 0)},
      {"width 16385", header(16385, 1, 8, 6, 0, 0, 0)},
      {"huge sides", header(0xFFFFFFFFu, 0xFFFFFFFFu, 8, 6, 0, 0, 0)},
      {"sides whose product wraps", header(0x10000u, 0x10000u, 8, 6, 0, 0, 0)},
      {"filter byte 5", raw(FilterRows(pixels, w, h, {0, 5, 0}))},
      {"filter byte 255", raw(FilterRows(pixels, w, h, {0, 0, 255}))},
      {"row data short", raw(shortRows)},
      {"row data long", raw(longRows)},
      {"zlib garbage", file([&](PngWriter& wr) { wr.Header(w, h), wr.Chunk("IDAT", Bytes(40, 0x5A)), wr.End(); })},
      {"no IDAT", file([&](PngWriter& wr) { wr.Header(w, h), wr.End(); })},
      {"IEND before IDAT", file([&](PngWriter& wr) { wr.Header(w, h), wr.End(), wr.ImageData(z), wr.End(); })},
      {"no IEND", file([&](PngWriter& wr) { wr.Header(w, h), wr.ImageData(z); })},
      {"text before IHDR", file([&](PngWriter& wr) {
         wr.Chunk("tEXt", Bytes{'a', 0}), wr.Header(w, h), wr.ImageData(z), wr.End();
       })},
      {"IHDR length 14", file([&](PngWriter& wr) {
         Bytes longer = fields;
         longer.push_back(0);
         wr.Chunk("IHDR", longer), wr.ImageData(z), wr.End();
       })},
      {"IHDR length 12", file([&](PngWriter& wr) {
         wr.Chunk("IHDR", Bytes(fields.begin(), fields.end() - 1)), wr.ImageData(z), wr.End();
       })},
      {"second IHDR", file([&](PngWriter& wr) { wr.Header(w, h), wr.Header(w, h), wr.ImageData(z), wr.End(); })},
      {"IHDR after the data",
       file([&](PngWriter& wr) { wr.Header(w, h), wr.ImageData(z), wr.Header(w, h), wr.End(); })},
      {"two IDAT runs", file([&](PngWriter& wr) {
         wr.Header(w, h), wr.Chunk("IDAT", Bytes(z.begin(), z.begin() + z.size() / 2)), wr.Chunk("tEXt", Bytes{'a', 0});
         wr.Chunk("IDAT", Bytes(z.begin() + z.size() / 2, z.end())), wr.End();
       })},
      {"chunk type not letters",
       file([&](PngWriter& wr) { wr.Header(w, h), wr.Chunk("t3Xt", Bytes{1}), wr.ImageData(z), wr.End(); })},
  };
  for (const auto& c : cases) EXPECT_TRUE(Decoded(c.png).empty()) << c.what;
  EXPECT_FALSE(Decoded(header(w, h, 8, 6, 0, 0, 0)).empty()) << "the unchanged file";
  for (const char* name : {"png_refuse_rgb", "png_refuse_grey", "png_refuse_grey_alpha", "png_refuse_palette",
                           "png_refuse_rgba16", "png_refuse_interlaced"}) {
    Bytes png;
    ASSERT_TRUE(ReadFixture(std::string(name) + ".png", &png)) << "fixture missing";
    EXPECT_TRUE(Decoded(png).empty()) << name;
  }
  // An ancillary chunk claiming 2^31 bytes or more, with data after it.
  for (u32 length : {0x80000000u, 0x80000001u, 0xFFFFFFF3u, 0xFFFFFFFFu}) {
    PngWriter wr;
    wr.Header(w, h);
    const size_t at = wr.Data().size();
    wr.Chunk("tEXt", Bytes(16, 'x'));
    wr.ImageData(z);
    wr.End();
    Bytes png = wr.Data();
    WriteBigEndian32(&png[at], length);
    EXPECT_TRUE(Decoded(png).empty()) << length;
  }
}

TEST(PngDecoder, SizesAreCheckedBeforeAnythingIsAllocated) {
  // 16384 x 16384 pixels cannot come out of a few hundred bytes of deflate
  // data: refused without allocating the gigabyte of pixels.
  PngWriter writer;
  writer.Header(16384, 16384);
  writer.ImageData(Deflate(FilterRows(TestPicture(8, 8, 1), 8, 8, {0})));
  writer.End();
  CPngDecoder big(writer.Data().data(), static_cast<u32>(writer.Data().size()));
  EXPECT_TRUE(big.IsOpen() && !big.IsDecodable());
  const Bytes good = MakePng(TestPicture(3, 3, 1), 3, 3, {2});
  CPngDecoder decoder(good.data(), static_cast<u32>(good.size()));
  ASSERT_TRUE(decoder.IsOpen() && decoder.IsDecodable());
  u32 out[9];
  EXPECT_FALSE(decoder.Decode(out, sizeof(out) - 1) || decoder.Decode(nullptr, sizeof(out)));
  EXPECT_TRUE(decoder.Decode(out, sizeof(out)));
  Bytes wrong = good;
  wrong[1] = 'Q';
  CPngDecoder refused(wrong.data(), static_cast<u32>(wrong.size()));
  EXPECT_TRUE(!refused.IsOpen() && refused.Width() == 0 && refused.Height() == 0);
  EXPECT_EQ(CBitmap::LoadPng(nullptr, 100), nullptr);
  EXPECT_TRUE(Decoded(Bytes(good.begin(), good.begin() + 8)).empty() && Decoded(wrong).empty());
  u8 src[1 + 8] = {4}, dst[8];
  EXPECT_FALSE(CPngDecoder::Unfilter(dst, src, 2, 3, 0)) << "4 bytes per pixel only";
  src[0] = 5;
  EXPECT_FALSE(CPngDecoder::Unfilter(dst, src, 2, 4, 0));
}

// Every cut, every chunk length changed, every CRC wrong, every byte of the
// compressed data damaged: no bitmap, or (CRCs are not checked; deflate
// ignores some bits) exactly the right image, never a read outside the data.
TEST(PngDecoder, DamagedFilesNeverGiveAWrongImage) {
  const u32 w = 6, h = 5;
  const Bytes pixels = TestPicture(w, h, 12);
  const Bytes z = Deflate(FilterRows(pixels, w, h, {0, 1, 2, 3, 4}));
  PngWriter writer;
  writer.Header(w, h);
  writer.Chunk("tEXt", Bytes{'T', 'i', 't', 'l', 'e', 0, 'x'});
  writer.ImageData(z, {z.size() / 3});
  writer.End();
  const Bytes png = writer.Data();
  ASSERT_TRUE(Decoded(png) == pixels);
  for (size_t n = 0; n < png.size(); ++n) EXPECT_TRUE(Decoded(Bytes(png.begin(), png.begin() + n)).empty()) << "cut at " << n;
  const std::vector<size_t> offsets = ChunkOffsets(png);
  ASSERT_EQ(offsets.size(), 5u);  // IHDR, tEXt, IDAT, IDAT, IEND
  Bytes badCrcs = png;
  int refused = 0;
  for (size_t at : offsets) {
    const u32 length = ReadBigEndian32(&png[at]);
    badCrcs[at + 8 + length] ^= 0xA5;
    std::vector<u32> values = {0, 1, 12, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu, 0xFFFFFFF4u, u32(png.size()),
                               u32(png.size() - at), length + 1, length - 1};
    for (int bit = 0; bit < 32; ++bit) values.push_back(length ^ (1u << bit));
    for (u32 value : values) {
      Bytes mutated = png;
      WriteBigEndian32(&mutated[at], value);
      EXPECT_TRUE(value == length || Decoded(mutated).empty()) << "chunk at " << at << " length " << value;
    }
    if (TypeAt(png, at) != "IDAT") continue;
    for (u32 i = 0; i < length; ++i)
      for (u8 flip : {0x01, 0x10, 0x80, 0xFF}) {
        Bytes damaged = png;
        damaged[at + 8 + i] ^= flip;
        const Bytes got = Decoded(damaged);
        refused += got.empty();
        ASSERT_TRUE(got.empty() || got == pixels) << "byte " << i << " flip " << int(flip);
      }
  }
  EXPECT_TRUE(Decoded(badCrcs) == pixels);
  EXPECT_GT(refused, 0);
}
