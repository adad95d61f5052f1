// The burn-image window's decision for every kind of medium the recorder
// can hold, at the image sizes where the answer changes: exactly the
// medium's capacity, one sector over it, one sector inside the overburn
// margin and the margin itself, with and without "Activate extra size"
// (which a previous medium may have left checked). The media's facts come
// from the simulated recorder; the decision itself is pure.
#include <gtest/gtest.h>

#include <string>

#include "app/job_windows/burn_image_state.h"
#include "support/recorder_fixture.h"

namespace {

constexpr Change E = Change::kEnable;
constexpr Change D = Change::kDisable;
constexpr Change K = Change::kKeep;

struct Kind {
  const char* name;
  MediumPreset preset;
  DiscFill fill;
};

std::string Describe(const BurnMediumFacts& f) {
  return "profile " + std::to_string(f.profile) + " cd " + std::to_string(f.cd) + " dvd " + std::to_string(f.dvd) +
         " writable " + std::to_string(f.writable) + " rewritable " + std::to_string(f.rewritable) + " blank " +
         std::to_string(f.blank) + " capacity " + std::to_string(f.capacity) + " failed " +
         std::to_string(f.capacityFailed);
}

class BurnImageStateEdges : public RecorderTest {
 protected:
  BurnImageStateEdges() { Attach(); }

  BurnMediumFacts FactsOf(MediumPreset preset, DiscFill fill) {
    MediumOptions o;
    o.preset = preset;
    o.fill = fill;
    Insert(o);
    CDrive drive;
    EXPECT_TRUE(OpenDrive(&drive));
    const BurnMediumFacts f = ReadBurnMediumFacts(drive);
    drive.Close();
    return f;
  }
};

// What the window does with its medium controls on each kind, for an image
// exactly as large as the medium (a pressed or closed one has no room): Mode 2 form 1 only on a CD, the method
// list on a CD or a recordable DVD (then showing the remembered method
// again), "Finalize disc" off on a rewritable DVD, and the image taken by a
// blank medium, taken with the erase notice by a rewritable one with data,
// and refused by anything else.
TEST_F(BurnImageStateEdges, EachKindForAnImageOfExactlyItsCapacity) {
  struct Case {
    Kind kind;
    Change mode2, method;
    bool savedMethod;
    Change finalize;
    Change ok;
    u32 status;  // 0: the pulse stops
    Change extra;
  };
  const Case cases[] = {
      {{"CD-ROM", MediumPreset::kCdRom, DiscFill::kComplete}, E, E, true, E, D, kTextInsertEmptyDisc, K},
      {{"blank CD-R", MediumPreset::kCdR, DiscFill::kBlank}, E, E, true, E, E, 0, D},
      {{"appendable CD-R", MediumPreset::kCdR, DiscFill::kAppendable}, E, E, true, E, D, kTextInsertEmptyDisc, K},
      {{"blank CD-RW", MediumPreset::kCdRw, DiscFill::kBlank}, E, E, true, E, E, 0, D},
      {{"CD-RW with data", MediumPreset::kCdRw, DiscFill::kComplete}, E, E, true, E, E, kTextEraseNotice, D},
      {{"DVD-ROM", MediumPreset::kDvdRom, DiscFill::kComplete}, D, D, false, E, D, kTextInsertEmptyDisc, K},
      {{"blank DVD-R", MediumPreset::kDvdR, DiscFill::kBlank}, D, E, true, E, E, 0, D},
      {{"blank DVD-R DL", MediumPreset::kDvdRDualLayer, DiscFill::kBlank}, D, E, true, E, E, 0, D},
      {{"closed DVD-R", MediumPreset::kDvdR, DiscFill::kComplete}, D, E, true, E, D, kTextInsertEmptyDisc, K},
      {{"blank DVD-RW", MediumPreset::kDvdRwSequential, DiscFill::kBlank}, D, E, true, D, E, 0, D},
      {{"DVD-RW restricted overwrite with data", MediumPreset::kDvdRwRestricted, DiscFill::kComplete}, D, E, true, D,
       E, kTextEraseNotice, D},
      {{"DVD-RW DL with data", MediumPreset::kDvdRwDualLayer, DiscFill::kComplete}, D, E, true, D, E,
       kTextEraseNotice, D},
      {{"DVD-RAM with data", MediumPreset::kDvdRam, DiscFill::kComplete}, D, E, true, D, E, kTextEraseNotice, D},
      {{"DVD+RW with data", MediumPreset::kDvdPlusRw, DiscFill::kComplete}, D, E, true, D, E, kTextEraseNotice, D},
      {{"DVD+RW DL with data", MediumPreset::kDvdPlusRwDualLayer, DiscFill::kComplete}, D, E, true, D, E,
       kTextEraseNotice, D},
      {{"blank DVD+R", MediumPreset::kDvdPlusR, DiscFill::kBlank}, D, E, true, E, E, 0, D},
      {{"blank DVD+R DL", MediumPreset::kDvdPlusRDualLayer, DiscFill::kBlank}, D, E, true, E, E, 0, D},
      {{"BD-ROM", MediumPreset::kBdRom, DiscFill::kComplete}, D, D, false, E, D, kTextInsertEmptyDisc, K},
      {{"blank BD-R", MediumPreset::kBdR, DiscFill::kBlank}, D, D, false, E, E, 0, D},
      {{"BD-RE with data", MediumPreset::kBdRe, DiscFill::kComplete}, D, D, false, E, E, kTextEraseNotice, D},
      {{"blank HD DVD-R", MediumPreset::kHdDvdR, DiscFill::kBlank}, D, D, false, E, E, 0, D},
      {{"HD DVD-RW with data", MediumPreset::kHdDvdRw, DiscFill::kComplete}, D, D, false, E, E, kTextEraseNotice, D},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.kind.name);
    BurnStateInput in = {};
    in.medium = FactsOf(c.kind.preset, c.kind.fill);
    SCOPED_TRACE(Describe(in.medium));
    ASSERT_FALSE(in.medium.capacityFailed);
    // A pressed or closed disc has no room: any image is refused.
    if (in.medium.blank || in.medium.rewritable) {
      ASSERT_GT(in.medium.capacity, 0u);
    }
    in.imageSectors = in.medium.capacity ? in.medium.capacity : 1000;
    const BurnStateDecision d = DecideBurnState(in);
    EXPECT_EQ(c.mode2, d.mode2Form1);
    EXPECT_EQ(c.method, d.method);
    EXPECT_EQ(c.savedMethod, d.selectSavedMethod);
    EXPECT_EQ(c.finalize, d.finalize);
    EXPECT_EQ(c.ok, d.ok);
    EXPECT_TRUE(d.settled);
    EXPECT_EQ(c.status, d.status);
    EXPECT_EQ(c.status != 0, d.pulse);
    EXPECT_EQ(c.extra, d.extraSize);
    EXPECT_FALSE(d.clearExtraSize);
  }
  EXPECT_EQ("", ViolationText());
}

