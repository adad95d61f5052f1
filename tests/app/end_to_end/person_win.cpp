#include "person_win.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "app/main_window/main_frame.h"
#include "person_input_win.h"
#include "render/png_test_encoder.h"
#include "runtime/ui_strings.h"
#include "runtime/win.h"
#include "support/system_mouse.h"
#include "app_session_win.h"
#include "ui/windows/dialogs/message_box.h"
#include "ui/windows/dialogs/popup_menu.h"
#include "ui/windows/frame/window_registry.h"
#include "ui_post_win.h"
#include "watchdog_win.h"

namespace {

constexpr u32 kPollMs = 5;  // the person looks again this often (real time)

bool SameText(const UiString* a, const wchar16* b) {
  if (!a || !a->text || !b) return false;
  u32 i = 0;
  for (; i < a->length && b[i]; ++i)
    if (a->text[i] != b[i]) return false;
  return i == a->length && !b[i];
}

// The item of the menu tree showing `text`, with whether every level on
// the way is shown and enabled.
bool FindMenuItem(CMenuModel* menu, const wchar16* text, i32* id, bool* usable) {
  for (i32 n = 0; n < menu->count; ++n) {
    MenuItem* item = menu->GetItem(n);
    const bool open = item->CanBeEnabled() && (item->flags & kMenuEnabled) && !(item->flags & kMenuHidden);
    if (SameText(menu->GetItemText(n), text)) {
      *id = menu->GetItemId(n);
      *usable = open;
      return true;
    }
    if (CMenuModel* sub = CMenuModel::AsSubmenu(item))
      if (FindMenuItem(sub, text, id, usable)) {
        *usable = *usable && open;
        return true;
      }
  }
  return false;
}

struct WindowsOfThread {
  std::vector<HWND> windows;
};
BOOL CALLBACK CollectVisible(HWND window, LPARAM context) {
  if (IsWindowVisible(window)) reinterpret_cast<WindowsOfThread*>(context)->windows.push_back(window);
  return TRUE;
}

bool WriteFile(const std::wstring& path, const std::vector<u8>& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok = ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                  written == bytes.size();
  CloseHandle(file);
  return ok;
}

// The screen's pixels in `area` as RGBA rows from the top.
bool CaptureScreen(const RECT& area, std::vector<u8>* rgba) {
  const int w = area.right - area.left, h = area.bottom - area.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info;
  ZeroMemory(&info, sizeof(info));
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = -h;  // rows from the top
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  bool ok = false;
  if (bitmap) {
    HGDIOBJ old = SelectObject(memory, bitmap);
    ok = BitBlt(memory, 0, 0, w, h, screen, area.left, area.top, SRCCOPY) != 0;
    GdiFlush();
    const u32* pixels = static_cast<const u32*>(bits);
    rgba->reserve(static_cast<size_t>(w) * h * 4);
    for (int i = 0; i < w * h; ++i) {
      const u32 p = pixels[i];
      rgba->push_back(static_cast<u8>(p >> 16));
      rgba->push_back(static_cast<u8>(p >> 8));
      rgba->push_back(static_cast<u8>(p));
      rgba->push_back(0xFF);
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
  }
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return ok;
}

}  // namespace

bool MenuEntryEnabled(CMainFrame& frame, u32 textId) {
  i32 id = -1;
  bool usable = false;
  return FindMenuItem(frame.menu, GetUiText(textId), &id, &usable) && usable;
}

CPerson::CPerson(CAppSession& session, CPersonInput& input, CUiPost& ui, void* mainWindow)
    : session_(session), input_(input), ui_(ui), mainWindow_(mainWindow) {
  const uintptr_t handle = reinterpret_cast<uintptr_t>(mainWindow);
  CMainFrame* found = nullptr;
  ui_.Send(
      [&] {
        WindowBinding* binding = WindowRegistry::Resolve(handle);
        if (binding && binding->object)
          found = static_cast<CMainFrame*>(static_cast<CFrameWindow<CMainFrame>*>(binding->object));
      },
      kStepMs);
  frame_ = found;
  if (!frame_) Fail("the main window's object was not found");
}

void CPerson::Fail(const std::string& what) {
  if (!failed_) ADD_FAILURE() << what;
  failed_ = true;
}

bool CPerson::OnUi(const std::function<void(CMainFrame&)>& f) {
  if (failed_) return false;
  // The user-interface thread not answering is a hang: nothing later can
  // run, and the call's closure may still run after a time-out.
  if (!ui_.Send([&] { f(*frame_); }, kStepMs)) CWatchdog::Bite("the user-interface thread stopped answering");
  return true;
}

bool CPerson::WaitUntil(const char* what, const std::function<bool(CMainFrame&)>& done, u32 milliseconds) {
  if (failed_) return false;
  CWatchdog::NoteStep(what);
  const DWORD start = GetTickCount();
  for (;;) {
    bool holds = false;
    if (!OnUi([&](CMainFrame& f) { holds = done(f); })) return false;
    if (holds) return true;
    if (GetTickCount() - start > milliseconds) {
      Fail(std::string("waited in vain for ") + what);
      return false;
    }
    Sleep(kPollMs);
  }
}

bool CPerson::ChooseMenuItem(u32 textId) {
  if (failed_) return false;
  CWatchdog::NoteStep("choosing a menu item");
  i32 id = -1;
  bool found = false, usable = false;
  // Opening the menu lets the current page set its entries first.
  OnUi([&](CMainFrame& f) {
    f.menuBar.opening.Call(f.menuBar.parent);
    found = FindMenuItem(f.menu, GetUiText(textId), &id, &usable);
  });
  if (!found || !usable) {
    Fail("menu entry " + std::to_string(textId) + (found ? " is not enabled" : " is not in the menu"));
    return false;
  }
  CMainFrame* frame = frame_;
  if (!ui_.Post([frame, id] { frame->menuBar.command.Call(frame->menuBar.parent, static_cast<u32>(id)); })) {
    Fail("the menu command could not be posted");
    return false;
  }
  return true;
}

void* CPerson::WaitForActiveWindow(const char* what, void* except, u32 milliseconds) {
  if (failed_) return nullptr;
  CWatchdog::NoteStep(what);
  const DWORD thread = GetWindowThreadProcessId(static_cast<HWND>(mainWindow_), nullptr);
  const DWORD start = GetTickCount();
  for (;;) {
    GUITHREADINFO info;
    info.cbSize = sizeof(info);
    if (GetGUIThreadInfo(thread, &info) && info.hwndActive && info.hwndActive != except &&
        IsWindowVisible(info.hwndActive))
      return info.hwndActive;
    if (GetTickCount() - start > milliseconds) {
      Fail(std::string("no window became active: ") + what);
      return nullptr;
    }
    Sleep(kPollMs);
  }
}

bool CPerson::AnswerMessageBox(u32 textId, u32 buttonTextId) {
  if (failed_) return false;
  void* box = WaitForActiveWindow("a message box", mainWindow_);
  u32 key = 0;
  bool found = false;
  const wchar16* wanted = GetUiText(textId);
  WaitUntil("the question", [&](CMainFrame&) {
    CMessageBox* m = WindowObject<CMessageBox>(box);
    if (!m) return false;
    found = std::u16string(m->text) == std::u16string(wanted);
    if (found) {
      const MessageBoxSpec& spec = m->spec;
      for (i32 i = 0; i < 3; ++i) {
        if (spec.textIds[i] != static_cast<i32>(buttonTextId)) continue;
        if (i == spec.defaultButton) key = VK_RETURN;
        else if (spec.answers[i] >= 0 && static_cast<u32>(spec.answers[i]) == spec.escapeAnswer) key = VK_ESCAPE;
      }
    }
    return true;
  });
  if (!found) {
    Fail("the message box asks something else than text " + std::to_string(textId));
    return false;
  }
  if (!key) {
    Fail("no key answers the message box with button " + std::to_string(buttonTextId));
    return false;
  }
  CWatchdog::NoteStep("answering a message box");
  return Press(key) && WaitUntil("the message box to close", [box](CMainFrame&) { return !IsWindow(static_cast<HWND>(box)); });
}

void* CPerson::FocusWindow() {
  GUITHREADINFO info;
  info.cbSize = sizeof(info);
  const DWORD thread = GetWindowThreadProcessId(static_cast<HWND>(mainWindow_), nullptr);
  if (!GetGUIThreadInfo(thread, &info)) return nullptr;
  return info.hwndFocus ? info.hwndFocus : info.hwndActive;
}

bool CPerson::Type(const std::u16string& text) {
  if (failed_) return false;
  CWatchdog::NoteStep("typing");
  HWND focus = static_cast<HWND>(FocusWindow());
  if (!focus) {
    Fail("no window has the focus to type into");
    return false;
  }
  for (char16_t c : text) PostMessageW(focus, WM_CHAR, c, 1);
  return Settle();
}

bool CPerson::PostKey(u32 message, u32 virtualKey, bool held) {
  HWND focus = static_cast<HWND>(FocusWindow());
  if (!focus) {
    Fail("no window has the focus for a key");
    return false;
  }
  LPARAM flags = 1 | (static_cast<LPARAM>(MapVirtualKeyW(virtualKey, 0)) << 16);
  if (held) flags |= static_cast<LPARAM>(0x40000000u);
  if (message == WM_KEYUP) flags |= static_cast<LPARAM>(0x80000000u);
  return PostMessageW(focus, message, virtualKey, flags) && Settle();
}

bool CPerson::Press(u32 virtualKey, u32 repeats) {
  if (failed_) return false;
  CWatchdog::NoteStep(repeats ? "holding a key" : "pressing a key");
  input_.SetKeyDown(static_cast<i32>(virtualKey), true);
  bool down = PostKey(WM_KEYDOWN, virtualKey, false);
  for (u32 i = 0; down && i < repeats; ++i) down = PostKey(WM_KEYDOWN, virtualKey, true);
  input_.SetKeyDown(static_cast<i32>(virtualKey), false);
  return down && PostKey(WM_KEYUP, virtualKey, true);
}

bool CPerson::TabTo(const char* what, const std::function<bool(CMainFrame&)>& focused) {
  for (u32 i = 0; i <= kTabLimit && !failed_; ++i) {
    bool there = false;
    OnUi([&](CMainFrame& f) { there = focused(f); });
    if (there) return true;
    if (i < kTabLimit) Press(VK_TAB);
  }
  Fail(std::string("Tab never reached ") + what);
  return false;
}

i32 CPerson::LightTile(u32 command) {
  if (failed_) return -1;
  i32 tile = -1, tiles = 0;
  OnUi([&](CMainFrame& f) {
    auto& strip = f.pageHost.startStrip;
    tiles = static_cast<i32>(strip.kTileCount);
    for (i32 i = 0; i < tiles && tile < 0; ++i)
      if (strip.tiles[i].command == command) tile = i;
  });
  if (tile < 0) {
    Fail("no start tile runs command " + std::to_string(command));
    return -1;
  }
  if (!TabTo("the start strip", [](CMainFrame& f) { return FocusedWidget() == &f.pageHost.startStrip; })) return -1;
  for (i32 i = 0; i <= tiles && !failed_; ++i) {
    bool lit = false;
    OnUi([&](CMainFrame& f) { lit = f.pageHost.startStrip.hot == tile; });
    if (lit) return tile;
    Press(VK_DOWN);
  }
  Fail("Down never lit the tile of command " + std::to_string(command));
  return -1;
}

i32 CPerson::ChooseMenuItemByKeys(u32 textId) {
  if (failed_) return -1;
  CWatchdog::NoteStep("choosing a menu item by keys");
  i32 entries = 0, entry = -1, row = -1, rows = 0;
  OnUi([&](CMainFrame& f) {
    CMenuModel* bar = f.menuBar.model;
    entries = bar ? bar->count : 0;
    for (i32 i = 0; i < entries && entry < 0; ++i) {
      CMenuModel* menu = CMenuModel::AsSubmenu(bar->GetItem(i));
      for (i32 n = 0; menu && n < menu->count && entry < 0; ++n)
        if (SameText(menu->GetItemText(n), GetUiText(textId))) {
          entry = i;
          row = n;
          rows = menu->count;
        }
    }
  });
  if (entry < 0) {
    Fail("no menu of the bar holds entry " + std::to_string(textId));
    return -1;
  }
  if (!TabTo("the main menu bar", [](CMainFrame& f) { return FocusedWidget() == &f.menuBar; })) return -1;
  for (i32 i = 0;; ++i) {
    bool there = false;
    OnUi([&](CMainFrame& f) { there = f.menuBar.hotItem == entry; });
    if (there) break;
    if (i >= entries) {
      Fail("Right never reached the menu holding entry " + std::to_string(textId));
      return -1;
    }
    if (!Press(VK_RIGHT)) return -1;
  }
  if (!Press(VK_RETURN)) return -1;
  void* open = WaitForActiveWindow("the menu to open", mainWindow_);
  for (i32 i = 0; open; ++i) {
    bool isMenu = false, there = false;
    OnUi([&](CMainFrame&) {
      CPopupMenu* menu = WindowObject<CPopupMenu>(open);
      isMenu = menu != nullptr;
      there = menu && menu->hotItem == row;
    });
    if (!isMenu || i > rows) {
      Fail(isMenu ? "Down never reached entry " + std::to_string(textId) : "Enter opened no menu");
      return -1;
    }
    if (there) return Press(VK_RETURN) ? entry : -1;
    if (!Press(VK_DOWN)) return -1;
  }
  return -1;
}

bool CPerson::PostMouse(u32 message, uintptr_t keys, ScreenPoint screen) {
  // The system picks a message's window when the message is taken, after
  // the one before it was handled (a press may have taken the capture).
  if (!Settle()) return false;
  const u32 thread = GetWindowThreadProcessId(static_cast<HWND>(mainWindow_), nullptr);
  if (PostMouseAsTheSystemWould(thread, message, keys, screen)) return true;
  Fail("no window to take the mouse");
  return false;
}

bool CPerson::MoveTo(ScreenPoint screen) {
  ScreenPoint at = {0, 0};
  input_.CursorPosition(&at);
  if (at.x == screen.x && at.y == screen.y) return true;
  input_.SetCursor(screen);
  const bool held = input_.AsyncKeyState(VK_LBUTTON) != 0;
  return PostMouse(WM_MOUSEMOVE, held ? MK_LBUTTON : 0, screen);
}

bool CPerson::LeftButton(bool down, ScreenPoint screen) { return Button(false, down, screen); }

bool CPerson::RightButton(bool down, ScreenPoint screen) { return Button(true, down, screen); }

bool CPerson::Button(bool right, bool down, ScreenPoint screen) {
  if (failed_) return false;
  static const char* const kSteps[2][2] = {
      {"letting go of the mouse button", "pressing the mouse button"},
      {"letting go of the right mouse button", "pressing the right mouse button"}};
  CWatchdog::NoteStep(kSteps[right][down]);
  if (!MoveTo(screen)) return false;
  input_.SetKeyDown(right ? VK_RBUTTON : VK_LBUTTON, down);
  const u32 message = right ? (down ? WM_RBUTTONDOWN : WM_RBUTTONUP) : (down ? WM_LBUTTONDOWN : WM_LBUTTONUP);
  return PostMouse(message, down ? (right ? MK_RBUTTON : MK_LBUTTON) : 0, screen);
}

bool CPerson::TurnWheel(ScreenPoint screen, i32 notches) {
  if (failed_) return false;
  CWatchdog::NoteStep("turning the wheel");
  if (!MoveTo(screen) || !Settle()) return false;
  HWND focus = static_cast<HWND>(FocusWindow());
  if (!focus) {
    Fail("no window has the focus to take the wheel");
    return false;
  }
  const i16 delta = static_cast<i16>(notches > 0 ? -120 : 120);
  for (i32 i = 0; i < (notches > 0 ? notches : -notches); ++i)
    PostMessageW(focus, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<u16>(delta)), MAKELPARAM(screen.x, screen.y));
  return Settle();
}

