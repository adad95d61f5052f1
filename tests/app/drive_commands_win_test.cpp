#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "app/device_commands.h"
#include "app/eject_disc.h"
#include "drive/drive_manager.h"
#include "support/recorder_fixture.h"

namespace {

class DriveCommandsTest : public RecorderTest {
 protected:
  CDriveManager& Manager() {
    if (!manager_) manager_.reset(new CDriveManager());
    return *manager_;
  }
  // The opcodes the recorder saw since the last ClearTrace, in order.
  std::vector<u8> Opcodes() const {
    std::vector<u8> out;
    for (const TraceEntry& e : recorder_.Trace()) out.push_back(e.Opcode());
    return out;
  }
  std::unique_ptr<CDriveManager> manager_;
};

struct StateCase {
  const char* name;
  bool attach;
  bool insert;
  MediumPreset preset;
  DiscFill fill;
  bool heldByJob;  // another user has the drive open with its volume locked
  DeviceCommandStates expected;
};

TEST_F(DriveCommandsTest, MenuStatesFollowTheSelectedDrive) {
  const StateCase cases[] = {
      {"no drive", false, false, MediumPreset::kCdR, DiscFill::kBlank, false,
       {false, false, false, false, false, false}},
      {"drive in use by a job", true, true, MediumPreset::kCdRw, DiscFill::kComplete, true,
       {true, false, false, false, false, false}},
      {"CD-RW with data", true, true, MediumPreset::kCdRw, DiscFill::kComplete, false,
       {true, false, true, true, true, true}},
      {"blank DVD-R", true, true, MediumPreset::kDvdR, DiscFill::kBlank, false,
       {true, false, false, true, true, true}},
      {"no medium", true, false, MediumPreset::kCdR, DiscFill::kBlank, false,
       {true, false, false, true, false, true}},
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
    CDrive* job = nullptr;
    if (c.heldByJob) {
      job = manager.OpenDrive(0);
      ASSERT_NE(nullptr, job);
      ASSERT_TRUE(job->LockVolume());
    }
    const DeviceCommandStates s = EvaluateDeviceCommands(manager);
    EXPECT_EQ(c.expected.copyDisc, s.copyDisc);
    EXPECT_FALSE(s.burnProject);
    EXPECT_EQ(c.expected.eraseIcon, s.eraseIcon);
    EXPECT_EQ(c.expected.eject, s.eject);
    EXPECT_EQ(c.expected.discInfo, s.discInfo);
    EXPECT_EQ(c.expected.deviceInfo, s.deviceInfo);
    // The question leaves nothing open behind it; the job keeps its lock.
    EXPECT_EQ(c.heldByJob ? 1u : 0u, io.OpenHandleCount());
    EXPECT_EQ(c.heldByJob, io.VolumeLocked(u'E'));
    ReleaseDrive(&job);
  }
}

TEST_F(DriveCommandsTest, EjectLetsALoadedDiscGoAndOpensTheTray) {
  Attach();
  Insert(MediumPreset::kDvdR);
  CDriveManager& manager = Manager();
  recorder_.ClearTrace();
  EjectDisc(manager, 0);
  const std::vector<u8> ops = Opcodes();
  ASSERT_GE(ops.size(), 3u);
  // The drive's probe comes first; the command's own sequence ends it.
  EXPECT_EQ((std::vector<u8>{0x00, 0x1E, 0x1B}), std::vector<u8>(ops.end() - 3, ops.end()));
  TraceEntry eject;
  ASSERT_TRUE(recorder_.LastCommand(0x1B, &eject));
  EXPECT_EQ(0x02, eject.cdb[4]);      // LoEj, no Start
  EXPECT_EQ(0x01, eject.cdb[1] & 1);  // immediate
  TraceEntry allow;
  ASSERT_TRUE(recorder_.LastCommand(0x1E, &allow));
  EXPECT_EQ(0, allow.cdb[4] & 1);
  EXPECT_TRUE(recorder_.TrayOpen());
  EXPECT_EQ(0u, io_.OpenHandleCount());
  EXPECT_TRUE(recorder_.Violations().empty()) << ViolationText();
}

TEST_F(DriveCommandsTest, EjectOfAnEmptyDriveTogglesItsTray) {
  Attach();
  CDriveManager& manager = Manager();
  // Closed and empty: the tray opens and stays open (the eject took its
  // time, so the tray was not open before).
  recorder_.ClearTrace();
  EjectDisc(manager, 0);
  EXPECT_TRUE(recorder_.TrayOpen());
  EXPECT_EQ(1u, recorder_.CountCommands(0x1B));
  EXPECT_EQ(0u, recorder_.CountCommands(0x1E));
  // Open and empty: the eject returns at once, so the tray is loaded.
  recorder_.ClearTrace();
  EjectDisc(manager, 0);
  EXPECT_FALSE(recorder_.TrayOpen());
  EXPECT_EQ(2u, recorder_.CountCommands(0x1B));
  TraceEntry load;
  ASSERT_TRUE(recorder_.LastCommand(0x1B, &load));
  EXPECT_EQ(0x03, load.cdb[4]);
  // A drive index out of range or in use: nothing is sent.
  recorder_.ClearTrace();
  EjectDisc(manager, 5);
  CDrive* job = manager.OpenDrive(0);
  ASSERT_NE(nullptr, job);
  recorder_.ClearTrace();
  EjectDisc(manager, 0);
  EXPECT_TRUE(recorder_.Trace().empty());
  ReleaseDrive(&job);
  EXPECT_TRUE(recorder_.Violations().empty()) << ViolationText();
}

}  // namespace
