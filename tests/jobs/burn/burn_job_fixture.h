// Burn jobs end to end on virtual time: simulated recorders behind the
// device I/O seam (destination "E:", source "F:"), a drive manager over them,
// a headless job page, image files written by the test, and a device I/O
// hook that sees (and may change) every SCSI request, so that tests can stop
// a job at a chosen command, take the medium out, or shift audio reads.
#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "drive/drive_manager.h"
#include "drive/scsi_pass_through.h"
#include "jobs/burn/burn_job.h"
#include "jobs/burn/burn_request.h"
#include "jobs/image/image_cue_sheet.h"
#include "jobs/image/image_file.h"
#include "runtime/file.h"
#include "runtime/win.h"
#include "support/headless_job_ui.h"
#include "support/simulated_device_io.h"
#include "support/simulated_recorder.h"
#include "support/virtual_clock.h"

// Passes every call to the simulated device I/O; calls `before` with the
// drive letter and the command block of each pass-through request, and
// `after` with the request once it was answered (its data may be changed).
class CHookedDeviceIo final : public IDeviceIo {
 public:
  typedef std::function<void(wchar16 letter, const u8* cdb)> Before;
  typedef std::function<void(wchar16 letter, const u8* cdb, u8* data, u32 length, u8 status)> After;

  explicit CHookedDeviceIo(IDeviceIo& inner) : inner_(inner) {}
  void SetBefore(Before before) {
    std::lock_guard<std::mutex> guard(mutex_);
    before_ = std::move(before);
  }
  void SetAfter(After after) {
    std::lock_guard<std::mutex> guard(mutex_);
    after_ = std::move(after);
  }

  u32 GetLogicalDriveStrings(u32 length, wchar16* buffer) override { return inner_.GetLogicalDriveStrings(length, buffer); }
  u32 GetDriveType(const wchar16* root) override { return inner_.GetDriveType(root); }
  void* CreateFile(const wchar16* path, u32 access, u32 share, u32 disposition, u32 flags) override {
    void* h = inner_.CreateFile(path, access, share, disposition, flags);
    if (h != InvalidDeviceHandle() && h && path) {
      wchar16 letter = 0;
      for (const wchar16* p = path; *p; ++p)
        if (p[1] == u':') letter = *p;
      std::lock_guard<std::mutex> guard(mutex_);
      letters_[h] = letter;
    }
    return h;
  }
  bool CloseHandle(void* handle) override {
    {
      std::lock_guard<std::mutex> guard(mutex_);
      letters_.erase(handle);
    }
    return inner_.CloseHandle(handle);
  }
  bool DeviceIoControl(void* handle, u32 code, void* in, u32 inSize, void* out, u32 outSize,
                       u32* bytesReturned) override {
    Before before;
    After after;
    wchar16 letter = 0;
    {
      std::lock_guard<std::mutex> guard(mutex_);
      before = before_;
      after = after_;
      auto it = letters_.find(handle);
      if (it != letters_.end()) letter = it->second;
    }
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

 private:
  IDeviceIo& inner_;
  std::mutex mutex_;
  Before before_;
  After after_;
  std::map<void*, wchar16> letters_;
};

// Deterministic image bytes.
inline std::vector<u8> ImageBytes(u32 sectors, u32 seed, u32 sectorSize = 2048) {
  std::vector<u8> bytes(static_cast<size_t>(sectors) * sectorSize);
  u32 x = seed * 2654435761u + 12345u;
  for (size_t i = 0; i < bytes.size(); ++i) {
    x = x * 1664525u + 1013904223u;
    bytes[i] = static_cast<u8>(x >> 24);
  }
  return bytes;
}

class BurnJobTest : public ::testing::Test {
 protected:
  static constexpr wchar16 kDestination = u'E';
  static constexpr wchar16 kSource = u'F';

