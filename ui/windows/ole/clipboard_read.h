// Reading the clipboard's file list (CF_HDROP): opens the clipboard for the
// active window and closes it again; the block is untrusted and read within
// its global size. Text is read by the runtime's GetClipboardText. Windows
// only.
#pragma once
#include "runtime/wide_string.h"
#include "ui/windows/ole/dropped_files.h"

// Loads the clipboard's file list into list; false (list empty) when the
// clipboard offers none or it cannot be read.
bool GetClipboardFiles(CDroppedFiles* list);
