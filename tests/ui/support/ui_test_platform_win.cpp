#include "render/shadow_generator.h"
#include "render/text/font.h"
#include "runtime/ui_strings.h"
#include "ui/support/ui_test_platform.h"
#include "ui/windows/theme/theme_metrics.h"
#include "ui/windows/theme/theme_painter.h"

void InitUiTestPlatform() { InitFontList(); }

void RestoreProgramResources() {
  if (FontListCount() == 0) InitFontList();
  if (!GetWindowShadow()) InitWindowShadow();
  if (!GetPaneShadow()) InitPaneShadow();
  if (!GetPopupShadow()) InitPopupShadow();
  if (!BuiltInThemePainter()) InitTheme();
  InstallBuiltInLanguages();
  SetCurrentLanguage(kLanguageEnglish);
}
