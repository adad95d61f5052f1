// Start-up initialisers and the exit list. The initialisers run in table
// order while the exit-list lock is held; exit callbacks run once, in the
// order of their registration (not reversed), then the terminator tables.
#pragma once
#include "runtime/types.h"

namespace rt {

typedef void (*InitRoutine)();
typedef void (*ExitRoutine)();

constexpr u32 kExitListCapacity = 64;

// Saves the heap, creates the exit-list lock, enters it and calls every
// non-null entry of the table in order, then leaves the lock.
void RunInitializers(const InitRoutine* table, u32 count);

// Enters the lock, runs the exit list (count re-read after every call, so a
// callback registered by a running callback also runs), then the terminator
// tables; leaves and deletes the lock.
void RunExitCallbacks();

// Registers an exit callback: 0 when stored, 1 when the list is full.
i32 atexit(ExitRoutine callback);

// Number of callbacks stored, and entry i (tests and diagnostics).
u32 ExitListCount();
ExitRoutine ExitListEntry(u32 index);

// The process's start-up show command: STARTUPINFO's wShowWindow when
// STARTF_USESHOWWINDOW is set, else 10 (SW_SHOWDEFAULT).
u32 ReadStartupShowCommand();

// Body of every pure virtual operation: breaks into the debugger, returns 0.
i32 _purecall();

}  // namespace rt

// Registers FreeStaticBuffer-style clean-up for a function-local static on
// first use: the static is built once under a guard, and its release runs
// from the exit list in first-use order.
#define KELVANE_STATIC_ONCE(guard, register_call) \
  do {                                            \
    if (!(guard)) {                               \
      (guard) = true;                             \
      register_call;                              \
    }                                             \
  } while (0)
