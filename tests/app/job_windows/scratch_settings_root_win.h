// A settings root of one test's own under HKEY_CURRENT_USER, named after the
// test's tag, the process and the moment; it is deleted with everything
// under it when the test ends.
#pragma once
#include <windows.h>

#include <cwchar>
#include <string>

class CScratchSettingsRoot {
 public:
  explicit CScratchSettingsRoot(const wchar_t* tag) {
    wchar_t name[96];
    swprintf(name, 96, L"SOFTWARE\\KelvaneTests\\%ls%lu-%lu", tag, GetCurrentProcessId(), GetTickCount());
    root_.assign(reinterpret_cast<const char16_t*>(name));
  }
  ~CScratchSettingsRoot() {
    RegDeleteTreeW(HKEY_CURRENT_USER, reinterpret_cast<const wchar_t*>(root_.c_str()));
    RegDeleteKeyW(HKEY_CURRENT_USER, L"SOFTWARE\\KelvaneTests");
  }
  CScratchSettingsRoot(const CScratchSettingsRoot&) = delete;
  CScratchSettingsRoot& operator=(const CScratchSettingsRoot&) = delete;

  const char16_t* c_str() const { return root_.c_str(); }

 private:
  std::u16string root_;
};
