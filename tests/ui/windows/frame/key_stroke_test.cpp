#include <gtest/gtest.h>

#include <vector>

#include "ui/widgets/widget_record.h"
#include "ui/windows/frame/key_stroke.h"

namespace {

// The key data of a keystroke as the system gives it (repeat count 1 and
// the key's scan code, 0x100 for an extended key); its character carries
// the same.
constexpr u32 KeyData(u32 scan) { return 1u | (scan << 16); }
constexpr u32 kSpace = KeyData(0x39), kLetterC = KeyData(0x2E), kTab = KeyData(0x0F), kEnter = KeyData(0x1C),
              kBackspace = KeyData(0x0E), kDownArrow = KeyData(0x150);
constexpr u32 kTypedText = 1;  // a character put into the queue as one
// The key held past the repeat delay: its repeated key-downs (and their
// characters) say that it was down already; its key-up.
constexpr u32 Held(u32 keyData) { return keyData | 0x40000000u; }
constexpr u32 Released(u32 keyData) { return keyData | 0xC0000000u; }

// The virtual key of the keys above.
u32 VirtualKey(u32 keyData) {
  switch ((keyData >> 16) & 0x1FF) {
    case 0x39: return 0x20;
    case 0x2E: return 'C';
    case 0x0F: return 0x09;
    case 0x1C: return 0x0D;
    case 0x0E: return 0x08;
    case 0x150: return 0x28;
    default: return 0;
  }
}

// What reaches the record, in the order the windows see it: a key-down
// (and its handling ended), a character arriving, a key-up, a window
// going, a widget going. Windows and widgets are numbers: main window 0 and dialog 1;
// strip 0, field 1, another field 2.
enum Kind { kDown, kEnd, kChar, kUp, kGone, kWidgetGone };
struct Step {
  Kind kind;
  u32 keyData;
  int window, focused;
  bool spent;  // a character: whether it is spent; a key-down: whether it is dropped
};

}  // namespace

