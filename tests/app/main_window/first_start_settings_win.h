// The main window's stored settings, forgotten around a case: no saved
// place, language or task view, as on a first start.
#pragma once
#include "runtime/win.h"

inline const wchar_t kMainKeyPath[] = L"SOFTWARE\\VANTO SOFTWARE\\Kelvane 0.6\\Main";
inline const wchar_t kRootKeyPath[] = L"SOFTWARE\\VANTO SOFTWARE\\Kelvane 0.6";

inline void ForgetMainSettings() {
  RegDeleteKeyW(HKEY_CURRENT_USER, kMainKeyPath);
  HKEY root;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kRootKeyPath, 0, KEY_SET_VALUE, &root) == ERROR_SUCCESS) {
    RegDeleteValueW(root, L"TaskViewShow");
    RegDeleteValueW(root, L"TaskViewOffset");
    RegCloseKey(root);
  }
}
