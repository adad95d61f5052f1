// The preset table: one row per MMC profile the program names. Capacities
// are those of common discs (CD: 80 minutes; DVD: 4.7 and 8.5 GB; BD: 25 GB;
// HD DVD: 15 and 30 GB); write speeds are the fastest the medium allows.
// The FORMAT UNIT types are those a drive offers for the medium: a CD-RW
// takes a full format (0x00) and the CD-RW full and grow formats (0x10,
// 0x11), never the DVD-RW quick format (0x15).
#include "simulated_recorder.h"

namespace {

constexpr u8 kNone = 0xFF;
using K = RecordingKind;
using F = MediaFamily;
using P = MediumPreset;

const MediumPresetInfo kPresets[] = {
    {P::kCdRom, 0x08, "CD-ROM", F::kCd, K::kReadOnly, false, false, 1, 359849, 0, {kNone, kNone, kNone, kNone}},
    {P::kCdR, 0x09, "CD-R", F::kCd, K::kSequential, false, false, 1, 359849, 8467, {kNone, kNone, kNone, kNone}},
    {P::kCdRw, 0x0A, "CD-RW", F::kCd, K::kSequential, true, true, 1, 359849, 1764, {0x00, 0x10, 0x11, kNone}},
    {P::kDvdRom, 0x10, "DVD-ROM", F::kDvd, K::kReadOnly, false, false, 1, 2295104, 0, {kNone, kNone, kNone, kNone}},
    {P::kDvdR, 0x11, "DVD-R", F::kDvd, K::kSequential, false, false, 1, 2298496, 22160, {kNone, kNone, kNone, kNone}},
    {P::kDvdRam, 0x12, "DVD-RAM", F::kDvd, K::kRandom, false, true, 1, 2236704, 6925, {0x00, 0x01, kNone, kNone}},
    {P::kDvdRwRestricted, 0x13, "DVD-RW", F::kDvd, K::kRandom, true, true, 1, 2298496, 8310, {0x00, 0x13, 0x15, kNone}},
    {P::kDvdRwSequential, 0x14, "DVD-RW", F::kDvd, K::kSequential, true, true, 1, 2298496, 8310, {0x00, 0x15, kNone, kNone}},
    {P::kDvdRDualLayer, 0x15, "DVD-R Dual Layer", F::kDvd, K::kSequential, false, false, 2, 4171712, 11080, {kNone, kNone, kNone, kNone}},
    {P::kDvdRDualLayerJump, 0x16, "DVD-R Dual Layer", F::kDvd, K::kSequential, false, false, 2, 4171712, 11080, {kNone, kNone, kNone, kNone}},
    {P::kDvdRwDualLayer, 0x17, "DVD-RW Dual Layer", F::kDvd, K::kSequential, true, true, 2, 4171712, 5540, {0x00, 0x15, kNone, kNone}},
    {P::kDvdPlusRw, 0x1A, "DVD+RW", F::kDvd, K::kRandom, false, true, 1, 2295104, 11080, {0x26, kNone, kNone, kNone}},
    {P::kDvdPlusR, 0x1B, "DVD+R", F::kDvd, K::kSequential, false, false, 1, 2295104, 22160, {kNone, kNone, kNone, kNone}},
    {P::kDvdPlusRwDualLayer, 0x2A, "DVD+RW Dual Layer", F::kDvd, K::kRandom, false, true, 2, 4173824, 3324, {0x26, kNone, kNone, kNone}},
    {P::kDvdPlusRDualLayer, 0x2B, "DVD+R Dual Layer", F::kDvd, K::kSequential, false, false, 2, 4173824, 11080, {kNone, kNone, kNone, kNone}},
    {P::kBdRom, 0x40, "BD-ROM", F::kBd, K::kReadOnly, false, false, 1, 12219392, 0, {kNone, kNone, kNone, kNone}},
    {P::kBdR, 0x41, "BD-R", F::kBd, K::kSequential, false, false, 1, 12219392, 53940, {kNone, kNone, kNone, kNone}},
    {P::kBdRRandom, 0x42, "BD-R-R", F::kBd, K::kRandom, false, true, 1, 12219392, 53940, {0x00, kNone, kNone, kNone}},
    {P::kBdRe, 0x43, "BD-RE", F::kBd, K::kRandom, false, true, 1, 11826176, 8990, {0x00, 0x30, 0x31, kNone}},
    {P::kHdDvdRom, 0x50, "HDDVD-ROM", F::kHdDvd, K::kReadOnly, false, false, 1, 7311872, 0, {kNone, kNone, kNone, kNone}},
    {P::kHdDvdR, 0x51, "HDDVD-R", F::kHdDvd, K::kSequential, false, false, 1, 7311872, 8990, {kNone, kNone, kNone, kNone}},
    {P::kHdDvdRam, 0x52, "HDDVD-RAM", F::kHdDvd, K::kRandom, false, true, 1, 9780128, 8990, {0x00, kNone, kNone, kNone}},
    {P::kHdDvdRw, 0x53, "HDDVD-RW", F::kHdDvd, K::kSequential, true, true, 1, 7311872, 4495, {0x00, kNone, kNone, kNone}},
    {P::kHdDvdRDualLayer, 0x58, "HDDVD-R Dual Layer", F::kHdDvd, K::kSequential, false, false, 2, 14623744, 4495, {kNone, kNone, kNone, kNone}},
    {P::kHdDvdRwDualLayer, 0x5A, "HDDVD-RW Dual Layer", F::kHdDvd, K::kSequential, true, true, 2, 14623744, 4495, {0x00, kNone, kNone, kNone}},
};

static_assert(sizeof(kPresets) / sizeof(kPresets[0]) == static_cast<size_t>(MediumPreset::kCount),
              "one row per preset");

}  // namespace

const MediumPresetInfo& GetMediumPresetInfo(MediumPreset preset) {
  u32 index = static_cast<u32>(preset);
  if (index >= static_cast<u32>(MediumPreset::kCount)) index = 0;
  return kPresets[index];
}

const MediumPresetInfo* FindMediumPresetByProfile(u16 profile) {
  for (const MediumPresetInfo& row : kPresets)
    if (row.profile == profile) return &row;
  return nullptr;
}

u8 PatternByte(u32 lba, u32 offset) {
  u32 x = lba * 2654435761u + offset * 40503u;
  return static_cast<u8>((x >> 13) ^ (x >> 5) ^ offset);
}
