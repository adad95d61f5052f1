// The page the main window shows in its page host when that is none of the
// host's own (the start strip, the task view): a project, an opened image,
// an information page. User-interface thread, but NewProject, which the
// person runs.
#pragma once
#include "app/main_window/main_frame.h"
#include "app/pages/explorer_page.h"
#include "person_win.h"

using ExplorerPage = CExplorerPage<CMainFrame::PageHost>;

// The current page's widget, null while the start strip or the task view
// is shown.
CWidget* OpenPage(CMainFrame& f);
// The same as the page class the test opened.
template <class TPage>
TPage* OpenPageAs(CMainFrame& f) {
  return static_cast<TPage*>(OpenPage(f));
}
// The tree of the data project that is the current page, null when the
// current page is no project.
CWidget* ProjectTree(CMainFrame& f);
// Ctrl+N opens a data project, whose tree takes the keys.
bool NewProject(CPerson& p);
