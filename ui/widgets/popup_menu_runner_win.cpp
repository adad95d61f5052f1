#include "ui/widgets/popup_menu_runner.h"
#include "ui/windows/dialogs/popup_menu.h"

i32 DefaultPopupMenuRunner(CMenuModel* model, i32 x, i32 y, const CImageStrip* icons,
                           const CImageStrip* greyedIcons, IPopupMenuOwner* owner) {
  return ShowPopupMenu(model, x, y, icons, greyedIcons, owner);
}
