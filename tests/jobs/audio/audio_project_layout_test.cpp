// The audio project's burn layout and cue sheet, its CD size and the pause
// field's number.
#include "jobs/audio/audio_project_layout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Extent {
  i32 start;
  u32 count;
  u8 content;
  bool operator==(const Extent& o) const { return start == o.start && count == o.count && content == o.content; }
};

// Every audio extent, pause or track, is 2352-byte sectors, no Mode 2,
// and not marked CD-only: the window that accepted the burn decided the
// medium, and the write loop must not skip the audio.
std::vector<Extent> Extents(const TrackList& list) {
  std::vector<Extent> out;
  for (const TrackExtent& e : list) {
    EXPECT_EQ(2352u, e.sectorSize);
    EXPECT_EQ(0, e.mode2Form1);
    EXPECT_EQ(0, e.cdOnly);
    EXPECT_EQ(0, e.spare);
    out.push_back({e.start, e.sectorCount, e.content});
  }
  return out;
}

std::vector<AudioLayoutTrack> Tracks(u32 count, u32 sectors, u32 pause) {
  return std::vector<AudioLayoutTrack>(count, AudioLayoutTrack{sectors, pause});
}

// The tracks laid out one after the other from the first track's pregap,
// as the project page's rows do it.
void LayOut(const std::vector<AudioLayoutTrack>& tracks, TrackList* layout) {
  i32 position = -static_cast<i32>(kFirstTrackPause);
  for (const AudioLayoutTrack& t : tracks)
    ASSERT_TRUE(AppendAudioTrackExtents(t.pauseFrames, t.sectors, layout, &position));
}

}  // namespace

// Three tracks of 1000 sectors with pauses 0, 150 and 0 from position 0: the
// first track's pause is raised to the 2 s pregap, the third gets none.
TEST(AudioProjectLayout, ExtentsOfThreeTracksEndAt3300) {
  TrackList list(16);
  i32 position = 0;
  for (u32 pause : {0u, 150u, 0u}) ASSERT_TRUE(AppendAudioTrackExtents(pause, 1000, &list, &position));
  const std::vector<Extent> expected = {
      {0, 150, 0}, {150, 1000, 1}, {1150, 150, 0}, {1300, 1000, 1}, {2300, 1000, 1}};
  EXPECT_EQ(expected, Extents(list));
  EXPECT_EQ(3300, position);
  // A first pause longer than the pregap is kept as it is.
  TrackList other(16);
  position = 0;
  ASSERT_TRUE(AppendAudioTrackExtents(151, 10, &other, &position));
  EXPECT_EQ((std::vector<Extent>{{0, 151, 0}, {151, 10, 1}}), Extents(other));
}

// A length no position can reach (a file claiming years of audio) is
// refused whole: nothing appended, the position where it was; the last
// position that can be reached is taken.
TEST(AudioProjectLayout, ExtentsPastTheLargestPositionAreRefusedWhole) {
  const struct {
    i32 position;
    u32 pause, sectors;
    bool ok;
  } cases[] = {
      {-150, 150, 0x7FFFFFFFu, true},          // ends exactly at the largest position
      {-150, 150, 0x80000000u, false},         // one further
      {100, 0, 0xFFFFFFFFu, false},            // the largest length
      {0x7FFFFF00, 0xFF, 0, true},             // a pause up to the end, an empty track
      {0x7FFFFF00, 0x100, 0, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.sectors);
    TrackList list(16);
    ASSERT_TRUE(list.AppendNew()) << "not the first track: its pause stays as given";
    i32 position = c.position;
    EXPECT_EQ(c.ok, AppendAudioTrackExtents(c.pause, c.sectors, &list, &position));
    EXPECT_EQ(c.ok ? 3u : 1u, list.GetCount());
    EXPECT_EQ(c.ok ? static_cast<i32>(static_cast<i64>(c.position) + c.pause + c.sectors) : c.position, position);
  }
}

// The cue sheet's bytes for the same project: lead-in, INDEX 0 only where a
// pause is, INDEX 1, lead-out; times are the address + 150 frames; the
// session's extents begin at -150.
TEST(AudioProjectLayout, CueSheetBytesForPauses0_150_0) {
  BurnRequest request;
  TrackList layout(16);
  LayOut({{1000, 0}, {1000, 150}, {1000, 0}}, &layout);
  ASSERT_EQ(AudioLayoutResult::kOk, BuildAudioCueSheet(&request, layout));
  ASSERT_EQ(1u, request.sessions.GetCount());
  ASSERT_EQ(1u, request.cueSheets.GetCount());
  const u8 expected[][8] = {
      {0x01, 0x00, 0, 0x01, 0, 0, 0, 0},   // lead-in
      {0x01, 1, 0, 0x00, 0, 0, 0, 0},      // track 1 index 0 at -150
      {0x01, 1, 1, 0x00, 0, 0, 2, 0},      // index 1 at 0
      {0x01, 2, 0, 0x00, 0, 0, 15, 25},    // index 0 at 1000 (1150 frames)
      {0x01, 2, 1, 0x00, 0, 0, 17, 25},    // index 1 at 1150
      {0x01, 3, 1, 0x00, 0, 0, 30, 50},    // index 1 at 2150 (2300 frames)
      {0x01, 0xAA, 1, 0x01, 0, 0, 44, 0},  // lead-out at 3150 (3300 frames)
  };
  const CueSheet& sheet = request.cueSheets[0];
  ASSERT_EQ(7u, sheet.count);
  for (u32 i = 0; i < 7; ++i)
    for (u32 b = 0; b < 8; ++b) EXPECT_EQ(expected[i][b], sheet.entries[i][b]) << "entry " << i << " byte " << b;
  const std::vector<Extent> extents = {
      {-150, 150, 0}, {0, 1000, 1}, {1000, 150, 0}, {1150, 1000, 1}, {2150, 1000, 1}};
  EXPECT_EQ(extents, Extents(layout));
  EXPECT_EQ(extents, Extents(request.sessions[0])) << "the session is the layout";
  EXPECT_EQ(3000u, request.SumTrackSectors(true));
  EXPECT_EQ(3300u, request.SumTrackSectors(false));
}

