#include "ui/windows/frame/posted_tick.h"

bool PostTickMessage(void*, uintptr_t, intptr_t) { return false; }
