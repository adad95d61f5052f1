// CThemePainter: the one object that knows the chrome of every window and
// control. Windows and widgets never compute frame geometry themselves: they
// ask the painter for the content rectangle of a size and flag word, the
// rectangle of a scroll bar, the non-client hit code of a point and the
// caption-button area, and they have it draw frames, captions, scroll bars
// and controls. It is reached through one process-wide pointer
// (ThemePainter()) and its operations are virtual so that tests can record
// the calls.
//
// Coordinates are integers (doubles where the drawing needs them), y up
// from the box's bottom-left corner. A Rect here holds {x0, y0, x1, y1}:
// its `top` field is the LOWER edge and its `bottom` field the upper edge
// (Rect::Contains is half-open in both).
//
// The painter itself keeps no drawing state that changes while windows
// paint: the image strips of the next control drawings, the scroll-bar
// states of the next frame and the frame colour of the last frame belong to
// the canvas being painted (ThemePaintState, one per window), so windows
// painted at the same time on different threads never see each other's.
// A canvas without a state draws without icons and scroll states, and with
// the theme's base colour as frame colour. Portable.
#pragma once
#include "render/rect.h"
#include "runtime/types.h"
#include "ui/windows/frame/ui_types.h"

class CCanvas;
class CBitmap;
class CImageStrip;

// Drawing state bits handed to the control drawings (beside the control's
// own style bits).
constexpr u32 kLookDisabled = 0x1;
constexpr u32 kLookHot = 0x2;
constexpr u32 kLookPressed = 0x4;
constexpr u32 kLookOpen = 0x8;       // drop-down open, checked menu look
constexpr u32 kLookSelected = 0x10;  // list items, menu items with a submenu
constexpr u32 kLookFocused = 0x1000;
constexpr u32 kLookDefault = 0x2000;
// Button presentation bits (the button's own style word).
constexpr u32 kButtonLabelCentred = 0x10;
constexpr u32 kButtonLabelRight = 0x20;
constexpr u32 kButtonIconCentred = 0x400;
constexpr u32 kButtonNoIcon = 0x800;
// Check-box style bits.
constexpr u32 kCheckTextRight = 0x200;  // box at the left, text to its right
constexpr u32 kCheckBoxRight = 0x400;   // the box at the control's right edge
constexpr u32 kCheckTicked = 0x800;
// Menu-item states beside disabled and hot.
constexpr u32 kMenuSeparator = 0x8;
constexpr u32 kMenuSubmenu = 0x10;
// Menu-bar-item states.
constexpr u32 kBarItemDisabled = 0x2;
constexpr u32 kBarItemHot = 0x4;
constexpr u32 kBarItemOpen = 0x8;
// List-row states (tree rows).
constexpr u32 kRowSelected = 0x1;
constexpr u32 kRowHot = 0x2;
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

// The drawing state that the painter keeps per window (per canvas).
struct ThemePaintState {
  u32 frameColor = 0;  // set by DrawFrame; 0 until the first frame
  const CImageStrip* iconStrip = nullptr;
  const CImageStrip* disabledIconStrip = nullptr;
  ScrollBarState vScroll = {0.0, 0.0, 0};
  ScrollBarState hScroll = {0.0, 0.0, 0};
};

// The state attached to a canvas (null when none is).
ThemePaintState* ThemeStateOf(const CCanvas* canvas);
void AttachThemeState(CCanvas* canvas, ThemePaintState* state);

class CThemePainter {
 public:
  // ---- Geometry (the same for every painter) ----
  virtual Rect* GetContentRect(Rect* out, i32 width, i32 height, u32 style);
  // axis 1: the horizontal bar, anything else the vertical one.
  virtual Rect* GetScrollBarRect(i32 axis, Rect* out, i32 width, i32 height, u32 style);
  virtual i32 HitTestFrame(i32 x, i32 y, i32 width, i32 height, u32 style);

  // ---- State for the next drawings ----
  // The strips whose frames the next control drawings on this canvas use
  // (the second for disabled items; either may be null).
  virtual void SetIcon(CCanvas* canvas, const CImageStrip* strip, const CImageStrip* disabledStrip);
  // out becomes source recoloured with the theme's base colour, its
  // brightest channel scaled to 1.
  virtual void TintImage(const CImageStrip* source, CImageStrip* out);
  // The image drawn in captions when a frame is given none (set once by
  // the main window).
  virtual void SetAppIcon(const CBitmap* image);

