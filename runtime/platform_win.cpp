// Thin wrappers over the window system, the shell, the clipboard and the
// process. Shell and COM libraries are loaded for the duration of one call.
#include "runtime/platform.h"

#include <shlobj.h>
#include <shellapi.h>

#include "runtime/com_scope.h"
#include "runtime/win.h"

void* g_isWow64Process = nullptr;

// ---------------------------------------------------------------------------
// CLoadedLibrary

CLoadedLibrary::CLoadedLibrary(const wchar16* name) {
  if (!name) return;
  // System libraries only: search the system folder first, so that a file of
  // the same name beside the program is never picked up. Older systems lack
  // the flag; they fall back to the ordinary search.
  HMODULE module = LoadLibraryExW(AsWide(name), nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (!module) module = LoadLibraryExW(AsWide(name), nullptr, 0);
  module_ = module;
}

CLoadedLibrary::~CLoadedLibrary() {
  if (module_) {
    FreeLibrary(static_cast<HMODULE>(module_));
    module_ = nullptr;
  }
}

void* CLoadedLibrary::Lookup(const char* entry) const {
  if (!module_ || !entry) return nullptr;
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module_), entry));
}

namespace {


typedef DWORD_PTR(WINAPI* SHGetFileInfoFn)(LPCWSTR, DWORD, SHFILEINFOW*, UINT, UINT);
typedef HINSTANCE(WINAPI* ShellExecuteFn)(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT);
typedef HRESULT(WINAPI* SHGetFolderPathFn)(HWND, int, HANDLE, DWORD, LPWSTR);


IInputState* g_inputState = nullptr;

}  // namespace

// ---------------------------------------------------------------------------
// Cursor, priority, work area, debugger output

bool SetStandardCursor(u32 index) {
  static const LPCWSTR kCursors[] = {
      IDC_APPSTARTING, IDC_ARROW,    IDC_CROSS,    IDC_HAND,     IDC_HELP,
      IDC_IBEAM,       IDC_NO,       IDC_WAIT,     IDC_SIZEALL,  IDC_SIZENESW,
      IDC_SIZENWSE,    IDC_SIZEWE,   IDC_SIZENS,
  };
  if (index >= sizeof(kCursors) / sizeof(kCursors[0])) return false;
  HCURSOR cursor = LoadCursorW(nullptr, kCursors[index]);
  if (!cursor) return false;
  SetCursor(cursor);
  return true;
}

bool SetProcessPriority(u32 level) {
  static const DWORD kClasses[] = {
      IDLE_PRIORITY_CLASS,  BELOW_NORMAL_PRIORITY_CLASS, NORMAL_PRIORITY_CLASS,
      ABOVE_NORMAL_PRIORITY_CLASS, HIGH_PRIORITY_CLASS,  REALTIME_PRIORITY_CLASS,
  };
  if (level >= sizeof(kClasses) / sizeof(kClasses[0])) return false;
  return SetPriorityClass(GetCurrentProcess(), kClasses[level]) != 0;
}

void GetWorkArea(WorkAreaRect* rect) {
  if (!rect) return;
  RECT area = {0, 0, 0, 0};
  if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0)) area = RECT{0, 0, 0, 0};
  rect->left = area.left;
  rect->top = area.top;
  rect->right = area.right;
  rect->bottom = area.bottom;
}

void FlipWorkAreaY(ScreenPoint* point) {
  if (!point) return;
  WorkAreaRect area;
  GetWorkArea(&area);
  point->y = area.bottom - point->y;
}

void OutputDebugText(const wchar16* text) {
  if (text) OutputDebugStringW(AsWide(text));
}

// ---------------------------------------------------------------------------
// Clipboard

bool HasClipboardData(u32 kind) {
  switch (kind) {
    case 0:
      return IsClipboardFormatAvailable(CF_UNICODETEXT) || IsClipboardFormatAvailable(CF_TEXT);
    case 1:
      return IsClipboardFormatAvailable(CF_HDROP) != 0;
    default:
      return false;
  }
}

