// A scratch file in the temporary folder made `bytes` long by a sparse end
// (a copy of `source` first, when given), so that an image of any size
// takes no room; deleted when it goes. Path() is null when it could not be
// made.
#pragma once
#include <windows.h>
#include <winioctl.h>

#include <string>

#include "runtime/types.h"

class CSparseFile {
 public:
  CSparseFile(const wchar_t* source, u64 bytes) {
    wchar_t dir[MAX_PATH], path[MAX_PATH];
    if (!GetTempPathW(MAX_PATH, dir) || !GetTempFileNameW(dir, L"kvf", 0, path)) return;
    path_.assign(reinterpret_cast<const char16_t*>(path));
    if (source && !CopyFileW(source, path, FALSE)) return;
    HANDLE h = CreateFileW(path, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return;
    DWORD ignored = 0;
    DeviceIoControl(h, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &ignored, nullptr);
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(bytes);
    made_ = SetFilePointerEx(h, end, nullptr, FILE_BEGIN) && SetEndOfFile(h);
    CloseHandle(h);
  }
  ~CSparseFile() {
    if (!path_.empty()) DeleteFileW(reinterpret_cast<const wchar_t*>(path_.c_str()));
  }
  CSparseFile(const CSparseFile&) = delete;
  CSparseFile& operator=(const CSparseFile&) = delete;
  const char16_t* Path() const { return made_ ? path_.c_str() : nullptr; }

 private:
  std::u16string path_;
  bool made_ = false;
};
