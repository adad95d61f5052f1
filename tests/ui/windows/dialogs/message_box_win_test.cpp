// The message box run modally in a real window, driven from a timer of the
// user-interface thread while its loop runs.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "ui/support/display_list_reader.h"
#include "ui/support/look_steps.h"
#include "ui/support/memory_canvas.h"
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
    EXPECT_EQ(nullptr, FocusedWidget()) << "no button has the focus";
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

void Key(CMessageBox& box, u32 k) {
  SendMessageW(static_cast<HWND>(box.Handle()), WM_KEYDOWN, k, 1);
  SendMessageW(static_cast<HWND>(box.Handle()), WM_KEYUP, k, 1);
}

std::string FocusName(CMessageBox& box) {
  const CWidget* f = FocusedWidget();
  if (!f) return "none";
  for (int i = 0; i < 3; ++i)
    if (f == &box.buttons[i]) return "button " + std::to_string(i);
  if (f == &box.check) return "check";
  return f == static_cast<const CWidget*>(&box) ? "box" : "other";
}

// The box opens with no control focused: Space does nothing until a Tab
// has moved the focus; Escape, and Enter with no button focused, answer as
// the box's buttons say (Enter its default button). Space and Enter on the
// box itself press its lit close button, which answers as Escape.
TEST(MessageBoxWindow, OpensWithNoButtonFocusedAndSpaceWaitsForTab) {
  const struct {
    u32 flags;
    std::vector<u32> keys;  // after a first Space
    u32 answer;
  } cases[] = {
      {0x10004, {VK_RETURN}, kAnswerYes},
      {0x10204, {VK_RETURN}, kAnswerNo},
      {0x30002, {VK_ESCAPE}, kAnswerCancel},
      {0x30002, {VK_RETURN}, kAnswerOk},
      {0x1, {VK_TAB, VK_TAB, VK_SPACE}, kAnswerOk},     // the box itself, then OK
      {0x10004, {VK_TAB, VK_SPACE}, kAnswerNo},         // the box's own close: as Escape
      {0x10004, {VK_TAB, VK_RETURN}, kAnswerNo},        // Enter on it too, not the default Yes
      {0x30002, {VK_TAB, VK_RETURN}, kAnswerCancel},    // nor the default OK
      {0x2000004, {VK_SPACE, VK_ESCAPE}, kAnswerUnticked | kAnswerNo},
  };
  for (const auto& c : cases) {
    std::string atOpen, afterSpace;
    bool answeredBySpace = true;
    const u32 answer = RunBox(c.flags, [&](CMessageBox& box) {
      atOpen = FocusName(box);
      Key(box, VK_SPACE);
      afterSpace = FocusName(box);
      answeredBySpace = box.answered;
      for (u32 k : c.keys) Key(box, k);
    });
    EXPECT_EQ("none", atOpen) << std::hex << c.flags;
    EXPECT_EQ("none", afterSpace) << std::hex << c.flags;
    EXPECT_FALSE(answeredBySpace) << std::hex << c.flags << ": Space answered before any Tab";
    EXPECT_EQ(c.answer, answer) << std::hex << c.flags;
  }
}

