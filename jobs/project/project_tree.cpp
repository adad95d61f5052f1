// Data-project tree: sorted inserts, lookups, rename, removal and totals.
#include "jobs/project/project_tree.h"

#include <cstring>

#include "runtime/heap.h"

namespace {

// Greek and Coptic capitals to their small letters. Yot (U+037F) stays
// apart from its small letter: the system's comparison does not take the
// two for one letter, and names alike must sort next to each other.
u32 FoldGreek(u32 c) {
  if (c >= 0x391 && c <= 0x3AB) return c == 0x3A2 ? c : c + 32;
  if (c >= 0x388 && c <= 0x38A) return c + 37;
  if (c == 0x38E || c == 0x38F) return c + 63;
  if (c >= 0x3FD) return c - 130;  // the reversed lunate sigmas
  if ((c >= 0x3D8 && c <= 0x3EF) || c == 0x370 || c == 0x372 || c == 0x376 || c == 0x3FA)
    return c & 1 ? c : c + 1;
  switch (c) {
    case 0x386: return 0x3AC;
    case 0x38C: return 0x3CC;
    case 0x3CF: return 0x3D7;
    case 0x3F7: return 0x3F8;
    case 0x3F9: return 0x3F2;
    default: return c;
  }
}

// Cyrillic capitals to their small letters.
u32 FoldCyrillic(u32 c) {
  if (c <= 0x40F) return c + 80;
  if (c <= 0x42F) return c + 32;
  if (c == 0x4C0) return 0x4CF;
  if (c >= 0x4C1 && c <= 0x4CE) return c & 1 ? c + 1 : c;  // capitals odd here
  if ((c >= 0x460 && c <= 0x481) || (c >= 0x48A && c <= 0x4BF) || c >= 0x4D0) return c & 1 ? c : c + 1;
  return c;
}

// The program's case fold: lower case of the letters whose case the tree
// ignores (ASCII, Latin-1, Latin Extended-A, Greek and Cyrillic: every
// capital that is its small letter's own capital); other characters stay
// as they are.
u32 FoldCase(u32 c) {
  if (c < 0x80) return c >= u'A' && c <= u'Z' ? c + 32 : c;
  if (c >= 0xC0 && c <= 0xDE) return c == 0xD7 ? c : c + 32;  // Latin-1, not the multiplication sign
  if (c >= 0x100 && c <= 0x17F) {                               // Latin Extended-A: upper, lower pairs
    if (c == 0x178) return 0xFF;
    if (c == 0x130 || c == 0x131 || c == 0x138 || c == 0x149 || c == 0x17F) return c;  // no simple pair
    bool oddUpper = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
    return oddUpper ? (c & 1 ? c + 1 : c) : (c & 1 ? c : c + 1);
  }
  if (c >= 0x370 && c <= 0x3FF) return FoldGreek(c);
  if (c >= 0x400 && c <= 0x4FF) return FoldCyrillic(c);
  return c;
}

// Sign of the first difference of two names, unit by unit (each folded, or
// as it is), then of their lengths.
template <bool kFolded>
i32 CompareUnits(const wchar16* a, i32 lenA, const wchar16* b, i32 lenB) {
  const i32 n = lenA < lenB ? lenA : lenB;
  for (i32 i = 0; i < n; ++i) {
    if (a[i] == b[i]) continue;  // most names share long prefixes
    const u32 x = kFolded ? FoldCase(a[i]) : a[i];
    const u32 y = kFolded ? FoldCase(b[i]) : b[i];
    if (x != y) return x < y ? -1 : 1;
  }
  return lenA == lenB ? 0 : lenA < lenB ? -1 : 1;
}

// Insertion point of name in a sorted array, or -1 when the rule refuses
// it beside a name there. Binary search over the sorted order.
template <class Node>
i32 FindInsertPoint(const CArray<Node>& nodes, const wchar16* name, i32 length, NameRule rule) {
  const u32 count = nodes.GetCount();
  u32 low = 0;
  u32 high = count;
  // Names mostly arrive in order (directory records are sorted): try the end.
  if (high > 0) {
    const CWideString& last = nodes[high - 1].name;
    i32 c = CompareNodeNames(last.c_str(), last.GetLength(), name, length);
    if (c == 0) return -1;
    if (c < 0) low = high;
  }
  while (low < high) {
    u32 mid = low + (high - low) / 2;
    const CWideString& existing = nodes[mid].name;
    i32 c = CompareNodeNames(existing.c_str(), existing.GetLength(), name, length);
    if (c == 0) return -1;
    if (c > 0)
      high = mid;
    else
      low = mid + 1;
  }
  // A name alike sorts next to the new one (the system's comparison calls
  // them equal, and the fold decides before the code units).
  if (rule == NameRule::kProject) {
    for (u32 i = low > 0 ? low - 1 : 0; i < count && i <= low; ++i) {
      const CWideString& beside = nodes[i].name;
      if (NodeNamesAlike(beside.c_str(), beside.GetLength(), name, length)) return -1;
    }
  }
  return static_cast<i32>(low);
}

// Grows geometrically once an array is large, so a directory of many
// thousand entries is not copied once every 16 inserts.
template <class Node>
bool GrowFor(CArray<Node>& nodes, u32 request) {
  u32 step = nodes.GetCount() > 64 ? nodes.GetCount() : 0;
  if (request > step) step = request;
  return nodes.Grow(step);
}

// A name that shows nothing: empty, or spaces only (the space, the
// no-break space and the ideographic space).
bool IsBlankName(const wchar16* name, i32 length) {
  for (i32 i = 0; i < length; ++i)
    if (name[i] != 0x20 && name[i] != 0xA0 && name[i] != 0x3000) return false;
  return true;
}

}  // namespace

