// The scenario runner: the rig of every row (recorders, device I/O with
// hooks, virtual clock, headless page), the erase/format job, and the checks
// of what a run left. Burn jobs run in job_scenario_burn_win.cpp.
#include "support/job_scenario.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include "jobs/erase_format_job.h"
#include "jobs/job_log.h"
#include "job_scenario_rig.h"

std::string Narrow(const std::u16string& text) {
  std::string out;
  for (char16_t c : text) out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
  return out;
}

std::vector<TraceEntry> ScenarioRun::Commands(u8 opcode) const {
  std::vector<TraceEntry> out;
  for (const TraceEntry& e : trace)
    if (e.Opcode() == opcode) out.push_back(e);
  return out;
}

RecorderFault SenseAt(i32 opcode, u8 key, u8 asc, u8 ascq, u32 times, i64 lba, u32 occurrence) {
  RecorderFault f;
  f.opcode = opcode;
  f.key = key;
  f.asc = asc;
  f.ascq = ascq;
  f.times = times;
  f.lba = lba;
  f.occurrence = occurrence;
  return f;
}

RecorderFault TransportAt(i32 opcode, u32 times, i64 lba, u32 occurrence) {
  RecorderFault f = SenseAt(opcode, 0, 0, 0, times, lba, occurrence);
  f.kind = FaultKind::kTransport;
  return f;
}

RecorderFault DeferredAfter(i32 opcode, u8 key, u8 asc, u8 ascq, u32 occurrence) {
  RecorderFault f = SenseAt(opcode, key, asc, ascq, 1, -1, occurrence);
  f.kind = FaultKind::kDeferred;
  return f;
}

RecorderFault ReplyOf(i32 opcode, std::vector<u8> bytes) {
  RecorderFault f = SenseAt(opcode, 0, 0, 0, 0);
  f.kind = FaultKind::kReply;
  f.bytes = std::move(bytes);
  return f;
}

RecorderFault After(RecorderFault fault, i32 opcode) {
  fault.after = opcode;
  return fault;
}

MediumOptions Disc(MediumPreset preset, std::initializer_list<TrackContent> tracks) {
  MediumOptions m;
  m.preset = preset;
  m.fill = DiscFill::kComplete;
  m.sessions.push_back(std::vector<TrackContent>(tracks));
  return m;
}

// ---- The rig ------------------------------------------------------------

bool CHookedDeviceIo::DeviceIoControl(void* handle, u32 code, void* in, u32 inSize, void* out, u32 outSize,
                                      u32* bytesReturned) {
  Before before;
  After after;
  {
    std::lock_guard<std::mutex> guard(mutex_);
    before = before_;
    after = after_;
  }
  wchar16 letter = inner_.LetterOf(handle);
  bool scsi = code == kIoctlScsiPassThroughDirect && in && inSize >= sizeof(ScsiPassThroughDirect);
  u8 cdb[16] = {};
  if (scsi) std::memcpy(cdb, static_cast<ScsiPassThroughDirect*>(in)->cdb, 16);
  if (scsi && before) before(letter, cdb);
  bool ok = inner_.DeviceIoControl(handle, code, in, inSize, out, outSize, bytesReturned);
  if (ok && scsi && after) {
    ScsiPassThroughDirect* request = static_cast<ScsiPassThroughDirect*>(in);
    after(letter, cdb, static_cast<u8*>(request->dataBuffer), request->dataTransferLength, request->scsiStatus);
  }
  return ok;
}

