#include "render/text/font.h"

#include <cstring>

#include "runtime/heap.h"
#include "runtime/threads.h"

namespace {

// The one font lock: list, reference counts, face opening, range loading.
CLock g_fontLock;

}  // namespace

// The one list of fonts, guarded by the font lock.
class CFontList {
 public:
  IFaceProvider* provider = nullptr;
  CFont* defaultFont = nullptr;
  CFont** fonts = nullptr;
  u32 count = 0;
  u32 capacity = 0;
  u32 growth = 32;
  CFont* ui[3] = {nullptr, nullptr, nullptr};  // normal, second normal, bold

  // The listed font of that request with one more reference, or a new one;
  // null when no face can be opened. Font lock held.
  CFont* FindOrCreate(const wchar16* face, i32 length, u32 size, bool bold, bool italic);
};

namespace {

CFontList g_list;

const wchar16 kDefaultFace[] = u"Tahoma";
constexpr u32 kDefaultSize = 8;
const wchar16* const kFallbackFaces[] = {u"MS PGothic", u"SimSun"};

constexpr u32 kBlockSize = 256;  // ranges never cross a block of this size
constexpr u32 kMissingCodes = 0x10000;

bool SameName(const CWideString& name, const wchar16* text, i32 length) {
  if (name.GetLength() != length) return false;
  return std::memcmp(name.c_str(), text, static_cast<size_t>(length) * 2) == 0;
}

void RemoveFontFromList(CFont* font) {
  for (u32 i = 0; i < g_list.count; ++i) {
    if (g_list.fonts[i] != font) continue;
    std::memmove(g_list.fonts + i, g_list.fonts + i + 1, (g_list.count - i - 1) * sizeof(CFont*));
    --g_list.count;
    return;
  }
}

bool AppendFontToList(CFont* font) {
  if (g_list.count == g_list.capacity) {
    u32 step = g_list.growth ? g_list.growth : 1;
    u32 capacity = g_list.capacity + step;
    CFont** grown = static_cast<CFont**>(rt::realloc(g_list.fonts, capacity * sizeof(CFont*)));
    if (!grown) return false;
    g_list.fonts = grown;
    g_list.capacity = capacity;
  }
  g_list.fonts[g_list.count++] = font;
  return true;
}

// Opens a face and closes it when the holder ends.
class CFaceHolder {
 public:
  CFaceHolder(IFaceProvider* provider, const wchar16* name, u32 size, bool bold, bool italic)
      : provider_(provider), face_(provider ? provider->OpenFace(name, size, bold, italic) : nullptr) {}
  ~CFaceHolder() {
    if (face_) provider_->CloseFace(face_);
  }
  CFaceHolder(const CFaceHolder&) = delete;
  CFaceHolder& operator=(const CFaceHolder&) = delete;
  IFontFace* operator->() const { return face_; }
  explicit operator bool() const { return face_ != nullptr; }

 private:
  IFaceProvider* provider_;
  IFontFace* face_;
};

// Renders code into the builder; the font's left overhang grows with it.
void AddGlyph(CFont* font, IFontFace* face, CGlyphRangeBuilder* builder, u32 first, u32 code) {
  GlyphImage image;
  if (!face->RenderChar(code, &image)) return;  // the entry stays empty
  if (builder->Add(code - first, image) && image.left < 0 && -image.left > font->LeftOverhang())
    font->SetLeftOverhang(-image.left);
}

// The run of consecutive code points of the face around code, within code's
// block and from 32 up; null when the face lacks code.
GlyphRange* BuildRun(CFont* font, IFontFace* face, u32 code) {
  if (code < 32 || !face->HasChar(code)) return nullptr;
  const u32 blockStart = code & ~(kBlockSize - 1);
  const u32 blockEnd = blockStart + kBlockSize;
  u32 lo = code, hi = code;
  while (lo > blockStart && lo - 1 >= 32 && face->HasChar(lo - 1)) --lo;
  while (hi + 1 < blockEnd && face->HasChar(hi + 1)) ++hi;
  CGlyphRangeBuilder builder(lo, hi - lo + 1);
  if (!builder.IsValid()) return nullptr;
  for (u32 c = lo; c <= hi; ++c) AddGlyph(font, face, &builder, lo, c);
  return builder.Finish();
}

}  // namespace

bool IsFallbackCode(u32 code) {
  return (code >= 0x4E00 && code <= 0x9FFF) || (code >= 0x3040 && code <= 0x30FF);
}

const wchar16* FindCharN(const wchar16* text, wchar16 unit, i32 n) {
  if (!text) return nullptr;
  for (i32 i = 0; i < n && text[i]; ++i)
    if (text[i] == unit) return text + i;
  return nullptr;
}

// ---- glyph lookup and loading -------------------------------------------