bool SetClipboardText(const wchar16* text, i32 n) {
  if (n < 0 || (!text && n > 0)) return false;
  SIZE_T bytes = (static_cast<SIZE_T>(n) + 1) * sizeof(wchar16);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (!memory) return false;
  wchar16* copy = static_cast<wchar16*>(GlobalLock(memory));
  if (!copy) {
    GlobalFree(memory);
    return false;
  }
  for (i32 i = 0; i < n; ++i) copy[i] = text[i];
  copy[n] = 0;
  GlobalUnlock(memory);
  if (!OpenClipboard(GetActiveWindow())) {
    GlobalFree(memory);
    return false;
  }
  bool stored = EmptyClipboard() && SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
  CloseClipboard();
  // The clipboard owns the memory only once it was accepted.
  if (!stored) GlobalFree(memory);
  return stored;
}

namespace {

// Units (or bytes) of a clipboard block before its terminating zero, never
// more than the block holds and never more than cap.
template <class T>
i32 BoundedLength(const T* p, SIZE_T blockBytes, i32 cap) {
  SIZE_T limit = blockBytes / sizeof(T);
  if (limit > static_cast<SIZE_T>(cap)) limit = static_cast<SIZE_T>(cap);
  i32 n = 0;
  while (static_cast<SIZE_T>(n) < limit && p[n] != 0) ++n;
  return n;
}

}  // namespace

bool GetClipboardText(CWideString* out, i32 maxUnits) {
  if (!out || maxUnits <= 0) return false;
  const bool unicode = IsClipboardFormatAvailable(CF_UNICODETEXT) != 0;
  if (!unicode && !IsClipboardFormatAvailable(CF_TEXT)) return false;
  if (!OpenClipboard(GetActiveWindow())) return false;
  bool read = false;
  HANDLE data = GetClipboardData(unicode ? CF_UNICODETEXT : CF_TEXT);
  const void* block = data ? GlobalLock(data) : nullptr;
  if (block) {
    const SIZE_T bytes = GlobalSize(data);
    if (unicode) {
      const wchar16* text = static_cast<const wchar16*>(block);
      out->AppendChars(text, BoundedLength(text, bytes, maxUnits));
    } else {
      // UTF-8 needs at most one byte per unit beyond the units it gives.
      const char* text = static_cast<const char*>(block);
      CWideString converted;
      converted.AppendUtf8(text, BoundedLength(text, bytes, maxUnits > 0x3FFFFFFF ? 0x7FFFFFFF : maxUnits * 4));
      out->AppendChars(converted.c_str(), converted.GetLength() < maxUnits ? converted.GetLength() : maxUnits);
    }
    GlobalUnlock(data);
    read = true;
  }
  CloseClipboard();
  return read;
}

// ---------------------------------------------------------------------------
// Shell

i32 OpenWithShell(const wchar16* target) {
  CLoadedLibrary shell(u"shell32.dll");
  ShellExecuteFn execute = LibraryEntry<ShellExecuteFn>(shell, "ShellExecuteW");
  if (!execute || !target) return 0;
  HINSTANCE result = execute(nullptr, L"open", AsWide(target), nullptr, nullptr, SW_SHOWDEFAULT);
  return static_cast<i32>(reinterpret_cast<INT_PTR>(result));
}

