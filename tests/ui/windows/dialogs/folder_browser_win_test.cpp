// The folder browser over a folder tree made in the Wine prefix's C:
// drive: opening with and without an initial folder, selection and the OK
// button, and the answers of OK, Escape and the caption's close.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "ui/support/display_list_reader.h"
#include "ui/support/memory_canvas.h"
#include "ui/support/real_window.h"
#include "ui/support/scripted_window_system.h"
#include "ui/windows/dialogs/folder_browser.h"

namespace {

std::vector<std::function<void(CFolderBrowser&)>> g_steps;
CFolderBrowser* g_browser = nullptr;

// One step per tick of a thread timer: the timer's message comes only when
// nothing posted is waiting, so a key a step posts has been handled when
// the next step runs.
void CALLBACK RunStep(HWND, UINT, UINT_PTR, DWORD) {
  if (g_steps.empty() || !g_browser) return;
  const std::function<void(CFolderBrowser&)> step = g_steps.front();
  g_steps.erase(g_steps.begin());
  step(*g_browser);
}
// A browser that is still open after two minutes is closed: the steps
// stopped coming (a loaded machine takes seconds, never minutes).
void CALLBACK Watchdog(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  ADD_FAILURE() << "the browser was still open after two minutes";
  if (g_browser && g_browser->Handle()) PostMessageW(static_cast<HWND>(g_browser->Handle()), WM_CLOSE, 0, 0);
}

// Shows a browser and runs the steps inside its modal loop, in order; the
// answer.
i32 ShowWithSteps(CFolderBrowser& browser, const std::u16string& path,
                  std::vector<std::function<void(CFolderBrowser&)>> steps) {
  g_browser = &browser;
  g_steps = std::move(steps);
  const UINT_PTR stepper = SetTimer(nullptr, 0, 20, RunStep);
  const UINT_PTR watchdog = SetTimer(nullptr, 0, 120000, Watchdog);
  const i32 answer = browser.Show(121, path.empty() ? nullptr : path.c_str());
  KillTimer(nullptr, watchdog);
  KillTimer(nullptr, stepper);
  g_steps.clear();
  g_browser = nullptr;
  return answer;
}
i32 ShowWith(CFolderBrowser& browser, const std::u16string& path, std::function<void(CFolderBrowser&)> step) {
  return ShowWithSteps(browser, path, {std::move(step)});
}

std::u16string Text(const CWideString& s) { return std::u16string(s.c_str(), s.GetLength()); }
std::u16string ItemText(CFolderBrowser& b, TreeItemHandle h) { return Text(b.tree.Lookup(h)->text); }
bool OkEnabled(CFolderBrowser& b) { return !(b.ok.flags & kFlagDisabled); }
bool Has(CFolderBrowser& b, TreeItemHandle h, u8 flag) { return (b.tree.Lookup(h)->flags & flag) != 0; }
TreeItemHandle ChildNamed(CFolderBrowser& b, TreeItemHandle parent, const std::u16string& name) {
  TreeItemHandle c = b.tree.GetFirstChild(parent);
  while (!IsNullItem(c) && ItemText(b, c) != name) c = b.tree.GetNextSibling(c);
  return c;
}

struct FolderBrowser : testing::Test {
  // <temp>\kelvane_browse with Data\Images, Files (a file only) and Hidden
  // (one hidden folder).
  static void SetUpTestSuite() {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    base = reinterpret_cast<const char16_t*>(temp);
    base += u"kelvane_browse";
    for (const char16_t* sub : {u"", u"\\Data", u"\\Data\\Images", u"\\Files", u"\\Hidden", u"\\Hidden\\h"})
      CreateDirectoryW(reinterpret_cast<const wchar_t*>((base + sub).c_str()), nullptr);
    SetFileAttributesW(reinterpret_cast<const wchar_t*>((base + u"\\Hidden\\h").c_str()), FILE_ATTRIBUTE_HIDDEN);
    CloseHandle(CreateFileW(reinterpret_cast<const wchar_t*>((base + u"\\Files\\f.txt").c_str()), GENERIC_WRITE, 0,
                            nullptr, CREATE_ALWAYS, 0, nullptr));
  }
  static std::u16string base;
};
std::u16string FolderBrowser::base;

TEST_F(FolderBrowser, OpensOnTheRootsWithOkDisabledAndItsCaptionCloseCancels) {
  CFolderBrowser browser;
  bool checked = false;  // the step ran
  const i32 answer = ShowWith(browser, u"", [&](CFolderBrowser& b) {
    EXPECT_EQ(u"Browse For Folder", std::u16string(b.GetTitle()));
    EXPECT_EQ(4u, b.tree.VisibleRowCount()) << "Desktop and its three roots";
    EXPECT_TRUE(Has(b, b.desktop, kTreeExpanded));
    for (TreeItemHandle h : {b.documents, b.computer, b.network}) {
      EXPECT_TRUE(Has(b, h, kTreeExpander));
      EXPECT_FALSE(Has(b, h, kTreeExpanded));
    }
    EXPECT_TRUE(IsNullItem(b.tree.selected));
    EXPECT_FALSE(OkEnabled(b));
    EXPECT_FALSE(b.OnDialogKey(13)) << "Enter does nothing while OK is disabled";
    b.tree.SetExpanded(b.network, true);
    EXPECT_FALSE(Has(b, b.network, kTreeExpander)) << "the network lists nothing";
    checked = true;
    PostMessageW(static_cast<HWND>(b.Handle()), WM_SYSCOMMAND, SC_CLOSE, 0);  // the caption's close
  });
  EXPECT_TRUE(checked);
  EXPECT_EQ(CFolderBrowser::kCancelled, answer);
}

TEST_F(FolderBrowser, AnInitialFolderIsWalkedToAndOkGivesItBack) {
  const std::u16string images = base + u"\\Data\\Images";
  CFolderBrowser browser;
  const i32 answer = ShowWith(browser, images, [&](CFolderBrowser& b) {
    const TreeItemHandle chosen = b.tree.selected;
    ASSERT_FALSE(IsNullItem(chosen));
    EXPECT_EQ(u"Images", ItemText(b, chosen));
    EXPECT_EQ(&b.tree, FocusedWidget()) << "the keys go to the tree from the start";
    EXPECT_TRUE(OkEnabled(b));
    EXPECT_EQ(u"", std::u16string(b.GetPath())) << "the selection empties the initial path";
    // The folder above shows which of its folders have folders of their own.
    const TreeItemHandle top = b.tree.Pool().GetParentHandle(b.tree.Pool().GetParentHandle(chosen));
    EXPECT_TRUE(Has(b, ChildNamed(b, top, u"Data"), kTreeExpander));
    EXPECT_TRUE(Has(b, ChildNamed(b, top, u"Hidden"), kTreeExpander)) << "a hidden folder counts";
    EXPECT_FALSE(Has(b, ChildNamed(b, top, u"Files"), kTreeExpander)) << "files do not";

    const TreeItemHandle drive = b.tree.GetFirstChild(b.computer);
    struct Pick {
      TreeItemHandle item;
      bool ok;
    } picks[] = {{b.computer, false}, {b.network, false}, {drive, true}, {b.desktop, true}, {chosen, true}};
    for (const Pick& p : picks) {
      b.tree.SelectItem(p.item);
      EXPECT_EQ(p.ok, OkEnabled(b)) << &p - picks;
    }
    CWideString expected, built;
    ASSERT_TRUE(GetSpecialFolderPath(0, &expected) && b.BuildPath(b.desktop, &built));
    EXPECT_EQ(Text(expected), Text(built)) << "Desktop is the desktop folder";
    ASSERT_TRUE(b.BuildPath(drive, &built));
    EXPECT_EQ(std::u16string(1, static_cast<char16_t>(b.tree.Lookup(drive)->userValue)) + u":", Text(built));
    b.ok.click.Call(&b);
  });
  EXPECT_EQ(CFolderBrowser::kAccepted, answer);
  EXPECT_EQ(images, std::u16string(browser.GetPath()));
}

// Opened from the keyboard, the browser has the keys in its tree: Down
// moves the selection at once, and Enter takes the folder moved to, not
// the one the browser opened on. Opened on no folder, nothing is chosen
// (Enter accepts nothing) until the first Down picks the first row.
TEST_F(FolderBrowser, TheArrowsMoveTheTreeAtOnceAndEnterTakesTheFolderMovedTo) {
  CScriptedWindowSystem system;
  const struct {
    const char* what;
    std::u16string path;
    int downs;
  } cases[] = {
      {"opened on a folder", base + u"\\Data\\Images", 1},
      {"opened on no folder", u"", 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    auto key = [&](u32 vk, bool down) {
      return [&system, vk, down](CFolderBrowser& b) {
        system.SetKeyDown(static_cast<i32>(vk), down);
        PostMessageW(static_cast<HWND>(b.Handle()), down ? WM_KEYDOWN : WM_KEYUP, vk, down ? 1 : 0xC0000001);
      };
    };
    auto row = [](CFolderBrowser& b) { return IsNullItem(b.tree.selected) ? -1 : b.tree.FindVisibleRow(b.tree.selected); };
    const CWidget* atOpen = nullptr;
    i32 openedOn = -2;
    std::vector<i32> rows;
    CWideString movedTo;
    std::vector<std::function<void(CFolderBrowser&)>> steps = {[&](CFolderBrowser& b) {
      atOpen = FocusedWidget();
      openedOn = row(b);
    }};
    for (int i = 0; i < c.downs; ++i) {
      steps.push_back(key(VK_DOWN, true));
      steps.push_back(key(VK_DOWN, false));
      steps.push_back([&](CFolderBrowser& b) { rows.push_back(row(b)); });
    }
    steps.push_back([&](CFolderBrowser& b) { b.BuildPath(b.tree.selected, &movedTo); });
    steps.push_back(key(VK_RETURN, true));
    steps.push_back(key(VK_RETURN, false));
    CFolderBrowser browser;
    const i32 answer = ShowWithSteps(browser, c.path, steps);
    system.SetKeyDown(VK_RETURN, false);
    EXPECT_TRUE(atOpen == &browser.tree) << "the tree has the keys from the start";
    if (c.path.empty())
      EXPECT_EQ(-1, openedOn) << "nothing is chosen before a key";
    else
      EXPECT_GE(openedOn, 0) << "the folder opened on is chosen";
    std::vector<i32> expected;
    for (int i = 1; i <= c.downs; ++i) expected.push_back(openedOn + i);
    EXPECT_EQ(expected, rows) << "each Down moves the selection one row";
    EXPECT_EQ(CFolderBrowser::kAccepted, answer);
    EXPECT_FALSE(movedTo.IsEmpty());
    EXPECT_EQ(Text(movedTo), std::u16string(browser.GetPath())) << "Enter takes the folder moved to";
  }
}

// A folder named on the way that is gone, whether the path ends in a name
// or in "\\", ends the walk there: nothing is selected and OK stays
// disabled.
TEST_F(FolderBrowser, AGoneFolderSelectsNothingAndAFolderBesideDocumentsIsNotInThem) {
  const std::u16string missing = u"C:\\Missing";
  ASSERT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(reinterpret_cast<const wchar_t*>(missing.c_str())));
  for (const std::u16string& path :
       {base + u"\\Gone\\Images", base + u"\\Gone\\", missing + u"\\"}) {
    CFolderBrowser gone;
    bool expanded = false;
    EXPECT_EQ(CFolderBrowser::kCancelled, ShowWith(gone, path, [&](CFolderBrowser& b) {
                EXPECT_TRUE(IsNullItem(b.tree.selected));
                EXPECT_FALSE(OkEnabled(b));
                EXPECT_FALSE(b.OnDialogKey(13)) << "Enter does nothing";
                expanded = Has(b, b.computer, kTreeExpanded);
                b.cancel.click.Call(&b);
              }))
        << std::string(path.begin(), path.end());
    EXPECT_TRUE(expanded) << "the walk went through the drives";
  }

  // "<documents>X\inner" starts with the documents folder's text but lies
  // beside it: it is found through its drive.
  CWideString documents;
  ASSERT_TRUE(GetSpecialFolderPath(1, &documents));
  const std::u16string beside = Text(documents) + u"X", inner = beside + u"\\inner";
  CreateDirectoryW(reinterpret_cast<const wchar_t*>(beside.c_str()), nullptr);
  CreateDirectoryW(reinterpret_cast<const wchar_t*>(inner.c_str()), nullptr);
  CFolderBrowser browser;
  const i32 answer = ShowWith(browser, inner, [](CFolderBrowser& b) {
    EXPECT_EQ(u"inner", ItemText(b, b.tree.selected));
    EXPECT_FALSE(Has(b, b.documents, kTreeExpanded)) << "My Documents was not walked";
    EXPECT_TRUE(b.OnDialogKey(13));
  });
  EXPECT_EQ(CFolderBrowser::kAccepted, answer);
  EXPECT_EQ(inner, std::u16string(browser.GetPath()));
  RemoveDirectoryW(reinterpret_cast<const wchar_t*>(inner.c_str()));
  RemoveDirectoryW(reinterpret_cast<const wchar_t*>(beside.c_str()));
}

// The tree fills the window above the buttons, 2 pixels inside the white
// rounded field, which stands a dialog margin from the window's edges;
// the buttons sit in the lower right corner, 8 apart. Tab walks the tree,
// the enabled buttons and the window both ways, skipping OK while it is
// disabled; Escape cancels even with a folder selected.
TEST_F(FolderBrowser, TheTreeAndButtonsFillTheWindowAndTabWalksThemBothWays) {
  CScriptedWindowSystem system;
  CFolderBrowser browser;
  bool checked = false;
  const i32 answer = ShowWith(browser, u"", [&](CFolderBrowser& b) {
    const Rect c = b.GetContentRect();
    const i32 m = ThemeDialogMargin();
    EXPECT_TRUE(b.cancel.x + b.cancel.width == c.right - m && b.cancel.y == m && b.cancel.height == 25);
    EXPECT_TRUE(b.ok.x + b.ok.width + 8 == b.cancel.x && b.ok.y == m && b.ok.width == b.cancel.width);
    EXPECT_TRUE(b.tree.x == m + 2 && b.tree.x + b.tree.width == c.right - m - 2) << b.tree.x << "+" << b.tree.width;
    EXPECT_TRUE(b.tree.y == m + 25 + 10 && b.tree.y + b.tree.height == c.bottom - m - 2) << b.tree.y << "+" << b.tree.height;

    CMemoryCanvas canvas(c.right, c.bottom);
    b.PaintDecoration(canvas.canvas);
    const std::vector<DrawnRecord> all = ReadRecords(canvas.canvas);
    const std::vector<DrawnRecord> field = RecordsOf(all, kOpRoundRect), border = RecordsOf(all, kOpRoundRectFrame);
    ASSERT_TRUE(field.size() == 1 && border.size() == 1);
    for (const DrawnRecord& r : {field[0], border[0]})
      EXPECT_TRUE(r.x0 == b.tree.x - 2 && r.y0 == b.tree.y - 2 && r.x1 == b.tree.x + b.tree.width + 2 &&
                  r.y1 == b.tree.y + b.tree.height + 2)
          << r.x0 << "," << r.y0 << " " << r.x1 << "," << r.y1;
    EXPECT_EQ(0xFFFFFFFFu, field[0].colour);
    EXPECT_EQ(ThemeAccentColor(), border[0].colour);

    auto name = [&] {
      const CWidget* f = FocusedWidget();
      return f == &b.tree ? "tree" : f == &b.ok ? "ok" : f == &b.cancel ? "cancel" : f == &b ? "window" : "other";
    };
    auto walk = [&](bool back, int n) {
      system.SetKeyDown(VK_SHIFT, back);
      std::vector<std::string> seen;
      for (int i = 0; i < n; ++i) {
        SendMessageW(static_cast<HWND>(b.Handle()), WM_KEYDOWN, VK_TAB, 1);
        seen.push_back(name());
      }
      system.SetKeyDown(VK_SHIFT, false);
      return seen;
    };
    b.tree.SetFocus();
    b.tree.SelectItem(b.computer);
    ASSERT_FALSE(OkEnabled(b));
    EXPECT_EQ((std::vector<std::string>{"cancel", "window", "tree"}), walk(false, 3)) << "OK disabled";
    EXPECT_EQ((std::vector<std::string>{"window", "cancel", "tree"}), walk(true, 3));
    b.tree.SelectItem(b.desktop);
    b.tree.SetFocus();
    EXPECT_EQ((std::vector<std::string>{"ok", "cancel", "window", "tree"}), walk(false, 4));
    EXPECT_EQ((std::vector<std::string>{"window", "cancel", "ok", "tree"}), walk(true, 4));
    checked = true;
    EXPECT_TRUE(b.OnDialogKey(27));
  });
  EXPECT_TRUE(checked);
  EXPECT_EQ(CFolderBrowser::kCancelled, answer) << "Escape cancels a selection";
}

// A path ending in "\", a drive alone with and without its "\", and the
// documents folder itself are each selected as the item they name.
TEST_F(FolderBrowser, APathIsSelectedWhateverItsEnding) {
  CWideString documents;
  ASSERT_TRUE(GetSpecialFolderPath(1, &documents));
  const std::u16string drive(base.substr(0, 2));
  const struct {
    std::u16string path, selected;
    bool underComputer;
  } cases[] = {
      {base + u"\\Data\\", u"Data", false},
      {base + u"\\Data", u"Data", false},
      {drive, u"", true},
      {drive + u"\\", u"", true},
      {Text(documents), u"My Documents", false},
  };
  for (const auto& c : cases) {
    CFolderBrowser browser;
    std::u16string selected;
    bool drivePicked = false;
    ShowWith(browser, c.path, [&](CFolderBrowser& b) {
      if (!IsNullItem(b.tree.selected)) {
        selected = ItemText(b, b.tree.selected);
        drivePicked = ItemHandlesEqual(b.tree.Pool().GetParentHandle(b.tree.selected), b.computer);
      }
      b.cancel.click.Call(&b);
    });
    EXPECT_EQ(c.underComputer, drivePicked) << std::string(c.path.begin(), c.path.end());
    if (!c.underComputer) {
      EXPECT_EQ(c.selected, selected) << std::string(c.path.begin(), c.path.end());
    }
  }
}

}  // namespace
