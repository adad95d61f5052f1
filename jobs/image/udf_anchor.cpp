// UDF anchor descriptor check (descriptor tag layout: identifier u16 at 0,
// checksum at 4, CRC u16 at 8, CRC length u16 at 10, location u32 at 12).
#include "jobs/image/udf_anchor.h"

#include "runtime/byte_order.h"

namespace {

struct CrcTable {
  u16 entries[256];
  CrcTable() {
    for (u32 i = 0; i < 256; ++i) {
      u32 crc = i << 8;
      for (int bit = 0; bit < 8; ++bit) crc = (crc & 0x8000u) ? (crc << 1) ^ 0x1021u : crc << 1;
      entries[i] = static_cast<u16>(crc);
    }
  }
};

const CrcTable& Table() {
  static const CrcTable table;
  return table;
}

constexpr u16 kAnchorTagId = 2;
constexpr size_t kTagBytes = 16;
constexpr size_t kAnchorExtentBytes = 16;  // main and reserve sequence extents
constexpr size_t kSectorBytes = 2048;

}  // namespace

u16 UdfTagCrc(const u8* bytes, size_t size) {
  const u16* table = Table().entries;
  u16 crc = 0;
  for (size_t i = 0; i < size; ++i)
    crc = static_cast<u16>((crc << 8) ^ table[((crc >> 8) ^ bytes[i]) & 0xFFu]);
  return crc;
}

bool IsUdfAnchor(const u8* sector, size_t size, u32 location) {
  if (!sector || size < kTagBytes) return false;
  if (ReadLittleEndian16(sector) != kAnchorTagId) return false;
  u8 sum = 0;
  for (size_t i = 0; i < kTagBytes; ++i)
    if (i != 4) sum = static_cast<u8>(sum + sector[i]);
  if (sum != sector[4]) return false;
  if (ReadLittleEndian32(sector + 12) != location) return false;
  size_t crcLength = ReadLittleEndian16(sector + 10);
  size_t limit = size < kSectorBytes ? size : kSectorBytes;
  if (crcLength < kAnchorExtentBytes || kTagBytes + crcLength > limit) return false;
  return UdfTagCrc(sector + kTagBytes, crcLength) == ReadLittleEndian16(sector + 8);
}
