// The person of an end-to-end case: runs on a thread of its own while the
// program's message loops run on the user-interface thread, and does what a
// user does: chooses menu items, types into the window that has the focus,
// presses keys (held in the key-state seam while the window handles them),
// looks at the windows (calls onto the user-interface thread that read the
// real objects) and waits for them to change, each wait bounded.
//
// A failed step is reported to the running test and makes every later step
// a no-op returning false, so a script reads as a plain sequence.
#pragma once
#include <functional>
#include <string>

#include "runtime/types.h"
#include "ui/windows/frame/frame_window.h"
#include "ui/windows/frame/window_registry.h"

class CMainFrame;
class CAppSession;
class CPersonInput;
class CUiPost;

// Whether the main menu's entry showing UI string `textId` can be chosen
// (it and the menus on its way shown and enabled). User-interface thread.
bool MenuEntryEnabled(CMainFrame& frame, u32 textId);

// The toolkit window object of class T behind a window handle, null when
// the handle is no window of that class (its binding's procedure tells the
// class). User-interface thread.
template <class T>
T* WindowObject(void* window) {
  WindowBinding* binding = WindowRegistry::Resolve(reinterpret_cast<uintptr_t>(window));
  if (!binding || !binding->object || binding->procedure != &CFrameWindow<T>::WndProcThunk) return nullptr;
  return static_cast<T*>(static_cast<CFrameWindow<T>*>(binding->object));
}

class CPerson {
 public:
  // Milliseconds a step may wait before it fails (real time).
  static constexpr u32 kStepMs = 30000;

  CPerson(CAppSession& session, CPersonInput& input, CUiPost& ui, void* mainWindow);

  CAppSession& Session() { return session_; }
  CMainFrame& Frame() { return *frame_; }
  void* MainWindow() const { return mainWindow_; }
  bool Failed() const { return failed_; }
  // Reports a failure of the script (the later steps do nothing).
  void Fail(const std::string& what);

  // Runs f on the user-interface thread and returns when it has run. Every
  // look at a window goes through here: the objects belong to that thread.
  bool OnUi(const std::function<void(CMainFrame&)>& f);
  // Waits until `done` (run on the user-interface thread) holds.
  bool WaitUntil(const char* what, const std::function<bool(CMainFrame&)>& done, u32 milliseconds = kStepMs);

  // The entry of the main menu whose text is UI string `textId`, chosen as a
  // click on it does; it must be shown and enabled. Returns at once: the
  // command may run a modal window.
  bool ChooseMenuItem(u32 textId);
  // Waits until a window other than `except` is active and returns it.
  void* WaitForActiveWindow(const char* what, void* except, u32 milliseconds = kStepMs);
  // Waits for a message box with text `textId` to be the active window and
  // answers it with the button showing `buttonTextId`, as a person does
  // with the keyboard: Enter for the default button, Escape for the one
  // that answers as Escape. Fails for any other button.
  bool AnswerMessageBox(u32 textId, u32 buttonTextId);
  // The window that has the keyboard focus now (null none).
  void* FocusWindow();
  // Characters typed into the focused window (one WM_CHAR each).
  bool Type(const std::u16string& text);
  // A key pressed and released on the focused window: down in the key-state
  // seam while its WM_KEYDOWN is handled. Held past the repeat delay, the
  // system posts `repeats` more key-downs before the key-up, each to the
  // window that has the keyboard focus then, marked as repeats (bit 30:
  // the key was down already; repeat count 1).
  bool Press(u32 virtualKey, u32 repeats = 0);
  // Tab pressed until `focused` (run on the user-interface thread) holds,
  // at most kTabLimit times.
  static constexpr u32 kTabLimit = 40;
  bool TabTo(const char* what, const std::function<bool(CMainFrame&)>& focused);
  // The start strip focused by Tab, then Down until the tile that runs
  // `command` is lit; the tile's index, -1 when it never lit.
  i32 LightTile(u32 command);
  // The main menu's item showing UI string `textId` chosen by keys alone:
  // Tab to the menu bar, Right to the entry whose menu holds the item,
  // Enter to open that menu, Down to the item, Enter. Returns once the last
  // Enter was handled (the command may run a modal window): the entry's
  // index, -1 when a step failed.
  i32 ChooseMenuItemByKeys(u32 textId);
  // The left button pressed (or let go) at `screen` (pixels from the
  // screen's top left), as the system delivers it: a move first only when
  // the pointer was elsewhere, then the button, each to the window holding
  // the capture, else to the window under the point (over a window's frame
  // as the non-client message). Returns once posted: the press may start a
  // modal loop (a menu), which the person then looks at.
  bool LeftButton(bool down, ScreenPoint screen);
  // The right button, delivered as the left one is.
  bool RightButton(bool down, ScreenPoint screen);
  // The pointer moved to `screen`: a move goes where LeftButton's go, with
  // the button held or not; nothing when the pointer is there already (the
  // system repeats no resting pointer).
  bool MovePointer(ScreenPoint screen);
  // The wheel turned `notches` toward the user (negative: away) with the
  // pointer at `screen`: the pointer goes there first (a move only when it
  // was elsewhere), then one wheel message per notch goes, as the system
  // sends it, to the window that has the keyboard focus.
  bool TurnWheel(ScreenPoint screen, i32 notches);
  // A key held down (or let go) in the key-state seam, as Ctrl or Shift
  // while another key is pressed.
  void Hold(u32 virtualKey, bool down);
  // Every message posted so far has been handled by the user-interface thread.
  bool Settle();
  // Saves what the screen shows of the main window and its owned windows
  // as a PNG file in the build folder.
  bool Screenshot(const wchar_t* fileName);

 private:
  // A key message to the window with the keyboard focus; `held`: the key
  // was down already (a repeat or the key-up).
  bool PostKey(u32 message, u32 virtualKey, bool held);
  // Posts a mouse message for `screen` where the system delivers it.
  bool PostMouse(u32 message, uintptr_t keys, ScreenPoint screen);
  // LeftButton and RightButton: `right` picks the button.
  bool Button(bool right, bool down, ScreenPoint screen);
  // The pointer goes to `screen`, with a move only when it was elsewhere.
  bool MoveTo(ScreenPoint screen);

  CAppSession& session_;
  CPersonInput& input_;
  CUiPost& ui_;
  void* mainWindow_;
  CMainFrame* frame_ = nullptr;
  bool failed_ = false;
};
