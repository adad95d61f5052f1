#include "render/png_decoder.h"

#include <zlib.h>

#include <cstring>

#include "render/bitmap.h"
#include "runtime/byte_order.h"
#include "runtime/heap.h"

// Unfiltered rows are written as bytes B, G, R, A, which is the pixel
// 0xAARRGGBB in memory on the little-endian targets the program runs on.
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ != __ORDER_LITTLE_ENDIAN__
#error "the PNG decoder writes pixels in little-endian byte order"
#endif

namespace {

const u8 kSignature[8] = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};
constexpr u32 kChunkOverhead = 12;      // length, type, CRC
constexpr u32 kMaxChunkLength = 0x7FFFFFFFu;  // the format's own limit
constexpr u32 kIhdrLength = 13;
constexpr u32 kFirstChunkAfterHeader = 8 + kChunkOverhead + kIhdrLength;

bool IsType(const u8* type, const char* name) { return std::memcmp(type, name, 4) == 0; }

bool IsLetter(u8 c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// One chunk located inside the data: where it starts (its length field),
// its data length and its type.
struct Chunk {
  u32 offset;  // of the chunk's start (its length field)
  u32 length;
  const u8* type;
};

// Reads the chunk at pos; false when its header, data or CRC would run past
// the end of the data, or its type is not four letters.
bool ReadChunk(const u8* data, u32 size, u32 pos, Chunk* chunk) {
  if (pos > size || size - pos < kChunkOverhead) return false;
  u32 length = ReadBigEndian32(data + pos);
  if (length > kMaxChunkLength) return false;
  if (static_cast<u64>(length) + kChunkOverhead > static_cast<u64>(size - pos)) return false;
  const u8* type = data + pos + 4;
  for (int i = 0; i < 4; ++i)
    if (!IsLetter(type[i])) return false;
  chunk->offset = pos;
  chunk->length = length;
  chunk->type = type;
  return true;
}

u32 NextChunk(const Chunk& chunk) { return chunk.offset + kChunkOverhead + chunk.length; }

// Deflate's largest expansion (258-byte matches in about two bits each).
constexpr u64 kMaxInflateRatio = 1032;

// Raw rows are inflated this many bytes at a time (at least one row).
constexpr u32 kBatchBytes = 64 * 1024;

voidpf ZlibAlloc(voidpf, uInt items, uInt size) {
  u64 bytes = static_cast<u64>(items) * size;
  return bytes > 0xFFFFFFFFull ? nullptr : rt::malloc(static_cast<u32>(bytes));
}
void ZlibFree(voidpf, voidpf block) { rt::free(block); }

// The data of the IDAT run [next, end), handed to zlib chunk by chunk.
struct IdatFeed {
  const u8* data;
  u32 size;
  u32 next;
  u32 end;

  // Points the stream at the next chunk's data; false when none is left.
  bool Refill(z_stream* zs) {
    Chunk chunk;
    while (next < end && ReadChunk(data, size, next, &chunk)) {
      next = NextChunk(chunk);
      if (chunk.length == 0) continue;
      zs->next_in = const_cast<Bytef*>(data + chunk.offset + 8);
      zs->avail_in = chunk.length;
      return true;
    }
    return false;
  }
};

// Inflates exactly n bytes into out. When last is set the stream must end
// there (its check value included) with no further output.
bool InflateInto(z_stream* zs, IdatFeed* feed, u8* out, u32 n, bool last) {
  zs->next_out = out;
  zs->avail_out = n;
  bool ended = false;
  while (zs->avail_out > 0) {
    if (zs->avail_in == 0 && !feed->Refill(zs)) return false;
    int result = inflate(zs, Z_NO_FLUSH);
    if (result == Z_STREAM_END) {
      ended = true;
      break;
    }
    // A buffer error with input left means no progress is possible.
    if (result != Z_OK && (result != Z_BUF_ERROR || zs->avail_in > 0)) return false;
  }
  if (zs->avail_out > 0) return false;  // ended short
  if (!last) return !ended;
  // Past the last row only the end of the stream may follow.
  u8 extra;
  while (!ended) {
    zs->next_out = &extra;
    zs->avail_out = 1;
    if (zs->avail_in == 0 && !feed->Refill(zs)) return false;
    int result = inflate(zs, Z_NO_FLUSH);
    if (zs->avail_out == 0) return false;  // more data than rows
    if (result == Z_STREAM_END)
      ended = true;
    else if (result != Z_OK && (result != Z_BUF_ERROR || zs->avail_in > 0))
      return false;
  }
  return true;
}

// The predictor nearest to a + b - c, ties going to a, then b.
inline u8 Paeth(u8 a, u8 b, u8 c) {
  int p = b - c;
  int q = a - c;
  int pa = p < 0 ? -p : p;                // |(a + b - c) - a|
  int pb = q < 0 ? -q : q;                // |(a + b - c) - b|
  int pc = p + q < 0 ? -(p + q) : p + q;  // |(a + b - c) - c|
  u8 best = a;
  if (pb < pa) {
    pa = pb;
    best = b;
  }
  return pc < pa ? c : best;
}

// Source bytes R, G, B, A go to destination positions B, G, R, A: the
// destination byte j of a pixel takes source byte kFrom[j]. The filters work
// per channel with the same pixel distance, so the order does not matter.
constexpr int kFrom[4] = {2, 1, 0, 3};

void RowNone(u8* d, const u8* s, u32 width) {
  for (u32 x = 0; x < width; ++x, d += 4, s += 4) {
    d[0] = s[2];
    d[1] = s[1];
    d[2] = s[0];
    d[3] = s[3];
  }
}

void RowSub(u8* d, const u8* s, u32 width) {
  u8 l[4] = {0, 0, 0, 0};
  for (u32 x = 0; x < width; ++x, d += 4, s += 4) {
    for (int j = 0; j < 4; ++j) d[j] = l[j] = static_cast<u8>(s[kFrom[j]] + l[j]);
  }
}

void RowUp(u8* d, const u8* s, const u8* up, u32 width) {
  for (u32 x = 0; x < width; ++x, d += 4, s += 4, up += 4) {
    for (int j = 0; j < 4; ++j) d[j] = static_cast<u8>(s[kFrom[j]] + up[j]);
  }
}

void RowAverage(u8* d, const u8* s, const u8* up, u32 width) {
  u8 l[4] = {0, 0, 0, 0};
  for (u32 x = 0; x < width; ++x, d += 4, s += 4) {
    for (int j = 0; j < 4; ++j) {
      u32 above = up ? up[j] : 0;
      d[j] = l[j] = static_cast<u8>(s[kFrom[j]] + ((l[j] + above) >> 1));
    }
    if (up) up += 4;
  }
}

void RowPaeth(u8* d, const u8* s, const u8* up, u32 width) {
  u8 l[4] = {0, 0, 0, 0};
  u8 ul[4] = {0, 0, 0, 0};
  for (u32 x = 0; x < width; ++x, d += 4, s += 4, up += 4) {
    for (int j = 0; j < 4; ++j) {
      u8 b = up[j];
      d[j] = l[j] = static_cast<u8>(s[kFrom[j]] + Paeth(l[j], b, ul[j]));
      ul[j] = b;
    }
  }
}

}  // namespace

