#include "recorder_cdb_layout.h"

namespace {

// A field: `bytes` whole big-endian bytes from `byte`, or (bytes 1) the
// bits of `mask` in that byte.
struct FieldPlace {
  const char* name;
  u8 byte;
  u8 bytes;
  u8 mask;
};

// Some blocks lay out their fields by the value of one of them.
using LayoutApplies = bool (*)(const u8* cdb);

struct Layout {
  u8 opcode;
  u8 length;
  LayoutApplies applies;  // null: always
  std::vector<FieldPlace> fields;
};

bool WithArsv(const u8* cdb) { return (cdb[1] & 0x01) != 0; }
bool WithoutArsv(const u8* cdb) { return (cdb[1] & 0x01) == 0; }
// BLANK of the whole disc or its minimum (types 0 and 1) names no address
// or track: the drive takes that field as reserved.
bool BlankWholeDisc(const u8* cdb) { return (cdb[1] & 0x07) <= 1; }
bool BlankPart(const u8* cdb) { return (cdb[1] & 0x07) > 1; }
// GET PERFORMANCE: the data type and starting LBA belong to type 0 only.
bool PerformanceType0(const u8* cdb) { return cdb[10] == 0; }
bool OtherPerformanceType(const u8* cdb) { return cdb[10] != 0; }

const FieldPlace kAllocation10 = {"ALLOCATION LENGTH", 7, 2, 0xFF};
const FieldPlace kParameterList10 = {"PARAMETER LIST LENGTH", 7, 2, 0xFF};

const std::vector<Layout>& Layouts() {
  static const std::vector<Layout> layouts = {
      {0x00, 6, nullptr, {}},
      {0x03, 6, nullptr, {{"DESC", 1, 1, 0x01}, {"ALLOCATION LENGTH", 4, 1, 0xFF}}},
      {0x04, 6, nullptr, {{"FMTDATA", 1, 1, 0x10}, {"CMPLST", 1, 1, 0x08}, {"FORMAT CODE", 1, 1, 0x07}}},
      {0x12, 6, nullptr, {{"EVPD", 1, 1, 0x01}, {"PAGE CODE", 2, 1, 0xFF}, {"ALLOCATION LENGTH", 3, 2, 0xFF}}},
      {0x1B, 6, nullptr,
       {{"IMMED", 1, 1, 0x01}, {"POWER CONDITION", 4, 1, 0xF0}, {"LOEJ", 4, 1, 0x02}, {"START", 4, 1, 0x01}}},
      {0x1E, 6, nullptr, {{"PREVENT", 4, 1, 0x01}}},
      {0x23, 10, nullptr, {kAllocation10}},
      {0x25, 10, nullptr, {}},
      {0x28, 10, nullptr, {{"FUA", 1, 1, 0x08}, {"LBA", 2, 4, 0xFF}, {"TRANSFER LENGTH", 7, 2, 0xFF}}},
      {0x2A, 10, nullptr, {{"FUA", 1, 1, 0x08}, {"LBA", 2, 4, 0xFF}, {"TRANSFER LENGTH", 7, 2, 0xFF}}},
      {0x2B, 10, nullptr, {{"LBA", 2, 4, 0xFF}}},
      {0x35, 10, nullptr, {{"IMMED", 1, 1, 0x02}, {"LBA", 2, 4, 0xFF}, {"NUMBER OF BLOCKS", 7, 2, 0xFF}}},
      {0x43, 10, nullptr,
       {{"MSF", 1, 1, 0x02}, {"FORMAT", 2, 1, 0x0F}, {"TRACK/SESSION NUMBER", 6, 1, 0xFF}, kAllocation10}},
      {0x46, 10, nullptr, {{"RT", 1, 1, 0x03}, {"STARTING FEATURE NUMBER", 2, 2, 0xFF}, kAllocation10}},
      {0x4A, 10, nullptr, {{"POLLED", 1, 1, 0x01}, {"NOTIFICATION CLASS REQUEST", 4, 1, 0xFF}, kAllocation10}},
      {0x51, 10, nullptr, {{"DATA TYPE", 1, 1, 0x07}, kAllocation10}},
      {0x52, 10, nullptr,
       {{"ADDRESS/NUMBER TYPE", 1, 1, 0x03}, {"LBA/TRACK/SESSION NUMBER", 2, 4, 0xFF}, kAllocation10}},
      {0x53, 10, WithArsv, {{"ARSV", 1, 1, 0x01}, {"LBA", 2, 4, 0xFF}}},
      {0x53, 10, WithoutArsv, {{"ARSV", 1, 1, 0x01}, {"RESERVATION SIZE", 5, 4, 0xFF}}},
      {0x54, 10, nullptr, {{"DOOPC", 1, 1, 0x01}, kParameterList10}},
      {0x55, 10, nullptr, {{"PF", 1, 1, 0x10}, {"SP", 1, 1, 0x01}, kParameterList10}},
      {0x5A, 10, nullptr,
       {{"DBD", 1, 1, 0x08}, {"PC", 2, 1, 0xC0}, {"PAGE CODE", 2, 1, 0x3F}, {"SUBPAGE CODE", 3, 1, 0xFF},
        kAllocation10}},
      {0x5B, 10, nullptr,
       {{"IMMED", 1, 1, 0x01}, {"CLOSE FUNCTION", 2, 1, 0x07}, {"TRACK/SESSION NUMBER", 4, 2, 0xFF}}},
      {0x5C, 10, nullptr, {{"BLOCK", 1, 1, 0x01}, kAllocation10}},
      {0x5D, 10, nullptr, {{"CUE SHEET SIZE", 6, 3, 0xFF}}},
      {0xA1, 12, BlankWholeDisc, {{"IMMED", 1, 1, 0x10}, {"BLANKING TYPE", 1, 1, 0x07}}},
      {0xA1, 12, BlankPart,
       {{"IMMED", 1, 1, 0x10}, {"BLANKING TYPE", 1, 1, 0x07}, {"START ADDRESS/TRACK NUMBER", 2, 4, 0xFF}}},
      {0xAC, 12, PerformanceType0,
       {{"DATA TYPE", 1, 1, 0x1F}, {"STARTING LBA", 2, 4, 0xFF}, {"MAXIMUM NUMBER OF DESCRIPTORS", 8, 2, 0xFF},
        {"TYPE", 10, 1, 0xFF}}},
      {0xAC, 12, OtherPerformanceType, {{"MAXIMUM NUMBER OF DESCRIPTORS", 8, 2, 0xFF}, {"TYPE", 10, 1, 0xFF}}},
      {0xB6, 12, nullptr, {{"TYPE", 8, 1, 0xFF}, {"PARAMETER LIST LENGTH", 9, 2, 0xFF}}},
      {0xBB, 12, nullptr, {{"ROTATION CONTROL", 1, 1, 0x03}, {"READ SPEED", 2, 2, 0xFF}, {"WRITE SPEED", 4, 2, 0xFF}}},
      {0xBE, 12, nullptr,
       {{"EXPECTED SECTOR TYPE", 1, 1, 0x1C}, {"DAP", 1, 1, 0x02}, {"LBA", 2, 4, 0xFF}, {"TRANSFER LENGTH", 6, 3, 0xFF},
        {"SYNC", 9, 1, 0x80}, {"HEADER CODES", 9, 1, 0x60}, {"USER DATA", 9, 1, 0x10}, {"EDC/ECC", 9, 1, 0x08},
        {"C2 ERROR INFORMATION", 9, 1, 0x06}, {"SUB-CHANNEL", 10, 1, 0x07}}},
  };
  return layouts;
}

const Layout* FindLayout(const u8* cdb, u8 length) {
  if (!cdb) return nullptr;
  for (const Layout& layout : Layouts())
    if (layout.opcode == cdb[0] && layout.length == length && (!layout.applies || layout.applies(cdb)))
      return &layout;
  return nullptr;
}

u32 FieldValue(const FieldPlace& f, const u8* cdb) {
  if (f.bytes > 1) {
    u32 value = 0;
    for (u8 i = 0; i < f.bytes; ++i) value = (value << 8) | cdb[f.byte + i];
    return value;
  }
  u32 value = cdb[f.byte] & f.mask;
  for (u8 mask = f.mask; !(mask & 1); mask >>= 1) value >>= 1;
  return value;
}

}  // namespace

bool DecodeCdbFields(const u8* cdb, u8 length, std::vector<CdbField>* fields) {
  const Layout* layout = FindLayout(cdb, length);
  if (!layout) return false;
  fields->clear();
  for (const FieldPlace& f : layout->fields)
    fields->push_back({f.name, f.byte, f.bytes, static_cast<u8>(f.bytes > 1 ? 0xFF : f.mask), FieldValue(f, cdb)});
  return true;
}

u8 CdbFieldBits(const u8* cdb, u8 length, u8 index) {
  const Layout* layout = FindLayout(cdb, length);
  if (!layout || index >= length) return 0;
  if (index == 0) return 0xFF;
  u8 bits = 0;
  for (const FieldPlace& f : layout->fields) {
    if (f.bytes > 1 && index >= f.byte && index < f.byte + f.bytes) bits = 0xFF;
    if (f.bytes == 1 && index == f.byte) bits |= f.mask;
  }
  return bits;
}

bool CdbReservedBitsClear(const u8* cdb, u8 length) {
  if (!FindLayout(cdb, length)) return false;
  for (u8 i = 1; i < length; ++i)
    if (cdb[i] & ~CdbFieldBits(cdb, length, i)) return false;
  return true;
}
