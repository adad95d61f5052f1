#include "runtime/settings.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "runtime/threads.h"
#include "runtime/win.h"

namespace {

// Every test works under its own scratch key of the current user, removed
// afterwards; values are planted directly through the registry API.
class SettingsTest : public testing::Test {
 protected:
  void SetUp() override {
    static unsigned counter = 0;
    wchar_t name[96];
    swprintf(name, 96, L"SOFTWARE\\KelvaneTests\\run%lu-%lu-%u", GetCurrentProcessId(),
             GetTickCount(), ++counter);
    root_ = AsW16(name);
    RegDeleteTreeW(HKEY_CURRENT_USER, AsWide(root_.c_str()));
    store_.SetRoot(root_.c_str());
  }
  void TearDown() override {
    RegDeleteTreeW(HKEY_CURRENT_USER, AsWide(root_.c_str()));
    HKEY parent;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, L"SOFTWARE\\KelvaneTests", 0, KEY_READ, &parent) == 0) {
      DWORD subKeys = 1;
      RegQueryInfoKeyW(parent, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, nullptr,
                       nullptr, nullptr, nullptr, nullptr);
      RegCloseKey(parent);
      if (subKeys == 0) RegDeleteKeyW(HKEY_CURRENT_USER, L"SOFTWARE\\KelvaneTests");
    }
  }

  std::u16string Path(const char16_t* subKey) const {
    std::u16string path = root_;
    if (subKey && *subKey) {
      if (subKey[0] != u'\\') path += u'\\';
      path += subKey;
    }
    return path;
  }

  // Stores raw bytes of any type, bypassing the store.
  void Plant(const char16_t* subKey, const char16_t* name, DWORD type, const void* data,
             DWORD size) {
    HKEY key;
    ASSERT_EQ(0, RegCreateKeyExW(HKEY_CURRENT_USER, AsWide(Path(subKey).c_str()), 0, nullptr, 0,
                                 KEY_ALL_ACCESS, nullptr, &key, nullptr));
    ASSERT_EQ(0, RegSetValueExW(key, AsWide(name), 0, type, static_cast<const BYTE*>(data), size));
    RegCloseKey(key);
  }

  // Reads raw bytes and type as stored.
  bool Peek(const char16_t* subKey, const char16_t* name, DWORD* type, std::vector<BYTE>* data) {
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, AsWide(Path(subKey).c_str()), 0, KEY_READ, &key) != 0)
      return false;
    DWORD size = 0;
    LONG r = RegQueryValueExW(key, AsWide(name), nullptr, type, nullptr, &size);
    data->resize(size);
    if (r == 0 && size)
      r = RegQueryValueExW(key, AsWide(name), nullptr, type, data->data(), &size);
    RegCloseKey(key);
    return r == 0;
  }

  bool KeyExists(const char16_t* subKey) {
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, AsWide(Path(subKey).c_str()), 0, KEY_READ, &key) != 0)
      return false;
    RegCloseKey(key);
    return true;
  }

  std::u16string root_;
  CSettingsKey store_;
};

TEST(SettingsKeyPath, JoinsSubKeysWithOneSeparator) {
  CWideString path;
  path.Assign(u"A\\B");
  AppendKeyPath(&path, u"\\Main");
  EXPECT_EQ(std::u16string(u"A\\B\\Main"), path.c_str());
  path.Assign(u"A\\B");
  AppendKeyPath(&path, u"Image");
  EXPECT_EQ(std::u16string(u"A\\B\\Image"), path.c_str());
  path.Assign(u"A\\B");
  AppendKeyPath(&path, nullptr);
  EXPECT_EQ(std::u16string(u"A\\B"), path.c_str());
  AppendKeyPath(&path, u"");
  EXPECT_EQ(std::u16string(u"A\\B"), path.c_str());
}

TEST(SettingsKeyPath, TheProgramsRootKey) {
  EXPECT_EQ(std::u16string(u"SOFTWARE\\VANTO SOFTWARE\\Kelvane 0.6"), kSettingsRoot);
  EXPECT_EQ(kSettingsRoot, CSettingsKey().GetRoot());
}

