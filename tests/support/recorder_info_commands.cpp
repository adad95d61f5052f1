// What the drive says about the medium: READ DISC INFORMATION, READ TRACK
// INFORMATION, READ TOC/PMA/ATIP, READ CAPACITY, READ FORMAT CAPACITIES.
#include "recorder_state.h"

namespace {

void PutMsf(std::vector<u8>& reply, u32 at, i32 lba) {
  u8 m, s, f;
  LbaToMsf(lba, &m, &s, &f);
  reply[at] = 0;
  reply[at + 1] = m;
  reply[at + 2] = s;
  reply[at + 3] = f;
}

u8 ControlOf(const SimTrack& track) {
  if (track.audio) return 0x0;
  return track.incremental ? 0x5 : 0x4;
}

}  // namespace

void CRecorderState::ReadDiscInformation(CommandContext& c) {
  if (c.cdb[1] & 0x07) {
    Fail(c, 5, 0x24, 0x00);
    return;
  }
  UpdateBackgroundFormat();
  c.reply.assign(34, 0);
  PutBe16(c.reply, 0, 32);
  bool erasable = medium.info->erasable || (IsRandom() && medium.profile != 0x42);
  c.reply[2] = static_cast<u8>((erasable ? 0x10 : 0) | (LastSessionState() << 2) | DiscStatus());
  c.reply[3] = medium.tracks.empty() ? 1 : static_cast<u8>(medium.tracks.front().number);
  u32 sessions = SessionCount();
  u32 first = FirstTrackInLastSession();
  u32 last = LastTrackInLastSession();
  c.reply[4] = static_cast<u8>(sessions);
  c.reply[5] = static_cast<u8>(first);
  c.reply[6] = static_cast<u8>(last);
  c.reply[7] = static_cast<u8>(0x20 | (IsDvdPlusRw() ? medium.backgroundFormat & 0x03 : 0));  // URU
  bool xa = false;
  for (const SimTrack& track : medium.tracks) xa = xa || track.mode2;
  c.reply[8] = IsCd() && xa ? 0x20 : 0x00;
  c.reply[9] = static_cast<u8>(sessions >> 8);
  c.reply[10] = static_cast<u8>(first >> 8);
  c.reply[11] = static_cast<u8>(last >> 8);
  SimTrack* open = InvisibleTrack();
  if (medium.finalized || !IsSequential() || !open) {
    PutBe32(c.reply, 16, 0xFFFFFFFFu);
    PutBe32(c.reply, 20, 0xFFFFFFFFu);
  } else if (IsCd()) {
    PutMsf(c.reply, 16, static_cast<i32>(open->start) - 150 - 4500);
    PutMsf(c.reply, 20, static_cast<i32>(medium.capacity));
  } else {
    PutBe32(c.reply, 16, open->start);
    PutBe32(c.reply, 20, medium.capacity);
  }
}

void CRecorderState::ReadTrackInformation(CommandContext& c) {
  u8 type = c.cdb[1] & 0x03;
  u32 value = GetBe32(c.cdb + 2);
  SimTrack* track = nullptr;
  if (type == 0) {
    track = TrackContaining(value);
  } else if (type == 1) {
    if (value == 0xFF)
      track = InvisibleTrack();
    else if (value != 0)
      track = TrackByNumber(value);
  } else if (type == 2) {
    for (SimTrack& t : medium.tracks)
      if (t.session == value) {
        track = &t;
        break;
      }
  }
  if (!track) {
    Fail(c, 5, 0x24, 0x00);
    return;
  }
  c.reply.assign(48, 0);
  PutBe16(c.reply, 0, 46);
  c.reply[2] = static_cast<u8>(track->number);
  c.reply[3] = static_cast<u8>(track->session);
  c.reply[32] = static_cast<u8>(track->number >> 8);
  c.reply[33] = static_cast<u8>(track->session >> 8);
  c.reply[5] = ControlOf(*track);
  bool blank = !track->closed && track->written == 0;
  u8 dataMode = blank ? 0x0F : (track->mode2 ? 0x02 : 0x01);
  if (track->audio) dataMode = 0x0F;
  c.reply[6] = static_cast<u8>((track->reservedSize ? 0x80 : 0) | (blank ? 0x40 : 0) |
                               (track->incremental ? 0x20 : 0) | dataMode);
  bool writable = !track->closed && medium.info->kind == RecordingKind::kSequential && !medium.finalized;
  if (track->written) c.reply[7] |= 0x02;  // LRA_V
  if (writable) c.reply[7] |= 0x01;        // NWA_V
  PutBe32(c.reply, 8, track->start);
  if (writable) PutBe32(c.reply, 12, NextWritable(*track));
  PutBe32(c.reply, 16, FreeBlocks(*track));
  if (track->incremental && !IsCd()) PutBe32(c.reply, 20, 16);
  PutBe32(c.reply, 24, TrackSize(*track));
  if (track->written) PutBe32(c.reply, 28, track->start + track->written - 1);
}

