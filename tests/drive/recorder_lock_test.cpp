// Volume lock, unlock and dismount, opens and sharing through the simulated
// device I/O.
#include <gtest/gtest.h>

#include "drive/scsi_pass_through.h"
#include "support/simulated_device_io.h"

namespace {

class RecorderVolume : public ::testing::Test {
 protected:
  RecorderVolume() {
    io_.AddOpticalDrive(u'E', &recorder_);
    io_.AddOpticalDrive(u'D', &other_);
    io_.AddOtherDrive(u'C', 3);
  }
  void* Open(const char16_t* path = u"\\\\.\\E:", u32 share = kFileShareRead | kFileShareWrite) {
    return io_.CreateFile(path, kGenericRead | kGenericWrite, share, kOpenExisting, kFileAttributeNormal);
  }
  bool Control(void* handle, u32 code) {
    u32 returned = 0;
    return io_.DeviceIoControl(handle, code, nullptr, 0, nullptr, 0, &returned);
  }
  CSimulatedRecorder recorder_, other_;
  CSimulatedDeviceIo io_;
};

TEST_F(RecorderVolume, SecondLockFailsAndClosingReleases) {
  void* a = Open();
  void* b = Open();
  ASSERT_NE(InvalidDeviceHandle(), a);
  ASSERT_NE(InvalidDeviceHandle(), b);
  EXPECT_TRUE(Control(a, kFsctlLockVolume));
  EXPECT_TRUE(io_.VolumeLocked(u'E'));
  SetDeviceIoLastError(0);
  EXPECT_FALSE(Control(b, kFsctlLockVolume));
  EXPECT_EQ(5u, GetDeviceIoLastError());
  EXPECT_FALSE(Control(a, kFsctlLockVolume));  // not twice on one handle either
  EXPECT_FALSE(Control(b, kFsctlUnlockVolume));
  EXPECT_EQ(158u, GetDeviceIoLastError());
  EXPECT_TRUE(Control(a, kFsctlDismountVolume));
  EXPECT_EQ(1u, io_.DismountCount(u'E'));
  EXPECT_TRUE(io_.CloseHandle(a));
  EXPECT_FALSE(io_.VolumeLocked(u'E'));
  EXPECT_TRUE(Control(b, kFsctlLockVolume));
  EXPECT_TRUE(Control(b, kFsctlUnlockVolume));
  EXPECT_FALSE(Control(b, kFsctlUnlockVolume));
  EXPECT_TRUE(io_.CloseHandle(b));
  EXPECT_EQ(0u, io_.OpenHandleCount());
}

TEST_F(RecorderVolume, LocksAreKeptPerDrive) {
  void* e = Open();
  void* d = Open(u"\\\\.\\D:");
  EXPECT_TRUE(Control(e, kFsctlLockVolume));
  EXPECT_TRUE(Control(d, kFsctlLockVolume));
  EXPECT_TRUE(io_.VolumeLocked(u'D'));
  io_.CloseHandle(e);
  io_.CloseHandle(d);
}

TEST_F(RecorderVolume, OpensFollowPathsFailuresAndSharing) {
  SetDeviceIoLastError(0);
  EXPECT_EQ(InvalidDeviceHandle(), Open(u"\\\\.\\F:"));
  EXPECT_EQ(2u, GetDeviceIoLastError());
  EXPECT_EQ(InvalidDeviceHandle(), Open(u"E:"));
  io_.FailOpens(u'E', 2, 21);
  EXPECT_EQ(InvalidDeviceHandle(), Open());
  EXPECT_EQ(21u, GetDeviceIoLastError());
  EXPECT_EQ(InvalidDeviceHandle(), Open());
  void* a = Open(u"\\\\.\\e:");  // the letter in any case
  ASSERT_NE(InvalidDeviceHandle(), a);
  EXPECT_EQ(1u, io_.OpenCount(u'E'));
  // An exclusive open conflicts with the shared one.
  EXPECT_EQ(InvalidDeviceHandle(), Open(u"\\\\.\\E:", 0));
  EXPECT_EQ(32u, GetDeviceIoLastError());
  io_.CloseHandle(a);
  void* exclusive = Open(u"\\\\.\\E:", 0);
  ASSERT_NE(InvalidDeviceHandle(), exclusive);
  EXPECT_EQ(InvalidDeviceHandle(), Open());
  io_.CloseHandle(exclusive);
}

TEST_F(RecorderVolume, DriveListAndTypes) {
  wchar16 buffer[64];
  EXPECT_EQ(13u, io_.GetLogicalDriveStrings(4, buffer));  // too small: size needed
  ASSERT_EQ(12u, io_.GetLogicalDriveStrings(64, buffer));
  EXPECT_EQ(std::u16string(u"C:\\"), std::u16string(buffer));
  EXPECT_EQ(std::u16string(u"D:\\"), std::u16string(buffer + 4));
  EXPECT_EQ(std::u16string(u"E:\\"), std::u16string(buffer + 8));
  EXPECT_EQ(0, buffer[12]);
  EXPECT_EQ(kDriveTypeCdrom, io_.GetDriveType(u"E:\\"));
  EXPECT_EQ(3u, io_.GetDriveType(u"C:\\"));
  EXPECT_EQ(1u, io_.GetDriveType(u"Q:\\"));
  EXPECT_EQ(1u, io_.GetDriveType(u"E:\\x"));
}

}  // namespace
