// The shell's icons as image-strip frames. The shell, COM and common-control
// libraries are loaded for one call and freed afterwards; every device
// context, bitmap and item list made here is released on every path.
#include "render/shell_icon.h"

#include <shlobj.h>
#include <shellapi.h>
#include <commctrl.h>

#include <cstring>

#include "render/bitmap.h"
#include "render/image_strip.h"
#include "runtime/platform.h"
#include "runtime/com_scope.h"
#include "runtime/win.h"

namespace {

typedef DWORD_PTR(WINAPI* SHGetFileInfoFn)(LPCWSTR, DWORD, SHFILEINFOW*, UINT, UINT);
typedef HRESULT(WINAPI* SHGetFolderLocationFn)(HWND, int, HANDLE, DWORD, LPITEMIDLIST*);
typedef void(WINAPI* ILFreeFn)(LPITEMIDLIST);
typedef BOOL(WINAPI* ImageListDrawExFn)(HIMAGELIST, int, HDC, int, int, int, int, COLORREF,
                                         COLORREF, UINT);
typedef BOOL(WINAPI* ImageListGetIconSizeFn)(HIMAGELIST, int*, int*);

// Shell icons are at most 256 pixels a side; anything larger (or empty) is
// not an icon the strip should hold.
constexpr int kMaxIconSide = 256;

// The colour-key background of icons without their own alpha: a colour no
// icon is drawn in. As a COLORREF and as a DIB pixel it has the same value.
constexpr u32 kKeyColour = 0xFFFEFFu;
// ILD_BLEND50 without a foreground colour: marks every pixel the icon covers.
constexpr UINT kCoverageStyle = 4;



// A memory device context with a w x h 32-bit bottom-up DIB section selected
// into it; everything is released by the destructor.
class CIconCanvas {
 public:
  CIconCanvas(int width, int height) : width_(width), height_(height) {
    dc_ = CreateCompatibleDC(nullptr);
    if (!dc_) return;
    BITMAPINFO info;
    std::memset(&info, 0, sizeof(info));
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // positive: bottom row first, as CBitmap keeps rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    dib_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!dib_ || !bits) return;
    previous_ = SelectObject(dc_, dib_);
    if (!previous_ || previous_ == HGDI_ERROR) {
      previous_ = nullptr;
      return;
    }
    pixels_ = static_cast<u32*>(bits);
    Clear();
  }
  ~CIconCanvas() {
    if (previous_) SelectObject(dc_, previous_);
    if (dib_) DeleteObject(dib_);
    if (dc_) DeleteDC(dc_);
  }
  CIconCanvas(const CIconCanvas&) = delete;
  CIconCanvas& operator=(const CIconCanvas&) = delete;

  bool IsReady() const { return pixels_ != nullptr; }
  HDC Dc() const { return dc_; }
  size_t PixelCount() const { return static_cast<size_t>(width_) * static_cast<size_t>(height_); }
  void Clear() {
    GdiFlush();
    std::memset(pixels_, 0, PixelCount() * 4);
  }
  // The pixels after GDI has finished drawing into them.
  const u32* Pixels() const {
    GdiFlush();
    return pixels_;
  }

