#include "ui/widgets/edit_text.h"

#include "render/text/font.h"

namespace {

constexpr u32 kBackspace = 8, kEnd = 35, kHome = 36, kLeft = 37, kRight = 39, kInsert = 45, kDelete = 46;

i32 Bound(i32 v, i32 hi) { return v < 0 ? 0 : (v > hi ? hi : v); }
i32 Max3(i32 a, i32 b, i32 c) { return a > b ? (a > c ? a : c) : (b > c ? b : c); }
i32 Min3(i32 a, i32 b, i32 c) { return a < b ? (a < c ? a : c) : (b < c ? b : c); }

}  // namespace

void CEditText::Clamp() {
  const i32 n = Length();
  caret = Bound(caret, n);
  selectionStart = Bound(selectionStart, n);
  selectionEnd = Bound(selectionEnd, n);
  firstVisible = Bound(firstVisible, n);
}

i32 CEditText::NextWordEnd(i32 from) const {
  const i32 n = Length();
  i32 p = from + 1;
  while (p < n && IsSpace(p)) ++p;
  while (p < n && !IsSpace(p)) ++p;
  return p;
}

// From the index before `from`, left past spaces, then the last space from
// there down to index 1 (index 0 is never looked at): the word starts
// after it, or at 0.
i32 CEditText::WordStartBefore(i32 from) const {
  i32 p = from - 1;
  while (p > 0 && IsSpace(p)) --p;
  for (i32 r = p; r >= 1; --r)
    if (IsSpace(r)) return r + 1;
  return 0;
}

u32 CEditText::OnKey(u32 key, bool shift, bool ctrl) {
  Clamp();
  const i32 n = Length();
  const i32 before = caret, startBefore = selectionStart, endBefore = selectionEnd;
  bool forced = false;
  u32 result = 0;
  switch (key) {
    case kRight:
      result |= kEditNavigation;
      if (shift && ctrl) {
        if (!HasSelection()) selectionStart = caret;
        const i32 q = caret < n ? NextWordEnd(caret) : n;
        if (selectionStart == caret && HasSelection()) {
          selectionStart = caret = q + 1 > n ? n : q + 1;
        } else {
          selectionEnd = caret = q;
          forced = true;
        }
      } else if (shift) {
        if (caret == n) break;
        if (!HasSelection()) selectionStart = selectionEnd = caret;
        if (selectionEnd == caret)
          ++selectionEnd;
        else
          ++selectionStart;
        ++caret;
        forced = true;
      } else if (ctrl && caret < n) {
        caret = NextWordEnd(caret);
        Collapse();
      } else if (HasSelection()) {
        Collapse();
        forced = true;
      } else {
        if (caret < n) ++caret;
        Collapse();
      }
      break;
    case kLeft:
      result |= kEditNavigation;
      if (shift && ctrl) {
        if (caret == 0) break;
        const i32 q = WordStartBefore(caret);
        if (selectionEnd == caret && HasSelection()) {
          selectionEnd = caret = q - 1 < 0 ? 0 : q - 1;
        } else {
          selectionStart = caret = q;
          forced = true;
        }
      } else if (shift) {
        if (caret == 0) break;
        if (!HasSelection()) selectionStart = selectionEnd = caret;
        if (selectionStart == caret)
          --selectionStart;
        else
          --selectionEnd;
        --caret;
        forced = true;
      } else if (ctrl && caret > 0) {
        caret = WordStartBefore(caret);
        Collapse();
      } else if (HasSelection()) {
        Collapse();
        forced = true;
      } else {
        if (caret > 0) --caret;
        Collapse();
      }
      break;
    case kHome:
      result |= kEditNavigation;
      if (shift) {
        selectionEnd = Max3(caret, selectionStart, selectionEnd);
        selectionStart = caret = firstVisible = 0;
      } else {
        forced = HasSelection();
        caret = selectionStart = selectionEnd = firstVisible = 0;
      }
      break;
    case kEnd:
      result |= kEditNavigation;
      if (shift) {
        selectionStart = Min3(caret, selectionStart, selectionEnd);
        selectionEnd = caret = n;
      } else {
        forced = HasSelection();
        caret = selectionStart = selectionEnd = n;
      }
      break;
    case kBackspace:
      if (n == 0 || caret == 0) break;
      if (HasSelection()) {
        DeleteSelection();
      } else {
        text.Erase(caret - 1, 1);
        --caret;
        Collapse();
      }
      result |= kEditTextChanged;
      break;
    case kDelete:
      if (HasSelection()) {
        DeleteSelection();
        result |= kEditTextChanged;
      } else if (caret < n) {
        text.Erase(caret, 1);
        Collapse();
        result |= kEditTextChanged;
      }
      break;
    case kInsert:
      if (shift)
        result |= kEditPaste;
      else if (ctrl)
        result |= kEditCopy;
      break;
    case 67:
    case 99:
      if (ctrl) result |= kEditCopy;
      break;
    case 86:
    case 118:
      if (ctrl) result |= kEditPaste;
      break;
    case 88:
    case 120:
      if (ctrl && HasSelection()) result |= kEditCut;
      break;
    default:
      break;
  }
  if (caret != before || forced) result |= kEditMoved | kEditRedraw;
  if (selectionStart != startBefore || selectionEnd != endBefore) result |= kEditRedraw;
  if (result & kEditTextChanged) result |= kEditRedraw;
  return result;
}

