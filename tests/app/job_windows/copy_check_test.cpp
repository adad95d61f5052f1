// The copy's decisions over two simulated recorders: the source disc as
// READ DISC INFORMATION and READ TRACK INFORMATION describe it, and the
// destination medium judged against it.
#include <gtest/gtest.h>

#include "app/job_windows/copy_check.h"
#include "jobs/burn/burn_request.h"
#include "support/recorder_fixture.h"

namespace {

std::vector<TrackContent> DataTrack(u32 blocks) {
  TrackContent t;
  t.blocks = blocks;
  return {t};
}

std::vector<TrackContent> AudioTracks(u32 count, u32 blocks) {
  TrackContent t;
  t.blocks = blocks;
  t.blockSize = 2352;
  t.audio = true;
  return std::vector<TrackContent>(count, t);
}

class CopyCheckTest : public RecorderTest {
 protected:
  CopyCheckTest() {
    Attach();
    dest_ = AddRecorder(u'F');
  }

  void Put(CSimulatedRecorder* r, const MediumOptions& o) {
    if (r->HasMedium()) r->RemoveMedium();
    r->InsertMedium(o);
    r->MakeReady();
  }

  // The source on E: read as the copy-disc window reads it.
  SourceRead ReadSource(const MediumOptions& o, CopySource* out) {
    Put(&recorder_, o);
    Settle();
    CDrive d;
    EXPECT_TRUE(d.Open(kPath));
    return ReadCopySource(d, out);
  }

  DestinationMedium Destination(bool insert, const MediumOptions& o) {
    if (dest_->HasMedium()) dest_->RemoveMedium();
    if (insert) Put(dest_, o);
    CDrive d;
    EXPECT_TRUE(d.OpenDevice(u"\\\\.\\F:"));
    // The unit attention of the change, then the probe the check makes.
    d.TestUnitReady();
    return DescribeDestination(d);
  }

