#include "app/commands/accelerators.h"

namespace {

constexpr u32 kVkTab = 0x09;
constexpr u32 kVkF4 = 0x73;
constexpr u32 kText = kAccelCtrl | kAccelNoCase;

const AcceleratorEntry kEnglish[kAcceleratorCount] = {
    {'N', kText, 21},                          // Data project
    {'O', kText, 23},                          // Open
    {'S', kText, 24},                          // Save
    {kVkF4, kAccelCtrl, 59},                   // Close Window
    {kVkF4, kAccelAlt, 27},                    // Exit
    {kVkTab, kAccelCtrl | kAccelShift, 58},    // Previous Window
    {kVkTab, kAccelCtrl, 57},                  // Next Window
    {'C', kText, 32},                          // Copy
    {'V', kText, 33},                          // Paste
    {'1', kAccelCtrl, 207},                    // 800 x 600
    {'2', kAccelCtrl, 208},                    // 960 x 540
};

const AcceleratorEntry kSpanish[kAcceleratorCount] = {
    {'N', kText, 21},
    {'A', kText, 23},  // Abrir
    {'G', kText, 24},  // Guardar
    {kVkF4, kAccelCtrl, 59},
    {kVkF4, kAccelAlt, 27},
    {kVkTab, kAccelCtrl | kAccelShift, 58},
    {kVkTab, kAccelCtrl, 57},
    {'C', kText, 32},
    {'V', kText, 33},
    {'1', kAccelCtrl, 207},
    {'2', kAccelCtrl, 208},
};

}  // namespace

const AcceleratorEntry* AcceleratorTable(u32 language) {
  if (language == 1) return kEnglish;
  if (language == 8) return kSpanish;
  return nullptr;
}

u32 MatchAccelerator(const AcceleratorEntry* table, u32 count, u32 key, const ModifierKeys& held) {
  if (!table) return 0;
  for (u32 i = 0; i < count; ++i) {
    const AcceleratorEntry& e = table[i];
    u32 state = 0;
    if (held.alt) state |= kAccelAlt;
    if (held.control) state |= kAccelCtrl;
    if (e.modifiers & (kAccelLeftShift | kAccelRightShift)) {
      if (held.leftShift) state |= kAccelLeftShift;
      if (held.rightShift) state |= kAccelRightShift;
    } else if (held.leftShift || held.rightShift) {
      state |= kAccelShift;
    }
    state |= e.modifiers & kAccelNoCase;
    if (e.key == key && e.modifiers == state) return e.command;
  }
  return 0;
}
