// CPageHolder: the one interface through which the page host, the task
// view's job list and the toolkit's walks reach a page of any class. The
// pages themselves are templates with direct calls inside (their widget
// trees); only the step from a list to one page is virtual.
//
// CPageHolderOf<TPage> implements it for a page class: the page operations
// call the page's own members when it declares them (traits below) and take
// the defaults otherwise; the walks are the toolkit's own templates over
// the page. CPageBox<TPage> is a holder that owns its page (pages opened on
// demand); the start strip and the task view are held by reference.
#pragma once
#include <cstdint>
#include <type_traits>

#include "app/main_window/notice_texts.h"
#include "app/main_window/page_texts.h"
#include "runtime/heap.h"
#include "ui/views/widget_paint.h"
#include "ui/widgets/event_routing.h"
#include "ui/widgets/press_tracking.h"
#include "ui/widgets/tab_order.h"

class CPageHolder {
 public:
  virtual ~CPageHolder() {}

  // ---- The page's operations ----
  // Becomes current (true: shown pages take the focus) or stops being it.
  virtual bool Activate(bool active) = 0;
  virtual bool Show(bool show) = 0;
  // Lays the page out in the host's content rectangle.
  virtual void Place(i32 x, i32 y, i32 width, i32 height) = 0;
  // False keeps the page open.
  virtual bool CanClose() = 0;
  // The page leaves the list.
  virtual bool Close() = 0;
  virtual u32 GetFlags() = 0;
  // A command the main window did not handle.
  virtual void OnCommand(u32 command) = 0;
  // Sets the page's menu entries before a submenu opens.
  virtual void UpdateMenu() = 0;

  // ---- Questions and notices of the main window ----
  // True refuses closing the main window (a job or an export that still
  // runs).
  virtual bool RefusesClose() = 0;
  // What the main window's notice says while the page refuses: a running
  // disc job unless the page tells otherwise.
  virtual NoticeText RefusalNotice() = 0;
  // The clipboard changed; true when the page took the notice (the pages
  // after it are not asked).
  virtual bool ClipboardChanged() = 0;
  // A toolkit message of the main window (offset from WM_USER); true when
  // the page took it.
  virtual bool UserMessage(u32 offset, uintptr_t wParam, intptr_t lParam) = 0;
  // The interface language changed: whatever the page measured or built
  // from texts is done again, then it repaints.
  virtual void LanguageChanged() = 0;

  // ---- The page's widget ----
  virtual CWidget* Widget() = 0;
  // The widget is the page or lies inside it.
  bool Owns(const CWidget* widget) { return widget && widget->IsWithin(Widget()); }

  // ---- The toolkit's walks over the page (indirect_children.h) ----
  virtual bool RouteMouse(const Point& point, const MouseEvent& e) = 0;
  virtual i32 RouteNcHitTest(const Point& point) = 0;
  virtual bool RouteKey(const KeyEvent& k) = 0;
  virtual bool NotifyFocusLost(const CWidget* old) = 0;
  virtual bool NotifyFocusGained(const CWidget* focused) = 0;
  virtual bool TabWalkForward(bool* passed) = 0;
  virtual bool TabWalkBackward(bool* passed) = 0;
  virtual bool ReleasePress() = 0;
  virtual bool CheckPressLeave(const Point& point) = 0;
  virtual bool NotifyPressElsewhere(const CWidget* focused) = 0;
  virtual void PaintClipped(CCanvas& canvas) = 0;
};

// Page members the holder calls when the page class declares them.
KELVANE_WIDGET_TRAIT(HasPageActivate, widget_traits::Fake<T>().OnActivate(true))
KELVANE_WIDGET_TRAIT(HasPageShow, widget_traits::Fake<T>().OnShow(true))
KELVANE_WIDGET_TRAIT(HasPagePlace, widget_traits::Fake<T>().Place(0, 0, 0, 0))
KELVANE_WIDGET_TRAIT(HasPageCanClose, widget_traits::Fake<T>().CanClose())
KELVANE_WIDGET_TRAIT(HasPageClose, widget_traits::Fake<T>().OnClose())
KELVANE_WIDGET_TRAIT(HasPageCommand, widget_traits::Fake<T>().OnCommand(0u))
KELVANE_WIDGET_TRAIT(HasPageMenu, widget_traits::Fake<T>().UpdateMenu())
KELVANE_WIDGET_TRAIT(HasPageRefusesClose, widget_traits::Fake<T>().RefusesClose())
KELVANE_WIDGET_TRAIT(HasPageRefusalNotice, widget_traits::Fake<T>().RefusalNotice())
KELVANE_WIDGET_TRAIT(HasPageClipboard, widget_traits::Fake<T>().OnClipboardChanged())
KELVANE_WIDGET_TRAIT(HasPageLanguage, widget_traits::Fake<T>().OnLanguageChanged())
KELVANE_WIDGET_TRAIT(HasPageUserMessage, widget_traits::Fake<T>().OnUserMessage(0u, uintptr_t(0), intptr_t(0)))

