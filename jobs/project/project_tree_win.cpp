// Windows side of the data-project tree: the first step of its name order,
// files and folders added from disk, and the folder enumerator.
#include "runtime/win.h"

#include "jobs/project/project_tree.h"
#include "runtime/file.h"

namespace {

void ToDateTime(const FILETIME& time, DateTime* out) {
  SYSTEMTIME st;
  if (!FileTimeToSystemTime(&time, &st)) {
    *out = DateTime{};
    return;
  }
  out->Set(st.wYear, st.wMonth, st.wDay, st.wDayOfWeek, st.wHour, st.wMinute, st.wSecond,
           st.wMilliseconds);
}

void FillEntry(const WIN32_FIND_DATAW& data, DirEntry* entry) {
  entry->name.Assign(AsW16(data.cFileName));
  ToDateTime(data.ftCreationTime, &entry->created);
  ToDateTime(data.ftLastAccessTime, &entry->accessed);
  ToDateTime(data.ftLastWriteTime, &entry->written);
  entry->size = (static_cast<u64>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  u32 kind = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? kEntryDirectory : kEntryPlainFile;
  if (data.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) kind |= kEntryHidden;
  if (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) kind |= kEntryReparsePoint;
  entry->kind = kind;
}

void JoinPath(const wchar16* folder, const wchar16* name, CWideString* out) {
  out->Assign(folder);
  i32 n = out->GetLength();
  if (n > 0 && out->At(n - 1) != u'\\' && out->At(n - 1) != u'/') out->AppendChar(u'\\');
  out->Append(name);
}

bool IsDotEntry(const CWideString& name) {
  i32 n = name.GetLength();
  return (n == 1 && name.At(0) == u'.') || (n == 2 && name.At(0) == u'.' && name.At(1) == u'.');
}

}  // namespace

i32 CompareNodeNamesIgnoringCase(const wchar16* a, i32 lenA, const wchar16* b, i32 lenB) {
  return CompareTextNoCase(a, lenA, b, lenB);
}

CDirEnumerator::CDirEnumerator(const wchar16* folder) { path_.Assign(folder); }

CDirEnumerator::~CDirEnumerator() { Close(); }

bool CDirEnumerator::First(DirEntry* entry, const wchar16* pattern) {
  if (find_) {
    FindClose(find_);
    find_ = nullptr;
  }
  CWideString query;
  JoinPath(path_.c_str(), pattern, &query);
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW(AsWide(query.c_str()), &data);
  if (find == INVALID_HANDLE_VALUE) return false;
  find_ = find;
  FillEntry(data, entry);
  return true;
}

bool CDirEnumerator::Next(DirEntry* entry) {
  if (!find_) return false;
  WIN32_FIND_DATAW data;
  if (!FindNextFileW(find_, &data)) return false;
  FillEntry(data, entry);
  return true;
}

void CDirEnumerator::Close() {
  if (find_) FindClose(find_);
  find_ = nullptr;
  path_.Release();
}

CFileNode* CDirNode::AddFileFromDisk(const wchar16* filePath) {
  CFileHandle file;
  if (file.Open(filePath, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL) != 0)
    return nullptr;
  CFileNode* node = InsertFile(FindFileNamePart(filePath));
  if (!node) return nullptr;
  node->path.Assign(filePath);
  u64 bytes = 0;
  if (FileSize(file.Get(), &bytes) != 0) bytes = 0;
  node->size = bytes;
  blocks += BlocksFor(bytes);
  return node;
}

CDirNode* CDirNode::AddFolderFromDisk(const wchar16* folderPath) {
  return AddFolderAtDepth(folderPath, 0);
}

bool CDirNode::AddPath(const wchar16* anyPath) { return AddPathAtDepth(anyPath, 0); }

bool CDirNode::AddPathAtDepth(const wchar16* anyPath, u32 depth) {
  if (DirectoryExists(anyPath)) return AddFolderAtDepth(anyPath, depth) != nullptr;
  return AddFileFromDisk(anyPath) != nullptr;
}

CDirNode* CDirNode::AddFolderAtDepth(const wchar16* folderPath, u32 depth) {
  CDirNode* node = InsertDir(FindFileNamePart(folderPath));
  if (!node) return nullptr;
  node->path.Assign(folderPath);
  // The new node lives in this directory's array, which the walk below does
  // not change, so the pointer stays valid.
  CDirEnumerator listing(folderPath);
  DirEntry entry{};
  CWideString child;
  for (bool more = listing.First(&entry, u"*"); more; more = listing.Next(&entry)) {
    if (IsDotEntry(entry.name)) continue;
    JoinPath(folderPath, entry.name.c_str(), &child);
    if (entry.kind & kEntryDirectory) {
      // A linked folder can point back up the tree: never follow one.
      if (entry.kind & kEntryReparsePoint) continue;
      if (depth + 1 >= kMaxFolderDepth) continue;
      node->AddFolderAtDepth(child.c_str(), depth + 1);
    } else {
      node->AddFileFromDisk(child.c_str());
    }
  }
  return node;
}
