// CBurnPage: the burn job (image, project, disc copy) and its shared state.
// The main thread opens the source, prepares the destination, fills the
// memory cache and feeds it; the write thread takes the cache to the disc;
// the verify thread reads the disc back and compares it with the cache.
//
// Every wait of the three threads has an exit: the job's stop flag, the
// other side having quit, a source that ended early, or a drive deadline.
// A failure anywhere ends the job as failed, never as "completed".
//
// Portable except the start and the main thread (burn_main_win.cpp), which
// open image files and the temporary copy image.
#pragma once
#include <atomic>

#include "drive/drive.h"
#include "jobs/burn/burn_request.h"
#include "jobs/burn/burn_source.h"
#include "jobs/job_page.h"
#include "runtime/ring_buffer.h"
#include "runtime/threads.h"
#include "runtime/types.h"
#include "runtime/wide_string.h"

enum class DriveOpenFailure : u8;

// Cache and transfer sizes.
constexpr u32 kCacheChunkBytes = 32768;
constexpr u64 kCacheMaxBytes = 0x4000000;  // 64 MiB
constexpr u32 kPadSliceBytes = 2048;
constexpr u32 kBlocksPerWrite = 16;
constexpr u32 kLargestBlockBytes = 2352;
constexpr u32 kMode2Form1SectorBytes = 2336;
constexpr u32 kUserDataBlockBytes = 2048;
constexpr u32 kTransferBufferBytes = kBlocksPerWrite * kLargestBlockBytes;  // 37632
// Failures of one command at one address after which a write or read gives up.
constexpr u32 kFailuresAtOneAddress = 5;
// The CD disc-at-once pregap before track 1.
constexpr u32 kCdPregapBlocks = 150;
constexpr i32 kCdPregapStart = -150;
// kB/s of 1x for the nominal speed of CD data.
constexpr u32 kCdDataSpeedUnit = 150;
// Restricted-overwrite DVD-RW writes whole 16-block ECC blocks.
constexpr u32 kEccBlockSectors = 16;

// UI texts and message-box flags of the burn's questions.
constexpr u32 kTextEraseQuestion = 77;
constexpr u32 kTextFullEraseQuestion = 156;
constexpr u32 kTextWarningTitle = 8;
constexpr u32 kEraseQuestionFlags = 0x10004;
constexpr u32 kFullEraseQuestionFlags = 0x30002;

// Memory-cache bar colours.
constexpr u32 kCacheColourGreen = 0xFF20C040;
constexpr u32 kCacheColourRed = 0xFFE02020;
constexpr u32 kCacheColourAmber = 0xFFE0A800;

// The memory-cache bar colour for a fill fraction; `settled` (the cache is
// loading or the source is done) is always green.
u32 CacheBarColour(double fill, bool settled);

// 2048-byte blocks as 2336-byte Mode 2 Form 1 sectors: sub-header bytes 2
// and 6 = 0x08, user data at 8, zero trailer. destination holds count x 2336.
void PackMode2Form1(u8* destination, const u8* source, u32 count);

// The byte offset at which the expected audio starts inside the read audio;
// -2 when the expected data offers no usable probe, -1 when not found.
i32 FindAudioSyncOffset(const u8* expected, const u8* read, u32 length);

// Drive classes of the write thread by current profile.
bool IsSequentialDvdMinus(u16 profile);  // 0x11, 0x14, 0x15, 0x17
bool IsDvdPlusR(u16 profile);            // 0x1B, 0x2B
bool IsDvdPlusRw(u16 profile);           // 0x1A, 0x2A
bool IsBdR(u16 profile);                 // 0x41
// Written anywhere: DVD-RAM, DVD-RW restricted overwrite, DVD+RW, BD-RE,
// HD DVD-RAM. They take no write-once commands.
bool IsRandomWritable(u16 profile);

