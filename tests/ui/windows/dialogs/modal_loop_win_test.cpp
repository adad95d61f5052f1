#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <vector>
#include <thread>

#include "runtime/win.h"
#include "ui/support/real_window.h"
#include "ui/windows/dialogs/modal_runner.h"

namespace {

// A thread timer: the modal loop dispatches it, and it closes whatever
// window is the owner window then (the modal one).
uintptr_t g_ownerSeen = 0;
void CALLBACK CloseOwner(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  g_ownerSeen = GetOwnerWindow();
  PostMessageW(reinterpret_cast<HWND>(g_ownerSeen), WM_CLOSE, 0, 0);
}

// The client point of a widget's centre in its window (desktop y-up to the
// window system's client coordinates).
LPARAM CentreOf(const CWidget& widget, HWND window) {
  WorkAreaRect area;
  GetWorkArea(&area);
  const Rect r = widget.ToWindowRect();
  POINT p = {(r.left + r.right) / 2, area.bottom - (r.top + r.bottom) / 2};
  ScreenToClient(window, &p);
  return MAKELPARAM(p.x, p.y);
}

struct ModalLoop : testing::Test {
  void SetUp() override {
    ASSERT_TRUE(main.CreateAt(Rect{100, 100, 400, 300}, false));
    mainHwnd = static_cast<HWND>(main.Handle());
    PumpPending();
  }
  void TearDown() override {
    DestroyWindow(mainHwnd);
    PumpPending();
  }
  HWND OpenDialog(CTestFrame& dialog) {
    dialog.PlaceAndCreate(nullptr, nullptr);
    return static_cast<HWND>(dialog.Handle());
  }
  CTestFrame main;
  HWND mainHwnd = nullptr;
};

TEST_F(ModalLoop, DropsMouseInputForOtherWindowsRedirectsTheirKeysAndEndsOnItsClose) {
  CTestFrame dialog;
  HWND hwnd = OpenDialog(dialog);
  dialog.probe.SetFocus();
  main.probe.SetFocus();
  ASSERT_EQ(1u, dialog.log.size());
  EXPECT_EQ('f', dialog.log[0].kind) << "the dialog's probe hears that it lost the focus";
  dialog.log.clear();
  StoreFocusedWidget(&dialog.probe);
  const LPARAM onProbe = CentreOf(main.probe, mainHwnd);
  PostMessageW(mainHwnd, WM_LBUTTONDOWN, MK_LBUTTON, onProbe);
  PostMessageW(mainHwnd, WM_LBUTTONUP, 0, onProbe);
  PostMessageW(mainHwnd, WM_KEYDOWN, 'A', 1);
  PostMessageW(mainHwnd, WM_CHAR, 'b', 1);
  // The dialog's own pointer input is not dropped.
  const LPARAM onButton = CentreOf(dialog.button, hwnd);
  PostMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, onButton);
  PostMessageW(hwnd, WM_LBUTTONUP, 0, onButton);
  HWND other = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  PostMessageW(other, WM_CLOSE, 0, 0);  // another window's close does not end the loop
  SetTimer(nullptr, 0, 50, &CloseOwner);
  EXPECT_EQ(0u, RunModalLoop(hwnd));
  EXPECT_EQ(reinterpret_cast<uintptr_t>(hwnd), g_ownerSeen) << "the dialog owns new windows meanwhile";
  EXPECT_EQ(reinterpret_cast<uintptr_t>(mainHwnd), GetOwnerWindow()) << "restored";
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_TRUE(main.log.empty()) << "the click on the main window was dropped";
  ASSERT_FALSE(dialog.log.empty());
  EXPECT_TRUE(dialog.log[0].kind == 'k' && dialog.log[0].a == 'A') << "the key went to the dialog";
  bool typed = false;
  for (const ProbeEvent& e : dialog.log) typed |= e.kind == 'c' && e.a == 'b';
  EXPECT_TRUE(typed) << "and so did the character";
  EXPECT_EQ(1, dialog.clicks) << "a click on the dialog's own button counts";
  EXPECT_EQ(0, main.clicks);
  EXPECT_EQ(nullptr, FocusedWidget()) << "nothing of the dialog keeps the focus";
  EXPECT_FALSE(IsWindow(other));
}

TEST_F(ModalLoop, AQuitRequestEndsTheLoopAndIsHandedOnToTheLoopOutside) {
  CTestFrame dialog;
  HWND hwnd = OpenDialog(dialog);
  PostQuitMessage(7);
  RunModalLoop(hwnd);
  EXPECT_FALSE(IsWindow(hwnd));
  MSG message;
  ASSERT_TRUE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(7u, message.wParam);
}

// A dialog that refuses its first close (it must wait for something
// first): the loop goes on with the dialog open, and the next close ends it.
class CRefusingFrame : public CFrameWindow<CRefusingFrame> {
 public:
  static constexpr u32 kStyle = 0x6410;
  static constexpr i32 kMinTrackWidth = 100, kMinTrackHeight = 100;
  auto Children() { return std::tie(); }
  bool OnCloseQuery() { return ++closes == 1; }
  int closes = 0;
};

int g_closesSeenOpen = 0;
void CALLBACK CloseAgain(HWND, UINT, UINT_PTR id, DWORD) {
  HWND dialog = reinterpret_cast<HWND>(GetOwnerWindow());
  if (!IsWindow(dialog)) return;
  if (g_closesSeenOpen++ == 2) KillTimer(nullptr, id);
  PostMessageW(dialog, WM_CLOSE, 0, 0);
}

