// A theme painter that records the drawing calls it gets (with the canvas
// origin and clip at the call), so paint tests compare records, not pixels.
// Geometry is the real one. Installs itself for its lifetime.
#pragma once
#include <string>
#include <vector>

#include "ui/windows/theme_painter.h"

struct ThemeCall {
  char op;  // f frame, c caption, b button
  i32 width, height;
  u32 style;
  i32 state;  // caption-button state or the button's look
  double originX, originY;
  Rect clip;  // relative to the origin
};

// A menu drawing: m popup item, r menu-bar item, B popup background, g bar
// background.
struct MenuThemeCall {
  char op;
  u32 state;  // the look word (backgrounds: the band or the bar state)
  Rect item;  // backgrounds: {0, 0, width, height}
  std::u16string text;
  i32 image;
  double originX;
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
  // (menus: recording_theme_painter_menus.cpp; recorded, never drawn)
  void DrawMenuBackground(CCanvas* canvas, i32 width, i32 height, i32 band) override;
  void DrawMenuItem(CCanvas* canvas, const Rect* item, u32 state, const wchar16* text, i32 length,
                    i32 imageFrame) override;
  void DrawMenuBarBackground(CCanvas* canvas, u32 state, i32 width, i32 height) override;
  void DrawMenuBarItem(CCanvas* canvas, const Rect* item, u32 state, const wchar16* text, i32 length,
                       i32 imageFrame) override;
  // The menu drawings of one kind, in order.
  std::vector<MenuThemeCall> MenuCalls(char op) const;
  std::vector<MenuThemeCall> menuCalls;
  std::vector<ThemeCall> calls;
  bool draw = false;  // also draw with the built-in look

 private:
  void Note(char op, CCanvas* canvas, i32 width, i32 height, u32 style, i32 state);
};