  BurnJobTest() : installedClock_(clock_), hooked_(io_), installedIo_(hooked_) {
    io_.AddOpticalDrive(kDestination, &recorder_);
    io_.AddOpticalDrive(kSource, &sourceRecorder_);
    MakeDirectory(kWorkFolder);
    clock_.SetForeverLimitMs(60000);
  }

  ~BurnJobTest() override {
    page_.reset();
    manager_.reset();
    hooked_.SetBefore(nullptr);
    hooked_.SetAfter(nullptr);
    for (const std::u16string& file : files_) RemoveFile(file.c_str());
  }

  // Inserts a medium and lets the drive settle (ready, attention taken).
  static void Insert(CSimulatedRecorder& recorder, wchar16 letter, const MediumOptions& options) {
    recorder.InsertMedium(options);
    recorder.MakeReady();
    CDrive d;
    std::u16string path = u"\\\\.\\";
    path += letter;
    path += u':';
    if (!d.OpenDevice(path.c_str())) return;
    for (int i = 0; i < 4; ++i) {
      d.TestUnitReady();
      if (d.LastCommandSucceeded() || d.senseKey != 6) break;
    }
    d.Close();
  }
  void InsertDestination(MediumPreset preset, DiscFill fill = DiscFill::kBlank) {
    MediumOptions options;
    options.preset = preset;
    options.fill = fill;
    Insert(recorder_, kDestination, options);
  }
  void InsertSource(const MediumOptions& options) { Insert(sourceRecorder_, kSource, options); }

  // The drive manager, made once the media are in (E: is 0, F: is 1).
  CDriveManager& Manager() {
    if (!manager_) manager_.reset(new CDriveManager());
    return *manager_;
  }

  // Writes an image file into the work folder; returns its path.
  std::u16string WriteImage(const char16_t* name, const std::vector<u8>& bytes) {
    std::u16string path = std::u16string(kWorkFolder) + u"\\" + name;
    CFileHandle file;
    EXPECT_EQ(0, file.Create(path.c_str()));
    u64 written = 0;
    if (!bytes.empty()) {
      EXPECT_EQ(0, WriteFileChunked(file.Get(), bytes.data(), bytes.size(), &written));
    }
    file.Close();
    files_.push_back(path);
    return path;
  }

  // The request of the burn-image window for one image track.
  static void BuildImageRequest(BurnRequest* request, const std::u16string& path, u32 method, u8 options) {
    request->source = -1;
    request->destination = 0;
    request->imagePath.Assign(path.c_str());
    request->method = method;
    request->options = options;
    CImageFile image;
    ASSERT_EQ(0, image.Open(path.c_str(), true));
    u64 size = 0;
    ASSERT_EQ(0, image.GetSize(&size));
    TrackList* session = request->sessions.AppendNew();
    ASSERT_NE(nullptr, session);
    TrackExtent* track = session->AppendNew();
    track->start = 0;
    track->sectorSize = 2048;
    track->sectorCount = static_cast<u32>(size / 2048);
    track->content = 1;
    track->mode2Form1 = (options & kOptionMode2Form1) ? 1 : 0;
    if (method == kMethodDiscAtOnce) {
      CueSheet* sheet = request->cueSheets.AppendNew();
      ASSERT_NE(nullptr, sheet);
      ASSERT_TRUE(BuildImageCueSheet(image, sheet, (options & kOptionMode2Form1) != 0));
    }
  }

  // Starts the job as the task view does (destination opened and locked)
  // and waits for its main thread, with a watchdog.
  bool RunJob(const BurnRequest& request) {
    page_.reset(new CBurnPage(&ui_));
    page_->driveManager = &Manager();
    page_->tempFolder.Assign(kWorkFolder);
    CDrive* drive = Manager().OpenDrive(static_cast<u32>(request.destination));
    if (!drive) {
      ADD_FAILURE() << "destination drive could not be opened";
      return false;
    }
    drive->LockVolume();
    bool started = page_->StartJob(request, drive, Manager().GetName(static_cast<u32>(request.destination)).c_str());
    if (started && !page_->mainThread.Join(90000)) {
      ADD_FAILURE() << "watchdog: the burn did not end";
      page_->SetFlags(kJobStopped);
      if (!page_->mainThread.Join(20000)) std::abort();
    }
    return started;
  }

