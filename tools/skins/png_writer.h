// Writes 8-bit RGBA PNG files (colour type 6, not interlaced) from the
// renderer's pixels: 0xAARRGGBB, straight alpha, rows bottom-up in memory.
// Used by the skin generator.
#pragma once
#include <vector>

#include "runtime/types.h"

// The whole file in memory; each row takes the filter that makes it
// smallest by the usual sum-of-magnitudes guess.
std::vector<u8> EncodePng(const u32* pixels, u32 width, u32 height);

bool WriteFile(const char* path, const std::vector<u8>& bytes);
