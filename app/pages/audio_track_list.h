// CAudioTrackList: the audio project's scrolling list of track rows. The
// rows are pages reached through holders (the list owns them): one row
// every 56 pixels from the top, 52 high, the list's content as tall as they
// are. It keeps the rows in disc order, adds, removes and reorders them,
// and shows "Drag or copy files HERE" while it is empty.
//
// A row that leaves the list may be in one of its own handlers (its remove
// button, its context menu): it is hidden and taken out at once, but freed
// only later (FreeRemovedRows, posted by the page, or the next change).
// Portable.
//
// The page (TPage) offers OnTracksChanged(), OpenContextMenu(),
// IconStrip() and PostFreeRows().
#pragma once
#include <tuple>

#include "app/main_window/page_holder.h"
#include "app/main_window/page_holder_list.h"
#include "app/pages/audio_track_page.h"
#include "render/text/font.h"
#include "runtime/wide_string.h"
#include "ui/views/control_painters.h"
#include "ui/views/scroll_view.h"

constexpr i32 kTrackRowPitch = 56;

template <class TPage>
class CAudioTrackList : public CScrollViewOf<CAudioTrackList<TPage>, TPage, CCompositeOf> {
 public:
  using Self = CAudioTrackList<TPage>;
  using Row = CAudioTrackPage<Self>;
  using RowBox = CPageBox<Row>;

  CAudioTrackList() : holders(16), rows(16), removed_(16), list_(&holders) {
    this->positionX = 0.0;
    this->positionY = 1.0;
    this->lineSize = kTrackRowPitch;
  }
  ~CAudioTrackList() {
    for (CPageHolder* h : holders) rt::Delete(h);
    FreeRemovedRows();
  }

  auto Children() { return std::tie(list_); }

  // The list font (the default font two points larger) and the hint font
  // (ten points larger).
  void CreateChildren() {
    CFontRef base(GetDefaultFont());
    if (CFont* f = base.Get()) {
      listFont.Assign(AcquireFont(f->faceName.c_str(), f->size + 2, f->bold != 0, f->italic != 0));
      hintFont.Assign(AcquireFont(f->faceName.c_str(), f->size + 10, f->bold != 0, f->italic != 0));
    }
  }

  void LayoutContent(i32 width, i32 height) {
    this->viewWidth = width;
    this->viewHeight = height;
    UpdateScroll();
  }
  void OnScrolled() { PlaceTrackRows(); }

  // ---- Rows ----
  // A new row for the file, measured by `measure`; null (nothing added)
  // when the file cannot be read.
  Row* AddTrack(const wchar16* path, bool (*measure)(AudioTrackInfo*, const wchar16*)) {
    FreeRemovedRows();
    RowBox* box = NewPageBox<Row>();
    if (!box) return nullptr;
    if (!holders.Add(box)) {
      rt::Delete(box);
      return nullptr;
    }
    const Rect r = {0, 0, RowWidth(), kTrackRowHeight};
    box->page.Create(0xE, &r, this);
    if (!box->page.ReadLength(path, measure) || !rows.Add(&box->page)) {
      holders.RemoveAt(holders.GetCount() - 1);
      rt::Delete(box);
      return nullptr;
    }
    return &box->page;
  }
  // Takes a row out (hidden at once, freed later); false when it is not a
  // row of the list.
  bool TakeOut(Row* row) {
    const i32 at = rows.Find(row);
    if (at < 0) return false;
    rows.RemoveAt(static_cast<u32>(at));
    for (u32 i = 0; i < holders.GetCount(); ++i) {
      if (holders[i]->Widget() != row) continue;
      CPageHolder* holder = holders[i];
      holders.RemoveAt(i);
      holder->Show(false);
      if (!removed_.Add(holder)) {
        // No room to keep it for later: it is in no handler of its own
        // now unless it asked for this itself, so it stays hidden until
        // the list goes.
        row->parent = nullptr;
      }
      break;
    }
    return true;
  }
  void TakeOutAll() {
    while (rows.GetCount() > 0) TakeOut(rows[rows.GetCount() - 1]);
  }
  // Exchanges the row with its neighbour (before: -1, after: +1) in the
  // rows and the holders; false when there is none.
  bool Swap(Row* row, i32 direction) {
    const i32 at = rows.Find(row);
    const i32 other = at + direction;
    if (at < 0 || other < 0 || other >= static_cast<i32>(rows.GetCount())) return false;
    Row* neighbour = rows[static_cast<u32>(other)];
    rows[static_cast<u32>(at)] = neighbour;
    rows[static_cast<u32>(other)] = row;
    const i32 h = HolderIndex(row), g = HolderIndex(neighbour);
    if (h >= 0 && g >= 0) {
      CPageHolder* t = holders[static_cast<u32>(h)];
      holders[static_cast<u32>(h)] = holders[static_cast<u32>(g)];
      holders[static_cast<u32>(g)] = t;
    }
    const i32 x = row->x, y = row->y;
    row->SetBounds(neighbour->x, neighbour->y, row->width, row->height);
    neighbour->SetBounds(x, y, neighbour->width, neighbour->height);
    return true;
  }
  void FreeRemovedRows() {
    for (CPageHolder* h : removed_) rt::Delete(h);
    removed_.Clear();
  }
  u32 RemovedRowCount() const { return removed_.GetCount(); }

