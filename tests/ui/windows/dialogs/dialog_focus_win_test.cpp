// The keyboard focus around the toolkit's dialogs: each opens as its runner
// says (the message box with no control focused, the folder browser in its
// tree) and, when it has gone, the widget that had the focus before it has
// it again, unless that widget went away meanwhile or another took the
// focus.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "render/text/font.h"
#include "runtime/win.h"
#include "ui/support/real_window.h"
#include "ui/support/scripted_window_system.h"
#include "ui/windows/dialogs/folder_browser.h"
#include "ui/widgets/text_edit.h"
#include "ui/windows/dialogs/message_box.h"

namespace {

// A window below the dialogs: a key probe and a text field, both Tab stops.
class CHolderFrame : public CFrameWindow<CHolderFrame> {
 public:
  static constexpr u32 kStyle = 0x6470;
  static constexpr u32 kCaretSlot = kCaretSlotBurnImage;
  static constexpr i32 kMinTrackWidth = 100, kMinTrackHeight = 100;
  auto Children() { return std::tie(probe, field); }
  void CreateControls() {
    const Rect a = {10, 10, 110, 34}, b = {10, 40, 210, 62};
    probe.log = &log;
    probe.Create(kFlagVisible | kFlagTabStop, &a, this);
    field.edit.font = UiFontNormal();
    field.Create(kFlagVisible | kFlagTabStop, &b, this);
  }
  CProbe<CHolderFrame> probe;
  CTextEdit<CHolderFrame> field;
  ProbeLog log;
};

std::function<void(HWND dialog)> g_inside;

// Runs once inside the dialog's loop, on the window that owns new windows
// then (the dialog).
void CALLBACK RunInside(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  if (g_inside) g_inside(reinterpret_cast<HWND>(GetOwnerWindow()));
  g_inside = nullptr;
}
// A dialog still open after five seconds is closed.
void CALLBACK GiveUp(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  PostMessageW(reinterpret_cast<HWND>(GetOwnerWindow()), WM_CLOSE, 0, 0);
}

// The dialogs, each opened the way the program opens it, with what its
// creation focuses and what its runner leaves focused while it runs.
struct DialogCase {
  const char* what;
  // Runs the dialog; `focusInside` names the control that must have the
  // focus while it runs (null: none), `inside` runs in its loop.
  std::function<void(const std::function<void(HWND)>& inside, const CWidget** focusInside)> run;
};

void RunWithin(const std::function<void(HWND)>& inside, const std::function<void()>& run) {
  g_inside = inside;
  SetTimer(nullptr, 0, 20, &RunInside);
  const UINT_PTR watchdog = SetTimer(nullptr, 0, 5000, &GiveUp);
  run();
  KillTimer(nullptr, watchdog);
}

const DialogCase kDialogs[] = {
    {"message box",  // its creation focuses its default button; its runner clears that
     [](const std::function<void(HWND)>& inside, const CWidget** focusInside) {
       CMessageBox box;
       *focusInside = nullptr;
       RunWithin(inside, [&] { box.Run(MessageText::Of(u"Go on?"), MessageText::Of(u"Kelvane"), 0x10004); });
     }},
    {"folder browser",  // its creation focuses its tree, which keeps it
     [](const std::function<void(HWND)>& inside, const CWidget** focusInside) {
       CFolderBrowser browser;
       *focusInside = &browser.tree;
       RunWithin(inside, [&] { browser.Show(121, nullptr); });
     }},
};

struct FocusAroundDialogs : testing::Test {
  void SetUp() override {
    ASSERT_TRUE(main.CreateAt(Rect{100, 100, 500, 400}, false));
    PumpPending();
  }
  // The window below, made again when the last case took it away.
  void HolderUp() {
    if (holder && IsWindow(static_cast<HWND>(holder->Handle()))) return;
    holder = std::make_unique<CHolderFrame>();
    ASSERT_TRUE(holder->CreateAt(Rect{150, 150, 450, 350}, true));
  }
  void TearDown() override {
    holder.reset();
    DestroyWindow(static_cast<HWND>(main.Handle()));
    PumpPending();
    StoreFocusedWidget(nullptr);
  }
  CScriptedWindowSystem system;
  CTestFrame main;                      // the program's main window: owns the dialogs
  std::unique_ptr<CHolderFrame> holder;  // a window of its whose widget has the focus
};

// The probe of a window below has the focus when a dialog opens. What
// happens to it meanwhile decides where the focus is once the dialog has
// gone: back on the probe, through its window (which is told when it loses
// it again); nowhere when the probe, or its window, went away; on its
// nearest shown owner, its window, when it was hidden; on the widget that
// took the focus meanwhile.
TEST_F(FocusAroundDialogs, TheFocusBeforeADialogComesBackWhenItHasGone) {
  enum Meanwhile { kNothing, kWidgetDestroyed, kWindowClosed, kHidden, kFocusTaken };
  const struct {
    const char* what;
    Meanwhile meanwhile;
  } cases[] = {
      {"nothing happened", kNothing},
      {"the widget was destroyed with its window object", kWidgetDestroyed},
      {"its window was closed", kWindowClosed},
      {"it was hidden", kHidden},
      {"another widget took the focus", kFocusTaken},
  };
  for (const DialogCase& d : kDialogs) {
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(d.what) + ", " + c.what);
      HolderUp();
      holder->probe.ModifyFlags(0, kFlagVisible);
      holder->probe.SetFocus();
      ASSERT_EQ(&holder->probe, FocusedWidget());
      const CWidget* expectedInside = nullptr;
      const CWidget* inside = &main.probe;  // not what any dialog has
      bool ran = false;
      d.run(
          [&](HWND dialog) {
            ran = true;
            inside = FocusedWidget();
            if (c.meanwhile == kWidgetDestroyed) holder.reset();
            if (c.meanwhile == kWindowClosed) DestroyWindow(static_cast<HWND>(holder->Handle()));
            if (c.meanwhile == kHidden) holder->probe.ModifyFlags(kFlagVisible, 0);
            if (c.meanwhile == kFocusTaken) main.probe.SetFocus();
            system.SetKeyDown(VK_ESCAPE, true);
            PostMessageW(dialog, WM_KEYDOWN, VK_ESCAPE, 1);
          },
          &expectedInside);
      system.SetKeyDown(VK_ESCAPE, false);
      ASSERT_TRUE(ran);
      EXPECT_EQ(expectedInside, inside) << "the focus while the dialog ran";
      switch (c.meanwhile) {
        case kNothing: {
          EXPECT_EQ(&holder->probe, FocusedWidget());
          // The probe's window knows it holds the focus: the probe hears
          // when another window's widget takes it.
          holder->log.clear();
          main.probe.SetFocus();
          EXPECT_TRUE(holder->log.size() == 1 && holder->log[0].kind == 'f');
          break;
        }
        case kWidgetDestroyed:
        case kWindowClosed:
          EXPECT_EQ(nullptr, FocusedWidget());
          break;
        case kHidden:
          EXPECT_EQ(static_cast<CWidget*>(holder.get()), FocusedWidget());
          break;
        case kFocusTaken:
          EXPECT_EQ(&main.probe, FocusedWidget());
          break;
      }
      StoreFocusedWidget(nullptr);
    }
  }
}

