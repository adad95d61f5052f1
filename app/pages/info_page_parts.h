// What the disc and device information pages share: their fonts, their
// close button, their place in the page host (a 480-pixel column in the
// middle) and the pane they stand on.
#pragma once
#include "app/main_window/page_pane.h"
#include "render/text/font.h"
#include "render/text/text_layout.h"
#include "runtime/ui_strings.h"
#include "ui/views/control_painters.h"
#include "ui/widgets/button.h"

constexpr i32 kInfoPageWidth = 480;
constexpr i32 kInfoCloseIcon = 17;
constexpr u32 kInfoCloseColour = 0xC0C04040u;
constexpr u32 kInfoCloseFlags = 0x2000E;

// "Verdana" 12 for the heading.
inline CFont* AcquireInfoHeadingFont() { return AcquireFont(u"Verdana", 12, false, false); }
// The default UI face two points larger, as bold and italic as the default.
inline CFont* AcquireInfoRowFont() {
  CFont* base = GetDefaultFont();
  if (!base) return nullptr;
  CFont* font = AcquireFont(base->faceName.c_str(), base->size + 2, base->bold != 0, base->italic != 0);
  base->Release();
  return font;
}

// The 18 x 18 close button (icon 17 of the main window's strip); a press
// calls the page's OnCloseClicked.
template <class TPage>
void CreateInfoCloseButton(CButton<TPage>& button, TPage* page) {
  button.imageFrame = kInfoCloseIcon;
  button.colour = kInfoCloseColour;
  button.click = BindCallback<TPage, &TPage::OnCloseClicked>(page, page);
  const Rect r = {0, 0, 18, 18};
  button.Create(kInfoCloseFlags, &r, page);
}

// The page's place in a host of the given width: the middle column.
inline i32 InfoPageX(i32 hostWidth) { return hostWidth / 2 - kInfoPageWidth / 2; }

// The pane of a w x h page; `body` (given the rectangle inside the pane's
// border, 8 pixels in) draws on it with the origin shifted to the pane.
template <class Body>
void PaintInfoPane(CCanvas& canvas, i32 w, i32 h, Body body) {
  const PanePlace p = BeginPagePane(canvas, w, h, PaneLightColour() | 0xFF000000u);
  const i32 b = p.border;
  body(Rect{b + 8, b + 8, p.width - b - 8, p.height - b - 8});
  EndPagePane(canvas);
}

// A heading in the heading font, centred at the top of the rectangle.
inline void DrawInfoHeading(CCanvas& canvas, CFont* headingFont, u32 headingId, const Rect& r) {
  CCanvasFontScope font(canvas, headingFont);
  const UiString* heading = GetUiString(headingId);
  DrawTextInBox(&canvas, r.left, r.top, r.right, r.bottom, heading->text, static_cast<i32>(heading->length),
                kTextCentre);
}