  // ---- Frames ----
  // Frame, background (when fill is asked), caption buttons in the given
  // hot state, caption image, title and the scroll bars of the style (from
  // the canvas's scroll states). Image and title may be null.
  virtual void DrawFrame(CCanvas* canvas, i32 width, i32 height, u32 style, bool fill,
                         i32 captionState, const CBitmap* image, const wchar16* title);
  // Only the caption-button area, clipped to it.
  virtual void DrawCaption(CCanvas* canvas, i32 width, i32 height, u32 style, i32 captionState);
  virtual Rect* GetCaptionRect(Rect* out, i32 width, i32 height, u32 style);
  // The scroll-bar state the next frame drawing on this canvas uses: axis 2
  // the vertical bar, anything else the horizontal one.
  virtual void SetScrollState(CCanvas* canvas, const ScrollBarState* state, i32 axis);

  // ---- Menus ----
  // A popup menu's background with an icon band of that width (0: none).
  virtual void DrawMenuBackground(CCanvas* canvas, i32 width, i32 height, i32 band);
  // One popup-menu row: state kLookDisabled, kLookHot, kMenuSeparator,
  // kMenuSubmenu; the text is split at its first tab into label and
  // shortcut; imageFrame -1 none, -2 a ticked and any other negative value
  // an empty check box.
  virtual void DrawMenuItem(CCanvas* canvas, const Rect& item, u32 state, const wchar16* text,
                            i32 length, i32 imageFrame);

  // ---- Controls ----
  // A push button: state is the button's style with the kLook* bits; colour
  // 0 takes the theme's face colour; imageFrame -1 draws no image.
  virtual void DrawButton(CCanvas* canvas, i32 width, i32 height, u32 state, const wchar16* text,
                          i32 length, i32 imageFrame, u32 colour);
  // state: the check box's style word with kLookDisabled and kLookHot.
  virtual void DrawCheckBox(CCanvas* canvas, i32 width, i32 height, u32 state, const wchar16* text,
                            i32 length);
  // A status bar's background in the last frame's colour, with the sizing
  // grip at its bottom-right corner when asked.
  virtual void DrawBarBackground(CCanvas* canvas, i32 width, i32 height, bool grip);
  virtual void DrawBarItem(CCanvas* canvas, const Rect& item, const wchar16* text, i32 length,
                           i32 imageFrame);
  // state bit 0x2 the bar's rounded background, 0x1 its outline.
  virtual void DrawMenuBarBackground(CCanvas* canvas, u32 state, i32 width, i32 height);
  // state kBarItemDisabled, kBarItemHot, kBarItemOpen.
  virtual void DrawMenuBarItem(CCanvas* canvas, const Rect& item, u32 state, const wchar16* text,
                               i32 length, i32 imageFrame);
  virtual void DrawProgressBar(CCanvas* canvas, i32 width, i32 height, double fraction, u32 colour);
  // A drop-down field (kLookPressed: the popup's background only;
  // kLookOpen: the highlighted look), with the item's icon frame of the
  // canvas's icon strip before its text (-1: none).
  virtual void DrawDropDown(CCanvas* canvas, i32 width, i32 height, u32 state, const wchar16* text,
                            i32 length, i32 iconFrame);
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
  // The frame's own steps.
  void DrawCaptionButtons(CCanvas* canvas, i32 width, i32 height, u32 style, i32 captionState);
  void DrawFrameBorder(CCanvas* canvas, i32 width, i32 height, u32 style);

 private:
  const CBitmap* appIcon_ = nullptr;
};

// The process-wide painter; the built-in one until SetThemePainter is
// called (null restores the built-in one).
CThemePainter* ThemePainter();
void SetThemePainter(CThemePainter* painter);
// The built-in painter: built by the theme's start-up entry (InitTheme,
// theme_metrics.h) and ended from the exit list by DestroyThemePainter,
// once; null while it does not exist.
CThemePainter* BuiltInThemePainter();
// The painter's destructor, which has no work of its own; a painter
// installed in the built-in one's place is left installed.
void DestroyThemePainter();

// The content rectangle as an offset and size: what the widget geometry
// asks for at every level.
inline Rect ContentRectOf(i32 width, i32 height, u32 style) {
  Rect r = {0, 0, 0, 0};
  ThemePainter()->GetContentRect(&r, width, height, style);
  return r;
}

// A tinted copy of a strip: every pixel's luminance (0.3 R + 0.59 G +
// 0.11 B) times the tint per channel, at 0.35 of its alpha. out's old
// bitmap is released; on an allocation failure out stays empty.
void MakeTintedBitmap(const CImageStrip* source, CImageStrip* out, double red, double green,
                      double blue);
