#include "app/job_windows/burn_image_request.h"

bool FillBurnRequest(BurnRequest* r, const BurnWindowChoices& c) {
  if (!c.driveMap || c.driveEntry < 0 || static_cast<u32>(c.driveEntry) >= c.driveMap->GetCount()) return false;
  r->destination = static_cast<i32>((*c.driveMap)[static_cast<u32>(c.driveEntry)]);
  if (c.imagePath) r->imagePath.Assign(c.imagePath);
  u8 options = r->options & static_cast<u8>(~(kOptionMode2Form1 | kOptionVerify | kOptionBufe | kOptionCloseDisc |
                                              kOptionOverburn));
  if (c.finalize) options |= kOptionCloseDisc;
  if (c.bufe) options |= kOptionBufe;
  if (c.verify) options |= kOptionVerify;
  if (c.mode2Checked && c.mode2Enabled) options |= kOptionMode2Form1;
  if (c.extraSize) options |= kOptionOverburn;
  r->options = options;
  r->method = c.extraSize ? kMethodDiscAtOnce : (c.methodEntry == 0 ? kMethodTrackAtOnce : kMethodDiscAtOnce);
  if (c.speedEntry <= 1) {
    r->writeSpeed = c.speedEntry == 1 ? kWriteSpeedMaximum : kWriteSpeedAutomatic;
  } else {
    const u32 at = static_cast<u32>(c.speedEntry - 2);
    r->writeSpeed = c.speedValues && at < c.speedValues->GetCount() ? (*c.speedValues)[at] : kWriteSpeedAutomatic;
  }
  if (r->CountContentEntries() == 0) {
    TrackList* session = r->sessions.AppendNew();
    TrackExtent* track = session ? session->AppendNew() : nullptr;
    if (track) {
      track->start = 0;
      track->sectorSize = 2048;
      track->sectorCount = c.imageSectors;
      track->content = 1;
      track->mode2Form1 = (options & kOptionMode2Form1) ? 1 : 0;
    }
  }
  return true;
}
