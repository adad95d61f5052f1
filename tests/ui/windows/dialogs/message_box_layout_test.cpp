#include <gtest/gtest.h>

#include "ui/windows/dialogs/message_box_layout.h"

namespace {

TEST(MessageBoxLayout, FlagsGiveSizeButtonsDefaultIconAndEscape) {
  const struct {
    u32 flags;
    i32 width, height, buttons;
    u32 enter;   // the default button's answer
    u32 escape;
    i32 icon;
  } cases[] = {
      {0x10004, 372, 160, 2, kAnswerYes, kAnswerNo, 0},   // Yes/No, warning
      {0x10204, 372, 160, 2, kAnswerNo, kAnswerNo, 0},    // "No" as default
      {0x30002, 372, 160, 2, kAnswerOk, kAnswerCancel, 2},
      {1, 208, 160, 1, kAnswerOk, kAnswerCancel, -1},
      {0, 208, 160, 1, kAnswerOk, kAnswerCancel, -1},     // set 0 is the OK box
      {0x40005, 480, 160, 3, kAnswerYes, kAnswerCancel, 3},
      {0x307, 424, 160, 3, kAnswerIgnore, kAnswerAbort, -1},
      {0x50006, 424, 160, 3, kAnswerCancel, kAnswerCancel, -1},  // icon 5: none
      {0x303, 316, 160, 2, kAnswerRetry, kAnswerCancel, -1},  // no third button: the first is default
      {0x2010004, 372, 193, 2, kAnswerYes, kAnswerNo, 0},
  };
  for (const auto& c : cases) {
    const MessageBoxSpec s = DescribeMessageBox(c.flags);
    EXPECT_EQ(c.width, s.width) << std::hex << c.flags;
    EXPECT_EQ(c.height, s.height) << std::hex << c.flags;
    EXPECT_EQ(c.buttons, s.buttonCount) << std::hex << c.flags;
    EXPECT_LT(s.defaultButton, s.buttonCount) << std::hex << c.flags;
    EXPECT_EQ(static_cast<i32>(c.enter), s.answers[s.defaultButton]) << std::hex << c.flags;
    EXPECT_EQ(c.escape, s.escapeAnswer) << std::hex << c.flags;
    EXPECT_EQ(c.icon, s.icon) << std::hex << c.flags;
  }
}

TEST(MessageBoxLayout, CheckBoxBitsJoinEveryAnswerOfABoxThatHasOne) {
  const MessageBoxSpec plain = DescribeMessageBox(0x10004);
  const MessageBoxSpec ask = DescribeMessageBox(0x2010004);
  const MessageBoxSpec ticked = DescribeMessageBox(0x1010004);
  EXPECT_EQ(kAnswerYes, WithCheckBits(plain, kAnswerYes, true));
  EXPECT_EQ(0x10002u, WithCheckBits(ask, kAnswerYes, true));
  EXPECT_EQ(0x20003u, WithCheckBits(ask, ask.escapeAnswer, false));
  EXPECT_FALSE(ask.tickedAtFirst);
  EXPECT_TRUE(ticked.tickedAtFirst && ticked.hasCheckBox);
}

TEST(MessageBoxLayout, ASetAboveSevenIsOneBareButton) {
  const MessageBoxSpec s = DescribeMessageBox(9);
  EXPECT_EQ(1, s.buttonCount);
  EXPECT_EQ(-1, s.textIds[0]);
  EXPECT_EQ(-1, s.answers[0]);
  EXPECT_EQ(kAnswerCancel, s.escapeAnswer);
}

}  // namespace
