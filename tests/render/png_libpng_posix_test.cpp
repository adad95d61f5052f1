// The decoder against libpng's own decode of the same files (native build).
// libpng is loaded at run time, so only this test needs it.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <png.h>

#include <string>

#include "png_test_encoder.h"
#include "render/bitmap.h"

using namespace pngtest;

namespace {

class LibPng {
 public:
  LibPng() {
    module_ = dlopen("libpng16.so.16", RTLD_NOW | RTLD_LOCAL);
    if (!module_) return;
    begin_ = reinterpret_cast<decltype(begin_)>(dlsym(module_, "png_image_begin_read_from_memory"));
    finish_ = reinterpret_cast<decltype(finish_)>(dlsym(module_, "png_image_finish_read"));
    free_ = reinterpret_cast<decltype(free_)>(dlsym(module_, "png_image_free"));
  }
  ~LibPng() {
    if (module_) dlclose(module_);
  }
  bool Loaded() const { return begin_ && finish_ && free_; }

  // RGBA bytes, top row first; false when libpng refuses the file.
  bool Decode(const Bytes& png, Bytes* rgba, u32* width, u32* height) {
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    if (!begin_(&image, png.data(), png.size())) return false;
    image.format = PNG_FORMAT_RGBA;
    rgba->assign(PNG_IMAGE_SIZE(image), 0);
    if (!finish_(&image, nullptr, rgba->data(), 0, nullptr)) {
      free_(&image);
      return false;
    }
    *width = image.width;
    *height = image.height;
    return true;
  }

 private:
  void* module_ = nullptr;
  decltype(&png_image_begin_read_from_memory) begin_ = nullptr;
  decltype(&png_image_finish_read) finish_ = nullptr;
  decltype(&png_image_free) free_ = nullptr;
};

void ExpectSameAsLibPng(LibPng& libpng, const Bytes& png) {
  Bytes reference;
  u32 w = 0, h = 0;
  ASSERT_TRUE(libpng.Decode(png, &reference, &w, &h));
  CBitmap* bitmap = CBitmap::LoadPng(png.data(), static_cast<u32>(png.size()));
  ASSERT_NE(bitmap, nullptr);
  EXPECT_EQ(bitmap->width, w);
  EXPECT_EQ(bitmap->height, h);
  EXPECT_TRUE(TopDownRgba(bitmap) == reference);
  CBitmap::Destroy(bitmap);
}

}  // namespace

TEST(PngAgainstLibPng, ImageMagickFiles) {
  LibPng libpng;
  ASSERT_TRUE(libpng.Loaded()) << "libpng16 not found";
  const char* const names[] = {"png_unfiltered", "png_adaptive", "png_adaptive_level9",
                               "png_tiny",       "png_odd",      "png_comment",
                               "png_strip_wide", "png_strip_tall", "png_strip_16x40"};
  for (const char* name : names) {
    SCOPED_TRACE(name);
    Bytes png;
    ASSERT_TRUE(ReadFixture(std::string(name) + ".png", &png)) << "fixture missing";
    ExpectSameAsLibPng(libpng, png);
  }
}

TEST(PngAgainstLibPng, EncoderFilesWithForcedAndMixedFilters) {
  LibPng libpng;
  ASSERT_TRUE(libpng.Loaded()) << "libpng16 not found";
  const std::vector<std::vector<u8>> filterSets = {{0}, {1}, {2}, {3}, {4}, {4, 3, 2, 1, 0}, {3, 3, 4, 1}};
  const u32 sizes[][2] = {{1, 1}, {7, 3}, {64, 40}, {129, 65}};
  for (auto& s : sizes) {
    Bytes pixels = TestPicture(s[0], s[1], s[0] + s[1]);
    for (const auto& filters : filterSets) {
      SCOPED_TRACE(std::to_string(s[0]) + "x" + std::to_string(s[1]) + " first filter " +
                   std::to_string(filters[0]));
      ExpectSameAsLibPng(libpng, MakePng(pixels, s[0], s[1], filters, {3, 0, 50}));
    }
  }
}

TEST(PngAgainstLibPng, BothRefuseABadFilterByte) {
  LibPng libpng;
  ASSERT_TRUE(libpng.Loaded()) << "libpng16 not found";
  Bytes png = MakePng(TestPicture(4, 4, 1), 4, 4, {0, 0, 5});
  Bytes rgba;
  u32 w, h;
  EXPECT_FALSE(libpng.Decode(png, &rgba, &w, &h));
  EXPECT_EQ(CBitmap::LoadPng(png.data(), static_cast<u32>(png.size())), nullptr);
}
