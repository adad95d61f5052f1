// Internal state of the simulated recorder, shared by its command files.
// Everything here runs under the recorder's lock.
#pragma once
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "recorder_sense.h"
#include "runtime/threads.h"
#include "simulated_recorder.h"
#include "sparse_sector_store.h"

// One track of a sequential or read-only medium (random-writable media have
// one fixed track).
struct SimTrack {
  u32 number = 1;
  u32 session = 1;
  u32 start = 0;
  u32 written = 0;       // blocks recorded from the start
  u32 reservedSize = 0;  // fixed size from RESERVE TRACK, 0 none
  bool invisible = false;  // the open track after the last one
  bool closed = false;
  bool underrun = false;   // the drive ran out of data while writing it (no BUFE)
  bool audio = false;
  bool mode2 = false;
  bool incremental = false;
};

struct SimMedium {
  const MediumPresetInfo* info = nullptr;
  u16 profile = 0;
  u32 capacity = 0;
  std::vector<SimTrack> tracks;
  bool finalized = false;
  // Random-writable media.
  bool formatted = false;
  bool quickFormatted = false;
  u32 formattedBlocks = 0;
  u8 backgroundFormat = 0;  // 0 none, 1 stopped, 2 running, 3 done
  u64 backgroundStartMs = 0;
  u64 backgroundEndMs = 0;
  u16 backgroundBase = 0;   // progress reached before a restart
  bool everWritten = false;
  // Disc-at-once on CD.
  std::vector<u8> cueSheet;
  bool cueValid = false;
  i32 daoStart = 0;
  i32 daoNext = 0;
  i32 daoLeadOut = 0;
  bool minimallyBlanked = false;
  // Blocks on the disc, and blocks written but still in the drive's cache
  // (they reach the disc when the cache is flushed, and are lost with the
  // medium; the host reads them from the cache meanwhile).
  CSparseSectorStore store;
  std::map<u32, std::vector<u8>> cached;
};

struct SimLongOperation {
  bool active = false;
  u8 asc = 0x04, ascq = 0x07;
  u64 startMs = 0, endMs = 0;
};

struct SimFault {
  RecorderFault fault;
  bool armed = false;
  u32 matches = 0;
  u32 hits = 0;
};

struct CommandContext {
  const ScsiCommand* command = nullptr;
  const u8* cdb = nullptr;
  std::vector<u8> reply;  // data in, before allocation and transfer limits
  u32 allocation = 0;     // bytes the command block allows back
  bool check = false;
  SenseCondition sense;
  u8 status = 0;
  u32 sleepMs = 0;        // time the command keeps the caller
  bool transportFailed = false;
  u32 transportError = 0;
};

// Opcode properties for validation and state rules.
enum class DataPhase : u8 { kNone, kIn, kOut };
struct OpcodeInfo {
  u8 opcode;
  const char* name;
  DataPhase phase;
  bool needsMedium;       // NOT READY without a ready medium
  bool allowedWhileBusy;  // runs during a long operation
  bool reportsAttention;  // a pending UNIT ATTENTION fails it
  bool hasLba;            // bytes 2-5 hold an LBA
};
const OpcodeInfo* FindOpcode(u8 opcode);
// CDB length of an opcode group, 0 for reserved groups.
u8 CdbLengthOfGroup(u8 opcode);

class CRecorderState {
 public:
  CRecorderState();

  // Time on the clock seam, milliseconds.
  static u64 NowMs();

