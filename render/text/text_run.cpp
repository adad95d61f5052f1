// Executor of text records: draws a run's glyphs for one band, blending
// their coverage rows in the run's colour, with the extra width of a
// justified line spread over its blanks. Portable.
#include <cmath>

#include "render/canvas.h"
#include "render/canvas_text.h"
#include "render/display_records.h"
#include "render/text/font.h"
#include "render/raster/rasterizer.h"

namespace {

struct RunBox {
  i32 left, bottom, right, top;  // [left, right) x [bottom, top)
};

// Blends the glyph with the pen at (penX, penY) into the box.
void BlendGlyph(CCanvas* canvas, const Glyph* glyph, double penX, double penY, const RunBox& box,
                u32 colour) {
  const double column = std::trunc(penX + glyph->left);
  const double row = std::trunc(penY + glyph->bottom);
  if (!std::isfinite(column) || !std::isfinite(row)) return;
  // Glyphs wholly outside the box are skipped before any conversion to
  // integers (a pen far off the target must not overflow them).
  if (row >= box.top || column >= box.right || row + glyph->rows <= box.bottom ||
      column + glyph->width <= box.left)
    return;
  const i64 x0 = static_cast<i64>(column);
  const i64 y0 = static_cast<i64>(row);
  const u8* p = reinterpret_cast<const u8*>(glyph) + kGlyphHeaderBytes;
  for (u32 r = 0; r < glyph->rows; ++r) {
    const u32 first = reinterpret_cast<const u32*>(p)[0];
    const u32 length = reinterpret_cast<const u32*>(p)[1];
    const double* coverage = reinterpret_cast<const double*>(p + 8);
    p += 8 + 8 * static_cast<size_t>(length);
    const i64 y = y0 + r;
    if (y < box.bottom) continue;
    if (y >= box.top) break;
    i64 from = x0 + first, to = x0 + first + length;
    if (from < box.left) from = box.left;
    if (to > box.right) to = box.right;
    if (from >= to) continue;
    u32* dst = canvas->pixels + y * canvas->width + from;
    CRasterizer::BlendRun(&dst, coverage + (from - (x0 + first)), colour, static_cast<i32>(to - from));
  }
}

}  // namespace

void CRasterizer::DrawTextRun(CCanvas* canvas, const TextRunRecord& record, u32 colour, i32 boxLeft,
                              i32 boxBottom, i32 boxRight, i32 boxTop, i32 band) {
  (void)band;
  CFont* font = record.font;
  if (!canvas || !canvas->pixels || !font || !record.string || record.length <= 0) return;
  RunBox box{boxLeft < 0 ? 0 : boxLeft, boxBottom < 0 ? 0 : boxBottom,
             boxRight > canvas->width ? canvas->width : boxRight,
             boxTop > canvas->height ? canvas->height : boxTop};
  if (box.left >= box.right || box.bottom >= box.top) return;
  double penX = record.x, penY = record.y;
  const i32 blanks = record.blankCount;
  const double extra = record.justifyExtra;
  i32 blankIndex = 0;
  double given = 0;  // whole pixels of extra width handed out so far
  for (i32 i = 0; i < record.length; ++i) {
    const wchar16 c = record.string[i];
    if (blanks > 0) {
      if (std::trunc(penX) > box.right) break;
      if (c == 32) {
        // Blank i of b takes trunc(e x i / b) minus what the blanks before
        // it took; the last one takes the rest up to floor(e).
        ++blankIndex;
        const double total = blankIndex < blanks ? std::trunc(extra * blankIndex / blanks) : std::floor(extra);
        const double share = total - given;
        given = total;
        if (const Glyph* space = font->FindGlyph(32)) {
          BlendGlyph(canvas, space, penX, penY, box, colour);
          penX += space->advanceX + share;
          penY += space->advanceY;
        } else {
          penX += font->spaceAdvance + share;
        }
        continue;
      }
    }
    if (const Glyph* g = font->FindGlyph(c)) {
      BlendGlyph(canvas, g, penX, penY, box, colour);
      penX += g->advanceX;
      penY += g->advanceY;
    } else if (c == 9) {
      penX += 8 * font->spaceAdvance;
    }
  }
}
