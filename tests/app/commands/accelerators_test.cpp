#include <gtest/gtest.h>

#include "app/commands/accelerators.h"

namespace {

constexpr u32 kTab = 0x09, kF4 = 0x73;
const ModifierKeys kNone = {false, false, false, false};
const ModifierKeys kCtrl = {true, false, false, false};
const ModifierKeys kAlt = {false, true, false, false};
const ModifierKeys kCtrlLeftShift = {true, false, true, false};
const ModifierKeys kCtrlRightShift = {true, false, false, true};

u32 Match(u32 language, u32 key, const ModifierKeys& held) {
  return MatchAccelerator(AcceleratorTable(language), kAcceleratorCount, key, held);
}

// Both languages offer every command, in the same order: a command missing
// from one table would be unreachable by keyboard in that language only.
TEST(Accelerators, BothLanguagesHoldTheSameCommandsInTheSameOrder) {
  const AcceleratorEntry* en = AcceleratorTable(1);
  const AcceleratorEntry* es = AcceleratorTable(8);
  ASSERT_NE(nullptr, en);
  ASSERT_NE(nullptr, es);
  EXPECT_EQ(nullptr, AcceleratorTable(2));
  for (u32 i = 0; i < kAcceleratorCount; ++i) {
    EXPECT_EQ(en[i].command, es[i].command) << i;
    EXPECT_EQ(en[i].modifiers, es[i].modifiers) << i;
    // Every entry is reachable: no earlier entry of its table takes its keys.
    for (const AcceleratorEntry* table : {en, es}) {
      const u32 m = table[i].modifiers;
      const ModifierKeys held = {(m & kAccelCtrl) != 0, (m & kAccelAlt) != 0, (m & kAccelShift) != 0, false};
      EXPECT_EQ(table[i].command, MatchAccelerator(table, kAcceleratorCount, table[i].key, held)) << i;
    }
  }
}

struct KeyCase {
  u32 language;
  u32 key;
  ModifierKeys held;
  u32 command;  // 0: nothing
};

TEST(Accelerators, KeysGiveTheirCommands) {
  const KeyCase cases[] = {
      {1, 'O', kCtrl, 23},  {1, 'S', kCtrl, 24},  {8, 'A', kCtrl, 23},  {8, 'G', kCtrl, 24},
      {8, 'O', kCtrl, 0},   {1, 'A', kCtrl, 0},   {1, 'N', kCtrl, 21},  {8, 'N', kCtrl, 21},
      {1, kTab, kCtrl, 57}, {1, kTab, kCtrlLeftShift, 58}, {8, kTab, kCtrlRightShift, 58},
      {1, kF4, kAlt, 27},   {1, kF4, kCtrl, 59},  {8, kF4, kCtrl, 59},  {1, '1', kCtrl, 207},
      {1, '2', kCtrl, 208}, {1, 0x70, kNone, 61}, {8, 0x70, kNone, 61}, {1, 0x70, kCtrl, 0}, {1, 'O', kNone, 0},   {1, 'O', kAlt, 0},    {1, 'C', kCtrlLeftShift, 0},
      // Keypad and function keys whose codes are lower-case letters are no
      // letters: Ctrl+Numpad1 (0x61) is not Ctrl+A, Ctrl+F7 (0x76) not Ctrl+V.
      {8, 0x61, kCtrl, 0},  {1, 0x76, kCtrl, 0},  {1, 0x6F, kCtrl, 0},
  };
  for (const KeyCase& c : cases)
    EXPECT_EQ(c.command, Match(c.language, c.key, c.held)) << c.language << " key " << c.key;
}

}  // namespace
