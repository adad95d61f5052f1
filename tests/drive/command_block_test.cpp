// The command blocks of the drive operations against the simulated
// recorder's decoding: each operation's block is accepted and read by the
// recorder as the values the operation was given, and the same block with
// a reserved bit set, or with one of its fields one byte (or bit) off its
// place, is refused as a drive refuses it.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "drive/drive.h"
#include "drive/mmc/cue_sheet.h"
#include "runtime/byte_order.h"
#include "support/recorder_cdb_layout.h"
#include "support/recorder_client.h"
#include "support/recorder_fixture.h"

namespace {

using Fields = std::vector<std::pair<std::string, u32>>;

struct BuilderRow {
  const char* name;
  MediumPreset preset;
  DiscFill fill;
  // What the drive must have been told before the command (may be null).
  std::function<void(CRecorderClient&)> prepare;
  // Sends the command through one drive operation; `buffer` holds what it
  // sent (data out) or received.
  std::function<void(CDrive&, CRecorderClient&, std::vector<u8>&)> send;
  // The fields of the block that are not zero, with their values.
  Fields fields;
  // Moves that put a field wholly onto the bits of other fields, giving
  // another valid command: only the decoded values above tell them.
  std::vector<std::string> sameShape;
};

bool Refused(const RecorderReply& r) { return !r.outcome.transportOk || (r.outcome.status == 2 && r.Key() == 5); }

// A recorder of its own holding the row's medium, ready, its UNIT ATTENTION
// taken, and told what the row needs.
std::unique_ptr<CSimulatedRecorder> Prepared(const BuilderRow& row) {
  std::unique_ptr<CSimulatedRecorder> recorder(new CSimulatedRecorder());
  MediumOptions options;
  options.preset = row.preset;
  options.fill = row.fill;
  recorder->InsertMedium(options);
  recorder->MakeReady();
  CRecorderClient client(*recorder);
  for (int i = 0; i < 4 && !client.TestUnitReady().Good(); ++i) {
  }
  if (row.prepare) row.prepare(client);
  return recorder;
}

// The block sent as the traced request was: same direction and transfer
// length; data out is the row's buffer again, data in a fresh buffer.
RecorderReply Replay(const BuilderRow& row, const std::vector<u8>& cdb, const TraceEntry& sent,
                     const std::vector<u8>& buffer) {
  std::unique_ptr<CSimulatedRecorder> recorder = Prepared(row);
  std::vector<u8> data = sent.direction == 0 ? buffer : std::vector<u8>(sent.transferLength, 0);
  data.resize(sent.transferLength);
  return CRecorderClient(*recorder).Raw(cdb, sent.direction, data.empty() ? nullptr : data.data(),
                                        sent.transferLength);
}

// The block with one field moved by whole bytes or, for a one-bit field, by
// one bit; the bits it leaves are cleared, those it lands on replaced.
std::vector<u8> Moved(const std::vector<u8>& cdb, const CdbField& f, int byteShift, int bitShift) {
  std::vector<u8> out = cdb;
  const u32 to = f.byte + byteShift;
  if (f.bytes > 1) {
    for (u32 i = 0; i < f.bytes; ++i) out[f.byte + i] = 0;
    for (u32 i = 0; i < f.bytes; ++i) out[to + i] = cdb[f.byte + i];
    return out;
  }
  const u8 bits = cdb[f.byte] & f.mask;
  const u8 movedMask = static_cast<u8>(bitShift > 0 ? f.mask << 1 : bitShift < 0 ? f.mask >> 1 : f.mask);
  const u8 movedBits = static_cast<u8>(bitShift > 0 ? bits << 1 : bitShift < 0 ? bits >> 1 : bits);
  out[f.byte] = static_cast<u8>(out[f.byte] & ~f.mask);
  out[to] = static_cast<u8>((out[to] & ~movedMask) | movedBits);
  return out;
}

bool OneBit(u8 mask) { return mask && !(mask & (mask - 1)); }

std::vector<u8> Zeros(u32 n) { return std::vector<u8>(n, 0); }

// The page 05 list of MODE SELECT made from the drive's current page.
std::vector<u8> WriteParametersList(CRecorderClient& c) {
  std::vector<u8> list = c.ModeSense(0x05, 0, 60).data;
  list.resize(60, 0);
  list[0] = list[1] = 0;
  list[8] &= 0x3F;
  return list;
}

// Track-at-once Mode 1 written on a blank CD-R: one block in track 1.
void OneBlockInTrack1(CRecorderClient& c) {
  c.SetWriteParameters(1, 4, 8, 3);
  c.Write(0, 1, PatternBlocks(0, 1));
}

std::vector<BuilderRow> Rows() {
  using P = MediumPreset;
  using D = DiscFill;
  return {
      {"TEST UNIT READY", P::kCdR, D::kComplete, nullptr,
       [](CDrive& d, CRecorderClient&, std::vector<u8>&) { d.TestUnitReady(); }, {}, {}},
      {"REQUEST SENSE", P::kCdR, D::kComplete, nullptr,
       [](CDrive& d, CRecorderClient&, std::vector<u8>& b) { b = Zeros(252); d.RequestSense(b.data()); },
       {{"ALLOCATION LENGTH", 252}}, {}},
      {"FORMAT UNIT", P::kDvdPlusRw, D::kBlank, nullptr,
       [](CDrive& d, CRecorderClient&, std::vector<u8>& b) {
         b = {0, 0x02, 0, 8, 0x00, 0x23, 0x05, 0x40, 0x26 << 2, 0, 0, 0};  // background format, immediate
         d.FormatUnit(b.data());
       },
       {{"FMTDATA", 1}, {"FORMAT CODE", 1}}, {}},
      {"INQUIRY", P::kCdR, D::kComplete, nullptr,
       [](CDrive& d, CRecorderClient&, std::vector<u8>& b) { b = Zeros(200); d.Inquiry(true, 0x80, b.data(), 200); },
       {{"EVPD", 1}, {"PAGE CODE", 0x80}, {"ALLOCATION LENGTH", 200}}, {}},
      {"START STOP UNIT eject", P::kCdR, D::kComplete, nullptr,
       [](CDrive& d, CRecorderClient&, std::vector<u8>&) { d.StartStopUnit(2, 0, true); },
       {{"IMMED", 1}, {"LOEJ", 1}},
       // LoEj one bit down is the Start bit: a start without loading.
       {"LOEJ down"}},
      {"START STOP UNIT power condition", P::kCdR, D::kComplete, nullptr,
       [](CDrive& d, CRecorderClient&, std::vector<u8>&) { d.StartStopUnit(0, 1, false); },
       {{"POWER CONDITION", 1}}, {}},
      {"PREVENT ALLOW MEDIUM REMOVAL", P::kCdR, D::kComplete, nullptr,
       [](CDrive& d, CRecorderClient&, std::vector<u8>&) { d.PreventAllowMediumRemoval(true); }, {{"PREVENT", 1}},
       {}},
      {"READ FORMAT CAPACITIES", P::kDvdPlusRw, D::kComplete, nullptr,
       [](CDrive& d, CRecorderClient&, std::vector<u8>& b) { b = Zeros(144); ReadFormatCapacities(&d, b.data()); },
       {{"ALLOCATION LENGTH", 144}}, {}},
      {"READ CAPACITY", P::kCdR, D::kComplete, nullptr,
       [](CDrive& d, CRecorderClient&, std::vector<u8>& b) { b = Zeros(8); d.ReadCapacity(b.data()); }, {}, {}},
      {"READ(10)", P::kCdR, D::kComplete, nullptr,
       [](CDrive& d, CRecorderClient&, std::vector<u8>& b) { b = Zeros(2048); d.Read(999, 1, b.data(), true); },
       {{"FUA", 1}, {"LBA", 999}, {"TRANSFER LENGTH", 1}}, {}},
      {"WRITE(10)", P::kDvdPlusRw, D::kComplete, nullptr,
       [](CDrive& d, CRecorderClient&, std::vector<u8>& b) {
         b = PatternBlocks(0x112233, 16, 5);
         d.Write(0x112233, 16, b.data(), 2048, true);
       },
       {{"FUA", 1}, {"LBA", 0x112233}, {"TRANSFER LENGTH", 16}}, {}},
      {"SEEK(10)", P::kCdR, D::kComplete, nullptr,
       [](CDrive& d, CRecorderClient&, std::vector<u8>&) { d.Seek(0x50101); }, {{"LBA", 0x50101}}, {}},
      {"SYNCHRONIZE CACHE", P::kDvdPlusRw, D::kComplete, nullptr,
       [](CDrive& d, CRecorderClient&, std::vector<u8>&) { d.SynchronizeCache(true, 0x112233, 0x0102); },
       {{"IMMED", 1}, {"LBA", 0x112233}, {"NUMBER OF BLOCKS", 0x0102}}, {}},
      {"READ TOC", P::kCdR, D::kComplete, nullptr,
       [](CDrive& d, CRecorderClient&, std::vector<u8>& b) { b = Zeros(804); d.ReadTocPmaAtip(true, 0, 1, b.data(), 804); },
       {{"MSF", 1}, {"TRACK/SESSION NUMBER", 1}, {"ALLOCATION LENGTH", 804}}, {}},
      {"READ ATIP", P::kCdRw, D::kBlank, nullptr,
       [](CDrive& d, CRecorderClient&, std::vector<u8>& b) { b = Zeros(32); d.ReadTocPmaAtip(false, 4, 0, b.data(), 32); },
       {{"FORMAT", 4}, {"ALLOCATION LENGTH", 32}}, {}},
      {"GET CONFIGURATION", P::kCdR, D::kComplete, nullptr,
       [](CDrive& d, CRecorderClient&, std::vector<u8>& b) {
         b = Zeros(2056);
         d.GetConfiguration(2, 0xFF07, b.data(), 2056);
       },
       {{"RT", 2}, {"STARTING FEATURE NUMBER", 0xFF07}, {"ALLOCATION LENGTH", 2056}},
       // RT one byte later is the starting feature's high byte.
       {"RT later"}},
      {"READ DISC INFORMATION", P::kCdR, D::kComplete, nullptr,
       [](CDrive& d, CRecorderClient&, std::vector<u8>& b) { b = Zeros(34); d.ReadDiscInformation(0, b.data(), 34); },
       {{"ALLOCATION LENGTH", 34}}, {}},
      {"READ TRACK INFORMATION by LBA", P::kCdR, D::kComplete, nullptr,
       [](CDrive& d, CRecorderClient&, std::vector<u8>& b) { b = Zeros(40); d.ReadTrackInformation(b.data(), 999, 0); },
       {{"LBA/TRACK/SESSION NUMBER", 999}, {"ALLOCATION LENGTH", 40}}, {}},
      {"READ TRACK INFORMATION by track", P::kCdR, D::kComplete, nullptr,
       [](CDrive& d, CRecorderClient&, std::vector<u8>& b) { b = Zeros(40); d.ReadTrackInformation(b.data(), 1, 1); },
       {{"ADDRESS/NUMBER TYPE", 1}, {"LBA/TRACK/SESSION NUMBER", 1}, {"ALLOCATION LENGTH", 40}},
       // One byte earlier the number's zero high byte replaces the type:
       // LBA 256, which lies in the track.
       {"LBA/TRACK/SESSION NUMBER earlier"}},
      {"RESERVE TRACK by size", P::kDvdR, D::kBlank, nullptr,
       [](CDrive& d, CRecorderClient&, std::vector<u8>&) { d.ReserveTrack(false, 0x12345); },
       {{"RESERVATION SIZE", 0x12345}}, {}},
      {"RESERVE TRACK to an address", P::kBdR, D::kBlank, nullptr,
       [](CDrive& d, CRecorderClient&, std::vector<u8>&) { d.ReserveTrack(true, 0x112233); },
       {{"ARSV", 1}, {"LBA", 0x112233}}, {}},
      {"SEND OPC INFORMATION", P::kCdR, D::kBlank, nullptr,
       [](CDrive& d, CRecorderClient&, std::vector<u8>&) { d.SendOpcInformation(nullptr, 0); }, {{"DOOPC", 1}}, {}},
      {"MODE SELECT(10)", P::kCdR, D::kBlank, nullptr,
       [](CDrive& d, CRecorderClient& c, std::vector<u8>& b) {
         b = WriteParametersList(c);
         d.ModeSelect(false, b.data(), 60);
       },
       {{"PF", 1}, {"PARAMETER LIST LENGTH", 60}}, {}},
      {"MODE SENSE(10)", P::kCdR, D::kBlank, nullptr,
       [](CDrive& d, CRecorderClient&, std::vector<u8>& b) { b = Zeros(60); d.ModeSense(2, 0x05, 0, b.data(), 60); },
       {{"PC", 2}, {"PAGE CODE", 5}, {"ALLOCATION LENGTH", 60}}, {}},
      {"CLOSE TRACK", P::kCdR, D::kBlank, OneBlockInTrack1,
       [](CDrive& d, CRecorderClient&, std::vector<u8>&) { d.CloseTrackSession(false, 1, 1); },
       {{"CLOSE FUNCTION", 1}, {"TRACK/SESSION NUMBER", 1}}, {}},
      {"CLOSE SESSION", P::kCdR, D::kBlank, OneBlockInTrack1,
       [](CDrive& d, CRecorderClient&, std::vector<u8>&) { d.CloseTrackSession(true, 2, 0); },
       {{"IMMED", 1}, {"CLOSE FUNCTION", 2}}, {}},
      {"READ BUFFER CAPACITY", P::kCdR, D::kBlank, nullptr,
       [](CDrive& d, CRecorderClient&, std::vector<u8>& b) { b = Zeros(16); d.ReadBufferCapacity(true, b.data()); },
       {{"BLOCK", 1}, {"ALLOCATION LENGTH", 16}}, {}},
      {"SEND CUE SHEET", P::kCdR, D::kBlank, [](CRecorderClient& c) { c.SetWriteParameters(2, 4, 8, 0); },
       [](CDrive& d, CRecorderClient&, std::vector<u8>& b) {
         CueSheet sheet;
         std::memset(&sheet, 0, sizeof sheet);
         u8* leadIn = sheet.entries[sheet.count++];
         leadIn[0] = 0x41;
         leadIn[3] = 0x14;
         AppendCueSheetEntry(&sheet, 4, 1, 1, 0, 0x10, -150);
         AppendCueSheetEntry(&sheet, 4, 1, 1, 1, 0x10, 0);
         AppendCueSheetLeadOut(&sheet, 4, 1, 0x14, 1000);
         b.assign(&sheet.entries[0][0], &sheet.entries[0][0] + 32);
         d.SendCueSheet(b.data(), 32);
       },
       {{"CUE SHEET SIZE", 32}}, {}},
      {"BLANK", P::kCdRw, D::kComplete, nullptr,
       [](CDrive& d, CRecorderClient&, std::vector<u8>&) { d.Blank(true, 1, 0); },
       {{"IMMED", 1}, {"BLANKING TYPE", 1}}, {}},
      {"GET PERFORMANCE write speeds", P::kDvdPlusRw, D::kComplete, nullptr,
       [](CDrive& d, CRecorderClient&, std::vector<u8>& b) { b = Zeros(272); d.GetPerformance(0, 0, 16, 3, b.data(), 272); },
       {{"MAXIMUM NUMBER OF DESCRIPTORS", 16}, {"TYPE", 3}},
       // The type one byte earlier replaces the count's low byte and leaves
       // type 0: a request for three performance descriptors.
       {"TYPE earlier"}},
      {"GET PERFORMANCE from an address", P::kDvdPlusRw, D::kComplete, nullptr,
       [](CDrive& d, CRecorderClient&, std::vector<u8>& b) {
         b = Zeros(24);
         d.GetPerformance(0x04, 0x21234, 1, 0, b.data(), 24);
       },
       {{"DATA TYPE", 4}, {"STARTING LBA", 0x21234}, {"MAXIMUM NUMBER OF DESCRIPTORS", 1}}, {}},
      {"SET STREAMING", P::kDvdPlusRw, D::kComplete, nullptr,
       [](CDrive& d, CRecorderClient&, std::vector<u8>& b) {
         b = Zeros(28);
         WriteBigEndian32(&b[16], 1000);
         WriteBigEndian32(&b[24], 1000);
         CDrive::SetStreamingSizes(b.data(), 11080, 11080);
         d.SetStreaming(b.data());
       },
       {{"PARAMETER LIST LENGTH", 28}}, {}},
      {"SET CD SPEED", P::kCdR, D::kComplete, nullptr,
       [](CDrive& d, CRecorderClient&, std::vector<u8>&) { d.SetCdSpeed(true, 7056, 4234); },
       {{"ROTATION CONTROL", 1}, {"READ SPEED", 7056}, {"WRITE SPEED", 4234}},
       // The speeds and the rotation control lie side by side: moved, each
       // lands on the other fields and reads as other speeds.
       {"ROTATION CONTROL later", "READ SPEED later", "WRITE SPEED earlier"}},
      {"READ CD", P::kCdR, D::kComplete, nullptr,
       [](CDrive& d, CRecorderClient&, std::vector<u8>& b) { b = Zeros(2048); d.ReadCd(2, 999, 1, b.data(), true); },
       {{"EXPECTED SECTOR TYPE", 2}, {"DAP", 1}, {"LBA", 999}, {"TRANSFER LENGTH", 1}, {"USER DATA", 1}}, {}},
  };
}

class CommandBlockTest : public RecorderTest {
 protected:
  // The row's medium in E:, settled and prepared; sends the row's command
  // through a drive record and returns what the recorder saw.
  bool SendRow(const BuilderRow& row, std::vector<u8>* buffer, TraceEntry* sent) {
    CRecorderClient client(recorder_);
    recorder_.SetIdentity(DriveIdentity());
    client.In({0x1E, 0, 0, 0, 0, 0});  // removal allowed again
    recorder_.RemoveMedium();
    Insert(row.preset, row.fill);
    if (row.prepare) row.prepare(client);
    CDrive drive;
    if (!drive.OpenDevice(kPath)) return false;
    recorder_.ClearTrace();
    recorder_.ClearViolations();
    row.send(drive, client, *buffer);
    std::vector<TraceEntry> trace = recorder_.Trace();
    if (trace.empty()) return false;
    *sent = trace.back();
    return drive.LastCommandSucceeded() && ViolationText().empty();
  }
};

TEST_F(CommandBlockTest, EachOperationsBlockReadsAsItsArguments) {
  Attach();
  for (const BuilderRow& row : Rows()) {
    SCOPED_TRACE(row.name);
    std::vector<u8> buffer;
    TraceEntry sent;
    ASSERT_TRUE(SendRow(row, &buffer, &sent)) << ViolationText();
    std::vector<CdbField> decoded;
    ASSERT_TRUE(DecodeCdbFields(sent.cdb, sent.cdbLength, &decoded));
    Fields nonzero;
    for (const CdbField& f : decoded)
      if (f.value) nonzero.push_back({f.name, f.value});
    EXPECT_EQ(row.fields, nonzero);
    EXPECT_TRUE(CdbReservedBitsClear(sent.cdb, sent.cdbLength));
  }
}

TEST_F(CommandBlockTest, ReservedBitsAndMovedFieldsAreRefused) {
  Attach();
  for (const BuilderRow& row : Rows()) {
    SCOPED_TRACE(row.name);
    std::vector<u8> buffer;
    TraceEntry sent;
    ASSERT_TRUE(SendRow(row, &buffer, &sent)) << ViolationText();
    const u8 length = sent.cdbLength;
    const std::vector<u8> cdb(sent.cdb, sent.cdb + length);
    ASSERT_EQ("good", Answer(Replay(row, cdb, sent, buffer)));  // the replay itself is sound
    // Every bit no field covers, the control byte's included.
    for (u8 i = 1; i < length; ++i)
      for (u8 bit = 1; bit; bit = static_cast<u8>(bit << 1)) {
        if (CdbFieldBits(cdb.data(), length, i) & bit) continue;
        std::vector<u8> set = cdb;
        set[i] |= bit;
        EXPECT_EQ("5/24/00", Answer(Replay(row, set, sent, buffer))) << "byte " << int(i) << " bit " << int(bit);
      }
    // Every field with a value, one byte later or earlier (which is also
    // where a field written one byte wider or narrower ends up), and a
    // one-bit field one bit up or down.
    std::vector<CdbField> fields;
    ASSERT_TRUE(DecodeCdbFields(cdb.data(), length, &fields));
    for (const CdbField& f : fields) {
      if (!f.value) continue;
      struct Move {
        const char* name;
        int bytes, bits;
      } moves[] = {{"later", 1, 0}, {"earlier", -1, 0}, {"up", 0, 1}, {"down", 0, -1}};
      for (const Move& m : moves) {
        const int to = f.byte + m.bytes;
        if (to < 1 || to + f.bytes > length) continue;
        if (m.bits && (!OneBit(f.mask) || (m.bits > 0 ? f.mask == 0x80 : f.mask == 0x01))) continue;
        const std::string what = f.name + " " + m.name;
        bool same = false;
        for (const std::string& s : row.sameShape) same = same || s == what;
        if (same) continue;
        const RecorderReply r = Replay(row, Moved(cdb, f, m.bytes, m.bits), sent, buffer);
        EXPECT_TRUE(Refused(r)) << what << ": " << Answer(r);
      }
    }
  }
}

}  // namespace
