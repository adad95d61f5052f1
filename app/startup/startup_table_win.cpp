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
// the static texts and records in the order of their first use. The caret
// entries release the thread, then the stop event, of the text-edit class
// bound to that slot, when its edit is still blinking at exit
// (caret_blink.h): the folder browser's before the theme, the four others'
// after it.
const rt::InitRoutine kStartupTable[] = {
    InitFontList,                                         // 1  font list
    InitCounterFrequency,                                 // 2  performance-counter frequency
    RegisterWindowRegistryFree,                           // 3  window registry storage
    InitPopupShadow,                                      // 4  shadow generator, first kind
    InitPaneShadow,                                       // 5  shadow generator, first kind
    InitWindowShadow,                                     // 6  shadow generator, second kind
    LookupIsWow64Process,                                 // 7  IsWow64Process lookup
    RegisterCaretThreadCloser<kCaretSlotFolderBrowser>,   // 8  folder browser: caret thread
    RegisterCaretEventCloser<kCaretSlotFolderBrowser>,    // 9  and stop event
    InitEnglishStrings,                                   // 10 English string lengths
    InitSpanishStrings,                                   // 11 Spanish string lengths
    InitTheme,                                            // 12 theme metrics, colours, painter
    RegisterCaretThreadCloser<kCaretSlotBrowseDialog>,    // 13 browse dialog
    RegisterCaretEventCloser<kCaretSlotBrowseDialog>,     // 14
    RegisterCaretThreadCloser<kCaretSlotBurnImage>,       // 15 burn-image window
    RegisterCaretEventCloser<kCaretSlotBurnImage>,        // 16
    RegisterCaretThreadCloser<kCaretSlotAudioTrack>,      // 17 audio track rows
    RegisterCaretEventCloser<kCaretSlotAudioTrack>,       // 18
    RegisterCaretThreadCloser<kCaretSlotExplorerTree>,    // 19 explorer tree's label editor
    RegisterCaretEventCloser<kCaretSlotExplorerTree>,     // 20
};

}  // namespace

const rt::InitRoutine* GetStartupTable() { return kStartupTable; }
u32 GetStartupTableSize() { return sizeof(kStartupTable) / sizeof(kStartupTable[0]); }
