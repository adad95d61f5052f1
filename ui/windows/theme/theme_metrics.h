// The theme: sizes in pixels (M0..M15) and colours (C0..C22, 0xAARRGGBB,
// straight alpha) that the theme painter, the content painters, the
// controls and the window layouts read. Set once by the start-up table
// before any window exists and never changed afterwards. The painters name
// entries by index, everyone else by the accessors below. Portable.
#pragma once
#include "runtime/types.h"

constexpr u32 kThemeMetricCount = 16;
constexpr u32 kThemeColorCount = 23;
extern i32 g_themeMetrics[kThemeMetricCount];
extern u32 g_themeColors[kThemeColorCount];

inline i32 ThemeMetric(u32 index) { return index < kThemeMetricCount ? g_themeMetrics[index] : 0; }
inline u32 ThemeColor(u32 index) { return index < kThemeColorCount ? g_themeColors[index] : 0; }

inline i32 ThemeTextPadding() { return g_themeMetrics[0]; }
inline i32 ThemeDialogMargin() { return g_themeMetrics[1]; }
inline i32 ThemeDialogBandHeight() { return g_themeMetrics[2]; }
inline i32 ThemeControlSize() { return g_themeMetrics[3]; }
inline i32 ThemeRowHeight() { return g_themeMetrics[4]; }
inline i32 ThemeDialogTopInset() { return g_themeMetrics[5]; }
inline i32 ThemeDialogBottomInset() { return g_themeMetrics[6]; }
inline i32 ThemeMenuSeparatorHeight() { return g_themeMetrics[7]; }
inline i32 ThemeCheckBoxSize() { return g_themeMetrics[8]; }
inline i32 ThemeMenuBorder() { return g_themeMetrics[10]; }
inline i32 ThemeMenuSpacing() { return g_themeMetrics[11]; }
inline i32 ThemeControlSpacing() { return g_themeMetrics[12]; }
inline i32 ThemeMenuBarItemGap() { return g_themeMetrics[13]; }
inline i32 ThemeButtonTextInset() { return g_themeMetrics[14]; }
inline i32 ThemeScrollBarSize() { return g_themeMetrics[15]; }

inline u32 ThemeCloseHotColor() { return g_themeColors[0]; }
inline u32 ThemeGreenColor() { return g_themeColors[1]; }
inline u32 ThemeMenuTextColor() { return g_themeColors[2]; }
inline u32 ThemeWhite() { return g_themeColors[3]; }
inline u32 ThemeSelectionColor() { return g_themeColors[4]; }
inline u32 ThemeMenuHotColor() { return g_themeColors[5]; }
inline u32 ThemeItemFrameColor() { return g_themeColors[6]; }
inline u32 ThemeCaptionButtonColor() { return g_themeColors[7]; }
inline u32 ThemeCheckMarkColor() { return g_themeColors[8]; }
inline u32 ThemeTintColor() { return g_themeColors[9]; }
inline u32 ThemeEditColor() { return g_themeColors[10]; }
inline u32 ThemePanelColor() { return g_themeColors[11]; }
inline u32 ThemeBorderColor() { return g_themeColors[12]; }
inline u32 ThemeWindowColor() { return g_themeColors[13]; }
inline u32 ThemeItemHotColor() { return g_themeColors[14]; }
inline u32 ThemeSelectedTextColor() { return g_themeColors[15]; }
inline u32 ThemeAccentColor() { return g_themeColors[16]; }
inline u32 ThemeMenuBarColor() { return g_themeColors[18]; }
inline u32 ThemeButtonFaceColor() { return g_themeColors[19]; }
inline u32 ThemeButtonLightColor() { return g_themeColors[20]; }
inline u32 ThemeBlueColor() { return g_themeColors[21]; }
inline u32 ThemeTextColor() { return g_themeColors[22]; }

void InitThemeMetrics();
void InitThemeColors();
// Start-up table slot of the theme: metrics, then colours, then the
// built-in theme painter (theme_painter.h), whose destruction it registers
// as its exit callback (DestroyThemePainter).
void InitTheme();
