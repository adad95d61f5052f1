// CStatusBar: the main window's bar along its bottom edge, 24 pixels high,
// with two text parts: part 0 takes what part 1 (180 pixels) leaves.
// Pages set the texts through the main window (SetStatusText); a part
// shows a UI string id or, after SetText, its own text. Shown and hidden by
// the Statusbar command; the choice is not stored.
#pragma once
#include "ui/views/control_painters.h"
#include "ui/widgets/widget.h"

constexpr i32 kStatusBarHeight = 24;
constexpr u32 kStatusPartCount = 2;

template <class TParent>
class CStatusBar : public CWidgetOf<CStatusBar<TParent>, TParent> {
 public:
  CStatusBar() {
    for (StatusBarItem& item : items) {
      item.width = -1;
      item.imageFrame = -1;
      item.textId = -1;
    }
    items[1].width = 180;
  }

  // Stores a part's own text; when asked and shown, repaints that part
  // only. A part outside 0..1 is ignored.
  void SetText(u32 part, const wchar16* text, bool redraw) {
    if (part >= kStatusPartCount) return;
    items[part].text.Assign(text ? text : u"");
    items[part].textId = -1;
    if (!redraw || !this->IsVisible()) return;
    const Rect r = PartRect(part);
    this->RedrawRect(&r);
  }

  // Part n's rectangle in the bar (3 pixels kept free at its right and
  // top).
  Rect PartRect(u32 part) {
    i32 widths[kStatusPartCount];
    DistributeAutoSizes(items, kStatusPartCount, this->width, Maximised(), widths);
    i32 x = 0;
    for (u32 i = 0; i < part; ++i) x += widths[i];
    return {x, 0, x + widths[part] - 3, barHeight - 3};
  }

  void PaintContent(CCanvas& canvas) { PaintStatusBar(canvas, *this); }

  // The sizing grip in the bar's lower right corner sizes the window from
  // that corner (not while it is maximised, when no grip is drawn).
  static constexpr i32 kGripReach = 17;
  i32 HitTestNonClient(const Point& p) const {
    Point local = {p.x - this->x, p.y - this->y};
    if (this->parent) this->parent->WindowToLocal(&local);
    const CWidget* root = this;
    while (root->parent) root = root->parent;
    const u32 window = root->flags;
    if ((window & kFlagSizable) && !(window & kFlagMaximized) && local.x >= this->width - kGripReach &&
        local.x < this->width && local.y >= 0 && local.y < kGripReach)
      return kHitBottomRight;
    return CWidget::HitTestNonClient(p);
  }

  StatusBarItem items[kStatusPartCount];
  i32 barHeight = kStatusBarHeight;
  const CImageStrip* imageStrip = nullptr;

 private:
  bool Maximised() { return (this->Window().flags & kFlagMaximized) != 0; }
};
