#include "app/startup/startup_table.h"

#include "render/text/font.h"
#include "render/shadow_generator.h"
#include "runtime/clock.h"
#include "runtime/platform.h"
#include "runtime/ui_strings.h"
#include "ui/widgets/caret_blink.h"
#include "ui/windows/frame/window_registry.h"
#include "ui/windows/theme/theme_metrics.h"

namespace {

// Positions are fixed: each initialiser's exit callback takes the exit-list
// position of its entry, so the globals are released in this order, then
// the static texts in the order of their first use. The caret entries
// release the thread, then the stop event, of a text edit still blinking at
// exit (caret_blink.h): the first slot's before the theme, the four others'
// after it.
const rt::InitRoutine kStartupTable[] = {
    InitFontList,                    // 1  font list
    InitCounterFrequency,            // 2  performance-counter frequency
    RegisterWindowRegistryFree,      // 3  window registry storage
    InitPopupShadow,                 // 4  shadow generator, first kind
    InitPaneShadow,                  // 5  shadow generator, first kind
    InitWindowShadow,                // 6  shadow generator, second kind
    LookupIsWow64Process,            // 7  IsWow64Process lookup
    RegisterCaretThreadCloser<0>,    // 8  caret thread, first slot
    RegisterCaretEventCloser<0>,     // 9  caret stop event, first slot
    InitEnglishStrings,              // 10 English string lengths
    InitSpanishStrings,              // 11 Spanish string lengths
    InitTheme,                       // 12 theme metrics and colours
    RegisterCaretThreadCloser<1>,    // 13 caret thread and stop event,
    RegisterCaretEventCloser<1>,     // 14 second slot
    RegisterCaretThreadCloser<2>,    // 15 third slot
    RegisterCaretEventCloser<2>,     // 16
    RegisterCaretThreadCloser<3>,    // 17 fourth slot
    RegisterCaretEventCloser<3>,     // 18
    RegisterCaretThreadCloser<4>,    // 19 fifth slot
    RegisterCaretEventCloser<4>,     // 20
};

}  // namespace

const rt::InitRoutine* GetStartupTable() { return kStartupTable; }
u32 GetStartupTableSize() { return sizeof(kStartupTable) / sizeof(kStartupTable[0]); }
