// PNG decoding speed: the program's decoder against libpng on the same files
// in the same run (libpng is loaded at run time on the native build; the
// Windows build measures the program's decoder alone).
//   - a 1920 x 1080 RGBA picture drawn like the interface (flat panels,
//     gradients, rounded anti-aliased shapes, small text-like detail);
//   - a 1920 x 1080 RGBA photo-like picture (smooth colour with noise);
//   - a 256 x 256 skin-sized icon sheet.
// The program holds no skin PNG of its own yet, so the icon sheet stands in
// for the largest one.
#include <zlib.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "render/bitmap.h"

#ifndef _WIN32
#include <dlfcn.h>
#include <png.h>

#include <csetjmp>
#endif

namespace {

typedef std::vector<unsigned char> Bytes;

double Now() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// ---- pictures -------------------------------------------------------------

void Put(Bytes& rgba, int w, int x, int y, int r, int g, int b, int a) {
  unsigned char* p = &rgba[(static_cast<size_t>(y) * w + x) * 4];
  p[0] = static_cast<unsigned char>(r);
  p[1] = static_cast<unsigned char>(g);
  p[2] = static_cast<unsigned char>(b);
  p[3] = static_cast<unsigned char>(a);
}

Bytes InterfacePicture(int w, int h) {
  Bytes rgba(static_cast<size_t>(w) * h * 4);
  unsigned seed = 1;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      // Background panel with a vertical gradient, a caption band and a
      // side pane; rounded buttons with soft edges; text-like speckles.
      int r = 236 - y * 20 / h, g = 238 - y * 18 / h, b = 242 - y * 10 / h, a = 255;
      if (y < 40) r = 40 + y, g = 80 + y, b = 160 + y;
      if (x < 220) r -= 18, g -= 14, b -= 6;
      int bx = (x - 260) % 180, by = (y - 90) % 70;
      if (x >= 260 && y >= 90 && bx < 150 && by < 46) {
        double dx = std::fmax(0.0, std::fabs(bx - 75.0) - 63.0);
        double dy = std::fmax(0.0, std::fabs(by - 23.0) - 11.0);
        double d = std::sqrt(dx * dx + dy * dy) - 12.0;
        double cover = d < -0.5 ? 1.0 : d > 0.5 ? 0.0 : 0.5 - d;
        int br = 90 + by, bg = 140 + by, bb = 220;
        r = static_cast<int>(r + (br - r) * cover);
        g = static_cast<int>(g + (bg - g) * cover);
        b = static_cast<int>(b + (bb - b) * cover);
        seed = seed * 1103515245u + 12345u;
        if (cover == 1.0 && by > 18 && by < 28 && bx > 30 && bx < 120 && (seed >> 29) == 0) r = g = b = 255;
      }
      seed = seed * 1103515245u + 12345u;
      if (x >= 20 && x < 200 && (y % 22) > 6 && (y % 22) < 16 && (seed >> 28) == 0) r = g = b = 30;
      if (x > w - 12 || y > h - 12) a = 255 * (w - x < h - y ? w - x : h - y) / 12;
      Put(rgba, w, x, y, r, g, b, a);
    }
  }
  return rgba;
}

Bytes PhotoPicture(int w, int h) {
  Bytes rgba(static_cast<size_t>(w) * h * 4);
  unsigned seed = 7;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      seed = seed * 1664525u + 1013904223u;
      int n = static_cast<int>(seed >> 28) - 8;
      int r = static_cast<int>(128 + 100 * std::sin(x * 0.01) + n);
      int g = static_cast<int>(128 + 100 * std::sin(y * 0.013 + x * 0.002) + n);
      int b = static_cast<int>(128 + 100 * std::cos((x + y) * 0.007) - n);
      Put(rgba, w, x, y, r, g, b, 200 + (x * 55) / w);
    }
  return rgba;
}

Bytes IconSheet(int w, int h) {
  Bytes rgba(static_cast<size_t>(w) * h * 4);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      double cx = (x % 32) - 15.5, cy = (y % 32) - 15.5;
      double d = std::sqrt(cx * cx + cy * cy);
      double cover = d < 11 ? 1.0 : d > 12 ? 0.0 : 12 - d;
      Put(rgba, w, x, y, 40 + (x / 32) * 25, 200 - (y / 32) * 20, 120 + static_cast<int>(cy * 4),
          static_cast<int>(255 * cover));
    }
  return rgba;
}

// ---- the program's own minimal encoder (adaptive filters, as encoders
// usually choose them) for the build without libpng -------------------------

void Put32(Bytes& out, unsigned v) {
  for (int s = 24; s >= 0; s -= 8) out.push_back(static_cast<unsigned char>(v >> s));
}

void Chunk(Bytes& out, const char* type, const Bytes& data) {
  Put32(out, static_cast<unsigned>(data.size()));
  size_t at = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  Put32(out, static_cast<unsigned>(crc32(0, &out[at], static_cast<uInt>(4 + data.size()))));
}

