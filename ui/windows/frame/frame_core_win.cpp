#include "render/shadow_generator.h"
#include "runtime/platform.h"
#include "runtime/win.h"

#include <dbt.h>
#include "ui/windows/frame/frame_core.h"
#include "ui/windows/theme/theme_painter.h"

i32 WorkAreaBottom() {
  WorkAreaRect area;
  GetWorkArea(&area);
  return area.bottom;
}

CFrameCore::CFrameCore() {
  x = kNotPlaced;
  y = kNotPlaced;
  AttachThemeState(&surface.canvas, &themeState);
}

CFrameCore::~CFrameCore() {
  CLockGuard hold(lock);
  surface.Free();
}

bool CFrameCore::OnOwnThread() const {
  return handle && GetWindowThreadProcessId(static_cast<HWND>(handle), nullptr) == GetCurrentThreadId();
}

bool CFrameCore::ResizeSurface(i32 surfaceWidth, i32 surfaceHeight) {
  if (surfaceWidth <= 0 || surfaceHeight <= 0) return false;
  CLockGuard hold(lock);
  return surface.Resize(surfaceWidth, surfaceHeight);
}

void CFrameCore::FreeSurface() {
  CLockGuard hold(lock);
  surface.Free();
}

void CFrameCore::Present() {
  if (!handle) return;
  if (!OnOwnThread()) {
    // Painted already: what the window's thread pushes is the newest
    // surface, so one posted present covers every paint before it runs.
    if (!presentPosted.exchange(true) && !PostMessageW(static_cast<HWND>(handle), kMessagePresent, 0, 0))
      presentPosted = false;
    return;
  }
  CLockGuard hold(lock);
  if (!surface.HasPixels() || !IsPlaced()) return;
  const WindowMargins m = Margins();
  // A surface not yet grown to a new size is not pushed: the resize that
  // follows presents it.
  if (width + m.total > surface.Width() || height + m.total > surface.Rows()) return;
  surface.Present(handle, ComputePresent(x, y, width, height, m, surface.Rows(), WorkAreaBottom()));
}

void CFrameCore::PresentIfVisible() {
  if ((flags & kFlagVisible) && !(flags & kFlagMinimized)) Present();
}

void CFrameCore::OnPostedPresent() {
  // The present waits for a timer, which the system delivers only once no
  // input or posted message is waiting: a painter faster than the screen
  // then costs one present per tick instead of the whole thread, and never
  // holds up the keys and the pointer. Until it runs, further paints add
  // nothing to the queue.
  if (!SetTimer(static_cast<HWND>(handle), kTimerPresent, USER_TIMER_MINIMUM, nullptr)) OnPresentTimer();
}

void CFrameCore::OnPresentTimer() {
  KillTimer(static_cast<HWND>(handle), kTimerPresent);
  // Cleared first: a paint from now on posts again.
  presentPosted = false;
  PresentIfVisible();
}

void CFrameCore::RedrawCaption(bool present) {
  if (!IsPlaced() || !IsVisible()) return;
  CLockGuard hold(lock);
  if (!surface.HasPixels()) return;
  CCanvas& canvas = Canvas();
  const WindowMargins m = Margins();
  canvas.Reset();
  Rect caption;
  ThemePainter()->GetCaptionRect(&caption, width, height, flags);
  if (canvas.SetClipRect(caption.left + m.left, caption.top + m.bottom, caption.right + m.left,
                         caption.bottom + m.bottom)) {
    canvas.list.RecordFill(0);
    CShadowGenerator* shadow = smallMargins ? GetPopupShadow() : GetWindowShadow();
    if (m.total && shadow) shadow->DrawAt(&canvas, Rect{0, 0, width + m.total, height + m.total});
    canvas.originX += m.left;
    canvas.originY += m.bottom;
    ThemePainter()->DrawCaption(&canvas, width, height, flags, hotButton);
    canvas.list.Flush(FlushBands());
  }
  if (present) PresentIfVisible();
}

void CFrameCore::OnDeviceChange(u32 event, const void* header) {
  if (!media.owner || !header) return;
  const DEV_BROADCAST_HDR* hdr = static_cast<const DEV_BROADCAST_HDR*>(header);
  if (hdr->dbch_devicetype != DBT_DEVTYP_VOLUME || hdr->dbch_size < sizeof(DEV_BROADCAST_VOLUME)) return;
  const DEV_BROADCAST_VOLUME* volume = static_cast<const DEV_BROADCAST_VOLUME*>(header);
  const u32 letters = MediaChangeLetters(event, hdr->dbch_devicetype, volume->dbcv_unitmask, volume->dbcv_flags);
  auto notify = event == kDeviceArrival ? media.arrived : media.removed;
  if (!notify) return;
  for (u32 i = 0; i < 26; ++i) {
    if (!(letters & (1u << i))) continue;
    wchar16 path[] = u"\\\\.\\A:";
    path[4] = static_cast<wchar16>(u'A' + i);
    notify(media.owner, path);
  }
}

void CFrameCore::SetSystemPlacement(u32 showCommand, const WindowRect& r) {
  if (!handle) return;
  WINDOWPLACEMENT placement;
  ZeroMemory(&placement, sizeof placement);
  placement.length = sizeof placement;
  if (!GetWindowPlacement(static_cast<HWND>(handle), &placement)) return;
  placement.showCmd = showCommand;
  // The system keeps the outer rectangle of the normal state: the shadow
  // margins count even while the window is maximised.
  const Rect outer = SurfaceScreenRect(r.x, r.y, r.width, r.height, MarginsFor(smallMargins, 0), WorkAreaBottom());
  placement.rcNormalPosition = {outer.left, outer.top, outer.right, outer.bottom};
  SetWindowPlacement(static_cast<HWND>(handle), &placement);
}
