#include "ui/widgets/popup_menu_runner.h"

i32 DefaultPopupMenuRunner(CMenuModel*, i32, i32, const CImageStrip*, const CImageStrip*, IPopupMenuOwner*) {
  return kPopupDismissed;
}
