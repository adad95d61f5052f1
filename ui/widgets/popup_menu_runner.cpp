#include "ui/widgets/popup_menu_runner.h"

namespace {

PopupMenuRunner g_runner = nullptr;

}  // namespace

i32 RunPopupMenu(CMenuModel* model, i32 x, i32 y, const CImageStrip* icons, const CImageStrip* greyedIcons,
                 IPopupMenuOwner* owner) {
  PopupMenuRunner runner = g_runner ? g_runner : &DefaultPopupMenuRunner;
  return runner(model, x, y, icons, greyedIcons, owner);
}

PopupMenuRunner SetPopupMenuRunner(PopupMenuRunner runner) {
  PopupMenuRunner previous = g_runner;
  g_runner = runner;
  return previous;
}