  CSimulatedRecorder* dest_;
};

MediumOptions Disc(MediumPreset preset, DiscFill fill, std::vector<std::vector<TrackContent>> sessions = {},
                   u32 capacity = 0) {
  MediumOptions o;
  o.preset = preset;
  o.fill = fill;
  o.sessions = std::move(sessions);
  o.capacityBlocks = capacity;
  return o;
}

TEST_F(CopyCheckTest, DestinationDecisionTable) {
  struct Case {
    const char* name;
    MediumOptions source;
    bool insert;
    MediumOptions dest;
    bool ok;
    u32 status;
    const wchar16* medium;
    bool overburn;
  };
  const MediumOptions cdR297000 = Disc(MediumPreset::kCdR, DiscFill::kBlank, {}, 297000);
  const Case cases[] = {
      {"300000 onto 297000: a tenth over at most is overburn", Disc(MediumPreset::kCdRom, DiscFill::kComplete, {DataTrack(300000)}, 400000),
       true, cdR297000, true, 0, nullptr, true},
      {"297000 onto 297000 fits", Disc(MediumPreset::kCdRom, DiscFill::kComplete, {DataTrack(297000)}, 400000), true,
       cdR297000, true, 0, nullptr, false},
      {"330001 onto 297000 does not", Disc(MediumPreset::kCdRom, DiscFill::kComplete, {DataTrack(330001)}, 400000),
       true, cdR297000, false, kTextNotEnoughSpace, nullptr, false},
      {"audio CD onto a DVD-R", Disc(MediumPreset::kCdRom, DiscFill::kComplete, {AudioTracks(3, 4000)}), true,
       Disc(MediumPreset::kDvdR, DiscFill::kBlank), false, kTextInsertA, kMediumNameCd, false},
      {"audio CD, empty destination", Disc(MediumPreset::kCdRom, DiscFill::kComplete, {AudioTracks(2, 4000)}), false,
       MediumOptions(), false, kTextInsertA, kMediumNameCd, false},
      {"data CD, empty destination", Disc(MediumPreset::kCdRom, DiscFill::kComplete, {DataTrack(5000)}), false,
       MediumOptions(), false, kTextInsertWritableDisc, nullptr, false},
      {"data CD onto a DVD-ROM", Disc(MediumPreset::kCdRom, DiscFill::kComplete, {DataTrack(5000)}), true,
       Disc(MediumPreset::kDvdRom, DiscFill::kComplete), false, kTextInsertWritableDisc, nullptr, false},
      {"data CD onto a closed CD-R", Disc(MediumPreset::kCdRom, DiscFill::kComplete, {DataTrack(5000)}), true,
       Disc(MediumPreset::kCdR, DiscFill::kComplete), false, kTextInsertEmptyOrRewritable, nullptr, false},
      {"data CD onto a CD-RW with data", Disc(MediumPreset::kCdRom, DiscFill::kComplete, {DataTrack(5000)}), true,
       Disc(MediumPreset::kCdRw, DiscFill::kComplete), true, 0, nullptr, false},
      {"DVD onto a DVD+R of exactly its size", Disc(MediumPreset::kDvdRom, DiscFill::kComplete, {DataTrack(100000)}),
       true, Disc(MediumPreset::kDvdPlusR, DiscFill::kBlank, {}, 100000), false, kTextNotEnoughSpace, nullptr, false},
      {"DVD onto a DVD+R one block larger", Disc(MediumPreset::kDvdRom, DiscFill::kComplete, {DataTrack(100000)}),
       true, Disc(MediumPreset::kDvdPlusR, DiscFill::kBlank, {}, 100001), true, 0, nullptr, false},
      {"two-track DVD-R onto a DVD+R", Disc(MediumPreset::kDvdR, DiscFill::kComplete, {DataTrack(1000), DataTrack(1000)}),
       true, Disc(MediumPreset::kDvdPlusR, DiscFill::kBlank), false, kTextInsertA, kMediumNameDvdR, false},
      {"two-track DVD+R onto a DVD-R", Disc(MediumPreset::kDvdPlusR, DiscFill::kComplete, {DataTrack(1000), DataTrack(1000)}),
       true, Disc(MediumPreset::kDvdR, DiscFill::kBlank), false, kTextInsertA, kMediumNameDvdPlus, false},
      {"two-track DVD+R onto a DVD+RW", Disc(MediumPreset::kDvdPlusR, DiscFill::kComplete, {DataTrack(1000), DataTrack(1000)}),
       true, Disc(MediumPreset::kDvdPlusRw, DiscFill::kComplete), true, 0, nullptr, false},
      {"BD-R onto a smaller BD-R", Disc(MediumPreset::kBdR, DiscFill::kComplete, {DataTrack(50000)}), true,
       Disc(MediumPreset::kBdR, DiscFill::kBlank, {}, 40000), false, kTextNotEnoughSpace, nullptr, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CopySource source;
    ASSERT_EQ(SourceRead::kOk, ReadSource(c.source, &source));
    const CopyVerdict v = JudgeCopyDestination(source, Destination(c.insert, c.dest));
    EXPECT_EQ(c.ok, v.ok);
    EXPECT_EQ(c.status, v.statusId);
    EXPECT_EQ(c.medium, v.medium);
    EXPECT_EQ(c.overburn, v.overburn);
  }
  EXPECT_EQ("", ViolationText());
}

TEST_F(CopyCheckTest, SourceReadTable) {
  struct Case {
    const char* name;
    bool insert;
    MediumOptions disc;
    SourceRead read;
    u32 blocks;
    bool multi, singleData, finalized;
  };
  const Case cases[] = {
      {"no disc", false, MediumOptions(), SourceRead::kNoDisc, 0, false, false, true},
      {"blank CD-R", true, Disc(MediumPreset::kCdR, DiscFill::kBlank), SourceRead::kBlank, 0, false, false, true},
      {"one data track", true, Disc(MediumPreset::kCdRom, DiscFill::kComplete, {DataTrack(300000)}, 400000),
       SourceRead::kOk, 300000, false, true, true},
      {"one audio track", true, Disc(MediumPreset::kCdRom, DiscFill::kComplete, {AudioTracks(1, 3000)}), SourceRead::kOk,
       3000, false, false, true},
      // The empty track after the closed session is not part of the copy,
      // and the open disc is copied without being closed.
      {"appendable CD-R", true, Disc(MediumPreset::kCdR, DiscFill::kAppendable, {DataTrack(20000)}), SourceRead::kOk,
       20000, false, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CopySource s;
    if (!c.insert && recorder_.HasMedium()) recorder_.RemoveMedium();
    SourceRead got;
    if (c.insert) {
      got = ReadSource(c.disc, &s);
    } else {
      CDrive d;
      ASSERT_TRUE(d.OpenDevice(kPath));
      d.TestUnitReady();
      d.ProbeMedia();
      got = ReadCopySource(d, &s);
    }
    EXPECT_EQ(c.read, got);
    if (got != SourceRead::kOk) continue;
    EXPECT_EQ(c.blocks, s.blocks);
    EXPECT_EQ(c.multi, s.multi);
    EXPECT_EQ(c.singleData, s.singleData);
    EXPECT_EQ(c.finalized, s.finalized);
  }
}

TEST_F(CopyCheckTest, ATrackInformationReplyThatFailsIsAnErrorAtTheSource) {
  CopySource s;
  RecorderFault fault;
  fault.opcode = 0x52;
  fault.times = 0;
  recorder_.AddFault(fault);
  EXPECT_EQ(SourceRead::kTrackError,
            ReadSource(Disc(MediumPreset::kCdRom, DiscFill::kComplete, {DataTrack(1000)}), &s));
}

// The prompt judges the layout the burn read: its size is where the
// layout ends, not where its first entry ends.
TEST(CopySourceFromRequest, SizeAndKindFromTheLayout) {
  BurnRequest r;
  r.copiedProfile = 0x08;
  TrackList* session = r.sessions.AppendNew();
  TrackExtent* gap = session->AppendNew();
  *gap = TrackExtent{-150, 2352, 150, 0, 0, 1, 0};
  TrackExtent* a = session->AppendNew();
  *a = TrackExtent{0, 2352, 1000, 1, 0, 0, 0};
  TrackExtent* b = session->AppendNew();
  *b = TrackExtent{1000, 2352, 500, 1, 0, 0, 0};
  CopySource s = CopySourceFromRequest(r);
  EXPECT_EQ(1500u, s.blocks);
  EXPECT_TRUE(s.multi);
  EXPECT_FALSE(s.singleData);
  EXPECT_TRUE(s.isCd);

  BurnRequest one;
  one.copiedProfile = 0x11;
  TrackExtent* t = one.sessions.AppendNew()->AppendNew();
  *t = TrackExtent{0, 2048, 4000, 1, 0, 0, 0};
  s = CopySourceFromRequest(one);
  EXPECT_EQ(4000u, s.blocks);
  EXPECT_FALSE(s.multi);
  EXPECT_TRUE(s.singleData);
  EXPECT_FALSE(s.isCd);
}

}  // namespace
