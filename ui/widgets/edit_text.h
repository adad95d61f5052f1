// CEditText: the state and editing rules of the single-line text edit,
// apart from the widget around it: the text, caret, selection and first
// visible character, the key table, typed characters, pastes, word
// selection, the character under a point and keeping the caret in view.
// Every operation first clamps the indices to the text, so no index ever
// reaches past it. Portable.
#pragma once
#include "runtime/wide_string.h"

class CFont;

// The longest text an edit holds: the runtime's string routines measure
// texts up to this many units.
constexpr i32 kEditTextLimit = kTextCap - 1;

// What a key did, for the widget to act on.
enum EditOutcome : u32 {
  kEditMoved = 0x1,        // caret moved or the key forced a refresh
  kEditRedraw = 0x2,       // something visible changed
  kEditTextChanged = 0x4,  // the text changed: scroll, redraw, notify
  kEditNavigation = 0x8,   // Left, Right, Home, End
  kEditCopy = 0x10,        // copy the selection to the clipboard
  kEditPaste = 0x20,       // paste the clipboard's text
  kEditCut = 0x40,         // copy the selection, then delete it
};

constexpr u8 kEditDragging = 0x1;
constexpr u8 kEditCaretShown = 0x2;
constexpr u32 kEditCentre = 0x1;      // options: centre the text when it fits
constexpr u32 kEditAlignRight = 0x2;  // options: against the right edge when it fits

class CEditText {
 public:
  CWideString text;
  u32 options = 0;
  i32 caret = 0;
  i32 selectionStart = 0;
  i32 selectionEnd = 0;  // the selection lies between the two ends
  i32 firstVisible = 0;
  CFont* font = nullptr;  // measures (and places) the text; not owned; null: the UI font
  u8 state = 0;           // kEditDragging, kEditCaretShown

  i32 Length() const { return text.GetLength(); }
  bool HasSelection() const { return selectionStart != selectionEnd; }
  i32 SelectionLow() const { return selectionStart < selectionEnd ? selectionStart : selectionEnd; }
  i32 SelectionHigh() const { return selectionStart < selectionEnd ? selectionEnd : selectionStart; }
  // Brings every index into 0..length.
  void Clamp();
  void Collapse() { selectionStart = selectionEnd = caret; }

  // The key table: a virtual-key code with the Shift and Ctrl state.
  // Clipboard keys only report what to do (kEditCopy, kEditPaste,
  // kEditCut); the rest is done here.
  u32 OnKey(u32 key, bool shift, bool ctrl);
  // The keys of that table, whatever the text and caret: a window leaves
  // them to a focused edit rather than take them as its shortcuts.
  static bool IsOwnKey(u32 key, bool shift, bool ctrl);
  // A typed character (already past the owner's filter): false when it was
  // dropped (a control character, or the text is full).
  bool TypeChar(wchar16 c);
  // Pasted text at the caret, replacing the selection, cut to the limit;
  // false when nothing was inserted.
  bool InsertText(const wchar16* p, i32 n);
  // Removes the selection; the caret and both ends go to its lower end.
  bool DeleteSelection();
  // Replaces the text (up to the limit); caret and selection at its end.
  void SetText(const wchar16* p);
  void SelectAll();
  // Selects the word under index i (none on a space).
  bool SelectWordAt(i32 index);

  // The font the text is measured and drawn in: its own, else the UI font
  // (null only before the fonts are loaded).
  CFont* TextFont() const;
  // Width of the text from index i to the end in the font (0 without one).
  double WidthFrom(i32 i) const;
  double WidthOf(i32 from, i32 to) const;
  // The index of the character under x (content x of the edit, the text
  // starting at margin): a click inside a character lands before it.
  i32 IndexAt(double x, double margin) const;
  // Moves the first visible character so that the caret shows in a view
  // viewWidth wide (the edit's width less both margins).
  void ScrollToCaret(double viewWidth);

 private:
  // Ctrl+Right's target from index from; Ctrl+Left's word start.
  i32 NextWordEnd(i32 from) const;
  i32 WordStartBefore(i32 from) const;
  bool IsSpace(i32 i) const { return text.At(i) == u' '; }
};
