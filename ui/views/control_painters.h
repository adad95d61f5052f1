// The content painters of the controls: each runs with the canvas origin at
// the control's content origin and the clip on its content, reads the
// control's fields and the focus, folds them into a look word and has the
// theme painter draw the control (or draws it on the canvas itself). Texts
// are UI string ids looked up at every paint (-1: the control's own text),
// so a language switch needs only a repaint. Painters keep nothing.
// Portable.
//
// A control class calls its painter from its PaintContent. The drop-down
// list's painter reads these members of its class:
//   u8 state                  bit 0x1: the highlighted look
//   i32 selectedIndex         -1: none
//   u32 ItemCount()           the explicit count, else the stored items
//   void GetItem(i32 index, const wchar16** text, i32* length, i32* icon, u32* value)
#pragma once
#include "render/bitmap.h"
#include "render/canvas.h"
#include "render/image_strip.h"
#include "render/text/text_layout.h"
#include "runtime/ui_strings.h"
#include "runtime/wide_string.h"
#include "ui/widgets/focus.h"
#include "ui/windows/theme/theme_painter.h"

struct ControlText {
  const wchar16* text;
  i32 length;
};

// The text of a control: the UI string of id, or its own text for -1.
inline ControlText TextOf(i32 textId, const CWideString& own) {
  if (textId >= 0) {
    const UiString* s = GetUiString(static_cast<u32>(textId));
    return {s->text, static_cast<i32>(s->length)};
  }
  return {own.c_str(), own.GetLength()};
}

// Swaps the canvas font for the painter's call (null keeps the canvas's).
class CCanvasFontScope {
 public:
  CCanvasFontScope(CCanvas& canvas, CFont* font);
  ~CCanvasFontScope();
  CCanvasFontScope(const CCanvasFontScope&) = delete;
  CCanvasFontScope& operator=(const CCanvasFontScope&) = delete;

 private:
  CCanvas& canvas_;
  CFont* saved_;
  bool swapped_;
};

// ---- Push button ----
// The look: the style word; pressed while Space holds it or while it is
// hot and held; hot; disabled (never with the default look); focused.
template <class TButton>
u32 ButtonLook(const TButton& b) {
  u32 look = b.style;
  if ((b.state & TButton::kKeyPressed) || ((b.state & TButton::kHot) && (b.state & TButton::kHeld)))
    look |= kLookPressed;
  if (b.state & TButton::kHot) look |= kLookHot;
  if (b.flags & kFlagDisabled) look = (look | kLookDisabled) & ~kLookDefault;
  if (FocusedWidget() == &b) look |= kLookFocused;
  return look;
}

template <class TButton>
void PaintButton(CCanvas& canvas, TButton& b) {
  CThemePainter* theme = ThemePainter();
  // Without frames of its own for the disabled look, the button keeps its
  // icon from the normal strip.
  if (b.iconStrip) theme->SetIcon(&canvas, b.iconStrip, b.disabledIconStrip ? b.disabledIconStrip : b.iconStrip);
  CCanvasFontScope font(canvas, b.font);
  const ControlText t = TextOf(b.textId, b.text);
  theme->DrawButton(&canvas, b.width, b.height, ButtonLook(b), t.text, t.length, b.imageFrame, b.colour);
}

// ---- Check box ----
template <class TCheckBox>
void PaintCheckBox(CCanvas& canvas, TCheckBox& c) {
  u32 look = (c.flags & kFlagDisabled) ? kLookDisabled : 0;
  if ((c.state & TCheckBox::kHighlighted) || FocusedWidget() == &c) look |= kLookHot;
  const ControlText t = TextOf(c.textId, c.text);
  ThemePainter()->DrawCheckBox(&canvas, c.width, c.height, look | c.style, t.text, t.length);
}

// ---- Label ----
constexpr u32 kLabelLinkColour = 0xFF2020FFu;
// The edge lines of a label's decoration: bottom and top across the whole
// width, the sides between them.
void PaintLabelLines(CCanvas& canvas, i32 width, i32 height, u32 decoration, u32 colour, i32 thickness);

// The text a label shows in font: its text, or, for a label shortened to
// one line, that line ended by "..." where the text does not fit (held in
// buffer).
template <class TLabel>
ControlText ShownLabelText(const TLabel& l, CFont* font, CWideString* buffer) {
  const ControlText t = TextOf(l.textId, l.text);
  if (!l.oneLine) return t;
  ShortenToWidth(font, l.width, t.text, t.length, buffer);
  return {buffer->c_str(), buffer->GetLength()};
}

