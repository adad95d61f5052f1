#include "jobs/job_log.h"
#include "runtime/file.h"
#include "runtime/platform.h"
#include "runtime/threads.h"
#include "runtime/win.h"

namespace {

// One lock for every job of the process: two jobs ending at once append
// their logs one after the other.
CLock& LogFileLock() {
  static CLock lock;
  return lock;
}

}  // namespace

bool AppendToJobLogFile(const wchar16* path, const wchar16* text, i32 units) {
  CLockGuard guard(LogFileLock());
  CFileHandle file;
  if (Failed(file.Open(path, GENERIC_WRITE, FILE_SHARE_READ, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL))) return false;
  if (Failed(FileSeek(file.Get(), 0, kFileEnd, nullptr))) return false;
  u64 bytes = units > 0 ? static_cast<u64>(units) * 2 : 0;
  u64 written = 0;
  return bytes == 0 || (Succeeded(WriteFileChunked(file.Get(), text, bytes, &written)) && written == bytes);
}

bool ReadLocalTime(DateTime* out) { return GetLocalDateTime(out); }

void WriteDebugText(const wchar16* text) { OutputDebugText(text); }
