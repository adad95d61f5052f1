#include "runtime/platform.h"

#include <gtest/gtest.h>

#include <string>

#include "runtime/date_time.h"
#include "runtime/win.h"

#include <shlobj.h>

namespace {

TEST(LoadedLibrary, HoldsAModuleForItsLifetime) {
  {
    CLoadedLibrary shell(u"shell32.dll");
    ASSERT_TRUE(shell.IsLoaded());
    EXPECT_NE(nullptr, shell.Lookup("ShellExecuteW"));
    EXPECT_EQ(nullptr, shell.Lookup("NoSuchEntryPoint"));
    EXPECT_EQ(nullptr, shell.Lookup(nullptr));
  }
  CLoadedLibrary missing(u"no-such-library-kelvane.dll");
  EXPECT_FALSE(missing.IsLoaded());
  EXPECT_EQ(nullptr, missing.Lookup("Anything"));
  CLoadedLibrary none(nullptr);
  EXPECT_FALSE(none.IsLoaded());
}

TEST(LoadedLibrary, ReleasesWhatItLoaded) {
  // A library the process does not hold otherwise is gone after the holder.
  ASSERT_EQ(nullptr, GetModuleHandleW(L"msacm32.dll")) << "test assumes it is not loaded";
  {
    CLoadedLibrary acm(u"msacm32.dll");
    ASSERT_TRUE(acm.IsLoaded());
    EXPECT_NE(nullptr, GetModuleHandleW(L"msacm32.dll"));
  }
  EXPECT_EQ(nullptr, GetModuleHandleW(L"msacm32.dll"));
}

TEST(Platform, StandardCursorsByIndexAndNothingBeyond) {
  ASSERT_TRUE(SetStandardCursor(7));
  EXPECT_EQ(LoadCursorW(nullptr, IDC_WAIT), GetCursor());
  ASSERT_TRUE(SetStandardCursor(1));
  HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
  EXPECT_EQ(arrow, GetCursor());
  for (u32 index : {13u, 14u, 100u, 0xFFFFFFFFu}) {
    EXPECT_FALSE(SetStandardCursor(index)) << index;
    EXPECT_EQ(arrow, GetCursor()) << "unchanged by " << index;
  }
  const LPCWSTR kIds[] = {IDC_APPSTARTING, IDC_ARROW,   IDC_CROSS,    IDC_HAND,   IDC_HELP,
                          IDC_IBEAM,       IDC_NO,      IDC_WAIT,     IDC_SIZEALL, IDC_SIZENESW,
                          IDC_SIZENWSE,    IDC_SIZEWE,  IDC_SIZENS};
  for (u32 index = 0; index < 13; ++index) {
    ASSERT_TRUE(SetStandardCursor(index)) << index;
    EXPECT_EQ(LoadCursorW(nullptr, kIds[index]), GetCursor()) << index;
  }
}

TEST(Platform, ProcessPriorityLevels) {
  DWORD original = GetPriorityClass(GetCurrentProcess());
  ASSERT_TRUE(SetProcessPriority(1));
  EXPECT_EQ(static_cast<DWORD>(BELOW_NORMAL_PRIORITY_CLASS),
            GetPriorityClass(GetCurrentProcess()));
  for (u32 level : {6u, 7u, 0xFFFFFFFFu}) {
    EXPECT_FALSE(SetProcessPriority(level)) << level;
    EXPECT_EQ(static_cast<DWORD>(BELOW_NORMAL_PRIORITY_CLASS),
              GetPriorityClass(GetCurrentProcess()))
        << "unchanged by " << level;
  }
  ASSERT_TRUE(SetProcessPriority(4));
  EXPECT_EQ(static_cast<DWORD>(HIGH_PRIORITY_CLASS), GetPriorityClass(GetCurrentProcess()));
  ASSERT_TRUE(SetProcessPriority(2));
  EXPECT_EQ(static_cast<DWORD>(NORMAL_PRIORITY_CLASS), GetPriorityClass(GetCurrentProcess()));
  SetPriorityClass(GetCurrentProcess(), original);
}

TEST(Platform, WorkAreaAndItsYFlip) {
  WorkAreaRect area = {-1, -1, -1, -1};
  GetWorkArea(&area);
  RECT expected;
  ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &expected, 0));
  EXPECT_EQ(expected.left, area.left);
  EXPECT_EQ(expected.top, area.top);
  EXPECT_EQ(expected.right, area.right);
  EXPECT_EQ(expected.bottom, area.bottom);

  for (ScreenPoint start : {ScreenPoint{0, 0}, ScreenPoint{17, 300}, ScreenPoint{-40, -9000},
                            ScreenPoint{5, area.bottom}, ScreenPoint{1 << 20, 123456}}) {
    ScreenPoint p = start;
    FlipWorkAreaY(&p);
    EXPECT_EQ(start.x, p.x) << "x is left alone";
    EXPECT_EQ(area.bottom - start.y, p.y);
    FlipWorkAreaY(&p);
    EXPECT_EQ(start.x, p.x);
    EXPECT_EQ(start.y, p.y) << "twice is the identity";
  }
  FlipWorkAreaY(nullptr);
  GetWorkArea(nullptr);
}