Bytes EncodeAdaptive(const Bytes& rgba, int w, int h) {
  const size_t rowBytes = static_cast<size_t>(w) * 4;
  Bytes raw;
  Bytes candidate(rowBytes);
  for (int y = 0; y < h; ++y) {
    const unsigned char* row = &rgba[y * rowBytes];
    const unsigned char* up = y ? &rgba[(y - 1) * rowBytes] : nullptr;
    int bestType = 0;
    Bytes best;
    long bestScore = -1;
    for (int type = 0; type <= 4; ++type) {
      long score = 0;
      for (size_t i = 0; i < rowBytes; ++i) {
        int a = i >= 4 ? row[i - 4] : 0, b = up ? up[i] : 0, c = (up && i >= 4) ? up[i - 4] : 0;
        int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
        int pred = type == 1 ? a : type == 2 ? b : type == 3 ? (a + b) / 2
                 : type == 4 ? (pa <= pb && pa <= pc ? a : pb <= pc ? b : c) : 0;
        candidate[i] = static_cast<unsigned char>(row[i] - pred);
        score += candidate[i] < 128 ? candidate[i] : 256 - candidate[i];
      }
      if (bestScore < 0 || score < bestScore) bestScore = score, bestType = type, best = candidate;
    }
    raw.push_back(static_cast<unsigned char>(bestType));
    raw.insert(raw.end(), best.begin(), best.end());
  }
  uLongf zsize = compressBound(static_cast<uLong>(raw.size()));
  Bytes z(zsize);
  compress2(z.data(), &zsize, raw.data(), static_cast<uLong>(raw.size()), 6);
  z.resize(zsize);
  Bytes png = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};
  Bytes header;
  Put32(header, static_cast<unsigned>(w));
  Put32(header, static_cast<unsigned>(h));
  header.insert(header.end(), {8, 6, 0, 0, 0});
  Chunk(png, "IHDR", header);
  for (size_t at = 0; at < z.size(); at += 8192)
    Chunk(png, "IDAT", Bytes(z.begin() + at, z.begin() + (at + 8192 < z.size() ? at + 8192 : z.size())));
  Chunk(png, "IEND", Bytes());
  return png;
}

// ---- libpng, loaded at run time -----------------------------------------

#ifndef _WIN32
struct LibPng {
  void* module = nullptr;
  decltype(&png_create_read_struct) createRead = nullptr;
  decltype(&png_create_info_struct) createInfo = nullptr;
  decltype(&png_set_read_fn) setReadFn = nullptr;
  decltype(&png_get_io_ptr) getIoPtr = nullptr;
  decltype(&png_read_info) readInfo = nullptr;
  decltype(&png_get_image_width) width = nullptr;
  decltype(&png_get_image_height) height = nullptr;
  decltype(&png_read_image) readImage = nullptr;
  decltype(&png_read_end) readEnd = nullptr;
  decltype(&png_destroy_read_struct) destroyRead = nullptr;
  decltype(&png_set_longjmp_fn) setLongjmp = nullptr;
  decltype(&png_image_write_to_memory) writeMemory = nullptr;

  bool Load() {
    module = dlopen("libpng16.so.16", RTLD_NOW | RTLD_LOCAL);
    if (!module) return false;
#define KELVANE_BENCH_SYMBOL(field, name) field = reinterpret_cast<decltype(field)>(dlsym(module, name))
    KELVANE_BENCH_SYMBOL(createRead, "png_create_read_struct");
    KELVANE_BENCH_SYMBOL(createInfo, "png_create_info_struct");
    KELVANE_BENCH_SYMBOL(setReadFn, "png_set_read_fn");
    KELVANE_BENCH_SYMBOL(getIoPtr, "png_get_io_ptr");
    KELVANE_BENCH_SYMBOL(readInfo, "png_read_info");
    KELVANE_BENCH_SYMBOL(width, "png_get_image_width");
    KELVANE_BENCH_SYMBOL(height, "png_get_image_height");
    KELVANE_BENCH_SYMBOL(readImage, "png_read_image");
    KELVANE_BENCH_SYMBOL(readEnd, "png_read_end");
    KELVANE_BENCH_SYMBOL(destroyRead, "png_destroy_read_struct");
    KELVANE_BENCH_SYMBOL(setLongjmp, "png_set_longjmp_fn");
    KELVANE_BENCH_SYMBOL(writeMemory, "png_image_write_to_memory");
#undef KELVANE_BENCH_SYMBOL
    return createRead && createInfo && setReadFn && getIoPtr && readInfo && width && height &&
           readImage && readEnd && destroyRead && setLongjmp && writeMemory;
  }

