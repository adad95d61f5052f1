// A theme painter that records the drawing calls it gets (with the canvas
// origin and clip at the call), so paint tests compare records, not pixels.
// Geometry is the real one. Installs itself for its lifetime.
#pragma once
#include <string>
#include <vector>

#include "ui/windows/theme/theme_painter.h"

struct ThemeCall {
  char op;  // f frame, c caption, b button, k check box, d drop-down, p progress, g bar background, i bar item,
            // B popup-menu background (state: the band), m popup-menu item, G menu-bar background, r menu-bar item
            // w tree row (its rectangle as item), l drop-down popup row (item, state),
            // h item highlight (item, colour, value the radius, state 1 when selected)
  i32 width, height;
  u32 style;
  i32 state;  // caption-button state or the control's look
  double originX, originY;
  Rect clip;  // relative to the origin
  std::u16string text;
  double value;  // progress fraction, bar-background grip
  Rect item;     // bar items
  i32 image;     // image frame
  u32 colour;    // button face colour
};

class CRecordingThemePainter final : public CThemePainter {
 public:
  CRecordingThemePainter();
  ~CRecordingThemePainter();
  void DrawFrame(CCanvas* canvas, i32 width, i32 height, u32 style, bool fill, i32 captionState,
                 const CBitmap* image, const wchar16* title) override;
  void DrawCaption(CCanvas* canvas, i32 width, i32 height, u32 style, i32 captionState) override;
  void DrawButton(CCanvas* canvas, i32 width, i32 height, u32 state, const wchar16* text, i32 length,
                  i32 imageFrame, u32 colour) override;
  void DrawCheckBox(CCanvas* canvas, i32 width, i32 height, u32 state, const wchar16* text, i32 length) override;
  void DrawDropDown(CCanvas* canvas, i32 width, i32 height, u32 state, const wchar16* text, i32 length,
                    i32 iconFrame) override;
  void DrawProgressBar(CCanvas* canvas, i32 width, i32 height, double fraction, u32 colour) override;
  void DrawBarBackground(CCanvas* canvas, i32 width, i32 height, bool grip) override;
  void DrawBarItem(CCanvas* canvas, const Rect& item, const wchar16* text, i32 length, i32 imageFrame) override;
  // (menus: recording_theme_painter_menus.cpp)
  void DrawMenuBackground(CCanvas* canvas, i32 width, i32 height, i32 band) override;
  void DrawMenuItem(CCanvas* canvas, const Rect& item, u32 state, const wchar16* text, i32 length,
                    i32 imageFrame) override;
  void DrawMenuBarBackground(CCanvas* canvas, u32 state, i32 width, i32 height) override;
  void DrawMenuBarItem(CCanvas* canvas, const Rect& item, u32 state, const wchar16* text, i32 length,
                       i32 imageFrame) override;
  // The calls of one kind, in order.
  std::vector<ThemeCall> CallsOf(char op) const;
  // (views)
  void DrawListRow(CCanvas* canvas, const Rect& row, u32 state, const wchar16* text, i32 length,
                   i32 imageFrame) override;
  void DrawListItem(CCanvas* canvas, const Rect& item, u32 state, const wchar16* text, i32 length) override;
  void DrawItemHighlight(CCanvas* canvas, const Rect& rect, double radius, u32 colour, bool selected,
                         double inset) override;
  std::vector<ThemeCall> calls;
  bool draw = false;  // also draw with the built-in look

 private:
  ThemeCall& Note(char op, CCanvas* canvas, i32 width, i32 height, u32 style, i32 state,
                  const wchar16* text = nullptr, i32 length = 0);
};
