// MMC profiles: medium names and the flag bits the probe derives from the
// current profile and from the drive's profile list. Portable.
#pragma once
#include "runtime/types.h"

struct ProfileName {
  const wchar16* text;
  u32 length;
};

// The medium name of a profile; the empty text for an unknown profile.
ProfileName GetProfileName(u16 profile);

// mediaFlags / mediaFlags2 bits of the current profile (0 for others).
void ProfileMediaBits(u16 profile, u8* mediaFlags, u8* mediaFlags2);

// Where a listed profile is recorded: 0 = mediaFlags2, 1..3 = profileBits
// bytes 0..2, with the bit mask; false for profiles without a bit.
bool ProfileListBit(u16 profile, u32* byteIndex, u8* mask);
