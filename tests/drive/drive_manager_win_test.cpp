// Enumeration, the drive list and the media poller against simulated
// recorders (the manager keeps its selection in the registry).
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "drive/drive_manager.h"
#include "drive/mmc/mmc_commands.h"
#include "support/recorder_fixture.h"
#include "runtime/settings.h"

namespace {

std::u16string Text(const CWideString& s) { return std::u16string(s.c_str(), s.GetLength()); }

class RecordingListener final : public IMediaListener {
 public:
  explicit RecordingListener(CDriveManager* reopen = nullptr) : reopen_(reopen) {}
  void MediaArrived(u32 index) override { Record('+', index); }
  void MediaRemoved(u32 index) override { Record('-', index); }
  std::vector<std::pair<char, u32>> Events() {
    CLockGuard guard(lock_);
    return events_;
  }
  u32 OpenedInCallback() {
    CLockGuard guard(lock_);
    return opened_;
  }

 private:
  void Record(char kind, u32 index) {
    // A listener may open the drive: the manager lock is re-entrant here.
    if (reopen_ && kind == '+') {
      CDrive* drive = reopen_->OpenDrive(index);
      if (drive && drive->IsOpen()) {
        CLockGuard guard(lock_);
        ++opened_;
      }
      ReleaseDrive(&drive);
    }
    CLockGuard guard(lock_);
    events_.push_back(std::make_pair(kind, index));
  }
  CDriveManager* reopen_;
  CLock lock_;
  std::vector<std::pair<char, u32>> events_;
  u32 opened_ = 0;
};

// Keeps the saved "Device" value of the registry as it was.
class SavedDevice {
 public:
  SavedDevice() { CSettingsKey().ReadString(u"\\Main", u"Device", &saved_); }
  ~SavedDevice() { CSettingsKey().WriteString(u"\\Main", u"Device", saved_.c_str()); }
  void Set(const wchar16* path) { CSettingsKey().WriteString(u"\\Main", u"Device", path); }

 private:
  CWideString saved_;
};

class ManagerTest : public RecorderTest {
 protected:
  // Waits until `done` holds: virtual time moves on and the poller gets real
  // time to run; gives up after about ten real seconds.
  template <class Done>
  bool WaitFor(Done done) {
    for (int i = 0; i < 5000; ++i) {
      if (done()) return true;
      SleepFor(10);
      SystemClock().Sleep(2);
    }
    return done();
  }
  SavedDevice device_;
};

}  // namespace

TEST_F(ManagerTest, EnumerateListsOpticalRootsOnly) {
  io_.AddOtherDrive(u'C', 3);
  Attach();
  io_.AddOtherDrive(u'Z', 4);
  AddRecorder(u'K');
  CArray<CWideString> paths;
  EnumerateOpticalDrives(1, &paths);
  ASSERT_EQ(2u, paths.GetCount());
  EXPECT_EQ(u"\\\\.\\E:", Text(paths[0]));
  EXPECT_EQ(u"\\\\.\\K:", Text(paths[1]));
  EnumerateOpticalDrives(0, &paths);
  EXPECT_EQ(0u, paths.GetCount());
}

TEST_F(ManagerTest, DriveWithAFailedInquiryIsNotListed) {
  device_.Set(u"");
  Attach();
  Insert(MediumPreset::kCdR);
  CSimulatedRecorder* broken = AddRecorder(u'F');
  RecorderFault fault;
  fault.opcode = mmc::kInquiry;
  fault.key = 4;
  fault.asc = 0x44;
  fault.times = 0;
  broken->AddFault(fault);
  DriveIdentity other;
  std::memcpy(other.vendor, "OTHER   ", 9);
  std::memcpy(other.product, "WRITER X        ", 17);
  AddRecorder(u'G', other);

  CDriveManager manager;
  ASSERT_EQ(2u, manager.GetDriveCount());
  EXPECT_EQ(u"E:\\  KVSIM MULTI RECORDER", Text(manager.GetName(0)));
  EXPECT_EQ(u"G:\\  OTHER WRITER X", Text(manager.GetName(1)));
  EXPECT_EQ(u"\\\\.\\G:", Text(manager.drives[1].devicePath));
  EXPECT_EQ(2u, manager.mediaPresent.GetCount());
  EXPECT_TRUE(manager.IsMediaPresent(0));
  EXPECT_FALSE(manager.IsMediaPresent(1));
  EXPECT_EQ(0u, io_.OpenHandleCount());
  EXPECT_EQ(0u, manager.GetSelected());
  EXPECT_EQ(1, manager.FindDriveByPath(u"\\\\.\\G:"));
  EXPECT_EQ(-1, manager.FindDriveByPath(u"\\\\.\\F:"));
  EXPECT_EQ(-1, manager.FindDriveByPath(u"\\\\.\\g:"));
  EXPECT_EQ(u"G:\\  OTHER WRITER X", Text(manager.GetDriveName(&manager.drives[1])));
  EXPECT_EQ(u"No Device", Text(manager.GetDriveName(nullptr)));
  CDrive stranger;
  EXPECT_EQ(u"No Device", Text(manager.GetDriveName(&stranger)));
}

