// The table of sense conditions a drive can report, with the text the job
// log prints for each. Portable.
#pragma once
#include "runtime/types.h"

struct SenseCondition {
  u32 senseKey;
  u32 asc;
  u32 ascq;
  const wchar16* message;
};

// The rows in table order (some triples occur twice; the first one counts).
extern const SenseCondition kSenseConditions[];
extern const u32 kSenseConditionCount;

// The message of the first row matching all three values, or "No Found".
// Never null; the text is constant.
const wchar16* GetSenseMessage(u32 senseKey, u32 asc, u32 ascq);
