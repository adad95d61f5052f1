// CDropData: the data object of the drag in progress and the file list
// copied out of it.
#include <objidl.h>

#include "runtime/win.h"
#include "ui/windows/ole/drop_handler.h"

namespace {

FORMATETC FileListFormat() {
  FORMATETC format = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  return format;
}

}  // namespace

void CDropData::Hold(IDataObject* object) {
  if (object) object->AddRef();
  if (object_) object_->Release();
  object_ = object;
}

HResult CDropData::HasData(const Guid& id) {
  if (!object_ || !IsEqualGuid(&id, &kDroppedFilesId)) return kHrFalse;
  FORMATETC format = FileListFormat();
  return object_->QueryGetData(&format) == S_OK ? kHrOk : kHrFalse;
}

HResult CDropData::GetData(const Guid& id, CDroppedFiles** out) {
  if (!out) return kHrInvalidArg;
  *out = nullptr;
  if (!object_ || !IsEqualGuid(&id, &kDroppedFilesId)) return kHrFalse;
  FORMATETC format = FileListFormat();
  STGMEDIUM medium = {};
  if (object_->GetData(&format, &medium) != S_OK) return kHrFalse;
  bool loaded = false;
  // The source chose the medium: only a global block is read.
  if (medium.tymed == TYMED_HGLOBAL && medium.hGlobal) {
    const SIZE_T size = GlobalSize(medium.hGlobal);
    const void* block = GlobalLock(medium.hGlobal);
    if (block) {
      loaded = size <= drop_files::kBlockLimit && files_.Load(block, static_cast<u32>(size));
      GlobalUnlock(medium.hGlobal);
    }
  }
  ReleaseStgMedium(&medium);
  if (!loaded) return kHrFalse;
  *out = &files_;
  return kHrOk;
}
