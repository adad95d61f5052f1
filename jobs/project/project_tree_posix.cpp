// The native build's stand-in for the tree's name order (no system
// collation there): code units in order, the ASCII letters' case ignored.
#include "jobs/project/project_tree.h"

namespace {

u32 FoldAscii(wchar16 c) { return c >= u'A' && c <= u'Z' ? c + 32u : c; }

}  // namespace

i32 CompareNodeNames(const wchar16* a, i32 lenA, const wchar16* b, i32 lenB) {
  const i32 n = lenA < lenB ? lenA : lenB;
  for (i32 i = 0; i < n; ++i) {
    const u32 x = FoldAscii(a[i]);
    const u32 y = FoldAscii(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  return lenA == lenB ? 0 : lenA < lenB ? -1 : 1;
}
