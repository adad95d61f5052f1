// The skin pictures built into the executable, read back as the program
// reads them: each decodes with the program's own decoder to the size and
// frame count its users draw from, every frame holds a picture on a
// see-through ground, and the window class icon holds both of its sizes.
#include <gtest/gtest.h>

#include "render/bitmap.h"
#include "render/image_strip.h"
#include "render/skin_ids.h"
#include "render/skin_resource.h"
#include "runtime/win.h"

namespace {

struct ExpectedSkin {
  u16 id;
  const char* role;
  u32 width, height;
  i32 frames;
};

const ExpectedSkin kSkins[] = {
    {IDR_SKIN_APP_ICON, "caption icon", 16, 16, 1},
    {IDR_SKIN_MENU_ICONS, "menu icons", 432, 16, 27},
    {IDR_SKIN_MESSAGE_ICONS, "message box signs", 192, 48, 4},
    {IDR_SKIN_NOTICE, "notice", 48, 48, 1},
    {IDR_SKIN_HOST_BACKGROUND, "page host corner", 400, 400, 1},
    {IDR_SKIN_START_ICONS, "start tiles", 160, 32, 5},
    {IDR_SKIN_JOB_BUTTONS, "job buttons", 64, 16, 4},
    {IDR_SKIN_JOB_STATUS, "job results", 48, 16, 3},
    {IDR_SKIN_WATERMARK, "watermark", 128, 128, 1},
    {IDR_SKIN_PULSE, "pulse picture", 16, 16, 1},
    {IDR_SKIN_BROWSE_ICONS, "browse tool bar", 112, 16, 7},
    {IDR_SKIN_AUDIO_TILE, "audio page tile", 96, 96, 1},
};

// Drawn and see-through pixels of one frame.
void CountFrame(const BitmapView& v, u32* drawn, u32* clear) {
  *drawn = *clear = 0;
  for (i32 y = 0; y < v.height; ++y)
    for (i32 x = 0; x < v.width; ++x) {
      const u32 alpha = v.pixels[static_cast<size_t>(y) * v.stride + x] >> 24;
      if (alpha == 0) ++*clear;
      else ++*drawn;
    }
}

}  // namespace

TEST(SkinResources, EverySkinDecodesToItsSizeAndFramesWithAPictureInEachFrame) {
  for (const ExpectedSkin& skin : kSkins) {
    SCOPED_TRACE(skin.role);
    CImageStrip strip;
    ASSERT_TRUE(LoadSkinStrip(skin.id, skin.frames, &strip));
    EXPECT_EQ(strip.bitmap->width, skin.width);
    EXPECT_EQ(strip.bitmap->height, skin.height);
    EXPECT_EQ(strip.FrameCount(), skin.frames);
    EXPECT_EQ(strip.frameWidth, skin.height);
    for (i32 n = 0; n < skin.frames; ++n) {
      BitmapView frame;
      strip.GetFrame(n, &frame);
      u32 drawn, clear;
      CountFrame(frame, &drawn, &clear);
      const u32 area = skin.height * skin.height;
      EXPECT_GE(drawn * 20, area) << "frame " << n << " is (nearly) empty";
      EXPECT_GT(clear, 0u) << "frame " << n << " has no see-through ground";
    }
    CBitmap* bitmap = LoadSkinBitmap(skin.id);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->width, skin.width);
    EXPECT_EQ(bitmap->height, skin.height);
    CBitmap::Destroy(bitmap);
  }
}

TEST(SkinResources, AMissingSkinOrAnotherFrameCountIsAFailedLoad) {
  CImageStrip strip;
  EXPECT_FALSE(LoadSkinStrip(IDR_SKIN_MENU_ICONS, SKIN_MENU_ICON_COUNT + 1, &strip));
  EXPECT_EQ(strip.bitmap, nullptr);
  EXPECT_EQ(strip.FrameCount(), 0);
  EXPECT_FALSE(LoadSkinStrip(199, 1, &strip));
  EXPECT_EQ(LoadSkinBitmap(199), nullptr);
  const void* data;
  u32 size;
  EXPECT_FALSE(FindSkinData(IDI_KELVANE, &data, &size));  // an icon, not picture data
}

TEST(SkinResources, TheWindowIconHoldsThirtyTwoAndSixteenPixelImages) {
  HMODULE module = GetModuleHandleW(nullptr);
  HRSRC group = FindResourceW(module, MAKEINTRESOURCEW(IDI_KELVANE), MAKEINTRESOURCEW(14));  // RT_GROUP_ICON
  ASSERT_NE(group, nullptr);
  const u8* dir = static_cast<const u8*>(LockResource(LoadResource(module, group)));
  const DWORD bytes = SizeofResource(module, group);
  ASSERT_GE(bytes, 6u);
  const u16 count = static_cast<u16>(dir[4] | dir[5] << 8);
  ASSERT_EQ(bytes, 6u + 14u * count);  // header, then 14-byte entries
  bool has32 = false, has16 = false;
  for (u16 i = 0; i < count; ++i) {
    const u8* entry = dir + 6 + 14 * i;
    const u32 side = entry[0], bits = static_cast<u32>(entry[6] | entry[7] << 8);
    EXPECT_EQ(entry[1], entry[0]);
    EXPECT_EQ(bits, 32u) << "icon " << side << " without its alpha";
    has32 |= side == 32;
    has16 |= side == 16;
  }
  EXPECT_TRUE(has32);
  EXPECT_TRUE(has16);
  for (int side : {32, 16}) {
    HICON icon = static_cast<HICON>(
        LoadImageW(module, MAKEINTRESOURCEW(IDI_KELVANE), IMAGE_ICON, side, side, 0));
    ASSERT_NE(icon, nullptr) << side;
    ICONINFO info;
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP colour;
    ASSERT_NE(GetObjectW(info.hbmColor, sizeof(colour), &colour), 0);
    EXPECT_EQ(colour.bmWidth, side);
    EXPECT_EQ(colour.bmHeight, side);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyIcon(icon);
  }
}
