// Bitmaps and image strips: creation, copies from views, frames of wide and
// tall strips, appending, sharing and releasing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "png_test_encoder.h"
#include "render/bitmap.h"
#include "render/image_strip.h"

using namespace pngtest;

namespace {

bool LoadFixtureStrip(CImageStrip* strip, const char* name) {
  Bytes png;
  if (!ReadFixture(name, &png)) return false;
  return strip->Load(png.data(), static_cast<u32>(png.size()));
}

u32 At(const BitmapView& v, i32 x, i32 y) { return v.pixels[y * v.stride + x]; }

// Every pixel of the view equals colour.
bool Uniform(const BitmapView& v, u32 colour) {
  for (i32 y = 0; y < v.height; ++y)
    for (i32 x = 0; x < v.width; ++x)
      if (At(v, x, y) != colour) return false;
  return true;
}

}  // namespace

TEST(Bitmap, CreateRefusesEmptyAndOversizedSides) {
  EXPECT_EQ(CBitmap::Create(0, 5), nullptr);
  EXPECT_EQ(CBitmap::Create(5, 0), nullptr);
  EXPECT_EQ(CBitmap::Create(16385, 1), nullptr);
  EXPECT_EQ(CBitmap::Create(1, 16385), nullptr);
  CBitmap* b = CBitmap::Create(3, 2);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->width, 3u);
  EXPECT_EQ(b->height, 2u);
  for (int i = 0; i < 6; ++i) b->pixels[i] = 0x01020304u * i;  // the whole area is writable
  BitmapView v = b->View();
  EXPECT_EQ(v.width, 3);
  EXPECT_EQ(v.height, 2);
  EXPECT_EQ(v.stride, 3);
  EXPECT_EQ(v.pixels, b->pixels);
  CBitmap::Destroy(b);
  CBitmap::Destroy(nullptr);
}

TEST(Bitmap, CreateFromViewRespectsTheStride) {
  std::vector<u32> area(7 * 4);
  for (size_t i = 0; i < area.size(); ++i) area[i] = 0xFF000000u | static_cast<u32>(i);
  BitmapView view{3, 2, 7, area.data() + 7 + 2};  // 3 x 2 from column 2 of row 1
  CBitmap* copy = CBitmap::CreateFromView(view);
  ASSERT_NE(copy, nullptr);
  ASSERT_EQ(copy->width, 3u);
  ASSERT_EQ(copy->height, 2u);
  for (u32 y = 0; y < 2; ++y)
    for (u32 x = 0; x < 3; ++x) EXPECT_EQ(copy->pixels[y * 3 + x], area[(1 + y) * 7 + 2 + x]);
  CBitmap::Destroy(copy);
  EXPECT_EQ(CBitmap::CreateFromView(BitmapView{3, 2, 3, nullptr}), nullptr);
  EXPECT_EQ(CBitmap::CreateFromView(BitmapView{0, 2, 3, area.data()}), nullptr);
  EXPECT_EQ(CBitmap::CreateFromView(BitmapView{4, 2, 3, area.data()}), nullptr);
}

TEST(ImageStrip, WideImageGivesFramesSideBySide) {
  CImageStrip strip;
  ASSERT_TRUE(LoadFixtureStrip(&strip, "png_strip_wide.png")) << "fixture missing or undecodable";
  EXPECT_TRUE(strip.IsWide());
  EXPECT_EQ(strip.frameWidth, 16u);
  EXPECT_EQ(strip.frameHeight, 16u);
  EXPECT_FALSE(strip.borrowed);
  ASSERT_EQ(strip.FrameCount(), 3);
  const u32 colours[3] = {0x80FF0000u, 0xC000FF00u, 0xFF0000FFu};
  for (i32 n = 0; n < 3; ++n) {
    BitmapView v;
    strip.GetFrame(n, &v);
    EXPECT_EQ(v.width, 16);
    EXPECT_EQ(v.height, 16);
    EXPECT_EQ(v.stride, 48);
    EXPECT_EQ(v.pixels, strip.bitmap->pixels + n * 16);
    EXPECT_TRUE(Uniform(v, colours[n])) << n;
  }
  BitmapView none;
  strip.GetFrame(3, &none);
  EXPECT_EQ(none.pixels, nullptr);
  strip.GetFrame(-1, &none);
  EXPECT_EQ(none.pixels, nullptr);
}

