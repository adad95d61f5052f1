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

// The shell as the tests see it, looked up independently of the code under
// test.
struct SystemIcon {
  HIMAGELIST list = nullptr;
  int index = -1;
  int width = 0;
  int height = 0;
};

typedef BOOL(WINAPI* GetIconSizeFn)(HIMAGELIST, int*, int*);
typedef BOOL(WINAPI* GetImageInfoFn)(HIMAGELIST, int, IMAGEINFO*);

HMODULE Controls() {
  static HMODULE module = LoadLibraryW(L"comctl32.dll");
  return module;
}

template <class Fn>
Fn ControlsEntry(const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(Controls(), name)));
}

bool QueryByAttributes(const wchar_t* name, DWORD attributes, bool smallIcon, SystemIcon* out) {
  SHFILEINFOW info;
  std::memset(&info, 0, sizeof(info));
  UINT flags = SHGFI_SYSICONINDEX | SHGFI_USEFILEATTRIBUTES | (smallIcon ? SHGFI_SMALLICON : 0);
  DWORD_PTR list = SHGetFileInfoW(name, attributes, &info, sizeof(info), flags);
  if (!list) return false;
  out->list = reinterpret_cast<HIMAGELIST>(list);
  out->index = info.iIcon;
  GetIconSizeFn size =
      ControlsEntry<GetIconSizeFn>("ImageList_GetIconSize");
  return size && size(out->list, &out->width, &out->height);
}

bool QueryType(const wchar_t* name, bool smallIcon, SystemIcon* out) {
  return QueryByAttributes(name, FILE_ATTRIBUTE_NORMAL, smallIcon, out);
}

bool QueryFolder(bool smallIcon, SystemIcon* out) {
  return QueryByAttributes(L"Directory", FILE_ATTRIBUTE_DIRECTORY, smallIcon, out);
}

