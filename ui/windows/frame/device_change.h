// Volume arrival and removal as WM_DEVICECHANGE reports them: which drive
// letters a notification names for the window's media listener. Portable.
#pragma once
#include "runtime/types.h"

constexpr u32 kDeviceArrival = 0x8000;         // DBT_DEVICEARRIVAL
constexpr u32 kDeviceRemoveComplete = 0x8004;  // DBT_DEVICEREMOVECOMPLETE
constexpr u32 kDeviceTypeVolume = 2;           // DBT_DEVTYP_VOLUME
constexpr u32 kVolumeMedia = 1;                // DBTF_MEDIA

// The letters (bit 0 = A) of a notification that concern media: only
// arrival and removal of a volume whose flags carry DBTF_MEDIA (a drive
// letter appearing or going is no media change); 0 otherwise.
inline u32 MediaChangeLetters(u32 event, u32 deviceType, u32 unitMask, u32 volumeFlags) {
  if (event != kDeviceArrival && event != kDeviceRemoveComplete) return 0;
  if (deviceType != kDeviceTypeVolume || !(volumeFlags & kVolumeMedia)) return 0;
  return unitMask & 0x03FFFFFFu;
}

// The window's media listener: {owner, two thunks}, each given the volume
// path "\\.\X:".
struct MediaListener {
  void* owner;
  void (*arrived)(void* owner, const wchar16* path);
  void (*removed)(void* owner, const wchar16* path);
};