TEST(ImageStrip, TallImageGivesStackedFramesFromTheFirstRowsInMemory) {
  CImageStrip strip;
  ASSERT_TRUE(LoadFixtureStrip(&strip, "png_strip_tall.png")) << "fixture missing or undecodable";
  EXPECT_FALSE(strip.IsWide());
  ASSERT_EQ(strip.FrameCount(), 3);
  // The image's top square is red; bitmaps hold the top row last, so frame 0
  // (the first rows in memory) is the image's bottom square.
  const u32 colours[3] = {0xFF0000FFu, 0xC000FF00u, 0x80FF0000u};
  for (i32 n = 0; n < 3; ++n) {
    BitmapView v;
    strip.GetFrame(n, &v);
    EXPECT_EQ(v.stride, 16);
    EXPECT_EQ(v.pixels, strip.bitmap->pixels + n * 16 * 16);
    EXPECT_TRUE(Uniform(v, colours[n])) << n;
  }
}

TEST(ImageStrip, LeftoverRowsAreNoFrame) {
  CImageStrip strip;
  ASSERT_TRUE(LoadFixtureStrip(&strip, "png_strip_16x40.png")) << "fixture missing or undecodable";
  EXPECT_EQ(strip.frameWidth, 16u);
  EXPECT_EQ(strip.frameHeight, 16u);
  EXPECT_EQ(strip.FrameCount(), 2);
}

TEST(ImageStrip, FailedLoadLeavesAnEmptyStrip) {
  CImageStrip strip;
  ASSERT_TRUE(LoadFixtureStrip(&strip, "png_strip_wide.png"));
  Bytes rgb;
  ASSERT_TRUE(ReadFixture("png_refuse_rgb.png", &rgb));
  EXPECT_FALSE(strip.Load(rgb.data(), static_cast<u32>(rgb.size())));
  EXPECT_EQ(strip.bitmap, nullptr);
  EXPECT_EQ(strip.frameWidth, 0u);
  EXPECT_EQ(strip.frameHeight, 0u);
  EXPECT_EQ(strip.FrameCount(), 0);
  EXPECT_FALSE(strip.Load(nullptr, 10));
  BitmapView v;
  strip.GetFrame(0, &v);
  EXPECT_EQ(v.pixels, nullptr);
}

TEST(ImageStrip, AppendStacksFramesAndRefusesOtherSizes) {
  std::vector<u32> a(5 * 3), b(8 * 3), c(4 * 4);
  for (size_t i = 0; i < a.size(); ++i) a[i] = 0xAA000000u | u32(i);
  for (size_t i = 0; i < b.size(); ++i) b[i] = 0xBB000000u | u32(i);
  CImageStrip strip;
  EXPECT_EQ(strip.AppendFrame(BitmapView{5, 3, 5, a.data()}), 1);
  EXPECT_EQ(strip.frameWidth, 5u);
  EXPECT_EQ(strip.frameHeight, 3u);
  // A view with a wider stride is copied row by row.
  EXPECT_EQ(strip.AppendFrame(BitmapView{5, 3, 8, b.data()}), 2);
  EXPECT_EQ(strip.FrameCount(), 2);
  CBitmap* before = strip.bitmap;
  EXPECT_EQ(strip.AppendFrame(BitmapView{4, 4, 4, c.data()}), -1);
  EXPECT_EQ(strip.AppendFrame(BitmapView{5, 4, 5, c.data()}), -1);
  EXPECT_EQ(strip.AppendFrame(BitmapView{5, 3, 5, nullptr}), -1);
  EXPECT_EQ(strip.bitmap, before);
  ASSERT_EQ(strip.FrameCount(), 2);
  BitmapView f0, f1;
  strip.GetFrame(0, &f0);
  strip.GetFrame(1, &f1);
  for (i32 y = 0; y < 3; ++y)
    for (i32 x = 0; x < 5; ++x) {
      EXPECT_EQ(At(f0, x, y), a[y * 5 + x]);
      EXPECT_EQ(At(f1, x, y), b[y * 8 + x]);
    }
  CBitmap* whole = CBitmap::CreateFromView(f1);
  ASSERT_NE(whole, nullptr);
  EXPECT_EQ(strip.AppendBitmap(whole), 3);
  EXPECT_EQ(strip.AppendBitmap(nullptr), -1);
  CBitmap::Destroy(whole);
}

