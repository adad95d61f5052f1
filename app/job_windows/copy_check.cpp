#include "app/job_windows/copy_check.h"

#include <cstring>

#include "drive/drive.h"
#include "jobs/burn/burn_request.h"
#include "jobs/burn/source_layout.h"

const wchar16 kMediumNameCd[] = u"CD-R/RW";
const wchar16 kMediumNameDvdR[] = u"DVD-R/-RW (DL)";
const wchar16 kMediumNameDvdPlus[] = u"DVD+R (DL)";

namespace {

constexpr u8 kTrackBlankBit = 0x40;  // READ TRACK INFORMATION byte 6
constexpr u8 kTrackDataBit = 0x04;   // control nibble of byte 5

bool IsCdProfile(u16 p) { return p >= 0x08 && p <= 0x0A; }
bool IsDashDvdProfile(u16 p) { return p == 0x10 || p == 0x11 || (p >= 0x13 && p <= 0x17); }
bool IsPlusDvdProfile(u16 p) { return p == 0x1A || p == 0x1B || p == 0x2A || p == 0x2B; }

// READ TRACK INFORMATION of a track number; the valid bytes, 0 on failure.
u32 ReadTrack(CDrive& drive, u32 track, u8* reply) {
  std::memset(reply, 0, kTrackInfoReplyLength);
  drive.ReadTrackInformation(reply, track, 1);
  if (!drive.LastCommandSucceeded()) return 0;
  return drive.transferred < kTrackInfoReplyLength ? drive.transferred : kTrackInfoReplyLength;
}

}  // namespace

SourceRead ReadCopySource(CDrive& drive, CopySource* out) {
  *out = CopySource();
  if (drive.currentProfile == 0) return SourceRead::kNoDisc;
  if (drive.mediaFlags & kMediaBlank) return SourceRead::kBlank;
  out->profile = drive.currentProfile;
  out->isCd = (drive.mediaFlags & kMediaCd) != 0;

  u8 disc[kDiscInfoReplyLength];
  std::memset(disc, 0, sizeof(disc));
  drive.ReadDiscInformation(0, disc, sizeof(disc));
  // Byte 11 holds the high byte of the last track: a shorter reply is no
  // answer.
  const u32 discBytes = drive.transferred < sizeof(disc) ? drive.transferred : sizeof(disc);
  if (!drive.LastCommandSucceeded() || discBytes < 12) return SourceRead::kNoDiscInfo;
  const u8 discStatus = disc[2] & 3;
  const u8 lastSession = (disc[2] >> 2) & 3;
  out->finalized = !(discStatus == 1 && lastSession != 3);
  u32 track = (u32(disc[11]) << 8) | disc[6];
  if (track == 0) return SourceRead::kTrackError;

  u8 reply[kTrackInfoReplyLength];
  u32 size = ReadTrack(drive, track, reply);
  // An appendable disc ends in its empty, invisible track: the copy ends
  // with the last track that holds data.
  if (size > 6 && (reply[6] & kTrackBlankBit) && track > 1) {
    --track;
    size = ReadTrack(drive, track, reply);
  }
  LayoutTrackInfo info;
  if (!size || !ParseTrackInformation(reply, size, &info)) return SourceRead::kTrackError;
  const u64 end = u64(info.start) + info.size;
  if (end > 0xFFFFFFFFull || end == 0) return SourceRead::kTrackError;
  out->blocks = static_cast<u32>(end);
  out->multi = track > 1;
  out->singleData = track == 1 && (info.trackMode & kTrackDataBit) != 0;
  return SourceRead::kOk;
}

CopySource CopySourceFromRequest(const BurnRequest& request) {
  CopySource s;
  s.profile = request.copiedProfile;
  s.isCd = IsCdProfile(s.profile);
  u32 contents = 0;
  u32 firstContentSize = 0;
  i64 end = 0;
  for (const TrackList& session : request.sessions) {
    for (const TrackExtent& entry : session) {
      const i64 entryEnd = i64(entry.start) + entry.sectorCount;
      if (entryEnd > end) end = entryEnd;
      if (!entry.content) continue;
      if (contents++ == 0) firstContentSize = entry.sectorSize;
    }
  }
  s.blocks = end > 0xFFFFFFFFll ? 0xFFFFFFFFu : static_cast<u32>(end);
  s.multi = contents > 1;
  s.singleData = contents <= 1 && firstContentSize == 2048;
  return s;
}

