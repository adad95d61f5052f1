// Recording: WRITE(10) with the order rules of each medium, RESERVE TRACK,
// CLOSE TRACK/SESSION, SYNCHRONIZE CACHE, SEND CUE SHEET, SEND OPC
// INFORMATION, BLANK and FORMAT UNIT.
#include <cstdint>

#include "recorder_state.h"

namespace {

// Host block size of a CD track-at-once write by data block type, 0 when
// the type is not one MMC defines.
u32 BlockSizeOfDataType(u8 type) {
  switch (type) {
    case 0: return 2352;
    case 1: return 2368;
    case 2: case 3: return 2448;
    case 8: case 10: return 2048;
    case 9: return 2336;
    case 11: return 2056;
    case 12: return 2324;
    case 13: return 2332;
    default: return 0;
  }
}

// Host block sizes a cue-sheet data form takes (Mode 2 data may come as user
// data or with its sub-header).
bool CueFormAccepts(u8 form, u32 size) {
  switch (form & 0xF0) {
    case 0x00: return size == 2352;
    case 0x10: return (form & 0x0F) == 0 || (form & 0x0F) == 4 ? size == 2048 : size == 2352;
    case 0x20: return size == 2048 || size == 2336 || size == 2352;
    case 0x30: return size == 2336 || size == 2352;
    default: return false;
  }
}

i32 CueEntryLba(const u8* entry) { return MsfToLba(entry[5], entry[6], entry[7]); }

bool IsMode2Type(u8 type) { return type >= 9 && type <= 13; }

}  // namespace

bool CRecorderState::Underrun(bool continuing) {
  u64 now = NowMs();
  u64 gap = now > lastWriteMs ? now - lastWriteMs : 0;
  lastWriteMs = now;
  // BUFE: the drive waits for data. Media written without page 05 are
  // always protected so.
  if (!continuing || (page05[2] & 0x40) || !(IsCd() || IsDvdMinus())) return false;
  // The host stopped for longer than the drive's buffer lasts at the write
  // speed (kB/s = bytes a millisecond).
  return gap * writeSpeed > u64(identity.bufferKb) * 1024;
}

bool CRecorderState::RefuseByWriteParameters(CommandContext& c) {
  u8 trackMode = page05[3] & 0x0F;
  u8 type = page05[4] & 0x0F;
  bool audioTrack = (trackMode & 0x04) == 0;
  // Audio tracks take raw blocks; data tracks take data blocks (or raw ones
  // with sub-channel), never plain audio blocks.
  bool typeFits = audioTrack ? type <= 3 : (type >= 1 && type != 4 && type != 5 && type != 6 && type != 7);
  // A Mode 2 track belongs to a CD-ROM XA session, a Mode 1 track to a CD-ROM one.
  bool formatFits = audioTrack || (IsMode2Type(type) ? page05[8] == 0x20 : type != 8 || page05[8] == 0x00);
  if (typeFits && formatFits) return false;
  Fail(c, 5, 0x64, 0x00);  // illegal mode for this track
  return true;
}

bool CRecorderState::CueSheetBreaksRules(const u8* data, u32 entries) {
  // Per track: indexes 0 or 1 first and then one by one, an index 1, one
  // data form, and at least 4 seconds (300 blocks) from index 1 to the next
  // track or the lead-out. The session format must fit the data tracks.
  u8 track = 0, lastIndex = 0, form = 0;
  bool haveIndex1 = false, mode1 = false, mode2 = false;
  i32 index1 = 0;
  for (u32 i = 1; i < entries; ++i) {
    const u8* e = data + i * 8;
    if (e[1] != track) {
      if (track != 0 && (!haveIndex1 || CueEntryLba(e) - index1 < 300)) return true;
      if (e[1] == 0xAA) break;
      if (e[2] > 1) return true;
      track = e[1];
      form = e[3];
      haveIndex1 = false;
    } else if (e[2] != lastIndex + 1 || e[3] != form) {
      return true;
    }
    lastIndex = e[2];
    if (e[2] == 1) {
      haveIndex1 = true;
      index1 = CueEntryLba(e);
    }
    mode2 = mode2 || (form & 0xF0) >= 0x20;
    mode1 = mode1 || (form & 0xF0) == 0x10;
  }
  if (mode2 && page05[8] != 0x20) return true;
  return mode1 && !mode2 && page05[8] != 0x00;
}