bool CPerson::MovePointer(ScreenPoint screen) {
  if (failed_) return false;
  CWatchdog::NoteStep("moving the pointer");
  return MoveTo(screen) && Settle();
}

void CPerson::Hold(u32 virtualKey, bool down) { input_.SetKeyDown(static_cast<i32>(virtualKey), down); }

bool CPerson::Settle() {
  if (failed_) return false;
  if (!ui_.Drain(kStepMs)) CWatchdog::Bite("posted input was never handled");
  return true;
}

bool CPerson::Screenshot(const wchar_t* fileName) {
  if (failed_) return false;
  Settle();
  // The union of the program's visible windows on the screen.
  WindowsOfThread of;
  EnumThreadWindows(GetWindowThreadProcessId(static_cast<HWND>(mainWindow_), nullptr), CollectVisible,
                    reinterpret_cast<LPARAM>(&of));
  RECT all = {0, 0, 0, 0};
  for (HWND w : of.windows) {
    RECT r;
    if (GetWindowRect(w, &r)) UnionRect(&all, &all, &r);
  }
  const int screenW = GetSystemMetrics(SM_CXSCREEN), screenH = GetSystemMetrics(SM_CYSCREEN);
  all.left = all.left < 0 ? 0 : all.left;
  all.top = all.top < 0 ? 0 : all.top;
  all.right = all.right > screenW ? screenW : all.right;
  all.bottom = all.bottom > screenH ? screenH : all.bottom;
  const int w = all.right - all.left, h = all.bottom - all.top;
  if (w <= 0 || h <= 0) {
    Fail("nothing of the program is on the screen");
    return false;
  }
  // The main window painted afresh and read back on its own thread, so the
  // screen holds that paint (threads present over connections of their own).
  std::vector<u8> rgba;
  bool ok = false;
  OnUi([&](CMainFrame& f) {
    f.Repaint();
    ok = CaptureScreen(all, &rgba);
  });
  ok = ok && WriteFile(BuildFolder() + fileName, pngtest::MakePng(rgba, w, h, {1}));
  if (!ok) Fail("the screenshot could not be saved");
  return ok;
}
