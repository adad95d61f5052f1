// Copying entries of a disc image to the clipboard as file contents: every
// entry with everything below it, named relative to the copied selection,
// each name without its ISO 9660 version.
// A name that could leave the folder the files are pasted into (a path
// separator, "..", a device colon) is left out with what lies below it.
// Windows only.
#pragma once
#include "jobs/project/project_tree.h"
#include "ui/windows/ole/clipboard_files.h"

// The set is read from the image's bytes (plain 2048-byte sectors) or
// through streams that decode its sectors. False when nothing was put on
// the clipboard.
bool CopyImageEntries(CClipboardFiles* files, const wchar16* imagePath, bool plainSectors,
                      const CFileNode* const* entries, u32 count);
// The set without publishing it: the files added.
u32 PrepareImageEntries(CClipboardFiles* files, const wchar16* imagePath, bool plainSectors,
                        const CFileNode* const* entries, u32 count);