void CRecorderState::Write10(CommandContext& c) {
  u32 lba = GetBe32(c.cdb + 2);
  i32 signedLba = static_cast<i32>(lba);
  u32 count = GetBe16(c.cdb + 7);
  u32 transfer = c.command->transferLength;
  if (count == 0) {
    if (transfer) Violation(c, "data sent with a transfer of 0 blocks");
    return;
  }
  const MediumPresetInfo* info = medium.info;
  if (info->kind == RecordingKind::kReadOnly) {
    Fail(c, 5, 0x30, 0x05);
    return;
  }
  if (transfer % count) {
    Violation(c, "transfer length " + std::to_string(transfer) + " is not a whole number of blocks");
    return;
  }
  u32 size = transfer / count;
  u8 writeType = page05[2] & 0x0F;
  SimTrack* track = nullptr;

  if (IsRandom()) {
    if (size != 2048) {
      Violation(c, "block size " + std::to_string(size) + " on a 2048-byte medium");
      return;
    }
    u32 limit = WritableLimit();
    if (limit == 0) {
      Fail(c, 5, 0x30, 0x10);  // medium not formatted
      return;
    }
    if (medium.profile == 0x13 && (lba % 16 || count % 16)) {
      Fail(c, 5, 0x21, 0x02);  // restricted overwrite writes whole ECC blocks
      return;
    }
    if (lba >= limit || count > limit - lba) {
      Fail(c, 5, 0x21, 0x02);
      return;
    }
    if (IsDvdPlusRw() && !medium.formatted) {
      // A blank DVD+RW formats itself in the background when written.
      medium.formatted = true;
      medium.backgroundFormat = 2;
      medium.backgroundBase = 0;
      medium.backgroundStartMs = NowMs();
      medium.backgroundEndMs = medium.backgroundStartMs + timings.backgroundFormatMs;
    }
    track = &medium.tracks.front();
    if (lba + count > track->written) track->written = lba + count;
  } else {
    if (medium.finalized) {
      Fail(c, 5, 0x21, 0x02);
      return;
    }
    if (!page05Set) {
      Fail(c, 5, 0x2C, 0x00);  // no write parameters since the medium came
      return;
    }
    if (IsCd() && writeType == 2) {
      if (!medium.cueValid) {
        Fail(c, 5, 0x2C, 0x00);  // disc-at-once without a cue sheet
        return;
      }
      if (signedLba != medium.daoNext || signedLba + i32(count) > medium.daoLeadOut) {
        Fail(c, 5, 0x21, 0x02);
        return;
      }
      if (Underrun(signedLba != medium.daoStart)) {
        Fail(c, 3, 0x0C, 0x09);
        return;
      }
      // Every block must match the data form of the cue entry it falls in.
      const std::vector<u8>& cue = medium.cueSheet;
      for (u32 i = 0; i < count; ++i) {
        i32 at = signedLba + i32(i);
        u8 form = 0xFF;
        for (size_t e = 8; e + 8 <= cue.size(); e += 8)
          if (cue[e + 1] != 0xAA && CueEntryLba(&cue[e]) <= at) form = cue[e + 3];
        if (!CueFormAccepts(form, size)) {
          Violation(c, "block size " + std::to_string(size) + " for cue data form " + std::to_string(form));
          return;
        }
      }
      medium.daoNext += i32(count);
    } else {
      if (IsCd() && writeType != 1) {
        Fail(c, 5, 0x64, 0x00);  // no packet or raw writing here
        return;
      }
      u32 expected = 2048;
      if (IsCd()) expected = BlockSizeOfDataType(page05[4] & 0x0F);
      if (size != expected) {
        Violation(c, "block size " + std::to_string(size) + ", the write parameters give " + std::to_string(expected));
        return;
      }
      if (IsCd() && RefuseByWriteParameters(c)) return;
      track = OpenTrackAt(lba);
      if (!track) {
        Fail(c, 5, 0x21, 0x02);  // not at a next writable address
        return;
      }
      if (IsDvdMinus()) {
        if (writeType == 2 && !track->reservedSize) {
          Fail(c, 5, 0x2C, 0x00);  // disc-at-once needs RESERVE TRACK first
          return;
        }
        if (writeType == 0) track->incremental = true;
      }
      if (FreeBlocks(*track) < count) {
        Fail(c, 5, 0x21, 0x02);
        return;
      }
      if (track->underrun || Underrun(track->written > 0)) {
        track->underrun = true;
        Fail(c, 3, 0x0C, 0x09);  // loss of streaming: the track cannot go on
        return;
      }
      if (timings.leadInMs && track->written == 0) {
        u64 now = NowMs();
        if (leadInLba != lba) {
          leadInLba = lba;
          leadInUntilMs = now + timings.leadInMs;
        }
        if (now < leadInUntilMs) {
          Fail(c, 2, 0x04, 0x08);
          return;
        }
      }
      if (IsCd()) {
        track->audio = (page05[3] & 0x04) == 0;
        track->mode2 = (page05[4] & 0x0F) >= 9;
      }
      track->written += count;
    }
  }
  const u8* data = c.command->data;
  // FUA: the blocks go to the disc before the command ends, past the cache.
  bool forceUnitAccess = (c.cdb[1] & 0x08) != 0;
  bool writeCache = (page08[2] & 0x04) != 0 && !forceUnitAccess;
  for (u32 i = 0; i < count; ++i) {
    i32 at = signedLba + i32(i);
    if (at < 0) continue;
    const u8* block = data + size_t(i) * size;
    if (writeCache) {
      medium.cached[static_cast<u32>(at)].assign(block, block + size);
    } else {
      medium.cached.erase(static_cast<u32>(at));
      medium.store.Put(static_cast<u32>(at), block, size);
    }
  }
  medium.everWritten = true;
  if (writeCache) cacheDirty = true;
  DrainBuffer();
  u64 fill = u64(bufferFill) + transfer;
  u32 total = u32(identity.bufferKb) * 1024;
  bufferFill = fill > total ? total : static_cast<u32>(fill);
}

