// Measuring, fitting and word-wrapped layout of text runs, and the text
// recorders of the canvas. Portable.
#include <cmath>

#include "render/canvas.h"
#include "render/canvas_text.h"
#include "render/display_records.h"
#include "render/text/font.h"
#include "render/text/text_layout.h"

namespace {

constexpr wchar16 kTab = 9;
constexpr wchar16 kLineFeed = 10;
constexpr wchar16 kSpace = 32;

}  // namespace

double CFont::MeasureText(const wchar16* text, i32 n) {
  double width = 0;
  for (i32 i = 0; i < n && text; ++i) {
    if (const Glyph* g = FindGlyph(text[i]))
      width += g->advanceX;
    else if (text[i] == kTab)
      width += 8 * spaceAdvance;
  }
  return width;
}

void CFont::MeasureTextBox(double* left, double* bottom, double* width, double* height,
                           const wchar16* text, i32 n) {
  const double y = *bottom;
  double w = 0, advanceY = 0, lowest = y, deepest = 0, tallest = 0;
  for (i32 i = 0; i < n && text; ++i) {
    const Glyph* g = FindGlyph(text[i]);
    if (!g) {
      // A tab advances the pen when drawn, so the box takes it too.
      if (text[i] == kTab) w += 8 * spaceAdvance;
      continue;
    }
    if (i == 0 && g->left < 0) {
      *left += g->left;
      w -= g->left;
    }
    w += g->advanceX;
    advanceY += g->advanceY;
    if (y + g->bottom < lowest) lowest = y + g->bottom;
    const double extent = std::fabs(g->bottom) + g->rows;
    if (extent > tallest) tallest = extent;
    if (g->bottom < deepest) deepest = g->bottom;
  }
  *bottom = lowest;
  if (advanceY < 0) {
    *bottom += advanceY;
    advanceY = -advanceY;
  }
  *height = tallest + 1 - deepest + advanceY;
  *width = w;
}

i32 CFont::FitText(double width, const wchar16* text, i32 n, double* fitted, i32* blanks) {
  double w = 0;
  i32 lastBreak = 0;
  *blanks = 0;
  *fitted = 0;
  i32 i = 0;
  for (; i < n && text; ++i) {
    const wchar16 c = text[i];
    if (const Glyph* g = FindGlyph(c)) {
      if (w + g->advanceX > width) {
        if (w == 0) return -1;
        // The line ends at the last blank or tab before this character,
        // which is not part of it (one blank fewer inside the line): the word
        // that did not fit, or whose blank did not, goes to the next line.
        // Without such a break the word is cut here, and a cut line without
        // a blank is left with -1, which justifies nothing.
        --*blanks;
        if (lastBreak != 0) return lastBreak;
        *fitted = w;
        return i;
      }
      if (c == kSpace) {
        ++*blanks;
        *fitted = w;
        lastBreak = i;
      }
      w += g->advanceX;
    } else if (c == kTab) {
      if (w + 8 * spaceAdvance > width) {
        *fitted = w;
        return i;
      }
      *fitted = w;
      lastBreak = i;
      w += 8 * spaceAdvance;
    } else if (c == kLineFeed) {
      break;
    }
  }
  *fitted = w;
  return i;
}

// ---- what the canvas needs of the font code ------------------------------

void ReleaseCanvasFont(CFont* font) {
  if (font) font->Release();
}

void AddCanvasFontReference(CFont* font) {
  if (font) font->AddRef();
}

void MeasureTextRunBox(CFont* font, const wchar16* text, i32 length, double* left, double* bottom,
                       double* width, double* height) {
  if (!font) {
    *width = 0;
    *height = 0;
    return;
  }
  font->MeasureTextBox(left, bottom, width, height, text, length);
}

// ---- recorders ----------------------------------------------------------

void CDisplayList::RecordTextLine(double x, double baseline, double width, double extra, i32 blanks,
                                  const wchar16* text, i32 length, CFont* font, u32 colour) {
  if (!font || !text || length <= 0) return;
  // The run is recorded as any text run, then given the line's box and its
  // justification.
  const u32 at = commands_.used;
  RecordText(x, baseline, text, length, font, colour);
  if (commands_.used < at + sizeof(TextRunRecord)) return;
  TextRunRecord record = ReadRecord<TextRunRecord>(commands_.data + at);
  if (record.op != kOpTextRun) return;
  const double overhang = font->LeftOverhang();
  // The box spans the line's height up from under the descender. The size's
  // metrics are rounded (the ascender often ends below the accent of a
  // capital), so the box reaches further wherever the run's own glyphs do:
  // every glyph the line draws shows whole.
  const double lineBottom = baseline - font->descender, lineTop = lineBottom + font->lineHeight;
  const double glyphsBottom = record.boxBottom, glyphsTop = record.boxBottom + record.boxHeight;
  const double boxBottom = glyphsBottom < lineBottom ? glyphsBottom : lineBottom;
  const double boxTop = glyphsTop > lineTop ? glyphsTop : lineTop;
  record.boxLeft = x - overhang;
  record.boxBottom = boxBottom;
  record.boxWidth = width + overhang;
  record.boxHeight = boxTop - boxBottom;
  record.blankCount = blanks;
  record.justifyExtra = extra;
  WriteRecord(commands_.data + at, record);
  ExtendRows(record.boxBottom + record.boxHeight, record.boxBottom);
}

void CCanvas::DrawTextInRect(double left, double bottom, double right, double top, const wchar16* text,
                             i32 length, u32 flags) {
  if (!text) return;
  LayoutText(left, bottom, right, top, text, length, flags);
}

