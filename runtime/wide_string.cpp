// CWideString storage, editing and number formatting (portable part).
#include "runtime/wide_string.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>

#include "runtime/c_routines.h"
#include "runtime/heap.h"

namespace {

// Largest capacity whose byte size still fits the heap's 32-bit sizes.
constexpr i64 kMaxCapacity = 0x7FFFFFFF;

// Capacity for a request of n units: 256, 512, 1024, 2048, then the next
// multiple of 4096 strictly above n.
i64 CapacityStep(i64 n) {
  if (n < 256) return 256;
  if (n < 512) return 512;
  if (n < 1024) return 1024;
  if (n < 2048) return 2048;
  return (n + 4096) / 4096 * 4096;
}

// Length of a zero-terminated foreign text: an over-long one counts as its
// first kTextCap - 1 units, so that no caller ever sees -1.
i32 MeasureText(const wchar16* text) {
  i32 n = GetStringLength(text, kTextCap);
  return n < 0 ? kTextCap - 1 : n;
}

// Magnitude of an i32 without overflow for the smallest value.
u32 Magnitude(i32 v) { return v < 0 ? 0u - static_cast<u32>(v) : static_cast<u32>(v); }

i32 CountDigitsU32(u32 v) {
  i32 digits = 0;
  while (v != 0) {
    ++digits;
    v /= 10;
  }
  return digits;
}

// Writes the decimal digits of v (at least one) most significant first;
// returns the count (at most 20).
i32 DecimalDigits(u64 v, wchar16* out) {
  wchar16 reversed[20];
  i32 n = 0;
  do {
    reversed[n++] = static_cast<wchar16>(u'0' + v % 10);
    v /= 10;
  } while (v != 0);
  for (i32 i = 0; i < n; ++i) out[i] = reversed[n - 1 - i];
  return n;
}

constexpr i32 kPowersOfTen[10] = {1,      10,      100,      1000,      10000,
                                  100000, 1000000, 10000000, 100000000, 1000000000};

}  // namespace

i32 GetStringLength(const wchar16* text, i32 cap) {
  if (!text) return 0;
  for (i32 i = 0; i < cap; ++i)
    if (text[i] == 0) return i;
  return -1;
}

// ---- storage ---------------------------------------------------------------

CWideString::CWideString(const CWideString& other) { AssignChars(other.buffer_, other.length_); }

CWideString& CWideString::operator=(const CWideString& other) {
  if (this != &other) AssignChars(other.buffer_, other.length_);
  return *this;
}

CWideString::~CWideString() { Release(); }

void CWideString::Release() {
  if (buffer_ && capacity_ > 0) rt::free(buffer_);  // borrowed storage is not ours
  buffer_ = nullptr;
  length_ = 0;
  capacity_ = 0;
}

bool CWideString::Owns(const wchar16* p) const {
  if (!buffer_ || !p) return false;
  std::less_equal<const wchar16*> le;
  std::less<const wchar16*> lt;
  return le(buffer_, p) && lt(p, buffer_ + capacity_);
}

bool CWideString::GrowFor(i64 units) {
  if (units <= capacity_) return true;
  // Only a text in borrowed storage can be longer than the request: the
  // storage of its own takes all of it.
  if (units <= length_) units = static_cast<i64>(length_) + 1;
  i64 step = CapacityStep(units);
  if (step > kMaxCapacity || step * 2 > 0xFFFFFFFFll) return false;
  wchar16* fresh = static_cast<wchar16*>(rt::malloc(static_cast<u32>(step * 2)));
  if (!fresh) return false;
  // Fresh storage is cleared so that no stale heap bytes show through a
  // SetLength that grows the text.
  std::memset(fresh, 0, static_cast<size_t>(step) * 2);
  if (buffer_) {
    std::memcpy(fresh, buffer_, static_cast<size_t>(length_) * 2);
    if (capacity_ > 0) rt::free(buffer_);
  }
  buffer_ = fresh;
  capacity_ = static_cast<i32>(step);
  return true;
}

wchar16* CWideString::SetLength(i32 n) {
  if (n < 0 || !GrowFor(static_cast<i64>(n) + 1)) return nullptr;
  length_ = n;
  buffer_[n] = 0;
  return buffer_;
}

void CWideString::Reserve(i32 n) {
  if (n > 0) GrowFor(n);
}

// ---- assignment and appending -----------------------------------------------