  Bytes Encode(const Bytes& rgba, int w, int h) {
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(w);
    image.height = static_cast<png_uint_32>(h);
    image.format = PNG_FORMAT_RGBA;
    png_alloc_size_t size = 0;
    if (!writeMemory(&image, nullptr, &size, 0, rgba.data(), 0, nullptr)) return Bytes();
    Bytes out(size);
    if (!writeMemory(&image, out.data(), &size, 0, rgba.data(), 0, nullptr)) return Bytes();
    out.resize(size);
    return out;
  }

  struct Reader {
    const Bytes* data;
    size_t at;
  };
  static void Read(png_structp png, png_bytep out, size_t n);
  static LibPng* self;

  // The raw decode path (no transformations): RGBA rows into out.
  bool Decode(const Bytes& file, Bytes* out) {
    png_structp png = createRead(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = createInfo(png);
    Reader reader{&file, 0};
    std::vector<png_bytep> rows;
    if (setjmp(*setLongjmp(png, longjmp, sizeof(jmp_buf)))) {
      destroyRead(&png, &info, nullptr);
      return false;
    }
    setReadFn(png, &reader, &LibPng::Read);
    readInfo(png, info);
    png_uint_32 w = width(png, info), h = height(png, info);
    out->resize(static_cast<size_t>(w) * h * 4);
    rows.resize(h);
    for (png_uint_32 y = 0; y < h; ++y) rows[y] = &(*out)[static_cast<size_t>(y) * w * 4];
    readImage(png, rows.data());
    readEnd(png, nullptr);
    destroyRead(&png, &info, nullptr);
    return true;
  }
};
LibPng* LibPng::self = nullptr;

void LibPng::Read(png_structp png, png_bytep out, size_t n) {
  Reader* reader = static_cast<Reader*>(self->getIoPtr(png));
  size_t left = reader->data->size() - reader->at;
  if (n > left) n = left;  // a short file ends in libpng's own error
  std::memcpy(out, reader->data->data() + reader->at, n);
  reader->at += n;
}
#endif

template <class F>
double TimeOnce(F&& run) {
  double start = Now();
  run();
  return Now() - start;
}

// Fastest of many runs of each decoder, the two taking turns so that both
// see the same machine load (other work on the machine only slows runs).
template <class A, class B>
void FastestOfTurns(A&& first, B&& second, bool withSecond, double* a, double* b) {
  first();
  if (withSecond) second();
  *a = *b = 1e30;
  double start = Now();
  for (int turn = 0; turn < 15 || Now() - start < 2.0; ++turn) {
    double t = TimeOnce(first);
    if (t < *a) *a = t;
    if (withSecond) {
      t = TimeOnce(second);
      if (t < *b) *b = t;
    }
    if (turn > 2000) break;
  }
}

void Measure(const char* name, const Bytes& rgba, int w, int h, void* libpngHandle) {
  Bytes png;
#ifndef _WIN32
  LibPng* libpng = static_cast<LibPng*>(libpngHandle);
  if (libpng) png = libpng->Encode(rgba, w, h);
#else
  (void)libpngHandle;
#endif
  const char* encoder = "libpng";
  if (png.empty()) {
    png = EncodeAdaptive(rgba, w, h);
    encoder = "own encoder";
  }
  volatile unsigned sink = 0;
  auto decodeOurs = [&] {
    CBitmap* bitmap = CBitmap::LoadPng(png.data(), static_cast<u32>(png.size()));
    if (!bitmap) {
      std::printf("decode failed\n");
      std::exit(1);
    }
    sink = sink + bitmap->pixels[0];
    CBitmap::Destroy(bitmap);
  };
  bool withReference = false;
  auto decodeReference = [&] {
#ifndef _WIN32
    Bytes out;  // a new image per decode, as the program's decoder makes
    if (!libpng->Decode(png, &out)) {
      std::printf("libpng failed\n");
      std::exit(1);
    }
    sink = sink + out[0];
#endif
  };
#ifndef _WIN32
  withReference = libpng != nullptr;
#endif
  double ours = 0, reference = 0;
  FastestOfTurns(decodeOurs, decodeReference, withReference, &ours, &reference);
  std::printf("%-28s %4dx%-4d %8zu bytes (%s): this decoder %8.3f ms", name, w, h, png.size(), encoder,
              ours * 1000);
  if (withReference)
    std::printf(", libpng %8.3f ms, ratio %.3f (target <= 1.2)", reference * 1000, ours / reference);
  std::printf("\n");
}

}  // namespace

int main() {
  void* libpng = nullptr;
#ifndef _WIN32
  static LibPng loaded;
  if (loaded.Load()) {
    LibPng::self = &loaded;
    libpng = &loaded;
  } else {
    std::printf("libpng16 not found: measuring this decoder alone\n");
  }
#endif
  Measure("interface picture", InterfacePicture(1920, 1080), 1920, 1080, libpng);
  Measure("photo-like picture", PhotoPicture(1920, 1080), 1920, 1080, libpng);
  Measure("icon sheet (skin stand-in)", IconSheet(256, 256), 256, 256, libpng);
  return 0;
}
