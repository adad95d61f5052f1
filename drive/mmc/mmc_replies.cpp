#include "drive/mmc/mmc_replies.h"

#include "runtime/byte_order.h"

namespace {

u32 Min(u32 a, u32 b) { return a < b ? a : b; }

// The valid extent of a reply whose first bytes give the length of what
// follows them: min(size, headerBytes + stated length).
u32 StatedExtent(const u8* reply, u32 size, u32 lengthBytes) {
  if (!reply || size < lengthBytes) return 0;
  u64 stated = lengthBytes == 4 ? ReadBigEndian32(reply) : ReadBigEndian16(reply);
  u64 total = stated + lengthBytes;
  return total < size ? static_cast<u32>(total) : size;
}

}  // namespace

// ---- Sense data -----------------------------------------------------------

SenseFields DecodeSense(const u8* sense, u32 size) {
  SenseFields f = {0, 0, 0, 0};
  if (!sense || size == 0) return f;
  auto at = [&](u32 i) -> u8 { return i < size ? sense[i] : 0; };
  f.format = sense[0] & 0x7F;
  if (f.format == 0x70 || f.format == 0x71) {
    f.key = at(2) & 0x0F;
    f.asc = at(12);
    f.ascq = at(13);
  } else if (f.format == 0x72 || f.format == 0x73) {
    f.key = at(1) & 0x0F;
    f.asc = at(2);
    f.ascq = at(3);
  }
  return f;
}

bool GetSenseProgress(const u8* sense, u32 size, double* fraction) {
  if (!sense || size < 8) return false;
  // Only the bytes the additional sense length (byte 7) announces count.
  u32 end = Min(size, 8u + sense[7]);
  u8 code = sense[0] & 0x7F;
  u8 key = 0;
  const u8* specific = nullptr;  // the three sense-key specific bytes
  if (code == 0x70 || code == 0x71) {
    key = sense[2] & 0x0F;
    if (end >= 18) specific = sense + 15;
  } else if (code == 0x72 || code == 0x73) {
    key = sense[1] & 0x0F;
    // Descriptors {type, additional length, ...}; type 2 carries the
    // sense-key specific bytes at its bytes 4-6.
    for (u32 pos = 8; pos + 2 <= end;) {
      u32 next = pos + 2 + sense[pos + 1];
      if (next > end) break;
      if (sense[pos] == 0x02 && sense[pos + 1] >= 6) {
        specific = sense + pos + 4;
        break;
      }
      pos = next;
    }
  }
  // Those bytes are a progress indication only with NO SENSE or NOT READY;
  // under other keys they point at a field or count retries.
  if (!specific || !(specific[0] & 0x80) || (key != 0 && key != 2)) return false;
  if (fraction) *fraction = ReadBigEndian16(specific + 1) / 65536.0;
  return true;
}

// ---- GET CONFIGURATION ----------------------------------------------------

u32 ConfigurationExtent(const u8* reply, u32 size) { return StatedExtent(reply, size, 4); }

u16 ConfigurationCurrentProfile(const u8* reply, u32 size) {
  return ConfigurationExtent(reply, size) >= 8 ? ReadBigEndian16(reply + 6) : 0;
}

const u8* FindFeature(const u8* reply, u32 size, u16 code, bool requireData) {
  const u8* d = ForEachFeature(reply, size, [code](const u8* f) { return ReadBigEndian16(f) == code; });
  return d && requireData && d[3] == 0 ? nullptr : d;
}

bool FindSerialNumber(const u8* reply, u32 size, ReplyView* serial) {
  const u8* d = FindFeature(reply, size, kFeatureDriveSerialNumber, false);
  if (!FeatureIsCurrent(d) || FeatureAdditionalLength(d) == 0) return false;
  // Every byte the feature holds, blanks and zeros of its padding included.
  serial->bytes = d + 4;
  serial->size = FeatureAdditionalLength(d);
  return true;
}

// ---- Mode pages -------------------------------------------------------------

u32 ModeReplyStatedLength(const u8* reply, u32 size) {
  if (!reply || size < 2) return 0;
  return 2u + ReadBigEndian16(reply);
}

bool LocateModePage(const u8* reply, u32 size, u32* offset, u32* end) {
  u32 extent = StatedExtent(reply, size, 2);
  if (extent < kModeHeaderLength) return false;
  u32 at = kModeHeaderLength + ReadBigEndian16(reply + 6);
  if (at + 2 > extent) return false;
  if (offset) *offset = at;
  if (end) *end = Min(extent, at + 2 + reply[at + 1]);
  return true;
}

u16 ModePageField16(const u8* reply, u32 size, u32 pageByte) {
  u32 offset = 0, end = 0;
  if (!LocateModePage(reply, size, &offset, &end)) return 0;
  u64 at = u64(offset) + pageByte;
  if (at + 2 > end) return 0;
  return ReadBigEndian16(reply + at);
}

