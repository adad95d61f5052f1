// System faces: the font file comes from GDI's font mapper, FreeType renders
// it. Each face has its own FreeType library handle, opened with the face
// and closed with it, so FreeType holds nothing between loads.
#include "render/text/font_freetype.h"

#include <cstring>

#include "runtime/heap.h"
#include "runtime/platform.h"
#include "runtime/startup.h"
#include "runtime/win.h"

namespace {

// FreeType's memory comes from the program heap.
void* FreeTypeAlloc(FT_Memory, long size) { return size > 0 ? rt::malloc(static_cast<u32>(size)) : nullptr; }
void FreeTypeFree(FT_Memory, void* block) { rt::free(block); }
void* FreeTypeRealloc(FT_Memory, long, long size, void* block) {
  return size > 0 ? rt::realloc(block, static_cast<u32>(size)) : nullptr;
}
FT_MemoryRec_ g_freeTypeMemory = {nullptr, &FreeTypeAlloc, &FreeTypeFree, &FreeTypeRealloc};

wchar16 LowerAscii(wchar16 c) { return (c >= 'A' && c <= 'Z') ? static_cast<wchar16>(c + 32) : c; }

bool SameFamily(const wchar16* name, const char* family) {
  if (!name || !family) return false;
  size_t i = 0;
  for (; name[i] && family[i]; ++i)
    if (LowerAscii(name[i]) != LowerAscii(static_cast<u8>(family[i]))) return false;
  return name[i] == 0 && family[i] == 0;
}

class CFreeTypeFace final : public IFontFace {
 public:
  FT_Library library = nullptr;
  FT_Face face = nullptr;
  u8* data = nullptr;
  FT_Bitmap scratch;

  CFreeTypeFace() { FT_Bitmap_Init(&scratch); }
  ~CFreeTypeFace() {
    if (library) FT_Bitmap_Done(library, &scratch);
    if (face) FT_Done_Face(face);
    DoneFreeTypeLibrary(library);
    rt::free(data);
  }

  u32 FirstChar() override {
    FT_UInt index = 0;
    FT_ULong code = FT_Get_First_Char(face, &index);
    return index ? static_cast<u32>(code) : 0;
  }
  u32 NextChar(u32 code) override {
    FT_UInt index = 0;
    FT_ULong next = FT_Get_Next_Char(face, code, &index);
    return index ? static_cast<u32>(next) : 0;
  }
  bool HasChar(u32 code) override { return FT_Get_Char_Index(face, code) != 0; }
  bool RenderChar(u32 code, GlyphImage* image) override {
    return RenderFreeTypeGlyph(library, face, code, FT_LOAD_RENDER, &scratch, image);
  }
  void Metrics(double* lineHeight, double* ascender, double* descender) override {
    const FT_Size_Metrics& m = face->size->metrics;
    *lineHeight = m.height / 64.0;
    *ascender = m.ascender / 64.0;
    *descender = m.descender < 0 ? -m.descender / 64.0 : m.descender / 64.0;
  }
};

class CSystemFaceProvider final : public IFaceProvider {
 public:
  IFontFace* OpenFace(const wchar16* name, u32 size, bool bold, bool italic) override {
    u32 bytes = 0;
    u8* data = GetSystemFontData(name, size, bold, italic, &bytes);
    if (!data) return nullptr;
    u32 dpiX = 96, dpiY = 96;
    GetScreenDpi(&dpiX, &dpiY);
    return OpenMemoryFace(data, bytes, name, size, bold, italic, dpiY);
  }
  void CloseFace(IFontFace* face) override { CloseMemoryFace(face); }
};

CSystemFaceProvider g_systemFaces;

}  // namespace

FT_Library NewFreeTypeLibrary() {
  FT_Library library = nullptr;
  if (FT_New_Library(&g_freeTypeMemory, &library) != 0) return nullptr;
  FT_Add_Default_Modules(library);
  FT_Set_Default_Properties(library);
  return library;
}

void DoneFreeTypeLibrary(FT_Library library) {
  if (library) FT_Done_Library(library);
}

bool RenderFreeTypeGlyph(FT_Library library, FT_Face face, u32 code, FT_Int32 loadFlags,
                         FT_Bitmap* scratch, GlyphImage* image) {
  if (!library || !face || FT_Load_Char(face, code, loadFlags) != 0) return false;
  FT_GlyphSlot slot = face->glyph;
  if (slot->format != FT_GLYPH_FORMAT_BITMAP) return false;
  const FT_Bitmap* bitmap = &slot->bitmap;
  u32 levels = bitmap->num_grays ? bitmap->num_grays : 256;
  if (bitmap->pixel_mode != FT_PIXEL_MODE_GRAY) {
    if (FT_Bitmap_Convert(library, bitmap, scratch, 1) != 0) return false;
    levels = scratch->num_grays ? scratch->num_grays : 2;
    // Any converted (two-level) pixel that is set counts as full coverage.
    for (u32 r = 0; r < scratch->rows; ++r) {
      u8* row = scratch->buffer + static_cast<i64>(r) * scratch->pitch;
      for (u32 x = 0; x < scratch->width; ++x)
        if (row[x]) row[x] = static_cast<u8>(levels > 255 ? 255 : levels);
    }
    if (levels > 255) levels = 255;
    bitmap = scratch;
  }
  image->advanceX = slot->advance.x / 64.0;
  image->advanceY = slot->advance.y / 64.0;
  image->left = slot->bitmap_left;
  image->top = slot->bitmap_top;
  image->rows = bitmap->rows;
  image->width = bitmap->width;
  image->pitch = bitmap->pitch;
  image->greyLevels = levels;
  // A negative pitch means the rows are stored bottom row first.
  image->topRow = bitmap->pitch >= 0 || bitmap->rows == 0
                      ? bitmap->buffer
                      : bitmap->buffer - static_cast<i64>(bitmap->rows - 1) * bitmap->pitch;
  return bitmap->rows == 0 || bitmap->buffer != nullptr;
}

