#include "runtime/ui_strings.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "runtime/wide_string.h"

namespace {

std::u16string Text(const UiString* table, u32 id) { return std::u16string(table[id].text); }

// Readable form for failure messages (non-ASCII units shown as \uXXXX).
std::string Show(const std::u16string& s) {
  std::string out;
  for (char16_t c : s) {
    if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
    } else {
      char buffer[8];
      std::snprintf(buffer, sizeof(buffer), "\\u%04X", static_cast<unsigned>(c));
      out += buffer;
    }
  }
  return out;
}

struct Language {
  const char* name;
  const UiString* table;
};

std::vector<Language> Languages() {
  return {{"English", GetEnglishTable()}, {"Spanish", GetSpanishTable()}};
}

std::set<u32> IdsWhere(const UiString* table, bool (*test)(const std::u16string&)) {
  std::set<u32> ids;
  for (u32 id = 0; id < kUiStringCount; ++id)
    if (test(Text(table, id))) ids.insert(id);
  return ids;
}

// Restores the process-wide language state after each test.
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

TEST_F(UiStringsTest, EveryEntryHasATextWhoseLengthIsItsMeasuredLength) {
  for (const Language& language : Languages()) {
    for (u32 id = 0; id < kUiStringCount; ++id) {
      const UiString& entry = language.table[id];
      ASSERT_NE(nullptr, entry.text) << language.name << " id " << id;
      u32 n = 0;
      while (entry.text[n] != 0) ++n;
      EXPECT_EQ(n, entry.length) << language.name << " id " << id;
      EXPECT_EQ(static_cast<i32>(n), GetStringLength(entry.text, kTextCap));
      // Only tabs and line feeds as control characters; no lone surrogates.
      for (u32 i = 0; i < n; ++i) {
        char16_t c = entry.text[i];
        EXPECT_TRUE(c >= 0x20 || c == u'\t' || c == u'\n') << language.name << " id " << id;
        EXPECT_FALSE(c >= 0xD800 && c <= 0xDFFF) << language.name << " id " << id;
      }
    }
  }
}

TEST_F(UiStringsTest, EnglishTextsKeepTheirExactWording) {
  const UiString* en = GetEnglishTable();
  const struct {
    u32 id;
    const char16_t* text;
  } kExpected[] = {
      {0, u"OK"},
      {8, u"Warning!"},
      {21, u"Data\tCtrl+N"},
      {34, u"Delete\tDel"},
      {44, u"Español"},
      {57, u"Next Window"},
      {60, u"?"},
      {63, u""},
      {71, u"Ellapsed Time: "},
      {76, u"Warning"},
      {77, u"This operation will erase all data in the disc\n\nAre you sure to continue?"},
      {86, u"Maximun"},
      {99, u"Burning at "},
      {123, u"Already exist a directory with that name\nDo you want to continue?"},
      {135, u"Insert an emtpy or rewritable disc"},
      {138, u"Data Project\tCopy your files in a Optic Disc or save it as an image of type ISO "
            u"or type UDF."},
      {142, u"Erase Disc\tErase/Format a disc quickly/parcially or completely"},
      {143, u"Overburning can damage your drive, continue at your own risk!!!"},
      {157, u"Insert a "},
      {164, u"If you want to known when are available new versions of Kelvane or all what "
            u"happen in VANTO SOFTWARE follow us on twitter."},
      {205, u" - Time:"},
      {206, u"Burn Audio CD"},
  };
  for (const auto& e : kExpected)
    EXPECT_EQ(std::u16string(e.text), Text(en, e.id))
        << "id " << e.id << ": " << Show(Text(en, e.id));
  // Id 21: eleven characters with the tab at index 4.
  EXPECT_EQ(11u, en[21].length);
  EXPECT_EQ(u'\t', en[21].text[4]);
}