// What a cue sheet cannot say is refused whole: no tracks, a 100th track, a
// lead-out past 99:59:74; nothing is left in the request.
TEST(AudioProjectLayout, LayoutsACueSheetCannotHoldAreRefused) {
  struct Case {
    std::vector<AudioLayoutTrack> tracks;
    AudioLayoutResult result;
  } cases[] = {
      {{}, AudioLayoutResult::kNoTracks},
      {Tracks(99, 75, 150), AudioLayoutResult::kOk},  // 2 + 198 entries
      {Tracks(100, 75, 0), AudioLayoutResult::kTooManyTracks},
      // The lead-out's time (its address + 150) must stay below 100:00:00.
      {Tracks(1, 450000 - 151, 0), AudioLayoutResult::kOk},
      {Tracks(1, 450000 - 150, 0), AudioLayoutResult::kTooLong},
      {Tracks(2, 6000000, 0), AudioLayoutResult::kTooLong},  // minutes beyond a byte
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.tracks.size());
    BurnRequest request;
    TrackList layout(16);
    LayOut(c.tracks, &layout);
    EXPECT_EQ(c.result, BuildAudioCueSheet(&request, layout));
    const bool ok = c.result == AudioLayoutResult::kOk;
    EXPECT_EQ(ok ? 1u : 0u, request.sessions.GetCount());
    EXPECT_EQ(ok ? 1u : 0u, request.cueSheets.GetCount());
    if (ok) {
      EXPECT_LE(request.cueSheets[0].count, kCueSheetEntries);
      const u8* out = request.cueSheets[0].entries[request.cueSheets[0].count - 1];
      EXPECT_EQ(0xAA, out[1]);
      EXPECT_LT(out[5], 100);
    }
  }
}

// The CD size: a total stays below a size's minutes x 4500 + 1.
TEST(AudioProjectLayout, CdSizeAtItsLimits) {
  struct Case {
    u32 total;
    const char* name;
    double fill;
  } cases[] = {
      {0, "CD 21 min", 0.0},
      {94500, "CD 21 min", 94500.0 / 94501},
      {94501, "CD 74 min", 94501.0 / 333001},
      {333000, "CD 74 min", 333000.0 / 333001},
      {333001, "CD 80 min", 333001.0 / 360001},
      {445500, "CD 99 min", 445500.0 / 445501},
      {445501, "CD ??? min", 1.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.total);
    const CdSizeChoice choice = ChooseCdSize(c.total);
    std::string name;
    for (const wchar16* p = choice.name; *p; ++p) name.push_back(static_cast<char>(*p));
    EXPECT_EQ(c.name, name);
    EXPECT_DOUBLE_EQ(c.fill, choice.fill);
    EXPECT_LT(choice.fill, c.total < 445501 ? 1.0 : 1.1);
  }
  // 74:00 in three tracks with their pauses.
  const AudioLayoutTrack tracks[] = {{110850, 150}, {110850, 150}, {111000, 0}};
  EXPECT_EQ(333000u, AudioProjectTotal(tracks, 3));
}

// Leading digits are the seconds; more than 999 (of any length, without
// overflowing) is 999 and said so; no leading digit changes nothing.
TEST(AudioProjectLayout, PauseFieldNumber) {
  struct Case {
    std::u16string text;
    bool read;
    u32 seconds;
    bool saturated;
  } cases[] = {
      {u"12a", true, 12, false},
      {u"0", true, 0, false},
      {u"999", true, 999, false},
      {u"1000", true, 999, true},
      {u"1234", true, 999, true},
      {u"99999999999999999999", true, 999, true},  // would wrap a 32-bit sum
      {u"4294967297", true, 999, true},
      {u"", false, 7, false},
      {u"a12", false, 7, false},
  };
  for (const Case& c : cases) {
    u32 seconds = 7;
    bool saturated = false;
    EXPECT_EQ(c.read, ParsePauseSeconds(c.text.data(), static_cast<i32>(c.text.size()), &seconds, &saturated));
    EXPECT_EQ(c.seconds, seconds);
    EXPECT_EQ(c.saturated, saturated);
  }
}

