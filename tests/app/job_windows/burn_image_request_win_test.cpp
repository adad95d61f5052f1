// The burn-image window's accept and its stored choices: the request filled
// from the window's entries, the disc-at-once cue sheet of images in each
// sector layout, the choices' registry round trip (bad values ignored), and
// the sector count of an image beyond 4 GiB.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "app/job_windows/burn_image_info.h"
#include "app/job_windows/burn_image_request.h"
#include "app/job_windows/burn_image_settings.h"
#include "tests/app/job_windows/scratch_settings_root_win.h"
#include "tests/app/job_windows/sparse_file_win.h"

namespace {

BurnWindowChoices Choices(const CArray<u32>& drives, const CArray<u32>& speeds) {
  BurnWindowChoices c = {};
  c.driveMap = &drives;
  c.speedValues = &speeds;
  c.finalize = c.bufe = c.verify = true;
  c.imagePath = u"fixtures/iso/joliet.iso";
  c.imageSectors = 1234;
  return c;
}

TEST(BurnImageRequest, EntriesBecomeDriveSpeedMethodAndOptions) {
  // Drives 0 and 2 are free recorders (1 is held by a job): entry 1 is drive 2.
  CArray<u32> drives(16), speeds(16);
  drives.Add(0);
  drives.Add(2);
  for (u32 kbs : {1764u, 3528u, 7056u}) speeds.Add(kbs);
  struct Case {
    const char* name;
    i32 driveEntry, speedEntry, methodEntry;
    bool extraSize, mode2Checked, mode2Enabled;
    i32 destination;
    u32 writeSpeed, method;
    u8 optionsSet, optionsClear;
  } cases[] = {
      {"auto speed, track at once", 0, 0, 0, false, false, true, 0, kWriteSpeedAutomatic, kMethodTrackAtOnce,
       kOptionVerify | kOptionBufe | kOptionCloseDisc, kOptionOverburn | kOptionMode2Form1},
      {"maximum, second drive", 1, 1, 1, false, false, true, 2, kWriteSpeedMaximum, kMethodDiscAtOnce, 0, 0},
      {"speed entry i is value i-2", 1, 3, 1, false, false, true, 2, 3528, kMethodDiscAtOnce, 0, 0},
      {"last speed", 0, 4, 0, false, false, true, 0, 7056, kMethodTrackAtOnce, 0, 0},
      {"overburn forces disc at once", 0, 0, 0, true, false, true, 0, 0, kMethodDiscAtOnce, kOptionOverburn, 0},
      {"mode 2 only when enabled", 0, 0, 0, false, true, false, 0, 0, kMethodTrackAtOnce, 0, kOptionMode2Form1},
      {"mode 2 checked and enabled", 0, 0, 0, false, true, true, 0, 0, kMethodTrackAtOnce, kOptionMode2Form1, 0},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    BurnRequest r;
    BurnWindowChoices c = Choices(drives, speeds);
    c.driveEntry = k.driveEntry;
    c.speedEntry = k.speedEntry;
    c.methodEntry = k.methodEntry;
    c.extraSize = k.extraSize;
    c.mode2Checked = k.mode2Checked;
    c.mode2Enabled = k.mode2Enabled;
    ASSERT_TRUE(FillBurnRequest(&r, c));
    EXPECT_EQ(r.destination, k.destination);
    EXPECT_EQ(r.writeSpeed, k.writeSpeed);
    EXPECT_EQ(r.method, k.method);
    EXPECT_EQ(r.options & k.optionsSet, k.optionsSet);
    EXPECT_EQ(r.options & k.optionsClear, 0);
    ASSERT_NE(r.FirstTrack(), nullptr);
    EXPECT_EQ(r.FirstTrack()->sectorCount, 1234u);
    EXPECT_EQ(r.FirstTrack()->sectorSize, 2048u);
    EXPECT_EQ(r.FirstTrack()->mode2Form1, (r.options & kOptionMode2Form1) ? 1 : 0);
  }
  // No drive behind the entry: nothing is filled.
  BurnRequest untouched;
  BurnWindowChoices none = Choices(drives, speeds);
  none.driveEntry = 2;
  EXPECT_FALSE(FillBurnRequest(&untouched, none));
  EXPECT_EQ(untouched.destination, kNoDrive);
  // A layout that is already there (audio) gets no image track.
  BurnRequest audio;
  TrackList* session = audio.sessions.AppendNew();
  session->AppendNew()->sectorCount = 5000;
  ASSERT_TRUE(FillBurnRequest(&audio, Choices(drives, speeds)));
  EXPECT_EQ(audio.SumTrackSectors(false), 5000u);
}

u64 FileSize(const char* path) {
  FILE* f = std::fopen(path, "rb");
  if (!f) return 0;
  std::fseek(f, 0, SEEK_END);
  const long n = std::ftell(f);
  std::fclose(f);
  return n > 0 ? static_cast<u64>(n) : 0;
}

// The same data as a 2048-byte image and in the raw 2352 and 2336 layouts:
// one cue sheet each, lead-in, track 1 at -150 and 0, lead-out after the
// user data, data form 0x10 (0x20 with Mode 2 form 1).
TEST(BurnImageRequest, DiscAtOnceCueSheetForEachSectorLayout) {
  const u64 blocks = FileSize("fixtures/iso/joliet.iso") / 2048;
  ASSERT_GT(blocks, 0u);
  const u32 lba = static_cast<u32>(blocks) + 150;
  const u8 m = static_cast<u8>(lba / 4500), s = static_cast<u8>(lba / 75 % 60), f = static_cast<u8>(lba % 75);
  for (const char16_t* path : {u"fixtures/iso/joliet.iso", u"fixtures/iso/joliet.mode1.bin",
                               u"fixtures/iso/joliet.2336.bin"}) {
    for (bool mode2 : {false, true}) {
      SCOPED_TRACE(std::string(path, path + std::char_traits<char16_t>::length(path)) + (mode2 ? " mode2" : ""));
      BurnRequest r;
      r.imagePath.Assign(path);
      if (mode2) r.options |= kOptionMode2Form1;
      ASSERT_TRUE(AddImageCueSheet(&r));
      ASSERT_EQ(r.cueSheets.GetCount(), 1u);
      const CueSheet& sheet = r.cueSheets[0];
      const u8 d = mode2 ? 0x20 : 0x10, g = static_cast<u8>(d + 4);
      const u8 expected[4][8] = {{0x41, 0, 0, g, 0, 0, 0, 0},
                                 {0x41, 1, 0, d, 0, 0, 0, 0},
                                 {0x41, 1, 1, d, 0, 0, 2, 0},
                                 {0x41, 0xAA, 1, g, 0, m, s, f}};
      ASSERT_EQ(sheet.count, 4u);
      for (u32 e = 0; e < 4; ++e)
        for (u32 b = 0; b < 8; ++b) EXPECT_EQ(sheet.entries[e][b], expected[e][b]) << e << "," << b;
    }
  }
  // An image that cannot be opened: no cue sheet.
  BurnRequest missing;
  missing.imagePath.Assign(u"fixtures/iso/no-such-image.iso");
  EXPECT_FALSE(AddImageCueSheet(&missing));
  EXPECT_EQ(missing.cueSheets.GetCount(), 0u);
}

class BurnImageSettingsTest : public testing::Test {
 protected:
  void SetUp() override {
    key_.SetRoot(root_.c_str());
  }
  CScratchSettingsRoot root_{L"burn"};
  CSettingsKey key_;
};

TEST_F(BurnImageSettingsTest, ChoicesRoundTripAndBadValuesKeepThePresets) {
  BurnImageSettings fresh;
  ReadBurnImageSettings(key_, false, &fresh);
  EXPECT_FALSE(fresh.mode2Form1);
  EXPECT_TRUE(fresh.finalize);
  EXPECT_FALSE(fresh.verify);
  EXPECT_TRUE(fresh.bufe);
  EXPECT_EQ(fresh.method, 0);
  EXPECT_TRUE(ReadAskForOverburn(key_));

  WriteBurnImageOption(key_, kValueMode2Form1, true);
  WriteBurnImageOption(key_, kValueFinalizeDisc, false);
  WriteBurnImageOption(key_, kValueVerify, true);
  WriteBurnImageOption(key_, kValueBufe, false);
  WriteBurnMethod(key_, 1);
  StopAskingForOverburn(key_);
  BurnImageSettings stored;
  ReadBurnImageSettings(key_, false, &stored);
  EXPECT_TRUE(stored.mode2Form1);
  EXPECT_FALSE(stored.finalize);
  EXPECT_TRUE(stored.verify);
  EXPECT_FALSE(stored.bufe);
  EXPECT_EQ(stored.method, 1);
  EXPECT_FALSE(ReadAskForOverburn(key_));

  // A method the list does not have is ignored.
  key_.WriteDword(kImageKey, kValueBurnMethod, 7);
  BurnImageSettings bad;
  ReadBurnImageSettings(key_, false, &bad);
  EXPECT_EQ(bad.method, 0);
  key_.WriteDword(kImageKey, kValueBurnMethod, 0xFFFFFFFFu);
  ReadBurnImageSettings(key_, false, &bad);
  EXPECT_EQ(bad.method, 0);

  // The audio project keeps Mode 2 off and disc at once, whatever is stored.
  BurnImageSettings audio;
  ReadBurnImageSettings(key_, true, &audio);
  EXPECT_FALSE(audio.mode2Form1);
  EXPECT_FALSE(audio.mode2Enabled);
  EXPECT_EQ(audio.method, 1);
  EXPECT_FALSE(audio.methodEnabled);
}

// A sparse 5 GiB image: its sector count comes from all 64 bits of its size
// (the low 32 bits alone would give 256 MiB); a count beyond 32 bits is
// refused.
TEST(BurnImageInfo, SizesAreSixtyFourBit) {
  const CSparseFile image(nullptr, 5ull << 30);
  ASSERT_NE(nullptr, image.Path());
  BurnImageInfo info;
  ASSERT_TRUE(ReadBurnImageInfo(image.Path(), &info));
  EXPECT_EQ(info.bytes, 5ull << 30);
  EXPECT_EQ(info.sectors, 2621440u);
  EXPECT_FALSE(info.tooLarge);

  u32 sectors = 0;
  EXPECT_TRUE(ImageSectorsFit(0xFFFFFFFFull * 2048, &sectors));
  EXPECT_EQ(sectors, 0xFFFFFFFFu);
  EXPECT_FALSE(ImageSectorsFit(0x100000000ull * 2048, &sectors));
  EXPECT_EQ(sectors, 0u);

  CWideString text;
  FormatImageSize(5ull << 30, &text);
  EXPECT_EQ(std::u16string(text.c_str()), u"5.368.709.120 bytes (5.00 GB)");
  FormatImageSize(999, &text);
  EXPECT_EQ(std::u16string(text.c_str()), u"999 bytes (999.00 Bytes)");
}

}  // namespace
