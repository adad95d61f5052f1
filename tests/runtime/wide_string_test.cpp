// CWideString against a std::u16string model under random edits, and the
// number formatting against printf and exact integer references.
#include <gtest/gtest.h>

#include <climits>
#include <cstdarg>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "runtime/wide_string.h"

namespace {

std::u16string Units(const CWideString& s) {
  return s.GetBuffer() ? std::u16string(s.GetBuffer(), static_cast<size_t>(s.GetLength())) : std::u16string();
}

std::string Ascii(const CWideString& s) { return std::string(s.c_str(), s.c_str() + s.GetLength()); }

// The capacity after asking for `units` with `capacity` at hand: 256, 512,
// 1024, 2048, then the next multiple of 4096 strictly above; never shrinks.
i32 ExpectedCapacity(i32 capacity, i64 units) {
  if (units <= capacity) return capacity;
  for (i32 step : {256, 512, 1024, 2048})
    if (units < step) return step;
  return static_cast<i32>((units / 4096 + 1) * 4096);
}

TEST(GetStringLength, CapTable) {
  const std::u16string x4095(4095, u'x'), x4096(4096, u'x');
  const struct {
    const char16_t* text;
    i32 cap, length;
  } rows[] = {{nullptr, 4096, 0},       {u"", 4096, 0},       {u"abc", 4096, 3}, {u"abc", 3, -1},
              {u"abc", 4, 3},           {x4095.c_str(), 4096, 4095}, {x4096.c_str(), 4096, -1}};
  for (const auto& r : rows) EXPECT_EQ(GetStringLength(r.text, r.cap), r.length) << r.cap;
}

// Random edits at and around every boundary (negative and extreme positions
// and counts, texts at and over the 4096 cap, sources inside the string
// itself), each followed by a check of the text, the capacity step and the
// terminating zero against the model.
class RandomEdits {
 public:
  explicit RandomEdits(u32 seed) : rng_(seed) {}

  void Run(int steps) {
    for (int step = 0; step < steps; ++step) {
      Step();
      SCOPED_TRACE(testing::Message() << "step " << step << " op " << op_);
      if (!s_.GetBuffer()) {  // never assigned, or released
        ASSERT_TRUE(model_.empty() && s_.GetLength() == 0 && s_.GetCapacity() == 0 && capacity_ == 0);
        ASSERT_EQ(s_.c_str()[0], 0);
      } else {
        ASSERT_EQ(s_.GetBuffer()[s_.GetLength()], 0);
        ASSERT_TRUE(Units(s_) == model_);
        ASSERT_EQ(s_.GetCapacity(), capacity_);
      }
      if (model_.size() > 12000) {
        s_.Erase(100, INT_MAX);
        model_.resize(100);
      }
    }
  }

 private:
  i32 Uniform(i32 lo, i32 hi) { return std::uniform_int_distribution<i32>(lo, hi)(rng_); }
  i32 Len() const { return static_cast<i32>(model_.size()); }
  i32 Position() {
    static const i32 kFar[] = {-1, -7, INT_MIN, INT_MAX};
    const int kind = Uniform(0, 9);
    return kind < 4 ? kFar[kind] : kind == 4 ? Len() : kind == 5 ? Len() + Uniform(1, 5) : Uniform(0, Len() + 1);
  }
  size_t Clamped(i32 pos) const { return static_cast<size_t>(pos < 0 ? 0 : (pos > Len() ? Len() : pos)); }
  char16_t Char() { return static_cast<char16_t>(u'a' + Uniform(0, 3)); }
  // A size one below, at or one above a capacity step (units = size + 1).
  i32 StepSize() {
    static const i32 kSteps[] = {256, 512, 1024, 2048, 4096, 8192};
    return kSteps[Uniform(0, 5)] - 1 + Uniform(-1, 1);
  }
  std::u16string Text() {
    const int kind = Uniform(0, 19);
    std::u16string t(kind == 0   ? 4095
                     : kind == 1 ? 4096
                     : kind == 2 ? Uniform(4097, 6000)
                     : kind == 3 ? 0
                     : kind == 4 ? StepSize()
                                 : Uniform(1, 40),
                     u'a');
    for (char16_t& c : t) c = Char();
    return t;
  }
  // The string asked for its length plus one unit.
  void Touch() { capacity_ = ExpectedCapacity(capacity_, static_cast<i64>(model_.size()) + 1); }
  // Puts t into the model at `at` (replacing the text when `replace`); a
  // measured text counts as its first 4095 units when it reaches the cap.
  void Put(size_t at, const std::u16string& t, bool replace, bool measured = true) {
    if (replace) model_.clear();
    if (!replace && t.empty()) return;  // nothing appended: nothing allocated
    model_.insert(replace ? 0 : at, measured ? t.substr(0, 4095) : t);
    Touch();
  }

