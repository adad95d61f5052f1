#include "ui/windows/ole/transfer_formats_win.h"

#include <shlobj.h>

namespace {

FORMATETC g_formats[kTransferFormatCount] = {};

}  // namespace

const FORMATETC* RegisterTransferFormats() {
  if (g_formats[0].cfFormat == 0) {
    const wchar_t* names[kTransferFormatCount] = {CFSTR_FILEDESCRIPTORW, CFSTR_FILECONTENTS, CFSTR_UNTRUSTEDDRAGDROP};
    const DWORD media[kTransferFormatCount] = {TYMED_HGLOBAL, TYMED_ISTREAM, TYMED_HGLOBAL};
    // The first entry last: it tells that the table is complete.
    for (unsigned i = kTransferFormatCount; i-- > 0;) {
      g_formats[i].ptd = nullptr;
      g_formats[i].dwAspect = DVASPECT_CONTENT;
      g_formats[i].lindex = -1;
      g_formats[i].tymed = media[i];
      g_formats[i].cfFormat = static_cast<CLIPFORMAT>(RegisterClipboardFormatW(names[i]));
    }
  }
  return g_formats;
}
