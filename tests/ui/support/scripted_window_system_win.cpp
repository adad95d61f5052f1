#include "runtime/win.h"
#include "ui/support/scripted_window_system.h"
#include "ui/windows/frame/frame_core.h"
#include "ui/windows/frame/window_registry.h"

namespace {

constexpr UINT kMessageAnswer = WM_USER + 1;  // lParam: the presented window

// The toolkit object of a window, read without binding anything. Every
// registered object is a CFrameWindow<T>, whose one base is CFrameCore.
CFrameCore* FrameOf(HWND window) {
  for (u32 i = 0; i < WindowRegistry::Count(); ++i) {
    const WindowBinding* b = WindowRegistry::At(i);
    if (b && b->object && b->handle == reinterpret_cast<uintptr_t>(window)) return static_cast<CFrameCore*>(b->object);
  }
  return nullptr;
}

// On the windows' thread: the answer comes once the window's lock is ours.
LRESULT CALLBACK AnswerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != kMessageAnswer) return DefWindowProcW(window, message, wParam, lParam);
  if (CFrameCore* frame = FrameOf(reinterpret_cast<HWND>(lParam))) {
    CLockGuard hold(frame->lock);  // taken and let go, as a paint would
  }
  return 1;
}

const wchar_t* AnswerClass() {
  static const ATOM atom = [] {
    WNDCLASSW c = {};
    c.lpfnWndProc = AnswerProc;
    c.hInstance = GetModuleHandleW(nullptr);
    c.lpszClassName = L"KelvaneTestPresentAnswer";
    return RegisterClassW(&c);
  }();
  return reinterpret_cast<const wchar_t*>(static_cast<uintptr_t>(atom));
}

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

CScriptedWindowSystem::CScriptedWindowSystem() {
  answerWindow_ = CreateWindowExW(0, AnswerClass(), L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
  answerThread_ = GetCurrentThreadId();
  SetInputState(this);
}

CScriptedWindowSystem::~CScriptedWindowSystem() {
  SetInputState(nullptr);
  if (answerWindow_) DestroyWindow(static_cast<HWND>(answerWindow_));
}

bool CScriptedWindowSystem::AnsweredByWindowThread(void* window) {
  if (GetWindowThreadProcessId(static_cast<HWND>(window), nullptr) != answerThread_ || !answerWindow_) return false;
  DWORD_PTR answer = 0;
  return SendMessageTimeoutW(static_cast<HWND>(answerWindow_), kMessageAnswer, 0, reinterpret_cast<LPARAM>(window),
                             SMTO_NORMAL, kCrossThreadAnswerMs, &answer) &&
         answer == 1;
}

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
  const HWND window = static_cast<HWND>(present.window);
  if (GetWindowThreadProcessId(window, nullptr) != GetCurrentThreadId() && !AnsweredByWindowThread(window))
    ++unanswered_;
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

void CScriptedWindowSystem::CaptureMouse(void* window) {
  {
    std::lock_guard<std::mutex> hold(mutex_);
    captures_.push_back({window, static_cast<u32>(GetCurrentThreadId())});
  }
  SystemCaptureMouse(window);
}

std::vector<CaptureCall> CScriptedWindowSystem::Captures() {
  std::lock_guard<std::mutex> hold(mutex_);
  return captures_;
}

void CScriptedWindowSystem::ClearCaptures() {
  std::lock_guard<std::mutex> hold(mutex_);
  captures_.clear();
}