bool CFont::IsKnownMissing(u32 code) const {
  if (code >= kMissingCodes) return false;
  const u8* bits = __atomic_load_n(&missing_, __ATOMIC_ACQUIRE);
  if (!bits) return false;
  return (__atomic_load_n(bits + (code >> 3), __ATOMIC_RELAXED) >> (code & 7)) & 1;
}

void CFont::NoteMissing(u32 code) {
  if (code >= kMissingCodes) return;
  if (!missing_) {
    u8* bits = static_cast<u8*>(rt::malloc(kMissingCodes / 8));
    if (!bits) return;
    std::memset(bits, 0, kMissingCodes / 8);
    __atomic_store_n(&missing_, bits, __ATOMIC_RELEASE);
  }
  __atomic_fetch_or(missing_ + (code >> 3), static_cast<u8>(1u << (code & 7)), __ATOMIC_RELAXED);
}

const Glyph* CFont::FindGlyph(u32 code) {
  if (code < 32) return nullptr;
  if (const GlyphRange* r = GlyphRange::Find(LoadRangeLink(&ranges), code)) return r->Entry(code);
  if (IsKnownMissing(code)) return nullptr;
  CLockGuard hold(g_fontLock);
  // Another thread may have loaded it while this one waited.
  if (const GlyphRange* r = GlyphRange::Find(ranges, code)) return r->Entry(code);
  if (IsKnownMissing(code)) return nullptr;
  const Glyph* glyph = LoadGlyphRange(g_list.provider, code);
  if (!glyph && !GlyphRange::Find(ranges, code)) NoteMissing(code);
  return glyph;
}

const Glyph* CFont::LoadGlyphRange(IFaceProvider* provider, u32 code) {
  if (!provider || code < 32) return nullptr;
  const bool isBold = bold != 0, isItalic = italic != 0;
  if (!IsFallbackCode(code)) {
    CFaceHolder face(provider, faceName.c_str(), size, isBold, isItalic);
    if (!face) return nullptr;
    GlyphRange* range = BuildRun(this, face.operator->(), code);
    if (!range) return nullptr;
    InsertGlyphRange(&ranges, range);
    return range->Entry(code);
  }
  // Ideographs and kana: the aligned block around code, each code point
  // from the font's own face or else from the fallback face: "MS PGothic",
  // or "SimSun" when that cannot be opened.
  const u32 blockStart = code & ~(kBlockSize - 1);
  CGlyphRangeBuilder builder(blockStart, kBlockSize);
  if (!builder.IsValid()) return nullptr;
  u32 found = 0;
  {
    CFaceHolder face(provider, faceName.c_str(), size, isBold, isItalic);
    if (face)
      for (u32 i = 0; i < kBlockSize; ++i)
        if (face->HasChar(blockStart + i)) AddGlyph(this, face.operator->(), &builder, blockStart, blockStart + i), ++found;
  }
  for (const wchar16* name : kFallbackFaces) {
    if (found == kBlockSize) break;
    CFaceHolder face(provider, name, size, isBold, isItalic);
    if (!face) continue;
    for (u32 i = 0; i < kBlockSize; ++i)
      if (!builder.Has(i) && face->HasChar(blockStart + i))
        AddGlyph(this, face.operator->(), &builder, blockStart, blockStart + i), ++found;
    break;  // the first face that opens is the fallback
  }
  if (found == 0) {
    // No face has any code point of the block.
    for (u32 i = 0; i < kBlockSize; ++i) NoteMissing(blockStart + i);
    return nullptr;
  }
  GlyphRange* range = builder.Finish();
  if (!range) return nullptr;
  InsertGlyphRange(&ranges, range);
  return range->Entry(code);
}

bool CFont::OpenFace(IFaceProvider* provider) {
  if (faceName.IsEmpty() || size == 0) return false;
  CFaceHolder face(provider, faceName.c_str(), size, bold != 0, italic != 0);
  if (!face) return false;
  // The first range starts at the first character that can have a glyph
  // (codes below 32 never do; faces often map 0 and 13).
  const u32 first = face->FirstChar() >= 32 ? face->FirstChar() : face->NextChar(31);
  if (first < 32) return false;
  GlyphRange* range = BuildRun(this, face.operator->(), first);
  if (!range) return false;
  InsertGlyphRange(&ranges, range);
  double sum = 0;
  u32 counted = 0;
  for (u32 c = range->first; c < range->end; ++c) {
    const Glyph* g = range->Entry(c);
    if (g && g->advanceX != 0) sum += g->advanceX, ++counted;
  }
  averageAdvance = counted ? sum / counted : 0;
  face->Metrics(&lineHeight, &ascender, &descender);
  if (descender < 0) descender = -descender;
  const Glyph* space = range->Entry(32);
  if (!space && face->HasChar(32)) {
    if (GlyphRange* spaces = BuildRun(this, face.operator->(), 32)) {
      InsertGlyphRange(&ranges, spaces);
      space = spaces->Entry(32);
    }
  }
  spaceAdvance = space ? space->advanceX : lineHeight;
  return true;
}

