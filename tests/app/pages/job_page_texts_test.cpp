// The job pages' texts made from figures: the burn status line exactly as
// the page shows it in both languages, the times, and the remaining-time
// estimator over a table of progress samples.
#include <gtest/gtest.h>

#include <string>

#include "app/pages/job_page_texts.h"
#include "jobs/job_page.h"
#include "runtime/ui_strings.h"
#include "support/language_scope.h"

namespace {

std::u16string Line(const BurnStatusFigures& f) {
  CWideString out;
  BuildBurnStatusLine(&out, f);
  return out.c_str();
}

TEST(BurnStatusLine, ReadsAsTheJobPublishedIt) {
  CLanguageScope english(kLanguageEnglish);
  struct Case {
    BurnStatusFigures f;
    const char16_t* expected;
  } cases[] = {
      // The status text ends in a blank and one more comes before the factor.
      {{kStatusBurning, 16, 2400, 0, 150, -1, 0}, u"Burning at  16x (2400Kb/s)"},
      // Measured speed, truncated and with one decimal; dots = elapsed mod 4.
      {{kStatusBurning, 16, 2400, 2116, 176, -1, 4}, u"Burning at  16x (2400Kb/s) - 12x (2116Kb/s)"},
      {{kStatusBurning, 16, 2400, 2200, 176, -1, 7}, u"Burning at  16x (2400Kb/s) - 12.5x (2200Kb/s)..."},
      // No factor yet: the text alone.
      {{kStatusBurning, 0, 0, 0, 0, -1, 1}, u"Burning at ."},
      // The drive's progress only for its long operations, only when told.
      {{kStatusClosingSession, 0, 0, 0, 0, 42, 2}, u"Closing session (42%).."},
      {{kStatusClosingSession, 0, 0, 0, 0, -1, 0}, u"Closing session"},
      {{kStatusVerifying, 0, 0, 0, 0, 42, 0}, u"Verifying"},
      {{kStatusQuickErase, 0, 0, 0, 0, 7, 0}, u"Quick erase (7%)"},
      // "Finished" stands alone, status 0 shows nothing.
      {{kStatusFinished, 8, 1200, 1000, 150, 5, 3}, u"Finished"},
      {{kStatusNone, 8, 1200, 1000, 150, 5, 3}, u""},
      // A zero unit never divides.
      {{kStatusVerifying, 0, 0, 300, 0, -1, 0}, u"Verifying - 0x (300Kb/s)"},
  };
  for (const Case& c : cases) EXPECT_EQ(Line(c.f), c.expected) << "status " << c.f.status;
}

TEST(BurnStatusLine, SpanishHasOneBlankBeforeTheFactor) {
  CLanguageScope spanish(kLanguageSpanish);
  EXPECT_EQ(Line({kStatusBurning, 16, 2400, 0, 150, -1, 0}), u"Grabando a 16x (2400Kb/s)");
}

TEST(RemainingTime, NothingUntilFourChangingSamplesThenTheMeanRate) {
  TimeSample h[4] = {};
  struct Step {
    double seconds, fraction;
    u32 expectedMs;
  } steps[] = {
      {1, 0.125, 0}, {2, 0.25, 0}, {3, 0.375, 0},  // fewer than four samples: nothing
      {4, 0.5, 0},                                 // no older rate yet: nothing, no wild guess
      {5, 0.625, 3000},                            // 1/8 per second, 3/8 to go
      {6, 0.75, 2000},
      {7, 1.0, 0},                                 // done: nothing
  };
  for (const Step& s : steps) EXPECT_EQ(ComputeTimes(h, s.fraction, s.seconds), s.expectedMs) << s.seconds;
}

TEST(RemainingTime, StalledOrBackwardProgressGivesNoEstimate) {
  TimeSample stalled[4] = {};
  for (double t = 1; t <= 6; ++t) EXPECT_EQ(ComputeTimes(stalled, 0.25, t), 0u) << t;
  TimeSample backward[4] = {};
  const double fractions[] = {0.5, 0.4, 0.3, 0.2, 0.1, 0.05};
  for (u32 i = 0; i < 6; ++i) EXPECT_EQ(ComputeTimes(backward, fractions[i], i + 1.0), 0u) << i;
  // Samples in the same instant never divide by zero.
  TimeSample instant[4] = {};
  for (u32 i = 0; i < 6; ++i) EXPECT_EQ(ComputeTimes(instant, 0.1 * i, 3.0), 0u);
}

}  // namespace
