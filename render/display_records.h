// Record layouts of the command stream. Every drawing call of a canvas
// appends one record (and, for shapes and text, one paint record after it).
// Records are packed one after the other without padding between them, so a
// record may start at any 4-byte offset: readers copy a record out with
// ReadRecord before using it, and writers copy it in with WriteRecord.
// Step sizes are the sizeof of the record types. Portable.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "render/bitmap.h"
#include "runtime/types.h"

class IDrawable;
class CFont;

// Paint kinds (first u32 of a paint record).
enum PaintKind : u32 {
  kPaintSolid = 0,
  kPaintGradientY = 1,
  kPaintGradientX = 2,
  kPaintRadial = 3,
  kPaintElliptic = 4,
};

// Opcodes (first u32 of a command record).
enum Opcode : u32 {
  kOpCircle = 5,
  kOpRing = 6,
  kOpEllipse = 7,
  kOpEllipseRing = 8,
  kOpRotatedEllipse = 9,
  kOpRotatedEllipseRing = 10,
  kOpSector = 11,
  kOpSegment = 12,
  kOpRect = 13,
  kOpRoundRect = 14,
  kOpRoundRectFrame = 15,
  kOpFill = 16,
  kOpClip = 17,
  kOpDrawable = 18,
  kOpTextRun = 19,
  kOpBitmap = 20,
  kOpEnd = 21,
};

// ---- paint records ------------------------------------------------------

struct SolidPaint {
  u32 kind;  // kPaintSolid
  u32 colour;
};

// Kind 1 (along y) and kind 2 (along x).
struct LinearGradientPaint {
  u32 kind;
  u32 pad;
  u32 colour0;
  u32 colour1;
  double start;
  double end;
};

struct RadialGradientPaint {
  u32 kind;  // kPaintRadial
  u32 pad;
  double centreX;
  double centreY;
  u32 colour0;
  u32 colour1;
  double r0;
  double r1;
};

struct EllipticGradientPaint {
  u32 kind;  // kPaintElliptic
  u32 pad;
  double centreX;
  double centreY;
  double rx;
  double ry;
  u8 reserved[8];
  u32 colour0;
  u32 colour1;
};

// ---- command records ----------------------------------------------------

struct CircleRecord {  // + paint
  u32 op;
  u32 pad;
  double cx, cy, r;
};

struct RingRecord {  // + paint; hole radius r - width
  u32 op;
  u32 pad;
  double cx, cy, r, width;
};

struct EllipseRecord {  // + paint
  u32 op;
  u32 pad;
  double cx, cy;
  double ry;  // vertical semi-axis
  double rx;  // horizontal semi-axis
};

struct EllipseRingRecord {  // + paint; inner semi-axes rx - width, ry - width
  u32 op;
  u32 pad;
  double cx, cy, ry, rx, width;
};

struct RotatedEllipseRecord {  // + paint
  u32 op;
  u32 pad;
  double cx, cy;
  double b;  // semi-axis along the ellipse's own y axis
  double a;  // semi-axis along its own x axis
  double angle;
  double yMax, yMin;  // bound every row the shape touches
};

struct RotatedEllipseRingRecord {  // + paint
  u32 op;
  u32 pad;
  double cx, cy, b, a, width, angle, yMax, yMin;
};

// Sector (op 11) and segment (op 12) share the layout.
struct SectorRecord {  // + paint
  u32 op;
  u32 pad;
  double cx, cy, b, a;
  double startAngle, endAngle;
  double rotation;
  double yMax, yMin;
};
typedef SectorRecord SegmentRecord;

struct RectRecord {  // + paint
  u32 op;
  u32 pad;
  double x, y, w, h;
};

struct RoundRectRecord {  // + paint
  u32 op;
  u32 pad;
  double x, y, w, h, radius, angle;
  double yMax, yMin;  // y extent of the (turned) outline
};

struct RoundRectFrameRecord {  // + paint
  u32 op;
  u32 pad;
  double x, y, w, h, radius, angle;
  double yMax, yMin;
  double frameWidth;
};

