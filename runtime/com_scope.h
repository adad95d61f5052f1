// COM on the calling thread for one call, through the entry points of a
// library loaded for that call (Windows layer only).
#pragma once
#include "runtime/platform.h"
#include "runtime/win.h"

typedef HRESULT(WINAPI* CoInitializeFn)(LPVOID);
typedef void(WINAPI* CoUninitializeFn)();

// A typed entry point of a loaded library; null when absent.
template <class Fn>
Fn LibraryEntry(const CLoadedLibrary& library, const char* name) {
  return reinterpret_cast<Fn>(library.Lookup(name));
}

// Initialises COM for its lifetime; uninitialises only when the initialise
// succeeded (a thread already in another apartment model keeps its state).
class CComScope {
 public:
  CComScope(CoInitializeFn init, CoUninitializeFn uninit) : uninit_(uninit) {
    initialised_ = SUCCEEDED(init(nullptr));
  }
  ~CComScope() {
    if (initialised_) uninit_();
  }
  CComScope(const CComScope&) = delete;
  CComScope& operator=(const CComScope&) = delete;

 private:
  CoUninitializeFn uninit_;
  bool initialised_ = false;
};
