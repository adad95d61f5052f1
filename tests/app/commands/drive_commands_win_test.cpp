#include <gtest/gtest.h>

#include <vector>

#include "app/commands/device_commands.h"
#include "app/commands/eject_disc.h"
#include "drive/drive_manager.h"
#include "support/recorder_fixture.h"

namespace {

struct StateCase {
  const char* name;
  bool attach, insert;
  MediumPreset preset;
  DiscFill fill;
  bool heldByJob;  // another user has the drive open, its volume locked
  DeviceCommandStates expected;
};

TEST(DriveCommands, MenuStatesFollowTheSelectedDrive) {
  const StateCase cases[] = {
      {"no drive", false, false, MediumPreset::kCdR, DiscFill::kBlank, false, {false, false, false, false, false, false}},
      {"in use by a job", true, true, MediumPreset::kCdRw, DiscFill::kComplete, true, {true, false, false, false, false, false}},
      {"CD-RW with data", true, true, MediumPreset::kCdRw, DiscFill::kComplete, false, {true, false, true, true, true, true}},
      {"blank DVD-R", true, true, MediumPreset::kDvdR, DiscFill::kBlank, false, {true, false, false, true, true, true}},
      {"no medium", true, false, MediumPreset::kCdR, DiscFill::kBlank, false, {true, false, false, true, false, true}},
  };
  for (const StateCase& c : cases) {
    SCOPED_TRACE(c.name);
    CSimulatedRecorder recorder;
    CSimulatedDeviceIo io;
    CInstalledDeviceIo installed(io);
    if (c.attach) io.AddOpticalDrive(u'E', &recorder);
    if (c.insert) {
      MediumOptions options;
      options.preset = c.preset;
      options.fill = c.fill;
      recorder.InsertMedium(options);
      recorder.MakeReady();
    }
    CDriveManager manager;
    CDrive* job = c.heldByJob ? manager.OpenDrive(0) : nullptr;
    if (job) {
      ASSERT_TRUE(job->LockVolume());
    }
    const DeviceCommandStates s = EvaluateDeviceCommands(manager);
    const bool got[6] = {s.copyDisc, s.burnProject, s.eraseIcon, s.eject, s.discInfo, s.deviceInfo};
    const bool want[6] = {c.expected.copyDisc, false, c.expected.eraseIcon, c.expected.eject, c.expected.discInfo,
                          c.expected.deviceInfo};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(want[i], got[i]) << i;
    // The question leaves nothing open; the job keeps its lock.
    EXPECT_EQ(c.heldByJob ? 1u : 0u, io.OpenHandleCount());
    EXPECT_EQ(c.heldByJob, io.VolumeLocked(u'E'));
    ReleaseDrive(&job);
  }
}

class EjectTest : public RecorderTest {};

// Each case from a fresh drive: the commands the drive sees after its
// probe, and where its tray ends.
TEST_F(EjectTest, LetsADiscGoOrTogglesAnEmptyTray) {
  struct Case {
    const char* name;
    bool medium, trayOpen;
    std::vector<u8> tail;  // the last opcodes
    u8 lastStartStop;      // its LoEj/Start bits
    bool trayAfter;
  };
  const Case cases[] = {
      {"disc loaded", true, false, {0x00, 0x1E, 0x1B}, 0x02, true},
      {"empty, tray closed", false, false, {0x00, 0x1B}, 0x02, true},
      {"empty, tray open", false, true, {0x00, 0x1B, 0x1B}, 0x03, false},
  };
  Attach();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.medium) Insert(MediumPreset::kDvdR);
    if (!c.medium && recorder_.HasMedium()) recorder_.RemoveMedium();
    if (c.trayOpen != recorder_.TrayOpen()) c.trayOpen ? (void)recorder_.PressEject() : recorder_.CloseTray();
    Settle();
    CDriveManager manager;
    recorder_.ClearTrace();
    EjectDisc(manager, 0);
    std::vector<u8> ops;
    for (const TraceEntry& e : recorder_.Trace()) ops.push_back(e.Opcode());
    ASSERT_GE(ops.size(), c.tail.size());
    EXPECT_EQ(c.tail, std::vector<u8>(ops.end() - c.tail.size(), ops.end()));
    TraceEntry last;
    ASSERT_TRUE(recorder_.LastCommand(0x1B, &last));
    EXPECT_EQ(c.lastStartStop, last.cdb[4]);
    EXPECT_EQ(c.trayAfter, recorder_.TrayOpen());
    EXPECT_EQ(0u, io_.OpenHandleCount());
    // Out of range or in use: nothing is sent.
    CDrive* job = manager.OpenDrive(0);
    recorder_.ClearTrace();
    EjectDisc(manager, 0);
    EjectDisc(manager, 5);
    EXPECT_TRUE(recorder_.Trace().empty());
    ReleaseDrive(&job);
  }
  EXPECT_TRUE(recorder_.Violations().empty()) << ViolationText();
}

}  // namespace
