#include "ui/windows/frame/path_prefix.h"

i32 FolderPrefixEnd(const CWideString& path, const CWideString& folder) {
  const i32 n = folder.GetLength();
  if (n == 0 || path.GetLength() < n) return -1;
  if (CompareText(path.c_str(), n, folder.c_str(), n) != 0) return -1;
  if (path.GetLength() == n) return n;
  // A folder given with its trailing separator already ends at one.
  if (folder.At(n - 1) == u'\\') return n;
  return path.At(n) == u'\\' ? n + 1 : -1;
}
