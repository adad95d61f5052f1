#include <gtest/gtest.h>

#include <string>

#include "app/commands/accelerators.h"
#include "runtime/ui_strings.h"

namespace {

constexpr u32 kTab = 0x09, kF4 = 0x73;
const ModifierKeys kNone = {false, false, false, false};
const ModifierKeys kCtrl = {true, false, false, false};
const ModifierKeys kAlt = {false, true, false, false};
const ModifierKeys kCtrlLeftShift = {true, false, true, false};
const ModifierKeys kCtrlRightShift = {true, false, false, true};
const ModifierKeys kCtrlBothShifts = {true, false, true, true};
const ModifierKeys kCtrlAlt = {true, true, false, false};
const ModifierKeys kAltShift = {false, true, true, false};
const ModifierKeys kShift = {false, false, true, false};

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

// A menu entry with a shortcut names it after a tab, except the English
// window-menu entries (Next, Previous and Close Window), whose texts carry
// no key text; their keys work in both languages all the same (above).
TEST(Accelerators, MenuEntriesWithAShortcutShowItExceptTheEnglishWindowMenu) {
  InstallBuiltInLanguages();
  for (u32 language : {1u, 8u}) {
    ASSERT_TRUE(SetCurrentLanguage(language));
    const AcceleratorEntry* table = AcceleratorTable(language);
    for (u32 i = 0; i < kAcceleratorCount; ++i) {
      const u32 command = table[i].command;
      if (command > 206) continue;  // keyboard only, no entry
      const bool named = language == 8 || command < 57 || command > 59;
      const std::u16string text = GetUiText(command);
      EXPECT_EQ(named, text.find(u'\t') != std::u16string::npos) << language << ": " << command;
    }
  }
  SetCurrentLanguage(1);
}

// The keys some menu texts name beside the entry (Help's F1, Select all,
// Add files, New folder) are no shortcuts in either language: those
// entries are chosen from the menu. Eleven entries a table, no more.
TEST(Accelerators, KeysTheMenuTextsNameButNoTableHoldsGiveNothing) {
  constexpr u32 kF1 = 0x70;
  const struct {
    u32 language, key;
    ModifierKeys held;
    u32 entry;  // the menu entry whose text names the key
  } rows[] = {
      {1, kF1, kNone, 61}, {8, kF1, kNone, 61}, {1, kF1, kCtrl, 61}, {1, kF1, kShift, 61},
      {1, 'A', kCtrl, 36}, {8, 'E', kCtrl, 36},  // Select all
      {1, 'A', kAlt, 37},  {8, 'A', kAlt, 37},   // Add files...
      {1, 'D', kCtrl, 38}, {8, 'D', kCtrl, 38},  // New folder
  };
  for (const auto& r : rows) {
    EXPECT_EQ(0u, Match(r.language, r.key, r.held)) << r.language << " key " << r.key << " of entry " << r.entry;
    for (u32 i = 0; i < kAcceleratorCount; ++i) EXPECT_NE(r.entry, AcceleratorTable(r.language)[i].command) << i;
  }
  EXPECT_EQ(11u, kAcceleratorCount);
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
      {1, '2', kCtrl, 208}, {1, 'O', kNone, 0},   {1, 'O', kAlt, 0},    {1, 'C', kCtrlLeftShift, 0},
      // Keypad and function keys whose codes are lower-case letters are no
      // letters: Ctrl+Numpad1 (0x61) is not Ctrl+A, Ctrl+F7 (0x76) not Ctrl+V.
      {8, 0x61, kCtrl, 0},  {1, 0x76, kCtrl, 0},  {1, 0x6F, kCtrl, 0},
      // Each language's own letters only: Open and Save are Ctrl+A and
      // Ctrl+G in Spanish, Ctrl+O and Ctrl+S in English.
      {8, 'S', kCtrl, 0},   {1, 'G', kCtrl, 0},  {8, 'C', kCtrl, 32}, {8, 'V', kCtrl, 33}, {1, 'V', kCtrl, 33},
      // A modifier more than the entry has is another key: Ctrl+Alt, Alt+Shift,
      // Shift alone, Ctrl+Shift on an entry without Shift.
      {1, 'O', kCtrlAlt, 0}, {8, 'A', kCtrlAlt, 0}, {1, kF4, kCtrlAlt, 0}, {1, kF4, kAltShift, 0},
      {1, kTab, kAlt, 0},    {1, kTab, kShift, 0},  {1, kTab, kNone, 0},
      {1, kF4, kCtrlLeftShift, 0}, {8, '1', kCtrlRightShift, 0}, {1, '2', kCtrlLeftShift, 0},
      {1, kF4, kNone, 0},    {1, '1', kNone, 0},
      // Both Shift keys down are Shift too.
      {1, kTab, kCtrlBothShifts, 58}, {8, kTab, kCtrlBothShifts, 58},
      // No table for another language.
      {2, 'O', kCtrl, 0},
  };
  for (const KeyCase& c : cases)
    EXPECT_EQ(c.command, Match(c.language, c.key, c.held)) << c.language << " key " << c.key;
}

}  // namespace
