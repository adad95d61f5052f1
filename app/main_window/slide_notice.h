// CSlideNotice: a 366 x 62 panel that rises from the bottom edge of the main
// window, stays eight seconds and slides away, its panel fading in and out
// on the way while its picture and texts stay solid.
// Its animation thread moves the panel and repaints the window under the
// window's lock; time comes from the clock seam, so tests step it. A new
// Show while the panel is on its way changes nothing; Stop ends the
// animation at once and joins the thread (teardown).
//
// The parent (the main window) offers `CLock lock` and Repaint() (the whole
// window under that lock).
#pragma once
#include <atomic>

#include "app/main_window/notice_texts.h"
#include "render/bitmap.h"
#include "render/canvas.h"
#include "render/text/font.h"
#include "render/text/text_layout.h"
#include "runtime/clock.h"
#include "runtime/threads.h"
#include "runtime/ui_strings.h"
#include "ui/widgets/widget.h"
#include "ui/windows/theme/theme_metrics.h"

constexpr i32 kNoticeWidth = 366;
constexpr i32 kNoticeHeight = 62;
constexpr i32 kNoticeX = 16;
constexpr i32 kNoticeTop = 60;        // lower edge above the content's bottom at rest
constexpr i32 kNoticeSteps = 25;      // of the rise and of the fall
constexpr u32 kNoticeStepMs = 30;
constexpr u32 kNoticeHoldStepMs = 100;
constexpr u32 kNoticeDisplayMs = 8000;
constexpr u32 kNoticeThreadStack = 16384;

// One step's wait of the animation on the clock seam's time: kWaitTimeout,
// or the stop event came (the program's one clock-seam wait underneath).
u32 WaitNoticeStep(CEvent& stop, u32 milliseconds);

template <class TParent>
class CSlideNotice : public CWidgetOf<CSlideNotice<TParent>, TParent> {
 public:
  CSlideNotice() = default;
  ~CSlideNotice() {
    Stop();
    CBitmap::Destroy(image);
  }

  // Shows the notice with a title and a text (UI string ids, or a notice
  // text of notice_texts.h) unless it is already on its way; false when
  // its thread could not be started (it then stays hidden).
  bool ShowNotice(u32 title, NoticeText text) {
    if (running_.load()) return false;
    thread_.Join();  // the previous animation has ended; collect it
    titleId = title;
    textId = text;
    if (!stop_.IsCreated() && !stop_.Create(false, false)) return false;
    stop_.Reset();
    running_.store(true);
    if (!thread_.Start(&CSlideNotice::ThreadEntry, this, kNoticeThreadStack)) {
      running_.store(false);
      return false;
    }
    return true;
  }

  // Ends a running animation and waits for its thread.
  void Stop() {
    if (stop_.IsCreated()) stop_.Set();
    thread_.Join();
  }

  bool IsRunning() const { return running_.load(); }

  // The panel: fill and outline fading with the slide; over them, solid,
  // the image, the title in the notice's bold font and the text below it,
  // both in the canvas's text colour.
  void PaintContent(CCanvas& canvas) {
    const i32 w = this->width, h = this->height;
    const u32 alpha = static_cast<u32>(static_cast<i32>(fraction * 255.0)) << 24;
    canvas.FillRoundRect(0, 0, w, h, 3, (ThemeMenuHotColor() & 0xFFFFFFu) | alpha);
    canvas.FrameRoundRect(0, 0, w, h, 3, 1.0, (ThemeAccentColor() & 0xFFFFFFu) | alpha);
    double x = 4;
    if (image) {
      const double at = (h - static_cast<double>(image->height)) / 2;
      canvas.DrawBitmap(at, at, image->View(), 1.0);
      x = at + image->width + 8;
    }
    CFont* before = canvas.font;
    if (before) before->AddRef();
    const double fontHeight = font.Get() ? font.Get()->lineHeight : 14.0;
    if (font.Get()) canvas.SetFont(font.Get());
    const UiString* title = GetUiString(titleId);
    DrawTextInBox(&canvas, x, h - fontHeight * 1.5, w - 4, h - fontHeight / 2, title->text,
                  static_cast<i32>(title->length), 0);
    canvas.SetFont(before);
    if (before) before->Release();
    const UiString text = NoticeTextOf(textId);
    DrawTextInBox(&canvas, x, 4, w - 4, h - fontHeight * 1.8, text.text, static_cast<i32>(text.length), 0);
  }

  u32 titleId = 8;
  NoticeText textId = kNoticePreviewArea;
  double fraction = 0.0;  // opacity during the slide
  CBitmap* image = nullptr;
  CFontRef font;          // default face, one point larger, bold

 private:
  static u32 ThreadEntry(void* notice) {
    static_cast<CSlideNotice*>(notice)->Run();
    return 0;
  }

  // Moves the panel (y-up, its lower edge) with the fraction and repaints
  // the window; all under the window lock, which painters hold too.
  void MoveAndRepaint(i32 y, double newFraction) {
    {
      CLockGuard hold(this->Parent().lock);
      this->x = kNoticeX;
      this->y = y;
      fraction = newFraction;
    }
    this->Parent().Repaint();
  }

  void SetVisible(bool visible) {
    CLockGuard hold(this->Parent().lock);
    this->ModifyFlags(visible ? 0 : kFlagVisible, visible ? kFlagVisible : 0);
  }

  // A wait of one step; true when the stop event came.
  bool Stopped(u32 milliseconds) { return WaitNoticeStep(stop_, milliseconds) != kWaitTimeout; }

  void Run() {
    const double travel = kNoticeHeight + kNoticeTop;
    const double step = travel / kNoticeSteps;
    double position = -kNoticeHeight;
    double f = 0.0;
    MoveAndRepaint(-kNoticeHeight, 0.0);
    SetVisible(true);
    bool stopped = false;
    for (i32 i = 0; i < kNoticeSteps && !stopped; ++i) {
      if ((stopped = Stopped(kNoticeStepMs))) break;
      position += step;
      f += 0.04;
      MoveAndRepaint(static_cast<i32>(position), f);
    }
    if (!stopped) {
      MoveAndRepaint(kNoticeTop, 1.0);
      for (u32 i = 0; i < kNoticeDisplayMs / kNoticeHoldStepMs; ++i) {
        if ((stopped = Stopped(kNoticeHoldStepMs))) break;
        this->Redraw();
      }
    }
    position = kNoticeTop;
    f = 1.0;
    for (i32 i = 0; i < kNoticeSteps && !stopped; ++i) {
      if ((stopped = Stopped(kNoticeStepMs))) break;
      position -= step;
      f -= 0.04;
      MoveAndRepaint(static_cast<i32>(position), f > 0.0 ? f : 0.0);
    }
    SetVisible(false);
    running_.store(false);
  }

  CEvent stop_;
  CThread thread_;
  std::atomic<bool> running_{false};
};