TEST_F(UiStringsTest, SpanishTextsFixedByTheProgramAreExact) {
  const UiString* es = GetSpanishTable();
  const struct {
    u32 id;
    const char16_t* text;
  } kExpected[] = {
      {0, u"Aceptar"},
      {1, u"Cancelar"},
      {2, u"Si"},
      {8, u"\u00A1Atenci\u00F3n!"},
      {76, u"\u00A1Atenci\u00F3n!"},
      {23, u"Abrir\tCtrl+A"},
      {24, u"Guardar\tCtrl+G"},
      {34, u"Eliminar\tSupr"},
      {36, u"Seleccionar todo\tCtrl+E"},
      {44, u"Espa\u00F1ol"},
      {45, u"English"},
      {57, u"Ventana Siguiente\tCtrl+Tab"},
      {58, u"Ventana Anterior\tCtrl+May\u00FAs+Tab"},
      {59, u"Cerrar Ventana\tCtrl+F4"},
      {63, u""},
  };
  for (const auto& e : kExpected)
    EXPECT_EQ(std::u16string(e.text), Text(es, e.id))
        << "id " << e.id << ": " << Show(Text(es, e.id));
  EXPECT_EQ(0u, es[63].length);
}

TEST_F(UiStringsTest, TabsSeparateMenuAcceleratorsAndTileTitles) {
  const std::set<u32> kEnglishTabs = {21, 23, 24, 27, 29, 30, 31, 32, 33, 34, 36, 37, 38,
                                      61, 138, 139, 140, 141, 142};
  std::set<u32> spanishTabs = kEnglishTabs;
  spanishTabs.insert({57, 58, 59});
  auto hasTab = [](const std::u16string& s) { return s.find(u'\t') != std::u16string::npos; };
  EXPECT_EQ(kEnglishTabs, IdsWhere(GetEnglishTable(), hasTab));
  EXPECT_EQ(spanishTabs, IdsWhere(GetSpanishTable(), hasTab));
  for (const Language& language : Languages()) {
    for (u32 id = 0; id < kUiStringCount; ++id) {
      std::u16string s = Text(language.table, id);
      size_t tab = s.find(u'\t');
      if (tab == std::u16string::npos) continue;
      EXPECT_EQ(std::u16string::npos, s.find(u'\t', tab + 1)) << language.name << " id " << id;
      EXPECT_GT(tab, 0u) << language.name << " id " << id;
      EXPECT_LT(tab + 1, s.size()) << language.name << " id " << id;
    }
  }
  // Menu items carry the same accelerator in both languages where the
  // Spanish keyboard names agree.
  for (u32 id : {21u, 27u, 29u, 30u, 31u, 32u, 33u, 37u, 38u, 61u}) {
    std::u16string en = Text(GetEnglishTable(), id), es = Text(GetSpanishTable(), id);
    EXPECT_EQ(en.substr(en.find(u'\t')), es.substr(es.find(u'\t'))) << "id " << id;
  }
}

TEST_F(UiStringsTest, TrailingBlanksAndLineFeedsSitInTheSamePlacesInBothLanguages) {
  const std::set<u32> kTrailingBlank = {71, 72, 99, 111, 112, 148, 157};
  auto endsWithBlank = [](const std::u16string& s) { return !s.empty() && s.back() == u' '; };
  auto hasLineFeed = [](const std::u16string& s) { return s.find(u'\n') != std::u16string::npos; };
  for (const Language& language : Languages()) {
    EXPECT_EQ(kTrailingBlank, IdsWhere(language.table, endsWithBlank)) << language.name;
    EXPECT_EQ((std::set<u32>{77, 123, 126}), IdsWhere(language.table, hasLineFeed))
        << language.name;
    for (u32 id : kTrailingBlank) {
      std::u16string s = Text(language.table, id);
      EXPECT_NE(u' ', s[s.size() - 2]) << language.name << " id " << id << " one blank only";
    }
    // The leading blank of the time suffix is kept too.
    EXPECT_EQ(u' ', language.table[205].text[0]) << language.name;
    EXPECT_NE(std::u16string::npos, Text(language.table, 77).find(u"\n\n")) << language.name;
  }
}

TEST_F(UiStringsTest, SpanishIsTranslatedExceptWhereBothLanguagesAgree) {
  // "No", "Error", "?", "Audio", the two language names and the empty text
  // are the same words in both languages.
  const std::set<u32> kSame = {3, 7, 44, 45, 60, 63, 200};
  std::set<u32> same;
  for (u32 id = 0; id < kUiStringCount; ++id)
    if (Text(GetEnglishTable(), id) == Text(GetSpanishTable(), id)) same.insert(id);
  EXPECT_EQ(kSame, same);
}

