// Readers of drive replies and sense data. Every reader takes the reply
// bytes and the number of bytes that are valid (the smaller of the buffer and
// what the drive returned) and never reads past either, nor past the length
// the reply gives for itself; a descriptor that does not fit whole is not
// read. Portable.
#pragma once
#include "runtime/types.h"

// Reply bytes with their valid size.
struct ReplyView {
  const u8* bytes;
  u32 size;
};

// ---- Sense data -----------------------------------------------------------

struct SenseFields {
  u8 format;  // response code & 0x7F
  u8 key;
  u8 asc;
  u8 ascq;
};

// Fixed format (0x70, 0x71): key byte 2, ASC 12, ASCQ 13; descriptor format
// (0x72, 0x73): bytes 1, 2, 3; other codes give key, ASC and ASCQ 0. Fields
// beyond the size read as 0.
SenseFields DecodeSense(const u8* sense, u32 size);

// Progress of a long operation from sense data under NO SENSE or NOT READY:
// with SKSV set in the sense-key specific bytes (fixed format: bytes 15-17;
// descriptor format: bytes 4-6 of the type 2 descriptor) the fraction is
// their last two bytes / 65536. Only bytes within the additional sense length
// are read.
bool GetSenseProgress(const u8* sense, u32 size, double* fraction);

// ---- GET CONFIGURATION ----------------------------------------------------

constexpr u32 kConfigurationReplyLength = 2056;
constexpr u16 kFeatureProfileList = 0x0000;
constexpr u16 kFeatureCore = 0x0001;
constexpr u16 kFeatureFormattable = 0x0023;
constexpr u16 kFeatureDvdPlusR = 0x002B;
constexpr u16 kFeatureStopLongOperation = 0x0035;
constexpr u16 kFeaturePowerManagement = 0x0100;
constexpr u16 kFeatureRealTimeStreaming = 0x0107;
constexpr u16 kFeatureDriveSerialNumber = 0x0108;

// Bytes of the reply that hold data: the size, bounded by 4 + the data
// length of bytes 0-3.
u32 ConfigurationExtent(const u8* reply, u32 size);
u16 ConfigurationCurrentProfile(const u8* reply, u32 size);

// Calls visit(descriptor) for each feature descriptor from byte 8 that lies
// whole inside the reply's extent, in order, until visit answers true; the
// walk ends at the first descriptor that does not fit. Returns the
// descriptor visit stopped at, or null.
template <class Visit>
const u8* ForEachFeature(const u8* reply, u32 size, Visit visit);

// The first feature descriptor with the code, or null; with requireData a
// descriptor with additional length 0 counts as absent. The current bit is
// not tested.
const u8* FindFeature(const u8* reply, u32 size, u16 code, bool requireData);
inline bool FeatureIsCurrent(const u8* descriptor) { return descriptor && (descriptor[2] & 1); }
inline u32 FeatureAdditionalLength(const u8* descriptor) { return descriptor[3]; }

// Calls visit(profile number) for each profile of the Profile List feature.
template <class Visit>
void ForEachListedProfile(const u8* reply, u32 size, Visit visit);

// The drive serial number bytes of feature 0x0108 when it is current and
// holds data: all of its additional-length bytes, padding included.
bool FindSerialNumber(const u8* reply, u32 size, ReplyView* serial);

// ---- Capabilities page 2A and other mode pages ---------------------------

constexpr u32 kModeHeaderLength = 8;
constexpr u32 kCapabilitiesReplyLength = 104;
constexpr u32 kWriteParametersReplyLength = 60;
constexpr u32 kCachingReplyLength = 20;

// 2 + the mode data length of a MODE SENSE(10) reply: the size of the whole
// answer the drive holds, which may exceed what was asked for.
u32 ModeReplyStatedLength(const u8* reply, u32 size);
// Where the page of a MODE SENSE(10) reply lies: after the 8-byte header and
// the block descriptors its bytes 6-7 announce. *offset receives the page's
// first byte, *end the end of its valid bytes (bounded by the size, the mode
// data length and the page length). False when the page's code and length
// bytes are not held.
bool LocateModePage(const u8* reply, u32 size, u32* offset, u32* end);
// A big-endian 16-bit page field at page byte n; 0 when it lies beyond the
// valid bytes or the page's own length.
u16 ModePageField16(const u8* reply, u32 size, u32 pageByte);