  void Step() {
    const i32 len = Len();
    const i32 pos = Position();
    std::u16string t = Text();
    const char16_t c = Char();
    op_ = Uniform(0, 15);
    switch (op_) {
      case 0: {  // SetLength: negative and unallocatable lengths are refused
        i32 n = Uniform(0, 4) == 0 ? (Uniform(0, 1) ? INT_MAX : -Uniform(1, 3)) : Uniform(0, len + 30);
        if (Uniform(0, 4) == 0) n = StepSize();
        const i32 oldCap = s_.GetCapacity();
        wchar16* p = s_.SetLength(n);
        ASSERT_EQ(p, n < 0 || n == INT_MAX ? nullptr : s_.GetBuffer());
        if (!p) return;
        for (i32 i = len; i < n; ++i) {  // fresh storage shows zeros, never stale bytes
          ASSERT_TRUE(s_.GetCapacity() == oldCap || p[i] == 0);
          model_ += static_cast<char16_t>(p[i]);
        }
        model_.resize(static_cast<size_t>(n));
        return Touch();
      }
      case 1: {
        const i32 n = Uniform(0, 1) ? StepSize() + 1 : Uniform(-3, 3000);
        s_.Reserve(n);
        if (n > 0) capacity_ = ExpectedCapacity(capacity_, n);
        return;
      }
      case 2:
      case 3: {  // counted texts: zeros inside are taken, a negative count is 0
        if (!t.empty() && Uniform(0, 3) == 0) t[static_cast<size_t>(Uniform(0, static_cast<i32>(t.size()) - 1))] = 0;
        const i32 n = Uniform(0, 5) == 0 ? (Uniform(0, 1) ? INT_MIN : -Uniform(1, 9)) : Uniform(0, static_cast<i32>(t.size()));
        const bool null = Uniform(0, 15) == 0;
        const std::u16string taken = null || n < 0 ? u"" : t.substr(0, static_cast<size_t>(n));
        if (op_ == 2)
          s_.AssignChars(null ? nullptr : t.data(), n);
        else
          s_.AppendChars(null ? nullptr : t.data(), n);
        return Put(model_.size(), taken, op_ == 2, false);
      }
      case 4: {  // measured texts
        const bool null = Uniform(0, 15) == 0;
        s_.Assign(null ? nullptr : t.c_str());
        return Put(0, null ? u"" : t, true);
      }
      case 5: {
        const std::string ascii(t.begin(), t.end());
        if (Uniform(0, 1))
          s_.Append(t.c_str());
        else
          s_.AppendAscii(ascii.c_str());
        return Put(model_.size(), t, false);
      }
      case 6:
        s_.Insert(pos, t.c_str());
        return Put(Clamped(pos), t, false);
      case 7:
        s_.InsertChar(pos, c);
        return Put(Clamped(pos), std::u16string(1, c), false);
      case 8: {
        const i32 count = Uniform(0, 4) == 0 ? Position() : Uniform(0, 50);
        s_.Erase(pos, count);
        if (pos >= 0 && count > 0 && pos < len) model_.erase(static_cast<size_t>(pos), static_cast<size_t>(count));
        return;
      }
      case 9:  // gives even a never-assigned string a buffer
        s_.TrimRight(c);
        while (!model_.empty() && model_.back() == c) model_.pop_back();
        return Touch();
      case 10: {
        i32 expected = -1;
        if (len > 0 && pos >= -1) {
          const size_t at = model_.rfind(c, pos == -1 || pos >= len ? std::u16string::npos : static_cast<size_t>(pos));
          expected = at == std::u16string::npos ? -1 : static_cast<i32>(at);
        }
        ASSERT_EQ(s_.ReverseFind(c, pos), expected);
        const size_t at = model_.find(c, static_cast<size_t>(pos < 0 ? 0 : pos));
        ASSERT_EQ(s_.FindChar(c, pos), at == std::u16string::npos ? -1 : static_cast<i32>(at));
        return;
      }
      case 11: {  // a part of the string itself as the source, across growth
        if (len == 0) return;
        const i32 from = Uniform(0, len - 1), n = Uniform(1, len - from);
        const std::u16string part = model_.substr(static_cast<size_t>(from));
        if (Uniform(0, 1)) {
          s_.AppendChars(s_.GetBuffer() + from, n);
          return Put(model_.size(), part.substr(0, n), false, false);
        }
        s_.Insert(pos, s_.GetBuffer() + from);
        return Put(Clamped(pos), part.substr(0, part.find(u'\0')), false);
      }
      case 12: {  // copies are deep; self-assignment keeps the text
        CWideString copy(s_), other(u"zz");
        ASSERT_TRUE(Units(copy) == model_ && (copy.GetBuffer() == nullptr || copy.GetBuffer() != s_.GetBuffer()));
        other = s_;
        ASSERT_TRUE(Units(other) == model_);
        CWideString& alias = s_;
        s_ = alias;
        s_ = copy;
        return Touch();
      }
      case 13:  // back to a string that never had storage
        if (Uniform(0, 2) == 0) {
          s_.Release();
          model_.clear();
          capacity_ = 0;
        }
        return;
      default: {  // decimal numbers, the sign appended on its own
        const i32 v = Uniform(INT_MIN, INT_MAX);
        s_.AppendInt(v);
        const std::string digits = std::to_string(v);
        if (v < 0) Put(model_.size(), u"-", false);
        return Put(model_.size(), std::u16string(digits.begin() + (v < 0), digits.end()), false);
      }
    }
  }

