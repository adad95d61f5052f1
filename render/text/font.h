// Reference-counted fonts found by (face name, size, bold, italic) in one
// global list, with glyphs loaded lazily in glyph ranges. Portable: the
// faces themselves come from a face provider (on Windows the system font
// file read through GDI and rendered by FreeType, font_face_win.cpp).
//
// Locking: one font lock guards the list, every reference count, face
// opening and range loading. Glyph lookups of ranges already loaded take no
// lock: a range is complete before it is linked, and links are published
// with release order. Code points that no face has are noted per font, so
// that drawing threads do not retry them.
#pragma once
#include "render/text/glyph.h"
#include "runtime/types.h"
#include "runtime/wide_string.h"

// One opened face at one size. Used under the font lock only.
class IFontFace {
 public:
  // First character code of the face's Unicode map (0 when none), and the
  // next one after code (0 at the end).
  virtual u32 FirstChar() = 0;
  virtual u32 NextChar(u32 code) = 0;
  virtual bool HasChar(u32 code) = 0;
  // Renders the character into 8-bit coverage rows; the image stays valid
  // until the next call on this face.
  virtual bool RenderChar(u32 code, GlyphImage* image) = 0;
  // Line height, ascender and descender (positive) in pixels.
  virtual void Metrics(double* lineHeight, double* ascender, double* descender) = 0;

 protected:
  ~IFontFace() = default;
};

// Opens faces by name; null when no face can be supplied. A face is given
// back to the provider that opened it.
class IFaceProvider {
 public:
  virtual IFontFace* OpenFace(const wchar16* name, u32 size, bool bold, bool italic) = 0;
  virtual void CloseFace(IFontFace* face) = 0;

 protected:
  ~IFaceProvider() = default;
};

class CFont {
 public:
  double lineHeight = 0;
  double ascender = 0;
  double descender = 0;     // positive
  double leftOverhang = 0;  // largest distance a loaded glyph starts left of its pen
  double averageAdvance = 0;
  double spaceAdvance = 0;
  GlyphRange* ranges = nullptr;
  CWideString faceName;
  u32 size = 0;  // points
  u8 bold = 0;
  u8 italic = 0;
  i32 references = 0;

  // Null below code point 32 and for a code point that no face has.
  const Glyph* FindGlyph(u32 code);
  // Sum of the advances; a tab without a glyph counts 8 spaces.
  double MeasureText(const wchar16* text, i32 n);
  // Box of a run drawn with the pen at (*left, *bottom).
  void MeasureTextBox(double* left, double* bottom, double* width, double* height,
                      const wchar16* text, i32 n);
  // Characters of the first line of text that fit in width, or -1 when not
  // even one character fits. When a character passes the width the line
  // ends at the last blank or tab before it (so a word that ends at the
  // edge but whose blank does not fit wraps too), else it is cut there.
  // *fitted is the width of the line's characters, *blanks the number of
  // blanks inside the line.
  i32 FitText(double width, const wchar16* text, i32 n, double* fitted, i32* blanks);

  void AddRef();
  // At zero the font leaves the list and is freed.
  void Release();

  // The left overhang can grow while other threads record text.
  double LeftOverhang() const {
    double value;
    __atomic_load(&leftOverhang, &value, __ATOMIC_RELAXED);
    return value;
  }
  void SetLeftOverhang(double value) { __atomic_store(&leftOverhang, &value, __ATOMIC_RELAXED); }

  // True when code was looked up and found in no face.
  bool IsKnownMissing(u32 code) const;

  // Internal: builds the font's first range and metrics (font lock held).
  bool OpenFace(IFaceProvider* provider);
  // Internal: loads the range holding code (font lock held); the glyph or
  // null.
  const Glyph* LoadGlyphRange(IFaceProvider* provider, u32 code);
  // Internal: frees the ranges and the missing-code note.
  void FreeGlyphs();

 private:
  void NoteMissing(u32 code);
  // One bit per code point below 0x10000, allocated on the first miss.
  u8* missing_ = nullptr;
};

// Holds one reference; assigning releases the old font.
class CFontRef {
 public:
  CFontRef() = default;
  explicit CFontRef(CFont* font) : font_(font) {}  // takes over a reference
  CFontRef(const CFontRef& other) : font_(other.font_) { AddRef(); }
  CFontRef& operator=(const CFontRef& other);
  ~CFontRef() { Assign(nullptr); }
  // Releases the held font and takes over the given reference.
  void Assign(CFont* font);
  void AddRef();
  CFont* Get() const { return font_; }

 private:
  CFont* font_ = nullptr;
};

// A font with one reference for the caller, created when not yet listed;
// null when no face could be opened or the list is not set up.
CFont* AcquireFont(const wchar16* face, u32 size, bool bold, bool italic);
// The default font ("Tahoma" 8) with one more reference; null without one.
// (Declared for the canvas in render/canvas_text.h as well.)
CFont* GetDefaultFont();

// Sets up the list over a face provider: the default font and the UI fonts.
// True when the default font could be opened.
bool InitFontListWith(IFaceProvider* provider);
// Slot 1 of the start-up table (Windows): the list over the system faces,
// with DestroyFontList registered as its exit callback.
void InitFontList();
// Releases the UI fonts and the default font and forgets the provider; fonts
// still referenced stay valid until released (their glyphs loaded so far).
void DestroyFontList();
// Number of fonts in the list (tests and diagnostics).
u32 FontListCount();

// The UI fonts: normal, second normal (both the default font) and bold
// (default face, size + 2). Null before set-up.
void CreateUiFonts();
void ReleaseUiFonts();
CFont* UiFontNormal();
CFont* UiFontSecond();
CFont* UiFontBold();

// Code points that a font's own face may lack and that a fallback face is
// asked for ("MS PGothic", or "SimSun" when that cannot be opened): CJK
// ideographs and kana.
bool IsFallbackCode(u32 code);

// First occurrence of unit within the first n units of a zero-terminated
// text, or null (also for an empty text); blanks are space and tab.
const wchar16* FindCharN(const wchar16* text, wchar16 unit, i32 n);
inline bool IsBlank(u32 c) { return c == 32 || c == 9; }
