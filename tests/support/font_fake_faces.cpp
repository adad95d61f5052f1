#include "support/font_fake_faces.h"

#include <gtest/gtest.h>

namespace fonttest {

u8 FakeInk(u32 code) { return static_cast<u8>(100 + code % 150); }

class CFakeFace final : public IFontFace {
 public:
  CFakeFace(CFakeFaces* owner, const FakeFaceSpec& spec) : owner_(owner), spec_(spec) {}
  u32 FirstChar() override { return spec_.codes.empty() ? 0 : *spec_.codes.begin(); }
  u32 NextChar(u32 code) override {
    auto it = spec_.codes.upper_bound(code);
    return it == spec_.codes.end() ? 0 : *it;
  }
  bool HasChar(u32 code) override { return spec_.codes.count(code) != 0; }
  bool RenderChar(u32 code, GlyphImage* image) override {
    {
      std::lock_guard<std::mutex> hold(owner_->mutex_);
      ++owner_->renders_[code];
    }
    ++owner_->totalRenders_;
    if (!HasChar(code) || spec_.failing.count(code)) return false;
    const bool blank = code == 32;
    pixels_.assign(static_cast<size_t>(spec_.glyphWidth) * spec_.glyphRows, 0);
    // A box one column in from each side; the top row is empty, so rows
    // and columns both get trimmed.
    if (!blank)
      for (i32 r = 1; r < spec_.glyphRows; ++r)
        for (i32 x = 1; x + 1 < spec_.glyphWidth; ++x) pixels_[r * spec_.glyphWidth + x] = FakeInk(code);
    image->advanceX = blank ? spec_.spaceAdvance : spec_.advance;
    image->advanceY = 0;
    image->left = code == 'j' ? -2 : 0;  // 'j' starts left of its pen
    image->top = spec_.glyphRows;
    image->rows = static_cast<u32>(spec_.glyphRows);
    image->width = static_cast<u32>(spec_.glyphWidth);
    image->topRow = pixels_.data();
    image->pitch = spec_.glyphWidth;
    image->greyLevels = 256;
    return true;
  }
  void Metrics(double* lineHeight, double* ascender, double* descender) override {
    *lineHeight = spec_.lineHeight;
    *ascender = spec_.ascender;
    *descender = spec_.descender;
  }

 private:
  CFakeFaces* owner_;
  FakeFaceSpec spec_;
  std::vector<u8> pixels_;
};

CFakeFaces::CFakeFaces() {
  FakeFaceSpec latin;
  latin.codes = {0, 13};
  for (u32 c = 32; c <= 126; ++c) latin.codes.insert(c);
  for (u32 c = 0xA0; c <= 0x17F; ++c) latin.codes.insert(c);
  for (u32 c = 0xFFF0; c <= 0xFFFD; ++c) latin.codes.insert(c);
  faces_[u"Tahoma"] = latin;
}

IFontFace* CFakeFaces::OpenFace(const wchar16* name, u32, bool, bool) {
  std::u16string key(name);
  {
    std::lock_guard<std::mutex> hold(mutex_);
    ++opens_[key];
  }
  ++totalOpens_;
  auto it = faces_.find(key);
  if (it == faces_.end()) return nullptr;
  return new CFakeFace(this, it->second);
}

void CFakeFaces::CloseFace(IFontFace* face) { delete static_cast<CFakeFace*>(face); }

int CFakeFaces::Opens(const std::u16string& name) {
  std::lock_guard<std::mutex> hold(mutex_);
  return opens_[name];
}

int CFakeFaces::Renders(u32 code) {
  std::lock_guard<std::mutex> hold(mutex_);
  return renders_[code];
}

void ExpectRecordOf(const GlyphImage& image, const Glyph* g) {
  ASSERT_NE(g, nullptr);
  EXPECT_TRUE(g->size == Glyph::RecordBytes(image) && g->rows == image.rows && g->width == image.width);
  EXPECT_TRUE(g->advanceX == image.advanceX && g->left == image.left &&
              g->bottom == image.top - static_cast<double>(image.rows));
  for (u32 r = 0; r < image.rows; ++r) {
    const u8* src = image.topRow + static_cast<i64>(image.rows - 1 - r) * image.pitch;
    const Glyph::Row row = g->GetRow(r);
    u32 first = 0, end = image.width;
    while (first < end && src[first] == 0) ++first;
    while (end > first && src[end - 1] == 0) --end;
    ASSERT_EQ(row.length, end - first) << "row " << r;
    EXPECT_EQ(row.first, row.length ? first : 0u) << "row " << r;
    for (u32 x = 0; x < row.length; ++x)
      EXPECT_EQ(row.coverage[x], src[first + x] / static_cast<double>(image.greyLevels)) << "row " << r << " column " << x;
  }
}

FakeFaceSpec FakeFaceCovering(u32 first, u32 last, double advance) {
  FakeFaceSpec spec;
  for (u32 c = first; c <= last; ++c) spec.codes.insert(c);
  spec.advance = advance;
  return spec;
}

}  // namespace fonttest
