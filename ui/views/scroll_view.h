// CScrollViewOf: a widget whose content is larger than the rectangle it
// shows, with a horizontal and a vertical scroll bar drawn by the theme. It
// keeps the scroll positions and sizes, moves them by lines, pages, keys,
// the wheel, thumb drags, part repeat and middle-button autoscroll, paints
// its frame with the bar states and notifies its owner after every move.
// Portable.
//
// A view class derives from it with itself as TSelf (and CCompositeOf as
// the base when it holds children, like the tree's label editor):
//   template <class TParent>
//   class CMyView : public CScrollViewOf<CMyView<TParent>, TParent> { ... };
// and may declare:
//   void OnScrolled();                  // host step after a move, before the repaint
//   void OnMouseMove(i32, Point*) ...   // its own entries in place of the defaults
// The defaults: the pointer hovers and presses the bars, the middle button
// autoscrolls, the wheel and the scroll keys step. Positions: horizontal
// 0.0 shows the left end, vertical 1.0 the top; points are in the view's
// content coordinates (y up), where the bars lie outside the content.
//
// While the pointer is over a bar, a bar part is held or autoscroll runs,
// the view owns the capture table and its window the system capture.
// Part repeat (a step at once, then after 500 ms, then every 50 ms) and
// autoscroll (every 50 ms) run on the user-interface thread, timed through
// the clock seam; a held part ends when the button is found up or the
// window loses the capture, even if its release never arrives.
#pragma once
#include "ui/views/autoscroll_indicator.h"
#include "ui/views/scroll_math.h"
#include "ui/views/tick_timer.h"
#include "ui/widgets/composite.h"
#include "ui/widgets/pointer_system.h"
#include "ui/windows/theme/theme_metrics.h"

KELVANE_WIDGET_TRAIT(HasOnScrolled, widget_traits::Fake<T>().OnScrolled())

// scrollState bits.
constexpr u32 kScrollTracking = 1;  // the view owns the capture table
constexpr u32 kScrollPressed = 2;   // the left button is held on a bar
constexpr u32 kScrollAuto = 4;      // autoscroll runs

constexpr i32 kMouseLeftButton = 0x1;   // key flags of mouse messages
constexpr i32 kMouseMiddleButton = 0x10;
constexpr u32 kRepeatFirstDelayMs = 500;
constexpr u32 kRepeatDelayMs = 50;
constexpr u32 kAutoScrollDelayMs = 50;

template <class TSelf, class TParent, template <class, class> class TBase = CWidgetOf>
class CScrollViewOf : public TBase<TSelf, TParent> {
 public:
  using Base = TBase<TSelf, TParent>;

  WidgetCallback<> scrolled;  // after every position change
  double positionX = 0.0;
  double positionY = 1.0;
  double velocityX = 0.0;  // autoscroll: (pointer - anchor) / 20 per axis
  double velocityY = 0.0;
  i32 contentWidth = 0, contentHeight = 0;
  i32 viewWidth = 0, viewHeight = 0;  // the content rectangle less the bars
  ScrollBarState verticalBar = {1.0, 1.0, 0};
  ScrollBarState horizontalBar = {0.0, 1.0, 0};
  Point anchorPoint = {0, 0};   // last bar press, or the autoscroll anchor
  Point pointerPoint = {0, 0};  // last pointer position
  double dragStartX = 0.0, dragStartY = 0.0;
  i32 dragAxis = 0;  // thumb held: 1 horizontal, 2 vertical
  i32 lineSize = 16;
  u32 scrollState = 0;

  CScrollViewOf() { ticker_.Bind(&TickThunk, this); }

  TSelf& Self() { return static_cast<TSelf&>(*this); }

  // ---- State ----
  Point GetScrollOffset() const {
    if (contentWidth == 0 && contentHeight == 0) return {0, 0};
    return {(this->flags & kFlagHScroll) ? ScrollOffsetOf(positionX, contentWidth, viewWidth) : 0,
            (this->flags & kFlagVScroll) ? ScrollOffsetOf(positionY, contentHeight, viewHeight) : 0};
  }

