// The thin system wrappers against the system itself: index tables,
// libraries held and released, the clipboard, the input seam, shell paths.
#include "runtime/platform.h"

#include <gtest/gtest.h>

#include <string>

#include "runtime/date_time.h"
#include "runtime/win.h"

#include <shlobj.h>

namespace {

TEST(LoadedLibrary, HoldsAModuleForItsLifetimeOnly) {
  ASSERT_EQ(GetModuleHandleW(L"msacm32.dll"), nullptr) << "test assumes it is not loaded";
  {
    CLoadedLibrary acm(u"msacm32.dll");
    ASSERT_TRUE(acm.IsLoaded());
    EXPECT_NE(GetModuleHandleW(L"msacm32.dll"), nullptr);
    EXPECT_NE(acm.Lookup("acmGetVersion"), nullptr);
    EXPECT_EQ(acm.Lookup("NoSuchEntryPoint"), nullptr);
    EXPECT_EQ(acm.Lookup(nullptr), nullptr);
  }
  EXPECT_EQ(GetModuleHandleW(L"msacm32.dll"), nullptr);
  for (const wchar16* name : {u"no-such-library-kelvane.dll", static_cast<const wchar16*>(nullptr)}) {
    CLoadedLibrary missing(name);
    EXPECT_FALSE(missing.IsLoaded());
    EXPECT_EQ(missing.Lookup("Anything"), nullptr);
  }
}

TEST(Platform, CursorPriorityAndWorkArea) {
  const LPCWSTR cursors[] = {IDC_APPSTARTING, IDC_ARROW, IDC_CROSS, IDC_HAND,    IDC_HELP,     IDC_IBEAM, IDC_NO,
                             IDC_WAIT,        IDC_SIZEALL, IDC_SIZENESW, IDC_SIZENWSE, IDC_SIZEWE, IDC_SIZENS};
  for (u32 index = 0; index < 13; ++index) {
    ASSERT_TRUE(SetStandardCursor(index)) << index;
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, cursors[index])) << index;
  }
  const DWORD classes[] = {IDLE_PRIORITY_CLASS, BELOW_NORMAL_PRIORITY_CLASS, NORMAL_PRIORITY_CLASS,
                           ABOVE_NORMAL_PRIORITY_CLASS, HIGH_PRIORITY_CLASS};
  const DWORD original = GetPriorityClass(GetCurrentProcess());
  for (u32 level = 0; level < 5; ++level) {
    ASSERT_TRUE(SetProcessPriority(level)) << level;
    EXPECT_EQ(GetPriorityClass(GetCurrentProcess()), classes[level]) << level;
  }
  // Indexes beyond the tables change nothing.
  for (u32 beyond : {13u, 100u, 0xFFFFFFFFu}) EXPECT_FALSE(SetStandardCursor(beyond) || SetProcessPriority(beyond - 7));
  EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_SIZENS));
  EXPECT_EQ(GetPriorityClass(GetCurrentProcess()), static_cast<DWORD>(HIGH_PRIORITY_CLASS));
  SetPriorityClass(GetCurrentProcess(), original);
  WorkAreaRect area = {-1, -1, -1, -1};
  GetWorkArea(&area);
  RECT expected;
  ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &expected, 0));
  EXPECT_TRUE(area.left == expected.left && area.top == expected.top && area.right == expected.right &&
              area.bottom == expected.bottom);
  for (ScreenPoint start : {ScreenPoint{17, 300}, ScreenPoint{-40, -9000}, ScreenPoint{5, area.bottom}}) {
    ScreenPoint p = start;
    FlipWorkAreaY(&p);
    EXPECT_TRUE(p.x == start.x && p.y == area.bottom - start.y);
  }
  FlipWorkAreaY(nullptr);
  GetWorkArea(nullptr);
}

TEST(Platform, SpecialFoldersAndShellNames) {
  wchar_t temp[600];
  const DWORD n = GetTempPathW(600, temp);
  wchar_t desktop[MAX_PATH], documents[MAX_PATH];
  ASSERT_EQ(SHGetFolderPathW(nullptr, CSIDL_DESKTOP, nullptr, SHGFP_TYPE_CURRENT, desktop), S_OK);
  ASSERT_EQ(SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, documents), S_OK);
  const struct {
    u32 kind;
    std::u16string want;  // empty: refused, the text left as it was
  } rows[] = {{0, AsW16(desktop)}, {1, AsW16(documents)}, {4, std::u16string(AsW16(temp), n)},
              {2, u""}, {3, u""}, {5, u""}, {0xFFFFFFFFu, u""}};
  for (const auto& r : rows) {
    CWideString out(u"unchanged");
    EXPECT_EQ(GetSpecialFolderPath(r.kind, &out), !r.want.empty()) << r.kind;
    EXPECT_TRUE(std::u16string(out.c_str(), out.GetLength()) == (r.want.empty() ? u"unchanged" : r.want)) << r.kind;
  }
  EXPECT_FALSE(GetSpecialFolderPath(4, nullptr));
  CWideString name(u"kept");
  EXPECT_FALSE(GetShellDisplayName(u"Q:\\no\\such\\folder\\kelvane-test.xyz", &name) ||
               GetShellDisplayName(nullptr, &name) || GetShellDisplayName(u"C:\\", nullptr));
  EXPECT_TRUE(name.Equals(u"kept"));
  // The thread already runs a multithreaded apartment: the call's own COM
  // initialisation fails and must not end the caller's.
  ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)));
  ASSERT_TRUE(GetShellDisplayName(u"C:\\", &name));
  EXPECT_GT(name.GetLength(), 0);
  const HRESULT again = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  EXPECT_EQ(again, S_FALSE);
  if (SUCCEEDED(again)) CoUninitialize();
  CoUninitialize();
}

