// CThemePainter: the one object that knows the chrome of every window and
// control. Windows and widgets never compute frame geometry themselves: they
// ask the painter for the content rectangle of a size and flag word, the
// rectangle of a scroll bar, the non-client hit code of a point and the
// caption-button area, and they have it draw frames, captions and
// controls. It is reached through one process-wide pointer (ThemePainter())
// and its operations are virtual so that tests can record the calls.
//
// Coordinates are integers, y up from the box's bottom-left corner. A Rect
// here holds {x0, y0, x1, y1}: its `top` field is the LOWER edge and its
// `bottom` field the upper edge (Rect::Contains is half-open in both).
// Portable.
#pragma once
#include "render/rect.h"
#include "runtime/types.h"
#include "ui/windows/ui_types.h"

class CCanvas;
class CBitmap;
class CImageStrip;

// Drawing state bits handed to the control drawings (beside the control's
// own style bits).
constexpr u32 kLookDisabled = 0x1;
constexpr u32 kLookHot = 0x2;
constexpr u32 kLookPressed = 0x4;
constexpr u32 kLookFocused = 0x1000;
constexpr u32 kLookDefault = 0x2000;

class CThemePainter {
 public:
  // Geometry (the same for every painter).
  virtual Rect* GetContentRect(Rect* out, i32 width, i32 height, u32 style);
  // axis 1: the horizontal bar, anything else the vertical one.
  virtual Rect* GetScrollBarRect(i32 axis, Rect* out, i32 width, i32 height, u32 style);
  virtual i32 HitTestFrame(i32 x, i32 y, i32 width, i32 height, u32 style);

  // Frame, background (when fill is asked), caption buttons in the given
  // hot state, caption image and title (each may be null).
  virtual void DrawFrame(CCanvas* canvas, i32 width, i32 height, u32 style, bool fill,
                         i32 captionState, const CBitmap* image, const wchar16* title);
  // Only the caption-button area, clipped to it.
  virtual void DrawCaption(CCanvas* canvas, i32 width, i32 height, u32 style, i32 captionState);
  virtual Rect* GetCaptionRect(Rect* out, i32 width, i32 height, u32 style);
  // A push button: state is the button's style with the kLook* bits; colour
  // 0 takes the theme's face colour; imageFrame -1 draws no image.
  virtual void DrawButton(CCanvas* canvas, i32 width, i32 height, u32 state, const wchar16* text,
                          i32 length, i32 imageFrame, u32 colour);

  // (added for menus)
  // The image strips of the next menu-item and menu-bar-item drawings, the
  // second for disabled items; either may be null.
  virtual void SetIcon(const CImageStrip* strip, const CImageStrip* disabledStrip);
  // A popup menu's background and frame; band: the width of the icon
  // column at the left (0 none).
  virtual void DrawMenuBackground(CCanvas* canvas, i32 width, i32 height, i32 band);
  // One popup-menu row. state: 0x1 disabled, 0x2 hot, 0x8 separator (no
  // text), 0x10 opens a submenu (a dot at the right end). The text is split
  // at its first tab, the part after it drawn as a right-hand column.
  // imageFrame: a frame of the strips, -1 none, -2 a ticked and -3 an
  // empty check box.
  virtual void DrawMenuItem(CCanvas* canvas, const Rect* item, u32 state, const wchar16* text, i32 length,
                            i32 imageFrame);
  // A menu bar's background: state 0x2 the rounded fill, 0x1 the outline.
  virtual void DrawMenuBarBackground(CCanvas* canvas, u32 state, i32 width, i32 height);
  // One menu-bar entry. state: 0x2 disabled (the disabled strip, no hot
  // look), 0x4 hot, 0x8 open; imageFrame -1 draws none.
  virtual void DrawMenuBarItem(CCanvas* canvas, const Rect* item, u32 state, const wchar16* text, i32 length,
                               i32 imageFrame);

 protected:
  ~CThemePainter() = default;
};

// The process-wide painter; the built-in one until SetThemePainter is
// called (null restores the built-in one).
CThemePainter* ThemePainter();
void SetThemePainter(CThemePainter* painter);
CThemePainter* BuiltInThemePainter();

// The content rectangle as an offset and size: what the widget geometry
// asks for at every level.
inline Rect ContentRectOf(i32 width, i32 height, u32 style) {
  Rect r = {0, 0, 0, 0};
  ThemePainter()->GetContentRect(&r, width, height, style);
  return r;
}
