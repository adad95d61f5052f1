#include <gtest/gtest.h>

#include <random>
#include <string>

#include "runtime/wide_string.h"

namespace {

std::u16string Units(const CWideString& s) {
  return s.GetBuffer() ? std::u16string(s.GetBuffer(), static_cast<size_t>(s.GetLength())) : std::u16string();
}

// Encodes code points as UTF-8 and as UTF-16, independently of the system.
void Encode(char32_t cp, std::string* utf8, std::u16string* utf16) {
  if (cp < 0x80) {
    *utf8 += static_cast<char>(cp);
  } else if (cp < 0x800) {
    *utf8 += static_cast<char>(0xC0 | (cp >> 6));
    *utf8 += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    *utf8 += static_cast<char>(0xE0 | (cp >> 12));
    *utf8 += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    *utf8 += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    *utf8 += static_cast<char>(0xF0 | (cp >> 18));
    *utf8 += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    *utf8 += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    *utf8 += static_cast<char>(0x80 | (cp & 0x3F));
  }
  if (cp < 0x10000) {
    *utf16 += static_cast<char16_t>(cp);
  } else {
    *utf16 += static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
    *utf16 += static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
  }
}

TEST(WideStringCompare, EqualsIsCaseSensitive) {
  CWideString s(u"Disc Image");
  EXPECT_TRUE(s.Equals(u"Disc Image"));
  EXPECT_FALSE(s.Equals(u"disc image"));
  EXPECT_FALSE(s.Equals(u"Disc Imag"));
  EXPECT_FALSE(s.Equals(u"Disc Images"));
  EXPECT_EQ(s.Compare(u"Disc Image", 10), 0);
  EXPECT_EQ(s.Compare(u"Disc Image", -1), 0);  // -1: up to the terminating zero
  EXPECT_EQ(s.Compare(u"Disc", 4), 1);
  EXPECT_EQ(s.Compare(u"Zeta", 4), -1);
}

TEST(WideStringCompare, CompareNoCaseIgnoresCase) {
  CWideString s(u"Track01.WAV");
  EXPECT_EQ(s.CompareNoCase(u"track01.wav"), 0);
  EXPECT_EQ(s.CompareNoCase(u"TRACK02.wav"), -1);
  EXPECT_EQ(s.CompareNoCase(u"track00.wav"), 1);
  EXPECT_EQ(CompareTextNoCase(u"abc", 3, u"ABD", 3), -1);
  EXPECT_EQ(CompareTextNoCase(u"ABC", 3, u"abc", 3), 0);
  EXPECT_NE(CompareText(u"ABC", 3, u"abc", 3), 0);
  EXPECT_EQ(CompareText(u"abcX", 3, u"abcY", 3), 0);  // counted lengths
  EXPECT_EQ(CompareAnsiTextNoCase("Vendor", 6, "VENDOR", -1), 0);
  EXPECT_EQ(CompareAnsiTextNoCase("a", 1, "b", 1), -1);
}

TEST(WideStringCompare, NeverAssignedComparesAsEmpty) {
  CWideString never;
  EXPECT_EQ(never.Compare(u"", 0), 0);
  EXPECT_EQ(never.Compare(nullptr, 0), 0);
  EXPECT_TRUE(never.Equals(u""));
  EXPECT_TRUE(never.Equals(nullptr));
  EXPECT_FALSE(never.Equals(u"a"));
  EXPECT_EQ(never.Compare(u"a", 1), -1);
  EXPECT_EQ(never.CompareNoCase(u""), 0);
  EXPECT_EQ(never.CompareNoCase(u"A"), -1);
  CWideString empty(u"");
  EXPECT_EQ(empty.Compare(u"", 0), never.Compare(u"", 0));
  CWideString a(u"a");
  EXPECT_EQ(a.Compare(nullptr, 0), 1);
  EXPECT_EQ(CompareWideStrings(nullptr, u""), 0);
}

TEST(WideStringCompare, FailureIsMinusTwo) {
  CWideString s(u"abc");
  EXPECT_EQ(s.Compare(u"abc", -2), -2);
  EXPECT_EQ(s.Compare(u"abc", -100), -2);
  EXPECT_EQ(CompareText(u"abc", -5, u"abc", 3), -2);
  EXPECT_EQ(CompareTextNoCase(u"abc", 3, u"abc", -7), -2);
  EXPECT_EQ(CompareAnsiTextNoCase("abc", -3, "abc", 3), -2);
}

TEST(WideStringCompare, OverlongTextsCompareToTheirEnd) {
  std::u16string big(5000, u'k');
  CWideString s;
  s.AppendChars(big.data(), 5000);
  EXPECT_TRUE(s.Equals(big.c_str()));
  EXPECT_EQ(s.CompareNoCase(std::u16string(5000, u'K').c_str()), 0);
  std::u16string other = big;
  other[4800] = u'z';
  EXPECT_FALSE(s.Equals(other.c_str()));
  EXPECT_EQ(CompareWideStrings(big.c_str(), other.c_str()), -1);
  EXPECT_EQ(CompareWideStrings(big.c_str(), big.c_str()), 0);
  EXPECT_EQ(CompareWideStrings(u"b", u"a"), 1);
}

TEST(WideStringUtf8, RoundTripOfRandomCodePoints) {
  std::mt19937 rng(29);
  for (int i = 0; i < 500; ++i) {
    std::string utf8;
    std::u16string expected;
    int n = 1 + static_cast<int>(rng() % 30);
    for (int k = 0; k < n; ++k) {
      char32_t cp;
      switch (rng() % 4) {
        case 0: cp = 0x20 + rng() % 0x5F; break;
        case 1: cp = 0x80 + rng() % 0x780; break;
        case 2: cp = 0x800 + rng() % (0xD800 - 0x800); break;
        default: cp = 0x10000 + rng() % 0x100000; break;
      }
      Encode(cp, &utf8, &expected);
    }
    CWideString s(u"old");
    s.AssignUtf8(utf8.data(), static_cast<i32>(utf8.size()));
    ASSERT_TRUE(Units(s) == expected) << utf8;
    ASSERT_EQ(s.GetBuffer()[s.GetLength()], 0);
    ASSERT_EQ(Utf8ToWide(utf8.data(), static_cast<i32>(utf8.size()), nullptr, 0), static_cast<i32>(expected.size()));
    CWideString t(u"x");
    t.AppendUtf8(utf8.data(), static_cast<i32>(utf8.size()));
    ASSERT_TRUE(Units(t) == u"x" + expected);
  }
}

TEST(WideStringUtf8, InvalidSequencesBecomeReplacementCharacters) {
  struct Case {
    const char* bytes;
    const char16_t* prefix;
    const char16_t* suffix;
  };
  const Case cases[] = {
      {"a\xFF" "b", u"a", u"b"},            // byte never valid
      {"a\x80" "b", u"a", u"b"},            // lone continuation byte
      {"a\xC3", u"a", u""},                 // truncated sequence at the end
      {"a\xE2\x82" "b", u"a", u"b"},        // truncated inside
      {"a\xED\xA0\x80" "b", u"a", u"b"},    // encoded surrogate
      {"a\xC0\xAF" "b", u"a", u"b"},        // over-long form
      {"a\xF4\x90\x80\x80" "b", u"a", u"b"},  // beyond U+10FFFF
  };
  for (const Case& c : cases) {
    CWideString s;
    s.AssignUtf8(c.bytes, static_cast<i32>(std::string(c.bytes).size()));
    std::u16string got = Units(s);
    std::u16string prefix = c.prefix;
    std::u16string suffix = c.suffix;
    ASSERT_GE(got.size(), prefix.size() + suffix.size() + 1) << c.bytes;
    EXPECT_EQ(got.substr(0, prefix.size()), prefix) << c.bytes;
    EXPECT_EQ(got.substr(got.size() - suffix.size()), suffix) << c.bytes;
    std::u16string middle = got.substr(prefix.size(), got.size() - prefix.size() - suffix.size());
    for (char16_t u : middle) EXPECT_EQ(u, 0xFFFD) << c.bytes;
  }
}

TEST(WideStringUtf8, NothingGivenKeepsTheText) {
  CWideString s(u"keep");
  s.AssignUtf8("abc", 0);
  EXPECT_TRUE(s.Equals(u"keep"));
  s.AssignUtf8("abc", -1);
  EXPECT_TRUE(s.Equals(u"keep"));
  s.AssignUtf8(nullptr, 3);
  EXPECT_TRUE(s.Equals(u"keep"));
  s.AppendUtf8("abc", 0);
  s.AppendUtf8(nullptr, 4);
  s.AppendUtf8("abc", -1);
  EXPECT_TRUE(s.Equals(u"keep"));
  // Zero bytes inside are copied as given.
  s.AssignUtf8("a\0b", 3);
  EXPECT_TRUE(Units(s) == std::u16string(u"a\0b", 3));
}

TEST(WideStringUtf8, Utf8ToWideBounds) {
  wchar16 out[8] = {};
  EXPECT_EQ(Utf8ToWide("h\xC3\xA9llo", 6, nullptr, 0), 5);
  EXPECT_EQ(Utf8ToWide("h\xC3\xA9llo", 6, out, 8), 5);
  EXPECT_EQ(out[1], 0xE9);
  EXPECT_EQ(Utf8ToWide("h\xC3\xA9llo", 6, out, 3), 0);  // too small: fails
  EXPECT_EQ(Utf8ToWide("abc", 3, nullptr, 4), 0);
  EXPECT_EQ(Utf8ToWide("abc", 3, out, -1), 0);
  EXPECT_EQ(Utf8ToWide(nullptr, 3, out, 8), 0);
}

TEST(WideStringText, UpperCaseInPlace) {
  wchar16 text[] = u"disc \u00e9t\u00e9 1";
  UpperCaseText(text);
  EXPECT_TRUE(std::u16string(text) == u"DISC \u00c9T\u00c9 1");
  UpperCaseText(nullptr);
}

}  // namespace
