// The browse dialog as a real modal window over a folder tree in the Wine
// prefix: folders listed first, a double click opening a folder or
// accepting a file, Back, Forward and Up on the tool bar, the view modes,
// Enter, Escape and the caption's close, and the Open command's registry
// values read before and written after an accepted run.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "app/job_windows/browse_dialog.h"
#include "app/job_windows/image_browse.h"
#include "runtime/settings.h"
#include "support/language_scope.h"
#include "ui/support/real_window.h"

namespace {

std::function<void(CBrowseDialog&)> g_step;
CBrowseDialog* g_dialog = nullptr;

void CALLBACK RunStep(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  if (g_step && g_dialog && g_dialog->Handle()) g_step(*g_dialog);
  g_step = nullptr;
}
void CALLBACK Watchdog(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  ADD_FAILURE() << "the dialog was still open after two minutes";
  if (g_dialog && g_dialog->Handle()) PostMessageW(static_cast<HWND>(g_dialog->Handle()), WM_CLOSE, 0, 0);
}

u32 RunWith(CBrowseDialog& d, const std::u16string& start, std::function<void(CBrowseDialog&)> step) {
  g_dialog = &d;
  g_step = step;
  SetTimer(nullptr, 0, 20, RunStep);
  const UINT_PTR dog = SetTimer(nullptr, 0, 120000, Watchdog);
  const u32 answer = d.RunModal(start.empty() ? nullptr : start.c_str());
  KillTimer(nullptr, dog);
  g_dialog = nullptr;
  return answer;
}

std::u16string Text(const CWideString& s) { return std::u16string(s.c_str(), s.GetLength()); }
i32 RowNamed(CBrowseDialog& d, const std::u16string& name) {
  for (u32 i = 0; i < d.files.rows.GetCount(); ++i)
    if (Text(d.files.rows[i].text) == name) return static_cast<i32>(i);
  return -1;
}
bool ToolEnabled(CBrowseDialog& d, u32 entry) { return d.toolModel->IsItemEnabled(static_cast<i32>(entry)); }

struct BrowseDialog : testing::Test {
  // <temp>\kelvane_browse_dialog: a file made before two folders (so the
  // system lists it among them), the folders with a folder and a file.
  static void SetUpTestSuite() {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    base = reinterpret_cast<const char16_t*>(temp);
    base += u"kelvane_browse_dialog";
    auto dir = [](const std::u16string& p) { CreateDirectoryW(reinterpret_cast<const wchar_t*>(p.c_str()), nullptr); };
    auto file = [](const std::u16string& p) {
      CloseHandle(CreateFileW(reinterpret_cast<const wchar_t*>(p.c_str()), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0,
                              nullptr));
    };
    dir(base);
    file(base + u"\\a disc.iso");
    dir(base + u"\\Zeta");
    dir(base + u"\\Alpha");
    file(base + u"\\b.img");
    dir(base + u"\\Alpha\\Inner");
    file(base + u"\\Alpha\\inside.iso");
  }
  static std::u16string base;
};
std::u16string BrowseDialog::base;

TEST_F(BrowseDialog, FoldersFirstAFolderOpensAndAFileAccepts) {
  CBrowseDialog d;
  const u32 answer = RunWith(d, base, [&](CBrowseDialog& b) {
    ASSERT_EQ(b.files.rows.GetCount(), 4u);
    for (u32 i = 0; i < 4; ++i) EXPECT_EQ(b.files.rows[i].userValue, i < 2 ? 1u : 0u) << i;
    EXPECT_EQ(b.place, kPlaceNone);
    EXPECT_EQ(Text(b.location.items[0].text), base);
    EXPECT_FALSE(ToolEnabled(b, kCmdBrowseBack));
    EXPECT_TRUE(ToolEnabled(b, kCmdBrowseUp));
    b.OnOpenItem(RowNamed(b, u"Alpha"));  // a double click on a folder
    EXPECT_EQ(std::u16string(b.GetCurrentFolder()), base + u"\\Alpha");
    EXPECT_TRUE(ToolEnabled(b, kCmdBrowseBack));
    EXPECT_EQ(RowNamed(b, u"Inner"), 0);
    b.files.SelectItem(RowNamed(b, u"inside.iso"), true);
    EXPECT_EQ(Text(b.nameField.Text()), u"inside.iso");
    b.OnOpenItem(RowNamed(b, u"inside.iso"));  // a double click on a file
  });
  EXPECT_EQ(answer, CBrowseDialog::kAccepted);
  CWideString result;
  d.GetResultPath(&result);
  EXPECT_EQ(Text(result), base + u"\\Alpha\\inside.iso");
}

TEST_F(BrowseDialog, CaptionCloseAndEscapeCancelAndEnterAccepts) {
  struct Case {
    std::function<void(CBrowseDialog&)> close;
    u32 answer;
  } cases[] = {
      {[](CBrowseDialog& b) { PostMessageW(static_cast<HWND>(b.Handle()), WM_SYSCOMMAND, SC_CLOSE, 0); },
       CBrowseDialog::kCancelled},
      {[](CBrowseDialog& b) { PostMessageW(static_cast<HWND>(b.Handle()), WM_CLOSE, 0, 0); },
       CBrowseDialog::kCancelled},
      {[](CBrowseDialog& b) { EXPECT_TRUE(b.OnDialogKey(27)); }, CBrowseDialog::kCancelled},
      {[](CBrowseDialog& b) { b.cancel.click.Call(&b); }, CBrowseDialog::kCancelled},
      {[](CBrowseDialog& b) { EXPECT_TRUE(b.OnDialogKey(13)); }, CBrowseDialog::kAccepted},
      {[](CBrowseDialog& b) { b.accept.click.Call(&b); }, CBrowseDialog::kAccepted},
  };
  for (const Case& c : cases) {
    CBrowseDialog d;
    EXPECT_EQ(RunWith(d, base, c.close), c.answer) << &c - cases;
  }
}

// The dialog opens with its accept button holding the focus it took at
// its creation: the button shows it, and Space typed at once presses it.
TEST_F(BrowseDialog, TheAcceptButtonHoldsTheFocusWhenTheDialogOpens) {
  CBrowseDialog d;
  const CWidget* atOpen = nullptr;
  const u32 answer = RunWith(d, base, [&](CBrowseDialog& b) {
    atOpen = FocusedWidget();
    SendMessageW(static_cast<HWND>(b.Handle()), WM_KEYDOWN, VK_SPACE, 1);
    SendMessageW(static_cast<HWND>(b.Handle()), WM_KEYUP, VK_SPACE, 1);
    PostMessageW(static_cast<HWND>(b.Handle()), WM_CLOSE, 0, 0);  // unless Space closed it first
  });
  EXPECT_EQ(static_cast<const CWidget*>(&d.accept), atOpen);
  EXPECT_EQ(CBrowseDialog::kAccepted, answer) << "Space went to the accept button";
}

// A to B to C, back to B, then D: Forward is off (C was dropped); Back
// and Forward walk the entries; Up goes to the folder above.
TEST_F(BrowseDialog, HistoryAndUpOnTheToolBar) {
  CBrowseDialog d;
  RunWith(d, base, [&](CBrowseDialog& b) {
    b.NavigateTo((base + u"\\Alpha").c_str());
    b.NavigateTo((base + u"\\Alpha\\Inner").c_str());
    b.OnToolCommand(kCmdBrowseBack);
    EXPECT_EQ(std::u16string(b.GetCurrentFolder()), base + u"\\Alpha");
    EXPECT_TRUE(ToolEnabled(b, kCmdBrowseForward));
    b.NavigateTo((base + u"\\Zeta").c_str());
    EXPECT_FALSE(ToolEnabled(b, kCmdBrowseForward)) << "C was dropped";
    EXPECT_EQ(b.history.GetCount(), 3u);
    b.OnToolCommand(kCmdBrowseBack);
    b.OnToolCommand(kCmdBrowseBack);
    EXPECT_EQ(std::u16string(b.GetCurrentFolder()), base);
    EXPECT_FALSE(ToolEnabled(b, kCmdBrowseBack));
    b.OnToolCommand(kCmdBrowseForward);
    EXPECT_EQ(std::u16string(b.GetCurrentFolder()), base + u"\\Alpha");
    b.OnToolCommand(kCmdBrowseUp);
    EXPECT_EQ(std::u16string(b.GetCurrentFolder()), base);
    b.NavigateTo((base + u"\\Gone").c_str());  // ignored
    EXPECT_EQ(std::u16string(b.GetCurrentFolder()), base);
    b.CancelAndClose();
  });
}

// Up from a drive root: My Computer's list of drives when the root was
// reached from there, only Up switched off when the place is Desktop.
TEST_F(BrowseDialog, UpFromADriveRoot) {
  CBrowseDialog d;
  RunWith(d, u"C:\\", [&](CBrowseDialog& b) {
    b.OnToolCommand(kCmdBrowseUp);
    EXPECT_EQ(b.place, kPlaceComputer);
    EXPECT_TRUE(b.GetCurrentFolder()[0] == 0) << "My Computer";
    ASSERT_GT(b.files.rows.GetCount(), 0u);
    const i32 c = [&] {
      for (u32 i = 0; i < b.files.rows.GetCount(); ++i)
        if (b.files.rows[i].userValue == u'C') return static_cast<i32>(i);
      return -1;
    }();
    ASSERT_GE(c, 0);
    EXPECT_FALSE(ToolEnabled(b, kCmdBrowseUp));
    b.OnOpenItem(c);
    EXPECT_EQ(std::u16string(b.GetCurrentFolder()), u"C:\\");
    b.place = kPlaceDesktop;
    const u32 entries = b.history.GetCount();
    b.OnToolCommand(kCmdBrowseUp);
    EXPECT_FALSE(ToolEnabled(b, kCmdBrowseUp));
    EXPECT_EQ(b.history.GetCount(), entries);
    EXPECT_EQ(std::u16string(b.GetCurrentFolder()), u"C:\\");
    b.CancelAndClose();
  });
}

TEST_F(BrowseDialog, ViewModesAndDetailsKeepsTheLook) {
  CBrowseDialog d;
  d.viewMode = kViewLargeList;
  RunWith(d, base, [&](CBrowseDialog& b) {
    EXPECT_EQ(b.viewMode, kViewLargeList);
    EXPECT_EQ(b.files.mode & kListRows, kListRows);
    EXPECT_TRUE(b.files.mode & kListSingleSelect);
    EXPECT_EQ(b.toolModel->GetItem(kCmdBrowseViews)->icon, 5);
    b.OnToolCommand(kCmdViewIcons);
    EXPECT_EQ(b.viewMode, kViewIcons);
    EXPECT_EQ(b.files.mode & (kListIcons | kListRows), kListIcons);
    EXPECT_EQ(b.files.rows[0].iconLayout, 0x24u) << "the rows were made again";
    EXPECT_EQ(b.toolModel->GetItem(kCmdBrowseViews)->icon, 3);
    const u32 mode = b.files.mode;
    b.OnToolCommand(kCmdViewDetails);
    EXPECT_EQ(b.viewMode, kViewIcons);
    EXPECT_EQ(b.files.mode, mode);
    EXPECT_EQ(b.files.rows[0].iconLayout, 0x24u);
    b.OnToolCommand(kCmdViewList);
    EXPECT_EQ(b.files.rows[0].iconLayout, 0x11u);
    b.CancelAndClose();
  });
}

// The window's minimum track size is the size it opens with: it cannot be
// dragged smaller than that (the outer size, shadow margins included).
TEST_F(BrowseDialog, CannotBeMadeSmallerThanItOpens) {
  CBrowseDialog d;
  RunWith(d, base, [&](CBrowseDialog& b) {
    HWND w = static_cast<HWND>(b.Handle());
    RECT r;
    ASSERT_TRUE(GetWindowRect(w, &r));
    MINMAXINFO info = {};
    SendMessageW(w, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(579, info.ptMinTrackSize.x);
    EXPECT_EQ(419, info.ptMinTrackSize.y);
    EXPECT_EQ(r.right - r.left, info.ptMinTrackSize.x) << "as wide as it opens";
    EXPECT_EQ(r.bottom - r.top, info.ptMinTrackSize.y) << "as high as it opens";
    b.CancelAndClose();
  });
}

// The mouse's extra buttons walk the history as Back and Forward do,
// wherever the focus is; a double click of one is two steps.
TEST_F(BrowseDialog, TheMouseBackAndForwardButtonsWalkTheHistory) {
  CBrowseDialog d;
  RunWith(d, base, [&](CBrowseDialog& b) {
    HWND w = static_cast<HWND>(b.Handle());
    b.NavigateTo((base + u"\\Alpha").c_str());
    b.NavigateTo((base + u"\\Alpha\\Inner").c_str());
    b.files.SetFocus();
    SendMessageW(w, WM_XBUTTONDOWN, MAKEWPARAM(MK_XBUTTON1, XBUTTON1), 0);
    EXPECT_EQ(std::u16string(b.GetCurrentFolder()), base + u"\\Alpha");
    EXPECT_TRUE(ToolEnabled(b, kCmdBrowseForward));
    b.accept.SetFocus();
    SendMessageW(w, WM_XBUTTONDOWN, MAKEWPARAM(MK_XBUTTON1, XBUTTON1), 0);
    EXPECT_EQ(std::u16string(b.GetCurrentFolder()), base);
    EXPECT_FALSE(ToolEnabled(b, kCmdBrowseBack));
    SendMessageW(w, WM_XBUTTONDOWN, MAKEWPARAM(MK_XBUTTON1, XBUTTON1), 0);
    EXPECT_EQ(std::u16string(b.GetCurrentFolder()), base) << "nothing before the first entry";
    b.SetFocus();  // the window itself
    SendMessageW(w, WM_XBUTTONDOWN, MAKEWPARAM(MK_XBUTTON2, XBUTTON2), 0);
    EXPECT_EQ(std::u16string(b.GetCurrentFolder()), base + u"\\Alpha");
    SendMessageW(w, WM_XBUTTONDOWN, MAKEWPARAM(MK_XBUTTON2, XBUTTON2), 0);
    EXPECT_EQ(std::u16string(b.GetCurrentFolder()), base + u"\\Alpha\\Inner");
    EXPECT_FALSE(ToolEnabled(b, kCmdBrowseForward));
    SendMessageW(w, WM_XBUTTONDBLCLK, MAKEWPARAM(MK_XBUTTON1, XBUTTON1), 0);
    EXPECT_EQ(std::u16string(b.GetCurrentFolder()), base);
    EXPECT_EQ(b.history.GetCount(), 3u) << "walking drops nothing";
    b.CancelAndClose();
  });
}

// The labels of the location box, the name field and the type box are in
// the interface's language.
TEST_F(BrowseDialog, TheFieldLabelsFollowTheLanguage) {
  const struct {
    u32 language;
    std::u16string lookIn, name, type;
  } cases[] = {{kLanguageEnglish, u"Look in:", u"Name:", u"Type:"},
               {kLanguageSpanish, u"Buscar en:", u"Nombre:", u"Tipo:"}};
  for (const auto& c : cases) {
    CLanguageScope language(c.language);
    CBrowseDialog d;
    RunWith(d, base, [&](CBrowseDialog& b) {
      auto shown = [](const CLabel<CBrowseDialog>& l) {
        const ControlText t = TextOf(l.textId, l.text);
        return std::u16string(t.text, static_cast<size_t>(t.length));
      };
      EXPECT_EQ(c.lookIn, shown(b.locationLabel));
      EXPECT_EQ(c.name, shown(b.nameLabel));
      EXPECT_EQ(c.type, shown(b.typeLabel));
      b.CancelAndClose();
    });
  }
}

// The name and type labels stand from x 128 to 240, at the heights of
// their fields, at the size the dialog opens with and after a resize.
TEST_F(BrowseDialog, TheNameAndTypeLabelsStandWhereTheTablePutsThem) {
  CBrowseDialog d;
  RunWith(d, base, [&](CBrowseDialog& b) {
    const Rect content = b.GetContentRect();
    for (const i32 W : {static_cast<i32>(content.right), 731}) {
      SCOPED_TRACE(W);
      b.LayoutContent(W, 450);
      const struct {
        const char* name;
        const CLabel<CBrowseDialog>& label;
        i32 y;
      } rows[] = {{"name label", b.nameLabel, 41}, {"type label", b.typeLabel, 8}};
      for (const auto& r : rows) {
        EXPECT_EQ(128, r.label.x) << r.name;
        EXPECT_EQ(240, r.label.x + r.label.width) << r.name;
        EXPECT_EQ(r.y, r.label.y) << r.name;
      }
      EXPECT_EQ(b.nameField.y, b.nameLabel.y);
      EXPECT_EQ(b.typeBox.y, b.typeLabel.y);
    }
    b.CancelAndClose();
  });
}

// The dialog's caption carries no title, as the Open command and the
// burn-image window run it and as a dialog of its own.
std::wstring g_caption;
i32 g_captionWindowWidth = 0;
void CALLBACK LookAtCaption(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  HWND w = GetActiveWindow();
  wchar_t text[64] = {};
  GetWindowTextW(w, text, 64);
  g_caption = text;
  RECT r = {};
  GetWindowRect(w, &r);
  g_captionWindowWidth = r.right - r.left;
  PostMessageW(w, WM_CLOSE, 0, 0);
}

TEST_F(BrowseDialog, TheCaptionHasNoTitle) {
  CSettingsKey().WriteString(u"Image", u"ImageDirectory", base.c_str());
  g_caption = L"not looked at";
  g_captionWindowWidth = 0;
  const UINT_PTR look = SetTimer(nullptr, 0, 100, &LookAtCaption);
  CWideString chosen;
  EXPECT_FALSE(BrowseForImage(&chosen)) << "closed from its caption";
  KillTimer(nullptr, look);
  EXPECT_EQ(CBrowseDialog::kWidth + 19, g_captionWindowWidth) << "the browse dialog was looked at";
  EXPECT_EQ(L"", g_caption);
  CBrowseDialog d;
  RunWith(d, base, [&](CBrowseDialog& b) {
    EXPECT_TRUE(b.title.IsEmpty());
    EXPECT_EQ(0, GetWindowTextLengthW(static_cast<HWND>(b.Handle())));
    b.CancelAndClose();
  });
}

// Open's registry values: the start folder and view mode are read (a view
// mode above 3 is not taken), and both are written back after an accepted
// run only.
TEST_F(BrowseDialog, TheImageFolderAndViewComeFromAndGoBackToTheRegistry) {
  CSettingsKey settings;
  const struct {
    u32 storedView;
    i32 seenView;
    bool accept;
  } cases[] = {{2, kViewLargeList, true}, {7, kViewList, true}, {0, kViewIcons, false}};
  for (const auto& c : cases) {
    settings.WriteString(u"Image", u"ImageDirectory", base.c_str());
    settings.WriteDword(u"Image", u"ImageDirView", c.storedView);
    std::u16string started;
    i32 seen = -2;
    // The opener's steps around its own dialog (BrowseForImage's).
    CBrowseDialog d;
    CWideString start, chosen;
    SeedImageBrowse(&d, &start);
    const u32 answer = RunWith(d, Text(start), [&](CBrowseDialog& b) {
      started = b.GetCurrentFolder();
      seen = b.viewMode;
      b.NavigateTo((base + u"\\Alpha").c_str());
      b.OnToolCommand(c.storedView == 0 ? kCmdViewList : kCmdViewIcons);
      if (c.accept)
        b.OnOpenItem(RowNamed(b, u"inside.iso"));
      else
        b.CancelAndClose();
    });
    const bool accepted = answer == CBrowseDialog::kAccepted;
    if (accepted) {
      SaveImageBrowse(d);
      d.GetResultPath(&chosen);
    }
    EXPECT_EQ(accepted, c.accept);
    EXPECT_EQ(started, base);
    EXPECT_EQ(seen, c.seenView);
    CWideString folder;
    u32 view = 99;
    ASSERT_TRUE(settings.ReadString(u"Image", u"ImageDirectory", &folder));
    ASSERT_TRUE(settings.ReadDword(u"Image", u"ImageDirView", &view));
    if (c.accept) {
      EXPECT_EQ(Text(chosen), base + u"\\Alpha\\inside.iso");
      EXPECT_EQ(Text(folder), base + u"\\Alpha");
      EXPECT_EQ(view, static_cast<u32>(kViewIcons));
    } else {
      EXPECT_EQ(Text(folder), base);
      EXPECT_EQ(view, c.storedView);
    }
  }
}

}  // namespace