void CRecorderState::ReadToc(CommandContext& c) {
  bool msf = (c.cdb[1] & 0x02) != 0;
  u8 format = c.cdb[2] & 0x0F;
  u8 number = c.cdb[6];
  std::vector<const SimTrack*> listed;
  for (const SimTrack& track : medium.tracks)
    if (track.closed) listed.push_back(&track);
  // A CD lists only the tracks of closed sessions.
  if (IsCd() && !medium.finalized) {
    std::vector<const SimTrack*> closedOnly;
    const SimTrack* open = InvisibleTrack();
    for (const SimTrack* track : listed)
      if (open && track->session < open->session) closedOnly.push_back(track);
    listed = closedOnly;
  }
  if (IsRandom() && (WritableLimit() == 0 || !(medium.formatted || medium.profile == 0x13))) listed.clear();
  auto address = [&](std::vector<u8>& reply, u32 at, u32 lba) {
    if (msf)
      PutMsf(reply, at, static_cast<i32>(lba));
    else
      PutBe32(reply, at, lba);
  };

  if (format == 0 || format == 1) {
    if (listed.empty()) {
      Fail(c, 5, 0x24, 0x00);
      return;
    }
    const SimTrack* lastTrack = listed.back();
    c.reply.assign(4, 0);
    if (format == 0) {
      c.reply[2] = static_cast<u8>(listed.front()->number);
      c.reply[3] = static_cast<u8>(lastTrack->number);
      if (number > lastTrack->number && number != 0xAA) {
        Fail(c, 5, 0x24, 0x00);
        return;
      }
      for (const SimTrack* track : listed) {
        if (number == 0xAA || track->number < number) continue;
        std::vector<u8> d(8, 0);
        d[1] = static_cast<u8>(0x10 | ControlOf(*track));
        d[2] = static_cast<u8>(track->number);
        address(d, 4, track->start);
        c.reply.insert(c.reply.end(), d.begin(), d.end());
      }
      std::vector<u8> leadOut(8, 0);
      leadOut[1] = static_cast<u8>(0x10 | ControlOf(*lastTrack));
      leadOut[2] = 0xAA;
      address(leadOut, 4, lastTrack->start + TrackSize(*lastTrack));
      c.reply.insert(c.reply.end(), leadOut.begin(), leadOut.end());
    } else {
      u32 lastSession = lastTrack->session;
      const SimTrack* firstOfLast = lastTrack;
      for (const SimTrack* track : listed)
        if (track->session == lastSession) {
          firstOfLast = track;
          break;
        }
      c.reply[2] = 1;
      c.reply[3] = static_cast<u8>(lastSession);
      std::vector<u8> d(8, 0);
      d[1] = static_cast<u8>(0x10 | ControlOf(*firstOfLast));
      d[2] = static_cast<u8>(firstOfLast->number);
      address(d, 4, firstOfLast->start);
      c.reply.insert(c.reply.end(), d.begin(), d.end());
    }
    PutBe16(c.reply, 0, static_cast<u32>(c.reply.size() - 2));
    return;
  }
  bool recordableCd = IsCd() && medium.info->kind == RecordingKind::kSequential;
  if (format == 3 && recordableCd) {
    c.reply.assign(4, 0);
    if (!medium.finalized) {
      bool any = false;
      for (const SimTrack& track : medium.tracks) {
        if (track.written == 0) continue;
        if (!any) {
          std::vector<u8> id(11, 0);  // disc identification entry
          id[1] = 0x20;
          c.reply.insert(c.reply.end(), id.begin(), id.end());
          any = true;
        }
        std::vector<u8> d(11, 0);
        d[1] = static_cast<u8>(0x10 | ControlOf(track));
        d[3] = static_cast<u8>(track.number);
        u8 m, s, f;
        LbaToMsf(static_cast<i32>(track.start + track.written), &m, &s, &f);
        d[4] = m, d[5] = s, d[6] = f;
        LbaToMsf(static_cast<i32>(track.start), &m, &s, &f);
        d[8] = m, d[9] = s, d[10] = f;
        c.reply.insert(c.reply.end(), d.begin(), d.end());
      }
    }
    PutBe16(c.reply, 0, static_cast<u32>(c.reply.size() - 2));
    return;
  }
  if (format == 4 && recordableCd) {
    c.reply.assign(28, 0);
    PutBe16(c.reply, 0, 26);
    c.reply[4] = 0x50;
    c.reply[6] = static_cast<u8>(0x80 | (medium.info->erasable ? 0x40 : 0));
    c.reply[8] = 97;
    c.reply[9] = 26;
    c.reply[10] = 66;
    u8 m, s, f;
    LbaToMsf(static_cast<i32>(medium.capacity), &m, &s, &f);
    c.reply[12] = m;
    c.reply[13] = s;
    c.reply[14] = f;
    return;
  }
  Fail(c, 5, 0x24, 0x00);
}

