// UI string ids of status lines that more than one job window shows.
// Portable.
#pragma once
#include "runtime/types.h"

constexpr u32 kTextNotEnoughSpace = 95;  // "There is not enough space in disk"
