// The copy's destination check at its edges, for every kind of source disc
// it tells apart and the media a destination drive may hold: exactly the
// room the copy needs, one block over, a tenth over (the overburn limit of a
// CD) and one block beyond that. The sources are given as the copy-disc
// window and the insert-disc prompt find them (the prompt's from the layout
// the burn read); the destinations are read from a simulated recorder. Then
// the source disc read where its last session holds more than one track.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "app/job_windows/copy_check.h"
#include "jobs/burn/burn_request.h"
#include "support/recorder_fixture.h"

namespace {

enum class Dest : u8 {
  kNone,
  kCdRom,
  kCdR,         // blank, 297000 blocks
  kCdRClosed,
  kCdRwData,    // 297000 blocks, with data
  kDvdRom,
  kDvdR,        // blank, 100000 blocks
  kDvdRDl,
  kDvdRwData,
  kDvdRam,
  kPlusR,       // blank, 100000 blocks
  kPlusRDl,
  kPlusRwData,
  kBdR,         // blank, 100000 blocks
  kHdDvdR,      // blank, 100000 blocks
};

// The copy's size against the destination's room.
enum class Need : u8 { kSmall, kOneUnder, kExactly, kOneOver, kTenthOver, kTenthOverAndOne };

u32 Blocks(Need need, u32 room) {
  switch (need) {
    case Need::kSmall: return 1000;
    case Need::kOneUnder: return room - 1;
    case Need::kExactly: return room;
    case Need::kOneOver: return room + 1;
    case Need::kTenthOver: return room / 10 * 11;
    case Need::kTenthOverAndOne: return room / 10 * 11 + 1;
  }
  return 0;
}

CopySource Source(u16 profile, bool multi, bool singleData) {
  CopySource s;
  s.profile = profile;
  s.multi = multi;
  s.singleData = singleData;
  s.isCd = profile >= 0x08 && profile <= 0x0A;
  return s;
}

class CopyCheckEdges : public RecorderTest {
 protected:
  CopyCheckEdges() {
    Attach();
    dest_ = AddRecorder(u'F');
  }

  const DestinationMedium& DestinationOf(Dest which) {
    auto found = read_.find(which);
    if (found != read_.end()) return found->second;
    if (dest_->HasMedium()) dest_->RemoveMedium();
    if (which != Dest::kNone) {
      MediumOptions o;
      o.fill = DiscFill::kBlank;
      switch (which) {
        case Dest::kCdRom: o.preset = MediumPreset::kCdRom, o.fill = DiscFill::kComplete; break;
        case Dest::kCdR: o.preset = MediumPreset::kCdR, o.capacityBlocks = 297000; break;
        case Dest::kCdRClosed: o.preset = MediumPreset::kCdR, o.fill = DiscFill::kComplete; break;
        case Dest::kCdRwData:
          o.preset = MediumPreset::kCdRw, o.fill = DiscFill::kComplete, o.capacityBlocks = 297000;
          break;
        case Dest::kDvdRom: o.preset = MediumPreset::kDvdRom, o.fill = DiscFill::kComplete; break;
        case Dest::kDvdR: o.preset = MediumPreset::kDvdR, o.capacityBlocks = 100000; break;
        case Dest::kDvdRDl: o.preset = MediumPreset::kDvdRDualLayer; break;
        case Dest::kDvdRwData: o.preset = MediumPreset::kDvdRwSequential, o.fill = DiscFill::kComplete; break;
        case Dest::kDvdRam: o.preset = MediumPreset::kDvdRam, o.fill = DiscFill::kComplete; break;
        case Dest::kPlusR: o.preset = MediumPreset::kDvdPlusR, o.capacityBlocks = 100000; break;
        case Dest::kPlusRDl: o.preset = MediumPreset::kDvdPlusRDualLayer; break;
        case Dest::kPlusRwData: o.preset = MediumPreset::kDvdPlusRw, o.fill = DiscFill::kComplete; break;
        case Dest::kBdR: o.preset = MediumPreset::kBdR, o.capacityBlocks = 100000; break;
        case Dest::kHdDvdR: o.preset = MediumPreset::kHdDvdR, o.capacityBlocks = 100000; break;
        case Dest::kNone: break;
      }
      dest_->InsertMedium(o);
      dest_->MakeReady();
    }
    CDrive d;
    EXPECT_TRUE(d.OpenDevice(u"\\\\.\\F:"));
    d.TestUnitReady();  // the unit attention of the change
    return read_[which] = DescribeDestination(d);
  }