i32 CompareNodeNames(const wchar16* a, i32 lenA, const wchar16* b, i32 lenB) {
  if (i32 c = CompareNodeNamesIgnoringCase(a, lenA, b, lenB)) return c;
  if (i32 c = CompareUnits<true>(a, lenA, b, lenB)) return c;
  return CompareUnits<false>(a, lenA, b, lenB);
}

i32 CompareFoldedNames(const wchar16* a, i32 lenA, const wchar16* b, i32 lenB) {
  return CompareUnits<true>(a, lenA, b, lenB);
}

bool NodeNamesAlike(const wchar16* a, i32 lenA, const wchar16* b, i32 lenB) {
  return lenA == lenB && CompareUnits<true>(a, lenA, b, lenB) == 0;
}

bool NodeNamesEqual(const wchar16* a, i32 lenA, const wchar16* b, i32 lenB) {
  return lenA == lenB && (lenA == 0 || std::memcmp(a, b, static_cast<size_t>(lenA) * sizeof(wchar16)) == 0);
}

void CFileNode::GetInfo(DirEntry* out) const {
  out->name.Assign(name);
  out->created = created;
  out->accessed = accessed;
  out->written = written;
  out->size = size;
  // Plain only without any flag: a hidden file is 4 alone.
  u32 kind = flags == 0 ? u32(kEntryPlainFile) : 0u;
  if (IsDirectory()) kind |= kEntryDirectory;
  if (flags & kNodeHidden) kind |= kEntryHidden;
  out->kind = kind;
}

CDirNode::CDirNode() { flags = kNodeDirectory; }

namespace {

// The head of a reserved name block; the name units follow it.
struct NameBlock {
  void* previous;
};

}  // namespace

CDirNode::~CDirNode() {
  // The children's names may live in this directory's name blocks.
  files.Destroy();
  dirs.Destroy();
  while (nameBlocks_) {
    void* previous = static_cast<NameBlock*>(nameBlocks_)->previous;
    rt::free(nameBlocks_);
    nameBlocks_ = previous;
  }
}

bool CDirNode::ReserveNames(u64 units) {
  if (units == 0) return true;
  u64 bytes = sizeof(NameBlock) + units * sizeof(wchar16);
  if (bytes > 0xFFFFFFFFull) return false;
  NameBlock* block = static_cast<NameBlock*>(rt::malloc(static_cast<u32>(bytes)));
  if (!block) return false;
  block->previous = nameBlocks_;
  nameBlocks_ = block;
  names_ = reinterpret_cast<wchar16*>(block + 1);
  namesLeft_ = units;
  return true;
}

void CDirNode::AssignName(CFileNode* node, const wchar16* name, i32 length) {
  u64 units = static_cast<u64>(length) + 1;
  if (units > namesLeft_) {
    node->name.AssignChars(name, length);
    return;
  }
  wchar16* text = names_;
  std::memcpy(text, name, static_cast<size_t>(length) * sizeof(wchar16));
  text[length] = 0;
  names_ += units;
  namesLeft_ -= units;
  node->name.BorrowChars(text, length);
}

bool CDirNode::GrowDirs(u32 request) { return GrowFor(dirs, request); }
bool CDirNode::GrowFiles(u32 request) { return GrowFor(files, request); }

CFileNode* CDirNode::InsertFile(const wchar16* name, i32 length, NameRule rule) {
  if (!name || length <= 0) return nullptr;
  i32 at = FindInsertPoint(files, name, length, rule);
  if (at < 0) {
    conflict = kConflictFile;
    return nullptr;
  }
  if (files.GetCount() == files.GetCapacity() && !GrowFiles(0)) return nullptr;
  CFileNode* node = files.InsertNew(static_cast<u32>(at));
  if (!node) return nullptr;
  AssignName(node, name, length);
  return node;
}

CDirNode* CDirNode::InsertDir(const wchar16* name, i32 length, NameRule rule) {
  if (!name || length <= 0) return nullptr;
  i32 at = FindInsertPoint(dirs, name, length, rule);
  if (at < 0) {
    conflict = kConflictDir;
    return nullptr;
  }
  if (dirs.GetCount() == dirs.GetCapacity() && !GrowDirs(0)) return nullptr;
  CDirNode* node = dirs.InsertNew(static_cast<u32>(at));
  if (!node) return nullptr;
  AssignName(node, name, length);
  return node;
}

