// CPageHost: the area between the main window's menu bar and status bar
// that shows one application page at a time. It owns the page list (the
// open pages, the current one, the parked ones), the pages it opened on
// demand (freed when they close), and two pages of its own: the start
// strip (the first page, never closed) and the task view (shown and
// hidden, never destroyed). Pages are reached through their holders; the
// walks of the toolkit reach them through the list.
//
// The owner (the main window) offers:
//   void OnPageActivated(CPageHolder* current);  // menu reset for the page
//   void SetWindowCommands(bool cycle, bool close);
//   void SaveTaskViewState(bool shown);
//   void PostFreePages();  // FreeClosedPages soon, outside any handler
//   CDriveManager drives;  // the information pages read the selected drive
#pragma once
#include <tuple>

#include "app/main_window/page_host_background.h"
#include "app/main_window/page_holder_list.h"
#include "app/main_window/page_list.h"
#include "app/main_window/task_view.h"
#include "app/pages/audio_project_page.h"
#include "app/pages/device_info_page.h"
#include "app/pages/disc_info_page.h"
#include "app/pages/explorer_page.h"
#include "render/bitmap.h"
#include "ui/widgets/composite.h"

template <template <class> class TStrip, class TOwner>
class CPageHost : public CCompositeOf<CPageHost<TStrip, TOwner>, TOwner>, public IPageListOwner {
 public:
  using Self = CPageHost<TStrip, TOwner>;
  using Strip = TStrip<Self>;

  CPageHost()
      : list(this), pages_(list.Pages()), taskHolder_(&taskView), stripHolder_(&startStrip), opened_(16),
        closed_(16) {}
  ~CPageHost() {
    FreeClosedPages();
    for (CPageHolder* holder : opened_) rt::Delete(holder);
    CBitmap::Destroy(background);
  }

  auto Children() { return std::tie(pages_); }

  // The task view and the start strip, then the strip as the first page.
  void CreateChildren() {
    const Rect r = {0, 0, 200, 200};
    taskView.Create(kFlagSeeThrough | 0x2, &r, this);
    startStrip.Create(kFlagSeeThrough | 0x2 | kFlagTabStop, &r, this);
    list.SetFixedPage(&stripHolder_);
    AddPage(&stripHolder_, true);
  }

  // The current page fills the host.
  void LayoutContent(i32, i32) { list.PlaceCurrent(); }
  void PaintContent(CCanvas& canvas) { PaintPageHostBackground(canvas, this->width, this->height, background); }

  // ---- Pages ----
  bool AddPage(CPageHolder* page, bool activate) { return list.Add(page, activate); }
  bool ClosePage(CPageHolder* page) { return list.ClosePage(page); }
  bool RemovePage(CPageHolder* page) { return list.RemovePage(page); }
  CPageHolder* Current() const { return list.Current(); }

  // A new page of a class in the host's content rectangle, current; null
  // when it could not be made.
  template <class TPage>
  CPageBox<TPage>* OpenPage() {
    CPageBox<TPage>* box = NewPageBox<TPage>();
    if (!box) return nullptr;
    if (!opened_.Add(box)) {
      rt::Delete(box);
      return nullptr;
    }
    const Rect content = this->GetContentRect();
    box->page.Create(kFlagSeeThrough | 0x2, &content, this);
    AddPage(box, true);
    return box;
  }

  // The information pages (commands 54 and 55), each a new page.
  void OpenDiscInfoPage() { OpenPage<CDiscInfoPage<Self>>(); }
  void OpenDeviceInfoPage() { OpenPage<CDeviceInfoPage<Self>>(); }
  CDriveManager& Drives() { return this->Parent().drives; }

  // The page whose widget this is closes (its own close button).
  bool ClosePageOf(const CWidget* page) {
    for (CPageHolder* p : *list.Pages())
      if (p->Widget() == page) return ClosePage(p);
    return false;
  }

  // A new explorer page, current; null when it could not be made.
  CExplorerPage<Self>* OpenExplorerPage() {
    CPageBox<CExplorerPage<Self>>* box = OpenPage<CExplorerPage<Self>>();
    if (!box) return nullptr;
    box->page.holder = box;
    return &box->page;
  }
  // An explorer page showing the image file; false (the page closed after
  // its message) when the image cannot be read.
  bool OpenImageFile(const wchar16* path) {
    CExplorerPage<Self>* page = OpenExplorerPage();
    if (!page) return false;
    if (page->OpenImage(path)) return true;
    ClosePage(page->holder);
    return false;
  }

