// Disc jobs run from table rows: a row names the destination medium, the
// job (image, project, copy, erase or format) with its method and options,
// the faults and interference to inject, and what must come of it: the end
// state, log lines in order, what the recorder's disc holds. The runner
// builds simulated recorders behind the device I/O seam on virtual time for
// each row, runs the job headless to its end and checks what every job must
// leave whatever the row: the end block, every drive unlocked, closed and
// free to eject, no thread left, the temporary image gone, no request that
// broke the recorder's rules.
#pragma once
#include <functional>
#include <ostream>
#include <initializer_list>
#include <string>
#include <vector>

#include "jobs/burn/burn_request.h"
#include "support/simulated_recorder.h"

class CDrive;
class CDriveManager;

// kNotStarted: the window that starts the job refused it.
enum class JobEnd : u8 { kSucceeded, kFailed, kCancelled, kNotStarted };
enum class JobKind : u8 { kImage, kProject, kCopy, kFormat };
// What the destination disc must hold after the job: the source byte for
// byte (flushed blocks only), nothing written at all, or no check.
enum class DiscCheck : u8 { kDefault, kSource, kUntouched, kAny };

constexpr u8 kDefaultBurnOptions = kOptionVerify | kOptionBufe | kOptionCloseDisc;

// One command of a drive, the n-th with that opcode ("E" destination, "F"
// source).
struct CommandRef {
  wchar16 drive = u'E';
  i32 opcode = -1;
  u32 nth = 0;  // 0: none
};

struct Scenario {
  std::string name;
  MediumOptions medium;             // destination
  DriveIdentity identity;           // destination drive
  JobKind job = JobKind::kImage;
  u32 sectors = 300;                // image or project data sectors
  const char16_t* imageFile = nullptr;  // an image made by other tools instead
  u32 imageBytes = ~0u;             // the image file cut to this size after the request was made
  u64 imageSize = ~0ull;            // the image (made, or the named one copied) is this long from the start
  u32 firstPause = 150;             // project: blocks before track 1 (from -150)
  bool shortSource = false;         // project: the source ends half-way through its layout
  u32 method = kMethodDiscAtOnce;
  u8 options = kDefaultBurnOptions;
  u32 writeSpeed = 0;
  u32 formatMethod = 0;             // kFormat: erase/format method 1-5
  i32 sourceDrive = 1;              // kCopy: 1 = the second drive, 0 = the destination itself
  MediumOptions sourceMedium;
  bool promptCancels = false;       // one-drive copy: the insert prompt is cancelled
  MediumOptions promptMedium;       // ... else this medium is inserted at the prompt
  // A copy started as its window starts it: given the drives as the
  // program lists them (destination 0, source 1), it fills the request as
  // the window does on OK; false when the window refuses (no job starts).
  std::function<bool(CDriveManager&, BurnRequest*)> window;
  // One-drive copy: the prompt's look at the disc put in (the job's drive
  // and request), true when it takes it; it looks again as the prompt
  // does every few seconds, and is cancelled when it never takes it.
  std::function<bool(CDrive&, BurnRequest*)> promptLook;
  std::vector<u32> answers;         // message-box answers in order (default: No)
  bool uiAvailable = true;
  std::vector<std::pair<wchar16, RecorderFault>> faults;
  CommandRef stopAt;                // the user confirms a stop when this command comes
  CommandRef removeAt;              // the destination medium is taken out
  CommandRef stallAt;               // the host stops feeding the drive for stallMs before it
  u32 stallMs = 0;
  i64 corruptLba = -1;              // a read-back covering this block gets byte corruptOffset changed
  u32 corruptOffset = 0;
  u32 readOffset = 0;               // audio is read back this many bytes early
  u32 readyWaitMs = 0;              // drive-ready deadline of the drives (0: the default)
  u32 leadInMs = 0;                 // the drive answers "long write in progress" this long at a track's start
  bool garbleAudio = false;         // audio reads back as noise
  bool holdSource = false;          // the source drive is open elsewhere
  u32 holdSourceMs = 0;             // ... and let go of after this long (0: kept)
  bool held = false;                // the job may end with removal still prevented (and says so)
  std::function<void()> setup;      // runs before the job starts
  u32 paceUs = 1;                   // real microseconds a virtual millisecond of sleep takes
  u32 blankFullMs = 0;              // how long a full blank takes (0: the rig's)
  bool quickDrive = false;          // every drive operation takes at most a few polls

