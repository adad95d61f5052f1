#include "render/text/font.h"
#include "ui/support/ui_test_platform.h"

void InitUiTestPlatform() { InitFontList(); }
