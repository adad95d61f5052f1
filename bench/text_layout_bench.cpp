// Text speed: lay out and draw 10,000 short runs (word-wrapped into boxes,
// justified every other one) onto a 1920 x 1080 surface, in frames of 500
// runs, with one band and with one band per processor.
// Reference in the same run: the same frames with every text run replaced by
// a filled rectangle of its box, so the figure says what text costs over
// the plainest drawing of the same area.
// Natively the glyphs come from a procedural face (anti-aliased shapes of
// 8-point size); the Windows build uses the system's "Tahoma" through GDI and
// FreeType.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "render/canvas.h"
#include "render/text/font.h"
#include "render/text/text_layout.h"
#include "runtime/threads.h"

#ifdef _WIN32
#include "render/text/font_freetype.h"
#endif

namespace {

double Now() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Glyphs of a typical 8-point UI face at 96 dpi: 11 rows, about 7 columns,
// anti-aliased edges; advances vary by character.
class CProceduralFace final : public IFontFace {
 public:
  u32 FirstChar() override { return 32; }
  u32 NextChar(u32 code) override { return code < 0x24F ? code + 1 : 0; }
  bool HasChar(u32 code) override { return code >= 32 && code <= 0x24F; }
  bool RenderChar(u32 code, GlyphImage* image) override {
    const int w = 5 + static_cast<int>(code % 4), h = 11;
    pixels_.assign(static_cast<size_t>(w) * h, 0);
    if (code != 32) {
      const double cx = (w - 1) / 2.0, cy = 5.0, rx = w / 2.0 - 0.3, ry = 4.6 + (code % 3) * 0.3;
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
          const double d = std::sqrt(((x - cx) / rx) * ((x - cx) / rx) + ((y - cy) / ry) * ((y - cy) / ry));
          const double ring = std::fabs(d - 0.8) * 4;
          pixels_[y * w + x] = ring < 1 ? static_cast<u8>(255 * (1 - ring)) : 0;
        }
    }
    image->advanceX = code == 32 ? 3 : w + 1;
    image->advanceY = 0;
    image->left = 0;
    image->top = 9;
    image->rows = h;
    image->width = static_cast<u32>(w);
    image->topRow = pixels_.data();
    image->pitch = w;
    image->greyLevels = 256;
    return true;
  }
  void Metrics(double* lineHeight, double* ascender, double* descender) override {
    *lineHeight = 13;
    *ascender = 10;
    *descender = 3;
  }

 private:
  std::vector<u8> pixels_;
};

class CProceduralFaces final : public IFaceProvider {
 public:
  IFontFace* OpenFace(const wchar16*, u32, bool, bool) override { return new CProceduralFace; }
  void CloseFace(IFontFace* face) override { delete static_cast<CProceduralFace*>(face); }
};

const char16_t* const kWords[] = {u"Burn", u"disc", u"image", u"Copy", u"Erase", u"speed", u"8x",
                                  u"Verify", u"data", u"track", u"Audio", u"session", u"drive",
                                  u"Finalize", u"the", u"of", u"write", u"buffer", u"\x00C9tat", u"OK"};

std::u16string Run(int i) {
  std::u16string s;
  const int words = 2 + i % 4;
  for (int w = 0; w < words; ++w) {
    if (w) s += u' ';
    s += kWords[(i * 7 + w * 3) % 20];
  }
  return s;
}

struct Frame {
  std::vector<u32> pixels;
  std::vector<double> coverage;
  CCanvas canvas;
  explicit Frame(i32 bands)
      : pixels(1920 * 1080, 0xFFF0F0F0u), coverage(static_cast<size_t>(1920) * bands), canvas(bands) {
    canvas.Attach(pixels.data(), coverage.data(), 1920, 1080);
  }
};

// Draws n runs in frames of 500; text or, for the reference, the run boxes
// as rectangles. Seconds per 10,000 runs, fastest of several rounds.
double DrawRuns(CFont* font, i32 bands, bool text, const std::vector<std::u16string>& runs) {
  Frame frame(bands);
  frame.canvas.SetFont(font);
  frame.canvas.textColour = 0xFF202020u;
  double best = 1e30;
  for (int round = 0; round < 5; ++round) {
    const double start = Now();
    for (size_t i = 0; i < runs.size();) {
      frame.canvas.Reset();
      for (int k = 0; k < 500 && i < runs.size(); ++k, ++i) {
        const double x = static_cast<double>((i * 97) % 1800), y = static_cast<double>((i * 41) % 1040);
        if (text)
          frame.canvas.DrawTextInRect(x, y, x + 110, y + 30, runs[i].c_str(), static_cast<i32>(runs[i].size()),
                                      (i & 1) ? kTextJustify : 0);
        else
          frame.canvas.FillRect(x, y, x + 110, y + 30, 0xFF202020u);
      }
      frame.canvas.list.Flush(frame.canvas.bandCount);
    }
    const double t = Now() - start;
    if (t < best) best = t;
  }
  return best * 10000.0 / static_cast<double>(runs.size());
}

}  // namespace

int main() {
#ifdef _WIN32
  IFaceProvider* provider = SystemFaceProvider();
  const char* source = "system Tahoma 8 (GDI + FreeType)";
#else
  static CProceduralFaces procedural;
  IFaceProvider* provider = &procedural;
  const char* source = "procedural 8-point face";
#endif
  if (!InitFontListWith(provider)) {
    std::printf("no default font\n");
    return 1;
  }
  CFont* font = GetDefaultFont();
  std::vector<std::u16string> runs;
  for (int i = 0; i < 10000; ++i) runs.push_back(Run(i));

  // Layout alone: fitting the runs into their boxes.
  double layout = 1e30;
  for (int round = 0; round < 5; ++round) {
    const double start = Now();
    double sink = 0;
    for (const auto& r : runs) {
      double fitted;
      i32 blanks;
      const i32 n = static_cast<i32>(r.size());
      for (i32 at = 0; at < n;) {
        i32 k = font->FitText(110, r.c_str() + at, n - at, &fitted, &blanks);
        if (k <= 0) break;
        sink += fitted;
        at += k + 1;
      }
    }
    const double t = Now() - start;
    if (t < layout && sink > 0) layout = t;
  }

  const i32 processors = static_cast<i32>(GetProcessorCount() < 16 ? GetProcessorCount() : 16);
  std::printf("text runs: 10,000 short runs, %s\n", source);
  std::printf("  fitting alone                      %8.2f ms\n", layout * 1000);
  for (i32 bands : {1, processors}) {
    const double text = DrawRuns(font, bands, true, runs);
    const double boxes = DrawRuns(font, bands, false, runs);
    std::printf("  layout + draw, %2d band(s)          %8.2f ms (%.2f us per run); boxes as rectangles %8.2f ms; ratio %.2f\n",
                bands, text * 1000, text * 1e6 / 10000, boxes * 1000, text / boxes);
  }
  font->Release();
  DestroyFontList();
  return 0;
}
