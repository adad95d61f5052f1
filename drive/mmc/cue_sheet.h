// Cue sheets for disc-at-once writing: 256 entries of 8 bytes followed by
// the entry count. Portable.
#pragma once
#include "runtime/types.h"

constexpr u32 kCueSheetEntries = 256;
constexpr u32 kCueSheetEntryBytes = 8;

struct CueSheet {
  u8 entries[kCueSheetEntries][kCueSheetEntryBytes];
  u32 count;
};
static_assert(sizeof(CueSheet) == 2052, "cue sheet block is 2052 bytes");

// Appends {CTL << 4 | ADR, TNO, INDEX, DATA FORM, SCMS (not written), MSF of
// lba + 150}. Null, and nothing written, when the sheet is full.
u8* AppendCueSheetEntry(CueSheet* sheet, u8 ctl, u8 adr, u8 tno, u8 index, u8 dataForm, i32 lba);
// The lead-out entry: TNO 0xAA, INDEX 1, SCMS 0. Null when the sheet is full.
u8* AppendCueSheetLeadOut(CueSheet* sheet, u8 ctl, u8 adr, u8 dataForm, i32 lba);
// Minute, second and frame of lba + 150 frames (unsigned arithmetic).
void LbaToMsf(i32 lba, u8* minute, u8* second, u8* frame);
