// The eject control of the job windows (burn image, copy disc, insert disc):
// a menu bar of one item, the icon-only "Eject disc" command, drawn and lit
// as a menu-bar item in a box of 22 x 22 pixels. A click on it, or Space
// while it has the focus, sends the command to the window. Each bar has a
// model of its own (a model tells one bar of its changes). Windows only.
#pragma once
#include "app/commands/command_ids.h"
#include "render/skin_ids.h"
#include "render/skin_resource.h"
#include "ui/widgets/menu_bar.h"
#include "ui/widgets/menu_block.h"

// The item: enabled, no text, right-aligned (0x0D); frame 14 of the menu
// strip, the main menu's eject picture.
constexpr u8 kEjectItemFlags = kMenuEnabled | kMenuNoText | kMenuRightAligned;
constexpr i32 kEjectIconFrame = 14;
constexpr i32 kEjectBarSize = 22;
constexpr u32 kEjectBarFlags = 0x2000E;  // visible, see-through, Tab stop

// The bytes of one eject bar's model: the root and its one command.
struct EjectMenuBlock {
  alignas(8) u8 bytes[kMenuHeadSize + kMenuItemSize + kMenuTrailSize];
};

// Creates the bar in its window with its model built in `block`, the
// menu strip (borrowed from `sharedIcons` when another eject bar of the
// window has loaded it) and its command handler. The item fills the
// bar's fixed height; the window places the bar.
template <class TParent>
void CreateEjectBar(CMenuBar<TParent>& bar, EjectMenuBlock& block, const CImageStrip* sharedIcons,
                    WidgetCallback<u32> command, TParent* parent) {
  static const MenuBlockEntry kEntries[] = {{1, kMenuTypeCommand, kCmdEject, kEjectItemFlags, kEjectIconFrame}};
  if (sharedIcons)
    bar.icons.Share(*sharedIcons);
  else
    LoadSkinStrip(IDR_SKIN_EJECT_ICONS, SKIN_MENU_ICON_COUNT, &bar.icons);
  bar.options |= CMenuBarCore::kFixedHeight;
  bar.command = command;
  const Rect box = {0, 0, kEjectBarSize, kEjectBarSize};
  bar.Create(kEjectBarFlags, &box, parent);
  bar.SetModel(BuildMenuBlock(block.bytes, kEntries, 1, 0));
}
