// Whether a path lies in a folder: the folder's text (compared as the
// system compares texts, case counting) followed by a "\" or the path's
// end. Windows only (the comparison is the system's).
#pragma once
#include "runtime/wide_string.h"

// Where the rest of path begins after folder and its separator (the
// path's length when the path is the folder itself); -1 when the path is
// shorter than the folder, differs from it, or goes on without a "\"
// (C:\Data is no folder of C:\Data2). An empty folder holds nothing.
i32 FolderPrefixEnd(const CWideString& path, const CWideString& folder);
