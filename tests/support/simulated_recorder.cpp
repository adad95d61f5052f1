// The recorder's public face: set-up, questions, and Execute, which checks
// a command against the rules, applies injected faults and the drive's state
// (deferred errors, UNIT ATTENTION, long operations, readiness), runs the
// command and records it.
#include "simulated_recorder.h"

#include <cstdio>
#include <cstring>

#include "recorder_cdb_layout.h"
#include "recorder_state.h"
#include "runtime/clock.h"

namespace {

// phase, needs medium, allowed while busy, reports UNIT ATTENTION, LBA field
const OpcodeInfo kOpcodes[] = {
    {0x00, "TEST UNIT READY", DataPhase::kNone, true, false, true, false},
    {0x03, "REQUEST SENSE", DataPhase::kIn, false, true, false, false},
    {0x04, "FORMAT UNIT", DataPhase::kOut, true, false, true, false},
    {0x12, "INQUIRY", DataPhase::kIn, false, true, false, false},
    {0x1B, "START STOP UNIT", DataPhase::kNone, false, false, true, false},
    {0x1E, "PREVENT ALLOW MEDIUM REMOVAL", DataPhase::kNone, false, true, true, false},
    {0x23, "READ FORMAT CAPACITIES", DataPhase::kIn, false, false, true, false},
    {0x25, "READ CAPACITY", DataPhase::kIn, true, false, true, false},
    {0x28, "READ(10)", DataPhase::kIn, true, false, true, true},
    {0x2A, "WRITE(10)", DataPhase::kOut, true, false, true, true},
    {0x2B, "SEEK(10)", DataPhase::kNone, true, false, true, true},
    {0x35, "SYNCHRONIZE CACHE", DataPhase::kNone, true, false, true, true},
    {0x43, "READ TOC/PMA/ATIP", DataPhase::kIn, true, false, true, false},
    {0x46, "GET CONFIGURATION", DataPhase::kIn, false, true, false, false},
    {0x4A, "GET EVENT STATUS NOTIFICATION", DataPhase::kIn, false, true, false, false},
    {0x51, "READ DISC INFORMATION", DataPhase::kIn, true, false, true, false},
    {0x52, "READ TRACK INFORMATION", DataPhase::kIn, true, false, true, true},
    {0x53, "RESERVE TRACK", DataPhase::kNone, true, false, true, false},
    {0x54, "SEND OPC INFORMATION", DataPhase::kOut, true, false, true, false},
    {0x55, "MODE SELECT(10)", DataPhase::kOut, false, false, true, false},
    {0x5A, "MODE SENSE(10)", DataPhase::kIn, false, true, true, false},
    {0x5B, "CLOSE TRACK/SESSION", DataPhase::kNone, true, false, true, false},
    {0x5C, "READ BUFFER CAPACITY", DataPhase::kIn, false, true, true, false},
    {0x5D, "SEND CUE SHEET", DataPhase::kOut, true, false, true, false},
    {0xA1, "BLANK", DataPhase::kNone, true, false, true, true},
    {0xAC, "GET PERFORMANCE", DataPhase::kIn, true, true, true, true},
    {0xB6, "SET STREAMING", DataPhase::kOut, false, true, true, false},
    {0xBB, "SET CD SPEED", DataPhase::kNone, false, true, true, false},
    {0xBE, "READ CD", DataPhase::kIn, true, false, true, true},
};

constexpr u32 kErrorInvalidParameter = 87;
constexpr u32 kErrorSemTimeout = 121;
constexpr size_t kTraceLimit = 2000000;

// Allocation length (data in) or parameter list length (data out) that the
// command block names; -1 when the handler works it out.
i64 CdbDataLength(const u8* cdb) {
  switch (cdb[0]) {
    case 0x03: return cdb[4];
    case 0x12: return GetBe16(cdb + 3);
    case 0x25: return 8;
    case 0x23: case 0x43: case 0x46: case 0x4A: case 0x51: case 0x52:
    case 0x5A: case 0x5C: case 0x55: case 0x54:
      return GetBe16(cdb + 7);
    case 0x5D: return GetBe24(cdb + 6);
    case 0xB6: return GetBe16(cdb + 9);
    case 0xAC: return 8 + 16 * i64(GetBe16(cdb + 8));
    default: return -1;
  }
}

}  // namespace

