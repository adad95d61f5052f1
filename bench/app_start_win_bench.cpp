// The main window's cold start: from the creation of a fresh process to the
// first present of the main window (start-up table, application object,
// drives, menus, pages, first paint), median of 10 starts, against the floor
// of the same run: a fresh process that only creates a plain layered window
// and presents one 669 x 469 surface. Each start is a child process of this
// benchmark ("floor" or "app" as its argument) that reports its time in
// tenths of a millisecond as its exit code. Needs an X display under Wine.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "app/startup/app_main.h"
#include "app/startup/startup_table.h"
#include "runtime/platform.h"
#include "runtime/startup.h"
#include "runtime/win.h"

namespace {

constexpr int kStarts = 10;
constexpr int kWidth = 669, kHeight = 469;

// Milliseconds since this process was created.
double SinceCreation() {
  FILETIME created, exited, kernel, user, now;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  GetSystemTimeAsFileTime(&now);
  ULARGE_INTEGER a, b;
  a.LowPart = created.dwLowDateTime;
  a.HighPart = created.dwHighDateTime;
  b.LowPart = now.dwLowDateTime;
  b.HighPart = now.dwHighDateTime;
  return static_cast<double>(b.QuadPart - a.QuadPart) / 10000.0;
}

int Report(double ms) { return static_cast<int>(ms * 10.0 + 0.5); }

// ---- The floor: one plain layered window, one present ----
int RunFloor() {
  WNDCLASSEXW wc;
  std::memset(&wc, 0, sizeof(wc));
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"KelvaneFloor";
  RegisterClassExW(&wc);
  HWND window = CreateWindowExW(WS_EX_LAYERED, L"KelvaneFloor", L"floor", WS_POPUP | WS_VISIBLE, 100, 100, kWidth,
                                kHeight, nullptr, nullptr, wc.hInstance, nullptr);
  if (!window) return 0;
  BITMAPINFO info;
  std::memset(&info, 0, sizeof(info));
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = kWidth;
  info.bmiHeader.biHeight = kHeight;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP dib = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!dib) return 0;
  HGDIOBJ old = SelectObject(dc, dib);
  u32* p = static_cast<u32*>(bits);
  for (int i = 0; i < kWidth * kHeight; ++i) p[i] = 0xFFDFE7EFu;
  POINT source = {0, 0}, place = {100, 100};
  SIZE size = {kWidth, kHeight};
  BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  UpdateLayeredWindow(window, screen, &place, &size, dc, &source, 0, &blend, ULW_ALPHA);
  const double ms = SinceCreation();
  SelectObject(dc, old);
  DeleteObject(dib);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  DestroyWindow(window);
  return Report(ms);
}

// ---- The program: everything up to the first present of its main window ----
double g_firstPresentMs = -1.0;

class CFirstPresent final : public IInputState {
 public:
  i16 AsyncKeyState(i32 key) override { return static_cast<i16>(GetAsyncKeyState(key)); }
  bool CursorPosition(ScreenPoint* out) override {
    POINT p;
    if (!GetCursorPos(&p)) return false;
    *out = {p.x, p.y};
    return true;
  }
  bool Present(const LayeredPresent& present) override {
    const bool ok = SystemPresentLayered(present);
    if (g_firstPresentMs < 0.0) {
      g_firstPresentMs = SinceCreation();
      PostMessageW(static_cast<HWND>(present.window), WM_CLOSE, 0, 0);
    }
    return ok;
  }
};

int RunApp() {
  static CFirstPresent seam;
  SetInputState(&seam);
  rt::RunInitializers(GetStartupTable(), GetStartupTableSize());
  AppMain(SW_SHOWNORMAL);
  rt::RunExitCallbacks();
  return g_firstPresentMs < 0.0 ? 0 : Report(g_firstPresentMs);
}

// ---- The parent ----
double RunChild(const wchar_t* mode) {
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  wchar_t line[MAX_PATH + 16];
  _snwprintf(line, MAX_PATH + 16, L"\"%ls\" %ls", self, mode);
  STARTUPINFOW si;
  std::memset(&si, 0, sizeof(si));
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi;
  if (!CreateProcessW(nullptr, line, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return -1.0;
  WaitForSingleObject(pi.hProcess, 60000);
  DWORD code = 0;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return code > 0 && code < 10000000 ? code / 10.0 : -1.0;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0.0 : v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "floor") == 0) return RunFloor();
  if (argc > 1 && std::strcmp(argv[1], "app") == 0) return RunApp();
  std::vector<double> floor, app;
  for (int i = 0; i < kStarts; ++i) {
    const double f = RunChild(L"floor");
    const double a = RunChild(L"app");
    if (f > 0) floor.push_back(f);
    if (a > 0) app.push_back(a);
  }
  if (floor.empty() || app.empty()) {
    std::printf("app_start_win_bench: no window could be shown (no display?)\n");
    return 0;
  }
  const double f = Median(floor), a = Median(app);
  std::printf("app_start_win_bench: process creation to first present, median of %d starts\n", kStarts);
  std::printf("  main window:                          %8.1f ms\n", a);
  std::printf("  reference, plain layered window:      %8.1f ms\n", f);
  std::printf("  ratio main window / plain window: %.2f (%+.1f ms)\n", a / f, a - f);
  return 0;
}
