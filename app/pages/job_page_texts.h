// The texts of the job pages that are built from figures: times written
// minutes ":" seconds, and the burn page's status line (status text, the
// write speed, the drive's progress, the measured speed, the dots).
// Portable.
#pragma once
#include "runtime/types.h"
#include "runtime/wide_string.h"

// What the burn page's status line is made of, as the job threads last
// published it.
struct BurnStatusFigures {
  u32 status;          // UI string id, 0 = none
  u32 speedFactor;     // the write speed's "x"
  u32 writeKbs;        // the write speed in kB/s
  u32 measuredKbs;     // measured speed, 0 = not shown
  u32 unitKbs;         // kB/s of 1x
  i32 percent;         // a long drive operation's progress, -1 = none
  u64 elapsedSeconds;  // drives the dots
};

constexpr u32 kStatusFinalizing = 104;

// The statuses whose line carries the drive's progress percentage.
bool StatusShowsDriveProgress(u32 status);

// The status line; empty for status 0. The status's own text first, then
// for "Burning at " the factor and the write speed, for the drive's long
// operations " (n%)", then " - f.fx (k Kb/s)" for a measured speed, then
// elapsed mod 4 dots. "Finished" stands alone.
void BuildBurnStatusLine(CWideString* out, const BurnStatusFigures& f);

// measured / unit with one decimal rounded half up, the fraction printed
// only when it is not zero ("12", "12.5"); "0" for a zero unit.
void AppendSpeedFactor(CWideString* out, u32 measuredKbs, u32 unitKbs);