const OpcodeInfo* FindOpcode(u8 opcode) {
  for (const OpcodeInfo& info : kOpcodes)
    if (info.opcode == opcode) return &info;
  return nullptr;
}

u8 CdbLengthOfGroup(u8 opcode) {
  switch (opcode >> 5) {
    case 0: return 6;
    case 1: case 2: return 10;
    case 4: return 16;
    case 5: return 12;
    default: return 0;
  }
}

CRecorderState::CRecorderState() { InitModePages(); }

u64 CRecorderState::NowMs() {
  u64 counter = 0, frequency = 0;
  if (!ReadPerformanceCounter(&counter) || !ReadPerformanceFrequency(&frequency) || !frequency) return 0;
  return (counter / frequency) * 1000 + (counter % frequency) * 1000 / frequency;
}

void CRecorderState::StartLongOperation(u32 durationMs, u8 asc, u8 ascq) {
  longOp.active = true;
  longOp.asc = asc;
  longOp.ascq = ascq;
  longOp.startMs = NowMs();
  longOp.endMs = longOp.startMs + durationMs;
}

bool CRecorderState::Busy() {
  if (longOp.active && NowMs() >= longOp.endMs) {
    longOp.active = false;
    if (deferredAfterOperation) {
      deferredAfterOperation = false;
      deferredPending = true;
    }
  }
  return longOp.active;
}

u16 CRecorderState::LongProgress() const {
  u64 now = NowMs();
  u64 span = longOp.endMs > longOp.startMs ? longOp.endMs - longOp.startMs : 1;
  u64 done = now > longOp.startMs ? now - longOp.startMs : 0;
  u64 value = done * 65536 / span;
  return static_cast<u16>(value > 65535 ? 65535 : value);
}

void CRecorderState::Fail(CommandContext& c, u8 key, u8 asc, u8 ascq) {
  c.check = true;
  c.sense = SenseCondition();
  c.sense.key = key;
  c.sense.asc = asc;
  c.sense.ascq = ascq;
}

void CRecorderState::FailNotReady(CommandContext& c) {
  if (Busy()) {
    Fail(c, 2, longOp.asc, longOp.ascq);
    if (identity.sksvProgress) {
      c.sense.hasProgress = true;
      c.sense.progress = LongProgress();
    }
  } else if (trayOpen) {
    Fail(c, 2, 0x3A, 0x02);
  } else if (!mediumPresent) {
    Fail(c, 2, 0x3A, 0x01);
  } else {
    Fail(c, 2, 0x04, 0x01);
  }
}

void CRecorderState::Violation(CommandContext& c, const std::string& text) {
  char prefix[16];
  std::snprintf(prefix, sizeof prefix, "op %02X: ", c.cdb[0]);
  violations.push_back(prefix + text);
  c.transportFailed = true;
  c.transportError = kErrorInvalidParameter;
}

void CRecorderState::SpendTime(CommandContext& c, u32 ms, bool immed, u8 asc, u8 ascq) {
  if (ms == 0) return;
  StartLongOperation(ms, asc, ascq);
  if (immed) return;
  u64 limit = u64(c.command->timeoutSeconds) * 1000;
  if (ms > limit) {
    // The system gives up; the drive goes on with the operation.
    c.sleepMs = static_cast<u32>(limit);
    c.transportFailed = true;
    c.transportError = kErrorSemTimeout;
  } else {
    c.sleepMs = ms;
  }
}

// ---------------------------------------------------------------------------

CSimulatedRecorder::CSimulatedRecorder(const DriveIdentity& identity) : state_(new CRecorderState()) {
  state_->identity = identity;
  state_->InitModePages();
}

CSimulatedRecorder::~CSimulatedRecorder() { delete state_; }

void CSimulatedRecorder::SetIdentity(const DriveIdentity& identity) {
  CLockGuard guard(state_->lock);
  state_->identity = identity;
  state_->InitModePages();
}

DriveIdentity CSimulatedRecorder::Identity() const {
  CLockGuard guard(state_->lock);
  return state_->identity;
}

