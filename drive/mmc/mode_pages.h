// Editing of mode pages read with MODE SENSE(10) before they are sent back
// with MODE SELECT(10). The page follows the 8-byte mode header and any block
// descriptors the drive put before it. Portable.
#pragma once
#include "runtime/types.h"

struct WriteParameterChoice {
  bool dvd;               // DVD family medium
  u8 dataBlockType;       // CD: 8 Mode 1, 10 Mode 2 Form 1, 0 audio
  bool noFurtherSession;  // Multi-session 0, else 3
  bool bufe;
  bool incremental;       // track-at-once (CD) or incremental (DVD)
  bool testWrite;
};

// Turns the drive's default write parameters page (page 05) into the MODE
// SELECT(10) parameter list to send: the header (no block descriptors) with
// the whole page right after it, in place. Returns the list's length, 0 when
// the reply is not page 05, does not hold the whole page or is too short to
// hold the fields.
u32 PrepareWriteParametersList(u8* reply, u32 valid, const WriteParameterChoice& choice);
// Sets WCE (and clears RCD) of the caching page (page 08), likewise.
u32 PrepareCachingList(u8* reply, u32 valid, bool enable);

// The same, for callers that only need to know whether the list was made.
bool PrepareWriteParametersPage(u8* reply, u32 valid, const WriteParameterChoice& choice);
bool PrepareCachingPage(u8* reply, u32 valid, bool enable);
