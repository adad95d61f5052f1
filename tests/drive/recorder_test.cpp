// The simulated recorder's strictness rules, one short script each: what a
// real drive refuses (and the system, for malformed requests), the cache
// that reaches the disc only when flushed, the write parameters, cue sheets,
// underrun, long operations and the faults tests inject. The job tests trust
// these rules; each script here is the proof that a rule holds.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "support/recorder_client.h"
#include "support/sparse_sector_store.h"
#include "support/virtual_clock.h"

namespace {

struct Rule {
  const char* name;
  MediumPreset preset;
  DiscFill fill;
  std::function<void(CSimulatedRecorder&, CRecorderClient&, CVirtualClock&)> script;
};

std::vector<u8> Cue(std::initializer_list<std::vector<u8>> entries) {
  std::vector<u8> out;
  for (const std::vector<u8>& e : entries) out.insert(out.end(), e.begin(), e.end());
  return out;
}

RecorderReply SendCue(CRecorderClient& c, const std::vector<u8>& sheet) {
  u32 n = static_cast<u32>(sheet.size());
  return c.Out({0x5D, 0, 0, 0, 0, 0, u8(n >> 16), u8(n >> 8), u8(n), 0}, sheet);
}

// Sets the session format (page byte 8) and BUFE on top of the last page.
RecorderReply PageBytes(CRecorderClient& c, u8 sessionFormat, bool bufe) {
  RecorderReply current = c.ModeSense(0x05, 0, 60);
  std::vector<u8> list = current.data;
  list.resize(60, 0);
  list[0] = list[1] = 0;
  list[16] = sessionFormat;
  list[10] = static_cast<u8>((list[10] & ~0x40) | (bufe ? 0x40 : 0));
  return c.Out({0x55, 0x10, 0, 0, 0, 0, 0, 0, 60, 0}, list);
}

const Rule kRules[] = {
    {"RequestsThatBreakTheCommandRulesAreRefused", MediumPreset::kDvdR, DiscFill::kBlank,
     [](CSimulatedRecorder& r, CRecorderClient& c, CVirtualClock&) {
       std::vector<u8> buffer(200);
       EXPECT_EQ("refused", Answer(c.Raw({0x25, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 1, buffer.data(), 8)));  // 12 bytes
       EXPECT_EQ("refused", Answer(c.Raw({0x51, 0, 0, 0, 0, 0, 0, 0, 34, 0}, 0, buffer.data(), 34)));  // direction
       EXPECT_EQ("refused", Answer(c.Raw({0x51, 0, 0, 0, 0, 0, 0, 0, 200, 0}, 1, buffer.data(), 34)));  // allocation
       EXPECT_EQ("refused", Answer(c.Raw({0x00, 0, 0, 0, 0, 0}, 1, buffer.data(), 16)));  // data on TUR
       EXPECT_EQ("refused", Answer(c.Write(0, 2, std::vector<u8>(2049))));  // not whole blocks
       EXPECT_EQ("5/20/00", Answer(c.In({0x5F, 0, 0, 0, 0, 0, 0, 0, 0, 0})));  // unknown opcode
       EXPECT_EQ(5u, r.Violations().size());
     }},
    {"CommandFieldsAreDecodedAsADriveDecodesThem", MediumPreset::kDvdPlusRw, DiscFill::kComplete,
     [](CSimulatedRecorder& r, CRecorderClient& c, CVirtualClock&) {
       std::vector<u8> buffer(104);
       // An allocation length other than the buffer: the field is misplaced.
       EXPECT_EQ("refused", Answer(c.Raw({0x51, 0, 0, 0, 0, 0, 0, 0, 20, 0}, 1, buffer.data(), 34)));
       EXPECT_EQ(1u, r.Violations().size());
       EXPECT_EQ("5/24/00", Answer(c.In({0x00, 0, 0, 0, 0, 0x01})));                   // control byte
       EXPECT_EQ("5/24/00", Answer(c.In({0x28, 0x10, 0, 0, 0, 3, 0, 0, 1, 0}, 2048)));  // DPO is not implemented
       EXPECT_EQ("5/24/00", Answer(c.In({0xBB, 0x02, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0})));  // rotation 2
       const u32 end = r.CapacityBlocks();
       EXPECT_EQ("5/21/00", Answer(c.In({0x35, 0, u8(end >> 24), u8(end >> 16), u8(end >> 8), u8(end + 1), 0, 0, 0, 0})));
       EXPECT_EQ("good", Answer(c.In({0x35, 0, u8(end >> 24), u8(end >> 16), u8(end >> 8), u8(end), 0, 0, 0, 0})));
       EXPECT_EQ("5/21/00", Answer(c.In({0xAC, 0, u8(end >> 24), u8(end >> 16), u8(end >> 8), u8(end), 0, 0, 0, 1, 0, 0}, 24)));
       // FUA: the blocks reach the disc without a flush, the cache is passed.
       std::vector<u8> sector;
       ASSERT_TRUE(r.WriteCacheEnabled());
       ASSERT_EQ("good", Answer(c.Out({0x2A, 0x08, 0, 0, 0, 32, 0, 0, 16, 0}, PatternBlocks(32, 16, 1))));
       ASSERT_TRUE(r.ReadStoredSector(40, &sector));
       EXPECT_EQ(PatternBlocks(40, 1, 1), sector);
       ASSERT_EQ("good", Answer(c.Write(48, 16, PatternBlocks(48, 16, 1))));
       EXPECT_TRUE(!r.ReadStoredSector(56, &sector) || sector != PatternBlocks(56, 1, 1));  // still cached
       // DBD: the page without the block descriptors the drive gives.
       DriveIdentity id;
       id.modeBlockDescriptorBytes = 8;
       r.SetIdentity(id);
       EXPECT_EQ(8, c.ModeSense(0x2A, 0, 104).data.at(7));
       RecorderReply bare = c.In({0x5A, 0x08, 0x2A, 0, 0, 0, 0, 0, 104, 0}, 104);
       EXPECT_EQ(0, bare.data.at(7));
       EXPECT_EQ(0x2A, bare.data.at(8));
     }},
    {"SequentialMediaAreWrittenOnlyAtTheNextWritableAddress", MediumPreset::kDvdPlusR, DiscFill::kBlank,
     [](CSimulatedRecorder&, CRecorderClient& c, CVirtualClock&) {
       EXPECT_EQ("5/21/02", Answer(c.Write(16, 16, PatternBlocks(16, 16))));
       EXPECT_EQ("good", Answer(c.Write(0, 16, PatternBlocks(0, 16))));
       EXPECT_EQ("5/21/02", Answer(c.Write(0, 16, PatternBlocks(0, 16))));
       RecorderReply info = c.TrackInformation(1);
       EXPECT_EQ(1, info.data.at(7) & 1);
       EXPECT_EQ(16, info.data.at(15));
     }},
    {"WriteOnceMediaTakeNoWriteBeforeTheirWriteParameters", MediumPreset::kCdR, DiscFill::kBlank,
     [](CSimulatedRecorder&, CRecorderClient& c, CVirtualClock&) {
       EXPECT_EQ("5/2C/00", Answer(c.Write(0, 1, PatternBlocks(0, 1))));
       ASSERT_EQ("good", Answer(c.SetWriteParameters(1, 4, 8, 0)));
       EXPECT_EQ("good", Answer(c.Write(0, 1, PatternBlocks(0, 1))));
     }},
    {"MediaWithoutUseForPage05RefuseIt", MediumPreset::kDvdPlusRw, DiscFill::kComplete,
     [](CSimulatedRecorder&, CRecorderClient& c, CVirtualClock&) {
       EXPECT_EQ("5/26/00", Answer(c.SetWriteParameters(0, 5, 8, 0)));
     }},
    {"TrackModeBlockTypeAndSessionFormatMustFit", MediumPreset::kCdR, DiscFill::kBlank,
     [](CSimulatedRecorder&, CRecorderClient& c, CVirtualClock&) {
       ASSERT_EQ("good", Answer(c.SetWriteParameters(1, 0, 8, 0)));  // audio track, Mode 1 blocks
       EXPECT_EQ("5/64/00", Answer(c.Write(0, 1, PatternBlocks(0, 1))));
       ASSERT_EQ("good", Answer(c.SetWriteParameters(1, 4, 10, 0)));  // Mode 2 in a CD-ROM session
       EXPECT_EQ("5/64/00", Answer(c.Write(0, 1, PatternBlocks(0, 1))));
       ASSERT_EQ("good", Answer(PageBytes(c, 0x20, true)));
       EXPECT_EQ("good", Answer(c.Write(0, 1, PatternBlocks(0, 1))));
     }},
    {"DvdMinusDiscAtOnceNeedsAReservation", MediumPreset::kDvdR, DiscFill::kBlank,
     [](CSimulatedRecorder& r, CRecorderClient& c, CVirtualClock&) {
       ASSERT_EQ("good", Answer(c.SetWriteParameters(2, 5, 8, 0)));
       EXPECT_EQ("5/2C/00", Answer(c.Write(0, 16, PatternBlocks(0, 16))));
       ASSERT_EQ("good", Answer(c.ReserveTrack(30)));  // rounded up to 32 blocks
       EXPECT_EQ("good", Answer(c.Write(0, 16, PatternBlocks(0, 16))));
       EXPECT_EQ("good", Answer(c.CloseTrackSession(2, 0)));
       EXPECT_TRUE(r.Finalized());
     }},
    {"CueSheetsAreCheckedBeforeDiscAtOnce", MediumPreset::kCdR, DiscFill::kBlank,
     [](CSimulatedRecorder& r, CRecorderClient& c, CVirtualClock&) {
       ASSERT_EQ("good", Answer(c.SetWriteParameters(2, 4, 8, 0)));
       EXPECT_EQ("5/2C/00", Answer(c.Write(static_cast<u32>(-150), 1, PatternBlocks(0, 1))));  // no cue sheet yet
       std::vector<u8> in = {0x41, 0, 0, 0x14, 0, 0, 0, 0}, i0 = {0x41, 1, 0, 0x10, 0, 0, 0, 0};
       std::vector<u8> i1 = {0x41, 1, 1, 0x10, 0, 0, 2, 0};
       EXPECT_EQ("5/26/00", Answer(SendCue(c, Cue({in, i0, i1, {0x41, 0xAA, 1, 0x14, 0, 0, 5, 0}}))));  // 3 s
       EXPECT_EQ("5/26/00", Answer(SendCue(c, Cue({in, i0, {0x41, 1, 2, 0x10, 0, 0, 2, 0}, {0x41, 0xAA, 1, 0x14, 0, 0, 9, 0}}))));
       EXPECT_EQ("5/26/00", Answer(SendCue(c, Cue({in, i0, {0x41, 1, 1, 0x20, 0, 0, 2, 0}, {0x41, 0xAA, 1, 0x14, 0, 0, 9, 0}}))));
       ASSERT_EQ("good", Answer(SendCue(c, Cue({in, i0, i1, {0x41, 0xAA, 1, 0x14, 0, 0, 6, 0}}))));
       EXPECT_EQ("5/21/02", Answer(c.Write(0, 1, PatternBlocks(0, 1))));  // the pregap comes first
       EXPECT_EQ("good", Answer(c.Write(static_cast<u32>(-150), 150, std::vector<u8>(150 * 2048))));
       EXPECT_EQ("good", Answer(c.Write(0, 300, PatternBlocks(0, 300))));
       EXPECT_EQ("good", Answer(c.SynchronizeCache()));
       EXPECT_TRUE(r.Finalized());
     }},
    {"WrittenBlocksReachTheDiscOnlyWhenFlushed", MediumPreset::kDvdPlusR, DiscFill::kBlank,
     [](CSimulatedRecorder& r, CRecorderClient& c, CVirtualClock&) {
       std::vector<u8> sector;
       ASSERT_EQ("good", Answer(c.Write(0, 16, PatternBlocks(0, 16))));
       EXPECT_FALSE(r.ReadStoredSector(3, &sector));  // still in the drive's cache
       RecorderReply read = c.Read(3, 1);
       EXPECT_EQ(PatternBlocks(3, 1), read.data);      // the host reads it all the same
       ASSERT_EQ("good", Answer(c.SynchronizeCache()));
       EXPECT_TRUE(r.ReadStoredSector(3, &sector));
       ASSERT_EQ("good", Answer(c.Write(16, 16, PatternBlocks(16, 16))));
       EXPECT_TRUE(r.PressEject());                     // what was not flushed is lost
       EXPECT_FALSE(r.ReadStoredSector(20, &sector));
     }},
    {"WithoutBufeAStalledHostLosesTheStream", MediumPreset::kCdR, DiscFill::kBlank,
     [](CSimulatedRecorder&, CRecorderClient& c, CVirtualClock& clock) {
       ASSERT_EQ("good", Answer(c.SetWriteParameters(1, 4, 8, 0)));
       ASSERT_EQ("good", Answer(PageBytes(c, 0, false)));
       ASSERT_EQ("good", Answer(c.Write(0, 16, PatternBlocks(0, 16))));
       clock.Advance(100);  // shorter than the buffer lasts
       ASSERT_EQ("good", Answer(c.Write(16, 16, PatternBlocks(16, 16))));
       clock.Advance(60000);
       EXPECT_EQ("3/0C/09", Answer(c.Write(32, 16, PatternBlocks(32, 16))));
       EXPECT_EQ("3/0C/09", Answer(c.Write(32, 16, PatternBlocks(32, 16))));  // the track cannot go on
     }},
    {"WithBufeTheDriveWaits", MediumPreset::kCdR, DiscFill::kBlank,
     [](CSimulatedRecorder&, CRecorderClient& c, CVirtualClock& clock) {
       ASSERT_EQ("good", Answer(c.SetWriteParameters(1, 4, 8, 0)));
       ASSERT_EQ("good", Answer(PageBytes(c, 0, true)));
       ASSERT_EQ("good", Answer(c.Write(0, 16, PatternBlocks(0, 16))));
       clock.Advance(60000);
       EXPECT_EQ("good", Answer(c.Write(16, 16, PatternBlocks(16, 16))));
     }},
    {"RestrictedOverwriteTakesWholeEccBlocksInItsFormattedArea", MediumPreset::kDvdRwRestricted,
     DiscFill::kAppendable, [](CSimulatedRecorder&, CRecorderClient& c, CVirtualClock&) {
       EXPECT_EQ("5/21/02", Answer(c.Write(8, 16, PatternBlocks(8, 16))));
       EXPECT_EQ("5/21/02", Answer(c.Write(1024, 16, PatternBlocks(1024, 16))));
       EXPECT_EQ("good", Answer(c.Write(32, 16, PatternBlocks(32, 16))));
     }},
    {"PressedMediaRefuseWritingAndErasing", MediumPreset::kDvdRom, DiscFill::kComplete,
     [](CSimulatedRecorder&, CRecorderClient& c, CVirtualClock&) {
       EXPECT_EQ("5/30/05", Answer(c.Write(0, 1, PatternBlocks(0, 1))));
       EXPECT_EQ("5/30/05", Answer(c.In({0xA1, 0x11, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0})));
     }},
    {"FormatListMustBeTheLengthItsHeaderSays", MediumPreset::kDvdRwRestricted, DiscFill::kComplete,
     [](CSimulatedRecorder&, CRecorderClient& c, CVirtualClock&) {
       std::vector<u8> list = {0, 0x02, 0, 8, 0, 0, 0, 0, 0x15 << 2, 0, 0, 0x10};
       std::vector<u8> padded = list;
       padded.resize(16, 0);
       EXPECT_EQ("5/1A/00", Answer(c.Out({0x04, 0x11, 0, 0, 0, 0}, padded)));
       EXPECT_EQ("good", Answer(c.Out({0x04, 0x11, 0, 0, 0, 0}, list)));
     }},
    {"ImmediateOperationsReportProgressAndTheirDeferredError", MediumPreset::kCdRw, DiscFill::kComplete,
     [](CSimulatedRecorder& r, CRecorderClient& c, CVirtualClock& clock) {
       RecorderFault deferred;
       deferred.opcode = 0xA1;
       deferred.kind = FaultKind::kDeferred;
       deferred.key = 3;
       deferred.asc = 0x0C;
       r.AddFault(deferred);
       ASSERT_EQ("good", Answer(c.In({0xA1, 0x11, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0})));
       clock.Advance(1000);
       RecorderReply busy = c.TestUnitReady();
       EXPECT_EQ("2/04/07", Answer(busy));
       EXPECT_GT(busy.Progress(), 0);
       clock.Advance(60000);
       RecorderReply after = c.TestUnitReady();
       EXPECT_EQ("3/0C/00", Answer(after));
       EXPECT_EQ(0x71, after.ResponseCode());
       EXPECT_EQ("good", Answer(c.TestUnitReady()));
     }},
    {"CommandsLongerThanTheirTimeOutFailInTheSystem", MediumPreset::kCdRw, DiscFill::kComplete,
     [](CSimulatedRecorder& r, CRecorderClient& c, CVirtualClock&) {
       RecorderTimings t;
       t.blankFullMs = 200000;
       r.SetTimings(t);
       EXPECT_EQ("refused", Answer(c.In({0xA1, 0x00, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 0, 120)));
       EXPECT_TRUE(r.LongOperationRunning());
     }},
    {"FaultsFireOnTheirOccurrenceAndTheDriveCanStayNotReady", MediumPreset::kCdR, DiscFill::kComplete,
     [](CSimulatedRecorder& r, CRecorderClient& c, CVirtualClock&) {
       RecorderFault third;
       third.opcode = 0x28;
       third.occurrence = 3;
       third.lba = 5;
       u32 id = r.AddFault(third);
       RecorderFault stuck;
       stuck.opcode = 0x51;
       stuck.after = 0x43;
       stuck.kind = FaultKind::kStuck;
       r.AddFault(stuck);
       EXPECT_EQ("good", Answer(c.Read(5, 1)));
       EXPECT_EQ("good", Answer(c.Read(6, 1)));
       EXPECT_EQ("good", Answer(c.Read(5, 1)));
       EXPECT_EQ("4/44/00", Answer(c.Read(5, 1)));  // the third read of block 5
       EXPECT_EQ(1u, r.FaultHits(id));
       EXPECT_EQ("good", Answer(c.DiscInformation()));  // not armed before READ TOC
       EXPECT_EQ("good", Answer(c.In({0x43, 0, 0, 0, 0, 0, 0, 0, 12, 0}, 12)));
       EXPECT_EQ("2/04/01", Answer(c.DiscInformation()));
       EXPECT_EQ("2/04/01", Answer(c.TestUnitReady()));
       EXPECT_EQ("good", Answer(c.In({0x1E, 0, 0, 0, 0, 0})));  // removal works on a drive not ready
     }},
};

void PrintTo(const Rule& rule, std::ostream* out) { *out << rule.name; }

class RecorderRules : public ::testing::TestWithParam<Rule> {};

TEST_P(RecorderRules, Hold) {
  CVirtualClock clock;
  CInstalledClock installed(clock);
  CSimulatedRecorder recorder;
  CRecorderClient client(recorder);
  MediumOptions medium;
  medium.preset = GetParam().preset;
  medium.fill = GetParam().fill;
  recorder.InsertMedium(medium);
  recorder.MakeReady();
  ASSERT_EQ("6/28/00", Answer(client.TestUnitReady()));
  GetParam().script(recorder, client, clock);
}

INSTANTIATE_TEST_SUITE_P(Recorder, RecorderRules, ::testing::ValuesIn(kRules),
                         [](const ::testing::TestParamInfo<Rule>& info) { return std::string(info.param.name); });

TEST(SparseSectorStore, KeepsDataAndSizesButNotZeroSectors) {
  CSparseSectorStore store;
  std::vector<u8> data(2352, 7), zeros(2048, 0), out;
  store.Put(10, data.data(), 2352);
  store.Put(11, zeros.data(), 2048);
  EXPECT_TRUE(store.Get(10, &out));
  EXPECT_EQ(data, out);
  EXPECT_TRUE(store.Get(11, &out));
  EXPECT_EQ(zeros, out);
  EXPECT_EQ(1u, store.StoredCount());
  EXPECT_FALSE(store.Written(12));
}

}  // namespace
