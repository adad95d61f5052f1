#include "runtime/platform.h"
#include "ui/widgets/edit_clipboard.h"

bool CopyTextToClipboard(const wchar16* text, i32 n) { return SetClipboardText(text, n); }
bool ReadClipboardText(CWideString* out, i32 maxUnits) { return GetClipboardText(out, maxUnits); }
