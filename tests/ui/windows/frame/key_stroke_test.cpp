#include <gtest/gtest.h>

#include <vector>

#include "ui/widgets/widget_record.h"
#include "ui/windows/frame/key_stroke.h"

namespace {

// The key data of a keystroke as the system gives it (repeat count 1 and
// the key's scan code); its character carries the same.
constexpr u32 KeyData(u32 scan) { return 1u | (scan << 16); }
constexpr u32 kSpace = KeyData(0x39), kLetterC = KeyData(0x2E), kTab = KeyData(0x0F);
constexpr u32 kTypedText = 1;  // a character put into the queue as one

// What reaches the record, in the order the windows see it: a key-down
// taken (and its handling ended), a character arriving, a key-up, a window
// going. Windows and widgets are numbers: main window 0 and dialog 1;
// strip 0, field 1.
enum Kind { kDown, kEnd, kChar, kUp, kGone };
struct Step {
  Kind kind;
  u32 keyData;
  int window, focused;
  bool spent;  // a character: whether it is spent
};

}  // namespace

// A keystroke's character acts only where its key-down went: it is spent
// when the key-down opened a window that took it, when it comes while the
// key-down is still being handled, or when the focus moved on; every other
// character goes on as typed.
TEST(KeyStroke, ACharacterActsOnlyWhereItsKeyDownWent) {
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
  };
  int windows[2] = {0, 0};
  CWidget widgets[2];
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    CKeyStroke stroke;
    int n = 0;
    for (const Step& s : c.steps) {
      ++n;
      if (s.kind == kDown) {
        stroke.BeginKeyDown(s.keyData, &windows[s.window], &widgets[s.focused]);
      } else if (s.kind == kEnd) {
        stroke.EndKeyDown();
      } else if (s.kind == kUp) {
        stroke.KeyUp(s.keyData);
      } else if (s.kind == kGone) {
        stroke.ForgetWindow(&windows[s.window]);
      } else {
        EXPECT_EQ(s.spent, stroke.IsSpentChar(s.keyData, &windows[s.window], &widgets[s.focused])) << "step " << n;
      }
    }
  }
}