 private:
  int width_;
  int height_;
  HDC dc_ = nullptr;
  HBITMAP dib_ = nullptr;
  HGDIOBJ previous_ = nullptr;
  u32* pixels_ = nullptr;
};

// The system image list and the icon's index in it; false when the shell
// gives none.
bool FindSystemIcon(SHGetFileInfoFn getInfo, SHGetFolderLocationFn getLocation, ILFreeFn freeList,
                    const wchar16* path, bool smallIcon, i32 folderKind, bool realFile,
                    HIMAGELIST* list, int* index) {
  static const int kFolders[] = {CSIDL_DESKTOP, CSIDL_PERSONAL, CSIDL_DRIVES, CSIDL_NETWORK};
  UINT flags = SHGFI_SYSICONINDEX;
  if (smallIcon) flags |= SHGFI_SMALLICON;
  SHFILEINFOW info;
  std::memset(&info, 0, sizeof(info));
  DWORD_PTR result = 0;
  if (folderKind == kShellFolderNone) {
    if (path) {
      if (!realFile) flags |= SHGFI_USEFILEATTRIBUTES;
      result = getInfo(AsWide(path), FILE_ATTRIBUTE_NORMAL, &info, sizeof(info), flags);
    } else {
      result = getInfo(L"Directory", FILE_ATTRIBUTE_DIRECTORY, &info, sizeof(info),
                       flags | SHGFI_USEFILEATTRIBUTES);
    }
  } else if (folderKind >= kShellFolderDesktop && folderKind <= kShellFolderNetwork) {
    LPITEMIDLIST items = nullptr;
    if (FAILED(getLocation(nullptr, kFolders[folderKind], nullptr, 0, &items)) || !items) {
      if (items) freeList(items);
      return false;
    }
    result = getInfo(reinterpret_cast<LPCWSTR>(items), 0, &info, sizeof(info), flags | SHGFI_PIDL);
    freeList(items);
  } else {
    return false;
  }
  if (!result || info.iIcon < 0) return false;
  *list = reinterpret_cast<HIMAGELIST>(result);
  *index = info.iIcon;
  return true;
}

// Draws the icon twice and makes the frame's straight alpha from the two
// drawings (see below); null when a drawing fails or memory runs out.
CBitmap* RenderIcon(ImageListDrawExFn drawEx, HIMAGELIST list, int index, int width, int height) {
  CIconCanvas canvas(width, height);
  if (!canvas.IsReady()) return nullptr;
  if (!drawEx(list, index, canvas.Dc(), 0, 0, width, height, 0xFFFFFF, CLR_NONE, ILD_IMAGE))
    return nullptr;
  CBitmap* bitmap = CBitmap::Create(static_cast<u32>(width), static_cast<u32>(height));
  if (!bitmap) return nullptr;
  const size_t count = canvas.PixelCount();
  std::memcpy(bitmap->pixels, canvas.Pixels(), count * 4);
  u32* out = bitmap->pixels;

  bool ownAlpha = false;
  for (size_t i = 0; i < count && !ownAlpha; ++i) ownAlpha = (out[i] >> 24) != 0;

  if (ownAlpha) {
    // The icon carries its own alpha. A second, transparent drawing marks
    // the pixels the icon covers: those stay visible (GDI may have left
    // alpha 0 on some of them), every other pixel becomes transparent.
    canvas.Clear();
    if (!drawEx(list, index, canvas.Dc(), 0, 0, width, height, CLR_NONE, CLR_NONE,
                kCoverageStyle)) {
      CBitmap::Destroy(bitmap);
      return nullptr;
    }
    const u32* cover = canvas.Pixels();
    for (size_t i = 0; i < count; ++i) {
      if (cover[i] >> 24) {
        if ((out[i] >> 24) == 0) out[i] |= 0xFF000000u;
      } else {
        out[i] &= 0x00FFFFFFu;
      }
    }
  } else {
    // No alpha anywhere: draw over the key colour; every pixel not of the
    // key colour is opaque, key pixels are fully transparent.
    if (!drawEx(list, index, canvas.Dc(), 0, 0, width, height, kKeyColour, CLR_NONE, ILD_NORMAL)) {
      CBitmap::Destroy(bitmap);
      return nullptr;
    }
    const u32* drawn = canvas.Pixels();
    for (size_t i = 0; i < count; ++i) {
      const u32 colour = drawn[i] & 0x00FFFFFFu;
      out[i] = colour == kKeyColour ? colour : (colour | 0xFF000000u);
    }
  }
  return bitmap;
}

}  // namespace

i32 GetShellIconBitmap(CImageStrip* strip, CArray<i32>* cache, const wchar16* path,
                       bool smallIcon, i32 folderKind, bool realFile) {
  CLoadedLibrary ole(u"ole32.dll");
  CLoadedLibrary shell(u"shell32.dll");
  CoInitializeFn init = LibraryEntry<CoInitializeFn>(ole, "CoInitialize");
  CoUninitializeFn uninit = LibraryEntry<CoUninitializeFn>(ole, "CoUninitialize");
  SHGetFileInfoFn getInfo = LibraryEntry<SHGetFileInfoFn>(shell, "SHGetFileInfoW");
  SHGetFolderLocationFn getLocation = LibraryEntry<SHGetFolderLocationFn>(shell, "SHGetFolderLocation");
  ILFreeFn freeList = LibraryEntry<ILFreeFn>(shell, "ILFree");
  if (!init || !uninit || !getInfo || !getLocation || !freeList) return -1;
  if (!strip || !cache) return -1;

  CComScope com(init, uninit);
  HIMAGELIST list = nullptr;
  int index = -1;
  if (!FindSystemIcon(getInfo, getLocation, freeList, path, smallIcon, folderKind, realFile, &list,
                      &index))
    return -1;
  const i32 known = cache->Find(index);
  if (known >= 0) return known;

  CLoadedLibrary controls(u"comctl32.dll");
  ImageListDrawExFn drawEx = LibraryEntry<ImageListDrawExFn>(controls, "ImageList_DrawEx");
  ImageListGetIconSizeFn getSize = LibraryEntry<ImageListGetIconSizeFn>(controls, "ImageList_GetIconSize");
  if (!drawEx || !getSize) return -1;
  int width = 0;
  int height = 0;
  if (!getSize(list, &width, &height)) return -1;
  if (width <= 0 || height <= 0 || width > kMaxIconSide || height > kMaxIconSide) return -1;

  // Frame k of the strip belongs to cache entry k: a strip out of step with
  // the cache would make the returned index name another icon.
  if (static_cast<u32>(strip->FrameCount()) != cache->GetCount()) return -1;
  // Room for the new entry first, so that once the frame is in the strip
  // adding it to the cache cannot fail.
  if (cache->GetCount() == cache->GetCapacity() && !cache->Grow(0)) return -1;

  CBitmap* bitmap = RenderIcon(drawEx, list, index, width, height);
  if (!bitmap) return -1;
  const i32 frames = strip->AppendBitmap(bitmap);
  CBitmap::Destroy(bitmap);
  if (frames < 0) return -1;
  cache->Add(index);
  return static_cast<i32>(cache->GetCount()) - 1;
}
