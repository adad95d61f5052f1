// The registry settings store under a scratch key of the current user:
// reads of stored values of every type and size, round trips, the window
// rectangle, and a value that changes size while it is read.
#include "runtime/settings.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "runtime/threads.h"
#include "runtime/win.h"

namespace {

typedef std::vector<BYTE> Bytes;

Bytes Utf16(const std::u16string& s, size_t bytes) {
  const BYTE* p = reinterpret_cast<const BYTE*>(s.c_str());
  return Bytes(p, p + bytes);
}

class SettingsTest : public testing::Test {
 protected:
  void SetUp() override {
    static unsigned counter = 0;
    wchar_t name[96];
    swprintf(name, 96, L"SOFTWARE\\KelvaneTests\\run%lu-%lu-%u", GetCurrentProcessId(), GetTickCount(), ++counter);
    root_ = AsW16(name);
    store_.SetRoot(root_.c_str());
  }
  void TearDown() override {
    RegDeleteTreeW(HKEY_CURRENT_USER, AsWide(root_.c_str()));
    RegDeleteKeyW(HKEY_CURRENT_USER, L"SOFTWARE\\KelvaneTests");  // only once empty
  }
  std::u16string Path(const char16_t* subKey) const {
    return subKey && *subKey ? root_ + (subKey[0] == u'\\' ? u"" : u"\\") + subKey : root_;
  }
  HKEY Open(const char16_t* subKey) {
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, AsWide(Path(subKey).c_str()), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    return key;
  }
  // Stores raw bytes of any type, bypassing the store.
  void Plant(const char16_t* subKey, const char16_t* name, DWORD type, const Bytes& data) {
    HKEY key = Open(subKey);
    ASSERT_NE(key, nullptr);
    ASSERT_EQ(0, RegSetValueExW(key, AsWide(name), 0, type, data.data(), static_cast<DWORD>(data.size())));
    RegCloseKey(key);
  }
  // The type and bytes as stored; false when the key or value is missing.
  bool Peek(const char16_t* subKey, const char16_t* name, DWORD* type, Bytes* data) {
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, AsWide(Path(subKey).c_str()), 0, KEY_READ, &key) != 0) return false;
    DWORD size = 0;
    LONG r = RegQueryValueExW(key, AsWide(name), nullptr, type, nullptr, &size);
    data->resize(size);
    if (r == 0 && size) r = RegQueryValueExW(key, AsWide(name), nullptr, type, data->data(), &size);
    RegCloseKey(key);
    return r == 0;
  }
  std::u16string root_;
  CSettingsKey store_;
};

// Every read of a stored value either takes it whole or fails and leaves
// the caller's preset: a DWORD only from REG_DWORD of exactly 4 bytes; a
// text only from REG_SZ, whole units up to the first zero (stored with or
// without one), and refused beyond 32768 units.
TEST_F(SettingsTest, ReadsOfStoredValuesTable) {
  const std::u16string huge(100000, u'h'), wide(20000, u'w');
  const struct {
    const char16_t* name;
    DWORD type;
    Bytes bytes;
    bool dwordRead;
    u32 dword;
    const char16_t* text;  // null: the text read fails
  } rows[] = {
      {u"Four", REG_DWORD, {5, 0, 0, 0}, true, 5, nullptr},
      {u"Seven", REG_DWORD, {7, 0, 0, 0}, true, 7, nullptr},
      {u"High", REG_DWORD, {0xFF, 0xFF, 0xFF, 0xFF}, true, 0xFFFFFFFFu, nullptr},
      {u"ShortDword", REG_DWORD, {1, 2, 3}, false, 0, nullptr},
      {u"EmptyDword", REG_DWORD, {}, false, 0, nullptr},
      {u"BinaryFour", REG_BINARY, {5, 0, 0, 0}, false, 0, nullptr},
      {u"Qword", REG_QWORD, {1, 2, 3, 4, 5, 6, 7, 8}, false, 0, nullptr},
      {u"AsText", REG_SZ, Utf16(u"12", 6), false, 0, u"12"},
      {u"TextOfFour", REG_SZ, Utf16(u"1", 4), false, 0, u"1"},
      {u"NoZero", REG_SZ, Utf16(u"abc", 6), false, 0, u"abc"},
      {u"OddBytes", REG_SZ, Utf16(u"abcd", 7), false, 0, u"abc"},
      {u"NoBytes", REG_SZ, {}, false, 0, u""},
      {u"OneByte", REG_SZ, {'A'}, false, 0, u""},
      {u"InnerZero", REG_SZ, Utf16(std::u16string(u"ab\0cd", 5), 12), false, 0, u"ab"},
      {u"LongButSane", REG_SZ, Utf16(wide, wide.size() * 2), false, 0, wide.c_str()},
      {u"Huge", REG_SZ, Utf16(huge, (huge.size() + 1) * 2), false, 0, nullptr},
      {u"Expand", REG_EXPAND_SZ, Utf16(u"%TEMP%", 14), false, 0, nullptr},
      {u"Multi", REG_MULTI_SZ, Utf16(std::u16string(u"a\0b\0", 4), 10), false, 0, nullptr},
  };
  for (const auto& r : rows) Plant(u"\\Main", r.name, r.type, r.bytes);
  for (const auto& r : rows) {
    SCOPED_TRACE(std::string(r.name, r.name + std::u16string(r.name).size()));
    u32 dword = 0xA5A5A5A5u;
    bool flag = false;
    CWideString text(u"preset");
    EXPECT_EQ(store_.ReadDword(u"\\Main", r.name, &dword), r.dwordRead);
    EXPECT_EQ(dword, r.dwordRead ? r.dword : 0xA5A5A5A5u);
    EXPECT_EQ(store_.ReadBool(u"Main", r.name, &flag), r.dwordRead);
    EXPECT_EQ(flag, r.dwordRead && r.dword != 0);
    EXPECT_EQ(store_.ReadString(u"\\Main", r.name, &text), r.text != nullptr);
    const std::u16string want = r.text ? r.text : u"preset";
    EXPECT_TRUE(std::u16string(text.c_str()) == want);
    EXPECT_EQ(text.GetLength(), static_cast<i32>(want.size()));
  }
}

