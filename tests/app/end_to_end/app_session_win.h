// The end-to-end harness: the real program (its start-up table has run in
// this executable's main, AppMain runs its message loop on the test's
// thread) with simulated recorders behind the device I/O seam, settings in
// a scratch registry key, "log.log" in a scratch folder, and a person on a
// thread of its own who drives the interface as a user would (menu items,
// typed text, keys through the key-state seam) and reads what the windows
// show through calls onto the user-interface thread.
//
// A case:
//   CAppSession app;                                  // seams installed
//   CSimulatedRecorder& e = app.AddRecorder(u'E', medium);
//   app.Run([&](CPerson& p) {                         // AppMain runs meanwhile
//     p.ChooseMenuItem(kCmdBurnImage);
//     p.Type(path); p.Press(VK_RETURN);
//     p.WaitUntil("the end state", [&](CMainFrame& f) { return ...; });
//   });                                               // window closed, AppMain returned
//   ... app.LogFile(), CompareDiscWithImage(e, path) ...
// Run checks the teardown (every thread of the program joined, no device
// handle left open, no volume locked). A watchdog ends the process with a
// message when a case hangs, so a hang fails the suite instead of stalling it.
//
// Adding cases: a file tests/app/end_to_end/<what>_win_test.cpp joins the
// end_to_end_tests executable by itself (its helpers, any other .cpp there,
// join the harness library). Before Run: recorders and media, faults on
// them, files in WorkPath(), and the settings the user left last time
// (CSettingsKey writes go to the scratch key while the session lives).
// In the script: only CPerson steps and OnUi/WaitUntil looks; reach a
// window of the program with WindowObject<T>(handle) inside OnUi. The burn
// road's steps (burn_steps_win.h: "Burn image...", the path, Enter, the
// task view's burn page to its end) serve other job windows as a model;
// Gate() paces and holds writes to catch a page mid-job, and
// UnplugWhileWriting pulls a drive out. After Run: the recorders' discs
// (disc_check_win.h) and LogFile(). Screenshots go to the build folder.
#pragma once
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "support/simulated_device_io.h"
#include "support/simulated_recorder.h"
#include "support/virtual_clock.h"
#include "write_gate_win.h"

class CMainFrame;
class CPerson;
class CPersonInput;

class CAppSession {
 public:
  struct Options {
    // Drive time on the virtual clock (minutes of closing and finalising in
    // seconds); false: the system clock (benchmarks).
    bool virtualClock = true;
    u32 realMicrosecondsPerMs = 40;  // pace of the virtual clock
    u32 watchdogSeconds = 180;       // real time a whole Run may take
    // Drives of the case's own behind the seam instead of the simulated
    // ones (benchmarks); the teardown then checks threads only.
    IDeviceIo* deviceIo = nullptr;
  };

  CAppSession();
  explicit CAppSession(const Options& options);
  ~CAppSession();
  CAppSession(const CAppSession&) = delete;
  CAppSession& operator=(const CAppSession&) = delete;

  // An optical drive "X:" holding `medium`, ready (before Run).
  CSimulatedRecorder& AddRecorder(wchar16 letter, const MediumOptions& medium,
                                  const DriveIdentity& identity = DriveIdentity());
  // An empty recorder (no medium, tray closed).
  CSimulatedRecorder& AddEmptyRecorder(wchar16 letter, const DriveIdentity& identity = DriveIdentity());

  // Starts the program with the system's own pointer resting in the
  // screen's corner (only the person's pointer is over the windows), runs
  // the script on the person's thread and, when it returns, closes the main window as a user would; returns when AppMain
  // has returned and the teardown was checked (failures reported to the
  // running test). False when the program did not come up or close.
  bool Run(const std::function<void(CPerson&)>& script);

  // The drive is pulled out while it writes: from the `commands`-th command
  // after its first WRITE on, every request fails as on a device that is
  // gone (ERROR_DEVICE_NOT_CONNECTED). The teardown then excuses it for
  // keeping removal prevented (nothing can reach it any more).
  void UnplugWhileWriting(CSimulatedRecorder& recorder, u32 commands);

  CSimulatedDeviceIo& DeviceIo() { return io_; }
  // Where a case holds a write to look at the page mid-burn.
  CWriteGate& Gate() { return gate_; }
  CVirtualClock* VirtualClock() { return options_.virtualClock ? &clock_ : nullptr; }
  // The scratch folder the program runs in (its "log.log" lands there),
  // with a trailing backslash; files for a case can be made there.
  const std::wstring& WorkFolder() const { return work_; }
  std::wstring WorkPath(const wchar_t* name) const { return work_ + name; }
  // "log.log" as the program wrote it (UTF-16LE), empty when missing.
  std::u16string LogFile() const;
  // AppMain's exit code of the last Run.
  u32 ExitCode() const { return exitCode_; }

 private:
  void CheckTeardown(u32 threadsBefore);

  Options options_;
  CVirtualClock clock_;
  CSimulatedDeviceIo io_;
  CWriteGate gate_{io_};
  std::deque<CSimulatedRecorder> recorders_;
  std::vector<const CSimulatedRecorder*> unplugged_;
  std::unique_ptr<CPersonInput> input_;
  std::wstring work_;
  std::wstring previousFolder_;
  void* scratchKey_ = nullptr;
  u32 exitCode_ = 0;
};

// The end block of a job log: from its last "Total Time: " line to the end.
std::u16string LogEndBlock(const std::u16string& log);

// The build folder (two levels above this executable's folder), with a
// trailing backslash: where screenshots and the scratch folder go.
std::wstring BuildFolder();