// How the write thread writes the medium in the drive.
struct WritePlan {
  bool cd;               // CD family
  bool cdDao;            // CD disc-at-once: a cue sheet; the drive closes the session after the flush
  bool random;           // no write parameters, reservations or closes; the end is a flush
  bool writeParameters;  // page 05 is set (CD, sequential DVD-R/-RW)
  bool reserve;          // each track is reserved first (sequential DVD-R/-RW)
  bool closeTrack;
  bool closeSession;
  bool checkNextWritable;  // each track must start at the drive's next writable address
};
WritePlan PlanWrite(u16 profile, u8 mediaFlags, u32 method);

// Whether the write puts an entry on the medium of the plan: CD-only
// entries go to CDs only, and gaps are written only disc at once on CD
// (elsewhere the drive places each track itself).
bool IsWrittenOn(const TrackExtent& entry, const WritePlan& plan);
// What the write puts on that medium: the blocks, the end of the last of
// them (0 when none), and the last entry among them that carries data.
u32 SectorsWrittenOn(const BurnRequest& request, const WritePlan& plan);
u32 EndWrittenOn(const BurnRequest& request, const WritePlan& plan);
TrackExtent* LastDataWrittenOn(BurnRequest& request, const WritePlan& plan);

// Track at once on a CD: after a track the drive writes two run-out blocks
// and the next track's 150-block pregap, so the next track of a session
// starts this many blocks after the end of the one before it.
constexpr u32 kCdTrackAtOnceGap = 152;

// A track that a track-at-once CD write cannot put where the layout puts
// it: its number among the tracks written (from 1), its start, and the end
// of the track before it in the same session.
struct TrackPlacement {
  u32 track;
  i32 start;
  i64 previousEnd;
};
// The first such track of the request's layout (entries that carry data;
// gaps are not written track at once); false when every track fits.
bool FindTrackAtOnceMisplacement(const BurnRequest& request, TrackPlacement* out);

// The data block type of a track-at-once CD track: 0 raw 2352-byte blocks
// (audio), 9 Mode 2 formless (2336), 10 Mode 2 Form 1, 8 Mode 1.
u8 DataBlockTypeOf(const TrackExtent& entry);
// The data block type a CD session written disc-at-once is set up with: 10
// (Mode 2 Form 1, so a CD-ROM XA session) when the option asks for Mode 2
// or the session's data tracks are Mode 2 Form 1, as its cue sheet says;
// else 8 (Mode 1).
u8 SessionDataBlockType(const TrackList& session, u8 options);

// The retry rule of one WRITE(10) or read-back: NOT READY with a long
// operation in progress (04/07, 04/08) is retried without being counted (up
// to the drive's ready deadline in 1 ms steps); a failure at a fresh address
// counts 1; further failures there count up, and the fifth gives up. A write
// also gives up at the second failure with MEDIUM ERROR, HARDWARE ERROR or
// UNIT ATTENTION.
enum class RetryVerdict : u8 { kRetry, kRetryNotCounted, kGiveUp };

class CRetryRule {
 public:
  CRetryRule(bool writing, u32 readyWaitMs) : writing_(writing), readyWaitMs_(readyWaitMs) {}
  // A failure of the drive's last command at lba. *logCount is the failure
  // count to log ("... retry " + count), 0 when nothing is logged.
  RetryVerdict OnFailure(const CDrive& drive, i32 lba, u32* logCount);
  // A command succeeded: the not-ready allowance starts anew.
  void OnSuccess() { notReadyRetries_ = 0; }
  u32 Failures() const { return failures_; }

 private:
  bool writing_;
  u32 readyWaitMs_;
  bool haveFailed_ = false;
  i32 lastFailed_ = 0;
  u32 failures_ = 0;
  u32 notReadyRetries_ = 0;
};

// Why a wait on the cache ended without its bytes.
enum class CacheWait : u8 { kOk, kStopped, kPeerQuit, kSourceShort };

// Bytes a consumer took from the cache: in place in the cache while
// `pending` is non-zero (they are given back by FinishTake after use), or
// a copy in the consumer's own buffer when they ran over the cache's end.
struct CacheTake {
  const u8* data = nullptr;
  u32 pending = 0;
};

struct MainResources;
struct TrackWrite;

