// Shell icons as image-strip frames, against the shell of the Wine prefix:
// the cache and the strip stay in step, sizes follow the system image
// lists, and every frame's pixels agree with the icon the shell holds (its
// own alpha) or with an icon file written here (colour-keyed, no alpha).
#include <gtest/gtest.h>

#include <shlobj.h>
#include <shellapi.h>
#include <commctrl.h>

#include <cstring>
#include <string>
#include <vector>

#include "render/bitmap.h"
#include "render/image_strip.h"
#include "render/shell_icon.h"
#include "runtime/array.h"
#include "runtime/win.h"

namespace {

// An icon as the shell holds it, looked up independently of the code under
// test: its image list, index, size and top-down 0xAARRGGBB pixels.
struct SystemIcon {
  HIMAGELIST list = nullptr;
  int index = -1, width = 0, height = 0;
  std::vector<u32> Pixels() const;
};

template <class Fn>
Fn Controls(const char* name) {
  static HMODULE module = LoadLibraryW(L"comctl32.dll");
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// kind -1: the file type of name; 0..3: a special folder; 4: the folder.
bool Query(const wchar_t* name, int kind, bool smallIcon, SystemIcon* out) {
  static const int kFolders[] = {CSIDL_DESKTOP, CSIDL_PERSONAL, CSIDL_DRIVES, CSIDL_NETWORK};
  SHFILEINFOW info;
  std::memset(&info, 0, sizeof(info));
  UINT flags = SHGFI_SYSICONINDEX | (smallIcon ? SHGFI_SMALLICON : 0);
  DWORD_PTR list = 0;
  if (kind >= 0 && kind < 4) {
    LPITEMIDLIST items = nullptr;
    if (SHGetFolderLocation(nullptr, kFolders[kind], nullptr, 0, &items) != S_OK) return false;
    list = SHGetFileInfoW(reinterpret_cast<LPCWSTR>(items), 0, &info, sizeof(info), flags | SHGFI_PIDL);
    ILFree(items);
  } else {
    list = SHGetFileInfoW(kind == 4 ? L"Directory" : name, kind == 4 ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL, &info,
                          sizeof(info), flags | SHGFI_USEFILEATTRIBUTES);
  }
  if (!list) return false;
  *out = {reinterpret_cast<HIMAGELIST>(list), info.iIcon, 0, 0};
  auto size = Controls<BOOL(WINAPI*)(HIMAGELIST, int*, int*)>("ImageList_GetIconSize");
  return size && size(out->list, &out->width, &out->height);
}

std::vector<u32> SystemIcon::Pixels() const {
  auto info = Controls<BOOL(WINAPI*)(HIMAGELIST, int, IMAGEINFO*)>("ImageList_GetImageInfo");
  IMAGEINFO image;
  BITMAP bm;
  if (!info || !info(list, index, &image) || !GetObjectW(image.hbmImage, sizeof(bm), &bm) || bm.bmBitsPixel != 32) return {};
  std::vector<u32> whole(static_cast<size_t>(bm.bmWidth) * bm.bmHeight), out;
  BITMAPINFO request;
  std::memset(&request, 0, sizeof(request));
  request.bmiHeader = {sizeof(request.bmiHeader), bm.bmWidth, -bm.bmHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  HDC screen = GetDC(nullptr);
  const int rows = GetDIBits(screen, image.hbmImage, 0, bm.bmHeight, whole.data(), &request, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  if (rows != bm.bmHeight) return {};
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      out.push_back(whole[static_cast<size_t>(image.rcImage.top + y) * bm.bmWidth + image.rcImage.left + x]);
  return out;
}

// Pixel (x, y) of frame n, y from the top of the icon (frames keep rows bottom-up).
u32 FramePixel(const CImageStrip& strip, i32 n, i32 x, i32 y) {
  BitmapView view;
  strip.GetFrame(n, &view);
  return view.pixels[static_cast<size_t>(view.height - 1 - y) * view.stride + x];
}

// A frame of an icon with its own alpha: transparent exactly where the
// stored image is, its alpha elsewhere, its colour where it is opaque.
void ExpectMatchesAlphaIcon(const CImageStrip& strip, i32 n, const SystemIcon& icon) {
  const std::vector<u32> stored = icon.Pixels();
  ASSERT_EQ(stored.size(), static_cast<size_t>(icon.width) * icon.height);
  ASSERT_TRUE(strip.frameWidth == static_cast<u32>(icon.width) && strip.frameHeight == static_cast<u32>(icon.height));
  int transparent = 0, opaque = 0;
  for (int y = 0; y < icon.height; ++y)
    for (int x = 0; x < icon.width; ++x) {
      const u32 want = stored[static_cast<size_t>(y) * icon.width + x], got = FramePixel(strip, n, x, y);
      ASSERT_EQ(got >> 24, want >> 24) << "alpha at " << x << "," << y;
      ASSERT_TRUE(want >> 24 != 0xFF || got == want) << "colour at " << x << "," << y;
      transparent += (want >> 24) == 0;
      opaque += (want >> 24) == 0xFF;
    }
  EXPECT_TRUE(transparent > 0 && opaque > 0) << "the shell's icon should carry its own alpha";
}

const wchar16* W(const wchar_t* text) { return AsW16(text); }

class ShellIconTest : public testing::Test {
 protected:
  void SetUp() override { CoInitialize(nullptr); }
  void TearDown() override { CoUninitialize(); }
  i32 Get(const wchar_t* path, i32 kind = -1, bool smallIcon = false, bool realFile = false) {
    return GetShellIconBitmap(&strip_, &cache_, path ? W(path) : nullptr, smallIcon, kind, realFile);
  }
  CImageStrip strip_;
  CArray<i32> cache_;
};

// Types, the folder and the special folders in any order: a frame is new
// exactly when its system index is, each index is cached once in step with
// the strip, and every frame shows the shell's icon.
TEST_F(ShellIconTest, CacheAndStripStayInStep) {
  const struct {
    const wchar_t* path;
    i32 kind;     // -1 type or folder, 0..3 special folder
    int sameAs;   // the earlier ask that must give the same frame, or -1
    int queryAs;  // how the shell is asked independently (see Query)
  } asks[] = {{L"a.chm", -1, -1, -1},       {nullptr, -1, -1, 4},    {nullptr, 0, -1, 0},  {L"b.kvnothing", -1, -1, -1},
              {L"c.msi", -1, -1, -1},       {nullptr, 2, -1, 2},     {L"d.chm", -1, 0, -1}, {nullptr, 1, -1, 1},
              {nullptr, -1, 1, 4},          {L"e.other", -1, 3, -1}, {nullptr, 3, -1, 3},  {L"f.msi", -1, 4, -1},
              {nullptr, 0, 2, 0},           {L"g.CHM", -1, 0, -1}};
  std::vector<i32> frames;
  for (size_t i = 0; i < sizeof(asks) / sizeof(asks[0]); ++i) {
    const auto& ask = asks[i];
    SCOPED_TRACE(i);
    const u32 before = cache_.GetCount();
    const i32 frame = Get(ask.path, ask.kind);
    ASSERT_GE(frame, 0);
    ASSERT_TRUE(static_cast<u32>(strip_.FrameCount()) == cache_.GetCount() && static_cast<u32>(frame) < cache_.GetCount());
    SystemIcon icon;
    ASSERT_TRUE(Query(ask.path, ask.queryAs, false, &icon));
    EXPECT_EQ(cache_[static_cast<u32>(frame)], icon.index);
    bool known = false;
    for (u32 k = 0; k < before; ++k) known |= cache_[k] == icon.index;
    EXPECT_EQ(cache_.GetCount(), before + !known);
    EXPECT_TRUE(ask.sameAs < 0 || frame == frames[static_cast<size_t>(ask.sameAs)]);
    if (!known) ExpectMatchesAlphaIcon(strip_, frame, icon);
    frames.push_back(frame);
  }
  for (u32 i = 0; i < cache_.GetCount(); ++i)
    for (u32 j = i + 1; j < cache_.GetCount(); ++j) EXPECT_NE(cache_[i], cache_[j]);
  EXPECT_GE(cache_.GetCount(), 7u) << "the prefix's shell should have distinct icons for these";
}

TEST_F(ShellIconTest, SizesRealFilesAndRefusals) {
  SystemIcon smallChm, largeChm;
  ASSERT_TRUE(Query(L"a.chm", -1, true, &smallChm) && Query(L"a.chm", -1, false, &largeChm));
  ASSERT_LT(smallChm.width, largeChm.width);
  CImageStrip smallStrip;
  CArray<i32> smallCache;
  ASSERT_EQ(GetShellIconBitmap(&smallStrip, &smallCache, W(L"a.chm"), true, -1, false), 0);
  ExpectMatchesAlphaIcon(smallStrip, 0, smallChm);
  ASSERT_EQ(Get(L"a.chm"), 0);
  // A small icon does not fit a strip of large frames, nor does any icon
  // fit a strip out of step with its cache: refused, both left as they were.
  EXPECT_EQ(Get(L"a.msi", -1, true), -1);
  EXPECT_TRUE(strip_.FrameCount() == 1 && cache_.GetCount() == 1);
  EXPECT_EQ(Get(L"a.msi"), 1);
  std::vector<u32> pixels(largeChm.width * largeChm.height, 0xFF123456u);
  strip_.AppendFrame(BitmapView{largeChm.width, largeChm.height, largeChm.width, pixels.data()});
  EXPECT_EQ(Get(L"b.kvunknowntype"), -1);
  EXPECT_TRUE(strip_.FrameCount() == 3 && cache_.GetCount() == 2);
  // Without a strip or cache, or for a kind beyond the special folders.
  CImageStrip fresh;
  CArray<i32> freshCache;
  EXPECT_EQ(GetShellIconBitmap(nullptr, &freshCache, W(L"a.chm"), false, -1, false), -1);
  EXPECT_EQ(GetShellIconBitmap(&fresh, nullptr, W(L"a.chm"), false, -1, false), -1);
  for (i32 kind : {4, -2}) EXPECT_EQ(GetShellIconBitmap(&fresh, &freshCache, nullptr, false, kind, false), -1);
  EXPECT_TRUE(fresh.FrameCount() == 0 && freshCache.GetCount() == 0);
  // A real file is looked up on disk: a missing one fails, by type it need not exist.
  wchar_t folder[MAX_PATH];
  GetTempPathW(MAX_PATH, folder);
  const std::wstring present = std::wstring(folder) + L"kelvane_present_file.chm",
                     missing = std::wstring(folder) + L"kelvane_missing_7f3a.chm";
  CloseHandle(CreateFileW(present.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  DeleteFileW(missing.c_str());
  const i32 real = GetShellIconBitmap(&fresh, &freshCache, W(present.c_str()), false, -1, true);
  const i32 missingReal = GetShellIconBitmap(&fresh, &freshCache, W(missing.c_str()), false, -1, true);
  const i32 missingByType = GetShellIconBitmap(&fresh, &freshCache, W(missing.c_str()), false, -1, false);
  DeleteFileW(present.c_str());
  EXPECT_TRUE(real == 0 && missingReal == -1 && missingByType == 0 && fresh.FrameCount() == 1);
}

// An icon file without alpha, registered as the icon of a file type of our
// own (the prefix's shell reads types from the merged classes root only):
// transparent where its mask is set (the left quarter and the top row),
// opaque colours elsewhere, none of them the key colour.
bool KeyedTransparent(int n, int x, int y) { return x < n / 4 || y == 0; }
u32 KeyedColour(int x, int y) {
  return (static_cast<u32>(x * 7 + 3) & 0xFF) << 16 | (static_cast<u32>(y * 13 + 5) & 0xFF) << 8 | 0x40u;
}

std::string KeyedIconFile() {
  std::string head, images;
  auto put = [](std::string* s, u32 v, int bytes) {
    for (int k = 0; k < bytes; ++k) s->push_back(static_cast<char>(v >> (8 * k)));
  };
  put(&head, 0, 2), put(&head, 1, 2), put(&head, 2, 2);
  for (int n : {16, 32}) {
    const u32 colourRow = (n * 3 + 3) & ~3u, maskRow = (n + 31) / 32 * 4;
    std::string image;
    for (u32 v : {40u, static_cast<u32>(n), 2u * n}) put(&image, v, 4);
    put(&image, 1, 2), put(&image, 24, 2), put(&image, 0, 4), put(&image, (colourRow + maskRow) * n, 4);
    image += std::string(16, '\0');
    for (int pass = 0; pass < 2; ++pass)  // colour rows, then mask rows, bottom-up
      for (int row = n - 1; row >= 0; --row) {
        std::string line(pass ? maskRow : colourRow, '\0');
        for (int x = 0; x < n; ++x) {
          const bool clear = KeyedTransparent(n, x, row);
          if (pass && clear) line[x / 8] = static_cast<char>(line[x / 8] | (0x80 >> (x % 8)));
          for (int c = 0; !pass && c < 3; ++c) line[x * 3 + c] = static_cast<char>(clear ? 0 : KeyedColour(x, row) >> (8 * c));
        }
        image += line;
      }
    head += static_cast<char>(n), head += static_cast<char>(n), head += std::string(2, '\0');
    put(&head, 1, 2), put(&head, 24, 2), put(&head, static_cast<u32>(image.size()), 4),
        put(&head, 6 + 32 + static_cast<u32>(images.size()), 4);
    images += image;
  }
  return head + images;
}

bool SetDefault(const std::wstring& key, const std::wstring& value) {
  HKEY handle = nullptr;
  if (RegCreateKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &handle, nullptr)) return false;
  const LONG r = RegSetValueExW(handle, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(handle);
  return r == ERROR_SUCCESS;
}

TEST_F(ShellIconTest, IconsWithoutAlphaAreColourKeyed) {
  wchar_t folder[MAX_PATH];
  GetTempPathW(MAX_PATH, folder);
  const std::wstring path = std::wstring(folder) + L"kelvane_keyed_icon.ico";
  const std::string bytes = KeyedIconFile();
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  ASSERT_TRUE(WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) && written == bytes.size());
  CloseHandle(file);
  struct Cleanup {
    std::wstring path;
    ~Cleanup() {
      for (const wchar_t* key : {L"KelvaneKeyedIconTest\\DefaultIcon", L"KelvaneKeyedIconTest", L".kvkeyedicon"})
        RegDeleteKeyW(HKEY_CLASSES_ROOT, key);
      DeleteFileW(path.c_str());
    }
  } cleanup{path};
  const bool registered = SetDefault(L".kvkeyedicon", L"KelvaneKeyedIconTest") &&
                          SetDefault(L"KelvaneKeyedIconTest\\DefaultIcon", path + L",0");
  for (bool smallIcon : {true, false}) {
    SystemIcon keyed, doc;
    ASSERT_TRUE(registered && Query(L"probe.kvkeyedicon", -1, smallIcon, &keyed) &&
                Query(L"p.kvunknowntype", -1, smallIcon, &doc));
    ASSERT_NE(keyed.index, doc.index) << "the shell did not take the registered icon";
    CImageStrip strip;
    CArray<i32> cache;
    ASSERT_EQ(GetShellIconBitmap(&strip, &cache, W(L"x.kvkeyedicon"), smallIcon, -1, false), 0);
    ASSERT_TRUE(strip.frameWidth == static_cast<u32>(keyed.width) && strip.frameHeight == static_cast<u32>(keyed.height));
    for (int y = 0; y < keyed.width; ++y)
      for (int x = 0; x < keyed.width; ++x)
        ASSERT_EQ(FramePixel(strip, 0, x, y), KeyedTransparent(keyed.width, x, y) ? 0x00FFFEFFu : 0xFF000000u | KeyedColour(x, y))
            << x << "," << y;
  }
}

}  // namespace
