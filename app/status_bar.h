// CStatusBar: the main window's bar along its bottom edge, 24 pixels high,
// with two text parts: part 0 takes what part 1 (180 pixels) leaves.
// Pages set the texts through the main window (SetStatusText); a part
// shows a UI string id or, after SetText, its own text. Shown and hidden by
// the Statusbar command; the choice is not stored.
#pragma once
#include "app/status_parts.h"
#include "runtime/ui_strings.h"
#include "runtime/wide_string.h"
#include "ui/widgets/widget.h"

constexpr i32 kStatusBarHeight = 24;
constexpr u32 kStatusPartCount = 2;

struct StatusPart {
  i32 width = kStatusPartAuto;
  i32 imageFrame = -1;
  i32 textId = -1;  // -1: the own text
  CWideString text;
};

template <class TParent>
class CStatusBar : public CWidgetOf<CStatusBar<TParent>, TParent> {
 public:
  CStatusBar() { parts[1].width = 180; }

  // Stores a part's own text; when asked and shown, repaints that part
  // only. A part outside 0..1 is ignored.
  void SetText(u32 part, const wchar16* text, bool redraw) {
    if (part >= kStatusPartCount) return;
    parts[part].text.Assign(text ? text : u"");
    parts[part].textId = -1;
    if (!redraw || !this->IsVisible()) return;
    const Rect r = PartRect(part);
    this->RedrawRect(&r);
  }

  // The widths of the parts for the bar's width and the window's state.
  void PartWidths(i32* out) {
    i32 widths[kStatusPartCount];
    for (u32 i = 0; i < kStatusPartCount; ++i) widths[i] = parts[i].width;
    DistributeAutoSizes(widths, kStatusPartCount, this->width, Maximised(), out);
  }
  // Part n's rectangle in the bar (3 pixels kept free at its right and
  // top).
  Rect PartRect(u32 part) {
    i32 widths[kStatusPartCount];
    PartWidths(widths);
    i32 x = 0;
    for (u32 i = 0; i < part; ++i) x += widths[i];
    return {x, 0, x + widths[part] - 3, kStatusBarHeight - 3};
  }
  // The text a part shows now.
  UiString PartText(u32 part) const {
    const StatusPart& p = parts[part];
    if (p.textId >= 0) return *GetUiString(static_cast<u32>(p.textId));
    return {p.text.c_str(), static_cast<u32>(p.text.GetLength())};
  }

  StatusPart parts[kStatusPartCount];

 private:
  bool Maximised() { return (this->Window().flags & kFlagMaximized) != 0; }
};