CPngDecoder::CPngDecoder(const void* data, u32 size) {
  if (data) Open(data, size);
}

bool CPngDecoder::Open(const void* data, u32 size) {
  *this = CPngDecoder(nullptr, 0);
  const u8* bytes = static_cast<const u8*>(data);
  if (!bytes || size < kFirstChunkAfterHeader) return false;
  if (std::memcmp(bytes, kSignature, 8) != 0) return false;
  Chunk header;
  if (!ReadChunk(bytes, size, 8, &header) || !IsType(header.type, "IHDR") ||
      header.length != kIhdrLength)
    return false;
  const u8* fields = bytes + 16;
  u32 width = ReadBigEndian32(fields);
  u32 height = ReadBigEndian32(fields + 4);
  if (width == 0 || height == 0 || width > CBitmap::kMaxSide || height > CBitmap::kMaxSide)
    return false;
  data_ = bytes;
  size_ = size;
  firstChunk_ = kFirstChunkAfterHeader;
  width_ = width;
  height_ = height;
  bitDepth_ = fields[8];
  colourType_ = fields[9];
  compression_ = fields[10];
  filter_ = fields[11];
  interlace_ = fields[12];
  return true;
}

bool CPngDecoder::IsDecodable() {
  if (!data_) return false;
  if (bitDepth_ != 8 || colourType_ != 6) return false;
  if (compression_ != 0 || filter_ != 0 || interlace_ != 0) return false;
  if (runEnd_ != 0) return true;  // checked before

  // Find the run of consecutive IDAT chunks, then check that the rest of the
  // chunk sequence is whole up to IEND and holds no second IDAT run. The
  // header comes once: a second IHDR makes the file invalid.
  Chunk chunk;
  u32 pos = firstChunk_;
  for (;;) {
    if (!ReadChunk(data_, size_, pos, &chunk) || IsType(chunk.type, "IEND") || IsType(chunk.type, "IHDR"))
      return false;
    if (IsType(chunk.type, "IDAT")) break;
    pos = NextChunk(chunk);
  }
  const u32 runStart = pos;
  u64 compressedSize = 0;
  while (IsType(chunk.type, "IDAT")) {
    compressedSize += chunk.length;
    pos = NextChunk(chunk);
    if (!ReadChunk(data_, size_, pos, &chunk)) return false;
  }
  const u32 runEnd = pos;
  while (!IsType(chunk.type, "IEND")) {
    if (IsType(chunk.type, "IHDR")) return false;
    pos = NextChunk(chunk);
    if (!ReadChunk(data_, size_, pos, &chunk) || IsType(chunk.type, "IDAT")) return false;
  }
  // Deflate expands at most about 1032 times, so a stream far too short for
  // the rows is refused before any pixels are allocated.
  const u64 rawSize = (static_cast<u64>(width_) * 4 + 1) * height_;
  if (compressedSize == 0 || rawSize > compressedSize * kMaxInflateRatio + 1024) return false;
  runStart_ = runStart;
  runEnd_ = runEnd;
  return true;
}

