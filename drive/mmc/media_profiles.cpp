#include "drive/mmc/media_profiles.h"

namespace {

struct ProfileRow {
  u16 profile;
  const wchar16* name;
  u32 length;
  u8 mediaFlags;
  u8 mediaFlags2;
};

#define ROW(p, n, f, f2) {p, n, sizeof(n) / sizeof(wchar16) - 1, f, f2}
const ProfileRow kProfiles[] = {
    ROW(0x08, u"CD-ROM", 0x04, 0x00),
    ROW(0x09, u"CD-R", 0x44, 0x00),
    ROW(0x0A, u"CD-RW", 0xC4, 0x00),
    ROW(0x10, u"DVD-ROM", 0x08, 0x00),
    ROW(0x11, u"DVD-R", 0x48, 0x00),
    ROW(0x12, u"DVD-RAM", 0x48, 0x01),
    ROW(0x13, u"DVD-RW", 0xC8, 0x00),
    ROW(0x14, u"DVD-RW", 0xC8, 0x00),
    ROW(0x15, u"DVD-R Dual Layer", 0x48, 0x08),
    ROW(0x16, u"DVD-R Dual Layer", 0x48, 0x08),
    ROW(0x17, u"DVD-RW Dual Layer", 0xC8, 0x08),
    ROW(0x1A, u"DVD+RW", 0x08, 0x06),
    ROW(0x1B, u"DVD+R", 0x08, 0x02),
    ROW(0x20, u"DDCD-ROM", 0x04, 0x00),
    ROW(0x21, u"DDCD-R", 0x44, 0x00),
    ROW(0x22, u"DDCD-RW", 0xC4, 0x00),
    ROW(0x2A, u"DVD+RW Dual Layer", 0x08, 0x0E),
    ROW(0x2B, u"DVD+R Dual Layer", 0x08, 0x0A),
    ROW(0x40, u"BD-ROM", 0x10, 0x00),
    ROW(0x41, u"BD-R", 0x50, 0x00),
    ROW(0x42, u"BD-R-R", 0x00, 0x00),
    ROW(0x43, u"BD-RE", 0xD0, 0x00),
    ROW(0x50, u"HDDVD-ROM", 0x20, 0x00),
    ROW(0x51, u"HDDVD-R", 0x60, 0x00),
    ROW(0x52, u"HDDVD-RAM", 0x60, 0x01),
    ROW(0x53, u"HDDVD-RW", 0xE0, 0x00),
    ROW(0x58, u"HDDVD-R Dual Layer", 0x60, 0x08),
    ROW(0x5A, u"HDDVD-RW Dual Layer", 0xE0, 0x08),
};
#undef ROW

const ProfileRow* FindProfile(u16 profile) {
  for (const ProfileRow& row : kProfiles)
    if (row.profile == profile) return &row;
  return nullptr;
}

struct ListBit {
  u16 profile;
  u8 byteIndex;
  u8 mask;
};

const ListBit kListBits[] = {
    {0x08, 0, 0x10}, {0x09, 0, 0x20}, {0x0A, 0, 0x40}, {0x10, 0, 0x80},
    {0x12, 1, 0x01}, {0x11, 1, 0x02}, {0x14, 1, 0x04}, {0x13, 1, 0x08}, {0x17, 1, 0x40}, {0x1B, 1, 0x80},
    {0x1A, 2, 0x01}, {0x15, 2, 0x02}, {0x2B, 2, 0x02}, {0x2A, 2, 0x04}, {0x40, 2, 0x08}, {0x41, 2, 0x10},
    {0x43, 2, 0x40}, {0x50, 2, 0x80},
    {0x51, 3, 0x01}, {0x52, 3, 0x02}, {0x53, 3, 0x04}, {0x58, 3, 0x08}, {0x5A, 3, 0x10},
};

}  // namespace

ProfileName GetProfileName(u16 profile) {
  const ProfileRow* row = FindProfile(profile);
  if (!row) return ProfileName{u"", 0};
  return ProfileName{row->name, row->length};
}

void ProfileMediaBits(u16 profile, u8* mediaFlags, u8* mediaFlags2) {
  const ProfileRow* row = FindProfile(profile);
  *mediaFlags = row ? row->mediaFlags : 0;
  *mediaFlags2 = row ? row->mediaFlags2 : 0;
}

bool ProfileListBit(u16 profile, u32* byteIndex, u8* mask) {
  for (const ListBit& bit : kListBits) {
    if (bit.profile == profile) {
      *byteIndex = bit.byteIndex;
      *mask = bit.mask;
      return true;
    }
  }
  return false;
}
