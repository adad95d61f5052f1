// The rig one scenario row runs on (see job_scenario.h): recorders "E:"
// (destination) and "F:" (source) behind a device I/O that lets the row
// watch and change requests, on a virtual clock, with a headless page.
#pragma once
#include <cstring>
#include <functional>
#include <map>
#include <mutex>
#include <vector>

#include "drive/scsi_pass_through.h"
#include "jobs/job_page.h"
#include "recorder_state.h"
#include "support/headless_job_ui.h"
#include "support/job_scenario.h"
#include "support/simulated_device_io.h"
#include "support/virtual_clock.h"

// Passes every call on; `before` sees each pass-through command block (with
// the drive letter), `after` the answered request (its data may be changed).
class CHookedDeviceIo final : public IDeviceIo {
 public:
  typedef std::function<void(wchar16 letter, const u8* cdb)> Before;
  typedef std::function<void(wchar16 letter, const u8* cdb, u8* data, u32 length, u8 status)> After;

  explicit CHookedDeviceIo(CSimulatedDeviceIo& inner) : inner_(inner) {}
  void SetBefore(Before before) {
    std::lock_guard<std::mutex> guard(mutex_);
    before_ = std::move(before);
  }
  void SetAfter(After after) {
    std::lock_guard<std::mutex> guard(mutex_);
    after_ = std::move(after);
  }

  u32 GetLogicalDriveStrings(u32 length, wchar16* buffer) override { return inner_.GetLogicalDriveStrings(length, buffer); }
  u32 GetDriveType(const wchar16* root) override { return inner_.GetDriveType(root); }
  void* CreateFile(const wchar16* path, u32 access, u32 share, u32 disposition, u32 flags) override {
    return inner_.CreateFile(path, access, share, disposition, flags);
  }
  bool CloseHandle(void* handle) override { return inner_.CloseHandle(handle); }
  bool DeviceIoControl(void* handle, u32 code, void* in, u32 inSize, void* out, u32 outSize,
                       u32* bytesReturned) override;

 private:
  CSimulatedDeviceIo& inner_;
  std::mutex mutex_;
  Before before_;
  After after_;
};

class CScenarioRig {
 public:
  explicit CScenarioRig(const Scenario& row);
  ~CScenarioRig();

  ScenarioRun RunFormat();

  const Scenario& row_;
  CVirtualClock clock_;
  CInstalledClock installedClock_;
  CSimulatedRecorder destination_;
  CSimulatedRecorder source_;
  CSimulatedDeviceIo io_;
  CHookedDeviceIo hooked_;
  CInstalledDeviceIo installedIo_;
  CHeadlessJobUi ui_;
  ScenarioRun run_;
  // What the destination must hold after a good job, block by block.
  std::map<u32, std::vector<u8>> expected_;

  static void Insert(CSimulatedRecorder& recorder, wchar16 letter, const MediumOptions& medium);
  CSimulatedRecorder& Recorder(wchar16 letter);
  void ArmFaultsAndHooks(CJobPage* page);
  void SnapshotTracks(const CSimulatedRecorder& recorder);
  static bool WaitEnded(const CJobPage& page, u32 milliseconds);
  void Problem(const std::string& text);
  // Collects the outcome and checks the invariants and the disc.
  void Finish(const CJobPage& page);
  // The same for a job its window refused: nothing may have been written.
  void FinishNotStarted();
  // Every drive unlocked, closed and free to eject; no broken rule.
  void CheckReleased();

 private:
  void ShiftAudio(u32 lba, u8* data, u32 length);
  void CompareDisc();
  static std::u16string ReadLogFile();
};

// The burn part (image, project, copy); Windows only.
ScenarioRun RunBurnScenario(CScenarioRig& rig);
