// Conversions between desktop, outer and content coordinates, and the hit
// tests. Every level asks the theme painter for its content rectangle.
#include "ui/widgets/widget_record.h"
#include "ui/windows/theme/theme_painter.h"

Point CWidget::GetContentOffset() const {
  Rect c = ContentRectOf(width, height, flags);
  return {c.left, c.top};
}

Rect CWidget::GetContentRect() const {
  Rect c = ContentRectOf(width, height, flags);
  return {0, 0, c.right - c.left, c.bottom - c.top};
}

void CWidget::ParentToLocal(Point* p) const {
  const Point o = GetContentOffset();
  p->x -= x + o.x;
  p->y -= y + o.y;
}

void CWidget::LocalToParent(Point* p) const {
  const Point o = GetContentOffset();
  p->x += x + o.x;
  p->y += y + o.y;
}

void CWidget::WindowToLocal(Point* p) const {
  for (const CWidget* w = this; w; w = w->parent) w->ParentToLocal(p);
}

void CWidget::ToWindowPoint(Point* p) const {
  for (const CWidget* w = this; w; w = w->parent) w->LocalToParent(p);
}

void CWidget::WindowToLocalRect(Rect* r) const {
  Point a = {r->left - x, r->top - y};
  Point b = {r->right - x, r->bottom - y};
  if (parent) {
    parent->WindowToLocal(&a);
    parent->WindowToLocal(&b);
  }
  *r = {a.x, a.y, b.x, b.y};
}

Rect CWidget::ToWindowRect() const {
  Rect r = {0, 0, width, height};
  RectToWindow(&r);
  return r;
}

void CWidget::RectToWindow(Rect* r) const {
  Point a = {r->left + x, r->top + y};
  Point b = {r->right + x, r->bottom + y};
  if (parent) {
    parent->ToWindowPoint(&a);
    parent->ToWindowPoint(&b);
  }
  *r = {a.x, a.y, b.x, b.y};
}

void CWidget::ContentToLocalRect(Rect* r) const {
  const Point o = GetContentOffset();
  *r = {r->left + o.x, r->top + o.y, r->right + o.x, r->bottom + o.y};
}

bool CWidget::ContainsPoint(const Point& p) const { return ToWindowRect().Contains(p.x, p.y); }

bool CWidget::HitTest(const Point& p) const { return IsVisible() && ContainsPoint(p); }

i32 CWidget::HitTestNonClient(const Point& p) const {
  Point local = {p.x - x, p.y - y};
  if (parent) parent->WindowToLocal(&local);
  return ThemePainter()->HitTestFrame(local.x, local.y, width, height, flags);
}

bool CWidget::IsWithin(const CWidget* ancestor) const {
  for (const CWidget* w = this; w; w = w->parent)
    if (w == ancestor) return true;
  return false;
}
