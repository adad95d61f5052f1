#include "app_session_win.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <thread>

#include "app/startup/app_main.h"
#include "person_input_win.h"
#include "person_win.h"
#include "runtime/win.h"
#include "support/system_mouse.h"
// After the system header it needs.
#include <tlhelp32.h>
#include "ui_post_win.h"
#include "watchdog_win.h"

namespace {

// The scratch key that stands in for HKEY_CURRENT_USER while a session runs.
const wchar_t kScratchKey[] = L"Software\\Kelvane end-to-end scratch";
const wchar_t kMainClass[] = L"Kelvane";
constexpr u32 kStartMs = 30000;   // the main window shows
constexpr u32 kCloseMs = 120000;  // the main window goes after WM_CLOSE (jobs end first)
constexpr u32 kCloseRetryMs = 1000;
constexpr u32 kThreadsMs = 10000; // ended threads leave the process

u32 CountThreads() {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return 0;
  THREADENTRY32 entry;
  entry.dwSize = sizeof(entry);
  u32 count = 0;
  const DWORD self = GetCurrentProcessId();
  for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
    if (entry.th32OwnerProcessID == self) ++count;
  CloseHandle(snapshot);
  return count;
}

struct FindMain {
  HWND found;
};
BOOL CALLBACK FindMainWindow(HWND window, LPARAM context) {
  wchar_t name[32] = {};
  GetClassNameW(window, name, 32);
  if (lstrcmpW(name, kMainClass) != 0 || !IsWindowVisible(window)) return TRUE;
  reinterpret_cast<FindMain*>(context)->found = window;
  return FALSE;
}

std::u16string ReadUtf16File(const std::wstring& path) {
  std::u16string text;
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                            nullptr);
  if (file == INVALID_HANDLE_VALUE) return text;
  LARGE_INTEGER size;
  if (GetFileSizeEx(file, &size) && size.QuadPart < (64 << 20)) {
    text.resize(static_cast<size_t>(size.QuadPart / 2));
    DWORD read = 0;
    ReadFile(file, &text[0], static_cast<DWORD>(text.size() * 2), &read, nullptr);
    text.resize(read / 2);
  }
  CloseHandle(file);
  return text;
}

}  // namespace

std::wstring BuildFolder() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder = path;
  // ...\build\win\tests\end_to_end_tests.exe
  for (int up = 0; up < 3; ++up) {
    const size_t slash = folder.find_last_of(L"\\/");
    if (slash == std::wstring::npos) return L".\\";
    folder.resize(slash);
  }
  return folder + L"\\";
}

std::u16string LogEndBlock(const std::u16string& log) {
  const size_t at = log.rfind(u"Total Time: ");
  return at == std::u16string::npos ? std::u16string() : log.substr(at);
}

CAppSession::CAppSession() : CAppSession(Options()) {}

CAppSession::CAppSession(const Options& options) : options_(options) {
  clock_.SetRealPace(options_.realMicrosecondsPerMs);
  if (options_.virtualClock) SetClock(&clock_);
  SetDeviceIo(options_.deviceIo ? options_.deviceIo : &gate_);
  input_.reset(new CPersonInput());
  // Settings: HKEY_CURRENT_USER is the scratch key for this process, made
  // afresh (a session that crashed may have left one).
  RegDeleteTreeW(HKEY_CURRENT_USER, kScratchKey);
  HKEY scratch = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, kScratchKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &scratch, nullptr) ==
          ERROR_SUCCESS &&
      RegOverridePredefKey(HKEY_CURRENT_USER, scratch) == ERROR_SUCCESS) {
    scratchKey_ = scratch;
  } else {
    ADD_FAILURE() << "no scratch registry key";
    if (scratch) RegCloseKey(scratch);
  }
  // The program runs in a scratch folder of the build tree.
  wchar_t current[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, current);
  previousFolder_ = current;
  work_ = BuildFolder() + L"e2e-work\\";
  CreateDirectoryW(work_.c_str(), nullptr);
  SetCurrentDirectoryW(work_.c_str());
  DeleteFileW((work_ + L"log.log").c_str());
}

CAppSession::~CAppSession() {
  SetCurrentDirectoryW(previousFolder_.c_str());
  if (scratchKey_) {
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    RegCloseKey(static_cast<HKEY>(scratchKey_));
    RegDeleteTreeW(HKEY_CURRENT_USER, kScratchKey);
  }
  input_.reset();
  SetDeviceIo(nullptr);
  if (options_.virtualClock) SetClock(nullptr);
}

