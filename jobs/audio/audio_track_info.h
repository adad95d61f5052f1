// The audio part of a track row: the file and its measured length. Portable.
#pragma once
#include "runtime/types.h"
#include "runtime/wide_string.h"

struct AudioTrackInfo {
  CWideString path;
  u32 seconds = 0;  // whole seconds, for display
  u32 sectors = 0;  // 2352-byte sectors, 75 a second
  // Measured from its size as raw CD audio (".bin"/".raw" that no filter
  // renders): decoded by copying the file.
  bool raw = false;
};
