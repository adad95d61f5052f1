#include "ui_post_win.h"

#include "runtime/win.h"

namespace {

constexpr UINT kMsgRun = WM_APP + 0x31;    // lParam: a heap std::function, deleted after it ran
constexpr UINT kMsgCall = WM_APP + 0x32;   // lParam: a caller's std::function
const wchar_t kClassName[] = L"KelvaneEndToEndPost";

LRESULT CALLBACK PostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kMsgRun) {
    std::function<void()>* f = reinterpret_cast<std::function<void()>*>(lParam);
    (*f)();
    delete f;
    return 0;
  }
  if (message == kMsgCall) {
    (*reinterpret_cast<const std::function<void()>*>(lParam))();
    return 1;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

CUiPost::CUiPost() {
  WNDCLASSW info;
  ZeroMemory(&info, sizeof(info));
  info.lpfnWndProc = PostWindowProc;
  info.hInstance = GetModuleHandleW(nullptr);
  info.lpszClassName = kClassName;
  RegisterClassW(&info);  // fails harmlessly when already registered
  window_ = CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, info.hInstance, nullptr);
}

CUiPost::~CUiPost() {
  if (!window_) return;
  // Work still queued is run (and freed) before the window goes.
  MSG message;
  while (PeekMessageW(&message, static_cast<HWND>(window_), kMsgRun, kMsgRun, PM_REMOVE)) DispatchMessageW(&message);
  DestroyWindow(static_cast<HWND>(window_));
}

bool CUiPost::Post(std::function<void()> f) {
  if (!window_) return false;
  std::function<void()>* copy = new std::function<void()>(std::move(f));
  if (PostMessageW(static_cast<HWND>(window_), kMsgRun, 0, reinterpret_cast<LPARAM>(copy))) return true;
  delete copy;
  return false;
}

bool CUiPost::Send(const std::function<void()>& f, u32 milliseconds) {
  if (!window_) return false;
  DWORD_PTR result = 0;
  return SendMessageTimeoutW(static_cast<HWND>(window_), kMsgCall, 0, reinterpret_cast<LPARAM>(&f), SMTO_NORMAL,
                             milliseconds, &result) &&
         result == 1;
}

bool CUiPost::Drain(u32 milliseconds) {
  HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (!done) return false;
  const bool posted = Post([done] { SetEvent(done); });
  const bool drained = posted && WaitForSingleObject(done, milliseconds) == WAIT_OBJECT_0;
  // Not drained: the posted work may still run and set the event, so it
  // stays open (a leak only on a failed case).
  if (drained || !posted) CloseHandle(done);
  return drained;
}