  // Shows or hides one bar to fit content and view: the vertical first;
  // true when a bar changed. A removed bar resets its position.
  bool UpdateScrollBars() {
    const i32 t = ThemeScrollBarSize();
    const bool v = (this->flags & kFlagVScroll) != 0, h = (this->flags & kFlagHScroll) != 0;
    if (contentHeight > viewHeight && !v) {
      viewWidth -= t;
      this->ModifyFlags(0, kFlagVScroll);
      return true;
    }
    if (contentHeight <= viewHeight && v) {
      viewWidth += t;
      this->ModifyFlags(kFlagVScroll, 0);
      positionY = 1.0;
      return true;
    }
    if (contentWidth > viewWidth && !h) {
      viewHeight -= t;
      this->ModifyFlags(0, kFlagHScroll);
      return true;
    }
    if (contentWidth <= viewWidth && h) {
      viewHeight += t;
      this->ModifyFlags(kFlagHScroll, 0);
      positionX = 0.0;
      return true;
    }
    return false;
  }
  // Updates until both bars fit (each bar only narrows the other's view,
  // so this settles within two changes per bar; the bound is a guard).
  bool SettleScrollBars() {
    bool changed = false;
    for (int i = 0; i < 4 && UpdateScrollBars(); ++i) changed = true;
    return changed;
  }

  // The owner's notification, the host's own step, then a whole repaint.
  void NotifyScrolled() {
    scrolled.Call(this->parent);
    if constexpr (HasOnScrolled<TSelf>::value) Self().OnScrolled();
    this->RedrawRect(nullptr);
  }

  // ---- Steps ----
  void LineUp(i32 n) {
    if (positionY >= 1.0) return;
    const double step = LineStepOf(lineSize, n, contentHeight, viewHeight);
    if (step <= 0.0) return;
    positionY = positionY + step < 1.0 ? positionY + step : 1.0;
    NotifyScrolled();
  }
  void LineDown(i32 n) {
    if (positionY <= 0.0) return;
    const double step = LineStepOf(lineSize, n, contentHeight, viewHeight);
    if (step <= 0.0) return;
    positionY = positionY - step > 0.0 ? positionY - step : 0.0;
    NotifyScrolled();
  }
  void LineLeft(i32 n) {
    if (positionX <= 0.0) return;
    const double step = LineStepOf(lineSize, n, contentWidth, viewWidth);
    if (step <= 0.0) return;
    positionX = positionX - step > 0.0 ? positionX - step : 0.0;
    NotifyScrolled();
  }
  void LineRight(i32 n) {
    if (positionX >= 1.0) return;
    const double step = LineStepOf(lineSize, n, contentWidth, viewWidth);
    if (step <= 0.0) return;
    positionX = positionX + step < 1.0 ? positionX + step : 1.0;
    NotifyScrolled();
  }
  void PageUp() { PageStep(&positionY, 2, +1); }
  void PageDown() { PageStep(&positionY, 2, -1); }
  void PageLeft() { PageStep(&positionX, 1, -1); }
  void PageRight() { PageStep(&positionX, 1, +1); }