std::u16string ReadClipboardText() {
  std::u16string text = u"<not opened>";
  for (int i = 0; i < 100 && !OpenClipboard(nullptr); ++i) Sleep(10);  // another process may hold it
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    const wchar16* p = static_cast<const wchar16*>(GlobalLock(data));
    text = p ? p : u"";
    GlobalUnlock(data);
  }
  CloseClipboard();
  return text;
}

TEST(Clipboard, TextRoundTripAndKinds) {
  ASSERT_TRUE(SetClipboardText(u"Kelvane \u00F1 text", 14));
  EXPECT_TRUE(ReadClipboardText() == u"Kelvane \u00F1 text");
  EXPECT_TRUE(HasClipboardData(0));
  EXPECT_FALSE(HasClipboardData(1) || HasClipboardData(2) || HasClipboardData(0xFFFFFFFFu));
  ASSERT_TRUE(SetClipboardText(u"abcdef", 3));  // n units and a zero of its own
  EXPECT_TRUE(ReadClipboardText() == u"abc");
  ASSERT_TRUE(SetClipboardText(u"", 0));
  EXPECT_FALSE(SetClipboardText(u"abc", -1) || SetClipboardText(nullptr, 5));
  EXPECT_TRUE(ReadClipboardText().empty()) << "failed calls leave the clipboard";
  // A file list planted directly is kind 1, not kind 0.
  struct {
    DROPFILES header;
    wchar_t names[16];
  } drop = {};
  drop.header.pFiles = sizeof(DROPFILES);
  drop.header.fWide = TRUE;
  memcpy(drop.names, L"C:\\a.wav\0", 20);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, sizeof(drop));
  memcpy(GlobalLock(memory), &drop, sizeof(drop));
  GlobalUnlock(memory);
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  const bool set = SetClipboardData(CF_HDROP, memory) != nullptr;
  CloseClipboard();
  ASSERT_TRUE(set);
  EXPECT_TRUE(HasClipboardData(1));
  EXPECT_FALSE(HasClipboardData(0));
}

class FakeInput final : public IInputState {
 public:
  i16 AsyncKeyState(i32 key) override {
    lastKey = key;
    return static_cast<i16>(0x8000);
  }
  bool CursorPosition(ScreenPoint* out) override {
    *out = {12, -34};
    return true;
  }
  i32 lastKey = 0;
};

TEST(InputState, TheSeamAnswersWhileInstalled) {
  FakeInput fake;
  SetInputState(&fake);
  EXPECT_TRUE(ReadAsyncKeyState(VK_SHIFT) & 0x8000);
  EXPECT_EQ(fake.lastKey, VK_SHIFT);
  ScreenPoint p = {0, 0};
  EXPECT_TRUE(ReadCursorPosition(&p) && p.x == 12 && p.y == -34);
  SetInputState(nullptr);  // the system again: no key is down in the test display
  EXPECT_FALSE(ReadAsyncKeyState(VK_CONTROL) & 0x8000);
  EXPECT_EQ(fake.lastKey, VK_SHIFT);
  POINT system;
  ASSERT_TRUE(GetCursorPos(&system) && ReadCursorPosition(&p));
  EXPECT_TRUE(p.x == system.x && p.y == system.y);
  EXPECT_FALSE(ReadCursorPosition(nullptr));
}

TEST(Platform, Wow64EntryAndLocalDate) {
  g_isWow64Process = nullptr;
  LookupIsWow64Process();
  EXPECT_EQ(g_isWow64Process, reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "IsWow64Process")));
  EXPECT_NE(g_isWow64Process, nullptr);
  SYSTEMTIME before, after;
  DateTime now;
  GetLocalTime(&before);
  ASSERT_TRUE(GetLocalDateTime(&now));
  GetLocalTime(&after);
  EXPECT_TRUE(before.wDay != after.wDay ||  // midnight passed meanwhile
              (now.year == before.wYear && now.month == before.wMonth && now.day == before.wDay &&
               now.weekday == before.wDayOfWeek));
  EXPECT_LT(now.milliseconds, 1000);
  EXPECT_FALSE(GetLocalDateTime(nullptr));
}

}  // namespace