  CSimulatedRecorder* dest_;
  std::map<Dest, DestinationMedium> read_;
};

struct Verdict {
  bool ok;
  u32 status;
  const wchar16* medium;
  bool overburn;
};
const Verdict kOk = {true, 0, nullptr, false};
const Verdict kOverburn = {true, 0, nullptr, true};
const Verdict kNoRoom = {false, kTextNotEnoughSpace, nullptr, false};
const Verdict kWantCd = {false, kTextInsertA, kMediumNameCd, false};
const Verdict kWantDashDvd = {false, kTextInsertA, kMediumNameDvdR, false};
const Verdict kWantPlusDvd = {false, kTextInsertA, kMediumNameDvdPlus, false};
const Verdict kWantWritable = {false, kTextInsertWritableDisc, nullptr, false};
const Verdict kWantEmpty = {false, kTextInsertEmptyOrRewritable, nullptr, false};

void ExpectVerdict(const Verdict& want, const CopyVerdict& got) {
  EXPECT_EQ(want.ok, got.ok);
  EXPECT_EQ(want.status, got.statusId);
  EXPECT_EQ(want.medium, got.medium);
  EXPECT_EQ(want.overburn, got.overburn);
}

TEST_F(CopyCheckEdges, EverySourceKindAgainstEachDestinationAtItsEdges) {
  const CopySource cdData = Source(0x08, false, true);
  const CopySource cdAudio = Source(0x08, true, false);
  const CopySource cdOneAudioTrack = Source(0x08, false, false);
  struct Case {
    const char* name;
    CopySource source;
    Dest dest;
    Need need;
    Verdict verdict;
  };
  const Case cases[] = {
      // A CD copy may run up to a tenth over a CD's room, as overburn.
      {"data CD, exactly the room", cdData, Dest::kCdR, Need::kExactly, kOk},
      {"data CD, one over", cdData, Dest::kCdR, Need::kOneOver, kOverburn},
      {"data CD, a tenth over", cdData, Dest::kCdR, Need::kTenthOver, kOverburn},
      {"data CD, beyond a tenth", cdData, Dest::kCdR, Need::kTenthOverAndOne, kNoRoom},
      {"data CD onto a CD-RW with data, a tenth over", cdData, Dest::kCdRwData, Need::kTenthOver, kOverburn},
      {"data CD-R, a tenth over", Source(0x09, false, true), Dest::kCdR, Need::kTenthOver, kOverburn},
      {"data CD-RW, a tenth over", Source(0x0A, false, true), Dest::kCdR, Need::kTenthOver, kOverburn},
      {"data CD, no disc", cdData, Dest::kNone, Need::kSmall, kWantWritable},
      {"data CD onto a pressed CD", cdData, Dest::kCdRom, Need::kSmall, kWantWritable},
      {"data CD onto a closed CD-R", cdData, Dest::kCdRClosed, Need::kSmall, kWantEmpty},
      {"data CD onto a DVD-R", cdData, Dest::kDvdR, Need::kSmall, kOk},
      // Several tracks, or audio, go onto a CD only.
      {"audio CD, one over", cdAudio, Dest::kCdR, Need::kOneOver, kOverburn},
      {"audio CD-R, a tenth over", Source(0x09, true, false), Dest::kCdR, Need::kTenthOver, kOverburn},
      {"audio CD, beyond a tenth", cdAudio, Dest::kCdR, Need::kTenthOverAndOne, kNoRoom},
      {"audio CD onto a CD-RW with data", cdAudio, Dest::kCdRwData, Need::kExactly, kOk},
      {"audio CD onto a DVD-R", cdAudio, Dest::kDvdR, Need::kSmall, kWantCd},
      {"audio CD onto a BD-R", cdAudio, Dest::kBdR, Need::kSmall, kWantCd},
      {"audio CD, no disc", cdAudio, Dest::kNone, Need::kSmall, kWantCd},
      {"audio CD onto a pressed DVD", cdAudio, Dest::kDvdRom, Need::kSmall, kWantCd},
      {"audio CD onto a pressed CD", cdAudio, Dest::kCdRom, Need::kSmall, kWantWritable},
      {"audio CD onto a closed CD-R", cdAudio, Dest::kCdRClosed, Need::kSmall, kWantEmpty},
      {"one audio track onto a DVD+R", cdOneAudioTrack, Dest::kPlusR, Need::kSmall, kWantCd},
      // A DVD copy needs strictly less than the room; several tracks need
      // the same family of recordable DVD.
      {"DVD-ROM tracks onto a DVD+R", Source(0x10, true, false), Dest::kPlusR, Need::kOneUnder, kWantDashDvd},
      {"DVD-R tracks onto a DVD+R", Source(0x11, true, false), Dest::kPlusR, Need::kOneUnder, kWantDashDvd},
      {"DVD-RW restricted tracks onto a DVD+R", Source(0x13, true, false), Dest::kPlusR, Need::kOneUnder,
       kWantDashDvd},
      {"DVD-RW tracks onto a DVD+R", Source(0x14, true, false), Dest::kPlusR, Need::kOneUnder, kWantDashDvd},
      {"DVD-R DL tracks onto a DVD+R", Source(0x15, true, false), Dest::kPlusR, Need::kOneUnder, kWantDashDvd},
      {"DVD-R DL jump tracks onto a DVD+R", Source(0x16, true, false), Dest::kPlusR, Need::kOneUnder,
       kWantDashDvd},
      {"DVD-RW DL tracks onto a DVD+R", Source(0x17, true, false), Dest::kPlusR, Need::kOneUnder, kWantDashDvd},
      {"DVD-R tracks, one under", Source(0x11, true, false), Dest::kDvdR, Need::kOneUnder, kOk},
      {"DVD-R tracks, exactly the room", Source(0x11, true, false), Dest::kDvdR, Need::kExactly, kNoRoom},
      {"DVD-R tracks, one over", Source(0x11, true, false), Dest::kDvdR, Need::kOneOver, kNoRoom},
      {"DVD-R tracks onto a DVD-R DL", Source(0x11, true, false), Dest::kDvdRDl, Need::kSmall, kOk},
      {"DVD-R tracks onto a DVD-RW with data", Source(0x11, true, false), Dest::kDvdRwData, Need::kSmall, kOk},
      {"DVD-R tracks onto a DVD-RAM", Source(0x11, true, false), Dest::kDvdRam, Need::kSmall, kOk},
      {"DVD-R tracks onto a DVD+RW", Source(0x11, true, false), Dest::kPlusRwData, Need::kSmall, kWantDashDvd},
      {"DVD-R tracks onto a CD-R", Source(0x11, true, false), Dest::kCdR, Need::kSmall, kWantDashDvd},
      {"DVD-R tracks onto a BD-R", Source(0x11, true, false), Dest::kBdR, Need::kSmall, kWantDashDvd},
      {"one DVD-R track onto a DVD+R, one under", Source(0x11, false, true), Dest::kPlusR, Need::kOneUnder, kOk},
      {"one DVD-R track onto a DVD+R, exactly", Source(0x11, false, true), Dest::kPlusR, Need::kExactly, kNoRoom},
      {"DVD+RW tracks onto a DVD-R", Source(0x1A, true, false), Dest::kDvdR, Need::kOneUnder, kWantPlusDvd},
      {"DVD+R tracks onto a DVD-R", Source(0x1B, true, false), Dest::kDvdR, Need::kOneUnder, kWantPlusDvd},
      {"DVD+RW DL tracks onto a DVD-R", Source(0x2A, true, false), Dest::kDvdR, Need::kOneUnder, kWantPlusDvd},
      {"DVD+R DL tracks onto a DVD-R", Source(0x2B, true, false), Dest::kDvdR, Need::kOneUnder, kWantPlusDvd},
      {"DVD+R tracks, one under", Source(0x1B, true, false), Dest::kPlusR, Need::kOneUnder, kOk},
      {"DVD+R tracks, exactly the room", Source(0x1B, true, false), Dest::kPlusR, Need::kExactly, kNoRoom},
      {"DVD+R tracks onto a DVD+R DL", Source(0x1B, true, false), Dest::kPlusRDl, Need::kSmall, kOk},
      {"DVD+R tracks onto a DVD+RW", Source(0x1B, true, false), Dest::kPlusRwData, Need::kSmall, kOk},
      {"DVD+R tracks onto a DVD-RAM", Source(0x1B, true, false), Dest::kDvdRam, Need::kSmall, kWantPlusDvd},
      // Other discs: the room is all there is to check.
      {"DVD-RAM tracks onto a DVD+R", Source(0x12, true, false), Dest::kPlusR, Need::kExactly, kOk},
      {"BD-R, exactly the room", Source(0x41, true, false), Dest::kBdR, Need::kExactly, kOk},
      {"BD-R, one over", Source(0x41, true, false), Dest::kBdR, Need::kOneOver, kNoRoom},
      {"HD DVD-R, exactly the room", Source(0x51, false, true), Dest::kHdDvdR, Need::kExactly, kOk},
      {"HD DVD-R, one over", Source(0x51, false, true), Dest::kHdDvdR, Need::kOneOver, kNoRoom},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const DestinationMedium& dest = DestinationOf(c.dest);
    if (c.need != Need::kSmall) {
      ASSERT_GT(dest.capacity, 1000u);
    }
    if (c.need == Need::kTenthOver) {
      ASSERT_EQ(0u, dest.capacity % 10);
    }
    CopySource source = c.source;
    source.blocks = Blocks(c.need, dest.capacity);
    ExpectVerdict(c.verdict, JudgeCopyDestination(source, dest));
  }
  EXPECT_EQ("", dest_->Violations().empty() ? "" : dest_->Violations().front());
}

// The prompt of a one-drive copy judges the layout the burn read into its
// image: an audio CD's layout (a pregap before its first track) by where
// its last track ends, a data disc's one track by its sectors.
TEST_F(CopyCheckEdges, ThePromptJudgesTheLayoutTheBurnRead) {
  struct Case {
    const char* name;
    u16 copied;
    std::vector<TrackExtent> layout;  // ends at the need, as below
    Need need;
    Dest dest;
    Verdict verdict;
  };
  // The extents are sized against the destination's room in the loop.
  const Case cases[] = {
      {"audio CD a tenth over a CD-R", 0x09, {}, Need::kTenthOver, Dest::kCdR, kOverburn},
      {"audio CD beyond a tenth over a CD-R", 0x09, {}, Need::kTenthOverAndOne, Dest::kCdR, kNoRoom},
      {"audio CD onto a DVD-R", 0x09, {}, Need::kSmall, Dest::kDvdR, kWantCd},
      {"one data track of exactly a DVD+R's room", 0x1B, {}, Need::kExactly, Dest::kPlusR, kNoRoom},
      {"one data track one under a DVD+R's room", 0x1B, {}, Need::kOneUnder, Dest::kPlusR, kOk},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const DestinationMedium& dest = DestinationOf(c.dest);
    const u32 end = Blocks(c.need, dest.capacity);
    BurnRequest request;
    request.copiedProfile = c.copied;
    TrackList* session = request.sessions.AppendNew();
    if (c.copied == 0x09) {
      // Pregap, a track, a pause, the last track up to the end.
      *session->AppendNew() = TrackExtent{-150, 2352, 150, 0, 0, 1, 0};
      *session->AppendNew() = TrackExtent{0, 2352, 500, 1, 0, 1, 0};
      *session->AppendNew() = TrackExtent{500, 2352, 150, 0, 0, 1, 0};
      *session->AppendNew() = TrackExtent{650, 2352, end - 650, 1, 0, 1, 0};
    } else {
      *session->AppendNew() = TrackExtent{0, 2048, end, 1, 0, 0, 0};
    }
    ExpectVerdict(c.verdict, JudgeCopyDestination(CopySourceFromRequest(request), dest));
  }
}

TrackContent DataTrack(u32 blocks, u32 pregap = 0) {
  TrackContent t;
  t.blocks = blocks;
  t.pregap = pregap;
  return t;
}

// The copy ends where the last track of the last session ends, not where
// that session's first track ends; on a disc left open the empty track
// after it is no part of the copy.
TEST_F(CopyCheckEdges, SourceEndsWithTheLastTrackOfAMultiTrackLastSession) {
  struct Case {
    const char* name;
    MediumPreset preset;
    DiscFill fill;
    bool finalized;
  };
  const Case cases[] = {
      {"closed CD-R", MediumPreset::kCdR, DiscFill::kComplete, true},
      {"open CD-R", MediumPreset::kCdR, DiscFill::kAppendable, false},
      {"open DVD+R", MediumPreset::kDvdPlusR, DiscFill::kAppendable, false},
      {"closed DVD-R", MediumPreset::kDvdR, DiscFill::kComplete, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MediumOptions o;
    o.preset = c.preset;
    o.fill = c.fill;
    o.sessions = {{DataTrack(1000), DataTrack(2000)}, {DataTrack(3000), DataTrack(4000, 150)}};
    Insert(o);
    u32 start = 0, size = 0, next = 0;
    ASSERT_TRUE(recorder_.TrackInfo(4, &start, &size, &next));
    CDrive d;
    ASSERT_TRUE(OpenDrive(&d));
    CopySource s;
    ASSERT_EQ(SourceRead::kOk, ReadCopySource(d, &s));
    EXPECT_EQ(start + size, s.blocks);
    EXPECT_TRUE(s.multi);
    EXPECT_FALSE(s.singleData);
    EXPECT_EQ(c.finalized, s.finalized);
  }
  EXPECT_EQ("", ViolationText());
}

}  // namespace
