// Thin wrappers over the window system, the shell and the process (Windows).
// Libraries beyond the linked system ones are loaded for one call and freed.
#pragma once
#include "runtime/types.h"
#include "runtime/wide_string.h"

struct WorkAreaRect {
  i32 left, top, right, bottom;
};
struct ScreenPoint {
  i32 x, y;
};

// Holder of one module handle, freed by the destructor.
class CLoadedLibrary {
 public:
  explicit CLoadedLibrary(const wchar16* name);
  virtual ~CLoadedLibrary();
  CLoadedLibrary(const CLoadedLibrary&) = delete;
  CLoadedLibrary& operator=(const CLoadedLibrary&) = delete;
  bool IsLoaded() const { return module_ != nullptr; }
  void* Lookup(const char* entry) const;

 private:
  void* module_ = nullptr;
};

// Cursor index 0..12 (0 app-starting, 1 arrow, ... 12 size north-south);
// any other index does nothing and returns false.
bool SetStandardCursor(u32 index);
// Priority class 0 idle .. 5 real-time; false above 5.
bool SetProcessPriority(u32 level);
void GetWorkArea(WorkAreaRect* rect);
void FlipWorkAreaY(ScreenPoint* point);
void OutputDebugText(const wchar16* text);
// kind 0 text, 1 file list; other kinds false.
bool HasClipboardData(u32 kind);
// Stores n units and a terminating zero as the clipboard's Unicode text.
bool SetClipboardText(const wchar16* text, i32 n);
// Appends the clipboard's text to out: CF_UNICODETEXT, else CF_TEXT read as
// UTF-8, each up to its terminating zero but never past the clipboard's
// block, and at most maxUnits units. False (out unchanged) when there is no
// text or the clipboard cannot be opened.
bool GetClipboardText(CWideString* out, i32 maxUnits);
// The shell's "open" verb; its result, 0 when the shell is unavailable.
i32 OpenWithShell(const wchar16* target);
// The shell's display name; false leaves out unchanged.
bool GetShellDisplayName(const wchar16* path, CWideString* out);
// kind 0 desktop, 1 documents, 4 temporary folder; other kinds and failures
// return false and leave out unchanged.
bool GetSpecialFolderPath(u32 kind, CWideString* out);

// One layered-window present: the source DC's pixels from (srcX, srcY),
// width x height, pushed with per-pixel alpha to the window at the screen
// point (destX, destY) (UpdateLayeredWindow with ULW_ALPHA). With
// keepPlacement the window is neither moved nor sized (it stands where the
// last present put it).
struct LayeredPresent {
  void* window;    // HWND
  void* sourceDc;  // HDC with the surface bitmap selected
  i32 destX, destY;
  i32 width, height;
  i32 srcX, srcY;
  bool keepPlacement;
};

bool SystemPresentLayered(const LayeredPresent& present);
// The system's mouse capture given to a window (HWND), or let go (null).
void SystemCaptureMouse(void* window);

// The window-system seam: the asynchronous key state, the cursor position,
// the layered present and the mouse capture, which tests script (posted
// messages do not change the key state, and a test wants to see what was
// presented and which thread took or let go of the mouse).
class IInputState {
 public:
  virtual i16 AsyncKeyState(i32 key) = 0;
  virtual bool CursorPosition(ScreenPoint* out) = 0;
  // Default: the system's present.
  virtual bool Present(const LayeredPresent& present) { return SystemPresentLayered(present); }
  // Default: the system's capture.
  virtual void CaptureMouse(void* window) { SystemCaptureMouse(window); }

 protected:
  ~IInputState() = default;
};
void SetInputState(IInputState* source);  // null restores the system
i16 ReadAsyncKeyState(i32 key);
bool ReadCursorPosition(ScreenPoint* out);
// Presents through the installed source (the system when none).
bool PresentLayered(const LayeredPresent& present);
// Takes (window) or lets go of (null) the mouse through the installed
// source (the system when none).
void CaptureMouse(void* window);

// IsWow64Process of KERNEL32, null when the system lacks it.
extern void* g_isWow64Process;
void LookupIsWow64Process();
