// The data-project tree: directory and file nodes of a data project or of
// an opened disc image. Every directory keeps its sub-directories and its
// files in two arrays sorted by name, case-insensitively, and counts the
// disc blocks its own files occupy.
//
// Nodes are stored by value inside their parent's arrays: a node's address
// changes when its array grows or records move, so callers keep indexes or
// re-fetch pointers after a change.
//
// The tree logic is portable; the first step of its name order (the
// system's collation) and the disk operations (AddFileFromDisk,
// AddFolderFromDisk, AddPath, CDirEnumerator) are Windows only.
#pragma once
#include "runtime/array.h"
#include "runtime/date_time.h"
#include "runtime/types.h"
#include "runtime/wide_string.h"

// Kind flags of a DirEntry.
enum : u32 {
  kEntryDirectory = 1,
  kEntryPlainFile = 2,
  kEntryHidden = 4,
  kEntryReparsePoint = 8,  // a link or junction (CDirEnumerator only)
};

// What the list views show of one entry (a tree node or a file on disk).
struct DirEntry {
  CWideString name;
  DateTime created;
  DateTime accessed;
  DateTime written;
  u64 size;
  u32 kind;
};

// Node flags: the same bits as the file flags of an ISO 9660 record.
enum : u32 { kNodeHidden = 1, kNodeDirectory = 2 };

// Why the last insert of a directory failed.
enum : u32 { kConflictNone = 0, kConflictFile = 1, kConflictDir = 2 };

// Name order of the tree (-1, 0, 1), total and the same on every run: the
// system's locale-aware comparison that ignores case
// (CWideString::CompareNoCase's) first; where it calls two different names
// equal ("README" and "readme", "strasse" and "straße"), the program's
// own case fold (CompareFoldedNames), then the code units, decide. 0 only
// for the very same name.
i32 CompareNodeNames(const wchar16* a, i32 lenA, const wchar16* b, i32 lenB);
// The first step of that order (-1, 0, 1): the system's comparison that
// ignores case (Windows). The native build, which has no system collation,
// stands in with CompareFoldedNames: a stand-in that keeps the tree's
// rules for the parsers' sanitizer and fuzz runs.
i32 CompareNodeNamesIgnoringCase(const wchar16* a, i32 lenA, const wchar16* b, i32 lenB);
// The program's own case fold (-1, 0, 1): the names unit by unit, the
// letters of ASCII, Latin-1, Latin Extended-A, Greek and Cyrillic folded to
// lower case, then their lengths.
i32 CompareFoldedNames(const wchar16* a, i32 lenA, const wchar16* b, i32 lenB);
// One name to a data project: equal letter by letter ignoring case, as
// CompareFoldedNames folds it. "New Folder" and "new folder" are alike;
// "strasse" and "straße", or a composed "é" and "e" + U+0301, are
// not. Names alike are equal to the order's first step too, so they sort
// next to each other.
bool NodeNamesAlike(const wchar16* a, i32 lenA, const wchar16* b, i32 lenB);
// Exact equality of two names.
bool NodeNamesEqual(const wchar16* a, i32 lenA, const wchar16* b, i32 lenB);

// The names an insert refuses beside those a directory holds.
enum class NameRule : u8 {
  kProject,  // a data project: any name alike (NodeNamesAlike)
  kImage,    // an image's tree: only the very same name; it keeps every name
             // its folders hold, names that differ only in case too
};

class CFileNode {
 public:
  CFileNode() = default;

  // Kind 2 when the flags are 0; else 1 for a directory, plus 4 when
  // hidden (a hidden file is 4).
  void GetInfo(DirEntry* out) const;
  bool IsDirectory() const { return (flags & kNodeDirectory) != 0; }
  void SetAllDates(const DateTime& date) {
    created = date;
    accessed = date;
    written = date;
  }

  CWideString path;               // full path on disk; empty for image entries
  const wchar16* source = nullptr;  // the image the entry comes from, or null
  CWideString name;
  u64 size = 0;
  u32 flags = 0;
  u64 location = 0;  // first 2048-byte block of the data in the image
  DateTime created{};
  DateTime accessed{};
  DateTime written{};
};

class CDirNode : public CFileNode {
 public:
  CDirNode();
  ~CDirNode();
  CDirNode(const CDirNode&) = delete;
  CDirNode& operator=(const CDirNode&) = delete;

