#include "app/main_window/page_list.h"

CPageHolder* CPageList::Current() const {
  if (current_ < 0 || static_cast<u32>(current_) >= pages_.GetCount()) return nullptr;
  return pages_[static_cast<u32>(current_)];
}

bool CPageList::Add(CPageHolder* page, bool activate) {
  if (!page) return false;
  if (Contains(page)) {
    if (Current() != page) Activate(page);
    return false;
  }
  const i32 parkedAt = parked_.Find(page);
  if (parkedAt >= 0) parked_.RemoveAt(static_cast<u32>(parkedAt));
  if (!pages_.Add(page)) return false;
  bool result = true;
  if (activate) result = Activate(page);
  UpdateWindowCommands();
  return result;
}

bool CPageList::Activate(CPageHolder* page) {
  if (!page) return false;
  if (Current() == page) return true;
  i32 index = pages_.Find(page);
  if (index < 0) {
    const i32 parkedAt = parked_.Find(page);
    if (parkedAt < 0 || !pages_.Add(page)) return false;
    parked_.RemoveAt(static_cast<u32>(parkedAt));
    index = static_cast<i32>(pages_.GetCount() - 1);
  }
  const bool wasSuspended = owner_->SuspendPageRedraw(true);
  MakeCurrent(static_cast<u32>(index), true);
  owner_->SuspendPageRedraw(wasSuspended);
  UpdateWindowCommands();
  return true;
}

bool CPageList::ActivateNext() {
  const u32 n = pages_.GetCount();
  if (n < 2) return false;
  const u32 next = current_ < 0 ? 0 : (static_cast<u32>(current_) + 1) % n;
  return Activate(pages_[next]);
}

bool CPageList::ActivatePrevious() {
  const u32 n = pages_.GetCount();
  if (n < 2) return false;
  const u32 previous = current_ <= 0 ? n - 1 : static_cast<u32>(current_) - 1;
  return Activate(pages_[previous]);
}

bool CPageList::ClosePage(CPageHolder* page) {
  if (!page) page = Current();
  if (!page || page == fixed_ || !Contains(page) || !page->CanClose()) return false;
  const bool wasSuspended = owner_->SuspendPageRedraw(true);
  RemovePage(page);
  owner_->OnPageClosed(page);
  owner_->SuspendPageRedraw(wasSuspended);
  UpdateWindowCommands();
  return true;
}

bool CPageList::RemovePage(CPageHolder* page) {
  const i32 index = pages_.Find(page);
  if (index < 0) return false;
  page->Show(false);
  page->Close();
  Take(static_cast<u32>(index));
  UpdateWindowCommands();
  return true;
}

bool CPageList::Park(CPageHolder* page) {
  const i32 index = pages_.Find(page);
  if (index < 0 || page == fixed_ || !parked_.Add(page)) return false;
  page->Show(false);
  Take(static_cast<u32>(index));
  UpdateWindowCommands();
  return true;
}

void CPageList::PlaceCurrent() {
  CPageHolder* page = Current();
  if (!page) return;
  i32 width = 0, height = 0;
  owner_->GetPageArea(&width, &height);
  page->Place(0, 0, width, height);
}

void CPageList::MakeCurrent(u32 index, bool leaveOld) {
  CPageHolder* old = Current();
  if (leaveOld && old) {
    old->Activate(false);
    old->Show(false);
  }
  current_ = static_cast<i32>(index);
  CPageHolder* page = pages_[index];
  i32 width = 0, height = 0;
  owner_->GetPageArea(&width, &height);
  page->Place(0, 0, width, height);
  owner_->OnCurrentPageChanged(page);
  page->Show(true);
  page->Activate(true);
}

void CPageList::Take(u32 index) {
  const bool wasCurrent = static_cast<i32>(index) == current_;
  pages_.RemoveAt(index);
  if (!wasCurrent) {
    if (static_cast<i32>(index) < current_) --current_;
    return;
  }
  current_ = -1;
  const u32 n = pages_.GetCount();
  if (n == 0) {
    owner_->OnCurrentPageChanged(nullptr);
    return;
  }
  MakeCurrent(index < n ? index : n - 1, false);
}

void CPageList::UpdateWindowCommands() {
  CPageHolder* current = Current();
  owner_->SetWindowCommands(pages_.GetCount() >= 2, current && current != fixed_);
}
