#include "runtime/win.h"
#include "ui/support/scripted_window_system.h"

CScriptedWindowSystem::CScriptedWindowSystem() { SetInputState(this); }
CScriptedWindowSystem::~CScriptedWindowSystem() { SetInputState(nullptr); }

void CScriptedWindowSystem::SetKeyDown(i32 key, bool down) {
  std::lock_guard<std::mutex> hold(mutex_);
  if (down)
    down_.insert(key);
  else
    down_.erase(key);
}

i16 CScriptedWindowSystem::AsyncKeyState(i32 key) {
  ++keyReads_;
  std::lock_guard<std::mutex> hold(mutex_);
  return down_.count(key) ? static_cast<i16>(0x8000) : 0;
}

bool CScriptedWindowSystem::CursorPosition(ScreenPoint* out) {
  *out = cursor_;
  return true;
}

bool CScriptedWindowSystem::Present(const LayeredPresent& present) {
  PresentRecord record = {present, false, 0, 0, GetCurrentThreadId()};
  HBITMAP bitmap = static_cast<HBITMAP>(GetCurrentObject(static_cast<HDC>(present.sourceDc), OBJ_BITMAP));
  DIBSECTION section;
  if (bitmap && GetObjectW(bitmap, sizeof section, &section) == sizeof section && section.dsBm.bmBits) {
    record.bitmapValid = true;
    record.bitmapWidth = section.dsBm.bmWidth;
    record.bitmapHeight = section.dsBm.bmHeight;
  } else {
    ++invalid_;
  }
  {
    std::lock_guard<std::mutex> hold(mutex_);
    presents_.push_back(record);
  }
  return passPresentsOn ? SystemPresentLayered(present) : true;
}

std::vector<PresentRecord> CScriptedWindowSystem::Presents() {
  std::lock_guard<std::mutex> hold(mutex_);
  return presents_;
}

void CScriptedWindowSystem::ClearPresents() {
  std::lock_guard<std::mutex> hold(mutex_);
  presents_.clear();
}
