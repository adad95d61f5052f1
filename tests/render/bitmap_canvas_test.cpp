// Bitmaps and strip frames drawn through a canvas: recorded, then executed
// by the band walk.
#include <gtest/gtest.h>

#include <vector>

#include "render/bitmap.h"
#include "render/bitmap_draw.h"
#include "render/canvas.h"
#include "render/image_strip.h"

namespace {

struct Surface {
  Surface(i32 w, i32 h, i32 bands, u32 fill)
      : width(w), pixels(static_cast<size_t>(w) * h, fill), coverage(static_cast<size_t>(w) * bands), canvas(bands) {
    canvas.Attach(pixels.data(), coverage.data(), w, h);
  }
  u32 At(i32 x, i32 y) const { return pixels[static_cast<size_t>(y) * width + x]; }
  void Flush() { canvas.list.Flush(canvas.bandCount); }
  i32 width;
  std::vector<u32> pixels;
  std::vector<double> coverage;
  CCanvas canvas;
};

// A tall strip of three 4 x 4 frames, frame n filled with colours[n].
void MakeStrip(CImageStrip* strip, const u32 colours[3]) {
  for (int n = 0; n < 3; ++n) {
    std::vector<u32> frame(16, colours[n]);
    ASSERT_EQ(strip->AppendFrame(BitmapView{4, 4, 4, frame.data()}), n + 1);
  }
}

}  // namespace

TEST(BitmapCanvas, StripFramesAreDrawnAtTheirPlace) {
  const u32 colours[3] = {0xFF112233u, 0xFF445566u, 0xFF778899u};
  CImageStrip strip;
  MakeStrip(&strip, colours);
  Surface s(32, 32, 3, 0xFF000000u);
  s.canvas.originX = 2;
  s.canvas.originY = 3;
  strip.DrawFrame(&s.canvas, 1, 8, 17, 1.0);
  strip.DrawFrame(&s.canvas, 3, 0, 0, 1.0);   // one past the last frame
  strip.DrawFrame(&s.canvas, -1, 0, 0, 1.0);
  strip.DrawFrame(&s.canvas, 2, 20, 2, 0.0);  // opacity 0
  s.Flush();
  for (i32 y = 0; y < 32; ++y)
    for (i32 x = 0; x < 32; ++x) {
      const bool inside = x >= 10 && x < 14 && y >= 20 && y < 24;
      EXPECT_EQ(s.At(x, y), inside ? colours[1] : 0xFF000000u) << x << "," << y;
    }
}

TEST(BitmapCanvas, DrawBitmapAtAndStretchedViewsMatchTheExecutors) {
  std::vector<u32> picture(6 * 5);
  for (size_t i = 0; i < picture.size(); ++i) picture[i] = 0x80000000u | static_cast<u32>(i * 0x030507u);
  CBitmap* bitmap = CBitmap::CreateFromView(BitmapView{6, 5, 6, picture.data()});
  ASSERT_NE(bitmap, nullptr);
  for (i32 bands : {1, 4}) {
    SCOPED_TRACE(bands);
    Surface s(40, 40, bands, 0xFF204060u);
    DrawBitmapAt(&s.canvas, bitmap, 3, 4, 0.6);
    DrawBitmapAt(&s.canvas, nullptr, 0, 0, 1.0);
    s.canvas.DrawBitmapInRect(bitmap->View(), 12.5, 10.25, 30.5, 38, 1.0);
    s.Flush();
    // The same drawing straight through the executors on a copy.
    std::vector<u32> expected(40 * 40, 0xFF204060u);
    CRasterizer::BitmapTarget all{expected.data(), 40, 0, 40, 0, 40};
    CRasterizer::DrawBitmapInto(all, 3, 4, 9, 9, bitmap->View(), 0.6);
    CRasterizer::DrawBitmapInto(all, 12.5, 10.25, 30.5, 38, bitmap->View(), 1.0);
    EXPECT_TRUE(s.pixels == expected);
    EXPECT_NE(s.At(3, 4), 0xFF204060u);
  }
  CBitmap::Destroy(bitmap);
}