void CRecorderState::ReserveTrack(CommandContext& c) {
  if (!IsSequential() || medium.finalized) {
    Fail(c, 5, 0x2C, 0x00);
    return;
  }
  SimTrack* open = InvisibleTrack();
  if (!open || open->written) {
    Fail(c, 5, 0x2C, 0x00);
    return;
  }
  u32 size;
  if (c.cdb[1] & 0x01) {
    u32 end = GetBe32(c.cdb + 2);
    if (medium.profile != 0x41 || end <= open->start) {
      Fail(c, 5, 0x24, 0x00);
      return;
    }
    size = end - open->start;
  } else {
    size = GetBe32(c.cdb + 5);
  }
  if (!IsCd()) size = (size + 15) / 16 * 16;
  if (size == 0 || size > medium.capacity - open->start) {
    Fail(c, 5, 0x24, 0x00);
    return;
  }
  open->reservedSize = size;
  open->invisible = false;
  u32 next = open->start + size + (IsCd() ? kCdTrackGap : 0);
  u32 session = open->session;
  if (next < medium.capacity) AddInvisibleTrack(next, session);
}

void CRecorderState::CloseTrackSession(CommandContext& c) {
  bool immed = c.cdb[1] & 0x01;
  u8 function = c.cdb[2] & 0x07;
  u32 number = GetBe16(c.cdb + 4);
  if (medium.info->kind == RecordingKind::kReadOnly) {
    Fail(c, 5, 0x24, 0x00);
    return;
  }
  if (IsRandom()) {
    if (function == 0 && IsDvdPlusRw()) {
      UpdateBackgroundFormat();
      if (medium.backgroundFormat == 2) {
        u64 now = NowMs();
        u64 span = medium.backgroundEndMs - medium.backgroundStartMs;
        u64 done = now > medium.backgroundStartMs ? now - medium.backgroundStartMs : 0;
        u64 reached = medium.backgroundBase + (span ? done * (65536 - medium.backgroundBase) / span : 0);
        medium.backgroundBase = static_cast<u16>(reached > 65535 ? 65535 : reached);
        medium.backgroundFormat = 1;
        SpendTime(c, timings.closeTrackMs, immed, 0x04, 0x07);
      }
    }
    // Other closes on random-writable media have nothing to close.
    return;
  }
  if (medium.finalized) {
    Fail(c, 5, 0x2C, 0x00);
    return;
  }
  bool plusFamily = IsDvdPlusR() || medium.profile == 0x41 || medium.profile == 0x51 || medium.profile == 0x58;
  u32 ms = 0;
  if (function == 1) {
    SimTrack* track = TrackByNumber(number);
    if (!track || track->closed) {
      Fail(c, 5, 0x24, 0x00);
      return;
    }
    if (track->written == 0 && !track->reservedSize) {
      Fail(c, 5, 0x2C, 0x00);  // nothing written to close
      return;
    }
    bool wasOpen = track->invisible;
    u32 session = track->session;
    if (track->reservedSize) track->written = track->reservedSize;
    track->closed = true;
    track->invisible = false;
    if (wasOpen) {
      u32 next = track->start + track->written + (IsCd() ? kCdTrackGap : 0);
      if (next < medium.capacity) AddInvisibleTrack(next, session);
    }
    ms = timings.closeTrackMs;
  } else if (function == 2 || ((function == 5 || function == 6) && plusFamily)) {
    bool finalize;
    if (plusFamily)
      finalize = function != 2;
    else
      finalize = (page05[3] >> 6) != 3 || (IsDvdMinus() && (page05[2] & 0x0F) == 2);
    if (!CloseSession(finalize)) {
      bool earlier = false;
      for (const SimTrack& track : medium.tracks) earlier = earlier || track.closed;
      if (!(finalize && earlier)) {
        Fail(c, 5, 0x2C, 0x04);  // current program area is empty
        return;
      }
      CloseOpenTracks(false);
      medium.finalized = true;
    }
    ms = finalize ? timings.finalizeMs : timings.closeSessionMs;
  } else {
    Fail(c, 5, 0x24, 0x00);
    return;
  }
  FlushCache();
  bufferFill = 0;
  SpendTime(c, ms, immed, 0x04, 0x07);
}