TEST_F(UiStringsTest, WebAddressesPointToTheMakersPagesPerLanguage) {
  for (u32 id : {162u, 165u}) {
    std::u16string en = Text(GetEnglishTable(), id), es = Text(GetSpanishTable(), id);
    EXPECT_EQ(0u, en.find(u"https://")) << Show(en);
    EXPECT_EQ(0u, es.find(u"https://")) << Show(es);
    EXPECT_NE(std::u16string::npos, es.find(u"/es/")) << Show(es);
    EXPECT_EQ(std::u16string::npos, en.find(u' '));
    EXPECT_EQ(std::u16string::npos, es.find(u' '));
  }
  EXPECT_NE(Text(GetEnglishTable(), 162), Text(GetEnglishTable(), 165));
}

TEST_F(UiStringsTest, LookupFollowsTheCurrentLanguage) {
  ASSERT_TRUE(SetCurrentLanguage(kLanguageSpanish));
  EXPECT_EQ(std::u16string(u"Aceptar"), GetUiText(0));
  EXPECT_EQ(GetSpanishTable() + 100, GetUiString(100));
  ASSERT_TRUE(SetCurrentLanguage(kLanguageEnglish));
  EXPECT_EQ(std::u16string(u"OK"), GetUiText(0));
  EXPECT_EQ(2u, GetUiString(0)->length);
  const UiString* empty = GetUiString(63);
  EXPECT_EQ(0u, empty->length);
  EXPECT_EQ(u'\0', empty->text[0]);
  for (u32 id = 0; id < kUiStringCount; ++id) EXPECT_EQ(GetUiString(id)->text, GetUiText(id));
}

TEST_F(UiStringsTest, OutOfRangeIdsGiveTheFallbackEntry) {
  for (u32 language : {kLanguageEnglish, kLanguageSpanish}) {
    ASSERT_TRUE(SetCurrentLanguage(language));
    for (u32 id : {kUiStringCount, kUiStringCount + 1, 0x7FFFFFFFu, 0xFFFFFFFFu}) {
      const UiString* entry = GetUiString(id);
      EXPECT_EQ(std::u16string(u"Bad String"), entry->text) << id;
      EXPECT_EQ(10u, entry->length);
    }
  }
}

TEST_F(UiStringsTest, LanguagesWithoutATableAreRefused) {
  ASSERT_TRUE(SetCurrentLanguage(kLanguageSpanish));
  for (u32 language : {0u, 2u, 7u, 9u, 15u, 16u, 0xFFFFFFFFu}) {
    EXPECT_FALSE(SetCurrentLanguage(language)) << language;
    EXPECT_EQ(kLanguageSpanish, GetCurrentLanguage());
  }
  EXPECT_FALSE(InstallLanguageTable(kLanguageSlots, GetEnglishTable()));
}

TEST_F(UiStringsTest, MissingTablesAndTextsFallBackToEnglishThenBadString) {
  // A table with a hole: the hole falls back to English.
  UiString partial[kUiStringCount];
  for (u32 id = 0; id < kUiStringCount; ++id) partial[id] = {u"x", 1};
  partial[5] = {nullptr, 0};
  ASSERT_TRUE(InstallLanguageTable(2, partial));
  ASSERT_TRUE(SetCurrentLanguage(2));
  EXPECT_EQ(std::u16string(u"x"), GetUiText(4));
  EXPECT_EQ(std::u16string(u"Ignore"), GetUiText(5));

  // The current language's table removed: English answers.
  ASSERT_TRUE(SetCurrentLanguage(kLanguageSpanish));
  ASSERT_TRUE(InstallLanguageTable(kLanguageSpanish, nullptr));
  EXPECT_EQ(std::u16string(u"OK"), GetUiText(0));
  // English removed as well: every id gives the fallback entry.
  ASSERT_TRUE(InstallLanguageTable(kLanguageEnglish, nullptr));
  for (u32 id : {0u, 63u, 206u, 207u}) {
    EXPECT_EQ(std::u16string(u"Bad String"), GetUiText(id)) << id;
    EXPECT_EQ(10u, GetUiString(id)->length);
  }
  // Reinstalled: back to normal.
  InstallBuiltInLanguages();
  EXPECT_EQ(std::u16string(u"Aceptar"), GetUiText(0));
}

}  // namespace