  // Medium construction and questions (recorder_medium.cpp).
  void BuildMedium(const MediumOptions& options);
  bool MediumReady() const;  // present, tray closed, not becoming ready
  SimTrack* OpenTrackAt(u32 lba);  // an open track whose NWA is lba
  SimTrack* InvisibleTrack();
  SimTrack* TrackByNumber(u32 number);
  SimTrack* TrackContaining(u32 lba);
  u32 TrackSize(const SimTrack& track) const;
  u32 NextWritable(const SimTrack& track) const;
  u32 FreeBlocks(const SimTrack& track) const;
  u8 DiscStatus() const;
  u8 LastSessionState() const;
  u32 SessionCount() const;
  u32 LastTrackInLastSession() const;
  u32 FirstTrackInLastSession() const;
  u32 LastRecordedBlock() const;  // end of recorded data (exclusive)
  void AddInvisibleTrack(u32 start, u32 session);
  u32 SessionGap(u32 closedSessions) const;
  void CloseOpenTracks(bool allowEmpty);
  bool CloseSession(bool finalize);
  void ResetToBlank(bool full);
  bool IsCd() const { return medium.info && medium.info->family == MediaFamily::kCd; }
  bool IsRandom() const { return medium.info && medium.info->kind == RecordingKind::kRandom; }
  bool IsSequential() const { return medium.info && medium.info->kind == RecordingKind::kSequential; }
  bool IsDvdMinus() const;  // DVD-R, DVD-RW sequential, DVD-R DL, DVD-RW DL
  bool IsDvdPlusR() const { return medium.profile == 0x1B || medium.profile == 0x2B; }
  bool IsDvdPlusRw() const { return medium.profile == 0x1A || medium.profile == 0x2A; }
  u32 WritableLimit() const;  // random media: blocks that can be written
  void UpdateBackgroundFormat();

  // Long operations and sense.
  void StartLongOperation(u32 durationMs, u8 asc, u8 ascq);
  bool Busy();
  u16 LongProgress() const;
  void Fail(CommandContext& c, u8 key, u8 asc, u8 ascq);
  void FailNotReady(CommandContext& c);  // the NOT READY of the current state
  void Violation(CommandContext& c, const std::string& text);
  // A command that takes `ms`: returns at once with IMMED; else the caller
  // waits (and the system gives up at the request's time-out).
  void SpendTime(CommandContext& c, u32 ms, bool immed, u8 asc, u8 ascq);

  // Speeds (recorder_identity.cpp).
  std::vector<u32> WriteSpeeds() const;
  u32 MaxReadSpeed() const;
  u32 SnapWriteSpeed(u32 wanted) const;
  u32 SnapReadSpeed(u32 wanted) const;
  void InitModePages();
  void DrainBuffer();          // the drive buffer empties at the write speed
  std::vector<u8> DefaultPage05() const;
  std::vector<u8> ModePage2A() const;

  // Command handlers.
  void TestUnitReady(CommandContext& c);
  void RequestSense(CommandContext& c);
  void StartStopUnit(CommandContext& c);
  void PreventAllow(CommandContext& c);
  void EventStatus(CommandContext& c);
  void Inquiry(CommandContext& c);
  void GetConfiguration(CommandContext& c);
  void ModeSense(CommandContext& c);
  void ModeSelect(CommandContext& c);
  void GetPerformance(CommandContext& c);
  void SetStreaming(CommandContext& c);
  void SetCdSpeed(CommandContext& c);
  void ReadBufferCapacity(CommandContext& c);
  void ReadDiscInformation(CommandContext& c);
  void ReadTrackInformation(CommandContext& c);
  void ReadToc(CommandContext& c);
  void ReadCapacity(CommandContext& c);
  void ReadFormatCapacities(CommandContext& c);
  void Read10(CommandContext& c);
  void ReadCd(CommandContext& c);
  void Seek(CommandContext& c);
  void Write10(CommandContext& c);
  void ReserveTrack(CommandContext& c);
  void CloseTrackSession(CommandContext& c);
  void SynchronizeCache(CommandContext& c);
  void SendCueSheet(CommandContext& c);
  void SendOpc(CommandContext& c);
  void Blank(CommandContext& c);
  void FormatUnit(CommandContext& c);