  // Moves by pixels (dx right, dy up); both positions clamped.
  void ScrollBy(i32 dx, i32 dy) {
    if (dx == 0 && dy == 0) return;
    positionX = ClampUnit(positionX + PixelsToPosition(dx, contentWidth, viewWidth));
    positionY = ClampUnit(positionY + PixelsToPosition(dy, contentHeight, viewHeight));
    NotifyScrolled();
  }
  // Places the visible part at a pixel offset.
  void SetScrollOffset(Point offset) {
    if (contentWidth == viewWidth && contentHeight == viewHeight) return;
    const double x = ClampUnit(PixelsToPosition(offset.x, contentWidth, viewWidth));
    const double y = ClampUnit(PixelsToPosition(offset.y, contentHeight, viewHeight));
    if (x == positionX && y == positionY) return;
    positionX = x;
    positionY = y;
    NotifyScrolled();
  }
  // Scrolls a content rectangle into view; true when it scrolled. Nothing
  // while no bar shows or the pointer works the view.
  bool ScrollToRect(const Rect& r, bool preferLeft) {
    if (!(this->flags & (kFlagHScroll | kFlagVScroll)) || scrollState) return false;
    const Point o = GetScrollOffset();
    i32 dx = 0, dy = 0;
    if (this->flags & kFlagHScroll) {
      const i32 spanRight = o.x + viewWidth;
      const bool narrower = r.right - r.left < viewWidth;
      if (preferLeft) {
        if (r.right > spanRight)
          dx = r.right - spanRight;
        else if (r.left < o.x && narrower)
          dx = -Min(spanRight - r.right, o.x - r.left);
      } else {
        if (r.left < o.x)
          dx = r.left - o.x;
        else if (r.right > spanRight && narrower)
          dx = Min(r.left - o.x, r.right - spanRight);
      }
    }
    if (this->flags & kFlagVScroll) {
      const i32 spanUpper = o.y + viewHeight;
      if (r.bottom > spanUpper)
        dy = r.bottom - spanUpper;
      else if (r.top < o.y && r.bottom - r.top < viewHeight)
        dy = -Min(spanUpper - r.bottom, o.y - r.top);
    }
    if (dx == 0 && dy == 0) return false;
    ScrollBy(dx, dy);
    return true;
  }

  // ---- Keys and wheel ----
  // Page Up/Down, End (bottom), Home (top) and the arrows.
  void ScrollKey(u32 key) {
    switch (key) {
      case 33: return PageUp();
      case 34: return PageDown();
      case 35:
        if (positionY != 0.0) {
          positionY = 0.0;
          NotifyScrolled();
        }
        return;
      case 36:
        if (positionY != 1.0) {
          positionY = 1.0;
          NotifyScrolled();
        }
        return;
      case 37: return LineLeft(1);
      case 38: return LineUp(1);
      case 39: return LineRight(1);
      case 40: return LineDown(1);
      default: return;
    }
  }
  // Whole notches scroll lines on the axis that has a bar; parts of a notch
  // (fine-grained wheels) add up until they make one.
  void ScrollWheel(i32 keyFlags, i32 delta, Point* point) {
    if (scrollState & kScrollAuto) return;
    if (!(this->flags & (kFlagHScroll | kFlagVScroll))) {
      wheelRest_ = 0;
      return;
    }
    wheelRest_ += delta;
    const i32 n = wheelRest_ / 120;
    wheelRest_ -= n * 120;
    if (n == 0) return;
    if (this->flags & kFlagVScroll) {
      if (n > 0)
        LineUp(n);
      else
        LineDown(-n);
    } else {
      if (n > 0)
        LineRight(n);
      else
        LineLeft(-n);
    }
    Self().OnMouseMove(keyFlags, point);
  }

