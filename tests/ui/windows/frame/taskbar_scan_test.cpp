#include <gtest/gtest.h>

#include <vector>

#include "ui/windows/frame/taskbar_button.h"

namespace {

// A taskbar whose reads can fail and whose list can change under the scan.
struct FakeTaskbar {
  struct Button {
    u8 state;
    u32 data;
    TaskbarRect rect;
  };
  std::vector<Button> buttons;
  std::vector<std::pair<u32, u32>> memory;  // address -> window
  int failButtonAt = -1, failWindowAt = -1;
  bool growAfterRect = false;

  i32 ButtonCount() { return static_cast<i32>(buttons.size()); }
  bool ReadButton(i32 i, u8* state, u32* data) {
    if (i == failButtonAt) return false;
    *state = buttons[i].state;
    *data = buttons[i].data;
    return true;
  }
  bool ReadWindowAt(u32 address, u32* window) {
    for (auto& m : memory)
      if (m.first == address && static_cast<int>(address) != failWindowAt) return *window = m.second, true;
    return false;
  }
  bool ReadItemRect(i32 i, TaskbarRect* rect) {
    *rect = buttons[i].rect;
    if (growAfterRect) buttons.push_back(buttons[0]);
    return true;
  }
};

FakeTaskbar ThreeButtons() {
  FakeTaskbar bar;
  bar.buttons = {{0, 0x10, {0, 0, 40, 30}}, {kTaskbarButtonPressed, 0x20, {40, 0, 80, 30}}, {0, 0x30, {80, 0, 120, 30}}};
  bar.memory = {{0x10, 0xA}, {0x20, 0xB}, {0x30, 0xC}};
  return bar;
}

TEST(TaskbarScan, FindsTheButtonOfTheWindowAndItsState) {
  FakeTaskbar bar = ThreeButtons();
  TaskbarRect rect = {0, 0, 0, 0};
  u8 state = 0;
  ASSERT_TRUE(ScanToolbarButtons(bar, 0xB, &rect, &state));
  EXPECT_EQ(40, rect.left);
  EXPECT_EQ(kTaskbarButtonPressed, state);
  EXPECT_TRUE(rect.Contains(40, 0) && !rect.Contains(80, 0));
}

// Every failure ends the lookup with the rectangle untouched, so nothing is
// minimised to a wrong place.
TEST(TaskbarScan, AnyFailedReadOrAChangingListEndsTheLookupWithoutARectangle) {
  struct Case {
    const char* what;
    void (*spoil)(FakeTaskbar&);
    u32 target;
  } cases[] = {
      {"button read fails", [](FakeTaskbar& b) { b.failButtonAt = 1; }, 0xB},
      {"window read fails", [](FakeTaskbar& b) { b.failWindowAt = 0x20; }, 0xB},
      {"list grows meanwhile", [](FakeTaskbar& b) { b.growAfterRect = true; }, 0xB},
      {"not on the taskbar", [](FakeTaskbar&) {}, 0xD},
      {"empty taskbar", [](FakeTaskbar& b) { b.buttons.clear(); }, 0xA},
  };
  for (const Case& c : cases) {
    FakeTaskbar bar = ThreeButtons();
    c.spoil(bar);
    TaskbarRect rect = {1, 2, 3, 4};
    u8 state = 0;
    EXPECT_FALSE(ScanToolbarButtons(bar, c.target, &rect, &state)) << c.what;
    EXPECT_TRUE(rect.left == 1 && rect.right == 3) << c.what;
  }
}

TEST(TaskbarScan, ButtonLayoutsOf32And64BitShells) {
  u8 bytes[kToolbarButtonBytes] = {};
  bytes[8] = 0x6;
  bytes[12] = 0x78, bytes[13] = 0x56, bytes[14] = 0x34, bytes[15] = 0x12;
  bytes[16] = 0x21, bytes[17] = 0x43;
  u8 state = 0;
  u32 data = 0;
  DecodeToolbarButton(bytes, false, &state, &data);
  EXPECT_EQ(0x6, state);
  EXPECT_EQ(0x12345678u, data);
  DecodeToolbarButton(bytes, true, &state, &data);
  EXPECT_EQ(0x4321u, data);
}

}  // namespace