  // Data of a sector for reading: user data (2048) or the raw forms.
  bool SectorUserData(u32 lba, std::vector<u8>* out);
  // A sector as the host reads it: from the drive's cache, else the disc.
  bool HostSector(u32 lba, std::vector<u8>* out);
  // The drive's cache goes to the disc.
  void FlushCache();
  // Refuses writing that the write parameters do not allow; true when the
  // command was failed.
  bool RefuseByWriteParameters(CommandContext& c);
  bool CueSheetBreaksRules(const u8* data, u32 entries);
  // A write that continues a track finds the drive's buffer run dry (the
  // host stopped longer than it lasts at the write speed) without BUFE.
  bool Underrun(bool continuing);

  DriveIdentity identity;
  RecorderTimings timings;
  SenseFormat senseFormat = SenseFormat::kFixed;

  bool trayOpen = false;
  bool mediumPresent = false;
  u64 readyAtMs = 0;
  SimMedium medium;
  bool stuck = false;  // becoming ready for ever
  bool unitAttention = false;
  u8 attentionAsc = 0x28, attentionAscq = 0;
  bool deferredPending = false;
  SenseCondition deferred;
  bool deferredAfterOperation = false;
  SimLongOperation longOp;
  bool preventRemoval = false;
  bool mediaEventPending = false;
  u8 mediaEventCode = 0;
  u32 readSpeed = 0, writeSpeed = 0;
  std::vector<u8> page05;  // current page bytes (from the page code)
  bool page05Set = true;   // write-once CD and DVD-R: false until MODE SELECT sets it
  std::vector<u8> page08;
  u32 bufferFill = 0;
  u64 bufferFillMs = 0;
  u64 lastWriteMs = 0;
  bool cacheDirty = false;
  u64 leadInUntilMs = 0;
  u32 leadInLba = 0xFFFFFFFFu;

  std::vector<SimFault> faults;
  std::deque<TraceEntry> trace;
  u64 sequence = 0;
  std::vector<std::string> violations;
  mutable CLock lock;
};

// Big-endian field helpers over a byte vector.
inline void PutBe16(std::vector<u8>& v, u32 at, u32 value) {
  v[at] = static_cast<u8>(value >> 8);
  v[at + 1] = static_cast<u8>(value);
}
inline void PutBe24(std::vector<u8>& v, u32 at, u32 value) {
  v[at] = static_cast<u8>(value >> 16);
  v[at + 1] = static_cast<u8>(value >> 8);
  v[at + 2] = static_cast<u8>(value);
}
inline void PutBe32(std::vector<u8>& v, u32 at, u32 value) {
  v[at] = static_cast<u8>(value >> 24);
  v[at + 1] = static_cast<u8>(value >> 16);
  v[at + 2] = static_cast<u8>(value >> 8);
  v[at + 3] = static_cast<u8>(value);
}
inline u32 GetBe16(const u8* p) { return (u32(p[0]) << 8) | p[1]; }
inline u32 GetBe24(const u8* p) { return (u32(p[0]) << 16) | (u32(p[1]) << 8) | p[2]; }
inline u32 GetBe32(const u8* p) { return (u32(p[0]) << 24) | (u32(p[1]) << 16) | (u32(p[2]) << 8) | p[3]; }
// Minute, second, frame of an LBA (LBA + 150 frames).
inline void LbaToMsf(i32 lba, u8* m, u8* s, u8* f) {
  u32 frames = static_cast<u32>(lba + 150);
  *m = static_cast<u8>(frames / 4500);
  *s = static_cast<u8>((frames / 75) % 60);
  *f = static_cast<u8>(frames % 75);
}
inline i32 MsfToLba(u8 m, u8 s, u8 f) { return (i32(m) * 60 + s) * 75 + f - 150; }

// Blocks between the end of one CD track closed track-at-once and the next
// track's start (two run-out blocks and the 150-block pre-gap).
constexpr u32 kCdTrackGap = 152;