// A page's answer to a notice: its own bool, or "not taken" for a page
// whose handler answers nothing.
template <class TCall>
bool PageAnswer(TCall call) {
  if constexpr (std::is_same_v<decltype(call()), bool>) {
    return call();
  } else {
    call();
    return false;
  }
}

template <class TPage>
class CPageHolderOf : public CPageHolder {
 public:
  explicit CPageHolderOf(TPage* page) : page_(page) {}
  TPage& Page() { return *page_; }

  bool Activate(bool active) override {
    if constexpr (HasPageActivate<TPage>::value) return page_->OnActivate(active);
    if (active) page_->SetFocus();
    return true;
  }
  bool Show(bool show) override {
    if constexpr (HasPageShow<TPage>::value) return page_->OnShow(show);
    page_->ModifyFlags(show ? 0 : kFlagVisible, show ? kFlagVisible : 0);
    return true;
  }
  void Place(i32 x, i32 y, i32 width, i32 height) override {
    if constexpr (HasPagePlace<TPage>::value)
      page_->Place(x, y, width, height);
    else
      page_->SetBounds(x, y, width, height);
  }
  bool CanClose() override {
    if constexpr (HasPageCanClose<TPage>::value) return page_->CanClose();
    return true;
  }
  bool Close() override {
    if constexpr (HasPageClose<TPage>::value) return page_->OnClose();
    return true;
  }
  u32 GetFlags() override { return page_->flags; }
  void OnCommand(u32 command) override {
    if constexpr (HasPageCommand<TPage>::value) page_->OnCommand(command);
  }
  void UpdateMenu() override {
    if constexpr (HasPageMenu<TPage>::value) page_->UpdateMenu();
  }
  bool RefusesClose() override {
    if constexpr (HasPageRefusesClose<TPage>::value) return page_->RefusesClose();
    return false;
  }
  NoticeText RefusalNotice() override {
    if constexpr (HasPageRefusalNotice<TPage>::value) return page_->RefusalNotice();
    return kNoticeJobRunning;
  }
  bool ClipboardChanged() override {
    if constexpr (HasPageClipboard<TPage>::value) return PageAnswer([&] { return page_->OnClipboardChanged(); });
    return false;
  }
  bool UserMessage(u32 offset, uintptr_t wParam, intptr_t lParam) override {
    if constexpr (HasPageUserMessage<TPage>::value)
      return PageAnswer([&] { return page_->OnUserMessage(offset, wParam, lParam); });
    return false;
  }
  void LanguageChanged() override {
    MeasurePageTextsAgain(*page_);
    if constexpr (HasPageLanguage<TPage>::value)
      page_->OnLanguageChanged();
    else
      page_->Redraw();
  }
  CWidget* Widget() override { return page_; }

  bool RouteMouse(const Point& point, const MouseEvent& e) override {
    return RouteMouseToChild(*page_, point, e);
  }
  i32 RouteNcHitTest(const Point& point) override { return RouteNcHitTestToChild(*page_, point); }
  bool RouteKey(const KeyEvent& k) override { return RouteKeyToChild(*page_, k); }
  bool NotifyFocusLost(const CWidget* old) override { return NotifyFocusLostAt(*page_, old); }
  bool NotifyFocusGained(const CWidget* focused) override { return NotifyFocusGainedAt(*page_, focused); }
  bool TabWalkForward(bool* passed) override { return ::TabWalkForward(passed, *page_); }
  bool TabWalkBackward(bool* passed) override { return ::TabWalkBackward(passed, *page_); }
  bool ReleasePress() override {
    CWidget* pressed = PressedWidget();
    return pressed && ReleasePressAt(*page_, pressed);
  }
  bool CheckPressLeave(const Point& point) override {
    CWidget* pressed = PressedWidget();
    return pressed && CheckPressLeaveAt(*page_, pressed, point);
  }
  bool NotifyPressElsewhere(const CWidget* focused) override { return NotifyPressElsewhereAt(*page_, focused); }
  void PaintClipped(CCanvas& canvas) override { ::PaintClipped(*page_, canvas); }

 private:
  TPage* page_;
};

// A holder with its page inside: one allocation, freed as one.
template <class TPage>
class CPageBox final : public CPageHolderOf<TPage> {
 public:
  CPageBox() : CPageHolderOf<TPage>(&page) {}
  TPage page;
};

// A new holder with a new page of the class; null when the heap refuses.
template <class TPage>
CPageBox<TPage>* NewPageBox() {
  return rt::New<CPageBox<TPage>>();
}