  // Command 22: a new audio project, current.
  CPageBox<CAudioProjectPage<Self>>* OpenAudioProject() { return OpenPage<CAudioProjectPage<Self>>(); }

  // An erase or format chosen in the erase window (method 1 to 5, the
  // drive by index): asked first unless it continues a background format;
  // then the job in the task view, which is shown whether or not the job
  // started. False when the user said no or the job did not start.
  bool StartEraseJob(u32 method, i32 driveIndex) {
    // The question's rule speaks of the methods' texts (66 to 70).
    if (!ConfirmErase(EraseMethodTextId(method), *taskView.questions)) return false;
    const bool started = taskView.AddFormatJob(taskView.pane, method, driveIndex);
    taskView.pane.Redraw();
    ShowTaskView(true);
    return started;
  }

  bool IsTaskViewShown() { return list.Contains(&taskHolder_); }
  void ShowTaskView(bool show) {
    if (show)
      AddPage(&taskHolder_, true);
    else
      RemovePage(&taskHolder_);
    this->Parent().SaveTaskViewState(IsTaskViewShown());
  }
  // The task view's own close button.
  void CloseTaskView() { ClosePage(&taskHolder_); }
  CPageHolder* TaskViewHolder() { return &taskHolder_; }
  CPageHolder* StartStripHolder() { return &stripHolder_; }

  // Every page, listed or parked, and the task view's jobs: true when one
  // refuses to let the main window close, with the notice that says why.
  bool RefusesClose(NoticeText* why = nullptr) {
    CPageHolder* refusing = nullptr;
    for (CPageHolder* p : *list.Pages())
      if (!refusing && p->RefusesClose()) refusing = p;
    for (CPageHolder* p : *list.Parked())
      if (!refusing && p->RefusesClose()) refusing = p;
    if (!refusing && !IsTaskViewShown() && taskHolder_.RefusesClose()) refusing = &taskHolder_;
    if (refusing && why) *why = refusing->RefusalNotice();
    return refusing != nullptr;
  }
  // Tells every page (listed, parked, the hidden task view) of a new
  // language or clipboard contents.
  template <class F>
  void ForEveryPage(F&& visit) {
    for (CPageHolder* p : *list.Pages()) visit(p);
    for (CPageHolder* p : *list.Parked()) visit(p);
    if (!IsTaskViewShown()) visit(&taskHolder_);
  }
  // The open pages in turn until one answers true.
  template <class F>
  bool AskPagesInTurn(F&& ask) {
    bool taken = false;
    ForEveryPage([&](CPageHolder* p) { taken = taken || ask(p); });
    return taken;
  }
  // Notices of the main window for its pages: the first page that takes one
  // ends it.
  bool OfferClipboardChange() {
    return AskPagesInTurn([](CPageHolder* p) { return p->ClipboardChanged(); });
  }
  bool OfferUserMessage(u32 offset, uintptr_t wParam, intptr_t lParam) {
    return AskPagesInTurn([&](CPageHolder* p) { return p->UserMessage(offset, wParam, lParam); });
  }

  // Frees the pages closed since the last call.
  void FreeClosedPages() {
    for (CPageHolder* holder : closed_) rt::Delete(holder);
    closed_.Clear();
  }

  // ---- IPageListOwner ----
  bool SuspendPageRedraw(bool suspend) override { return this->SuspendRedraw(suspend); }
  void GetPageArea(i32* width, i32* height) override {
    const Rect content = this->GetContentRect();
    *width = content.right;
    *height = content.bottom;
  }
  void OnCurrentPageChanged(CPageHolder* current) override { this->Parent().OnPageActivated(current); }
  void SetWindowCommands(bool cycle, bool close) override { this->Parent().SetWindowCommands(cycle, close); }
  void OnPageClosed(CPageHolder* page) override {
    if (page == &taskHolder_) {
      this->Parent().SaveTaskViewState(false);
      return;
    }
    const i32 at = opened_.Find(page);
    if (at < 0) return;
    opened_.RemoveAt(static_cast<u32>(at));
    // The page may be running one of its own handlers now (its close
    // button): it is freed once the event is over.
    if (closed_.Add(page)) this->Parent().PostFreePages();
  }

  CPageList list;
  CTaskView<Self> taskView;
  Strip startStrip;
  CBitmap* background = nullptr;

 private:
  CPageHolderList pages_;
  CPageHolderOf<CTaskView<Self>> taskHolder_;
  CPageHolderOf<Strip> stripHolder_;
  CArray<CPageHolder*> opened_;  // made on demand, listed or parked
  CArray<CPageHolder*> closed_;  // closed, to be freed
};