TEST_F(ManagerTest, OpenSucceedingOnTheTenthTryAndTheTenthRetry) {
  device_.Set(u"");
  Attach();
  AddRecorder(u'F');
  AddRecorder(u'G');
  io_.FailOpens(u'E', 9);   // tenth try
  io_.FailOpens(u'F', 10);  // eleventh try: the tenth retry
  io_.FailOpens(u'G', 11);  // never within the retries
  CDriveManager manager;
  ASSERT_EQ(2u, manager.GetDriveCount());
  EXPECT_EQ(u"\\\\.\\E:", Text(manager.drives[0].devicePath));
  EXPECT_EQ(u"\\\\.\\F:", Text(manager.drives[1].devicePath));
  EXPECT_EQ(0u, io_.OpenCount(u'G'));
  EXPECT_EQ(0u, io_.OpenHandleCount());
}

TEST_F(ManagerTest, SelectionIsRememberedByPath) {
  device_.Set(u"");
  Attach();
  AddRecorder(u'F');
  {
    CDriveManager manager;
    manager.SelectDrive(5);
    EXPECT_EQ(0u, manager.GetSelected());
    manager.SelectDrive(1);
    EXPECT_EQ(1u, manager.GetSelected());
  }
  {
    CDriveManager manager;
    EXPECT_EQ(1u, manager.GetSelected());
  }
  device_.Set(u"\\\\.\\Q:");
  CDriveManager manager;
  EXPECT_EQ(0u, manager.GetSelected());
}

TEST_F(ManagerTest, OpenDriveHandsOutClosedDrivesOnly) {
  Attach();
  Insert(MediumPreset::kDvdR);
  CDriveManager manager;
  EXPECT_EQ(nullptr, manager.OpenDrive(1));
  CDrive* drive = manager.OpenDrive(0);
  ASSERT_NE(nullptr, drive);
  EXPECT_TRUE(drive->IsOpen());
  EXPECT_EQ(0x11, drive->currentProfile);
  EXPECT_EQ(nullptr, manager.OpenDrive(0));  // in use
  ReleaseDrive(&drive);
  EXPECT_FALSE(manager.drives[0].IsOpen());
  CDrive* again = manager.OpenDrive(0);
  EXPECT_EQ(drive, again);
  ReleaseDrive(&again);
}

TEST_F(ManagerTest, NoListenerNoPolling) {
  Attach();
  CDriveManager manager;
  recorder_.ClearTrace();
  SleepFor(10000);
  EXPECT_FALSE(manager.IsPolling());
  EXPECT_EQ(0u, recorder_.Trace().size());
}

TEST_F(ManagerTest, PollerReportsArrivalAndRemoval) {
  Attach();
  CDriveManager manager;
  RecordingListener listener(&manager);
  manager.AddListener(&listener);
  manager.AddListener(&listener);
  EXPECT_EQ(1u, manager.listeners.GetCount());
  EXPECT_TRUE(manager.IsPolling());

  MediumOptions options;
  options.preset = MediumPreset::kCdRw;
  recorder_.InsertMedium(options);
  ASSERT_TRUE(WaitFor([&] { return !listener.Events().empty(); }));
  EXPECT_EQ('+', listener.Events()[0].first);
  EXPECT_EQ(0u, listener.Events()[0].second);
  EXPECT_EQ(1u, listener.OpenedInCallback());
  EXPECT_TRUE(manager.IsMediaPresent(0));

  recorder_.RemoveMedium();
  ASSERT_TRUE(WaitFor([&] { return listener.Events().size() >= 2; }));
  EXPECT_EQ('-', listener.Events()[1].first);
  EXPECT_FALSE(manager.IsMediaPresent(0));
  manager.RemoveListener(&listener);
  EXPECT_TRUE(WaitFor([&] { return !manager.IsPolling(); }));
  EXPECT_EQ(2u, listener.Events().size());
}