bool GetShellDisplayName(const wchar16* path, CWideString* out) {
  if (!path || !out) return false;
  CLoadedLibrary ole(u"ole32.dll");
  CLoadedLibrary shell(u"shell32.dll");
  CoInitializeFn init = LibraryEntry<CoInitializeFn>(ole, "CoInitialize");
  CoUninitializeFn uninit = LibraryEntry<CoUninitializeFn>(ole, "CoUninitialize");
  SHGetFileInfoFn getInfo = LibraryEntry<SHGetFileInfoFn>(shell, "SHGetFileInfoW");
  if (!init || !uninit || !getInfo) return false;
  CComScope com(init, uninit);
  SHFILEINFOW info;
  ZeroMemory(&info, sizeof(info));
  if (!getInfo(AsWide(path), 0, &info, sizeof(info), SHGFI_DISPLAYNAME)) return false;
  // The shell's buffer is fixed; never read past it.
  i32 length = 0;
  const i32 cap = static_cast<i32>(sizeof(info.szDisplayName) / sizeof(info.szDisplayName[0]));
  while (length < cap && info.szDisplayName[length] != 0) ++length;
  out->AssignChars(AsW16(info.szDisplayName), length);
  return true;
}

bool GetSpecialFolderPath(u32 kind, CWideString* out) {
  if (!out) return false;
  if (kind == 4) {
    constexpr DWORD kTempCap = 512;
    wchar_t buffer[kTempCap + 1];
    DWORD length = GetTempPathW(kTempCap, buffer);
    // 0 is a failure; a result above the buffer is the size it would need.
    if (length == 0 || length >= kTempCap) return false;
    out->AssignChars(AsW16(buffer), static_cast<i32>(length));
    return true;
  }
  if (kind > 1) return false;
  CLoadedLibrary shell(u"shell32.dll");
  SHGetFolderPathFn getPath = LibraryEntry<SHGetFolderPathFn>(shell, "SHGetFolderPathW");
  if (!getPath) return false;
  wchar_t buffer[MAX_PATH + 1];
  buffer[0] = 0;
  if (getPath(nullptr, kind == 0 ? CSIDL_DESKTOP : CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT,
              buffer) != S_OK)
    return false;
  buffer[MAX_PATH] = 0;
  i32 length = 0;
  while (length < MAX_PATH && buffer[length] != 0) ++length;
  if (length == 0) return false;
  out->AssignChars(AsW16(buffer), length);
  return true;
}

// ---------------------------------------------------------------------------
// Key state, cursor position, layered present and mouse capture

void SetInputState(IInputState* source) { g_inputState = source; }

i16 ReadAsyncKeyState(i32 key) {
  if (g_inputState) return g_inputState->AsyncKeyState(key);
  return GetAsyncKeyState(key);
}

bool PresentLayered(const LayeredPresent& present) {
  if (g_inputState) return g_inputState->Present(present);
  return SystemPresentLayered(present);
}

void CaptureMouse(void* window) {
  if (g_inputState)
    g_inputState->CaptureMouse(window);
  else
    SystemCaptureMouse(window);
}

void SystemCaptureMouse(void* window) {
  if (window)
    SetCapture(static_cast<HWND>(window));
  else
    ReleaseCapture();
}

bool SystemPresentLayered(const LayeredPresent& present) {
  POINT destination = {present.destX, present.destY};
  SIZE size = {present.width, present.height};
  POINT source = {present.srcX, present.srcY};
  BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  HDC dc = static_cast<HDC>(present.sourceDc);
  const bool keep = present.keepPlacement;
  return UpdateLayeredWindow(static_cast<HWND>(present.window), dc, keep ? nullptr : &destination,
                             keep ? nullptr : &size, dc, &source, 0, &blend, ULW_ALPHA) != 0;
}

bool ReadCursorPosition(ScreenPoint* out) {
  if (!out) return false;
  if (g_inputState) return g_inputState->CursorPosition(out);
  POINT point;
  if (!GetCursorPos(&point)) return false;
  out->x = point.x;
  out->y = point.y;
  return true;
}

// ---------------------------------------------------------------------------
// 64-bit process test

void LookupIsWow64Process() {
  HMODULE kernel = GetModuleHandleW(L"KERNEL32");
  g_isWow64Process =
      kernel ? reinterpret_cast<void*>(GetProcAddress(kernel, "IsWow64Process")) : nullptr;
}
