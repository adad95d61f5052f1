// The burn-image window's choices as stored under "Image": the option check
// boxes, the burn method and whether overburn asks first. A value that is
// absent, or out of range, leaves the window's preset. Windows only (the
// registry store).
#pragma once
#include "runtime/settings.h"
#include "runtime/types.h"

inline constexpr wchar16 kImageKey[] = u"Image";
inline constexpr wchar16 kValueMode2Form1[] = u"Mode2Form1";
inline constexpr wchar16 kValueFinalizeDisc[] = u"FinalizeDisc";
inline constexpr wchar16 kValueVerify[] = u"Verify";
inline constexpr wchar16 kValueBufe[] = u"BUFE";
inline constexpr wchar16 kValueBurnMethod[] = u"BurnMethod";
inline constexpr wchar16 kValueAskForOverBurn[] = u"AskForOverBurn";

constexpr i32 kMethodEntryCount = 2;  // "Track at once", "Disc/Session at once"

struct BurnImageSettings {
  bool mode2Form1 = false;
  bool mode2Enabled = true;
  bool finalize = true;
  bool finalizeEnabled = true;
  bool verify = false;
  bool bufe = true;
  i32 method = 0;  // entry of the method list
  bool methodEnabled = true;
};

// The stored choices over the presets. An audio-project request keeps
// "Mode 2 form 1" off and disabled and the method on disc at once,
// disabled, whatever is stored.
void ReadBurnImageSettings(const CSettingsKey& key, bool audioRequest, BurnImageSettings* s);
// One option (0 or 1) and the method entry, as the window's handlers store
// them.
void WriteBurnImageOption(const CSettingsKey& key, const wchar16* name, bool checked);
void WriteBurnMethod(const CSettingsKey& key, i32 entry);
// "AskForOverBurn": absent or non-zero asks.
bool ReadAskForOverburn(const CSettingsKey& key);
void StopAskingForOverburn(const CSettingsKey& key);