TEST_F(SettingsTest, FirstStartAndMissingArgumentsKeepThePresets) {
  u32 dword = 3;
  bool flag = true;
  CWideString text(u"preset");
  SettingsRect rect = {1, 2, 3, 4};
  EXPECT_FALSE(store_.ReadDword(u"\\Main", u"Language", &dword) || store_.ReadBool(nullptr, u"Show", &flag) ||
               store_.ReadString(u"\\Main", u"Device", &text) || store_.ReadWindowRect(&rect));
  EXPECT_TRUE(dword == 3 && flag && text.Equals(u"preset") && rect.left == 1 && rect.bottom == 4);
  DWORD type;
  Bytes data;
  EXPECT_FALSE(Peek(nullptr, u"x", &type, &data)) << "reads never create keys";
  EXPECT_FALSE(store_.ReadDword(u"\\Main", u"x", nullptr) || store_.ReadString(u"\\Main", u"x", nullptr) ||
               store_.ReadBool(u"\\Main", u"x", nullptr) || store_.ReadWindowRect(nullptr));
  CSettingsKey rootless(nullptr);
  EXPECT_FALSE(rootless.WriteDword(u"\\Main", u"x", 1) || rootless.ReadDword(u"\\Main", u"x", &dword));
  EXPECT_EQ(dword, 3u);
  EXPECT_EQ(CSettingsKey().GetRoot(), kSettingsRoot);
  EXPECT_TRUE(std::u16string(kSettingsRoot) == u"SOFTWARE\\VANTO SOFTWARE\\Kelvane 0.6");
}

