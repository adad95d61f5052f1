#include "app/startup/startup_table.h"

#include "render/text/font.h"
#include "render/shadow_generator.h"
#include "runtime/clock.h"
#include "runtime/platform.h"
#include "runtime/ui_strings.h"
#include "ui/windows/theme/theme_metrics.h"
#include "ui/windows/frame/window_registry.h"

namespace {

// Positions are fixed: each initialiser's exit callback takes the exit-list
// position of its entry. Slots of subsystems not yet present are null and
// skipped.
const rt::InitRoutine kStartupTable[] = {
    InitFontList,                // 1  font list
    InitCounterFrequency,        // 2  performance-counter frequency
    RegisterWindowRegistryFree,  // 3  window registry storage
    InitPopupShadow,             // 4  shadow generator, first kind
    InitPaneShadow,              // 5  shadow generator, first kind
    InitWindowShadow,            // 6  shadow generator, second kind
    LookupIsWow64Process,        // 7  IsWow64Process lookup
    nullptr,                     // 8  folder browser caret thread
    nullptr,                     // 9  folder browser caret stop event
    InitEnglishStrings,          // 10 English string lengths
    InitSpanishStrings,          // 11 Spanish string lengths
    InitTheme,                   // 12 theme metrics and colours
    nullptr, nullptr, nullptr, nullptr,  // 13-16 text-edit caret handles
    nullptr, nullptr, nullptr, nullptr,  // 17-20 text-edit caret handles
};

}  // namespace

const rt::InitRoutine* GetStartupTable() { return kStartupTable; }
u32 GetStartupTableSize() { return sizeof(kStartupTable) / sizeof(kStartupTable[0]); }
