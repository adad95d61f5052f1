#include "recorder_sense.h"

#include <cstring>

u32 BuildSense(const SenseCondition& condition, bool descriptorFormat, u8* out, u32 capacity) {
  u8 sense[32] = {};
  u32 length;
  if (!descriptorFormat) {
    sense[0] = condition.deferred ? 0x71 : 0x70;
    sense[2] = condition.key & 0x0F;
    sense[7] = 10;  // additional sense length: 18 bytes in all
    sense[12] = condition.asc;
    sense[13] = condition.ascq;
    if (condition.hasProgress) {
      sense[15] = 0x80;  // SKSV
      sense[16] = static_cast<u8>(condition.progress >> 8);
      sense[17] = static_cast<u8>(condition.progress);
    }
    length = 18;
  } else {
    sense[0] = condition.deferred ? 0x73 : 0x72;
    sense[1] = condition.key & 0x0F;
    sense[2] = condition.asc;
    sense[3] = condition.ascq;
    length = 8;
    if (condition.hasProgress) {
      // Sense-key specific descriptor (type 2, 6 more bytes).
      u8* d = sense + 8;
      d[0] = 0x02;
      d[1] = 0x06;
      d[4] = 0x80;
      d[5] = static_cast<u8>(condition.progress >> 8);
      d[6] = static_cast<u8>(condition.progress);
      length += 8;
    }
    sense[7] = static_cast<u8>(length - 8);
  }
  u32 n = length < capacity ? length : capacity;
  std::memcpy(out, sense, n);
  return n;
}