DestinationMedium DescribeDestination(CDrive& drive) {
  DestinationMedium m;
  drive.ProbeMedia();
  m.profile = drive.currentProfile;
  m.mediaFlags = drive.mediaFlags;
  m.mediaFlags2 = drive.mediaFlags2;
  m.writable = drive.IsWritableMedia();
  m.rewritable = drive.IsRewritableMedia();
  m.blank = (drive.mediaFlags & kMediaBlank) != 0;
  if (m.profile && m.writable) m.capacity = drive.GetDiscCapacity();
  return m;
}

CopyVerdict JudgeCopyDestination(const CopySource& source, const DestinationMedium& medium) {
  CopyVerdict v;
  const bool mediumIsCd = (medium.mediaFlags & kMediaCd) != 0;
  // A CD of several tracks, or of audio, can be copied to a CD only.
  const bool needsCd = source.isCd && !source.singleData;
  if (!medium.profile || !medium.writable) {
    v.statusId = needsCd && !mediumIsCd ? kTextInsertA : kTextInsertWritableDisc;
    if (v.statusId == kTextInsertA) v.medium = kMediumNameCd;
    return v;
  }
  if (!medium.blank && !medium.rewritable) {
    v.statusId = kTextInsertEmptyOrRewritable;
    return v;
  }
  const u64 need = source.blocks;
  const u64 room = medium.capacity;
  auto insert = [&v](const wchar16* name) {
    v.statusId = kTextInsertA;
    v.medium = name;
    return v;
  };
  if (IsCdProfile(source.profile)) {
    if (need > room) {
      // Up to a tenth over the nominal capacity is written as overburn.
      v.overburn = 11 * room >= 10 * need;
      if (!v.overburn) {
        v.statusId = kTextNotEnoughSpace;
        return v;
      }
    }
    if (!needsCd || mediumIsCd) {
      v.ok = true;
      return v;
    }
    v.overburn = false;
    return insert(kMediumNameCd);
  }
  const bool dash = IsDashDvdProfile(source.profile);
  if (dash || IsPlusDvdProfile(source.profile)) {
    if (need >= room) {
      v.statusId = kTextNotEnoughSpace;
      return v;
    }
    const bool fits = dash ? (medium.mediaFlags & kMediaDvd) && (medium.mediaFlags & kMediaRecordable)
                           : (medium.mediaFlags2 & kMedia2DvdPlus) != 0;
    if (!source.multi || fits) {
      v.ok = true;
      return v;
    }
    return insert(dash ? kMediumNameDvdR : kMediumNameDvdPlus);
  }
  // Other discs (BD, HD DVD): the room is all there is to check.
  if (need > room) {
    v.statusId = kTextNotEnoughSpace;
    return v;
  }
  v.ok = true;
  return v;
}

CopyVerdict JudgeInsertedDisc(CDrive& drive, BurnRequest* request) {
  request->options &= static_cast<u8>(~kOptionOverburn);
  const CopyVerdict v = JudgeCopyDestination(CopySourceFromRequest(*request), DescribeDestination(drive));
  if (v.ok && v.overburn) request->options |= kOptionOverburn;
  return v;
}

void FillCopyRequest(BurnRequest* request, const CopyChoices& choices, const CopySource& disc, bool overburn) {
  request->source = choices.source;
  request->destination = choices.destination;
  u8 options = request->options &
               static_cast<u8>(~(kOptionMode2Form1 | kOptionVerify | kOptionCloseDisc | kOptionOverburn | kOptionDirectCopy));
  options |= kOptionBufe;
  if (disc.finalized) options |= kOptionCloseDisc;
  if (choices.verify) options |= kOptionVerify;
  if (choices.direct && choices.source != choices.destination) options |= kOptionDirectCopy;
  if (overburn) options |= kOptionOverburn;
  request->options = options;
  request->method = disc.isCd ? kMethodDiscAtOnce : kMethodTrackAtOnce;
  request->writeSpeed = kWriteSpeedAutomatic;
  request->titleId = kTextCopyDisc;
}
