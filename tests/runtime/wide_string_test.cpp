#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "runtime/wide_string.h"

namespace {

std::string Ascii(const CWideString& s) {
  std::string out;
  for (i32 i = 0; i < s.GetLength(); ++i) {
    wchar16 c = s.At(i);
    out += (c >= 32 && c < 127) ? static_cast<char>(c) : '?';
  }
  return out;
}

std::u16string Units(const CWideString& s) {
  return s.GetBuffer() ? std::u16string(s.GetBuffer(), static_cast<size_t>(s.GetLength())) : std::u16string();
}

std::u16string Repeat(char16_t c, size_t n) { return std::u16string(n, c); }

// The capacity a string must have after asking for `units` units when it had
// `capacity`: 256, 512, 1024, 2048, then the next multiple of 4096 above.
i32 ExpectedCapacity(i32 capacity, i64 units) {
  if (units <= capacity) return capacity;
  if (units < 256) return 256;
  if (units < 512) return 512;
  if (units < 1024) return 1024;
  if (units < 2048) return 2048;
  return static_cast<i32>((units / 4096 + 1) * 4096);
}

// Invariants of every string: no buffer means nothing stored; else the
// terminating zero sits at the length and the capacity is one of the steps.
void CheckInvariants(const CWideString& s) {
  if (!s.GetBuffer()) {
    ASSERT_EQ(s.GetLength(), 0);
    ASSERT_EQ(s.GetCapacity(), 0);
    return;
  }
  ASSERT_GE(s.GetLength(), 0);
  ASSERT_LE(s.GetLength() + 1, s.GetCapacity());
  ASSERT_EQ(s.GetBuffer()[s.GetLength()], 0);
  i32 c = s.GetCapacity();
  ASSERT_TRUE(c == 256 || c == 512 || c == 1024 || c == 2048 || c % 4096 == 0) << c;
}

TEST(GetStringLength, BoundsAndNull) {
  EXPECT_EQ(GetStringLength(nullptr, 4096), 0);
  EXPECT_EQ(GetStringLength(u"", 4096), 0);
  EXPECT_EQ(GetStringLength(u"abc", 4096), 3);
  std::u16string t = Repeat(u'x', 4095);
  EXPECT_EQ(GetStringLength(t.c_str(), 4096), 4095);
  t += u'x';
  EXPECT_EQ(GetStringLength(t.c_str(), 4096), -1);
  EXPECT_EQ(GetStringLength(u"abc", 3), -1);
  EXPECT_EQ(GetStringLength(u"abc", 4), 3);
}

TEST(CWideString, CapacitySteps) {
  CWideString s;
  EXPECT_EQ(s.GetCapacity(), 0);
  s.AppendChar(u'a');
  EXPECT_EQ(s.GetCapacity(), 256);
  s.SetLength(255);
  EXPECT_EQ(s.GetCapacity(), 256);
  s.SetLength(256);
  EXPECT_EQ(s.GetCapacity(), 512);
  s.SetLength(4095);
  EXPECT_EQ(s.GetCapacity(), 8192);
  s.SetLength(3);
  EXPECT_EQ(s.GetCapacity(), 8192);  // never shrinks
  CWideString e;
  e.Assign(u"");
  EXPECT_EQ(e.GetCapacity(), 256);
  EXPECT_EQ(e.GetLength(), 0);
  CWideString r;
  r.Reserve(300);
  EXPECT_EQ(r.GetCapacity(), 512);
  CheckInvariants(r);
  r.Reserve(10);
  EXPECT_EQ(r.GetCapacity(), 512);
}

TEST(CWideString, CapacityAtEachStepBoundary) {
  // {length, capacity when set at once on a fresh string, capacity when
  // grown one character at a time}: each request is length + 1 units.
  const i32 table[][3] = {{0, 256, 256},       {254, 256, 256},     {255, 512, 256},     {510, 512, 512},
                          {511, 1024, 512},    {1022, 1024, 1024},  {1023, 2048, 1024},  {2046, 2048, 2048},
                          {2047, 4096, 2048},  {4094, 4096, 4096},  {4095, 8192, 4096},  {8190, 8192, 8192},
                          {8191, 12288, 8192}, {8192, 12288, 12288}};
  for (const auto& row : table) {
    CWideString s;
    ASSERT_NE(s.SetLength(row[0]), nullptr);
    EXPECT_EQ(s.GetCapacity(), row[1]) << row[0];
    CWideString grown;
    grown.SetLength(0);
    for (i32 i = 0; i < row[0]; ++i) grown.AppendChar(u'x');
    EXPECT_EQ(grown.GetCapacity(), row[2]) << row[0];
  }
}

TEST(CWideString, RefusedLengthsNeverWrite) {
  CWideString s(u"hello");
  i32 cap = s.GetCapacity();
  EXPECT_EQ(s.SetLength(-1), nullptr);
  EXPECT_EQ(s.SetLength(INT_MIN), nullptr);
  EXPECT_EQ(s.SetLength(INT_MAX), nullptr);  // cannot be allocated
  EXPECT_EQ(Ascii(s), "hello");
  EXPECT_EQ(s.GetCapacity(), cap);
  s.AssignChars(u"xyz", -1);
  EXPECT_EQ(s.GetLength(), 0);
  CheckInvariants(s);
  s.Assign(u"abc");
  s.AppendChars(u"xyz", -1);
  s.AppendChars(u"xyz", INT_MIN);
  s.InsertChars(1, u"xyz", -7);
  s.Erase(-1, 2);
  s.Erase(1, -2);
  EXPECT_EQ(Ascii(s), "abc");
  s.Reserve(-5);
  CheckInvariants(s);
}

TEST(CWideString, OverlongTextsAreCutAt4095) {
  std::u16string big = Repeat(u'q', 5000);
  CWideString s;
  s.Assign(big.c_str());
  EXPECT_EQ(s.GetLength(), 4095);
  CheckInvariants(s);
  s.Append(big.c_str());
  EXPECT_EQ(s.GetLength(), 8190);
  CheckInvariants(s);
  CWideString t(u"ab");
  t.Insert(1, big.c_str());
  ASSERT_EQ(t.GetLength(), 4097);
  EXPECT_EQ(t.At(0), u'a');
  EXPECT_EQ(t.At(4096), u'b');
  CheckInvariants(t);
  std::u16string exact = Repeat(u'w', 4096);
  CWideString u;
  u.Assign(exact.c_str());
  EXPECT_EQ(u.GetLength(), 4095);
}

TEST(CWideString, EditEdgeCases) {
  CWideString s(u"hello");
  s.Erase(5, 5);
  EXPECT_EQ(Ascii(s), "hello");
  s.Erase(2, 100);
  EXPECT_EQ(Ascii(s), "he");
  CWideString t(u"bc");
  t.InsertChar(-3, u'a');
  EXPECT_EQ(Ascii(t), "abc");
  t.InsertChar(t.GetLength(), u'd');
  EXPECT_EQ(Ascii(t), "abcd");
  t.InsertChar(INT_MAX, u'e');
  t.Insert(INT_MIN, u"<");
  t.Insert(99, u">");
  EXPECT_EQ(Ascii(t), "<abcde>");
  CWideString x(u"xxxx");
  x.TrimRight(u'x');
  EXPECT_EQ(x.GetLength(), 0);
  CheckInvariants(x);
  CWideString never;
  never.TrimRight(u'x');
  EXPECT_NE(never.GetBuffer(), nullptr);
  CheckInvariants(never);
  CWideString none;
  none.Erase(0, 3);
  none.AppendChars(u"abc", 0);
  none.Append(u"");
  none.Append(nullptr);
  EXPECT_EQ(none.GetBuffer(), nullptr);
  EXPECT_EQ(none.c_str()[0], 0);
}

TEST(CWideString, Searching) {
  CWideString s(u"abcabc");
  EXPECT_EQ(s.ReverseFind(u'a'), 3);
  EXPECT_EQ(s.ReverseFind(u'a', 2), 0);  // index 0 is examined
  EXPECT_EQ(s.ReverseFind(u'c', 100), 5);
  EXPECT_EQ(s.ReverseFind(u'c', -1), 5);
  EXPECT_EQ(s.ReverseFind(u'a', -2), -1);
  EXPECT_EQ(s.ReverseFind(u'z'), -1);
  CWideString only(u"/xyz");
  EXPECT_EQ(only.ReverseFind(u'/'), 0);
  CWideString empty;
  EXPECT_EQ(empty.ReverseFind(u'a'), -1);
  EXPECT_EQ(empty.FindChar(u'a'), -1);
  EXPECT_EQ(s.FindChar(u'b'), 1);
  EXPECT_EQ(s.FindChar(u'b', 2), 4);
  EXPECT_EQ(s.FindChar(u'b', 6), -1);
  EXPECT_EQ(s.FindChar(u'a', -4), 0);
}

TEST(CWideString, CopiesAndSelfReferences) {
  CWideString a(u"abcdef");
  CWideString b(a);
  EXPECT_NE(a.GetBuffer(), b.GetBuffer());
  EXPECT_EQ(Units(a), Units(b));
  CWideString& alias = a;
  a = alias;
  EXPECT_EQ(Ascii(a), "abcdef");
  CWideString empty;
  CWideString copy(empty);
  EXPECT_EQ(copy.GetLength(), 0);
  CheckInvariants(copy);
  // Sources inside the string itself, across a reallocation.
  CWideString s;
  s.SetLength(255);
  for (i32 i = 0; i < 255; ++i) s.GetBuffer()[i] = static_cast<wchar16>(u'A' + i % 26);
  std::u16string model = Units(s);
  s.AppendChars(s.GetBuffer() + 1, 200);
  model += model.substr(1, 200);
  EXPECT_EQ(Units(s), model);
  s.Insert(3, s.GetBuffer() + 400);
  model.insert(3, model.substr(400));
  EXPECT_EQ(Units(s), model);
  s.Append(s.GetBuffer());
  model += model;
  EXPECT_EQ(Units(s), model);
  s.Assign(s.GetBuffer() + 10);
  model = model.substr(10);
  EXPECT_EQ(Units(s), model);
  s.AssignChars(s.GetBuffer() + 2, 5);
  EXPECT_EQ(Units(s), model.substr(2, 5));
  CheckInvariants(s);
}

TEST(CWideString, ReleaseForgetsBuffer) {
  CWideString s(u"abc");
  s.Release();
  EXPECT_EQ(s.GetBuffer(), nullptr);
  EXPECT_EQ(s.GetCapacity(), 0);
  s.AppendAscii("xy");
  EXPECT_EQ(Ascii(s), "xy");
}

// ---- randomised operations against a model --------------------------------------

class RandomEdits {
 public:
  explicit RandomEdits(u32 seed) : rng_(seed) {}