  std::u16string Log() const {
    CWideString text;
    page_->GetLogText(&text);
    return std::u16string(text.c_str(), static_cast<size_t>(text.GetLength()));
  }
  bool LogHas(const std::u16string& line) const { return Log().find(line) != std::u16string::npos; }
  static std::string Narrow(const std::u16string& text) {
    std::string out;
    for (char16_t c : text) out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    return out;
  }

  // The job's end: the end block, the drives unlocked and closed, removal
  // allowed, the temporary image gone.
  void ExpectEndedAndReleased() {
    EXPECT_TRUE(page_->HasFlags(kJobFinished));
    EXPECT_TRUE(LogHas(u"************************ End Job ************************")) << Narrow(Log());
    EXPECT_TRUE(LogHas(u"Total Time: "));
    EXPECT_GE(ui_.EndStateCount(), 1u);
    EXPECT_FALSE(io_.VolumeLocked(kDestination));
    EXPECT_FALSE(io_.VolumeLocked(kSource));
    EXPECT_FALSE(recorder_.RemovalPrevented());
    EXPECT_FALSE(sourceRecorder_.RemovalPrevented());
    EXPECT_EQ(0u, io_.OpenHandleCount());
    if (!page_->tempImagePath.IsEmpty()) {
      EXPECT_FALSE(FileExists(page_->tempImagePath.c_str()));
    }
    EXPECT_EQ(0u, page_->LiveThreads());
  }
  void ExpectCompleted() {
    EXPECT_FALSE(page_->HasFlags(kJobStopped)) << Narrow(Log());
    EXPECT_EQ(0u, page_->writeResult.load());
    EXPECT_TRUE(recorder_.Violations().empty()) << recorder_.Violations().front();
    ExpectEndedAndReleased();
  }
  void ExpectFailed() {
    EXPECT_TRUE(page_->HasFlags(kJobStopped));
    ExpectEndedAndReleased();
  }

  // Compares recorded 2048-byte user data from lba on with the bytes.
  static void ExpectUserData(const CSimulatedRecorder& recorder, u32 lba, const std::vector<u8>& bytes,
                             bool packedMode2 = false) {
    u32 sectors = static_cast<u32>(bytes.size() / 2048);
    std::vector<u8> sector;
    for (u32 i = 0; i < sectors; ++i) {
      ASSERT_TRUE(recorder.ReadStoredSector(lba + i, &sector)) << "sector " << lba + i << " not written";
      const u8* user = sector.data();
      if (packedMode2) {
        ASSERT_EQ(2336u, sector.size());
        ASSERT_EQ(0x08, sector[2]);
        ASSERT_EQ(0x08, sector[6]);
        user += 8;
      } else {
        ASSERT_EQ(2048u, sector.size());
      }
      ASSERT_EQ(0, std::memcmp(user, bytes.data() + static_cast<size_t>(i) * 2048, 2048)) << "sector " << lba + i;
    }
  }

  static const wchar16 kWorkFolder[];

  CVirtualClock clock_;
  CInstalledClock installedClock_;
  CSimulatedRecorder recorder_;
  CSimulatedRecorder sourceRecorder_;
  CSimulatedDeviceIo io_;
  CHookedDeviceIo hooked_;
  CInstalledDeviceIo installedIo_;
  CHeadlessJobUi ui_;
  std::unique_ptr<CDriveManager> manager_;
  std::unique_ptr<CBurnPage> page_;
  std::vector<std::u16string> files_;
};

inline const wchar16 BurnJobTest::kWorkFolder[] = u"burn_work";

inline bool RemoveDirectoryForTest(const wchar16* path) { return RemoveDirectoryW(AsWide(path)) != 0; }
