// ISO 9660 and Joliet structures, parsed from memory. Everything here takes
// (bytes, size) and never reads past size: image bytes are untrusted.
#pragma once
#include <cstddef>

#include "runtime/date_time.h"
#include "runtime/types.h"
#include "runtime/wide_string.h"

constexpr u32 kIsoBlockSize = 2048;
constexpr u32 kFirstDescriptorSector = 16;
constexpr u64 kFirstDescriptorOffset = u64(kFirstDescriptorSector) * kIsoBlockSize;
// Volume descriptors looked at before giving up on a set without terminator.
constexpr u32 kMaxVolumeDescriptors = 64;

enum : u8 {
  kDescriptorBoot = 0,
  kDescriptorPrimary = 1,
  kDescriptorSupplementary = 2,
  kDescriptorTerminator = 255,
};

// Directory record flag bits.
enum : u8 {
  kRecordHidden = 0x01,
  kRecordDirectory = 0x02,
  kRecordMultiExtent = 0x80,  // more extents of the same file follow
};

constexpr u32 kRecordFixedBytes = 33;   // bytes before the name
constexpr u32 kRootRecordOffset = 156;  // inside a volume descriptor
constexpr u32 kLabelOffset = 40;
constexpr u32 kLabelBytes = 32;

// "CD001" at bytes 1-5 (at least 7 bytes given).
bool IsVolumeDescriptor(const u8* bytes, size_t size);
u8 DescriptorType(const u8* bytes);
// A supplementary descriptor of version 1 whose escape sequences (byte 88)
// name UCS-2 level 1, 2 or 3. An enhanced descriptor (version 2) is not.
bool IsJolietDescriptor(const u8* bytes, size_t size);

// The volume label of a descriptor (bytes 40-71): UTF-8 for the primary,
// big-endian UCS-2 (16 characters) for Joliet; cut at a zero character and
// without trailing spaces.
void ReadDescriptorLabel(const u8* descriptor, size_t size, bool joliet, CWideString* label);

// Decodes length / 2 big-endian UCS-2 characters into out; returns the count.
// Joliet names and labels are read this way: the recorded bytes are left as
// they are and never read as 16-bit units (a name may start at an odd byte).
i32 DecodeUcs2BigEndian(const u8* bytes, u32 length, wchar16* out);

struct DirRecord {
  u32 length;      // whole record
  u32 location;    // first block of the extent
  u32 size;        // data length in bytes
  const u8* date;  // 7 bytes
  u8 flags;
  const u8* name;
  u32 nameLength;
};

// One record at bytes[0..left). False when the record is malformed: shorter
// than 34 bytes, a name of length 0 or running past the record, or a record
// running past the bytes left.
bool ParseDirRecord(const u8* bytes, size_t left, DirRecord* out);
// The records named by the single byte 0 or 1 (the directory and its parent).
bool IsSelfOrParent(const DirRecord& record);

// Walks the records of one directory's data, following the rule that a zero
// record length pads to the end of a 2048-byte block.
class CDirRecordCursor {
 public:
  CDirRecordCursor(const u8* bytes, size_t size) : bytes_(bytes), size_(size) {}
  // 1 with the next record, 0 at the end. A malformed record is counted and
  // the walk goes on at the next block.
  int Next(DirRecord* out);
  u32 GetMalformed() const { return malformed_; }

 private:
  bool SkipToNextBlock();

  const u8* bytes_;
  size_t size_;
  size_t offset_ = 0;
  u32 malformed_ = 0;
};

// Recording date (7 bytes: years since 1900, month, day, hour, minute,
// second, GMT offset) to calendar fields. Dates from 1970 go through
// CUnixTime; earlier ones keep the fields as recorded (with their weekday),
// so they never wrap. A date with a field out of range (such as the all-zero
// "not recorded" date) gives the time 0, 1970-01-01 00:00:00, and false.
bool IsoDateToTime(const u8* date, DateTime* out);
