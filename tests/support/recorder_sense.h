// Sense data as a drive returns it: fixed format (response code 0x70, or
// 0x71 for a deferred error) or descriptor format (0x72 / 0x73), with an
// optional progress indication in the sense-key specific bytes.
#pragma once
#include "runtime/types.h"

struct SenseCondition {
  u8 key = 0, asc = 0, ascq = 0;
  bool deferred = false;
  bool hasProgress = false;
  u16 progress = 0;  // fraction done x 65536
};

// Writes the sense bytes into `out` (at most `capacity`); returns the length.
u32 BuildSense(const SenseCondition& condition, bool descriptorFormat, u8* out, u32 capacity);
