// A person's steps on a real window, each as the system delivers it, and
// after each the look of a control compared with a fresh paint of the same
// state (fresh_paint.h). The pointer is the cursor seam: a move is sent only
// where it moves (onto a control, or away to a spot of the window that no
// control covers); a click is the press and the release where it rests.
// Keys are posted to the window with the key-state seam kept as a keyboard
// would keep it. Windows only.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "runtime/platform.h"
#include "runtime/win.h"
#include "ui/support/fresh_paint.h"
#include "ui/support/scripted_window_system.h"
#include "ui/widgets/focus.h"

enum class Act {
  kMoveOnto,  // the pointer moves onto `control`, just inside its left edge (a check box's box)
  kMoveAway,  // the pointer moves to the window's empty spot
  kClick,     // pressed and let go where the pointer rests
  kTabTo,     // Tab until `control` has the focus
  kTab,       // one Tab
  kSpace,     // Space pressed and let go
  kRun,       // a change the window makes by itself (`run`)
};

struct LookStep {
  const char* name;
  Act act;
  const CWidget* control;  // the control acted on; its look is compared after the step
  std::function<void()> run = nullptr;
};

namespace look_steps {

inline void MovePointer(CScriptedWindowSystem& seam, Point desktop) {
  WorkAreaRect area;
  GetWorkArea(&area);
  seam.SetCursor(desktop.x, area.bottom - desktop.y);
  PostMouseAsTheSystemWould(WM_MOUSEMOVE, 0, desktop);
}

inline void Key(CScriptedWindowSystem& seam, void* window, u32 key) {
  seam.SetKeyDown(static_cast<i32>(key), true);
  PostMessageW(static_cast<HWND>(window), WM_KEYDOWN, key, 1);
  PumpPending();
  seam.SetKeyDown(static_cast<i32>(key), false);
  PostMessageW(static_cast<HWND>(window), WM_KEYUP, key, 0xC0000001u);
  PumpPending();
}

}  // namespace look_steps

// A desktop point dx, dy from the lower left of a window's content.
template <class TWindow>
Point ContentPoint(TWindow& window, i32 dx, i32 dy) {
  const Rect c = window.GetContentRect();
  return {window.x + c.left + dx, window.y + c.top + dy};
}

// Runs the steps on `window`; `away` is a desktop point of the window where
// no control lies. Each step's control must look as a fresh paint of the
// window shows it.
template <class TWindow>
void ExpectLooksAsPaintedFresh(TWindow& window, CScriptedWindowSystem& seam, Point away,
                               const std::vector<LookStep>& steps) {
  Point pointer = away;
  for (const LookStep& s : steps) {
    SCOPED_TRACE(s.name);
    switch (s.act) {
      case Act::kMoveOnto: {
        const Rect r = s.control->ToWindowRect();
        pointer = {r.left + 6, (r.top + r.bottom) / 2};
        look_steps::MovePointer(seam, pointer);
        break;
      }
      case Act::kMoveAway:
        pointer = away;
        look_steps::MovePointer(seam, pointer);
        break;
      case Act::kClick:
        PostClickAsTheSystemWould(pointer);
        break;
      case Act::kTabTo:
        for (int i = 0; i < 24 && FocusedWidget() != s.control; ++i) look_steps::Key(seam, window.Handle(), VK_TAB);
        ASSERT_EQ(s.control, FocusedWidget());
        break;
      case Act::kTab:
        look_steps::Key(seam, window.Handle(), VK_TAB);
        break;
      case Act::kSpace:
        look_steps::Key(seam, window.Handle(), VK_SPACE);
        break;
      case Act::kRun:  // it delivers what it needs itself (one fade step is one tick)
        s.run();
        break;
    }
    if (s.act != Act::kRun) PumpPending();
    EXPECT_TRUE(LooksAsPaintedFresh(window, *s.control));
  }
}
