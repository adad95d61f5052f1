#include "app/main_window/main_frame.h"

#include "app/startup/main_placement.h"
#include "app/startup/monitor_areas.h"
#include "render/canvas.h"
#include "render/skin_ids.h"
#include "render/skin_resource.h"
#include "runtime/settings.h"
#include "ui/windows/dialogs/modal_loop.h"
#include "ui/windows/theme/theme_metrics.h"

namespace {

constexpr u32 kVersion[3] = {0, 6, 5};
constexpr u32 kBuild = 711;
constexpr WORD kIconResource = IDI_KELVANE;

void MediaPathChanged(void* owner, const wchar16* path) {
  CMainFrame* frame = static_cast<CMainFrame*>(owner);
  const i32 index = frame->drives.FindDriveByPath(path);
  if (index >= 0 && static_cast<u32>(index) == frame->drives.GetSelected()) frame->UpdateDeviceCommands();
}

}  // namespace

void CMediaPoster::MediaArrived(u32 driveIndex) {
  if (window) PostMessageW(static_cast<HWND>(window), WM_USER + kMsgMediaChanged, driveIndex, 0);
}

void CMediaPoster::MediaRemoved(u32 driveIndex) {
  if (window) PostMessageW(static_cast<HWND>(window), WM_USER + kMsgMediaChanged, driveIndex, 0);
}

CMainFrame::CMainFrame() {
  // "Kelvane 0.6.5 Build 711"
  title.AppendAscii("Kelvane ");
  for (u32 i = 0; i < 3; ++i) {
    if (i) title.AppendChar(u'.');
    title.AppendUInt(kVersion[i]);
  }
  title.AppendAscii(" Build ");
  title.AppendUInt(kBuild);
  menu = BuildMainMenu(&menuStorage);
  accelerators = AcceleratorTable(kLanguageSpanish);
  CFontRef base(GetDefaultFont());
  if (base.Get()) notice.font.Assign(AcquireFont(base.Get()->faceName.c_str(), base.Get()->size + 1, true, false));
  media = {this, &MediaPathChanged, &MediaPathChanged};
}

CMainFrame::~CMainFrame() {
  drives.RemoveListener(&mediaPoster);
  notice.Stop();
  pageHost.startStrip.Stop();
  ThemePainter()->SetAppIcon(nullptr);
  CBitmap::Destroy(appIcon);
}

bool CMainFrame::Create(const Rect& frame) {
  appIcon = LoadSkinBitmap(IDR_SKIN_APP_ICON);
  ThemePainter()->SetAppIcon(appIcon);
  if (!CreateAt(frame, false)) return false;
  mediaPoster.window = handle;
  drives.AddListener(&mediaPoster);
  AddClipboardFormatListener(static_cast<HWND>(handle));
  return true;
}

