#include "app/startup/app_main.h"

#include "app/main_window/main_frame.h"
#include "runtime/ui_strings.h"
#include "runtime/win.h"
#include "ui/windows/ole/ole_session.h"
#include "ui/windows/theme/theme_painter.h"

u32 AppMain(u32 showCommand) {
  InstallBuiltInLanguages();
  // Spanish when the thread locale's primary language is Spanish.
  SetCurrentLanguage(PRIMARYLANGID(LANGIDFROMLCID(GetThreadLocale())) == LANG_SPANISH
                         ? kLanguageSpanish
                         : kLanguageEnglish);
  SetThemePainter(BuiltInThemePainter());
  // Around the windows: what the program left on the clipboard is
  // rendered there when they are gone.
  COleSession ole;
  return RunApplication(showCommand);
}
