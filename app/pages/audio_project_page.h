// CAudioProjectPage: the audio CD project. Files dropped on the page or
// pasted from the clipboard become track rows (at most 99); the band below
// them shows the CD size the project needs with a gauge and the total time;
// "Burn project" (the page's one-icon bar, or the Burner menu) lays the
// tracks out for a disc-at-once burn and hands the request to the host,
// with the page's decoding source as the burn's source. The source burns a
// snapshot of the tracks taken then, so the project may change meanwhile.
//
// The host (THost, the page host) offers ClosePage(nullptr). The window it
// belongs to offers RunProjectBurn(BurnRequest&) (the burn-image window,
// then the job) and may offer `menu` (the main menu's model) and `menuBar`
// (whose icon strips the page shares). Portable; the platform's
// services are in audio_project_services.h.
#pragma once
#include <tuple>
#include <type_traits>

#include "app/commands/command_ids.h"
#include "app/pages/audio_project_menus.h"
#include "app/pages/audio_project_services.h"
#include "app/pages/audio_track_list.h"
#include "jobs/audio/audio_project_layout.h"
#include "jobs/burn/burn_request.h"
#include "render/bitmap.h"
#include "runtime/date_time.h"
#include "ui/widgets/button.h"
#include "ui/widgets/composite.h"
#include "ui/widgets/menu_bar.h"
#include "ui/widgets/pointer_system.h"
#include "ui/widgets/popup_menu_runner.h"
#include "ui/windows/frame/posted_tick.h"
#include "ui/windows/theme/theme_metrics.h"

constexpr u32 kTextTimeLabel = 205;
constexpr u32 kTextBurnAudioCd = 206;
constexpr i32 kAudioColumnWidth = 400;
constexpr u32 kAudioCloseColour = 0xC0C04040u;
constexpr i32 kAudioCloseIcon = 17;

KELVANE_WIDGET_TRAIT(HasMainMenuModel, widget_traits::Fake<T>().menu)
KELVANE_WIDGET_TRAIT(HasMainMenuBar, widget_traits::Fake<T>().menuBar.icons)
KELVANE_WIDGET_TRAIT(HasPageList, widget_traits::Fake<T>().list.Pages())
KELVANE_WIDGET_TRAIT(HasProjectBurn, widget_traits::Fake<T>().RunProjectBurn(widget_traits::Fake<BurnRequest>()))

// The capacity gauge: the progress bar's painter over a fraction of the
// chosen CD size. (The toolkit's progress bar shares its header with a
// status bar whose name the main window's own status bar takes.)
template <class TParent>
class CCapacityGauge : public CWidgetOf<CCapacityGauge<TParent>, TParent> {
 public:
  double minimum = 0.0;
  double maximum = 1.0;
  double value = 0.0;
  u32 style = 0;
  void PaintContent(CCanvas& canvas) { PaintProgressBar(canvas, *this); }
};

// The column's left edge for a content width: (width - 400) / 2, rounded
// toward zero.
inline i32 AudioColumnLeft(i32 contentWidth) { return (contentWidth - kAudioColumnWidth) / 2; }

template <class THost>
class CAudioProjectPage : public CCompositeOf<CAudioProjectPage<THost>, THost>, public IDropHandler {
 public:
  using Self = CAudioProjectPage<THost>;
  using TrackList = CAudioTrackList<Self>;
  using Row = typename TrackList::Row;

  CAudioProjectPage() : source_(AudioServices().decode) {}
  ~CAudioProjectPage() {
    AudioServices().revokeDrop(this);
    freeTick_.Disarm();
    removeAllTick_.Disarm();
    source_.Stop();
    CBitmap::Destroy(background);
  }

  auto Children() { return std::tie(closeButton, menuBar, gauge, trackList); }