// The sizes where the answer changes, on the kinds where it changes
// differently: overburn is offered only on a CD and only below capacity +
// capacity / 18; a box left checked by the previous medium holds on a CD
// within that margin and is taken back everywhere else, except where the
// image fits a medium that will be erased (the user may still uncheck it).
TEST_F(BurnImageStateEdges, CapacityAndOverburnMarginWithTheBoxCheckedAndNot) {
  enum Size { kAtCapacity, kOneOver, kInsideMargin, kAtMargin };
  struct Case {
    const Kind* kind;
    bool extraChecked;
    Size size;
    Change ok;
    u32 status;  // 0: the pulse stops
    Change extra;
    bool clear;
  };
  const Kind cdR = {"blank CD-R", MediumPreset::kCdR, DiscFill::kBlank};
  const Kind cdRw = {"CD-RW with data", MediumPreset::kCdRw, DiscFill::kComplete};
  const Kind plusR = {"blank DVD+R", MediumPreset::kDvdPlusR, DiscFill::kBlank};
  const Kind dvdRw = {"DVD-RW with data", MediumPreset::kDvdRwSequential, DiscFill::kComplete};
  const Kind bdR = {"blank BD-R", MediumPreset::kBdR, DiscFill::kBlank};
  const Case cases[] = {
      {&cdR, false, kAtCapacity, E, 0, D, false},
      {&cdR, false, kOneOver, D, kTextNotEnoughSpace, E, false},
      {&cdR, false, kInsideMargin, D, kTextNotEnoughSpace, E, false},
      {&cdR, false, kAtMargin, D, kTextNotEnoughSpace, K, false},
      {&cdR, true, kAtCapacity, E, 0, D, true},
      {&cdR, true, kOneOver, E, 0, K, false},
      {&cdR, true, kInsideMargin, E, 0, K, false},
      {&cdR, true, kAtMargin, D, kTextNotEnoughSpace, D, true},
      {&cdRw, false, kAtCapacity, E, kTextEraseNotice, D, false},
      {&cdRw, false, kOneOver, D, kTextNotEnoughSpace, E, false},
      {&cdRw, false, kInsideMargin, D, kTextNotEnoughSpace, E, false},
      {&cdRw, false, kAtMargin, D, kTextNotEnoughSpace, K, false},
      {&cdRw, true, kAtCapacity, E, kTextEraseNotice, K, false},
      {&cdRw, true, kOneOver, E, kTextEraseNotice, K, false},
      {&cdRw, true, kInsideMargin, E, kTextEraseNotice, K, false},
      {&cdRw, true, kAtMargin, D, kTextNotEnoughSpace, D, true},
      {&plusR, false, kAtCapacity, E, 0, D, false},
      {&plusR, false, kOneOver, D, kTextNotEnoughSpace, K, false},
      {&plusR, true, kAtCapacity, E, 0, D, true},
      {&plusR, true, kOneOver, D, kTextNotEnoughSpace, D, true},
      {&dvdRw, false, kAtCapacity, E, kTextEraseNotice, D, false},
      {&dvdRw, false, kOneOver, D, kTextNotEnoughSpace, K, false},
      {&dvdRw, true, kAtCapacity, E, kTextEraseNotice, K, false},
      {&dvdRw, true, kOneOver, D, kTextNotEnoughSpace, D, true},
      {&bdR, false, kAtCapacity, E, 0, D, false},
      {&bdR, false, kInsideMargin, D, kTextNotEnoughSpace, K, false},
      {&bdR, true, kInsideMargin, D, kTextNotEnoughSpace, D, true},
  };
  const Kind* current = nullptr;
  BurnMediumFacts facts = {};
  for (const Case& c : cases) {
    if (current != c.kind) {
      current = c.kind;
      facts = FactsOf(c.kind->preset, c.kind->fill);
    }
    const u32 cap = facts.capacity;
    const u32 sizes[] = {cap, cap + 1, cap + cap / 18 - 1, cap + cap / 18};
    SCOPED_TRACE(std::string(c.kind->name) + (c.extraChecked ? ", box checked, size " : ", size ") +
                 std::to_string(sizes[c.size]) + " on " + std::to_string(cap));
    BurnStateInput in = {};
    in.medium = facts;
    in.extraSize = c.extraChecked;
    in.imageSectors = sizes[c.size];
    const BurnStateDecision d = DecideBurnState(in);
    EXPECT_EQ(c.ok, d.ok);
    EXPECT_TRUE(d.settled);
    EXPECT_EQ(c.status, d.status);
    EXPECT_EQ(c.status != 0, d.pulse);
    EXPECT_EQ(c.extra, d.extraSize);
    EXPECT_EQ(c.clear, d.clearExtraSize);
    // While the box is checked the method list stays on disc at once; a
    // BD has no method to choose.
    if (c.kind != &bdR) {
      EXPECT_EQ(c.extraChecked ? K : E, d.method);
      EXPECT_EQ(!c.extraChecked, d.selectSavedMethod);
    }
  }
}

