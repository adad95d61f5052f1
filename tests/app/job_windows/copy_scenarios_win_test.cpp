// Disc copies as the copy window starts them, over the strict recorders:
// every source kind the window takes onto every destination medium, with
// one drive (the insert-disc prompt judges the disc put in), two drives
// directly, and two drives through the temporary image. Each pair ends with
// a disc equal to the source, or with the window's (or the prompt's)
// refusal before anything is written. The decisions and the request are the
// copy window's own; the rig checks what every job must leave.
#include <gtest/gtest.h>

#include <memory>

#include "app/job_windows/copy_check.h"
#include "drive/drive_manager.h"
#include "drive/held_drive.h"
#include "drive/mmc/mmc_commands.h"
#include "runtime/byte_order.h"
#include "runtime/message_answers.h"
#include "support/job_scenario.h"

namespace {

using namespace mmc;
using P = MediumPreset;

TrackContent Data(u32 blocks) { return TrackContent{blocks, 2048, false, false}; }
TrackContent Audio(u32 blocks) { return TrackContent{blocks, 2352, true, false}; }

MediumOptions Blank(P preset) {
  MediumOptions m;
  m.preset = preset;
  return m;
}

struct Medium {
  const char* name;
  MediumOptions disc;
  bool holdsData;  // a destination the burn erases (or writes over) after asking
};

// Odd block counts: nothing lines up with a 16-block ECC block by chance.
// A track lasts at least 4 seconds (300 blocks), as on any CD.
const Medium kSources[] = {
    {"CdData", Disc(P::kCdRom, {Data(401)}), false},
    {"MixedMode", Disc(P::kCdR, {Data(401), Audio(301)}), false},
    {"Audio", Disc(P::kCdR, {Audio(301), Audio(333)}), false},
    {"MultiSession", [] {
       MediumOptions m = Disc(P::kCdR, {Data(401)});
       m.sessions.push_back({Data(301)});
       return m;
     }(), false},
    {"DvdRom", Disc(P::kDvdRom, {Data(401)}), false},
    {"DvdR", Disc(P::kDvdR, {Data(401)}), false},
    {"DvdPlusR", Disc(P::kDvdPlusR, {Data(401)}), false},
};

// The blank sequential DVD-RW is quick formatted first; DVD-RAM comes
// formatted, which counts as holding data.
const Medium kDestinations[] = {
    {"CdR", Blank(P::kCdR), false},
    {"CdRw", Disc(P::kCdRw, {Data(500)}), true},
    {"DvdR", Blank(P::kDvdR), false},
    {"DvdRwSequential", Blank(P::kDvdRwSequential), false},
    {"DvdRwRestricted", Disc(P::kDvdRwRestricted, {Data(1000)}), true},
    {"DvdPlusR", Blank(P::kDvdPlusR), false},
    {"DvdPlusRw", Blank(P::kDvdPlusRw), false},
    {"DvdRam", Blank(P::kDvdRam), true},
    {"BdR", Blank(P::kBdR), false},
};

// What the window (or the prompt) says of each pair: '.' the copy goes
// ahead, 'C' "Insert a CD-R/RW at destination". Columns as kDestinations.
const char* const kOutcomes[] = {
    ".........",  // CdData
    "..CCCCCCC",  // MixedMode
    "..CCCCCCC",  // Audio
    "..CCCCCCC",  // MultiSession
    ".........",  // DvdRom
    ".........",  // DvdR
    ".........",  // DvdPlusR
};

enum class Mode : u8 { kOneDrive, kDirect, kThroughImage };
const char* const kModeNames[] = {"OneDrive", "Direct", "ThroughImage"};

u32 SuccessfulWriteBlocks(const ScenarioRun& r) {
  u32 blocks = 0;
  for (const TraceEntry& w : r.Commands(kWrite10))
    if (w.transportOk && w.status == 0) blocks += ReadBigEndian16(w.cdb + 7);
  return blocks;
}

// The copy window over the rig's drives (destination 0, source 1 or 0):
// the source read, the destination judged when it is another drive, and on
// OK the request filled with "Verify" and, between two drives, "Direct
// copy" as the mode has it.
bool CopyWindow(CDriveManager& drives, BurnRequest* request, Mode mode, CopyVerdict* seen) {
  *seen = CopyVerdict();
  const i32 sourceIndex = mode == Mode::kOneDrive ? 0 : 1;
  CopySource disc;
  {
    CHeldDrive source(drives.OpenDrive(static_cast<u32>(sourceIndex)));
    if (!source || ReadCopySource(*source.Get(), &disc) != SourceRead::kOk) return false;
  }
  if (mode != Mode::kOneDrive) {
    CHeldDrive destination(drives.OpenDrive(0));
    if (!destination) return false;
    *seen = JudgeCopyDestination(disc, DescribeDestination(*destination.Get()));
    if (!seen->ok) return false;
  }
  CopyChoices choices;
  choices.source = sourceIndex;
  choices.destination = 0;
  choices.verify = true;
  choices.direct = mode == Mode::kDirect;
  FillCopyRequest(request, choices, disc, seen->overburn);
  return true;
}

Scenario CopyRow(u32 s, u32 d, Mode mode) {
  const Medium& source = kSources[s];
  const Medium& destination = kDestinations[d];
  const bool copies = kOutcomes[s][d] == '.';
  const bool oneDrive = mode == Mode::kOneDrive;
  const std::string name =
      std::string(source.name) + "_" + destination.name + "_" + kModeNames[static_cast<u32>(mode)];
  auto seen = std::make_shared<CopyVerdict>();
  Row row(name.c_str());
  row.QuickDrive()
      .Copy(source.disc, oneDrive ? 0 : 1)
      .Window([mode, seen](CDriveManager& drives, BurnRequest* request) {
        return CopyWindow(drives, request, mode, seen.get());
      });
  const bool asks = oneDrive && copies && destination.holdsData;
  if (oneDrive) {
    row.PromptInserts(destination.disc).PromptLook([seen](CDrive& drive, BurnRequest* request) {
      *seen = JudgeInsertedDisc(drive, request);
      return seen->ok;
    });
    // The person agrees to the erase of a rewritable disc with data.
    if (asks) row.Answers({kAnswerYes});
  } else {
    row.Medium(destination.disc);
  }
  if (!copies) row.Ends(oneDrive ? JobEnd::kCancelled : JobEnd::kNotStarted).Disc(DiscCheck::kUntouched);
  if (copies && mode == Mode::kDirect)
    row.Log({u"Opening source device: ", u"Automatic Write Speed - Source Read Speed: "})
        .NotLog({u"Creating temp file: ", u"Source Read Speed: 0 KB/s"});
  if (copies && mode != Mode::kDirect)
    row.Log({u"Creating temp file: burn_work\\KelvaneTemp", u"Opening image file: burn_work\\KelvaneTemp"});
  const u32 sessions = static_cast<u32>(source.disc.sessions.size());
  const std::string reserved = "Reserved Track: " + std::to_string(source.disc.sessions[0][0].blocks) + " Blocks";
  if (copies && sessions > 1) row.Log({u"Sending Cue Sheet 1"});
  const u16 sourceProfile = GetMediumPresetInfo(source.disc.preset).profile;
  const bool cdDestination = GetMediumPresetInfo(destination.disc.preset).family == MediaFamily::kCd;
  const bool reserves = destination.disc.preset == P::kDvdR;
  row.Check([=](const ScenarioRun& r) {
    // The refusal the window or the prompt gave, or none.
    const char refusal = kOutcomes[s][d];
    EXPECT_EQ(refusal == '.' ? 0u : kTextInsertA, seen->statusId);
    EXPECT_EQ(refusal == 'C' ? kMediumNameCd : nullptr, seen->medium);
    EXPECT_EQ(oneDrive ? 1u : 0u, r.prompts);
    EXPECT_EQ(oneDrive ? sourceProfile : 0, r.promptProfile);
    // Only a one-drive copy onto a rewritable disc with data asks itself.
    EXPECT_EQ(asks ? std::vector<u32>{77} : std::vector<u32>{}, r.questions);
    if (!copies) return;
    // The progress counts exactly the blocks written.
    const std::string total = "Sectors to Write: " + std::to_string(SuccessfulWriteBlocks(r)) + "\r\n";
    EXPECT_NE(std::string::npos, Narrow(r.log).find(total)) << total;
    EXPECT_TRUE(!cdDestination || r.destination->Finalized());
    EXPECT_EQ(sessions, r.destination->SessionCount());
    EXPECT_EQ(reserves, Narrow(r.log).find(reserved) != std::string::npos) << reserved;
    if (mode == Mode::kDirect) {
      // The source drive is given back, and not after the destination.
      ASSERT_FALSE(r.sourceTrace.empty());
      EXPECT_EQ(kPreventAllowMediumRemoval, r.sourceTrace.back().Opcode());
      EXPECT_LE(r.sourceTrace.back().timeMs, r.trace.back().timeMs);
    }
    if (mode == Mode::kThroughImage) {
      // ... before the destination is written.
      const std::vector<TraceEntry> writes = r.Commands(kWrite10);
      ASSERT_FALSE(writes.empty());
      EXPECT_LE(r.sourceTrace.back().timeMs, writes.front().timeMs);
    }
  });
  return row.Get();
}

std::vector<Scenario> CopyRows() {
  std::vector<Scenario> rows;
  for (u32 s = 0; s < sizeof(kSources) / sizeof(kSources[0]); ++s)
    for (u32 d = 0; d < sizeof(kDestinations) / sizeof(kDestinations[0]); ++d)
      for (Mode mode : {Mode::kOneDrive, Mode::kDirect, Mode::kThroughImage}) rows.push_back(CopyRow(s, d, mode));
  return rows;
}

static_assert(sizeof(kOutcomes) / sizeof(kOutcomes[0]) == sizeof(kSources) / sizeof(kSources[0]),
              "one outcome line per source kind");

class CopyScenario : public ::testing::TestWithParam<Scenario> {};

TEST_P(CopyScenario, Runs) { RunScenario(GetParam()); }

INSTANTIATE_TEST_SUITE_P(Pairs, CopyScenario, ::testing::ValuesIn(CopyRows()),
                         [](const ::testing::TestParamInfo<Scenario>& info) { return info.param.name; });

}  // namespace
