// UI string ids that more than one page shows.
#pragma once
#include "runtime/types.h"

constexpr u32 kTextSize = 91;
