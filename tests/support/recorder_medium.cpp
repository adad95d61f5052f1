// The medium model: building a preset, tracks and sessions, disc status.
#include "recorder_state.h"

namespace {

bool TrackHasContent(const SimTrack& track) {
  return track.closed || track.written > 0 || track.reservedSize > 0;
}

}  // namespace

bool CRecorderState::IsDvdMinus() const {
  u16 p = medium.profile;
  return p == 0x11 || p == 0x14 || p == 0x15 || p == 0x16 || p == 0x17;
}

void CRecorderState::AddInvisibleTrack(u32 start, u32 session) {
  SimTrack track;
  track.number = medium.tracks.empty() ? 1 : medium.tracks.back().number + 1;
  track.session = session;
  track.start = start;
  track.invisible = true;
  medium.tracks.push_back(track);
}

u32 CRecorderState::SessionGap(u32 closedSessions) const {
  // Lead-out of the closed session, lead-in and pre-gap of the next one.
  if (IsCd()) return closedSessions <= 1 ? 11400 : 6900;
  if (IsDvdMinus()) return closedSessions <= 1 ? 28672 : 12288;
  if (IsDvdPlusR()) return 4096;
  return 0;
}

void CRecorderState::BuildMedium(const MediumOptions& options) {
  medium = SimMedium();
  medium.info = &GetMediumPresetInfo(options.preset);
  medium.profile = medium.info->profile;
  medium.capacity = options.capacityBlocks ? options.capacityBlocks : medium.info->capacityBlocks;
  DiscFill fill = options.fill;
  if (medium.info->kind == RecordingKind::kReadOnly) fill = DiscFill::kComplete;

  std::vector<std::vector<TrackContent>> sessions = options.sessions;
  if (sessions.empty()) sessions.push_back(std::vector<TrackContent>(1, TrackContent()));

  if (IsRandom()) {
    bool comesFormatted = medium.profile == 0x12 || medium.profile == 0x52 || medium.profile == 0x13;
    medium.formatted = fill != DiscFill::kBlank || comesFormatted;
    medium.formattedBlocks = medium.capacity;
    if (medium.profile == 0x13 && fill == DiscFill::kAppendable) {
      medium.formattedBlocks = options.formattedBlocks ? options.formattedBlocks : 1024;
      medium.quickFormatted = true;
    } else if (medium.profile == 0x13 && options.formattedBlocks) {
      medium.formattedBlocks = options.formattedBlocks;
    }
    if (IsDvdPlusRw() && medium.formatted) medium.backgroundFormat = fill == DiscFill::kAppendable ? 1 : 3;
    SimTrack track;
    track.closed = true;
    if (fill != DiscFill::kBlank) {
      const TrackContent& content = sessions[0][0];
      u32 limit = WritableLimit();
      track.written = content.blocks < limit ? content.blocks : limit;
      track.mode2 = content.mode2;
      medium.everWritten = track.written > 0;
      for (u32 i = 0; i < track.written; ++i) {
        std::vector<u8> data(2048);
        for (u32 b = 0; b < 2048; ++b) data[b] = PatternByte(i, b);
        medium.store.Put(i, data.data(), 2048);
      }
    }
    medium.tracks.push_back(track);
    return;
  }

  if (fill == DiscFill::kBlank) {
    AddInvisibleTrack(0, 1);
    return;
  }

  // Recorded sessions: tracks back to back in a session, sessions apart by
  // the lead-out and lead-in between them.
  u32 next = 0;
  u32 number = 1;
  for (u32 s = 0; s < sessions.size(); ++s) {
    if (s > 0) next += SessionGap(s);
    for (const TrackContent& content : sessions[s]) {
      next += content.pregap;
      SimTrack track;
      track.number = number++;
      track.session = s + 1;
      track.start = next;
      track.written = content.blocks;
      track.closed = true;
      track.audio = content.audio;
      track.mode2 = content.mode2;
      u32 size = content.audio ? 2352 : (IsCd() && content.mode2 ? 2336 : 2048);
      std::vector<u8> data(size);
      for (u32 i = 0; i < content.blocks; ++i) {
        u32 lba = next + i;
        for (u32 b = 0; b < size; ++b) data[b] = PatternByte(lba, b);
        if (size == 2336) {
          // Mode 2 Form 1 sub-header, user data from byte 8.
          for (u32 b = 0; b < 8; ++b) data[b] = (b == 2 || b == 6) ? 0x08 : 0;
          for (u32 b = 0; b < 2048; ++b) data[8 + b] = PatternByte(lba, b);
          for (u32 b = 2056; b < 2336; ++b) data[b] = 0;
        }
        medium.store.Put(lba, data.data(), size);
      }
      medium.tracks.push_back(track);
      next += content.blocks;
    }
  }
  medium.everWritten = true;
  if (fill == DiscFill::kComplete) {
    medium.finalized = true;
  } else {
    AddInvisibleTrack(next + SessionGap(static_cast<u32>(sessions.size())),
                      static_cast<u32>(sessions.size()) + 1);
  }
}