void CWideString::AssignChars(const wchar16* p, i32 n) {
  if (!p || n < 0) n = 0;
  if (n > 0 && Owns(p)) {
    // A part of this very string: growing may move the storage, so the
    // source is copied out first.
    CWideString copy;
    copy.AssignChars(p, n);
    AssignChars(copy.buffer_, copy.length_);
    return;
  }
  if (SetLength(n) && n > 0) std::memcpy(buffer_, p, static_cast<size_t>(n) * 2);
}

void CWideString::Assign(const wchar16* text) { AssignChars(text, MeasureText(text)); }

void CWideString::BorrowChars(wchar16* storage, i32 n) {
  if (!storage || n < 0) return;
  Release();
  buffer_ = storage;
  length_ = n;
}

void CWideString::AppendChar(wchar16 c) {
  i32 old = length_;
  if (SetLength(old + 1)) buffer_[old] = c;
}

void CWideString::AppendChars(const wchar16* p, i32 n) {
  if (!p || n <= 0) return;
  if (Owns(p)) {
    // Growing may move the storage: copy the source out first.
    CWideString copy;
    copy.AssignChars(p, n);
    AppendChars(copy.buffer_, copy.length_);
    return;
  }
  i32 old = length_;
  if (static_cast<i64>(old) + n > kMaxCapacity - 1) return;
  if (SetLength(old + n)) std::memcpy(buffer_ + old, p, static_cast<size_t>(n) * 2);
}

void CWideString::Append(const wchar16* text) { AppendChars(text, MeasureText(text)); }

void CWideString::AppendAscii(const char* text) {
  i32 n = rt::GetAnsiLength(text, kTextCap);
  if (n < 0) n = kTextCap - 1;
  if (n == 0) return;
  i32 old = length_;
  if (!SetLength(old + n)) return;
  for (i32 i = 0; i < n; ++i) buffer_[old + i] = static_cast<u8>(text[i]);
}

// ---- insertion and removal --------------------------------------------------

void CWideString::InsertChar(i32 pos, wchar16 c) {
  if (pos >= length_) {
    AppendChar(c);
    return;
  }
  if (pos < 0) pos = 0;
  i32 old = length_;
  if (!SetLength(old + 1)) return;
  std::memmove(buffer_ + pos + 1, buffer_ + pos, static_cast<size_t>(old - pos) * 2);
  buffer_[pos] = c;
}

void CWideString::InsertChars(i32 pos, const wchar16* p, i32 n) {
  if (pos >= length_) {
    AppendChars(p, n);
    return;
  }
  if (!p || n <= 0) return;
  if (pos < 0) pos = 0;
  if (Owns(p)) {
    CWideString copy;
    copy.AssignChars(p, n);
    InsertChars(pos, copy.buffer_, copy.length_);
    return;
  }
  i32 old = length_;
  if (static_cast<i64>(old) + n > kMaxCapacity - 1) return;
  if (!SetLength(old + n)) return;
  std::memmove(buffer_ + pos + n, buffer_ + pos, static_cast<size_t>(old - pos) * 2);
  std::memcpy(buffer_ + pos, p, static_cast<size_t>(n) * 2);
}

void CWideString::Insert(i32 pos, const wchar16* text) { InsertChars(pos, text, MeasureText(text)); }

void CWideString::Erase(i32 pos, i32 count) {
  if (pos < 0 || count <= 0 || pos >= length_) return;
  if (count > length_ - pos) count = length_ - pos;
  // The terminating zero moves down with the tail.
  std::memmove(buffer_ + pos, buffer_ + pos + count, static_cast<size_t>(length_ - pos - count + 1) * 2);
  length_ -= count;
}

void CWideString::TrimRight(wchar16 c) {
  i32 n = length_;
  while (n > 0 && buffer_[n - 1] == c) --n;
  SetLength(n);
}

// ---- searching ---------------------------------------------------------------

i32 CWideString::ReverseFind(wchar16 c, i32 start) const {
  if (length_ == 0 || start < -1) return -1;
  if (start == -1 || start >= length_) start = length_ - 1;
  for (i32 i = start; i >= 0; --i)
    if (buffer_[i] == c) return i;
  return -1;
}

i32 CWideString::FindChar(wchar16 c, i32 start) const {
  if (start < 0) start = 0;
  for (i32 i = start; i < length_; ++i)
    if (buffer_[i] == c) return i;
  return -1;
}

// ---- number formatting ---------------------------------------------------------

void CWideString::AppendInt(i32 v) {
  if (v < 0) AppendChar(u'-');
  AppendUInt(Magnitude(v));
}

