// The current user's registry hive stood in for by a fresh scratch key
// while the object lives, so that the windows' stored choices go nowhere
// else; the key is deleted afterwards. Windows only.
#pragma once
#include "runtime/win.h"

class CScratchCurrentUser {
 public:
  explicit CScratchCurrentUser(const wchar_t* key) : key_(key) {
    RegDeleteTreeW(HKEY_CURRENT_USER, key_);
    if (RegCreateKeyExW(HKEY_CURRENT_USER, key_, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &scratch_, nullptr) ==
        ERROR_SUCCESS)
      RegOverridePredefKey(HKEY_CURRENT_USER, scratch_);
  }
  ~CScratchCurrentUser() {
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    if (scratch_) RegCloseKey(scratch_);
    RegDeleteTreeW(HKEY_CURRENT_USER, key_);
  }
  CScratchCurrentUser(const CScratchCurrentUser&) = delete;
  CScratchCurrentUser& operator=(const CScratchCurrentUser&) = delete;

 private:
  const wchar_t* key_;
  HKEY scratch_ = nullptr;
};
