// The Win32 side of the device I/O seam (no simulated recorder installed).
#include <gtest/gtest.h>

#include "drive/device_io.h"
#include "drive/drive.h"
#include "drive/drive_manager.h"

TEST(SystemDeviceIo, MissingVolumeDoesNotOpen) {
  SetDeviceIo(nullptr);
  CDrive drive;
  EXPECT_FALSE(drive.Open(u"\\\\.\\#:"));
  EXPECT_FALSE(drive.IsOpen());
  EXPECT_EQ(nullptr, drive.handle);
  // Sending on a closed record fails in the system and sets the error.
  drive.TestUnitReady();
  EXPECT_NE(0, drive.errorCode);
  EXPECT_FALSE(drive.LastCommandSucceeded());
}

TEST(SystemDeviceIo, LastErrorRoundTrip) {
  SetDeviceIoLastError(1117);
  EXPECT_EQ(1117u, GetDeviceIoLastError());
  SetDeviceIoLastError(0);
  EXPECT_EQ(0u, GetDeviceIoLastError());
}

TEST(SystemDeviceIo, EnumerationListsOnlyDevicePaths) {
  SetDeviceIo(nullptr);
  CArray<CWideString> paths;
  EnumerateOpticalDrives(1, &paths);
  for (u32 i = 0; i < paths.GetCount(); ++i) {
    ASSERT_EQ(6, paths[i].GetLength());
    EXPECT_EQ(u'\\', paths[i].At(0));
    EXPECT_EQ(u':', paths[i].At(5));
  }
}
