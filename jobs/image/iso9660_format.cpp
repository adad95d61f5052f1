// ISO 9660 volume descriptors, directory records and recording dates.
#include "jobs/image/iso9660_format.h"

#include <cstring>

#include "jobs/image/iso9660_text.h"
#include "runtime/byte_order.h"

namespace {

constexpr u32 kEscapeOffset = 88;
constexpr u32 kDescriptorVersionOffset = 6;

// Day of the week (0 = Sunday) of a Gregorian date.
u16 WeekdayOf(i32 year, i32 month, i32 day) {
  static const i32 kMonthOffsets[12] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
  if (month < 3) year -= 1;
  return static_cast<u16>((year + year / 4 - year / 100 + year / 400 + kMonthOffsets[month - 1] + day) % 7);
}

void TrimLabel(CWideString* label) {
  i32 zero = label->FindChar(0);
  if (zero >= 0) label->SetLength(zero);
  label->TrimRight(u' ');
}

}  // namespace

bool IsVolumeDescriptor(const u8* bytes, size_t size) {
  return bytes && size >= 7 && std::memcmp(bytes + 1, "CD001", 5) == 0;
}

u8 DescriptorType(const u8* bytes) { return bytes[0]; }

bool IsJolietDescriptor(const u8* bytes, size_t size) {
  if (!IsVolumeDescriptor(bytes, size) || size < kEscapeOffset + 3) return false;
  if (bytes[0] != kDescriptorSupplementary || bytes[kDescriptorVersionOffset] != 1) return false;
  const u8* escape = bytes + kEscapeOffset;
  return escape[0] == '%' && escape[1] == '/' && (escape[2] == '@' || escape[2] == 'C' || escape[2] == 'E');
}

void ReadDescriptorLabel(const u8* descriptor, size_t size, bool joliet, CWideString* label) {
  label->SetLength(0);
  if (!descriptor || size < kLabelOffset + kLabelBytes) return;
  const u8* field = descriptor + kLabelOffset;
  if (joliet) {
    wchar16 chars[kLabelBytes / 2];
    DecodeUcs2BigEndian(field, kLabelBytes, chars);
    label->AssignChars(chars, kLabelBytes / 2);
  } else {
    AssignNameUtf8(label, field, kLabelBytes);
  }
  TrimLabel(label);
}

i32 DecodeUcs2BigEndian(const u8* bytes, u32 length, wchar16* out) {
  u32 count = length / 2;
  for (u32 i = 0; i < count; ++i) out[i] = static_cast<wchar16>(ReadBigEndian16(bytes + 2 * i));
  return static_cast<i32>(count);
}

bool ParseDirRecord(const u8* bytes, size_t left, DirRecord* out) {
  if (!bytes || left < kRecordFixedBytes + 1) return false;
  u32 length = bytes[0];
  u32 nameLength = bytes[32];
  if (length < kRecordFixedBytes + 1 || length > left) return false;
  if (nameLength == 0 || kRecordFixedBytes + nameLength > length) return false;
  out->length = length;
  out->location = ReadLittleEndian32(bytes + 2);
  out->size = ReadLittleEndian32(bytes + 10);
  out->date = bytes + 18;
  out->flags = bytes[25];
  out->name = bytes + kRecordFixedBytes;
  out->nameLength = nameLength;
  return true;
}

bool IsSelfOrParent(const DirRecord& record) {
  return record.nameLength == 1 && (record.name[0] == 0 || record.name[0] == 1);
}

bool CDirRecordCursor::SkipToNextBlock() {
  size_t next = (offset_ / kIsoBlockSize + 1) * kIsoBlockSize;
  if (next >= size_ || bytes_[next] == 0) {
    offset_ = size_;
    return false;
  }
  offset_ = next;
  return true;
}

int CDirRecordCursor::Next(DirRecord* out) {
  while (offset_ < size_) {
    if (bytes_[offset_] == 0) {
      if (!SkipToNextBlock()) return 0;
      continue;
    }
    if (ParseDirRecord(bytes_ + offset_, size_ - offset_, out)) {
      offset_ += out->length;
      return 1;
    }
    ++malformed_;
    if (!SkipToNextBlock()) return 0;
  }
  return 0;
}

bool IsoDateToTime(const u8* date, DateTime* out) {
  CUnixTime time;  // stays 0, 1970-01-01 00:00:00, for a refused date
  i32 year = 1900 + date[0];
  i32 month = date[1];
  i32 day = date[2];
  i32 hour = date[3];
  i32 minute = date[4];
  i32 second = date[5];
  if (month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 || minute > 59 || second > 59) {
    time.ToDateTime(out);
    return false;
  }
  if (time.FromDateTime(year, month, day, hour, minute, second)) {
    time.ToDateTime(out);
    return true;
  }
  out->Set(static_cast<u16>(year), static_cast<u16>(month), static_cast<u16>(day), WeekdayOf(year, month, day),
           static_cast<u16>(hour), static_cast<u16>(minute), static_cast<u16>(second), 0);
  return true;
}
