// The native build's stand-in for the first step of the tree's name order
// (no system collation there): the program's own case fold. Ties are
// decided as in the Windows build (CompareNodeNames).
#include "jobs/project/project_tree.h"

i32 CompareNodeNamesIgnoringCase(const wchar16* a, i32 lenA, const wchar16* b, i32 lenB) {
  return CompareFoldedNames(a, lenA, b, lenB);
}
