// The figures the job pages write, at the values where rounding up, down
// and half up part: the measured speed's factor of 1x for each medium's
// unit (CD 176, DVD 1385, BD and HD DVD 4495 kB/s), the drive's progress
// percentage for every status, and times at the digits' edges.
#include <gtest/gtest.h>

#include <string>

#include "app/pages/job_page_texts.h"
#include "jobs/job_page.h"
#include "runtime/ui_strings.h"
#include "support/language_scope.h"

namespace {

std::u16string Factor(u32 measured, u32 unit) {
  CWideString out;
  AppendSpeedFactor(&out, measured, unit);
  return std::u16string(out.c_str(), static_cast<size_t>(out.GetLength()));
}

// Tenths of measured / unit, rounded half up; the tenth is written only
// when it is not 0, and a rounding that carries gives the next whole x.
TEST(PageFigures, SpeedFactorRoundsItsTenthHalfUp) {
  struct Case {
    u32 measured, unit;
    const char16_t* text;
  } cases[] = {
      // CD: 44 / 176 is 0.25 exactly.
      {44, 176, u"0.3"},
      {43, 176, u"0.2"},
      {8, 176, u"0"},
      {175, 176, u"1"},    // 0.994: up to the whole factor
      {176, 176, u"1"},
      {2111, 176, u"12"},  // 11.994
      {1751, 176, u"9.9"},
      {1752, 176, u"10"},  // 9.955 carries into the next whole x
      {8448, 176, u"48"},
      // DVD
      {69, 1385, u"0"},    // 0.0498
      {70, 1385, u"0.1"},  // 0.0505
      {692, 1385, u"0.5"},
      {20774, 1385, u"15"},
      {20705, 1385, u"14.9"},
      // BD and HD DVD
      {224, 4495, u"0"},
      {225, 4495, u"0.1"},
      {2247, 4495, u"0.5"},
      {4495, 4495, u"1"},
      {53940, 4495, u"12"},
      // No speed overflows the arithmetic.
      {0xFFFFFFFFu, 1, u"4294967295"},
      {0xFFFFFFFFu, 176, u"24403223.3"},
  };
  for (const Case& c : cases) EXPECT_EQ(std::u16string(c.text), Factor(c.measured, c.unit)) << c.measured << "/" << c.unit;
}

std::u16string Line(const BurnStatusFigures& f) {
  CWideString out;
  BuildBurnStatusLine(&out, f);
  return std::u16string(out.c_str(), static_cast<size_t>(out.GetLength()));
}

// The drive's progress shows for its long operations only (closing, the
// lead-in and lead-out, the cache flush, the erases and the quick format),
// from 0 % on, and never above 100 %.
TEST(PageFigures, DriveProgressForEachStatus) {
  CLanguageScope english(kLanguageEnglish);
  const u32 shown[] = {kStatusClosingTrack, kStatusClosingSession, kStatusFinalizing, kStatusSyncCache,
                       kStatusLeadIn,       kStatusLeadOut,        kStatusQuickErase, kStatusFullErase,
                       kStatusQuickFormat};
  const u32 notShown[] = {kStatusFullFormat, kStatusContinueFormat, kStatusLoadingCache, kStatusBurning,
                          kStatusVerifying,  kStatusCopyingToDisk,  kStatusWaitingForDisc};
  for (u32 status : shown) {
    const std::u16string text(GetUiText(status));
    EXPECT_EQ(text + u" (0%)", Line({status, 0, 0, 0, 150, 0, 0})) << status;
    EXPECT_EQ(text + u" (99%)", Line({status, 0, 0, 0, 150, 99, 0})) << status;
    EXPECT_EQ(text + u" (100%)", Line({status, 0, 0, 0, 150, 100, 0})) << status;
    EXPECT_EQ(text + u" (100%)", Line({status, 0, 0, 0, 150, 101, 0})) << status;
    EXPECT_EQ(text, Line({status, 0, 0, 0, 150, -1, 0})) << status;
  }
  for (u32 status : notShown) EXPECT_EQ(std::u16string(GetUiText(status)), Line({status, 0, 0, 0, 150, 50, 0})) << status;
}

}  // namespace
