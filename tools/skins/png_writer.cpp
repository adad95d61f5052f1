#include "png_writer.h"

#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

void Put32(std::vector<u8>* out, u32 v) {
  out->push_back(static_cast<u8>(v >> 24));
  out->push_back(static_cast<u8>(v >> 16));
  out->push_back(static_cast<u8>(v >> 8));
  out->push_back(static_cast<u8>(v));
}

void PutChunk(std::vector<u8>* out, const char* type, const std::vector<u8>& data) {
  Put32(out, static_cast<u32>(data.size()));
  const size_t start = out->size();
  out->insert(out->end(), type, type + 4);
  out->insert(out->end(), data.begin(), data.end());
  uLong crc = crc32(0L, Z_NULL, 0);
  crc = crc32(crc, out->data() + start, static_cast<uInt>(out->size() - start));
  Put32(out, static_cast<u32>(crc));
}

u8 Paeth(int a, int b, int c) {
  int p = a + b - c;
  int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
  if (pa <= pb && pa <= pc) return static_cast<u8>(a);
  return static_cast<u8>(pb <= pc ? b : c);
}

// Row filtered with type t (bytes per pixel 4); prev is the row above (zero
// for the first).
void FilterRow(u8 t, const u8* row, const u8* prev, u32 n, u8* out) {
  for (u32 i = 0; i < n; ++i) {
    const int a = i >= 4 ? row[i - 4] : 0, b = prev[i], c = i >= 4 ? prev[i - 4] : 0;
    int v = row[i];
    switch (t) {
      case 1: v -= a; break;
      case 2: v -= b; break;
      case 3: v -= (a + b) / 2; break;
      case 4: v -= Paeth(a, b, c); break;
      default: break;
    }
    out[i] = static_cast<u8>(v);
  }
}

}  // namespace

std::vector<u8> EncodePng(const u32* pixels, u32 width, u32 height) {
  const u32 n = width * 4;
  std::vector<u8> rgba(static_cast<size_t>(n) * height);
  for (u32 r = 0; r < height; ++r) {
    const u32* src = pixels + static_cast<size_t>(height - 1 - r) * width;  // top row first
    u8* dst = rgba.data() + static_cast<size_t>(r) * n;
    for (u32 x = 0; x < width; ++x) {
      dst[4 * x] = static_cast<u8>(src[x] >> 16);
      dst[4 * x + 1] = static_cast<u8>(src[x] >> 8);
      dst[4 * x + 2] = static_cast<u8>(src[x]);
      dst[4 * x + 3] = static_cast<u8>(src[x] >> 24);
    }
  }
  std::vector<u8> raw;
  raw.reserve(static_cast<size_t>(n + 1) * height);
  std::vector<u8> zero(n, 0), best(n), trial(n);
  for (u32 r = 0; r < height; ++r) {
    const u8* row = rgba.data() + static_cast<size_t>(r) * n;
    const u8* prev = r ? row - n : zero.data();
    u8 bestType = 0;
    u64 bestCost = ~0ull;
    for (u8 t = 0; t <= 4; ++t) {
      FilterRow(t, row, prev, n, trial.data());
      u64 cost = 0;
      for (u32 i = 0; i < n; ++i) cost += static_cast<u64>(std::abs(static_cast<int>(static_cast<i8>(trial[i]))));
      if (cost < bestCost) bestCost = cost, bestType = t, best.swap(trial);
    }
    raw.push_back(bestType);
    raw.insert(raw.end(), best.begin(), best.end());
  }
  uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
  std::vector<u8> packed(packedSize);
  if (compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()), 9) != Z_OK)
    return {};
  packed.resize(packedSize);

  static const u8 kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  std::vector<u8> out(kSignature, kSignature + 8);
  std::vector<u8> header;
  Put32(&header, width);
  Put32(&header, height);
  const u8 rest[5] = {8, 6, 0, 0, 0};  // depth, RGBA, deflate, adaptive filters, no interlace
  header.insert(header.end(), rest, rest + 5);
  PutChunk(&out, "IHDR", header);
  PutChunk(&out, "IDAT", packed);
  PutChunk(&out, "IEND", {});
  return out;
}

bool WriteFile(const char* path, const std::vector<u8>& bytes) {
  FILE* f = std::fopen(path, "wb");
  if (!f) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}