bool CRecorderState::MediumReady() const {
  return mediumPresent && !trayOpen && !stuck && NowMs() >= readyAtMs;
}

SimTrack* CRecorderState::OpenTrackAt(u32 lba) {
  for (SimTrack& track : medium.tracks)
    if (!track.closed && NextWritable(track) == lba && FreeBlocks(track) > 0) return &track;
  return nullptr;
}

SimTrack* CRecorderState::InvisibleTrack() {
  for (SimTrack& track : medium.tracks)
    if (track.invisible) return &track;
  return nullptr;
}

SimTrack* CRecorderState::TrackByNumber(u32 number) {
  for (SimTrack& track : medium.tracks)
    if (track.number == number) return &track;
  return nullptr;
}

SimTrack* CRecorderState::TrackContaining(u32 lba) {
  for (SimTrack& track : medium.tracks) {
    u32 size = TrackSize(track);
    if (lba >= track.start && lba - track.start < size) return &track;
  }
  return nullptr;
}

u32 CRecorderState::WritableLimit() const {
  if (!IsRandom()) return medium.capacity;
  if (medium.profile == 0x13) return medium.formattedBlocks;
  return medium.formatted || IsDvdPlusRw() ? medium.capacity : 0;
}

u32 CRecorderState::TrackSize(const SimTrack& track) const {
  if (IsRandom()) return WritableLimit();
  if (track.reservedSize) return track.reservedSize;
  if (track.closed) return track.written;
  return track.start < medium.capacity ? medium.capacity - track.start : 0;
}

u32 CRecorderState::NextWritable(const SimTrack& track) const { return track.start + track.written; }

u32 CRecorderState::FreeBlocks(const SimTrack& track) const {
  if (track.closed) return 0;
  u32 size = TrackSize(track);
  return size > track.written ? size - track.written : 0;
}

u8 CRecorderState::DiscStatus() const {
  const MediumPresetInfo* info = medium.info;
  if (!info) return 0;
  if (info->kind == RecordingKind::kReadOnly) return 2;
  if (info->kind == RecordingKind::kRandom) {
    if (!medium.formatted) return 0;
    if (IsDvdPlusRw()) return medium.backgroundFormat == 3 ? 2 : 1;
    if (medium.profile == 0x13) return medium.quickFormatted ? 1 : 2;
    return 3;
  }
  if (medium.finalized) return 2;
  for (const SimTrack& track : medium.tracks)
    if (TrackHasContent(track)) return 1;
  return medium.cueValid && medium.daoNext != medium.daoStart ? 1 : 0;
}

u8 CRecorderState::LastSessionState() const {
  if (!medium.info) return 0;
  if (medium.info->kind == RecordingKind::kReadOnly || medium.finalized) return 3;
  if (IsRandom()) return medium.formatted ? 3 : 0;
  u32 last = SessionCount();
  for (const SimTrack& track : medium.tracks)
    if (track.session == last && (track.written > 0 || track.reservedSize > 0)) return 1;
  return 0;
}

