// What the disc information page reads of a closed disc whose last session
// holds more than one track: the track count is the last track of that
// session (not its first), and within each session a track's gap is
// measured from the previous track of the same session, the first track of
// a session having none.
#include <gtest/gtest.h>

#include <string>

#include "app/pages/disc_info.h"
#include "support/recorder_fixture.h"

namespace {

TrackContent Track(u32 blocks, u32 pregap = 0) {
  TrackContent t;
  t.blocks = blocks;
  t.pregap = pregap;
  return t;
}

class DiscInfoSessions : public RecorderTest {};

TEST_F(DiscInfoSessions, LastSessionOfSeveralTracks) {
  Attach();
  for (MediumPreset preset : {MediumPreset::kCdR, MediumPreset::kDvdPlusR}) {
    SCOPED_TRACE(static_cast<int>(preset));
    MediumOptions o;
    o.preset = preset;
    o.fill = DiscFill::kComplete;
    o.sessions = {{Track(1000), Track(2000)}, {Track(3000), Track(4000, 150)}};
    Insert(o);
    CDrive drive;
    ASSERT_TRUE(OpenDrive(&drive));
    DiscInfo info;
    ReadDiscInfo(drive, &info);
    drive.Close();
    EXPECT_EQ(4u, info.tracks);
    EXPECT_EQ(2u, info.sessions);
    ASSERT_EQ(5u, info.records.GetCount());  // four tracks and the lead-out
    struct Expected {
      u32 track, session;
      bool gap;  // starts after the previous track of its session ended
    } expected[] = {{1, 1, false}, {2, 1, false}, {3, 2, false}, {4, 2, true}};
    for (u32 i = 0; i < 4; ++i) {
      SCOPED_TRACE(i);
      const DiscTrackRecord& r = info.records[i];
      u32 start = 0, size = 0, next = 0;
      ASSERT_TRUE(recorder_.TrackInfo(i + 1, &start, &size, &next));
      EXPECT_EQ(expected[i].track, r.track);
      EXPECT_EQ(expected[i].session, r.session);
      EXPECT_EQ(start, r.start);
      EXPECT_EQ(size, r.size);
      EXPECT_EQ(start + size, r.end);
      const u32 previousEnd = i == 0 || expected[i].session != expected[i - 1].session ? start : info.records[i - 1].end;
      EXPECT_EQ(previousEnd, r.previousEnd);
      EXPECT_EQ(expected[i].gap ? 150u : 0u, r.start - r.previousEnd);
    }
    EXPECT_EQ(kLeadOutTrack, info.records[4].track);
  }
  EXPECT_EQ("", ViolationText());
}

}  // namespace