void CSimulatedRecorder::SetTimings(const RecorderTimings& timings) {
  CLockGuard guard(state_->lock);
  state_->timings = timings;
}

RecorderTimings CSimulatedRecorder::Timings() const {
  CLockGuard guard(state_->lock);
  return state_->timings;
}

void CSimulatedRecorder::SetSenseFormat(SenseFormat format) {
  CLockGuard guard(state_->lock);
  state_->senseFormat = format;
}

void CSimulatedRecorder::InsertMedium(const MediumOptions& options) {
  CLockGuard guard(state_->lock);
  CRecorderState& s = *state_;
  s.BuildMedium(options);
  s.mediumPresent = true;
  s.trayOpen = false;
  s.longOp = SimLongOperation();
  s.deferredPending = false;
  s.deferredAfterOperation = false;
  s.readyAtMs = CRecorderState::NowMs() + s.timings.becomingReadyMs;
  s.unitAttention = s.identity.reportUnitAttention;
  s.attentionAsc = 0x28;
  s.attentionAscq = 0;
  s.mediaEventPending = true;
  s.mediaEventCode = 2;  // new media
  s.cacheDirty = false;
  s.stuck = false;
  s.page05 = s.DefaultPage05();  // write parameters start from the medium's defaults
  // A write-once CD or DVD-R is written only after the host set page 05.
  s.page05Set = !((s.IsCd() || s.IsDvdMinus()) && s.IsSequential());
  s.readSpeed = s.MaxReadSpeed();
  std::vector<u32> speeds = s.WriteSpeeds();
  s.writeSpeed = speeds.empty() ? 0 : speeds.front();
}

void CSimulatedRecorder::RemoveMedium() {
  CLockGuard guard(state_->lock);
  CRecorderState& s = *state_;
  bool had = s.mediumPresent;
  s.mediumPresent = false;
  s.medium = SimMedium();
  s.trayOpen = false;
  s.longOp = SimLongOperation();
  if (had) {
    s.unitAttention = s.identity.reportUnitAttention;
    s.attentionAsc = 0x28;
    s.mediaEventPending = true;
    s.mediaEventCode = 3;  // media removal
  }
}

bool CSimulatedRecorder::PressEject() {
  CLockGuard guard(state_->lock);
  CRecorderState& s = *state_;
  if (s.preventRemoval) {
    s.mediaEventPending = true;
    s.mediaEventCode = 1;  // eject request
    return false;
  }
  s.trayOpen = true;
  s.longOp = SimLongOperation();
  s.medium.cached.clear();
  s.mediaEventPending = true;
  s.mediaEventCode = 3;
  return true;
}

void CSimulatedRecorder::CloseTray() {
  CLockGuard guard(state_->lock);
  CRecorderState& s = *state_;
  if (!s.trayOpen) return;
  s.trayOpen = false;
  if (s.mediumPresent) {
    s.readyAtMs = CRecorderState::NowMs() + s.timings.becomingReadyMs;
    s.unitAttention = s.identity.reportUnitAttention;
    s.attentionAsc = 0x28;
    s.mediaEventPending = true;
    s.mediaEventCode = 2;
  }
}

void CSimulatedRecorder::MakeReady() {
  CLockGuard guard(state_->lock);
  state_->readyAtMs = 0;
}

bool CSimulatedRecorder::HasMedium() const {
  CLockGuard guard(state_->lock);
  return state_->mediumPresent;
}

bool CSimulatedRecorder::TrayOpen() const {
  CLockGuard guard(state_->lock);
  return state_->trayOpen;
}

u16 CSimulatedRecorder::CurrentProfile() const {
  CLockGuard guard(state_->lock);
  return state_->MediumReady() ? state_->medium.profile : 0;
}

u8 CSimulatedRecorder::DiscStatus() const {
  CLockGuard guard(state_->lock);
  state_->UpdateBackgroundFormat();
  return state_->DiscStatus();
}

u8 CSimulatedRecorder::LastSessionState() const {
  CLockGuard guard(state_->lock);
  return state_->LastSessionState();
}

u8 CSimulatedRecorder::BackgroundFormatStatus() const {
  CLockGuard guard(state_->lock);
  state_->UpdateBackgroundFormat();
  return state_->medium.backgroundFormat;
}