struct FillRecord {
  u32 op;
  u32 colour;
};

struct ClipRecord {
  u32 op;
  i32 left, top, right, bottom;
};

// Followed by the drawable's saved data (dataSize bytes).
struct DrawableRecord {
  u32 op;
  u32 pad;
  IDrawable* drawable;
  u32 dataSize;   // bytes of saved data after the record
  double bottom;  // upper row bound of what it draws (exclusive)
  double top;     // lower row bound
};

struct TextRunRecord {  // + paint (always solid, the text colour)
  u32 op;
  u32 pad;
  double x, y;  // pen position
  double boxLeft, boxBottom, boxWidth, boxHeight;
  const wchar16* string;  // left null in the stream; set on a copy when drawn
  u32 stringOffset;       // in UTF-16 units from the string arena start
  CFont* font;
  i32 length;
  i32 blankCount;  // justification: blanks to spread justifyExtra over (none below 1)
  u32 pad2;
  double justifyExtra;
};

struct BitmapRecord {
  u32 op;
  u32 pad;
  double x0, y0, x1, y1;
  BitmapView view;
  double opacity;
};

struct EndRecord {
  u32 op;
  u32 pad;
};

// ---- layout checks --------------------------------------------------------

static_assert(sizeof(SolidPaint) == 8, "paint layout");
static_assert(sizeof(LinearGradientPaint) == 32, "paint layout");
static_assert(sizeof(RadialGradientPaint) == 48, "paint layout");
static_assert(sizeof(EllipticGradientPaint) == 56, "paint layout");
static_assert(offsetof(EllipticGradientPaint, colour0) == 48, "paint layout");
static_assert(sizeof(CircleRecord) == 32, "record layout");
static_assert(sizeof(RingRecord) == 40, "record layout");
static_assert(sizeof(EllipseRecord) == 40, "record layout");
static_assert(sizeof(EllipseRingRecord) == 48, "record layout");
static_assert(sizeof(RotatedEllipseRecord) == 64, "record layout");
static_assert(sizeof(RotatedEllipseRingRecord) == 72, "record layout");
static_assert(sizeof(SectorRecord) == 80, "record layout");
static_assert(sizeof(RectRecord) == 40, "record layout");
static_assert(sizeof(RoundRectRecord) == 72, "record layout");
static_assert(sizeof(RoundRectFrameRecord) == 80, "record layout");
static_assert(sizeof(FillRecord) == 8, "record layout");
static_assert(sizeof(ClipRecord) == 20, "record layout");
static_assert(sizeof(EndRecord) == 8, "record layout");
static_assert(offsetof(TextRunRecord, boxHeight) == 48, "record layout");
static_assert(offsetof(BitmapRecord, view) == 40, "record layout");
#if UINTPTR_MAX == 0xFFFFFFFFu
// The product is 32-bit: records holding pointers have these sizes there.
static_assert(sizeof(DrawableRecord) == 32, "record layout");
static_assert(sizeof(TextRunRecord) == 88, "record layout");
static_assert(sizeof(BitmapRecord) == 64, "record layout");
static_assert(sizeof(BitmapView) == 16, "view layout");
#endif

// Size of the paint record of a kind, 0 for a value that is no paint kind.
inline u32 PaintRecordSize(u32 kind) {
  switch (kind) {
    case kPaintSolid: return sizeof(SolidPaint);
    case kPaintGradientY:
    case kPaintGradientX: return sizeof(LinearGradientPaint);
    case kPaintRadial: return sizeof(RadialGradientPaint);
    case kPaintElliptic: return sizeof(EllipticGradientPaint);
    default: return 0;
  }
}

// Copies a record out of (or into) the stream, whatever its alignment.
template <class T>
inline T ReadRecord(const u8* at) {
  T value;
  std::memcpy(static_cast<void*>(&value), at, sizeof(T));
  return value;
}
template <class T>
inline void WriteRecord(u8* at, const T& value) {
  std::memcpy(at, static_cast<const void*>(&value), sizeof(T));
}