TEST(ImageStrip, AppendToLandscapeFramesTurnsTheStripTall) {
  std::vector<u32> a(20 * 10, 0xFF112233u), b(20 * 10, 0xFF445566u);
  CImageStrip strip;
  EXPECT_EQ(strip.AppendFrame(BitmapView{20, 10, 20, a.data()}), 1);
  EXPECT_EQ(strip.FrameCount(), 1);
  EXPECT_EQ(strip.AppendFrame(BitmapView{20, 10, 20, b.data()}), 2);
  EXPECT_FALSE(strip.IsWide());
  EXPECT_EQ(strip.FrameCount(), 2);
  BitmapView v;
  strip.GetFrame(1, &v);
  EXPECT_TRUE(Uniform(v, 0xFF445566u));
}

TEST(ImageStrip, AppendToAWideStripIsRefused) {
  CImageStrip strip;
  ASSERT_TRUE(LoadFixtureStrip(&strip, "png_strip_wide.png"));
  std::vector<u32> frame(16 * 16, 0xFFFFFFFFu);
  CBitmap* before = strip.bitmap;
  EXPECT_EQ(strip.AppendFrame(BitmapView{16, 16, 16, frame.data()}), -1);
  EXPECT_EQ(strip.bitmap, before);
  EXPECT_EQ(strip.FrameCount(), 3);
  BitmapView v;
  strip.GetFrame(2, &v);
  EXPECT_TRUE(Uniform(v, 0xFF0000FFu));
}

TEST(ImageStrip, ShareBorrowsAndReleaseLeavesTheOwnerIntact) {
  CImageStrip owner;
  ASSERT_TRUE(LoadFixtureStrip(&owner, "png_strip_tall.png"));
  {
    CImageStrip borrower;
    borrower.Share(owner);
    EXPECT_TRUE(borrower.borrowed);
    EXPECT_EQ(borrower.bitmap, owner.bitmap);
    EXPECT_EQ(borrower.FrameCount(), 3);
    borrower.Release();
    EXPECT_EQ(borrower.bitmap, nullptr);
    borrower.Share(owner);
  }  // destroyed while borrowing
  BitmapView v;
  owner.GetFrame(0, &v);
  EXPECT_TRUE(Uniform(v, 0xFF0000FFu));  // still readable (checked by the sanitizers)
  owner.Share(owner);                    // sharing with itself keeps the image
  EXPECT_EQ(owner.FrameCount(), 3);
  EXPECT_FALSE(owner.borrowed);
}

TEST(ImageStrip, AppendToABorrowedStripKeepsTheOwnersBitmap) {
  CImageStrip owner;
  std::vector<u32> a(4 * 4, 0xFF010203u), b(4 * 4, 0xFF040506u);
  ASSERT_EQ(owner.AppendFrame(BitmapView{4, 4, 4, a.data()}), 1);
  CImageStrip borrower;
  borrower.Share(owner);
  EXPECT_EQ(borrower.AppendFrame(BitmapView{4, 4, 4, b.data()}), 2);
  EXPECT_FALSE(borrower.borrowed);
  EXPECT_NE(borrower.bitmap, owner.bitmap);
  BitmapView v;
  owner.GetFrame(0, &v);
  EXPECT_TRUE(Uniform(v, 0xFF010203u));
  EXPECT_EQ(owner.FrameCount(), 1);
}
