#include "ui/support/real_window.h"

#include "runtime/clock.h"
#include "support/system_mouse.h"

bool PumpUntil(const std::function<bool()>& done, u32 milliseconds) {
  const DWORD start = GetTickCount();
  for (;;) {
    PumpPending();
    if (done()) return true;
    if (GetTickCount() - start > milliseconds) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

void PumpPending() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

u32 ScreenPixel(i32 x, i32 y) {
  HDC screen = GetDC(nullptr);
  COLORREF c = GetPixel(screen, x, y);
  ReleaseDC(nullptr, screen);
  return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

HWND PostMouseAsTheSystemWould(UINT message, WPARAM keys, Point desktop) {
  WorkAreaRect area;
  GetWorkArea(&area);
  const ScreenPoint screen = {desktop.x, area.bottom - desktop.y};
  return static_cast<HWND>(PostMouseAsTheSystemWould(GetCurrentThreadId(), message, keys, screen));
}

void PostClickAsTheSystemWould(Point desktop) {
  PostMouseAsTheSystemWould(WM_LBUTTONDOWN, MK_LBUTTON, desktop);
  PumpPending();  // the release goes where the handled press sends it
  PostMouseAsTheSystemWould(WM_LBUTTONUP, 0, desktop);
}

Point WidgetCentre(const CWidget& widget) {
  const Rect r = widget.ToWindowRect();
  return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

void CTestFrame::CreateControls() {
  const Rect r = {10, 10, 110, 34};
  button.textId = 0;
  button.click = BindCallback<CTestFrame, &CTestFrame::OnClicked>(this, this);
  button.Create(kButtonFlags, &r, this);
  probe.log = &log;
  const Rect p = {120, 10, 220, 34};
  probe.Create(0x20004, &p, this);
}

void CTestFrame::LayoutContent(i32, i32) {}

bool CTestFrame::OnDialogKey(u32 key) {
  if (key == VK_ESCAPE) PostMessageW(static_cast<HWND>(handle), WM_CLOSE, 0, 0);
  return true;
}

namespace {

void NoteArrived(void* owner, const wchar16* path) { static_cast<CTestFrame*>(owner)->arrived.push_back(path); }
void NoteRemoved(void* owner, const wchar16* path) { static_cast<CTestFrame*>(owner)->removed.push_back(path); }

}  // namespace

void CTestFrame::ListenToMedia() { media = {this, &NoteArrived, &NoteRemoved}; }
