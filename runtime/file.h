// CFileHandle and the file routines (Windows). Results are 0 for success or
// an HRESULT built from the system's last error; a failure never reports 0.
#pragma once
#include "runtime/byte_order.h"
#include "runtime/types.h"

class CFileHandle {
 public:
  CFileHandle() = default;
  ~CFileHandle() { Close(); }
  CFileHandle(const CFileHandle&) = delete;
  CFileHandle& operator=(const CFileHandle&) = delete;

  // The system handle (a HANDLE), null when no file is open.
  void* Get() const { return handle_; }
  bool IsOpen() const { return handle_ != nullptr; }

  HResult Close();
  HResult Open(const wchar16* path, u32 access, u32 share, u32 disposition, u32 flags);
  // Creates or truncates a file for writing, shared for reading.
  HResult Create(const wchar16* path);
  // Opens an existing file for reading, shared for reading.
  HResult OpenRead(const wchar16* path);

 private:
  void* handle_ = nullptr;
};

enum FileOrigin : u32 { kFileBegin = 0, kFileCurrent = 1, kFileEnd = 2 };

HResult FileSeek(void* file, i64 distance, FileOrigin origin, u64* newPosition);
HResult FileSize(void* file, u64* size);
// Reads up to count bytes in chunks; stops at the count, at end of file (a
// read of 0 bytes) or at the first failure. *bytesRead gets the total.
HResult FileReadAll(void* file, void* buffer, u64 count, u64* bytesRead);
// Writes count bytes in chunks; a call that makes no progress is an error.
HResult WriteFileChunked(void* file, const void* buffer, u64 count, u64* bytesWritten);

// The last system error as an HRESULT; 0x80004005 when the call failed but
// the system left no error code (so a failure is never reported as 0).
HResult HResultFromLastError();
// As HResultFromLastError for callers that know the call failed.
HResult HResultFromFailedCall();

bool RemoveFile(const wchar16* path);
bool FileExists(const wchar16* path);
bool DirectoryExists(const wchar16* path);
bool MakeDirectory(const wchar16* path);

struct Guid {
  u32 data1;
  u16 data2;
  u16 data3;
  u8 data4[8];
};
bool IsEqualGuid(const void* a, const void* b);