TEST(Platform, SpecialFolders) {
  CWideString temp;
  ASSERT_TRUE(GetSpecialFolderPath(4, &temp));
  wchar_t expected[600];
  DWORD n = GetTempPathW(600, expected);
  EXPECT_EQ(std::u16string(AsW16(expected), n), temp.c_str());
  EXPECT_EQ(static_cast<i32>(n), temp.GetLength());
  EXPECT_EQ(u'\\', temp.At(temp.GetLength() - 1));

  for (u32 kind : {0u, 1u}) {
    CWideString folder;
    ASSERT_TRUE(GetSpecialFolderPath(kind, &folder)) << kind;
    EXPECT_GT(folder.GetLength(), 2) << kind;
    wchar_t shell[MAX_PATH];
    ASSERT_EQ(S_OK, SHGetFolderPathW(nullptr, kind == 0 ? CSIDL_DESKTOP : CSIDL_PERSONAL,
                                     nullptr, SHGFP_TYPE_CURRENT, shell));
    EXPECT_EQ(std::u16string(AsW16(shell)), folder.c_str()) << kind;
  }

  for (u32 kind : {2u, 3u, 5u, 0xFFFFFFFFu}) {
    CWideString out;
    out.Assign(u"unchanged");
    EXPECT_FALSE(GetSpecialFolderPath(kind, &out)) << kind;
    EXPECT_EQ(std::u16string(u"unchanged"), out.c_str());
  }
  EXPECT_FALSE(GetSpecialFolderPath(4, nullptr));
}

TEST(Platform, ShellDisplayName) {
  CWideString name;
  ASSERT_TRUE(GetShellDisplayName(u"C:\\", &name));
  EXPECT_GT(name.GetLength(), 0);
  EXPECT_EQ(0, name.c_str()[name.GetLength()]);

  CWideString kept;
  kept.Assign(u"kept");
  EXPECT_FALSE(GetShellDisplayName(u"Q:\\no\\such\\folder\\kelvane-test.xyz", &kept));
  EXPECT_EQ(std::u16string(u"kept"), kept.c_str());
  EXPECT_FALSE(GetShellDisplayName(nullptr, &kept));
  EXPECT_FALSE(GetShellDisplayName(u"C:\\", nullptr));
}

TEST(Platform, ShellDisplayNameKeepsTheCallersApartment) {
  // The thread already runs a multithreaded apartment: the call's own
  // initialise fails, so it must not uninitialise the caller's COM.
  ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)));
  CWideString name;
  GetShellDisplayName(u"C:\\", &name);
  // Still initialised as multithreaded: a second MTA initialise says so.
  HRESULT again = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  EXPECT_EQ(S_FALSE, again);
  if (SUCCEEDED(again)) CoUninitialize();
  CoUninitialize();
}

// Opens the clipboard, retrying briefly: another process may hold it.
bool OpenClipboardForTest() {
  for (int i = 0; i < 100; ++i) {
    if (OpenClipboard(nullptr)) return true;
    Sleep(10);
  }
  return false;
}

std::u16string ReadClipboardText() {
  std::u16string text;
  if (!OpenClipboardForTest()) return u"<not opened>";
  HANDLE data = GetClipboardData(CF_UNICODETEXT);
  if (data) {
    const wchar16* p = static_cast<const wchar16*>(GlobalLock(data));
    if (p) text = p;
    GlobalUnlock(data);
  }
  CloseClipboard();
  return text;
}

TEST(Clipboard, TextRoundTripAndKinds) {
  ASSERT_TRUE(SetClipboardText(u"Kelvane \u00F1 text", 14));
  EXPECT_EQ(std::u16string(u"Kelvane \u00F1 text"), ReadClipboardText());
  EXPECT_TRUE(HasClipboardData(0));
  EXPECT_FALSE(HasClipboardData(1)) << "emptied before the text was set";
  EXPECT_FALSE(HasClipboardData(2));
  EXPECT_FALSE(HasClipboardData(0xFFFFFFFFu));

  // Only n units are taken, and a terminating zero is added.
  ASSERT_TRUE(SetClipboardText(u"abcdef", 3));
  EXPECT_EQ(std::u16string(u"abc"), ReadClipboardText());
  // Units past a zero are copied too; the reader sees the text up to it.
  ASSERT_TRUE(SetClipboardText(u"", 0));
  EXPECT_EQ(std::u16string(), ReadClipboardText());
  EXPECT_TRUE(HasClipboardData(0));

  EXPECT_FALSE(SetClipboardText(u"abc", -1));
  EXPECT_FALSE(SetClipboardText(nullptr, 5));
  EXPECT_EQ(std::u16string(), ReadClipboardText()) << "failed calls leave the clipboard";
}