  void Run(int steps) {
    for (int step = 0; step < steps; ++step) {
      Step(step);
      ASSERT_NO_FATAL_FAILURE(CheckInvariants(s_)) << "step " << step << " op " << lastOp_;
      ASSERT_EQ(s_.GetLength(), static_cast<i32>(model_.size())) << "step " << step << " op " << lastOp_;
      ASSERT_TRUE(Units(s_) == model_) << "step " << step << " op " << lastOp_;
      ASSERT_EQ(s_.GetCapacity(), capacity_) << "step " << step << " op " << lastOp_;
      if (model_.size() > 12000) {
        s_.Erase(100, INT_MAX);
        model_.resize(100);
      }
    }
  }

 private:
  i32 Uniform(i32 lo, i32 hi) { return std::uniform_int_distribution<i32>(lo, hi)(rng_); }

  // Positions and counts around the interesting spots, negative ones included.
  i32 Position() {
    i32 len = static_cast<i32>(model_.size());
    switch (Uniform(0, 9)) {
      case 0: return -1;
      case 1: return Uniform(-10, -2);
      case 2: return INT_MIN;
      case 3: return INT_MAX;
      case 4: return len;
      case 5: return len + Uniform(1, 5);
      default: return Uniform(0, len + 1);
    }
  }

