// The main menu's state follows the current page: each time a page becomes
// current, the application builds a fresh copy of the main menu and brings
// the live menu's root, File and Edit submenus back to the copy's state
// before the page sets its own commands again. The other submenus (Burner,
// View, Window, "?") and the bar's icon buttons keep their live state: they
// follow the drive and the task view, not the page. Also the Language
// submenu's item of a language code. Portable.
#pragma once
#include "ui/widgets/menu_model.h"

constexpr i32 kMenuIdFile = 19;
constexpr i32 kMenuIdEdit = 28;

// Copies the state (MenuItem::CopyState) of the fresh root record onto the
// live root, and of every record of the fresh File and Edit submenus, nested
// ones included, onto the record at the same place in the live block. A
// pair whose type or size differ keeps its live state, and its children are
// not paired. No listener is told. Returns live.
CMenuModel* CopyMainMenuState(CMenuModel* fresh, CMenuModel* live);

// The Language submenu lists Spanish (8) first and English (1) second; any
// other code gives 0.
i32 LanguageMenuIndex(i32 languageCode);
