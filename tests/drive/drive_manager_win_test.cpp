// Enumeration, the drive list and the media poller against simulated
// recorders (the manager keeps its selection in the registry).
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "drive/drive_manager.h"
#include "drive/mmc/mmc_commands.h"
#include "runtime/settings.h"
#include "support/recorder_fixture.h"

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
  std::atomic<u32> openedInCallback{0};

 private:
  void Record(char kind, u32 index) {
    // A listener may open the drive: the manager lock is re-entrant here.
    if (reopen_ && kind == '+') {
      CDrive* drive = reopen_->OpenDrive(index);
      if (drive) ++openedInCallback;
      ReleaseDrive(&drive);
    }
    CLockGuard guard(lock_);
    events_.push_back(std::make_pair(kind, index));
  }
  CDriveManager* reopen_;
  CLock lock_;
  std::vector<std::pair<char, u32>> events_;
};

RecorderFault Always(i32 opcode, FaultKind kind, u8 key = 0, u8 asc = 0, u8 ascq = 0) {
  RecorderFault f;
  f.opcode = opcode;
  f.kind = kind;
  f.key = key;
  f.asc = asc;
  f.ascq = ascq;
  f.times = 0;
  return f;
}

class ManagerTest : public RecorderTest {
 protected:
  ManagerTest() { CSettingsKey().ReadString(u"\\Main", u"Device", &saved_); }
  ~ManagerTest() override { CSettingsKey().WriteString(u"\\Main", u"Device", saved_.c_str()); }
  void SaveDevice(const wchar16* path) { CSettingsKey().WriteString(u"\\Main", u"Device", path); }
  // Waits until `done` holds: virtual time moves on and the poller gets real
  // time to run; gives up after about ten real seconds.
  template <class Done>
  bool WaitFor(Done done) {
    for (int i = 0; i < 5000 && !done(); ++i) {
      SleepFor(10);
      SystemClock().Sleep(2);
    }
    return done();
  }
  CWideString saved_;
};

}  // namespace

TEST_F(ManagerTest, ListsOpticalDrivesThatOpenAndAnswer) {
  SaveDevice(u"\\\\.\\G:");
  io_.AddOtherDrive(u'C', 3);
  Attach();
  Insert(MediumPreset::kCdR);
  AddRecorder(u'F')->AddFault(Always(mmc::kInquiry, FaultKind::kSense, 4, 0x44));  // not listed
  DriveIdentity other;
  std::memcpy(other.vendor, "OTHER   ", 9);
  std::memcpy(other.product, "WRITER X        ", 17);
  AddRecorder(u'G', other);
  AddRecorder(u'H');
  AddRecorder(u'K');
  io_.FailOpens(u'H', 10);  // opens at the tenth retry
  io_.FailOpens(u'K', 11);  // never within the retries
  CDriveManager manager;
  ASSERT_EQ(3u, manager.GetDriveCount());
  EXPECT_EQ(u"E:\\  KVSIM MULTI RECORDER", Text(manager.GetName(0)));
  EXPECT_EQ(u"G:\\  OTHER WRITER X", Text(manager.GetName(1)));
  EXPECT_EQ(u"\\\\.\\H:", Text(manager.drives[2].devicePath));
  EXPECT_TRUE(manager.IsMediaPresent(0));
  EXPECT_FALSE(manager.IsMediaPresent(1));
  EXPECT_EQ(1u, manager.GetSelected());  // the saved path, now at index 1
  EXPECT_EQ(1, manager.FindDriveByPath(u"\\\\.\\G:"));
  EXPECT_EQ(-1, manager.FindDriveByPath(u"\\\\.\\g:"));
  EXPECT_EQ(u"No Device", Text(manager.GetDriveName(nullptr)));
  EXPECT_EQ(0u, io_.OpenHandleCount());
  manager.SelectDrive(7);
  EXPECT_EQ(1u, manager.GetSelected());
  manager.SelectDrive(2);
  CDriveManager again;
  EXPECT_EQ(2u, again.GetSelected());
}