u32 CSimulatedRecorder::SessionCount() const {
  CLockGuard guard(state_->lock);
  return state_->SessionCount();
}

u32 CSimulatedRecorder::TrackCount() const {
  CLockGuard guard(state_->lock);
  return static_cast<u32>(state_->medium.tracks.size());
}

bool CSimulatedRecorder::TrackInfo(u32 track, u32* start, u32* size, u32* nextWritable) const {
  CLockGuard guard(state_->lock);
  SimTrack* t = state_->TrackByNumber(track);
  if (!t) return false;
  if (start) *start = t->start;
  if (size) *size = state_->TrackSize(*t);
  if (nextWritable) *nextWritable = state_->NextWritable(*t);
  return true;
}

u32 CSimulatedRecorder::CapacityBlocks() const {
  CLockGuard guard(state_->lock);
  return state_->medium.capacity;
}

bool CSimulatedRecorder::Finalized() const {
  CLockGuard guard(state_->lock);
  return state_->medium.finalized;
}

bool CSimulatedRecorder::ReadStoredSector(u32 lba, std::vector<u8>* out) const {
  CLockGuard guard(state_->lock);
  return state_->medium.store.Get(lba, out);
}

void CSimulatedRecorder::SeedSectors(u32 lba, const u8* data, u32 count, u32 blockSize) {
  CLockGuard guard(state_->lock);
  for (u32 i = 0; i < count; ++i) state_->medium.store.Put(lba + i, data + size_t(i) * blockSize, blockSize);
}

u32 CSimulatedRecorder::StoredSectorCount() const {
  CLockGuard guard(state_->lock);
  return state_->medium.store.Count();
}

bool CSimulatedRecorder::ModePage(u8 code, std::vector<u8>* page) const {
  CLockGuard guard(state_->lock);
  if (code == 0x05) *page = state_->page05;
  else if (code == 0x08) *page = state_->page08;
  else if (code == 0x2A) *page = state_->ModePage2A();
  else return false;
  return true;
}

bool CSimulatedRecorder::WriteCacheEnabled() const {
  CLockGuard guard(state_->lock);
  return (state_->page08[2] & 0x04) != 0;
}

u32 CSimulatedRecorder::CurrentReadSpeed() const {
  CLockGuard guard(state_->lock);
  return state_->readSpeed;
}

u32 CSimulatedRecorder::CurrentWriteSpeed() const {
  CLockGuard guard(state_->lock);
  return state_->writeSpeed;
}

bool CSimulatedRecorder::RemovalPrevented() const {
  CLockGuard guard(state_->lock);
  return state_->preventRemoval;
}

std::vector<u8> CSimulatedRecorder::LastCueSheet() const {
  CLockGuard guard(state_->lock);
  return state_->medium.cueSheet;
}

bool CSimulatedRecorder::LongOperationRunning() const {
  CLockGuard guard(state_->lock);
  return state_->Busy();
}

u32 CSimulatedRecorder::AddFault(const RecorderFault& fault) {
  CLockGuard guard(state_->lock);
  SimFault entry;
  entry.fault = fault;
  state_->faults.push_back(entry);
  return static_cast<u32>(state_->faults.size() - 1);
}

void CSimulatedRecorder::ClearFaults() {
  CLockGuard guard(state_->lock);
  // Ids stay valid: entries are disarmed, not removed.
  for (SimFault& f : state_->faults) {
    f.fault.times = 1;
    f.hits = f.hits ? f.hits : 1;
    f.matches = 0xFFFFFFFFu;
    f.fault.opcode = -2;
  }
}

u32 CSimulatedRecorder::FaultHits(u32 id) const {
  CLockGuard guard(state_->lock);
  if (id >= state_->faults.size()) return 0;
  return state_->faults[id].fault.opcode == -2 ? 0 : state_->faults[id].hits;
}

std::vector<TraceEntry> CSimulatedRecorder::Trace() const {
  CLockGuard guard(state_->lock);
  return std::vector<TraceEntry>(state_->trace.begin(), state_->trace.end());
}

void CSimulatedRecorder::ClearTrace() {
  CLockGuard guard(state_->lock);
  state_->trace.clear();
}

