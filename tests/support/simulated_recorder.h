// A simulated MMC recorder for tests: a drive with a tray, a medium model
// (sessions, tracks, next writable addresses, a sparse sector store), drive
// identity (INQUIRY, features, mode pages, speeds), sense data in fixed,
// descriptor and deferred formats, long operations that progress on the clock
// seam's time, fault injection and a command trace.
//
// The engine is portable: Execute() takes a command block and a data buffer
// and returns status, sense and data. CSimulatedDeviceIo
// (simulated_device_io.h) puts recorders behind the device I/O seam and
// validates the pass-through requests themselves.
//
// Every public member is thread-safe: a poller and job threads may send
// commands at once.
#pragma once
#include <string>
#include <vector>

#include "runtime/threads.h"
#include "runtime/types.h"

// One preset per MMC profile the program names.
enum class MediumPreset : u8 {
  kCdRom,               // 0x08
  kCdR,                 // 0x09
  kCdRw,                // 0x0A
  kDvdRom,              // 0x10
  kDvdR,                // 0x11
  kDvdRam,              // 0x12
  kDvdRwRestricted,     // 0x13
  kDvdRwSequential,     // 0x14
  kDvdRDualLayer,       // 0x15
  kDvdRDualLayerJump,   // 0x16
  kDvdRwDualLayer,      // 0x17
  kDvdPlusRw,           // 0x1A
  kDvdPlusR,            // 0x1B
  kDvdPlusRwDualLayer,  // 0x2A
  kDvdPlusRDualLayer,   // 0x2B
  kBdRom,               // 0x40
  kBdR,                 // 0x41
  kBdRRandom,           // 0x42
  kBdRe,                // 0x43
  kHdDvdRom,            // 0x50
  kHdDvdR,              // 0x51
  kHdDvdRam,            // 0x52
  kHdDvdRw,             // 0x53
  kHdDvdRDualLayer,     // 0x58
  kHdDvdRwDualLayer,    // 0x5A
  kCount
};

// How much of the medium is used. Read-only media are always complete.
// Sequential media: blank; one closed session and room for more; finalized.
// Random-writable media: unformatted (DVD+RW, BD-RE) or freshly formatted;
// formatted with an interrupted background format (DVD+RW) or a restricted
// overwrite disc only partly formatted (DVD-RW); fully formatted with data.
enum class DiscFill : u8 { kBlank, kAppendable, kComplete };

enum class MediaFamily : u8 { kCd, kDvd, kBd, kHdDvd };

// Read-only, written once in order (tracks, NWAs), or written anywhere.
enum class RecordingKind : u8 { kReadOnly, kSequential, kRandom };

// What the preset table knows of a profile.
struct MediumPresetInfo {
  MediumPreset preset;
  u16 profile;
  const char* name;
  MediaFamily family;
  RecordingKind kind;
  bool erasable;        // BLANK works (CD-RW, DVD-RW, HD DVD-RW)
  bool formattable;     // Formattable feature current, FORMAT UNIT accepted
  u8 layers;
  u32 capacityBlocks;   // user capacity in 2048-byte blocks (CD: ATIP lead-out)
  u32 maxWriteKbs;      // fastest write speed the medium allows, 0 read-only
  u8 formatTypes[4];    // FORMAT UNIT types accepted, 0xFF = unused slot
};
const MediumPresetInfo& GetMediumPresetInfo(MediumPreset preset);
// Null for a profile without preset.
const MediumPresetInfo* FindMediumPresetByProfile(u16 profile);

// A track placed on a medium when it is inserted (appendable or complete
// fills). Its sectors hold PatternByte data unless seeded otherwise.
struct TrackContent {
  u32 blocks = 1000;
  u16 blockSize = 2048;  // 2352 for CD-DA
  bool audio = false;
  bool mode2 = false;    // CD Mode 2 Form 1 data track
  u32 pregap = 0;        // unrecorded blocks between the previous track's end and this track
};

struct MediumOptions {
  MediumPreset preset = MediumPreset::kCdR;
  DiscFill fill = DiscFill::kBlank;
  u32 capacityBlocks = 0;   // 0: the preset's
  // Sessions of recorded tracks for appendable and complete fills; empty:
  // one session with one 1000-block data track.
  std::vector<std::vector<TrackContent>> sessions;
  // Restricted-overwrite DVD-RW: blocks formatted (0: the whole capacity for
  // complete fills, 1024 for appendable ones).
  u32 formattedBlocks = 0;
};

// The byte at `offset` of the user data of `lba` on preset content.
u8 PatternByte(u32 lba, u32 offset);

