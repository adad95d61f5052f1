// What the burn-image window tells of the chosen image: its size in bytes
// and sectors (64-bit throughout: an image whose sector count does not fit
// 32 bits is refused), its volume label and its file systems, and their
// texts as the window paints them.
#pragma once
#include "runtime/types.h"
#include "runtime/wide_string.h"

struct BurnImageInfo {
  bool opened = false;
  u64 bytes = 0;     // user data
  u64 sectors = 0;   // 2048-byte sectors, a partial last one counted whole
  bool tooLarge = false;  // more sectors than a burn can address
  CWideString label;
  CWideString fileSystems;
};

// Sectors of 2048 bytes that hold an image of `bytes` user-data bytes (a
// partial last one counts whole); false when the count does not fit 32
// bits. Portable.
bool ImageSectorsFit(u64 bytes, u32* sectors);
// n in decimal with "." before every group of three digits from the right.
void AppendGrouped(CWideString* out, u64 n);
// "1.474.560 bytes (1.41 MB)". Portable.
void FormatImageSize(u64 bytes, CWideString* out);

// Opens the image with format detection and reads its figures and names;
// false (info.opened false) when it cannot be opened. Windows only.
bool ReadBurnImageInfo(const wchar16* path, BurnImageInfo* info);