u32 CSimulatedRecorder::CountCommands(u8 opcode) const {
  CLockGuard guard(state_->lock);
  u32 n = 0;
  for (const TraceEntry& e : state_->trace)
    if (e.cdb[0] == opcode) ++n;
  return n;
}

bool CSimulatedRecorder::LastCommand(u8 opcode, TraceEntry* out) const {
  CLockGuard guard(state_->lock);
  for (auto it = state_->trace.rbegin(); it != state_->trace.rend(); ++it) {
    if (it->cdb[0] == opcode) {
      if (out) *out = *it;
      return true;
    }
  }
  return false;
}

std::vector<std::string> CSimulatedRecorder::Violations() const {
  CLockGuard guard(state_->lock);
  return state_->violations;
}

void CSimulatedRecorder::ClearViolations() {
  CLockGuard guard(state_->lock);
  state_->violations.clear();
}

void CSimulatedRecorder::AddViolation(const std::string& text) {
  CLockGuard guard(state_->lock);
  state_->violations.push_back(text);
}

// ---------------------------------------------------------------------------

namespace {

// Checks the command block against its length, direction and transfer
// length. False after recording a violation.
bool ValidateCommand(CRecorderState& s, CommandContext& c, const OpcodeInfo* info) {
  const ScsiCommand& cmd = *c.command;
  u8 expected = CdbLengthOfGroup(c.cdb[0]);
  if (cmd.cdbLength != expected) {
    s.Violation(c, "command block of " + std::to_string(cmd.cdbLength) + " bytes, the opcode group needs " +
                       std::to_string(expected));
    return false;
  }
  if (cmd.transferLength && !cmd.data) {
    s.Violation(c, "transfer length without a buffer");
    return false;
  }
  if (!info) return true;
  i64 length = CdbDataLength(c.cdb);
  switch (info->phase) {
    case DataPhase::kNone:
      if (cmd.transferLength) {
        s.Violation(c, "data transfer on a command without data");
        return false;
      }
      break;
    case DataPhase::kIn:
      if (cmd.transferLength && cmd.direction != 1) {
        s.Violation(c, "data-in command sent with direction " + std::to_string(cmd.direction));
        return false;
      }
      // The host's buffer is the length it asked the drive for: a block
      // naming another length has its field at the wrong place or width.
      // GET PERFORMANCE names no length, only a descriptor count, whose
      // reply may fall short of the buffer.
      if (length >= 0 && (c.cdb[0] == 0xAC ? length > cmd.transferLength : length != cmd.transferLength)) {
        s.Violation(c, "allocation length " + std::to_string(length) + " differs from the transfer length " +
                           std::to_string(cmd.transferLength));
        return false;
      }
      break;
    case DataPhase::kOut:
      if (cmd.transferLength && cmd.direction != 0) {
        s.Violation(c, "data-out command sent with direction " + std::to_string(cmd.direction));
        return false;
      }
      if (length >= 0 && length != cmd.transferLength) {
        s.Violation(c, "parameter list length " + std::to_string(length) + " differs from the transfer length " +
                           std::to_string(cmd.transferLength));
        return false;
      }
      break;
  }
  return true;
}

u32 CommandLba(const u8* cdb) { return GetBe32(cdb + 2); }

// Finds the fault that answers this command, counting matches.
SimFault* MatchFault(CRecorderState& s, const u8* cdb, const OpcodeInfo* info) {
  SimFault* fired = nullptr;
  for (SimFault& f : s.faults) {
    const RecorderFault& rule = f.fault;
    if (rule.opcode == -2) continue;
    if (rule.after >= 0 && !f.armed) {
      f.armed = cdb[0] == rule.after;
      continue;
    }
    if (rule.opcode >= 0 && rule.opcode != cdb[0]) continue;
    if (rule.lba >= 0 && (!info || !info->hasLba || CommandLba(cdb) != static_cast<u32>(rule.lba))) continue;
    ++f.matches;
    if (fired) continue;
    if (f.matches < rule.occurrence) continue;
    if (rule.times && f.hits >= rule.times) continue;
    ++f.hits;
    fired = &f;
  }
  return fired;
}

void Dispatch(CRecorderState& s, CommandContext& c) {
  switch (c.cdb[0]) {
    case 0x00: s.TestUnitReady(c); break;
    case 0x03: s.RequestSense(c); break;
    case 0x04: s.FormatUnit(c); break;
    case 0x12: s.Inquiry(c); break;
    case 0x1B: s.StartStopUnit(c); break;
    case 0x1E: s.PreventAllow(c); break;
    case 0x23: s.ReadFormatCapacities(c); break;
    case 0x25: s.ReadCapacity(c); break;
    case 0x28: s.Read10(c); break;
    case 0x2A: s.Write10(c); break;
    case 0x2B: s.Seek(c); break;
    case 0x35: s.SynchronizeCache(c); break;
    case 0x43: s.ReadToc(c); break;
    case 0x46: s.GetConfiguration(c); break;
    case 0x4A: s.EventStatus(c); break;
    case 0x51: s.ReadDiscInformation(c); break;
    case 0x52: s.ReadTrackInformation(c); break;
    case 0x53: s.ReserveTrack(c); break;
    case 0x54: s.SendOpc(c); break;
    case 0x55: s.ModeSelect(c); break;
    case 0x5A: s.ModeSense(c); break;
    case 0x5B: s.CloseTrackSession(c); break;
    case 0x5C: s.ReadBufferCapacity(c); break;
    case 0x5D: s.SendCueSheet(c); break;
    case 0xA1: s.Blank(c); break;
    case 0xAC: s.GetPerformance(c); break;
    case 0xB6: s.SetStreaming(c); break;
    case 0xBB: s.SetCdSpeed(c); break;
    case 0xBE: s.ReadCd(c); break;
    default: s.Fail(c, 5, 0x20, 0x00); break;
  }
}

// The drive's state answers before the command runs: a deferred error, a
// UNIT ATTENTION, NOT READY. True when the command may run.
bool StateAllowsCommand(CRecorderState& s, CommandContext& c, const OpcodeInfo* info) {
  u8 op = c.cdb[0];
  bool busy = s.Busy();
  if (s.deferredPending && !busy && op != 0x12 && op != 0x03) {
    s.deferredPending = false;
    c.check = true;
    c.sense = s.deferred;
    c.sense.deferred = true;
    return false;
  }
  // The not-ready-to-ready change is established when the medium is ready.
  bool becomingReady = s.mediumPresent && !s.trayOpen && CRecorderState::NowMs() < s.readyAtMs;
  if (s.unitAttention && info->reportsAttention && !becomingReady) {
    s.unitAttention = false;
    s.Fail(c, 6, s.attentionAsc, s.attentionAscq);
    return false;
  }
  if (busy && !info->allowedWhileBusy) {
    s.FailNotReady(c);
    return false;
  }
  bool ready = s.MediumReady();
  if (info->needsMedium && !ready) {
    s.FailNotReady(c);
    return false;
  }
  // A drive still becoming ready refuses GET CONFIGURATION too.
  if (op == 0x46 && s.mediumPresent && !s.trayOpen && !ready) {
    s.FailNotReady(c);
    return false;
  }
  return true;
}

}  // namespace

