// Planning a source CD's layout from its TOC, PMA and track information:
// entries, gaps, sessions, signed address rules and the cue-sheet limit.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "jobs/burn/source_layout.h"

namespace {

struct Entry {
  u8 ctlAdr, tno, index, form;
  i32 lba;
  bool operator==(const Entry& o) const {
    return ctlAdr == o.ctlAdr && tno == o.tno && index == o.index && form == o.form && lba == o.lba;
  }
};

std::ostream& operator<<(std::ostream& os, const Entry& e) {
  return os << "{" << std::hex << int(e.ctlAdr) << " " << int(e.tno) << " " << int(e.index) << " " << int(e.form)
            << std::dec << " @" << e.lba << "}";
}

i32 LbaOf(const u8* e) { return (static_cast<i32>(e[5]) * 60 + e[6]) * 75 + e[7] - 150; }

class RecordingSink : public ILayoutSink {
 public:
  TrackList* BeginSession() override { return sessions.AppendNew(); }
  CueSheet* BeginCueSheet() override {
    CueSheet* s = sheets.AppendNew();
    std::memset(s, 0, sizeof(*s));
    return s;
  }
  bool AddExtent(i32 start, u32 count, u32 blockSize, bool mode2) override {
    TrackExtent e = {start, blockSize, count, 1, static_cast<u8>(mode2), 0, 0};
    return sessions[sessions.GetCount() - 1].Add(e);
  }
  bool AddGap(i32 start, i32 end, u32 blockSize, bool mode2) override {
    if (end <= start) return true;
    TrackExtent e = {start, blockSize, static_cast<u32>(end - start), 0, static_cast<u8>(mode2), 1, 0};
    return sessions[sessions.GetCount() - 1].Add(e);
  }
  std::vector<Entry> Entries(u32 sheet) const {
    std::vector<Entry> out;
    const CueSheet& s = sheets[sheet];
    for (u32 i = 0; i < s.count; ++i) {
      const u8* e = s.entries[i];
      out.push_back(Entry{e[0], e[1], e[2], e[3], i == 0 && e[1] == 0 && e[2] == 0 ? 0 : LbaOf(e)});
    }
    return out;
  }
  SessionList sessions;
  CueSheetList sheets;
};

CdLayoutTrack Track(u8 number, u8 ctl, i32 start, u32 size, u8 trackMode, u8 dataMode, u32 session) {
  CdLayoutTrack t;
  std::memset(&t, 0, sizeof(t));
  t.ctl = ctl;
  t.adr = 1;
  t.number = number;
  t.tocStart = start;
  t.info.start = static_cast<u32>(start);
  t.info.size = size;
  t.info.trackMode = trackMode;
  t.info.dataMode = dataMode;
  t.info.session = session;
  return t;
}

CdLayoutTrack LeadOut(i32 start) { return Track(0xAA, 4, start, 0, 0, 0, 0); }

TEST(CdTrackForms, ByTrackAndDataMode) {
  TrackForm data = ClassifyCdTrack(4, 1);
  EXPECT_EQ(0x10, data.dataForm);
  EXPECT_EQ(2048u, data.blockSize);
  EXPECT_FALSE(data.mode2);
  TrackForm xa = ClassifyCdTrack(4, 2);
  EXPECT_EQ(0x20, xa.dataForm);
  EXPECT_TRUE(xa.mode2);
  TrackForm audio = ClassifyCdTrack(0, 0x0F);
  EXPECT_EQ(0x00, audio.dataForm);
  EXPECT_EQ(2352u, audio.blockSize);
  EXPECT_EQ(0x10, ClassifyCdTrack(5, 0x0F).dataForm);  // incremental data track
  EXPECT_EQ(2352u, ClassifyCdTrack(9, 1).blockSize);
  EXPECT_EQ(2048u, ClassifyCdTrack(12, 1).blockSize);
}

TEST(CdTrackForms, PmaAddresses) {
  EXPECT_EQ(0, PmaAddressToLba(0, 2, 0));
  EXPECT_EQ(1000, PmaAddressToLba(0, 15, 25));
  EXPECT_EQ(95 * 4500 - 450150, PmaAddressToLba(95, 0, 0));
  EXPECT_EQ(99 * 4500 + 59 * 75 + 74 - 450150, PmaAddressToLba(99, 59, 74));
  // Out-of-range seconds keep the ordinary formula.
  EXPECT_EQ(95 * 4500 + 60 * 75 - 150, PmaAddressToLba(95, 60, 0));
}

TEST(CdTrackForms, PmaDescriptorCountIsBoundedByTheReply) {
  u8 reply[4 + 3 * 11] = {};
  reply[1] = 2 + 5 * 11;  // claims five
  EXPECT_EQ(3u, CountPmaDescriptors(reply, sizeof(reply)));
  EXPECT_EQ(2u, CountPmaDescriptors(reply, sizeof(reply) - 1));  // the third one byte short
  reply[1] = 2 + 3 * 11 - 1;                                     // ... or its length one short
  EXPECT_EQ(2u, CountPmaDescriptors(reply, sizeof(reply)));
  reply[1] = 1;
  EXPECT_EQ(0u, CountPmaDescriptors(reply, sizeof(reply)));
  EXPECT_EQ(0u, CountPmaDescriptors(reply, 3));
}

TEST(CdLayoutPlan, SingleSessionDataDisc) {
  CdLayoutTrack tracks[] = {Track(1, 4, 0, 1000, 4, 1, 1), LeadOut(1000)};
  RecordingSink sink;
  ASSERT_EQ(LayoutResult::kOk, PlanCdLayout(tracks, 2, &sink));
  ASSERT_EQ(1u, sink.sheets.GetCount());
  std::vector<Entry> expected = {{0x41, 0, 0, 0x14, 0}, {0x41, 1, 0, 0x10, -150}, {0x41, 1, 1, 0x10, 0},
                                 {0x41, 0xAA, 1, 0x14, 1000}};
  EXPECT_EQ(expected, sink.Entries(0));
  // The pregap is a gap written only on CD, the track a readable extent.
  const TrackList& s = sink.sessions[0];
  ASSERT_EQ(2u, s.GetCount());
  EXPECT_EQ(-150, s[0].start);
  EXPECT_TRUE(s[0].cdOnly && !s[0].content && s[1].content && s[1].sectorCount == 1000);
}

TEST(CdLayoutPlan, MixedModeAudioGetsIndexZeroOnlyWhereAGapLies) {
  CdLayoutTrack tracks[] = {Track(1, 4, 0, 1000, 4, 1, 1), Track(2, 0, 1150, 1000, 0, 0x0F, 1),
                            Track(3, 0, 2150, 500, 0, 0x0F, 1), LeadOut(2650)};
  RecordingSink sink;
  ASSERT_EQ(LayoutResult::kOk, PlanCdLayout(tracks, 4, &sink));
  std::vector<Entry> expected = {{0x41, 0, 0, 0x14, 0},     {0x41, 1, 0, 0x10, -150}, {0x41, 1, 1, 0x10, 0},
                                 {0x01, 2, 0, 0x00, 1000},  {0x01, 2, 1, 0x00, 1150}, {0x01, 3, 1, 0x00, 2150},
                                 {0x41, 0xAA, 1, 0x14, 2650}};
  EXPECT_EQ(expected, sink.Entries(0));
  const TrackList& s = sink.sessions[0];
  ASSERT_EQ(5u, s.GetCount());
  EXPECT_TRUE(s[2].start == 1000 && s[2].sectorCount == 150 && s[2].sectorSize == 2352 && !s[2].content);
}

TEST(CdLayoutPlan, SecondSessionClosesTheFirstAndStartsItsOwnLeadIn) {
  CdLayoutTrack tracks[] = {Track(1, 4, 0, 1000, 4, 1, 1), Track(2, 4, 12400, 2000, 4, 2, 2), LeadOut(14400)};
  RecordingSink sink;
  ASSERT_EQ(LayoutResult::kOk, PlanCdLayout(tracks, 3, &sink));
  ASSERT_EQ(2u, sink.sheets.GetCount());
  ASSERT_EQ(2u, sink.sessions.GetCount());
  std::vector<Entry> first = {{0x41, 0, 0, 0x14, 0}, {0x41, 1, 0, 0x10, -150}, {0x41, 1, 1, 0x10, 0},
                              {0x41, 0xAA, 1, 0x14, 1000}};
  std::vector<Entry> second = {{0x41, 0, 0, 0x24, 0}, {0x41, 2, 0, 0x20, 12250}, {0x41, 2, 1, 0x20, 12400},
                               {0x41, 0xAA, 1, 0x24, 14400}};
  EXPECT_EQ(first, sink.Entries(0));
  EXPECT_EQ(second, sink.Entries(1));
  EXPECT_EQ(1, sink.sessions[1][1].mode2Form1);
}

TEST(CdLayoutPlan, PmaIndexTwoOnlyBetweenTrackEndAndNextTrack) {
  CdLayoutTrack tracks[] = {Track(1, 0, 0, 1000, 0, 0x0F, 1), Track(2, 0, 1200, 800, 0, 0x0F, 1), LeadOut(2000)};
  tracks[0].hasPma = true;
  tracks[0].pmaLba = 1050;
  RecordingSink sink;
  ASSERT_EQ(LayoutResult::kOk, PlanCdLayout(tracks, 3, &sink));
  std::vector<Entry> expected = {{0x01, 0, 0, 0x01, 0},   {0x01, 1, 0, 0x00, -150}, {0x01, 1, 1, 0x00, 0},
                                 {0x01, 1, 2, 0x00, 1000}, {0x01, 2, 0, 0x00, 1050}, {0x01, 2, 1, 0x00, 1200},
                                 {0x01, 0xAA, 1, 0x01, 2000}};  // the session's CTL
  EXPECT_EQ(expected, sink.Entries(0));
  const TrackList& s = sink.sessions[0];
  ASSERT_EQ(5u, s.GetCount());
  EXPECT_EQ(1000, s[2].start);
  EXPECT_EQ(50u, s[2].sectorCount);
  EXPECT_EQ(1050, s[3].start);
  EXPECT_EQ(150u, s[3].sectorCount);

  // Past the next track, or negative (an address from minute 90 on): none.
  for (i32 pma : {1300, PmaAddressToLba(95, 0, 0), 999}) {
    tracks[0].pmaLba = pma;
    RecordingSink other;
    ASSERT_EQ(LayoutResult::kOk, PlanCdLayout(tracks, 3, &other));
    for (const Entry& e : other.Entries(0)) EXPECT_NE(2, e.index) << pma;
    for (const TrackExtent& t : other.sessions[0]) EXPECT_GE(t.start + static_cast<i32>(t.sectorCount), -150) << pma;
  }
}

TEST(CdLayoutPlan, NoIndexZeroForATrackThatStartsBeforeTheEnd) {
  CdLayoutTrack tracks[] = {Track(1, 0, 0, 1000, 0, 0x0F, 1), Track(2, 0, 900, 800, 0, 0x0F, 1), LeadOut(1700)};
  RecordingSink sink;
  ASSERT_EQ(LayoutResult::kOk, PlanCdLayout(tracks, 3, &sink));
  for (const Entry& e : sink.Entries(0)) EXPECT_FALSE(e.tno == 2 && e.index == 0);
  for (const TrackExtent& t : sink.sessions[0]) EXPECT_TRUE(t.content || t.sectorCount > 0);
}

TEST(CdLayoutPlan, FirstTrackOfASessionGetsIndexZeroOnlyBeforeItsStart) {
  // A damaged TOC that lists a lead-out before track 1 moves the end
  // described so far past the track's start: index 0 at -150 + 1000 would
  // follow index 1.
  CdLayoutTrack tracks[] = {LeadOut(1000), Track(1, 4, 0, 500, 4, 1, 1), LeadOut(500)};
  RecordingSink sink;
  ASSERT_EQ(LayoutResult::kOk, PlanCdLayout(tracks, 3, &sink));
  ASSERT_EQ(1u, sink.sheets.GetCount());
  std::vector<Entry> expected = {
      {0x41, 0, 0, 0x14, 0}, {0x41, 1, 1, 0x10, 0}, {0x41, 0xAA, 1, 0x14, 500}};
  EXPECT_EQ(expected, sink.Entries(0));
  ASSERT_EQ(1u, sink.sessions[0].GetCount());
  EXPECT_EQ(0, sink.sessions[0][0].start);
  EXPECT_EQ(1u, sink.sessions[0][0].content);

  // Addresses never go backwards within a sheet, whatever the TOC says.
  CdLayoutTrack later[] = {Track(1, 4, 0, 500, 4, 1, 1), LeadOut(20000), Track(2, 4, 11400, 300, 4, 1, 2),
                           LeadOut(11700)};
  RecordingSink two;
  ASSERT_EQ(LayoutResult::kOk, PlanCdLayout(later, 4, &two));
  ASSERT_EQ(2u, two.sheets.GetCount());
  for (u32 sheet = 0; sheet < 2; ++sheet) {
    std::vector<Entry> entries = two.Entries(sheet);
    for (size_t i = 2; i < entries.size(); ++i) EXPECT_LE(entries[i - 1].lba, entries[i].lba) << sheet << " " << i;
  }
}

// Tracks separated by gaps and followed by PMA gaps: three entries a track.
std::vector<CdLayoutTrack> GappedTracks(u32 count) {
  std::vector<CdLayoutTrack> tracks;
  i32 at = 0;
  for (u32 i = 0; i < count; ++i) {
    CdLayoutTrack t = Track(static_cast<u8>(i % 99 + 1), 0, at + 300, 100, 0, 0x0F, 1);
    t.hasPma = true;
    t.pmaLba = at + 300 + 100 + 50;
    tracks.push_back(t);
    at += 600;
  }
  tracks.push_back(LeadOut(at + 300));
  return tracks;
}

TEST(CdLayoutPlan, OverlongSessionsLoseTheirIndexTwoEntriesFirst) {
  std::vector<CdLayoutTrack> tracks = GappedTracks(99);  // 1 + 3 x 99 + 1 = 299 entries with index 2
  RecordingSink sink;
  ASSERT_EQ(LayoutResult::kOk, PlanCdLayout(tracks.data(), static_cast<u32>(tracks.size()), &sink));
  std::vector<Entry> entries = sink.Entries(0);
  EXPECT_EQ(1u + 2 * 99 + 1, entries.size());
  for (const Entry& e : entries) EXPECT_NE(2, e.index);
  // The extents still cover the disc without holes or overlaps.
  const TrackList& s = sink.sessions[0];
  for (u32 i = 1; i < s.GetCount(); ++i)
    EXPECT_EQ(s[i - 1].start + static_cast<i32>(s[i - 1].sectorCount), s[i].start) << i;
  // A few tracks fit with their index-2 entries.
  std::vector<CdLayoutTrack> few = GappedTracks(10);
  RecordingSink small;
  ASSERT_EQ(LayoutResult::kOk, PlanCdLayout(few.data(), static_cast<u32>(few.size()), &small));
  u32 index2 = 0;
  for (const Entry& e : small.Entries(0)) index2 += e.index == 2;
  EXPECT_EQ(10u, index2);
}

TEST(CdLayoutPlan, SessionThatCannotFitFails) {
  std::vector<CdLayoutTrack> tracks = GappedTracks(130);
  RecordingSink sink;
  EXPECT_EQ(LayoutResult::kTooManyEntries, PlanCdLayout(tracks.data(), static_cast<u32>(tracks.size()), &sink));
  EXPECT_EQ(0u, sink.sheets.GetCount());
}

TEST(TrackInformationReply, FieldsAndShortReplies) {
  u8 reply[40] = {};
  reply[3] = 2;
  reply[33] = 1;
  reply[5] = 0x04;
  reply[6] = 0x21;
  reply[8] = 0x00, reply[9] = 0x01, reply[10] = 0x02, reply[11] = 0x03;
  reply[24] = 0x00, reply[25] = 0x00, reply[26] = 0x10, reply[27] = 0x00;
  LayoutTrackInfo info;
  ASSERT_TRUE(ParseTrackInformation(reply, 40, &info));
  EXPECT_EQ(0x010203u, info.start);
  EXPECT_EQ(0x1000u, info.size);
  EXPECT_EQ(4, info.trackMode);
  EXPECT_EQ(1, info.dataMode);
  EXPECT_EQ(258u, info.session);
  EXPECT_TRUE(ParseTrackInformation(reply, 28, &info));
  EXPECT_EQ(2u, info.session);  // byte 33 not returned
  EXPECT_FALSE(ParseTrackInformation(reply, 27, &info));
}

}  // namespace
