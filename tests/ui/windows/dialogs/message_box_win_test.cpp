// The message box run modally in a real window, driven from a timer of the
// user-interface thread while its loop runs.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "ui/support/real_window.h"
#include "ui/support/scripted_window_system.h"
#include "ui/windows/dialogs/message_box.h"

namespace {

CMessageBox* g_box = nullptr;
std::function<void(CMessageBox&)> g_action;

VOID CALLBACK Drive(HWND, UINT, UINT_PTR id, DWORD) {
  if (!g_box || !g_box->Handle()) return;
  KillTimer(nullptr, id);
  g_action(*g_box);
}

u32 RunBox(u32 flags, std::function<void(CMessageBox&)> action) {
  PumpPending();  // a quit left by an earlier loop would end this one at once
  CMessageBox box;
  g_box = &box;
  g_action = std::move(action);
  SetTimer(nullptr, 0, 30, &Drive);
  const u32 answer = box.Run(MessageText::Of(u"Erase the disc in drive E:?"), MessageText::Id(132), flags);
  g_box = nullptr;
  return answer;
}

TEST(MessageBoxWindow, TickingTheBoxAndPressingEnterAnswersYesWithTheTick) {
  // An owner window that is gone does not keep the box from showing.
  HWND gone = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  DestroyWindow(gone);
  SetOwnerWindow(reinterpret_cast<uintptr_t>(gone));
  bool shown = false;
  const u32 answer = RunBox(0x2010004, [&](CMessageBox& box) {
    shown = true;
    EXPECT_EQ(372, box.width);
    EXPECT_EQ(193, box.height);
    const i32 w = box.GetContentRect().right;
    EXPECT_EQ(w - 216, box.buttons[0].x);
    EXPECT_EQ(w - 108, box.buttons[1].x);
    EXPECT_FALSE(box.buttons[2].IsVisible());
    EXPECT_TRUE(box.check.IsVisible());
    EXPECT_EQ(56, box.check.x) << "beside the icon";
    EXPECT_EQ(&box.buttons[0], FocusedWidget()) << "the default button";
    box.check.SetFocus();
    SendMessageW(static_cast<HWND>(box.Handle()), WM_KEYUP, VK_SPACE, 0);
    EXPECT_TRUE(box.check.IsChecked());
    PostMessageW(static_cast<HWND>(box.Handle()), WM_KEYDOWN, VK_RETURN, 0);
  });
  SetOwnerWindow(0);
  EXPECT_TRUE(shown);
  EXPECT_EQ(kAnswerTicked | kAnswerYes, answer);
}

// Keys typed at the box reach it at once: it holds the system's focus from
// its creation, so one Escape closes it.
TEST(MessageBoxWindow, TheBoxHasTheKeyboardFromItsCreation) {
  HWND focused = nullptr, active = nullptr;
  const u32 answer = RunBox(0x20001, [&](CMessageBox& box) {
    focused = GetFocus();
    active = GetActiveWindow();
    EXPECT_EQ(static_cast<HWND>(box.Handle()), focused);
    PostMessageW(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 1);
  });
  EXPECT_EQ(kAnswerCancel, answer);
  EXPECT_NE(nullptr, active);
}

TEST(MessageBoxWindow, ClosingFromTheCaptionAnswersAsEscape) {
  bool closed = false;
  const u32 answer = RunBox(0x2010004, [&](CMessageBox& box) {
    closed = true;
    PostMessageW(static_cast<HWND>(box.Handle()), WM_CLOSE, 0, 0);
  });
  EXPECT_TRUE(closed);
  EXPECT_EQ(kAnswerUnticked | kAnswerNo, answer);
}

TEST(MessageBoxWindow, ABoxEndedWithoutAnAnswerNeverAnswersOk) {
  bool quit = false;
  const u32 answer = RunBox(0x30002, [&](CMessageBox&) {
    quit = true;
    PostQuitMessage(0);
  });
  EXPECT_TRUE(quit);
  EXPECT_EQ(kAnswerCancel, answer);
  PumpPending();  // the loop passes the quit on
}

// No text is ever cut off: a box grows until its last line shows, and a
// short text keeps the box's own height.
TEST(MessageBoxWindow, TheBoxGrowsUntilItsWholeTextShows) {
  const std::u16string paragraph =
      u"Portions of this software are copyright of others, named in full here so that the line wraps "
      u"several times inside a box of one button.";
  const std::u16string texts[] = {u"Short.", paragraph + u"\n\n" + paragraph + u"\n\n" + paragraph};
  for (const std::u16string& text : texts) {
    for (u32 flags : {0x20001u, 0x1010004u}) {
      CMessageBox box;
      ASSERT_TRUE(box.Open(MessageText::Of(text.c_str()), MessageText::Id(132), flags));
      const Rect c = box.GetContentRect();
      CFontRef font(GetDefaultFont());
      const double need = LaidOutTextHeight(font.Get(), c.right - 8 - box.TextLeft(), text.c_str(), -1);
      EXPECT_LE(need, (c.bottom - 8) - box.TextBottom()) << "every line shows";
      EXPECT_GE(need, font.Get()->lineHeight);
      if (text.size() < 10) {
        EXPECT_EQ((flags >> 24) ? 193 : 160, box.height) << "a short text keeps the size";
      } else {
        EXPECT_GT(need, (c.bottom - 8) - box.TextBottom() - 1) << "grown by what the text needs, not more";
      }
      DestroyWindow(static_cast<HWND>(box.Handle()));
      PumpPending();
    }
  }
}

// A text far too long for the screen (and still within the measured
// length) grows the box by the most it may.
TEST(MessageBoxWindow, AnEndlessTextGrowsTheBoxByItsLimitAlone) {
  std::u16string text;
  for (int i = 0; i < 200; ++i) text += u"Line.\n";
  CMessageBox box;
  ASSERT_TRUE(box.Open(MessageText::Of(text.c_str()), MessageText::Id(132), 0x20001));
  EXPECT_EQ(160 + CMessageBox::kMaxGrowth, box.height);
  DestroyWindow(static_cast<HWND>(box.Handle()));
  PumpPending();
}

// Tab walks the visible buttons, the check box and the box itself, Shift
// with it walks back the same way; Enter answers with the default button
// wherever the focus is, Space with the focused one.
TEST(MessageBoxWindow, TabWalksBothWaysAndEnterAlwaysAnswersWithTheDefault) {
  CScriptedWindowSystem system;
  auto key = [](CMessageBox& box, u32 k) {
    SendMessageW(static_cast<HWND>(box.Handle()), WM_KEYDOWN, k, 1);
    SendMessageW(static_cast<HWND>(box.Handle()), WM_KEYUP, k, 1);
  };
  auto focused = [](CMessageBox& box) -> std::string {
    const CWidget* f = FocusedWidget();
    for (int i = 0; i < 3; ++i)
      if (f == &box.buttons[i]) return "button " + std::to_string(i);
    if (f == &box.check) return "check";
    return f == static_cast<const CWidget*>(&box) ? "box" : "other";
  };
  const struct {
    u32 flags;
    std::vector<std::string> forward, backward;  // the focus after each Tab, from the default button
    u32 lastKey;                                 // after the walks, one Tab forward, then this key
    u32 answer;
  } cases[] = {
      {0x1000005, {"button 1", "button 2", "check", "box", "button 0"},
       {"box", "check", "button 2", "button 1", "button 0"}, VK_RETURN, kAnswerTicked | kAnswerYes},
      {0x305, {"box", "button 0", "button 1", "button 2"}, {"button 1", "button 0", "box", "button 2"}, VK_RETURN,
       kAnswerCancel},
      {0x2000004, {"button 1", "check", "box", "button 0"}, {"box", "check", "button 1", "button 0"}, VK_SPACE,
       kAnswerUnticked | kAnswerNo},
      {0x1000007, {"button 1", "button 2", "check", "box", "button 0"},
       {"box", "check", "button 2", "button 1", "button 0"}, VK_ESCAPE, kAnswerTicked | kAnswerAbort},
  };
  for (const auto& c : cases) {
    std::vector<std::string> forward, backward;
    const u32 answer = RunBox(c.flags, [&](CMessageBox& box) {
      for (size_t i = 0; i < c.forward.size(); ++i) {
        key(box, VK_TAB);
        forward.push_back(focused(box));
      }
      system.SetKeyDown(VK_SHIFT, true);
      for (size_t i = 0; i < c.backward.size(); ++i) {
        key(box, VK_TAB);
        backward.push_back(focused(box));
      }
      system.SetKeyDown(VK_SHIFT, false);
      key(box, VK_TAB);
      key(box, c.lastKey);
    });
    EXPECT_EQ(c.forward, forward) << std::hex << c.flags;
    EXPECT_EQ(c.backward, backward) << std::hex << c.flags;
    EXPECT_EQ(c.answer, answer) << std::hex << c.flags;
  }
}

}  // namespace
