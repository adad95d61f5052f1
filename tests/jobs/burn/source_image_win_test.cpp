// Opening an image file as a burn source.
#include <gtest/gtest.h>

#include <cstdio>

#include "jobs/burn/burn_source_image.h"

TEST(ImageFileSourceOpen, MissingFileFails) {
  CImageFileSource source;
  EXPECT_TRUE(Failed(source.Open(u"no such folder\\missing image.iso", true)));
  EXPECT_FALSE(source.IsOpen());
}

TEST(ImageFileSourceOpen, ReadsAFileWhole) {
  const char* name = "jobframe_source_open.iso";
  std::FILE* f = std::fopen(name, "wb");
  ASSERT_NE(nullptr, f);
  for (int i = 0; i < 3 * 2048; ++i) std::fputc(i % 251, f);
  std::fclose(f);
  {
    CImageFileSource source;
    ASSERT_EQ(kHrOk, source.Open(u"jobframe_source_open.iso", true));
    u64 size = 0;
    ASSERT_EQ(kHrOk, source.GetSize(&size));
    EXPECT_EQ(3u * 2048, size);
    u8 buffer[8192];
    u64 got = 0;
    ASSERT_EQ(kHrOk, source.Read(buffer, sizeof(buffer), &got));
    EXPECT_EQ(3u * 2048, got);
    EXPECT_EQ(250, buffer[250]);
    EXPECT_EQ(0, buffer[251]);
  }
  std::remove(name);
}