  char16_t Char() { return static_cast<char16_t>(u'a' + Uniform(0, 3)); }

  // Zero-terminated texts: mostly short, sometimes at and over the cap.
  std::u16string Text() {
    size_t n;
    switch (Uniform(0, 19)) {
      case 0: n = 4095; break;
      case 1: n = 4096; break;
      case 2: n = static_cast<size_t>(Uniform(4097, 6000)); break;
      case 3: n = 0; break;
      default: n = static_cast<size_t>(Uniform(1, 40)); break;
    }
    std::u16string t;
    for (size_t i = 0; i < n; ++i) t += Char();
    return t;
  }

  static std::u16string Bounded(const std::u16string& t) { return t.size() >= 4096 ? t.substr(0, 4095) : t; }

  // The string was asked for its final length plus one unit.
  void Touch() { capacity_ = ExpectedCapacity(capacity_, static_cast<i64>(model_.size()) + 1); }

  void Step(int step) {
    i32 len = static_cast<i32>(model_.size());
    int op = Uniform(0, 16);
    lastOp_ = op;
    switch (op) {
      case 0: {  // SetLength
        i32 n = Uniform(0, 4) == 0 ? -Uniform(1, 3) : Uniform(0, len + 30);
        if (Uniform(0, 30) == 0) n = 4095 + Uniform(0, 2);
        i32 oldCap = s_.GetCapacity();
        wchar16* p = s_.SetLength(n);
        if (n < 0) {
          ASSERT_EQ(p, nullptr);
          return;
        }
        ASSERT_EQ(p, s_.GetBuffer());
        if (n <= len) {
          model_.resize(static_cast<size_t>(n));
        } else {
          // Units past the old length are whatever the buffer held: zero when
          // the storage was just allocated.
          for (i32 i = len; i < n; ++i) {
            if (s_.GetCapacity() != oldCap) {
              ASSERT_EQ(p[i], 0);
            }
            model_ += static_cast<char16_t>(p[i]);
          }
        }
        Touch();
        return;
      }
      case 1: {  // Reserve
        i32 n = Uniform(-3, 3000);
        s_.Reserve(n);
        if (n > 0) capacity_ = ExpectedCapacity(capacity_, n);
        return;
      }
      case 2: {  // AssignChars, zeros inside allowed
        std::u16string t = Text();
        if (!t.empty() && Uniform(0, 3) == 0) t[static_cast<size_t>(Uniform(0, static_cast<i32>(t.size()) - 1))] = 0;
        i32 n = Uniform(0, 5) == 0 ? -Uniform(1, 9) : static_cast<i32>(t.size());
        bool null = Uniform(0, 15) == 0;
        s_.AssignChars(null ? nullptr : t.data(), n);
        model_ = (null || n < 0) ? std::u16string() : t.substr(0, static_cast<size_t>(n));
        Touch();
        return;
      }
      case 3: {  // Assign
        std::u16string t = Text();
        bool null = Uniform(0, 15) == 0;
        s_.Assign(null ? nullptr : t.c_str());
        model_ = null ? std::u16string() : Bounded(t);
        Touch();
        return;
      }
      case 4: {  // AppendChar
        char16_t c = Char();
        s_.AppendChar(c);
        model_ += c;
        Touch();
        return;
      }
      case 5: {  // AppendChars
        std::u16string t = Text();
        i32 n = Uniform(0, 5) == 0 ? -Uniform(1, 9) : Uniform(0, static_cast<i32>(t.size()));
        s_.AppendChars(t.data(), n);
        if (n > 0) {
          model_ += t.substr(0, static_cast<size_t>(n));
          Touch();
        }
        return;
      }
      case 6: {  // Append
        std::u16string t = Text();
        s_.Append(t.c_str());
        if (!t.empty()) {
          model_ += Bounded(t);
          Touch();
        }
        return;
      }
      case 7: {  // InsertChar
        i32 pos = Position();
        char16_t c = Char();
        s_.InsertChar(pos, c);
        model_.insert(static_cast<size_t>(pos < 0 ? 0 : (pos > len ? len : pos)), 1, c);
        Touch();
        return;
      }
      case 8: {  // Insert
        i32 pos = Position();
        std::u16string t = Text();
        s_.Insert(pos, t.c_str());
        if (!t.empty()) {
          model_.insert(static_cast<size_t>(pos < 0 ? 0 : (pos > len ? len : pos)), Bounded(t));
          Touch();
        }
        return;
      }
      case 9: {  // Erase
        i32 pos = Position();
        i32 count = Uniform(0, 4) == 0 ? Position() : Uniform(0, 50);
        s_.Erase(pos, count);
        if (pos >= 0 && count > 0 && pos < len) model_.erase(static_cast<size_t>(pos), static_cast<size_t>(count));
        return;
      }
      case 10: {  // TrimRight
        char16_t c = Char();
        s_.TrimRight(c);
        while (!model_.empty() && model_.back() == c) model_.pop_back();
        Touch();
        return;
      }
      case 11: {  // ReverseFind
        i32 start = Position();
        char16_t c = Char();
        i32 expected = -1;
        if (!model_.empty() && start >= -1) {
          size_t from = (start == -1 || start >= len) ? std::u16string::npos : static_cast<size_t>(start);
          size_t at = model_.rfind(c, from);
          expected = at == std::u16string::npos ? -1 : static_cast<i32>(at);
        }
        ASSERT_EQ(s_.ReverseFind(c, start), expected) << "step " << step;
        return;
      }
      case 12: {  // FindChar
        i32 start = Position();
        char16_t c = Char();
        size_t at = model_.find(c, static_cast<size_t>(start < 0 ? 0 : start));
        ASSERT_EQ(s_.FindChar(c, start), at == std::u16string::npos ? -1 : static_cast<i32>(at)) << "step " << step;
        return;
      }
      case 13: {  // AppendChars from the string itself
        if (len == 0) return;
        i32 from = Uniform(0, len - 1);
        i32 n = Uniform(1, len - from);
        s_.AppendChars(s_.GetBuffer() + from, n);
        model_ += model_.substr(static_cast<size_t>(from), static_cast<size_t>(n));
        Touch();
        return;
      }
      case 14: {  // Insert from the string itself
        if (len == 0) return;
        i32 from = Uniform(0, len - 1);
        i32 pos = Position();
        std::u16string text = Bounded(model_.substr(static_cast<size_t>(from)));
        text = text.substr(0, text.find(u'\0'));
        s_.Insert(pos, s_.GetBuffer() + from);
        if (!text.empty()) {
          model_.insert(static_cast<size_t>(pos < 0 ? 0 : (pos > len ? len : pos)), text);
          Touch();
        }
        return;
      }
      case 15: {  // copy construction and assignment
        CWideString copy(s_);
        ASSERT_TRUE(Units(copy) == model_);
        CWideString other(u"zz");
        other = s_;
        ASSERT_TRUE(Units(other) == model_);
        ASSERT_NO_FATAL_FAILURE(CheckInvariants(other));
        s_ = copy;
        Touch();
        return;
      }
      default: {  // AppendInt mixed into the text
        i32 v = Uniform(INT_MIN, INT_MAX);
        s_.AppendInt(v);
        char digits[16];
        std::snprintf(digits, sizeof digits, "%d", v);
        const char* p = digits;
        if (*p == '-') {  // the sign is appended on its own
          model_ += u'-';
          Touch();
          ++p;
        }
        for (; *p; ++p) model_ += static_cast<char16_t>(*p);
        Touch();
        return;
      }
    }
  }

