#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "app/commands/command_ids.h"
#include "app/main_window/main_frame.h"
#include "render/shadow_generator.h"
#include "render/text/font.h"
#include "runtime/settings.h"
#include "runtime/win.h"
#include "support/simulated_device_io.h"
#include "ui/support/real_window.h"
#include "ui/support/scripted_window_system.h"

namespace {

const wchar_t kMainKeyPath[] = L"SOFTWARE\\VANTO SOFTWARE\\Kelvane 0.6\\Main";

const wchar_t kRootKeyPath[] = L"SOFTWARE\\VANTO SOFTWARE\\Kelvane 0.6";

// No saved place, language or task view: as on a first start.
void ForgetMainSettings() {
  RegDeleteKeyW(HKEY_CURRENT_USER, kMainKeyPath);
  HKEY root;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kRootKeyPath, 0, KEY_SET_VALUE, &root) == ERROR_SUCCESS) {
    RegDeleteValueW(root, L"TaskViewShow");
    RegDeleteValueW(root, L"TaskViewOffset");
    RegCloseKey(root);
  }
}

// A page opened on demand that notes the commands it is given and may keep
// the main window open (as a running job does).
template <class P>
class CCommandPage : public CWidgetOf<CCommandPage<P>, P> {
 public:
  void OnCommand(u32 id) { commands.push_back(id); }
  bool RefusesClose() { return busy; }
  std::vector<u32> commands;
  bool busy = false;
};
typedef CCommandPage<CMainFrame::PageHost> Page;

// The item of a command id anywhere in the menu.
MenuItem* FindItem(CMenuModel* menu, i32 id) {
  for (i32 i = 0; i < menu->count; ++i) {
    MenuItem* item = menu->GetItem(i);
    if (item->id == id && item->CanBeEnabled()) return item;
    if (CMenuModel* sub = CMenuModel::AsSubmenu(item))
      if (MenuItem* found = FindItem(sub, id)) return found;
  }
  return nullptr;
}
bool Enabled(CMainFrame& f, u32 id) {
  MenuItem* item = FindItem(f.menu, static_cast<i32>(id));
  return item && (item->flags & kMenuEnabled);
}

// The texts the last whole-window paint drew, one after the other.
std::u16string DrawnText(CMainFrame& f) {
  f.Repaint();
  const CArena& strings = f.Canvas().list.Strings();
  const wchar16* s = reinterpret_cast<const wchar16*>(strings.data);
  return std::u16string(s, s + strings.used / 2);
}

