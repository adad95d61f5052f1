#include "app/pages/disc_info.h"

#include <cstring>

#include "drive/mmc/mmc_replies.h"
#include "jobs/burn/source_layout.h"
#include "runtime/byte_order.h"

i32 DiscStatusText(u8 discStatus) {
  switch (discStatus & 3) {
    case 0: return kTextStatusEmpty;
    case 1: return kTextStatusIncomplete;
    case 2: return kTextStatusFinalized;
    default: return -1;
  }
}

i32 SessionStateText(u8 sessionState) {
  static const i32 kTexts[4] = {kTextStatusEmpty, kTextStatusIncomplete, kTextStateDamaged, kTextStateComplete};
  return kTexts[sessionState & 3];
}

namespace {

// Session and size of one track; both 0 when the drive cannot tell (the
// lead-out has no track information).
void ReadTrackRecord(CDrive& drive, u32 track, DiscTrackRecord* record) {
  if (track == kLeadOutTrack) return;
  u8 reply[kTrackInfoReplyLength];
  std::memset(reply, 0, sizeof(reply));
  if (!drive.ReadTrackInformation(reply, track, 1).LastCommandSucceeded()) return;
  LayoutTrackInfo parsed;
  if (!ParseTrackInformation(reply, ValidReplyBytes(drive, sizeof(reply)), &parsed)) return;
  record->session = parsed.session;
  record->size = parsed.size;
}

void ReadTrackRecords(CDrive& drive, const u8* toc, u32 valid, CArray<DiscTrackRecord>* records) {
  const u32 n = CountTocDescriptors(toc, valid);
  u32 session = 1;
  u32 runningEnd = 0;
  for (u32 k = 0; k < n; ++k) {
    const u8* d = toc + 4 + k * 8;
    DiscTrackRecord r;
    std::memset(&r, 0, sizeof(r));
    r.data = (d[1] & 0x04) ? 1 : 0;
    r.track = d[2];
    r.start = ReadBigEndian32(d + 4);
    ReadTrackRecord(drive, r.track, &r);
    // A size that runs past the last address ends there rather than
    // wrapping round to an address before the next track.
    r.end = r.size > 0xFFFFFFFFu - r.start ? 0xFFFFFFFFu : r.start + r.size;
    if (r.session != session) {
      ++session;
      runningEnd = r.start;
    }
    r.previousEnd = runningEnd;
    runningEnd = r.end;
    if (!records->Add(r)) return;
  }
}

}  // namespace

void ReadDiscInfo(CDrive& drive, DiscInfo* info) {
  info->records.Clear();
  info->profile = drive.currentProfile;
  info->profileName = GetProfileName(info->profile);
  if (info->profile == 0) return;

  info->erasable = drive.IsRewritableMedia();
  info->statusText = DiscStatusText(drive.DiscStatus());
  info->stateText = SessionStateText(drive.LastSessionState());

  u8 discInfo[kDiscInfoReplyBytes];
  std::memset(discInfo, 0, sizeof(discInfo));
  info->tracks = info->sessions = 0;
  if (drive.ReadDiscInformation(0, discInfo, sizeof(discInfo)).LastCommandSucceeded()) {
    const u32 valid = ValidReplyBytes(drive, sizeof(discInfo));
    u32 tracks = 0, sessions = 0;
    if (ReadLastTrackNumber(discInfo, valid, &tracks) && ReadSessionCount(discInfo, valid, &sessions)) {
      info->tracks = tracks;
      info->sessions = sessions;
    }
  }

  u8 capacity[mmc::kReadCapacityLength];
  std::memset(capacity, 0, sizeof(capacity));
  info->size = 0;
  if (drive.ReadCapacity(capacity).LastCommandSucceeded() && ValidReplyBytes(drive, sizeof(capacity)) >= 4)
    info->size = ReadBigEndian32(capacity);
  info->availableSize = info->size == 0 ? drive.GetDiscCapacity() : 0;

  u8 toc[kDiscTocReplyLength];
  std::memset(toc, 0, sizeof(toc));
  if (!drive.ReadTocPmaAtip(false, 0, 0, toc, sizeof(toc)).LastCommandSucceeded()) return;
  // The reply's own length may claim more than the buffer or than the
  // drive returned: only the bytes that arrived are walked.
  ReadTrackRecords(drive, toc, ValidReplyBytes(drive, sizeof(toc)), &info->records);
}