// A text field given the focus back shows its caret again, blinking, with
// the text, caret and selection it had: nothing typed next replaces what
// was not selected.
TEST_F(FocusAroundDialogs, ATextFieldGivenTheFocusBackKeepsItsSelection) {
  for (const DialogCase& d : kDialogs) {
    SCOPED_TRACE(d.what);
    HolderUp();
    CTextEdit<CHolderFrame>& field = holder->field;
    field.SetFocus();
    field.SetText(u"D:\\images\\disc.iso");
    field.edit.caret = field.edit.selectionEnd = 10;
    field.edit.selectionStart = 3;
    const CWidget* focusInside = nullptr;
    d.run(
        [&](HWND dialog) {
          system.SetKeyDown(VK_ESCAPE, true);
          PostMessageW(dialog, WM_KEYDOWN, VK_ESCAPE, 1);
        },
        &focusInside);
    system.SetKeyDown(VK_ESCAPE, false);
    EXPECT_EQ(&field, FocusedWidget());
    EXPECT_EQ(u"D:\\images\\disc.iso", std::u16string(field.Text().c_str()));
    EXPECT_TRUE(field.edit.selectionStart == 3 && field.edit.selectionEnd == 10 && field.edit.caret == 10)
        << field.edit.selectionStart << ".." << field.edit.selectionEnd << " caret " << field.edit.caret;
    EXPECT_EQ(static_cast<const void*>(&field), CTextEdit<CHolderFrame>::Blink().Target()) << "its caret blinks";
    StoreFocusedWidget(nullptr);
    field.StopCaret();
  }
}

}  // namespace