// Tab walks the visible buttons, the check box and the box itself from no
// focus, the box first; Shift with it walks back the same way. Enter
// answers with the focused button, on the box itself with its lit close
// button (as Escape), and with the default button while the check box has
// the focus; Space with the focused one.
TEST(MessageBoxWindow, TabWalksBothWaysAndEnterAnswersWithTheFocusedButton) {
  CScriptedWindowSystem system;
  const struct {
    u32 flags;
    std::vector<std::string> forward, backward;  // the focus after each Tab: from none, then Shift+Tab on
    int tabs;                                    // then this many Tabs forward
    u32 lastKey;                                 // and this key
    u32 answer;
  } cases[] = {
      {0x1000005, {"box", "button 0", "button 1", "button 2", "check"},
       {"button 2", "button 1", "button 0", "box", "check"}, 1, VK_RETURN, kAnswerTicked | kAnswerCancel},
      {0x305, {"box", "button 0", "button 1", "button 2"}, {"button 1", "button 0", "box", "button 2"}, 2,
       VK_RETURN, kAnswerYes},
      {0x2000004, {"box", "button 0", "button 1", "check"}, {"button 1", "button 0", "box", "check"}, 3, VK_SPACE,
       kAnswerUnticked | kAnswerNo},
      {0x1000007, {"box", "button 0", "button 1", "button 2", "check"},
       {"button 2", "button 1", "button 0", "box", "check"}, 0, VK_ESCAPE, kAnswerTicked | kAnswerAbort},
      {0x30002, {"box", "button 0", "button 1"}, {"button 0", "box", "button 1"}, 0, VK_RETURN, kAnswerCancel},
      {0x2000105, {"box", "button 0", "button 1", "button 2", "check"},
       {"button 2", "button 1", "button 0", "box", "check"}, 0, VK_RETURN, kAnswerUnticked | kAnswerYes},
  };
  for (const auto& c : cases) {
    std::vector<std::string> forward, backward;
    std::string last;
    const u32 answer = RunBox(c.flags, [&](CMessageBox& box) {
      for (size_t i = 0; i < c.forward.size(); ++i) {
        Key(box, VK_TAB);
        forward.push_back(FocusName(box));
      }
      system.SetKeyDown(VK_SHIFT, true);
      for (size_t i = 0; i < c.backward.size(); ++i) {
        Key(box, VK_TAB);
        backward.push_back(FocusName(box));
      }
      system.SetKeyDown(VK_SHIFT, false);
      for (int i = 0; i < c.tabs; ++i) Key(box, VK_TAB);
      last = FocusName(box);
      Key(box, c.lastKey);
    });
    EXPECT_EQ(c.forward, forward) << std::hex << c.flags;
    EXPECT_EQ(c.backward, backward) << std::hex << c.flags;
    EXPECT_EQ(c.answer, answer) << std::hex << c.flags << " with the focus on " << last;
  }
}

// A focused button that is disabled takes Enter and does nothing; a
// focused control that is no button leaves Enter to the default button.
TEST(MessageBoxWindow, EnterOnADisabledFocusedButtonDoesNothing) {
  bool open = false;
  const u32 answer = RunBox(0x2000002, [&](CMessageBox& box) {
    box.buttons[1].SetFocus();
    box.buttons[1].Enable(false);
    Key(box, VK_RETURN);
    open = !box.answered;
    box.buttons[1].Enable(true);
    box.check.SetFocus();
    Key(box, VK_RETURN);
  });
  EXPECT_TRUE(open) << "Enter on the disabled Cancel answered";
  EXPECT_EQ(kAnswerUnticked | kAnswerOk, answer) << "Enter on the check box answers with the default OK";
}

// Where the buttons and the check box stand for one, two and three buttons,
// with and without the icon: the shown buttons 8 apart from the right
// edge in their left-to-right order, the hidden ones at the rightmost place.
TEST(MessageBoxWindow, ButtonsStandFromTheRightInTheirOrder) {
  const i32 w = 500;
  const struct {
    u32 flags;
    i32 x[3];
    i32 checkLeft;
  } cases[] = {
      {0x1, {w - 108, w - 108, w - 108}, 8},
      {0x2000004, {w - 216, w - 108, w - 108}, 8},
      {0x1010005, {w - 324, w - 216, w - 108}, 56},
      {0x40007, {w - 324, w - 216, w - 108}, 56},
  };
  for (const auto& c : cases) {
    CMessageBox box;
    box.spec = DescribeMessageBox(c.flags);
    for (i32 i = 0; i < 3; ++i) {
      const Rect r = box.ButtonRect(i, w);
      EXPECT_TRUE(r.left == c.x[i] && r.right == c.x[i] + 100 && r.top == 20 && r.bottom == 45)
          << std::hex << c.flags << std::dec << " button " << i << " at " << r.left;
    }
    const Rect check = box.CheckRect(w);
    EXPECT_TRUE(check.left == c.checkLeft && check.right == w - 8 && check.top == 73 && check.bottom == 98)
        << std::hex << c.flags;
  }
}