bool CEditText::IsOwnKey(u32 key, bool shift, bool ctrl) {
  switch (key) {
    case kRight:
    case kLeft:
    case kHome:
    case kEnd:
    case kBackspace:
    case kDelete:
      return true;
    case kInsert:
      return shift || ctrl;
    case 67:
    case 99:
    case 86:
    case 118:
    case 88:
    case 120:
      return ctrl;
    default:
      return false;
  }
}

bool CEditText::DeleteSelection() {
  Clamp();
  if (!HasSelection()) return false;
  const i32 low = SelectionLow();
  text.Erase(low, SelectionHigh() - low);
  caret = selectionStart = selectionEnd = low;
  if (firstVisible > Length()) firstVisible = Length();
  return true;
}

bool CEditText::TypeChar(wchar16 c) {
  if (c < 0x20) return false;
  Clamp();
  if (HasSelection()) DeleteSelection();
  if (Length() >= kEditTextLimit) return false;
  text.InsertChar(caret, c);
  ++caret;
  Collapse();
  return true;
}

bool CEditText::InsertText(const wchar16* p, i32 n) {
  if (!p || n <= 0) return false;
  Clamp();
  if (HasSelection()) DeleteSelection();
  const i32 room = kEditTextLimit - Length();
  if (n > room) n = room;
  if (n <= 0) return false;
  text.InsertChars(caret, p, n);
  caret += n;
  Collapse();
  return true;
}

void CEditText::SetText(const wchar16* p) {
  text.Assign(p);
  if (Length() > kEditTextLimit) text.Erase(kEditTextLimit, Length() - kEditTextLimit);
  caret = Length();
  Collapse();
  Clamp();
}

void CEditText::SelectAll() {
  Clamp();
  selectionStart = 0;
  selectionEnd = caret = Length();
}

bool CEditText::SelectWordAt(i32 i) {
  Clamp();
  const i32 n = Length();
  if (n == 0) return false;
  if (i >= n) i = n - 1;
  if (IsSpace(i)) return false;
  i32 start = 0;
  for (i32 r = i; r >= 1; --r)
    if (IsSpace(r)) {
      start = r + 1;
      break;
    }
  i32 end = i;
  while (end < n && !IsSpace(end)) ++end;
  selectionStart = start;
  selectionEnd = caret = end;
  return true;
}

CFont* CEditText::TextFont() const { return font ? font : UiFontNormal(); }

double CEditText::WidthOf(i32 from, i32 to) const {
  CFont* measure = TextFont();
  if (!measure || to <= from) return 0.0;
  return measure->MeasureText(text.c_str() + from, to - from);
}

double CEditText::WidthFrom(i32 i) const { return WidthOf(i, Length()); }

i32 CEditText::IndexAt(double x, double margin) const {
  const i32 n = Length();
  const i32 first = firstVisible < 0 ? 0 : (firstVisible > n ? n : firstVisible);
  double room = x - margin, used = 0.0;
  i32 i = first;
  CFont* measure = TextFont();
  // Characters without a glyph count with no width here.
  for (; measure && i < n; ++i) {
    const Glyph* g = measure->FindGlyph(text.At(i));
    const double advance = g ? g->advanceX : 0.0;
    if (used + advance > room) break;
    used += advance;
  }
  return measure ? i : first;
}

void CEditText::ScrollToCaret(double w) {
  Clamp();
  const i32 n = Length();
  const bool dragging = (state & kEditDragging) != 0;
  CFont* measure = TextFont();
  const double avg = measure ? measure->averageAdvance : 0.0;
  i32 step = 1;
  if (!dragging && avg != 0.0) {
    step = static_cast<i32>(w / avg * 0.3);
    if (step < 1) step = 1;  // a narrow field still moves
  }
  i32& f = firstVisible;
  const i32 c = caret;
  if (w > WidthFrom(0)) {
    f = 0;
  } else if (c > f) {
    if (WidthOf(f, c) > w) {
      if (c < n && avg != 0.0) {
        f = f + step < c ? f + step : c;
        while (f > 0 && w > WidthFrom(f)) --f;
      }
      // The caret must end up inside the view, however far it jumped.
      while (f < c && WidthOf(f, c) > w) ++f;
    } else if (f > 0 && w > WidthFrom(f)) {
      while (f > 0 && w > WidthFrom(f - 1)) --f;
    }
  }
  if (c < f) f = c;
  if (c == f && f > 0) f = avg != 0.0 ? (f - step > 0 ? f - step : 0) : f - 1;
}
