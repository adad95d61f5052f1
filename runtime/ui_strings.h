// UI string tables: every user-visible text is addressed by an id 0..206 in
// the current language's table (1 English, 8 Spanish).
#pragma once
#include "runtime/types.h"

constexpr u32 kUiStringCount = 207;
constexpr u32 kLanguageEnglish = 1;
constexpr u32 kLanguageSpanish = 8;
constexpr u32 kLanguageSlots = 16;

struct UiString {
  const wchar16* text;
  u32 length;
};

// The current language's entry. An id missing in the current table (no
// table, or a null text) falls back to the English table; an id outside
// 0..206, or one that English lacks too, gives {"Bad String", 10}.
const UiString* GetUiString(u32 id);
const wchar16* GetUiText(u32 id);

// A text of the program's own that the tables do not hold, in both
// languages; PickText gives the current language's (English for any
// language but Spanish), so it is looked up where it is shown.
struct BilingualText {
  const wchar16* english;
  const wchar16* spanish;
};
const wchar16* PickText(const BilingualText& text);

u32 GetCurrentLanguage();
// Languages without a table are refused (false, unchanged).
bool SetCurrentLanguage(u32 languageId);
// Installs (or, with null, removes) a language's table; ids >= 16 refused.
bool InstallLanguageTable(u32 languageId, const UiString* table);

// The two built-in tables and their initialisers (lengths filled at start-up).
const UiString* GetEnglishTable();
const UiString* GetSpanishTable();
void InitEnglishStrings();
void InitSpanishStrings();
// Installs English at 1 and Spanish at 8.
void InstallBuiltInLanguages();