  std::mt19937 rng_;
  CWideString s_;
  std::u16string model_;
  i32 capacity_ = 0;
  int op_ = -1;
};

TEST(CWideString, RandomEditsMatchTheModel) {
  for (u32 seed : {1u, 2u, 3u, 77u, 2024u}) {
    SCOPED_TRACE(seed);
    RandomEdits edits(seed);
    ASSERT_NO_FATAL_FAILURE(edits.Run(6000));
  }
}

// ---- number formatting -------------------------------------------------------

template <class Append>
std::string Formatted(Append append) {
  CWideString s;
  append(s);
  return Ascii(s);
}

std::string Printf(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Printf(const char* format, ...) {
  char buffer[64];
  va_list args;
  va_start(args, format);
  std::vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  return buffer;
}

TEST(NumberFormatting, IntegersDigitsAndHexMatchPrintf) {
  std::mt19937 rng(5);
  std::vector<u32> values = {0, 1, 9, 10, 99, 100, 0x7FFFFFFFu, 0x80000000u, 0x80000001u, 0xFFFFFFFFu};
  for (int i = 0; i < 3000; ++i) values.push_back(rng() >> (rng() % 32));
  for (u32 u : values) {
    const i32 v = static_cast<i32>(u);
    const u64 wide = (static_cast<u64>(rng()) << 32) | u;
    EXPECT_EQ(Formatted([&](CWideString& s) { s.AppendInt(v); }), Printf("%d", v));
    EXPECT_EQ(Formatted([&](CWideString& s) { s.AppendUInt(u); }), Printf("%u", u));
    EXPECT_EQ(Formatted([&](CWideString& s) { s.AppendUInt64(wide); }), Printf("%llu", static_cast<unsigned long long>(wide)));
    const std::string magnitude = Printf("%lld", std::llabs(static_cast<long long>(v)));
    EXPECT_EQ(CountDecimalDigits(v), v == 0 ? 0 : static_cast<i32>(magnitude.size()));
    wchar16 out[11];
    FormatDecimal(v, out);
    EXPECT_EQ(std::string(out, out + GetStringLength(out, 11)), magnitude);
    const i32 width = static_cast<i32>(rng() % 14) - 2;
    EXPECT_EQ(Formatted([&](CWideString& s) { s.AppendHex(HexFormat{u, width, 0}); }), Printf("%x", u));
    EXPECT_EQ(Formatted([&](CWideString& s) { s.AppendHex(HexFormat{u, width, 1}); }),
              u == 0 ? std::string(width > 0 ? width : 0, '0') : Printf("%0*x", width < 0 ? 0 : width, u));
  }
  EXPECT_EQ(Formatted([](CWideString& s) { s.AppendUInt64(~0ull); }), "18446744073709551615");
  // Zero padding to a minimum of digits, at each digit edge and for widths
  // below, at and above the number's own digits.
  for (u64 v : {0ull, 9ull, 10ull, 99ull, 100ull, 4294967295ull, 4294967296ull, ~0ull}) {
    for (i32 width : {-1, 0, 1, 2, 3, 21}) {
      EXPECT_EQ(Formatted([&](CWideString& s) { s.AppendUIntPadded(v, width); }),
                Printf("%0*llu", width < 0 ? 0 : width, static_cast<unsigned long long>(v)))
          << v << " width " << width;
    }
  }
  // A padding width that cannot be stored adds nothing.
  EXPECT_EQ(Formatted([](CWideString& s) {
              s.AppendHex(HexFormat{1, INT_MAX, 1});
              s.AppendDecimal(DecimalFormat{1, 0, INT_MAX, 0, 1});
            }),
            "11");
}

// The text of a number record built with printf: flag 1 zero-pads the
// integer to the width (sign first; a zero integer prints only the zeros),
// a non-zero fraction follows zero-padded to its digits, its trailing zeros
// dropped without flag 2.
std::string DecimalReference(const DecimalFormat& f) {
  std::string out;
  if (f.flags & 1) {
    if (f.integer == 0) return std::string(f.width > 0 ? static_cast<size_t>(f.width) : 0, '0');
    out = Printf("%s%0*lld", f.integer < 0 ? "-" : "", f.width < 1 ? 1 : f.width, std::llabs(static_cast<long long>(f.integer)));
  } else {
    out = Printf("%d", f.integer);
  }
  if (f.fraction == 0) return out;
  std::string digits = Printf("%0*d", f.fractionDigits < 1 ? 1 : f.fractionDigits, f.fraction);
  if (!(f.flags & 2))
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  return out + "." + digits;
}

TEST(NumberFormatting, DecimalMatchesPrintf) {
  std::mt19937 rng(13);
  for (int i = 0; i < 6000; ++i) {
    DecimalFormat f;
    f.integer = rng() % 3 == 0 ? 0 : static_cast<i32>(rng() >> (rng() % 32));
    if (rng() % 4 == 0) f.integer = -f.integer;
    if (i == 0) f.integer = INT_MIN;
    f.fractionDigits = static_cast<i32>(rng() % 10);
    f.fraction = rng() % 3 == 0 ? 0 : static_cast<i32>(rng() % 1000000000u) >> (rng() % 30);
    f.width = static_cast<i32>(rng() % 8);
    f.flags = static_cast<u8>(rng() % 4);
    ASSERT_EQ(Formatted([&](CWideString& s) { s.AppendDecimal(f); }), DecimalReference(f))
        << f.integer << " " << f.fraction << " " << f.width << " " << f.fractionDigits << " " << int(f.flags);
  }
}

TEST(SplitFixedPoint, MatchesExactIntegerRounding) {
  // m / 2^s is exact in a double, so round-half-up of frac x 10^d can be
  // computed with integers, the carry into the integer part included.
  std::mt19937 rng(17);
  for (int i = 0; i < 20000; ++i) {
    const u32 s = rng() % 21;
    const u64 m = rng() % (1ull << 30);
    const i32 d = static_cast<i32>(rng() % 12);  // 10 and 11 count as 9
    u64 pow10 = 1;
    for (i32 k = 0; k < (d > 9 ? 9 : d); ++k) pow10 *= 10;
    const u64 denominator = 1ull << s;
    u64 whole = m >> s;
    u64 q = ((m & (denominator - 1)) * pow10 * 2 + denominator) / (denominator * 2);
    if (q == pow10) ++whole, q = 0;
    const bool keep = rng() % 2;
    DecimalFormat f = SplitFixedPoint(std::ldexp(static_cast<double>(m), -static_cast<int>(s)), d, keep);
    ASSERT_EQ(f.integer, static_cast<i32>(whole)) << m << "/2^" << s << " d=" << d;
    ASSERT_EQ(f.fraction, static_cast<i32>(q)) << m << "/2^" << s << " d=" << d;
    ASSERT_EQ(f.fractionDigits, d > 9 ? 9 : d);
    ASSERT_EQ(f.flags, keep ? 2 : 0);
    ASSERT_EQ(f.width, 0);
  }
  for (double bad : {-3.5, std::nan(""), -HUGE_VAL}) EXPECT_EQ(SplitFixedPoint(bad, 2, false).integer, 0);
  EXPECT_EQ(SplitFixedPoint(1e300, 2, false).integer, INT_MAX);
}

// Integer reference: the first power of 1024 that brings the value to 1023
// or below (TB at most), hundredths rounded half up, zero hundredths dropped.
std::string ByteSizeReference(u64 bytes) {
  static const char* const kUnits[] = {"Bytes", "KB", "MB", "GB", "TB"};
  int unit = 0;
  u64 divisor = 1;
  while (unit < 4 && bytes > 1023 * divisor) divisor *= 1024, ++unit;
  const u64 q = (bytes * 200 + divisor) / (divisor * 2);  // bytes < 2^53
  if (q % 100 == 0) return Printf("%llu %s", static_cast<unsigned long long>(q / 100), kUnits[unit]);
  return Printf("%llu.%02llu %s", static_cast<unsigned long long>(q / 100), static_cast<unsigned long long>(q % 100),
                kUnits[unit]);
}

TEST(ByteSize, MatchesTheIntegerReference) {
  std::mt19937_64 rng(19);
  std::vector<u64> values;
  for (u64 unit = 1; unit <= (1ull << 40); unit <<= 10)
    for (u64 k : {1ull, 2ull, 1022ull, 1023ull, 1024ull, 1025ull})
      for (i64 delta = -3; delta <= 3; ++delta)
        if (static_cast<i64>(k * unit) + delta >= 0) values.push_back(static_cast<u64>(static_cast<i64>(k * unit) + delta));
  for (int i = 0; i < 20000; ++i) values.push_back(rng() >> (rng() % 64) >> 11);
  for (u64 v : values)
    ASSERT_EQ(Formatted([&](CWideString& s) { s.AppendByteSize(static_cast<double>(v)); }), ByteSizeReference(v)) << v;
  EXPECT_EQ(Formatted([](CWideString& s) { s.AppendByteSize(-1536); }), "-1.50 KB");
  EXPECT_EQ(Formatted([](CWideString& s) { s.AppendByteSize(1099511627776.0 * 4096); }), "4096 TB");
  EXPECT_EQ(Formatted([](CWideString& s) { s.AppendByteSize(INFINITY); }), "2147483647 TB");  // ends
}

TEST(FindFileNamePart, SeparatorsAndTheCap) {
  const std::u16string longPath = u"C:\\" + std::u16string(300, u'a'), edge = u"C:\\" + std::u16string(256, u'a');
  const struct {
    const char16_t* path;
    i32 nameAt;
  } rows[] = {{u"C:\\dir/sub\\file.iso", 11}, {u"file", 0}, {u"C:\\dir\\", 7},
              {longPath.c_str(), 0},  // 260 units or more: the whole path
              {edge.c_str(), 3}};
  for (const auto& r : rows) EXPECT_EQ(FindFileNamePart(r.path), r.path + r.nameAt) << r.nameAt;
  EXPECT_EQ(FindFileNamePart(nullptr), nullptr);
}

}  // namespace
