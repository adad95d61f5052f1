// What a recorder's disc holds against an image file: block by block from
// a first address, each block as written and flushed to the disc.
#pragma once
#include <string>

#include "support/simulated_recorder.h"

// Empty when the disc holds the whole image from `firstLba` on (blocks of
// `blockSize` bytes, 2048, 2336 or 2352), else what differs first.
std::string CompareDiscWithImage(const CSimulatedRecorder& recorder, const std::wstring& imagePath, u32 firstLba = 0,
                                 u32 blockSize = 2048);
// An image file of `blocks` 2048-byte blocks whose every block differs from
// every other (the block's address and a counter in each word).
bool MakeImageFile(const std::wstring& path, u32 blocks);