void CMainFrame::CreateControls() {
  const Rect place = {0, 0, 200, 200};
  // The menu bar, its pictures and its commands, with the drive selector
  // (the drive manager's drives by name) at its right end.
  menuBar.margins[0] = 4;
  menuBar.command = BindCallback<CMainFrame, &CMainFrame::OnCommand, u32>(this, this);
  menuBar.opening = BindCallback<CMainFrame, &CMainFrame::UpdatePageMenu>(this, this);
  if (LoadSkinStrip(IDR_SKIN_MENU_ICONS, SKIN_MENU_ICON_COUNT, &menuBar.icons))
    ThemePainter()->TintImage(&menuBar.icons, &menuBar.greyedIcons);
  CDropDownList<CDeviceBar<CMainFrame>>& driveSelector = menuBar.driveSelector;
  driveSelector.itemSource =
      BindCallback<CMainFrame, &CMainFrame::DriveItem, i32, const wchar16**, i32*, i32*, u32*>(&menuBar, this);
  driveSelector.changed = BindCallback<CMainFrame, &CMainFrame::OnDriveChosen, i32>(&menuBar, this);
  driveSelector.itemCount = drives.GetDriveCount();
  driveSelector.selectedIndex = drives.GetDriveCount() ? static_cast<i32>(drives.GetSelected()) : -1;
  menuBar.Create(0x2000A | kFlagVisible, &place, this);
  menuBar.SetModel(menu);
  // The status bar: part 1 keeps 180 pixels.
  statusBar.Create(0xA | kFlagVisible, &place, this);
  // The page host with its start strip (the first page) and task view.
  pageHost.background = LoadSkinBitmap(IDR_SKIN_HOST_BACKGROUND);
  LoadSkinStrip(IDR_SKIN_START_ICONS, SKIN_START_ICON_COUNT, &pageHost.startStrip.icons);
  pageHost.startStrip.font.Assign(GetDefaultFont());
  pageHost.startStrip.command = BindCallback<CMainFrame, &CMainFrame::OnCommand, u32>(&pageHost, this);
  pageHost.taskView.closeButton.iconStrip = &menuBar.icons;
  pageHost.Create(0x8002 | kFlagVisible, &place, this);
  SetLanguage(-1);
  // The notice stays hidden until shown.
  notice.image = LoadSkinBitmap(IDR_SKIN_NOTICE);
  const Rect noticePlace = {0, 0, kNoticeWidth, kNoticeHeight};
  notice.Create(0xA, &noticePlace, this);
  UpdateDeviceCommands();
  // The task view comes back when it was open at the last end.
  u32 taskViewShown = 0;
  if (CSettingsKey().ReadDword(u"", kTaskViewShowValue, &taskViewShown) && taskViewShown == 1)
    pageHost.ShowTaskView(true);
}

void CMainFrame::LayoutContent(i32 width, i32 height) {
  SaveWindowRect();
  LayoutPanes(width, height);
}

// Status bar along the bottom, menu bar along the top with the drive
// selector at its right end, the page host between them (down to the
// bottom edge while the status bar is hidden).
void CMainFrame::LayoutPanes(i32 width, i32 height) {
  const i32 gap = ThemeMenuBarItemGap();
  statusBar.SetBounds(0, 0, width, kStatusBarHeight);
  const i32 bottom = statusBar.IsVisible() ? kStatusBarHeight : 0;
  const i32 barHeight = menuBar.height;
  menuBar.SetBounds(0, height - barHeight, width, barHeight);
  const i32 top = height - barHeight - gap;
  pageHost.SetBounds(0, bottom, width, top - bottom);
}

// The menu band: a translucent strip as wide as the page host from its top
// edge up by the menu bar's height and the gap below the bar, behind the
// menu bar. Nothing else is drawn under the panes: the page host and the
// status bar paint their own areas.
void CMainFrame::PaintDecoration(CCanvas& canvas) {
  const i32 bottom = pageHost.y + pageHost.height;
  canvas.FillRect(pageHost.x, bottom, pageHost.x + pageHost.width, bottom + menuBar.height + ThemeMenuBarItemGap(),
                  ThemeTintColor());
}

void CMainFrame::SaveWindowRect() {
  CSettingsKey().WriteWindowRect(SettingsRect{x, y, x + width, y + height});
}

void CMainFrame::OnMoved() { SaveWindowRect(); }

bool CMainFrame::SetWindowRect(i32 newX, i32 newY, i32 newWidth, i32 newHeight) {
  const bool moved = newX != x || newY != y;
  const bool sized = newWidth != width || newHeight != height;
  if (!moved && !sized) return false;
  SetBounds(newX, newY, newWidth, newHeight);
  if (!sized) SaveWindowRect();  // a size change saved it in its layout
  return true;
}

void CMainFrame::ResizeCentered(i32 outerWidth, i32 outerHeight) {
  if (flags & kFlagMaximized) Restore();
  WorkAreaRect area;
  GetWorkArea(&area);
  const i32 w = outerWidth - kLargeMargins.total, h = outerHeight - kLargeMargins.total;
  SetWindowRect((area.right - w) / 2, (area.bottom - h) / 2, w, h);
}

