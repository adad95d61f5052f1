#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/commands/main_menu.h"
#include "app/pages/explorer_page.h"
#include "runtime/platform.h"
#include "runtime/win.h"
#include "support/language_scope.h"
#include "tests/app/pages/explorer_owner.h"
#include "ui/support/fake_owner.h"
#include "ui/support/scripted_window_system.h"

namespace {

const wchar16 kTestRoot[] = u"SOFTWARE\\VANTO SOFTWARE\\Kelvane tests\\explorer";

typedef CExplorerOwner::Page::Tree Tree;

std::vector<u32> g_boxes;
struct Box {
  std::u16string text, title;
  u32 flags;
};
std::vector<Box> g_boxSeen;
u32 RecordBox(const MessageText& text, const MessageText& title, u32 flags) {
  g_boxes.push_back(text.id);
  g_boxSeen.push_back({text.Resolve(), title.Resolve(), flags});
  return 0;
}

std::u16string Str(const CWideString& s) { return std::u16string(s.c_str(), s.GetLength()); }

std::string Utf8(const std::u16string& s) {
  std::string out;
  for (char16_t c : s) {
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}
class ExplorerPage : public testing::Test {
 protected:
  typedef CExplorerOwner::Page Page;
  void SetUp() override {
    CSettingsKey(kTestRoot).WriteDword(u"\\Explorer", u"LeftPaneLength", 180);
    g_boxes.clear();
    g_boxSeen.clear();
  }
  void TearDown() override { StoreFocusedWidget(nullptr); }
  // The page 600 x 400 under the test's settings key.
  void Open(const Rect& r = {0, 0, 600, 400}) {
    page().settings.SetRoot(kTestRoot);
    page().actions.messageBox = RecordBox;
    page().Create(kFlagVisible | kFlagSeeThrough | 0x2, &r, &owner);
  }
  Page& page() { return owner.page; }
  // A new folder of a new project, its label put into the rename field.
  void RenameANewFolder() {
    Open();
    page().NewProject();
    page().NewFolder();
    page().StartRename();
  }
  std::vector<std::u16string> ListTexts() {
    std::vector<std::u16string> out;
    for (u32 i = 0; i < page().list.GetItemCount(); ++i) out.push_back(Str(page().list.GetItemInfo(static_cast<i32>(i))->text));
    return out;
  }
  std::vector<std::u16string> ChildItems(const TreeItemHandle& parent) {
    std::vector<std::u16string> out;
    for (u32 i = 0; i < page().tree.GetChildCount(parent); ++i)
      out.push_back(Str(page().tree.Lookup(page().tree.GetChild(parent, i))->text));
    return out;
  }
  CExplorerOwner owner;
};

// The layout from the left pane's width and the content height:
// T = ch - 26; the tree under the page's bar, the list beside both.
TEST_F(ExplorerPage, PanesAreLaidOutFromThePaneWidthAndTheHeight) {
  Open();
  const Rect c = page().GetContentRect();
  ASSERT_EQ(400, c.bottom);
  const Tree& t = page().tree;
  EXPECT_EQ((std::vector<i32>{6, 98, 172, 240}), (std::vector<i32>{t.x, t.y, t.width, t.height}));
  const auto& bar = page().menuBar;
  EXPECT_EQ((std::vector<i32>{6, 338, 172, 30}), (std::vector<i32>{bar.x, bar.y, bar.width, bar.height}));
  const auto& l = page().list;
  EXPECT_EQ((std::vector<i32>{186, 98, c.right - 192, 270}), (std::vector<i32>{l.x, l.y, l.width, l.height}));
  EXPECT_EQ(374, page().mediaSize.y);
  EXPECT_EQ(page().usageBar.y + page().usageBar.height + 2, page().usageLabel.y);
  EXPECT_EQ(c.right - 24, page().closeButton.x);
  // Along the top: the size box from 4, the bar 8 pixels after it, its
  // label's left edge with the bar's; the close button in the top corner.
  EXPECT_EQ(4, page().mediaSize.x);
  EXPECT_EQ(page().mediaSize.width + 12, page().usageBar.x);
  EXPECT_EQ(374, page().usageBar.y);
  EXPECT_EQ(page().usageBar.x, page().usageLabel.x);
  EXPECT_EQ(c.bottom - 24, page().closeButton.y);
  // The second layout at the same size repaints nothing.
  owner.repaints.clear();
  page().LayoutPanes();
  EXPECT_TRUE(owner.repaints.empty());
  // The preview notice came with the controls.
  ASSERT_FALSE(owner.notices.empty());
  EXPECT_EQ(kNoticePreviewArea, owner.notices.back().second);
}

// The root directories of an image made by xorriso with Joliet names: the
// page shows the Joliet tree (long and non-ASCII names as isoinfo -J lists
// them), folders first.
TEST_F(ExplorerPage, AnImageShowsItsJolietNamesFoldersFirst) {
  Open();
  ASSERT_TRUE(page().OpenImage(u"fixtures/iso/joliet.iso"));
  // xorriso's listing of the Joliet tree: the root's entries, a folder
  // being an entry with entries below it.
  std::ifstream listing("fixtures/iso/joliet.find.txt");
  ASSERT_TRUE(listing.good());
  std::vector<std::string> paths;
  for (std::string line; std::getline(listing, line);)
    if (line.size() > 3) paths.push_back(line.substr(2, line.size() - 3));
  std::set<std::string> folders, files;
  for (const std::string& p : paths) {
    if (p.find('/') != std::string::npos) continue;
    const bool folder = std::any_of(paths.begin(), paths.end(), [&](const std::string& q) { return q.rfind(p + "/", 0) == 0; });
    (folder ? folders : files).insert(p);
  }
  const std::vector<std::u16string> rows = ListTexts();
  std::set<std::string> shownFolders, shownFiles;
  for (size_t i = 0; i < rows.size(); ++i) {
    const bool isFolder = page().NodeOfItem(page().rootItem)->ChildAt(static_cast<u32>(i))->IsDirectory();
    if (i >= folders.size()) {
      EXPECT_FALSE(isFolder) << "folders come first";
    }
    (isFolder ? shownFolders : shownFiles).insert(Utf8(rows[i]));
  }
  EXPECT_EQ(folders, shownFolders);
  // Every name as Joliet spells it, "README" and "readme" both.
  EXPECT_EQ(files, shownFiles);
  EXPECT_TRUE(shownFiles.count("README") && shownFiles.count("readme"));
  EXPECT_EQ(files.size(), rows.size() - folders.size());
  const std::u16string longName = std::u16string(60, u'L') + u".txt";
  EXPECT_NE(std::find(rows.begin(), rows.end(), longName), rows.end());
  EXPECT_NE(std::find(rows.begin(), rows.end(), std::u16string(u"\u00DCn\u00EFc\u00F6d\u00E9_\u540D\u524D.txt")), rows.end());
  EXPECT_EQ(folders.size(), page().tree.GetChildCount(page().rootItem));
  EXPECT_TRUE(page().IsBrowsingImage());
}

// An error with one OK button and the error icon, not a question.
TEST_F(ExplorerPage, AnImageThatCannotBeReadSaysSo) {
  Open();
  EXPECT_FALSE(page().OpenImage(u"fixtures/iso/no_such.iso"));
  EXPECT_EQ(std::vector<u32>{kTextErrorOpeningImage}, g_boxes);
  EXPECT_FALSE(page().OpenImage(u"fixtures/iso/tiny.part"));
  ASSERT_EQ(2u, g_boxSeen.size());
  for (const Box& box : g_boxSeen) {
    const MessageBoxSpec spec = DescribeMessageBox(box.flags);
    EXPECT_EQ(1, spec.buttonCount);
    EXPECT_EQ(0, spec.textIds[0]) << "OK";
    EXPECT_EQ(3, spec.icon) << "the error icon";
    EXPECT_EQ(box.title, GetUiText(kTextErrorOpeningImage));
  }
}

// An image cut short after its mastering: the user is told once, in the
// interface's language, that it is damaged and how many entries its tree
// lacks (a warning with one OK button); the rest is shown, and an export
// hands the count on. A whole image (its README and readme both shown) is
// not called damaged.
TEST_F(ExplorerPage, ADamagedImageIsToldOnceAndTheRestShown) {
  const struct {
    u32 language;
    std::u16string text;
  } cases[] = {
      {kLanguageEnglish, u"The image is damaged: some of its entries cannot be read and are left out.\nEntries left out: "},
      {kLanguageSpanish,
       u"La imagen est\u00E1 da\u00F1ada: algunas de sus entradas no se pueden leer y se omiten.\nEntradas omitidas: "}};
  CIso9660Reader fresh;
  u64 size = 0;
  ASSERT_TRUE(fresh.ReadVolume(&size, u"fixtures/iso/joliet.cut.iso.part"));
  const u32 leftOut = fresh.GetSkippedIn(kTreeJoliet);
  ASSERT_GT(leftOut, 0u);
  for (const auto& c : cases) {
    CLanguageScope language(c.language);
    CExplorerOwner other;
    g_boxSeen.clear();
    other.page.settings.SetRoot(kTestRoot);
    other.page.actions.messageBox = RecordBox;
    const Rect r = {0, 0, 600, 400};
    other.page.Create(kFlagVisible | kFlagSeeThrough | 0x2, &r, &other);
    ASSERT_TRUE(other.page.OpenImage(u"fixtures/iso/joliet.cut.iso.part"));
    ASSERT_EQ(1u, g_boxSeen.size());
    const std::string count = std::to_string(leftOut);
    EXPECT_EQ(c.text + std::u16string(count.begin(), count.end()), g_boxSeen[0].text);
    EXPECT_EQ(g_boxSeen[0].title, GetUiText(8));
    const MessageBoxSpec spec = DescribeMessageBox(g_boxSeen[0].flags);
    EXPECT_EQ(1, spec.buttonCount);
    EXPECT_EQ(0, spec.icon) << "the warning icon";
    // The rest: the folders and the files whose data is inside.
    std::vector<std::u16string> rows;
    for (u32 i = 0; i < other.page.list.GetItemCount(); ++i)
      rows.push_back(Str(other.page.list.GetItemInfo(static_cast<i32>(i))->text));
    EXPECT_NE(std::find(rows.begin(), rows.end(), u"Alpha"), rows.end());
    EXPECT_NE(std::find(rows.begin(), rows.end(), u"empty.txt"), rows.end());
    EXPECT_EQ(std::find(rows.begin(), rows.end(), u"big.bin"), rows.end()) << "its data lies past the end";
    StoreFocusedWidget(nullptr);
  }
  g_boxSeen.clear();
  Open();
  ASSERT_TRUE(page().OpenImage(u"fixtures/iso/joliet.iso"));
  EXPECT_TRUE(g_boxSeen.empty()) << "a whole image is not damaged";
  EXPECT_EQ(0u, page().damagedEntries);
}

// A folder that holds the very same name twice (a record renamed after
// mastering) is malformed: the second record is an entry left out, told as
// the damage of a cut image is, and the first is shown.
TEST_F(ExplorerPage, AFolderHoldingOneNameTwiceIsToldAsDamaged) {
  CLanguageScope language(kLanguageEnglish);
  Open();
  ASSERT_TRUE(page().OpenImage(u"fixtures/iso/twice.iso"));
  ASSERT_EQ(1u, g_boxSeen.size());
  EXPECT_EQ(u"The image is damaged: some of its entries cannot be read and are left out.\nEntries left out: 1",
            g_boxSeen[0].text);
  EXPECT_EQ(1u, page().damagedEntries);
  EXPECT_EQ((std::vector<std::u16string>{u"other.txt", u"twin_a.txt"}), ListTexts());
}

// While an export runs the page keeps the main window open: the export's
// thread uses the page's tree. A damaged image's count goes with it.
TEST_F(ExplorerPage, AnExportKeepsTheMainWindowOpenAndCarriesTheDamage) {
  Open();
  ASSERT_TRUE(page().OpenImage(u"fixtures/iso/joliet.cut.iso.part"));
  static Page* running;
  static bool refusedDuring;
  static u32 handedOn;
  running = &page();
  refusedDuring = false;
  handedOn = 0;
  page().actions.chooseFolder = [](u32, const wchar16*, CWideString* chosen) {
    chosen->Assign(u"C:\\out");
    return true;
  };
  page().actions.extract = [](void*, const wchar16*, CFileNode* const*, u32, const wchar16*, u32 leftOut) {
    refusedDuring = running->RefusesClose();
    handedOn = leftOut;
    return true;
  };
  EXPECT_FALSE(page().RefusesClose());
  page().list.SelectItem(0, false);
  page().OnCommand(39);
  EXPECT_TRUE(refusedDuring);
  EXPECT_FALSE(page().RefusesClose());
  EXPECT_GT(handedOn, 0u);
  EXPECT_EQ(page().damagedEntries, handedOn);
}

// Two new folders in one folder: New Folder, then New Folder(1); the
// second is made beside the first, not inside it.
TEST_F(ExplorerPage, NewFoldersInOneFolderAreNumbered) {
  Open();
  page().NewProject();
  for (int i = 0; i < 3; ++i) {
    page().tree.SelectItem(page().rootItem);
    page().NewFolder();
  }
  EXPECT_EQ((std::vector<std::u16string>{u"New Folder", u"New Folder(1)", u"New Folder(2)"}),
            ChildItems(page().rootItem));
  EXPECT_EQ(3u, page().project.dirs.GetCount());
  // The last one is selected and shown (empty) in the list.
  EXPECT_EQ(u"New Folder(2)", Str(page().tree.Lookup(page().tree.selected)->text));
  EXPECT_EQ(3u, page().totals.folders);
}

// Insert makes a folder inside the selected one and selects it: held
// down, it nests folders no deeper than a folder read from disk may lie.
TEST_F(ExplorerPage, NestedNewFoldersStopAtTheDepthLimit) {
  Open();
  page().NewProject();
  for (u32 i = 0; i < CDirNode::kMaxFolderDepth + 5; ++i) {
    page().tree.SelectItem(page().tree.selected);
    page().NewFolder();
  }
  u32 depth = 0;
  for (const CDirNode* d = &page().project; d->dirs.GetCount(); d = &d->dirs[0]) ++depth;
  EXPECT_EQ(CDirNode::kMaxFolderDepth, depth);
  EXPECT_EQ(static_cast<i32>(CDirNode::kMaxFolderDepth), page().tree.Lookup(page().tree.selected)->level);
}

// Renaming in place: the root item becomes the disc label in the settings;
// a folder takes its new name in the tree and the node, sorted again.
TEST_F(ExplorerPage, RenamingTheRootWritesTheDiscLabel) {
  Open();
  page().NewProject();
  page().tree.SelectItem(page().rootItem);
  page().NewFolder();
  page().tree.SelectItem(page().rootItem);
  page().NewFolder();
  page().tree.SelectItem(page().rootItem);
  page().StartRename();
  ASSERT_TRUE(page().tree.editor.IsVisible());
  page().tree.editor.SetText(u"My Disc");
  ASSERT_TRUE(page().tree.OnLabelEditKey(13));
  CWideString stored;
  ASSERT_TRUE(CSettingsKey(kTestRoot).ReadString(u"\\Explorer", u"DiscLabel", &stored));
  EXPECT_EQ(u"My Disc", Str(stored));
  EXPECT_EQ(u"My Disc", Str(page().tree.Lookup(page().rootItem)->text));
  // A new project starts with the stored label.
  CExplorerOwner second;
  second.page.settings.SetRoot(kTestRoot);
  const Rect r = {0, 0, 600, 400};
  second.page.Create(kFlagVisible | kFlagSeeThrough | 0x2, &r, &second);
  second.page.NewProject();
  EXPECT_EQ(u"My Disc", Str(second.page.tree.Lookup(second.page.rootItem)->text));
  // "New Folder" renamed to "Zeta" moves after "New Folder(1)".
  page().tree.SelectItem(page().tree.GetChild(page().rootItem, 0));
  page().StartRename();
  page().tree.editor.SetText(u"Zeta");
  ASSERT_TRUE(page().tree.OnLabelEditKey(13));
  EXPECT_EQ((std::vector<std::u16string>{u"New Folder(1)", u"Zeta"}), ChildItems(page().rootItem));
  EXPECT_EQ(u"Zeta", Str(page().project.dirs[1].name));
  EXPECT_EQ(u"Zeta", Str(page().tree.Lookup(page().tree.selected)->text));
  // A name another folder has keeps the old one.
  page().StartRename();
  page().tree.editor.SetText(u"new folder(1)");
  ASSERT_TRUE(page().tree.OnLabelEditKey(13));
  EXPECT_EQ((std::vector<std::u16string>{u"New Folder(1)", u"Zeta"}), ChildItems(page().rootItem));
  CSettingsKey(kTestRoot).WriteString(u"\\Explorer", u"DiscLabel", u"");
}

// A folder being renamed: its editor is as wide as its text in the font it
// is drawn in (plus the margins) from the moment the label is put into it
// and after every change typed into it: characters, Backspace, Delete, a
// cut and a paste.
TEST_F(ExplorerPage, TheRenameFieldIsAsWideAsItsTextAfterEveryChange) {
  RenameANewFolder();
  auto& editor = page().tree.editor;
  ASSERT_EQ(&editor, FocusedWidget());
  CFont* font = UiFontNormal();
  ASSERT_NE(nullptr, font);
  auto fitted = [&] {
    const CWideString& t = editor.Text();
    return static_cast<i32>(std::ceil(font->MeasureText(t.c_str(), t.GetLength()) + 2.0 * ThemeTextPadding()));
  };
  EXPECT_EQ(u"New Folder", Str(editor.Text()));
  EXPECT_EQ(fitted(), editor.width) << "as the label went in";
  CScriptedWindowSystem keys;
  auto key = [&](u32 code, bool control, bool shift) {
    keys.SetKeyDown(VK_CONTROL, control);
    keys.SetKeyDown(VK_SHIFT, shift);
    RouteKeyToChildren(page(), KeyEvent{KeyKind::kDown, code, 1, 0});
    keys.SetKeyDown(VK_CONTROL, false);
    keys.SetKeyDown(VK_SHIFT, false);
  };
  auto type = [&](const std::u16string& text) {
    for (char16_t c : text) RouteKeyToChildren(page(), KeyEvent{KeyKind::kChar, c, 1, 0});
  };
  const struct {
    const char* step;
    std::function<void()> act;
    std::u16string text;
  } steps[] = {
      {"a character over the whole label", [&] { type(u"W"); }, u"W"},
      {"more characters", [&] { type(u"ide open spaces"); }, u"Wide open spaces"},
      {"Backspace", [&] { key(VK_BACK, false, false); }, u"Wide open space"},
      {"Home, then Delete", [&] { key(VK_HOME, false, false), key(VK_DELETE, false, false); }, u"ide open space"},
      {"Shift+End, then Ctrl+X", [&] { key(VK_END, false, true), key('X', true, false); }, u""},
      {"Ctrl+V",
       [&] {
         SetClipboardText(u"Music Collection 1998-2004", 26);
         key('V', true, false);
       },
       u"Music Collection 1998-2004"},
  };
  for (const auto& s : steps) {
    s.act();
    EXPECT_EQ(s.text, Str(editor.Text())) << s.step;
    EXPECT_EQ(fitted(), editor.width) << s.step;
    EXPECT_EQ(0, editor.edit.firstVisible) << s.step << ": all of it shows";
  }
}

// A click into the rename field puts the caret at the character under the
// pointer, measured in the font the field shows its text in; a double
// click there selects that word.
TEST_F(ExplorerPage, AClickInTheRenameFieldPutsTheCaretUnderThePointer) {
  RenameANewFolder();
  auto& editor = page().tree.editor;
  ASSERT_EQ(&editor, FocusedWidget());
  CFont* font = UiFontNormal();
  ASSERT_NE(nullptr, font);
  // Just right of "New " and just right of "New F": before the 5th and 6th
  // characters.
  const struct {
    i32 chars;
    MouseKind kind;
    i32 caret, selectionStart;
  } clicks[] = {{4, MouseKind::kLeftDown, 4, 4}, {5, MouseKind::kLeftDown, 5, 5}, {5, MouseKind::kLeftDoubleClick, 10, 4}};
  for (const auto& c : clicks) {
    Point p = {ThemeTextPadding() + static_cast<i32>(std::ceil(font->MeasureText(u"New Folder", c.chars))) + 1,
               editor.height / 2};
    editor.ToWindowPoint(&p);
    RouteMouseToChildren(page(), p, MouseEvent{c.kind, 0, 0, 0});
    RouteMouseToChildren(page(), p, MouseEvent{MouseKind::kLeftUp, 0, 0, 0});
    EXPECT_EQ(c.caret, editor.edit.caret) << c.chars;
    EXPECT_EQ(c.selectionStart, editor.edit.selectionStart) << c.chars;
  }
  CaptureTable::Uninstall(CaptureOwner());
}

// A folder renamed in place in a tree that scrolls: the wheel over the
// rename box is the box's, which does nothing with it (the tree does not
// scroll and the edit goes on); over the rest of the tree the tree scrolls.
TEST_F(ExplorerPage, TheWheelOverTheRenameBoxDoesNothing) {
  Open();
  page().NewProject();
  Tree& tree = page().tree;
  for (int i = 0; i < 30; ++i) {
    tree.SelectItem(page().rootItem);
    page().NewFolder();
  }
  ASSERT_TRUE(tree.flags & kFlagVScroll) << "more folders than the tree shows";
  tree.SelectItem(tree.GetChild(page().rootItem, 1));
  page().StartRename();
  auto& editor = tree.editor;
  ASSERT_TRUE(editor.IsVisible());
  const std::u16string name = Str(editor.Text());
  const Rect box = editor.ToWindowRect();
  const Rect all = tree.ToWindowRect();
  const struct {
    const char* where;
    Point at;  // desktop
    bool scrolls;
  } cases[] = {
      {"the rename box's middle", {(box.left + box.right) / 2, (box.top + box.bottom) / 2}, false},
      {"the rename box's first pixel", {box.left, box.top}, false},
      {"the rename box's last pixel", {box.right - 1, box.bottom - 1}, false},
      {"the tree under the rename box", {box.left, (all.top + box.top) / 2}, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.where);
    const double before = tree.positionY;
    const i32 delta = before > 0.5 ? -120 : 120;  // towards the far end
    EXPECT_TRUE(RouteMouseToChildren(page(), c.at, MouseEvent{MouseKind::kWheel, 0, delta, 0}));
    if (c.scrolls) {
      EXPECT_NE(before, tree.positionY);
    } else {
      EXPECT_EQ(before, tree.positionY);
      EXPECT_TRUE(editor.IsVisible());
      EXPECT_EQ(&editor, FocusedWidget());
      EXPECT_EQ(name, Str(editor.Text()));
    }
  }
  ASSERT_TRUE(tree.OnLabelEditKey(27));
}

// The capacity bar and its label at exactly the capacity and one byte more.
TEST_F(ExplorerPage, TheCapacityBarTurnsRedOneBytePastTheCapacity) {
  CSettingsKey(kTestRoot).WriteDword(u"\\Explorer", u"MediaSize", 99);  // out of range: the first size
  Open();
  page().NewProject();
  EXPECT_EQ(0, page().mediaSize.selectedIndex);
  const u64 cd = kMediaSizes[0].bytes;
  ASSERT_NE(nullptr, page().project.AddFileEntry(nullptr, u"a.bin", 5, 100, cd - 1000));
  ASSERT_NE(nullptr, page().project.AddFileEntry(nullptr, u"b.bin", 5, 200, 1000));
  page().UpdateInfoPane();
  EXPECT_EQ(u"Available space: 0 Bytes", Str(page().usageLabel.text));
  EXPECT_DOUBLE_EQ(100.0, page().usageBar.value);
  EXPECT_EQ(ThemeGreenColor(), page().usageBar.style);
  page().project.files[1].size = 1001;
  page().UpdateInfoPane();
  EXPECT_EQ(u"Data overflow: 1 Bytes", Str(page().usageLabel.text));
  EXPECT_EQ(kCapacityOverflowColour, page().usageBar.style);
  // A larger medium holds it again.
  page().mediaSize.SetSelection(4);
  EXPECT_EQ(0u, Str(page().usageLabel.text).find(u"Available space: "));
  u32 stored = 0;
  CSettingsKey(kTestRoot).ReadDword(u"\\Explorer", u"MediaSize", &stored);
  EXPECT_EQ(4u, stored);
  CSettingsKey(kTestRoot).WriteDword(u"\\Explorer", u"MediaSize", 0);
}

// ISO 9660 offers two versions with the stored one, or the second when
// none is stored; UDF six.
TEST_F(ExplorerPage, TheVersionBoxFollowsTheFileSystem) {
  CSettingsKey key(kTestRoot);
  key.WriteDword(u"\\Explorer", u"FileSystem", 1);
  key.WriteDword(u"\\Explorer", u"UDF Version", 3);
  key.WriteDword(u"\\Explorer", u"ISO Version", 0);
  Open();
  EXPECT_EQ(6u, page().version.ItemCount());
  EXPECT_EQ(3, page().version.selectedIndex);
  page().fileSystem.SetSelection(0);
  EXPECT_EQ(2u, page().version.ItemCount());
  EXPECT_EQ(0, page().version.selectedIndex);
  page().version.SetSelection(1);
  u32 stored = 9;
  key.ReadDword(u"\\Explorer", u"ISO Version", &stored);
  EXPECT_EQ(1u, stored);
  key.WriteDword(u"\\Explorer", u"ISO Version", 7);  // out of range: the second entry
  page().fileSystem.SetSelection(1);
  page().fileSystem.SetSelection(0);
  EXPECT_EQ(1, page().version.selectedIndex);
  key.ReadDword(u"\\Explorer", u"FileSystem", &stored);
  EXPECT_EQ(0u, stored);
  key.WriteDword(u"\\Explorer", u"FileSystem", 1);
}

// Delete in the tree: the folder goes; the one before it is selected, else
// the one after it, else the parent; the root stays.
TEST_F(ExplorerPage, RemovingAFolderSelectsItsNeighbourOrParent) {
  Open();
  struct Case {
    const char* name;
    std::vector<const char16_t*> path;  // from the root, by name
    const char16_t* selectedAfter;      // null: nothing changes
    std::vector<std::u16string> rootChildren;
  } cases[] = {
      {"only sub-folder", {u"A", u"A1"}, u"A", {u"A", u"B", u"C"}},
      {"last of several", {u"C"}, u"B", {u"A", u"B"}},
      {"middle", {u"B"}, u"A", {u"A", u"C"}},
      {"first of several", {u"A"}, u"B", {u"B", u"C"}},
      {"the root", {}, nullptr, {u"A", u"B", u"C"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    page().project.dirs.Clear();
    for (const char16_t* n : {u"A", u"B", u"C"}) page().project.InsertDir(n)->flags = kNodeDirectory;
    page().project.SubDirAt(0)->InsertDir(u"A1")->flags = kNodeDirectory;
    page().NewProject();
    TreeItemHandle h = page().rootItem;
    for (const char16_t* step : c.path) {
      for (u32 i = 0; i < page().tree.GetChildCount(h); ++i) {
        const TreeItemHandle child = page().tree.GetChild(h, i);
        if (Str(page().tree.Lookup(child)->text) == step) {
          h = child;
          break;
        }
      }
    }
    page().tree.SelectItem(h);
    bool proceed = true;
    page().OnTreeKey(46, &proceed);
    EXPECT_FALSE(proceed);
    EXPECT_EQ(c.rootChildren, ChildItems(page().rootItem));
    std::vector<std::u16string> nodes;
    for (const CDirNode& d : page().project.dirs) nodes.push_back(Str(d.name));
    EXPECT_EQ(c.rootChildren, nodes);
    const std::u16string selected = Str(page().tree.Lookup(page().tree.selected)->text);
    EXPECT_EQ(c.selectedAfter ? std::u16string(c.selectedAfter) : Str(page().project.name), selected);
  }
  // A tree item whose folder is gone from the project removes nothing.
  page().tree.SelectItem(page().tree.GetChild(page().rootItem, 2));
  page().project.dirs.DeleteAt(2);
  page().RemoveSelectedFolder();
  EXPECT_EQ(3u, page().tree.GetChildCount(page().rootItem));
}

// Every record of a menu block in block order: {id, type, flags, icon}.
struct RecordState {
  i32 id;
  u8 type, flags;
  i32 icon;
  bool operator==(const RecordState& o) const {
    return id == o.id && type == o.type && flags == o.flags && icon == o.icon;
  }
};
void ReadMenuState(CMenuModel* menu, std::vector<RecordState>* out) {
  for (i32 i = 0; i < menu->count; ++i) {
    MenuItem* item = menu->GetItem(i);
    out->push_back({item->id, item->type, item->flags, item->icon});
    if (CMenuModel* sub = CMenuModel::AsSubmenu(item)) ReadMenuState(sub, out);
  }
}
std::vector<RecordState> MenuState(CMenuModel* menu) {
  std::vector<RecordState> state;
  ReadMenuState(menu, &state);
  return state;
}

// The close button closes the page through the host. Showing the page
// enables the main menu's Add files..., New folder, Burn project and Save
// image, hiding it disables them, whatever they were before, and no other
// record of the menu changes (Edit's hidden entries stay hidden). Burn
// project and Add files... answer with the preview notice.
TEST_F(ExplorerPage, TheCloseButtonClosesAndShowingSetsTheMenu) {
  Open();
  page().NewProject();
  CPageHolderOf<CExplorerOwner::Page> holder(&page());
  page().holder = &holder;
  const std::set<i32> pageEntries = {37, 38, 50, 26};
  const struct {
    const char* name;
    u8 set, clear;  // flags changed on every command record before the show
  } before[] = {
      {"as built", 0, 0},
      {"all enabled", kMenuEnabled, 0},
      {"all disabled and shown", 0, kMenuEnabled | kMenuHidden},
  };
  for (const auto& b : before) {
    SCOPED_TRACE(b.name);
    owner.menu = BuildMainMenu(&owner.storage);
    std::vector<std::pair<MenuItem*, u8>> changed;
    std::function<void(CMenuModel*)> change = [&](CMenuModel* m) {
      for (i32 i = 0; i < m->count; ++i) {
        MenuItem* item = m->GetItem(i);
        if (item->type == kMenuTypeCommand) item->flags = static_cast<u8>((item->flags & ~b.clear) | b.set);
        if (CMenuModel* sub = CMenuModel::AsSubmenu(item)) change(sub);
      }
    };
    change(owner.menu);
    const std::vector<RecordState> start = MenuState(owner.menu);
    for (bool show : {true, false, true, false}) {
      holder.Show(show);
      const std::vector<RecordState> now = MenuState(owner.menu);
      ASSERT_EQ(start.size(), now.size());
      u32 entries = 0;
      for (size_t r = 0; r < start.size(); ++r) {
        RecordState expected = start[r];
        if (pageEntries.count(expected.id) && expected.type == kMenuTypeCommand) {
          ++entries;
          expected.flags = static_cast<u8>(show ? (expected.flags | kMenuEnabled) : (expected.flags & ~kMenuEnabled));
        }
        EXPECT_TRUE(expected == now[r]) << (show ? "shown" : "hidden") << ": record " << r << " id " << now[r].id;
      }
      EXPECT_EQ(4u, entries);
    }
  }
  // The two entries that have nothing to do in a preview say so.
  for (u32 id : {37u, 50u}) {
    owner.notices.clear();
    page().OnCommand(id);
    EXPECT_EQ((std::vector<std::pair<u32, NoticeText>>{{kNoticeTitleWarning, kNoticePreviewArea}}), owner.notices)
        << id;
  }
  owner.notices.clear();
  page().OnCommand(41);  // Toolbar: not the page's
  EXPECT_TRUE(owner.notices.empty());
  holder.Show(true);
  page().closeButton.click.Call(&page());
  EXPECT_EQ(std::vector<CPageHolder*>{&holder}, owner.closed);
}

// Save image: the path chosen, then the saving page for it with this page
// set aside; nothing without a path.
TEST_F(ExplorerPage, SaveImageStartsTheSavingPageForTheChosenPath) {
  Open();
  page().NewProject();
  CPageHolderOf<CExplorerOwner::Page> holder(&page());
  page().holder = &holder;
  static std::vector<std::pair<std::u16string, CPageHolder*>> saved;
  static bool choose;
  saved.clear();
  page().actions.chooseImagePath = [](void*, CWideString* path) {
    path->Assign(u"C:\\images\\project.iso");
    return choose;
  };
  page().actions.startSaving = [](void*, const wchar16* path, CPageHolder* project) {
    saved.push_back({std::u16string(path), project});
    return true;
  };
  choose = false;
  page().OnCommand(26);
  EXPECT_TRUE(saved.empty());
  choose = true;
  page().OnCommand(26);
  ASSERT_EQ(1u, saved.size());
  EXPECT_EQ(u"C:\\images\\project.iso", saved[0].first);
  EXPECT_EQ(&holder, saved[0].second);
}

// Export Files: the list's selection, or from the tree's menu the folder
// shown as a whole, goes to the extraction with the chosen folder, which is
// stored for the next time.
TEST_F(ExplorerPage, ExportFilesHandsTheChosenEntriesToTheExtraction) {
  Open();
  ASSERT_TRUE(page().OpenImage(u"fixtures/iso/joliet.iso"));
  static std::vector<std::u16string> extracted;
  static std::u16string target;
  extracted.clear();
  page().actions.chooseFolder = [](u32, const wchar16*, CWideString* chosen) {
    chosen->Assign(u"C:\\out");
    return true;
  };
  page().actions.extract = [](void*, const wchar16*, CFileNode* const* entries, u32 count, const wchar16* folder,
                              u32) {
    for (u32 i = 0; i < count; ++i) extracted.push_back(Str(entries[i]->name));
    target = folder;
    return true;
  };
  page().list.SelectItem(5, false);
  page().list.SelectItem(0, false);  // alone: the first folder
  EXPECT_EQ((std::vector<u8>{1, 0, 0, 0, 0, 0}), std::vector<u8>(page().rowSelected.begin(), page().rowSelected.begin() + 6));
  page().rowSelected[5] = 1;  // as a Ctrl click leaves it
  page().OnCommand(39);
  const std::vector<std::u16string> rows = ListTexts();
  ASSERT_EQ(2u, extracted.size());
  EXPECT_EQ(rows[0], extracted[0]);
  EXPECT_EQ(rows[5], extracted[1]);
  // Select all takes every row; the selection's totals follow.
  page().OnCommand(36);
  EXPECT_EQ(page().totals.files, page().selectionTotals.files);
  EXPECT_EQ(page().totals.bytes, page().selectionTotals.bytes);
  EXPECT_EQ(u"C:\\out", target);
  CWideString stored;
  CSettingsKey(kTestRoot).ReadString(u"\\ImageExplorer", u"ExtractPath", &stored);
  EXPECT_EQ(u"C:\\out", Str(stored));
  extracted.clear();
  page().pageFlags |= Page::kFlagTreeCommand;
  page().OnCommand(39);
  page().pageFlags &= ~Page::kFlagTreeCommand;
  EXPECT_EQ(std::vector<std::u16string>{Str(page().root->name)}, extracted);
}

namespace fs = std::filesystem;

// The export's folder, and how the overwrite question is answered: every
// 5 ms, a question open on this thread gets Enter (its default, OK) or its
// caption's close (Cancel); each question is counted once.
std::u16string g_exportFolder;
bool g_overwrite = false;
std::set<HWND> g_questions;
BOOL CALLBACK AnswerQuestion(HWND w, LPARAM) {
  wchar_t title[64] = {};
  GetWindowTextW(w, title, 64);
  if (!IsWindowVisible(w) || std::u16string(title, title + wcslen(title)) != GetUiText(7)) return TRUE;  // "Error"
  if (!g_questions.insert(w).second) return TRUE;
  if (g_overwrite) {
    PostMessageW(w, WM_KEYDOWN, VK_RETURN, 1);
    PostMessageW(w, WM_KEYUP, VK_RETURN, 1);
  } else {
    PostMessageW(w, WM_SYSCOMMAND, SC_CLOSE, 0);
  }
  return TRUE;
}
void CALLBACK AnswerTick(HWND, UINT, UINT_PTR, DWORD) { EnumThreadWindows(GetCurrentThreadId(), AnswerQuestion, 0); }
BOOL CALLBACK CloseVisible(HWND w, LPARAM) {
  if (IsWindowVisible(w)) PostMessageW(w, WM_CLOSE, 0, 0);
  return TRUE;
}
void CALLBACK ExportWatchdog(HWND, UINT, UINT_PTR, DWORD) {
  ADD_FAILURE() << "the export was still open after two minutes";
  EnumThreadWindows(GetCurrentThreadId(), CloseVisible, 0);
}

std::string FileBytes(const fs::path& p) {
  std::ifstream f(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

// Every name an image's folder holds is listed and exported, with the
// extraction window the program uses: the four names that the system's
// comparison calls two ("strasse" and "straße", "été" composed and
// decomposed) are four files on disk holding the bytes they were made
// from. README and readme go into one folder as one file: the second asks
// before it overwrites the first, as any existing file does; OK leaves the
// second's bytes, Cancel keeps the first's and stops.
TEST_F(ExplorerPage, EveryNameAnImageHoldsIsListedAndExported) {
  const struct {
    const char* what;
    const char16_t* image;
    const char* source;
    std::vector<std::u16string> rows;
    bool overwrite;
    size_t questions;
    std::vector<std::pair<std::u16string, std::u16string>> onDisk;  // name in the folder, source file
  } cases[] = {
      {"names", u"fixtures/iso/names.iso", "src_names",
       {u"e\u0301te\u0301.txt", u"\u00E9t\u00E9.txt", u"strasse.txt", u"stra\u00DFe.txt"}, true, 0,
       {{u"e\u0301te\u0301.txt", u"e\u0301te\u0301.txt"}, {u"\u00E9t\u00E9.txt", u"\u00E9t\u00E9.txt"},
        {u"strasse.txt", u"strasse.txt"}, {u"stra\u00DFe.txt", u"stra\u00DFe.txt"}}},
      {"case, OK", u"fixtures/iso/case.iso", "src_case", {u"README", u"readme"}, true, 1, {{u"README", u"readme"}}},
      {"case, Cancel", u"fixtures/iso/case.iso", "src_case", {u"README", u"readme"}, false, 1, {{u"README", u"README"}}},
  };
  CLanguageScope language(kLanguageEnglish);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    CExplorerOwner owner;
    Page& page = owner.page;
    page.settings.SetRoot(kTestRoot);
    page.actions.messageBox = RecordBox;
    const Rect r = {0, 0, 600, 400};
    page.Create(kFlagVisible | kFlagSeeThrough | 0x2, &r, &owner);
    ASSERT_TRUE(page.OpenImage(c.image));
    EXPECT_TRUE(g_boxSeen.empty()) << "a whole image";
    std::vector<std::u16string> rows;
    for (u32 i = 0; i < page.list.GetItemCount(); ++i) rows.push_back(Str(page.list.GetItemInfo(static_cast<i32>(i))->text));
    EXPECT_EQ(c.rows, rows);
    const fs::path out = fs::absolute(fs::path("explorer_export") / (std::string(c.what).substr(0, 4) + (c.overwrite ? "_ok" : "_cancel")));
    std::error_code ec;
    fs::remove_all(out, ec);
    fs::create_directories(out);
    const std::wstring folder = out.wstring();
    g_exportFolder.assign(folder.begin(), folder.end());
    g_overwrite = c.overwrite;
    g_questions.clear();
    page.actions.chooseFolder = [](u32, const wchar16*, CWideString* chosen) {
      chosen->Assign(g_exportFolder.c_str());
      return true;
    };
    // The program's own export: the extraction window over the image.
    ASSERT_EQ(&ExtractWithWindow, page.actions.extract);
    page.OnCommand(36);  // Select all
    const UINT_PTR tick = SetTimer(nullptr, 0, 5, AnswerTick);
    const UINT_PTR dog = SetTimer(nullptr, 0, 120000, ExportWatchdog);
    page.OnCommand(39);  // Export Files
    KillTimer(nullptr, tick);
    KillTimer(nullptr, dog);
    EXPECT_EQ(c.questions, g_questions.size());
    std::vector<std::u16string> names;
    for (const auto& entry : fs::directory_iterator(out)) {
      const std::wstring name = entry.path().filename().wstring();
      names.push_back(std::u16string(name.begin(), name.end()));
    }
    std::sort(names.begin(), names.end());
    std::vector<std::u16string> expected;
    for (const auto& file : c.onDisk) expected.push_back(file.first);
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(expected, names);
    for (const auto& file : c.onDisk) {
      const std::string made = FileBytes(fs::path("fixtures") / "iso" / c.source / std::wstring(file.second.begin(), file.second.end()));
      EXPECT_FALSE(made.empty());
      EXPECT_TRUE(made == FileBytes(out / std::wstring(file.first.begin(), file.first.end()))) << Utf8(file.first);
    }
    fs::remove_all(out, ec);
    StoreFocusedWidget(nullptr);
  }
}

// Copy: every entry below the selection goes on the clipboard, except a
// name that could leave the folder it is pasted into, with what lies below
// it.
TEST(ExplorerCopy, NamesThatCouldLeaveThePasteFolderAreLeftOut) {
  CDirNode root;
  CDirNode* good = root.InsertDir(u"good");
  good->flags = kNodeDirectory;
  good->AddFileEntry(nullptr, u"a.txt", 5, 20, 10);
  good->AddFileEntry(nullptr, u"..", 2, 21, 10);
  CDirNode* bad = good->InsertDir(u"x\\..\\..\\evil");
  bad->flags = kNodeDirectory;
  bad->AddFileEntry(nullptr, u"b.txt", 5, 22, 10);
  root.AddFileEntry(nullptr, u"C:evil", 6, 23, 10);
  const CFileNode* entries[] = {root.SubDirAt(0), &root.files[0]};
  CClipboardFiles files;
  EXPECT_EQ(2u, PrepareImageEntries(&files, u"fixtures/iso/joliet.iso", true, entries, 2));  // "good" and "good\\a.txt"
}

}  // namespace
