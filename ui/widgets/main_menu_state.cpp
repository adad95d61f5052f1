#include "ui/widgets/main_menu_state.h"

namespace {

constexpr i32 kMaxDepth = 32;

// One record and, when both are submenus of the same size (so that their
// blocks are laid out alike), every record nested in it, in block order.
void CopyTree(const MenuItem* fresh, MenuItem* live, i32 depth) {
  live->CopyState(*fresh);
  CMenuModel* liveSub = CMenuModel::AsSubmenu(live);
  CMenuModel* freshSub = CMenuModel::AsSubmenu(const_cast<MenuItem*>(fresh));
  if (!liveSub || !freshSub || liveSub->size != freshSub->size || depth >= kMaxDepth) return;
  MenuItem* l = liveSub->first;
  MenuItem* f = freshSub->first;
  for (i32 i = 0; l && f && i < liveSub->count && i < freshSub->count; ++i) {
    CopyTree(f, l, depth + 1);
    l = MenuItem::Next(l);
    f = MenuItem::Next(f);
  }
}

}  // namespace

CMenuModel* CopyMainMenuState(CMenuModel* fresh, CMenuModel* live) {
  if (!fresh || !live) return live;
  live->CopyState(*fresh);
  MenuItem* l = live->first;
  MenuItem* f = fresh->first;
  for (i32 i = 0; l && f && i < live->count && i < fresh->count; ++i) {
    if (f->type == kMenuTypeSubmenu && (f->id == kMenuIdFile || f->id == kMenuIdEdit)) CopyTree(f, l, 1);
    l = MenuItem::Next(l);
    f = MenuItem::Next(f);
  }
  return live;
}

i32 LanguageMenuIndex(i32 languageCode) {
  static const i32 kCodes[2] = {8, 1};
  for (i32 i = 0; i < 2; ++i)
    if (kCodes[i] == languageCode) return i;
  return 0;
}
