#include <gtest/gtest.h>

#include <thread>

#include "runtime/win.h"
#include "ui/support/real_window.h"
#include "ui/support/recording_theme_painter.h"
#include "ui/support/scripted_window_system.h"
#include "ui/windows/theme/theme_metrics.h"

#include <dbt.h>

namespace {

constexpr i32 kWidth = 300, kHeight = 200;

struct FrameWindow : testing::Test {
  void SetUp() override {
    WorkAreaRect area;
    GetWorkArea(&area);
    workBottom = area.bottom;
    ASSERT_TRUE(frame.CreateAt(Rect{200, 300, 200 + kWidth, 300 + kHeight}, false));
    hwnd = static_cast<HWND>(frame.Handle());
    PumpPending();
  }
  void TearDown() override {
    if (IsWindow(hwnd)) DestroyWindow(hwnd);
    PumpPending();
    StoreFocusedWidget(nullptr);
    StorePendingFocus(nullptr, nullptr);
  }
  // A client point of the window from a desktop point, packed for lParam.
  LPARAM Client(i32 x, i32 y) {
    POINT p = {x, workBottom - y};
    ScreenToClient(hwnd, &p);
    return MAKELPARAM(p.x, p.y);
  }
  LPARAM Screen(i32 x, i32 y) { return MAKELPARAM(x, workBottom - y); }
  // Desktop point of the caption button with this hit code.
  Point CaptionPoint(i32 hit) {
    const i32 right = frame.x + frame.width - 5;
    const i32 x = hit == kHitClose ? right - 20 : hit == kHitMaximize ? right - 54 : right - 78;
    return {x, frame.y + frame.height - 8};
  }
  // The window itself takes the focus by Tab while the pointer rests at a
  // desktop point: true when its close button shows the keyboard light.
  bool LightCloseByTab(Point pointer) {
    system.SetCursor(pointer.x, workBottom - pointer.y);
    StoreFocusedWidget(&frame.probe);
    SendMessageW(hwnd, WM_KEYDOWN, VK_TAB, 1);
    return FocusedWidget() == &frame && frame.hotButton == kCaptionClose;
  }
  void ClickCaption(i32 hit) {
    const Point p = CaptionPoint(hit);
    SendMessageW(hwnd, WM_NCMOUSEMOVE, hit, Screen(p.x, p.y));
    SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, Client(p.x, p.y));
    SendMessageW(hwnd, WM_LBUTTONUP, 0, Client(p.x, p.y));
    PumpPending();
  }
  CScriptedWindowSystem system;
  CTestFrame frame;
  HWND hwnd = nullptr;
  i32 workBottom = 0;
};

TEST_F(FrameWindow, TheSurfaceIsPresentedWithItsShadowMarginAroundTheContent) {
  const std::vector<PresentRecord> presents = system.Presents();
  ASSERT_FALSE(presents.empty());
  const LayeredPresent& last = presents.back().present;
  EXPECT_EQ(kWidth + 19, last.width);
  EXPECT_EQ(kHeight + 19, last.height);
  EXPECT_EQ(200 - 9, last.destX);
  EXPECT_EQ(workBottom - 300 - kHeight - 9, last.destY);
  EXPECT_EQ(0u, system.InvalidPresents());
  RECT r;
  GetWindowRect(hwnd, &r);
  EXPECT_TRUE(r.left == 191 && r.right - r.left == kWidth + 19 && r.bottom - r.top == kHeight + 19);
}

// Read back from the screen (the X server without a compositing manager
// composites a layered window over black): every pixel is weighted by its
// own alpha: transparent content reads black, the opaque border line its
// colour, the translucent frame its colour times its alpha.
TEST_F(FrameWindow, PerPixelAlphaWeightsEveryPixelByItsOwnAlpha) {
  frame.Repaint();
  const i32 row = workBottom - 300 - kHeight / 2;
  // The X server shows the window when it gets to it.
  EXPECT_TRUE(PumpUntil([&] { return ScreenPixel(205, row) == (ThemeAccentColor() & 0xFFFFFF); }))
      << "the opaque border line";
  EXPECT_EQ(0u, ScreenPixel(200 + kWidth / 2, row)) << "unfilled content is transparent";
  const u32 ring = ScreenPixel(202, row);  // the frame in the theme's tint, alpha 0xC8
  for (int shift = 0; shift <= 16; shift += 8) {
    const i32 expected = static_cast<i32>(((ThemeTintColor() >> shift) & 0xFF) * 0xC8 / 255);
    EXPECT_NEAR(expected, static_cast<i32>((ring >> shift) & 0xFF), 2) << std::hex << ring;
  }
}

