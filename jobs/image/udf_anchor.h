// UDF anchor volume descriptor pointer test, over the bytes of one sector.
#pragma once
#include <cstddef>

#include "runtime/types.h"

constexpr u32 kUdfAnchorSector = 256;

// CRC of descriptor tags: polynomial 0x1021, initial value 0, not
// reflected, no final XOR ("123456789" gives 0x31C3).
u16 UdfTagCrc(const u8* bytes, size_t size);

// True only for an anchor descriptor: tag identifier 2, a valid tag
// checksum, tag location = location, a CRC length that covers at least the
// two extents of the anchor and stays inside the sector and the bytes given,
// and a matching CRC. A sector of zeros is not an anchor.
bool IsUdfAnchor(const u8* sector, size_t size, u32 location);