template <class TLabel>
void PaintLabel(CCanvas& canvas, TLabel& l) {
  {
    CCanvasFontScope font(canvas, l.font);
    const u32 saved = canvas.textColour;
    canvas.textColour = ((l.decoration & TLabel::kLink) && (l.state & TLabel::kHot)) ? kLabelLinkColour : l.textColour;
    CWideString shortened;
    const ControlText t = ShownLabelText(l, canvas.font, &shortened);
    if (l.alignment & TLabel::kAlignMiddle) {
      if (l.textId >= 0 || t.length != 0)
        canvas.DrawTextInRect(0, 0, l.width, l.height, t.text, t.length, l.alignment);
    } else {
      // From the top, only the lines that show whole, come down as far as
      // the accents of their capitals rise above the font's ascender.
      const TopAlignedText fit = FitTextFromTop(canvas.font, l.width, l.height, t.text, t.length);
      if (fit.lines > 0) canvas.DrawTextInRect(0, fit.bottom, l.width, fit.top, t.text, t.length, l.alignment);
    }
    canvas.textColour = saved;
  }
  if (l.decoration & 0xF) PaintLabelLines(canvas, l.width, l.height, l.decoration, l.lineColour, l.lineThickness);
}

// ---- Picture ----
// The frame scaled about the control's middle below zoom 1, at its own size
// from the corner at zoom 1 or more; nothing at zoom 0, opacity 0 or
// without frames.
void PaintPictureFrame(CCanvas& canvas, const CImageStrip& image, i32 frame, double zoom, double opacity,
                       i32 width, i32 height);

template <class TPicture>
void PaintPicture(CCanvas& canvas, TPicture& p) {
  PaintPictureFrame(canvas, p.image, p.frame, p.zoom, p.opacity, p.width, p.height);
}

// ---- Drop-down list ----
template <class TList>
void PaintDropDownList(CCanvas& canvas, TList& list) {
  const u32 look = ((list.state & 0x1) || FocusedWidget() == &list) ? kLookOpen : 0;
  const u32 count = list.ItemCount();
  const wchar16* text = nullptr;
  i32 length = 0;
  i32 icon = -1;
  if (count != 0 && static_cast<u32>(list.selectedIndex) < count) {
    u32 value = 0;
    list.GetItem(list.selectedIndex, &text, &length, &icon, &value);
  }
  ThemePainter()->DrawDropDown(&canvas, list.width, list.height, look, text, text ? length : 0, icon);
}

// ---- Progress bar ----
// (value - minimum) / (maximum - minimum); value - minimum when the two
// bounds are equal; cut to 0..1, NaN giving 0.
double ProgressFraction(double minimum, double maximum, double value);

template <class TBar>
void PaintProgressBar(CCanvas& canvas, TBar& bar) {
  ThemePainter()->DrawProgressBar(&canvas, bar.width, bar.height, ProgressFraction(bar.minimum, bar.maximum, bar.value),
                                  bar.style);
}

// ---- Gradient panel ----
template <class TPanel>
void PaintGradientPanel(CCanvas& canvas, TPanel& p) {
  canvas.FillRectGradientY(0, 0, p.width, p.height, LinearGradient{p.bottomColour, p.topColour, 0.0, double(p.height)});
  if (p.bitmap) DrawBitmapAt(&canvas, p.bitmap, p.bitmapX, p.bitmapY, p.bitmapOpacity);
}

// ---- Status bar ----
struct StatusBarItem {
  i32 width;  // -1: a share of the width left by the fixed items
  i32 imageFrame;
  i32 textId;
  CWideString text;
};

// The item widths: from the available width (less the grip's 18 pixels
// unless the window is maximised) each fixed item takes its own and the
// automatic ones share the rest equally.
void DistributeAutoSizes(const StatusBarItem* items, u32 count, i32 barWidth, bool maximized, i32* widths);
void PaintStatusBarItems(CCanvas& canvas, const StatusBarItem* items, u32 count, i32 barWidth, i32 barHeight,
                         bool maximized, const CImageStrip* strip);

template <class TBar>
void PaintStatusBar(CCanvas& canvas, TBar& bar) {
  PaintStatusBarItems(canvas, bar.items, 2, bar.width, bar.barHeight, (bar.Window().flags & kFlagMaximized) != 0,
                      bar.imageStrip);
}

// ---- Drop hint of the audio project's empty track list ----
// UI string 204 centred in the list's content in the list's font, while it
// has no rows.
void PaintDropHint(CCanvas& canvas, const Rect& content, u32 rowCount, CFont* font);
