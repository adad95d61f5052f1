#include "jobs/job_platform.h"

// The native build runs jobs only in tests: priorities stay as they are.
bool SetJobProcessPriority(u32) { return true; }
bool SetJobThreadPriorityHighest(CThread*) { return true; }