TEST_F(SettingsTest, ValuesRoundTripAsStoredTypes) {
  // Sub keys with and without the leading "\"; null is the root itself.
  for (const char16_t* sub : {u"\\Main", u"Image", static_cast<const char16_t*>(nullptr)})
    for (u32 v : {0u, 1u, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu}) {
      ASSERT_TRUE(store_.WriteDword(sub, u"Value", v));
      u32 back = ~v;
      ASSERT_TRUE(store_.ReadDword(sub, u"Value", &back));
      EXPECT_EQ(back, v);
    }
  DWORD type = 0;
  Bytes data;
  for (const char16_t* sub : {u"Main", u"Image", u""}) EXPECT_TRUE(Peek(sub, u"Value", &type, &data));
  for (bool flag : {true, false}) {  // stored as the DWORD 1 or 0
    ASSERT_TRUE(store_.WriteBool(u"Image", u"Verify", flag));
    ASSERT_TRUE(Peek(u"Image", u"Verify", &type, &data));
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(data, (Bytes{flag, 0, 0, 0}));
  }
  std::u16string longest(4094, u'a');
  longest += u'z';
  for (const std::u16string& t :
       {std::u16string(u"\\\\.\\E:"), std::u16string(), std::u16string(u"\u4E2D \U0001F4BF"), longest}) {
    ASSERT_TRUE(store_.WriteString(u"\\Main", u"Device", t.c_str()));
    CWideString back(u"old contents");
    ASSERT_TRUE(store_.ReadString(u"\\Main", u"Device", &back));
    EXPECT_TRUE(std::u16string(back.c_str(), back.GetLength()) == t);
    ASSERT_TRUE(Peek(u"\\Main", u"Device", &type, &data));  // with its zero
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(data.size(), (t.size() + 1) * 2);
  }
  // 4096 units and more, or no text, are not written.
  ASSERT_TRUE(store_.WriteString(u"Image", u"Directory", u"kept"));
  EXPECT_FALSE(store_.WriteString(u"Image", u"Directory", std::u16string(4096, u'b').c_str()) ||
               store_.WriteString(u"Image", u"Directory", std::u16string(70000, u'c').c_str()) ||
               store_.WriteString(u"Image", u"Directory", nullptr));
  CWideString back;
  ASSERT_TRUE(store_.ReadString(u"Image", u"Directory", &back));
  EXPECT_TRUE(back.Equals(u"kept"));
  // No cache: every read sees the registry.
  Plant(u"Image", u"Directory", REG_SZ, Utf16(u"changed", 16));
  ASSERT_TRUE(store_.ReadString(u"Image", u"Directory", &back));
  EXPECT_TRUE(back.Equals(u"changed"));
}

TEST_F(SettingsTest, WindowRectReadsStopAtTheFirstBadValue) {
  const SettingsRect rect = {-1280, 40, 650, -1};
  ASSERT_TRUE(store_.WriteWindowRect(rect));
  SettingsRect back = {0, 0, 0, 0};
  ASSERT_TRUE(store_.ReadWindowRect(&back));
  EXPECT_TRUE(back.left == -1280 && back.top == 40 && back.right == 650 && back.bottom == -1);
  u32 raw = 0;
  ASSERT_TRUE(store_.ReadDword(u"\\Main", u"x", &raw));
  EXPECT_EQ(raw, static_cast<u32>(-1280));
  // "x2" missing: the values before it are taken, the rest kept.
  HKEY key = Open(u"\\Main");
  RegDeleteValueW(key, L"x2");
  RegCloseKey(key);
  SettingsRect partial = {100, 200, 300, 400};
  EXPECT_FALSE(store_.ReadWindowRect(&partial));
  EXPECT_TRUE(partial.left == -1280 && partial.top == 40 && partial.right == 300 && partial.bottom == 400);
  Plant(u"\\Main", u"x", REG_SZ, Utf16(u"5", 4));  // "x" as text: nothing taken
  SettingsRect untouched = {7, 8, 9, 10};
  EXPECT_FALSE(store_.ReadWindowRect(&untouched));
  EXPECT_TRUE(untouched.left == 7 && untouched.top == 8);
}

// A writer keeps replacing a value with texts of very different sizes while
// the store reads it: every successful read is one of the two texts whole.
TEST_F(SettingsTest, StringThatChangesSizeWhileBeingReadIsReadWhole) {
  struct Shared {
    HKEY key;
    std::u16string texts[2] = {u"s", std::u16string(3000, u'L')};
    std::atomic<bool> stop{false};
  } shared;
  ASSERT_TRUE(store_.WriteString(u"\\Copy", u"Source", shared.texts[1].c_str()));
  shared.key = Open(u"\\Copy");
  CThread writer;
  ASSERT_TRUE(writer.Start([](void* p) -> u32 {
    Shared* s = static_cast<Shared*>(p);
    for (u32 i = 0; !s->stop.load(); ++i) {
      const std::u16string& t = s->texts[i & 1];
      RegSetValueExW(s->key, L"Source", 0, REG_SZ, reinterpret_cast<const BYTE*>(t.c_str()),
                     static_cast<DWORD>((t.size() + 1) * 2));
    }
    return 0;
  }, &shared, 64 * 1024));
  int whole = 0;
  for (int i = 0; i < 300; ++i) {
    CWideString back(u"before");
    const bool ok = store_.ReadString(u"\\Copy", u"Source", &back);
    const std::u16string got(back.c_str(), back.GetLength());
    EXPECT_TRUE(ok ? got == shared.texts[0] || got == shared.texts[1] : got == u"before") << got.size();
    whole += ok;
  }
  shared.stop = true;
  ASSERT_TRUE(writer.Join(10000));
  RegCloseKey(shared.key);
  EXPECT_GT(whole, 0);
}

}  // namespace
