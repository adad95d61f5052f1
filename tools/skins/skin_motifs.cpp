#include "skin_motifs.h"

#include <algorithm>
#include <cmath>

namespace palette {
const Tone kBlue = {0xFF7FC0FF, 0xFF3A8EE6, 0xFF1F63B8, 0xFF174A8C};
const Tone kGreen = {0xFF9BE07A, 0xFF4DB34A, 0xFF2E8A34, 0xFF216B28};
const Tone kRed = {0xFFFF8F80, 0xFFE0483C, 0xFFB32B24, 0xFF8C1F1A};
const Tone kAmber = {0xFFFFE27A, 0xFFF7B52C, 0xFFE08E12, 0xFFA8680C};
const Tone kFolder = {0xFFFFE394, 0xFFF8C55A, 0xFFE6A634, 0xFFAD7A1E};
const Tone kSilver = {0xFFFFFFFF, 0xFFDCE4EC, 0xFFA9B7C6, 0xFF6E7F92};
const Tone kSlate = {0xFF9AAABB, 0xFF5F7388, 0xFF3F5166, 0xFF2C3A4A};
const Tone kFlame = {0xFFFFD45A, 0xFFFF8A2A, 0xFFE0461E, 0xFFB32E14};
const Tone kPaper = {0xFFFFFFFF, 0xFFF1F5F9, 0xFFDDE5EE, 0xFF7D8B9A};
}  // namespace palette

namespace {

double Dx(double degrees) { return std::cos(degrees * kDeg); }
double Dy(double degrees) { return std::sin(degrees * kDeg); }

// A circle and the two tangents from a point above it: a drop.
void Drop(CPen& pen, double cx, double cy, double r, double tipX, double tipY, const Paint& p) {
  pen.Circle(cx, cy, r, p);
  const double dx = cx - tipX, dy = cy - tipY, d = std::sqrt(dx * dx + dy * dy);
  if (d <= r) return;
  const double spread = std::asin(r / d), toward = std::atan2(dy, dx);
  pen.Sector(tipX, tipY, std::sqrt(d * d - r * r), toward - spread, toward + spread, p);
}

}  // namespace

Paint Lit(const Tone& t, double y0, double y1) { return Vertical(t.light, t.mid, y1, y0); }

Paint LitRound(const Tone& t, double cx, double cy, double r) {
  return Radial(cx - 0.4 * r, cy + 0.45 * r, 0.0, t.light, 1.7 * r, t.dark);
}

void Badge(CPen& pen, double cx, double cy, double r, double line, const Tone& t) {
  pen.Circle(cx, cy, r, Solid(t.edge));
  pen.Circle(cx, cy, r - line, LitRound(t, cx, cy, r));
}

void Gloss(CPen& pen, double cx, double cy, double r) {
  pen.Ellipse(cx, cy + 0.45 * r, 0.7 * r, 0.45 * r,
              Vertical(0xA0FFFFFFu, 0x08FFFFFFu, cy + 0.9 * r, cy));
}

void Disc(CPen& pen, double cx, double cy, double r, double line, const Tone& t) {
  const double hole = std::max(1.5, 0.19 * r), hub = 0.42 * r;
  const double body = r - line, bodyWidth = body - hole;
  pen.Ring(cx, cy, r, line, Solid(t.edge));
  pen.Ring(cx, cy, body, bodyWidth,
           Radial(cx - 0.3 * r, cy + 0.35 * r, 0.0, t.light, 1.5 * r, t.dark));
  // A faint play of colours across the surface.
  pen.Ring(cx, cy, body, bodyWidth, Vertical(0x5840B8FFu, 0x50FF98C0u, cy + r, cy - r));
  if (r >= 10) {
    // Two streaks of light and the clear hub with its rim.
    const double mid = (body + hub) / 2, a = (body - hub) * 0.48, b = 0.09 * r;
    pen.TurnedEllipse(cx + mid * Dx(135), cy + mid * Dy(135), a, b, 135 * kDeg,
                      Solid(0xB0FFFFFFu));
    pen.TurnedEllipse(cx + mid * Dx(315), cy + mid * Dy(315), a, b, 315 * kDeg,
                      Solid(0x80FFFFFFu));
    pen.Ring(cx, cy, hub, hub - hole, Solid(0x60FFFFFFu));
    pen.Ring(cx, cy, hub + 0.5 * line, line * 0.8, Solid((t.edge & 0xFFFFFF) | 0x60000000u));
  } else {
    pen.Ring(cx, cy, hub, hub - hole, Solid(0x70FFFFFFu));
  }
  pen.Ring(cx, cy, hole + 0.8 * line, 0.8 * line, Solid((t.edge & 0xFFFFFF) | 0xA0000000u));
}