u32 CRecorderState::SessionCount() const {
  return medium.tracks.empty() ? 0 : medium.tracks.back().session;
}

u32 CRecorderState::LastTrackInLastSession() const {
  return medium.tracks.empty() ? 0 : medium.tracks.back().number;
}

u32 CRecorderState::FirstTrackInLastSession() const {
  u32 session = SessionCount();
  for (const SimTrack& track : medium.tracks)
    if (track.session == session) return track.number;
  return 0;
}

u32 CRecorderState::LastRecordedBlock() const {
  u32 end = 0;
  for (const SimTrack& track : medium.tracks)
    if (track.start + track.written > end) end = track.start + track.written;
  return end;
}

void CRecorderState::CloseOpenTracks(bool allowEmpty) {
  u32 session = SessionCount();
  for (size_t i = 0; i < medium.tracks.size();) {
    SimTrack& track = medium.tracks[i];
    if (track.session == session && !track.closed) {
      if (track.invisible && track.written == 0 && !allowEmpty) {
        medium.tracks.erase(medium.tracks.begin() + static_cast<std::ptrdiff_t>(i));
        continue;
      }
      if (track.reservedSize) track.written = track.reservedSize;  // the drive pads
      track.closed = true;
      track.invisible = false;
    }
    ++i;
  }
}

bool CRecorderState::CloseSession(bool finalize) {
  u32 session = SessionCount();
  bool hasData = false;
  for (const SimTrack& track : medium.tracks)
    if (track.session == session && (track.written > 0 || track.reservedSize > 0)) hasData = true;
  if (!hasData) return false;
  CloseOpenTracks(false);
  if (finalize) {
    medium.finalized = true;
    return true;
  }
  u32 end = 0;
  for (const SimTrack& track : medium.tracks)
    if (track.start + TrackSize(track) > end) end = track.start + TrackSize(track);
  u32 start = end + SessionGap(session);
  if (start < medium.capacity)
    AddInvisibleTrack(start, session + 1);
  else
    medium.finalized = true;  // no room for another session
  return true;
}

void CRecorderState::ResetToBlank(bool full) {
  if (medium.profile == 0x13) {
    medium.info = &GetMediumPresetInfo(MediumPreset::kDvdRwSequential);
    medium.profile = 0x14;
  }
  medium.tracks.clear();
  medium.store.Clear();
  medium.cached.clear();
  medium.finalized = false;
  medium.cueSheet.clear();
  medium.cueValid = false;
  medium.everWritten = false;
  medium.minimallyBlanked = !full;
  AddInvisibleTrack(0, 1);
}

void CRecorderState::UpdateBackgroundFormat() {
  if (medium.backgroundFormat == 2 && NowMs() >= medium.backgroundEndMs) medium.backgroundFormat = 3;
}

bool CRecorderState::HostSector(u32 lba, std::vector<u8>* out) {
  auto it = medium.cached.find(lba);
  if (it == medium.cached.end()) return medium.store.Get(lba, out);
  *out = it->second;
  return true;
}

void CRecorderState::FlushCache() {
  for (const auto& block : medium.cached) medium.store.Put(block.first, block.second.data(), block.second.size());
  medium.cached.clear();
  cacheDirty = false;
}

bool CRecorderState::SectorUserData(u32 lba, std::vector<u8>* out) {
  if (!HostSector(lba, out)) {
    out->assign(2048, 0);
    return true;
  }
  if (out->size() == 2336) {
    std::vector<u8> user(out->begin() + 8, out->begin() + 8 + 2048);
    *out = user;
  } else if (out->size() == 2056) {
    std::vector<u8> user(out->begin() + 8, out->end());
    *out = user;
  } else if (out->size() != 2048) {
    return false;
  }
  return true;
}
