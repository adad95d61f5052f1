// The device information page over the simulated recorder: the rows and
// chip groups for a CD-only drive and a Blu-ray writer, chips wrapping at
// the right edge, and the pane of a page without a drive.
#include <gtest/gtest.h>

#include "app/pages/info_rows.h"
#include "tests/app/pages/info_pages_fixture.h"

namespace {

struct Chip {
  std::string text;
  u32 colour;
  double x, y;
};

// Badges: a filled rounded box followed by white text.
std::vector<Chip> ChipsOf(const CCanvas& canvas) {
  std::vector<Chip> chips;
  u32 box = 0;
  for (const DrawnRecord& r : ReadRecords(canvas)) {
    if (r.op == kOpRoundRect) box = r.colour;
    if (r.op == kOpTextRun && r.colour == kInfoBadgeTextColour) chips.push_back({Narrow(r.text), box, r.x0, r.y0});
  }
  return chips;
}

std::vector<std::string> Headings(const CCanvas& canvas) {
  std::vector<std::string> out;
  for (const DrawnRecord& r : RecordsOf(ReadRecords(canvas), kOpTextRun)) {
    const std::string t = Narrow(r.text);
    if (t.size() > 9 && t.compare(t.size() - 8, 8, "features") == 0) out.push_back(t);
  }
  return out;
}

class DeviceInfoPageTest : public InfoPagesTest {};

const u32 R = kChipReadOnlyColour, W = kChipReadWriteColour, F = kChipFeatureColour;

TEST_F(DeviceInfoPageTest, RowsAndChipGroupsOfTwoDrives) {
  struct Case {
    const char* name;
    std::vector<u16> profiles;
    u16 blockDescriptorBytes;  // before the capabilities page
    std::vector<std::string> headings;
    std::vector<std::pair<std::string, u32>> chips;
  };
  const Case cases[] = {
      {"CD-only recorder",
       {0x08, 0x09, 0x0A},
       0,
       {"CD features"},
       {{"Multi-Read", F}, {"TAO", F}, {"SAO", F}, {"CD-ROM", R}, {"CD-R", W}, {"CD-RW", W}, {"CD-Text", R},
        {"C2 Error", F}}},
      {"Blu-ray writer",
       {0x08, 0x09, 0x0A, 0x10, 0x11, 0x14, 0x1A, 0x1B, 0x40, 0x41, 0x43},
       8,
       {"CD features", "DVD features", "Blu-Ray features"},
       {{"Multi-Read", F}, {"TAO", F}, {"SAO", F}, {"CD-ROM", R}, {"CD-R", W}, {"CD-RW", W}, {"CD-Text", R},
        {"C2 Error", F}, {"DVD-ROM", R}, {"DVD-R", W}, {"DVD-RW", W}, {"DVD+R", W}, {"DVD+RW", W},
        {"BD-ROM", R}, {"BD-R", W}, {"BD-RE", W}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DriveIdentity identity;
    identity.profiles = c.profiles;
    identity.modeBlockDescriptorBytes = c.blockDescriptorBytes;
    CSimulatedRecorder recorder(identity);
    CSimulatedDeviceIo io;
    CInstalledDeviceIo installed(io);
    io.AddOpticalDrive(u'E', &recorder);
    CInfoPagesOwner owner;
    owner.host.OpenDeviceInfoPage();
    DevicePage& page = *static_cast<DevicePage*>(owner.host.Current()->Widget());
    EXPECT_EQ(0u, io.OpenHandleCount());
    CMemoryCanvas m(page.width, page.height);
    page.PaintContent(m.canvas);
    const std::vector<std::string> rows = TextRows(m.canvas, kInfoValueColour, kInfoBadgeTextColour);
    const std::vector<std::string> identityRows = {"Vendor identification: KVSIM",
                                                   "Product identification: MULTI RECORDER",
                                                   "Firmware version: 1.00",
                                                   "Vendor information: SIMULATED 2024      ",
                                                   "Buffer capacity: 2048 KB",
                                                   // the legend's texts follow in the value colour; the
                                                   // serial keeps the blanks the drive pads it with
                                                   "Serial number: SIM0123456789    Read/Write Read only"};
    ASSERT_GT(rows.size(), identityRows.size());
    EXPECT_EQ("Device Information", rows[0]);
    for (size_t i = 0; i < identityRows.size(); ++i) EXPECT_EQ(identityRows[i], rows[i + 1]);
    EXPECT_EQ(c.headings, Headings(m.canvas));
    const std::vector<Chip> chips = ChipsOf(m.canvas);
    ASSERT_EQ(c.chips.size(), chips.size());
    for (size_t i = 0; i < chips.size(); ++i) {
      EXPECT_EQ(c.chips[i].first, chips[i].text);
      EXPECT_EQ(c.chips[i].second, chips[i].colour) << chips[i].text;
    }
    StoreFocusedWidget(nullptr);
  }
}

// Chips go on until the next would pass the right edge, then start again
// at the chip line's start one size and 6 pixels lower.
TEST_F(DeviceInfoPageTest, ChipsWrapAtTheRightEdge) {
  Attach();
  DevicePage& page = OpenDevicePage();
  CMemoryCanvas m(480, 800);
  PaintDeviceInfo(m.canvas, page.headingFont.Get(), page.rowFont.Get(), page.info, 0, 0, 220, 800);
  const std::vector<Chip> chips = ChipsOf(m.canvas);
  const double size = page.rowFont.Get()->size;
  ASSERT_GT(chips.size(), 3u);
  bool wrapped = false;
  for (size_t i = 1; i < chips.size(); ++i) {
    const double width = page.rowFont.Get()->MeasureText(std::u16string(chips[i].text.begin(), chips[i].text.end()).c_str(),
                                                         static_cast<i32>(chips[i].text.size()));
    EXPECT_LE(chips[i].x + width, 220.0) << chips[i].text;
    if (chips[i].y < chips[i - 1].y && chips[i].y == chips[i - 1].y - (size + 6)) {
      EXPECT_EQ(size, chips[i].x) << chips[i].text;  // the chip line's start
      wrapped = true;
    }
  }
  EXPECT_TRUE(wrapped);
}

TEST_F(DeviceInfoPageTest, WithoutADriveOnlyTheHeadingsAndTheLegend) {
  DevicePage& page = OpenDevicePage();
  CMemoryCanvas m(page.width, page.height);
  page.PaintContent(m.canvas);
  std::vector<std::string> texts;
  for (const DrawnRecord& r : RecordsOf(ReadRecords(m.canvas), kOpTextRun)) texts.push_back(Narrow(r.text));
  EXPECT_EQ((std::vector<std::string>{"Device Information", "Read/Write", "Read only", "CD features"}), texts);
}

TEST(DeviceInquiry, InquiryTextsWithoutPaddingAndVendorInformationWithoutZeros) {
  std::vector<u8> reply(96, 0);
  const char vendor[] = "ACME    ", product[] = "WRITER 9        ", firmware[] = "2.1 ";
  std::copy(vendor, vendor + 8, reply.begin() + 8);
  std::copy(product, product + 16, reply.begin() + 16);
  std::copy(firmware, firmware + 4, reply.begin() + 32);
  reply[36] = 'A', reply[37] = 0, reply[38] = 'B', reply[55] = 'C', reply[56] = 'D';
  DeviceInfo info;
  ReadInquiryTexts(reply.data(), 96, &info);
  EXPECT_EQ(std::u16string(u"ACME"), info.vendor.c_str());
  EXPECT_EQ(std::u16string(u"WRITER 9"), info.product.c_str());
  EXPECT_EQ(std::u16string(u"2.1"), info.firmware.c_str());
  EXPECT_EQ(std::u16string(u"ABC"), info.vendorInfo.c_str());
  // A reply that ends inside the product field.
  ReadInquiryTexts(reply.data(), 20, &info);
  EXPECT_EQ(std::u16string(u"WRIT"), info.product.c_str());
  EXPECT_EQ(0, info.firmware.GetLength());
  EXPECT_EQ(0, info.vendorInfo.GetLength());
}

}  // namespace
