#include "app/pages/device_info.h"

#include <cstring>

#include "drive/mmc/mmc_replies.h"
#include "runtime/byte_order.h"

namespace {

// Byte n of a feature descriptor, 0 when the descriptor does not hold it.
u8 FeatureByte(const u8* descriptor, u32 n) {
  return descriptor && n < 4u + FeatureAdditionalLength(descriptor) ? descriptor[n] : 0;
}

bool Listed(const DeviceFeatures& f, u32 kind, u16 code) {
  if (kind == 0) return code < kProfileTableSize && f.profiles[code];
  if (kind == 1) return code < kFeatureTableSize && f.features[code];
  return (f.writeBits & code) != 0;
}

// What a chip needs to be shown, and to be drawn read/write.
enum : u8 { kProfile = 0, kFeature = 1, kBit = 2 };
constexpr u16 kNone = 0xFFFF;

struct ChipRule {
  const wchar16* text;
  u8 kind;      // what `need` is: profile, feature or write ability
  u16 need, need2;
  u8 mode;      // kChipReadWrite: only when the write condition holds
  u8 writeKind;
  u16 write, write2;
};

struct GroupRule {
  u32 headingId;
  i32 shownByProfile;  // -1: the CD group (always), -2: any chip listed
  const ChipRule* chips;
  u32 count;
};

const ChipRule kCdChips[] = {
    {u"Multi-Read", kFeature, 0x001D, 0x001E, kChipFeature, 0, kNone, kNone},
    {u"TAO", kFeature, 0x002D, kNone, kChipFeature, 0, kNone, kNone},
    {u"SAO", kFeature, 0x002E, kNone, kChipFeature, 0, kNone, kNone},
    {u"CD-ROM", kProfile, 0x08, kNone, kChipReadOnly, 0, kNone, kNone},
    {u"CD-R", kProfile, 0x09, kNone, kChipReadWrite, kFeature, 0x002D, kNone},
    {u"CD-RW", kProfile, 0x0A, kNone, kChipReadWrite, kFeature, 0x002D, kNone},
    {u"DDCD-ROM", kProfile, 0x20, kNone, kChipReadOnly, 0, kNone, kNone},
    {u"DDCD-R", kProfile, 0x21, kNone, kChipReadWrite, kFeature, 0x0031, kNone},
    {u"DDCD-RW", kProfile, 0x22, kNone, kChipReadWrite, kFeature, 0x0032, kNone},
    {u"CD-Text", kBit, kWriteCdText, kNone, kChipReadOnly, 0, kNone, kNone},
    {u"C2 Error", kBit, kWriteC2, kNone, kChipFeature, 0, kNone, kNone},
};
const ChipRule kDvdChips[] = {
    {u"DVD-ROM", kProfile, 0x10, kNone, kChipReadOnly, 0, kNone, kNone},
    {u"DVD-R", kProfile, 0x11, kNone, kChipReadWrite, kFeature, 0x002F, kNone},
    {u"DVD-R DL", kProfile, 0x15, kNone, kChipReadWrite, kBit, kWriteDvdRDualLayer, kNone},
    {u"DVD-RW", kProfile, 0x14, kNone, kChipReadWrite, kBit, kWriteDvdRw, kNone},
    {u"DVD-RW DL", kProfile, 0x17, kNone, kChipReadWrite, kBit, kWriteDvdRwDualLayer, kNone},
    {u"DVD-RAM", kProfile, 0x12, kNone, kChipReadWrite, kFeature, 0x0020, kNone},
    {u"DVD+R", kProfile, 0x1B, kNone, kChipReadWrite, kBit, kWriteDvdPlusR, kNone},
    {u"DVD+R DL", kProfile, 0x2B, kNone, kChipReadWrite, kBit, kWriteDvdPlusRDualLayer, kNone},
    {u"DVD+RW", kProfile, 0x1A, kNone, kChipReadWrite, kBit, kWriteDvdPlusRw, kNone},
    {u"DVD+RW DL", kProfile, 0x2A, kNone, kChipReadWrite, kBit, kWriteDvdPlusRwDualLayer, kNone},
    {u"DVD CSS", kFeature, 0x0106, kNone, kChipReadWrite, kFeature, 0x010E, kNone},
    {u"DVD CPRM", kFeature, 0x010B, kNone, kChipFeature, 0, kNone, kNone},
};
const ChipRule kBdChips[] = {
    {u"BD-ROM", kProfile, 0x40, kNone, kChipReadOnly, 0, kNone, kNone},
    {u"BD-R", kProfile, 0x41, kNone, kChipReadWrite, kFeature, 0x0041, kNone},
    {u"BD-R-R", kProfile, 0x42, kNone, kChipReadWrite, kFeature, 0x0041, kNone},
    {u"BD-RE", kProfile, 0x43, kNone, kChipReadWrite, kFeature, 0x0020, 0x0041},
};
const ChipRule kHdDvdChips[] = {
    {u"HDDVD-ROM", kProfile, 0x50, kNone, kChipReadOnly, 0, kNone, kNone},
    {u"HDDVD-R", kProfile, 0x51, kNone, kChipReadWrite, kFeature, 0x0051, kNone},
    {u"HDDVD-RAM", kProfile, 0x52, kNone, kChipReadWrite, kFeature, 0x0020, 0x0051},
};
const ChipRule kOtherChips[] = {
    {u"TSR", kFeature, 0x0042, kNone, kChipFeature, 0, kNone, kNone},
    {u"SMART", kFeature, 0x0101, kNone, kChipFeature, 0, kNone, kNone},
    {u"AACS", kFeature, 0x010D, kNone, kChipFeature, 0, kNone, kNone},
    {u"SecurDisc", kFeature, 0x0113, kNone, kChipFeature, 0, kNone, kNone},
    {u"OSSC", kFeature, 0x0142, kNone, kChipFeature, 0, kNone, kNone},
};

template <u32 N>
constexpr u32 CountOf(const ChipRule (&)[N]) {
  return N;
}

const GroupRule kGroups[kFeatureGroupCount] = {
    {kTextCdFeatures, -1, kCdChips, CountOf(kCdChips)},
    {kTextDvdFeatures, 0x10, kDvdChips, CountOf(kDvdChips)},
    {kTextBdFeatures, 0x40, kBdChips, CountOf(kBdChips)},
    {kTextHdDvdFeatures, 0x50, kHdDvdChips, CountOf(kHdDvdChips)},
    {kTextOtherFeatures, -2, kOtherChips, CountOf(kOtherChips)},
};

bool Holds(const DeviceFeatures& f, u8 kind, u16 a, u16 b) {
  return Listed(f, kind, a) && (b == kNone || Listed(f, kind, b));
}

}  // namespace