  // ---- Construction ----
  void CreateChildren() {
    const CImageStrip* strip = IconStrip();
    closeButton.imageFrame = kAudioCloseIcon;
    closeButton.colour = kAudioCloseColour;
    closeButton.iconStrip = strip;
    closeButton.click = BindCallback<Self, &Self::OnClose>(this, this);
    const Rect close = {0, 0, 18, 18};
    closeButton.Create(0x2000E, &close, this);

    const i32 bar = ThemeControlSize();
    const Rect barRect = {0, 0, bar, bar};
    // See-through: the bar paints no background, so a redraw of its light
    // repaints the band behind it.
    menuBar.Create(kFlagVisible | kFlagSeeThrough, &barRect, this);
    for (i32& m : menuBar.margins) m = 0;
    // Style 4: no background and no outline of its own, its own height.
    if (menuBar.options != CMenuBarCore::kFixedHeight) {
      menuBar.options = CMenuBarCore::kFixedHeight;
      menuBar.Redraw();
    }
    menuBar.SetModel(BuildAudioBarMenu(&barMenu_));
    ShareMenuIcons();
    menuBar.command = BindCallback<Self, &Self::OnCommand, u32>(this, this);

    const Rect gaugeRect = {0, 0, 392, 12};
    gauge.minimum = 0.0;
    gauge.maximum = 1.0;
    gauge.value = 0.0;
    gauge.Create(kFlagVisible, &gaugeRect, this);

    const Rect listRect = {0, 0, 400, 400};
    trackList.Create(kFlagVisible, &listRect, this);

    background = AudioServices().loadBackground();
    void* window = WindowHandle();
    freeTick_.Arm(window, &Self::FreeRowsThunk, this);
    removeAllTick_.Arm(window, &Self::RemoveAllThunk, this);
    AudioServices().registerDrop(window, this, this);
    UpdateTotals();
    UpdateMenu();
  }

  // The column of 400 pixels centred in the content.
  void LayoutContent(i32 width, i32 height) {
    const i32 left = AudioColumnLeft(width);
    MoveTo(&closeButton, width - 24, height - 24);
    MoveTo(&menuBar, left + 396 - ThemeControlSize(), height - 54 + gauge.height);
    MoveTo(&gauge, left + 4, height - 57);
    trackList.SetBounds(left + 4, 20, 392, height - 89);
  }

  // ---- The page operations ----
  void Place(i32 x, i32 y, i32 width, i32 height) { this->SetBounds(x, y, width, height); }
  bool OnActivate(bool active) {
    if (active && this->IsVisibleAndEnabled()) this->SetFocus();
    return true;
  }
  void OnClipboardChanged() { UpdateMenu(); }
  void OnLanguageChanged() {
    for (Row* row : trackList.rows) row->OnResize();
    UpdateTotals();
    this->Redraw();
  }

  void OnCommand(u32 id) {
    switch (id) {
      case kCmdPaste: return Paste();
      case kCmdRemoveAll: return RemoveAllTracks();
      case kCmdBurnProject: return StartBurn();
      default: return;
    }
  }

  // Save and Save as on; Burn project while there are tracks; Paste while
  // the clipboard offers files.
  void UpdateMenu() {
    const bool tracks = trackList.rows.GetCount() > 0;
    using Window = std::remove_reference_t<decltype(this->Window())>;
    if constexpr (HasMainMenuModel<Window>::value) {
      if (CMenuModel* menu = this->Window().menu) {
        menu->CheckItemById(static_cast<i32>(kCmdSave), true);
        menu->CheckItemById(static_cast<i32>(kCmdSaveAs), true);
        menu->CheckItemById(static_cast<i32>(kCmdBurnProject), tracks);
        menu->CheckItemById(static_cast<i32>(kCmdPaste), AudioServices().clipboardHasFiles());
      }
    }
    barMenu_.Root()->CheckItemById(static_cast<i32>(kCmdBurnProject), tracks);
  }

