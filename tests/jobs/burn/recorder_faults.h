// Faults for the simulated recorder, each built in one line.
#pragma once
#include <utility>
#include <vector>

#include "support/simulated_recorder.h"

// A CHECK CONDITION with the given sense on `opcode`; `times` 0 answers
// every time, `lba` -1 matches any address.
inline RecorderFault SenseFault(i32 opcode, u8 key, u8 asc, u8 ascq = 0, u32 times = 1, i64 lba = -1) {
  RecorderFault fault;
  fault.opcode = opcode;
  fault.key = key;
  fault.asc = asc;
  fault.ascq = ascq;
  fault.times = times;
  fault.lba = lba;
  return fault;
}

// The request fails in transport on the `occurrence`th matching command.
inline RecorderFault TransportFault(i32 opcode, u32 times, i64 lba = -1, u32 occurrence = 1) {
  RecorderFault fault;
  fault.opcode = opcode;
  fault.kind = FaultKind::kTransport;
  fault.times = times;
  fault.lba = lba;
  fault.occurrence = occurrence;
  return fault;
}

// Every `opcode` command is answered with `bytes` instead of its reply.
inline RecorderFault ReplyFault(i32 opcode, std::vector<u8> bytes) {
  RecorderFault fault;
  fault.opcode = opcode;
  fault.kind = FaultKind::kReply;
  fault.times = 0;
  fault.bytes = std::move(bytes);
  return fault;
}
