// CJobPageViewOf: the common part of the job pages that stand in the task
// view's job pane, one 360 x 138 entry per job. The page holds its job's
// engine (TEngine: the burn, erase/format or saving job of jobs/) and is
// that job's IJobUi: the job threads publish values through it, and it
// turns them into its widgets (second and close button, gauges, overall
// bar, "View Log" link) and repaints from the calling thread under the
// window's lock.
//
// The window (Window()) offers what a page needs of the program:
//   CLock lock;                                   // the paint lock
//   bool CallOnUiThread(UiCall, void*);           // synchronous, job threads
//   void PostJobClose(CPageHolder*);              // remove and free, later
//   void PostDeviceCommandsUpdate();
//   void ParkPage(CPageHolder*);                  // UI thread
//   void PostShowPage(CPageHolder*);
//   u32 ShowJobMessage(u32 text, u32 title, u32 flags);  // UI thread
//   u32 RunInsertDiscPrompt(i32 destination, void* request);
//
// The engine is declared last, so it goes first: its destructor joins the
// job's threads before anything they reach is destroyed.
#pragma once
#include <tuple>

#include "app/main_window/page_holder.h"
#include "app/pages/job_page_paint.h"
#include "jobs/job_page.h"
#include "jobs/job_ui.h"
#include "render/image_strip.h"
#include "render/skin_ids.h"
#include "render/skin_resource.h"
#include "render/text/font.h"
#include "runtime/threads.h"
#include "ui/widgets/button.h"
#include "ui/widgets/composite.h"
#include "ui/widgets/label.h"
#include "ui/widgets/progress_bar.h"
#include "ui/windows/theme/theme_metrics.h"

constexpr i32 kJobPageWidth = 360;
constexpr i32 kJobPageHeight = 138;
constexpr u32 kTextViewLog = 137;
constexpr i32 kJobButtonStop = 0, kJobButtonSecond = 1, kJobButtonClose = 3;
constexpr u32 kJobSecondColour = 0xE0FFA420u;
constexpr u32 kJobCloseColour = 0xE0C04040u;

template <class TSelf, class TEngine, class TParent, bool kGauges>
class CJobPageViewOf : public CCompositeOf<TSelf, TParent>, public IJobUi {
 public:
  using View = CJobPageViewOf<TSelf, TEngine, TParent, kGauges>;

  CJobPageViewOf() : engine(this) {}
  CJobPageViewOf(const CJobPageViewOf&) = delete;
  CJobPageViewOf& operator=(const CJobPageViewOf&) = delete;

  auto Children() {
    if constexpr (kGauges)
      return std::tie(secondButton, closeButton, memoryGauge, deviceGauge, overallBar, logLink);
    else
      return std::tie(secondButton, closeButton, overallBar, logLink);
  }

