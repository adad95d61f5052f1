// The 16 x 16 pictures of the menu strip, one function per frame, for the
// skin generator.
#include <cmath>

#include "skin_art.h"
#include "skin_motifs.h"

namespace {

using namespace palette;

// A white arrow with a faint dark edge, for coloured buttons.
void ButtonArrow(CPen& pen, int dir) {
  const double tip = dir == 1 ? 14.0 : 2.0;
  const double out = dir == 1 ? 1.0 : -1.0;
  Arrow(pen, dir, 8, tip + out * 1.2, 11.6, 6.2, 5.9, 4.3, Solid(kGlyphEdge));
  Arrow(pen, dir, 8, tip, 11, 5, 5, 3, Solid(kWhite));
}

// Power symbol: a ring open at the top and a bar through the gap.
void Exit(CPen& pen) {
  const Paint p = Vertical(kRed.mid, kRed.dark, 15, 1);
  const i32 boxes[3][4] = {{0, 0, 6, 16}, {10, 0, 16, 16}, {6, 0, 10, 8}};
  for (const auto& b : boxes) {
    pen.ClipTo(b[0], b[1], b[2], b[3]);
    pen.Ring(8, 7.5, 6.5, 2.2, p);
  }
  pen.Unclip();
  pen.Stroke(8, 8, 8, 14.2, 2.2, p);
}

void Save(CPen& pen) {
  pen.RoundRect(1, 1, 15, 15, 1.5, Solid(kBlue.edge));
  pen.RoundRect(2, 2, 14, 14, 1, Lit(kBlue, 2, 14));
  pen.Rect(4, 8, 12, 14, Solid(kWhite));
  pen.Rect(5, 11, 11, 12, Solid(0xFFB9C7D6u));
  pen.Rect(5, 9, 10, 10, Solid(0xFFB9C7D6u));
  pen.Rect(5, 2, 11, 6, Vertical(0xFFEEF2F6u, 0xFFB4C0CCu, 6, 2));
  pen.Rect(8.5, 3, 10, 5, Solid(kSlate.dark));
}

// Half a ring with an arrow head at one end: undo (head left) or redo.
void TurnArrow(CPen& pen, bool left) {
  const Paint p = Vertical(kBlue.mid, kBlue.dark, 13, 3);
  const double cx = left ? 8.5 : 7.5, headX = left ? cx - 4.5 : cx + 4.5;
  pen.ClipTo(0, 7, 16, 16);
  pen.Ring(cx, 7, 5.6, 2.2, p);
  pen.Unclip();
  pen.TriangleV(headX, 1.5, 7, 3.6, p);
  const double stubX = left ? cx + 4.5 : cx - 4.5;
  pen.Stroke(stubX, 7, stubX, 5, 2.2, p);
}

void Cut(CPen& pen) {
  const Paint blade = Vertical(0xFFE4EAF0u, 0xFF8796A6u, 15, 6);
  pen.Stroke(10.2, 6.5, 5.2, 14.8, 2.4, Solid(kSlate.mid));
  pen.Stroke(10.2, 6.5, 5.2, 14.8, 1.2, blade);
  pen.Stroke(5.8, 6.5, 10.8, 14.8, 2.4, Solid(kSlate.mid));
  pen.Stroke(5.8, 6.5, 10.8, 14.8, 1.2, blade);
  pen.Ring(4.5, 4, 3.3, 1.6, Vertical(kRed.mid, kRed.dark, 7, 1));
  pen.Ring(11.5, 4, 3.3, 1.6, Vertical(kRed.mid, kRed.dark, 7, 1));
  pen.Circle(8, 9.3, 1, Solid(kSlate.dark));
}

void Copy(CPen& pen) {
  Page(pen, 1, 5, 10, 15, 1, true);
  Page(pen, 6, 1, 15, 11, 1, true);
}

void Paste(CPen& pen) {
  pen.RoundRect(2, 1, 14, 14, 1.5, Solid(0xFF7A5230u));
  pen.RoundRect(3, 2, 13, 13, 1, Vertical(0xFFD9A366u, 0xFFA9713Cu, 13, 2));
  Page(pen, 4, 2, 12, 11, 1, true);
  pen.RoundRect(5, 11, 11, 15, 1.2, Solid(kSlate.edge));
  pen.RoundRect(6, 12, 10, 14, 0.6, Vertical(0xFFF2F5F8u, 0xFFA9B7C6u, 14, 12));
}

void Delete(CPen& pen) {
  pen.RoundRect(3, 1, 13, 12, 1.2, Solid(kSlate.edge));
  pen.RoundRect(4, 2, 12, 11, 0.8, Horizontal(0xFFB8C5D3u, 0xFFEAF0F6u, 4, 12));
  for (double x : {6.0, 8.0, 10.0}) pen.Rect(x - 0.5, 3, x + 0.5, 10, Solid(0xFF7D8EA0u));
  pen.RoundRect(6, 12.5, 10, 15, 1, Solid(kSlate.edge));
  pen.RoundRect(2, 11, 14, 14, 1, Solid(kSlate.edge));
  pen.RoundRect(3, 12, 13, 13, 0.5, Solid(0xFFC9D4DFu));
}

void Drive(CPen& pen) {
  pen.RoundRect(1, 4, 15, 12, 1.5, Solid(kSlate.edge));
  pen.RoundRect(2, 5, 14, 11, 1, Lit(kSilver, 5, 11));
  pen.Rect(3, 8, 13, 9, Solid(kSlate.mid));
  pen.Rect(10, 6, 12, 7, Solid(kSlate.mid));
  pen.Circle(4.5, 6.5, 1, Solid(kGreen.mid));
}

void Tasks(CPen& pen) {
  pen.RoundRect(1, 2, 15, 14, 1.5, Solid(kBlue.edge));
  pen.Rect(2, 3, 14, 11, Solid(kWhite));
  pen.Rect(2, 11, 14, 13, Lit(kBlue, 11, 13));
  pen.Rect(3.5, 7.5, 12.5, 9.5, Solid(0xFFD5DEE8u));
  pen.Rect(3.5, 7.5, 10, 9.5, Lit(kGreen, 7.5, 9.5));
  pen.Rect(3.5, 4.5, 12.5, 6.5, Solid(0xFFD5DEE8u));
  pen.Rect(3.5, 4.5, 7, 6.5, Lit(kBlue, 4.5, 6.5));
}

void FlagGloss(CPen& pen) { pen.Rect(2, 8, 14, 12, Vertical(0x60FFFFFFu, 0x00FFFFFFu, 12, 8)); }

void Spanish(CPen& pen) {
  pen.RoundRect(1, 3, 15, 13, 1, Solid(0xFF6B5A3Au));
  pen.Rect(2, 4, 14, 12, Solid(0xFFC8202Au));
  pen.Rect(2, 6, 14, 10, Solid(0xFFFFC62Eu));
  FlagGloss(pen);
}

void English(CPen& pen) {
  pen.RoundRect(1, 3, 15, 13, 1, Solid(0xFF1A2A55u));
  pen.ClipTo(2, 4, 14, 12);
  pen.Rect(2, 4, 14, 12, Solid(0xFF203F8Cu));
  pen.Stroke(1, 3, 15, 13, 2.4, Solid(kWhite));
  pen.Stroke(1, 13, 15, 3, 2.4, Solid(kWhite));
  pen.Stroke(1, 3, 15, 13, 0.9, Solid(0xFFD0202Eu));
  pen.Stroke(1, 13, 15, 3, 0.9, Solid(0xFFD0202Eu));
  pen.Rect(2, 6.4, 14, 9.6, Solid(kWhite));
  pen.Rect(6.4, 4, 9.6, 12, Solid(kWhite));
  pen.Rect(2, 7.2, 14, 8.8, Solid(0xFFD0202Eu));
  pen.Rect(7.2, 4, 8.8, 12, Solid(0xFFD0202Eu));
  pen.Unclip();
  FlagGloss(pen);
}

void CopyDisc(CPen& pen) {
  Disc(pen, 6, 10, 5.6, 1, kSilver);
  Disc(pen, 10, 6, 5.8, 1, kSilver);
}

void Eject(CPen& pen) {
  const Paint p = Vertical(kSlate.light, kSlate.dark, 14, 2);
  pen.TriangleV(8, 13.8, 7, 6.2, p);
  pen.Rect(1.8, 2, 14.2, 5, p);
}

void Burn(CPen& pen) {
  Disc(pen, 7, 9, 6.6, 1, kSilver);
  Flame(pen, 11.6, 0.6, 10.6, 0.7, 1);
}

void Sparkle(CPen& pen, double cx, double cy, double size) {
  const Paint p = Solid(kAmber.dark);
  pen.TurnedEllipse(cx, cy, size, size * 0.26, 0, p);
  pen.TurnedEllipse(cx, cy, size, size * 0.26, 90 * kDeg, p);
  pen.TurnedEllipse(cx, cy, size * 0.6, size * 0.2, 45 * kDeg, p);
  pen.TurnedEllipse(cx, cy, size * 0.6, size * 0.2, 135 * kDeg, p);
  pen.Circle(cx, cy, size * 0.28, Solid(kAmber.light));
}

void NewProject(CPen& pen) {
  Page(pen, 2, 1, 12, 14, 1, true);
  Sparkle(pen, 12, 12, 3.8);
}

void Close(CPen& pen) { WhiteGlyph(pen, Glyph::kCross, 8, 8, 10, 2.4, 1.4); }

void Help(CPen& pen) {
  Badge(pen, 8, 8, 7.5, 1, kBlue);
  Question(pen, 8, 8, 10.5, 2, Solid(kWhite), LitRound(kBlue, 8, 8, 7.5));
  Gloss(pen, 8, 8, 6.5);
}

void Data(CPen& pen) {
  Disc(pen, 9, 9, 6.6, 1, kSilver);
  Folder(pen, 0.5, 1, 9.5, 8.5, 1, false);
}

void AudioCd(CPen& pen) {
  Disc(pen, 7, 9, 6.6, 1, kSilver);
  Notes(pen, 8.6, 2.6, 8.2, kBlue, 1);
}

// A small round badge at the lower right holding a white glyph.
void CornerBadge(CPen& pen, double cx, double cy, const Tone& t, Glyph g) {
  Badge(pen, cx, cy, 3.8, 1, t);
  WhiteGlyph(pen, g, cx, cy, g == Glyph::kInfo ? 5.2 : 4.6, 1.4, 0);
}

void NewFolder(CPen& pen) {
  Folder(pen, 0.5, 1, 13, 12.5, 1, false);
  CornerBadge(pen, 11.8, 11.8, kGreen, Glyph::kPlus);
}

void AddFiles(CPen& pen) {
  Page(pen, 1.5, 2, 11.5, 15, 1, true);
  CornerBadge(pen, 11.8, 4.2, kGreen, Glyph::kPlus);
}

void DiscInfo(CPen& pen) {
  Disc(pen, 7, 9, 6.6, 1, kSilver);
  CornerBadge(pen, 11.8, 4.2, kBlue, Glyph::kInfo);
}

void Erase(CPen& pen) {
  Disc(pen, 7, 9, 6.6, 1, kSilver);
  Eraser(pen, 10.4, 4.6, 10, 4.6, 35 * kDeg, 1);
}

}  // namespace

void DrawMenuIcon(CPen& pen, i32 frame) {
  switch (frame) {
    case 0: Exit(pen); break;
    case 1: Folder(pen, 0.5, 1.5, 15.5, 14, 1, true); break;
    case 2: Save(pen); break;
    case 3: TurnArrow(pen, true); break;
    case 4: TurnArrow(pen, false); break;
    case 5: Cut(pen); break;
    case 6: Copy(pen); break;
    case 7: Paste(pen); break;
    case 8: Delete(pen); break;
    case 9: Drive(pen); break;
    case 10: Tasks(pen); break;
    case 11: Spanish(pen); break;
    case 12: English(pen); break;
    case 13: CopyDisc(pen); break;
    case 14: Eject(pen); break;
    case 15: Burn(pen); break;
    case 16: NewProject(pen); break;
    case 17: Close(pen); break;
    case 18: Help(pen); break;
    case 19: Data(pen); break;
    case 20: AudioCd(pen); break;
    case 21: NewFolder(pen); break;
    case 22: AddFiles(pen); break;
    case 23: DiscInfo(pen); break;
    case 24: Erase(pen); break;
    case 25: ButtonArrow(pen, 1); break;
    case 26: ButtonArrow(pen, 3); break;
    default: break;
  }
}
