// CPageHolderList: the pages of a list (the page host's open pages, the
// task view's jobs) as one child entry of their composite: every walk of
// the toolkit offers its event to the pages in list order, the first page
// that takes it ends the walk; painting goes from the last page to the
// first, so the first lies on top. Hidden pages take nothing and paint
// nothing.
#pragma once
#include "app/main_window/page_holder.h"
#include "runtime/array.h"

class CPageHolderList {
 public:
  static constexpr bool kIndirectChildren = true;

  explicit CPageHolderList(CArray<CPageHolder*>* pages) : pages_(pages) {}

  bool RouteMouse(const Point& point, const MouseEvent& e) {
    return Any([&](CPageHolder* h) { return h->RouteMouse(point, e); });
  }
  i32 RouteNcHitTest(const Point& point) {
    i32 code = kHitNowhere;
    Any([&](CPageHolder* h) { return (code = h->RouteNcHitTest(point)) != kHitNowhere; });
    return code;
  }
  bool RouteKey(const KeyEvent& k) {
    return Any([&](CPageHolder* h) { return h->RouteKey(k); });
  }
  bool NotifyFocusLost(const CWidget* old) {
    return Any([&](CPageHolder* h) { return h->NotifyFocusLost(old); });
  }
  bool NotifyFocusGained(const CWidget* focused) {
    return Any([&](CPageHolder* h) { return h->NotifyFocusGained(focused); });
  }
  bool TabWalkForward(bool* passed) {
    return Any([&](CPageHolder* h) { return h->TabWalkForward(passed); });
  }
  bool TabWalkBackward(bool* passed) {
    for (u32 i = pages_->GetCount(); i-- > 0;)
      if ((*pages_)[i]->TabWalkBackward(passed)) return true;
    return false;
  }
  bool ReleasePress() {
    return Any([&](CPageHolder* h) { return h->ReleasePress(); });
  }
  bool CheckPressLeave(const Point& point) {
    return Any([&](CPageHolder* h) { return h->CheckPressLeave(point); });
  }
  bool NotifyPressElsewhere(const CWidget* focused) {
    return Any([&](CPageHolder* h) { return h->NotifyPressElsewhere(focused); });
  }
  void PaintClipped(CCanvas& canvas) {
    for (u32 i = pages_->GetCount(); i-- > 0;) (*pages_)[i]->PaintClipped(canvas);
  }

 private:
  template <class F>
  bool Any(F&& visit) {
    for (u32 i = 0; i < pages_->GetCount(); ++i)
      if (visit((*pages_)[i])) return true;
    return false;
  }

  CArray<CPageHolder*>* pages_;
};