void CRecorderState::SynchronizeCache(CommandContext& c) {
  bool immed = (c.cdb[1] & 0x02) != 0;
  // The range to flush (0 blocks: to the end) must lie on the medium; the
  // drive flushes all of its cache whatever the range.
  u32 lba = GetBe32(c.cdb + 2), blocks = GetBe16(c.cdb + 7);
  if (lba > medium.capacity || blocks > medium.capacity - lba) {
    Fail(c, 5, 0x21, 0x00);
    return;
  }
  u32 ms = cacheDirty ? timings.syncCacheMs : 0;
  FlushCache();
  bufferFill = 0;
  if (IsCd() && medium.cueValid && medium.daoNext == medium.daoLeadOut && medium.daoNext > medium.daoStart) {
    // Disc-at-once complete: the drive writes the lead-out and closes the
    // session as its cue sheet described it.
    SimTrack* open = InvisibleTrack();
    u32 session = open ? open->session : SessionCount() + 1;
    u32 number = open ? open->number : LastTrackInLastSession() + 1;
    if (open) medium.tracks.pop_back();
    // Tracks from the cue sheet: each runs from its index 1 to the next
    // track's first index (or the lead-out).
    struct CueTrack {
      u8 tno;
      i32 index0, index1;
      u8 form;
    };
    std::vector<CueTrack> list;
    const std::vector<u8>& cue = medium.cueSheet;
    for (size_t e = 0; e + 8 <= cue.size(); e += 8) {
      const u8* entry = &cue[e];
      if (entry[1] == 0 || entry[1] == 0xAA) continue;
      if (list.empty() || list.back().tno != entry[1]) list.push_back({entry[1], INT32_MIN, INT32_MIN, entry[3]});
      if (entry[2] == 0) list.back().index0 = CueEntryLba(entry);
      if (entry[2] == 1) {
        list.back().index1 = CueEntryLba(entry);
        list.back().form = entry[3];
      }
    }
    for (size_t i = 0; i < list.size(); ++i) {
      i32 start = list[i].index1 != INT32_MIN ? list[i].index1 : list[i].index0;
      i32 end = medium.daoLeadOut;
      if (i + 1 < list.size()) end = list[i + 1].index0 != INT32_MIN ? list[i + 1].index0 : list[i + 1].index1;
      SimTrack track;
      track.number = number + static_cast<u32>(i);
      track.session = session;
      track.start = static_cast<u32>(start < 0 ? 0 : start);
      track.written = end > i32(track.start) ? static_cast<u32>(end) - track.start : 0;
      track.closed = true;
      track.audio = (list[i].form & 0xF0) == 0x00;
      track.mode2 = (list[i].form & 0xF0) >= 0x20;
      medium.tracks.push_back(track);
    }
    medium.cueValid = false;
    bool finalize = (page05[3] >> 6) != 3;
    if (finalize) {
      medium.finalized = true;
    } else {
      u32 next = static_cast<u32>(medium.daoLeadOut) + SessionGap(session);
      if (next < medium.capacity) AddInvisibleTrack(next, session + 1);
      else medium.finalized = true;
    }
    ms += finalize ? timings.finalizeMs : timings.closeSessionMs;
  }
  SpendTime(c, ms, immed, 0x04, 0x08);
}

