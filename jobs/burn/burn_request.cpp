#include "jobs/burn/burn_request.h"

#include <cstring>

BurnRequest::BurnRequest()
    : source(kNoDrive),
      destination(kNoDrive),
      projectSource(nullptr),
      projectPage(nullptr),
      sessions(16),
      cueSheets(16),
      method(kMethodDiscAtOnce),
      writeSpeed(kWriteSpeedAutomatic),
      titleId(90),
      copiedProfile(0),
      options(kOptionVerify | kOptionBufe | kOptionCloseDisc) {}

BurnRequest::~BurnRequest() {
  sessions.Destroy();
  cueSheets.Destroy();
}

bool BurnRequest::CopyTracks(const SessionList& from) {
  sessions.Clear();
  for (u32 i = 0; i < from.GetCount(); ++i) {
    TrackList* copy = sessions.AppendNew();
    if (!copy) return false;
    const TrackList& tracks = from[i];
    for (u32 j = 0; j < tracks.GetCount(); ++j)
      if (!copy->Add(tracks[j])) return false;
  }
  return true;
}

bool BurnRequest::CopyCueSheets(const CueSheetList& from) {
  cueSheets.Clear();
  for (u32 i = 0; i < from.GetCount(); ++i)
    if (!cueSheets.Add(from[i])) return false;
  return true;
}

bool BurnRequest::Assign(const BurnRequest& other) {
  if (&other == this) return true;
  source = other.source;
  destination = other.destination;
  imagePath.Assign(other.imagePath);
  projectSource = other.projectSource;
  projectPage = other.projectPage;
  bool ok = CopyTracks(other.sessions);
  ok = CopyCueSheets(other.cueSheets) && ok;
  method = other.method;
  writeSpeed = other.writeSpeed;
  titleId = other.titleId;
  copiedProfile = other.copiedProfile;
  // Bits 0-6 one by one; bit 7 of this record keeps its value.
  for (u32 bit = 0; bit < 7; ++bit) {
    u8 mask = static_cast<u8>(1u << bit);
    options = static_cast<u8>((options & ~mask) | (other.options & mask));
  }
  return ok;
}

u32 BurnRequest::SumTrackSectors(bool contentOnly) const {
  u32 sum = 0;
  for (const TrackList& tracks : sessions)
    for (const TrackExtent& t : tracks)
      if (!contentOnly || t.content) sum += t.sectorCount;
  return sum;
}

u64 BurnRequest::SumTrackBytes(bool contentOnly) const {
  u64 sum = 0;
  for (const TrackList& tracks : sessions)
    for (const TrackExtent& t : tracks)
      if (!contentOnly || t.content) sum += static_cast<u64>(t.sectorSize) * t.sectorCount;
  return sum;
}

u32 BurnRequest::CountContentEntries() const {
  u32 n = 0;
  for (const TrackList& tracks : sessions)
    for (const TrackExtent& t : tracks)
      if (t.content) ++n;
  return n;
}

TrackExtent* BurnRequest::FirstTrack() {
  if (sessions.GetCount() == 0 || sessions[0].GetCount() == 0) return nullptr;
  return &sessions[0][0];
}

const TrackExtent* BurnRequest::FirstTrack() const {
  if (sessions.GetCount() == 0 || sessions[0].GetCount() == 0) return nullptr;
  return &sessions[0][0];
}