class CBurnPage : public CJobPage {
 public:
  explicit CBurnPage(IJobUi* ui);
  // Joins the job's threads before its state goes.
  ~CBurnPage() override;

  // User-interface thread. The destination drive is opened and its volume
  // locked by the caller; `driveManager` (CJobPage) must be set for a copy
  // from a source drive. Copies the request, opens the job log, starts the
  // main thread, sets the follow-up page aside and raises the priority.
  // False when the main thread could not start: the job is then ended as
  // failed (its end block written, the drive closed).
  bool StartJob(const BurnRequest& request, CDrive* drive, const wchar16* deviceName);

  // ---- Threads ----
  // Each step logs what it does and returns false when the job must end
  // (failed, or cancelled by a question or a stop).
  u32 MainThread();
  u32 WriteThread();
  u32 VerifyThread();

  // ---- Main-thread steps ----
  // Ends the job: cache freed, "Process cancelled" when cancelled, the end
  // block, status 100, the drive released (removal allowed, retried; a drive
  // that cannot be released is logged and flagged) and closed, the log
  // appended to "log.log" last. True when not cancelled.
  bool EndProcess(bool cancelled);
  // Questions run on the user-interface thread.
  void PromptDestinationDisc();
  void AskEraseConfirmation();
  void AskFullErase();
  // Zero bytes into the cache in slices of at most 2048 bytes.
  void PadCache(u32 bytes);
  void RefreshProgress();

  // ---- Write-thread steps ----
  bool SendCueSheet(u32 session);
  bool SetWriteMode(const TrackExtent& entry, bool last);
  bool WriteBlocks(u32 lba, const u8* buffer, u32 count, u32 blockSize, bool pack);
  // SYNCHRONIZE CACHE that ends a session on CD disc-at-once and random
  // media; false (the error reported) when it or the wait after it failed.
  bool SyncCache();

  // ---- Verify-thread steps ----
  bool ReadBack(u32 lba, u32 count, u8* buffer, u32 blockSize);

  // ---- Cache hand-over with exits ----
  // Producer: writes n bytes (in slices the cache can hold), sleeping 1 ms
  // while it is full; ends early when the job stops or the consumer quit.
  CacheWait PutIntoCache(const u8* data, u32 n);
  // Consumer: takes n bytes, sleeping 1 ms while fewer are stored; ends
  // early when the job stops or the source is done without them.
  CacheWait TakeFromCache(u8* out, u32 n);
  // Consumer: drops n bytes the same way.
  CacheWait DropFromCache(u32 n);
  // Consumer: takes n bytes as TakeFromCache does, without copying them
  // when they lie in one piece in the cache (`copy`, of n bytes, is used
  // otherwise). The bytes stay valid until FinishTake.
  CacheWait TakeInPlace(u32 n, u8* copy, CacheTake* take);
  void FinishTake(CacheTake* take);
  // Producer: waits until n bytes are free, with PutIntoCache's exits (n
  // larger than the cache never fits: kPeerQuit).
  CacheWait WaitForCacheSpace(u32 n);

  // ---- Shared state ----
  BurnRequest request;
  std::atomic<u32> speedFactor{0};
  std::atomic<u32> nominalKbs{0};
  std::atomic<u32> currentRateKbs{0};
  std::atomic<u32> speedUnitKbs{0};
  CRingBuffer cache;
  std::atomic<u32> totalSectors{0};
  std::atomic<u32> nextLba{0};
  std::atomic<u32> sectorsDone{0};
  std::atomic<bool> sourceDone{false};
  CThread mainThread;
  CThread writeThread;
  CThread verifyThread;
  std::atomic<u32> driveBufferPercent{0};
  IBurnSource* source = nullptr;
  std::atomic<u8> cancel{0};
  // The running consumer (write or verify thread) has returned.
  std::atomic<bool> consumerDone{false};
  // The user confirmed a stop.
  std::atomic<bool> stopRequested{false};
  // Results of the consumers (1 = failed), for tests and the end.
  std::atomic<u32> writeResult{0};
  std::atomic<u32> verifyResult{0};
  // The temporary copy image of this job (empty when none was made), and
  // the folder it goes to (empty: the system's temporary folder).
  CWideString tempImagePath;
  CWideString tempFolder;

