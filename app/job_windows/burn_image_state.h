// What the burn-image window shows for the destination's medium: which
// controls it enables, the status line it pulses and whether the burn can
// start. The facts are read from the probed drive (ReadBurnMediumFacts);
// the decision is a pure function of the facts and the window's state, so
// the window applies it and the rules are tested without a window.
// Portable.
#pragma once
#include "app/job_windows/job_status_texts.h"
#include "runtime/types.h"

class CDrive;

constexpr u32 kTextEraseNotice = 88;         // "All data in the disc will be erased"
constexpr u32 kTextInsertEmptyDisc = 89;     // "Insert an empty disc"
constexpr u32 kTextInsertWritableCd = 134;   // "Insert a (Re)writable CD in the destination unit"

struct BurnMediumFacts {
  u16 profile;        // 0: no medium
  bool cd;
  bool dvd;
  bool dvdPlus;
  bool writable;      // a medium this drive can write
  bool rewritable;
  bool blank;
  u32 capacity;       // blocks the medium takes
  bool capacityFailed;  // the capacity could not be read (a command failed)
};

// The facts of a drive that was opened and probed.
BurnMediumFacts ReadBurnMediumFacts(CDrive& drive);

struct BurnStateInput {
  bool audioLayout;   // a project source with a cue sheet (the audio CD's checks)
  bool audioRequest;  // the request comes from the audio project
  u32 imageSectors;
  bool extraSize;     // "Activate extra size" is checked
  BurnMediumFacts medium;
};

enum class Change : u8 { kKeep, kEnable, kDisable };

struct BurnStateDecision {
  Change ok;
  Change mode2Form1;
  Change method;
  Change finalize;
  Change extraSize;
  bool selectSavedMethod;  // the method list shows its remembered entry again
  bool clearExtraSize;     // "Activate extra size" is unchecked (its offer no longer holds)
  u32 status;              // UI string id to pulse; 0 with pulse false: the pulse stops
  bool pulse;              // the status line pulses (false: it stops, when `settled`)
  bool settled;            // the pulse's state is decided (false: it is left as it was)
};

// True while an image of `sectors` may go onto a CD of `capacity` blocks as
// overburn: sectors < capacity + capacity / 18 (in 64 bits).
bool OverburnFits(u32 sectors, u32 capacity);

BurnStateDecision DecideBurnState(const BurnStateInput& in);