  // The widgets at their fixed places, the fonts and the icon strips.
  // Burn and format pages start with both buttons and the gauges hidden;
  // the saving page keeps its buttons (its close button stops its job).
  void CreateChildren() {
    LoadSkinStrip(IDR_SKIN_JOB_BUTTONS, SKIN_JOB_BUTTON_COUNT, &buttonIcons);
    LoadSkinStrip(IDR_SKIN_JOB_STATUS, SKIN_JOB_STATUS_COUNT, &statusIcons);
    secondButton.iconStrip = &buttonIcons;
    secondButton.imageFrame = kJobButtonSecond;
    secondButton.colour = kJobSecondColour;
    closeButton.iconStrip = &buttonIcons;
    closeButton.imageFrame = kJobButtonStop;
    closeButton.colour = kJobCloseColour;
    closeButton.click = BindCallback<View, &View::OnCloseClicked>(this, this);
    const Rect second = {300, 106, 324, 130}, close = {328, 106, 352, 130};
    secondButton.Create(0x2000E, &second, &this->Self());
    closeButton.Create(0x2000E, &close, &this->Self());
    const Rect bar = {8, 8, 352, 26};
    overallBar.style = ThemeGreenColor();
    overallBar.Create(0xE, &bar, &this->Self());
    overallBar.value = 0.0;
    logLink.textId = kTextViewLog;
    logLink.alignment = CLabel<TSelf>::kAlignRight;
    logLink.decoration = CLabel<TSelf>::kLink;
    logLink.lineColour = ThemeAccentColor();
    logLink.textColour = 0xFF000000u;
    logLink.link = BindCallback<View, &View::OnViewLog>(this, this);
    const Rect link = {8, 8, 352, 22};
    logLink.Create(0xA, &link, &this->Self());
    if constexpr (kGauges) {
      const Rect memory = {8, 48, 172, 62}, device = {188, 48, 352, 62};
      memoryGauge.style = ThemeGreenColor();
      deviceGauge.style = ThemeGreenColor();
      memoryGauge.Create(0xE, &memory, &this->Self());
      deviceGauge.Create(0xE, &device, &this->Self());
      memoryGauge.ModifyFlags(kFlagVisible, 0);
      deviceGauge.ModifyFlags(kFlagVisible, 0);
      memoryGauge.value = deviceGauge.value = 0.0;
    }
    if (!TSelf::kButtonsWhileRunning) {
      secondButton.ModifyFlags(kFlagVisible, 0);
      closeButton.ModifyFlags(kFlagVisible, 0);
    }
    if (CFont* base = GetDefaultFont()) {
      pageFont.Assign(AcquireFont(base->faceName.c_str(), base->size + 2, true, base->italic != 0));
      statusFont.Assign(AcquireFont(base->faceName.c_str(), base->size + 1, true, false));
      base->Release();
    }
  }

  // ---- Painting ----
  void PaintContent(CCanvas& canvas) {
    const JobPageFigures f = ReadFigures();
    PaintJobTimes(canvas, f, pageFont.Get(), statusIcons);
    if constexpr (kGauges) PaintBurnProgress(canvas, f, ReadBurnFigures(f), statusFont.Get());
  }

  // ---- IJobUi: any thread ----
  void SetBarValue(JobBar bar, double percent) override {
    CLockGuard guard(this->Window().lock);
    if (CProgressBar<TSelf>* b = Bar(bar)) b->value = percent;
  }
  void SetBarColour(JobBar bar, u32 argb) override {
    CLockGuard guard(this->Window().lock);
    if (CProgressBar<TSelf>* b = Bar(bar)) b->style = argb;
  }
  void ShowBar(JobBar bar, bool visible) override {
    if (CProgressBar<TSelf>* b = Bar(bar)) b->ModifyFlags(visible ? 0 : kFlagVisible, visible ? kFlagVisible : 0);
  }
  void SetCaption(JobBar bar, const wchar16* text) override {
    if (bar >= kBarCount) return;
    CLockGuard guard(this->Window().lock);
    captions_[bar].Assign(text ? text : u"");
  }
  void SuspendRedraw(bool suspend) override { CCompositeOf<TSelf, TParent>::SuspendRedraw(suspend); }
  void Redraw() override { CCompositeOf<TSelf, TParent>::Redraw(); }
  // Gauges and the overall bar hidden, the second button hidden, the close
  // button shown.
  void ShowFinishedState() override {
    const bool was = CCompositeOf<TSelf, TParent>::SuspendRedraw(true);
    if constexpr (kGauges) {
      memoryGauge.ModifyFlags(kFlagVisible, 0);
      deviceGauge.ModifyFlags(kFlagVisible, 0);
    }
    overallBar.ModifyFlags(kFlagVisible, 0);
    secondButton.ModifyFlags(kFlagVisible, 0);
    closeButton.ModifyFlags(0, kFlagVisible);
    CCompositeOf<TSelf, TParent>::SuspendRedraw(was);
  }
  void ShowEndState() override {
    const bool was = CCompositeOf<TSelf, TParent>::SuspendRedraw(true);
    SetCloseFrame(kJobButtonClose);
    closeButton.ModifyFlags(0, kFlagVisible);
    logLink.ModifyFlags(0, kFlagVisible);
    CCompositeOf<TSelf, TParent>::SuspendRedraw(was);
  }
  void ShowStopRequested() override {
    SetCloseFrame(kJobButtonClose);
    closeButton.Redraw();
  }
  void UpdateDeviceCommands() override { this->Window().PostDeviceCommandsUpdate(); }
  void SetFollowUpPageAside(void* page) override {
    if (page) this->Window().ParkPage(static_cast<CPageHolder*>(page));
  }
  void ShowFollowUpPage(void* page) override {
    if (page) this->Window().PostShowPage(static_cast<CPageHolder*>(page));
  }
  void ClosePage() override { this->Window().PostJobClose(holder); }
  bool CallOnUiThread(UiCall call, void* context) override {
    return this->Window().CallOnUiThread(call, context);
  }
  // ---- IJobUi: user-interface thread ----
  u32 ShowMessageBox(u32 textId, u32 titleId, u32 flags) override {
    return this->Window().ShowJobMessage(textId, titleId, flags);
  }
  u32 RunInsertDiscPrompt(i32 destinationIndex, void* request) override {
    return this->Window().RunInsertDiscPrompt(destinationIndex, request);
  }