TEST(Clipboard, FileListIsKindOne) {
  // A file list planted directly: kind 1 is on, and kind 0 off.
  struct {
    DROPFILES header;
    wchar_t names[16];
  } drop = {};
  drop.header.pFiles = sizeof(DROPFILES);
  drop.header.fWide = TRUE;
  const wchar_t kName[] = L"C:\\a.wav\0";
  memcpy(drop.names, kName, sizeof(kName));
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, sizeof(drop));
  ASSERT_NE(nullptr, memory);
  memcpy(GlobalLock(memory), &drop, sizeof(drop));
  GlobalUnlock(memory);
  ASSERT_TRUE(OpenClipboardForTest());
  EmptyClipboard();
  bool set = SetClipboardData(CF_HDROP, memory) != nullptr;
  CloseClipboard();
  if (!set) GlobalFree(memory);
  ASSERT_TRUE(set);
  EXPECT_TRUE(HasClipboardData(1));
  EXPECT_FALSE(HasClipboardData(0));
  ASSERT_TRUE(SetClipboardText(u"x", 1));
  EXPECT_FALSE(HasClipboardData(1));
}

class FakeInput final : public IInputState {
 public:
  i16 AsyncKeyState(i32 key) override {
    lastKey = key;
    return static_cast<i16>(0x8000);
  }
  bool CursorPosition(ScreenPoint* out) override {
    out->x = 12;
    out->y = -34;
    return true;
  }
  i32 lastKey = 0;
};

TEST(InputState, TheSeamAnswersWhileInstalled) {
  FakeInput fake;
  SetInputState(&fake);
  EXPECT_TRUE(ReadAsyncKeyState(VK_SHIFT) & 0x8000);
  EXPECT_EQ(VK_SHIFT, fake.lastKey);
  ScreenPoint p = {0, 0};
  EXPECT_TRUE(ReadCursorPosition(&p));
  EXPECT_EQ(12, p.x);
  EXPECT_EQ(-34, p.y);
  SetInputState(nullptr);
  // The system again: no key is held down in the test display.
  EXPECT_FALSE(ReadAsyncKeyState(VK_SHIFT) & 0x8000);
  EXPECT_EQ(VK_SHIFT, fake.lastKey);
  fake.lastKey = 0;
  ReadAsyncKeyState(VK_CONTROL);
  EXPECT_EQ(0, fake.lastKey);
  POINT system;
  ASSERT_TRUE(GetCursorPos(&system));
  ASSERT_TRUE(ReadCursorPosition(&p));
  EXPECT_EQ(system.x, p.x);
  EXPECT_EQ(system.y, p.y);
  EXPECT_FALSE(ReadCursorPosition(nullptr));
}

TEST(Platform, IsWow64ProcessLookup) {
  g_isWow64Process = nullptr;
  LookupIsWow64Process();
  FARPROC expected = GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "IsWow64Process");
  EXPECT_EQ(reinterpret_cast<void*>(expected), g_isWow64Process);
  EXPECT_NE(nullptr, g_isWow64Process);
}

TEST(Platform, LocalDateTimeFollowsTheSystemClockInTheProgramsFieldOrder) {
  SYSTEMTIME before, after;
  DateTime now;
  GetLocalTime(&before);
  ASSERT_TRUE(GetLocalDateTime(&now));
  GetLocalTime(&after);
  // Unless midnight passed during the call, the date matches exactly.
  if (before.wDay == after.wDay) {
    EXPECT_EQ(before.wYear, now.year);
    EXPECT_EQ(before.wMonth, now.month);
    EXPECT_EQ(before.wDay, now.day);
    EXPECT_EQ(before.wDayOfWeek, now.weekday);
  }
  // The weekday agrees with the calendar arithmetic.
  DateTime check;
  CUnixTime(now.year, now.month, now.day, 0, 0, 0).ToDateTime(&check);
  EXPECT_EQ(check.weekday, now.weekday);
  EXPECT_LT(now.milliseconds, 1000);
  EXPECT_FALSE(GetLocalDateTime(nullptr));
}

}  // namespace
