// A face provider for the font and text tests: faces with fixed advances
// and box-shaped glyphs, so measuring, fitting, layout and drawing can be
// checked exactly, and counters of every face opened and glyph rendered.
#pragma once
#include <atomic>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "render/text/font.h"

namespace fonttest {

struct FakeFaceSpec {
  std::set<u32> codes;          // code points the face has
  double advance = 10;          // of every glyph except the space
  double spaceAdvance = 4;
  i32 glyphWidth = 6;           // rendered columns (column 0 and the last are empty)
  i32 glyphRows = 8;            // rendered rows, from the baseline up
  double lineHeight = 16, ascender = 12, descender = 4;
  std::set<u32> failing;        // code points whose rendering fails
};

// A face with every code point of [first, last], each `advance` wide.
FakeFaceSpec FakeFaceCovering(u32 first, u32 last, double advance = 10);

// The coverage byte of every inked pixel of a code point's fake glyph.
u8 FakeInk(u32 code);

class CFakeFaces : public IFaceProvider {
 public:
  CFakeFaces();  // "Tahoma": 0, 13 and 32..126, 0xA0..0x17F, 0xFFF0..0xFFFD
  void SetFace(const std::u16string& name, const FakeFaceSpec& spec) { faces_[name] = spec; }
  FakeFaceSpec& Face(const std::u16string& name) { return faces_[name]; }

  IFontFace* OpenFace(const wchar16* name, u32 size, bool bold, bool italic) override;
  void CloseFace(IFontFace* face) override;

  int Opens(const std::u16string& name);  // faces opened by that name
  int TotalOpens() const { return totalOpens_; }
  int Renders(u32 code);                  // renders of that code point
  int TotalRenders() const { return totalRenders_; }

 private:
  friend class CFakeFace;
  std::map<std::u16string, FakeFaceSpec> faces_;
  std::mutex mutex_;
  std::map<std::u16string, int> opens_;
  std::map<u32, int> renders_;
  std::atomic<int> totalOpens_{0};
  std::atomic<int> totalRenders_{0};
};

// Checks a glyph record against the image it was made from: rows from the
// lowest up, each the image row's inked columns (zero columns trimmed at
// both ends only) as byte / grey levels; advance, left and bottom kept.
void ExpectRecordOf(const GlyphImage& image, const Glyph* glyph);

// Sets the font list up over the provider for one test and tears it down.
class CFontListScope {
 public:
  explicit CFontListScope(IFaceProvider* provider) { ok = InitFontListWith(provider); }
  ~CFontListScope() { DestroyFontList(); }
  bool ok;
};

}  // namespace fonttest