  std::mt19937 rng_;
  CWideString s_;
  std::u16string model_;
  i32 capacity_ = 0;
  int lastOp_ = -1;
};

TEST(CWideString, RandomOperationsMatchModel) {
  for (u32 seed : {1u, 2u, 3u, 77u, 2024u}) {
    SCOPED_TRACE(seed);
    RandomEdits edits(seed);
    ASSERT_NO_FATAL_FAILURE(edits.Run(6000));
  }
}

// ---- number formatting ----------------------------------------------------------------

std::string Int(i32 v) {
  CWideString s;
  s.AppendInt(v);
  return Ascii(s);
}

TEST(NumberFormatting, IntegersMatchPrintf) {
  std::mt19937 rng(5);
  std::vector<i64> values = {0, 1, -1, 9, 10, -10, 99, 100, INT_MAX, INT_MIN, INT_MIN + 1};
  for (int i = 0; i < 2000; ++i) values.push_back(static_cast<i32>(rng()));
  char buf[32];
  for (i64 v : values) {
    std::snprintf(buf, sizeof buf, "%d", static_cast<int>(v));
    EXPECT_EQ(Int(static_cast<i32>(v)), buf);
    CWideString u;
    u.AppendUInt(static_cast<u32>(v));
    std::snprintf(buf, sizeof buf, "%u", static_cast<unsigned>(static_cast<u32>(v)));
    EXPECT_EQ(Ascii(u), buf);
    u64 wide = (static_cast<u64>(rng()) << 32) | rng();
    CWideString w;
    w.AppendUInt64(wide);
    std::snprintf(buf, sizeof buf, "%llu", static_cast<unsigned long long>(wide));
    EXPECT_EQ(Ascii(w), buf);
  }
  CWideString m;
  m.AppendUInt64(~0ull);
  EXPECT_EQ(Ascii(m), "18446744073709551615");
  EXPECT_EQ(Int(INT_MIN), "-2147483648");
}

TEST(NumberFormatting, CountAndFormatDecimal) {
  std::mt19937 rng(9);
  char buf[32];
  for (int i = 0; i < 2000; ++i) {
    i32 v = static_cast<i32>(rng() >> (1 + rng() % 31));
    std::snprintf(buf, sizeof buf, "%d", v);
    EXPECT_EQ(CountDecimalDigits(v), v == 0 ? 0 : static_cast<i32>(std::string(buf).size()));
    wchar16 out[11];
    FormatDecimal(v, out);
    std::string text;
    for (wchar16* p = out; *p; ++p) text += static_cast<char>(*p);
    EXPECT_EQ(text, buf);
  }
  EXPECT_EQ(CountDecimalDigits(INT_MIN), 10);
  EXPECT_EQ(CountDecimalDigits(-7), 1);
  wchar16 out[11];
  FormatDecimal(INT_MIN, out);  // magnitude, within the 11 units
  EXPECT_EQ(out[10], 0);
}

std::string Hex(u32 v, i32 width, u8 flags) {
  CWideString s;
  s.AppendHex(HexFormat{v, width, flags});
  return Ascii(s);
}

TEST(NumberFormatting, Hex) {
  EXPECT_EQ(Hex(255, 0, 0), "ff");
  EXPECT_EQ(Hex(10, 4, 1), "000a");
  EXPECT_EQ(Hex(0, 2, 1), "00");
  EXPECT_EQ(Hex(0, 0, 1), "");
  EXPECT_EQ(Hex(0, 0, 0), "0");
  EXPECT_EQ(Hex(0, 5, 0), "0");
  CWideString huge(u"x");
  huge.AppendHex(HexFormat{1, INT_MAX, 1});  // a width that cannot be stored adds nothing
  huge.AppendDecimal(DecimalFormat{1, 0, INT_MAX, 0, 1});
  EXPECT_EQ(Ascii(huge), "x11");
  std::mt19937 rng(11);
  char buf[64];
  for (int i = 0; i < 2000; ++i) {
    u32 v = rng() >> (rng() % 32);
    i32 width = static_cast<i32>(rng() % 14) - 2;
    std::snprintf(buf, sizeof buf, "%x", v);
    EXPECT_EQ(Hex(v, width, 0), buf);
    if (v != 0) {
      std::snprintf(buf, sizeof buf, "%0*x", width < 0 ? 0 : width, v);
      EXPECT_EQ(Hex(v, width, 1), buf);
    }
  }
}

std::string Decimal(i32 integer, i32 fraction, i32 width, i32 digits, u8 flags) {
  CWideString s;
  s.AppendDecimal(DecimalFormat{integer, fraction, width, digits, flags});
  return Ascii(s);
}

TEST(NumberFormatting, DecimalVectors) {
  EXPECT_EQ(Decimal(0, 0, 2, 0, 1), "00");
  EXPECT_EQ(Decimal(0, 7, 2, 2, 1), "00");  // a zero integer field prints only its zeros
  EXPECT_EQ(Decimal(7, 0, 2, 0, 1), "07");
  EXPECT_EQ(Decimal(12, 0, 2, 0, 1), "12");
  EXPECT_EQ(Decimal(2024, 0, 2, 0, 1), "2024");
  EXPECT_EQ(Decimal(3, 5, 0, 2, 0), "3.05");
  EXPECT_EQ(Decimal(3, 50, 0, 2, 0), "3.5");
  EXPECT_EQ(Decimal(1, 5, 0, 2, 2), "1.05");
  EXPECT_EQ(Decimal(1, 10, 0, 2, 2), "1.10");
  EXPECT_EQ(Decimal(1, 50, 0, 2, 2), "1.50");
  EXPECT_EQ(Decimal(-5, 0, 3, 0, 1), "-005");
  EXPECT_EQ(Decimal(INT_MIN, 0, 0, 0, 0), "-2147483648");
  EXPECT_EQ(Decimal(0, 25, 0, 3, 0), "0.025");
}

// The expected text built from the number record with printf.
std::string DecimalReference(i32 integer, i32 fraction, i32 width, i32 digits, u8 flags) {
  char buf[64];
  std::string out;
  if (flags & 1) {
    if (integer == 0) return std::string(width > 0 ? static_cast<size_t>(width) : 0, '0');
    // The width counts digits only; the sign goes before the zeros.
    std::snprintf(buf, sizeof buf, "%s%0*lld", integer < 0 ? "-" : "", width < 1 ? 1 : width,
                  std::llabs(static_cast<long long>(integer)));
    out = buf;
  } else {
    std::snprintf(buf, sizeof buf, "%d", integer);
    out = buf;
  }
  if (fraction == 0) return out;
  std::snprintf(buf, sizeof buf, "%0*d", digits < 1 ? 1 : digits, fraction);
  std::string f = buf;
  if (!(flags & 2))
    while (f.size() > 1 && f.back() == '0') f.pop_back();
  return out + "." + f;
}

TEST(NumberFormatting, DecimalMatchesPrintf) {
  std::mt19937 rng(13);
  for (int i = 0; i < 5000; ++i) {
    i32 integer = static_cast<i32>(rng() % 3 == 0 ? 0 : static_cast<i32>(rng() >> (rng() % 32)));
    if (rng() % 4 == 0) integer = -integer;
    i32 digits = static_cast<i32>(rng() % 10);
    i32 fraction = rng() % 3 == 0 ? 0 : static_cast<i32>(rng() % 1000000000u) >> (rng() % 30);
    i32 width = static_cast<i32>(rng() % 8);
    u8 flags = static_cast<u8>(rng() % 4);
    ASSERT_EQ(Decimal(integer, fraction, width, digits, flags), DecimalReference(integer, fraction, width, digits, flags))
        << integer << " " << fraction << " " << width << " " << digits << " " << int(flags);
  }
}

TEST(SplitFixedPoint, RoundsHalfUpAndCarriesAtTheLimit) {
  DecimalFormat f = SplitFixedPoint(1.0498046875, 2, true);
  EXPECT_EQ(f.integer, 1);
  EXPECT_EQ(f.fraction, 5);
  EXPECT_EQ(f.fractionDigits, 2);
  EXPECT_EQ(f.flags, 2);
  EXPECT_EQ(f.width, 0);
  f = SplitFixedPoint(0.095, 2, false);  // 9.5 hundredths round to 10, no carry
  EXPECT_EQ(f.integer, 0);
  EXPECT_EQ(f.fraction, 10);
  EXPECT_EQ(f.flags, 0);
  f = SplitFixedPoint(1.996, 2, false);
  EXPECT_EQ(f.integer, 2);
  EXPECT_EQ(f.fraction, 0);
  f = SplitFixedPoint(2.5, 0, false);
  EXPECT_EQ(f.integer, 3);
  EXPECT_EQ(f.fraction, 0);
  f = SplitFixedPoint(0.1234567891, 12, false);  // digits clamped to 9
  EXPECT_EQ(f.fraction, 123456789);
  f = SplitFixedPoint(-3.5, 2, false);
  EXPECT_EQ(f.integer, 0);
  f = SplitFixedPoint(std::nan(""), 2, false);
  EXPECT_EQ(f.integer, 0);
  f = SplitFixedPoint(1e300, 2, false);
  EXPECT_EQ(f.integer, INT_MAX);
}

TEST(SplitFixedPoint, MatchesExactIntegerRounding) {
  // Values m / 2^s are exact in a double, so the rounding can be checked
  // with integers: fraction = round-half-up(frac * 10^d).
  std::mt19937 rng(17);
  for (int i = 0; i < 20000; ++i) {
    u32 s = rng() % 21;
    u64 m = rng() % (1ull << 30);
    i32 d = static_cast<i32>(rng() % 10);
    u64 pow10 = 1;
    for (i32 k = 0; k < d; ++k) pow10 *= 10;
    u64 denominator = 1ull << s;
    u64 whole = m >> s;
    u64 rest = m & (denominator - 1);
    u64 q = (rest * pow10 * 2 + denominator) / (denominator * 2);
    if (q == pow10) {
      ++whole;
      q = 0;
    }
    DecimalFormat f = SplitFixedPoint(std::ldexp(static_cast<double>(m), -static_cast<int>(s)), d, false);
    ASSERT_EQ(f.integer, static_cast<i32>(whole)) << m << "/2^" << s << " d=" << d;
    ASSERT_EQ(f.fraction, static_cast<i32>(q)) << m << "/2^" << s << " d=" << d;
  }
}

std::string ByteSize(double bytes) {
  CWideString s;
  s.AppendByteSize(bytes);
  return Ascii(s);
}

// Independent reference with integers: unit = the first power of 1024 that
// brings the value to 1023 or below (at most TB), hundredths rounded half up.
std::string ByteSizeReference(u64 bytes) {
  static const char* const kUnits[] = {"Bytes", "KB", "MB", "GB", "TB"};
  int unit = 0;
  u64 divisor = 1;
  while (unit < 4 && bytes > 1023 * divisor) {
    divisor *= 1024;
    ++unit;
  }
  // bytes stays below 2^53 (exact in a double), so bytes * 200 fits.
  u64 q = (bytes * 200 + divisor) / (divisor * 2);
  u64 whole = static_cast<u64>(q / 100);
  u64 hundredths = static_cast<u64>(q % 100);
  char buf[64];
  if (hundredths == 0)
    std::snprintf(buf, sizeof buf, "%llu %s", static_cast<unsigned long long>(whole), kUnits[unit]);
  else
    std::snprintf(buf, sizeof buf, "%llu.%02llu %s", static_cast<unsigned long long>(whole),
                  static_cast<unsigned long long>(hundredths), kUnits[unit]);
  return buf;
}

TEST(ByteSize, Vectors) {
  EXPECT_EQ(ByteSize(0), "0 Bytes");
  EXPECT_EQ(ByteSize(1023), "1023 Bytes");
  EXPECT_EQ(ByteSize(1024), "1 KB");
  EXPECT_EQ(ByteSize(1536), "1.50 KB");
  EXPECT_EQ(ByteSize(1075), "1.05 KB");
  EXPECT_EQ(ByteSize(1122), "1.10 KB");
  EXPECT_EQ(ByteSize(1048576), "1 MB");
  EXPECT_EQ(ByteSize(-1536), "-1.50 KB");
  EXPECT_EQ(ByteSize(1099511627776.0 * 4096), "4096 TB");
  EXPECT_EQ(ByteSize(INFINITY), "2147483647 TB");  // ends instead of looping
}

TEST(ByteSize, MatchesIntegerReference) {
  std::mt19937_64 rng(19);
  std::vector<u64> values;
  for (u64 unit = 1; unit <= (1ull << 40); unit <<= 10)
    for (u64 k : {1ull, 2ull, 1022ull, 1023ull, 1024ull, 1025ull})
      for (i64 delta = -3; delta <= 3; ++delta)
        if (static_cast<i64>(k * unit) + delta >= 0) values.push_back(static_cast<u64>(static_cast<i64>(k * unit) + delta));
  for (int i = 0; i < 20000; ++i) values.push_back(rng() >> (rng() % 64) >> 11);
  for (u64 v : values) ASSERT_EQ(ByteSize(static_cast<double>(v)), ByteSizeReference(v)) << v;
}

TEST(FindFileNamePart, Separators) {
  const wchar16* path = u"C:\\dir/sub\\file.iso";
  EXPECT_EQ(FindFileNamePart(path), path + 11);
  const wchar16* plain = u"file";
  EXPECT_EQ(FindFileNamePart(plain), plain);
  const wchar16* trailing = u"C:\\dir\\";
  EXPECT_EQ(FindFileNamePart(trailing), trailing + 7);
  EXPECT_EQ(FindFileNamePart(nullptr), nullptr);
  std::u16string longPath = u"C:\\" + Repeat(u'a', 300);
  EXPECT_EQ(FindFileNamePart(longPath.c_str()), longPath.c_str());  // too long: whole path
  std::u16string edge = u"C:\\" + Repeat(u'a', 256);                 // 259 units
  EXPECT_EQ(FindFileNamePart(edge.c_str()), edge.c_str() + 3);
}

}  // namespace
