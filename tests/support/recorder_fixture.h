// A simulated recorder behind the device I/O seam on virtual time, as drive
// "E:", for the tests of the drive layer and of the jobs.
#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "drive/drive.h"
#include "support/simulated_device_io.h"
#include "support/simulated_recorder.h"
#include "support/virtual_clock.h"

class RecorderTest : public ::testing::Test {
 protected:
  RecorderTest() : installedClock_(clock_), installedIo_(io_) {}

  // Creates the recorder with the identity and attaches it as E:.
  void Attach(const DriveIdentity& identity = DriveIdentity()) {
    recorder_.SetIdentity(identity);
    io_.AddOpticalDrive(u'E', &recorder_);
  }

  // Another recorder attached under a letter, living as long as the test.
  CSimulatedRecorder* AddRecorder(wchar16 letter, const DriveIdentity& identity = DriveIdentity()) {
    extra_.emplace_back(new CSimulatedRecorder(identity));
    io_.AddOpticalDrive(letter, extra_.back().get());
    return extra_.back().get();
  }

  // Inserts a medium and lets the drive settle: ready, unit attention taken.
  void Insert(const MediumOptions& options) {
    recorder_.InsertMedium(options);
    recorder_.MakeReady();
    Settle();
  }
  void Insert(MediumPreset preset, DiscFill fill = DiscFill::kBlank) {
    MediumOptions options;
    options.preset = preset;
    options.fill = fill;
    Insert(options);
  }

  // Sends TEST UNIT READY until the pending unit attention is consumed.
  void Settle() {
    CDrive d;
    if (!d.OpenDevice(kPath)) return;
    for (int i = 0; i < 4; ++i) {
      d.TestUnitReady();
      if (d.LastCommandSucceeded() || d.senseKey != 6) break;
    }
    d.Close();
  }

  // The drive opened and probed.
  bool OpenDrive(CDrive* drive) { return drive->Open(kPath); }

  // Requests that broke the rules, as one text for failure messages.
  std::string ViolationText() const {
    std::string all;
    for (const std::string& v : recorder_.Violations()) all += v + "\n";
    return all;
  }

  static const wchar16 kPath[];

  CVirtualClock clock_;
  CInstalledClock installedClock_;
  CSimulatedRecorder recorder_;
  std::vector<std::unique_ptr<CSimulatedRecorder>> extra_;
  CSimulatedDeviceIo io_;
  CInstalledDeviceIo installedIo_;
};

inline const wchar16 RecorderTest::kPath[] = u"\\\\.\\E:";
