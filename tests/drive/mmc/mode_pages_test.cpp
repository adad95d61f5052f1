// Mode pages: the write parameters and caching lists sent back with MODE
// SELECT(10), pages behind block descriptors and of other lengths, and the
// drive operations that use them against the simulated recorder.
#include <gtest/gtest.h>

#include <vector>

#include "drive/drive.h"
#include "drive/mmc/mmc_commands.h"
#include "drive/mmc/mmc_replies.h"
#include "drive/mmc/mode_pages.h"
#include "runtime/byte_order.h"
#include "support/recorder_fixture.h"
#include "../reply_builder.h"

namespace {

// A MODE SENSE(10) reply with `descriptorBytes` of block descriptors (0xEE,
// nonsense to a reader that takes them for the page).
std::vector<u8> WithDescriptors(const std::vector<u8>& page, u16 descriptorBytes) {
  ReplyBuilder r;
  r.U16(u16(6 + descriptorBytes + page.size())).Zeros(4).U16(descriptorBytes);
  for (u16 i = 0; i < descriptorBytes; ++i) r.U8(0xEE);
  for (u8 v : page) r.U8(v);
  return r.bytes;
}

// The drive's default page 05 of the given length, PS set.
std::vector<u8> WritePage(u8 length, bool lsv) {
  std::vector<u8> page(2u + length, 0);
  page[0] = 0x85;
  page[1] = length;
  page[2] = lsv ? 0x20 : 0;
  page[3] = 0x04 | 0x10;  // track mode 4, copy bit
  page[4] = 0x08;
  page[5] = 0x03;
  page[8] = 0x20;
  page[14] = 0x12;
  page[15] = 0x34;
  page[20] = 0x77;  // a field the program leaves alone
  page[page.size() - 1] = 0x5A;
  return page;
}

}  // namespace

TEST(WriteParametersList, FieldsPerMediumAndChoice) {
  struct Row {
    WriteParameterChoice choice;
    bool lsv;
    std::vector<u8> head;  // page bytes 0-15 sent back
  } rows[] = {
      // CD session-at-once Mode 2, BUFE, test write; link size 7 when LS_V was 0.
      {{false, 10, true, true, false, true}, false, {0x05, 0x32, 0x52, 0x14, 0x0A, 7, 0, 0, 0, 0, 0, 0, 0, 0, 0, 150}},
      // CD track-at-once audio, further sessions; the drive's link size kept.
      {{false, 0, false, false, true, false}, true, {0x05, 0x32, 0x21, 0xD0, 0x00, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 150}},
      // DVD: the block type asked for does not count; pause length untouched.
      {{true, 0, true, false, false, false}, false, {0x05, 0x32, 0x22, 0x35, 0x08, 16, 0, 0, 0, 0, 0, 0, 0, 16, 0x12, 0x34}},
      {{true, 10, true, true, true, false}, false, {0x05, 0x32, 0x60, 0x35, 0x08, 16, 0, 0, 0, 0, 0, 0, 0, 16, 0x12, 0x34}},
  };
  for (const Row& r : rows) {
    for (u16 descriptors : {0, 8}) {
      std::vector<u8> reply = WithDescriptors(WritePage(0x32, r.lsv), descriptors);
      reply[4] = descriptors ? 0x01 : 0;  // long LBA descriptors
      ASSERT_EQ(60u, PrepareWriteParametersList(reply.data(), reply.size(), r.choice));
      // Header: mode data length reserved, no long LBA, no block descriptors.
      EXPECT_EQ(std::vector<u8>(8, 0), std::vector<u8>(reply.begin(), reply.begin() + 8));
      EXPECT_EQ(r.head, std::vector<u8>(reply.begin() + 8, reply.begin() + 24)) << &r - rows;
      EXPECT_EQ(0x77, reply[8 + 20]);
      EXPECT_EQ(0x5A, reply[8 + 51]);
    }
  }
}

// A list is made only of a whole page of its own code.
TEST(ModeSelectLists, OnlyOfWholePagesOfTheirCode) {
  WriteParameterChoice c = {false, 8, true, false, false, false};
  std::vector<u8> longer = WithDescriptors(WritePage(0x36, false), 0);
  EXPECT_EQ(0u, PrepareWriteParametersList(longer.data(), 60, c));  // its last 4 bytes not read
  ASSERT_EQ(64u, PrepareWriteParametersList(longer.data(), longer.size(), c));
  EXPECT_EQ(0x5A, longer[8 + 55]);
  std::vector<u8> behind = WithDescriptors(WritePage(0x32, false), 8);
  EXPECT_EQ(0u, PrepareWriteParametersList(behind.data(), 60, c));
  EXPECT_EQ(0u, PrepareCachingList(behind.data(), behind.size(), true));  // page 05 is no caching page
  behind[16] = 0x2A;
  EXPECT_EQ(0u, PrepareWriteParametersList(behind.data(), behind.size(), c));
  std::vector<u8> caching = WithDescriptors({0x88, 0x12, 0x05, 0x33, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x44}, 8);
  EXPECT_EQ(0u, PrepareCachingList(caching.data(), 20, true));
  for (bool enable : {true, false}) {  // WCE as asked, RCD cleared, the rest kept
    std::vector<u8> r = caching;
    ASSERT_EQ(28u, PrepareCachingList(r.data(), r.size(), enable));
    EXPECT_EQ((std::vector<u8>{0x08, 0x12, u8(enable ? 0x04 : 0), 0x33}), std::vector<u8>(r.begin() + 8, r.begin() + 12));
    EXPECT_EQ(0x44, r[27]);
  }
}