TEST_F(ModalLoop, ACloseTheDialogRefusesKeepsTheLoopRunning) {
  CRefusingFrame dialog;
  dialog.PlaceAndCreate(nullptr, nullptr);
  HWND hwnd = static_cast<HWND>(dialog.Handle());
  g_closesSeenOpen = 0;
  const UINT_PTR timer = SetTimer(nullptr, 0, 20, &CloseAgain);
  RunModalLoop(hwnd);
  KillTimer(nullptr, timer);
  EXPECT_EQ(2, dialog.closes) << "the refused close did not end the loop; the second one did";
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_EQ(reinterpret_cast<uintptr_t>(mainHwnd), GetOwnerWindow()) << "restored";
}

TEST_F(ModalLoop, ADialogDestroyedByASentCloseEndsTheLoopAtOnce) {
  CTestFrame dialog;
  HWND hwnd = OpenDialog(dialog);
  const DWORD loopThread = GetCurrentThreadId();
  std::atomic<bool> ended{false};
  std::thread closer([&] {
    Sleep(100);
    SendMessageW(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);  // DefWindowProcW sends WM_CLOSE
    for (int i = 0; i < 400 && !ended; ++i) Sleep(10);
    if (!ended) PostThreadMessageW(loopThread, WM_QUIT, 99, 0);  // the watchdog
  });
  const DWORD start = GetTickCount();
  RunModalLoop(hwnd);
  const DWORD elapsed = GetTickCount() - start;
  ended = true;
  closer.join();
  MSG message;
  PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
  EXPECT_LT(elapsed, 3500u) << "the loop noticed the window was gone";
  EXPECT_EQ(0u, RunModalLoop(nullptr)) << "a window that was never created";
}

// The focus is away while the dialog runs and comes back after it.
CWidget* g_focusInside = nullptr;
void CALLBACK NoteFocusAndCloseOwner(HWND window, UINT message, UINT_PTR id, DWORD time) {
  g_focusInside = FocusedWidget();
  CloseOwner(window, message, id, time);
}

TEST_F(ModalLoop, TheDialogRunnerLetsThePressGoAndTakesTheFocusAwayWhileItRuns) {
  main.probe.SetFocus();
  SetPressedWidget(&main.probe);
  g_focusInside = &main.probe;
  SetTimer(nullptr, 0, 50, &NoteFocusAndCloseOwner);
  CTestFrame dialog;
  EXPECT_EQ(0u, RunModalDialog(dialog, nullptr, nullptr));
  EXPECT_EQ(nullptr, g_focusInside);
  EXPECT_EQ(nullptr, PressedWidget());
  EXPECT_EQ(&main.probe, FocusedWidget()) << "given back";
  EXPECT_EQ(nullptr, GetCapture());
  StoreFocusedWidget(nullptr);
}

// A press held on a button of the window below when a dialog opens over it
// (a worker's question arriving under the pointer): the held button had
// the mouse capture, yet the dialog's own button, standing at the same
// place, takes the next click, and the button below neither fires nor
// stays hot or held.
std::vector<std::function<bool()>> g_steps;
void CALLBACK NextStep(HWND, UINT, UINT_PTR id, DWORD) {
  if (g_steps.empty()) return (void)KillTimer(nullptr, id);
  if (g_steps.front()()) g_steps.erase(g_steps.begin());
}
void CALLBACK GiveUp(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  PostMessageW(reinterpret_cast<HWND>(GetOwnerWindow()), WM_CLOSE, 0, 0);
}

TEST_F(ModalLoop, ADialogTakesTheMouseFromAButtonHeldBelowIt) {
  const LPARAM onButton = CentreOf(main.button, mainHwnd);
  SendMessageW(mainHwnd, WM_MOUSEMOVE, 0, onButton);
  SendMessageW(mainHwnd, WM_LBUTTONDOWN, MK_LBUTTON, onButton);
  ASSERT_EQ(&main.button, CaptureOwner());
  ASSERT_EQ(mainHwnd, GetCapture());
  CTestFrame dialog;
  const Rect size = {0, 0, main.width, main.height};
  const Point centre = {main.x + main.width / 2, main.y + main.height / 2};
  std::vector<HWND> targets;
  auto post = [&](UINT message, WPARAM keys) {
    return [&, message, keys] {
      targets.push_back(PostMouseAsTheSystemWould(message, keys, WidgetCentre(dialog.button)));
      return true;
    };
  };
  g_steps = {post(WM_MOUSEMOVE, 0), post(WM_LBUTTONDOWN, MK_LBUTTON), post(WM_LBUTTONUP, 0), [&] {
               if (dialog.clicks == 0) return false;
               PostMessageW(static_cast<HWND>(dialog.Handle()), WM_CLOSE, 0, 0);
               return true;
             }};
  SetTimer(nullptr, 0, 10, &NextStep);
  const UINT_PTR watchdog = SetTimer(nullptr, 0, 5000, &GiveUp);
  RunModalDialog(dialog, &size, &centre);
  KillTimer(nullptr, watchdog);
  g_steps.clear();
  ASSERT_EQ(3u, targets.size());
  const Rect below = main.button.ToWindowRect(), above = dialog.button.ToWindowRect();
  EXPECT_TRUE(below.left == above.left && below.top == above.top) << "the dialog's button covers the one below";
  for (HWND target : targets) EXPECT_NE(mainHwnd, target) << "the window below kept the capture";
  EXPECT_EQ(1, dialog.clicks) << "the dialog heard its click";
  EXPECT_EQ(0, main.clicks);
  EXPECT_EQ(0, main.button.state & (CButton<CTestFrame>::kHot | CButton<CTestFrame>::kHeld));
  EXPECT_EQ(nullptr, CaptureOwner());
  EXPECT_EQ(nullptr, GetCapture());
  // The release of the press that was held below no longer fires the button.
  SendMessageW(mainHwnd, WM_LBUTTONUP, 0, onButton);
  EXPECT_EQ(0, main.clicks);
}

}  // namespace
