// Burn rows: an image file, an audio project or a disc copy burnt through
// the burn page as the task view starts it (destination opened and locked),
// with the disc the job must leave worked out before it runs.
#include <algorithm>
#include <atomic>
#include <cstring>
#include <memory>
#include <thread>

#include "drive/drive_manager.h"
#include "jobs/burn/burn_job.h"
#include "jobs/image/image_cue_sheet.h"
#include "jobs/image/image_file.h"
#include "job_scenario_rig.h"
#include "runtime/file.h"
#include "runtime/win.h"

namespace {

const wchar16 kWorkFolder[] = u"burn_work";
const wchar16 kImagePath[] = u"burn_work\\scenario.iso";
// Looks of the insert-disc prompt at a disc before the person gives up.
constexpr u32 kPromptLooks = 3;

std::vector<u8> Bytes(u32 sectors, u32 seed, u32 sectorSize) {
  std::vector<u8> bytes(static_cast<size_t>(sectors) * sectorSize);
  u32 x = seed * 2654435761u + 12345u;
  for (u8& b : bytes) {
    x = x * 1664525u + 1013904223u;
    b = static_cast<u8>(x >> 24);
  }
  return bytes;
}

// Audio sectors computed from their position, as the audio project's
// source gives them; it counts what is asked of it.
class CComputedSource final : public IBurnSource {
 public:
  explicit CComputedSource(u64 size) : size_(size) {}
  static u8 ByteAt(u64 position) {
    u32 x = static_cast<u32>(position) * 0x9E3779B1u + static_cast<u32>(position >> 32);
    x ^= x >> 15;
    x *= 0x85EBCA77u;
    return static_cast<u8>(x >> 24);
  }
  HResult Seek(i64 move, u32 origin, u64* newPosition) override {
    ++seeks;
    if (origin != kSeekStart || move < 0) return kHrInvalidArg;
    at_ = static_cast<u64>(move) < size_ ? static_cast<u64>(move) : size_;
    if (newPosition) *newPosition = at_;
    return kHrOk;
  }
  HResult GetSize(u64* bytes) override {
    *bytes = size_;
    return kHrOk;
  }
  HResult Read(void* buffer, u64 bytes, u64* bytesRead) override {
    u64 n = size_ - at_ < bytes ? size_ - at_ : bytes;
    u8* out = static_cast<u8*>(buffer);
    for (u64 i = 0; i < n; ++i) out[i] = ByteAt(at_ + i);
    at_ += n;
    delivered += n;
    *bytesRead = n;
    return n ? kHrOk : kHrFalse;
  }
  u32 seeks = 0;
  u64 delivered = 0;