// Page 2A behind 0, 8 or 16 bytes of block descriptors; write speed
// descriptors with zeros kept; fields beyond the bytes or the page read as 0.
TEST(CapabilitiesPage, SpeedsAndDescriptors) {
  ReplyBuilder page = BlankCapabilitiesPage(3);
  for (auto f : {std::pair<u32, u16>{8, 7056}, {14, 5645}, {18, 8467}, {20, 1111}, {28, 4234}, {30, 3}, {34, 8467},
                 {38, 0}, {42, 2822}})
    page.Put16(f.first, f.second);
  for (u16 descriptors : {0, 8, 16}) {
    std::vector<u8> r = WithDescriptors(page.bytes, descriptors);
    u32 offset = 0, end = 0;
    ASSERT_TRUE(LocateModePage(r.data(), r.size(), &offset, &end));
    EXPECT_EQ(8u + descriptors, offset);
    EXPECT_EQ(r.size(), end);
    CapabilitiesSpeeds s = ReadCapabilitiesSpeeds(r.data(), r.size());
    EXPECT_EQ((std::vector<u16>{7056, 5645, 8467, 4234}),
              (std::vector<u16>{s.maxRead, s.currentRead, s.maxWrite, s.currentWrite}));
    u32 out[16];
    ASSERT_EQ(3u, ReadCapabilitiesWriteSpeeds(r.data(), r.size(), out, 16));
    EXPECT_EQ((std::vector<u32>{8467, 0, 2822}), std::vector<u32>(out, out + 3));
    EXPECT_EQ(2u, ReadCapabilitiesWriteSpeeds(r.data(), r.size(), out, 2));
    r[offset + 31] = 0x7F;  // more descriptors claimed than held
    EXPECT_EQ(3u, ReadCapabilitiesWriteSpeeds(r.data(), r.size(), out, 16));
    EXPECT_EQ(0, ModePageField16(r.data(), offset + 20, 28));  // beyond the bytes returned
    EXPECT_EQ(5645, ModePageField16(r.data(), offset + 20, 14));
  }
  std::vector<u8> r = WithDescriptors(page.bytes, 8);
  r[6] = 0xFF;  // descriptors beyond the reply
  r[7] = 0xF8;
  EXPECT_FALSE(LocateModePage(r.data(), r.size(), nullptr, nullptr));
  EXPECT_EQ(0, ReadCapabilitiesSpeeds(r.data(), r.size()).maxRead);
  EXPECT_EQ(0, ReadCapabilitiesSpeeds(nullptr, 0).maxRead);
  // A page shorter than 28 bytes keeps the current write speed at 20-21.
  std::vector<u8> shortPage = {0x2A, 22, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x04, 0x50, 0, 0};
  r = WithDescriptors(shortPage, 0);
  EXPECT_EQ(0x0450, ReadCapabilitiesSpeeds(r.data(), r.size()).currentWrite);
  u32 out[4];
  EXPECT_EQ(0u, ReadCapabilitiesWriteSpeeds(r.data(), r.size(), out, 4));
  EXPECT_EQ(0, ModePageField16(r.data(), 5, 0));
}

// Pages behind block descriptors, of the usual and a longer length, read and
// sent back whole by the drive operations.
TEST_F(RecorderTest, ModePagesBehindBlockDescriptorsReachTheDrive) {
  Attach();
  for (u8 length : {0x32, 0x36}) {
    DriveIdentity id;
    id.modeBlockDescriptorBytes = 8;
    id.page05Length = length;
    recorder_.SetIdentity(id);
    Insert(length == 0x32 ? MediumPreset::kCdRw : MediumPreset::kDvdR);
    CDrive drive;
    ASSERT_TRUE(OpenDrive(&drive));
    recorder_.ClearTrace();
    ASSERT_TRUE(drive.SetWriteParameters(8, false, true, length == 0x32, length != 0x32)) << ViolationText();
    TraceEntry e;
    ASSERT_TRUE(recorder_.LastCommand(mmc::kModeSelect10, &e));
    ASSERT_EQ(8u + 2 + length, e.dataOut.size());
    EXPECT_EQ(e.dataOut.size(), ReadBigEndian16(&e.cdb[7]));
    EXPECT_EQ(0, ReadBigEndian16(&e.dataOut[6]));
    std::vector<u8> current;
    ASSERT_TRUE(recorder_.ModePage(0x05, &current));
    EXPECT_EQ(length, current[1]);
    EXPECT_EQ(length == 0x32 ? 0x41 : 0x72, current[2]);  // BUFE and TAO on CD; LS_V, test, SAO on DVD
    for (bool enable : {false, true}) {
      ASSERT_TRUE(drive.SetWriteCache(enable)) << ViolationText();
      EXPECT_EQ(enable, recorder_.WriteCacheEnabled());
    }
    EXPECT_EQ(recorder_.CurrentReadSpeed(), drive.GetCurrentReadSpeed());
    id.getPerformance = false;  // the speeds from the page's descriptors
    recorder_.SetIdentity(id);
    u32 speeds[32] = {};
    u32 n = drive.GetWriteSpeeds(speeds, 32);
    ASSERT_GT(n, 0u);
    for (u32 i = 0; i < n; ++i) EXPECT_NE(0u, speeds[i]) << i;
    ASSERT_TRUE(drive.SetWriteSpeed(speeds[n - 1]));
    EXPECT_EQ(speeds[n - 1], drive.GetCurrentWriteSpeed());
    EXPECT_EQ("", ViolationText());
  }
}
