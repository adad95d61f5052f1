#include "jobs/job_platform.h"
#include "runtime/platform.h"
#include "runtime/win.h"

bool SetJobProcessPriority(u32 level) { return SetProcessPriority(level); }

bool SetJobThreadPriorityHighest(CThread* thread) {
  HANDLE handle = thread ? static_cast<HANDLE>(thread->NativeHandle()) : nullptr;
  return handle && SetThreadPriority(handle, THREAD_PRIORITY_HIGHEST);
}