 private:
  u64 size_;
  u64 at_ = 0;
};

void AddEntry(TrackList* session, i32 start, u32 size, u32 count, u8 content, u8 mode2 = 0) {
  *session->AppendNew() = TrackExtent{start, size, count, content, mode2, 0, 0};
}

// The bytes of a file, empty when it cannot be read.
std::vector<u8> FileBytes(const wchar16* path) {
  CFileHandle file;
  u64 size = 0, got = 0;
  if (Failed(file.OpenRead(path)) || Failed(FileSize(file.Get(), &size))) return {};
  std::vector<u8> bytes(static_cast<size_t>(size));
  if (size && (Failed(FileReadAll(file.Get(), bytes.data(), size, &got)) || got != size)) return {};
  return bytes;
}

// The request as the burn-image window makes it: one data track of the
// image's user data in whole sectors (a partial last one counts), the cue
// sheet for disc at once. The disc must end with that data, the last
// sector made whole by zeros.
bool ImageRequest(CScenarioRig& rig, BurnRequest* request) {
  const Scenario& row = rig.row_;
  const wchar16* path = row.imageFile && row.imageSize == ~0ull ? row.imageFile : kImagePath;
  if (path == kImagePath) {
    std::vector<u8> bytes = row.imageFile ? FileBytes(row.imageFile) : Bytes(row.sectors, row.sectors, 2048);
    if (row.imageSize != ~0ull) bytes.resize(static_cast<size_t>(row.imageSize));
    CFileHandle file;
    u64 written = 0;
    if (Failed(file.Create(kImagePath)) ||
        (!bytes.empty() && Failed(WriteFileChunked(file.Get(), bytes.data(), bytes.size(), &written))))
      return false;
  }
  CImageFile image;
  if (Failed(image.Open(path, true))) return false;
  u64 size = 0;
  image.GetSize(&size);
  u32 sectors = static_cast<u32>(UserDataSectors(size));
  request->source = kNoDrive;
  request->imagePath.Assign(path);
  AddEntry(request->sessions.AppendNew(), 0, 2048, sectors, 1, (row.options & kOptionMode2Form1) ? 1 : 0);
  if (row.method == kMethodDiscAtOnce)
    BuildImageCueSheet(image, request->cueSheets.AppendNew(), (row.options & kOptionMode2Form1) != 0);
  std::vector<u8> block(2048);
  for (u32 i = 0; i < sectors; ++i) {
    u64 got = 0;
    std::fill(block.begin(), block.end(), 0);
    if (Failed(image.Read(block.data(), 2048, &got)) || got != (i + 1 < sectors ? 2048 : size - u64(i) * 2048))
      return false;
    rig.expected_[i] = block;
  }
  image.Close();
  if (row.imageBytes != ~0u && !row.imageFile) {
    std::vector<u8> bytes = Bytes(row.sectors, row.sectors, 2048);
    bytes.resize(row.imageBytes);
    CFileHandle file;
    u64 written = 0;
    if (Failed(file.Create(kImagePath))) return false;
    if (!bytes.empty()) WriteFileChunked(file.Get(), bytes.data(), bytes.size(), &written);
  }
  return true;
}

// Two audio tracks: the first pause from -150, then a 75-block pause
// between them.
std::unique_ptr<CComputedSource> ProjectRequest(CScenarioRig& rig, BurnRequest* request) {
  const Scenario& row = rig.row_;
  u32 first = row.sectors / 2, second = row.sectors - first, pause = 75;
  i32 track1 = -150 + static_cast<i32>(row.firstPause);
  i32 track2 = track1 + static_cast<i32>(first + pause);
  TrackList* session = request->sessions.AppendNew();
  AddEntry(session, -150, 2352, row.firstPause, 0);
  AddEntry(session, track1, 2352, first, 1);
  AddEntry(session, track1 + static_cast<i32>(first), 2352, pause, 0);
  AddEntry(session, track2, 2352, second, 1);
  CueSheet* sheet = request->cueSheets.AppendNew();
  sheet->count = 0;
  AppendCueSheetEntry(sheet, 0, 1, 0, 0, 0x01, -150);
  AppendCueSheetEntry(sheet, 0, 1, 1, 0, 0x00, -150);
  AppendCueSheetEntry(sheet, 0, 1, 1, 1, 0x00, track1);
  AppendCueSheetEntry(sheet, 0, 1, 2, 0, 0x00, track1 + static_cast<i32>(first));
  AppendCueSheetEntry(sheet, 0, 1, 2, 1, 0x00, track2);
  AppendCueSheetLeadOut(sheet, 0, 1, 0x01, track2 + static_cast<i32>(second));
  std::vector<u8> sector(2352);
  for (u32 i = 0; i < first + second; ++i) {
    i32 lba = i < first ? track1 + static_cast<i32>(i) : track2 + static_cast<i32>(i - first);
    for (u32 b = 0; b < 2352; ++b) sector[b] = CComputedSource::ByteAt(u64(i) * 2352 + b);
    if (lba >= 0) rig.expected_[static_cast<u32>(lba)] = sector;
  }
  for (u32 k = 0; k < pause; ++k) rig.expected_[track1 + first + k].assign(2352, 0);
  request->options |= kOptionAudioProject;
  u64 size = u64(first + second) * 2352;
  return std::unique_ptr<CComputedSource>(new CComputedSource(row.shortSource ? size / 2 : size));
}

}  // namespace