CapabilitiesSpeeds ReadCapabilitiesSpeeds(const u8* reply, u32 size) {
  CapabilitiesSpeeds s;
  s.maxRead = ModePageField16(reply, size, 8);
  s.currentRead = ModePageField16(reply, size, 14);
  s.maxWrite = ModePageField16(reply, size, 18);
  u32 offset = 0;
  u32 pageLength = LocateModePage(reply, size, &offset, nullptr) ? reply[offset + 1] : 0;
  s.currentWrite = ModePageField16(reply, size, pageLength < 28 ? 20 : 28);
  return s;
}

u32 ReadCapabilitiesWriteSpeeds(const u8* reply, u32 size, u32* out, u32 max) {
  u32 offset = 0, end = 0;
  if (!LocateModePage(reply, size, &offset, &end)) return 0;
  u32 count = ModePageField16(reply, size, 30);
  u32 stored = 0;
  for (u32 i = 0; i < count && stored < max; ++i) {
    u32 at = offset + 32 + i * 4;
    if (at + 4 > end) break;
    out[stored++] = ReadBigEndian16(reply + at + 2);
  }
  return stored;
}

// ---- GET PERFORMANCE ------------------------------------------------------

u32 ReadPerformanceWriteSpeeds(const u8* reply, u32 size, u32* out, u32 max) {
  u32 end = StatedExtent(reply, size, 4);
  if (end < 8) return 0;
  u32 dataLength = ReadBigEndian32(reply);
  u32 count = dataLength >= 4 ? (dataLength - 4) / 16 : 0;
  u32 held = (end - 8) / 16;
  if (count > held) count = held;
  u32 stored = 0;
  for (u32 i = 0; i < count && stored < max; ++i) {
    u32 speed = ReadBigEndian32(reply + 8 + i * 16 + 12);
    if (speed != 0) out[stored++] = speed;
  }
  return stored;
}

// ---- READ FORMAT CAPACITIES -----------------------------------------------

namespace {

u32 FormatListEnd(const u8* reply, u32 size) {
  if (!reply || size < 4) return 0;
  return Min(size, 4u + reply[3]);
}

}  // namespace

u32 CountFormattableDescriptors(const u8* reply, u32 size) {
  u32 end = FormatListEnd(reply, size);
  if (end < 12) return 0;
  u32 announced = reply[3] / 8;
  u32 count = announced > 0 ? announced - 1 : 0;
  u32 held = (end - 12) / 8;
  return count < held ? count : held;
}

const u8* FindFormatDescriptor(const u8* reply, u32 size, u8 formatType) {
  u32 count = CountFormattableDescriptors(reply, size);
  for (u32 i = 0; i < count; ++i) {
    const u8* d = reply + 12 + i * 8;
    if ((d[4] >> 2) == formatType) return d;
  }
  return nullptr;
}

u32 CapacityFromFormatCapacities(const u8* reply, u32 size, bool dvdPlusRw) {
  if (FormatListEnd(reply, size) < 12) return 0;
  if (reply[3] / 8 > 1) {
    if (const u8* d = FindFormatDescriptor(reply, size, 0x00)) return ReadBigEndian32(d);
  }
  if (dvdPlusRw) {
    if (const u8* d = FindFormatDescriptor(reply, size, 0x26)) return ReadBigEndian32(d);
  }
  if ((reply[8] & 0x03) == 1) return ReadBigEndian32(reply + 4);
  return 0;
}

// ---- READ TOC / disc and track information --------------------------------

u32 CountTocDescriptors(const u8* reply, u32 size) {
  if (!reply || size < 2) return 0;
  u32 dataLength = ReadBigEndian16(reply);
  if (dataLength < 2) return 0;
  u32 count = (dataLength - 2) / 8;
  u32 end = StatedExtent(reply, size, 2);
  u32 held = end >= 4 ? (end - 4) / 8 : 0;
  return count < held ? count : held;
}

bool ReadAtipLeadOut(const u8* reply, u32 size, u32* frames) {
  if (StatedExtent(reply, size, 2) < 15) return false;
  *frames = (u32(reply[12]) * 60 + reply[13]) * 75 + reply[14];
  return true;
}

bool ReadDiscStatus(const u8* reply, u32 size, DiscStatusBits* out) {
  if (StatedExtent(reply, size, 2) < 8) return false;
  out->discStatus = reply[2] & 0x03;
  out->lastSessionState = (reply[2] >> 2) & 0x03;
  out->backgroundFormat = reply[7] & 0x03;
  return true;
}

bool ReadLastTrackNumber(const u8* reply, u32 size, u32* track) {
  if (StatedExtent(reply, size, 2) < 12) return false;
  *track = (u32(reply[11]) << 8) | reply[6];
  return true;
}

bool ReadSessionCount(const u8* reply, u32 size, u32* sessions) {
  if (StatedExtent(reply, size, 2) < 10) return false;
  *sessions = (u32(reply[9]) << 8) | reply[4];
  return true;
}

bool ReadTrackEnd(const u8* reply, u32 size, u32* blocks) {
  if (StatedExtent(reply, size, 2) < 20) return false;
  u64 end = u64(ReadBigEndian32(reply + 8)) + ReadBigEndian32(reply + 16);
  if (end > 0xFFFFFFFFull) return false;  // no medium holds that many blocks
  *blocks = static_cast<u32>(end);
  return true;
}
