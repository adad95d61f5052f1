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
  // The view operations (d drop-down, r list row): rectangle and text (a
  // list row's image frame is kept in style).
  Rect rect = {0, 0, 0, 0};
  std::u16string text = {};
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
  // (views)
  void DrawDropDown(CCanvas* canvas, i32 width, i32 height, u32 state, const wchar16* text, i32 length) override;
  void DrawListRow(CCanvas* canvas, const Rect& rect, u32 state, const wchar16* text, i32 length,
                   i32 imageFrame) override;
  // The calls of one operation.
  std::vector<ThemeCall> Calls(char op) const;

  std::vector<ThemeCall> calls;
  bool draw = false;  // also draw with the built-in look

 private:
  void Note(char op, CCanvas* canvas, i32 width, i32 height, u32 style, i32 state);
};
