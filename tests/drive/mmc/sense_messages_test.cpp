#include <gtest/gtest.h>

#include <set>
#include <string>
#include <tuple>

#include "drive/mmc/sense_messages.h"

namespace {

std::u16string Message(u32 k, u32 a, u32 q) { return GetSenseMessage(k, a, q); }

}  // namespace

TEST(SenseMessages, TableShape) {
  EXPECT_EQ(236u, kSenseConditionCount);
  std::set<std::tuple<u32, u32, u32>> triples;
  for (u32 i = 0; i < kSenseConditionCount; ++i) {
    const SenseCondition& r = kSenseConditions[i];
    ASSERT_NE(nullptr, r.message);
    EXPECT_LE(r.senseKey, 15u);
    triples.insert(std::make_tuple(r.senseKey, r.asc, r.ascq));
  }
  EXPECT_EQ(199u, triples.size());
  EXPECT_EQ(6u, kSenseConditions[0].senseKey);
  EXPECT_EQ(0x28u, kSenseConditions[0].asc);
  EXPECT_EQ(0x4Bu, kSenseConditions[235].asc);
}

TEST(SenseMessages, FirstRowOfATripleCounts) {
  EXPECT_EQ(u"CANNOT WRITE MEDIUM , UNKNOWN FORMAT", Message(2, 0x30, 0x04));
  EXPECT_EQ(u"CANNOT READ MEDIUM - INCOMPATIBLE FORMAT", Message(5, 0x30, 0x02));
  EXPECT_EQ(u"CANNOT READ MEDIUM - INCOMPATIBLE FORMAT", Message(2, 0x30, 0x02));
  EXPECT_EQ(u"CANNOT READ MEDIUM , UNKNOWN FORMAT", Message(5, 0x30, 0x01));
  EXPECT_EQ(u"RECOVERED DATA , RECOMMEND REWRITE", Message(1, 0x18, 0x06));
  EXPECT_EQ(u"FAILURE PREDICTION THRESHOLD EXCEEDED - Predicted Spare Area Exhaustion", Message(1, 0x5D, 0x03));
}

TEST(SenseMessages, TellingRows) {
  EXPECT_EQ(u"NOT READY TO READY CHANGE, MEDIUM MAY HAVE CHANGED", Message(6, 0x28, 0));
  EXPECT_EQ(u"LOGICAL UNIT IS IN PROCESS OF BECOMING READY", Message(2, 0x04, 0x01));
  EXPECT_EQ(u"LOGICAL UNIT NOT READY, INITIALIZING CMD. REQUIRED", Message(2, 0x04, 0x02));
  EXPECT_EQ(u"MEDIUM NOT PRESENT", Message(2, 0x3A, 0));
  EXPECT_EQ(u"INVALID FIELD IN CDB", Message(5, 0x24, 0));
  EXPECT_EQ(u"WRITE ERROR - LOSS OF STREAMING", Message(3, 0x0C, 0x09));
  EXPECT_EQ(u"READ ERROR - LOSS OF STREAMING", Message(0xB, 0x11, 0x11));
  EXPECT_EQ(u"POWER CALIBRATION AREA IS FULL", Message(3, 0x73, 0x02));
  EXPECT_EQ(u"INVALID ADDRESS FOR WRITE", Message(5, 0x21, 0x02));
  EXPECT_EQ(u"CURRENT PROGRAM AREA IS EMPTY", Message(5, 0x2C, 0x04));
  EXPECT_EQ(u"LOGICAL UNIT COMMUNICATION CRC ERROR (ULTRA-DMA/32)", Message(4, 0x08, 0x03));
}

TEST(SenseMessages, UnknownConditions) {
  EXPECT_EQ(u"No Found", Message(0, 0, 0));
  EXPECT_EQ(u"No Found", Message(2, 0x3A, 0x03));
  EXPECT_EQ(u"No Found", Message(0x102, 0x3A, 0));  // values are compared whole
  EXPECT_EQ(u"No Found", Message(5, 0x24, 0x100));
}
