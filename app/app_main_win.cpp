#include "app/app_main.h"

#include "runtime/ui_strings.h"
#include "runtime/win.h"

u32 AppMain(u32 showCommand) {
  (void)showCommand;
  InstallBuiltInLanguages();
  // Spanish when the thread locale's primary language is Spanish.
  SetCurrentLanguage(PRIMARYLANGID(LANGIDFROMLCID(GetThreadLocale())) == LANG_SPANISH
                         ? kLanguageSpanish
                         : kLanguageEnglish);
  // The main window and its message loop arrive with the application layer.
  return 0;
}