  // ---- Tracks ----
  // Adds the files in order; files that cannot be read are left out, and
  // beyond the 99th track the rest is refused with a message.
  void AddFiles(CDroppedFiles* files) {
    u32 count = 0;
    if (files->GetCount(&count) != kHrOk) return;
    bool refused = false;
    for (u32 i = 0; i < count; ++i) {
      if (trackList.rows.GetCount() >= kMaxAudioTracks) {
        refused = true;
        break;
      }
      CWideString name;
      if (AudioServices().fileName(files, i, &name) == kHrOk) AddTrack(name.c_str());
    }
    UpdateMenu();
    if (refused) AudioServices().tellRefusal(AudioRefusal::kTooManyTracks);
  }
  // One file: a row when it can be read (false otherwise, or with 99
  // tracks already).
  bool AddTrack(const wchar16* path) {
    if (trackList.rows.GetCount() >= kMaxAudioTracks) return false;
    const bool was = this->SuspendRedraw(true);
    Row* row = trackList.AddTrack(path, AudioServices().measure);
    TracksChanged();
    this->SuspendRedraw(was);
    return row != nullptr;
  }
  void RemoveAllTracks() {
    const bool was = this->SuspendRedraw(true);
    trackList.TakeOutAll();
    TracksChanged();
    this->SuspendRedraw(was);
    freeTick_.Post();
  }
  void RemoveTrack(Row* row) {
    const bool was = this->SuspendRedraw(true);
    trackList.TakeOut(row);
    TracksChanged();
    this->SuspendRedraw(was);
    UpdateMenu();
    freeTick_.Post();
  }
  void MoveTrackUp(Row* row) { MoveTrack(row, -1); }
  void MoveTrackDown(Row* row) { MoveTrack(row, +1); }

  // The tracks as the totals count them, in disc order.
  u32 LayoutTracks(AudioLayoutTrack* out, u32 capacity) {
    u32 n = 0;
    for (Row* row : trackList.rows) {
      if (n == capacity) break;
      out[n++] = {row->track.sectors, row->pauseFrames};
    }
    return n;
  }

  // The total, its time, the CD size and the gauge.
  void UpdateTotals() {
    AudioLayoutTrack tracks[kMaxAudioTracks] = {};
    total = AudioProjectTotal(tracks, LayoutTracks(tracks, kMaxAudioTracks));
    trackList.totalText.Release();
    AppendMinutesSeconds(&trackList.totalText, total / 75);
    const CdSizeChoice size = ChooseCdSize(total);
    trackList.capacityText.Assign(size.name);
    trackList.capacityText.Append(GetUiText(kTextTimeLabel));
    if (gauge.value != size.fill) {
      gauge.value = size.fill;
      gauge.Redraw();
    }
    this->Redraw();
  }

  // ---- The context menu (the list, its rows, the page; the keys go back
  // to the page, which holds them for the list) ----
  void ShowContextMenu() {
    Point at = {0, 0};
    ReadPointerPoint(&at);
    AudioContextMenu menu;
    CMenuModel* root =
        BuildAudioContextMenu(&menu, AudioServices().clipboardHasFiles(), trackList.rows.GetCount() > 0);
    const CImageStrip* icons = nullptr;
    const CImageStrip* greyed = nullptr;
    MenuIconStrips(&icons, &greyed);
    const i32 chosen = RunContextPopup(*this, root, at.x, at.y, icons, greyed);
    if (chosen <= 0) return;
    // The menu may have been opened by a row inside its own handler:
    // "Remove all" runs once that handler is over.
    if (static_cast<u32>(chosen) == kCmdRemoveAll && removeAllTick_.Post()) return;
    OnCommand(static_cast<u32>(chosen));
  }
  void OnRButtonUp(i32, Point*) { ShowContextMenu(); }

