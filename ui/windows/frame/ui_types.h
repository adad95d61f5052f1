// The toolkit's basic types: points, the bits of the flag word that every
// widget record and every window's own record carries (the theme painter
// reads the style bits, the window and widget code the state bits), caption
// buttons and hit codes. Portable.
//
// Inside the toolkit y points up from the bottom edge of the desktop work
// area; only calls into the window system convert.
#pragma once
#include "runtime/types.h"

struct Point {
  i32 x, y;
};

constexpr u32 kFlagModal1 = 0x1;             // windows: caption buttons take no keys
constexpr u32 kFlagNoCaptionButtons = 0x2;   // also the second modal bit of windows
constexpr u32 kFlagVisible = 0x4;
constexpr u32 kFlagSeeThrough = 0x8;         // a redraw repaints what lies behind it
constexpr u32 kFlagCloseButton = 0x10;
constexpr u32 kFlagMaximizeButton = 0x20;
constexpr u32 kFlagMinimizeButton = 0x40;
constexpr u32 kFlagCaptionButtons = 0x70;
constexpr u32 kFlagMaximized = 0x80;
constexpr u32 kFlagMinimized = 0x100;        // presentation suppressed
constexpr u32 kFlagSizable = 0x200;
constexpr u32 kFlagCaption = 0x400;
constexpr u32 kFlagHScroll = 0x800;
constexpr u32 kFlagVScroll = 0x1000;
constexpr u32 kFlagPanelFrame = 0x2000;
constexpr u32 kFlagInset = 0x4000;
constexpr u32 kFlagBorderInset = 0x8000;
constexpr u32 kFlagTabStop = 0x20000;
constexpr u32 kFlagDisabled = 0x40000;
constexpr u32 kFlagRedrawSuspended = 0x100000;

// Caption buttons as the window keeps them (hot, pressed, keyboard
// highlight): one bit each.
constexpr i32 kCaptionNone = 0;
constexpr i32 kCaptionClose = 1;
constexpr i32 kCaptionMaximize = 2;
constexpr i32 kCaptionMinimize = 4;

// Non-client hit codes (the window system's WM_NCHITTEST values).
constexpr i32 kHitNowhere = 0;
constexpr i32 kHitClient = 1;
constexpr i32 kHitCaption = 2;
constexpr i32 kHitHScroll = 6;
constexpr i32 kHitVScroll = 7;
constexpr i32 kHitMinimize = 8;
constexpr i32 kHitMaximize = 9;
constexpr i32 kHitLeft = 10;
constexpr i32 kHitRight = 11;
constexpr i32 kHitTop = 12;
constexpr i32 kHitTopLeft = 13;
constexpr i32 kHitTopRight = 14;
constexpr i32 kHitBottom = 15;
constexpr i32 kHitBottomLeft = 16;
constexpr i32 kHitBottomRight = 17;
constexpr i32 kHitClose = 20;

inline bool IsSizingHit(i32 code) { return code >= kHitLeft && code <= kHitBottomRight; }
// The caption button a hit code stands for, or none.
inline i32 CaptionButtonOfHit(i32 code) {
  return code == kHitClose ? kCaptionClose
         : code == kHitMaximize ? kCaptionMaximize
         : code == kHitMinimize ? kCaptionMinimize
                                : kCaptionNone;
}
