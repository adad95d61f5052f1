// CPageList: the open pages of the page host in order, the current one, and
// the pages set aside (parked) that can be shown again later: the project
// page while its image is saved, the page a burn shows when it ends. The
// list decides which page is current and shown; its owner (the page host)
// holds the redraw, knows the page area, resets the menu for a new current
// page, enables the Window menu's commands and frees closed pages.
//
// Window commands follow the list after every change: Next and Previous
// while two or more pages are open, Close while the current page is one
// that can be closed (not the start page).
#pragma once
#include "app/main_window/page_holder.h"
#include "runtime/array.h"

class IPageListOwner {
 public:
  // Holds the host's repaint back (true) or lets it go (false, which
  // repaints); the state before.
  virtual bool SuspendPageRedraw(bool suspend) = 0;
  virtual void GetPageArea(i32* width, i32* height) = 0;
  // A page became current (null: none is).
  virtual void OnCurrentPageChanged(CPageHolder* current) = 0;
  virtual void SetWindowCommands(bool cycle, bool close) = 0;
  // A page left the list for good; pages the owner created are freed.
  virtual void OnPageClosed(CPageHolder* page) = 0;

 protected:
  ~IPageListOwner() = default;
};

class CPageList {
 public:
  explicit CPageList(IPageListOwner* owner) : owner_(owner), pages_(16), parked_(16) {}

  // The page that can never be closed (the start page).
  void SetFixedPage(CPageHolder* page) { fixed_ = page; }

  // Appends a page (activating it when asked). A page already in the list
  // only becomes current; the result is then false.
  bool Add(CPageHolder* page, bool activate);
  // Makes a listed or parked page current; false when it is neither.
  bool Activate(CPageHolder* page);
  // Window commands: the next or previous page, wrapping around; false with
  // fewer than two pages.
  bool ActivateNext();
  bool ActivatePrevious();
  // Closes a page (null: the current one): refused for the fixed page, for
  // no page and when the page cannot close now. A closed current page gives
  // its place to its neighbour at the same index (or the last page), which
  // becomes current.
  bool ClosePage(CPageHolder* page);
  // Takes a page out of the list without closing it (hidden); false when
  // it is not listed.
  bool RemovePage(CPageHolder* page);
  // Takes a listed page out and keeps it for a later Activate (not the
  // fixed page).
  bool Park(CPageHolder* page);

  CPageHolder* Current() const;
  i32 CurrentIndex() const { return current_; }
  u32 Count() const { return pages_.GetCount(); }
  CPageHolder* At(u32 index) const { return pages_[index]; }
  bool Contains(CPageHolder* page) const { return pages_.Find(page) >= 0; }
  bool IsParked(CPageHolder* page) const { return parked_.Find(page) >= 0; }
  CArray<CPageHolder*>* Pages() { return &pages_; }
  CArray<CPageHolder*>* Parked() { return &parked_; }
  // Lays the current page out again (the host's size changed).
  void PlaceCurrent();

 private:
  // Makes the page at `index` current; the old current page is deactivated
  // and hidden first when `leaveOld`.
  void MakeCurrent(u32 index, bool leaveOld);
  // Removes the page at `index`; a current page hands over to its
  // neighbour.
  void Take(u32 index);
  void UpdateWindowCommands();

  IPageListOwner* owner_;
  CPageHolder* fixed_ = nullptr;
  CArray<CPageHolder*> pages_;
  CArray<CPageHolder*> parked_;
  i32 current_ = -1;
};
