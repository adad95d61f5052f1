// Cue sheets for disc-at-once writing of an image, and the table in which a
// cue sheet is printed to the job log. Portable.
#pragma once
#include "drive/mmc/cue_sheet.h"
#include "jobs/image/image_file.h"
#include "runtime/wide_string.h"

// Fills the sheet for the image's one data track: lead-in, track 1 index 0
// at -150 and index 1 at 0, lead-out after the image's user-data sectors
// (a partial last sector counts whole).
// The sheet is cleared first. False (sheet left empty) when the image is
// not open or its size cannot be read.
bool BuildImageCueSheet(const CImageFile& image, CueSheet* sheet, bool mode2);
// The sheet of a single-track 2048-byte disc of `blocks` blocks: lead-in
// (0x41, form G), track 1 index 0 at -150 and index 1 at 0 (form D), lead-out
// at `blocks` (form G); D = 0x20 with mode2 else 0x10, G = D + 4.
void BuildSingleTrackCueSheet(CueSheet* sheet, u32 blocks, bool mode2);

// Clears text and writes "Cue Sheet", the column header, a rule of 114 "="
// and one line per entry (at most the sheet's 256).
void LogCueSheet(const CueSheet& sheet, CWideString* text);
