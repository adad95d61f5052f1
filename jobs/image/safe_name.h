// Names taken from a disc image are untrusted: before one becomes part of a
// path on disk (extraction, files on the clipboard), it must be a single,
// plain path component that Windows stores as written and that names no
// device. Outside the image a name also goes without its ISO 9660 version.
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

// The length of the name an entry of an image takes outside it: without the
// ";N" version suffix of ISO 9660 (one to five digits) and, when one was
// there, without the dot left before it by a name with no extension
// ("THIS_IS_.TXT;1" is "THIS_IS_.TXT", "README.;1" is "README"), as readers
// of such discs show them. Any other name keeps its length.
i32 NameOutsideImageLength(const wchar16* name, i32 length);
