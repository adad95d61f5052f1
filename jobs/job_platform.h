// Process and thread priorities of a job: the Windows build raises them for
// a burn; the native build, which runs jobs only in tests, leaves them.
#pragma once
#include "runtime/threads.h"
#include "runtime/types.h"

// Process priority levels.
constexpr u32 kPriorityNormal = 2;
constexpr u32 kPriorityHigh = 4;

bool SetJobProcessPriority(u32 level);
bool SetJobThreadPriorityHighest(CThread* thread);
