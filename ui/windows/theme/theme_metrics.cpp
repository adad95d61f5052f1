#include "ui/windows/theme/theme_metrics.h"

i32 g_themeMetrics[kThemeMetricCount];
u32 g_themeColors[kThemeColorCount];

void InitThemeMetrics() {
  static const i32 kMetrics[kThemeMetricCount] = {4, 12, 24, 22, 22, 5, 20, 5,
                                                  16, 22, 2, 4, 8, 3, 4, 16};
  for (u32 i = 0; i < kThemeMetricCount; ++i) g_themeMetrics[i] = kMetrics[i];
}

void InitThemeColors() {
  static const u32 kColors[kThemeColorCount] = {
      0xFFC02008u, 0xFF20C040u, 0xFF000000u, 0xFFFFFFFFu, 0xC0202090u, 0xC8C0D0E0u,
      0xC880A0C0u, 0xFF0820C0u, 0xFF20C840u, 0xC8C0D0E0u, 0xFFFFFFFFu, 0xD0FFFFFFu,
      0xE0C0C0C0u, 0xFFDFE7EFu, 0xC8A0C0E0u, 0xFFFFFFFFu, 0xFF81A1C1u, 0xC0C0C0C0u,
      0xC8A0C0E0u, 0xE080A4C4u, 0xFFFFFFFFu, 0xFF2020FFu, 0xFF000000u};
  for (u32 i = 0; i < kThemeColorCount; ++i) g_themeColors[i] = kColors[i];
}
