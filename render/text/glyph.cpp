#include "render/text/glyph.h"

#include <cstring>

#include "runtime/heap.h"

namespace {

constexpr u32 kRowHeaderBytes = 8;
// Records of one range together stay below this (used_ never exceeds it).
constexpr u32 kMaxRecordBytes = 0x7FFFFFFFu;

u32 AlignUp8(u32 n) { return (n + 7u) & ~7u; }

// Bytes from the block start to the entry table, and to the first record.
constexpr u32 kRangeHeaderBytes = static_cast<u32>((sizeof(GlyphRange) + sizeof(void*) - 1) & ~(sizeof(void*) - 1));

u32 RecordsOffset(u32 count) {
  return AlignUp8(kRangeHeaderBytes + count * static_cast<u32>(sizeof(Glyph*)));
}

// Row r of the image counted from the lowest row, and its trimmed extent.
const u8* ImageRowFromBottom(const GlyphImage& image, u32 r) {
  return image.topRow + static_cast<i64>(image.rows - 1 - r) * image.pitch;
}

void TrimRow(const u8* row, u32 width, u32* first, u32* length) {
  u32 a = 0;
  while (a < width && row[a] == 0) ++a;
  u32 b = width;
  while (b > a && row[b - 1] == 0) --b;
  *first = a < b ? a : 0;
  *length = b - a;
}

}  // namespace

u32 Glyph::RecordBytes(const GlyphImage& image) {
  // Counted in 64 bits: a huge image must not wrap to a small record.
  u64 bytes = kGlyphHeaderBytes;
  for (u32 r = 0; r < image.rows && bytes <= 0xFFFFFFFFull; ++r) {
    u32 first, length;
    TrimRow(ImageRowFromBottom(image, r), image.width, &first, &length);
    bytes += kRowHeaderBytes + 8ull * length;
  }
  return bytes > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<u32>(bytes);
}

void Glyph::FromBitmap(const GlyphImage& image, void* out) {
  Glyph* glyph = static_cast<Glyph*>(out);
  glyph->next = nullptr;
  glyph->advanceX = image.advanceX;
  glyph->advanceY = image.advanceY;
  glyph->left = image.left;
  glyph->bottom = static_cast<double>(image.top) - static_cast<double>(image.rows);
  glyph->rows = image.rows;
  glyph->width = image.width;
  const double levels = image.greyLevels ? static_cast<double>(image.greyLevels) : 256.0;
  u8* p = static_cast<u8*>(out) + kGlyphHeaderBytes;
  for (u32 r = 0; r < image.rows; ++r) {
    const u8* row = ImageRowFromBottom(image, r);
    u32 first, length;
    TrimRow(row, image.width, &first, &length);
    u32 header[2] = {first, length};
    std::memcpy(p, header, sizeof(header));
    double* values = reinterpret_cast<double*>(p + kRowHeaderBytes);
    for (u32 i = 0; i < length; ++i) values[i] = row[first + i] / levels;
    p += kRowHeaderBytes + 8 * length;
  }
  glyph->size = static_cast<u32>(p - static_cast<u8*>(out));
}

Glyph::Row Glyph::GetRow(u32 r) const {
  const u8* p = reinterpret_cast<const u8*>(this) + kGlyphHeaderBytes;
  for (u32 i = 0; i < r; ++i) p += kRowHeaderBytes + 8 * reinterpret_cast<const u32*>(p)[1];
  const u32* header = reinterpret_cast<const u32*>(p);
  return Row{header[0], header[1], reinterpret_cast<const double*>(p + kRowHeaderBytes)};
}

const Glyph* GlyphRange::Entry(u32 code) const {
  if (!Covers(code)) return nullptr;
  Glyph* const* entries =
      reinterpret_cast<Glyph* const*>(reinterpret_cast<const u8*>(this) + kRangeHeaderBytes);
  return entries[code - first];
}

const GlyphRange* LoadRangeLink(GlyphRange* const* link) {
  return __atomic_load_n(link, __ATOMIC_ACQUIRE);
}

const GlyphRange* GlyphRange::Find(const GlyphRange* list, u32 code) {
  for (const GlyphRange* r = list; r; r = LoadRangeLink(&r->next))
    if (r->Covers(code)) return r;
  return nullptr;
}

void GlyphRange::FreeList(GlyphRange* list) {
  while (list) {
    GlyphRange* next = list->next;
    rt::free(list);
    list = next;
  }
}

void InsertGlyphRange(GlyphRange** head, GlyphRange* range) {
  if (!*head) {
    range->next = nullptr;
    __atomic_store_n(head, range, __ATOMIC_RELEASE);
    return;
  }
  GlyphRange* prev = *head;
  while (prev->next && prev->next->first < range->first) prev = prev->next;
  range->next = prev->next;
  __atomic_store_n(&prev->next, range, __ATOMIC_RELEASE);
}

CGlyphRangeBuilder::CGlyphRangeBuilder(u32 first, u32 count) : first_(first), count_(count) {
  if (count == 0 || count > 0x10000u) return;
  offsets_ = static_cast<u32*>(rt::malloc(count * 4));
  if (offsets_)
    for (u32 i = 0; i < count; ++i) offsets_[i] = kNone;
}

CGlyphRangeBuilder::~CGlyphRangeBuilder() {
  rt::free(offsets_);
  rt::free(records_);
}

bool CGlyphRangeBuilder::Add(u32 index, const GlyphImage& image) {
  if (!offsets_ || index >= count_ || offsets_[index] != kNone) return false;
  if (image.rows && (!image.topRow || image.width == 0)) return false;
  const u32 bytes = Glyph::RecordBytes(image);
  if (bytes > kMaxRecordBytes - used_) return false;
  if (used_ + bytes > capacity_) {
    u64 want = static_cast<u64>(capacity_) * 2 + bytes + 1024;
    if (want > 0x7FFFFFFFull) return false;
    u8* grown = static_cast<u8*>(rt::realloc(records_, static_cast<u32>(want)));
    if (!grown) return false;
    records_ = grown;
    capacity_ = static_cast<u32>(want);
  }
  Glyph::FromBitmap(image, records_ + used_);
  offsets_[index] = used_;
  used_ += bytes;
  return true;
}

GlyphRange* CGlyphRangeBuilder::Finish() {
  if (!offsets_) return nullptr;
  const u32 recordsAt = RecordsOffset(count_);
  u8* block = static_cast<u8*>(rt::malloc(recordsAt + used_));
  if (!block) return nullptr;
  GlyphRange* range = reinterpret_cast<GlyphRange*>(block);
  range->first = first_;
  range->count = count_;
  range->end = first_ + count_;
  range->next = nullptr;
  Glyph** entries = reinterpret_cast<Glyph**>(block + kRangeHeaderBytes);
  if (used_) std::memcpy(block + recordsAt, records_, used_);
  // Records are chained in memory order; entries point into the block.
  Glyph* previous = nullptr;
  for (u32 at = 0; at < used_;) {
    Glyph* glyph = reinterpret_cast<Glyph*>(block + recordsAt + at);
    glyph->next = nullptr;
    if (previous) previous->next = glyph;
    previous = glyph;
    at += glyph->size;
  }
  for (u32 i = 0; i < count_; ++i)
    entries[i] = offsets_[i] == kNone ? nullptr : reinterpret_cast<Glyph*>(block + recordsAt + offsets_[i]);
  rt::free(offsets_);
  rt::free(records_);
  offsets_ = nullptr;
  records_ = nullptr;
  used_ = capacity_ = 0;
  return range;
}
