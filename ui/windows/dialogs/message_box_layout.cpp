#include "ui/windows/dialogs/message_box_layout.h"

namespace {

struct ButtonSet {
  i32 count;
  i32 textIds[3];
  i32 answers[3];
  bool escapeIsCancel;
};

// Sets 1 to 7 (UI string ids 0 "OK", 1 "Cancel", 2 "Yes", 3 "No", 4
// "Retry", 5 "Ignore", 6 "Abort", 7 "Error").
constexpr ButtonSet kSets[8] = {
    {1, {-1, -1, -1}, {-1, -1, -1}, false},  // above 7: one bare button
    {1, {0, -1, -1}, {0, -1, -1}, true},
    {2, {0, 1, -1}, {0, 1, -1}, true},
    {2, {4, 1, -1}, {4, 1, -1}, true},
    {2, {2, 3, -1}, {2, 3, -1}, false},
    {3, {2, 3, 1}, {2, 3, 1}, true},
    {3, {1, 4, 7}, {1, 4, 7}, true},
    {3, {6, 4, 5}, {5, 4, 6}, false},
};

}  // namespace

MessageBoxSpec DescribeMessageBox(u32 flags) {
  MessageBoxSpec spec = {};
  u32 set = flags & 0xFF;
  if (set == 0) set = 1;
  spec.buttonSet = set;
  const ButtonSet& b = kSets[set <= 7 ? set : 0];
  spec.buttonCount = b.count;
  for (int i = 0; i < 3; ++i) {
    spec.textIds[i] = b.textIds[i];
    spec.answers[i] = b.answers[i];
  }
  // A default beyond the buttons shown falls back to the first: a hidden
  // button must never answer Enter.
  const u32 chosen = (flags >> 8) & 0xFF;
  spec.defaultButton = chosen == 2 && b.count >= 2 ? 1 : chosen == 3 && b.count >= 3 ? 2 : 0;
  const u32 icon = (flags >> 16) & 0xFF;
  spec.icon = icon >= 1 && icon <= 4 ? static_cast<i32>(icon) - 1 : -1;
  spec.hasCheckBox = flags > 0xFFFFFF;
  spec.tickedAtFirst = (flags >> 24) == 1;
  spec.escapeAnswer = b.escapeIsCancel ? kAnswerCancel : set == 4 ? kAnswerNo : set == 7 ? kAnswerAbort : kAnswerCancel;
  spec.width = 100 + 108 * b.count + (spec.icon >= 0 ? 56 : 0);
  spec.height = spec.hasCheckBox ? 193 : 160;
  return spec;
}
