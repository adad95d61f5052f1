#include "runtime/file.h"
#include "runtime/win.h"

HResult HResultFromLastError() { return HResultFromError(GetLastError()); }

HResult HResultFromFailedCall() {
  HResult hr = HResultFromLastError();
  return hr ? hr : kHrFail;
}

HResult CFileHandle::Close() {
  if (!handle_) return kHrOk;
  HANDLE handle = handle_;
  handle_ = nullptr;
  return CloseHandle(handle) ? kHrOk : HResultFromFailedCall();
}

HResult CFileHandle::Open(const wchar16* path, u32 access, u32 share, u32 disposition, u32 flags) {
  Close();
  HANDLE handle = CreateFileW(AsWide(path), access, share, nullptr, disposition, flags, nullptr);
  if (handle == INVALID_HANDLE_VALUE || handle == nullptr) return HResultFromFailedCall();
  handle_ = handle;
  return kHrOk;
}

HResult CFileHandle::Create(const wchar16* path) {
  return Open(path, GENERIC_WRITE, FILE_SHARE_READ, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL);
}

HResult CFileHandle::OpenRead(const wchar16* path) {
  return Open(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL);
}

HResult FileSeek(void* file, i64 distance, FileOrigin origin, u64* newPosition) {
  LARGE_INTEGER move;
  move.QuadPart = distance;
  LARGE_INTEGER position;
  if (!SetFilePointerEx(file, move, &position, origin)) return HResultFromFailedCall();
  if (newPosition) *newPosition = static_cast<u64>(position.QuadPart);
  return kHrOk;
}

HResult FileSize(void* file, u64* size) {
  LARGE_INTEGER value;
  if (!GetFileSizeEx(file, &value)) return HResultFromFailedCall();
  *size = static_cast<u64>(value.QuadPart);
  return kHrOk;
}

namespace {
constexpr u64 kMaxChunk = 0xFFFFFFFFull;
}

HResult FileReadAll(void* file, void* buffer, u64 count, u64* bytesRead) {
  u8* cursor = static_cast<u8*>(buffer);
  u64 total = 0;
  HResult result = kHrOk;
  while (total < count) {
    DWORD chunk = static_cast<DWORD>(count - total < kMaxChunk ? count - total : kMaxChunk);
    DWORD done = 0;
    if (!ReadFile(file, cursor, chunk, &done, nullptr)) {
      result = HResultFromFailedCall();
      break;
    }
    if (done == 0) break;  // end of file
    total += done;
    cursor += done;
  }
  if (bytesRead) *bytesRead = total;
  return result;
}

HResult WriteFileChunked(void* file, const void* buffer, u64 count, u64* bytesWritten) {
  const u8* cursor = static_cast<const u8*>(buffer);
  u64 total = 0;
  HResult result = kHrOk;
  while (total < count) {
    DWORD chunk = static_cast<DWORD>(count - total < kMaxChunk ? count - total : kMaxChunk);
    DWORD done = 0;
    if (!WriteFile(file, cursor, chunk, &done, nullptr)) {
      result = HResultFromFailedCall();
      break;
    }
    if (done == 0) {
      // A write that reports success without progress would repeat forever.
      result = HResultFromError(ERROR_WRITE_FAULT);
      break;
    }
    total += done;
    cursor += done;
  }
  if (bytesWritten) *bytesWritten = total;
  return result;
}

bool RemoveFile(const wchar16* path) { return DeleteFileW(AsWide(path)) != 0; }

bool FileExists(const wchar16* path) {
  DWORD attributes = GetFileAttributesW(AsWide(path));
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const wchar16* path) {
  DWORD attributes = GetFileAttributesW(AsWide(path));
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool MakeDirectory(const wchar16* path) { return CreateDirectoryW(AsWide(path), nullptr) != 0; }
