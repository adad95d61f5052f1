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
TrackContent Mode2(u32 blocks) { return TrackContent{blocks, 2048, false, true}; }

MediumOptions Blank(P preset) {
  MediumOptions m;
  m.preset = preset;
  return m;
}

struct Medium {
  const char* name;
  MediumOptions disc;
  bool holdsData;  // a destination the burn erases (or writes over) after asking
  const char16_t* erase = nullptr;  // the log line of the destination's erase
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
    // CD-ROM XA: Mode 2 Form 1 data, alone, in two sessions, before audio.
    {"Mode2", Disc(P::kCdR, {Mode2(405)}), false},
    {"Mode2MultiSession", [] {
       MediumOptions m = Disc(P::kCdR, {Mode2(405)});
       m.sessions.push_back({Mode2(333)});
       return m;
     }(), false},
    {"Mode2Mixed", Disc(P::kCdR, {Mode2(405), Audio(301)}), false},
    // Two data tracks (a DVD-R track takes whole 16-block ECC blocks): the
    // restricted-overwrite padding goes after the second.
    {"DvdRTwoTracks", Disc(P::kDvdR, {Data(416), Data(301)}), false},
};

// The blank sequential DVD-RW is quick formatted first; DVD-RAM comes
// formatted, which counts as holding data.
const Medium kDestinations[] = {
    {"CdR", Blank(P::kCdR), false},
    {"CdRw", Disc(P::kCdRw, {Data(500)}), true, u"Quick Erase CD-RW"},
    {"DvdR", Blank(P::kDvdR), false},
    {"DvdRwSequential", Blank(P::kDvdRwSequential), false, u"Quick Format 15h DVD-RW"},
    {"DvdRwRestricted", Disc(P::kDvdRwRestricted, {Data(1000)}), true, u"Quick Format 15h DVD-RW"},
    // Formatted for 256 blocks only: the quick format grows it to the end
    // of what the copy writes.
    {"DvdRwRestrictedPartly", [] {
       MediumOptions m = Disc(P::kDvdRwRestricted, {Data(200)});
       m.fill = DiscFill::kAppendable;
       m.formattedBlocks = 256;
       return m;
     }(), true, u"Quick Format 13h DVD-RW"},
    {"DvdPlusR", Blank(P::kDvdPlusR), false},
    {"DvdPlusRw", Blank(P::kDvdPlusRw), false},
    {"DvdRam", Blank(P::kDvdRam), true},
    {"BdR", Blank(P::kBdR), false},
};

// What the window (or the prompt) says of each pair: '.' the copy goes
// ahead, 'C' "Insert a CD-R/RW at destination", 'D' "Insert a DVD-R/-RW
// (DL) at destination". Columns as kDestinations.
const char* const kOutcomes[] = {
    "..........",  // CdData
    "..CCCCCCCC",  // MixedMode
    "..CCCCCCCC",  // Audio
    "..CCCCCCCC",  // MultiSession
    "..........",  // DvdRom
    "..........",  // DvdR
    "..........",  // DvdPlusR
    "..........",  // Mode2
    "..CCCCCCCC",  // Mode2MultiSession
    "..CCCCCCCC",  // Mode2Mixed
    "DD....DD.D",  // DvdRTwoTracks
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
  // A layout of several tracks needs a DVD-RW erased in full.
  const P to = destination.disc.preset;
  const bool dvdRw = to == P::kDvdRwSequential || to == P::kDvdRwRestricted;
  size_t tracks = 0;
  for (const auto& session : source.disc.sessions) tracks += session.size();
  const bool asksFullErase = copies && dvdRw && tracks > 1;
  std::vector<u32> questions;
  if (asks) questions.push_back(77);
  if (asksFullErase) questions.push_back(156);
  if (oneDrive) {
    row.PromptInserts(destination.disc).PromptLook([seen](CDrive& drive, BurnRequest* request) {
      *seen = JudgeInsertedDisc(drive, request);
      return seen->ok;
    });
  } else {
    row.Medium(destination.disc);
  }
  // The person agrees to the erase of a rewritable disc with data, and to
  // a full erase.
  if (asks && asksFullErase)
    row.Answers({kAnswerYes, kAnswerOk});
  else if (asks)
    row.Answers({kAnswerYes});
  else if (asksFullErase)
    row.Answers({kAnswerOk});
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
  // A DVD-RW erased in full is written as a sequential one.
  const bool reserves = destination.disc.preset == P::kDvdR || asksFullErase;
  const bool mode2 = source.disc.sessions[0][0].mode2;
  const bool audioFirst = source.disc.sessions[0][0].audio;
  row.Check([=](const ScenarioRun& r) {
    // The refusal the window or the prompt gave, or none.
    const char refusal = kOutcomes[s][d];
    EXPECT_EQ(refusal == '.' ? 0u : kTextInsertA, seen->statusId);
    EXPECT_EQ(refusal == 'C' ? kMediumNameCd : refusal == 'D' ? kMediumNameDvdR : nullptr, seen->medium);
    EXPECT_EQ(oneDrive ? 1u : 0u, r.prompts);
    EXPECT_EQ(oneDrive ? sourceProfile : 0, r.promptProfile);
    // Only a one-drive copy onto a rewritable disc with data asks itself.
    EXPECT_EQ(questions, r.questions);
    if (!copies) return;
    // The erase the disc needs, sized for all that the copy writes.
    const char16_t* erase = asksFullErase ? u"Full Erase DVD-RW" : destination.erase;
    for (const char16_t* line : {u"Quick Erase CD-RW", u"Quick Format 15h DVD-RW", u"Quick Format 13h DVD-RW",
                                 u"Full Erase DVD-RW", u"Background Format 26h DVD+RW"})
      EXPECT_EQ(erase && std::u16string(erase) == line, r.HasLine(line)) << Narrow(line);
    // The progress counts exactly the blocks written.
    const std::string total = "Sectors to Write: " + std::to_string(SuccessfulWriteBlocks(r)) + "\r\n";
    EXPECT_NE(std::string::npos, Narrow(r.log).find(total)) << total;
    EXPECT_TRUE(!cdDestination || r.destination->Finalized());
    // Mode 2 data goes onto a CD as Mode 2 Form 1 sectors (a CD-ROM XA disc).
    std::vector<u8> first;
    EXPECT_TRUE(r.destination->ReadStoredSector(0, &first));
    EXPECT_EQ(audioFirst ? 2352u : cdDestination && mode2 ? 2336u : 2048u, first.size());
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