void CWideString::AppendUInt(u32 v) { AppendUInt64(v); }

void CWideString::AppendUInt64(u64 v) {
  wchar16 digits[20];
  AppendChars(digits, DecimalDigits(v, digits));
}

namespace {

// Appends count copies of '0' (nothing for count <= 0).
void AppendZeros(CWideString* s, i32 count) {
  if (count <= 0) return;
  i32 old = s->GetLength();
  if (static_cast<i64>(old) + count > kMaxCapacity - 1) return;
  wchar16* p = s->SetLength(old + count);
  if (!p) return;
  for (i32 i = 0; i < count; ++i) p[old + i] = u'0';
}

}  // namespace

void CWideString::AppendUIntPadded(u64 v, i32 minDigits) {
  wchar16 digits[20];
  const i32 n = DecimalDigits(v, digits);
  AppendZeros(this, minDigits - n);
  AppendChars(digits, n);
}

void CWideString::AppendHex(const HexFormat& format) {
  u32 v = format.value;
  if (format.flags & 1) {
    i32 digits = 0;
    for (u32 t = v; t != 0; t >>= 4) ++digits;
    AppendZeros(this, format.width - digits);
    if (v == 0) return;
  }
  wchar16 text[8];
  i32 n = 0;
  do {
    u32 nibble = v & 0xF;
    text[7 - n] = static_cast<wchar16>(nibble < 10 ? u'0' + nibble : u'a' + nibble - 10);
    ++n;
    v >>= 4;
  } while (v != 0);
  AppendChars(text + 8 - n, n);
}

void CWideString::AppendDecimal(const DecimalFormat& format) {
  if (format.flags & 1) {
    if (format.integer < 0) AppendChar(u'-');
    AppendZeros(this, format.width - CountDecimalDigits(format.integer));
    if (format.integer == 0) return;
    AppendUInt(Magnitude(format.integer));
  } else {
    AppendInt(format.integer);
  }
  u32 fraction = Magnitude(format.fraction);
  if (fraction == 0) return;
  AppendChar(u'.');
  AppendZeros(this, format.fractionDigits - CountDigitsU32(fraction));
  if (!(format.flags & 2))
    while (fraction % 10 == 0) fraction /= 10;
  AppendUInt(fraction);
}

void CWideString::AppendByteSize(double bytes) {
  static const char* const kUnits[] = {" Bytes", " KB", " MB", " GB", " TB"};
  if (bytes < 0) {
    AppendChar(u'-');
    bytes = -bytes;
  }
  i32 unit = 0;
  while (bytes > 1023.0 && unit < 4) {
    bytes *= 0.0009765625;
    ++unit;
  }
  AppendDecimal(SplitFixedPoint(bytes, 2, true));
  AppendAscii(kUnits[unit]);
}

// ---- free routines ------------------------------------------------------------------

i32 CountDecimalDigits(i32 v) { return CountDigitsU32(Magnitude(v)); }

void FormatDecimal(i32 v, wchar16* out) {
  if (!out) return;
  i32 n = DecimalDigits(Magnitude(v), out);
  out[n] = 0;
}

const wchar16* FindFileNamePart(const wchar16* path) {
  i32 n = GetStringLength(path, 260);
  if (n <= 0) return path;
  for (i32 i = n - 1; i >= 0; --i)
    if (path[i] == u'\\' || path[i] == u'/') return path + i + 1;
  return path;
}

DecimalFormat SplitFixedPoint(double value, i32 digits, bool keepFraction) {
  DecimalFormat result = {0, 0, 0, 0, 0};
  i32 d = digits < 0 ? 0 : (digits > 9 ? 9 : digits);
  result.fractionDigits = d;
  result.flags = keepFraction ? 2 : 0;
  if (!(value > 0)) return result;  // negative, zero or NaN
  if (value >= 2147483647.0) {
    result.integer = 0x7FFFFFFF;
    return result;
  }
  double whole = std::floor(value);
  double scaled = (value - whole) * kPowersOfTen[d];
  i32 integer = static_cast<i32>(whole);
  i32 fraction = static_cast<i32>(scaled);
  if (scaled - std::floor(scaled) >= 0.5) {
    ++fraction;
    if (fraction >= kPowersOfTen[d]) {
      fraction = 0;
      if (integer < 0x7FFFFFFF) ++integer;
    }
  }
  result.integer = integer;
  result.fraction = fraction;
  return result;
}