  // ---- Burning ----
  // Lays the tracks out into a request whose source is the page's
  // snapshot of them, then the host runs the burn-image window and the
  // job.
  void StartBurn() {
    BurnRequest request;
    if (!PrepareBurn(&request)) return;
    using Window = std::remove_reference_t<decltype(this->Window())>;
    if constexpr (HasProjectBurn<Window>::value) this->Window().RunProjectBurn(request);
  }
  // The request of a burn of the project as it is now: its layout and cue
  // sheet, the audio option, the title, the page's source over a snapshot
  // of the tracks. A project a cue sheet cannot describe is refused with a
  // message (false). The page is set aside while its burn runs, so a pass
  // still decoding now belongs to a burn that has ended (a cancelled one
  // leaves its decoder waiting for a reader): it is stopped.
  bool PrepareBurn(BurnRequest* request) {
    const u32 n = trackList.rows.GetCount();
    if (n == 0) return false;
    source_.Stop();
    // Each row lays out its pause and its track, in disc order, from the
    // first track's pregap on.
    ::TrackList layout(16);
    i32 position = -static_cast<i32>(kFirstTrackPause);
    for (Row* row : trackList.rows)
      if (!row->AppendExtents(&layout, &position))
        return Refuse(total >= kMaxCueFrames ? AudioRefusal::kTooLong : AudioRefusal::kNoMemory);
    switch (BuildAudioCueSheet(request, layout)) {
      case AudioLayoutResult::kOk: break;
      case AudioLayoutResult::kTooManyTracks: return Refuse(AudioRefusal::kTooManyTracks);
      case AudioLayoutResult::kTooLong:
      case AudioLayoutResult::kCueSheetFull: return Refuse(AudioRefusal::kTooLong);
      default: return Refuse(AudioRefusal::kNoMemory);
    }
    const AudioTrackInfo* snapshot[kMaxAudioTracks] = {};
    for (u32 i = 0; i < n; ++i) snapshot[i] = &trackList.rows[i]->track;
    if (!source_.SetTracks(snapshot, n)) return Refuse(AudioRefusal::kNoMemory);
    request->options |= kOptionAudioProject;
    request->projectSource = &source_;
    request->projectPage = OwnHolder();
    request->titleId = kTextBurnAudioCd;
    return true;
  }
  CAudioProjectSource& Source() { return source_; }

  // ---- Drop target ----
  HResult OnDragEnter(CDropData* data, u32, const Point&, u32* effect) override {
    accept_ = AudioServices().dropHasFiles(data) ? 1 : 0;
    if (effect) *effect = accept_ ? kDropEffectCopy : kDropEffectNone;
    return kHrOk;
  }
  HResult OnDragOver(u32, const Point&, u32* effect) override {
    if (effect) *effect = accept_ ? kDropEffectCopy : kDropEffectNone;
    return kHrOk;
  }
  HResult OnDragLeave() override {
    accept_ = 0;
    return kHrOk;
  }
  HResult OnDrop(CDropData* data, u32, const Point&, u32* effect) override {
    CDroppedFiles* files = accept_ ? AudioServices().droppedFiles(data) : nullptr;
    const bool ok = files != nullptr;
    accept_ = 0;
    if (effect) *effect = ok ? kDropEffectCopy : kDropEffectNone;
    if (ok) AddFiles(files);
    return kHrOk;
  }

  // ---- Painting: the background, the two bands and the totals ----
  void PaintContent(CCanvas& canvas) {
    const i32 w = this->width, h = this->height;
    canvas.FillRect(0, 0, w, h, ThemeWindowColor());
    if (background && background->width > 0 && background->height > 0) {
      for (i32 y = h; y > 0; y -= background->height)
        for (i32 x = 0; x < w; x += background->width)
          DrawBitmapAt(&canvas, background, x, y - background->height, 0.25);
    }
    const i32 left = AudioColumnLeft(w);
    const u32 fill = (ThemeWhite() & 0x00FFFFFFu) | 0xD8000000u;
    canvas.FillRoundRect(left, 16, left + kAudioColumnWidth, h - 65, 3, fill);
    canvas.FrameRoundRect(left, 16, left + kAudioColumnWidth, h - 65, 3, 1, ThemeAccentColor());
    canvas.FillRoundRect(left, h - 61, left + kAudioColumnWidth, h - 16, 3, fill);
    canvas.FrameRoundRect(left, h - 61, left + kAudioColumnWidth, h - 16, 3, 1, ThemeAccentColor());
    CFont* font = trackList.listFont.Get();
    if (!font) return;
    CCanvasFontScope scope(canvas, font);
    const u32 saved = canvas.textColour;
    canvas.textColour = kTrackValueColour;
    const CWideString& capacity = trackList.capacityText;
    const i32 lineBottom = h - 40, lineTop = h - 22;
    const i32 x = left + 8;
    const double textWidth = font->MeasureText(capacity.c_str(), capacity.GetLength());
    canvas.DrawTextInRect(x, lineBottom, x + textWidth + 2, lineTop, capacity.c_str(), capacity.GetLength(),
                          kTextOneLineCentred);
    const i32 tx = x + static_cast<i32>(textWidth) + static_cast<i32>(font->size) / 2;
    const CWideString& time = trackList.totalText;
    canvas.DrawTextInRect(tx, lineBottom, left + kAudioColumnWidth - 30, lineTop, time.c_str(), time.GetLength(),
                          kTextOneLineCentred);
    canvas.textColour = saved;
  }

