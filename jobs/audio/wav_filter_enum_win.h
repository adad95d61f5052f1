// Enumerators of the sink filter: its one pin and its one media type (CD
// audio). Each call makes a fresh enumerator on the heap that frees itself
// with its last reference. Windows only.
#pragma once
#include <dshow.h>

#include "runtime/win.h"

// Enumerates the pin (handed out referenced); null when memory is short.
IEnumPins* CreatePinEnum(IPin* pin);
// Enumerates the CD audio type (each Next allocates it anew).
IEnumMediaTypes* CreateMediaTypeEnum();