TEST_F(FrameWindow, TheCaptionClickStateMachineClosesOnlyOnAReleaseOverThePressedButton) {
  const Point close = CaptionPoint(kHitClose);
  SendMessageW(hwnd, WM_NCMOUSEMOVE, kHitClose, Screen(close.x, close.y));
  EXPECT_EQ(kCaptionClose, frame.hotButton);
  EXPECT_EQ(&frame, CaptureOwner()) << "the window tracks the button itself";
  EXPECT_EQ(hwnd, GetCapture());
  SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, Client(close.x, close.y));
  EXPECT_EQ(kCaptionClose, frame.pressedButton);
  // Off the button into the client area, released there: nothing closes.
  SendMessageW(hwnd, WM_MOUSEMOVE, MK_LBUTTON, Client(frame.x + 150, frame.y + 50));
  SendMessageW(hwnd, WM_LBUTTONUP, 0, Client(frame.x + 150, frame.y + 50));
  PumpPending();
  EXPECT_TRUE(IsWindow(hwnd));
  EXPECT_EQ(kCaptionNone, frame.hotButton);
  EXPECT_EQ(nullptr, CaptureOwner());
  EXPECT_EQ(nullptr, GetCapture()) << "the capture is released with the hot state";
  // Leaving the button through the non-client area, or Escape, ends the
  // highlight together with the window's hold on the mouse; Enter acts on
  // a highlight only while the window itself has the focus.
  SendMessageW(hwnd, WM_NCMOUSEMOVE, kHitClose, Screen(close.x, close.y));
  SendMessageW(hwnd, WM_NCMOUSEMOVE, kHitCaption, Screen(close.x - 100, close.y));
  EXPECT_TRUE(frame.hotButton == kCaptionNone && !CaptureOwner() && !GetCapture());
  SendMessageW(hwnd, WM_NCMOUSEMOVE, kHitClose, Screen(close.x, close.y));
  frame.button.SetFocus();
  SendMessageW(hwnd, WM_KEYUP, VK_RETURN, 0);
  PumpPending();
  EXPECT_TRUE(IsWindow(hwnd)) << "Enter in a child does not press the hovered close button";
  SendMessageW(hwnd, WM_KEYUP, VK_ESCAPE, 0);
  EXPECT_TRUE(frame.hotButton == kCaptionNone && !CaptureOwner());
  ClickCaption(kHitClose);
  EXPECT_TRUE(PumpUntil([&] { return !IsWindow(hwnd); }));
}

// A press that starts on one caption button and ends on another does
// nothing, whichever the two; back on the pressed button before the release
// it acts.
TEST_F(FrameWindow, ACaptionPressEndingOnAnotherButtonDoesNothing) {
  const i32 hits[] = {kHitClose, kHitMaximize, kHitMinimize};
  for (const i32 from : hits)
    for (const i32 to : hits) {
      if (from == to) continue;
      SCOPED_TRACE(testing::Message() << from << " to " << to);
      const Point a = CaptionPoint(from), b = CaptionPoint(to);
      SendMessageW(hwnd, WM_NCMOUSEMOVE, from, Screen(a.x, a.y));
      SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, Client(a.x, a.y));
      EXPECT_EQ(CaptionButtonOfHit(from), frame.pressedButton);
      SendMessageW(hwnd, WM_MOUSEMOVE, MK_LBUTTON, Client(b.x, b.y));
      EXPECT_EQ(CaptionButtonOfHit(to), frame.hotButton) << "the other button lights";
      EXPECT_EQ(CaptionButtonOfHit(from), frame.pressedButton) << "the pressed one stays pressed";
      EXPECT_EQ(hwnd, GetCapture());
      SendMessageW(hwnd, WM_LBUTTONUP, 0, Client(b.x, b.y));
      PumpPending();
      ASSERT_TRUE(IsWindow(hwnd));
      EXPECT_TRUE(frame.hotButton == kCaptionNone && frame.pressedButton == kCaptionNone);
      EXPECT_TRUE(!CaptureOwner() && !GetCapture()) << "the hold on the mouse ends";
      EXPECT_FALSE(frame.flags & (kFlagMaximized | kFlagMinimized));
      EXPECT_TRUE(frame.IsVisible() && frame.x == 200 && frame.y == 300 && frame.width == kWidth);
      EXPECT_EQ(0, frame.clicks);
    }
  // Away to the close button and back: the maximise button acts, and the
  // restore the other way round.
  for (const bool maximised : {false, true}) {
    const Point a = CaptionPoint(kHitMaximize), b = CaptionPoint(kHitClose);
    SendMessageW(hwnd, WM_NCMOUSEMOVE, kHitMaximize, Screen(a.x, a.y));
    SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, Client(a.x, a.y));
    SendMessageW(hwnd, WM_MOUSEMOVE, MK_LBUTTON, Client(b.x, b.y));
    SendMessageW(hwnd, WM_MOUSEMOVE, MK_LBUTTON, Client(a.x, a.y));
    SendMessageW(hwnd, WM_LBUTTONUP, 0, Client(a.x, a.y));
    PumpPending();
    ASSERT_TRUE(IsWindow(hwnd));
    EXPECT_EQ(!maximised, (frame.flags & kFlagMaximized) != 0) << maximised;
    EXPECT_TRUE(frame.hotButton == kCaptionNone && frame.pressedButton == kCaptionNone && !CaptureOwner());
  }
  EXPECT_TRUE(frame.x == 200 && frame.y == 300 && frame.width == kWidth && frame.height == kHeight);
}

