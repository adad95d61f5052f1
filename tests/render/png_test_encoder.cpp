#include "png_test_encoder.h"

#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "render/bitmap.h"
#include "runtime/byte_order.h"

namespace pngtest {

namespace {

void Put32(Bytes* out, u32 v) {
  out->resize(out->size() + 4);
  WriteBigEndian32(&*(out->end() - 4), v);
}

// The predictor of the format's filter type 4, written from its definition.
int PaethPredictor(int a, int b, int c) {
  int p = a + b - c;
  int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
  if (pa <= pb && pa <= pc) return a;
  if (pb <= pc) return b;
  return c;
}

}  // namespace

Bytes TestPicture(u32 width, u32 height, u32 seed) {
  Bytes out(static_cast<size_t>(width) * height * 4);
  u32 state = seed * 2654435761u + 1;
  for (u32 y = 0; y < height; ++y) {
    for (u32 x = 0; x < width; ++x) {
      state = state * 1664525u + 1013904223u;
      u8 noise = u8(state >> 27);  // 0..31
      u8* p = &out[(static_cast<size_t>(y) * width + x) * 4];
      p[0] = u8(x * 255 / (width > 1 ? width - 1 : 1) + noise);
      p[1] = u8(y * 255 / (height > 1 ? height - 1 : 1) ^ noise);
      p[2] = u8((x * 7 + y * 13) + (state >> 24));
      p[3] = u8((x + y) * 255 / (width + height) + noise / 4);
    }
  }
  return out;
}

Bytes FilterRows(const Bytes& rgba, u32 width, u32 height, const std::vector<u8>& filters) {
  const size_t rowBytes = static_cast<size_t>(width) * 4;
  Bytes raw;
  raw.reserve((rowBytes + 1) * height);
  for (u32 y = 0; y < height; ++y) {
    u8 type = filters.empty() ? 0 : filters[y % filters.size()];
    raw.push_back(type);
    const u8* row = &rgba[y * rowBytes];
    const u8* prior = y > 0 ? &rgba[(y - 1) * rowBytes] : nullptr;
    for (size_t i = 0; i < rowBytes; ++i) {
      int a = i >= 4 ? row[i - 4] : 0;
      int b = prior ? prior[i] : 0;
      int c = (prior && i >= 4) ? prior[i - 4] : 0;
      int predicted = 0;
      switch (type) {
        case 1: predicted = a; break;
        case 2: predicted = b; break;
        case 3: predicted = (a + b) / 2; break;
        case 4: predicted = PaethPredictor(a, b, c); break;
        default: predicted = 0; break;
      }
      raw.push_back(u8(row[i] - predicted));
    }
  }
  return raw;
}

Bytes Deflate(const Bytes& raw, int level) {
  uLongf size = compressBound(static_cast<uLong>(raw.size()));
  Bytes out(size);
  if (compress2(out.data(), &size, raw.data(), static_cast<uLong>(raw.size()), level) != Z_OK)
    return Bytes();
  out.resize(size);
  return out;
}

PngWriter::PngWriter() {
  const u8 signature[8] = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};
  bytes_.assign(signature, signature + 8);
}

void PngWriter::Chunk(const char* type, const Bytes& data) {
  Put32(&bytes_, static_cast<u32>(data.size()));
  size_t typeAt = bytes_.size();
  bytes_.insert(bytes_.end(), type, type + 4);
  bytes_.insert(bytes_.end(), data.begin(), data.end());
  uLong crc = crc32(0, bytes_.data() + typeAt, static_cast<uInt>(4 + data.size()));
  Put32(&bytes_, static_cast<u32>(crc));
}

void PngWriter::Header(u32 width, u32 height, u8 depth, u8 colourType, u8 compression, u8 filter,
                       u8 interlace) {
  Bytes data;
  Put32(&data, width);
  Put32(&data, height);
  data.push_back(depth);
  data.push_back(colourType);
  data.push_back(compression);
  data.push_back(filter);
  data.push_back(interlace);
  Chunk("IHDR", data);
}

void PngWriter::ImageData(const Bytes& compressed, const std::vector<size_t>& pieces) {
  size_t at = 0;
  for (size_t piece : pieces) {
    size_t n = piece < compressed.size() - at ? piece : compressed.size() - at;
    Chunk("IDAT", Bytes(compressed.begin() + at, compressed.begin() + at + n));
    at += n;
  }
  if (at < compressed.size()) Chunk("IDAT", Bytes(compressed.begin() + at, compressed.end()));
}

Bytes MakePng(const Bytes& rgba, u32 width, u32 height, const std::vector<u8>& filters,
              const std::vector<size_t>& pieces) {
  PngWriter writer;
  writer.Header(width, height);
  writer.ImageData(Deflate(FilterRows(rgba, width, height, filters)), pieces);
  writer.End();
  return writer.Data();
}

std::vector<size_t> ChunkOffsets(const Bytes& png) {
  std::vector<size_t> offsets;
  size_t at = 8;
  while (at + 12 <= png.size()) {
    offsets.push_back(at);
    at += 12 + static_cast<size_t>(ReadBigEndian32(&png[at]));
  }
  return offsets;
}

bool ReadFixture(const std::string& name, Bytes* out) {
  out->clear();
  std::FILE* f = std::fopen(("fixtures/" + name).c_str(), "rb");
  if (!f) return false;
  u8 buffer[65536];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof(buffer), f)) > 0) out->insert(out->end(), buffer, buffer + n);
  std::fclose(f);
  return !out->empty();
}

Bytes TopDownRgba(const CBitmap* bitmap) {
  Bytes out;
  if (!bitmap) return out;
  out.reserve(static_cast<size_t>(bitmap->width) * bitmap->height * 4);
  for (u32 y = 0; y < bitmap->height; ++y) {
    const u32* row = bitmap->pixels + static_cast<size_t>(bitmap->height - 1 - y) * bitmap->width;
    for (u32 x = 0; x < bitmap->width; ++x) {
      u32 p = row[x];
      out.push_back(u8(p >> 16));
      out.push_back(u8(p >> 8));
      out.push_back(u8(p));
      out.push_back(u8(p >> 24));
    }
  }
  return out;
}

}  // namespace pngtest
