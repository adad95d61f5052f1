// The burn-image window's accept: its choices written into the caller's
// BurnRequest (destination, path, options, method, speed, the image track
// and, for disc at once, the image's cue sheet).
#pragma once
#include "jobs/burn/burn_request.h"
#include "runtime/array.h"

struct BurnWindowChoices {
  i32 driveEntry;                 // entry of the device list
  const CArray<u32>* driveMap;    // drive index behind each entry
  i32 speedEntry;                 // 0 "Auto Speed", 1 "Maximun", then the table
  const CArray<u32>* speedValues; // KB/s of entries 2...
  i32 methodEntry;
  bool finalize, bufe, verify;
  bool mode2Checked, mode2Enabled;
  bool extraSize;
  const wchar16* imagePath;
  u32 imageSectors;
};

// Fills the request from the choices; false (request untouched) when no
// drive is behind the chosen entry. Portable.
bool FillBurnRequest(BurnRequest* request, const BurnWindowChoices& c);

// Disc at once: the image opened and one cue sheet built for it appended;
// nothing when the image cannot be opened (the engine then has none).
// Windows only (the image file).
bool AddImageCueSheet(BurnRequest* request);