TEST_F(SettingsTest, FirstStartReadsNothingAndKeepsEveryPreset) {
  u32 dword = 0xC0FFEEu;
  bool flag = true;
  CWideString text;
  text.Assign(u"preset");
  SettingsRect rect = {1, 2, 3, 4};
  EXPECT_FALSE(store_.ReadDword(u"\\Main", u"Language", &dword));
  EXPECT_FALSE(store_.ReadBool(nullptr, u"TaskViewShow", &flag));
  EXPECT_FALSE(store_.ReadString(u"\\Main", u"Device", &text));
  EXPECT_FALSE(store_.ReadWindowRect(&rect));
  EXPECT_EQ(0xC0FFEEu, dword);
  EXPECT_TRUE(flag);
  EXPECT_EQ(std::u16string(u"preset"), text.c_str());
  EXPECT_EQ(1, rect.left);
  EXPECT_EQ(4, rect.bottom);
  EXPECT_FALSE(KeyExists(nullptr)) << "reads never create keys";

  // The first write creates the whole key path.
  EXPECT_TRUE(store_.WriteDword(u"Image", u"BurnMethod", 2));
  EXPECT_TRUE(KeyExists(u"Image"));
  DWORD type = 0;
  std::vector<BYTE> data;
  ASSERT_TRUE(Peek(u"Image", u"BurnMethod", &type, &data));
  EXPECT_EQ(static_cast<DWORD>(REG_DWORD), type);
  ASSERT_EQ(4u, data.size());
  EXPECT_EQ(2, data[0]);
}

TEST_F(SettingsTest, DwordsAndBoolsRoundTripUnderEverySubKeyForm) {
  const u32 kValues[] = {0, 1, 0x7FFFFFFF, 0x80000000u, 0xFFFFFFFFu};
  for (u32 v : kValues) {
    for (const char16_t* sub : {u"\\Main", u"Image", static_cast<const char16_t*>(nullptr)}) {
      ASSERT_TRUE(store_.WriteDword(sub, u"Value", v));
      u32 back = ~v;
      ASSERT_TRUE(store_.ReadDword(sub, u"Value", &back));
      EXPECT_EQ(v, back);
    }
  }
  // Null and "\" forms of the sub key reach different keys.
  ASSERT_TRUE(store_.WriteDword(nullptr, u"Where", 10));
  ASSERT_TRUE(store_.WriteDword(u"\\Copy", u"Where", 20));
  u32 a = 0, b = 0;
  ASSERT_TRUE(store_.ReadDword(nullptr, u"Where", &a));
  ASSERT_TRUE(store_.ReadDword(u"Copy", u"Where", &b));
  EXPECT_EQ(10u, a);
  EXPECT_EQ(20u, b);

  ASSERT_TRUE(store_.WriteBool(u"Image", u"Verify", true));
  ASSERT_TRUE(store_.WriteBool(u"Image", u"BUFE", false));
  bool verify = false, bufe = true;
  EXPECT_TRUE(store_.ReadBool(u"Image", u"Verify", &verify));
  EXPECT_TRUE(store_.ReadBool(u"Image", u"BUFE", &bufe));
  EXPECT_TRUE(verify);
  EXPECT_FALSE(bufe);
  // A bool is stored as the DWORD 1 or 0; any non-zero reads as true.
  DWORD type = 0;
  std::vector<BYTE> data;
  ASSERT_TRUE(Peek(u"Image", u"Verify", &type, &data));
  EXPECT_EQ(static_cast<DWORD>(REG_DWORD), type);
  EXPECT_EQ((std::vector<BYTE>{1, 0, 0, 0}), data);
  DWORD seven = 7;
  Plant(u"Image", u"Odd", REG_DWORD, &seven, 4);
  bool odd = false;
  EXPECT_TRUE(store_.ReadBool(u"Image", u"Odd", &odd));
  EXPECT_TRUE(odd);
}

