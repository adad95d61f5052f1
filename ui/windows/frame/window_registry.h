// The window registry: every toolkit window object is bound to its window
// handle by one record, so that the common window procedure finds the
// object of a message's handle and calls its class's member procedure.
//
// A record is appended just before the window is created and takes its
// handle from the window's first message, and only while that creation
// runs; a creation that fails leaves no record that could be bound later,
// and a window's record lets go of its object at WM_NCDESTROY, so no
// message can reach an object after its window is gone (dialog objects live
// on their caller's stack). User-interface thread only. Portable: handles
// are plain integers here.
#pragma once
#include <cstdint>

#include "runtime/types.h"

// The class's member window procedure, called on the object.
typedef intptr_t (*WindowProcThunk)(void* object, u32 message, uintptr_t wParam, intptr_t lParam);

struct WindowBinding {
  uintptr_t handle;  // 0 until the window's first message
  void* object;      // null once the window is gone
  WindowProcThunk procedure;
};

namespace WindowRegistry {

constexpr u32 kNoIndex = 0xFFFFFFFFu;

// Appends the record of a window about to be created and makes it the one
// that the next first message binds; kNoIndex when the registry cannot grow.
u32 BeginCreation(void* object, WindowProcThunk procedure);
// The creation of that record has returned; handle 0 means it failed, and
// the record then can never be bound (dropped when it is the last one).
void EndCreation(u32 index, uintptr_t handle);
// The record of a message's window: the binding index first (the window
// created last), then the registry from its first record; a handle that no
// record holds binds the record being created (its window's first
// message). Null when no live record holds the handle.
WindowBinding* Resolve(uintptr_t handle);
// WM_NCDESTROY: the record forgets its window and its object.
void Unbind(uintptr_t handle);

u32 Count();
const WindowBinding* At(u32 index);
u32 BindingIndex();

}  // namespace WindowRegistry

// The owner of every new owned toolkit window: the main window, or the
// modal window while a modal loop runs.
uintptr_t GetOwnerWindow();
void SetOwnerWindow(uintptr_t window);

// Exit callback: frees the registry's storage and sets its count to 0.
void FreeWindowRegistry();
// Start-up table slot: registers FreeWindowRegistry.
void RegisterWindowRegistryFree();
