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
  // The drive pads its 13 characters to a multiple of 4 with blanks.
  EXPECT_EQ(u"SIM0123456789   ", Text(serial));
}

// The serial is every byte of the feature from its byte 4 on, as UTF-8: the
// blanks or zeros a drive pads it with stay, in front and behind.
TEST_F(SerialTest, PaddingBlanksAndZerosStayInTheSerial) {
  const struct {
    std::string recorded;
    std::u16string serial;
  } rows[] = {
      {"  KV-41 ", u"  KV-41 "},
      {std::string("KV41\0\0\0\0", 8), std::u16string(u"KV41\0\0\0\0", 8)},
      {std::string("\0 7\xC3\xA9", 5), std::u16string(u"\0 7\u00E9   ", 7)},  // padded by the drive
      {"    ", u"    "},
  };
  Attach();
  CDrive drive;
  ASSERT_TRUE(OpenDrive(&drive));
  for (const auto& row : rows) {
    DriveIdentity id;
    id.serial = row.recorded;
    recorder_.SetIdentity(id);
    CWideString serial;
    ASSERT_TRUE(drive.GetSerialNumber(&serial));
    EXPECT_EQ(row.serial, Text(serial));
  }
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
