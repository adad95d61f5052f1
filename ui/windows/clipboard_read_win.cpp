#include "ui/windows/clipboard_read.h"

#include "runtime/win.h"
#include "ui/windows/byte_buffer.h"

namespace {

// Blocks larger than this are not read.
constexpr SIZE_T kTextLimit = 64u << 20;

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

bool GetClipboardText(CWideString* out) {
  if (!out) return false;
  const bool unicode = IsClipboardFormatAvailable(CF_UNICODETEXT) != 0;
  if (!unicode && !IsClipboardFormatAvailable(CF_TEXT)) return false;
  CClipboardSession session;
  if (!session.IsOpen()) return false;
  CLockedBlock block(unicode ? CF_UNICODETEXT : CF_TEXT);
  if (!block.Data() || block.Size() > kTextLimit) return false;
  if (unicode) {
    const wchar16* text = static_cast<const wchar16*>(block.Data());
    const SIZE_T units = block.Size() / 2;
    SIZE_T n = 0;
    while (n < units && text[n] != 0) ++n;
    out->AppendChars(text, static_cast<i32>(n));
    return true;
  }
  const char* bytes = static_cast<const char*>(block.Data());
  SIZE_T n = 0;
  while (n < block.Size() && bytes[n] != 0) ++n;
  ByteBuffer buffer;
  if (!buffer.Append(bytes, static_cast<u32>(n))) return false;
  out->AssignUtf8(buffer.Data(), static_cast<i32>(buffer.Length()));
  return true;
}
