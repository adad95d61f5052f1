// Locale-aware comparisons and UTF-8 conversion through the system.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "runtime/wide_string.h"

namespace {

std::u16string Units(const CWideString& s) {
  return s.GetBuffer() ? std::u16string(s.GetBuffer(), static_cast<size_t>(s.GetLength())) : std::u16string();
}

TEST(WideStringCompare, ResultsTable) {
  const CWideString disc(u"Disc Image"), track(u"Track01.WAV"), never, a(u"a");
  const std::u16string big(5000, u'k'), bigUpper(5000, u'K');
  std::u16string bigOther = big;
  bigOther[4800] = u'z';
  CWideString bigString;
  bigString.AppendChars(big.data(), 5000);
  const struct {
    const char* what;
    i32 got, want;
  } rows[] = {
      {"-1 runs to the zero", disc.Compare(u"Disc Image", -1), 0},
      {"longer", disc.Compare(u"Disc", 4), 1},
      {"smaller", disc.Compare(u"Zeta", 4), -1},
      {"Equals has case", disc.Equals(u"disc image"), 0},
      {"Equals shorter", disc.Equals(u"Disc Imag"), 0},
      {"Equals longer", disc.Equals(u"Disc Images"), 0},
      {"no case", track.CompareNoCase(u"track01.wav"), 0},
      {"no case below", track.CompareNoCase(u"TRACK02.wav"), -1},
      {"counted lengths", CompareText(u"abcX", 3, u"abcY", 3), 0},
      {"ansi no case", CompareAnsiTextNoCase("Vendor", 6, "VENDOR", -1), 0},
      {"never assigned as empty", never.Compare(nullptr, 0), 0},
      {"never assigned equals empty", never.Equals(u""), 1},
      {"never assigned below a", never.Compare(u"a", 1), -1},
      {"null as empty", a.Compare(nullptr, 0), 1},
      {"null strings", CompareWideStrings(nullptr, u""), 0},
      {"count below -1 fails", disc.Compare(u"Disc", -2), -2},
      {"text count fails", CompareText(u"abc", -5, u"abc", 3), -2},
      {"no case count fails", CompareTextNoCase(u"abc", 3, u"abc", -7), -2},
      {"ansi count fails", CompareAnsiTextNoCase("abc", -3, "abc", 3), -2},
      {"over-long equal", bigString.Equals(big.c_str()), 1},
      {"over-long no case", bigString.CompareNoCase(bigUpper.c_str()), 0},
      {"over-long differs late", bigString.Equals(bigOther.c_str()), 0},
      {"over-long compared to the end", CompareWideStrings(big.c_str(), bigOther.c_str()), -1},
  };
  for (const auto& r : rows) EXPECT_EQ(r.got, r.want) << r.what;
}

// Code points encoded as UTF-8 and UTF-16, independently of the system.
void Encode(char32_t cp, std::string* utf8, std::u16string* utf16) {
  const int n = cp < 0x80 ? 1 : cp < 0x800 ? 2 : cp < 0x10000 ? 3 : 4;
  static const unsigned char kLead[] = {0, 0, 0xC0, 0xE0, 0xF0};
  for (int k = n - 1; k >= 0; --k) {
    const unsigned bits = (cp >> (6 * k)) & 0x3F;
    *utf8 += static_cast<char>(k == n - 1 ? (n == 1 ? cp : kLead[n] | (cp >> (6 * k))) : 0x80 | bits);
  }
  if (cp < 0x10000) {
    *utf16 += static_cast<char16_t>(cp);
  } else {
    *utf16 += static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
    *utf16 += static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
  }
}

TEST(WideStringUtf8, RoundTripOfRandomCodePoints) {
  std::mt19937 rng(29);
  for (int i = 0; i < 500; ++i) {
    std::string utf8;
    std::u16string expected;
    for (int k = 1 + static_cast<int>(rng() % 30); k > 0; --k) {
      static const char32_t kFrom[] = {0x20, 0x80, 0x800, 0x10000}, kCount[] = {0x5F, 0x780, 0xD800 - 0x800, 0x100000};
      const int band = static_cast<int>(rng() % 4);
      Encode(kFrom[band] + rng() % kCount[band], &utf8, &expected);
    }
    const i32 n = static_cast<i32>(utf8.size());
    CWideString s(u"old");
    s.AssignUtf8(utf8.data(), n);
    ASSERT_TRUE(Units(s) == expected) << utf8;
    ASSERT_EQ(s.GetBuffer()[s.GetLength()], 0);
    ASSERT_EQ(Utf8ToWide(utf8.data(), n, nullptr, 0), static_cast<i32>(expected.size()));
    CWideString t(u"x");
    t.AppendUtf8(utf8.data(), n);
    ASSERT_TRUE(Units(t) == u"x" + expected);
  }
}

TEST(WideStringUtf8, InvalidSequencesBecomeReplacementCharacters) {
  // Each is "a", a bad sequence, then "b" (or the end).
  const char* const cases[] = {"a\xFF" "b", "a\x80" "b", "a\xC3", "a\xE2\x82" "b", "a\xED\xA0\x80" "b",
                               "a\xC0\xAF" "b", "a\xF4\x90\x80\x80" "b"};
  for (const char* bytes : cases) {
    const std::string text(bytes);
    CWideString s;
    s.AssignUtf8(bytes, static_cast<i32>(text.size()));
    const std::u16string got = Units(s);
    const size_t tail = text.back() == 'b' ? 1 : 0;
    ASSERT_GE(got.size(), 2 + tail) << text;
    EXPECT_EQ(got.front(), u'a') << text;
    EXPECT_EQ(got.back(), tail ? u'b' : 0xFFFD) << text;
    for (size_t k = 1; k + tail < got.size(); ++k) EXPECT_EQ(got[k], 0xFFFD) << text;
  }
}

TEST(WideStringUtf8, NothingGivenKeepsTheTextAndBoundsAreChecked) {
  CWideString s(u"keep");
  s.AssignUtf8("abc", 0);
  s.AssignUtf8("abc", -1);
  s.AssignUtf8(nullptr, 3);
  s.AppendUtf8("abc", 0);
  s.AppendUtf8(nullptr, 4);
  s.AppendUtf8("abc", -1);
  EXPECT_TRUE(s.Equals(u"keep"));
  s.AssignUtf8("a\0b", 3);  // zeros inside are copied as given
  EXPECT_TRUE(Units(s) == std::u16string(u"a\0b", 3));
  wchar16 out[8] = {};
  EXPECT_EQ(Utf8ToWide("h\xC3\xA9llo", 6, out, 8), 5);
  EXPECT_EQ(out[1], 0xE9);
  const struct {
    const char* bytes;
    i32 n;
    wchar16* out;
    i32 outLen;
  } refused[] = {{"h\xC3\xA9llo", 6, out, 3}, {"abc", 3, nullptr, 4}, {"abc", 3, out, -1}, {nullptr, 3, out, 8}};
  for (const auto& r : refused) EXPECT_EQ(Utf8ToWide(r.bytes, r.n, r.out, r.outLen), 0) << r.outLen;
  wchar16 text[] = u"disc \u00e9t\u00e9 1";
  UpperCaseText(text);
  EXPECT_TRUE(std::u16string(text) == u"DISC \u00c9T\u00c9 1");
  UpperCaseText(nullptr);
}

}  // namespace
