// The message box run modally in a real window, driven from a timer of the
// user-interface thread while its loop runs.
#include <gtest/gtest.h>

#include <functional>

#include "ui/support/real_window.h"
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

}  // namespace