CFileNode* CDirNode::AddFileEntry(const wchar16* fromSource, const wchar16* fileName, i32 length,
                                  u64 at, u64 bytes) {
  CFileNode* node = InsertFile(fileName, length, NameRule::kImage);
  if (!node) return nullptr;
  node->source = fromSource;
  node->location = at;
  node->size = bytes;
  blocks += BlocksFor(bytes);
  return node;
}

i32 CDirNode::RenameSubDir(CDirNode** node, const wchar16* newName) {
  if (!node || !*node || !newName) return -1;
  i32 index = SubDirIndex(*node);
  if (index < 0) return -1;
  i32 length = GetStringLength(newName, kTextCap);
  if (length <= 0 || IsBlankName(newName, length)) return -1;
  // Any other child of that name, or of one alike, refuses it.
  for (u32 i = 0; i < dirs.GetCount(); ++i) {
    if (static_cast<i32>(i) == index) continue;
    const CWideString& other = dirs[i].name;
    if (NodeNamesAlike(other.c_str(), other.GetLength(), newName, length)) return -1;
  }
  for (u32 i = 0; i < files.GetCount(); ++i) {
    const CWideString& other = files[i].name;
    if (NodeNamesAlike(other.c_str(), other.GetLength(), newName, length)) return -1;
  }
  CDirNode& record = dirs[static_cast<u32>(index)];
  if (NodeNamesEqual(record.name.c_str(), record.name.GetLength(), newName, length)) return -1;
  record.name.AssignChars(newName, length);
  u32 below = 0;
  for (u32 i = 0; i < dirs.GetCount(); ++i) {
    if (static_cast<i32>(i) == index) continue;
    const CWideString& other = dirs[i].name;
    if (CompareNodeNames(other.c_str(), other.GetLength(), newName, length) < 0) ++below;
  }
  MoveSubDir(static_cast<u32>(index), below);
  *node = &dirs[below];
  return static_cast<i32>(below);
}

bool CDirNode::RemoveSubDir(CDirNode* node) {
  i32 index = SubDirIndex(node);
  if (index < 0) return false;
  RemoveSubDirAt(static_cast<u32>(index));
  return true;
}

CFileNode* CDirNode::FindChild(const wchar16* childName) {
  if (!childName) return nullptr;
  i32 length = GetStringLength(childName, kTextCap);
  if (length < 0) return nullptr;
  for (CDirNode& dir : dirs)
    if (NodeNamesEqual(dir.name.c_str(), dir.name.GetLength(), childName, length)) return &dir;
  for (CFileNode& file : files)
    if (NodeNamesEqual(file.name.c_str(), file.name.GetLength(), childName, length)) return &file;
  return nullptr;
}

i32 CDirNode::IndexOf(const CFileNode* node) const {
  if (!node) return -1;
  if (node->IsDirectory()) return SubDirIndex(static_cast<const CDirNode*>(node));
  for (u32 i = 0; i < files.GetCount(); ++i)
    if (&files[i] == node) return static_cast<i32>(dirs.GetCount() + i);
  return -1;
}

CFileNode* CDirNode::ChildAt(u32 index) {
  if (index < dirs.GetCount()) return &dirs[index];
  index -= dirs.GetCount();
  return index < files.GetCount() ? &files[index] : nullptr;
}

CDirNode* CDirNode::SubDirAt(u32 index) { return index < dirs.GetCount() ? &dirs[index] : nullptr; }

u64 CDirNode::CountFiles() const {
  u64 total = files.GetCount();
  for (const CDirNode& dir : dirs) total += dir.CountFiles();
  return total;
}

u64 CDirNode::CountDirs() const {
  u64 total = dirs.GetCount();
  for (const CDirNode& dir : dirs) total += dir.CountDirs();
  return total;
}

double CDirNode::TotalSize() const {
  double total = static_cast<double>(blocks);
  for (const CDirNode& dir : dirs) total += dir.TotalSize();
  return total;
}

u64 CDirNode::BlocksFor(u64 bytes) const {
  u64 unit = blockSize ? blockSize : 2048;
  return bytes / unit + (bytes % unit ? 1 : 0);
}

i32 CDirNode::SubDirIndex(const CDirNode* node) const {
  if (!node) return -1;
  for (u32 i = 0; i < dirs.GetCount(); ++i)
    if (&dirs[i] == node) return static_cast<i32>(i);
  return -1;
}

void CDirNode::RemoveSubDirAt(u32 index) { dirs.DeleteAt(index); }

void CDirNode::MoveSubDir(u32 from, u32 to) {
  u32 count = dirs.GetCount();
  if (from >= count || to >= count || from == to) return;
  alignas(CDirNode) unsigned char held[sizeof(CDirNode)];
  CDirNode* data = dirs.GetData();
  std::memcpy(held, static_cast<void*>(data + from), sizeof(CDirNode));
  if (from < to)
    std::memmove(static_cast<void*>(data + from), data + from + 1, (to - from) * sizeof(CDirNode));
  else
    std::memmove(static_cast<void*>(data + to + 1), data + to, (from - to) * sizeof(CDirNode));
  std::memcpy(static_cast<void*>(data + to), held, sizeof(CDirNode));
}