  // ---- Bars ----
  // A bar's rectangle in the view's outer coordinates (axis 1 horizontal).
  Rect BarRect(i32 axis) const {
    Rect r = {0, 0, 0, 0};
    ThemePainter()->GetScrollBarRect(axis, &r, this->width, this->height, this->flags);
    return r;
  }
  // The same in content coordinates, where the pointer is kept.
  Rect BarRectInContent(i32 axis) const {
    Rect r = BarRect(axis);
    const Point o = this->GetContentOffset();
    return {r.left - o.x, r.top - o.y, r.right - o.x, r.bottom - o.y};
  }
  // The part of the hot bar under the pointer, 0 when none.
  u32 HitTestBar() const {
    const i32 axis = (horizontalBar.parts & kPartHot) ? 1 : (verticalBar.parts & kPartHot) ? 2 : 0;
    if (!axis) return 0;
    const Rect r = BarRectInContent(axis);
    if (!r.Contains(pointerPoint.x, pointerPoint.y)) return 0;
    const i32 a = ThemeScrollBarSize();
    return axis == 1 ? BarPartAt(false, r.left, r.right, a, horizontalBar, pointerPoint.x)
                     : BarPartAt(true, r.top, r.bottom, a, verticalBar, pointerPoint.y);
  }
  // Repaints the bars of the mask (1 horizontal, 2 vertical).
  void RedrawBars(u32 mask) {
    if (mask & 1) {
      const Rect r = BarRect(1);
      this->RedrawRect(&r);
    }
    if (mask & 2) {
      const Rect r = BarRect(2);
      this->RedrawRect(&r);
    }
  }
  // The frame step: the shown bars' states to the theme, then the frame.
  void PaintFrame(CCanvas& canvas) {
    if (this->flags & kFlagHScroll) {
      horizontalBar.position = positionX;
      horizontalBar.fraction = VisibleFraction(viewWidth, contentWidth);
      ThemePainter()->SetScrollState(&canvas, &horizontalBar, 1);
    }
    if (this->flags & kFlagVScroll) {
      verticalBar.position = positionY;
      verticalBar.fraction = VisibleFraction(viewHeight, contentHeight);
      ThemePainter()->SetScrollState(&canvas, &verticalBar, 2);
    }
    ThemePainter()->DrawFrame(&canvas, this->width, this->height, this->flags, false, kCaptionNone, nullptr,
                              nullptr);
  }

  // ---- Capture ----
  void BeginTracking() {
    scrollState |= kScrollTracking;
    if (CaptureOwner()) return;
    InstallCaptureHandlers();
    TakeSystemCapture(this->Window().Handle());
  }
  // Both bars cool down (held parts with them), tracking ends and the view
  // lets the capture table go.
  void EndTracking(bool redraw) {
    u32 mask = 0;
    if (horizontalBar.parts & kPartHot) {
      horizontalBar.parts = 0;
      mask |= 1;
    }
    if (verticalBar.parts & kPartHot) {
      verticalBar.parts = 0;
      mask |= 2;
    }
    scrollState &= ~kScrollTracking;
    if (redraw && mask) RedrawBars(mask);
    CaptureTable::Uninstall(this);
  }
  // The pointer is over a bar: 7 the vertical one, 6 the horizontal one;
  // any other code is no bar.
  void TrackBarHover(i32 code) {
    if (code != kHitHScroll && code != kHitVScroll) return;
    if (!(scrollState & kScrollTracking) && CaptureOwner()) return;
    if (scrollState & kScrollAuto) return;
    const bool vertical = code == kHitVScroll;
    ScrollBarState& on = vertical ? verticalBar : horizontalBar;
    ScrollBarState& off = vertical ? horizontalBar : verticalBar;
    u32 changed = 0;
    if (!(on.parts & kPartHot)) {
      on.parts = kPartHot;
      changed = vertical ? 2 : 1;
      BeginTracking();
    }
    if ((off.parts & kPartHot) && !(scrollState & kScrollPressed)) {
      off.parts = 0;
      changed |= vertical ? 1 : 2;
      EndTracking(true);
    }
    if (changed) RedrawBars(changed);
  }
  void InstallCaptureHandlers() {
    CCaptureSet set(this);
    set.OnWheel<CScrollViewOf, &CScrollViewOf::CaptureWheel>()
        .template On<CScrollViewOf, &CScrollViewOf::CaptureMiddleDown>(kCaptureMiddleDown)
        .template On<CScrollViewOf, &CScrollViewOf::CaptureMove>(kCaptureMove)
        .template On<CScrollViewOf, &CScrollViewOf::CaptureLeftDoubleClick>(kCaptureLeftDoubleClick)
        .template On<CScrollViewOf, &CScrollViewOf::CaptureMiddleUp>(kCaptureMiddleUp)
        .template On<CScrollViewOf, &CScrollViewOf::CaptureRightDown>(kCaptureRightDown)
        .template On<CScrollViewOf, &CScrollViewOf::CaptureLeftDown>(kCaptureLeftDown)
        .template On<CScrollViewOf, &CScrollViewOf::CaptureLeftUp>(kCaptureLeftUp)
        .template On<CScrollViewOf, &CScrollViewOf::CaptureRightUp>(kCaptureRightUp)
        .template Translate<CWidget, &CWidget::WindowToLocal>(this)
        .template OnLost<CScrollViewOf, &CScrollViewOf::CaptureLost>();
    CaptureTable::Install(set, this);
  }

