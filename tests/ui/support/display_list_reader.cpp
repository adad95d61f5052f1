#include "ui/support/display_list_reader.h"

namespace {

// The paint's kind, its colours and where its gradient runs (linear: start
// and end; radial and elliptic: the centre) into r.
u32 PaintOf(const u8* at, DrawnRecord* r, u32* size) {
  const u32 kind = ReadRecord<u32>(at);
  switch (kind) {
    case kPaintSolid: r->colour = ReadRecord<SolidPaint>(at).colour; *size = sizeof(SolidPaint); break;
    case kPaintGradientY:
    case kPaintGradientX: {
      const LinearGradientPaint g = ReadRecord<LinearGradientPaint>(at);
      r->colour = g.colour0, r->colour1 = g.colour1, r->g0 = g.start, r->g1 = g.end;
      *size = sizeof g;
      break;
    }
    case kPaintRadial: {
      const RadialGradientPaint g = ReadRecord<RadialGradientPaint>(at);
      r->colour = g.colour0, r->colour1 = g.colour1, r->g0 = g.centreX, r->g1 = g.centreY;
      *size = sizeof g;
      break;
    }
    case kPaintElliptic: {
      const EllipticGradientPaint g = ReadRecord<EllipticGradientPaint>(at);
      r->colour = g.colour0, r->colour1 = g.colour1, r->g0 = g.centreX, r->g1 = g.centreY;
      *size = sizeof g;
      break;
    }
    default: *size = 0; break;
  }
  return kind;
}

}  // namespace

std::vector<DrawnRecord> ReadRecords(const CCanvas& canvas) {
  std::vector<DrawnRecord> out;
  const CArena& commands = canvas.list.Commands();
  const u8* base = commands.data;
  u32 at = 0;
  while (base && commands.used - at >= 4) {
    const u8* p = base + at;
    DrawnRecord r = {};
    r.op = ReadRecord<u32>(p);
    u32 size = 0;
    bool painted = true;
    switch (r.op) {
      case kOpCircle: {
        const CircleRecord c = ReadRecord<CircleRecord>(p);
        r.x0 = r.x1 = c.cx, r.y0 = r.y1 = c.cy, r.radius = c.r, size = sizeof c;
        break;
      }
      case kOpRing: {
        const RingRecord c = ReadRecord<RingRecord>(p);
        r.x0 = r.x1 = c.cx, r.y0 = r.y1 = c.cy, r.radius = c.r, r.width = c.width, size = sizeof c;
        break;
      }
      case kOpRect: {
        const RectRecord c = ReadRecord<RectRecord>(p);
        r.x0 = c.x, r.y0 = c.y, r.x1 = c.x + c.w, r.y1 = c.y + c.h, size = sizeof c;
        break;
      }
      case kOpRoundRect: {
        const RoundRectRecord c = ReadRecord<RoundRectRecord>(p);
        r.x0 = c.x, r.y0 = c.y, r.x1 = c.x + c.w, r.y1 = c.y + c.h, r.radius = c.radius, r.angle = c.angle;
        size = sizeof c;
        break;
      }
      case kOpRoundRectFrame: {
        const RoundRectFrameRecord c = ReadRecord<RoundRectFrameRecord>(p);
        r.x0 = c.x, r.y0 = c.y, r.x1 = c.x + c.w, r.y1 = c.y + c.h, r.radius = c.radius, r.angle = c.angle;
        r.width = c.frameWidth, size = sizeof c;
        break;
      }
      case kOpTextRun: {
        const TextRunRecord c = ReadRecord<TextRunRecord>(p);
        r.x0 = c.x, r.y0 = c.y, r.font = c.font, size = sizeof c;
        const u8* s = canvas.list.Strings().data + static_cast<size_t>(c.stringOffset) * 2;
        for (i32 i = 0; i < c.length; ++i) r.text.push_back(ReadRecord<u16>(s + 2 * i));
        break;
      }
      case kOpBitmap: {
        const BitmapRecord c = ReadRecord<BitmapRecord>(p);
        r.x0 = c.x0, r.y0 = c.y0, r.x1 = c.x1, r.y1 = c.y1, size = sizeof c, painted = false;
        r.opacity = c.opacity, r.pixels = c.view.pixels;
        break;
      }
      case kOpFill: r.colour = ReadRecord<FillRecord>(p).colour, size = sizeof(FillRecord), painted = false; break;
      case kOpClip: {
        const ClipRecord c = ReadRecord<ClipRecord>(p);
        r.x0 = c.left, r.y0 = c.top, r.x1 = c.right, r.y1 = c.bottom, size = sizeof c, painted = false;
        break;
      }
      case kOpDrawable: size = sizeof(DrawableRecord) + ReadRecord<DrawableRecord>(p).dataSize, painted = false; break;
      default: return out;  // the end, or a kind no recorder here writes
    }
    at += size;
    if (painted) {
      u32 paintSize = 0;
      r.paint = PaintOf(base + at, &r, &paintSize);
      if (paintSize == 0) return out;
      at += paintSize;
    }
    out.push_back(r);
  }
  return out;
}

std::vector<DrawnRecord> RecordsOf(const std::vector<DrawnRecord>& all, u32 op) {
  std::vector<DrawnRecord> out;
  for (const DrawnRecord& r : all)
    if (r.op == op) out.push_back(r);
  return out;
}
