// A test's language: the built-in tables installed and `language` current
// while the scope lives; the language before it comes back afterwards.
#pragma once
#include "runtime/ui_strings.h"

class CLanguageScope {
 public:
  explicit CLanguageScope(u32 language) : before_(GetCurrentLanguage()) {
    InstallBuiltInLanguages();
    SetCurrentLanguage(language);
  }
  ~CLanguageScope() { SetCurrentLanguage(before_); }
  CLanguageScope(const CLanguageScope&) = delete;
  CLanguageScope& operator=(const CLanguageScope&) = delete;

 private:
  u32 before_;
};
