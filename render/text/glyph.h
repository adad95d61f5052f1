// Rendered glyphs kept as rows of coverage values, and glyph ranges: blocks
// of consecutive code points rendered once and kept for the life of their
// font. Portable: the rasteriser hands glyph images over as GlyphImage.
#pragma once
#include "runtime/types.h"

// One glyph as a rasteriser renders it: 8-bit coverage rows, top row first.
struct GlyphImage {
  double advanceX;
  double advanceY;
  i32 left;  // first column relative to the pen
  i32 top;   // top row above the pen
  u32 rows;
  u32 width;
  const u8* topRow;  // row r (0 = top) starts at topRow + r x pitch
  i32 pitch;
  u32 greyLevels;  // coverage = byte / greyLevels
};

// Variable-length record inside its range's block. After the header come
// the rows from the lowest upward, each {u32 first column, u32 run length}
// followed by run length f64 coverage values; zero columns at both ends of
// a row are trimmed (an empty row is {0, 0}).
struct Glyph {
  Glyph* next;  // next record of the block
  double advanceX;
  double advanceY;
  double left;    // first column relative to the pen
  double bottom;  // lowest row relative to the pen
  u32 size;       // record bytes
  u32 rows;
  u32 width;

  struct Row {
    u32 first;
    u32 length;
    const double* coverage;
  };
  // Row r counted from the lowest; walks the rows below it (rows are short).
  Row GetRow(u32 r) const;
  // Bytes a record of this image needs.
  static u32 RecordBytes(const GlyphImage& image);
  // Writes the record of the image at out (RecordBytes(image) bytes).
  static void FromBitmap(const GlyphImage& image, void* out);
};

constexpr u32 kGlyphHeaderBytes = 56;
static_assert(sizeof(Glyph) == kGlyphHeaderBytes, "glyph record header");

// One heap block: header, count entries (null for a code point without a
// glyph), then the glyph records. Covers first .. first + count - 1.
struct GlyphRange {
  u32 first;
  u32 end;  // first + count
  u32 count;
  GlyphRange* next;  // published with release order, read with acquire

  const Glyph* Entry(u32 code) const;
  bool Covers(u32 code) const { return code >= first && code < end; }
  // The range in the list that covers code, or null.
  static const GlyphRange* Find(const GlyphRange* list, u32 code);
  // Frees every range of the list.
  static void FreeList(GlyphRange* list);
};

// Collects the glyphs of one range, each rendered once, then makes the
// range's block in one allocation.
class CGlyphRangeBuilder {
 public:
  CGlyphRangeBuilder(u32 first, u32 count);
  ~CGlyphRangeBuilder();
  CGlyphRangeBuilder(const CGlyphRangeBuilder&) = delete;
  CGlyphRangeBuilder& operator=(const CGlyphRangeBuilder&) = delete;
  // False when the entry table could not be allocated.
  bool IsValid() const { return offsets_ != nullptr; }
  // The glyph of code point first + index.
  bool Add(u32 index, const GlyphImage& image);
  bool Has(u32 index) const { return offsets_ && index < count_ && offsets_[index] != kNone; }
  // The finished block, or null when the heap refuses it. The builder is
  // empty afterwards.
  GlyphRange* Finish();
  u32 Count() const { return count_; }

 private:
  static constexpr u32 kNone = 0xFFFFFFFFu;
  u32 first_;
  u32 count_;
  u32* offsets_ = nullptr;  // record offset per entry, kNone when absent
  u8* records_ = nullptr;
  u32 used_ = 0;
  u32 capacity_ = 0;
};

// Links a finished range into a list: after the head, in first-code order
// among the others (the head, the font's first range, stays in front). The
// range is complete before it becomes reachable. Callers serialise writers.
void InsertGlyphRange(GlyphRange** head, GlyphRange* range);
// Acquire read of a list link.
const GlyphRange* LoadRangeLink(GlyphRange* const* link);
