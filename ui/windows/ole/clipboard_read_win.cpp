#include "ui/windows/ole/clipboard_read.h"

#include "runtime/win.h"

namespace {

// The clipboard, open for the life of the object.
class CClipboardSession {
 public:
  CClipboardSession() : open_(OpenClipboard(GetActiveWindow()) != 0) {}
  ~CClipboardSession() {
    if (open_) CloseClipboard();
  }
  bool IsOpen() const { return open_; }

 private:
  bool open_;
};

// The locked block of a format while the object lives.
class CLockedBlock {
 public:
  explicit CLockedBlock(UINT format) : handle_(GetClipboardData(format)) {
    if (!handle_) return;
    size_ = GlobalSize(handle_);
    data_ = GlobalLock(handle_);
  }
  ~CLockedBlock() {
    if (data_) GlobalUnlock(handle_);
  }
  const void* Data() const { return data_; }
  SIZE_T Size() const { return size_; }

 private:
  HANDLE handle_;
  const void* data_ = nullptr;
  SIZE_T size_ = 0;
};

}  // namespace

bool GetClipboardFiles(CDroppedFiles* list) {
  if (!list) return false;
  list->Clear();
  if (!IsClipboardFormatAvailable(CF_HDROP)) return false;
  CClipboardSession session;
  if (!session.IsOpen()) return false;
  CLockedBlock block(CF_HDROP);
  if (!block.Data() || block.Size() > drop_files::kBlockLimit) return false;
  return list->Load(block.Data(), static_cast<u32>(block.Size()));
}