  JobEnd end = JobEnd::kSucceeded;
  std::vector<std::u16string> lines;   // must appear, in this order
  std::vector<std::u16string> absent;  // must not appear
  DiscCheck disc = DiscCheck::kDefault;
  // Extra checks of the run (the trace and the recorders are still there).
  std::function<void(const struct ScenarioRun&)> check;
};

// What a run left.
struct ScenarioRun {
  JobEnd end = JobEnd::kFailed;
  bool ended = false;                 // the job ended within the watchdog
  std::u16string log;
  u32 writeResult = 0, verifyResult = 0;
  u8 flags = 0;
  u8 lastFailedOpcode = 0;            // the job's copy of its last failed command (0: none)
  u64 endMs = 0;                      // virtual time when the job ended
  u64 firstFaultMs = 0;               // ... when an injected fault first answered (0 none)
  u32 sourceSeeks = 0;                // project source: seeks and bytes delivered
  u64 sourceDelivered = 0;
  bool followUpShown = false;         // project: the page set aside came back
  u32 prompts = 0;                    // insert-disc prompts run
  u16 promptProfile = 0;              // the copied profile the prompt was given
  std::vector<u32> questions;         // message-box texts asked
  std::vector<double> overallBar;     // the values the overall bar took
  std::vector<TraceEntry> trace;      // destination commands
  std::vector<TraceEntry> sourceTrace;
  const CSimulatedRecorder* destination = nullptr;  // valid during `check`
  const CSimulatedRecorder* source = nullptr;
  std::string problems;               // broken invariants and disc differences
  bool HasLine(const std::u16string& text) const { return log.find(text) != std::u16string::npos; }
  std::vector<TraceEntry> Commands(u8 opcode) const;
};

