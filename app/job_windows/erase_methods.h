// The erase and format methods a rewritable disc allows, as the erase
// window lists them (UI string ids 66 to 70), the code each hands to the
// erase/format job, and which entry to select when the list changes.
// Portable.
#pragma once
#include "runtime/types.h"

class CDrive;

constexpr u32 kTextQuickErase = 66;
constexpr u32 kTextFullErase = 67;
constexpr u32 kTextQuickFormat = 68;
constexpr u32 kTextFullFormat = 69;
constexpr u32 kTextContinueFormat = 70;
constexpr u32 kMaxEraseMethods = 4;

// The methods for the medium in the (opened, probed) drive; their count.
// Media the erase/format job cannot treat get none.
u32 ListEraseMethods(const CDrive& drive, u32 ids[kMaxEraseMethods]);

// 66..70 give the job's method codes 1..5; any other id -1.
i32 EraseMethodCode(u32 id);

// The entry to select in a list of `count` ids: the one whose id is
// `keepId` (the entry chosen before the list changed), else the one whose
// id is `storedId` (the last method used), else the first; -1 for an
// empty list.
i32 ChooseMethodEntry(const u32* ids, u32 count, u32 keepId, u32 storedId);