// What the box paints under its controls: the grey band 65 pixels high at
// the bottom and white above it over the whole width, each line of the
// text centred between the text's left edge (right of the icon when there
// is one) and 8 pixels from the right, the first line 8 pixels below the
// top, and the icon's frame 8 pixels in from the left and the top.
TEST(MessageBoxWindow, TheBandTheCentredTextAndTheIconArePaintedInTheirPlaces) {
  const std::u16string lines[] = {u"Erase the disc", u"in drive E:?"};
  const std::u16string text = lines[0] + u"\n" + lines[1];
  for (u32 flags : {0x1u, 0x2000003u, 0x40001u, 0x1010005u}) {
    CMessageBox box;
    ASSERT_TRUE(box.Open(MessageText::Of(text.c_str()), MessageText::Id(132), flags));
    const Rect c = box.GetContentRect();
    const bool icon = (flags >> 16) & 0xFF;
    CMemoryCanvas m(c.right, c.bottom);
    CFontRef font(GetDefaultFont());
    m.canvas.font = font.Get();
    box.PaintDecoration(m.canvas);
    const std::vector<DrawnRecord> all = ReadRecords(m.canvas);
    const std::vector<DrawnRecord> fills = RecordsOf(all, kOpRect);
    ASSERT_EQ(2u, fills.size()) << std::hex << flags;
    EXPECT_TRUE(fills[0].x0 == 0 && fills[0].y0 == 0 && fills[0].x1 == c.right && fills[0].y1 == 65);
    EXPECT_EQ(CMessageBox::kBandColour, fills[0].colour);
    EXPECT_TRUE(fills[1].x0 == 0 && fills[1].y0 == 65 && fills[1].x1 == c.right && fills[1].y1 == c.bottom);
    EXPECT_EQ(0xFFFFFFFFu, fills[1].colour);

    const double left = icon ? 64 : 8, right = c.right - 8;
    const std::vector<DrawnRecord> runs = RecordsOf(all, kOpTextRun);
    ASSERT_EQ(2u, runs.size()) << std::hex << flags;
    for (u32 i = 0; i < 2; ++i) {
      EXPECT_EQ(lines[i], runs[i].text) << std::hex << flags;
      const double width = font.Get()->MeasureText(lines[i].c_str(), static_cast<i32>(lines[i].size()));
      EXPECT_DOUBLE_EQ(left + (right - left - width) / 2, runs[i].x0) << std::hex << flags << " line " << i;
      EXPECT_DOUBLE_EQ(c.bottom - 8 - font.Get()->ascender - i * font.Get()->lineHeight, runs[i].y0)
          << std::hex << flags << " line " << i;
    }

    const std::vector<DrawnRecord> bitmaps = RecordsOf(all, kOpBitmap);
    ASSERT_EQ(icon ? 1u : 0u, bitmaps.size()) << std::hex << flags;
    if (icon) {
      EXPECT_TRUE(bitmaps[0].x0 == 8 && bitmaps[0].x1 == 56 && bitmaps[0].y1 == c.bottom - 8 &&
                  bitmaps[0].y0 == c.bottom - 56)
          << std::hex << flags;
    }
    DestroyWindow(static_cast<HWND>(box.Handle()));
    PumpPending();
  }
}

// The box's check box shows exactly its state after every change: ticked
// and unticked by clicks and by Space, lit under the pointer and let go,
// focused by Tab and left: each time as a fresh paint of the box shows it.
TEST(MessageBoxWindow, TheCheckBoxLooksAsPaintedFreshAfterEveryChange) {
  PumpPending();
  CScriptedWindowSystem seam;
  CMessageBox box;
  ASSERT_TRUE(box.Open(MessageText::Of(u"Overburn?"), MessageText::Id(132), 0x2010004));
  PumpPending();
  const CWidget* check = &box.check;
  ExpectLooksAsPaintedFresh(box, seam, ContentPoint(box, 4, 4),
                            {{"pointer onto the box", Act::kMoveOnto, check},
                             {"ticked", Act::kClick, check},
                             {"the box is ticked", Act::kRun, check, [&] { EXPECT_TRUE(box.check.IsChecked()); }},
                             {"unticked", Act::kClick, check},
                             {"pointer away", Act::kMoveAway, check},
                             {"focused", Act::kTabTo, check},
                             {"ticked by Space", Act::kSpace, check},
                             {"unticked by Space", Act::kSpace, check},
                             {"focus left", Act::kTab, check}});
  EXPECT_FALSE(box.check.IsChecked());
  DestroyWindow(static_cast<HWND>(box.Handle()));
  PumpPending();
}

}  // namespace
