#include "skin_render.h"

#include "render/canvas.h"
#include "skin_pen.h"

namespace {

std::vector<u32> DrawOver(const SkinPicture& picture, u32 background) {
  const i32 w = picture.side * picture.frames, h = picture.side;
  std::vector<u32> pixels(static_cast<size_t>(w) * h, background);
  std::vector<double> coverage(CCanvas::CoverageScratchCount(w, 1));
  CCanvas canvas(1);
  canvas.Attach(pixels.data(), coverage.data(), w, h);
  CPen pen(&canvas);
  for (i32 f = 0; f < picture.frames; ++f) {
    pen.BeginFrame(f * picture.side, 0, picture.side, picture.side);
    picture.draw(pen, f);
  }
  canvas.list.Flush(1);
  return pixels;
}

u32 Channel(u32 pixel, int shift) { return (pixel >> shift) & 0xFF; }

}  // namespace

std::vector<u32> RenderPicture(const SkinPicture& picture) {
  const std::vector<u32> black = DrawOver(picture, 0xFF000000u);
  const std::vector<u32> white = DrawOver(picture, 0xFFFFFFFFu);
  std::vector<u32> out(black.size());
  for (size_t i = 0; i < out.size(); ++i) {
    // Over a background d each channel is about c a + d (1 - a), so white
    // minus black is 255 (1 - a). The blend divides by 256: undo that too.
    double through = 0;
    for (int s = 0; s < 24; s += 8)
      through += static_cast<double>(Channel(white[i], s)) - Channel(black[i], s);
    double alpha = 255.0 - through / 3.0 * 256.0 / 255.0;
    if (alpha < 0.5) {
      out[i] = 0;
      continue;
    }
    if (alpha > 255) alpha = 255;
    u32 pixel = static_cast<u32>(alpha + 0.5) << 24;
    for (int s = 0; s < 24; s += 8) {
      double c = alpha >= 254.5 ? Channel(black[i], s)
                                : Channel(black[i], s) * 256.0 / alpha;
      if (c > 255) c = 255;
      pixel |= static_cast<u32>(c + 0.5) << s;
    }
    out[i] = pixel;
  }
  return out;
}
