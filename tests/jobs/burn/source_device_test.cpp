// Reading a source disc for a copy (portable, so that the parsing of the
// drive's TOC, PMA and track replies also runs under the sanitizers): the
// layout of each kind of disc and exactly its bytes, reads across extents,
// the seek rules, and the failures.
#include <gtest/gtest.h>

#include <vector>

#include "support/job_recorder_fixture.h"
#include "jobs/burn/burn_source_device.h"

namespace {

class DeviceSourceTest : public JobRecorderTest {
 protected:
  void InsertDisc(MediumPreset preset, DiscFill fill, std::vector<std::vector<TrackContent>> sessions) {
    MediumOptions options;
    options.preset = preset;
    options.fill = fill;
    options.sessions = std::move(sessions);
    Insert(options);
  }
  // Reads the whole source in 32 KB chunks, checking every byte against the
  // recorder's pattern; returns the bytes delivered.
  static u64 ReadAll(CDeviceSource* source) {
    std::vector<u8> chunk(32768);
    EXPECT_EQ(kHrOk, source->Seek(0, kSeekStart, nullptr));
    const TrackList& extents = source->Extents();
    u32 extent = 0, left = 0, size = 0;
    u64 lba = 0, total = 0;
    for (u64 got = 1; got;) {
      EXPECT_EQ(kHrOk, source->Read(chunk.data(), chunk.size(), &got));
      for (u64 pos = 0; pos < got; pos += size, ++lba, --left) {
        while (left == 0) {
          while (extent < extents.GetCount() && !extents[extent].content) ++extent;
          if (extent >= extents.GetCount()) return ADD_FAILURE() << "bytes beyond the layout", total;
          lba = static_cast<u64>(extents[extent].start);
          left = extents[extent].sectorCount;
          size = extents[extent++].sectorSize;
        }
        for (u32 b = 0; b < size; ++b)
          if (chunk[pos + b] != PatternByte(static_cast<u32>(lba), b)) return ADD_FAILURE() << "LBA " << lba, total;
      }
      total += got;
    }
    return total;
  }
};

TrackContent Data(u32 blocks, bool mode2 = false) { return TrackContent{blocks, 2048, false, mode2}; }
TrackContent Audio(u32 blocks) { return TrackContent{blocks, 2352, true, false}; }

TEST_F(DeviceSourceTest, EveryKindOfDiscReadsAsItsLayout) {
  struct Case {
    const char* name;
    MediumPreset preset;
    DiscFill fill;
    std::vector<std::vector<TrackContent>> sessions;
    u32 sheets;        // cue sheets (one per CD session, one for a one-track DVD)
    u64 bytes;
  } const cases[] = {
      {"data CD", MediumPreset::kCdR, DiscFill::kComplete, {{Data(1000)}}, 1, 1000 * 2048},
      {"audio CD", MediumPreset::kCdR, DiscFill::kComplete, {{Audio(300), Audio(200)}}, 1, 500 * 2352},
      {"mixed CD", MediumPreset::kCdR, DiscFill::kComplete, {{Data(100), Audio(50), Audio(20)}}, 1, 100 * 2048 + 70 * 2352},
      {"two sessions", MediumPreset::kCdR, DiscFill::kComplete, {{Data(400)}, {Data(300, true)}}, 2, 700 * 2048},
      {"appendable CD", MediumPreset::kCdR, DiscFill::kAppendable, {{Data(200)}}, 1, 200 * 2048},
      {"DVD", MediumPreset::kDvdR, DiscFill::kComplete, {{Data(700)}}, 1, 700 * 2048},
      {"appendable DVD", MediumPreset::kDvdR, DiscFill::kAppendable, {{Data(300)}, {Data(100)}}, 0, 400 * 2048},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    InsertDisc(c.preset, c.fill, c.sessions);
    CDrive drive;
    ASSERT_TRUE(OpenDrive(&drive));
    CDeviceSource source(&drive);
    ASSERT_EQ(kHrOk, source.ReadLayout());
    EXPECT_EQ(c.sessions.size(), source.Sessions().GetCount());
    EXPECT_EQ(c.sheets, source.CueSheets().GetCount());
    u64 size = 0;
    source.GetSize(&size);
    EXPECT_EQ(c.bytes, size);
    EXPECT_EQ(c.bytes, ReadAll(&source));
    u64 got = 1;
    u8 tail[4096];
    EXPECT_EQ(kHrOk, source.Read(tail, sizeof(tail), &got));  // the end: nothing, no error
    EXPECT_EQ(0u, got);
    EXPECT_EQ("", ViolationText());
  }
}

TEST_F(DeviceSourceTest, ReadsWholeBlocksAndRetriesFiveTimes) {
  InsertDisc(MediumPreset::kCdR, DiscFill::kComplete, {{Audio(300)}});
  CDrive drive;
  ASSERT_TRUE(OpenDrive(&drive));
  CDeviceSource source(&drive);
  ASSERT_EQ(kHrOk, source.ReadLayout());
  ASSERT_EQ(kHrOk, source.Seek(0, kSeekStart, nullptr));
  std::vector<u8> chunk(32768);
  u64 got = 0;
  ASSERT_EQ(kHrOk, source.Read(chunk.data(), chunk.size(), &got));
  EXPECT_EQ(13u * 2352, got);  // 13 whole blocks
  RecorderFault fault;
  fault.opcode = 0xBE;
  fault.times = 5;
  fault.key = 3;
  fault.asc = 0x11;
  recorder_.AddFault(fault);
  EXPECT_EQ(kHrOk, source.Read(chunk.data(), chunk.size(), &got));  // five failures are retried away
  fault.times = 6;
  recorder_.AddFault(fault);
  u64 before = source.CurrentLba();
  EXPECT_EQ(kHrFail, source.Read(chunk.data(), chunk.size(), &got));  // six are not
  EXPECT_EQ(0u, got);
  EXPECT_EQ(before, source.CurrentLba());
  recorder_.ClearFaults();
  EXPECT_EQ(kHrInvalidArg, source.Read(chunk.data(), 100, &got));  // no room for a block
}

TEST_F(DeviceSourceTest, LayoutFailuresLeaveNothing) {
  CDrive drive;
  ASSERT_TRUE(drive.OpenDevice(kPath));
  CDeviceSource empty(&drive);
  EXPECT_EQ(kHrFail, empty.ReadLayout());  // no medium
  Insert(MediumPreset::kCdR, DiscFill::kBlank);
  ASSERT_TRUE(OpenDrive(&drive));
  EXPECT_EQ(kHrFail, empty.ReadLayout());  // nothing to copy
  InsertDisc(MediumPreset::kCdR, DiscFill::kComplete, {{Data(100)}});
  ASSERT_TRUE(OpenDrive(&drive));
  for (i32 opcode : {0x52, 0x43}) {  // a track or the TOC that cannot be read
    RecorderFault fault;
    fault.opcode = opcode;
    fault.times = 0;
    fault.key = 3;
    fault.asc = 0x11;
    recorder_.AddFault(fault);
    CDeviceSource source(&drive);
    EXPECT_EQ(kHrFail, source.ReadLayout());
    EXPECT_EQ(0u, source.Extents().GetCount() + source.CueSheets().GetCount());
    recorder_.ClearFaults();
  }
  CDeviceSource none(nullptr);
  EXPECT_EQ(kHrFail, none.ReadLayout());
}

TEST_F(DeviceSourceTest, SeekFindsTheFirstReadableExtentAtOrAfterTheMove) {
  Insert(MediumPreset::kCdR, DiscFill::kComplete);
  CDrive drive;
  ASSERT_TRUE(OpenDrive(&drive));
  CDeviceSource source(&drive);
  source.AddSession();
  EXPECT_TRUE(source.AddExtentRange(-150, 0, 2048, false));
  EXPECT_TRUE(source.AddExtent(0, 100, 2048, false));
  EXPECT_TRUE(source.AddExtentRange(100, 250, 2352, false));
  EXPECT_TRUE(source.AddExtent(250, 30, 2352, false));
  EXPECT_TRUE(source.AddExtentRange(300, 300, 2048, false));  // empty: nothing added
  EXPECT_EQ(4u, source.Extents().GetCount());
  const u64 cases[][2] = {{0, 0}, {120, 250}, {260, 260}, {5000, 0}};
  u64 at = 0;
  for (const u64* c : cases) {
    source.Seek(static_cast<i64>(c[0]), kSeekStart, &at);
    EXPECT_EQ(c[1], at) << c[0];
  }
  source.Seek(260, kSeekStart, &at);
  u32 seeks = recorder_.CountCommands(0x2B);
  source.Seek(999, kSeekCurrent, &at);  // from the current position: stays
  EXPECT_EQ(260u, at);
  EXPECT_EQ(seeks + 1, recorder_.CountCommands(0x2B));
}

}  // namespace
