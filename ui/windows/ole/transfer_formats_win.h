// The clipboard formats in which the program offers files: the descriptor
// block "FileGroupDescriptorW", one "FileContents" stream per file and the
// "UntrustedDragDrop" marker, registered once per process. The table's
// order is the order in which a data object enumerates them. Windows only.
#pragma once
#include <objidl.h>

constexpr unsigned kTransferFormatCount = 3;
enum : unsigned { kFormatDescriptor = 0, kFormatContents = 1, kFormatUntrusted = 2 };

// Registers the formats on first use and returns the table.
const FORMATETC* RegisterTransferFormats();