TEST_F(SettingsTest, MistypedOrMisSizedDwordsFailAndKeepThePreset) {
  Plant(u"\\Main", u"AsText", REG_SZ, L"12", 6);
  Plant(u"\\Main", u"AsTextFour", REG_SZ, L"1", 4);  // exactly four bytes
  const BYTE three[3] = {1, 2, 3};
  Plant(u"\\Main", u"Three", REG_BINARY, three, 3);
  const BYTE four[4] = {5, 0, 0, 0};
  Plant(u"\\Main", u"BinaryFour", REG_BINARY, four, 4);
  const BYTE eight[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  Plant(u"\\Main", u"Qword", REG_QWORD, eight, 8);
  Plant(u"\\Main", u"ShortDword", REG_DWORD, three, 3);
  Plant(u"\\Main", u"Empty", REG_DWORD, nullptr, 0);
  for (const char16_t* name : {u"AsText", u"AsTextFour", u"Three", u"BinaryFour", u"Qword",
                               u"ShortDword", u"Empty", u"Missing"}) {
    u32 value = 0xA5A5A5A5u;
    EXPECT_FALSE(store_.ReadDword(u"\\Main", name, &value)) << std::string(name, name + 4);
    EXPECT_EQ(0xA5A5A5A5u, value) << "the preset stays";
    bool flag = true;
    EXPECT_FALSE(store_.ReadBool(u"\\Main", name, &flag));
    EXPECT_TRUE(flag);
  }
}

TEST_F(SettingsTest, StringsRoundTripWithTheirExactLength) {
  const char16_t* kTexts[] = {u"\\\\.\\E:", u"", u"C:\\Users\\\u00E9t\u00E9\\Images",
                              u"x", u"\u4E2D\u6587 \U0001F4BF"};
  for (const char16_t* t : kTexts) {
    ASSERT_TRUE(store_.WriteString(u"\\Main", u"Device", t));
    CWideString back;
    back.Assign(u"old contents");
    ASSERT_TRUE(store_.ReadString(u"\\Main", u"Device", &back));
    EXPECT_EQ(std::u16string(t), back.c_str());
    EXPECT_EQ(static_cast<i32>(std::u16string(t).size()), back.GetLength());
    // Stored with its terminating zero: (n + 1) x 2 bytes.
    DWORD type = 0;
    std::vector<BYTE> data;
    ASSERT_TRUE(Peek(u"\\Main", u"Device", &type, &data));
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
    EXPECT_EQ((std::u16string(t).size() + 1) * 2, data.size());
  }
  // The longest text accepted: 4095 units.
  std::u16string longest(4095, u'a');
  longest[4094] = u'z';
  ASSERT_TRUE(store_.WriteString(u"Image", u"ImageDirectory", longest.c_str()));
  CWideString back;
  ASSERT_TRUE(store_.ReadString(u"Image", u"ImageDirectory", &back));
  EXPECT_EQ(longest, back.c_str());
}

TEST_F(SettingsTest, TooLongOrNullStringsAreNotWritten) {
  ASSERT_TRUE(store_.WriteString(u"Image", u"ImageDirectory", u"kept"));
  std::u16string tooLong(4096, u'b');
  EXPECT_FALSE(store_.WriteString(u"Image", u"ImageDirectory", tooLong.c_str()));
  std::u16string muchTooLong(70000, u'c');
  EXPECT_FALSE(store_.WriteString(u"Image", u"ImageDirectory", muchTooLong.c_str()));
  EXPECT_FALSE(store_.WriteString(u"Image", u"ImageDirectory", nullptr));
  CWideString back;
  ASSERT_TRUE(store_.ReadString(u"Image", u"ImageDirectory", &back));
  EXPECT_EQ(std::u16string(u"kept"), back.c_str());
}

TEST_F(SettingsTest, MalformedStoredStringsReadSafely) {
  // No terminator stored: the text is exactly what is there.
  Plant(u"\\Copy", u"NoZero", REG_SZ, L"abc", 6);
  // Odd byte count: the half unit is dropped.
  Plant(u"\\Copy", u"Odd", REG_SZ, L"abcd", 7);
  // Zero bytes: an empty text.
  Plant(u"\\Copy", u"Nothing", REG_SZ, nullptr, 0);
  // One byte only.
  Plant(u"\\Copy", u"OneByte", REG_SZ, "A", 1);
  // A zero inside: the text ends there.
  Plant(u"\\Copy", u"Inner", REG_SZ, L"ab\0cd", 12);
  const struct {
    const char16_t* name;
    const char16_t* expected;
  } kCases[] = {{u"NoZero", u"abc"}, {u"Odd", u"abc"}, {u"Nothing", u""},
                {u"OneByte", u""},   {u"Inner", u"ab"}};
  for (const auto& c : kCases) {
    CWideString back;
    back.Assign(u"previous");
    ASSERT_TRUE(store_.ReadString(u"\\Copy", c.name, &back)) << std::string(c.name, c.name + 3);
    EXPECT_EQ(std::u16string(c.expected), back.c_str());
    EXPECT_EQ(static_cast<i32>(std::u16string(c.expected).size()), back.GetLength());
    EXPECT_EQ(0, back.c_str()[back.GetLength()]) << "terminated";
  }
}

TEST_F(SettingsTest, StringReadsOfOtherTypesOrAbsurdSizesFailAndKeepTheText) {
  DWORD number = 5;
  Plant(u"\\Copy", u"Number", REG_DWORD, &number, 4);
  Plant(u"\\Copy", u"Expand", REG_EXPAND_SZ, L"%TEMP%", 14);
  Plant(u"\\Copy", u"Multi", REG_MULTI_SZ, L"a\0b\0", 10);
  Plant(u"\\Copy", u"Binary", REG_BINARY, "abcd", 4);
  // Far longer than any path the program stores.
  std::u16string huge(100000, u'h');
  Plant(u"\\Copy", u"Huge", REG_SZ, huge.c_str(), static_cast<DWORD>((huge.size() + 1) * 2));
  for (const char16_t* name : {u"Number", u"Expand", u"Multi", u"Binary", u"Huge", u"Missing"}) {
    CWideString back;
    back.Assign(u"preset");
    EXPECT_FALSE(store_.ReadString(u"\\Copy", name, &back)) << std::string(name, name + 4);
    EXPECT_EQ(std::u16string(u"preset"), back.c_str());
  }
  // A long but sane value (beyond the writer's 4095 limit) still reads.
  std::u16string wide(20000, u'w');
  Plant(u"\\Copy", u"Wide", REG_SZ, wide.c_str(), static_cast<DWORD>(wide.size() * 2));
  CWideString back;
  ASSERT_TRUE(store_.ReadString(u"\\Copy", u"Wide", &back));
  EXPECT_EQ(wide, back.c_str());
}

TEST_F(SettingsTest, WindowRectRoundTripAndPartialRead) {
  const SettingsRect rect = {-1280, 40, 650, -1};
  ASSERT_TRUE(store_.WriteWindowRect(rect));
  SettingsRect back = {0, 0, 0, 0};
  ASSERT_TRUE(store_.ReadWindowRect(&back));
  EXPECT_EQ(rect.left, back.left);
  EXPECT_EQ(rect.top, back.top);
  EXPECT_EQ(rect.right, back.right);
  EXPECT_EQ(rect.bottom, back.bottom);
  u32 raw = 0;
  ASSERT_TRUE(store_.ReadDword(u"\\Main", u"x", &raw));
  EXPECT_EQ(static_cast<u32>(-1280), raw);

  // "x2" missing: false, and only the values before it were stored.
  HKEY key;
  ASSERT_EQ(0, RegOpenKeyExW(HKEY_CURRENT_USER, AsWide(Path(u"\\Main").c_str()), 0,
                             KEY_ALL_ACCESS, &key));
  ASSERT_EQ(0, RegDeleteValueW(key, L"x2"));
  RegCloseKey(key);
  ASSERT_TRUE(store_.WriteDword(u"\\Main", u"x", 11));
  ASSERT_TRUE(store_.WriteDword(u"\\Main", u"y", 22));
  SettingsRect partial = {100, 200, 300, 400};
  EXPECT_FALSE(store_.ReadWindowRect(&partial));
  EXPECT_EQ(11, partial.left);
  EXPECT_EQ(22, partial.top);
  EXPECT_EQ(300, partial.right);
  EXPECT_EQ(400, partial.bottom);

  // "x" stored as text: nothing at all is taken.
  Plant(u"\\Main", u"x", REG_SZ, L"5", 4);
  SettingsRect untouched = {7, 8, 9, 10};
  EXPECT_FALSE(store_.ReadWindowRect(&untouched));
  EXPECT_EQ(7, untouched.left);
  EXPECT_EQ(8, untouched.top);
}

TEST_F(SettingsTest, NullArgumentsAndRootsFailCleanly) {
  EXPECT_FALSE(store_.ReadDword(u"\\Main", u"x", nullptr));
  EXPECT_FALSE(store_.ReadString(u"\\Main", u"x", nullptr));
  EXPECT_FALSE(store_.ReadBool(u"\\Main", u"x", nullptr));
  EXPECT_FALSE(store_.ReadWindowRect(nullptr));
  CSettingsKey rootless(nullptr);
  u32 value = 3;
  EXPECT_FALSE(rootless.WriteDword(u"\\Main", u"x", 1));
  EXPECT_FALSE(rootless.ReadDword(u"\\Main", u"x", &value));
  EXPECT_EQ(3u, value);
}

TEST_F(SettingsTest, NoCacheEveryReadSeesTheRegistry) {
  ASSERT_TRUE(store_.WriteDword(u"\\Explorer", u"LeftPaneLength", 180));
  u32 value = 0;
  ASSERT_TRUE(store_.ReadDword(u"\\Explorer", u"LeftPaneLength", &value));
  EXPECT_EQ(180u, value);
  DWORD changed = 240;
  Plant(u"\\Explorer", u"LeftPaneLength", REG_DWORD, &changed, 4);
  ASSERT_TRUE(store_.ReadDword(u"\\Explorer", u"LeftPaneLength", &value));
  EXPECT_EQ(240u, value);
  RegDeleteTreeW(HKEY_CURRENT_USER, AsWide(root_.c_str()));
  EXPECT_FALSE(store_.ReadDword(u"\\Explorer", u"LeftPaneLength", &value));
  EXPECT_EQ(240u, value);
}

// A writer keeps replacing a value with texts of very different sizes while
// the store reads it: every successful read is one of the two texts whole.
TEST_F(SettingsTest, StringThatChangesSizeWhileBeingReadIsReadWhole) {
  struct Shared {
    std::u16string path;
    std::u16string shortText = u"s";
    std::u16string longText = std::u16string(3000, u'L');
    std::atomic<bool> stop{false};
  } shared;
  shared.path = Path(u"\\Copy");
  ASSERT_TRUE(store_.WriteString(u"\\Copy", u"Source", shared.longText.c_str()));
  CThread writer;
  ASSERT_TRUE(writer.Start([](void* p) -> u32 {
    Shared* s = static_cast<Shared*>(p);
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, AsWide(s->path.c_str()), 0, KEY_SET_VALUE, &key) != 0)
      return 1;
    for (u32 i = 0; !s->stop.load(); ++i) {
      const std::u16string& t = (i & 1) ? s->shortText : s->longText;
      RegSetValueExW(key, L"Source", 0, REG_SZ, reinterpret_cast<const BYTE*>(t.c_str()),
                     static_cast<DWORD>((t.size() + 1) * 2));
    }
    RegCloseKey(key);
    return 0;
  }, &shared, 64 * 1024));
  int whole = 0;
  for (int i = 0; i < 300; ++i) {
    CWideString back;
    back.Assign(u"before");
    if (store_.ReadString(u"\\Copy", u"Source", &back)) {
      std::u16string got(back.c_str());
      EXPECT_TRUE(got == shared.shortText || got == shared.longText) << got.size();
      EXPECT_EQ(static_cast<i32>(got.size()), back.GetLength());
      ++whole;
    } else {
      EXPECT_EQ(std::u16string(u"before"), back.c_str()) << "a failed read keeps the text";
    }
  }
  shared.stop.store(true);
  ASSERT_TRUE(writer.Join(10000));
  EXPECT_GT(whole, 0);
}

}  // namespace
