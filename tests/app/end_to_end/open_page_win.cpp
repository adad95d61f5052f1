#include "open_page_win.h"

#include "runtime/win.h"

CWidget* OpenPage(CMainFrame& f) {
  CPageHolder* current = f.pageHost.Current();
  if (!current || current == f.pageHost.StartStripHolder() || current == f.pageHost.TaskViewHolder()) return nullptr;
  return current->Widget();
}

CWidget* ProjectTree(CMainFrame& f) {
  ExplorerPage* page = OpenPageAs<ExplorerPage>(f);
  return page ? &page->tree : nullptr;
}

bool NewProject(CPerson& p) {
  p.Hold(VK_CONTROL, true);
  const bool pressed = p.Press('N');
  p.Hold(VK_CONTROL, false);
  return pressed && p.WaitUntil("a new project's tree to hold the keys", [](CMainFrame& f) {
    CWidget* tree = ProjectTree(f);
    return tree && FocusedWidget() == tree;
  });
}