// Each change of the hot caption button redraws the caption-button area
// alone, with that button's look, at the content's place in the surface:
// inside the shadow margins, or at the corner when maximised.
TEST_F(FrameWindow, TheCaptionIsRedrawnWithTheHotButtonAtTheContentsPlace) {
  CRecordingThemePainter theme;
  auto lastCaption = [&]() {
    const std::vector<ThemeCall> calls = theme.CallsOf('c');
    return calls.empty() ? ThemeCall{} : calls.back();
  };
  const struct {
    i32 hit;
    i32 state;
  } walk[] = {{kHitMinimize, kCaptionMinimize}, {kHitMaximize, kCaptionMaximize}, {kHitClose, kCaptionClose},
              {kHitMaximize, kCaptionMaximize}, {kHitCaption, kCaptionNone}};
  for (const auto& step : walk) {
    theme.calls.clear();
    const Point p = step.hit == kHitCaption ? Point{frame.x + 100, frame.y + kHeight - 8} : CaptionPoint(step.hit);
    SendMessageW(hwnd, WM_NCMOUSEMOVE, step.hit, Screen(p.x, p.y));
    SCOPED_TRACE(step.hit);
    ASSERT_EQ(1u, theme.CallsOf('c').size()) << "one redraw per change";
    EXPECT_TRUE(theme.CallsOf('f').empty()) << "the caption only";
    const ThemeCall c = lastCaption();
    EXPECT_EQ(step.state, c.state);
    EXPECT_TRUE(c.width == kWidth && c.height == kHeight && c.style == frame.flags);
    EXPECT_TRUE(c.originX == 9 && c.originY == 10) << c.originX << "," << c.originY;
    EXPECT_TRUE(c.clip.left == 203 && c.clip.top == 180 && c.clip.right == 297 && c.clip.bottom == 199)
        << c.clip.left << "," << c.clip.top << "," << c.clip.right << "," << c.clip.bottom;
  }
  theme.calls.clear();
  SendMessageW(hwnd, WM_NCMOUSEMOVE, kHitCaption, Screen(frame.x + 100, frame.y + kHeight - 8));
  EXPECT_TRUE(theme.CallsOf('c').empty()) << "nothing hot, nothing to redraw";
  // Pressed on the minimise button and moved onto the maximise button: only
  // the button under the pointer looks hot.
  const Point from = CaptionPoint(kHitMinimize), to = CaptionPoint(kHitMaximize);
  SendMessageW(hwnd, WM_NCMOUSEMOVE, kHitMinimize, Screen(from.x, from.y));
  SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, Client(from.x, from.y));
  SendMessageW(hwnd, WM_MOUSEMOVE, MK_LBUTTON, Client(to.x, to.y));
  EXPECT_EQ(kCaptionMaximize, lastCaption().state);
  theme.calls.clear();
  SendMessageW(hwnd, WM_LBUTTONUP, 0, Client(to.x, to.y));
  EXPECT_EQ(kCaptionNone, lastCaption().state) << "the release elsewhere redraws the caption unlit";
  frame.Maximize();
  theme.calls.clear();
  const Point max = CaptionPoint(kHitMaximize);
  SendMessageW(hwnd, WM_NCMOUSEMOVE, kHitMaximize, Screen(max.x, max.y));
  const ThemeCall c = lastCaption();
  EXPECT_TRUE(c.state == kCaptionMaximize && (c.style & kFlagMaximized));
  EXPECT_TRUE(c.originX == 0 && c.originY == 0) << "no margins: " << c.originX << "," << c.originY;
  EXPECT_TRUE(c.clip.left == frame.width - 97 && c.clip.bottom == frame.height - 1);
  SendMessageW(hwnd, WM_KEYUP, VK_ESCAPE, 0);
}

