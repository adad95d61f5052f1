// How controls open a popup menu: through one runner, the real popup menu
// window by default (ShowPopupMenu; the native build has none and answers
// "dismissed"). Tests install a scripted runner that plays the popup's side
// of the owner protocol and returns scripted results. User-interface thread
// only. Portable.
#pragma once
#include "ui/widgets/popup_menu_owner.h"

class CImageStrip;
struct CMenuModel;

// Shows the children of model with their top-left corner at (x, y), y-up
// desktop coordinates; the strips may be null. The chosen id or a
// kPopup* result.
typedef i32 (*PopupMenuRunner)(CMenuModel* model, i32 x, i32 y, const CImageStrip* icons,
                               const CImageStrip* greyedIcons, IPopupMenuOwner* owner);

i32 RunPopupMenu(CMenuModel* model, i32 x, i32 y, const CImageStrip* icons, const CImageStrip* greyedIcons,
                 IPopupMenuOwner* owner);
// A context menu: the popup at (x, y) with no owner. It takes the keys
// while open; once it has closed they go to `keys`, the view it was opened
// on, before the caller runs the chosen command (whose windows give them
// back there in turn). The chosen id or a kPopup* result.
template <class TWidget>
i32 RunContextPopup(TWidget& keys, CMenuModel* model, i32 x, i32 y, const CImageStrip* icons,
                   const CImageStrip* greyedIcons) {
  const i32 chosen = RunPopupMenu(model, x, y, icons, greyedIcons, nullptr);
  keys.SetFocus();
  return chosen;
}
// Null restores the default runner; returns the previous one (null: default).
PopupMenuRunner SetPopupMenuRunner(PopupMenuRunner runner);
// The platform's default.
i32 DefaultPopupMenuRunner(CMenuModel* model, i32 x, i32 y, const CImageStrip* icons,
                           const CImageStrip* greyedIcons, IPopupMenuOwner* owner);