// Starts with no saved place, runs the program as its entry does and closes
// it from another thread once it shows; then a move is remembered by the
// next start.
TEST(MainFrame, StartsCentredWithItsTitleAndComesBackWhereItWasMoved) {
  ForgetMainSettings();
  std::atomic<HWND> found{nullptr};
  std::wstring title;
  RECT first = {0, 0, 0, 0};
  std::thread user([&] {
    for (int i = 0; i < 1000 && !found; ++i) {
      found = FindWindowW(L"Kelvane", nullptr);
      Sleep(10);
    }
    HWND w = found;
    if (!w) return;
    wchar_t text[64] = {};
    GetWindowTextW(w, text, 64);
    title = text;
    GetWindowRect(w, &first);
    SetWindowPos(w, nullptr, 40, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Sleep(200);
    PostMessageW(w, WM_CLOSE, 0, 0);
  });
  const u32 code = RunApplication(SW_SHOWNORMAL);
  user.join();
  ASSERT_NE(nullptr, found.load());
  EXPECT_EQ(0u, code);
  EXPECT_EQ(L"Kelvane 0.6.5 Build 711", title);
  WorkAreaRect area;
  GetWorkArea(&area);
  EXPECT_EQ(669, first.right - first.left);
  EXPECT_EQ(469, first.bottom - first.top);
  EXPECT_EQ((area.right - 650) / 2 - 9, first.left);
  // The move was written as the frame's y-up rectangle.
  SettingsRect saved;
  ASSERT_TRUE(CSettingsKey().ReadWindowRect(&saved));
  EXPECT_EQ((std::vector<i32>{49, area.bottom - 39 - 450, 49 + 650, area.bottom - 39}),
            (std::vector<i32>{saved.left, saved.top, saved.right, saved.bottom}));
  // The next start is where the last one was left, with the task view open
  // when it was open at the end.
  CSettingsKey().WriteDword(u"", u"TaskViewShow", 1);
  CMainFrame again;
  const Rect r = {saved.left, saved.top, saved.right, saved.bottom};
  ASSERT_TRUE(again.Create(r));
  RECT second;
  GetWindowRect(static_cast<HWND>(again.Handle()), &second);
  EXPECT_EQ(40 * 1000 + 30, second.left * 1000 + second.top);
  EXPECT_EQ(again.pageHost.TaskViewHolder(), again.pageHost.Current());
  ForgetMainSettings();
}

void* g_mainWindow = nullptr;
VOID CALLBACK CloseModalWindow(HWND, UINT, UINT_PTR, DWORD) {
  HWND active = GetActiveWindow();
  if (active && active != static_cast<HWND>(g_mainWindow)) PostMessageW(active, WM_CLOSE, 0, 0);
}

class MainFrameTest : public ::testing::Test {
 protected:
  MainFrameTest() : installed_(io_) {
    // Another suite may have run the program's exit callbacks.
    if (FontListCount() == 0) InitFontList();
    if (!GetWindowShadow()) InitWindowShadow();
    if (!GetPaneShadow()) InitPaneShadow();
    if (!GetPopupShadow()) InitPopupShadow();
    InstallBuiltInLanguages();
    SetCurrentLanguage(kLanguageEnglish);
    ForgetMainSettings();
    io_.AddOpticalDrive(u'E', &recorder_);
    MediumOptions cdrw;
    cdrw.preset = MediumPreset::kCdRw;
    cdrw.fill = DiscFill::kComplete;
    recorder_.InsertMedium(cdrw);
    recorder_.MakeReady();
  }
  ~MainFrameTest() { ForgetMainSettings(); }
  static i32 OpenSpy(const wchar16* target) {
    opened_.push_back(target);
    return 42;
  }

  CSimulatedRecorder recorder_;
  CSimulatedDeviceIo io_;
  CInstalledDeviceIo installed_;
  static std::vector<std::u16string> opened_;
};
std::vector<std::u16string> MainFrameTest::opened_;

TEST_F(MainFrameTest, CommandsReachTheirHandlersAndTheRestReachesThePage) {
  CMainFrame f;
  f.openWithShell = &OpenSpy;
  ASSERT_TRUE(f.Create(Rect{100, 100, 750, 550}));
  // A CD-RW with data in the selected drive: its entries are on.
  for (u32 id : {kCmdCopyDisc, kCmdEraseIcon, kCmdEject, kCmdDiscInfo, kCmdDeviceInfo, kCmdBurnImage})
    EXPECT_TRUE(Enabled(f, id)) << id;
  EXPECT_FALSE(Enabled(f, kCmdCloseWindow));
  CPageBox<Page>* box = f.pageHost.OpenPage<Page>();
  ASSERT_NE(nullptr, box);
  EXPECT_TRUE(Enabled(f, kCmdCloseWindow) && Enabled(f, kCmdNextWindow));
  // The page's commands, and the window commands that never reach it.
  const u32 pageCommands[] = {24, 25, 26, 29, 30, 31, 32, 33, 34, 35, 36, 37, 38, 39, 41, 50, 53, 74};
  for (u32 id : pageCommands) f.OnCommand(id);
  // Those that open a modal window find it closed by a timer of the loop.
  g_mainWindow = f.Handle();
  const UINT_PTR closer = SetTimer(nullptr, 0, 20, &CloseModalWindow);
  for (u32 id : {kCmdNewData, kCmdNewAudio, kCmdOpen, kCmdCopyDisc, kCmdEraseDisc, kCmdEraseIcon,
                 kCmdDiscInfo, kCmdDeviceInfo})
    f.OnCommand(id);
  KillTimer(nullptr, closer);
  EXPECT_EQ(std::vector<u32>(std::begin(pageCommands), std::end(pageCommands)), box->page.commands);
  // Help opens the manual's address and the page hears it too.
  f.OnCommand(kCmdHelp);
  ASSERT_EQ(1u, opened_.size());
  EXPECT_EQ(std::u16string(GetUiText(kTextManualAddress)), opened_[0]);
  EXPECT_EQ(kCmdHelp, box->page.commands.back());

  // The status bar hides and the page host reaches down to the bottom.
  f.OnCommand(kCmdStatusBar);
  EXPECT_EQ(0, f.pageHost.y);
  f.OnCommand(kCmdStatusBar);
  EXPECT_EQ(kStatusBarHeight, f.pageHost.y);
  {
    // Next and previous window through the keys: Ctrl+Tab, Ctrl+Shift+Tab.
    CScriptedWindowSystem keys;
    HWND window = static_cast<HWND>(f.Handle());
    keys.SetKeyDown(VK_CONTROL, true);
    SendMessageW(window, WM_KEYDOWN, VK_TAB, 1);
    EXPECT_EQ(f.pageHost.StartStripHolder(), f.pageHost.Current());
    keys.SetKeyDown(VK_LSHIFT, true);
    SendMessageW(window, WM_KEYDOWN, VK_TAB, 1);
    EXPECT_EQ(box, f.pageHost.Current());
  }
  f.OnCommand(kCmdTaskManager);
  EXPECT_EQ(kMenuIconTicked, FindItem(f.menu, kCmdTaskManager)->icon);
  f.OnCommand(kCmdCloseWindow);  // the task view leaves the list
  EXPECT_FALSE(f.pageHost.IsTaskViewShown());
  EXPECT_EQ(kMenuIconUnticked, FindItem(f.menu, kCmdTaskManager)->icon);
  // Fixed sizes, centred in the work area (a maximised window is restored
  // first, so it keeps its frame and shadow).
  f.Maximize();
  f.OnCommand(kCmdSize800);
  EXPECT_FALSE(f.flags & kFlagMaximized);
  EXPECT_EQ(781 * 1000 + 581, f.width * 1000 + f.height);
  f.OnCommand(kCmdSize960);
  WorkAreaRect area;
  GetWorkArea(&area);
  EXPECT_EQ((area.right - 941) / 2 * 1000 + 941, f.x * 1000 + f.width);
  // A medium that leaves: the poller's listener only posts; the menu follows
  // once the window has handled the message.
  recorder_.RemoveMedium();
  std::thread poller([&] { f.drives.PollOnce(); });
  poller.join();
  EXPECT_TRUE(Enabled(f, kCmdDiscInfo));
  PumpPending();
  EXPECT_FALSE(Enabled(f, kCmdDiscInfo));
  EXPECT_TRUE(Enabled(f, kCmdEject));
  // Eject: the drive lets the disc go and opens its tray.
  recorder_.ClearTrace();
  f.OnCommand(kCmdEject);
  EXPECT_TRUE(recorder_.TrayOpen());
  // While the page keeps the window open, Exit changes nothing but the
  // notice; afterwards it closes the window.
  box->page.busy = true;
  f.OnCommand(kCmdExit);
  PumpPending();
  EXPECT_TRUE(IsWindow(static_cast<HWND>(f.Handle())));
  EXPECT_TRUE(f.notice.IsRunning());
  f.notice.Stop();
  box->page.busy = false;
  f.OnCommand(kCmdExit);
  EXPECT_TRUE(PumpUntil([&] { return f.Handle() == nullptr; }));
}

TEST_F(MainFrameTest, LanguageSwitchLeavesNoTextInTheOldLanguage) {
  CMainFrame f;
  ASSERT_TRUE(f.Create(Rect{100, 100, 750, 550}));
  f.pageHost.ShowTaskView(true);
  f.pageHost.list.Activate(f.pageHost.StartStripHolder());
  // The texts a person sees: the menu bar's titles and the tiles' titles.
  const u32 shownIds[] = {19, 28, 46, 40, 56, 138, 139, 140, 141, 142};
  const auto title = [](u32 id) {
    UiString t, d;
    TileTextParts(*GetUiString(id), &t, &d);
    return std::u16string(t.text, t.length);
  };
  std::vector<std::u16string> english;
  for (u32 id : shownIds) english.push_back(title(id));
  const std::u16string before = DrawnText(f);
  for (const std::u16string& t : english) EXPECT_NE(std::u16string::npos, before.find(t));

  f.OnCommand(kCmdSpanish);
  u32 stored = 0;
  EXPECT_TRUE(CSettingsKey().ReadDword(u"\\Main", u"Language", &stored) && stored == kLanguageSpanish);
  EXPECT_TRUE(!Enabled(f, kCmdSpanish) && Enabled(f, kCmdEnglish));
  EXPECT_EQ(AcceleratorTable(kLanguageSpanish), f.accelerators);
  const std::u16string after = DrawnText(f);
  for (size_t i = 0; i < english.size(); ++i) {
    const std::u16string spanish = title(shownIds[i]);
    EXPECT_NE(std::u16string::npos, after.find(spanish)) << shownIds[i];
    if (spanish != english[i]) {
      EXPECT_EQ(std::u16string::npos, after.find(english[i])) << shownIds[i];
    }
  }
  // The task view's heading, shown again, in Spanish too.
  f.pageHost.ShowTaskView(true);
  EXPECT_NE(std::u16string::npos, DrawnText(f).find(GetUiText(kTextTaskManager)));

  // The same language again writes nothing; back to English.
  RegDeleteKeyW(HKEY_CURRENT_USER, kMainKeyPath);
  f.OnCommand(kCmdSpanish);
  EXPECT_FALSE(CSettingsKey().ReadDword(u"\\Main", u"Language", &stored));
  f.OnCommand(kCmdEnglish);
  EXPECT_NE(std::u16string::npos, DrawnText(f).find(english[0]));
}

// "Language" in the registry counts only as English or Spanish.
TEST_F(MainFrameTest, AStoredLanguageOtherThanTheTwoKeepsTheLocaleChoice) {
  const u32 values[] = {8, 1, 9, 0, 0xFFFFFFFFu};
  for (u32 value : values) {
    SetCurrentLanguage(kLanguageEnglish);
    CSettingsKey().WriteDword(u"\\Main", u"Language", value);
    CMainFrame f;
    f.SetLanguage(-1);
    const u32 expected = value == 8 ? 8 : 1;
    EXPECT_EQ(expected, GetCurrentLanguage()) << value;
    EXPECT_EQ(AcceleratorTable(expected), f.accelerators) << value;
  }
  SetCurrentLanguage(kLanguageEnglish);
}

}  // namespace