struct CapabilitiesSpeeds {
  u16 maxRead;
  u16 currentRead;
  u16 currentWrite;  // bytes 20-21 when the page length is below 28, else 28-29
  u16 maxWrite;
};
CapabilitiesSpeeds ReadCapabilitiesSpeeds(const u8* reply, u32 size);

// Write speeds of the page's descriptors (zeros included): at most the
// descriptor count of the page, at most max, and only whole descriptors
// inside the valid bytes. Returns the number stored.
u32 ReadCapabilitiesWriteSpeeds(const u8* reply, u32 size, u32* out, u32 max);

// ---- GET PERFORMANCE (write speed) ----------------------------------------

constexpr u32 kPerformanceReplyLength = 272;
constexpr u16 kPerformanceMaxDescriptors = 16;
// Nonzero write speeds (descriptor bytes 12-15) of the descriptors the reply
// counts and holds whole; at most max. Returns the number stored.
u32 ReadPerformanceWriteSpeeds(const u8* reply, u32 size, u32* out, u32 max);

// ---- READ FORMAT CAPACITIES -----------------------------------------------

// Number of formattable descriptors (after the current/maximum one) that the
// list length announces and the valid bytes hold.
u32 CountFormattableDescriptors(const u8* reply, u32 size);
// The first formattable descriptor of the format type, or null.
const u8* FindFormatDescriptor(const u8* reply, u32 size, u8 formatType);
// Capacity in blocks by the rules of the disc-capacity route (0 if none).
u32 CapacityFromFormatCapacities(const u8* reply, u32 size, bool dvdPlusRw);

// ---- READ TOC / disc and track information --------------------------------

// (data length of bytes 0-1 - 2) / 8, bounded by the descriptors the valid
// bytes hold; 0 for a data length below 2.
u32 CountTocDescriptors(const u8* reply, u32 size);
// Start of the last possible lead-out of an ATIP reply, as frames from
// bytes 12-14 ((M x 60 + S) x 75 + F); false when the bytes are missing.
bool ReadAtipLeadOut(const u8* reply, u32 size, u32* frames);
struct DiscStatusBits {
  u8 discStatus;        // byte 2 bits 0-1
  u8 lastSessionState;  // byte 2 bits 2-3
  u8 backgroundFormat;  // byte 7 bits 0-1
};
// The status bits of a disc information reply; false when byte 7 is missing.
bool ReadDiscStatus(const u8* reply, u32 size, DiscStatusBits* out);
// Last track in the last session of a disc information reply.
bool ReadLastTrackNumber(const u8* reply, u32 size, u32* track);
// Number of sessions of a disc information reply (byte 9 x 256 + byte 4).
bool ReadSessionCount(const u8* reply, u32 size, u32* sessions);
// Track start (bytes 8-11) + free blocks (16-19) of a track information
// reply; false when the sum does not fit 32 bits.
bool ReadTrackEnd(const u8* reply, u32 size, u32* blocks);

// ---- Implementation of the templates --------------------------------------

template <class Visit>
const u8* ForEachFeature(const u8* reply, u32 size, Visit visit) {
  const u32 end = ConfigurationExtent(reply, size);
  for (u32 pos = 8; pos + 4 <= end;) {
    const u8* d = reply + pos;
    const u32 next = pos + 4 + d[3];
    if (next > end) return nullptr;  // not whole: not read
    if (visit(d)) return d;
    pos = next;
  }
  return nullptr;
}

template <class Visit>
void ForEachListedProfile(const u8* reply, u32 size, Visit visit) {
  const u8* feature = FindFeature(reply, size, kFeatureProfileList, false);
  if (!feature) return;
  u32 count = FeatureAdditionalLength(feature) / 4;
  for (u32 i = 0; i < count; ++i) {
    const u8* d = feature + 4 + i * 4;
    visit(static_cast<u16>((d[0] << 8) | d[1]));
  }
}
