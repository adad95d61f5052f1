// The burn request: defaults, deep copies, sums over its layout.
#include <gtest/gtest.h>

#include <cstring>

#include "jobs/burn/burn_request.h"

namespace {

void AddTrack(TrackList* list, i32 start, u32 size, u32 count, u8 content) {
  TrackExtent* t = list->AppendNew();
  ASSERT_NE(nullptr, t);
  EXPECT_EQ(1, t->content);  // a fresh entry carries data
  t->start = start;
  t->sectorSize = size;
  t->sectorCount = count;
  t->content = content;
}

TEST(BurnRequestRecord, AssignCopiesDeeplyAndKeepsBit7) {
  BurnRequest a;
  a.source = 2;
  a.destination = 1;
  a.imagePath.Assign(u"C:\\images\\disc.iso");
  a.method = kMethodTrackAtOnce;
  a.writeSpeed = 7056;
  a.titleId = 147;
  a.copiedProfile = 0x0A;
  a.options = 0xFF;
  TrackList* s1 = a.sessions.AppendNew();
  AddTrack(s1, -150, 2352, 150, 0);
  AddTrack(s1, 0, 2352, 1000, 1);
  TrackList* s2 = a.sessions.AppendNew();
  AddTrack(s2, 12400, 2048, 300, 1);
  CueSheet* sheet = a.cueSheets.AppendNew();
  std::memset(sheet, 0x5A, sizeof(*sheet));
  sheet->count = 7;

  BurnRequest b;
  EXPECT_EQ(kOptionVerify | kOptionBufe | kOptionCloseDisc, b.options);  // the defaults of a new request
  b.options = 0x00;
  ASSERT_TRUE(b.Assign(a));
  EXPECT_EQ(2, b.source);
  EXPECT_EQ(1, b.destination);
  EXPECT_EQ(a.imagePath.GetLength(), b.imagePath.GetLength());
  EXPECT_NE(a.imagePath.GetBuffer(), b.imagePath.GetBuffer());
  EXPECT_EQ(0, std::memcmp(a.imagePath.c_str(), b.imagePath.c_str(), a.imagePath.GetLength() * 2));
  EXPECT_EQ(kMethodTrackAtOnce, b.method);
  EXPECT_EQ(7056u, b.writeSpeed);
  EXPECT_EQ(147u, b.titleId);
  EXPECT_EQ(0x0A, b.copiedProfile);
  EXPECT_EQ(0x7F, b.options);  // bit 7 of the target kept (clear)
  ASSERT_EQ(2u, b.sessions.GetCount());
  ASSERT_EQ(2u, b.sessions[0].GetCount());
  EXPECT_NE(a.sessions[0].GetData(), b.sessions[0].GetData());
  EXPECT_EQ(0, std::memcmp(a.sessions[0].GetData(), b.sessions[0].GetData(), 2 * sizeof(TrackExtent)));
  EXPECT_EQ(12400, b.sessions[1][0].start);
  ASSERT_EQ(1u, b.cueSheets.GetCount());
  EXPECT_EQ(0, std::memcmp(a.cueSheets.GetData(), b.cueSheets.GetData(), sizeof(CueSheet)));

  BurnRequest c;
  c.options = 0x80;
  a.options = 0x01;
  c.Assign(a);
  EXPECT_EQ(0x81, c.options);
  // Assigning again replaces the layout rather than adding to it.
  c.Assign(a);
  EXPECT_EQ(2u, c.sessions.GetCount());
  EXPECT_EQ(1u, c.cueSheets.GetCount());
}

TEST(BurnRequestRecord, SumsOverTheLayout) {
  BurnRequest r;
  TrackList* s = r.sessions.AppendNew();
  AddTrack(s, -150, 2352, 150, 0);
  AddTrack(s, 0, 2352, 1000, 1);
  AddTrack(s, 1000, 2352, 75, 0);
  AddTrack(s, 1075, 2352, 500, 1);
  TrackList* s2 = r.sessions.AppendNew();
  AddTrack(s2, 20000, 2048, 3000000, 1);
  EXPECT_EQ(150u + 1000 + 75 + 500 + 3000000, r.SumTrackSectors(false));
  EXPECT_EQ(1000u + 500 + 3000000, r.SumTrackSectors(true));
  EXPECT_EQ(u64(1725) * 2352 + u64(3000000) * 2048, r.SumTrackBytes(false));
  EXPECT_EQ(u64(1500) * 2352 + u64(3000000) * 2048, r.SumTrackBytes(true));
  EXPECT_EQ(3u, r.CountContentEntries());
  ASSERT_NE(nullptr, r.FirstTrack());
  EXPECT_EQ(-150, r.FirstTrack()->start);
}

}  // namespace
