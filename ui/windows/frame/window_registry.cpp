#include "ui/windows/frame/window_registry.h"

#include "runtime/array.h"
#include "runtime/startup.h"

namespace {

CArray<WindowBinding> g_registry(16);
u32 g_bindingIndex = WindowRegistry::kNoIndex;
bool g_creating = false;
uintptr_t g_ownerWindow = 0;

}  // namespace

namespace WindowRegistry {

u32 BeginCreation(void* object, WindowProcThunk procedure) {
  WindowBinding* record = g_registry.AppendNew();
  if (!record) return kNoIndex;
  record->handle = 0;
  record->object = object;
  record->procedure = procedure;
  g_bindingIndex = g_registry.GetCount() - 1;
  g_creating = true;
  return g_bindingIndex;
}

void EndCreation(u32 index, uintptr_t handle) {
  if (index >= g_registry.GetCount()) return;
  if (index == g_bindingIndex) g_creating = false;
  WindowBinding& record = g_registry[index];
  if (handle != 0 && record.handle == handle) return;
  // Failed (or bound to a window that is already gone): never bindable.
  record.handle = 0;
  record.object = nullptr;
  record.procedure = nullptr;
  if (index + 1 == g_registry.GetCount()) {
    g_registry.RemoveAt(index);
    if (g_bindingIndex == index) g_bindingIndex = kNoIndex;
  }
}

WindowBinding* Resolve(uintptr_t handle) {
  if (handle == 0) return nullptr;
  const u32 count = g_registry.GetCount();
  if (g_bindingIndex < count && g_registry[g_bindingIndex].handle == handle)
    return &g_registry[g_bindingIndex];
  for (u32 i = 0; i < count; ++i)
    if (g_registry[i].handle == handle) return &g_registry[i];
  // A handle no record holds: the window being created, on its first
  // message. Known handles are looked up first, so a message for another
  // window during a creation never binds the new record.
  if (g_creating && g_bindingIndex < count) {
    WindowBinding& record = g_registry[g_bindingIndex];
    if (record.handle == 0 && record.object) {
      record.handle = handle;
      return &record;
    }
  }
  return nullptr;
}

void Unbind(uintptr_t handle) {
  if (handle == 0) return;
  for (WindowBinding& record : g_registry)
    if (record.handle == handle) {
      record.handle = 0;
      record.object = nullptr;
      record.procedure = nullptr;
    }
}

u32 Count() { return g_registry.GetCount(); }
const WindowBinding* At(u32 index) { return index < g_registry.GetCount() ? &g_registry[index] : nullptr; }
u32 BindingIndex() { return g_bindingIndex; }

}  // namespace WindowRegistry

uintptr_t GetOwnerWindow() { return g_ownerWindow; }
void SetOwnerWindow(uintptr_t window) { g_ownerWindow = window; }

void FreeWindowRegistry() {
  g_registry.Destroy();
  g_bindingIndex = WindowRegistry::kNoIndex;
  g_creating = false;
}

void RegisterWindowRegistryFree() { rt::atexit(FreeWindowRegistry); }