TEST_F(ManagerTest, OpenDriveHandsOutOnlyClosedDrivesThatOpened) {
  Attach();
  Insert(MediumPreset::kDvdR);
  CDriveManager manager;
  DriveOpenFailure why = DriveOpenFailure::kNone;
  EXPECT_EQ(nullptr, manager.OpenDrive(1, &why));
  EXPECT_EQ(DriveOpenFailure::kNoSuchDrive, why);
  CDrive* drive = manager.OpenDrive(0, &why);
  ASSERT_NE(nullptr, drive);
  EXPECT_EQ(DriveOpenFailure::kNone, why);
  EXPECT_EQ(0x11, drive->currentProfile);
  EXPECT_EQ(nullptr, manager.OpenDrive(0, &why));  // in use
  EXPECT_EQ(DriveOpenFailure::kInUse, why);
  ReleaseDrive(&drive);
  // A drive whose probe fails is not handed out half open; the reason tells
  // a request that brought no answer from an answer with an error.
  struct ProbeFault {
    FaultKind kind;
    u8 key, asc;
    DriveOpenFailure why;
  };
  for (const ProbeFault& f : {ProbeFault{FaultKind::kTransport, 0, 0, DriveOpenFailure::kNoAnswer},
                              ProbeFault{FaultKind::kSense, 3, 0x31, DriveOpenFailure::kErrorAnswer},
                              ProbeFault{FaultKind::kSense, 4, 0x44, DriveOpenFailure::kErrorAnswer}}) {
    u32 id = recorder_.AddFault(Always(mmc::kGetConfiguration, f.kind, f.key, f.asc));
    why = DriveOpenFailure::kNone;
    EXPECT_EQ(nullptr, manager.OpenDrive(0, &why));
    EXPECT_EQ(f.why, why) << int(f.key);
    EXPECT_EQ(f.key, manager.drives[0].senseKey);
    EXPECT_GE(recorder_.FaultHits(id), 1u);
    EXPECT_FALSE(manager.drives[0].IsOpen());
    EXPECT_EQ(0u, io_.OpenHandleCount());
    recorder_.ClearFaults();
  }
}

// A job waits for a drive the interface holds for a moment, and only for
// as long as it was told: a drive kept past that is in use.
TEST_F(ManagerTest, OpenDriveWhenFreeWaitsForAMomentaryHolderOnly) {
  Attach();
  Insert(MediumPreset::kDvdR);
  CDriveManager manager;
  clock_.SetRealPace(500);  // the holder below gets real time to let go
  CDrive* held = manager.OpenDrive(0);
  ASSERT_NE(nullptr, held);
  DriveOpenFailure why = DriveOpenFailure::kNone;
  const u64 start = clock_.NowMs();
  EXPECT_EQ(nullptr, manager.OpenDriveWhenFree(0, 300, &why));
  EXPECT_EQ(DriveOpenFailure::kInUse, why);
  EXPECT_GE(clock_.NowMs() - start, 300u);
  EXPECT_EQ(nullptr, manager.OpenDriveWhenFree(1, 300, &why));
  EXPECT_EQ(DriveOpenFailure::kNoSuchDrive, why);

  std::atomic<CDrive*> got{nullptr};
  const u64 asked = clock_.NowMs();
  std::thread job([&] { got = manager.OpenDriveWhenFree(0, 5000, &why); });
  while (clock_.NowMs() - asked < 100) SystemClock().Sleep(1);
  ReleaseDrive(&held);
  job.join();
  CDrive* drive = got.load();
  ASSERT_NE(nullptr, drive);
  EXPECT_EQ(DriveOpenFailure::kNone, why);
  EXPECT_LT(clock_.NowMs() - asked, 5000u);
  ReleaseDrive(&drive);
  EXPECT_EQ(0u, io_.OpenHandleCount());
}

TEST_F(ManagerTest, PollerReportsArrivalAndRemovalOfDrivesNobodyUses) {
  Attach();
  CDriveManager manager;
  RecordingListener listener(&manager);
  recorder_.ClearTrace();
  SleepFor(10000);
  EXPECT_EQ(0u, recorder_.Trace().size());  // no listener, no polling
  manager.AddListener(&listener);
  manager.AddListener(&listener);
  EXPECT_EQ(1u, manager.listeners.GetCount());
  recorder_.InsertMedium(MediumOptions());
  ASSERT_TRUE(WaitFor([&] { return !listener.Events().empty(); }));
  EXPECT_EQ(std::make_pair('+', 0u), listener.Events()[0]);
  EXPECT_EQ(1u, listener.openedInCallback.load());
  CDrive* held = manager.OpenDrive(0);
  ASSERT_NE(nullptr, held);
  recorder_.RemoveMedium();
  SleepFor(10000);
  EXPECT_EQ(1u, listener.Events().size());  // in use: left alone
  ReleaseDrive(&held);
  ASSERT_TRUE(WaitFor([&] { return listener.Events().size() >= 2; }));
  EXPECT_EQ('-', listener.Events()[1].first);
  manager.RemoveListener(&listener);
  EXPECT_TRUE(WaitFor([&] { return !manager.IsPolling(); }));
  RecordingListener second;
  manager.AddListener(&second);  // a new listener starts it again
  EXPECT_TRUE(manager.IsPolling());
  manager.RemoveListener(&second);
}