// The image as stored in the list: top-down 0xAARRGGBB pixels.
std::vector<u32> StoredImage(const SystemIcon& icon) {
  std::vector<u32> result;
  GetImageInfoFn info =
      ControlsEntry<GetImageInfoFn>("ImageList_GetImageInfo");
  IMAGEINFO image;
  std::memset(&image, 0, sizeof(image));
  if (!info || !info(icon.list, icon.index, &image) || !image.hbmImage) return result;
  BITMAP bm;
  if (!GetObjectW(image.hbmImage, sizeof(bm), &bm) || bm.bmBitsPixel != 32) return result;
  std::vector<u32> whole(static_cast<size_t>(bm.bmWidth) * bm.bmHeight);
  BITMAPINFO request;
  std::memset(&request, 0, sizeof(request));
  request.bmiHeader.biSize = sizeof(request.bmiHeader);
  request.bmiHeader.biWidth = bm.bmWidth;
  request.bmiHeader.biHeight = -bm.bmHeight;
  request.bmiHeader.biPlanes = 1;
  request.bmiHeader.biBitCount = 32;
  request.bmiHeader.biCompression = BI_RGB;
  HDC screen = GetDC(nullptr);
  int rows = GetDIBits(screen, image.hbmImage, 0, bm.bmHeight, whole.data(), &request,
                       DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  if (rows != bm.bmHeight) return result;
  const int w = image.rcImage.right - image.rcImage.left;
  const int h = image.rcImage.bottom - image.rcImage.top;
  if (w != icon.width || h != icon.height) return result;
  result.resize(static_cast<size_t>(w) * h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      result[static_cast<size_t>(y) * w + x] =
          whole[static_cast<size_t>(image.rcImage.top + y) * bm.bmWidth + image.rcImage.left + x];
  return result;
}

// Pixel (x, y) of frame n, y counted from the top of the icon; frames keep
// their rows bottom-up.
u32 FramePixel(const CImageStrip& strip, i32 n, i32 x, i32 y) {
  BitmapView view;
  strip.GetFrame(n, &view);
  return view.pixels[static_cast<size_t>(view.height - 1 - y) * view.stride + x];
}

// Frame n against an icon that carries its own alpha: transparent exactly
// where the stored image is, the stored alpha elsewhere, and the stored
// colour wherever the image is opaque.
void ExpectMatchesAlphaIcon(const CImageStrip& strip, i32 n, const SystemIcon& icon) {
  std::vector<u32> stored = StoredImage(icon);
  ASSERT_EQ(stored.size(), static_cast<size_t>(icon.width) * icon.height);
  bool anyAlpha = false;
  for (u32 p : stored) anyAlpha |= (p >> 24) != 0;
  ASSERT_TRUE(anyAlpha) << "the shell's icon was expected to carry its own alpha";
  int transparent = 0;
  for (int y = 0; y < icon.height; ++y) {
    for (int x = 0; x < icon.width; ++x) {
      const u32 want = stored[static_cast<size_t>(y) * icon.width + x];
      const u32 got = FramePixel(strip, n, x, y);
      ASSERT_EQ(got >> 24, want >> 24) << "alpha at " << x << "," << y;
      if ((want >> 24) == 0xFF) {
        ASSERT_EQ(got, want) << "colour at " << x << "," << y;
      }
      if ((want >> 24) == 0) ++transparent;
    }
  }
  EXPECT_GT(transparent, 0) << "an icon with no transparent pixel proves little";
}

// ---------------------------------------------------------------------------
// An icon file without alpha, registered as the icon of a file type of our
// own: transparent where its mask is set (the left quarter and the top row),
// opaque colours elsewhere, none of them the key colour.

const wchar_t kKeyedExtension[] = L".kvkeyedicon";
const wchar_t kKeyedClass[] = L"KelvaneKeyedIconTest";

bool KeyedTransparent(int w, int x, int y) { return x < w / 4 || y == 0; }
u32 KeyedColour(int x, int y) {
  return (static_cast<u32>(x * 7 + 3) & 0xFF) << 16 | (static_cast<u32>(y * 13 + 5) & 0xFF) << 8 |
         0x40u;
}

void Put16(std::string* s, u32 v) {
  s->push_back(static_cast<char>(v & 0xFF));
  s->push_back(static_cast<char>((v >> 8) & 0xFF));
}
void Put32(std::string* s, u32 v) {
  Put16(s, v & 0xFFFF);
  Put16(s, v >> 16);
}

// One 24-bit image of side n: header, colour rows and mask rows, bottom-up.
std::string KeyedImage(int n) {
  std::string s;
  const u32 colourRow = (static_cast<u32>(n) * 3 + 3) & ~3u;
  const u32 maskRow = ((static_cast<u32>(n) + 31) / 32) * 4;
  Put32(&s, 40);
  Put32(&s, n);
  Put32(&s, 2 * n);
  Put16(&s, 1);
  Put16(&s, 24);
  Put32(&s, 0);
  Put32(&s, colourRow * n + maskRow * n);
  for (int i = 0; i < 4; ++i) Put32(&s, 0);
  for (int row = n - 1; row >= 0; --row) {
    std::string line;
    for (int x = 0; x < n; ++x) {
      u32 c = KeyedTransparent(n, x, row) ? 0 : KeyedColour(x, row);
      line.push_back(static_cast<char>(c & 0xFF));
      line.push_back(static_cast<char>((c >> 8) & 0xFF));
      line.push_back(static_cast<char>((c >> 16) & 0xFF));
    }
    line.resize(colourRow, '\0');
    s += line;
  }
  for (int row = n - 1; row >= 0; --row) {
    std::string line(maskRow, '\0');
    for (int x = 0; x < n; ++x)
      if (KeyedTransparent(n, x, row)) line[x / 8] = static_cast<char>(line[x / 8] | (0x80 >> (x % 8)));
    s += line;
  }
  return s;
}

std::string KeyedIconFile() {
  const int sides[] = {16, 32};
  std::string images[2] = {KeyedImage(16), KeyedImage(32)};
  std::string s;
  Put16(&s, 0);
  Put16(&s, 1);
  Put16(&s, 2);
  u32 offset = 6 + 16 * 2;
  for (int i = 0; i < 2; ++i) {
    s.push_back(static_cast<char>(sides[i]));
    s.push_back(static_cast<char>(sides[i]));
    s.push_back(0);
    s.push_back(0);
    Put16(&s, 1);
    Put16(&s, 24);
    Put32(&s, static_cast<u32>(images[i].size()));
    Put32(&s, offset);
    offset += static_cast<u32>(images[i].size());
  }
  return s + images[0] + images[1];
}

bool SetDefault(const std::wstring& key, const std::wstring& value) {
  HKEY handle = nullptr;
  if (RegCreateKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &handle,
                      nullptr) != ERROR_SUCCESS)
    return false;
  LONG r = RegSetValueExW(handle, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(handle);
  return r == ERROR_SUCCESS;
}

std::wstring TempFolder() {
  wchar_t buffer[MAX_PATH + 1];
  DWORD n = GetTempPathW(MAX_PATH, buffer);
  return n && n < MAX_PATH ? std::wstring(buffer, n) : std::wstring();
}

// Writes the icon file and registers the file type for the test's lifetime.
// The prefix's shell reads types from the merged classes root only (not from
// the user's own classes), so the type goes there and is removed afterwards.
class KeyedIconType {
 public:
  KeyedIconType() {
    folder_ = TempFolder();
    if (folder_.empty()) return;
    iconPath_ = folder_ + L"kelvane_keyed_icon.ico";
    std::string bytes = KeyedIconFile();
    HANDLE file = CreateFileW(iconPath_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    bool wrote = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                 written == bytes.size();
    CloseHandle(file);
    if (!wrote) return;
    ready_ = SetDefault(kKeyedExtension, kKeyedClass) &&
             SetDefault(std::wstring(kKeyedClass) + L"\\DefaultIcon", iconPath_ + L",0");
  }
  ~KeyedIconType() {
    RegDeleteKeyW(HKEY_CLASSES_ROOT, (std::wstring(kKeyedClass) + L"\\DefaultIcon").c_str());
    RegDeleteKeyW(HKEY_CLASSES_ROOT, kKeyedClass);
    RegDeleteKeyW(HKEY_CLASSES_ROOT, kKeyedExtension);
    if (!iconPath_.empty()) DeleteFileW(iconPath_.c_str());
  }
  bool IsReady() const { return ready_; }

 private:
  std::wstring folder_;
  std::wstring iconPath_;
  bool ready_ = false;
};

const wchar16* W(const wchar_t* text) { return AsW16(text); }

class ShellIconTest : public testing::Test {
 protected:
  void SetUp() override { CoInitialize(nullptr); }
  void TearDown() override { CoUninitialize(); }
  CImageStrip strip_;
  CArray<i32> cache_;
};

// ---------------------------------------------------------------------------

TEST_F(ShellIconTest, ThePrefixShellHasIconsForTheTypesUsedHere) {
  SystemIcon doc, chm, msi, folder, smallDoc;
  ASSERT_TRUE(QueryType(L"a.kvunknowntype", false, &doc)) << "the shell gives no image list";
  ASSERT_TRUE(QueryType(L"a.chm", false, &chm));
  ASSERT_TRUE(QueryType(L"a.msi", false, &msi));
  ASSERT_TRUE(QueryFolder(false, &folder));
  ASSERT_TRUE(QueryType(L"a.kvunknowntype", true, &smallDoc));
  // The types below need distinct icons for the frame-count checks to mean
  // anything.
  EXPECT_NE(doc.index, chm.index);
  EXPECT_NE(doc.index, msi.index);
  EXPECT_NE(chm.index, msi.index);
  EXPECT_NE(folder.index, doc.index);
  EXPECT_NE(folder.index, chm.index);
  EXPECT_GT(doc.width, 0);
  EXPECT_LT(smallDoc.width, doc.width);
}

TEST_F(ShellIconTest, SameTypeTwiceAppendsOneFrameAndGivesOneIndex) {
  i32 first = GetShellIconBitmap(&strip_, &cache_, W(L"first.chm"), false, -1, false);
  i32 second = GetShellIconBitmap(&strip_, &cache_, W(L"another name.chm"), false, -1, false);
  ASSERT_EQ(first, 0);
  EXPECT_EQ(second, first);
  EXPECT_EQ(strip_.FrameCount(), 1);
  ASSERT_EQ(cache_.GetCount(), 1u);
  SystemIcon chm;
  ASSERT_TRUE(QueryType(L"x.chm", false, &chm));
  EXPECT_EQ(cache_[0], chm.index);
  EXPECT_EQ(strip_.frameWidth, static_cast<u32>(chm.width));
  EXPECT_EQ(strip_.frameHeight, static_cast<u32>(chm.height));
  ExpectMatchesAlphaIcon(strip_, first, chm);
}

TEST_F(ShellIconTest, OtherTypesAndTheGenericFolderAppendNewFrames) {
  i32 chm = GetShellIconBitmap(&strip_, &cache_, W(L"a.chm"), false, -1, false);
  i32 folder = GetShellIconBitmap(&strip_, &cache_, nullptr, false, -1, false);
  i32 msi = GetShellIconBitmap(&strip_, &cache_, W(L"b.msi"), false, -1, false);
  i32 folderAgain = GetShellIconBitmap(&strip_, &cache_, nullptr, false, -1, true);
  i32 chmAgain = GetShellIconBitmap(&strip_, &cache_, W(L"c.CHM"), false, -1, false);
  EXPECT_EQ(chm, 0);
  EXPECT_EQ(folder, 1);
  EXPECT_EQ(msi, 2);
  EXPECT_EQ(folderAgain, folder);
  EXPECT_EQ(chmAgain, chm);
  EXPECT_EQ(strip_.FrameCount(), 3);
  EXPECT_EQ(cache_.GetCount(), 3u);

  SystemIcon folderIcon, msiIcon;
  ASSERT_TRUE(QueryFolder(false, &folderIcon));
  ASSERT_TRUE(QueryType(L"b.msi", false, &msiIcon));
  EXPECT_EQ(cache_[1], folderIcon.index);
  EXPECT_EQ(cache_[2], msiIcon.index);
  ExpectMatchesAlphaIcon(strip_, folder, folderIcon);
  ExpectMatchesAlphaIcon(strip_, msi, msiIcon);
}

TEST_F(ShellIconTest, SmallAndLargeIconsHaveTheirListsSizes) {
  SystemIcon smallChm, largeChm;
  ASSERT_TRUE(QueryType(L"a.chm", true, &smallChm));
  ASSERT_TRUE(QueryType(L"a.chm", false, &largeChm));
  ASSERT_NE(smallChm.width, largeChm.width);

  CImageStrip smallStrip;
  CArray<i32> smallCache;
  ASSERT_EQ(GetShellIconBitmap(&smallStrip, &smallCache, W(L"a.chm"), true, -1, false), 0);
  ASSERT_EQ(GetShellIconBitmap(&smallStrip, &smallCache, nullptr, true, -1, false), 1);
  EXPECT_EQ(smallStrip.frameWidth, static_cast<u32>(smallChm.width));
  EXPECT_EQ(smallStrip.frameHeight, static_cast<u32>(smallChm.height));
  ExpectMatchesAlphaIcon(smallStrip, 0, smallChm);
  SystemIcon smallFolder;
  ASSERT_TRUE(QueryFolder(true, &smallFolder));
  ExpectMatchesAlphaIcon(smallStrip, 1, smallFolder);

  ASSERT_EQ(GetShellIconBitmap(&strip_, &cache_, W(L"a.chm"), false, -1, false), 0);
  EXPECT_EQ(strip_.frameWidth, static_cast<u32>(largeChm.width));
  EXPECT_EQ(strip_.frameHeight, static_cast<u32>(largeChm.height));

  // A small icon does not fit a strip of large frames: refused, and the
  // strip and its cache stay in step.
  EXPECT_EQ(GetShellIconBitmap(&strip_, &cache_, W(L"a.msi"), true, -1, false), -1);
  EXPECT_EQ(strip_.FrameCount(), 1);
  EXPECT_EQ(cache_.GetCount(), 1u);
  // The same icon at the right size is still taken afterwards.
  EXPECT_EQ(GetShellIconBitmap(&strip_, &cache_, W(L"a.msi"), false, -1, false), 1);
  EXPECT_EQ(cache_.GetCount(), 2u);
}

TEST_F(ShellIconTest, SpecialFoldersEachGiveTheirFrame) {
  i32 seen[4];
  for (i32 kind = 0; kind < 4; ++kind) {
    seen[kind] = GetShellIconBitmap(&strip_, &cache_, nullptr, false, kind, false);
    ASSERT_GE(seen[kind], 0) << "folder kind " << kind;
  }
  // Asked again in another order, each gives the frame it was given first.
  for (i32 kind = 3; kind >= 0; --kind)
    EXPECT_EQ(GetShellIconBitmap(&strip_, &cache_, nullptr, false, kind, false), seen[kind]);
  EXPECT_EQ(static_cast<u32>(strip_.FrameCount()), cache_.GetCount());
  // Independently: the desktop's icon as the shell gives it for its item list.
  LPITEMIDLIST items = nullptr;
  ASSERT_EQ(SHGetFolderLocation(nullptr, CSIDL_DRIVES, nullptr, 0, &items), S_OK);
  SHFILEINFOW info;
  std::memset(&info, 0, sizeof(info));
  DWORD_PTR list = SHGetFileInfoW(reinterpret_cast<LPCWSTR>(items), 0, &info, sizeof(info),
                                  SHGFI_SYSICONINDEX | SHGFI_PIDL);
  ILFree(items);
  ASSERT_NE(list, 0u);
  EXPECT_EQ(cache_[static_cast<u32>(seen[2])], info.iIcon);
  SystemIcon computer;
  computer.list = reinterpret_cast<HIMAGELIST>(list);
  computer.index = info.iIcon;
  computer.width = static_cast<int>(strip_.frameWidth);
  computer.height = static_cast<int>(strip_.frameHeight);
  ExpectMatchesAlphaIcon(strip_, seen[2], computer);
}

TEST_F(ShellIconTest, MissingStripOrCacheAndUnknownKindsGiveMinusOne) {
  EXPECT_EQ(GetShellIconBitmap(nullptr, &cache_, W(L"a.chm"), false, -1, false), -1);
  EXPECT_EQ(cache_.GetCount(), 0u);
  EXPECT_EQ(GetShellIconBitmap(&strip_, nullptr, W(L"a.chm"), false, -1, false), -1);
  EXPECT_EQ(strip_.FrameCount(), 0);
  EXPECT_EQ(GetShellIconBitmap(&strip_, &cache_, nullptr, false, 4, false), -1);
  EXPECT_EQ(GetShellIconBitmap(&strip_, &cache_, nullptr, false, -2, false), -1);
  EXPECT_EQ(strip_.FrameCount(), 0);
  EXPECT_EQ(cache_.GetCount(), 0u);
}

TEST_F(ShellIconTest, RealFilesAreLookedUpOnDiskAndMissingOnesFail) {
  std::wstring folder = TempFolder();
  ASSERT_FALSE(folder.empty());
  std::wstring present = folder + L"kelvane_present_file.chm";
  HANDLE file = CreateFileW(present.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  CloseHandle(file);
  std::wstring missing = folder + L"kelvane_missing_file_7f3a.chm";
  DeleteFileW(missing.c_str());

  i32 real = GetShellIconBitmap(&strip_, &cache_, W(present.c_str()), false, -1, true);
  i32 missingReal = GetShellIconBitmap(&strip_, &cache_, W(missing.c_str()), false, -1, true);
  i32 missingByType = GetShellIconBitmap(&strip_, &cache_, W(missing.c_str()), false, -1, false);
  DeleteFileW(present.c_str());
  EXPECT_EQ(real, 0);
  // Without the file attributes flag the shell must find the file itself.
  EXPECT_EQ(missingReal, -1);
  // By type the file need not exist, and the type's frame is already there.
  EXPECT_EQ(missingByType, real);
  EXPECT_EQ(strip_.FrameCount(), 1);
  EXPECT_EQ(cache_.GetCount(), 1u);
}

TEST_F(ShellIconTest, AStripOutOfStepWithItsCacheIsRefused) {
  // One frame the cache knows nothing of: appending would return an index
  // that names another icon.
  std::vector<u32> pixels(32 * 32, 0xFF123456u);
  ASSERT_EQ(strip_.AppendFrame(BitmapView{32, 32, 32, pixels.data()}), 1);
  EXPECT_EQ(GetShellIconBitmap(&strip_, &cache_, W(L"a.chm"), false, -1, false), -1);
  EXPECT_EQ(strip_.FrameCount(), 1);
  EXPECT_EQ(cache_.GetCount(), 0u);
}

TEST_F(ShellIconTest, MixedSequenceKeepsCacheAndStripInStep) {
  struct Ask {
    const wchar_t* path;
    i32 kind;
  } asks[] = {
      {L"a.chm", -1},  {nullptr, -1},   {nullptr, 0},    {L"b.kvnothing", -1}, {L"c.msi", -1},
      {nullptr, 2},    {L"d.chm", -1},  {nullptr, 1},    {nullptr, -1},        {L"e.other", -1},
      {nullptr, 3},    {L"f.msi", -1},  {nullptr, 0},    {L"g.CHM", -1},
  };
  std::vector<i32> indexes;
  for (const Ask& ask : asks) {
    const size_t before = cache_.GetCount();
    i32 frame = GetShellIconBitmap(&strip_, &cache_, ask.path ? W(ask.path) : nullptr, false,
                                   ask.kind, false);
    ASSERT_GE(frame, 0);
    ASSERT_EQ(static_cast<u32>(strip_.FrameCount()), cache_.GetCount());
    ASSERT_LT(static_cast<u32>(frame), cache_.GetCount());
    // A frame is new exactly when its system index was not cached before.
    bool wasKnown = false;
    for (size_t k = 0; k < before; ++k) wasKnown |= cache_[static_cast<u32>(k)] == cache_[static_cast<u32>(frame)];
    EXPECT_EQ(cache_.GetCount(), before + (wasKnown ? 0 : 1));
    indexes.push_back(frame);
  }
  // The cache holds each system index once.
  for (u32 i = 0; i < cache_.GetCount(); ++i)
    for (u32 j = i + 1; j < cache_.GetCount(); ++j) EXPECT_NE(cache_[i], cache_[j]);
  // Same type or folder, same frame.
  EXPECT_EQ(indexes[0], indexes[6]);
  EXPECT_EQ(indexes[0], indexes[13]);
  EXPECT_EQ(indexes[1], indexes[8]);
  EXPECT_EQ(indexes[2], indexes[12]);
  EXPECT_EQ(indexes[4], indexes[11]);
  EXPECT_EQ(indexes[3], indexes[9]);  // both unknown types: the generic document
}

TEST_F(ShellIconTest, IconsWithoutAlphaAreColourKeyed) {
  KeyedIconType type;
  ASSERT_TRUE(type.IsReady()) << "could not write the icon file or register its type";
  for (bool smallIcon : {true, false}) {
    SystemIcon keyed;
    ASSERT_TRUE(QueryType(L"probe.kvkeyedicon", smallIcon, &keyed));
    SystemIcon doc;
    ASSERT_TRUE(QueryType(L"probe.kvunknowntype", smallIcon, &doc));
    ASSERT_NE(keyed.index, doc.index) << "the shell did not take the registered icon";

    CImageStrip strip;
    CArray<i32> cache;
    i32 frame = GetShellIconBitmap(&strip, &cache, W(L"x.kvkeyedicon"), smallIcon, -1, false);
    ASSERT_EQ(frame, 0);
    ASSERT_EQ(strip.frameWidth, static_cast<u32>(keyed.width));
    ASSERT_EQ(strip.frameHeight, static_cast<u32>(keyed.height));
    const int n = keyed.width;
    int transparent = 0;
    for (int y = 0; y < n; ++y) {
      for (int x = 0; x < n; ++x) {
        const u32 got = FramePixel(strip, frame, x, y);
        if (KeyedTransparent(n, x, y)) {
          ASSERT_EQ(got, 0x00FFFEFFu) << "key at " << x << "," << y;
          ++transparent;
        } else {
          ASSERT_EQ(got, 0xFF000000u | KeyedColour(x, y)) << "colour at " << x << "," << y;
        }
      }
    }
    EXPECT_GT(transparent, 0);
  }
}

}  // namespace
