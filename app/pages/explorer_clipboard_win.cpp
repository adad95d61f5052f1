#include "app/pages/explorer_clipboard.h"

#include "jobs/image/image_stream_win.h"
#include "jobs/image/safe_name.h"
#include "runtime/platform.h"
#include "runtime/static_text.h"
#include "runtime/threads.h"

namespace {

// Streams over the files of the last copied raw image. The clipboard's data
// object may ask for them on the shell's threads after the page is gone,
// so the provider is a static record that keeps its own copy of the path
// until the exit list releases it (after that, streams open on no image
// and fail their reads).
class CImageStreamProvider final : public IFileStreamProvider {
 public:
  void SetImage(const wchar16* path) {
    CLockGuard hold(lock_);
    path_.Assign(path);
  }
  void Release() {
    CLockGuard hold(lock_);
    path_.Release();
  }
  IStream* OpenStream(u64 position, u64 size) override {
    CWideString path;
    {
      CLockGuard hold(lock_);
      path.Assign(path_);
    }
    return CImageStream::Create(path.c_str(), position, size);
  }

 private:
  CLock lock_;
  CWideString path_;
};

CImageStreamProvider& Provider() { return rt::CStaticRecord<CImageStreamProvider, CImageStreamProvider>::Get(); }

// The entry's name as the files pasted from the clipboard take it.
i32 OutsideLength(const CFileNode& entry) {
  return NameOutsideImageLength(entry.name.c_str(), entry.name.GetLength());
}

bool IsSafe(const CFileNode& entry) { return IsSafePathComponent(entry.name.c_str(), OutsideLength(entry)); }

void Refuse(const CFileNode& entry) {
  CWideString line(u"Name left out: ");
  line.Append(entry.name);
  line.AppendChar(u'\n');
  OutputDebugText(line.c_str());
}

u32 CountEntry(const CFileNode& entry) {
  if (!IsSafe(entry)) return 0;
  u32 n = 1;
  if (entry.IsDirectory()) {
    const CDirNode& dir = static_cast<const CDirNode&>(entry);
    for (const CDirNode& sub : dir.dirs) n += CountEntry(sub);
    for (const CFileNode& file : dir.files) n += CountEntry(file);
  }
  return n;
}

void AddEntry(CClipboardFiles* files, const CFileNode& entry, const CWideString& prefix) {
  if (!IsSafe(entry)) return Refuse(entry);
  ClipboardFileEntry record;
  record.name.Assign(prefix);
  record.name.AppendChars(entry.name.c_str(), OutsideLength(entry));
  record.created = entry.created;
  record.accessed = entry.accessed;
  record.written = entry.written;
  record.size = entry.IsDirectory() ? 0 : entry.size;
  record.flags = entry.IsDirectory() ? 1 : 0;
  CWideString line(u"Add File: ");
  line.Append(record.name);
  line.AppendChar(u'\n');
  OutputDebugText(line.c_str());
  if (!files->AddFile(record, entry.location * 2048)) return;
  if (!entry.IsDirectory()) return;
  CWideString inner(record.name);
  inner.AppendChar(u'\\');
  const CDirNode& dir = static_cast<const CDirNode&>(entry);
  for (const CDirNode& sub : dir.dirs) AddEntry(files, sub, inner);
  for (const CFileNode& file : dir.files) AddEntry(files, file, inner);
}

}  // namespace

u32 PrepareImageEntries(CClipboardFiles* files, const wchar16* imagePath, bool plainSectors,
                        const CFileNode* const* entries, u32 count) {
  u32 total = 0;
  for (u32 i = 0; i < count; ++i) total += CountEntry(*entries[i]);
  if (!total) return 0;
  bool begun;
  if (plainSectors) {
    begun = files->BeginFromFile(total, imagePath);
  } else {
    Provider().SetImage(imagePath);
    begun = files->BeginFromProvider(total, &Provider());
  }
  if (!begun) return 0;
  const CWideString none;
  for (u32 i = 0; i < count; ++i) AddEntry(files, *entries[i], none);
  return files->FileCount();
}

bool CopyImageEntries(CClipboardFiles* files, const wchar16* imagePath, bool plainSectors,
                      const CFileNode* const* entries, u32 count) {
  return PrepareImageEntries(files, imagePath, plainSectors, entries, count) && files->Publish();
}
