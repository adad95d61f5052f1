// Reading a source disc for a copy: its layout from the recorder's TOC, PMA
// and track information for data, audio, mixed, multi-session and DVD
// discs; reading exactly the layout's bytes; and the failure paths.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "../job_test_fixture.h"
#include "jobs/burn/burn_source_device.h"

namespace {

class DeviceSourceTest : public JobRecorderTest {
 protected:
  void InsertSessions(MediumPreset preset, DiscFill fill, std::vector<std::vector<TrackContent>> sessions) {
    MediumOptions options;
    options.preset = preset;
    options.fill = fill;
    options.sessions = std::move(sessions);
    Insert(options);
  }

  // Reads the whole source in chunks of 32768 bytes and checks every byte
  // against the recorder's pattern; returns the bytes delivered.
  u64 ReadAllAndCompare(CDeviceSource* source) {
    std::vector<u8> chunk(32768);
    EXPECT_EQ(kHrOk, source->Seek(0, kSeekStart, nullptr));
    u64 total = 0;
    u32 extent = 0;
    u64 lba = 0, left = 0;
    u32 blockSize = 0;
    auto nextExtent = [&]() {
      const TrackList& e = source->Extents();
      while (extent < e.GetCount() && !e[extent].content) ++extent;
      if (extent >= e.GetCount()) return false;
      lba = static_cast<u64>(e[extent].start);
      left = e[extent].sectorCount;
      blockSize = e[extent].sectorSize;
      ++extent;
      return true;
    };
    bool have = nextExtent();
    for (int guard = 0; guard < 100000; ++guard) {
      u64 got = 0;
      HResult hr = source->Read(chunk.data(), chunk.size(), &got);
      EXPECT_EQ(kHrOk, hr);
      if (hr != kHrOk || got == 0) break;
      for (u64 pos = 0; pos < got;) {
        if (!have || left == 0) have = nextExtent();
        if (!have) {
          ADD_FAILURE() << "bytes beyond the layout";
          return total;
        }
        for (u32 b = 0; b < blockSize; ++b) {
          u32 offset = b;
          if (chunk[pos + b] != PatternByte(static_cast<u32>(lba), offset)) {
            ADD_FAILURE() << "byte " << b << " of LBA " << lba;
            return total;
          }
        }
        pos += blockSize;
        ++lba;
        --left;
      }
      total += got;
    }
    return total;
  }
};

TEST_F(DeviceSourceTest, DataCdHasPregapTrackAndLeadOut) {
  InsertSessions(MediumPreset::kCdR, DiscFill::kComplete, {{TrackContent{1000, 2048, false, false}}});
  CDrive drive;
  ASSERT_TRUE(OpenDrive(&drive));
  CDeviceSource source(&drive);
  ASSERT_EQ(kHrOk, source.ReadLayout());
  ASSERT_EQ(1u, source.Sessions().GetCount());
  ASSERT_EQ(1u, source.CueSheets().GetCount());
  const TrackList& s = source.Sessions()[0];
  ASSERT_EQ(2u, s.GetCount());
  EXPECT_EQ(-150, s[0].start);
  EXPECT_EQ(0, s[0].content);
  EXPECT_EQ(0, s[1].start);
  EXPECT_EQ(1000u, s[1].sectorCount);
  const CueSheet& sheet = source.CueSheets()[0];
  ASSERT_EQ(4u, sheet.count);
  const u8 leadOut[8] = {0x41, 0xAA, 0x01, 0x14, 0x00, 0x00, 0x0F, 0x19};
  EXPECT_EQ(0, std::memcmp(leadOut, sheet.entries[3], 8));
  u64 size = 0;
  source.GetSize(&size);
  EXPECT_EQ(1000u * 2048, size);
  EXPECT_EQ(1000u * 2048, ReadAllAndCompare(&source));
  // After the end: nothing more, and not an error.
  u8 buffer[4096];
  u64 got = 1;
  EXPECT_EQ(kHrOk, source.Read(buffer, sizeof(buffer), &got));
  EXPECT_EQ(0u, got);
  EXPECT_TRUE(recorder_.Violations().empty()) << ViolationText();
}

TEST_F(DeviceSourceTest, AudioCdDeliversWholeRawBlocks) {
  InsertSessions(MediumPreset::kCdR, DiscFill::kComplete,
                 {{TrackContent{300, 2352, true, false}, TrackContent{200, 2352, true, false}}});
  CDrive drive;
  ASSERT_TRUE(OpenDrive(&drive));
  CDeviceSource source(&drive);
  ASSERT_EQ(kHrOk, source.ReadLayout());
  const CueSheet& sheet = source.CueSheets()[0];
  // Lead-in form 0x01, audio entries with form 0x00, no index 0 for track 2.
  EXPECT_EQ(0x01, sheet.entries[0][3]);
  EXPECT_EQ(0x00, sheet.entries[1][3]);
  EXPECT_EQ(5u, sheet.count);
  EXPECT_EQ(2, sheet.entries[3][1]);
  EXPECT_EQ(1, sheet.entries[3][2]);
  u8 chunk[32768];
  ASSERT_EQ(kHrOk, source.Seek(0, kSeekStart, nullptr));
  u64 got = 0;
  ASSERT_EQ(kHrOk, source.Read(chunk, sizeof(chunk), &got));
  EXPECT_EQ(30576u, got);  // 13 whole blocks
  EXPECT_EQ(500u * 2352, ReadAllAndCompare(&source));
}

TEST_F(DeviceSourceTest, MixedModeCdReadsAcrossBlockSizes) {
  InsertSessions(MediumPreset::kCdR, DiscFill::kComplete,
                 {{TrackContent{100, 2048, false, false}, TrackContent{50, 2352, true, false},
                   TrackContent{20, 2352, true, false}}});
  CDrive drive;
  ASSERT_TRUE(OpenDrive(&drive));
  CDeviceSource source(&drive);
  ASSERT_EQ(kHrOk, source.ReadLayout());
  const TrackList& s = source.Sessions()[0];
  u32 readable = 0;
  for (const TrackExtent& t : s) readable += t.content;
  EXPECT_EQ(3u, readable);
  EXPECT_EQ(2048u, s[1].sectorSize);
  EXPECT_EQ(2352u, s[s.GetCount() - 1].sectorSize);
  u64 size = 0;
  source.GetSize(&size);
  EXPECT_EQ(100u * 2048 + 70u * 2352, size);
  EXPECT_EQ(size, ReadAllAndCompare(&source));
}

TEST_F(DeviceSourceTest, MultiSessionCdHasOneSheetPerSession) {
  InsertSessions(MediumPreset::kCdR, DiscFill::kComplete,
                 {{TrackContent{400, 2048, false, false}}, {TrackContent{300, 2048, false, true}}});
  u32 start2 = 0, size2 = 0, nwa = 0;
  ASSERT_TRUE(recorder_.TrackInfo(2, &start2, &size2, &nwa));
  CDrive drive;
  ASSERT_TRUE(OpenDrive(&drive));
  CDeviceSource source(&drive);
  ASSERT_EQ(kHrOk, source.ReadLayout());
  ASSERT_EQ(2u, source.Sessions().GetCount());
  ASSERT_EQ(2u, source.CueSheets().GetCount());
  const CueSheet& first = source.CueSheets()[0];
  const CueSheet& second = source.CueSheets()[1];
  // The first session ends with a lead-out at its end (400).
  const u8* out = first.entries[first.count - 1];
  EXPECT_EQ(0xAA, out[1]);
  EXPECT_EQ(400, (out[5] * 60 + out[6]) * 75 + out[7] - 150);
  // The second starts with its own lead-in (Mode 2 form 0x24) and an index
  // 0 at its first track's start - 150.
  EXPECT_EQ(0, second.entries[0][1]);
  EXPECT_EQ(0x24, second.entries[0][3]);
  const u8* i0 = second.entries[1];
  EXPECT_EQ(0, i0[2]);
  EXPECT_EQ(static_cast<i32>(start2) - 150, (i0[5] * 60 + i0[6]) * 75 + i0[7] - 150);
  const TrackList& s2 = source.Sessions()[1];
  EXPECT_EQ(1, s2[s2.GetCount() - 1].mode2Form1);
  EXPECT_EQ(700u * 2048, ReadAllAndCompare(&source));
}

TEST_F(DeviceSourceTest, AppendableCdReadsItsPma) {
  InsertSessions(MediumPreset::kCdR, DiscFill::kAppendable, {{TrackContent{200, 2048, false, false}}});
  CDrive drive;
  ASSERT_TRUE(OpenDrive(&drive));
  CDeviceSource source(&drive);
  ASSERT_EQ(kHrOk, source.ReadLayout());
  EXPECT_GE(recorder_.CountCommands(0x43), 2u);  // TOC and PMA
  TraceEntry pma;
  ASSERT_TRUE(recorder_.LastCommand(0x43, &pma));
  EXPECT_EQ(3, pma.cdb[2] & 0x0F);
  EXPECT_EQ(200u * 2048, ReadAllAndCompare(&source));
}

TEST_F(DeviceSourceTest, DvdTracksAreDataExtentsWithOneSheetForOneTrack) {
  InsertSessions(MediumPreset::kDvdR, DiscFill::kComplete, {{TrackContent{700, 2048, false, false}}});
  CDrive drive;
  ASSERT_TRUE(OpenDrive(&drive));
  CDeviceSource source(&drive);
  ASSERT_EQ(kHrOk, source.ReadLayout());
  ASSERT_EQ(1u, source.Sessions().GetCount());
  ASSERT_EQ(1u, source.Sessions()[0].GetCount());
  EXPECT_EQ(700u, source.Sessions()[0][0].sectorCount);
  ASSERT_EQ(1u, source.CueSheets().GetCount());
  EXPECT_EQ(4u, source.CueSheets()[0].count);
  EXPECT_EQ(700u * 2048, ReadAllAndCompare(&source));
}

TEST_F(DeviceSourceTest, AppendableDvdSkipsItsBlankTrack) {
  InsertSessions(MediumPreset::kDvdR, DiscFill::kAppendable,
                 {{TrackContent{300, 2048, false, false}}, {TrackContent{100, 2048, false, false}}});
  CDrive drive;
  ASSERT_TRUE(OpenDrive(&drive));
  CDeviceSource source(&drive);
  ASSERT_EQ(kHrOk, source.ReadLayout());
  EXPECT_EQ(2u, source.Sessions().GetCount());
  EXPECT_EQ(0u, source.CueSheets().GetCount());
  EXPECT_EQ(400u * 2048, ReadAllAndCompare(&source));
}

TEST_F(DeviceSourceTest, LayoutFailures) {
  CDrive drive;
  // No medium.
  ASSERT_TRUE(drive.OpenDevice(kPath));
  {
    CDeviceSource source(&drive);
    EXPECT_EQ(kHrFail, source.ReadLayout());
    EXPECT_EQ(0u, source.Extents().GetCount());
  }
  // A blank disc has nothing to copy.
  Insert(MediumPreset::kCdR, DiscFill::kBlank);
  ASSERT_TRUE(OpenDrive(&drive));
  {
    CDeviceSource source(&drive);
    EXPECT_EQ(kHrFail, source.ReadLayout());
    EXPECT_EQ(0u, source.Sessions().GetCount());
  }
  // READ TRACK INFORMATION fails: the layout fails instead of taking the
  // track as empty audio at 0.
  InsertSessions(MediumPreset::kCdR, DiscFill::kComplete, {{TrackContent{100, 2048, false, false}}});
  ASSERT_TRUE(OpenDrive(&drive));
  {
    RecorderFault fault;
    fault.opcode = 0x52;
    fault.times = 0;
    fault.key = 3;
    fault.asc = 0x11;
    recorder_.AddFault(fault);
    CDeviceSource source(&drive);
    EXPECT_EQ(kHrFail, source.ReadLayout());
    EXPECT_EQ(0u, source.Extents().GetCount());
    EXPECT_EQ(0u, source.CueSheets().GetCount());
    recorder_.ClearFaults();
  }
  // The TOC cannot be read.
  {
    RecorderFault fault;
    fault.opcode = 0x43;
    fault.times = 0;
    recorder_.AddFault(fault);
    CDeviceSource source(&drive);
    EXPECT_EQ(kHrFail, source.ReadLayout());
    recorder_.ClearFaults();
  }
  // No drive at all.
  CDeviceSource none(nullptr);
  EXPECT_EQ(kHrFail, none.ReadLayout());
}

TEST_F(DeviceSourceTest, ReadFailuresDeliverNothing) {
  InsertSessions(MediumPreset::kCdR, DiscFill::kComplete, {{TrackContent{200, 2048, false, false}}});
  CDrive drive;
  ASSERT_TRUE(OpenDrive(&drive));
  CDeviceSource source(&drive);
  ASSERT_EQ(kHrOk, source.ReadLayout());
  ASSERT_EQ(kHrOk, source.Seek(0, kSeekStart, nullptr));
  std::vector<u8> chunk(32768);
  // Five failures in a row are retried away.
  RecorderFault fault;
  fault.opcode = 0x28;
  fault.times = 5;
  fault.key = 3;
  fault.asc = 0x11;
  u32 id = recorder_.AddFault(fault);
  u64 got = 0;
  EXPECT_EQ(kHrOk, source.Read(chunk.data(), chunk.size(), &got));
  EXPECT_EQ(32768u, got);
  EXPECT_EQ(5u, recorder_.FaultHits(id));
  // Six are not: nothing is delivered and the position stays.
  recorder_.ClearFaults();
  fault.times = 6;
  id = recorder_.AddFault(fault);
  u64 before = source.CurrentLba();
  got = 1;
  EXPECT_EQ(kHrFail, source.Read(chunk.data(), chunk.size(), &got));
  EXPECT_EQ(0u, got);
  EXPECT_EQ(before, source.CurrentLba());
  EXPECT_EQ(6u, recorder_.FaultHits(id));
  recorder_.ClearFaults();
  // A buffer smaller than one block cannot take anything: an error, not the end.
  EXPECT_EQ(kHrInvalidArg, source.Read(chunk.data(), 100, &got));
  EXPECT_EQ(0u, got);
}

TEST_F(DeviceSourceTest, ReleasedDriveIsForgotten) {
  InsertSessions(MediumPreset::kCdR, DiscFill::kComplete, {{TrackContent{50, 2048, false, false}}});
  CDrive drive;
  ASSERT_TRUE(OpenDrive(&drive));
  ASSERT_TRUE(drive.LockVolume());
  drive.PreventAllowMediumRemoval(true);
  CDeviceSource source(&drive);
  ASSERT_EQ(kHrOk, source.ReadLayout());
  EXPECT_EQ(kHrOk, source.ReleaseDrive());
  EXPECT_EQ(nullptr, source.Drive());
  EXPECT_FALSE(drive.IsOpen());
  EXPECT_FALSE(io_.VolumeLocked(u'E'));
  EXPECT_FALSE(recorder_.RemovalPrevented());
  u8 chunk[2048];
  u64 got = 1;
  EXPECT_EQ(kHrFail, source.Read(chunk, sizeof(chunk), &got));
  EXPECT_EQ(0u, got);
  // A source over the destination drive itself leaves the drive alone.
  ASSERT_TRUE(OpenDrive(&drive));
  CDeviceSource borrowed(&drive, false);
  borrowed.Close();
  EXPECT_TRUE(drive.IsOpen());
  EXPECT_EQ(nullptr, borrowed.Drive());
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
  u64 size = 0;
  source.GetSize(&size);
  EXPECT_EQ(100u * 2048 + 30u * 2352, size);
  u64 at = 0;
  source.Seek(0, kSeekStart, &at);
  EXPECT_EQ(0u, at);
  source.Seek(120, kSeekStart, &at);
  EXPECT_EQ(250u, at);
  source.Seek(260, kSeekStart, &at);
  EXPECT_EQ(260u, at);
  u32 seeks = recorder_.CountCommands(0x2B);
  source.Seek(999, kSeekCurrent, &at);
  EXPECT_EQ(260u, at);
  EXPECT_EQ(seeks + 1, recorder_.CountCommands(0x2B));
  source.Seek(5000, kSeekStart, &at);
  EXPECT_EQ(0u, at);
}

}  // namespace
