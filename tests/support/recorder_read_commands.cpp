// Reading back: READ(10), READ CD and SEEK(10).
#include <cstring>

#include "recorder_state.h"

namespace {

// Sync, header (address and mode), user bytes, zero EDC/ECC: a raw sector.
std::vector<u8> RawSector(u32 lba, u8 mode, const std::vector<u8>& user) {
  std::vector<u8> raw(2352, 0);
  for (u32 i = 1; i <= 10; ++i) raw[i] = 0xFF;
  u8 m, s, f;
  LbaToMsf(static_cast<i32>(lba), &m, &s, &f);
  auto bcd = [](u8 v) { return static_cast<u8>(((v / 10) << 4) | (v % 10)); };
  raw[12] = bcd(m);
  raw[13] = bcd(s);
  raw[14] = bcd(f);
  raw[15] = mode;
  std::memcpy(&raw[16], user.data(), user.size() < 2336 ? user.size() : 2336);
  return raw;
}

}  // namespace

void CRecorderState::Read10(CommandContext& c) {
  u32 lba = GetBe32(c.cdb + 2);
  u32 count = GetBe16(c.cdb + 7);
  c.allocation = count * 2048;
  if (c.command->transferLength != count * 2048) {
    Violation(c, "READ(10) of " + std::to_string(count) + " blocks with transfer length " +
                     std::to_string(c.command->transferLength));
    return;
  }
  // FUA: read from the disc, so what the cache holds goes there first.
  if (c.cdb[1] & 0x08) FlushCache();
  c.reply.reserve(size_t(count) * 2048);
  std::vector<u8> sector;
  for (u32 i = 0; i < count; ++i) {
    u32 at = lba + i;
    if (IsRandom()) {
      if (at >= WritableLimit()) {
        Fail(c, 5, 0x21, 0x00);
        return;
      }
    } else {
      SimTrack* track = TrackContaining(at);
      if (!track || at - track->start >= track->written) {
        Fail(c, 5, 0x21, 0x00);  // beyond what is recorded
        return;
      }
      if (track->audio) {
        Fail(c, 5, 0x64, 0x00);  // audio is read with READ CD
        return;
      }
    }
    if (!SectorUserData(at, &sector)) {
      Fail(c, 5, 0x64, 0x00);
      return;
    }
    c.reply.insert(c.reply.end(), sector.begin(), sector.end());
  }
}

void CRecorderState::ReadCd(CommandContext& c) {
  u8 type = (c.cdb[1] >> 2) & 0x07;
  u32 lba = GetBe32(c.cdb + 2);
  u32 count = GetBe24(c.cdb + 6);
  u8 fields = c.cdb[9];
  if (c.cdb[10] != 0 || (fields != 0x10 && fields != 0xF8) || type > 5) {
    Fail(c, 5, 0x24, 0x00);
    return;
  }
  if (!IsCd()) {
    Fail(c, 5, 0x64, 0x00);
    return;
  }
  std::vector<u8> sector;
  for (u32 i = 0; i < count; ++i) {
    u32 at = lba + i;
    SimTrack* track = TrackContaining(at);
    if (!track || at - track->start >= track->written) {
      Fail(c, 5, 0x21, 0x00);
      return;
    }
    std::vector<u8> out;
    if (track->audio) {
      if (type != 0 && type != 1) {
        Fail(c, 5, 0x64, 0x00);
        return;
      }
      if (!HostSector(at, &sector)) sector.assign(2352, 0);
      sector.resize(2352, 0);
      out = sector;
    } else if (!track->mode2) {
      if (type != 0 && type != 2) {
        Fail(c, 5, 0x64, 0x00);
        return;
      }
      SectorUserData(at, &sector);
      out = fields == 0xF8 ? RawSector(at, 1, sector) : sector;
    } else {
      if (type != 0 && type != 3 && type != 4) {
        Fail(c, 5, 0x64, 0x00);
        return;
      }
      SectorUserData(at, &sector);
      if (type == 4 && fields == 0x10) {
        out = sector;
      } else {
        std::vector<u8> formless(2336, 0);
        formless[2] = formless[6] = 0x08;  // Form 1 data sub-header
        std::memcpy(&formless[8], sector.data(), 2048);
        out = fields == 0xF8 ? RawSector(at, 2, formless) : formless;
      }
    }
    if (i == 0 && c.command->transferLength != out.size() * count) {
      Violation(c, "READ CD of " + std::to_string(count) + " sectors of " + std::to_string(out.size()) +
                       " bytes with transfer length " + std::to_string(c.command->transferLength));
      return;
    }
    c.reply.insert(c.reply.end(), out.begin(), out.end());
  }
  c.allocation = static_cast<u32>(c.reply.size());
}

void CRecorderState::Seek(CommandContext& c) {
  if (GetBe32(c.cdb + 2) >= medium.capacity) Fail(c, 5, 0x21, 0x00);
}
