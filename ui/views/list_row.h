// ListRow: one item of a list view, held by the list or handed over by its
// owner on request (the owner fills a record the list gives it). Copying a
// row copies its text. Portable.
#pragma once
#include <new>

#include "runtime/array.h"
#include "runtime/wide_string.h"

// Icon placement bits of a row (iconLayout).
constexpr u32 kIconTextRight = 0x1;   // the text starts 2 px right of the icon
constexpr u32 kIconAtRight = 0x2;     // the icon at the right end, the text before it
constexpr u32 kIconAtTop = 0x4;       // the icon at the top, the text below it
constexpr u32 kIconCentreV = 0x10;    // the icon centred vertically
constexpr u32 kIconCentreH = 0x20;    // the icon centred horizontally
constexpr u32 kListRowSelected = 0x1;     // state

struct ListRow {
  CWideString text;
  i32 image = -1;          // frame of the list's image strip; -1 none
  u32 textFlags = 8;       // handed to the canvas's text drawing
  u32 iconLayout = kIconTextRight | kIconCentreV;
  u32 state = 0;           // kListRowSelected
  u32 userValue = 0;       // the owner's

  // Back to a fresh record (the text keeps its buffer).
  void Reset() {
    text.SetLength(0);
    image = -1;
    textFlags = 8;
    iconLayout = kIconTextRight | kIconCentreV;
    state = 0;
    userValue = 0;
  }
};

template <>
struct ArrayTraits<ListRow> {
  static void InitNew(ListRow* slot) { new (slot) ListRow(); }
  static void CopyInto(ListRow* slot, const ListRow& from) { new (slot) ListRow(from); }
  static void Destroy(ListRow* element) { element->~ListRow(); }
};