void ReadDeviceFeatures(const u8* reply, u32 size, DeviceFeatures* out) {
  std::memset(out, 0, sizeof(*out));
  ForEachFeature(reply, size, [out](const u8* d) {
    const u16 code = ReadBigEndian16(d);
    if (code < kFeatureTableSize) out->features[code] = 1;
    return false;
  });
  ForEachListedProfile(reply, size, [out](u16 profile) {
    if (profile < kProfileTableSize) out->profiles[profile] = 1;
  });
  struct AbilitySource {
    u16 feature;
    u8 byte, mask;
    u16 bit;
  };
  static const AbilitySource kSources[] = {
      {0x001E, 4, 0x01, kWriteCdText},        {0x001E, 4, 0x06, kWriteC2},
      {0x002F, 4, 0x02, kWriteDvdRw},         {0x002F, 4, 0x08, kWriteDvdRDualLayer},
      {0x0023, 5, 0x80, kWriteDvdRwDualLayer}, {0x002B, 4, 0x01, kWriteDvdPlusR},
      {0x003B, 4, 0x01, kWriteDvdPlusRDualLayer}, {0x002A, 4, 0x01, kWriteDvdPlusRw},
      {0x003A, 4, 0x01, kWriteDvdPlusRwDualLayer},
  };
  for (const AbilitySource& s : kSources)
    if (FeatureByte(FindFeature(reply, size, s.feature, true), s.byte) & s.mask) out->writeBits |= s.bit;
}

void BuildFeatureGroups(const DeviceFeatures& f, FeatureGroup groups[kFeatureGroupCount]) {
  for (u32 g = 0; g < kFeatureGroupCount; ++g) {
    const GroupRule& rule = kGroups[g];
    FeatureGroup& out = groups[g];
    out.headingId = rule.headingId;
    out.chipCount = 0;
    for (u32 i = 0; i < rule.count && out.chipCount < kMaxGroupChips; ++i) {
      const ChipRule& c = rule.chips[i];
      if (!Holds(f, c.kind, c.need, c.need2)) continue;
      u8 mode = c.mode;
      if (mode == kChipReadWrite && !Holds(f, c.writeKind, c.write, c.write2)) mode = kChipReadOnly;
      out.chips[out.chipCount++] = {c.text, mode};
    }
    if (rule.shownByProfile == -1)
      out.shown = true;
    else if (rule.shownByProfile == -2)
      out.shown = out.chipCount > 0;
    else
      out.shown = f.profiles[rule.shownByProfile] != 0;
  }
}