void CRecorderState::SendCueSheet(CommandContext& c) {
  SimTrack* open = InvisibleTrack();
  if (!IsCd() || !IsSequential() || medium.finalized || (page05[2] & 0x0F) != 2 || !open || open->written ||
      open->reservedSize) {
    Fail(c, 5, 0x2C, 0x00);
    return;
  }
  const u8* data = c.command->data;
  u32 length = c.command->transferLength;
  if (length % 8 || length < 24) {
    Fail(c, 5, 0x26, 0x00);
    return;
  }
  u32 entries = length / 8;
  if (data[1] != 0 || data[(entries - 1) * 8 + 1] != 0xAA) {
    Fail(c, 5, 0x26, 0x00);  // lead-in first, lead-out last
    return;
  }
  i32 previous = -150 - 1;
  u8 lastTrack = 0;
  i32 first = 0;
  bool haveFirst = false;
  for (u32 i = 1; i < entries; ++i) {
    const u8* e = data + i * 8;
    if (e[6] >= 60 || e[7] >= 75) {
      Fail(c, 5, 0x26, 0x00);
      return;
    }
    i32 at = CueEntryLba(e);
    bool leadOut = e[1] == 0xAA;
    if (leadOut != (i == entries - 1) || (!leadOut && (e[1] == 0 || e[1] > 99 || e[1] < lastTrack)) ||
        at < previous) {
      Fail(c, 5, 0x26, 0x00);
      return;
    }
    if (!leadOut) {
      lastTrack = e[1];
      if (!haveFirst) {
        first = at;
        haveFirst = true;
      }
    }
    previous = at;
  }
  if (CueSheetBreaksRules(data, entries)) {
    Fail(c, 5, 0x26, 0x00);
    return;
  }
  i32 sessionStart = static_cast<i32>(open->start);
  i32 leadOut = CueEntryLba(data + (entries - 1) * 8);
  if (!haveFirst || (first != sessionStart - 150 && first != sessionStart) || leadOut > i32(medium.capacity)) {
    Fail(c, 5, 0x26, 0x00);
    return;
  }
  medium.cueSheet.assign(data, data + length);
  medium.cueValid = true;
  medium.daoStart = first;
  medium.daoNext = first;
  medium.daoLeadOut = leadOut;
}

