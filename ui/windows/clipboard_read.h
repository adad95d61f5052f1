// Reading the clipboard: the file list (CF_HDROP) and text. Both open the
// clipboard for the active window and close it again; the blocks are
// untrusted and read within their global sizes. Windows only.
#pragma once
#include "runtime/wide_string.h"
#include "ui/windows/dropped_files.h"

// Loads the clipboard's file list into list; false (list empty) when the
// clipboard offers none or it cannot be read.
bool GetClipboardFiles(CDroppedFiles* list);
// Unicode text is appended to out, else 8-bit text is decoded as UTF-8
// into it; false, out unchanged, when the clipboard holds neither.
bool GetClipboardText(CWideString* out);