i32 SelectCollectionFace(const u8* data, u32 size, const wchar16* name, bool bold, bool italic) {
  FT_Library library = NewFreeTypeLibrary();
  if (!library) return 0;
  i32 best = 0, bestScore = 0;
  FT_Face probe = nullptr;
  FT_Long faces = 0;
  if (FT_New_Memory_Face(library, data, static_cast<FT_Long>(size), -1, &probe) == 0) {
    faces = probe->num_faces;
    FT_Done_Face(probe);
  }
  for (FT_Long i = 0; faces > 1 && i < faces && bestScore < 2; ++i) {
    FT_Face face = nullptr;
    if (FT_New_Memory_Face(library, data, static_cast<FT_Long>(size), i, &face) != 0) continue;
    if (SameFamily(name, face->family_name)) {
      const bool faceBold = (face->style_flags & FT_STYLE_FLAG_BOLD) != 0;
      const bool faceItalic = (face->style_flags & FT_STYLE_FLAG_ITALIC) != 0;
      const i32 score = (faceBold == bold && faceItalic == italic) ? 2 : 1;
      if (score > bestScore) bestScore = score, best = static_cast<i32>(i);
    }
    FT_Done_Face(face);
  }
  DoneFreeTypeLibrary(library);
  return best;
}

IFontFace* OpenMemoryFace(u8* data, u32 size, const wchar16* name, u32 pointSize, bool bold,
                          bool italic, u32 dpi) {
  CFreeTypeFace* face = rt::New<CFreeTypeFace>();
  if (!face) {
    rt::free(data);
    return nullptr;
  }
  face->data = data;
  const i32 index = SelectCollectionFace(data, size, name, bold, italic);
  face->library = NewFreeTypeLibrary();
  if (!data || !face->library ||
      FT_New_Memory_Face(face->library, data, static_cast<FT_Long>(size), index, &face->face) != 0 ||
      FT_Select_Charmap(face->face, FT_ENCODING_UNICODE) != 0 ||
      FT_Set_Char_Size(face->face, static_cast<FT_F26Dot6>(pointSize) * 64, 0, dpi, 0) != 0) {
    rt::Delete(face);
    return nullptr;
  }
  return face;
}

void CloseMemoryFace(IFontFace* face) { rt::Delete(static_cast<CFreeTypeFace*>(face)); }

u8* GetSystemFontData(const wchar16* face, u32 size, bool bold, bool italic, u32* bytes) {
  *bytes = 0;
  if (!face) return nullptr;
  CLoadedLibrary gdi(u"gdi32.dll");
  auto createDc = reinterpret_cast<decltype(&::CreateCompatibleDC)>(gdi.Lookup("CreateCompatibleDC"));
  auto deviceCaps = reinterpret_cast<decltype(&::GetDeviceCaps)>(gdi.Lookup("GetDeviceCaps"));
  auto selectObject = reinterpret_cast<decltype(&::SelectObject)>(gdi.Lookup("SelectObject"));
  auto deleteDc = reinterpret_cast<decltype(&::DeleteDC)>(gdi.Lookup("DeleteDC"));
  auto fontData = reinterpret_cast<decltype(&::GetFontData)>(gdi.Lookup("GetFontData"));
  auto createFont = reinterpret_cast<decltype(&::CreateFontW)>(gdi.Lookup("CreateFontW"));
  auto deleteObject = reinterpret_cast<decltype(&::DeleteObject)>(gdi.Lookup("DeleteObject"));
  if (!createDc || !deviceCaps || !selectObject || !deleteDc || !fontData || !createFont || !deleteObject)
    return nullptr;
  HDC dc = createDc(nullptr);
  if (!dc) return nullptr;
  const int height = -MulDiv(static_cast<int>(size), deviceCaps(dc, LOGPIXELSY), 72);
  HFONT font = createFont(height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, italic ? TRUE : FALSE, FALSE, FALSE,
                          DEFAULT_CHARSET, OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                          DEFAULT_PITCH | FF_DONTCARE, AsWide(face));
  u8* block = nullptr;
  if (font) {
    HGDIOBJ old = selectObject(dc, font);
    const DWORD kCollection = 0x66637474;  // 'ttcf'
    DWORD table = kCollection;
    DWORD length = fontData(dc, table, 0, nullptr, 0);
    if (length == GDI_ERROR || length == 0) {
      table = 0;
      length = fontData(dc, table, 0, nullptr, 0);
    }
    if (length != GDI_ERROR && length != 0 && length < 0x7FFFFFFFu) {
      block = static_cast<u8*>(rt::malloc(length));
      if (block && fontData(dc, table, 0, block, length) != length) {
        rt::free(block);
        block = nullptr;
      }
      if (block) *bytes = length;
    }
    selectObject(dc, old);
    deleteObject(font);
  }
  deleteDc(dc);
  return block;
}

void GetScreenDpi(u32* x, u32* y) {
  *x = *y = 96;
  HDC dc = GetDC(nullptr);
  if (!dc) return;
  const int dx = GetDeviceCaps(dc, LOGPIXELSX), dy = GetDeviceCaps(dc, LOGPIXELSY);
  if (dx > 0) *x = static_cast<u32>(dx);
  if (dy > 0) *y = static_cast<u32>(dy);
  ReleaseDC(nullptr, dc);
}

IFaceProvider* SystemFaceProvider() { return &g_systemFaces; }

void InitFontList() {
  InitFontListWith(&g_systemFaces);
  rt::atexit(DestroyFontList);
}
