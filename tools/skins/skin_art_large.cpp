// The program's own picture (a blue disc with a flame) at every size, the
// start tiles, the notice, the watermark and the large background pictures.
// Used by the skin generator.
#include <cmath>

#include "skin_art.h"
#include "skin_motifs.h"

using namespace palette;

namespace {

// The program's disc: silver with a blue cast.
const Tone kBrand = {0xFFF4F9FF, 0xFFB9D4F2, 0xFF4F86C8, 0xFF234E86};

void Logo(CPen& pen, double cx, double cy, double r, double line, double flameX, double flameY,
          double flameH, double lean) {
  Disc(pen, cx, cy, r, line, kBrand);
  Flame(pen, flameX, flameY, flameH, lean, line);
}

}  // namespace

void DrawAppIconSmall(CPen& pen, i32) { Logo(pen, 7, 9, 6.8, 1, 11.3, 0.4, 11, 0.9); }

void DrawAppIconLarge(CPen& pen, i32) { Logo(pen, 14, 18, 13.5, 1.5, 22.5, 0.8, 21, 1.8); }

void DrawWatermark(CPen& pen, i32) { Logo(pen, 56, 70, 54, 3, 92, 4, 78, 6); }

void DrawNotice(CPen& pen, i32) {
  Disc(pen, 20, 27, 19.5, 2, kSilver);
  WarningSign(pen, 33, 2, 26, 14.5, 1.5);
}

void DrawStartIcon(CPen& pen, i32 frame) {
  const double line = 1.5;
  switch (frame) {
    case 0:
      Disc(pen, 18, 18, 13.3, line, kSilver);
      Folder(pen, 0.5, 1, 18.5, 16, line, false);
      break;
    case 1:
      Disc(pen, 13.5, 18, 13.3, line, kSilver);
      Flame(pen, 23, 0.8, 23, 1.8, line);
      break;
    case 2:
      Disc(pen, 11, 20.5, 10.8, line, kSilver);
      Disc(pen, 20.5, 11.5, 11.2, line, kSilver);
      break;
    case 3:
      Disc(pen, 13.5, 18, 13.3, line, kSilver);
      Notes(pen, 17.5, 4, 16, kBlue, line);
      break;
    default:
      Disc(pen, 13.5, 18, 13.3, line, kSilver);
      Eraser(pen, 21, 8.5, 19, 8.6, 35 * kDeg, line);
      break;
  }
}

void DrawHostBackground(CPen& pen, i32) {
  // The host paints a large translucent disc centred 144 px from this
  // picture's right and bottom edges (outer radius 256, hub up to 96); this
  // adds its light: a broad glare, a play of colours, data rings, streaks.
  const double cx = 256, cy = 144, outer = 255, inner = 97;
  const double width = outer - inner;
  pen.Ring(cx, cy, outer, width, Radial(cx - 110, cy + 120, 0, 0x70FFFFFFu, 230, 0x00FFFFFFu));
  pen.Ring(cx, cy, outer, width, Vertical(0x2860D8FFu, 0x24FFB860u, cy + outer, cy - outer));
  pen.Ring(cx, cy, outer, width, Horizontal(0x00FF80C0u, 0x1CFF80C0u, cx - outer, cx + 40));
  for (double r = 120; r < outer - 8; r += 22)
    pen.Ring(cx, cy, r, 1, Solid(0x18FFFFFFu));
  const double mid = (outer + inner) / 2, a = width * 0.46;
  pen.TurnedEllipse(cx + mid * std::cos(135 * kDeg), cy + mid * std::sin(135 * kDeg), a, 9,
                    135 * kDeg, Radial(cx + mid * std::cos(135 * kDeg),
                                       cy + mid * std::sin(135 * kDeg), 0, 0x60FFFFFFu, a,
                                       0x00FFFFFFu));
  pen.TurnedEllipse(cx + mid * std::cos(160 * kDeg), cy + mid * std::sin(160 * kDeg), a * 0.8, 5,
                    160 * kDeg, Radial(cx + mid * std::cos(160 * kDeg),
                                       cy + mid * std::sin(160 * kDeg), 0, 0x40FFFFFFu, a * 0.8,
                                       0x00FFFFFFu));
  pen.Ring(cx, cy, outer + 1, 2, Solid(0x30FFFFFFu));
}

void DrawAudioTile(CPen& pen, i32) {
  const Tone ink = {0xFF6F9FD8, 0xFF3F6FA8, 0xFF2A5488, 0xFF1E3F6A};
  Notes(pen, 16, 14, 24, ink, 0);
  Notes(pen, 58, 54, 18, ink, 0);
  pen.Ring(72, 22, 10, 2.5, Solid(ink.mid));
  pen.Circle(72, 22, 2, Solid(ink.mid));
  pen.Ring(22, 74, 8, 2, Solid(ink.mid));
  pen.Circle(22, 74, 1.6, Solid(ink.mid));
}