void Folder(CPen& pen, double x0, double y0, double x1, double y1, double line, bool open) {
  const Tone& t = palette::kFolder;
  const double w = x1 - x0, h = y1 - y0, r = 1.5 * line;
  const double tabTop = y1, tabRight = x0 + 0.46 * w, backTop = y1 - 0.14 * h;
  pen.RoundRect(x0, backTop - r, tabRight, tabTop, r, Solid(t.edge));
  pen.RoundRect(x0, y0, x1, backTop, r, Solid(t.edge));
  pen.RoundRect(x0 + line, backTop - r, tabRight - line, tabTop - line, r - line * 0.5,
                Solid(t.dark));
  pen.RoundRect(x0 + line, y0 + line, x1 - line, backTop - line, r - line * 0.5,
                Vertical(t.mid, t.dark, backTop, y0));
  double frontTop = y1 - 0.32 * h, frontLeft = x0;
  if (open) {
    pen.Rect(x0 + 0.16 * w, y0 + 0.3 * h, x1 - 0.1 * w, backTop - 0.08 * h,
             Solid(palette::kPaper.edge));
    pen.Rect(x0 + 0.16 * w + line, y0 + 0.3 * h, x1 - 0.1 * w - line, backTop - 0.08 * h - line,
             Solid(palette::kWhite));
    frontTop = y0 + 0.55 * h;
    frontLeft = x0 + 0.12 * w;
  }
  pen.RoundRect(frontLeft, y0, x1, frontTop, r, Solid(t.edge));
  pen.RoundRect(frontLeft + line, y0 + line, x1 - line, frontTop - line, r - line * 0.5,
                Lit(t, y0, frontTop));
  // A bright lip along the front's top edge.
  pen.Rect(frontLeft + line + r * 0.5, frontTop - 2 * line, x1 - line - r * 0.5,
           frontTop - line, Solid(0x90FFFFFFu));
}

void Page(CPen& pen, double x0, double y0, double x1, double y1, double line, bool lines) {
  const Tone& t = palette::kPaper;
  const double r = 1.2 * line;
  pen.RoundRect(x0, y0, x1, y1, r, Solid(t.edge));
  pen.RoundRect(x0 + line, y0 + line, x1 - line, y1 - line, r - line * 0.5,
                Vertical(t.light, t.dark, y1, y0));
  if (!lines) return;
  const double step = 2 * line;
  int row = 0;
  for (double y = y1 - 3 * line; y - line >= y0 + 1.5 * line; y -= step, ++row) {
    const double right = x1 - 2 * line - (row % 3 == 2 ? 0.3 * (x1 - x0) : 0);
    pen.Rect(x0 + 2 * line, y - line, right, y, Solid(0xFF9FB4CAu));
  }
}

void Flame(CPen& pen, double cx, double baseY, double height, double lean, double line) {
  const Tone& t = palette::kFlame;
  const double r = 0.3 * height, tipX = cx + lean, tipY = baseY + height;
  Drop(pen, cx, baseY + r, r, tipX, tipY, Solid(t.edge));
  Drop(pen, cx, baseY + r, r - line, tipX - lean * 0.05, tipY - 1.6 * line,
       Vertical(t.light, t.dark, tipY, baseY));
  const double ri = 0.52 * r;
  Drop(pen, cx + 0.1 * lean, baseY + line + ri, ri, cx + 0.45 * lean, baseY + 0.62 * height,
       Vertical(0xFFFFF6C8u, 0xFFFFC83Cu, baseY + 0.62 * height, baseY));
}

