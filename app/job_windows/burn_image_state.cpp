#include "app/job_windows/burn_image_state.h"

#include "drive/drive.h"

BurnMediumFacts ReadBurnMediumFacts(CDrive& drive) {
  BurnMediumFacts f = {};
  f.profile = drive.currentProfile;
  f.cd = (drive.mediaFlags & kMediaCd) != 0;
  f.dvd = (drive.mediaFlags & kMediaDvd) != 0;
  f.dvdPlus = (drive.mediaFlags2 & kMedia2DvdPlus) != 0;
  f.writable = drive.IsWritableMedia();
  f.rewritable = drive.IsRewritableMedia();
  f.blank = (drive.mediaFlags & kMediaBlank) != 0;
  if (f.profile != 0) {
    f.capacity = drive.GetDiscCapacity();
    f.capacityFailed = f.capacity == 0 && !drive.LastCommandSucceeded();
  }
  return f;
}

bool OverburnFits(u32 sectors, u32 capacity) {
  return static_cast<u64>(sectors) < static_cast<u64>(capacity) + capacity / 18;
}

namespace {

BurnStateDecision Keep() {
  BurnStateDecision d = {};
  d.ok = d.mode2Form1 = d.method = d.finalize = d.extraSize = Change::kKeep;
  return d;
}

void Pulse(BurnStateDecision* d, u32 status) {
  d->status = status;
  d->pulse = true;
  d->settled = true;
}

// Not enough room: the burn cannot start; on a CD overburn is offered
// while the image stays within the margin.
void NotEnoughSpace(const BurnStateInput& in, BurnStateDecision* d) {
  d->ok = Change::kDisable;
  Pulse(d, kTextNotEnoughSpace);
  if (in.medium.cd && OverburnFits(in.imageSectors, in.medium.capacity)) d->extraSize = Change::kEnable;
}

}  // namespace

BurnStateDecision DecideBurnState(const BurnStateInput& in) {
  BurnStateDecision d = Keep();
  const BurnMediumFacts& m = in.medium;
  if (in.audioLayout && !(m.cd && m.writable)) {
    d.ok = Change::kDisable;
    Pulse(&d, kTextInsertWritableCd);
    return d;
  }
  if (m.profile == 0) {
    d.ok = Change::kDisable;
    d.mode2Form1 = Change::kDisable;
    Pulse(&d, kTextInsertEmptyDisc);
    return d;
  }
  if (!in.audioRequest && (m.cd || (m.dvd && m.writable))) {
    d.mode2Form1 = m.cd ? Change::kEnable : Change::kDisable;
    // While overburn forces disc at once, the method list stays as it is.
    if (!in.extraSize) {
      d.method = Change::kEnable;
      d.selectSavedMethod = true;
    }
  } else {
    d.mode2Form1 = Change::kDisable;
    if (!in.audioRequest) d.method = Change::kDisable;
  }
  d.finalize = m.dvd && m.rewritable ? Change::kDisable : Change::kEnable;
  if (m.capacity == 0 && m.capacityFailed) return d;

  const bool fits = m.capacity >= in.imageSectors;
  // Overburn holds only on a CD and within the margin: a medium change that
  // breaks either takes it back.
  const bool overburnHolds = in.extraSize && m.cd && OverburnFits(in.imageSectors, m.capacity);
  if (in.extraSize && !overburnHolds && !fits) {
    d.clearExtraSize = true;
    d.extraSize = Change::kDisable;
  }
  if (m.blank) {
    if (fits) {
      d.extraSize = Change::kDisable;
      if (in.extraSize) d.clearExtraSize = true;
      d.ok = Change::kEnable;
      d.settled = true;  // the pulse stops
    } else if (overburnHolds) {
      d.ok = Change::kEnable;
      d.settled = true;
    } else {
      NotEnoughSpace(in, &d);
    }
    return d;
  }
  if (m.rewritable) {
    if (!fits && !overburnHolds) {
      NotEnoughSpace(in, &d);
      return d;
    }
    if (!in.extraSize) d.extraSize = Change::kDisable;
    d.ok = Change::kEnable;
    Pulse(&d, kTextEraseNotice);
    return d;
  }
  d.ok = Change::kDisable;
  Pulse(&d, kTextInsertEmptyDisc);
  return d;
}
