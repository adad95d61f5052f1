#include "app/main_frame.h"

#include "render/canvas.h"
#include "ui/windows/modal_loop.h"
#include "ui/windows/theme_metrics.h"

namespace {

constexpr i32 kButtonWidth = 100;
constexpr i32 kButtonHeight = 24;
constexpr u32 kVersion[3] = {0, 6, 5};
constexpr u32 kBuild = 711;
constexpr WORD kIconResource = 128;

}  // namespace

CMainFrame::CMainFrame() {
  // "Kelvane 0.6.5 Build 711"
  title.AppendAscii("Kelvane ");
  for (u32 i = 0; i < 3; ++i) {
    if (i) title.AppendChar(u'.');
    title.AppendUInt(kVersion[i]);
  }
  title.AppendAscii(" Build ");
  title.AppendUInt(kBuild);
}

void CMainFrame::CreateControls() {
  exitButton_.textId = static_cast<i32>(kCommandExit);
  exitButton_.click = BindCallback<CMainFrame, &CMainFrame::OnExitClicked>(this, this);
  const Rect place = {0, 0, kButtonWidth, kButtonHeight};
  exitButton_.Create(kButtonFlags, &place, this);
}

void CMainFrame::LayoutContent(i32 width, i32) {
  const i32 margin = ThemeDialogMargin();
  exitButton_.SetBounds(width - margin - kButtonWidth, margin, kButtonWidth, kButtonHeight);
}

void CMainFrame::PaintDecoration(CCanvas& canvas) {
  const Rect content = GetContentRect();
  canvas.FillRect(0, 0, content.right, content.bottom, ThemeWindowColor());
}

void CMainFrame::OnDestroy() { PostQuitMessage(0); }

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

bool CMainFrame::CreateCentred() {
  WorkAreaRect area;
  GetWorkArea(&area);
  const i32 x = (area.right - kDefaultWidth) / 2;
  const i32 y = (area.bottom - kDefaultHeight) / 2;
  return CreateAt(Rect{x, y, x + kDefaultWidth, y + kDefaultHeight}, false);
}

void CMainFrame::OnCommand(u32 command) {
  if (command == kCommandExit && handle) PostMessageW(static_cast<HWND>(handle), WM_CLOSE, 0, 0);
}

u32 RunApplication(u32 showCommand) {
  CMainFrame frame;
  if (!frame.CreateCentred()) return 0;
  ShowWindow(static_cast<HWND>(frame.Handle()), static_cast<int>(showCommand));
  return RunMessageLoop();
}
