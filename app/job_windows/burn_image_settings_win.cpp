#include "app/job_windows/burn_image_settings.h"

namespace {

void ReadCheck(const CSettingsKey& key, const wchar16* name, bool* checked) {
  u32 value = 0;
  if (key.ReadDword(kImageKey, name, &value)) *checked = value != 0;
}

}  // namespace

void ReadBurnImageSettings(const CSettingsKey& key, bool audioRequest, BurnImageSettings* s) {
  if (audioRequest) {
    s->mode2Form1 = false;
    s->mode2Enabled = false;
    s->method = 1;
    s->methodEnabled = false;
  } else {
    ReadCheck(key, kValueMode2Form1, &s->mode2Form1);
  }
  ReadCheck(key, kValueFinalizeDisc, &s->finalize);
  ReadCheck(key, kValueVerify, &s->verify);
  ReadCheck(key, kValueBufe, &s->bufe);
  if (audioRequest) return;
  u32 method = 0;
  if (!key.ReadDword(kImageKey, kValueBurnMethod, &method)) {
    s->method = 0;
    return;
  }
  // An entry the list does not have changes nothing.
  if (method >= static_cast<u32>(kMethodEntryCount)) return;
  s->method = static_cast<i32>(method);
  if (method == 0) s->finalizeEnabled = true;
}

void WriteBurnImageOption(const CSettingsKey& key, const wchar16* name, bool checked) {
  key.WriteDword(kImageKey, name, checked ? 1 : 0);
}

void WriteBurnMethod(const CSettingsKey& key, i32 entry) {
  if (entry >= 0) key.WriteDword(kImageKey, kValueBurnMethod, static_cast<u32>(entry));
}

bool ReadAskForOverburn(const CSettingsKey& key) {
  u32 value = 1;
  return !key.ReadDword(kImageKey, kValueAskForOverBurn, &value) || value != 0;
}

void StopAskingForOverburn(const CSettingsKey& key) { key.WriteDword(kImageKey, kValueAskForOverBurn, 0); }