TEST_F(ManagerTest, BecomingReadyAndTransportErrorsAnnounceNothing) {
  Attach();
  CDriveManager manager;
  RecordingListener listener;
  recorder_.InsertMedium(MediumOptions());
  recorder_.MakeReady();
  Settle();
  RecorderFault notReady;
  notReady.opcode = mmc::kTestUnitReady;
  notReady.key = 2;
  notReady.asc = 0x04;
  notReady.ascq = 0x01;
  notReady.times = 0;
  u32 id = recorder_.AddFault(notReady);
  manager.AddListener(&listener);
  ASSERT_TRUE(WaitFor([&] { return recorder_.FaultHits(id) >= 3; }));
  EXPECT_TRUE(listener.Events().empty());

  recorder_.ClearFaults();
  RecorderFault broken;
  broken.opcode = mmc::kTestUnitReady;
  broken.kind = FaultKind::kTransport;
  broken.times = 0;
  id = recorder_.AddFault(broken);
  ASSERT_TRUE(WaitFor([&] { return recorder_.FaultHits(id) >= 3; }));
  EXPECT_TRUE(listener.Events().empty());

  recorder_.ClearFaults();
  ASSERT_TRUE(WaitFor([&] { return !listener.Events().empty(); }));
  EXPECT_EQ('+', listener.Events()[0].first);
  manager.RemoveListener(&listener);
}

TEST_F(ManagerTest, DriveInUseIsSkipped) {
  Attach();
  CDriveManager manager;
  RecordingListener listener;
  CDrive* held = manager.OpenDrive(0);
  ASSERT_NE(nullptr, held);
  manager.AddListener(&listener);
  Insert(MediumPreset::kDvdPlusRw);
  u32 opens = io_.OpenCount(u'E');
  SleepFor(10000);
  EXPECT_EQ(opens, io_.OpenCount(u'E'));
  EXPECT_TRUE(listener.Events().empty());
  ReleaseDrive(&held);
  ASSERT_TRUE(WaitFor([&] { return !listener.Events().empty(); }));
  manager.RemoveListener(&listener);
}

TEST_F(ManagerTest, DestroyingTheManagerJoinsThePoller) {
  Attach();
  RecordingListener listener;
  CDriveManager* manager = new CDriveManager();
  manager->AddListener(&listener);
  SleepFor(5000);
  delete manager;  // returns only after the poller ended
  u32 passes = recorder_.CountCommands(mmc::kTestUnitReady);
  SleepFor(10000);
  EXPECT_EQ(passes, recorder_.CountCommands(mmc::kTestUnitReady));
  EXPECT_EQ(0u, io_.OpenHandleCount());
}

TEST_F(ManagerTest, ListenerAddedAgainRestartsThePoller) {
  Attach();
  CDriveManager manager;
  RecordingListener first, second;
  manager.AddListener(&first);
  manager.RemoveListener(&first);
  ASSERT_TRUE(WaitFor([&] { return !manager.IsPolling(); }));
  manager.AddListener(&second);
  EXPECT_TRUE(manager.IsPolling());
  Insert(MediumPreset::kBdR);
  ASSERT_TRUE(WaitFor([&] { return !second.Events().empty(); }));
  EXPECT_TRUE(first.Events().empty());
  manager.RemoveListener(&second);
}

TEST_F(ManagerTest, DriveWhoseProbeKeepsFailingIsStillListed) {
  device_.Set(u"");
  Attach();
  Insert(MediumPreset::kCdR);
  RecorderFault spinning;
  spinning.opcode = mmc::kGetConfiguration;
  spinning.times = 0;
  spinning.key = 2;
  spinning.asc = 0x04;
  spinning.ascq = 0x01;  // becoming ready, through every retry
  u32 id = recorder_.AddFault(spinning);
  CDriveManager manager;
  ASSERT_EQ(1u, manager.GetDriveCount());
  EXPECT_EQ(u"E:\\  KVSIM MULTI RECORDER", Text(manager.GetName(0)));
  EXPECT_EQ(1u + kOpenRetries, recorder_.FaultHits(id));
  EXPECT_FALSE(manager.IsMediaPresent(0));
  EXPECT_EQ(0u, io_.OpenHandleCount());
  // Once the drive answers, the poller announces the medium.
  recorder_.ClearFaults();
  RecordingListener listener;
  manager.AddListener(&listener);
  EXPECT_TRUE(WaitFor([&] { return manager.IsMediaPresent(0); }));
  manager.RemoveListener(&listener);
  ASSERT_FALSE(listener.Events().empty());
  EXPECT_EQ('+', listener.Events()[0].first);
}