  // ---- Geometry ----
  // Content height rows x 56 - 4 (0 without rows); the bars follow and
  // the rows are placed again.
  void UpdateScroll() {
    const u32 n = rows.GetCount();
    this->contentWidth = 0;
    this->contentHeight = n ? static_cast<i32>(n) * kTrackRowPitch - 4 : 0;
    if (this->SettleScrollBars()) this->RedrawRect(nullptr);
    PlaceTrackRows();
  }
  // Row i at 56 i from the top, shifted by the scroll offset.
  void PlaceTrackRows() {
    const bool was = this->SuspendRedraw(true);
    const i32 offset = (this->flags & kFlagVScroll) ? this->GetScrollOffset().y : 0;
    const i32 top = this->viewHeight > this->contentHeight ? this->viewHeight : this->contentHeight;
    for (u32 i = 0; i < rows.GetCount(); ++i) {
      const i32 y = top - static_cast<i32>(i) * kTrackRowPitch - kTrackRowHeight - offset;
      rows[i]->SetBounds(0, y, RowWidth(), kTrackRowHeight);
    }
    this->SuspendRedraw(was);
  }
  i32 RowWidth() const { return this->viewWidth > 0 ? this->viewWidth : this->width; }

  // ---- The rows' requests ----
  void RemoveTrack(Row* row) { this->Parent().RemoveTrack(row); }
  void MoveTrackUp(Row* row) { this->Parent().MoveTrackUp(row); }
  void MoveTrackDown(Row* row) { this->Parent().MoveTrackDown(row); }
  void OnPauseChanged(Row*) { this->Parent().UpdateTotals(); }
  void OpenContextMenu() { this->Parent().ShowContextMenu(); }
  const CImageStrip* IconStrip() { return this->Parent().IconStrip(); }

  // ---- Mouse: a right release over the list (its bars included) ----
  void OnRButtonUp(i32, Point*) { OpenContextMenu(); }

  // The hint while the list is empty. The list draws no autoscroll
  // indicator over its rows.
  void PaintContent(CCanvas& canvas) {
    PaintDropHint(canvas, this->GetContentRect(), rows.GetCount(), hintFont.Get());
  }

  CArray<CPageHolder*> holders;  // the rows' holders, in row order
  CArray<Row*> rows;             // the rows in disc order
  CFontRef listFont;
  CFontRef hintFont;
  CWideString totalText;
  CWideString capacityText;

 private:
  i32 HolderIndex(Row* row) {
    for (u32 i = 0; i < holders.GetCount(); ++i)
      if (holders[i]->Widget() == row) return static_cast<i32>(i);
    return -1;
  }

  CArray<CPageHolder*> removed_;  // out of the list, not yet freed
  CPageHolderList list_;
};