ScenarioRun RunBurnScenario(CScenarioRig& rig) {
  const Scenario& row = rig.row_;
  // The image and the temporary image live here, from the first row run in
  // a fresh build folder.
  MakeDirectory(kWorkFolder);
  BurnRequest request;
  request.destination = 0;
  request.method = row.method;
  request.options = row.options;
  request.writeSpeed = row.writeSpeed;
  std::unique_ptr<CComputedSource> project;
  int followUp = 0;
  if (row.job == JobKind::kImage) {
    if (!ImageRequest(rig, &request)) rig.Problem("the image could not be made: " + std::to_string(GetLastError()));
  } else if (row.job == JobKind::kProject) {
    project = ProjectRequest(rig, &request);
    request.projectSource = project.get();
    request.projectPage = &followUp;
  } else {
    request.source = row.sourceDrive;
    request.titleId = 147;
    rig.SnapshotTracks(row.sourceDrive == 1 ? rig.source_ : rig.destination_);
  }
  rig.ui_.SetUiAvailable(row.uiAvailable);
  for (u32 a : row.answers) rig.ui_.QueueAnswer(a);

  CDriveManager manager;
  if (row.readyWaitMs)
    for (u32 i = 0; i < manager.GetDriveCount(); ++i) manager.drives[i].readyWaitMs = row.readyWaitMs;
  rig.ui_.SetInsertDiscPrompt([&rig, &manager](i32 index, void* context) -> u32 {
    BurnRequest* copy = static_cast<BurnRequest*>(context);
    rig.run_.promptProfile = copy->copiedProfile;
    if (rig.row_.promptCancels) return 1;
    rig.destination_.RemoveMedium();
    rig.destination_.InsertMedium(rig.row_.promptMedium);
    rig.destination_.MakeReady();
    if (!rig.row_.promptLook) return 0;
    // The prompt's first look may meet the news of the disc change.
    for (u32 look = 0; look < kPromptLooks; ++look)
      if (rig.row_.promptLook(manager.drives[static_cast<u32>(index)], copy)) return 0;
    return 1;
  });
  if (row.window && !row.window(manager, &request)) {
    rig.FinishNotStarted();
    rig.ui_.SetInsertDiscPrompt(nullptr);
    return rig.run_;
  }
  CDrive* held = row.holdSource ? manager.OpenDrive(1) : nullptr;
  // A holder that lets go once the job has waited the given virtual time.
  std::thread releaser;
  std::atomic<bool> jobOver{false};
  if (held && row.holdSourceMs) {
    const u64 from = rig.clock_.NowMs();
    releaser = std::thread([&rig, &held, &jobOver, from, &row] {
      while (!jobOver && rig.clock_.NowMs() - from < row.holdSourceMs) SystemClock().Sleep(1);
      if (!jobOver) ReleaseDrive(&held);
    });
  }
  if (row.setup) row.setup();
  CBurnPage page(&rig.ui_);
  page.driveManager = &manager;
  page.tempFolder.Assign(kWorkFolder);
  rig.destination_.ClearTrace();
  rig.source_.ClearTrace();
  rig.ArmFaultsAndHooks(&page);
  CDrive* drive = manager.OpenDrive(0);
  if (!drive) {
    // The drive failed its probe: no job starts (the caller reports it).
    rig.run_.ended = true;
    rig.run_.end = JobEnd::kFailed;
    rig.CheckReleased();
    return rig.run_;
  }
  drive->LockVolume();
  if (page.StartJob(request, drive, manager.GetName(0).c_str())) {
    rig.run_.ended = page.mainThread.Join(90000);
    if (!rig.run_.ended) {
      page.SetFlags(kJobStopped);
      page.mainThread.Join(30000);
    }
    rig.run_.ended = rig.run_.ended && CScenarioRig::WaitEnded(page, 30000);
  } else {
    rig.run_.ended = true;
  }
  jobOver = true;
  if (releaser.joinable()) releaser.join();
  if (held) held->Close();
  if (project) {
    rig.run_.sourceSeeks = project->seeks;
    rig.run_.sourceDelivered = project->delivered;
    rig.run_.followUpShown = rig.ui_.PageAside() == &followUp && rig.ui_.PageShown() == &followUp;
  }
  rig.run_.writeResult = page.writeResult.load();
  rig.run_.verifyResult = page.verifyResult.load();
  rig.Finish(page);
  if (!page.tempImagePath.IsEmpty() && FileExists(page.tempImagePath.c_str())) rig.Problem("the temporary image is left");
  if (rig.run_.end == JobEnd::kSucceeded && (rig.run_.writeResult || rig.run_.verifyResult))
    rig.Problem("succeeded with a failed write or verify");
  if (row.check) row.check(rig.run_);
  rig.ui_.SetInsertDiscPrompt(nullptr);
  RemoveFile(kImagePath);
  return rig.run_;
}
