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

// ImageMagick's files and the encoder's with forced and mixed filters give
// libpng's pixels; both refuse a bad filter byte.
TEST(PngAgainstLibPng, SamePixelsAndSameRefusals) {
  LibPng libpng;
  ASSERT_TRUE(libpng.Loaded()) << "libpng16 not found";
  std::vector<Bytes> files;
  for (const char* name : {"png_unfiltered", "png_adaptive", "png_adaptive_level9", "png_tiny", "png_odd", "png_comment",
                           "png_strip_wide", "png_strip_tall", "png_strip_16x40"}) {
    files.emplace_back();
    ASSERT_TRUE(ReadFixture(std::string(name) + ".png", &files.back())) << name << " missing";
  }
  const std::vector<std::vector<u8>> filterSets = {{0}, {1}, {2}, {3}, {4}, {4, 3, 2, 1, 0}, {3, 3, 4, 1}};
  for (auto s : {std::make_pair(1u, 1u), std::make_pair(7u, 3u), std::make_pair(64u, 40u), std::make_pair(129u, 65u)})
    for (const auto& filters : filterSets)
      files.push_back(
          MakePng(TestPicture(s.first, s.second, s.first + s.second), s.first, s.second, filters, {3, 0, 50}));
  for (size_t i = 0; i < files.size(); ++i) {
    Bytes reference;
    u32 w = 0, h = 0;
    ASSERT_TRUE(libpng.Decode(files[i], &reference, &w, &h)) << "file " << i;
    CBitmap* bitmap = CBitmap::LoadPng(files[i].data(), static_cast<u32>(files[i].size()));
    ASSERT_NE(bitmap, nullptr) << "file " << i;
    EXPECT_TRUE(bitmap->width == w && bitmap->height == h && TopDownRgba(bitmap) == reference) << "file " << i;
    CBitmap::Destroy(bitmap);
  }
  const Bytes bad = MakePng(TestPicture(4, 4, 1), 4, 4, {0, 0, 5});
  Bytes rgba;
  u32 w, h;
  EXPECT_FALSE(libpng.Decode(bad, &rgba, &w, &h));
  EXPECT_EQ(CBitmap::LoadPng(bad.data(), static_cast<u32>(bad.size())), nullptr);
}

}  // namespace