// A window whose own record takes Left and Right on its caption buttons
// (as the main window does), with the buttons its style gives.
template <u32 Style>
class CArrowKeyFrame : public CFrameWindow<CArrowKeyFrame<Style>> {
 public:
  static constexpr u32 kStyle = Style;
  static constexpr bool kCaptionArrowKeys = true;
  static constexpr i32 kMinTrackWidth = 259;
  static constexpr i32 kMinTrackHeight = 199;
  auto Children() { return std::tie(); }
};

template <u32 Style>
void WalkCaptionKeys(const std::vector<std::pair<u32, i32>>& walk) {
  CArrowKeyFrame<Style> frame;
  ASSERT_TRUE(frame.CreateAt(Rect{200, 300, 500, 500}, false));
  const HWND hwnd = static_cast<HWND>(frame.Handle());
  StoreFocusedWidget(&frame);
  i32 step = 0;
  for (const auto& [key, hot] : walk) {
    SendMessageW(hwnd, WM_KEYDOWN, key, 0);
    EXPECT_EQ(hot, frame.hotButton) << "step " << step << " key " << key;
    EXPECT_EQ(kCaptionNone, frame.pressedButton);
    ++step;
  }
  StoreFocusedWidget(nullptr);
  DestroyWindow(hwnd);
  PumpPending();
}

// Left and Right move the highlight both ways round the buttons present,
// wrapping at either end; from no highlight Left takes the last button and
// Right the first.
TEST_F(FrameWindow, LeftAndRightWalkTheCaptionButtonsBothWays) {
  const i32 mn = kCaptionMinimize, mx = kCaptionMaximize, cl = kCaptionClose;
  WalkCaptionKeys<0x6670>({{VK_RIGHT, mn}, {VK_RIGHT, mx}, {VK_RIGHT, cl}, {VK_RIGHT, mn},
                           {VK_LEFT, cl}, {VK_LEFT, mx}, {VK_LEFT, mn}, {VK_LEFT, cl}, {VK_UP, cl}});
  WalkCaptionKeys<0x6670>({{VK_LEFT, cl}, {VK_LEFT, mx}, {VK_RIGHT, cl}});
  WalkCaptionKeys<0x6650>({{VK_RIGHT, mn}, {VK_RIGHT, cl}, {VK_RIGHT, mn}, {VK_LEFT, cl}, {VK_LEFT, mn}});
  WalkCaptionKeys<0x6630>({{VK_LEFT, cl}, {VK_LEFT, mx}, {VK_LEFT, cl}, {VK_RIGHT, mx}});
  WalkCaptionKeys<0x6610>({{VK_RIGHT, cl}, {VK_LEFT, cl}});
}