CScenarioRig::CScenarioRig(const Scenario& row)
    : row_(row), installedClock_(clock_), hooked_(io_), installedIo_(hooked_) {
  clock_.SetRealPace(row.paceUs);
  clock_.SetForeverLimitMs(60000);
  RecorderTimings t = ShortJobTimings();
  if (row.blankFullMs) t.blankFullMs = row.blankFullMs;
  t.leadInMs = row.leadInMs;
  if (row.quickDrive) {
    // Every operation short, so that the polls of a job stay few.
    t.blankMinimalMs = t.blankFullMs = t.formatQuickMs = t.formatFullMs = 300;
    t.backgroundFormatMs = 1500;
    t.closeTrackMs = t.closeSessionMs = t.finalizeMs = t.syncCacheMs = 100;
    t.opcMs = 50;
  }
  destination_.SetTimings(t);
  source_.SetTimings(t);
  destination_.SetIdentity(row.identity);
  io_.AddOpticalDrive(u'E', &destination_);
  io_.AddOpticalDrive(u'F', &source_);
  Insert(destination_, u'E', row.medium);
  if (row.job == JobKind::kCopy && row.sourceDrive == 1) Insert(source_, u'F', row.sourceMedium);
  if (row.job == JobKind::kCopy && row.sourceDrive == 0) Insert(destination_, u'E', row.sourceMedium);
  std::remove("log.log");
}

CScenarioRig::~CScenarioRig() {
  hooked_.SetBefore(nullptr);
  hooked_.SetAfter(nullptr);
}

void CScenarioRig::Insert(CSimulatedRecorder& recorder, wchar16 letter, const MediumOptions& medium) {
  recorder.InsertMedium(medium);
  recorder.MakeReady();
  CDrive d;
  const wchar16 path[] = {u'\\', u'\\', u'.', u'\\', letter, u':', 0};
  if (!d.OpenDevice(path)) return;
  for (int i = 0; i < 4; ++i) {
    d.TestUnitReady();
    if (d.LastCommandSucceeded() || d.senseKey != 6) break;
  }
  d.Close();
}

CSimulatedRecorder& CScenarioRig::Recorder(wchar16 letter) { return letter == u'F' ? source_ : destination_; }

void CScenarioRig::ArmFaultsAndHooks(CJobPage* page) {
  for (const auto& f : row_.faults) Recorder(f.first).AddFault(f.second);
  if (row_.stopAt.nth || row_.removeAt.nth || row_.stallAt.nth) {
    if (row_.stopAt.nth) ui_.SetDefaultAnswer(kAnswerYes);
    auto seen = std::make_shared<std::vector<u32>>(3, 0);
    hooked_.SetBefore([this, page, seen](wchar16 letter, const u8* cdb) {
      auto at = [&](const CommandRef& r, u32 k) {
        return r.nth && letter == r.drive && cdb[0] == r.opcode && ++(*seen)[k] == r.nth;
      };
      if (at(row_.stopAt, 0)) page->OnClose();
      if (at(row_.removeAt, 1)) destination_.RemoveMedium();
      if (at(row_.stallAt, 2)) clock_.Advance(row_.stallMs);
    });
  }
  if (row_.corruptLba >= 0 || row_.readOffset || row_.garbleAudio) {
    hooked_.SetAfter([this](wchar16 letter, const u8* cdb, u8* data, u32 length, u8 status) {
      if (letter != u'E' || status != 0 || !data) return;
      bool readCd = cdb[0] == 0xBE;
      if (cdb[0] != 0x28 && !readCd) return;
      u32 lba = GetBe32(cdb + 2);
      u32 count = readCd ? GetBe24(cdb + 6) : GetBe16(cdb + 7);
      u32 size = count ? length / count : 0;
      if (row_.corruptLba >= 0 && u64(row_.corruptLba) >= lba && u64(row_.corruptLba) < u64(lba) + count) {
        u64 at = (u64(row_.corruptLba) - lba) * size + row_.corruptOffset;
        if (at < length) data[at] ^= 0x5A;
      }
      if (row_.readOffset && readCd && size == 2352) ShiftAudio(lba, data, length);
      if (row_.garbleAudio && readCd && size == 2352)
        for (u32 x = 0; x < length; ++x) data[x] = static_cast<u8>(x * 7 + 3);
    });
  }
}

void CScenarioRig::ShiftAudio(u32 lba, u8* data, u32 length) {
  std::vector<u8> sector;
  for (u32 x = 0; x < length; ++x) {
    i64 at = static_cast<i64>(lba) * 2352 + x - row_.readOffset;
    u8 value = 0;
    if (at >= 0 && destination_.ReadStoredSector(static_cast<u32>(at / 2352), &sector) && sector.size() == 2352)
      value = sector[static_cast<size_t>(at % 2352)];
    data[x] = value;
  }
}