void Notes(CPen& pen, double x, double y, double size, const Tone& t, double line) {
  const double a = 0.21 * size, b = 0.15 * size, stem = 0.1 * size;
  const double x2 = x + 0.5 * size, y2 = y + 0.1 * size;
  const double s1 = x + a * 0.78, s2 = x2 + a * 0.78;  // right sides of the heads
  const double top1 = y + size, top2 = y2 + size;
  for (int pass = line > 0 ? 0 : 1; pass < 2; ++pass) {
    const double g = pass == 0 ? line : 0.0;  // the halo grows every part by line
    const Paint p = pass == 0 ? Solid(0xD0FFFFFFu) : Vertical(t.mid, t.dark, top2, y);
    pen.TurnedEllipse(x, y, a + g, b + g, 25 * kDeg, p);
    pen.TurnedEllipse(x2, y2, a + g, b + g, 25 * kDeg, p);
    pen.Rect(s1 - stem - g, y, s1 + g, top1 + g, p);
    pen.Rect(s2 - stem - g, y2, s2 + g, top2 + g, p);
    const double dx = s2 - s1, dy = top2 - top1;
    pen.Bar((s1 + s2) / 2 - stem / 2, (top1 + top2) / 2 - 0.09 * size,
            std::sqrt(dx * dx + dy * dy) + stem + 2 * g, 0.2 * size + 2 * g, 0.3 * line,
            std::atan2(dy, dx), p);
  }
}

void Eraser(CPen& pen, double cx, double cy, double length, double thickness, double angle,
            double line) {
  const double ux = std::cos(angle), uy = std::sin(angle);
  pen.Bar(cx, cy, length, thickness, thickness * 0.22, angle, Solid(palette::kSlate.edge));
  const double inner = thickness - 2 * line;
  // The sleeve (blue) at the back, the rubber (rose) at the tip.
  const double sleeve = 0.58 * (length - 2 * line), rubber = length - 2 * line - sleeve;
  const double back = -length / 2 + line;
  pen.Bar(cx + ux * (back + sleeve / 2), cy + uy * (back + sleeve / 2), sleeve, inner,
          inner * 0.15, angle, Vertical(0xFF8CC4FFu, 0xFF2F72C4u, cy + thickness, cy - thickness));
  pen.Bar(cx + ux * (back + sleeve + rubber / 2), cy + uy * (back + sleeve + rubber / 2), rubber,
          inner, inner * 0.2, angle, Vertical(0xFFFFD3DAu, 0xFFE8708Au, cy + thickness, cy - thickness));
  pen.Bar(cx + ux * (back + sleeve), cy + uy * (back + sleeve), line, inner, 0, angle,
          Solid(palette::kSlate.edge));
}

void Cross(CPen& pen, double cx, double cy, double h, double w, const Paint& p) {
  const double d = (h - w) / 2;
  pen.Stroke(cx - d, cy - d, cx + d, cy + d, w, p);
  pen.Stroke(cx - d, cy + d, cx + d, cy - d, w, p);
}

void Tick(CPen& pen, double cx, double cy, double h, double w, const Paint& p) {
  const double vx = cx - 0.12 * h, vy = cy - 0.36 * h + w / 2;
  pen.Stroke(vx, vy, cx - 0.5 * h + w / 2, cy + 0.02 * h, w, p);
  pen.Stroke(vx, vy, cx + 0.5 * h - w / 2, cy + 0.4 * h - w / 2, w, p);
}

void Plus(CPen& pen, double cx, double cy, double h, double w, const Paint& p) {
  const double d = (h - w) / 2;
  pen.Stroke(cx - d, cy, cx + d, cy, w, p);
  pen.Stroke(cx, cy - d, cx, cy + d, w, p);
}

void Exclamation(CPen& pen, double cx, double cy, double h, double w, const Paint& p) {
  const double top = cy + h / 2, bottom = cy - h / 2;
  pen.Stroke(cx, top - w / 2, cx, bottom + 2.0 * w, w, p);
  pen.Circle(cx, bottom + 0.62 * w, 0.62 * w, p);
}

void InfoMark(CPen& pen, double cx, double cy, double h, double w, const Paint& p) {
  const double top = cy + h / 2, bottom = cy - h / 2;
  pen.Circle(cx, top - 0.62 * w, 0.62 * w, p);
  pen.Stroke(cx, top - 2.1 * w, cx, bottom + w / 2, w, p);
}

