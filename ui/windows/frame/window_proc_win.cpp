#include "ui/windows/frame/window_proc.h"

#include "runtime/wide_string.h"
#include "ui/windows/frame/window_registry.h"

namespace {

const void* g_classObject = nullptr;

}  // namespace

LRESULT CALLBACK ToolkitWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const uintptr_t handle = reinterpret_cast<uintptr_t>(window);
  WindowBinding* binding = WindowRegistry::Resolve(handle);
  if (!binding || !binding->object || !binding->procedure) return 0;
  LRESULT result = binding->procedure(binding->object, message, wParam, lParam);
  if (message == WM_NCDESTROY) WindowRegistry::Unbind(handle);
  return result;
}

ATOM RegisterFrameClass(const void* object, wchar_t* name) {
  static const wchar16 kPrefix[] = u"XKIT:";
  for (int i = 0; i < 5; ++i) name[i] = static_cast<wchar_t>(kPrefix[i]);
  FormatDecimal(static_cast<i32>(reinterpret_cast<uintptr_t>(object)), AsW16(name + 5));
  g_classObject = object;
  WNDCLASSEXW info;
  ZeroMemory(&info, sizeof(info));
  info.cbSize = sizeof(info);
  info.style = CS_DBLCLKS;
  info.lpfnWndProc = ToolkitWindowProc;
  info.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
  info.lpszClassName = name;
  return RegisterClassExW(&info);
}

const void* ClassRegistrationObject() { return g_classObject; }
