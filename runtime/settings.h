// CSettingsKey: the registry settings store under HKEY_CURRENT_USER.
// Every call opens the key, does its work and closes it. A read that fails
// (missing key or value, wrong type, bad size) leaves the caller's value
// unchanged, so the caller's preset is the default.
#pragma once
#include "runtime/types.h"
#include "runtime/wide_string.h"

// The program's root key.
extern const wchar16 kSettingsRoot[];

struct SettingsRect {
  i32 left, top, right, bottom;
};

class CSettingsKey {
 public:
  explicit CSettingsKey(const wchar16* root = kSettingsRoot) : root_(root) {}
  void SetRoot(const wchar16* path) { root_ = path; }
  const wchar16* GetRoot() const { return root_; }

  bool ReadDword(const wchar16* subKey, const wchar16* name, u32* out) const;
  bool ReadString(const wchar16* subKey, const wchar16* name, CWideString* out) const;
  bool ReadBool(const wchar16* subKey, const wchar16* name, bool* out) const;
  bool WriteDword(const wchar16* subKey, const wchar16* name, u32 value) const;
  // Fails for a null text or one of 4096 characters or more.
  bool WriteString(const wchar16* subKey, const wchar16* name, const wchar16* text) const;
  bool WriteBool(const wchar16* subKey, const wchar16* name, bool value) const;
  bool ReadWindowRect(SettingsRect* rect) const;
  bool WriteWindowRect(const SettingsRect& rect) const;

 private:
  const wchar16* root_;
};

// Appends "\" (unless subKey begins with one) and subKey; nothing for null.
void AppendKeyPath(CWideString* path, const wchar16* subKey);
