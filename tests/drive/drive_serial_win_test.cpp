// The drive serial number (its text conversion goes through the system).
#include <gtest/gtest.h>

#include <string>

#include "drive/drive.h"
#include "support/recorder_fixture.h"

namespace {

std::u16string Text(const CWideString& s) { return std::u16string(s.c_str(), s.GetLength()); }

class SerialTest : public RecorderTest {};

}  // namespace

TEST_F(SerialTest, CurrentFeatureGivesTheSerial) {
  Attach();
  CDrive drive;
  ASSERT_TRUE(OpenDrive(&drive));
  CWideString serial;
  ASSERT_TRUE(drive.GetSerialNumber(&serial));
  // The drive pads the number to a multiple of 4 with blanks; they are not
  // part of it.
  EXPECT_EQ(u"SIM0123456789", Text(serial));
}

TEST_F(SerialTest, FeatureNotCurrentLeavesTheStringAlone) {
  DriveIdentity id;
  id.serialCurrent = false;
  Attach(id);
  CDrive drive;
  ASSERT_TRUE(OpenDrive(&drive));
  CWideString serial(u"before");
  EXPECT_FALSE(drive.GetSerialNumber(&serial));
  EXPECT_EQ(u"before", Text(serial));
}

TEST_F(SerialTest, MissingFeatureOrEmptySerialFails) {
  DriveIdentity id;
  id.serialFeature = false;
  Attach(id);
  CDrive drive;
  ASSERT_TRUE(OpenDrive(&drive));
  CWideString serial;
  EXPECT_FALSE(drive.GetSerialNumber(&serial));
  DriveIdentity empty;
  empty.serial = "";
  recorder_.SetIdentity(empty);
  EXPECT_FALSE(drive.GetSerialNumber(&serial));
  drive.Close();
  EXPECT_FALSE(drive.GetSerialNumber(&serial));
}