namespace {

struct LaidLine {
  i32 start, count;
  double fitted;
  i32 blanks;
  bool lastOfParagraph;
};

// Walks the lines of text word-wrapped in width: each line's characters,
// width and blanks (blanks after a line are not part of it); a line that
// only blanks separate from a line feed or the end is the last of its
// paragraph. visit returns false to stop.
template <class F>
void ForEachLaidLine(CFont* font, double width, const wchar16* text, i32 length, F&& visit) {
  i32 pos = 0;
  while (pos < length) {
    double fitted = 0;
    i32 blanks = 0;
    const i32 k = font->FitText(width, text + pos, length - pos, &fitted, &blanks);
    if (k < 0) break;
    i32 next = pos + k;
    while (next < length && IsBlank(text[next])) ++next;
    if (!visit(LaidLine{pos, k, fitted, blanks, next >= length || text[next] == kLineFeed})) return;
    const i32 before = pos;
    pos = next;
    if (pos >= length) break;
    if (text[pos] == kLineFeed) ++pos;  // the paragraph's end
    if (pos == before) break;  // nothing consumed: no further line can fit
  }
}

}  // namespace

void CCanvas::LayoutText(double left, double bottom, double right, double top, const wchar16* text,
                         i32 length, u32 flags) {
  if (!text || !font) return;
  if (length == -1) length = GetStringLength(text, kTextCap);
  if (length <= 0) return;
  left += originX;
  right += originX;
  bottom += originY;
  top += originY;
  const double width = right - left;
  if (!(width > 0)) return;
  i32 index = 0;
  ForEachLaidLine(font, width, text, length, [&](const LaidLine& line) {
    const double lineTop = top - index * font->lineHeight;
    if (index++ > 0 && lineTop <= bottom) return false;
    if (line.count <= 0) return true;
    double x = left;
    if (flags & 1) x = left + (width - line.fitted) / 2;
    if (flags & 2) x = left + (width - line.fitted);
    if (flags & 8) {
      list.RecordTextLine(x, bottom + (top - bottom - font->size) / 2, width, width - line.fitted, 0,
                          text + line.start, line.count, font, textColour);
      return false;
    }
    const i32 justified = ((flags & 4) && !line.lastOfParagraph) ? line.blanks : 0;
    list.RecordTextLine(x, lineTop - font->ascender, width, width - line.fitted, justified, text + line.start,
                        line.count, font, textColour);
    return true;
  });
}

double LaidOutTextHeight(CFont* font, double width, const wchar16* text, i32 length) {
  if (!font || !text || !(width > 0)) return 0;
  if (length == -1) length = GetStringLength(text, kTextCap);
  i32 lines = 0;
  ForEachLaidLine(font, width, text, length, [&](const LaidLine&) {
    ++lines;
    return true;
  });
  return lines * font->lineHeight;
}

TopAlignedText FitTextFromTop(CFont* font, double width, double height, const wchar16* text, i32 length) {
  TopAlignedText fit = {0, height, height, 0};
  if (!font || !text || !(width > 0)) return fit;
  if (length == -1) length = GetStringLength(text, kTextCap);
  // Over the lines taken so far: how far their glyphs rise above the box
  // and how much room their lowest glyphs leave under them.
  double rise = 0, room = height;
  ForEachLaidLine(font, width, text, length, [&](const LaidLine& line) {
    const double lineTop = height - fit.lines * font->lineHeight;
    if (fit.lines > 0 && lineTop <= 0) return false;
    const double baseline = lineTop - font->ascender;
    double lineRise = rise, lineRoom = room;
    for (i32 i = line.start; i < line.start + line.count; ++i) {
      const Glyph* g = font->FindGlyph(text[i]);
      if (!g || g->rows == 0) continue;
      const double top = baseline + g->bottom + g->rows, bottom = baseline + g->bottom;
      if (top - height > lineRise) lineRise = top - height;
      if (bottom < lineRoom) lineRoom = bottom;
    }
    // Brought down by the rise, this line's glyphs would leave the box.
    if (lineRise > lineRoom) return false;
    rise = lineRise;
    room = lineRoom;
    ++fit.lines;
    return true;
  });
  if (fit.lines == 0) return fit;
  fit.drop = rise;
  fit.top = height - rise;
  fit.bottom = fit.top - fit.lines * font->lineHeight;
  return fit;
}

void ShortenToWidth(CFont* font, double width, const wchar16* text, i32 length, CWideString* out) {
  out->SetLength(0);
  if (!font || !text) return;
  if (length == -1) length = GetStringLength(text, kTextCap);
  if (length <= 0) return;
  i32 end = 0;
  while (end < length && text[end] != kLineFeed) ++end;
  if (end == length && font->MeasureText(text, length) <= width) {
    out->AssignChars(text, length);
    return;
  }
  static const wchar16 kMark[] = u"...";
  i32 dots = 3;
  while (dots > 0 && font->MeasureText(kMark, dots) > width) --dots;
  // The start, summed as the layout sums a line, within what the mark
  // leaves; nothing of it when not even the whole mark fits.
  const double room = width - font->MeasureText(kMark, dots);
  i32 k = 0;
  for (double w = 0; dots == 3 && k < end; ++k) {
    const double advance = font->MeasureText(text + k, 1);
    if (w + advance > room) break;
    w += advance;
  }
  while (k > 0 && IsBlank(text[k - 1])) --k;
  out->AssignChars(text, k);
  out->AppendChars(kMark, dots);
}

void DrawTextInBox(CCanvas* canvas, double left, double bottom, double right, double top,
                   const wchar16* text, i32 length, u32 flags) {
  if (canvas) canvas->DrawTextInRect(left, bottom, right, top, text, length, flags);
}
