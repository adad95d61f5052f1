// Name comparison of the tree in the native build: the ordinal case fold
// (the Windows build uses the system's locale-aware comparison).
#include "jobs/project/project_tree.h"

i32 CompareNodeNames(const wchar16* a, i32 lenA, const wchar16* b, i32 lenB) {
  return CompareNamesOrdinalNoCase(a, lenA, b, lenB);
}

bool NodeNamesEqual(const wchar16* a, i32 lenA, const wchar16* b, i32 lenB) {
  if (lenA != lenB) return false;
  for (i32 i = 0; i < lenA; ++i)
    if (a[i] != b[i]) return false;
  return true;
}