  // ---- The page operations ----
  // A running job keeps the main window open.
  bool RefusesClose() { return !engine.HasFlags(kJobFinished); }
  void OnLanguageChanged() { this->Redraw(); }

  // The stop/close button: a finished job's page closes; a running one asks
  // first (the engine's rule).
  void OnCloseClicked() { engine.OnClose(); }
  void OnViewLog() { this->Window().OpenJobLog(); }

  // The figures the painters show, read once per paint.
  JobPageFigures ReadFigures() {
    JobPageFigures f = {};
    f.flags = engine.Flags();
    f.titleId = this->Self().TitleId();
    f.deviceLine = &engine.deviceName;
    f.remainingMs = engine.remainingMs.load();
    const double frequency = CounterFrequencyOrOne();
    const i64 now = f.flags & kJobFinished ? engine.jobEnd : ReadCounterNow();
    const i64 start = engine.progressStart;
    f.elapsedSeconds = now > start ? static_cast<u64>(static_cast<double>(now - start) / frequency) : 0;
    const i64 end = engine.jobEnd, begin = engine.jobStart;
    f.totalSeconds = end > begin ? static_cast<u64>(static_cast<double>(end - begin) / frequency) : 0;
    return f;
  }
  BurnPaintFigures ReadBurnFigures(const JobPageFigures& f) {
    BurnPaintFigures b = {};
    if constexpr (kGauges) {
      b.line.status = engine.status.load();
      b.line.speedFactor = engine.speedFactor.load();
      b.line.writeKbs = engine.nominalKbs.load();
      b.line.measuredKbs = engine.currentRateKbs.load();
      b.line.unitKbs = engine.speedUnitKbs.load();
      b.line.percent = engine.operationPercent.load();
      b.line.elapsedSeconds = f.elapsedSeconds;
      b.memoryGaugeShown = memoryGauge.IsVisible();
      b.deviceGaugeShown = deviceGauge.IsVisible();
      b.memoryCaption = &captions_[kBarMemoryCache];
    }
    return b;
  }

  CPageHolder* holder = nullptr;  // the page's own holder (set by its creator)
  CButton<TSelf> secondButton;
  CButton<TSelf> closeButton;
  CProgressBar<TSelf> memoryGauge;  // burn pages only
  CProgressBar<TSelf> deviceGauge;  // burn pages only
  CProgressBar<TSelf> overallBar;
  CLabel<TSelf> logLink;
  CImageStrip buttonIcons;
  CImageStrip statusIcons;
  CFontRef pageFont;
  CFontRef statusFont;

 private:
  CProgressBar<TSelf>* Bar(JobBar bar) {
    if (bar == kBarOverall) return &overallBar;
    if constexpr (kGauges) {
      if (bar == kBarMemoryCache) return &memoryGauge;
      if (bar == kBarDeviceCache) return &deviceGauge;
    }
    return nullptr;
  }
  void SetCloseFrame(i32 frame) {
    CLockGuard guard(this->Window().lock);
    closeButton.imageFrame = frame;
  }

  CWideString captions_[kBarCount];

 public:
  TEngine engine;
};
