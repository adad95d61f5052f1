// Comparison and UTF-8 conversion of texts through the system's locale-aware
// routines.
#include "runtime/wide_string.h"
#include "runtime/win.h"

namespace {

// A null text counts as the empty text; a count below -1 is refused.
bool CheckText(const wchar16*& text, i32& n) {
  if (n < -1) return false;
  if (!text) {
    text = u"";
    n = 0;
  }
  return true;
}

bool CheckAnsiText(const char*& text, i32& n) {
  if (n < -1) return false;
  if (!text) {
    text = "";
    n = 0;
  }
  return true;
}

i32 CompareWide(DWORD flags, const wchar16* a, i32 lenA, const wchar16* b, i32 lenB) {
  if (!CheckText(a, lenA) || !CheckText(b, lenB)) return -2;
  return CompareStringW(LOCALE_USER_DEFAULT, flags, AsWide(a), lenA, AsWide(b), lenB) - 2;
}

}  // namespace

i32 CompareText(const wchar16* a, i32 lenA, const wchar16* b, i32 lenB) {
  return CompareWide(0, a, lenA, b, lenB);
}

i32 CompareTextNoCase(const wchar16* a, i32 lenA, const wchar16* b, i32 lenB) {
  return CompareWide(NORM_IGNORECASE, a, lenA, b, lenB);
}

i32 CompareAnsiTextNoCase(const char* a, i32 lenA, const char* b, i32 lenB) {
  if (!CheckAnsiText(a, lenA) || !CheckAnsiText(b, lenB)) return -2;
  return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a, lenA, b, lenB) - 2;
}

i32 CompareWideStrings(const wchar16* a, const wchar16* b) {
  // A length of -1 (over-long text) lets the system run to the terminating zero.
  return CompareText(a, GetStringLength(a, kTextCap), b, GetStringLength(b, kTextCap));
}

i32 Utf8ToWide(const char* bytes, i32 n, wchar16* out, i32 outLen) {
  if (!bytes || n == 0 || n < -1 || outLen < 0 || (outLen > 0 && !out)) return 0;
  return MultiByteToWideChar(CP_UTF8, 0, bytes, n, AsWide(out), outLen);
}

void UpperCaseText(wchar16* text) {
  if (text) CharUpperW(AsWide(text));
}

i32 CWideString::Compare(const wchar16* p, i32 n) const {
  return CompareText(buffer_ ? buffer_ : u"", length_, p, n);
}

bool CWideString::Equals(const wchar16* text) const {
  return Compare(text, GetStringLength(text, kTextCap)) == 0;
}

i32 CWideString::CompareNoCase(const wchar16* text) const {
  return CompareTextNoCase(buffer_ ? buffer_ : u"", length_, text, GetStringLength(text, kTextCap));
}

void CWideString::AssignUtf8(const char* bytes, i32 n) {
  if (!bytes || n <= 0) return;
  i32 w = Utf8ToWide(bytes, n, nullptr, 0);
  wchar16* p = SetLength(w);
  if (!p || w == 0) return;
  i32 done = Utf8ToWide(bytes, n, p, w);
  SetLength(done);
}

void CWideString::AppendUtf8(const char* bytes, i32 n) {
  if (!bytes || n <= 0) return;
  i32 w = Utf8ToWide(bytes, n, nullptr, 0);
  if (w <= 0) return;
  i32 old = length_;
  wchar16* p = SetLength(old + w);
  if (!p) return;
  i32 done = Utf8ToWide(bytes, n, p + old, w);
  SetLength(old + done);
}
