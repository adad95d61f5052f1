// Real windows under Wine and Xvfb, for the tests where only a real window
// can tell: message pumping with a deadline, reading the screen back, and a
// small frame window with a button, a key probe and a media listener.
// Windows only.
#pragma once
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "ui/support/probe_widgets.h"
#include "ui/widgets/button.h"
#include "ui/windows/frame/frame_window.h"

// Dispatches the thread's messages until done() holds; false when the
// deadline (milliseconds) passed first.
bool PumpUntil(const std::function<bool()>& done, u32 milliseconds = 5000);
// Dispatches what is queued now.
void PumpPending();
// The screen's pixel at a screen point, 0x00RRGGBB.
u32 ScreenPixel(i32 x, i32 y);
// Posts one mouse message (WM_MOUSEMOVE, WM_LBUTTONDOWN ...) of this
// thread for a desktop point (y-up) where the window system would deliver
// it (support/system_mouse.h): to the window that holds the mouse capture,
// else to the window under the point, over its frame as the non-client
// message. The window it went to.
HWND PostMouseAsTheSystemWould(UINT message, WPARAM keys, Point desktop);
// The left button pressed and let go at a desktop point, both posted as
// PostMouseAsTheSystemWould posts them; the press is dispatched before the
// release is posted, so the release goes where the system would send it.
void PostClickAsTheSystemWould(Point desktop);
// The desktop centre of a widget's box.
Point WidgetCentre(const CWidget& widget);

// The pixels a window's surface holds over a desktop rectangle (y-up), row
// by row from the bottom; parts outside the surface are left out.
template <class TWindow>
std::vector<u32> SurfacePixelsOver(TWindow& window, const Rect& r) {
  CLockGuard hold(window.lock);
  const WindowMargins m = window.Margins();
  const CCanvas& c = window.Canvas();
  std::vector<u32> out;
  for (i32 y = r.top; y < r.bottom; ++y) {
    for (i32 x = r.left; x < r.right; ++x) {
      const i32 sx = x - window.x + m.left, sy = y - window.y + m.bottom;
      if (sx >= 0 && sx < c.width && sy >= 0 && sy < c.height) out.push_back(c.pixels[static_cast<size_t>(sy) * c.width + sx]);
    }
  }
  return out;
}

// A captioned, sizable dialog-like window: a push button, then a key probe
// (a Tab stop), in that routing order; Escape closes it.
class CTestFrame : public CFrameWindow<CTestFrame> {
 public:
  static constexpr u32 kStyle = 0x6670;
  static constexpr i32 kMinTrackWidth = 259;
  static constexpr i32 kMinTrackHeight = 199;

  auto Children() { return std::tie(button, probe); }
  void CreateControls();
  void LayoutContent(i32 width, i32 height);
  bool OnDialogKey(u32 key);
  void OnClicked() { ++clicks; }
  void ListenToMedia();

  CButton<CTestFrame> button;
  CProbe<CTestFrame> probe;
  ProbeLog log;
  int clicks = 0;
  std::vector<std::u16string> arrived, removed;
};