void CRecorderState::ReadCapacity(CommandContext& c) {
  u32 end = IsRandom() ? WritableLimit() : LastRecordedBlock();
  c.reply.assign(8, 0);
  PutBe32(c.reply, 0, end ? end - 1 : 0);
  PutBe32(c.reply, 4, 2048);
}

void CRecorderState::ReadFormatCapacities(CommandContext& c) {
  c.reply.assign(12, 0);
  std::vector<u8>& r = c.reply;
  bool ready = MediumReady();
  if (!ready) {
    PutBe32(r, 4, GetMediumPresetInfo(MediumPreset::kDvdPlusRw).capacityBlocks);
    r[8] = 0x03;  // no medium
  } else {
    bool formatted;
    u32 blocks;
    if (IsRandom()) {
      formatted = WritableLimit() > 0 && (medium.formatted || medium.profile == 0x13);
      blocks = formatted ? WritableLimit() : medium.capacity;
    } else {
      u32 recorded = LastRecordedBlock();
      formatted = medium.info->kind == RecordingKind::kReadOnly || (recorded > 0 && medium.finalized);
      blocks = formatted ? recorded : medium.capacity;
    }
    PutBe32(r, 4, blocks);
    r[8] = formatted ? 0x02 : 0x01;
  }
  PutBe24(r, 9, 2048);
  if (ready && medium.info->formattable) {
    for (u8 type : medium.info->formatTypes) {
      if (type == 0xFF) continue;
      if (type == 0x13 && medium.profile != 0x13) continue;
      std::vector<u8> d(8, 0);
      PutBe32(d, 0, medium.capacity);
      d[4] = static_cast<u8>(type << 2);
      u32 parameter = 0;
      if (type == 0x00 || type == 0x01) parameter = 2048;
      if (type == 0x10 || type == 0x11 || type == 0x13 || type == 0x15) parameter = 16;
      PutBe24(d, 5, parameter);
      r.insert(r.end(), d.begin(), d.end());
    }
  }
  r[3] = static_cast<u8>(r.size() - 4);
}
