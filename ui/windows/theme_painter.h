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

// (added for views)
// List-row states (tree rows).
constexpr u32 kLookOpen = 0x8;       // drop-down highlighted
constexpr u32 kLookSelected = 0x10;  // the current item of a popup list
constexpr u32 kRowSelected = 0x1;
constexpr u32 kRowCollapsed = 0x8;  // an expander showing a plus
constexpr u32 kRowExpanded = 0x10;  // an expander showing a minus
constexpr u32 kRowNoText = 0x40;    // the label is being edited
// Scroll-bar part bits of ScrollBarState::parts.
constexpr u32 kScrollPartHot = 0x8;
// What a frame drawing needs to know of one scroll bar.
struct ScrollBarState {
  double position;  // 0..1; vertical 1 shows the top
  double fraction;  // the thumb's share of the track, 0..1
  u32 parts;        // kScrollPartHot and the held part bits
};

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

  // (added for views)
  // The scroll-bar state the next frame drawing on this canvas uses: axis 2
  // the vertical bar, anything else the horizontal one.
  virtual void SetScrollState(CCanvas* canvas, const ScrollBarState* state, i32 axis);
  // The strips whose frames the next control drawings on this canvas use.
  virtual void SetIcon(CCanvas* canvas, const CImageStrip* strip, const CImageStrip* disabledStrip);
  // A drop-down field (kLookPressed: the popup's background only;
  // kLookOpen: the highlighted look).
  virtual void DrawDropDown(CCanvas* canvas, i32 width, i32 height, u32 state, const wchar16* text,
                            i32 length);
  // A drop-down popup's row: kLookSelected selects it.
  virtual void DrawListItem(CCanvas* canvas, const Rect& item, u32 state, const wchar16* text,
                            i32 length);
  // A tree row: kRow* states.
  virtual void DrawListRow(CCanvas* canvas, const Rect& row, u32 state, const wchar16* text, i32 length,
                           i32 imageFrame);
  // A glossy rounded highlight (selected: with the lower glow).
  virtual void DrawItemHighlight(CCanvas* canvas, const Rect& rect, double radius, u32 colour,
                                 bool selected, double inset);

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