// Drive identity and capabilities. Defaults: a multi-format recorder listing
// every profile of the preset table.
struct DriveIdentity {
  char vendor[9] = "KVSIM   ";
  char product[17] = "MULTI RECORDER  ";
  char revision[5] = "1.00";
  char vendorInfo[21] = "SIMULATED 2024      ";
  std::string serial = "SIM0123456789";
  std::vector<u16> profiles;        // empty: every preset profile
  u32 physicalInterface = 2;        // Core feature: 2 = ATAPI
  u16 bufferKb = 2048;
  bool serialFeature = true;        // feature 0x0108 listed
  bool serialCurrent = true;        // ... with its current bit
  bool formattableFeature = true;   // 0x0023
  bool stopLongOperation = true;    // 0x0035
  bool powerManagement = true;      // 0x0100
  bool realTimeStreaming = true;    // 0x0107
  u8 streamingBits = 0x1B;          // 0x0107 byte 4: RBCB 0x10, SCS 0x08, WSPD 0x02, SW 0x01
  bool dvdPlusRWrite = true;        // 0x002B byte 4 bit 0
  bool getPerformance = true;       // GET PERFORMANCE answered
  bool setStreaming = true;         // SET STREAMING answered
  bool modePage2A = true;
  bool modePage05 = true;
  bool modePage08 = true;
  bool page2AWithDescriptors = true;  // false: short page (length 24, no speed list)
  bool sksvProgress = true;         // progress in sense-key specific bytes
  bool busyEvents = true;           // GET EVENT STATUS NOTIFICATION device-busy class
  bool reportUnitAttention = true;  // UNIT ATTENTION after a medium change
  bool writeCacheDefault = true;    // WCE of page 08 at power-on
  u16 modeBlockDescriptorBytes = 0; // block descriptors (8 bytes each) MODE SENSE puts before the page
  u8 page05Length = 0x32;           // page length byte of page 05 (0x36 adds 4 vendor bytes)
};

// Virtual milliseconds of each drive activity.
struct RecorderTimings {
  u32 becomingReadyMs = 1500;   // after the tray closes on a medium
  u32 ejectMs = 800;            // tray movement
  u32 blankMinimalMs = 30000;
  u32 blankFullMs = 240000;
  u32 formatQuickMs = 60000;
  u32 formatFullMs = 600000;
  u32 backgroundFormatMs = 120000;  // DVD+RW format after it has become ready
  u32 closeTrackMs = 2000;
  u32 closeSessionMs = 15000;
  u32 finalizeMs = 30000;
  u32 syncCacheMs = 1000;
  u32 opcMs = 500;
  u32 leadInMs = 0;             // NOT READY long write at a track's first block
};

// Drive activities short enough that a job's polls of them stay few: each
// poll costs real time, more of it on a loaded machine, and ten minutes of
// full format cost thousands of them.
inline RecorderTimings ShortJobTimings() {
  RecorderTimings t;
  t.becomingReadyMs = 200;
  t.blankMinimalMs = 4000;
  t.blankFullMs = 9000;
  t.formatQuickMs = 6000;
  t.formatFullMs = 12000;
  t.backgroundFormatMs = 15000;
  return t;
}

enum class SenseFormat : u8 { kFixed, kDescriptor };

enum class FaultKind : u8 {
  kTransport,  // DeviceIoControl fails with `transportError`
  kSense,      // CHECK CONDITION with key/asc/ascq
  kBusy,       // status BUSY (0x08), no sense
  kRawSense,   // CHECK CONDITION with `bytes` as the sense area
  kReply,      // GOOD status, `bytes` returned as the data in
  kDeferred,   // the command completes; key/asc/ascq follow as a deferred error
  kStuck,      // from this command on the drive stays NOT READY, becoming ready (2/04/01)
};

// A fault fires on the commands that match opcode and LBA: from the
// occurrence-th match on, for `times` matches (0 = every later match).
struct RecorderFault {
  i32 opcode = -1;      // -1: any command
  i64 lba = -1;         // -1: any; else the command's LBA field
  u32 occurrence = 1;
  u32 times = 1;
  i32 after = -1;       // counts only commands after one with this opcode
  FaultKind kind = FaultKind::kSense;
  u32 transportError = 1117;  // ERROR_IO_DEVICE
  u8 key = 4, asc = 0x44, ascq = 0;
  std::vector<u8> bytes;
};

