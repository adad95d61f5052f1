// Bitmaps and image strips: creation, frames of wide and tall strips made
// by ImageMagick, appending, sharing, and frames drawn through a canvas.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "png_test_encoder.h"
#include "render/bitmap.h"
#include "render/canvas.h"
#include "render/image_strip.h"

using namespace pngtest;

namespace {

bool LoadFixtureStrip(CImageStrip* strip, const char* name) {
  Bytes png;
  return ReadFixture(name, &png) && strip->Load(png.data(), static_cast<u32>(png.size()));
}

// Frame n as its pixels (empty when there is no such frame).
std::vector<u32> Frame(const CImageStrip& strip, i32 n) {
  BitmapView v;
  strip.GetFrame(n, &v);
  std::vector<u32> out;
  for (i32 y = 0; v.pixels && y < v.height; ++y)
    out.insert(out.end(), v.pixels + y * v.stride, v.pixels + y * v.stride + v.width);
  return out;
}

TEST(Bitmap, CreateAndCopiesFromViews) {
  for (auto sides : {std::make_pair(0u, 5u), std::make_pair(5u, 0u), std::make_pair(16385u, 1u), std::make_pair(1u, 16385u)})
    EXPECT_EQ(CBitmap::Create(sides.first, sides.second), nullptr) << sides.first << "x" << sides.second;
  std::vector<u32> area(7 * 4);
  for (size_t i = 0; i < area.size(); ++i) area[i] = 0xFF000000u | static_cast<u32>(i);
  CBitmap* copy = CBitmap::CreateFromView(BitmapView{3, 2, 7, area.data() + 7 + 2});  // 3 x 2 from (2, 1)
  ASSERT_NE(copy, nullptr);
  const BitmapView v = copy->View();
  EXPECT_TRUE(v.width == 3 && v.height == 2 && v.stride == 3 && v.pixels == copy->pixels);
  for (u32 y = 0; y < 2; ++y)
    for (u32 x = 0; x < 3; ++x) EXPECT_EQ(copy->pixels[y * 3 + x], area[(1 + y) * 7 + 2 + x]);
  CBitmap::Destroy(copy);
  CBitmap::Destroy(nullptr);
  for (BitmapView bad : {BitmapView{3, 2, 3, nullptr}, BitmapView{0, 2, 3, area.data()}, BitmapView{4, 2, 3, area.data()}})
    EXPECT_EQ(CBitmap::CreateFromView(bad), nullptr);
}

// Frames of three loaded strips: colours by frame, frame 0 of a tall strip
// in the first rows in memory (the image's bottom square), leftover rows no
// frame, and no frame outside the strip.
TEST(ImageStrip, FramesOfWideAndTallImages) {
  const struct {
    const char* file;
    bool wide;
    i32 frames, stride;
    u32 colours[3];
  } rows[] = {{"png_strip_wide.png", true, 3, 48, {0x80FF0000u, 0xC000FF00u, 0xFF0000FFu}},
              {"png_strip_tall.png", false, 3, 16, {0xFF0000FFu, 0xC000FF00u, 0x80FF0000u}},
              {"png_strip_16x40.png", false, 2, 16, {0, 0, 0}}};
  for (const auto& r : rows) {
    SCOPED_TRACE(r.file);
    CImageStrip strip;
    ASSERT_TRUE(LoadFixtureStrip(&strip, r.file)) << "fixture missing or undecodable";
    EXPECT_TRUE(strip.IsWide() == r.wide && strip.frameWidth == 16 && strip.frameHeight == 16 && !strip.borrowed);
    ASSERT_EQ(strip.FrameCount(), r.frames);
    for (i32 n = 0; n < r.frames; ++n) {
      BitmapView v;
      strip.GetFrame(n, &v);
      EXPECT_TRUE(v.width == 16 && v.height == 16 && v.stride == r.stride);
      EXPECT_EQ(v.pixels, strip.bitmap->pixels + n * (r.wide ? 16 : 256));
      EXPECT_TRUE(!r.colours[0] || Frame(strip, n) == std::vector<u32>(256, r.colours[n])) << n;
    }
    EXPECT_TRUE(Frame(strip, r.frames).empty() && Frame(strip, -1).empty());
  }
  // A failed load leaves an empty strip.
  CImageStrip strip;
  ASSERT_TRUE(LoadFixtureStrip(&strip, "png_strip_wide.png"));
  EXPECT_FALSE(LoadFixtureStrip(&strip, "png_refuse_rgb.png") || strip.Load(nullptr, 10));
  EXPECT_TRUE(strip.bitmap == nullptr && strip.frameWidth == 0 && strip.FrameCount() == 0 && Frame(strip, 0).empty());
}

TEST(ImageStrip, AppendStacksFramesOfOneSizeOnly) {
  std::vector<u32> a(5 * 3), b(8 * 3), c(4 * 4, 1);
  for (size_t i = 0; i < a.size(); ++i) a[i] = 0xAA000000u | u32(i);
  for (size_t i = 0; i < b.size(); ++i) b[i] = 0xBB000000u | u32(i);
  CImageStrip strip;
  EXPECT_EQ(strip.AppendFrame(BitmapView{5, 3, 5, a.data()}), 1);
  EXPECT_EQ(strip.AppendFrame(BitmapView{5, 3, 8, b.data()}), 2);  // a wider stride: row by row
  CBitmap* before = strip.bitmap;
  for (BitmapView other : {BitmapView{4, 4, 4, c.data()}, BitmapView{5, 4, 5, c.data()}, BitmapView{5, 3, 5, nullptr}})
    EXPECT_EQ(strip.AppendFrame(other), -1);
  EXPECT_EQ(strip.AppendBitmap(nullptr), -1);
  EXPECT_EQ(strip.bitmap, before);
  EXPECT_EQ(Frame(strip, 0), a);
  std::vector<u32> bRows;
  for (int y = 0; y < 3; ++y) bRows.insert(bRows.end(), b.begin() + y * 8, b.begin() + y * 8 + 5);
  EXPECT_EQ(Frame(strip, 1), bRows);
  CBitmap* whole = CBitmap::CreateFromView(BitmapView{5, 3, 5, a.data()});
  EXPECT_EQ(strip.AppendBitmap(whole), 3);
  CBitmap::Destroy(whole);
  // Landscape frames stack too; a loaded wide strip takes none.
  CImageStrip landscape;
  std::vector<u32> l(20 * 10, 0xFF445566u);
  EXPECT_EQ(landscape.AppendFrame(BitmapView{20, 10, 20, l.data()}), 1);
  EXPECT_EQ(landscape.AppendFrame(BitmapView{20, 10, 20, l.data()}), 2);
  EXPECT_FALSE(landscape.IsWide());
  CImageStrip wide;
  ASSERT_TRUE(LoadFixtureStrip(&wide, "png_strip_wide.png"));
  std::vector<u32> frame(16 * 16, 0xFFFFFFFFu);
  EXPECT_EQ(wide.AppendFrame(BitmapView{16, 16, 16, frame.data()}), -1);
  EXPECT_EQ(Frame(wide, 2), std::vector<u32>(256, 0xFF0000FFu));
}

TEST(ImageStrip, SharedBitmapsStayWithTheirOwner) {
  CImageStrip owner;
  ASSERT_TRUE(LoadFixtureStrip(&owner, "png_strip_tall.png"));
  {
    CImageStrip borrower;
    borrower.Share(owner);
    EXPECT_TRUE(borrower.borrowed && borrower.bitmap == owner.bitmap && borrower.FrameCount() == 3);
    borrower.Release();
    EXPECT_EQ(borrower.bitmap, nullptr);
    borrower.Share(owner);
  }  // destroyed while borrowing
  owner.Share(owner);  // with itself: kept
  EXPECT_FALSE(owner.borrowed);
  EXPECT_EQ(Frame(owner, 0), std::vector<u32>(256, 0xFF0000FFu));  // still readable (sanitizers watch)
  // Appending to a borrowed strip makes a bitmap of its own.
  CImageStrip borrower;
  borrower.Share(owner);
  std::vector<u32> extra(16 * 16, 0xFF040506u);
  EXPECT_EQ(borrower.AppendFrame(BitmapView{16, 16, 16, extra.data()}), 4);
  EXPECT_TRUE(!borrower.borrowed && borrower.bitmap != owner.bitmap && owner.FrameCount() == 3);
}

TEST(ImageStrip, FramesAreDrawnAtTheirPlaceThroughTheCanvas) {
  CImageStrip strip;
  const u32 colours[3] = {0xFF112233u, 0xFF445566u, 0xFF778899u};
  for (u32 colour : colours) {
    std::vector<u32> frame(16, colour);
    strip.AppendFrame(BitmapView{4, 4, 4, frame.data()});
  }
  std::vector<u32> pixels(32 * 32, 0xFF000000u);
  std::vector<double> coverage(32 * 3);
  CCanvas canvas(3);
  canvas.Attach(pixels.data(), coverage.data(), 32, 32);
  canvas.originX = 2;
  canvas.originY = 3;
  strip.DrawFrame(&canvas, 1, 8, 17, 1.0);
  strip.DrawFrame(&canvas, 3, 0, 0, 1.0);  // one past the last frame
  strip.DrawFrame(&canvas, -1, 0, 0, 1.0);
  strip.DrawFrame(&canvas, 2, 20, 2, 0.0);
  canvas.list.Flush(3);
  for (i32 y = 0; y < 32; ++y)
    for (i32 x = 0; x < 32; ++x)
      ASSERT_EQ(pixels[y * 32 + x], x >= 10 && x < 14 && y >= 20 && y < 24 ? colours[1] : 0xFF000000u) << x << "," << y;
}

}  // namespace