  // ---- Pointer on the bars ----
  // A left press: on an arrow or the track the part repeats, on the thumb a
  // drag starts. Ignored during autoscroll.
  void PressBar(i32, Point* point) {
    if (scrollState & kScrollAuto) return;
    anchorPoint = *point;
    dragStartX = positionX;
    dragStartY = positionY;
    if (!(scrollState & kScrollTracking)) return;
    scrollState |= kScrollPressed;
    const i32 axis = (horizontalBar.parts & kPartHot) ? 1 : (verticalBar.parts & kPartHot) ? 2 : 0;
    if (!axis) return;
    ScrollBarState& bar = axis == 1 ? horizontalBar : verticalBar;
    const Rect r = BarRectInContent(axis);
    const i32 a = ThemeScrollBarSize();
    const u32 part = axis == 1 ? BarPartAt(false, r.left, r.right, a, bar, point->x)
                               : BarPartAt(true, r.top, r.bottom, a, bar, point->y);
    bar.parts |= part;
    if (part == kPartThumb) {
      dragAxis = axis;
      return;
    }
    RepeatPass();
    StartTicks(kTickRepeat, kRepeatFirstDelayMs);
  }
  // The left release on the bars: the press ends, the hover is looked at
  // again.
  void ReleaseBar(i32 keyFlags, Point* point) {
    if (!(scrollState & kScrollTracking)) return;
    EndPress();
    pointerPoint = *point;
    if (scrollState & kScrollTracking) TrackMouse(keyFlags, point);
  }
  // A pointer move: autoscroll speed, thumb drag or bar hover.
  void TrackMouse(i32 keyFlags, Point* point) {
    pointerPoint = *point;
    if (!(scrollState & kScrollTracking)) return;
    if (scrollState & kScrollAuto) {
      velocityX = (point->x - anchorPoint.x) / 20.0;
      velocityY = (point->y - anchorPoint.y) / 20.0;
      InvalidateIndicator();
      return;
    }
    if (scrollState & kScrollPressed) {
      if (!(keyFlags & kMouseLeftButton)) {
        EndPress();  // the release was lost: no drag without the button
      } else {
        DragThumb(*point);
        return;
      }
    }
    Point desktop = *point;
    this->ToWindowPoint(&desktop);
    const i32 code = this->HitTestNonClient(desktop);
    if (code == kHitHScroll || code == kHitVScroll)
      TrackBarHover(code);
    else
      EndTracking(true);
  }

  // ---- Autoscroll ----
  void BeginAutoScroll(i32, Point* point) {
    if (scrollState & kScrollTracking) return;
    const u32 axes = this->flags & (kFlagHScroll | kFlagVScroll);
    if (!axes) return;
    scrollState |= kScrollAuto;
    anchorPoint = pointerPoint = *point;
    velocityX = velocityY = 0.0;
    autoAxes_ = axes;
    autoFactorX_ = (axes & kFlagHScroll) ? AutoScrollFactor(contentWidth, viewWidth) : 0.0;
    autoFactorY_ = (axes & kFlagVScroll) ? AutoScrollFactor(contentHeight, viewHeight) : 0.0;
    StartTicks(kTickAuto, kAutoScrollDelayMs);
    BeginTracking();
    NotifyScrolled();
  }
  void EndAutoScroll(i32, Point*) {
    if ((scrollState & (kScrollTracking | kScrollAuto)) != (kScrollTracking | kScrollAuto)) return;
    scrollState &= ~kScrollAuto;
    StopTicks();
    EndTracking(false);
    NotifyScrolled();
  }
  // Repaints the indicator's square when no axis can move (then nothing
  // else repaints the view while the pointer moves).
  void InvalidateIndicator() {
    if ((this->flags & kFlagHScroll) && positionX != 0.0 && positionX != 1.0) return;
    if ((this->flags & kFlagVScroll) && positionY != 0.0 && positionY != 1.0) return;
    Rect r = {anchorPoint.x - 20, anchorPoint.y - 20, anchorPoint.x + 20, anchorPoint.y + 20};
    this->ContentToLocalRect(&r);
    this->RedrawRect(&r);
  }
  // The indicator over the content, while autoscroll runs.
  void DrawIndicator(CCanvas& canvas) {
    if ((scrollState & (kScrollTracking | kScrollAuto)) != (kScrollTracking | kScrollAuto)) return;
    DrawAutoScrollIndicator(canvas, anchorPoint, pointerPoint, this->flags & (kFlagHScroll | kFlagVScroll),
                            ThemeTextColor());
  }

