#include "burn_steps_win.h"

#include "app/commands/command_ids.h"
#include "runtime/win.h"

BurnJobPage* BurnPageAt(CMainFrame& frame, u32 index) {
  TaskJobPane& pane = frame.pageHost.taskView.pane;
  if (index >= pane.jobs.GetCount()) return nullptr;
  return &static_cast<CPageBox<BurnJobPage>*>(pane.jobs[index])->page;
}

void* OpenBurnImageWindow(CPerson& p) {
  if (!p.ChooseMenuItem(kCmdBurnImage)) return nullptr;
  void* window = p.WaitForActiveWindow("the burn-image window", p.MainWindow());
  bool isIt = false;
  p.OnUi([&](CMainFrame&) { isIt = WindowObject<CBurnImageWindow>(window) != nullptr; });
  if (!p.Failed() && !isIt) p.Fail("the window that opened is not the burn-image window");
  return isIt ? window : nullptr;
}

bool TypeImagePath(CPerson& p, void* window, const std::u16string& path) {
  if (!window) return false;
  p.TabTo("the image edit", [window](CMainFrame&) {
    CBurnImageWindow* w = WindowObject<CBurnImageWindow>(window);
    return w && FocusedWidget() == &w->imagePath;
  });
  p.Type(path);
  return p.WaitUntil("OK to be enabled", [window](CMainFrame&) {
    CBurnImageWindow* w = WindowObject<CBurnImageWindow>(window);
    return w && w->ok.IsVisibleAndEnabled();
  });
}

bool TabToDeviceList(CPerson& p, void* window) {
  if (!window) return false;
  return p.TabTo("the device list", [window](CMainFrame&) {
    CBurnImageWindow* w = WindowObject<CBurnImageWindow>(window);
    return w && FocusedWidget() == &w->deviceList;
  });
}

bool AcceptImage(CPerson& p, void* window, const std::u16string& path) {
  if (!TypeImagePath(p, window, path)) return false;
  p.Press(VK_RETURN);
  return p.WaitUntil("the burn-image window to close", [window](CMainFrame&) {
    return !IsWindow(static_cast<HWND>(window));
  });
}

bool StartImageBurn(CPerson& p, const std::u16string& path) { return AcceptImage(p, OpenBurnImageWindow(p), path); }

bool WaitForBurnEnd(CPerson& p, u32 milliseconds) {
  return p.WaitUntil(
      "the burn page's end state",
      [](CMainFrame& f) {
        BurnJobPage* page = BurnPageAt(f);
        return page && page->engine.HasFlags(kJobFinished) && page->logLink.IsVisible();
      },
      milliseconds);
}

std::u16string AsTyped(const std::wstring& path) { return std::u16string(path.begin(), path.end()); }
