// The main window's command dispatcher, its keyboard shortcuts and the
// menu's states: the commands it handles itself, and every other one for
// the current page.
#include "app/commands/command_ids.h"
#include "app/commands/copy_erase_commands.h"
#include "app/commands/device_commands.h"
#include "app/commands/eject_disc.h"
#include "app/main_window/main_frame.h"
#include "runtime/settings.h"
#include "ui/widgets/pointer_system.h"
#include "ui/widgets/main_menu_state.h"
#include "ui/windows/dialogs/message_box.h"

namespace {

constexpr u32 kAboutFlags = 0x20001;  // one button, information icon
const wchar16 kAboutTitle[] = u"Kelvane";
const BilingualText kAboutText = {
    u"Kelvane 0.6.5 Build 711\n\n"
    u"Copyright VANTO SOFTWARE. All rights reserved.\n\n"
    u"Portions of this software are copyright The FreeType Project (www.freetype.org). "
    u"All rights reserved.",
    u"Kelvane 0.6.5 compilación 711\n\n"
    u"Copyright VANTO SOFTWARE. Todos los derechos reservados.\n\n"
    u"Partes de este programa son copyright de The FreeType Project (www.freetype.org). "
    u"Todos los derechos reservados."};

ModifierKeys HeldModifiers() {
  return {IsKeyDown(VK_CONTROL) || IsKeyDown(VK_LCONTROL) || IsKeyDown(VK_RCONTROL), IsKeyDown(VK_MENU),
          IsKeyDown(VK_LSHIFT), IsKeyDown(VK_RSHIFT)};
}

}  // namespace

void CMainFrame::OnCommand(u32 command) {
  switch (command) {
    case kCmdExit:
      if (handle) PostMessageW(static_cast<HWND>(handle), WM_CLOSE, 0, 0);
      return;
    case kCmdNewData: return NewDataProject();
    case kCmdStatusBar: return ToggleStatusBar();
    case kCmdSpanish: return SetLanguage(static_cast<i32>(kLanguageSpanish));
    case kCmdEnglish: return SetLanguage(static_cast<i32>(kLanguageEnglish));
    case kCmdEject: return EjectDisc();
    case kCmdOpen: return OpenImage();
    case kCmdNextWindow:
      pageHost.list.ActivateNext();
      return;
    case kCmdPreviousWindow:
      pageHost.list.ActivatePrevious();
      return;
    case kCmdCloseWindow:
      pageHost.ClosePage(nullptr);
      return;
    case kCmdHelp:
      OpenHelp();
      break;  // the current page hears it too
    case kCmdAbout: return ShowAbout();
    case kCmdTaskManager: return ToggleTaskView();
    case kCmdDiscInfo: return pageHost.OpenDiscInfoPage();
    case kCmdDeviceInfo: return pageHost.OpenDeviceInfoPage();
    case kCmdBurnImage: return BurnImage();
    case kCmdNewAudio:
      pageHost.OpenAudioProject();
      return;
    case kCmdCopyDisc: return CopyDisc(*this);
    case kCmdEraseDisc:
    case kCmdEraseIcon:
      return EraseDisc(*this);
    case kCmdSize800: return ResizeCentered(800, 600);
    case kCmdSize960: return ResizeCentered(960, 540);
    default: break;
  }
  if (CPageHolder* page = pageHost.Current()) page->OnCommand(command);
}

// A shortcut the focused widget takes as its own key (Ctrl+V in a text
// field pastes text, not the clipboard's files) is left to it.
bool CMainFrame::OnShortcutKey(u32 key) {
  const u32 command = MatchAccelerator(accelerators, kAcceleratorCount, key, HeldModifiers());
  if (!command) return false;
  if (IsVisibleAndEnabled() && RouteKeyToChildren(*this, KeyEvent{KeyKind::kClaim, key, 0, 0})) return false;
  OnCommand(command);
  return true;
}

void CMainFrame::UpdateDeviceCommands() {
  const DeviceCommandStates s = EvaluateDeviceCommands(drives);
  menu->EnableItemById(static_cast<i32>(kCmdCopyDisc), s.copyDisc);
  if (!s.copyDisc) menu->EnableItemById(static_cast<i32>(kCmdBurnProject), false);
  menu->EnableItemById(static_cast<i32>(kCmdEraseIcon), s.eraseIcon);
  menu->EnableItemById(static_cast<i32>(kCmdEject), s.eject);
  menu->EnableItemById(static_cast<i32>(kCmdDiscInfo), s.discInfo);
  menu->EnableItemById(static_cast<i32>(kCmdDeviceInfo), s.deviceInfo);
}

void CMainFrame::UpdatePageMenu() {
  if (CPageHolder* page = pageHost.Current()) page->UpdateMenu();
}

// A page became current: root, File and Edit back to their built state,
// the drive entries again, Close Window for a page that can close, then
// the page's own entries.
void CMainFrame::OnPageActivated(CPageHolder* current) {
  MainMenuStorage fresh;
  CopyMainMenuState(BuildMainMenu(&fresh), menu);
  UpdateDeviceCommands();
  menu->EnableItemById(static_cast<i32>(kCmdCloseWindow), current && current != pageHost.StartStripHolder());
  if (current) current->UpdateMenu();
  menuBar.Redraw();
}

void CMainFrame::SetWindowCommands(bool cycle, bool close) {
  menu->EnableItemById(static_cast<i32>(kCmdNextWindow), cycle);
  menu->EnableItemById(static_cast<i32>(kCmdPreviousWindow), cycle);
  menu->EnableItemById(static_cast<i32>(kCmdCloseWindow), close);
}

void CMainFrame::SaveTaskViewState(bool shown) {
  CSettingsKey().WriteDword(u"", kTaskViewShowValue, shown ? 1 : 0);
  if (CMenuModel* view = menu->FindSubmenu(static_cast<i32>(kCmdViewMenu))) view->SetItemIcon(shown);
}

// The panes are laid out before the bar shows itself: shown first, it would
// be painted over by the page host still reaching down to the bottom.
void CMainFrame::ToggleStatusBar() {
  const bool show = !statusBar.IsVisible();
  statusBar.flags ^= kFlagVisible;
  const Rect content = GetContentRect();
  LayoutPanes(content.right, content.bottom);
  if (show) statusBar.Redraw();
}

void CMainFrame::NewDataProject() {
  if (auto* page = pageHost.OpenExplorerPage()) page->NewProject();
}

bool CMainFrame::SaveProject(void* self, const wchar16* path, CPageHolder* project) {
  CMainFrame* frame = static_cast<CMainFrame*>(self);
  frame->ParkPage(project);
  if (CSavingPage::Open(&frame->pageHost.taskView, path, project)) return true;
  if (frame->pageHost.list.IsParked(project)) frame->pageHost.AddPage(project, true);
  return false;
}

void CMainFrame::ToggleTaskView() { pageHost.ShowTaskView(!pageHost.IsTaskViewShown()); }

void CMainFrame::EjectDisc() {
  if (drives.GetDriveCount() == 0) return;
  ::EjectDisc(drives, drives.GetSelected());
  UpdateDeviceCommands();
}

void CMainFrame::OpenHelp() {
  if (openWithShell) openWithShell(GetUiText(kTextManualAddress));
}

void CMainFrame::ShowAbout() {
  ShowMessageBox(MessageText::Of(PickText(kAboutText)), MessageText::Of(kAboutTitle), kAboutFlags);
}
