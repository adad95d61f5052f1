// Sends command blocks straight to a simulated recorder's engine, for tests
// of the recorder itself and for tests that set a disc up by hand.
#pragma once
#include <cstdio>
#include <initializer_list>
#include <string>
#include <vector>

#include "simulated_recorder.h"

struct RecorderReply {
  ScsiOutcome outcome;
  std::vector<u8> data;
  bool Good() const { return outcome.transportOk && outcome.status == 0; }
  // Key, ASC and ASCQ of fixed or descriptor sense, 0 otherwise.
  u8 Key() const { return Field(0); }
  u8 Asc() const { return Field(1); }
  u8 Ascq() const { return Field(2); }
  u8 ResponseCode() const { return outcome.senseLength ? outcome.sense[0] & 0x7F : 0; }
  // Progress of the sense-key specific bytes (fixed format), -1 without SKSV.
  int Progress() const {
    if (ResponseCode() != 0x70 && ResponseCode() != 0x71) return -1;
    if (!(outcome.sense[15] & 0x80)) return -1;
    return (outcome.sense[16] << 8) | outcome.sense[17];
  }

 private:
  u8 Field(int which) const {
    if (outcome.status != 2 || !outcome.senseLength) return 0;
    u8 code = outcome.sense[0] & 0x7F;
    if (code == 0x70 || code == 0x71) return which == 0 ? outcome.sense[2] & 0x0F : outcome.sense[12 + which - 1];
    if (code == 0x72 || code == 0x73) return which == 0 ? outcome.sense[1] & 0x0F : outcome.sense[1 + which];
    return 0;
  }
};

// "key/asc/ascq" of an answer, "good", or "refused" (the request failed).
inline std::string Answer(const RecorderReply& r) {
  if (!r.outcome.transportOk) return "refused";
  if (r.outcome.status == 0) return "good";
  char text[16];
  std::snprintf(text, sizeof text, "%X/%02X/%02X", r.Key(), r.Asc(), r.Ascq());
  return text;
}

class CRecorderClient {
 public:
  explicit CRecorderClient(CSimulatedRecorder& recorder) : recorder_(recorder) {}

  // A command that reads `length` bytes (or none).
  RecorderReply In(std::initializer_list<u8> cdb, u32 length = 0, u32 timeoutSeconds = 120) {
    RecorderReply reply;
    reply.data.assign(length, 0);
    Run(cdb, 1, length ? reply.data.data() : nullptr, length, timeoutSeconds, &reply);
    reply.data.resize(reply.outcome.dataTransferred);
    return reply;
  }
  // A command that sends `data`.
  RecorderReply Out(std::initializer_list<u8> cdb, const std::vector<u8>& data, u32 timeoutSeconds = 120) {
    RecorderReply reply;
    std::vector<u8> copy = data;
    Run(cdb, 0, copy.empty() ? nullptr : copy.data(), static_cast<u32>(copy.size()), timeoutSeconds, &reply);
    return reply;
  }
  RecorderReply Raw(const std::vector<u8>& cdb, u8 direction, u8* data, u32 length, u32 timeoutSeconds = 120) {
    RecorderReply reply;
    ScsiCommand command;
    command.cdb = cdb.data();
    command.cdbLength = static_cast<u8>(cdb.size());
    command.direction = direction;
    command.data = data;
    command.transferLength = length;
    command.timeoutSeconds = timeoutSeconds;
    recorder_.Execute(command, &reply.outcome);
    return reply;
  }

  // Common commands.
  RecorderReply TestUnitReady() { return In({0x00, 0, 0, 0, 0, 0}); }
  RecorderReply RequestSense() { return In({0x03, 0, 0, 0, 252, 0}, 252); }
  RecorderReply Write(u32 lba, u32 blocks, const std::vector<u8>& data) {
    return Out({0x2A, 0, u8(lba >> 24), u8(lba >> 16), u8(lba >> 8), u8(lba), 0, u8(blocks >> 8), u8(blocks), 0},
               data);
  }
  RecorderReply Read(u32 lba, u32 blocks) {
    return In({0x28, 0, u8(lba >> 24), u8(lba >> 16), u8(lba >> 8), u8(lba), 0, u8(blocks >> 8), u8(blocks), 0},
              blocks * 2048);
  }
  RecorderReply TrackInformation(u32 track) {
    return In({0x52, 0x01, u8(track >> 24), u8(track >> 16), u8(track >> 8), u8(track), 0, 0, 40, 0}, 40);
  }
  RecorderReply DiscInformation() { return In({0x51, 0, 0, 0, 0, 0, 0, 0, 34, 0}, 34); }
  RecorderReply ModeSense(u8 page, u8 control, u32 length) {
    return In({0x5A, 0, u8((control << 6) | page), 0, 0, 0, 0, u8(length >> 8), u8(length), 0}, length);
  }
  // Sets write type, track mode, data block type and multi-session of page 05.
  RecorderReply SetWriteParameters(u8 writeType, u8 trackMode, u8 dataBlockType, u8 multiSession) {
    RecorderReply current = ModeSense(0x05, 0, 60);
    if (!current.Good()) return current;
    std::vector<u8> list = current.data;
    list.resize(60, 0);
    list[0] = list[1] = 0;
    list[8] &= 0x3F;
    list[10] = static_cast<u8>((list[10] & 0xF0) | writeType);
    list[11] = static_cast<u8>((multiSession << 6) | trackMode);
    list[12] = dataBlockType;
    return Out({0x55, 0x10, 0, 0, 0, 0, 0, 0, 60, 0}, list);
  }
  RecorderReply ReserveTrack(u32 blocks) {
    return In({0x53, 0, 0, 0, 0, u8(blocks >> 24), u8(blocks >> 16), u8(blocks >> 8), u8(blocks), 0});
  }
  RecorderReply CloseTrackSession(u8 function, u32 track, bool immed = false) {
    return In({0x5B, u8(immed ? 1 : 0), function, 0, u8(track >> 8), u8(track), 0, 0, 0, 0});
  }
  RecorderReply SynchronizeCache(bool immed = false) { return In({0x35, u8(immed ? 2 : 0), 0, 0, 0, 0, 0, 0, 0, 0}); }

 private:
  void Run(std::initializer_list<u8> cdb, u8 direction, u8* data, u32 length, u32 timeout, RecorderReply* reply) {
    std::vector<u8> bytes(cdb);
    reply->outcome = Raw(bytes, direction, data, length, timeout).outcome;
  }

  CSimulatedRecorder& recorder_;
};

// 2048-byte blocks of PatternByte data shifted by `seed`.
inline std::vector<u8> PatternBlocks(u32 lba, u32 blocks, u32 seed = 0, u32 blockSize = 2048) {
  std::vector<u8> data(size_t(blocks) * blockSize);
  for (u32 b = 0; b < blocks; ++b)
    for (u32 i = 0; i < blockSize; ++i) data[size_t(b) * blockSize + i] = PatternByte(lba + b + seed, i);
  return data;
}
