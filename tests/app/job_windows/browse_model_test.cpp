// The browse dialog's model: history with Back, Forward and Up, the view
// modes' looks, the selection order with the name field, the result path.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/job_windows/browse_model.h"
#include "ui/views/list_layout.h"
#include "ui/views/list_row.h"

namespace {

std::u16string Text(const CWideString& s) { return std::u16string(s.c_str(), s.GetLength()); }

TEST(BrowseHistory, ANewFolderAfterBackDropsWhatWasAhead) {
  CBrowseHistory h;
  EXPECT_EQ(h.Current(), nullptr);
  EXPECT_FALSE(h.Back());
  EXPECT_FALSE(h.Forward());
  h.Push(kPlaceNone, u"C:\\A");
  EXPECT_FALSE(h.CanGoBack());
  h.Push(kPlaceNone, u"C:\\A\\B");
  h.Push(kPlaceDesktop, u"C:\\A\\B\\C");
  EXPECT_TRUE(h.Back());
  EXPECT_EQ(Text(h.Current()->path), u"C:\\A\\B");
  EXPECT_TRUE(h.CanGoForward());
  h.Push(kPlaceComputer, u"");  // D
  EXPECT_FALSE(h.CanGoForward()) << "C was dropped";
  EXPECT_EQ(h.GetCount(), 3u);
  EXPECT_EQ(h.Current()->place, kPlaceComputer);
  EXPECT_TRUE(h.Back());
  EXPECT_TRUE(h.Back());
  EXPECT_EQ(Text(h.Current()->path), u"C:\\A");
  EXPECT_FALSE(h.Back());
  EXPECT_TRUE(h.Forward());
  EXPECT_TRUE(h.Forward());
  EXPECT_FALSE(h.Forward());
  EXPECT_TRUE(h.Current()->path.IsEmpty());
}

TEST(BrowseHistory, UpGoesToTheParentAndAFolderOnADriveToItsRoot) {
  const struct {
    const char16_t* path;
    const char16_t* parent;  // null: none (a root)
  } cases[] = {
      {u"C:\\A\\B", u"C:\\A"}, {u"C:\\A\\B\\", u"C:\\A"}, {u"C:\\A", u"C:\\"}, {u"C:\\A\\", u"C:\\"},
      {u"C:\\", nullptr},      {u"C:", nullptr},          {u"", nullptr},      {u"\\\\srv\\share\\d", u"\\\\srv\\share"},
      // Only a drive letter's colon makes the third character a root; a
      // root with a doubled "\" is still a root.
      {u"ab\\c", u"ab"},       {u"C:\\\\", nullptr},
  };
  for (const auto& c : cases) {
    CWideString out;
    out.Assign(u"untouched");
    EXPECT_EQ(ParentFolder(c.path, &out), c.parent != nullptr) << std::string(c.path, c.path + std::u16string(c.path).size());
    EXPECT_EQ(Text(out), c.parent ? c.parent : u"untouched");
  }
}

TEST(BrowseView, EachModeItsLookAndDetailsKeepsTheCurrentOne) {
  BrowseViewLook look;
  ASSERT_TRUE(LookOfViewMode(kViewIcons, &look));
  EXPECT_EQ(look.listMode, kListIcons);
  EXPECT_TRUE(look.largeIcons);
  EXPECT_EQ(look.iconLayout, 0x24u);
  EXPECT_EQ(look.textFlags, 1u);
  EXPECT_EQ(look.barIcon, 3);
  ASSERT_TRUE(LookOfViewMode(kViewList, &look));
  EXPECT_EQ(look.listMode, kListRows);
  EXPECT_FALSE(look.largeIcons);
  EXPECT_EQ(look.iconLayout, 0x11u);
  EXPECT_EQ(look.textFlags, 8u);
  EXPECT_EQ(look.barIcon, 4);
  ASSERT_TRUE(LookOfViewMode(kViewLargeList, &look));
  EXPECT_TRUE(look.largeIcons);
  EXPECT_EQ(look.barIcon, 5);
  EXPECT_FALSE(LookOfViewMode(kViewDetails, &look));
  EXPECT_FALSE(LookOfViewMode(7, &look));
  EXPECT_EQ(ViewModeOfCommand(kCmdViewIcons), kViewIcons);
  EXPECT_EQ(ViewModeOfCommand(kCmdViewDetails), kViewDetails);
  EXPECT_EQ(ViewModeOfCommand(kCmdBrowseUp), -1);
}

struct Rows {
  std::vector<CWideString> names;
  std::vector<bool> dirs;
  explicit Rows(std::vector<std::pair<const char16_t*, bool>> rows) : names(rows.size()) {
    for (size_t i = 0; i < rows.size(); ++i) {
      names[i].Assign(rows[i].first);
      dirs.push_back(rows[i].second);
    }
  }
  static const CWideString* Name(const void* self, u32 row) { return &static_cast<const Rows*>(self)->names[row]; }
  static bool IsDir(const void* self, u32 row) { return static_cast<const Rows*>(self)->dirs[row]; }
  BrowseRowSource Source() const { return {this, &Name, &IsDir}; }
};

TEST(BrowseSelection, TheNameFieldFollowsTheRowsInTheOrderChosen) {
  const Rows rows({{u"Folder", true}, {u"a.iso", false}, {u"b.img", false}});
  CBrowseSelection s;
  CWideString field;
  field.Assign(u"typed");
  EXPECT_FALSE(NameFieldForSelection(s, rows.Source(), &field));
  s.Track(0, true);
  EXPECT_FALSE(NameFieldForSelection(s, rows.Source(), &field)) << "a folder alone leaves the field";
  EXPECT_EQ(Text(field), u"typed");
  s.Track(0, false);
  s.Track(2, true);
  ASSERT_TRUE(NameFieldForSelection(s, rows.Source(), &field));
  EXPECT_EQ(Text(field), u"b.img");
  s.Track(0, true);
  s.Track(1, true);
  s.Track(1, true);  // once only
  EXPECT_EQ(s.GetCount(), 3u);
  ASSERT_TRUE(NameFieldForSelection(s, rows.Source(), &field));
  EXPECT_EQ(Text(field), u"\"b.img\" \"a.iso\"");
  s.Track(2, false);
  EXPECT_EQ(s.First(), 0);
  s.Track(-1, true);  // the closing call is no row
  EXPECT_EQ(s.GetCount(), 2u);
}

TEST(BrowseResult, TheNameFieldThenTheSelectedRowThenTheFolder) {
  const struct {
    const char16_t *folder, *field, *row, *result;
  } cases[] = {
      {u"C:\\Images", u"new.iso", u"old.iso", u"C:\\Images\\new.iso"},
      {u"C:\\Images\\", u"new.iso", nullptr, u"C:\\Images\\new.iso"},
      {u"C:\\Images", u"D:\\Other\\x.iso", nullptr, u"D:\\Other\\x.iso"},
      {u"C:\\Images", u"\\\\srv\\s\\x.iso", nullptr, u"\\\\srv\\s\\x.iso"},
      {u"C:\\Images", u"", u"old.iso", u"C:\\Images\\old.iso"},
      {u"C:\\", nullptr, u"root.iso", u"C:\\root.iso"},
      {u"C:\\Images", u"", nullptr, u"C:\\Images"},
  };
  for (const auto& c : cases) {
    CWideString out;
    BuildBrowseResult(c.folder, c.field, c.row, &out);
    EXPECT_EQ(Text(out), c.result);
  }
  EXPECT_TRUE(IsRootedPath(u"c:\\x"));
  EXPECT_FALSE(IsRootedPath(u"c:x"));
  EXPECT_FALSE(IsRootedPath(u"x\\y"));
  EXPECT_FALSE(IsRootedPath(u"\\x.iso"));  // the current drive's root: not a whole path
  EXPECT_TRUE(IsRootedPath(u"\\\\s\\x.iso"));
}

}  // namespace
