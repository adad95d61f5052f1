// Every UI test executable starts with the theme's values, the built-in
// painter and the window shadows (and, on Windows, the font list), as the
// program's start-up table would set them.
#include <gtest/gtest.h>

#include "render/shadow_generator.h"
#include "ui/support/ui_test_platform.h"
#include "ui/windows/theme/theme_metrics.h"
#include "ui/windows/theme/theme_painter.h"

namespace {

class CUiTestEnvironment : public testing::Environment {
 public:
  void SetUp() override {
    InitTheme();
    SetThemePainter(nullptr);
    InitWindowShadow();
    InitPopupShadow();
    InitUiTestPlatform();
  }
};

testing::Environment* const g_environment = testing::AddGlobalTestEnvironment(new CUiTestEnvironment);

}  // namespace