TEST_F(ManagerTest, BecomingReadyAndFailedRequestsAnnounceNothing) {
  Attach();
  Insert(MediumPreset::kCdR);
  CDriveManager* manager = new CDriveManager();
  RecordingListener listener;
  recorder_.RemoveMedium();
  manager->PollOnce();  // marks it absent
  recorder_.InsertMedium(MediumOptions());
  recorder_.MakeReady();
  for (FaultKind kind : {FaultKind::kSense, FaultKind::kTransport}) {
    recorder_.ClearFaults();
    u32 id = recorder_.AddFault(Always(mmc::kTestUnitReady, kind, 2, 0x04, 0x01));
    manager->AddListener(&listener);
    ASSERT_TRUE(WaitFor([&] { return recorder_.FaultHits(id) >= 3; }));
    EXPECT_TRUE(listener.Events().empty());
  }
  recorder_.ClearFaults();
  ASSERT_TRUE(WaitFor([&] { return !listener.Events().empty(); }));
  delete manager;  // returns only once the poller has ended
  u32 polls = recorder_.CountCommands(mmc::kTestUnitReady);
  SleepFor(10000);
  EXPECT_EQ(polls, recorder_.CountCommands(mmc::kTestUnitReady));
}

// Holds the first TEST UNIT READY it sees until released (or 20 s).
class CSlowIo final : public IDeviceIo {
 public:
  explicit CSlowIo(IDeviceIo& inner) : inner_(inner) {}
  u32 GetLogicalDriveStrings(u32 n, wchar16* b) override { return inner_.GetLogicalDriveStrings(n, b); }
  u32 GetDriveType(const wchar16* r) override { return inner_.GetDriveType(r); }
  void* CreateFile(const wchar16* p, u32 a, u32 s, u32 d, u32 f) override { return inner_.CreateFile(p, a, s, d, f); }
  bool CloseHandle(void* h) override { return inner_.CloseHandle(h); }
  bool DeviceIoControl(void* h, u32 code, void* i, u32 is, void* o, u32 os, u32* r) override {
    const u8* cdb = static_cast<const u8*>(i) + 28;
    if (code == 0x4D014 && cdb[0] == 0 && !holding.exchange(true)) {
      auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
      while (!release.load() && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return inner_.DeviceIoControl(h, code, i, is, o, os, r);
  }
  std::atomic<bool> holding{false}, release{false};

 private:
  IDeviceIo& inner_;
};

// The poller probes outside the manager's lock: a drive whose answers take
// long holds up neither the other drives nor the callers of the manager.
TEST_F(ManagerTest, ASlowProbeDoesNotHoldTheLock) {
  Attach();
  AddRecorder(u'F')->InsertMedium(MediumOptions());
  CSlowIo slowIo(io_);
  struct Restore {
    CSimulatedDeviceIo* io;
    ~Restore() { SetDeviceIo(io); }
  } restore{&io_};
  CDriveManager manager;
  SetDeviceIo(&slowIo);
  RecordingListener listener;
  manager.AddListener(&listener);
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!slowIo.holding.load() && std::chrono::steady_clock::now() < deadline) std::this_thread::yield();
  ASSERT_TRUE(slowIo.holding.load());
  // While E: is being probed: another drive opens and a listener comes.
  auto start = std::chrono::steady_clock::now();
  CDrive* other = manager.OpenDrive(1);
  RecordingListener late;
  manager.AddListener(&late);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  EXPECT_NE(nullptr, other);
  ReleaseDrive(&other);
  slowIo.release.store(true);
  manager.RemoveListener(&late);
  manager.RemoveListener(&listener);
  EXPECT_TRUE(WaitFor([&] { return !manager.IsPolling(); }));
}