  // Sorted inserts of a new zeroed node; null with `conflict` set when the
  // rule refuses the name beside one among the files / sub-directories.
  CFileNode* InsertFile(const wchar16* name, i32 length, NameRule rule = NameRule::kProject);
  CFileNode* InsertFile(const wchar16* name) { return InsertFile(name, GetStringLength(name, kTextCap)); }
  CDirNode* InsertDir(const wchar16* name, i32 length, NameRule rule = NameRule::kProject);
  CDirNode* InsertDir(const wchar16* name) { return InsertDir(name, GetStringLength(name, kTextCap)); }

  // The image reader's file insert: InsertFile with the image's rule, then
  // source, location and size; the file's blocks are added.
  CFileNode* AddFileEntry(const wchar16* fromSource, const wchar16* fileName, i32 length, u64 at, u64 bytes);

  // Room for `units` name units (each name's terminating zero included) of
  // children inserted from now on, in one block this directory owns: their
  // names are kept there rather than each in storage of its own. For the
  // image reader, which knows a directory's names before it inserts them.
  // False when the block cannot be allocated (names are then stored singly).
  bool ReserveNames(u64 units);

  // From disk (Windows). AddFolderFromDisk skips linked folders (reparse
  // points) and stops descending at kMaxFolderDepth levels.
  static constexpr u32 kMaxFolderDepth = 128;
  CFileNode* AddFileFromDisk(const wchar16* filePath);
  CDirNode* AddFolderFromDisk(const wchar16* folderPath);
  bool AddPath(const wchar16* anyPath);

  // Renames a sub-directory; -1 for a name that is empty or only spaces,
  // when another child has that name or one alike (NodeNamesAlike), when
  // the node has that very name already, or when node is not a
  // sub-directory of this one.
  // Otherwise *node is updated to the moved record and its index returned.
  i32 RenameSubDir(CDirNode** node, const wchar16* newName);
  bool RemoveSubDir(CDirNode* node);

  // First sub-directory, else first file, named exactly name; null if none.
  CFileNode* FindChild(const wchar16* childName);
  // Index in the order of children (directories first), -1 when absent.
  i32 IndexOf(const CFileNode* node) const;
  CFileNode* ChildAt(u32 index);
  CDirNode* SubDirAt(u32 index);
  u32 GetChildCount() const { return dirs.GetCount() + files.GetCount(); }

  u64 CountFiles() const;
  u64 CountDirs() const;
  double TotalSize() const;
  u64 BlocksFor(u64 bytes) const;

  // Array primitives.
  bool GrowDirs(u32 request);
  bool GrowFiles(u32 request);
  i32 SubDirIndex(const CDirNode* node) const;
  void RemoveSubDirAt(u32 index);
  void MoveSubDir(u32 from, u32 to);

  u64 blocks = 0;
  u32 blockSize = 2048;
  u32 conflict = kConflictNone;
  CArray<CDirNode> dirs{16};
  CArray<CFileNode> files{16};

 private:
  CDirNode* AddFolderAtDepth(const wchar16* folderPath, u32 depth);
  bool AddPathAtDepth(const wchar16* anyPath, u32 depth);
  // A new child's name: in the reserved block while it has room.
  void AssignName(CFileNode* node, const wchar16* name, i32 length);

  void* nameBlocks_ = nullptr;  // every reserved block, the newest first
  wchar16* names_ = nullptr;    // the free units of the newest block
  u64 namesLeft_ = 0;
};

template <>
struct ArrayTraits<CDirNode> {
  static void InitNew(CDirNode* slot) { new (slot) CDirNode(); }
  static void CopyInto(CDirNode* slot, const CDirNode&) { new (slot) CDirNode(); }
  static void Destroy(CDirNode* element) { element->~CDirNode(); }
};

template <>
struct ArrayTraits<CFileNode> {
  static void InitNew(CFileNode* slot) { new (slot) CFileNode(); }
  static void CopyInto(CFileNode* slot, const CFileNode& from) { new (slot) CFileNode(from); }
  static void Destroy(CFileNode* element) { element->~CFileNode(); }
};

// Folder listing (Windows): FindFirstFileW / FindNextFileW over one folder.
class CDirEnumerator {
 public:
  explicit CDirEnumerator(const wchar16* folder);
  ~CDirEnumerator();
  CDirEnumerator(const CDirEnumerator&) = delete;
  CDirEnumerator& operator=(const CDirEnumerator&) = delete;

  bool First(DirEntry* entry, const wchar16* pattern);
  bool Next(DirEntry* entry);
  void Close();

 private:
  CWideString path_;
  void* find_ = nullptr;
};
