// Sense data: key, ASC and ASCQ in both formats, progress of long
// operations, and the message table.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "drive/mmc/mmc_replies.h"
#include "drive/mmc/sense_messages.h"

namespace {

// Fixed-format sense: {code, key byte, ASC, ASCQ}, additional length 10.
std::vector<u8> Fixed(u8 code, u8 key, u8 asc, u8 ascq) {
  std::vector<u8> s(252, 0);
  s[0] = code;
  s[2] = key;
  s[7] = 10;
  s[12] = asc;
  s[13] = ascq;
  return s;
}

// Descriptor format: an information descriptor, then the sense-key specific
// descriptor (type 2) with bytes b0-b2; additional length 20.
std::vector<u8> Descriptor(u8 code, u8 key, u8 b0, u8 b1, u8 b2) {
  std::vector<u8> s = {code, key, 0x04, 0x07, 0, 0, 0, 20, 0x00, 0x0A, 0x80, 0, 0, 0, 0, 0, 0x12, 0x34, 0x56, 0x78,
                       0x02, 0x06, 0, 0, b0, b1, b2, 0};
  s.resize(252);
  return s;
}

}  // namespace

TEST(SenseDecoding, FieldsOfEachFormat) {
  struct Case {
    std::vector<u8> sense;
    u32 size;
    u8 format, key, asc, ascq;
  } cases[] = {
      {Fixed(0xF0, 0x52, 0x3A, 0x01), 252, 0x70, 2, 0x3A, 0x01},  // valid bit, flag bits above the key
      {Fixed(0x71, 3, 0x0C, 0x09), 252, 0x71, 3, 0x0C, 0x09},
      {Descriptor(0x72, 0x05, 0, 0, 0), 252, 0x72, 5, 0x04, 0x07},
      {Descriptor(0x73, 0x36, 0, 0, 0), 252, 0x73, 6, 0x04, 0x07},
      {Fixed(0x7F, 2, 0x3A, 0), 252, 0x7F, 0, 0, 0},  // vendor format: nothing read
      {Fixed(0x70, 6, 0x28, 0), 3, 0x70, 6, 0, 0},    // fields beyond the size read as 0
  };
  for (const Case& c : cases) {
    SenseFields f = DecodeSense(c.sense.data(), c.size);
    EXPECT_EQ(std::make_tuple(c.format, c.key, c.asc, c.ascq), std::make_tuple(f.format, f.key, f.asc, f.ascq))
        << std::hex << int(c.sense[0]);
  }
  EXPECT_EQ(0, DecodeSense(nullptr, 0).format);
}

TEST(SenseDecoding, ProgressOnlyWithSksvUnderNoSenseOrNotReady) {
  // Fixed format with the sense-key specific bytes 15-17 and additional length.
  auto fixed = [](u8 code, u8 key, u8 sksv, u8 hi, u8 additional) {
    std::vector<u8> s = Fixed(code, key, 0x04, 0x04);
    s[7] = additional;
    s[15] = sksv;
    s[16] = hi;
    return s;
  };
  std::vector<u8> shortList = Descriptor(0x72, 2, 0x80, 0xC0, 0);
  shortList[7] = 12;  // the type 2 descriptor lies beyond the list
  std::vector<u8> fixedBytesInDescriptorFormat = fixed(0x72, 0, 0x80, 0x40, 10);
  fixedBytesInDescriptorFormat[1] = 2;
  struct Case {
    std::vector<u8> sense;
    u32 size;
    double fraction;  // -1: none
  } cases[] = {
      {fixed(0x70, 2, 0x80, 0x40, 10), 252, 0.25},  {fixed(0x70, 0, 0x80, 0xFF, 10), 252, 0.99609375},  // NO SENSE
      {fixed(0x70, 2, 0x00, 0x40, 10), 252, -1},     {fixed(0x70, 5, 0xC0, 0x40, 10), 252, -1},  // a field pointer
      {fixed(0x70, 2, 0x80, 0x40, 6), 252, -1},      {fixed(0x70, 2, 0x80, 0x40, 10), 17, -1},
      {fixed(0x7F, 2, 0x80, 0x40, 10), 252, -1},     {Descriptor(0x72, 2, 0x80, 0xC0, 0), 252, 0.75},
      {Descriptor(0x73, 2, 0x80, 0xC0, 0), 252, 0.75}, {Descriptor(0x72, 2, 0x00, 0xC0, 0), 252, -1},
      {Descriptor(0x72, 2, 0x80, 0xC0, 0), 27, -1},  {shortList, 252, -1},
      {fixedBytesInDescriptorFormat, 252, -1},
  };
  for (const Case& c : cases) {
    double fraction = -1;
    EXPECT_EQ(c.fraction >= 0, GetSenseProgress(c.sense.data(), c.size, &fraction)) << &c - cases;
    EXPECT_EQ(c.fraction, fraction) << &c - cases;
  }
}

// The table has 236 rows and 199 distinct conditions; every lookup gives the
// message of the first row of its condition, and anything else "No Found".
TEST(SenseMessages, FirstRowOfEachConditionCounts) {
  ASSERT_EQ(236u, kSenseConditionCount);
  std::map<std::tuple<u32, u32, u32>, const wchar16*> first;
  for (u32 i = 0; i < kSenseConditionCount; ++i) {
    const SenseCondition& r = kSenseConditions[i];
    ASSERT_NE(nullptr, r.message);
    ASSERT_LE(r.senseKey, 15u);
    first.insert({std::make_tuple(r.senseKey, r.asc, r.ascq), r.message});
  }
  EXPECT_EQ(199u, first.size());
  for (const auto& item : first)
    EXPECT_EQ(item.second, GetSenseMessage(std::get<0>(item.first), std::get<1>(item.first), std::get<2>(item.first)));
  struct Row {
    u32 key, asc, ascq;
    const char16_t* text;
  } rows[] = {
      {2, 0x30, 4, u"CANNOT WRITE MEDIUM , UNKNOWN FORMAT"}, {5, 0x30, 2, u"CANNOT READ MEDIUM - INCOMPATIBLE FORMAT"},
      {2, 0x30, 2, u"CANNOT READ MEDIUM - INCOMPATIBLE FORMAT"}, {2, 0x3A, 0, u"MEDIUM NOT PRESENT"},
      {5, 0x24, 0, u"INVALID FIELD IN CDB"}, {0, 0, 0, u"No Found"}, {2, 0x3A, 3, u"No Found"},
      {0x102, 0x3A, 0, u"No Found"}, {5, 0x24, 0x100, u"No Found"},  // values are compared whole
  };
  for (const Row& r : rows) EXPECT_EQ(std::u16string(r.text), GetSenseMessage(r.key, r.asc, r.ascq)) << &r - rows;
}
