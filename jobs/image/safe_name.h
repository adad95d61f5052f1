// Names taken from a disc image are untrusted: before one becomes part of a
// path on disk (extraction), it must be a single, plain path component.
#pragma once
#include "runtime/types.h"

// False for an empty name, "." and "..", and any name holding a path
// separator ('\\' or '/'), a drive or stream colon ':' or a control
// character (below 0x20, or 0x7F).
bool IsSafePathComponent(const wchar16* name, i32 length);
