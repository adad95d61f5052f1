// Names taken from a disc image are untrusted: before one becomes part of a
// path on disk (extraction), it must be a single, plain path component that
// Windows stores as written and that names no device.
#pragma once
#include "runtime/types.h"

// False for an empty name, "." and "..", any name holding a path separator
// ('\\' or '/'), a drive or stream colon ':', a wildcard or another
// character Windows refuses in names (< > " | ? *) or a control character
// (below 0x20, or 0x7F); for a name ending in a dot or a blank (Windows
// drops those, so the name would not be the one written); and for the
// reserved device names CON, PRN, AUX, NUL, CONIN$, CONOUT$, COM1-9 and
// LPT1-9 in any case, alone or with an extension ("nul.txt").
bool IsSafePathComponent(const wchar16* name, i32 length);
