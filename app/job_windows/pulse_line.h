// The job windows' status line: a label and a small picture beside it that
// fade in and out while the window tells what is missing. The level rises
// by 1/12 every 50 ms to full, holds 500 ms, falls to nothing and rises
// again; the label's text takes it as alpha over the theme's text colour
// and the picture as opacity. The clock is a ticker thread that posts its
// ticks to the window's thread, so every widget change and repaint happens
// on the user-interface thread. Windows only (the ticker posts messages).
#pragma once
#include "render/skin_ids.h"
#include "render/skin_resource.h"
#include "ui/widgets/label.h"
#include "ui/widgets/picture.h"
#include "ui/windows/frame/ticker_thread.h"

constexpr u32 kPulseStepMs = 50;
constexpr u32 kPulseHoldSteps = 10;  // 500 ms at full level
constexpr u32 kPulseLevels = 12;
constexpr u32 kPulseTextColour = 0xFF000000u;

template <class TWindow>
class CPulseLine {
 public:
  CPicture<TWindow> picture;
  CLabel<TWindow> label;

  // Only the thread: the widgets may be gone with their window by then.
  ~CPulseLine() { ticker_.Stop(); }

  // Picture and label created hidden at their places, see-through: every
  // fade step and new text repaints what lies behind them.
  void Create(const Rect& pictureRect, const Rect& labelRect, TWindow* window, CFont* font) {
    picture.Create(kPictureFlags & ~kFlagVisible, &pictureRect, window);
    LoadSkinStrip(IDR_SKIN_PULSE, 1, &picture.image);
    label.font = font;
    label.Create(kLabelFlags & ~kFlagVisible, &labelRect, window);
  }
  void Place(const Rect& pictureRect, const Rect& labelRect) {
    picture.SetBounds(pictureRect.left, pictureRect.top, pictureRect.right - pictureRect.left,
                      pictureRect.bottom - pictureRect.top);
    label.SetBounds(labelRect.left, labelRect.top, labelRect.right - labelRect.left, labelRect.bottom - labelRect.top);
  }

  // A new text (the line starts pulsing when it does not yet).
  void Show(const CWideString& text) {
    label.text.Assign(text.c_str());
    label.textId = -1;
    label.Redraw();
    Start();
  }
  // Starts from nothing, unless it pulses already.
  void Start() {
    if (ticker_.IsRunning()) return;
    level_ = 0;
    rising_ = true;
    hold_ = 0;
    Apply();
    picture.ModifyFlags(0, kFlagVisible);
    label.ModifyFlags(0, kFlagVisible);
    ticker_.Start(label.Window().Handle(), &CPulseLine::Tick, this, kPulseStepMs, true);
  }
  // Stops the ticker (waiting for its thread) and hides the line.
  void Stop() {
    ticker_.Stop();
    if (picture.parent) picture.ModifyFlags(kFlagVisible, 0);
    if (label.parent) label.ModifyFlags(kFlagVisible, 0);
  }
  void StopTicker() { ticker_.Stop(); }
  bool IsPulsing() const { return ticker_.IsRunning(); }
  u32 Level() const { return level_; }

  // One step of the animation.
  void Step() {
    if (level_ == kPulseLevels && hold_ < kPulseHoldSteps) {
      ++hold_;
      return;
    }
    if (rising_) {
      if (++level_ >= kPulseLevels) {
        level_ = kPulseLevels;
        rising_ = false;
        hold_ = 0;
      }
    } else if (level_ == 0 || --level_ == 0) {
      rising_ = true;
    }
    Apply();
  }

 private:
  static void Tick(void* self) { static_cast<CPulseLine*>(self)->Step(); }
  void Apply() {
    const double a = static_cast<double>(level_) / kPulseLevels;
    const u32 colour = (kPulseTextColour & 0x00FFFFFFu) | (static_cast<u32>(a * 255.0) << 24);
    if (colour != label.textColour) label.SetTextColour(colour);
    if (a != picture.opacity) {
      picture.opacity = a;
      picture.Redraw();
    }
  }

  CTickerThread ticker_;
  u32 level_ = 0;
  u32 hold_ = 0;
  bool rising_ = true;
};
