// Editing of mode pages read with MODE SENSE(10) before they are sent back
// with MODE SELECT(10). The page starts at byte 8 after the mode header.
// Portable.
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

// Turns the drive's default write parameters page (page 05) into the one to
// send. False when the reply is not page 05 or too short to hold the fields.
bool PrepareWriteParametersPage(u8* reply, u32 valid, const WriteParameterChoice& choice);

// Sets WCE (and clears RCD) of the caching page (page 08). False when the
// reply is not page 08 or too short.
bool PrepareCachingPage(u8* reply, u32 valid, bool enable);