CSimulatedRecorder& CAppSession::AddRecorder(wchar16 letter, const MediumOptions& medium,
                                             const DriveIdentity& identity) {
  CSimulatedRecorder& recorder = AddEmptyRecorder(letter, identity);
  recorder.InsertMedium(medium);
  recorder.MakeReady();
  return recorder;
}

CSimulatedRecorder& CAppSession::AddEmptyRecorder(wchar16 letter, const DriveIdentity& identity) {
  recorders_.emplace_back(identity);
  io_.AddOpticalDrive(letter, &recorders_.back());
  return recorders_.back();
}

void CAppSession::UnplugWhileWriting(CSimulatedRecorder& recorder, u32 commands) {
  RecorderFault gone;
  gone.opcode = -1;
  gone.after = 0x2A;
  gone.occurrence = commands ? commands : 1;
  gone.times = 0;
  gone.kind = FaultKind::kTransport;
  gone.transportError = 1167;  // ERROR_DEVICE_NOT_CONNECTED
  recorder.AddFault(gone);
  unplugged_.push_back(&recorder);
}

std::u16string CAppSession::LogFile() const { return ReadUtf16File(work_ + L"log.log"); }

bool CAppSession::Run(const std::function<void(CPerson&)>& script) {
  const u32 threadsBefore = CountThreads();
  // The system sends moves of its own for its resting pointer (as windows
  // open, close or move under it, to the window holding the mouse): were it
  // over the windows, they would undo what the person's pointer lit.
  if (!RestSystemPointerAway()) {
    ADD_FAILURE() << "the system's pointer could not be put away from the windows";
    return false;
  }
  CUiPost ui;
  if (!ui.IsValid()) {
    ADD_FAILURE() << "no window for calls onto the user-interface thread";
    return false;
  }
  const DWORD uiThread = GetCurrentThreadId();
  std::atomic<bool> appEnded{false};
  bool came = false, closed = false;
  CWatchdog watchdog(options_.watchdogSeconds * 1000);
  std::thread person([&] {
    // The program's window, once it shows.
    FindMain find = {nullptr};
    const DWORD start = GetTickCount();
    while (!find.found && !appEnded && GetTickCount() - start < kStartMs) {
      EnumThreadWindows(uiThread, FindMainWindow, reinterpret_cast<LPARAM>(&find));
      if (!find.found) Sleep(10);
    }
    if (!find.found) return;
    came = true;
    {
      CPerson p(*this, *input_, ui, find.found);
      CWatchdog::NoteStep("the script");
      script(p);
    }
    gate_.Release();  // a write a failed script left held
    // The user closes the main window.
    CWatchdog::NoteStep("closing the main window");
    // A running job refuses it (with a notice): asked again every second
    // while the job ends.
    const DWORD asked = GetTickCount();
    DWORD lastAsk = asked - kCloseRetryMs;
    while (IsWindow(find.found) && GetTickCount() - asked < kCloseMs) {
      if (GetTickCount() - lastAsk >= kCloseRetryMs) {
        PostMessageW(find.found, WM_CLOSE, 0, 0);
        lastAsk = GetTickCount();
      }
      Sleep(10);
    }
    closed = !IsWindow(find.found);
  });
  exitCode_ = AppMain(SW_SHOWNORMAL);
  appEnded = true;
  person.join();
  watchdog.Stop();
  EXPECT_TRUE(came) << "the main window never showed";
  EXPECT_TRUE(closed) << "the main window did not close";
  CheckTeardown(threadsBefore);
  return came && closed;
}

void CAppSession::CheckTeardown(u32 threadsBefore) {
  // Every thread the program started has ended (they leave the process a
  // moment after they return).
  const DWORD start = GetTickCount();
  u32 threads = CountThreads();
  while (threads > threadsBefore && GetTickCount() - start < kThreadsMs) {
    Sleep(10);
    threads = CountThreads();
  }
  EXPECT_LE(threads, threadsBefore) << "threads left running after the program ended";
  EXPECT_EQ(0u, io_.OpenHandleCount()) << "device handles left open";
  for (wchar16 letter = u'A'; letter <= u'Z'; ++letter)
    EXPECT_FALSE(io_.VolumeLocked(letter)) << "volume " << static_cast<char>(letter) << ": left locked";
  for (const CSimulatedRecorder& recorder : recorders_) {
    const bool gone = std::find(unplugged_.begin(), unplugged_.end(), &recorder) != unplugged_.end();
    EXPECT_TRUE(gone || !recorder.RemovalPrevented()) << "a drive left with removal prevented";
    for (const std::string& v : recorder.Violations()) ADD_FAILURE() << "a drive saw a broken rule: " << v;
  }
}
