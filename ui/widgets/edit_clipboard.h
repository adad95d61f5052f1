// The clipboard as the text edit uses it: its selection out as Unicode
// text, and the clipboard's text in, at most a given number of units.
// Windows only in effect; the native build has no clipboard.
#pragma once
#include "runtime/wide_string.h"

bool CopyTextToClipboard(const wchar16* text, i32 n);
bool ReadClipboardText(CWideString* out, i32 maxUnits);
