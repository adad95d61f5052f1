// Windows-layer helpers: converts the program's UTF-16 pointers to the
// system's wide pointers. Included only by *_win.cpp files.
#pragma once
#include <windows.h>

// The program's own DrawText (the canvas) is not the window system's macro.
#ifdef DrawText
#undef DrawText
#endif
// Nor is the ring buffer's GetFreeSpace the 16-bit era's macro.
#ifdef GetFreeSpace
#undef GetFreeSpace
#endif

#include "runtime/types.h"

static_assert(sizeof(wchar_t) == sizeof(wchar16), "UTF-16 wchar_t expected");

inline const wchar_t* AsWide(const wchar16* p) { return reinterpret_cast<const wchar_t*>(p); }
inline wchar_t* AsWide(wchar16* p) { return reinterpret_cast<wchar_t*>(p); }
inline const wchar16* AsW16(const wchar_t* p) { return reinterpret_cast<const wchar16*>(p); }
inline wchar16* AsW16(wchar_t* p) { return reinterpret_cast<wchar16*>(p); }
