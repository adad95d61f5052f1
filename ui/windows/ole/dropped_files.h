// CDroppedFiles: a private copy of a DROPFILES block (the file list of a
// drop or of the clipboard) and a cursor for reading its names in order.
// The block comes from another program, so nothing in it is trusted: every
// offset and length is bounded by the copy's size, the wide-character flag
// decides the unit size, a list without its closing empty name ends at the
// block's end (an unterminated last name is not a name), and a name longer
// than the path limit is never handed out. The list walk is portable;
// GetName's conversion of an 8-bit list (the system code page) lives in
// dropped_files_win.cpp.
#pragma once
#include "runtime/types.h"

class CWideString;

// DROPFILES as the system lays it out: offset of the names (u32), drop
// point (two i32), non-client flag (u32), wide-character flag (u32).
namespace drop_files {
constexpr u32 kNamesOffsetField = 0;
constexpr u32 kWideField = 16;
constexpr u32 kHeaderSize = 20;
// The longest name handed out, in units: the path limit less its zero.
constexpr u32 kNameLimit = 259;
// Larger blocks are refused rather than copied.
constexpr u32 kBlockLimit = 64u << 20;
}  // namespace drop_files

// Where one name lies in the block: its first byte and its length in
// units (bytes of an 8-bit list, UTF-16 units of a wide one), without the
// terminating zero.
struct DropName {
  u32 offset;
  u32 units;
};

class CDroppedFiles {
 public:
  CDroppedFiles() = default;
  ~CDroppedFiles() { Clear(); }
  CDroppedFiles(const CDroppedFiles&) = delete;
  CDroppedFiles& operator=(const CDroppedFiles&) = delete;

  // Frees a previous copy, copies size bytes and places the cursor on the
  // first name. False, leaving an empty list, for a null block, a block
  // above the limit or a failed allocation. A block whose header is short
  // or whose name offset lies outside it loads as an empty list.
  bool Load(const void* block, u32 size);
  void Clear();

  // The number of names up to the closing empty one (or the block's end).
  HResult GetCount(u32* count);
  // Where name index lies: S_OK, or S_FALSE when the list has fewer names.
  // Below the cursor's index the walk restarts from the first name, so
  // reading the names in increasing order is linear overall.
  HResult FindName(u32 index, DropName* out);
  // Name index as UTF-16: S_OK; S_FALSE when the list has fewer names (out
  // unchanged); E_FAIL with out emptied for a name longer than the path
  // limit or one that cannot be converted. (Windows.)
  HResult GetName(u32 index, CWideString* out);

  bool IsWide() const { return wide_; }
  const u8* Bytes() const { return block_; }
  u32 Size() const { return size_; }

 private:
  // The name at *at; false at the end of the list. Moves *at past it.
  bool NextName(u32* at, DropName* out) const;

  u8* block_ = nullptr;
  u32 size_ = 0;
  u32 names_ = 0;  // the first name's offset (size_ for an empty list)
  bool wide_ = false;
  u32 cursor_ = 0;       // offset of the name at the cursor
  u32 cursorIndex_ = 0;  // its index
};
