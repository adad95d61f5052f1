#include "runtime/startup.h"

#include "runtime/threads.h"

namespace rt {

namespace {

struct ExitList {
  ExitRoutine entries[kExitListCapacity];
  u32 count;
};

ExitList g_exitList;

// The exit-list lock lives for the whole process: atexit may be called from
// any thread at any time, also before the initialisers and after the exit
// list has run, so it is never deleted under a caller.
CLock& ExitLock() {
  static CLock lock;
  return lock;
}

// Terminator tables run after the exit list. The C runtime's own clean-up
// runs when the entry returns to it, so both are empty here.
const ExitRoutine kTerminators1[] = {nullptr};
const ExitRoutine kTerminators2[] = {nullptr};

void RunTable(const ExitRoutine* table, u32 count) {
  for (u32 i = 0; i < count; ++i)
    if (table[i]) table[i]();
}

}  // namespace

void RunInitializers(const InitRoutine* table, u32 count) {
  CLockGuard hold(ExitLock());
  for (u32 i = 0; i < count; ++i)
    if (table[i]) table[i]();
}

void RunExitCallbacks() {
  CLockGuard hold(ExitLock());
  // Count re-read at every step: a callback registered by a running
  // callback also runs. Each entry runs once: the list is emptied after.
  for (u32 i = 0; i < g_exitList.count; ++i) {
    ExitRoutine callback = g_exitList.entries[i];
    if (callback) callback();
  }
  g_exitList.count = 0;
  RunTable(kTerminators1, 1);
  RunTable(kTerminators2, 1);
}

i32 atexit(ExitRoutine callback) {
  CLockGuard hold(ExitLock());
  if (g_exitList.count >= kExitListCapacity) return 1;
  g_exitList.entries[g_exitList.count++] = callback;
  return 0;
}

u32 ExitListCount() {
  CLockGuard hold(ExitLock());
  return g_exitList.count;
}

ExitRoutine ExitListEntry(u32 index) {
  CLockGuard hold(ExitLock());
  return index < g_exitList.count ? g_exitList.entries[index] : nullptr;
}

}  // namespace rt