void CSimulatedRecorder::Execute(const ScsiCommand& command, ScsiOutcome* outcome) {
  *outcome = ScsiOutcome();
  u8 cdb[16] = {};
  std::memcpy(cdb, command.cdb, command.cdbLength <= 16 ? command.cdbLength : 16);
  CommandContext c;
  c.command = &command;
  c.cdb = cdb;
  u32 sleepMs = 0;
  {
    CLockGuard guard(state_->lock);
    CRecorderState& s = *state_;
    TraceEntry entry;
    entry.sequence = ++s.sequence;
    entry.timeMs = CRecorderState::NowMs();
    std::memcpy(entry.cdb, cdb, 16);
    entry.cdbLength = command.cdbLength;
    entry.direction = command.direction;
    entry.transferLength = command.transferLength;
    if (command.direction == 0 && command.data && cdb[0] != 0x2A) {
      u32 n = command.transferLength < 4096 ? command.transferLength : 4096;
      entry.dataOut.assign(command.data, command.data + n);
    }

    const OpcodeInfo* info = FindOpcode(cdb[0]);
    i64 cdbLength = CdbDataLength(cdb);
    c.allocation = cdbLength >= 0 ? static_cast<u32>(cdbLength) : 0xFFFFFFFFu;
    bool valid = ValidateCommand(s, c, info);
    bool deferredFault = false;
    if (valid) {
      SimFault* fault = MatchFault(s, cdb, info);
      if (fault) {
        entry.faulted = true;
        const RecorderFault& rule = fault->fault;
        switch (rule.kind) {
          case FaultKind::kTransport:
            c.transportFailed = true;
            c.transportError = rule.transportError;
            break;
          case FaultKind::kSense:
            s.Fail(c, rule.key, rule.asc, rule.ascq);
            break;
          case FaultKind::kBusy:
            c.status = 0x08;
            break;
          case FaultKind::kRawSense:
            c.status = 0x02;
            break;
          case FaultKind::kReply:
            c.reply = rule.bytes;
            break;
          case FaultKind::kDeferred:
            deferredFault = true;
            break;
          case FaultKind::kStuck:
            s.stuck = true;
            s.longOp = SimLongOperation();  // what it was doing stops too
            break;
        }
        if (rule.kind == FaultKind::kRawSense) {
          u32 n = static_cast<u32>(rule.bytes.size() < 252 ? rule.bytes.size() : 252);
          std::memcpy(outcome->sense, rule.bytes.data(), n);
          outcome->senseLength = n;
        }
        if (!deferredFault && rule.kind != FaultKind::kStuck) goto answered;
      }
      if (!info) {
        s.Fail(c, 5, 0x20, 0x00);
      } else if (!CdbReservedBitsClear(cdb, command.cdbLength)) {
        s.Fail(c, 5, 0x24, 0x00);  // a reserved bit or the control byte set
      } else if (StateAllowsCommand(s, c, info)) {
        bool wasBusy = s.longOp.active;
        Dispatch(s, c);
        if (deferredFault) {
          s.deferred = SenseCondition();
          s.deferred.key = fault->fault.key;
          s.deferred.asc = fault->fault.asc;
          s.deferred.ascq = fault->fault.ascq;
          if (!wasBusy && s.longOp.active)
            s.deferredAfterOperation = true;
          else
            s.deferredPending = true;
        }
      }
    }
  answered:
    if (c.transportFailed) {
      outcome->transportOk = false;
      outcome->transportError = c.transportError;
    } else if (c.check) {
      outcome->status = 0x02;
      outcome->senseLength =
          BuildSense(c.sense, s.senseFormat == SenseFormat::kDescriptor, outcome->sense, sizeof outcome->sense);
    } else if (c.status) {
      outcome->status = c.status;
    } else if (info && info->phase == DataPhase::kOut) {
      outcome->dataTransferred = command.transferLength;
    } else if (command.data) {
      size_t n = c.reply.size();
      if (n > c.allocation) n = c.allocation;
      if (n > command.transferLength) n = command.transferLength;
      std::memcpy(command.data, c.reply.data(), n);
      outcome->dataTransferred = static_cast<u32>(n);
    }
    entry.transportOk = outcome->transportOk;
    entry.transportError = outcome->transportError;
    entry.status = outcome->status;
    if (outcome->status == 0x02 && outcome->senseLength) {
      const u8* sense = outcome->sense;
      u8 code = sense[0] & 0x7F;
      if (code == 0x70 || code == 0x71) {
        entry.key = sense[2] & 0x0F;
        entry.asc = outcome->senseLength > 12 ? sense[12] : 0;
        entry.ascq = outcome->senseLength > 13 ? sense[13] : 0;
      } else if (code == 0x72 || code == 0x73) {
        entry.key = sense[1] & 0x0F;
        entry.asc = sense[2];
        entry.ascq = sense[3];
      }
    }
    entry.dataTransferred = outcome->dataTransferred;
    if (s.trace.size() >= kTraceLimit) s.trace.pop_front();
    s.trace.push_back(entry);
    sleepMs = c.sleepMs;
  }
  // The command keeps the caller for its time, without holding the drive.
  if (sleepMs) SleepFor(sleepMs);
}
