#include "runtime/clock.h"
#include "runtime/platform.h"
#include "runtime/win.h"

#include <commctrl.h>
#include "ui/windows/frame/taskbar_button.h"

namespace {

typedef HWND(WINAPI* GetTaskmanWindowFn)();
typedef BOOL(WINAPI* IsWow64ProcessFn)(HANDLE, PBOOL);

constexpr SIZE_T kRemoteBytes = 512;

// The shell's toolbar read through a buffer committed in the shell's
// process.
class CRemoteToolbar {
 public:
  CRemoteToolbar(HWND toolbar, HANDLE process, void* remote, bool layout64)
      : toolbar_(toolbar), process_(process), remote_(remote), layout64_(layout64) {}

  i32 ButtonCount() { return static_cast<i32>(SendMessageW(toolbar_, TB_BUTTONCOUNT, 0, 0)); }
  bool ReadButton(i32 index, u8* state, u32* data) {
    u8 bytes[kToolbarButtonBytes];
    if (!SendMessageW(toolbar_, TB_GETBUTTON, index, reinterpret_cast<LPARAM>(remote_))) return false;
    if (!Read(remote_, bytes, sizeof bytes)) return false;
    DecodeToolbarButton(bytes, layout64_, state, data);
    return true;
  }
  bool ReadWindowAt(u32 address, u32* window) {
    u8 bytes[4];
    if (!address || !Read(reinterpret_cast<void*>(static_cast<uintptr_t>(address)), bytes, 4)) return false;
    *window = ReadLittleEndian32(bytes);
    return true;
  }
  bool ReadItemRect(i32 index, TaskbarRect* rect) {
    RECT r;
    if (!SendMessageW(toolbar_, TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(remote_))) return false;
    if (!Read(remote_, &r, sizeof r)) return false;
    *rect = {r.left, r.top, r.right, r.bottom};
    return true;
  }

 private:
  bool Read(const void* from, void* to, SIZE_T bytes) {
    SIZE_T done = 0;
    return ReadProcessMemory(process_, from, to, bytes, &done) && done == bytes;
  }
  HWND toolbar_;
  HANDLE process_;
  void* remote_;
  bool layout64_;
};

// Only the selected tab of a tab-control taskbar is examined.
bool ReadSelectedTab(HWND tabs, HANDLE process, void* remote, u32 target, TaskbarRect* rect) {
  const LRESULT index = SendMessageW(tabs, TCM_GETCURSEL, 0, 0);
  if (index < 0) return false;
  TCITEMW item;
  ZeroMemory(&item, sizeof item);
  item.mask = TCIF_PARAM;
  SIZE_T done = 0;
  if (!WriteProcessMemory(process, remote, &item, sizeof item, &done) || done != sizeof item) return false;
  if (!SendMessageW(tabs, TCM_GETITEMW, index, reinterpret_cast<LPARAM>(remote))) return false;
  if (!ReadProcessMemory(process, remote, &item, sizeof item, &done) || done != sizeof item) return false;
  if (static_cast<u32>(item.lParam) != target) return false;
  RECT r;
  if (!SendMessageW(tabs, TCM_GETITEMRECT, index, reinterpret_cast<LPARAM>(remote))) return false;
  if (!ReadProcessMemory(process, remote, &r, sizeof r, &done) || done != sizeof r) return false;
  *rect = {r.left, r.top, r.right, r.bottom};
  return true;
}

// True when this program runs under 64-bit Windows; false when the system
// has no IsWow64Process (it is then 32-bit).
bool RunsUnder64BitWindows() {
  IsWow64ProcessFn isWow64 = reinterpret_cast<IsWow64ProcessFn>(g_isWow64Process);
  BOOL wow64 = FALSE;
  return isWow64 && isWow64(GetCurrentProcess(), &wow64) && wow64;
}

}  // namespace

bool FindTaskbarButton(void* window, TaskbarRect* rect, u8* state) {
  *rect = {0, 0, 0, 0};
  *state = 0;
  HMODULE user = GetModuleHandleW(L"User32.dll");
  GetTaskmanWindowFn taskman =
      user ? reinterpret_cast<GetTaskmanWindowFn>(reinterpret_cast<void*>(GetProcAddress(user, "GetTaskmanWindow")))
           : nullptr;
  HWND owner = taskman ? taskman() : nullptr;
  HWND buttons = owner ? GetWindow(owner, GW_CHILD) : nullptr;
  if (!buttons) return false;
  wchar_t name[129];
  if (!GetClassNameW(buttons, name, 128)) return false;
  const bool toolbar = lstrcmpW(name, L"ToolbarWindow32") == 0;
  if (!toolbar && lstrcmpW(name, L"SysTabControl32") != 0) return false;
  DWORD processId = 0;
  GetWindowThreadProcessId(buttons, &processId);
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
  if (!process) return false;
  void* remote = VirtualAllocEx(process, nullptr, kRemoteBytes, MEM_COMMIT, PAGE_READWRITE);
  bool found = false;
  TaskbarRect r = {0, 0, 0, 0};
  const u32 target = static_cast<u32>(reinterpret_cast<uintptr_t>(window));
  if (remote) {
    if (toolbar) {
      CRemoteToolbar source(buttons, process, remote, RunsUnder64BitWindows());
      found = ScanToolbarButtons(source, target, &r, state);
    } else {
      found = ReadSelectedTab(buttons, process, remote, target, &r);
    }
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  }
  CloseHandle(process);
  if (!found) return false;
  POINT corners[2] = {{r.left, r.top}, {r.right, r.bottom}};
  if (!ClientToScreen(buttons, &corners[0]) || !ClientToScreen(buttons, &corners[1])) return false;
  *rect = {corners[0].x, corners[0].y, corners[1].x, corners[1].y};
  return true;
}

bool TaskbarClickWantsMinimize(void* window) {
  TaskbarRect rect;
  u8 state = 0;
  FindTaskbarButton(window, &rect, &state);
  if (!(state & kTaskbarButtonPressed)) return false;
  for (u32 step = 0;; ++step) {
    const bool held = (ReadAsyncKeyState(VK_LBUTTON) & 0x8000) || (ReadAsyncKeyState(VK_RBUTTON) & 0x8000);
    if (!held) break;
    if (step == kTaskbarClickWaitLimit) return false;  // the click never ended
    SleepFor(10);
  }
  ScreenPoint point;
  return ReadCursorPosition(&point) && rect.Contains(point.x, point.y);
}

bool IsTaskbarThread(u32 threadId) {
  HWND tray = FindWindowW(L"Shell_TrayWnd", nullptr);
  return tray && GetWindowThreadProcessId(tray, nullptr) == threadId;
}