TEST_F(FrameWindow, MinimiseMaximiseAndRestoreKeepTheirOwnRectangles) {
  WorkAreaRect area;
  GetWorkArea(&area);
  ClickCaption(kHitMaximize);
  EXPECT_TRUE(frame.flags & kFlagMaximized);
  EXPECT_TRUE(frame.x == 0 && frame.y == 0 && frame.width == area.right - area.left);
  EXPECT_EQ(frame.width, system.Presents().back().present.width) << "no shadow margin";
  ClickCaption(kHitMinimize);  // minimised while maximised
  EXPECT_TRUE(frame.flags & kFlagMinimized);
  EXPECT_FALSE(frame.IsVisible());
  EXPECT_FALSE(frame.surface.HasPixels()) << "the surface is freed";
  WINDOWPLACEMENT placement = {};
  placement.length = sizeof placement;
  ASSERT_TRUE(GetWindowPlacement(hwnd, &placement));
  EXPECT_EQ(area.right - area.left + 19, placement.rcNormalPosition.right - placement.rcNormalPosition.left)
      << "the placement counts the shadow margins whatever the state";
  SendMessageW(hwnd, WM_SYSCOMMAND, SC_RESTORE, 0);
  EXPECT_TRUE((frame.flags & kFlagMaximized) && frame.IsVisible() && frame.surface.HasPixels());
  EXPECT_EQ(area.right - area.left, frame.width) << "back maximised";
  ClickCaption(kHitMaximize);  // restore
  EXPECT_FALSE(frame.flags & kFlagMaximized);
  EXPECT_TRUE(frame.x == 200 && frame.y == 300 && frame.width == kWidth && frame.height == kHeight)
      << "the size before maximising, not the one a minimise saw";
  EXPECT_EQ(kWidth + 19, system.Presents().back().present.width);
  // The system menu's commands go through the same state changes.
  SendMessageW(hwnd, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  EXPECT_TRUE(frame.flags & kFlagMaximized);
  SendMessageW(hwnd, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_TRUE(frame.flags & kFlagMinimized);
  SendMessageW(hwnd, WM_SYSCOMMAND, SC_RESTORE, 0);
  SendMessageW(hwnd, WM_SYSCOMMAND, SC_RESTORE, 0);
  EXPECT_TRUE(frame.x == 200 && frame.width == kWidth && !(frame.flags & (kFlagMaximized | kFlagMinimized)));
  EXPECT_EQ(0u, system.InvalidPresents());
}

// A second maximise (the system menu's, while the window is maximised
// already) keeps the rectangle to restore to; each restore goes back one
// state only, with the margins of the state it reaches.
TEST_F(FrameWindow, ASecondMaximiseKeepsTheRectangleToRestoreTo) {
  WorkAreaRect area;
  GetWorkArea(&area);
  SendMessageW(hwnd, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  SendMessageW(hwnd, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  EXPECT_TRUE(frame.x == 0 && frame.y == 0 && frame.width == area.right - area.left &&
              frame.height == area.bottom - area.top);
  SendMessageW(hwnd, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  SendMessageW(hwnd, WM_SYSCOMMAND, SC_RESTORE, 0);
  EXPECT_TRUE((frame.flags & kFlagMaximized) && !(frame.flags & kFlagMinimized));
  EXPECT_EQ(area.right - area.left, system.Presents().back().present.width) << "maximised: no margins";
  SendMessageW(hwnd, WM_SYSCOMMAND, SC_RESTORE, 0);
  EXPECT_FALSE(frame.flags & (kFlagMaximized | kFlagMinimized));
  EXPECT_TRUE(frame.x == 200 && frame.y == 300 && frame.width == kWidth && frame.height == kHeight)
      << frame.x << "," << frame.y << " " << frame.width << "x" << frame.height;
  const LayeredPresent& last = system.Presents().back().present;
  EXPECT_TRUE(last.width == kWidth + 19 && last.destX == 200 - 9 && last.destY == workBottom - 300 - kHeight - 9);
  SetWindowPos(hwnd, nullptr, 100, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  SendMessageW(hwnd, WM_SYSCOMMAND, SC_RESTORE, 0);
  EXPECT_TRUE(frame.x == 109 && frame.width == kWidth) << "a restore of a normal window changes nothing";
}

TEST_F(FrameWindow, FocusTakenByAnotherWindowsWidgetReachesTheWidgetThatHeldIt) {
  frame.probe.SetFocus();
  CTestFrame dialog;
  ASSERT_TRUE(dialog.CreateAt(Rect{600, 300, 600 + kWidth, 300 + kHeight}, false));
  PumpPending();
  frame.log.clear();
  dialog.button.SetFocus();  // a dialog focusing its default button
  EXPECT_EQ(&dialog.button, FocusedWidget());
  ASSERT_EQ(1u, frame.log.size()) << "the probe of the first window is told";
  EXPECT_TRUE(frame.log[0].widget == &frame.probe && frame.log[0].kind == 'f');
  frame.probe.SetFocus();  // and back: the dialog's button is told through its own window
  EXPECT_EQ(&frame.probe, FocusedWidget());
  frame.log.clear();
  dialog.SetFocusedWidget(nullptr);  // a modal runner taking the focus away
  ASSERT_EQ(1u, frame.log.size());
  EXPECT_EQ('f', frame.log[0].kind) << "the focus given to nothing is lost too";
  DestroyWindow(static_cast<HWND>(dialog.Handle()));
  PumpPending();
  frame.log.clear();
  frame.probe.SetFocus();
  EXPECT_TRUE(frame.log.empty()) << "a window that is gone is told nothing";
}

// The drop shadow around a sizable window is no part of it: a point in the
// margin is nowhere, sizes nothing and leaves the cursor to the widget that
// set it; the 5-pixel border inside the rectangle still sizes.
TEST_F(FrameWindow, TheShadowMarginIsNowhereAndOnlyTheBorderSizes) {
  const i32 left = frame.x, bottom = frame.y, right = frame.x + kWidth, top = frame.y + kHeight;
  const struct {
    i32 x, y, code;
  } cases[] = {// The margin: 9 pixels left and above, 10 right and below.
               {left - 1, bottom + 100, HTNOWHERE},     {left - 9, bottom + 100, HTNOWHERE},
               {right, bottom + 100, HTNOWHERE},        {right + 9, bottom + 100, HTNOWHERE},
               {left + 150, bottom - 1, HTNOWHERE},     {left + 150, bottom - 10, HTNOWHERE},
               {left + 150, top, HTNOWHERE},            {left + 150, top + 8, HTNOWHERE},
               {left - 3, top + 3, HTNOWHERE},          {right + 3, bottom - 3, HTNOWHERE},
               {left - 1, bottom, HTNOWHERE},           {right, top - 1, HTNOWHERE},
               // Beyond it too.
               {left - 10, bottom + 100, HTNOWHERE},    {right + 10, bottom + 100, HTNOWHERE},
               // The border's own pixels, first and last rows and columns.
               {left, bottom + 100, HTLEFT},            {left + 4, bottom + 100, HTLEFT},
               {right - 1, bottom + 100, HTRIGHT},      {left + 150, bottom, HTBOTTOM},
               {left + 150, top - 1, HTTOP},            {left, bottom, HTBOTTOMLEFT},
               {right - 1, top - 1, HTTOPRIGHT},        {left + 5, bottom + 100, HTCLIENT}};
  for (const auto& c : cases) {
    SetCursorOwner(&frame.probe, kCursorHand, true);
    EXPECT_EQ(c.code, SendMessageW(hwnd, WM_NCHITTEST, 0, Screen(c.x, c.y))) << c.x - left << "," << c.y - bottom;
    EXPECT_EQ(c.code == HTNOWHERE || c.code == HTCLIENT ? &frame.probe : nullptr, CursorOwner())
        << "cursor at " << c.x - left << "," << c.y - bottom;
  }
  frame.Maximize();
  EXPECT_EQ(HTNOWHERE, frame.OnNcHitTest(Point{frame.x - 3, frame.y + 100})) << "maximised: no margin";
  ForgetCursorOwner(&frame.probe);
}

// Without a window manager a minimised window stays on the screen: a press
// on it brings it back, and where the system parks it is never taken as
// its place.
TEST_F(FrameWindow, AMinimisedWindowStillPressedComesBackAndKeepsItsPlace) {
  ClickCaption(kHitMinimize);
  ASSERT_TRUE(frame.flags & kFlagMinimized);
  SetWindowPos(hwnd, nullptr, -32000, -32000, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_TRUE(frame.x == 200 && frame.y == 300) << "the parking place is not the window's place";
  SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, Client(250, 350));
  SendMessageW(hwnd, WM_LBUTTONUP, 0, Client(250, 350));
  EXPECT_FALSE(frame.flags & kFlagMinimized);
  EXPECT_TRUE(frame.IsVisible() && frame.surface.HasPixels()) << "back, with input alive";
  EXPECT_TRUE(frame.x == 200 && frame.y == 300 && frame.width == kWidth);
}

TEST_F(FrameWindow, MovesAndSizesByTheSystemUseTheMarginsOfTheCurrentState) {
  SetWindowPos(hwnd, nullptr, 100, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(109, frame.x);
  EXPECT_EQ(workBottom - 100 - 9 - kHeight, frame.y);
  SetWindowPos(hwnd, nullptr, 0, 0, 400 + 19, 250 + 19, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_TRUE(frame.width == 400 && frame.height == 250);
  EXPECT_EQ(workBottom - 100 - 9 - 250, frame.y) << "the top edge stays";
  frame.Maximize();
  SetWindowPos(hwnd, nullptr, 0, 0, 500, 300, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_TRUE(frame.width == 500 && frame.height == 300) << "no margins while maximised";
}

TEST_F(FrameWindow, VolumeNotificationsReachTheListenerOncePerMediaLetter) {
  frame.ListenToMedia();
  DEV_BROADCAST_VOLUME volume;
  ZeroMemory(&volume, sizeof volume);
  volume.dbcv_size = sizeof volume;
  volume.dbcv_devicetype = DBT_DEVTYP_VOLUME;
  volume.dbcv_unitmask = (1u << 3) | (1u << 5);  // D and F
  volume.dbcv_flags = 0;
  SendMessageW(hwnd, WM_DEVICECHANGE, DBT_DEVICEARRIVAL, reinterpret_cast<LPARAM>(&volume));
  EXPECT_TRUE(frame.arrived.empty()) << "a drive letter appearing is no media change";
  volume.dbcv_flags = DBTF_MEDIA;
  SendMessageW(hwnd, WM_DEVICECHANGE, DBT_DEVICEARRIVAL, reinterpret_cast<LPARAM>(&volume));
  SendMessageW(hwnd, WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE, reinterpret_cast<LPARAM>(&volume));
  SendMessageW(hwnd, WM_DEVICECHANGE, DBT_DEVICEQUERYREMOVE, reinterpret_cast<LPARAM>(&volume));
  const std::vector<std::u16string> expected = {u"\\\\.\\D:", u"\\\\.\\F:"};
  EXPECT_EQ(expected, frame.arrived);
  EXPECT_EQ(expected, frame.removed);
}

// The window itself takes the focus (its close button lit as its focus
// look) while the pointer rests: a move to that place (the one a press
// there makes first) is no movement and leaves the light, over the content
// or the caption; a move to any other place puts it out.
// While it is lit, Enter's release presses the close button.
TEST_F(FrameWindow, AMoveWhereThePointerRestsKeepsTheCaptionsKeyboardLight) {
  const Point content = {frame.x + 150, frame.y + 50};
  const Point caption = {frame.x + 100, frame.y + frame.height - 8};
  const Point aside = {content.x + 1, content.y};
  const struct {
    const char* what;
    Point pointer;  // where the pointer rests (desktop)
    UINT message;
    Point at;
    bool lit;
  } cases[] = {
      {"a move where the pointer rests", content, WM_MOUSEMOVE, content, true},
      {"a move one pixel on", content, WM_MOUSEMOVE, aside, false},
      {"a caption move where the pointer rests", caption, WM_NCMOUSEMOVE, caption, true},
      {"a caption move elsewhere", content, WM_NCMOUSEMOVE, caption, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_TRUE(LightCloseByTab(c.pointer));
    if (c.message == WM_MOUSEMOVE)
      SendMessageW(hwnd, WM_MOUSEMOVE, 0, Client(c.at.x, c.at.y));
    else
      SendMessageW(hwnd, WM_NCMOUSEMOVE, kHitCaption, Screen(c.at.x, c.at.y));
    EXPECT_EQ(c.lit ? kCaptionClose : kCaptionNone, frame.hotButton);
  }
  ASSERT_TRUE(LightCloseByTab(content));
  SendMessageW(hwnd, WM_MOUSEMOVE, 0, Client(content.x, content.y));
  SendMessageW(hwnd, WM_KEYDOWN, VK_RETURN, 1);
  SendMessageW(hwnd, WM_KEYUP, VK_RETURN, 1);
  EXPECT_TRUE(PumpUntil([&] { return !IsWindow(hwnd); }));
}

// A click where the pointer rests, with no move before it, acts on what
// lies under its point: resting on the push button while Tab lights the
// close button, a click presses the push button, ends the light and leaves
// the window open, twice over. Resting on the lit close button, a click
// there (which comes over the frame) closes the window.
TEST_F(FrameWindow, AClickWhereThePointerRestsGoesToWhatLiesUnderIt) {
  const Point button = WidgetCentre(frame.button);
  for (int round = 0; round < 2; ++round) {
    ASSERT_TRUE(LightCloseByTab(button));
    PostClickAsTheSystemWould(button);
    PumpPending();
    EXPECT_EQ(round + 1, frame.clicks) << "the push button fires";
    EXPECT_TRUE(IsWindow(hwnd));
    EXPECT_EQ(kCaptionNone, frame.hotButton);
    EXPECT_EQ(&frame.button, FocusedWidget());
  }
  const Point close = CaptionPoint(kHitClose);
  ASSERT_TRUE(LightCloseByTab(close));
  PostClickAsTheSystemWould(close);
  EXPECT_TRUE(PumpUntil([&] { return !IsWindow(hwnd); }));
  EXPECT_EQ(2, frame.clicks);
}

// Every press with no move before it reaches the widget under its point
// as a move there first, with the buttons held before the press: the
// widget's hover state is up to date when the press is routed.
TEST_F(FrameWindow, APressWithNoMoveBeforeItIsAMoveThereFirst) {
  const Point probe = WidgetCentre(frame.probe);
  const struct {
    UINT message;
    WPARAM keys;
    i32 moveKeys;
  } cases[] = {
      {WM_LBUTTONDOWN, MK_LBUTTON, 0},
      {WM_LBUTTONDBLCLK, MK_LBUTTON, 0},
      {WM_RBUTTONDOWN, MK_RBUTTON | MK_SHIFT, MK_SHIFT},
      {WM_MBUTTONDOWN, MK_MBUTTON | MK_LBUTTON, MK_LBUTTON},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    frame.log.clear();
    ASSERT_EQ(hwnd, PostMouseAsTheSystemWould(c.message, c.keys, probe));
    PumpPending();
    ASSERT_FALSE(frame.log.empty()) << "the probe heard the press";
    const ProbeEvent& first = frame.log.front();
    EXPECT_EQ('m', first.kind);
    EXPECT_EQ(c.moveKeys, first.a) << "the keys held before the press";
    EXPECT_EQ(frame.probe.width / 2, first.local.x);
    if (c.message == WM_LBUTTONDOWN) {
      ASSERT_EQ(2u, frame.log.size());
      EXPECT_EQ('d', frame.log[1].kind);
    }
    ReleaseCapture();
  }
}

// A click on a caption button the pointer never moved onto (the window
// opened under it): the press over the frame lights and presses the
// button, and its release acts on it.
TEST_F(FrameWindow, AClickOnACaptionButtonWithNoMoveBeforeItPressesIt) {
  const Point maximize = CaptionPoint(kHitMaximize);
  PostClickAsTheSystemWould(maximize);
  EXPECT_TRUE(PumpUntil([&] { return (frame.flags & kFlagMaximized) != 0; }));
  EXPECT_EQ(kCaptionNone, frame.hotButton);
}

TEST_F(FrameWindow, TabWrapsThroughTheWindowItselfAndShiftTabGoesBack) {
  auto tab = [&](bool shift) {
    system.SetKeyDown(VK_SHIFT, shift);
    SendMessageW(hwnd, WM_KEYDOWN, VK_TAB, 1);
    return FocusedWidget();
  };
  EXPECT_EQ(&frame, tab(false)) << "nothing focused: the window itself";
  EXPECT_EQ(kCaptionClose, frame.hotButton) << "its focus look";
  EXPECT_EQ(&frame.button, tab(false));
  EXPECT_EQ(kCaptionNone, frame.hotButton);
  EXPECT_EQ(&frame.probe, tab(false));
  EXPECT_EQ(&frame, tab(false));
  EXPECT_EQ(&frame.probe, tab(true));
  EXPECT_EQ(&frame.button, tab(true));
  for (const ProbeEvent& e : frame.log) EXPECT_NE(9, e.a) << "Tab never reaches the focused widget";
  // Space presses the focused button.
  SendMessageW(hwnd, WM_KEYDOWN, VK_SPACE, 1);
  SendMessageW(hwnd, WM_KEYUP, VK_SPACE, 1);
  EXPECT_EQ(1, frame.clicks);
}

TEST_F(FrameWindow, ExtraButtonDoubleClicksDeliverTheirKeysTwice) {
  frame.probe.SetFocus();
  SendMessageW(hwnd, WM_XBUTTONDBLCLK, MK_XBUTTON1 | MK_XBUTTON2, 0);
  std::vector<i32> keys;
  for (const ProbeEvent& e : frame.log)
    if (e.kind == 'k') keys.push_back(e.a);
  EXPECT_EQ((std::vector<i32>{5, 6, 5, 6}), keys);
}

TEST_F(FrameWindow, CallsFromWorkerThreadsRunOnTheWindowsThreadAndForgedOnesNever) {
  struct Target {
    DWORD thread = 0;
    int runs = 0;
    static void Run(void* object) {
      Target* t = static_cast<Target*>(object);
      t->thread = GetCurrentThreadId();
      ++t->runs;
    }
  } target;
  bool sent = false, done = false;
  std::thread worker([&] {
    sent = SendUiCall(hwnd, &Target::Run, &target);
    done = true;
  });
  EXPECT_TRUE(PumpUntil([&] { return done; }));
  worker.join();
  EXPECT_TRUE(sent);
  EXPECT_EQ(GetCurrentThreadId(), target.thread);
  // Any process can post the message with any pointer: not a record this
  // program is sending, so nothing runs.
  struct {
    UiThreadCall call;
    void* object;
  } forged = {&Target::Run, &target};
  PostMessageW(hwnd, kMessageUiCall, reinterpret_cast<WPARAM>(&target), reinterpret_cast<LPARAM>(&forged));
  PumpPending();
  EXPECT_EQ(1, target.runs);
}

TEST_F(FrameWindow, AnObjectCreatedTwiceRegistersItsClassOnceAndAppendsTwoRecords) {
  DestroyWindow(hwnd);
  PumpPending();
  EXPECT_EQ(nullptr, frame.Handle());
  const u32 before = WindowRegistry::Count();
  ASSERT_TRUE(frame.CreateAt(Rect{200, 300, 200 + kWidth, 300 + kHeight}, false));
  hwnd = static_cast<HWND>(frame.Handle());
  EXPECT_EQ(before + 1, WindowRegistry::Count());
  wchar_t name[32];
  EXPECT_EQ(0, RegisterFrameClass(&frame, name)) << "the class exists already";
  EXPECT_EQ(&frame, ClassRegistrationObject());
}

}  // namespace