void CScenarioRig::SnapshotTracks(const CSimulatedRecorder& recorder) {
  expected_.clear();
  std::vector<u8> sector;
  for (u32 t = 1; t <= recorder.TrackCount(); ++t) {
    u32 start = 0, size = 0;
    if (!recorder.TrackInfo(t, &start, &size, nullptr)) continue;
    for (u32 i = 0; i < size; ++i)
      if (recorder.ReadStoredSector(start + i, &sector)) expected_[start + i] = sector;
  }
}

bool CScenarioRig::WaitEnded(const CJobPage& page, u32 milliseconds) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  while (!(page.HasFlags(kJobFinished) && page.LiveThreads() == 0)) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

void CScenarioRig::Problem(const std::string& text) { run_.problems += text + "\n"; }

void CScenarioRig::Finish(const CJobPage& page) {
  run_.endMs = clock_.NowMs();
  CWideString log;
  page.GetLogText(&log);
  run_.log.assign(log.c_str(), static_cast<size_t>(log.GetLength()));
  run_.flags = page.Flags();
  run_.lastFailedOpcode = page.lastFailed.cdb[0];
  bool cancelled = run_.HasLine(u"Process cancelled");
  run_.end = cancelled ? JobEnd::kCancelled : page.IsStopped() ? JobEnd::kFailed : JobEnd::kSucceeded;
  run_.trace = destination_.Trace();
  run_.sourceTrace = source_.Trace();
  for (const auto* trace : {&run_.trace, &run_.sourceTrace})
    for (const TraceEntry& e : *trace)
      if (e.faulted && (!run_.firstFaultMs || e.timeMs < run_.firstFaultMs)) run_.firstFaultMs = e.timeMs;
  run_.destination = &destination_;
  run_.source = &source_;
  run_.prompts = ui_.PromptCount();
  for (const CHeadlessJobUi::Question& q : ui_.Questions()) run_.questions.push_back(q.textId);
  run_.overallBar = ui_.BarHistory(kBarOverall);
  if (row_.held != ((run_.flags & kJobDriveNotReleased) != 0)) Problem("the drive-not-released flag is wrong");

  if (!run_.ended) Problem("the job did not end");
  if (!run_.HasLine(u"************************ End Job ************************\r\n") || !run_.HasLine(u"Total Time: "))
    Problem("no end block");
  CheckReleased();
  // The whole log, its last lines included, reached "log.log".
  std::u16string file = ReadLogFile();
  if (run_.ended && file != run_.log)
    Problem("log.log does not hold the job's whole log (" + std::to_string(file.size()) + " of " +
            std::to_string(run_.log.size()) + " units)");
  std::remove("log.log");

  DiscCheck disc = row_.disc;
  if (disc == DiscCheck::kDefault) disc = run_.end == JobEnd::kSucceeded ? DiscCheck::kSource : DiscCheck::kAny;
  if (disc == DiscCheck::kSource) CompareDisc();
  if (disc == DiscCheck::kUntouched && !run_.Commands(0x2A).empty()) Problem("the disc was written");
}

void CScenarioRig::FinishNotStarted() {
  run_.ended = true;
  run_.end = JobEnd::kNotStarted;
  run_.trace = destination_.Trace();
  run_.sourceTrace = source_.Trace();
  run_.destination = &destination_;
  run_.source = &source_;
  CheckReleased();
  for (u8 opcode : {u8(0x2A), u8(0xA1), u8(0x04)})
    if (!run_.Commands(opcode).empty()) Problem("the disc was written or erased");
  if (row_.check) row_.check(run_);
}

