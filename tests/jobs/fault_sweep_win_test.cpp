// One fault at every command of representative jobs, of each kind a drive
// produces: a failed request, a medium error, a drive that stays NOT READY
// from then on, one UNIT ATTENTION. Whatever the command, the job ends as
// failed or as succeeded with the disc equal to the source; never as
// cancelled, never with a drive still locked or its disc held in, never
// waiting longer than the drive-ready deadline after a drive stopped
// answering: it polls at most one deadline's worth (polls are counted, not
// virtual time, which other threads move on while a loaded machine holds
// the job's thread back).
#include <gtest/gtest.h>

#include <cstdio>

#include "jobs/erase_format_job.h"
#include "support/job_scenario.h"

namespace {

using P = MediumPreset;
constexpr u32 kReadyWaitMs = 20000;

enum class Kind : u8 { kTransport, kMediumError, kStuck, kUnitAttention };
const char* const kKindNames[] = {"failed request", "medium error", "stuck NOT READY", "UNIT ATTENTION"};

RecorderFault FaultAt(Kind kind, u32 command) {
  RecorderFault f = SenseAt(-1, 3, 0x0C, 0, 1, -1, command);
  if (kind == Kind::kTransport) f.kind = FaultKind::kTransport;
  if (kind == Kind::kStuck) f.kind = FaultKind::kStuck;
  if (kind == Kind::kUnitAttention) f = SenseAt(-1, 6, 0x28, 0, 1, -1, command);
  return f;
}

// The commands of a run with their virtual times and answers.
std::string Timeline(const ScenarioRun& run) {
  std::string out;
  char line[64];
  for (const TraceEntry& e : run.trace) {
    std::snprintf(line, sizeof line, "%llu %02X %d/%02X/%02X%s\n", static_cast<unsigned long long>(e.timeMs), e.Opcode(),
                  e.key, e.asc, e.ascq, e.transportOk ? "" : " failed");
    out += line;
  }
  return out;
}

void Sweep(Row row, wchar16 drive) {
  row.ReadyWait(kReadyWaitMs).QuickDrive();
  ScenarioRun clean = RunScenario(row);
  u32 commands = static_cast<u32>((drive == u'E' ? clean.trace : clean.sourceTrace).size());
  ASSERT_GT(commands, 0u);
  for (u32 k = 1; k <= commands; ++k) {
    for (Kind kind : {Kind::kTransport, Kind::kMediumError, Kind::kStuck, Kind::kUnitAttention}) {
      Row faulty = row;
      faulty.Fault(FaultAt(kind, k), drive);
      ScenarioRun run = RunScenarioQuietly(faulty);
      SCOPED_TRACE(std::string(kKindNames[static_cast<int>(kind)]) + " at command " + std::to_string(k) + " of " +
                   std::string(1, static_cast<char>(drive)) + "\n" + Narrow(run.log));
      EXPECT_EQ("", run.problems);
      EXPECT_NE(JobEnd::kCancelled, run.end);
      if (kind == Kind::kStuck && run.firstFaultMs) {
        u32 after = 0;
        for (const TraceEntry& e : run.trace) after += e.timeMs >= run.firstFaultMs;
        EXPECT_LE(after, kReadyWaitMs / 10 + 200) << Timeline(run);
        EXPECT_LE(run.endMs - run.firstFaultMs, 3 * kReadyWaitMs) << Timeline(run);
      }
    }
  }
}

MediumOptions Cd(u32 blocks) { return Disc(P::kCdR, {TrackContent{blocks, 2048, false, false}}); }

TEST(FaultSweep, CdRDiscAtOnce) { Sweep(Row("cd").Onto(P::kCdR).Image(300).Options(kOptionBufe | kOptionCloseDisc), u'E'); }
TEST(FaultSweep, DvdRDiscAtOnceWithVerify) { Sweep(Row("dvd-r").Onto(P::kDvdR).Image(32), u'E'); }
TEST(FaultSweep, DvdPlusRTrackAtOnce) { Sweep(Row("dvd+r").Onto(P::kDvdPlusR).Image(32).Tao(), u'E'); }
TEST(FaultSweep, DvdPlusRw) { Sweep(Row("dvd+rw").Onto(P::kDvdPlusRw).Image(32), u'E'); }
TEST(FaultSweep, DirectCopyDestination) {
  Sweep(Row("copy").Onto(P::kDvdR).Copy(Disc(P::kDvdRom, {TrackContent{48, 2048, false, false}}))
            .Options(kDefaultBurnOptions | kOptionDirectCopy), u'E');
}
TEST(FaultSweep, DirectCopySource) {
  Sweep(Row("copy").Onto(P::kDvdR).Copy(Disc(P::kDvdRom, {TrackContent{48, 2048, false, false}}))
            .Options(kDefaultBurnOptions | kOptionDirectCopy), u'F');
}
TEST(FaultSweep, BurnOntoAUsedCdRw) {
  Sweep(Row("cd-rw").Medium(Disc(P::kCdRw, {TrackContent{500, 2048, false, false}})).Image(300)
            .Options(kOptionBufe | kOptionCloseDisc), u'E');
}
TEST(FaultSweep, QuickErase) { Sweep(Row("erase").Medium(Cd(500)).Format(kMethodQuickErase).Onto(P::kCdRw, DiscFill::kComplete), u'E'); }
TEST(FaultSweep, BackgroundFormat) { Sweep(Row("format").Onto(P::kDvdPlusRw).Format(kMethodFullFormat), u'E'); }

}  // namespace