void CRecorderState::SendOpc(CommandContext& c) {
  if (medium.info->kind == RecordingKind::kReadOnly) {
    Fail(c, 5, 0x24, 0x00);
    return;
  }
  if (c.cdb[1] & 0x01) c.sleepMs = timings.opcMs;
}

void CRecorderState::Blank(CommandContext& c) {
  bool immed = (c.cdb[1] & 0x10) != 0;
  u8 type = c.cdb[1] & 0x07;
  if (!medium.info->erasable) {
    Fail(c, 5, 0x30, 0x05);
    return;
  }
  if (type > 1) {
    Fail(c, 5, 0x24, 0x00);
    return;
  }
  ResetToBlank(type == 0);
  cacheDirty = false;
  SpendTime(c, type == 0 ? timings.blankFullMs : timings.blankMinimalMs, immed, 0x04, 0x07);
}

void CRecorderState::FormatUnit(CommandContext& c) {
  if ((c.cdb[1] & 0x17) != 0x11) {
    Fail(c, 5, 0x24, 0x00);  // format data with format code 1 only
    return;
  }
  const u8* data = c.command->data;
  u32 length = c.command->transferLength;
  if (length < 12 || !data) {
    Fail(c, 5, 0x1A, 0x00);
    return;
  }
  if (GetBe16(data + 2) != 8) {
    Fail(c, 5, 0x26, 0x00);
    return;
  }
  if (length != 4u + GetBe16(data + 2)) {
    Fail(c, 5, 0x1A, 0x00);  // the list is not the length its header says
    return;
  }
  bool immed = (data[1] & 0x02) != 0;
  const u8* d = data + 4;
  u32 blocks = GetBe32(d);
  u8 type = d[4] >> 2;
  if (!medium.info->formattable) {
    Fail(c, 5, 0x30, 0x06);
    return;
  }
  bool accepted = false;
  for (u8 t : medium.info->formatTypes) accepted = accepted || t == type;
  if (type == 0x13 && medium.profile != 0x13) accepted = false;
  if (!accepted || blocks > medium.capacity) {
    Fail(c, 5, 0x26, 0x00);
    return;
  }
  auto formatRandom = [&](bool quick) {
    if (medium.profile == 0x14 || medium.profile == 0x13) {
      medium.info = &GetMediumPresetInfo(MediumPreset::kDvdRwRestricted);
      medium.profile = 0x13;
    }
    medium.tracks.assign(1, SimTrack());
    medium.tracks.front().closed = true;
    medium.store.Clear();
    medium.cached.clear();
    medium.formatted = true;
    medium.finalized = false;
    medium.quickFormatted = quick;
    medium.formattedBlocks = medium.capacity;
    medium.cueValid = false;
  };
  u32 ms = timings.formatQuickMs;
  switch (type) {
    case 0x00:
      if (IsSequential() && medium.profile != 0x14) {
        ResetToBlank(true);
      } else {
        formatRandom(false);
      }
      ms = timings.formatFullMs;
      break;
    case 0x01:
    case 0x30:
    case 0x31:
      formatRandom(false);
      break;
    case 0x13:
      medium.formattedBlocks = medium.capacity;
      medium.quickFormatted = false;
      break;
    case 0x15:
      formatRandom(true);
      break;
    case 0x10:
    case 0x11:
      ResetToBlank(true);
      ms = timings.formatFullMs;
      break;
    case 0x26: {
      bool restart = (d[7] & 0x01) != 0;
      if (!(restart && medium.backgroundFormat == 1)) {
        formatRandom(false);
        medium.backgroundBase = 0;
      }
      // The drive is busy a little, then formats in the background.
      ms = 2000;
      medium.backgroundFormat = 2;
      medium.backgroundStartMs = NowMs() + ms;
      medium.backgroundEndMs = medium.backgroundStartMs + timings.backgroundFormatMs;
      break;
    }
    default:
      Fail(c, 5, 0x26, 0x00);
      return;
  }
  cacheDirty = false;
  SpendTime(c, ms, immed, 0x04, 0x04);
}
