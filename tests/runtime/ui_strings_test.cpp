// Integrity of the two string tables and the lookup's fallbacks.
#include "runtime/ui_strings.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "runtime/wide_string.h"

namespace {

std::u16string Text(const UiString* table, u32 id) { return table[id].text ? table[id].text : u"<null>"; }

// The process-wide language state is restored after each test.
class UiStringsTest : public testing::Test {
 protected:
  void SetUp() override {
    InitEnglishStrings();
    InitSpanishStrings();
    InstallBuiltInLanguages();
    saved_ = GetCurrentLanguage();
  }
  void TearDown() override {
    for (u32 id = 0; id < kLanguageSlots; ++id) InstallLanguageTable(id, nullptr);
    InstallBuiltInLanguages();
    SetCurrentLanguage(saved_);
  }
  u32 saved_ = kLanguageEnglish;
};

// Every id has a text in both languages with its measured length, only tabs
// and line feeds as control characters and no lone surrogates; the places
// where the program appends or splits (a trailing or leading blank, a line
// feed, a tab before an accelerator) agree between the languages.
TEST_F(UiStringsTest, BothTablesAreCompleteAndAgreeInShape) {
  const UiString* tables[2] = {GetEnglishTable(), GetSpanishTable()};
  std::set<u32> same;
  for (u32 id = 0; id < kUiStringCount; ++id) {
    for (const UiString* table : tables) {
      ASSERT_NE(table[id].text, nullptr) << "id " << id;
      const std::u16string s = table[id].text;
      EXPECT_EQ(table[id].length, s.size()) << "id " << id;
      for (char16_t c : s) EXPECT_TRUE((c >= 0x20 || c == u'\t' || c == u'\n') && (c < 0xD800 || c > 0xDFFF)) << "id " << id;
      const size_t tab = s.find(u'\t');
      // At most one tab, between two parts.
      EXPECT_TRUE(tab == std::u16string::npos ||
                  (tab > 0 && tab + 1 < s.size() && s.find(u'\t', tab + 1) == std::u16string::npos))
          << "id " << id;
    }
    const std::u16string en = Text(tables[0], id), es = Text(tables[1], id);
    auto shape = [](const std::u16string& s) {
      return std::string{!s.empty() && s.back() == u' ', !s.empty() && s.front() == u' ', s.find(u'\n') != std::u16string::npos,
                         s.find(u"  ") != std::u16string::npos};
    };
    // Two exceptions: the burn page appends a blank after status 99 before
    // the speed, and its Spanish line reads with one blank ("Grabando a 16x")
    // where the English reads with two ("Burning at  16x"); the audio page
    // puts 205 straight after the CD size, and the Spanish text starts at its
    // dash ("CD 74 min- Duración:").
    if (id != 99 && id != 205) {
      EXPECT_EQ(shape(en), shape(es)) << "id " << id;
    }
    EXPECT_TRUE(en.find(u'\t') == std::u16string::npos || es.find(u'\t') != std::u16string::npos) << "id " << id;
    if (en == es) same.insert(id);
  }
  // Only words both languages share ("No", "Error", "?", "Audio", the
  // language names and the empty text) and the names the Spanish menus and
  // burn window keep in English ("Audio CD", "Mode 2 form 1" and the two
  // burn methods) are left untranslated.
  EXPECT_EQ(same, (std::set<u32>{3, 7, 22, 44, 45, 60, 63, 81, 108, 109, 200}));
}

// The window menu's texts: the Spanish ones name their shortcut keys after
// a tab, the English ones carry no key text (the keys work in both).
TEST_F(UiStringsTest, WindowMenuTextsNameTheirKeysInSpanishOnly) {
  const struct {
    u32 id;
    const char16_t* english;
    const char16_t* spanish;
  } rows[] = {
      {56, u"Window", u"Ventana"},
      {57, u"Next Window", u"Ventana Siguiente\tCtrl+Tab"},
      {58, u"Previous Window", u"Ventana Anterior\tCtrl+May\u00FAs+Tab"},
      {59, u"Close Window", u"Cerrar Ventana\tCtrl+F4"},
      {61, u"Help\tF1", u"Ayuda\tF1"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(std::u16string(row.english), Text(GetEnglishTable(), row.id)) << row.id;
    EXPECT_EQ(std::u16string(row.spanish), Text(GetSpanishTable(), row.id)) << row.id;
  }
}

TEST_F(UiStringsTest, LookupFollowsTheLanguageAndFallsBack) {
  ASSERT_TRUE(SetCurrentLanguage(kLanguageSpanish));
  EXPECT_EQ(GetUiString(100), GetSpanishTable() + 100);
  for (u32 id = 0; id < kUiStringCount; ++id) EXPECT_EQ(GetUiText(id), GetUiString(id)->text);
  for (u32 language : {0u, 2u, 7u, 9u, 15u, 16u, 0xFFFFFFFFu}) EXPECT_FALSE(SetCurrentLanguage(language)) << language;
  EXPECT_EQ(GetCurrentLanguage(), kLanguageSpanish);
  EXPECT_FALSE(InstallLanguageTable(kLanguageSlots, GetEnglishTable()));
  ASSERT_TRUE(SetCurrentLanguage(kLanguageEnglish));
  EXPECT_EQ(GetUiString(100), GetEnglishTable() + 100);
  // A table with a hole: the hole falls back to English.
  UiString partial[kUiStringCount];
  for (UiString& entry : partial) entry = {u"x", 1};
  partial[5] = {nullptr, 0};
  ASSERT_TRUE(InstallLanguageTable(2, partial) && SetCurrentLanguage(2));
  EXPECT_EQ(GetUiString(4), partial + 4);
  EXPECT_EQ(GetUiString(5), GetEnglishTable() + 5);
  // The current table removed: English answers; English removed too, or an
  // id out of range: "Bad String".
  ASSERT_TRUE(InstallLanguageTable(2, nullptr));
  EXPECT_EQ(GetUiString(0), GetEnglishTable());
  for (bool english : {true, false}) {
    if (!english) InstallLanguageTable(kLanguageEnglish, nullptr);
    const std::vector<u32> ids = english ? std::vector<u32>{kUiStringCount, kUiStringCount + 1, 0x7FFFFFFFu, 0xFFFFFFFFu}
                                         : std::vector<u32>{0, 63, 206, kUiStringCount};
    for (u32 id : ids) {
      EXPECT_TRUE(std::u16string(GetUiText(id)) == u"Bad String") << id;
      EXPECT_EQ(GetUiString(id)->length, 10u);
    }
  }
}

}  // namespace