bool CPngDecoder::Decode(u32* out, u64 size) {
  if (!out || !IsDecodable()) return false;
  return DecodeRows(reinterpret_cast<u8*>(out), size);
}

bool CPngDecoder::DecodeRows(u8* out, u64 size) {
  if (!out || !IsDecodable()) return false;
  const u64 rowBytes = static_cast<u64>(width_) * 4;
  if (size < rowBytes * height_) return false;
  if ((rowBytes + 1) * height_ > 0xFFFFFFFFull) return false;
  const u32 runStart = runStart_, runEnd = runEnd_;

  // Inflate a batch of rows at a time, feeding the IDAT chunks in order, and
  // unfilter each batch while it is still in the cache. The stream must fill
  // the rows exactly: a short one or one with data left over fails.
  const u32 rawRow = static_cast<u32>(rowBytes) + 1;
  u32 batchRows = kBatchBytes / rawRow;
  if (batchRows == 0) batchRows = 1;
  if (batchRows > height_) batchRows = height_;
  u8* batch = static_cast<u8*>(rt::malloc(batchRows * rawRow));
  if (!batch) return false;

  z_stream zs;
  std::memset(&zs, 0, sizeof(zs));
  zs.zalloc = &ZlibAlloc;
  zs.zfree = &ZlibFree;
  if (inflateInit2(&zs, MAX_WBITS) != Z_OK) {
    rt::free(batch);
    return false;
  }
  IdatFeed feed{data_, size_, runStart, runEnd};
  bool ok = true;
  for (u32 r = 0; r < height_ && ok;) {
    const u32 rows = height_ - r < batchRows ? height_ - r : batchRows;
    ok = InflateInto(&zs, &feed, batch, rows * rawRow, r + rows == height_);
    for (u32 i = 0; i < rows && ok; ++i, ++r) {
      u8* dst = out + static_cast<u64>(height_ - 1 - r) * rowBytes;
      ok = Unfilter(dst, batch + static_cast<u64>(i) * rawRow, width_, 4, r);
    }
  }
  inflateEnd(&zs);
  rt::free(batch);
  return ok;
}

bool CPngDecoder::Unfilter(u8* dst, const u8* src, u32 width, u32 bytesPerPixel, u32 rowIndex) {
  if (bytesPerPixel != 4) return false;
  const u8* up = rowIndex > 0 ? dst + static_cast<u64>(width) * 4 : nullptr;
  const u8* s = src + 1;
  switch (src[0]) {
    case 0:
      RowNone(dst, s, width);
      return true;
    case 1:
      RowSub(dst, s, width);
      return true;
    case 2:
      if (up)
        RowUp(dst, s, up, width);
      else
        RowNone(dst, s, width);
      return true;
    case 3:
      RowAverage(dst, s, up, width);
      return true;
    case 4:
      // With a zero row above the predictor is always the left pixel.
      if (up)
        RowPaeth(dst, s, up, width);
      else
        RowSub(dst, s, width);
      return true;
    default:
      return false;
  }
}
