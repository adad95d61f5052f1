// The burn-image window's accept at the edges of its entries: an unchecked
// box clears the option the fresh request had on, the options the window
// does not own (direct copy, the audio project, bit 7) stay as they were,
// and a speed entry outside the drive's table asks for the automatic speed.
#include <gtest/gtest.h>

#include "app/job_windows/burn_image_request.h"

namespace {

TEST(BurnImageRequestEdges, UncheckedBoxesClearAndForeignOptionsStay) {
  CArray<u32> drives(16), speeds(16);
  drives.Add(3);
  struct Case {
    const char* name;
    u8 before;  // the request's options before the accept
    bool finalize, bufe, verify, extraSize;
    u8 after;
  } cases[] = {
      {"all off on a fresh request", kOptionVerify | kOptionBufe | kOptionCloseDisc, false, false, false, false, 0},
      {"verify alone", kOptionVerify | kOptionBufe | kOptionCloseDisc, false, false, true, false, kOptionVerify},
      {"finalize alone", kOptionVerify | kOptionBufe | kOptionCloseDisc, true, false, false, false, kOptionCloseDisc},
      {"buffer protection alone", 0, false, true, false, false, kOptionBufe},
      {"overburn taken back", kOptionOverburn | kOptionMode2Form1, false, false, false, false, 0},
      {"the audio project's bits stay", kOptionAudioProject | kOptionDirectCopy | 0x80 | kOptionOverburn, false, false,
       false, true, kOptionAudioProject | kOptionDirectCopy | 0x80 | kOptionOverburn},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    BurnRequest r;
    r.options = c.before;
    BurnWindowChoices choices = {};
    choices.driveMap = &drives;
    choices.speedValues = &speeds;
    choices.methodEntry = 0;
    choices.finalize = c.finalize;
    choices.bufe = c.bufe;
    choices.verify = c.verify;
    choices.extraSize = c.extraSize;
    choices.imageSectors = 10;
    ASSERT_TRUE(FillBurnRequest(&r, choices));
    EXPECT_EQ(c.after, r.options);
    EXPECT_EQ(3, r.destination);
  }
}

TEST(BurnImageRequestEdges, SpeedEntriesBeyondTheTable) {
  CArray<u32> drives(16), speeds(16);
  drives.Add(0);
  for (u32 kbs : {1764u, 3528u, 7056u}) speeds.Add(kbs);
  struct Case {
    i32 entry;
    bool withTable;
    u32 speed;
  } cases[] = {
      {-1, true, kWriteSpeedAutomatic},  // nothing chosen
      {2, true, 1764},                   // the table's first
      {4, true, 7056},                   // its last
      {5, true, kWriteSpeedAutomatic},   // one past it
      {2, false, kWriteSpeedAutomatic},  // no table at all
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.entry);
    BurnRequest r;
    BurnWindowChoices choices = {};
    choices.driveMap = &drives;
    choices.speedValues = c.withTable ? &speeds : nullptr;
    choices.speedEntry = c.entry;
    choices.imageSectors = 10;
    ASSERT_TRUE(FillBurnRequest(&r, choices));
    EXPECT_EQ(c.speed, r.writeSpeed);
  }
}

}  // namespace