void CScenarioRig::CheckReleased() {
  for (wchar16 letter : {u'E', u'F'}) {
    std::string l(1, static_cast<char>(letter));
    if (io_.VolumeLocked(letter)) Problem("drive " + l + " still locked");
    if (Recorder(letter).RemovalPrevented() && !(row_.held && letter == u'E'))
      Problem("drive " + l + " still prevents removal");
    for (const std::string& v : Recorder(letter).Violations()) Problem("drive " + l + ": " + v);
  }
  if (io_.OpenHandleCount() != 0) Problem("a drive handle is still open");
}

std::u16string CScenarioRig::ReadLogFile() {
  std::u16string text;
  FILE* f = std::fopen("log.log", "rb");
  if (!f) return text;
  int lo;
  while ((lo = std::fgetc(f)) != EOF) {
    int hi = std::fgetc(f);
    if (hi == EOF) break;
    text.push_back(static_cast<char16_t>(lo | (hi << 8)));
  }
  std::fclose(f);
  return text;
}

void CScenarioRig::CompareDisc() {
  std::vector<u8> got;
  u32 shown = 0;
  for (const auto& want : expected_) {
    bool ok = destination_.ReadStoredSector(want.first, &got);
    // A Mode 2 Form 1 sector (sub-header, then user data) holds the same
    // data as a 2048-byte one, on a CD or off it.
    if (ok && got.size() == 2336 && want.second.size() == 2048)
      ok = std::equal(want.second.begin(), want.second.end(), got.begin() + 8);
    else if (ok && got.size() == 2048 && want.second.size() == 2336)
      ok = std::equal(got.begin(), got.end(), want.second.begin() + 8);
    else
      ok = ok && got == want.second;
    if (!ok && shown++ < 3) Problem("disc block " + std::to_string(want.first) + " differs from the source");
  }
}

ScenarioRun CScenarioRig::RunFormat() {
  CFormatPage page(&ui_);
  CDrive drive;
  if (row_.readyWaitMs) drive.readyWaitMs = row_.readyWaitMs;
  if (!drive.Open(u"\\\\.\\E:") || !drive.LockVolume()) {
    Problem("the drive could not be opened");
    return run_;
  }
  drive.PreventAllowMediumRemoval(true);
  for (u32 a : row_.answers) ui_.QueueAnswer(a);
  if (row_.setup) row_.setup();
  expected_.clear();
  destination_.ClearTrace();
  ArmFaultsAndHooks(&page);
  if (page.Run(row_.formatMethod, &drive, 0, u"E: KVSIM MULTI RECORDER")) run_.ended = WaitEnded(page, 90000);
  else run_.ended = true;
  if (!run_.ended) {
    page.SetFlags(kJobStopped);
    WaitEnded(page, 30000);
  }
  Finish(page);
  if (row_.check) row_.check(run_);
  return run_;
}

namespace {

const char* EndName(JobEnd end) {
  switch (end) {
    case JobEnd::kSucceeded: return "succeeded";
    case JobEnd::kFailed: return "failed";
    case JobEnd::kCancelled: return "cancelled";
    default: return "not started";
  }
}

ScenarioRun Run(const Scenario& row) {
  CScenarioRig rig(row);
  return row.job == JobKind::kFormat ? rig.RunFormat() : RunBurnScenario(rig);
}

}  // namespace

ScenarioRun RunScenarioQuietly(const Scenario& row) {
  Scenario quiet = row;
  quiet.check = nullptr;
  return Run(quiet);
}

ScenarioRun RunScenario(const Scenario& row) {
  SCOPED_TRACE(row.name);
  ScenarioRun run = Run(row);
  std::string log = Narrow(run.log);
  EXPECT_EQ(EndName(row.end), std::string(EndName(run.end))) << log;
  EXPECT_EQ("", run.problems) << log;
  size_t at = 0;
  for (const std::u16string& line : row.lines) {
    size_t found = run.log.find(line, at);
    EXPECT_NE(std::u16string::npos, found) << "missing or out of order: " << Narrow(line) << "\n" << log;
    if (found != std::u16string::npos) at = found;
  }
  for (const std::u16string& line : row.absent)
    EXPECT_EQ(std::u16string::npos, run.log.find(line)) << "unexpected: " << Narrow(line) << "\n" << log;
  return run;
}
