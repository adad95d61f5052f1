// The interface language: chosen at start from the thread locale, replaced
// by the stored choice, switched from the View menu. Controls keep string
// ids, so a switch re-measures the menu bar, tells every page (each
// measures its texts again: labels, menu bars, the start strip's tiles)
// and repaints.
#include "app/commands/command_ids.h"
#include "app/main_window/main_frame.h"
#include "runtime/settings.h"
#include "ui/widgets/main_menu_state.h"

namespace {

const wchar16 kMainKey[] = u"\\Main";
const wchar16 kLanguageValue[] = u"Language";

bool IsKnownLanguage(u32 language) { return language == kLanguageEnglish || language == kLanguageSpanish; }

}  // namespace

void CMainFrame::SetLanguage(i32 requested) {
  const u32 current = GetCurrentLanguage();
  u32 language = static_cast<u32>(requested);
  if (requested == -1) {
    // Only the two languages count; anything else stored keeps the one
    // the thread locale chose.
    u32 stored = 0;
    language = CSettingsKey().ReadDword(kMainKey, kLanguageValue, &stored) && IsKnownLanguage(stored) ? stored : current;
  }
  if (!IsKnownLanguage(language)) return;
  if (CMenuModel* sub = menu->FindSubmenu(static_cast<i32>(kCmdLanguageMenu))) {
    sub->EnableItem(LanguageMenuIndex(static_cast<i32>(current)), true);
    sub->EnableItem(LanguageMenuIndex(static_cast<i32>(language)), false);
  }
  accelerators = AcceleratorTable(language);
  if (language == current) return;
  SetCurrentLanguage(language);
  const bool wasSuspended = SuspendRedraw(true);
  menuBar.Layout();
  pageHost.ForEveryPage([](CPageHolder* page) { page->LanguageChanged(); });
  const Rect content = GetContentRect();
  LayoutPanes(content.right, content.bottom);
  SuspendRedraw(wasSuspended);  // repaints the whole window
  CSettingsKey().WriteDword(kMainKey, kLanguageValue, language);
}
