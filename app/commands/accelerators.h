// The main window's keyboard shortcuts: one table per interface language
// (the Spanish one follows the Spanish menu texts), the same commands in the
// same order. Some menu texts name keys that no table holds (Help's F1,
// Select all, Add files, New folder): those entries are chosen from the
// menu. Portable.
#pragma once
#include "runtime/types.h"

// Modifier bits of an entry.
constexpr u32 kAccelCtrl = 0x01;
constexpr u32 kAccelAlt = 0x02;
constexpr u32 kAccelShift = 0x04;       // either Shift key
constexpr u32 kAccelLeftShift = 0x08;   // only the left one
constexpr u32 kAccelRightShift = 0x10;  // only the right one
constexpr u32 kAccelNoCase = 0x80;      // a character key

struct AcceleratorEntry {
  u32 key;        // virtual-key code
  u32 modifiers;
  u32 command;
};

constexpr u32 kAcceleratorCount = 11;

// The table of a language (1 English, 8 Spanish); null for any other.
const AcceleratorEntry* AcceleratorTable(u32 language);

// The modifier keys held while a key went down.
struct ModifierKeys {
  bool control;
  bool alt;
  bool leftShift;
  bool rightShift;
};

// The command of the first entry, in table order, whose key and modifier
// bits both equal the pressed key and the held modifiers; 0 when none.
// Virtual-key codes are compared as they are: they have no case, and an
// upper-cased function or keypad key (F4 is 0x73, 's') would pass for a
// letter.
u32 MatchAccelerator(const AcceleratorEntry* table, u32 count, u32 key, const ModifierKeys& held);