// A keystroke's character acts only where its key-down went: it is spent
// when the key-down opened a window that took it, when it comes while the
// key-down is still being handled, or when the focus moved on; every other
// character goes on as typed. A held key's repeats act only where its last
// key-down acted: once it moved the keyboard on, every repeat is dropped
// with its character until the key-up; a key held where it stays (a letter
// or Backspace in a field, Down in a list) and Tab, which moves the focus,
// repeat.
TEST(KeyStroke, AKeystrokeActsOnlyWhereItsKeyDownWent) {
  const struct {
    const char* what;
    std::vector<Step> steps;
  } cases[] = {
      {"typing into a field",
       {{kDown, kLetterC, 0, 1, false}, {kEnd, 0, 0, 0, false}, {kChar, kLetterC, 0, 1, false}}},
      {"Space on a check box (it fires on the key-up)",
       {{kDown, kSpace, 1, 0, false}, {kEnd, 0, 0, 0, false}, {kChar, kSpace, 1, 0, false}}},
      {"Space on a tile whose window took the character in its own loop",
       {{kDown, kSpace, 0, 0, false}, {kChar, kSpace, 1, 1, true}, {kEnd, 0, 0, 0, false}}},
      {"Space on a bar item whose menu took the character, the focus kept",
       {{kDown, kSpace, 0, 0, false}, {kChar, kSpace, 1, 0, true}, {kEnd, 0, 0, 0, false}}},
      {"a loop in the same window during the key-down",
       {{kDown, kSpace, 0, 0, false}, {kChar, kSpace, 0, 0, true}, {kEnd, 0, 0, 0, false}}},
      {"Space on New folder, whose name field took the focus",
       {{kDown, kSpace, 0, 0, false}, {kEnd, 0, 0, 0, false}, {kChar, kSpace, 0, 1, true}}},
      {"a character reaching another window after the key-down",
       {{kDown, kSpace, 0, 0, false}, {kEnd, 0, 0, 0, false}, {kChar, kSpace, 1, 0, true}}},
      {"a keystroke that makes several characters spends them all",
       {{kDown, kSpace, 0, 0, false},
        {kEnd, 0, 0, 0, false},
        {kChar, kSpace, 0, 1, true},
        {kChar, kSpace, 0, 1, true}}},
      {"a key typed in the window a tile opened, while the tile's key-down runs",
       {{kDown, kSpace, 0, 0, false},
        {kChar, kSpace, 1, 1, true},
        {kDown, kLetterC, 1, 1, false},
        {kEnd, 0, 0, 0, false},
        {kChar, kLetterC, 1, 1, false},
        {kDown, kSpace, 1, 1, false},
        {kEnd, 0, 0, 0, false},
        {kChar, kSpace, 1, 1, false},
        {kEnd, 0, 0, 0, false},
        {kChar, kSpace, 1, 1, false}}},
      {"the next key-down after a spent one types",
       {{kDown, kSpace, 0, 0, false},
        {kEnd, 0, 0, 0, false},
        {kChar, kSpace, 0, 1, true},
        {kDown, kSpace, 0, 1, false},
        {kEnd, 0, 0, 0, false},
        {kChar, kSpace, 0, 1, false}}},
      {"a key without a character leaves typed text alone",
       {{kDown, kTab, 0, 0, false}, {kEnd, 0, 0, 0, false}, {kChar, kTypedText, 0, 1, false}}},
      {"text typed before any key-down", {{kChar, kTypedText, 0, 1, false}}},
      {"a character of another keystroke than the last key-down",
       {{kDown, kSpace, 0, 0, false}, {kChar, kLetterC, 1, 1, false}, {kEnd, 0, 0, 0, false}}},
      {"the same key data put into the queue after the key-up",
       {{kDown, kSpace, 0, 0, false},
        {kEnd, 0, 0, 0, false},
        {kChar, kSpace, 0, 1, true},
        {kUp, kSpace | 0xC0000000u, 0, 1, false},
        {kChar, kSpace, 0, 1, false}}},
      {"the same key data sent to a window made after the key-down's window went",
       {{kDown, kSpace, 0, 0, false}, {kEnd, 0, 0, 0, false}, {kGone, 0, 0, 0, false}, {kChar, kSpace, 1, 1, false}}},
      {"a window the key-down opened and closed again",
       {{kDown, kSpace, 0, 0, false}, {kGone, 0, 1, 0, false}, {kEnd, 0, 0, 0, false}, {kChar, kSpace, 0, 1, true}}},
      {"Space held on a tile: its repeats reach the window it opened and do nothing there",
       {{kDown, kSpace, 0, 0, false},
        {kChar, kSpace, 1, 1, true},
        {kDown, Held(kSpace), 1, 1, true},
        {kChar, Held(kSpace), 1, 1, true},
        {kDown, Held(kSpace), 1, 1, true},
        {kChar, Held(kSpace), 1, 1, true},
        {kUp, Released(kSpace), 1, 1, false},
        {kDown, kSpace, 1, 1, false},
        {kEnd, 0, 0, 0, false},
        {kChar, kSpace, 1, 1, false},
        {kEnd, 0, 0, 0, false}}},
      {"Space held on a tile whose window was closed before the key repeated",
       {{kDown, kSpace, 0, 0, false},
        {kChar, kSpace, 1, 1, true},
        {kGone, 0, 1, 0, false},
        {kEnd, 0, 0, 0, false},
        {kDown, Held(kSpace), 0, 0, true},
        {kChar, Held(kSpace), 0, 0, true}}},
      {"Space held on New folder, whose name field took the focus",
       {{kDown, kSpace, 0, 0, false},
        {kEnd, 0, 0, 0, false},
        {kChar, kSpace, 0, 1, true},
        {kDown, Held(kSpace), 0, 1, true},
        {kChar, Held(kSpace), 0, 1, true},
        {kDown, Held(kSpace), 0, 1, true},
        {kChar, Held(kSpace), 0, 1, true},
        {kUp, Released(kSpace), 0, 1, false},
        {kDown, kSpace, 0, 1, false},
        {kEnd, 0, 0, 0, false},
        {kChar, kSpace, 0, 1, false}}},
      {"Enter held on a dialog that it closed: the window below hears nothing of it",
       {{kDown, kEnter, 1, 1, false},
        {kEnd, 0, 0, 0, false},
        {kChar, kEnter, 1, 1, false},
        {kGone, 0, 1, 0, false},
        {kDown, Held(kEnter), 0, 0, true},
        {kChar, Held(kEnter), 0, 0, true},
        {kUp, Released(kEnter), 0, 0, false},
        {kDown, kEnter, 0, 0, false}}},
      {"Down held on a bar item whose menu it opened",
       {{kDown, kDownArrow, 0, 0, false},
        {kDown, Held(kDownArrow), 1, 1, true},
        {kDown, Held(kDownArrow), 1, 1, true},
        {kUp, Released(kDownArrow), 1, 1, false},
        {kDown, kDownArrow, 1, 1, false}}},
      {"a held key whose repeat finds the focus moved on by something else",
       {{kDown, kDownArrow, 0, 1, false},
        {kEnd, 0, 0, 0, false},
        {kDown, Held(kDownArrow), 0, 2, true},
        {kDown, Held(kDownArrow), 0, 1, true}}},
      {"Tab held walks the focus on",
       {{kDown, kTab, 0, 0, false},
        {kEnd, 0, 0, 0, false},
        {kChar, kTab, 0, 1, true},
        {kDown, Held(kTab), 0, 1, false},
        {kEnd, 0, 0, 0, false},
        {kChar, Held(kTab), 0, 2, true},
        {kDown, Held(kTab), 0, 2, false},
        {kEnd, 0, 0, 0, false},
        {kChar, Held(kTab), 0, 0, true}}},
      {"a letter held in a field types on",
       {{kDown, kLetterC, 0, 1, false},
        {kEnd, 0, 0, 0, false},
        {kChar, kLetterC, 0, 1, false},
        {kDown, Held(kLetterC), 0, 1, false},
        {kEnd, 0, 0, 0, false},
        {kChar, Held(kLetterC), 0, 1, false},
        {kDown, Held(kLetterC), 0, 1, false},
        {kEnd, 0, 0, 0, false},
        {kChar, Held(kLetterC), 0, 1, false}}},
      {"Backspace held in a field erases on",
       {{kDown, kBackspace, 1, 1, false},
        {kEnd, 0, 0, 0, false},
        {kChar, kBackspace, 1, 1, false},
        {kDown, Held(kBackspace), 1, 1, false},
        {kEnd, 0, 0, 0, false},
        {kChar, Held(kBackspace), 1, 1, false}}},
      {"Down held in a list moves on",
       {{kDown, kDownArrow, 0, 2, false},
        {kEnd, 0, 0, 0, false},
        {kDown, Held(kDownArrow), 0, 2, false},
        {kEnd, 0, 0, 0, false},
        {kDown, Held(kDownArrow), 0, 2, false},
        {kEnd, 0, 0, 0, false}}},
      {"Enter freed the widget it found, and a new one at its address has the focus",
       {{kDown, kEnter, 0, 1, false}, {kEnd, 0, 0, 0, false}, {kWidgetGone, 0, 0, 1, false},
        {kChar, kEnter, 0, 1, true}}},
      {"a key that was down before these windows had the keyboard",
       {{kDown, Held(kDownArrow), 0, 2, false}, {kEnd, 0, 0, 0, false}, {kDown, Held(kDownArrow), 0, 2, false}}},
      {"another key pressed while one is held: its repeats are its own",
       {{kDown, kSpace, 0, 0, false},
        {kChar, kSpace, 1, 1, true},
        {kDown, kLetterC, 1, 1, false},
        {kEnd, 0, 0, 0, false},
        {kChar, kLetterC, 1, 1, false},
        {kDown, Held(kLetterC), 1, 1, false},
        {kEnd, 0, 0, 0, false},
        {kChar, Held(kLetterC), 1, 1, false},
        {kUp, Released(kSpace), 1, 1, false},
        {kDown, Held(kLetterC), 1, 1, false}}},
  };
  int windows[2] = {0, 0};
  CWidget widgets[3];
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    CKeyStroke stroke;
    int n = 0;
    for (const Step& s : c.steps) {
      ++n;
      if (s.kind == kDown) {
        EXPECT_EQ(!s.spent, stroke.BeginKeyDown(VirtualKey(s.keyData), s.keyData, &windows[s.window],
                                                &widgets[s.focused]))
            << "step " << n;
      } else if (s.kind == kEnd) {
        stroke.EndKeyDown();
      } else if (s.kind == kUp) {
        stroke.KeyUp(s.keyData);
      } else if (s.kind == kGone) {
        stroke.ForgetWindow(&windows[s.window]);
      } else if (s.kind == kWidgetGone) {
        stroke.ForgetWidget(&widgets[s.focused]);
      } else {
        EXPECT_EQ(s.spent, stroke.IsSpentChar(s.keyData, &windows[s.window], &widgets[s.focused])) << "step " << n;
      }
    }
  }
}