  // ---- Ticks (part repeat and autoscroll) ----
  // Runs a step when one is due by the clock seam; the timer only wakes it.
  void OnTick() {
    if (tickKind_ == kTickNone) return;
    const u64 now = ClockNowMs();
    if (now < nextTickMs_) {
      ticker_.Arm(static_cast<u32>(nextTickMs_ - now));
      return;
    }
    if (tickKind_ == kTickRepeat) {
      if (!(scrollState & kScrollPressed)) return StopTicks();
      if (!IsPrimaryButtonDown()) {  // the release was lost
        EndPress();
        return;
      }
      RepeatPass();
      if (tickKind_ != kTickRepeat) return;
      nextTickMs_ = now + kRepeatDelayMs;
      ticker_.Arm(kRepeatDelayMs);
      return;
    }
    if (!(scrollState & kScrollAuto)) return StopTicks();
    AutoScrollPass();
    if (tickKind_ != kTickAuto) return;
    nextTickMs_ = now + kAutoScrollDelayMs;
    ticker_.Arm(kAutoScrollDelayMs);
  }
  bool IsTicking() const { return tickKind_ != kTickNone; }

  // ---- Default entries (routing and capture table) ----
  void OnMouseMove(i32 keyFlags, Point* point) { TrackMouse(keyFlags, point); }
  void OnNcMouseMove(i32 code, Point*) { TrackBarHover(code); }
  void OnLButtonDown(i32 keyFlags, Point* point) { PressBar(keyFlags, point); }
  void OnLButtonDblClk(i32 keyFlags, Point* point) { PressBar(keyFlags, point); }
  void OnLButtonUp(i32 keyFlags, Point* point) { ReleaseBar(keyFlags, point); }
  void OnMButtonDown(i32 keyFlags, Point* point) { BeginAutoScroll(keyFlags, point); }
  void OnMButtonUp(i32 keyFlags, Point* point) { EndAutoScroll(keyFlags, point); }
  void OnRButtonDown(i32, Point*) {}
  void OnRButtonUp(i32, Point*) {}
  void OnWheel(i32 keyFlags, i32 delta, Point* point) { ScrollWheel(keyFlags, delta, point); }
  void OnKeyDown(u32 key, u32, u32) { ScrollKey(key); }

 protected:
  // The press ends: no drag, no held part, no repeat.
  void EndPress() {
    dragAxis = 0;
    scrollState &= ~kScrollPressed;
    if (tickKind_ == kTickRepeat) StopTicks();
  }

 private:
  enum : u8 { kTickNone, kTickRepeat, kTickAuto };

  static i32 Min(i32 a, i32 b) { return a < b ? a : b; }

  void PageStep(double* position, i32 axis, i32 direction) {
    if (direction > 0 ? *position >= 1.0 : *position <= 0.0) return;
    const Rect r = BarRect(axis);
    const i32 a = ThemeScrollBarSize();
    const i32 track = axis == 1 ? (r.right - a) - (r.left + a) : (r.bottom - a) - (r.top + a);
    const double step = PageStepOf(track, (axis == 1 ? horizontalBar : verticalBar).fraction);
    if (step <= 0.0) return;
    *position = ClampUnit(*position + direction * step);
    NotifyScrolled();
  }

