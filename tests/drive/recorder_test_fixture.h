// A recorder on virtual time with a client that talks to its engine.
#pragma once
#include <gtest/gtest.h>

#include "support/recorder_client.h"
#include "support/virtual_clock.h"

class RecorderEngineTest : public ::testing::Test {
 protected:
  RecorderEngineTest() : installed_(clock_), client_(recorder_) {}

  // Inserts a medium, makes it ready and takes the unit attention.
  void Insert(MediumPreset preset, DiscFill fill = DiscFill::kBlank) {
    MediumOptions options;
    options.preset = preset;
    options.fill = fill;
    Insert(options);
  }
  void Insert(const MediumOptions& options) {
    recorder_.InsertMedium(options);
    recorder_.MakeReady();
    RecorderReply r = client_.TestUnitReady();
    ASSERT_EQ(6, r.Key());
    ASSERT_TRUE(client_.TestUnitReady().Good());
  }
  static void ExpectSense(const RecorderReply& r, u8 key, u8 asc, u8 ascq) {
    EXPECT_EQ(2, r.outcome.status);
    EXPECT_EQ(key, r.Key());
    EXPECT_EQ(asc, r.Asc());
    EXPECT_EQ(ascq, r.Ascq());
  }

  CVirtualClock clock_;
  CInstalledClock installed_;
  CSimulatedRecorder recorder_;
  CRecorderClient client_;
};
