// Start-up initialisers and the exit list. The initialisers run in table
// order while the exit-list lock is held; exit callbacks run once, in the
// order of their registration (not reversed), then the terminator tables.
#pragma once
#include <new>

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

namespace rt {

// A function-local static that the C++ runtime never destroys: built on
// first use (once, also when threads race for it) in storage of its own,
// one per Tag. What it holds is released from the exit list instead, so it
// goes in that list's order with everything else.
template <class T, class Tag>
T& UndestroyedStatic() {
  alignas(T) static unsigned char storage[sizeof(T)];
  static T* const object = new (storage) T();
  return *object;
}

}  // namespace rt
