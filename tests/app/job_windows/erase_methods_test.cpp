// The erase window's methods per medium, over the simulated recorder, and
// the entry it selects when its list changes.
#include <gtest/gtest.h>

#include <vector>

#include "app/job_windows/erase_methods.h"
#include "support/recorder_fixture.h"

namespace {

class EraseMethodsTest : public RecorderTest {};

TEST_F(EraseMethodsTest, MethodsPerMedium) {
  struct Case {
    const char* name;
    bool formattable;  // the drive's Formattable feature
    MediumPreset preset;
    DiscFill fill;
    std::vector<u32> ids;
  };
  const Case cases[] = {
      {"CD-RW, formattable drive", true, MediumPreset::kCdRw, DiscFill::kComplete, {66, 67, 69}},
      {"CD-RW, drive without Formattable", false, MediumPreset::kCdRw, DiscFill::kComplete, {66, 67}},
      {"DVD-RW sequential", true, MediumPreset::kDvdRwSequential, DiscFill::kComplete, {66, 67, 68, 69}},
      {"DVD-RW restricted overwrite", true, MediumPreset::kDvdRwRestricted, DiscFill::kComplete, {66, 67, 68, 69}},
      {"DVD-RAM", true, MediumPreset::kDvdRam, DiscFill::kComplete, {68, 69}},
      {"DVD+RW formatted", true, MediumPreset::kDvdPlusRw, DiscFill::kComplete, {68, 69}},
      {"DVD+RW, background format stopped", true, MediumPreset::kDvdPlusRw, DiscFill::kAppendable, {68, 69, 70}},
      {"HD DVD-RW", true, MediumPreset::kHdDvdRw, DiscFill::kComplete, {68, 69}},
      // The dual-layer kinds follow their single-layer kind, except DVD-RW
      // DL, which the job cannot erase; HD DVD-RAM and BD-R in random
      // recording get nothing either.
      {"DVD+RW DL formatted", true, MediumPreset::kDvdPlusRwDualLayer, DiscFill::kComplete, {68, 69}},
      {"DVD+RW DL, background format stopped", true, MediumPreset::kDvdPlusRwDualLayer, DiscFill::kAppendable,
       {68, 69, 70}},
      {"DVD+RW never formatted", true, MediumPreset::kDvdPlusRw, DiscFill::kBlank, {68, 69}},
      {"HD DVD-RW DL", true, MediumPreset::kHdDvdRwDualLayer, DiscFill::kComplete, {68, 69}},
      {"DVD-RW DL", true, MediumPreset::kDvdRwDualLayer, DiscFill::kComplete, {}},
      {"HD DVD-RAM", true, MediumPreset::kHdDvdRam, DiscFill::kComplete, {}},
      {"BD-R random recording", true, MediumPreset::kBdRRandom, DiscFill::kComplete, {}},
      {"blank CD-RW, formattable drive", true, MediumPreset::kCdRw, DiscFill::kBlank, {66, 67, 69}},
      {"BD-RE: nothing the job can send", true, MediumPreset::kBdRe, DiscFill::kComplete, {}},
      {"CD-R", true, MediumPreset::kCdR, DiscFill::kComplete, {}},
  };
  bool attached = false;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DriveIdentity id;
    id.formattableFeature = c.formattable;
    if (!attached) {
      Attach(id);
      attached = true;
    } else {
      recorder_.SetIdentity(id);
    }
    if (recorder_.HasMedium()) recorder_.RemoveMedium();
    Insert(c.preset, c.fill);
    CDrive d;
    ASSERT_TRUE(OpenDrive(&d));
    u32 ids[kMaxEraseMethods] = {};
    const u32 n = ListEraseMethods(d, ids);
    EXPECT_EQ(c.ids, std::vector<u32>(ids, ids + n));
  }
}

TEST(EraseMethods, CodesAndReselection) {
  EXPECT_EQ(-1, EraseMethodCode(65));
  EXPECT_EQ(1, EraseMethodCode(66));
  EXPECT_EQ(5, EraseMethodCode(70));
  EXPECT_EQ(-1, EraseMethodCode(71));
  EXPECT_EQ(-1, EraseMethodCode(0xFFFFFFFFu));

  const u32 cdrw[] = {66, 67, 69};
  const u32 plus[] = {68, 69};
  struct Case {
    const u32* ids;
    u32 count, keep, stored;
    i32 entry;
  };
  const Case cases[] = {
      {cdrw, 3, 69, 66, 2},  // the chosen method is still offered
      {plus, 2, 67, 66, 0},  // neither: the first
      {plus, 2, 66, 69, 1},  // the stored one
      {plus, 2, 0, 0, 0},
      {cdrw, 0, 66, 66, -1},  // an empty list selects nothing
  };
  for (const Case& c : cases) EXPECT_EQ(c.entry, ChooseMethodEntry(c.ids, c.count, c.keep, c.stored));
}

}  // namespace
