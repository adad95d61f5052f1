// CKeyStroke: the keystroke whose key-down a window of the program took
// last, so that the character the same keystroke makes acts only where
// the key-down went. The message loops call TranslateMessage as they take
// a key-down from the queue, so its character is queued before the
// key-down is handled, and reaches whatever holds the keyboard when it is
// taken. A key-down that runs a command (a start tile, a bar item, a
// shortcut) moves the keyboard on: it opens a window, a menu or a field,
// or gives the focus to another widget. Its character then belongs to
// nothing and is spent: Space on a tile must not type a blank into the
// field of the window the tile opened.
//
// A keystroke's character is known by the key data (lParam) it carries,
// copied from its key-down. It is spent when it arrives while its key-down
// is still being handled (a nested loop of a window or menu the key opened
// took it), at another window than its key-down, or with the focus on
// another widget than the one the key-down found. The keystroke is over at
// its key-up (its characters were queued before it), at the next key-down
// and when its window goes: a character that comes then, or that no
// key-down of these windows made (text put into the queue as characters),
// passes as before.
//
// A key held down is one keystroke until its key-up: the system repeats
// its key-down (key data bit 30 set, the same scan code) to whatever holds
// the keyboard then. A repeat acts only where the keystroke's last key-down
// acted: in the same window, with the same widget focused, once that
// key-down's handling is over, and only when no character of the keystroke
// was spent. Otherwise that key-down moved the keyboard on, and the
// keystroke is spent until its key-up: the repeat and every later one do
// nothing, their characters neither. So holding Space on a tile or on "New
// folder" types no blanks into the field it opened, while a letter or
// Backspace held in a field and Down held in a list repeat. Tab is the key
// that moves the focus: held, it walks on. Portable.
#pragma once
#include "runtime/types.h"

class CWidget;

class CKeyStroke {
 public:
  // A window takes a key-down of virtual key `key` with this key data,
  // `focused` holding the focus: the keystroke before it is over, unless
  // this is its repeat. False for a repeat of a keystroke that moved the
  // keyboard on: the key-down is dropped (no EndKeyDown follows), and so is
  // its character.
  bool BeginKeyDown(u32 key, u32 keyData, const void* window, const CWidget* focused);
  // The key-down's handling ended. Handlers nest (a key pressed in a
  // window that a key-down opened is handled inside it): the inner one
  // begins and ends first, and its keystroke is the one left.
  void EndKeyDown() { inKeyDown_ = false; }
  // A key-up with this key data: the keystroke of the same key is over.
  void KeyUp(u32 keyData);
  // A window goes: its keystroke is over, and a held key's repeats come
  // elsewhere.
  void ForgetWindow(const void* window);
  // A widget goes. When the key-down found it focused, the keyboard has
  // moved on from it, whatever widget takes its address later.
  void ForgetWidget(const CWidget* widget);
  // Whether a character with this key data, arriving at `window` with
  // `focused` holding the focus, is the spent character of a keystroke
  // whose key-down moved the keyboard on. A held key whose character was
  // spent is spent until its key-up (Tab walks on).
  bool IsSpentChar(u32 keyData, const void* window, const CWidget* focused);

 private:
  u32 keyData_ = 0;
  bool begun_ = false;     // its characters are checked
  bool held_ = false;      // its key is down: repeats belong to it
  bool spent_ = false;     // held, and its repeats do nothing
  bool walks_ = false;     // Tab: moving the focus is what it does
  bool inKeyDown_ = false;
  const void* window_ = nullptr;
  const CWidget* focused_ = nullptr;
};

// The keystroke of the user-interface thread, read and written by every
// window's key routing.
CKeyStroke& UiKeyStroke();