void Question(CPen& pen, double cx, double cy, double h, double w, const Paint& p,
              const Paint& ground) {
  const double r = 0.27 * h, ox = cx, oy = cy + h / 2 - r, mid = r - w / 2;
  pen.Ring(ox, oy, r, w, p);
  pen.Sector(ox, oy, r + 1.0, 200 * kDeg, 300 * kDeg, ground);
  pen.Circle(ox + mid * Dx(200), oy + mid * Dy(200), w / 2, p);
  const double px = ox + mid * Dx(300), py = oy + mid * Dy(300);
  const double sy = cy - h / 2 + 2.1 * w;
  pen.Stroke(px, py, cx, std::min(py, oy - r + w / 2), w, p);
  pen.Stroke(cx, std::min(py, oy - r + w / 2), cx, sy, w, p);
  pen.Circle(cx, cy - h / 2 + 0.62 * w, 0.62 * w, p);
}

void WhiteGlyph(CPen& pen, Glyph g, double cx, double cy, double h, double w, double edge) {
  for (int pass = edge > 0 ? 0 : 1; pass < 2; ++pass) {
    const double grow = pass == 0 ? edge : 0.0;
    const Paint p = Solid(pass == 0 ? palette::kGlyphEdge : palette::kWhite);
    switch (g) {
      case Glyph::kCross: Cross(pen, cx, cy, h + grow, w + grow, p); break;
      case Glyph::kTick: Tick(pen, cx, cy, h + grow, w + grow, p); break;
      case Glyph::kPlus: Plus(pen, cx, cy, h + grow, w + grow, p); break;
      case Glyph::kExclamation: Exclamation(pen, cx, cy, h + grow, w + grow, p); break;
      case Glyph::kInfo: InfoMark(pen, cx, cy, h + grow, w + grow, p); break;
    }
  }
}

void Arrow(CPen& pen, int dir, double tipX, double tipY, double length, double head,
           double half, double shaft, const Paint& p) {
  switch (dir & 3) {
    case 0: {
      const i32 base = static_cast<i32>(std::lround(tipX - head));
      pen.TriangleH(tipY, tipX, base, half, p);
      pen.Rect(tipX - length, tipY - shaft / 2, base, tipY + shaft / 2, p);
      break;
    }
    case 2: {
      const i32 base = static_cast<i32>(std::lround(tipX + head));
      pen.TriangleH(tipY, tipX, base, half, p);
      pen.Rect(base, tipY - shaft / 2, tipX + length, tipY + shaft / 2, p);
      break;
    }
    case 1: {
      const i32 base = static_cast<i32>(std::lround(tipY - head));
      pen.TriangleV(tipX, tipY, base, half, p);
      pen.Rect(tipX - shaft / 2, tipY - length, tipX + shaft / 2, base, p);
      break;
    }
    default: {
      const i32 base = static_cast<i32>(std::lround(tipY + head));
      pen.TriangleV(tipX, tipY, base, half, p);
      pen.Rect(tipX - shaft / 2, base, tipX + shaft / 2, tipY + length, p);
      break;
    }
  }
}

void WarningSign(CPen& pen, double cx, double baseY, double height, double half, double line) {
  const Tone& t = palette::kAmber;
  const Paint body = Vertical(t.light, t.dark, baseY + height, baseY);
  const Paint mark = Solid(0xFF3B2A0Eu);
  if (height < 24) {
    // Small: sharp corners and a mark on whole pixels stay crisp.
    const i32 base = static_cast<i32>(std::lround(baseY));
    pen.TriangleV(cx, base + height, base, half, Solid(t.edge));
    pen.TriangleV(cx, base + height - 2.2 * line, base + 1, half - 1.9 * line, body);
    const double w = height < 15 ? 1 : 1.5;
    const double dot = base + std::round(0.14 * height);
    pen.Rect(cx - w, base + std::round(0.4 * height), cx + w, base + std::round(0.76 * height),
             mark);
    pen.Rect(cx - w, dot, cx + w, dot + 2 * w, mark);
    return;
  }
  const double round = std::max(1.2 * line, 0.1 * height);
  // Corner centres: the rounding sits inside the given outline.
  const double apex = baseY + height - round, bottom = baseY + round;
  const double h2 = std::max(0.0, half - round);
  pen.RoundTriangle(cx, apex, bottom, h2, round, Solid(t.edge));
  pen.RoundTriangle(cx, apex - 0.3 * line, bottom, h2, round - line, body);
  const double markH = 0.5 * height, markW = std::max(1.2 * line, 0.12 * height);
  Exclamation(pen, cx, baseY + 0.14 * height + markH / 2 + 0.5 * line, markH, markW, mark);
}
