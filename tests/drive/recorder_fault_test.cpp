// Fault injection keyed by opcode, LBA and occurrence.
#include "recorder_test_fixture.h"

namespace {

class RecorderFaults : public RecorderEngineTest {};

TEST_F(RecorderFaults, SenseFaultFiresOnTheChosenOccurrenceAndLba) {
  Insert(MediumPreset::kDvdPlusRw, DiscFill::kComplete);
  RecorderFault fault;
  fault.opcode = 0x28;
  fault.lba = 32;
  fault.occurrence = 2;
  fault.times = 2;
  fault.key = 3;
  fault.asc = 0x11;
  fault.ascq = 0x00;
  u32 id = recorder_.AddFault(fault);
  EXPECT_TRUE(client_.Read(0, 16).Good());   // another LBA: not a match
  EXPECT_TRUE(client_.Read(32, 16).Good());  // first match
  ExpectSense(client_.Read(32, 16), 3, 0x11, 0x00);
  ExpectSense(client_.Read(32, 16), 3, 0x11, 0x00);
  EXPECT_TRUE(client_.Read(32, 16).Good());  // its two times are spent
  EXPECT_EQ(2u, recorder_.FaultHits(id));
  TraceEntry last;
  ASSERT_TRUE(recorder_.LastCommand(0x28, &last));
  EXPECT_FALSE(last.faulted);
  recorder_.ClearFaults();
  EXPECT_EQ(0u, recorder_.FaultHits(id));
}

TEST_F(RecorderFaults, TransportBusyRawSenseAndReplyFaults) {
  Insert(MediumPreset::kBdRe, DiscFill::kComplete);
  RecorderFault transport;
  transport.opcode = 0x00;
  transport.kind = FaultKind::kTransport;
  transport.transportError = 31;
  recorder_.AddFault(transport);
  RecorderReply r = client_.TestUnitReady();
  EXPECT_FALSE(r.outcome.transportOk);
  EXPECT_EQ(31u, r.outcome.transportError);

  RecorderFault busy;
  busy.opcode = 0x00;
  busy.kind = FaultKind::kBusy;
  recorder_.AddFault(busy);
  r = client_.TestUnitReady();
  EXPECT_TRUE(r.outcome.transportOk);
  EXPECT_EQ(0x08, r.outcome.status);
  EXPECT_EQ(0u, r.outcome.senseLength);

  RecorderFault raw;
  raw.opcode = 0x00;
  raw.kind = FaultKind::kRawSense;
  raw.bytes = {0x7F, 0, 0x05, 0, 0, 0, 0, 10, 0, 0, 0, 0, 0x24, 0};
  recorder_.AddFault(raw);
  r = client_.TestUnitReady();
  EXPECT_EQ(2, r.outcome.status);
  EXPECT_EQ(14u, r.outcome.senseLength);
  EXPECT_EQ(0x7F, r.outcome.sense[0]);

  RecorderFault reply;
  reply.opcode = 0x46;
  reply.kind = FaultKind::kReply;
  reply.bytes = {0, 0, 0xFF, 0xFC, 0, 0, 0x00, 0x43, 0x00, 0x00, 0x03, 0xF0};
  recorder_.AddFault(reply);
  r = client_.In({0x46, 0, 0, 0, 0, 0, 0, 0x08, 0x08, 0}, 2056);
  ASSERT_TRUE(r.Good());
  EXPECT_EQ(reply.bytes, r.data);
  // The drive answers normally again.
  EXPECT_TRUE(client_.TestUnitReady().Good());
  EXPECT_GT(client_.In({0x46, 0, 0, 0, 0, 0, 0, 0x08, 0x08, 0}, 2056).data.size(), 100u);
}

TEST_F(RecorderFaults, AnyCommandFaultThatNeverEnds) {
  Insert(MediumPreset::kCdR);
  RecorderFault fault;  // every command: becoming ready for ever
  fault.times = 0;
  fault.key = 2;
  fault.asc = 0x04;
  fault.ascq = 0x01;
  recorder_.AddFault(fault);
  for (int i = 0; i < 50; ++i) ExpectSense(client_.TestUnitReady(), 2, 0x04, 0x01);
  ExpectSense(client_.DiscInformation(), 2, 0x04, 0x01);
  std::vector<TraceEntry> trace = recorder_.Trace();
  ASSERT_FALSE(trace.empty());
  EXPECT_TRUE(trace.back().faulted);
  EXPECT_EQ(0x04, trace.back().asc);
}

TEST_F(RecorderFaults, TraceKeepsCommandsInOrderWithTheirData) {
  Insert(MediumPreset::kDvdR);
  recorder_.ClearTrace();
  ASSERT_TRUE(client_.SetWriteParameters(0, 5, 8, 3).Good());
  ASSERT_TRUE(client_.Write(0, 1, PatternBlocks(0, 1)).Good());
  std::vector<TraceEntry> trace = recorder_.Trace();
  ASSERT_EQ(3u, trace.size());
  EXPECT_EQ(0x5A, trace[0].Opcode());
  EXPECT_EQ(0x55, trace[1].Opcode());
  EXPECT_EQ(0x2A, trace[2].Opcode());
  EXPECT_LT(trace[0].sequence, trace[1].sequence);
  ASSERT_EQ(60u, trace[1].dataOut.size());
  EXPECT_EQ(0x05, trace[1].dataOut[8]);
  EXPECT_TRUE(trace[2].dataOut.empty());  // written data lives in the sector store
  EXPECT_EQ(1u, recorder_.CountCommands(0x2A));
  std::vector<u8> page;
  ASSERT_TRUE(recorder_.ModePage(0x05, &page));
  EXPECT_EQ(std::vector<u8>(trace[1].dataOut.begin() + 8, trace[1].dataOut.end()), page);
}

}  // namespace
