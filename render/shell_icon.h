// The shell's icon of a file, a special folder or the generic folder as a
// frame of an image strip, for the program's own drawn list views.
#pragma once
#include "runtime/array.h"
#include "runtime/types.h"

class CImageStrip;

// Special folders the shell is asked for; -1 means "use the path".
enum : i32 {
  kShellFolderNone = -1,
  kShellFolderDesktop = 0,
  kShellFolderDocuments = 1,
  kShellFolderComputer = 2,
  kShellFolderNetwork = 3,
};

// The frame index in the strip of the shell's small or large icon for:
//  - folderKind -1 with a path: the file's icon; with realFile false only
//    the file's type is asked for (the file is not touched);
//  - folderKind -1 without a path: the generic folder icon;
//  - folderKind 0..3: the desktop, documents, computer or network folder.
// The cache holds the system image-list index of every frame of the strip
// (entry k belongs to frame k): an icon met before returns its frame, a new
// one is appended to the strip as a 32-bit ARGB frame (straight alpha, rows
// bottom-up) and only then added to the cache. -1 when the strip or cache is
// missing, the shell gives no icon, drawing fails, or the strip refuses the
// frame (another frame size, or a strip out of step with the cache); cache
// and strip are left as they were.
// (The system's RPC headers define "small" as a macro; it is set aside here
// so that this header can follow them.)
#pragma push_macro("small")
#undef small
i32 GetShellIconBitmap(CImageStrip* strip, CArray<i32>* cache, const wchar16* path, bool small,
                       i32 folderKind, bool realFile);
#pragma pop_macro("small")