// One command as the recorder saw it.
struct TraceEntry {
  u64 sequence = 0;
  u64 timeMs = 0;       // clock-seam time when it arrived
  u8 cdb[16] = {};
  u8 cdbLength = 0;
  u8 direction = 0;     // data direction of the request
  u32 transferLength = 0;
  bool transportOk = true;
  u32 transportError = 0;
  u8 status = 0;
  u8 key = 0, asc = 0, ascq = 0;
  u32 dataTransferred = 0;
  bool faulted = false;  // an injected fault answered
  std::vector<u8> dataOut;  // data sent with the command (not for WRITE), at most 4096 bytes
  u8 Opcode() const { return cdb[0]; }
};

// Engine input and output (the decoded pass-through request).
struct ScsiCommand {
  const u8* cdb = nullptr;
  u8 cdbLength = 0;
  u8 direction = 1;       // 0 out, 1 in, 2 unspecified
  u8* data = nullptr;
  u32 transferLength = 0;
  u32 timeoutSeconds = 120;
};

struct ScsiOutcome {
  bool transportOk = true;
  u32 transportError = 0;  // Win32 error when !transportOk
  u8 status = 0;           // 0 GOOD, 2 CHECK CONDITION, 8 BUSY
  u8 sense[252] = {};
  u32 senseLength = 0;
  u32 dataTransferred = 0;
};

class CRecorderState;

class CSimulatedRecorder {
 public:
  explicit CSimulatedRecorder(const DriveIdentity& identity = DriveIdentity());
  ~CSimulatedRecorder();
  CSimulatedRecorder(const CSimulatedRecorder&) = delete;
  CSimulatedRecorder& operator=(const CSimulatedRecorder&) = delete;

  // Identity and timing (normally set before the first command).
  void SetIdentity(const DriveIdentity& identity);
  DriveIdentity Identity() const;
  void SetTimings(const RecorderTimings& timings);
  RecorderTimings Timings() const;
  void SetSenseFormat(SenseFormat format);

  // Tray and medium, as a user handles them.
  // Puts a medium in and closes the tray: NOT READY (becoming ready) for
  // becomingReadyMs, then UNIT ATTENTION (medium may have changed).
  void InsertMedium(const MediumOptions& options);
  // Takes the medium out (tray left closed and empty); UNIT ATTENTION.
  void RemoveMedium();
  // Opens the tray (the medium stays on it); refused while removal is
  // prevented. Returns whether it opened.
  bool PressEject();
  // Closes the tray; a medium on it becomes ready as after InsertMedium.
  void CloseTray();
  // The drive is ready at once (skips the becoming-ready time).
  void MakeReady();

  // Medium state.
  bool HasMedium() const;
  bool TrayOpen() const;
  u16 CurrentProfile() const;           // 0 without a ready medium
  u8 DiscStatus() const;                // READ DISC INFORMATION byte 2 bits 0-1
  u8 LastSessionState() const;          // byte 2 bits 2-3
  u8 BackgroundFormatStatus() const;    // byte 7 bits 0-1
  u32 SessionCount() const;             // complete and incomplete sessions
  u32 TrackCount() const;               // tracks, the invisible one included
  bool TrackInfo(u32 track, u32* start, u32* size, u32* nextWritable) const;
  u32 CapacityBlocks() const;
  bool Finalized() const;
  // User data of one recorded sector (as written: 2048, 2336 or 2352 bytes);
  // false when the sector was never written.
  bool ReadStoredSector(u32 lba, std::vector<u8>* out) const;
  // Writes sector contents directly (test set-up), bypassing the order rules.
  void SeedSectors(u32 lba, const u8* data, u32 count, u32 blockSize);
  u32 StoredSectorCount() const;

  // Drive state that commands changed.
  bool ModePage(u8 code, std::vector<u8>* page) const;  // current values, page bytes
  bool WriteCacheEnabled() const;
  u32 CurrentReadSpeed() const;   // kB/s
  u32 CurrentWriteSpeed() const;  // kB/s
  bool RemovalPrevented() const;
  std::vector<u8> LastCueSheet() const;
  bool LongOperationRunning() const;

  // Faults. AddFault returns an id for FaultHits.
  u32 AddFault(const RecorderFault& fault);
  void ClearFaults();
  u32 FaultHits(u32 id) const;

  // Trace and strictness.
  std::vector<TraceEntry> Trace() const;
  void ClearTrace();
  u32 CountCommands(u8 opcode) const;
  bool LastCommand(u8 opcode, TraceEntry* out) const;
  // Requests that broke the rules a real drive or the system enforces
  // (transfer lengths, directions, CDB lengths); each is also answered as
  // the drive or system would.
  std::vector<std::string> Violations() const;
  void ClearViolations();
  void AddViolation(const std::string& text);  // used by the device adapter

  // Runs one command.
  void Execute(const ScsiCommand& command, ScsiOutcome* outcome);

 private:
  CRecorderState* state_;
};
