// What a message box's flags ask for: its buttons with their texts and
// answers, the default button, the icon, the "Don't ask again" box, what
// Escape answers and the window's size. Portable.
//
// Flags: bits 0-7 the button set (0 is set 1; above 7 a single button
// without text or action), 8-15 the default button (2 the second, 3 the
// third, else the first), 16-23 the icon (1 warning, 2 information, 3
// question, 4 error), 24-31 the check box (0 none, 1 ticked at first, else
// not ticked).
#pragma once
#include "runtime/message_answers.h"
#include "runtime/types.h"

// Answers (the low 16 bits of the result): Ok, Cancel, Yes, No, then these.
constexpr u32 kAnswerRetry = 4;
constexpr u32 kAnswerAbort = 5;
constexpr u32 kAnswerIgnore = 6;
constexpr u32 kAnswerError = 7;
// Added to an answer of a box with a check box.
constexpr u32 kAnswerTicked = 0x10000;
constexpr u32 kAnswerUnticked = 0x20000;

struct MessageBoxSpec {
  u32 buttonSet;
  i32 buttonCount;    // 1 to 3
  i32 defaultButton;  // 0 to buttonCount - 1
  i32 textIds[3];     // -1: no text
  i32 answers[3];     // -1: no action
  i32 icon;           // -1 none, else the strip's frame 0 to 3
  bool hasCheckBox;
  bool tickedAtFirst;
  u32 escapeAnswer;   // Escape, and closing the box from its caption
  i32 width, height;  // the window's outer size
};

MessageBoxSpec DescribeMessageBox(u32 flags);

// A button's or Escape's answer with the check-box bits of the box.
inline u32 WithCheckBits(const MessageBoxSpec& spec, u32 answer, bool ticked) {
  if (!spec.hasCheckBox) return answer;
  return answer | (ticked ? kAnswerTicked : kAnswerUnticked);
}