  void DragThumb(const Point& p) {
    if (dragAxis != 1 && dragAxis != 2) return;
    const Rect r = BarRect(dragAxis);
    const i32 a = ThemeScrollBarSize();
    double* position = dragAxis == 1 ? &positionX : &positionY;
    const double next =
        dragAxis == 1
            ? ThumbDragPosition(dragStartX, anchorPoint.x - p.x, (r.right - a) - (r.left + a), horizontalBar.fraction)
            : ThumbDragPosition(dragStartY, anchorPoint.y - p.y, (r.bottom - a) - (r.top + a), verticalBar.fraction);
    if (next == *position) return;
    *position = next;
    NotifyScrolled();
  }

  // One pass of the part repeat: a step when the held part is still under
  // the pointer.
  void RepeatPass() {
    const u32 hit = HitTestBar();
    if (horizontalBar.parts & kPartHot) {
      const u32 held = horizontalBar.parts & hit;
      if (held & kPartBackArrow)
        LineLeft(1);
      else if (held & kPartForwardArrow)
        LineRight(1);
      else if (held & kPartTrackBefore)
        PageLeft();
      else if (held & kPartTrackAfter)
        PageRight();
    } else if (verticalBar.parts & kPartHot) {
      const u32 held = verticalBar.parts & hit;
      if (held & kPartBackArrow)
        LineUp(1);
      else if (held & kPartForwardArrow)
        LineDown(1);
      else if (held & kPartTrackBefore)
        PageUp();
      else if (held & kPartTrackAfter)
        PageDown();
    }
  }

  void AutoScrollPass() {
    if (velocityX == 0.0 && velocityY == 0.0) return;
    const double x = (autoAxes_ & kFlagHScroll) ? AutoScrollStep(positionX, velocityX, autoFactorX_) : positionX;
    const double y = (autoAxes_ & kFlagVScroll) ? AutoScrollStep(positionY, velocityY, autoFactorY_) : positionY;
    if (x == positionX && y == positionY) return;
    positionX = x;
    positionY = y;
    NotifyScrolled();
  }

  void StartTicks(u8 kind, u32 delay) {
    tickKind_ = kind;
    nextTickMs_ = ClockNowMs() + delay;
    ticker_.Arm(delay);
  }
  void StopTicks() {
    tickKind_ = kTickNone;
    ticker_.Cancel();
  }
  static void TickThunk(void* object) { static_cast<CScrollViewOf*>(object)->OnTick(); }

  // The capture table's entries: the view class's own handlers.
  void CaptureWheel(i32 k, i32 delta, Point* p) { Self().OnWheel(k, delta, p); }
  void CaptureMiddleDown(i32 k, Point* p) { Self().OnMButtonDown(k, p); }
  void CaptureMove(i32 k, Point* p) { Self().OnMouseMove(k, p); }
  void CaptureLeftDoubleClick(i32 k, Point* p) { Self().OnLButtonDblClk(k, p); }
  void CaptureMiddleUp(i32 k, Point* p) { Self().OnMButtonUp(k, p); }
  void CaptureRightDown(i32 k, Point* p) { Self().OnRButtonDown(k, p); }
  void CaptureLeftDown(i32 k, Point* p) { Self().OnLButtonDown(k, p); }
  void CaptureLeftUp(i32 k, Point* p) { Self().OnLButtonUp(k, p); }
  void CaptureRightUp(i32 k, Point* p) { Self().OnRButtonUp(k, p); }
  // The window lost the mouse: whatever the pointer was doing ends.
  void CaptureLost() {
    const bool wasAuto = (scrollState & kScrollAuto) != 0;
    EndPress();
    scrollState &= ~kScrollAuto;
    StopTicks();
    EndTracking(true);
    if (wasAuto) NotifyScrolled();
  }

  CTickTimer ticker_;
  u8 tickKind_ = kTickNone;
  u64 nextTickMs_ = 0;
  i32 wheelRest_ = 0;
  u32 autoAxes_ = 0;
  double autoFactorX_ = 0.0, autoFactorY_ = 0.0;
};