// An audio layout goes only onto a writable CD, whatever else is in the
// drive (no disc at all included); on a CD it keeps Mode 2 form 1 off and
// leaves the method list as the audio project set it.
TEST_F(BurnImageStateEdges, AudioLayoutOnEachKind) {
  struct Case {
    const char* name;
    bool noDisc;
    Kind kind;
    Change ok;
    u32 status;
    Change mode2;
  };
  const Case cases[] = {
      {"no disc", true, {"", MediumPreset::kCdR, DiscFill::kBlank}, D, kTextInsertWritableCd, K},
      {"CD-ROM", false, {"", MediumPreset::kCdRom, DiscFill::kComplete}, D, kTextInsertWritableCd, K},
      {"blank DVD-R", false, {"", MediumPreset::kDvdR, DiscFill::kBlank}, D, kTextInsertWritableCd, K},
      {"blank DVD-RW", false, {"", MediumPreset::kDvdRwSequential, DiscFill::kBlank}, D, kTextInsertWritableCd, K},
      {"blank CD-R", false, {"", MediumPreset::kCdR, DiscFill::kBlank}, E, 0, D},
      {"CD-RW with data", false, {"", MediumPreset::kCdRw, DiscFill::kComplete}, E, kTextEraseNotice, D},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    BurnStateInput in = {};
    in.audioLayout = in.audioRequest = true;
    if (c.noDisc) {
      if (recorder_.HasMedium()) recorder_.RemoveMedium();
      Settle();
      CDrive drive;
      ASSERT_TRUE(OpenDrive(&drive));
      in.medium = ReadBurnMediumFacts(drive);
    } else {
      in.medium = FactsOf(c.kind.preset, c.kind.fill);
    }
    in.imageSectors = in.medium.capacity > 1000 ? in.medium.capacity - 1000 : 1000;
    const BurnStateDecision d = DecideBurnState(in);
    EXPECT_EQ(c.ok, d.ok);
    EXPECT_EQ(c.status, d.status);
    EXPECT_EQ(c.mode2, d.mode2Form1);
    EXPECT_EQ(K, d.method);
    EXPECT_FALSE(d.selectSavedMethod);
  }
}

}  // namespace