  // The main window's icon strips, when there is one.
  const CImageStrip* IconStrip() {
    const CImageStrip* icons = nullptr;
    const CImageStrip* greyed = nullptr;
    MenuIconStrips(&icons, &greyed);
    return icons;
  }

  // The rows taken out are freed (the posted step).
  void FreeRemovedRows() { trackList.FreeRemovedRows(); }

  CButton<Self> closeButton;
  CMenuBar<Self> menuBar;
  CCapacityGauge<Self> gauge;
  TrackList trackList;
  CBitmap* background = nullptr;  // owned
  u32 total = 0;                  // sectors of pauses and tracks

 private:
  void* WindowHandle() { return this->Window().Handle(); }

  void MenuIconStrips(const CImageStrip** icons, const CImageStrip** greyed) {
    using Window = std::remove_reference_t<decltype(this->Window())>;
    if constexpr (HasMainMenuBar<Window>::value) {
      auto& bar = this->Window().menuBar;
      *icons = bar.icons.bitmap ? &bar.icons : nullptr;
      *greyed = bar.greyedIcons.bitmap ? &bar.greyedIcons : nullptr;
    }
  }
  void ShareMenuIcons() {
    const CImageStrip* icons = nullptr;
    const CImageStrip* greyed = nullptr;
    MenuIconStrips(&icons, &greyed);
    if (icons) {
      menuBar.icons.Share(*icons);
      menuBar.Layout();
    }
    if (greyed) {
      menuBar.greyedIcons.Share(*greyed);
      menuBar.Layout();
    }
  }

  template <class W>
  static void MoveTo(W* child, i32 x, i32 y) {
    if (child->x == x && child->y == y) return;
    child->RepaintArea();
    child->x = x;
    child->y = y;
    child->RepaintArea();
  }

  void TracksChanged() {
    trackList.UpdateScroll();
    trackList.RedrawRect(nullptr);
    UpdateTotals();
  }
  // The totals follow the order too: the first track's pause is raised to
  // the pregap the burn writes.
  void MoveTrack(Row* row, i32 direction) {
    const bool was = this->SuspendRedraw(true);
    trackList.Swap(row, direction);
    trackList.PlaceTrackRows();
    UpdateTotals();
    this->SuspendRedraw(was);
  }
  void Paste() {
    CDroppedFiles files;
    if (AudioServices().readClipboardFiles(&files)) AddFiles(&files);
    UpdateMenu();
  }
  void OnClose() { this->Parent().ClosePage(nullptr); }
  // The holder through which the host lists this page (the page set aside
  // while its burn runs); the page itself when the host keeps no list.
  void* OwnHolder() {
    if constexpr (HasPageList<THost>::value) {
      for (CPageHolder* holder : *this->Parent().list.Pages())
        if (holder->Widget() == this) return holder;
    }
    return this;
  }
  static bool Refuse(AudioRefusal why) {
    AudioServices().tellRefusal(why);
    return false;
  }

  static void FreeRowsThunk(void* self) { static_cast<Self*>(self)->FreeRemovedRows(); }
  static void RemoveAllThunk(void* self) { static_cast<Self*>(self)->RemoveAllTracks(); }

  AudioBarMenu barMenu_;
  CAudioProjectSource source_;
  CPostedTick freeTick_;
  CPostedTick removeAllTick_;
  u32 accept_ = 0;
};
