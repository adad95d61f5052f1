#include "runtime/win.h"
#include "ui/support/scripted_window_system.h"

namespace {

// The present's source rectangle of a bottom-up 32-bit DIB section, rows
// from the top as the screen shows them.
void CopyPresented(const DIBSECTION& section, const LayeredPresent& p, std::vector<u32>* out) {
  const i32 w = section.dsBm.bmWidth, h = section.dsBm.bmHeight;
  if (section.dsBm.bmBitsPixel != 32 || p.srcX < 0 || p.srcY < 0 || p.srcX + p.width > w || p.srcY + p.height > h)
    return;
  const u32* bits = static_cast<const u32*>(section.dsBm.bmBits);
  out->reserve(static_cast<size_t>(p.width) * p.height);
  for (i32 row = 0; row < p.height; ++row) {
    const u32* line = bits + static_cast<size_t>(h - 1 - (p.srcY + row)) * w + p.srcX;
    out->insert(out->end(), line, line + p.width);
  }
}

}  // namespace

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
  PresentRecord record = {present, false, 0, 0, GetCurrentThreadId(), {}};
  HBITMAP bitmap = static_cast<HBITMAP>(GetCurrentObject(static_cast<HDC>(present.sourceDc), OBJ_BITMAP));
  DIBSECTION section;
  if (bitmap && GetObjectW(bitmap, sizeof section, &section) == sizeof section && section.dsBm.bmBits) {
    record.bitmapValid = true;
    record.bitmapWidth = section.dsBm.bmWidth;
    record.bitmapHeight = section.dsBm.bmHeight;
    if (capturePixels) CopyPresented(section, present, &record.pixels);
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
