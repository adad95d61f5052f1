#include "ui/widgets/edit_clipboard.h"

bool CopyTextToClipboard(const wchar16*, i32) { return false; }
bool ReadClipboardText(CWideString*, i32) { return false; }