void CFont::FreeGlyphs() {
  GlyphRange::FreeList(ranges);
  ranges = nullptr;
  rt::free(missing_);
  missing_ = nullptr;
}

// ---- references and the list --------------------------------------------

void CFont::AddRef() {
  CLockGuard hold(g_fontLock);
  ++references;
}

void CFont::Release() {
  {
    CLockGuard hold(g_fontLock);
    if (--references > 0) return;
    RemoveFontFromList(this);
  }
  FreeGlyphs();
  rt::Delete(this);
}

CFontRef& CFontRef::operator=(const CFontRef& other) {
  if (other.font_) other.font_->AddRef();
  Assign(other.font_);
  return *this;
}

void CFontRef::Assign(CFont* font) {
  CFont* old = font_;
  font_ = font;
  if (old) old->Release();
}

void CFontRef::AddRef() {
  if (font_) font_->AddRef();
}

CFont* CFontList::FindOrCreate(const wchar16* face, i32 length, u32 size, bool bold, bool italic) {
  for (u32 i = 0; i < count; ++i) {
    CFont* f = fonts[i];
    if (f->size == size && (f->bold != 0) == bold && (f->italic != 0) == italic &&
        SameName(f->faceName, face, length)) {
      ++f->references;
      return f;
    }
  }
  if (!provider) return nullptr;
  CFont* font = rt::New<CFont>();
  if (!font) return nullptr;
  font->faceName.AssignChars(face, length);
  font->size = size;
  font->bold = bold ? 1 : 0;
  font->italic = italic ? 1 : 0;
  font->references = 1;
  if (!font->OpenFace(provider) || !AppendFontToList(font)) {
    font->FreeGlyphs();
    rt::Delete(font);
    return nullptr;
  }
  return font;
}

CFont* AcquireFont(const wchar16* face, u32 size, bool bold, bool italic) {
  if (!face) return nullptr;
  i32 length = GetStringLength(face, kTextCap);
  if (length < 0) length = kTextCap;
  CLockGuard hold(g_fontLock);
  return g_list.FindOrCreate(face, length, size, bold, italic);
}

CFont* GetDefaultFont() {
  CLockGuard hold(g_fontLock);
  if (g_list.defaultFont) ++g_list.defaultFont->references;
  return g_list.defaultFont;
}

bool InitFontListWith(IFaceProvider* provider) {
  {
    CLockGuard hold(g_fontLock);
    g_list.provider = provider;
    g_list.growth = 32;
  }
  CFont* font = AcquireFont(kDefaultFace, kDefaultSize, false, false);
  {
    CLockGuard hold(g_fontLock);
    CFont* old = g_list.defaultFont;
    g_list.defaultFont = font;
    if (old) font = old;  // set up twice: give the extra reference back below
    else font = nullptr;
  }
  if (font) font->Release();
  CreateUiFonts();
  return g_list.defaultFont != nullptr;
}

void DestroyFontList() {
  ReleaseUiFonts();
  CFont* font;
  {
    CLockGuard hold(g_fontLock);
    font = g_list.defaultFont;
    g_list.defaultFont = nullptr;
  }
  if (font) font->Release();
  CLockGuard hold(g_fontLock);
  g_list.provider = nullptr;
  // Fonts still referenced stay listed until their last release.
  if (g_list.count == 0) {
    rt::free(g_list.fonts);
    g_list.fonts = nullptr;
    g_list.capacity = 0;
  }
}

u32 FontListCount() {
  CLockGuard hold(g_fontLock);
  return g_list.count;
}

void CreateUiFonts() {
  ReleaseUiFonts();
  CFont* normal = GetDefaultFont();
  CFont* second = GetDefaultFont();
  CFont* strong = normal ? AcquireFont(normal->faceName.c_str(), normal->size + 2, true, false) : nullptr;
  CLockGuard hold(g_fontLock);
  g_list.ui[0] = normal;
  g_list.ui[1] = second;
  g_list.ui[2] = strong;
}

void ReleaseUiFonts() {
  CFont* held[3];
  {
    CLockGuard hold(g_fontLock);
    for (int i = 0; i < 3; ++i) {
      held[i] = g_list.ui[i];
      g_list.ui[i] = nullptr;
    }
  }
  for (CFont* f : held)
    if (f) f->Release();
}

CFont* UiFontNormal() { return g_list.ui[0]; }
CFont* UiFontSecond() { return g_list.ui[1]; }
CFont* UiFontBold() { return g_list.ui[2]; }
