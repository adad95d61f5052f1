// The program's initialiser table, in the order the initialisers run.
#pragma once
#include "runtime/startup.h"

const rt::InitRoutine* GetStartupTable();
u32 GetStartupTableSize();