 protected:
  void OnRefresh() override { RefreshProgress(); }
  void OnStopRequested() override { stopRequested.store(true); }

 private:
  static u32 MainEntry(CJobPage* page);
  static u32 WriteEntry(CJobPage* page);
  static u32 VerifyEntry(CJobPage* page);

  // A failure of the job that no drive command reported: flag 0x4, the
  // finished state and a log line.
  void FailJob(const wchar16* text);
  // Ends the job for a source drive that could not be opened, saying why.
  bool FailSourceOpening(DriveOpenFailure why);
  // A drive command failed: its log line (when given), then the SCSI error
  // block. Always false, for `return Fail...`.
  bool FailCommand(const wchar16* text);
  // Probes the destination's medium again, through the drive's own retries,
  // for the steps that go on with what it finds. False (the job failed, the
  // probe's error reported) when the disc could not be read.
  bool ReprobeDestination();

  // Main-thread steps, in the order they run.
  bool LockDestination();
  bool OpenSource(MainResources* r);
  bool CopySourceToDisk(MainResources* r);
  bool WaitForDestinationDisc(MainResources* r);
  // The write plan of the medium now in the destination drive.
  WritePlan DestinationPlan() const;
  // Track at once on a CD: a layout whose tracks the drive cannot place as
  // it gives them ends the job before anything is erased or written.
  bool CheckTrackAtOnceLayout();
  bool EraseDestination(MainResources* r);
  bool CheckDiscSpace();
  bool LoadCache(MainResources* r);
  void SetSpeed(CDrive* sourceDrive, u32 fillRateKbs);
  bool Burn(MainResources* r);
  void VerifyDisc(MainResources* r);
  u32 EndMain(MainResources* r);
  // Reads the source into the cache (straight into it where a chunk fits
  // before its end): first only while the free space (less the pad) holds
  // a chunk, then (feed) until `remaining` bytes came. False
  // when the source failed or ended early (the job is then failed).
  bool FillCache(u64* remaining, u32 padBytes, bool feed, u32* fillRateKbs);
  // Starts a consumer thread; false (job failed) when it could not start.
  bool StartConsumer(CThread* thread, JobBody body, const wchar16* what);

  // Write-thread steps.
  bool BeginWrite(const WritePlan& plan, u32* trackNumber);
  bool ReserveTrack(const TrackExtent& entry);
  // `tracksWritten`: tracks this write has put on the disc before this one.
  bool CheckNextWritable(const TrackExtent& entry, u32 trackNumber, u32 tracksWritten);
  bool WriteTrack(const WritePlan& plan, const TrackExtent& entry, u32 index, u8* buffer);
  void MeasureSpeed(TrackWrite* t, i32 lba, i32 start, u32 blockSize);
  bool Flush();
  bool CloseTrack(u32 trackNumber);
  bool CloseSession(const WritePlan& plan, bool lastSession);
  bool EndWrite();

  // Verify-thread steps.
  bool BeginVerify();
  bool VerifyTrack(const TrackExtent& entry, u32 trackNumber, u8* expectedCopy, u8* read);
  bool ReadChunk(i32 lba, u32 n, u8* read, u32 blockSize);

  // Redraw bookkeeping of RefreshProgress.
  double lastCacheValue_ = -1;
  u32 lastCacheColour_ = 0;
  i64 lastDeviceValue_ = -1;
  bool redrawSuspended_ = false;
  // The refresh thread and the main thread both refresh; the cache is
  // allocated and freed under it too, so the refresh thread never reads a
  // capacity being changed.
  CLock refreshLock_;
  // Verify state carried from track to track.
  bool synchronised_ = false;
  u32 carry_ = 0;
  u32 warnings_ = 0;
  // A question answered with cancel or a stop: the job ends as cancelled.
  bool cancelled_ = false;
};