// Builder of rows: Row("name").Onto(MediumPreset::kCdR).Image(300)...
class Row {
 public:
  explicit Row(const char* name) { s_.name = name; }
  Row& Onto(MediumPreset preset, DiscFill fill = DiscFill::kBlank) {
    s_.medium.preset = preset;
    s_.medium.fill = fill;
    return *this;
  }
  Row& Medium(const MediumOptions& m) { s_.medium = m; return *this; }
  Row& Identity(const DriveIdentity& i) { s_.identity = i; return *this; }
  Row& Image(u32 sectors) { s_.job = JobKind::kImage; s_.sectors = sectors; return *this; }
  Row& Project(u32 sectors) { s_.job = JobKind::kProject; s_.sectors = sectors; return *this; }
  Row& Copy(const MediumOptions& source, i32 drive = 1) {
    s_.job = JobKind::kCopy;
    s_.sourceMedium = source;
    s_.sourceDrive = drive;
    return *this;
  }
  Row& Format(u32 method) { s_.job = JobKind::kFormat; s_.formatMethod = method; return *this; }
  Row& Tao() { s_.method = kMethodTrackAtOnce; return *this; }
  Row& Options(u8 options) { s_.options = options; return *this; }
  Row& Speed(u32 mode) { s_.writeSpeed = mode; return *this; }
  Row& Answers(std::initializer_list<u32> a) { s_.answers = a; return *this; }
  Row& PromptInserts(const MediumOptions& m) { s_.promptMedium = m; return *this; }
  Row& PromptCancels() { s_.promptCancels = true; return *this; }
  Row& Window(std::function<bool(CDriveManager&, BurnRequest*)> w) { s_.window = std::move(w); return *this; }
  Row& PromptLook(std::function<bool(CDrive&, BurnRequest*)> l) { s_.promptLook = std::move(l); return *this; }
  Row& NoUi() { s_.uiAvailable = false; return *this; }
  Row& Fault(const RecorderFault& f, wchar16 drive = u'E') { s_.faults.push_back({drive, f}); return *this; }
  Row& StopAt(i32 opcode, u32 nth, wchar16 drive = u'E') { s_.stopAt = {drive, opcode, nth}; return *this; }
  Row& RemoveAt(i32 opcode, u32 nth) { s_.removeAt = {u'E', opcode, nth}; return *this; }
  Row& StallAt(i32 opcode, u32 nth, u32 ms) {
    s_.stallAt = {u'E', opcode, nth};
    s_.stallMs = ms;
    return *this;
  }
  Row& Corrupt(u32 lba, u32 offset) { s_.corruptLba = lba; s_.corruptOffset = offset; return *this; }
  Row& ReadOffset(u32 bytes) { s_.readOffset = bytes; return *this; }
  Row& ReadyWait(u32 ms) { s_.readyWaitMs = ms; return *this; }
  Row& ImageFile(const char16_t* path) { s_.imageFile = path; return *this; }
  Row& CutImage(u32 bytes) { s_.imageBytes = bytes; return *this; }
  Row& ImageSize(u64 bytes) { s_.imageSize = bytes; return *this; }
  Row& FirstPause(u32 blocks) { s_.firstPause = blocks; return *this; }
  Row& ShortSource() { s_.shortSource = true; return *this; }
  Row& LeadIn(u32 ms) { s_.leadInMs = ms; return *this; }
  Row& GarbleAudio() { s_.garbleAudio = true; return *this; }
  Row& HoldSource(u32 releaseAfterMs = 0) {
    s_.holdSource = true;
    s_.holdSourceMs = releaseAfterMs;
    return *this;
  }
  Row& Held() { s_.held = true; return *this; }
  Row& Setup(std::function<void()> f) { s_.setup = std::move(f); return *this; }
  Row& Pace(u32 us) { s_.paceUs = us; return *this; }
  Row& FullBlankTakes(u32 ms) { s_.blankFullMs = ms; return *this; }
  Row& QuickDrive() { s_.quickDrive = true; return *this; }
  Row& Ends(JobEnd end) { s_.end = end; return *this; }
  Row& Log(std::initializer_list<const char16_t*> lines) {
    for (const char16_t* l : lines) s_.lines.push_back(l);
    return *this;
  }
  Row& NotLog(std::initializer_list<const char16_t*> lines) {
    for (const char16_t* l : lines) s_.absent.push_back(l);
    return *this;
  }
  Row& Disc(DiscCheck d) { s_.disc = d; return *this; }
  Row& Check(std::function<void(const ScenarioRun&)> c) { s_.check = std::move(c); return *this; }
  operator const Scenario&() const { return s_; }
  const Scenario& Get() const { return s_; }

 private:
  Scenario s_;
};

// Faults in one line each.
RecorderFault SenseAt(i32 opcode, u8 key, u8 asc, u8 ascq = 0, u32 times = 1, i64 lba = -1, u32 occurrence = 1);
RecorderFault TransportAt(i32 opcode, u32 times = 1, i64 lba = -1, u32 occurrence = 1);
RecorderFault DeferredAfter(i32 opcode, u8 key, u8 asc, u8 ascq = 0, u32 occurrence = 1);
RecorderFault ReplyOf(i32 opcode, std::vector<u8> bytes);
// The fault counts only the commands after the first `opcode` command.
RecorderFault After(RecorderFault fault, i32 opcode);

// A finished disc with these tracks in one session (audio when blockSize is 2352).
MediumOptions Disc(MediumPreset preset, std::initializer_list<TrackContent> tracks);

// Runs the row to its end and checks the invariants every job must keep,
// the disc and the row's own expectations; failures are reported to the
// running test (with the row's name).
ScenarioRun RunScenario(const Scenario& row);
// Runs without judging the row's expectations (the fault sweep): the
// invariants and the disc are still checked into ScenarioRun::problems.
ScenarioRun RunScenarioQuietly(const Scenario& row);

// Text of a run for failure messages.
std::string Narrow(const std::u16string& text);
// Rows print as their names in test output.
inline void PrintTo(const Scenario& row, std::ostream* out) { *out << row.name; }