void CMainFrame::SetStatusText(u32 part, const wchar16* text, bool redraw) { statusBar.SetText(part, text, redraw); }

void CMainFrame::ShowNotice(u32 titleId, NoticeText text) { notice.ShowNotice(titleId, text); }

// A running job or export keeps the window open, and the notice says why.
bool CMainFrame::OnCloseQuery() {
  NoticeText why = kNoticeJobRunning;
  if (!pageHost.RefusesClose(&why)) return false;
  ShowNotice(kNoticeTitleWarning, why);
  return true;
}

void CMainFrame::OnDestroy() {
  drives.RemoveListener(&mediaPoster);
  mediaPoster.window = nullptr;
  RemoveClipboardFormatListener(static_cast<HWND>(handle));
  menuBar.driveSelector.ModifyFlags(kFlagVisible, 0);
  notice.Stop();
  pageHost.startStrip.Stop();
  PostQuitMessage(0);
}

void CMainFrame::OnClipboardUpdate() {
  pageHost.OfferClipboardChange();
}

void CMainFrame::PostFreePages() {
  if (handle)
    PostMessageW(static_cast<HWND>(handle), WM_USER + kMsgFreePages, 0, 0);
  else
    pageHost.FreeClosedPages();
}

void CMainFrame::OnUserMessage(u32 offset, uintptr_t wParam, intptr_t lParam) {
  if (offset == kMsgMediaChanged) {
    if (wParam == drives.GetSelected()) UpdateDeviceCommands();
  } else if (offset == kMsgFreePages) {
    pageHost.FreeClosedPages();
  } else if (!OnJobMessage(offset, lParam) && IsVisibleAndEnabled()) {
    // Every other toolkit message is the pages' own (posted by a page to
    // itself, for instance, to act after its handler has returned).
    pageHost.OfferUserMessage(offset, wParam, lParam);
  }
}

void CMainFrame::DriveItem(i32 index, const wchar16** text, i32* length, i32*, u32*) {
  if (index < 0 || static_cast<u32>(index) >= drives.GetDriveCount()) return;
  const CWideString& name = drives.GetName(static_cast<u32>(index));
  *text = name.c_str();
  *length = name.GetLength();
}

void CMainFrame::OnDriveChosen(i32 index) {
  if (index < 0) return;
  drives.SelectDrive(static_cast<u32>(index));
  UpdateDeviceCommands();
}

u16 CMainFrame::RegisterWindowClass(wchar_t* name) {
  lstrcpyW(name, L"Kelvane");
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW info;
  ZeroMemory(&info, sizeof(info));
  info.cbSize = sizeof(info);
  info.style = CS_DBLCLKS;
  info.lpfnWndProc = ToolkitWindowProc;
  info.hInstance = instance;
  info.hIcon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(kIconResource), IMAGE_ICON, 32, 32, 0));
  info.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(kIconResource), IMAGE_ICON, 16, 16, 0));
  info.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
  info.lpszClassName = name;
  return RegisterClassExW(&info);
}

const wchar16* CMainFrame::WindowName() { return u"Kelvane 0.6"; }

u32 RunApplication(u32 showCommand) {
  CMainFrame frame;
  SettingsRect saved;
  const bool hasSaved = CSettingsKey().ReadWindowRect(&saved);
  const Rect savedRect = {saved.left, saved.top, saved.right, saved.bottom};
  Rect areas[kMaxMonitors];
  const u32 areaCount = GetMonitorWorkAreas(areas, kMaxMonitors);
  WorkAreaRect work;
  GetWorkArea(&work);
  const Rect place = ChooseMainRect(hasSaved ? &savedRect : nullptr, areas, areaCount, work.right, work.bottom);
  if (!frame.Create(place)) return 0;
  ShowWindow(static_cast<HWND>(frame.Handle()), static_cast<int>(showCommand));
  return RunMessageLoop();
}
