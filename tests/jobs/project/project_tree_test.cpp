#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cwctype>
#include <clocale>
#include <random>
#include <string>
#include <vector>

#ifdef _WIN32
#include "runtime/win.h"
#endif

#include "../image/iso_test_support.h"
#include "jobs/project/project_tree.h"

namespace {

std::u16string NameOf(const CFileNode* node) { return isotest::ToU16(node->name); }

bool Before(const std::u16string& a, const std::u16string& b) {
  return CompareNodeNames(a.data(), i32(a.size()), b.data(), i32(b.size())) < 0;
}
// The model's "one name": equal once the ASCII and Latin-1 capitals are
// lower case (the letters the pool below uses).
bool Alike(const std::u16string& a, const std::u16string& b) {
  auto lower = [](std::u16string s) {
    for (char16_t& c : s)
      if ((c >= u'A' && c <= u'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) c = static_cast<char16_t>(c + 32);
    return s;
  };
  return lower(a) == lower(b);
}

// The names of a directory's sub-directories, then of its files.
std::vector<std::u16string> Children(CDirNode& dir) {
  std::vector<std::u16string> names;
  for (u32 i = 0; i < dir.GetChildCount(); ++i) names.push_back(NameOf(dir.ChildAt(i)));
  return names;
}

}  // namespace

// Random inserts, renames and removals against a model: two sorted name
// lists in which names alike (equal ignoring case) cannot both exist, a
// rename being refused when any other child has the name or one alike, or
// the node itself already has the name. Names only the system's comparison
// calls equal ("strasse" and "straße", a composed and a decomposed
// "é") are different names.
TEST(ProjectTree, InsertsRenamesAndRemovalsFollowTheModel) {
  const std::vector<std::u16string> pool = {u"a",  u"A",  u"b",       u"\u00C9t\u00E9", u"\u00E9T\u00C9", u"c10",
                                            u"C9", u"z",  u"_",       u"Zz",           u"stra\u00DFe",     u"STRASSE",
                                            u"strasse", u"e\u0301te\u0301", u"ae", u"\u00E6"};
  std::mt19937 random(11);
  for (int round = 0; round < 20; ++round) {
    CDirNode root;
    std::vector<std::u16string> dirs, files;
    for (int step = 0; step < 60; ++step) {
      std::u16string name = pool[random() % pool.size()] + (random() % 3 ? u"" : u"x");
      int op = random() % 4;
      std::vector<std::u16string>& list = op == 1 ? files : dirs;
      if (op <= 1) {  // insert a directory or a file
        bool taken = std::any_of(list.begin(), list.end(), [&](const std::u16string& n) { return Alike(n, name); });
        CFileNode* node = op ? root.InsertFile(name.c_str()) : static_cast<CFileNode*>(root.InsertDir(name.c_str()));
        ASSERT_EQ(taken, node == nullptr) << isotest::ToUtf8(name);
        EXPECT_TRUE(!taken || root.conflict == u32(op ? kConflictFile : kConflictDir));
        if (!taken) list.insert(std::upper_bound(list.begin(), list.end(), name, Before), name);
      } else if (op == 2 && !dirs.empty()) {  // rename a sub-directory
        u32 index = random() % dirs.size();
        CDirNode* node = root.SubDirAt(index);
        bool refused = name == dirs[index];
        for (size_t i = 0; i < dirs.size(); ++i) refused = refused || (i != index && Alike(dirs[i], name));
        for (const std::u16string& f : files) refused = refused || Alike(f, name);
        i32 at = root.RenameSubDir(&node, name.c_str());
        ASSERT_EQ(refused, at < 0) << isotest::ToUtf8(name);
        if (refused) continue;
        dirs.erase(dirs.begin() + index);
        auto place = std::upper_bound(dirs.begin(), dirs.end(), name, Before);
        EXPECT_EQ(place - dirs.begin(), at);
        dirs.insert(place, name);
        EXPECT_EQ(node, root.SubDirAt(static_cast<u32>(at)));
      } else if (op == 3 && !dirs.empty()) {  // remove a sub-directory
        u32 index = random() % dirs.size();
        EXPECT_TRUE(root.RemoveSubDir(root.SubDirAt(index)));
        dirs.erase(dirs.begin() + index);
      }
      std::vector<std::u16string> model = dirs;
      model.insert(model.end(), files.begin(), files.end());
      ASSERT_EQ(model, Children(root)) << "step " << step;
    }
    for (u32 i = 0; i < root.GetChildCount(); ++i) EXPECT_EQ(static_cast<i32>(i), root.IndexOf(root.ChildAt(i)));
    EXPECT_EQ(nullptr, root.ChildAt(root.GetChildCount()));
    EXPECT_EQ(nullptr, root.SubDirAt(root.dirs.GetCount()));
    EXPECT_EQ(files.size(), root.CountFiles());
  }
}

// A folder renamed to a name that shows nothing keeps its name, as with an
// empty one: a name of spaces only (the space, the no-break space, the
// ideographic space) is refused. A name with spaces around or between
// letters is a name.
TEST(ProjectTree, ARenameToANameOfSpacesOnlyIsRefused) {
  const struct {
    const char16_t* name;
    bool refused;
  } names[] = {
      {u"", true},
      {u" ", true},
      {u"   ", true},
      {u"\u00A0", true},
      {u"\u3000", true},
      {u" \u00A0\u3000 ", true},
      {u" docs", false},
      {u"docs ", false},
      {u"my docs", false},
      {u"\u00A0x", false},
  };
  for (const auto& n : names) {
    SCOPED_TRACE(isotest::ToUtf8(n.name));
    CDirNode root;
    ASSERT_NE(nullptr, root.InsertDir(u"A"));
    CDirNode* folder = root.InsertDir(u"New Folder");
    ASSERT_NE(nullptr, folder);
    const i32 at = root.RenameSubDir(&folder, n.name);
    EXPECT_EQ(n.refused, at < 0);
    EXPECT_EQ(n.refused ? u"New Folder" : std::u16string(n.name), NameOf(folder));
    EXPECT_EQ(2u, root.dirs.GetCount());
  }
}

// Two names are one name to a data project only when they are equal letter
// by letter ignoring case; an image's tree refuses only the very same name.
// Either way the order is total: the names compare equal only to
// themselves, in either direction alike.
TEST(ProjectTree, NamesAreOneOnlyWhenEqualLetterByLetterIgnoringCase) {
  const struct {
    const char16_t* a;
    const char16_t* b;
    bool alike;
  } pairs[] = {
      {u"New Folder", u"new folder", true},
      {u"README", u"readme", true},
      {u"\u00C9CLAIR", u"\u00E9clair", true},                      // É é
      {u"\u0100\u0139\u0178\u017D", u"\u0101\u013A\u00FF\u017E", true},  // Latin Extended-A pairs
      {u"\u03A3\u03A9", u"\u03C3\u03C9", true},                      // Greek
      {u"\u0416\u0401", u"\u0436\u0451", true},                      // Cyrillic
      {u"strasse", u"stra\u00DFe", false},
      {u"ss", u"\u00DF", false},
      {u"ae", u"\u00E6", false},
      {u"ab", u"a\u00ADb", false},                                  // a soft hyphen
      {u"\u00E9t\u00E9", u"e\u0301te\u0301", false},                 // composed, decomposed
      {u"\u00D7", u"\u00F7", false},                                // no case pair
      {u"\u0130", u"i", false},
      {u"\u03C2", u"\u03C3", false},                                // final sigma
      {u"a", u"a ", false},
  };
  for (const auto& p : pairs) {
    const std::u16string a = p.a, b = p.b;
    SCOPED_TRACE(isotest::ToUtf8(a) + " / " + isotest::ToUtf8(b));
    const i32 ab = CompareNodeNames(a.data(), i32(a.size()), b.data(), i32(b.size()));
    const i32 ba = CompareNodeNames(b.data(), i32(b.size()), a.data(), i32(a.size()));
    EXPECT_TRUE(ab != 0 && ab == -ba) << ab << " " << ba;
    EXPECT_EQ(0, CompareNodeNames(a.data(), i32(a.size()), a.data(), i32(a.size())));
    EXPECT_EQ(p.alike, NodeNamesAlike(a.data(), i32(a.size()), b.data(), i32(b.size())));
    EXPECT_EQ(p.alike, NodeNamesAlike(b.data(), i32(b.size()), a.data(), i32(a.size())));
    // A data project refuses the second name when it is alike, as a file
    // and as a folder, whichever comes first; an image's tree keeps both.
    for (bool reversed : {false, true}) {
      const std::u16string& first = reversed ? b : a;
      const std::u16string& second = reversed ? a : b;
      CDirNode project, image;
      ASSERT_NE(nullptr, project.InsertFile(first.c_str()));
      ASSERT_NE(nullptr, project.InsertDir(first.c_str()));
      EXPECT_EQ(p.alike, project.InsertFile(second.c_str()) == nullptr);
      EXPECT_EQ(p.alike, project.InsertDir(second.c_str()) == nullptr);
      EXPECT_EQ(p.alike ? u32(kConflictDir) : u32(kConflictNone), project.conflict);
      ASSERT_NE(nullptr, image.AddFileEntry(nullptr, first.data(), i32(first.size()), 20, 1));
      ASSERT_NE(nullptr, image.InsertDir(first.data(), i32(first.size()), NameRule::kImage));
      EXPECT_NE(nullptr, image.AddFileEntry(nullptr, second.data(), i32(second.size()), 21, 1));
      EXPECT_NE(nullptr, image.InsertDir(second.data(), i32(second.size()), NameRule::kImage));
      // The very same name again: refused by both.
      EXPECT_EQ(nullptr, image.AddFileEntry(nullptr, first.data(), i32(first.size()), 22, 1));
      EXPECT_EQ(u32(kConflictFile), image.conflict);
      EXPECT_EQ(nullptr, image.InsertDir(first.data(), i32(first.size()), NameRule::kImage));
      EXPECT_EQ(u32(kConflictDir), image.conflict);
      EXPECT_EQ(nullptr, project.InsertFile(first.c_str()));
      EXPECT_TRUE(image.files.GetCount() == 2u && image.dirs.GetCount() == 2u && image.blocks == 2u);
      // A folder renamed to the second name beside a file or a folder of
      // the first: refused when it is alike.
      for (bool folder : {false, true}) {
        CDirNode renaming;
        ASSERT_NE(nullptr, folder ? renaming.InsertDir(first.c_str()) : renaming.InsertFile(first.c_str()));
        CDirNode* other = renaming.InsertDir(u"other");
        ASSERT_NE(nullptr, other);
        EXPECT_EQ(p.alike, renaming.RenameSubDir(&other, second.c_str()) < 0) << (folder ? "folder" : "file");
      }
    }
  }
}

namespace {

// A character's small and capital letter as the system maps them (Windows)
// or as the C library does under a UTF-8 locale: case pairs known apart
// from the program's fold.
#ifdef _WIN32
u32 SystemCase(u32 c, bool lower) {
  const uintptr_t one = c;
  return static_cast<u32>(reinterpret_cast<uintptr_t>(lower ? CharLowerW(reinterpret_cast<LPWSTR>(one))
                                                            : CharUpperW(reinterpret_cast<LPWSTR>(one)))) & 0xFFFF;
}
#else
u32 SystemCase(u32 c, bool lower) {
  static const bool utf8 = std::setlocale(LC_CTYPE, "C.UTF-8") != nullptr;
  EXPECT_TRUE(utf8);
  return static_cast<u32>(lower ? std::towlower(static_cast<wint_t>(c)) : std::towupper(static_cast<wint_t>(c)));
}
#endif

// The letters below 0x500 with their small and capital letters, looked up
// once: c is the capital of s and s the small letter of c.
struct CaseTable {
  u32 lower[0x500], upper[0x500];
  CaseTable() {
    for (u32 c = 0; c < 0x500; ++c) {
      lower[c] = SystemCase(c, true);
      upper[c] = SystemCase(c, false);
    }
  }
  // Yot and its small letter are left apart: the system's comparison does
  // not take them for one letter, so they could not sort side by side.
  bool Pair(u32 c, u32 s) const { return c != s && lower[c] == s && upper[s] == c && c != 0x37F; }
};

}  // namespace

// Every letter of the blocks the fold covers (ASCII, Latin-1, Latin
// Extended-A, Greek and Coptic, Cyrillic): a capital and its small letter
// are one name to a data project, whichever comes first and among every
// other letter; no other two letters are; and the order puts each capital
// right beside its small letter, so the refusal finds it.
TEST(ProjectTree, EveryCapitalIsOneNameWithItsSmallLetterAndSortsBesideIt) {
  auto covered = [](u32 c) { return c >= 0x20 && c < 0x500 && (c < 0x7F || c >= 0xA0) && (c < 0x180 || c >= 0x370); };
  std::vector<char16_t> letters;
  for (u32 c = 0; c < 0x500; ++c)
    if (covered(c)) letters.push_back(static_cast<char16_t>(c));
  const CaseTable cases;
  std::vector<std::pair<char16_t, char16_t>> pairs;
  for (char16_t c : letters)
    if (covered(cases.lower[c]) && cases.Pair(c, cases.lower[c])) pairs.push_back({c, static_cast<char16_t>(cases.lower[c])});
  ASSERT_GT(pairs.size(), 250u) << "the case pairs of these blocks";
  auto hex = [](u32 c) {
    char text[8];
    std::snprintf(text, sizeof(text), "%04X", c);
    return std::string(text);
  };
  // One name exactly when a case pair (or the very same letter).
  std::string wrong;
  for (char16_t a : letters)
    for (char16_t b : letters)
      if ((a == b || cases.Pair(a, b) || cases.Pair(b, a)) != NodeNamesAlike(&a, 1, &b, 1) && a < b)
        wrong += " " + hex(a) + "/" + hex(b);
  EXPECT_EQ("", wrong) << "letters the fold takes wrongly for one name or for two";
  // Each capital sits right beside its small letter in the order.
  std::vector<std::u16string> sorted;
  for (char16_t c : letters) sorted.push_back(std::u16string(1, c));
  std::sort(sorted.begin(), sorted.end(), Before);
  std::vector<size_t> at(0x500);
  for (size_t i = 0; i < sorted.size(); ++i) at[sorted[i][0]] = i;
  for (const auto& p : pairs) {
    const size_t c = at[p.first], s = at[p.second];
    EXPECT_EQ(1u, c > s ? c - s : s - c) << hex(p.first) << " " << hex(p.second);
  }
  // A data project given every letter, in any order, keeps one of each
  // pair, as a file and as a folder: the other is refused beside it.
  std::mt19937 random(39);
  for (int round = 0; round < 3; ++round) {
    std::vector<char16_t> order = letters;
    std::shuffle(order.begin(), order.end(), random);
    CDirNode project;
    std::vector<char16_t> kept;
    for (char16_t c : order) {
      const char16_t name[2] = {c, 0};
      const bool taken = std::any_of(kept.begin(), kept.end(), [&](char16_t k) { return cases.Pair(k, c) || cases.Pair(c, k); });
      ASSERT_EQ(taken, project.InsertFile(name) == nullptr) << hex(c);
      ASSERT_EQ(taken, project.InsertDir(name) == nullptr) << hex(c);
      if (!taken) kept.push_back(c);
    }
    EXPECT_EQ(letters.size() - pairs.size(), project.files.GetCount());
    EXPECT_EQ(letters.size() - pairs.size(), project.dirs.GetCount());
  }
}

// Names the order's first step calls equal (or may, as the system does)
// come out of an image's folder in one order whatever order they go in:
// each sorts before the next, all of them kept.
TEST(ProjectTree, TheOrderIsTotalAndTheSameForAnyInsertOrder) {
  const std::vector<std::u16string> names = {
      u"README", u"readme", u"ReadMe", u"strasse", u"stra\u00DFe", u"STRASSE", u"\u00E9t\u00E9", u"e\u0301te\u0301",
      u"\u00C9T\u00C9", u"ae", u"\u00E6", u"ab", u"a\u00ADb", u"New Folder", u"new folder", u"b"};
  std::mt19937 random(36);
  std::vector<std::u16string> first;
  for (int round = 0; round < 30; ++round) {
    std::vector<std::u16string> order = names;
    std::shuffle(order.begin(), order.end(), random);
    CDirNode dir;
    for (const std::u16string& name : order)
      ASSERT_NE(nullptr, dir.AddFileEntry(nullptr, name.data(), i32(name.size()), 20, 0)) << isotest::ToUtf8(name);
    const std::vector<std::u16string> got = Children(dir);
    if (round == 0) first = got;
    ASSERT_EQ(first, got) << "round " << round;
  }
  ASSERT_EQ(names.size(), first.size());
  for (size_t i = 0; i < first.size(); ++i)
    for (size_t j = i + 1; j < first.size(); ++j)
      EXPECT_TRUE(Before(first[i], first[j]) && !Before(first[j], first[i]))
          << isotest::ToUtf8(first[i]) << " / " << isotest::ToUtf8(first[j]);
}

// Names kept in a directory's reserved block live as long as their nodes,
// leave it when they change, and are never freed one by one (the sanitizer
// build checks the frees).
TEST(ProjectTree, NamesInTheReservedBlockSurviveEveryChange) {
  CDirNode root;
  std::vector<std::u16string> names;
  u64 units = 0;
  for (int i = 0; i < 40; ++i) {
    std::string s = (i % 2 ? "dir_" : "file_") + std::to_string(i * 37 % 101);
    names.push_back(std::u16string(s.begin(), s.end()));
    if (i < 30) units += names.back().size() + 1;  // the last ten do not fit
  }
  ASSERT_TRUE(root.ReserveNames(units));
  for (size_t i = 0; i < names.size(); ++i) {
    bool dir = i % 2;
    CFileNode* node = dir ? static_cast<CFileNode*>(root.InsertDir(names[i].c_str())) : root.InsertFile(names[i].c_str());
    ASSERT_NE(node, nullptr);
    if (dir) static_cast<CDirNode*>(node)->InsertFile(u"inner");
  }
  std::u16string longName(300, u'L');
  ASSERT_TRUE(root.ReserveNames(5 + longName.size() + 1));  // a second block for later children
  ASSERT_NE(root.InsertFile(u"late"), nullptr);
  CFileNode* shortened = root.InsertFile(longName.c_str());
  ASSERT_NE(shortened, nullptr);
  shortened->name.SetLength(5);  // longer than a first step of storage of its own
  EXPECT_EQ(NameOf(shortened), u"LLLLL");
  CDirNode* renamed = root.SubDirAt(0);
  std::u16string second = NameOf(root.SubDirAt(1));
  ASSERT_GE(root.RenameSubDir(&renamed, u"zz_renamed_far_beyond_its_old_length"), 0);
  EXPECT_EQ(NameOf(root.SubDirAt(0)), second);  // its neighbour is untouched
  root.files[0].name.AppendChar(u'!');          // grows into storage of its own
  root.files[1].name.Erase(0, 1);
  root.files.Add(root.files[2]);                // a copy owns its name
  EXPECT_TRUE(root.RemoveSubDir(root.SubDirAt(3)));
  EXPECT_EQ(Children(root).size(), names.size() + 2);
  EXPECT_EQ(Children(root).back(), NameOf(&root.files[2]));
  EXPECT_EQ(NameOf(root.SubDirAt(2)->ChildAt(0)), u"inner");
}

TEST(ProjectTree, BlocksTotalsAndInfo) {
  CDirNode root;
  EXPECT_TRUE(root.flags == kNodeDirectory && root.blockSize == 2048u && root.InsertFile(u"") == nullptr);
  for (u64 bytes : {0ull, 1ull, 2048ull, 2049ull, 5ull << 32}) EXPECT_EQ((bytes + 2047) / 2048, root.BlocksFor(bytes));
  root.AddFileEntry(nullptr, u"one", 3, 10, 1);
  root.AddFileEntry(nullptr, u"two", 3, 11, 2049);
  CFileNode* file = root.AddFileEntry(nullptr, u"f.bin", 5, 7, 1234);
  EXPECT_EQ(root.blocks, 4u);
  CDirNode* sub = root.InsertDir(u"sub");
  sub->AddFileEntry(nullptr, u"x", 1, 20, 4096);
  sub->InsertDir(u"1")->InsertDir(u"2");
  root.InsertDir(u"other");
  EXPECT_TRUE(root.blocks == 4u && root.TotalSize() == 6.0 && root.CountFiles() == 4u && root.CountDirs() == 4u);
  EXPECT_TRUE(root.RemoveSubDir(root.SubDirAt(1)));  // the parent's own blocks stay
  EXPECT_TRUE(root.blocks == 4u && root.TotalSize() == 4.0 && root.CountDirs() == 1u);
  file = root.FindChild(u"f.bin");
  EXPECT_EQ(nullptr, root.FindChild(u"F.BIN"));  // exact match only
  DateTime date{};
  date.Set(1999, 12, 31, 5, 23, 59, 58, 0);
  file->SetAllDates(date);
  DirEntry entry{};
  // The kind: plain (2) only without any flag; a hidden file is 4 alone.
  const struct {
    u32 flags;
    u32 kind;
  } kinds[] = {{0, kEntryPlainFile},
               {kNodeHidden, kEntryHidden},
               {kNodeDirectory, kEntryDirectory},
               {kNodeDirectory | kNodeHidden, kEntryDirectory | kEntryHidden}};
  for (const auto& k : kinds) {
    file->flags = k.flags;
    file->GetInfo(&entry);
    EXPECT_EQ(k.kind, entry.kind) << "flags " << k.flags;
    EXPECT_TRUE(NameOf(file) == isotest::ToU16(entry.name) && entry.size == 1234u && entry.written.year == 1999 &&
                entry.created.second == 58);
  }
  root.SubDirAt(0)->GetInfo(&entry);
  EXPECT_EQ(entry.kind, static_cast<u32>(kEntryDirectory));
}
