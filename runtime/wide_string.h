// CWideString: growable, zero-terminated UTF-16 text {buffer, length,
// capacity}, and the bounded string and number-formatting routines.
// The storage, editing and formatting are portable; comparison and UTF-8
// conversion call the system (wide_string_win.cpp).
#pragma once
#include "runtime/types.h"

// Measures a zero-terminated text: 0 for null, the count when below cap,
// else -1 (so with cap 4096 the longest measurable text has 4095 units).
i32 GetStringLength(const wchar16* text, i32 cap);

constexpr i32 kTextCap = 4096;

// {integer part, fraction digits as an integer, integer width, fraction
// digits, flags}: flag 1 zero-pads the integer part to the width, flag 2
// prints the fraction unchanged.
struct DecimalFormat {
  i32 integer;
  i32 fraction;
  i32 width;
  i32 fractionDigits;
  u8 flags;
};

struct HexFormat {
  u32 value;
  i32 width;
  u8 flags;  // 1: zero-pad to the width
};

class CWideString {
 public:
  CWideString() = default;
  explicit CWideString(const wchar16* text) { Assign(text); }
  CWideString(const CWideString& other);
  CWideString& operator=(const CWideString& other);
  ~CWideString();

  const wchar16* GetBuffer() const { return buffer_; }
  wchar16* GetBuffer() { return buffer_; }
  // The text, or an empty text when nothing was ever assigned.
  const wchar16* c_str() const { return buffer_ ? buffer_ : u""; }
  i32 GetLength() const { return length_; }
  i32 GetCapacity() const { return capacity_; }
  bool IsEmpty() const { return length_ == 0; }
  wchar16 At(i32 index) const { return buffer_[index]; }

  // Capacity for n + 1 units, length n, terminating zero at n; returns the
  // buffer. A negative n, or one that cannot be allocated, is refused: the
  // string is left unchanged and the result is null. Units between the old
  // and the new length are left as they are (0 in freshly allocated storage).
  wchar16* SetLength(i32 n);
  // Grows to the capacity step for n units when n exceeds the capacity.
  void Reserve(i32 n);

  // Texts measured with the 4096 cap: one of 4096 units or more counts as
  // its first 4095 units. A negative count counts as 0; a null text is empty.
  void AssignChars(const wchar16* p, i32 n);
  void Assign(const wchar16* text);
  void Assign(const CWideString& other) { AssignChars(other.buffer_, other.length_); }
  // Takes n units at storage, followed by a terminating zero the caller
  // wrote, as the text without copying them. The storage stays the caller's
  // and must outlive the string; the string owns nothing (capacity 0) until
  // a change copies the text into storage of its own, with the usual growth.
  // For many short texts kept in one block, such as the names of a tree.
  void BorrowChars(wchar16* storage, i32 n);
  // n = 0 (or negative) leaves the text unchanged; invalid UTF-8 becomes
  // U+FFFD; an input that converts to nothing leaves the empty string.
  void AssignUtf8(const char* bytes, i32 n);

  void AppendChar(wchar16 c);
  void AppendChars(const wchar16* p, i32 n);
  void Append(const wchar16* text);
  void Append(const CWideString& other) { AppendChars(other.buffer_, other.length_); }
  void AppendUtf8(const char* bytes, i32 n);
  // Appends 8-bit ASCII text (for fixed program texts).
  void AppendAscii(const char* text);

  // A negative position counts as 0; one at or past the end appends.
  void InsertChar(i32 pos, wchar16 c);
  void Insert(i32 pos, const wchar16* text);
  void InsertChars(i32 pos, const wchar16* p, i32 n);
  // A negative position or count changes nothing; the count is cut at the end.
  void Erase(i32 pos, i32 count);
  // Removes every trailing c; the string then has a buffer.
  void TrimRight(wchar16 c);

  // Last index of c at or before start (-1 or past the end: the last
  // character), index 0 included; -1 when absent or start is below -1.
  i32 ReverseFind(wchar16 c, i32 start = -1) const;
  // First index of c at or after start (negative counts as 0); -1 when absent.
  i32 FindChar(wchar16 c, i32 start = 0) const;

  // Locale-aware comparisons (Windows only): -1, 0, 1, or -2 on failure.
  // A never-assigned string and a null text compare as empty texts; n = -1
  // compares up to p's terminating zero, n below -1 fails.
  i32 Compare(const wchar16* p, i32 n) const;
  bool Equals(const wchar16* text) const;
  i32 CompareNoCase(const wchar16* text) const;

  // Decimal numbers; the smallest i32 gives "-2147483648".
  void AppendInt(i32 v);
  void AppendUInt(u32 v);
  void AppendUInt64(u64 v);
  // Zero-padded on the left to at least minDigits digits.
  void AppendUIntPadded(u64 v, i32 minDigits);
  void AppendHex(const HexFormat& format);
  // Flag 1: zero-padded integer (sign first), and an integer part of 0 prints
  // only the zeros. A non-zero fraction follows "." zero-padded to the
  // fraction digits; without flag 2 its trailing zeros are dropped.
  void AppendDecimal(const DecimalFormat& format);
  // Bytes scaled by 1/1024 while above 1023 (at most up to "TB"), two
  // decimals with trailing zeros kept, then " Bytes", " KB" .. " TB".
  void AppendByteSize(double bytes);

  // Frees the buffer (the string becomes never-assigned).
  void Release();

 private:
  // Ensures capacity for units (the length plus one); false when refused.
  bool GrowFor(i64 units);
  // True when p points into this string's own storage.
  bool Owns(const wchar16* p) const;

  wchar16* buffer_ = nullptr;
  i32 length_ = 0;
  i32 capacity_ = 0;
};

// Number of decimal digits of |v|; 0 for 0.
i32 CountDecimalDigits(i32 v);
// Writes the decimal digits of a non-negative value (of the magnitude for a
// negative one) and a terminating zero (out holds at least 11 units).
void FormatDecimal(i32 v, wchar16* out);
// Pointer after the last '\' or '/' (cap 260); the whole path when none.
const wchar16* FindFileNamePart(const wchar16* path);
// Fixed-point split of a non-negative double with digits 0..9 fraction
// digits, rounded half up, carrying into the integer part at 10^digits.
// Negative or NaN values give 0; the integer part saturates at the i32 limit.
DecimalFormat SplitFixedPoint(double value, i32 digits, bool keepFraction);

// Locale-aware comparisons (Windows only): -1, 0, 1, or -2 on failure.
i32 CompareText(const wchar16* a, i32 lenA, const wchar16* b, i32 lenB);
i32 CompareTextNoCase(const wchar16* a, i32 lenA, const wchar16* b, i32 lenB);
i32 CompareAnsiTextNoCase(const char* a, i32 lenA, const char* b, i32 lenB);
i32 CompareWideStrings(const wchar16* a, const wchar16* b);
// UTF-8 to UTF-16; outLen 0 asks for the needed length (Windows only).
i32 Utf8ToWide(const char* bytes, i32 n, wchar16* out, i32 outLen);
// In place (Windows only).
void UpperCaseText(wchar16* text);
