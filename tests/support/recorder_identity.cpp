// What the drive says about itself: INQUIRY, GET CONFIGURATION features,
// mode pages 2A, 05 and 08, speeds (GET PERFORMANCE, SET STREAMING, SET CD
// SPEED) and READ BUFFER CAPACITY.
#include <algorithm>
#include <cstring>

#include "recorder_state.h"

namespace {

// Write speeds in kB/s, fastest first, and the fastest read, per family.
const u32 kCdWrite[] = {8467, 7056, 5645, 4234, 2822, 1764, 1411, 706};
const u32 kDvdWrite[] = {22160, 16620, 11080, 8310, 5540, 2770};
const u32 kBdWrite[] = {53940, 35960, 26970, 17980, 8990};
const u32 kHdDvdWrite[] = {8990, 4495};

template <size_t N>
std::vector<u32> Speeds(const u32 (&table)[N], u32 limit) {
  std::vector<u32> out;
  for (u32 speed : table)
    if (speed <= limit) out.push_back(speed);
  return out;
}

struct Feature {
  u16 code;
  u8 version;
  bool current;
  std::vector<u8> data;
};

}  // namespace

std::vector<u32> CRecorderState::WriteSpeeds() const {
  MediaFamily family = medium.info ? medium.info->family : MediaFamily::kCd;
  u32 limit = 0xFFFFFFFFu;
  if (medium.info && mediumPresent) {
    limit = medium.info->maxWriteKbs;
    if (limit == 0) return std::vector<u32>();
  }
  switch (family) {
    case MediaFamily::kCd: return Speeds(kCdWrite, limit);
    case MediaFamily::kDvd: return Speeds(kDvdWrite, limit);
    case MediaFamily::kBd: return Speeds(kBdWrite, limit);
    case MediaFamily::kHdDvd: return Speeds(kHdDvdWrite, limit);
  }
  return std::vector<u32>();
}

u32 CRecorderState::MaxReadSpeed() const {
  MediaFamily family = medium.info && mediumPresent ? medium.info->family : MediaFamily::kCd;
  switch (family) {
    case MediaFamily::kCd: return 8467;
    case MediaFamily::kDvd: return 22160;
    case MediaFamily::kBd: return 35960;
    case MediaFamily::kHdDvd: return 13485;
  }
  return 0;
}

u32 CRecorderState::SnapWriteSpeed(u32 wanted) const {
  std::vector<u32> speeds = WriteSpeeds();
  if (speeds.empty()) return 0;
  if (wanted == 0xFFFF || wanted == 0xFFFFFFFFu) return speeds.front();
  for (u32 speed : speeds)
    if (speed <= wanted) return speed;
  return speeds.back();
}

u32 CRecorderState::SnapReadSpeed(u32 wanted) const {
  u32 max = MaxReadSpeed();
  if (wanted == 0xFFFF || wanted == 0 || wanted > max) return max;
  return wanted;
}

void CRecorderState::DrainBuffer() {
  u64 now = NowMs();
  if (now > bufferFillMs) {
    u64 drained = (now - bufferFillMs) * writeSpeed;  // kB/s = bytes per ms
    bufferFill = drained >= bufferFill ? 0 : bufferFill - static_cast<u32>(drained);
  }
  bufferFillMs = now;
}

std::vector<u8> CRecorderState::DefaultPage05() const {
  u8 length = identity.page05Length < 0x32 ? 0x32 : identity.page05Length;
  std::vector<u8> page(2u + length, 0);
  page[0] = 0x05;
  page[1] = length;
  bool dvdMinus = IsDvdMinus() || medium.profile == 0x13;
  page[2] = dvdMinus || !IsCd() ? 0x00 : 0x01;  // incremental on DVD, track-at-once on CD
  page[3] = 0x04;                            // track mode 4: data
  page[4] = 0x08;                            // Mode 1
  if (dvdMinus) {
    page[2] |= 0x20;  // LS_V
    page[5] = 16;
  }
  page[14] = 0x00;
  page[15] = 150;  // audio pause length
  return page;
}

void CRecorderState::InitModePages() {
  page05 = DefaultPage05();
  page08.assign(12, 0);
  page08[0] = 0x08;
  page08[1] = 0x0A;
  page08[2] = identity.writeCacheDefault ? 0x04 : 0x00;
}

std::vector<u8> CRecorderState::ModePage2A() const {
  std::vector<u32> speeds = WriteSpeeds();
  if (speeds.size() > 16) speeds.resize(16);
  bool full = identity.page2AWithDescriptors;
  std::vector<u8> page(full ? 32 + 4 * speeds.size() : 26, 0);
  page[0] = 0x2A;
  page[1] = static_cast<u8>(page.size() - 2);
  page[2] = 0x3F;  // reads CD-R, CD-RW, method 2, DVD-ROM, DVD-R, DVD-RAM
  page[3] = 0x37;  // writes CD-R, CD-RW, test write, DVD-R, DVD-RAM
  page[4] = 0x71;  // multi-session, Mode 2 Form 1 and 2, audio play
  page[5] = 0x03;
  page[6] = static_cast<u8>(0x29 | (preventRemoval ? 0x02 : 0));  // tray, eject, lock
  u32 maxWrite = speeds.empty() ? 0 : speeds.front();
  PutBe16(page, 8, MaxReadSpeed());
  PutBe16(page, 10, 256);
  PutBe16(page, 12, identity.bufferKb);
  PutBe16(page, 14, readSpeed);
  PutBe16(page, 18, maxWrite);
  PutBe16(page, 20, writeSpeed);
  if (full) {
    PutBe16(page, 28, writeSpeed);
    PutBe16(page, 30, static_cast<u32>(speeds.size()));
    for (size_t i = 0; i < speeds.size(); ++i) PutBe16(page, static_cast<u32>(32 + 4 * i + 2), speeds[i]);
  }
  return page;
}

void CRecorderState::Inquiry(CommandContext& c) {
  if (c.cdb[1] & 0x01) {
    if (c.cdb[2] == 0x00) {
      c.reply = {0x05, 0x00, 0x00, 0x02, 0x00, 0x80};
    } else if (c.cdb[2] == 0x80) {
      c.reply.assign(4, 0);
      c.reply[0] = 0x05;
      c.reply[1] = 0x80;
      c.reply[3] = static_cast<u8>(identity.serial.size());
      c.reply.insert(c.reply.end(), identity.serial.begin(), identity.serial.end());
    } else {
      Fail(c, 5, 0x24, 0x00);
    }
    return;
  }
  if (c.cdb[2] != 0) {
    Fail(c, 5, 0x24, 0x00);
    return;
  }
  c.reply.assign(96, 0);
  c.reply[0] = 0x05;  // CD/DVD device
  c.reply[1] = 0x80;  // removable
  c.reply[3] = 0x32;
  c.reply[4] = 91;
  std::memcpy(&c.reply[8], identity.vendor, 8);
  std::memcpy(&c.reply[16], identity.product, 16);
  std::memcpy(&c.reply[32], identity.revision, 4);
  std::memcpy(&c.reply[36], identity.vendorInfo, 20);
}

void CRecorderState::GetConfiguration(CommandContext& c) {
  u8 rt = c.cdb[1] & 0x03;
  u16 start = static_cast<u16>(GetBe16(c.cdb + 2));
  if (rt == 3) {
    Fail(c, 5, 0x24, 0x00);
    return;
  }
  std::vector<u16> profiles = identity.profiles;
  if (profiles.empty())
    for (u32 i = 0; i < static_cast<u32>(MediumPreset::kCount); ++i)
      profiles.push_back(GetMediumPresetInfo(static_cast<MediumPreset>(i)).profile);
  std::sort(profiles.begin(), profiles.end());
  auto lists = [&](std::initializer_list<u16> any) {
    for (u16 p : any)
      if (std::find(profiles.begin(), profiles.end(), p) != profiles.end()) return true;
    return false;
  };
  bool ready = MediumReady();
  u16 current = ready ? medium.profile : 0;
  auto is = [&](std::initializer_list<u16> any) {
    for (u16 p : any)
      if (current == p) return true;
    return false;
  };
  MediaFamily family = medium.info ? medium.info->family : MediaFamily::kCd;
  bool writable = ready && medium.info->kind != RecordingKind::kReadOnly;

  std::vector<Feature> features;
  {
    Feature f{0x0000, 0, true, {}};
    for (u16 p : profiles) {
      u8 d[4] = {u8(p >> 8), u8(p), u8(p == current ? 1 : 0), 0};
      f.data.insert(f.data.end(), d, d + 4);
    }
    features.push_back(f);
  }
  {
    Feature f{0x0001, 2, true, std::vector<u8>(8, 0)};
    PutBe32(f.data, 0, identity.physicalInterface);
    f.data[4] = 0x03;
    features.push_back(f);
  }
  features.push_back({0x0002, 1, true, {0x02, 0, 0, 0}});
  features.push_back({0x0003, 0, true, {0x29, 0, 0, 0}});
  {
    Feature f{0x0010, 0, ready, std::vector<u8>(8, 0)};
    PutBe32(f.data, 0, 2048);
    PutBe16(f.data, 4, family == MediaFamily::kCd ? 1 : (family == MediaFamily::kDvd ? 16 : 32));
    f.data[6] = 0x01;
    features.push_back(f);
  }
  bool cd = ready && family == MediaFamily::kCd;
  if (lists({0x08, 0x09, 0x0A})) {
    features.push_back({0x001D, 0, cd, {}});
    features.push_back({0x001E, 2, cd, {0x03, 0, 0, 0}});
  }
  if (lists({0x10})) features.push_back({0x001F, 1, ready && family == MediaFamily::kDvd, {0x01, 0, 0x01, 0}});
  if (lists({0x12, 0x13, 0x1A, 0x2A, 0x42, 0x43, 0x52})) {
    Feature f{0x0020, 1, ready && IsRandom() && WritableLimit() > 0, std::vector<u8>(12, 0)};
    PutBe32(f.data, 0, WritableLimit() ? WritableLimit() - 1 : 0);
    PutBe32(f.data, 4, 2048);
    PutBe16(f.data, 8, family == MediaFamily::kCd ? 1 : 16);
    features.push_back(f);
  }
  if (lists({0x09, 0x0A, 0x11, 0x14, 0x15, 0x1B, 0x2B, 0x41, 0x51})) {
    Feature f{0x0021, 1, writable && IsSequential() && !medium.finalized, {0x01, 0x07, 0x01, 0x01, 7, 0, 0, 0}};
    if (family != MediaFamily::kCd) f.data[4] = 16;
    features.push_back(f);
  }
  if (identity.formattableFeature && lists({0x0A, 0x12, 0x13, 0x14, 0x17, 0x1A, 0x2A, 0x42, 0x43, 0x52, 0x53}))
    features.push_back({0x0023, 1, ready && medium.info->formattable, std::vector<u8>(8, 0)});
  if (lists({0x13})) features.push_back({0x0026, 0, is({0x13}), {}});
  if (lists({0x1A})) features.push_back({0x002A, 1, is({0x1A}), {0x01, 0, 0, 0}});
  if (lists({0x1B})) features.push_back({0x002B, 0, is({0x1B, 0x2B}), {u8(identity.dvdPlusRWrite ? 1 : 0), 0, 0, 0}});
  if (lists({0x09, 0x0A})) {
    features.push_back({0x002D, 2, is({0x09, 0x0A}), {0x46, 0, 0x3F, 0xFF}});
    features.push_back({0x002E, 1, is({0x09, 0x0A}), {0x64, 0x00, 0x08, 0x00}});
  }
  if (lists({0x11, 0x14})) features.push_back({0x002F, 1, is({0x11, 0x13, 0x14, 0x15, 0x16, 0x17}), {0x46, 0, 0, 0}});
  if (identity.stopLongOperation) features.push_back({0x0035, 0, true, {}});
  if (lists({0x2A})) features.push_back({0x003A, 1, is({0x2A}), {0x01, 0, 0, 0}});
  if (lists({0x2B})) features.push_back({0x003B, 0, is({0x2B}), {0x01, 0, 0, 0}});
  if (lists({0x40})) features.push_back({0x0040, 1, ready && family == MediaFamily::kBd, std::vector<u8>(28, 0)});
  if (lists({0x41, 0x43})) features.push_back({0x0041, 2, writable && family == MediaFamily::kBd, std::vector<u8>(24, 0)});
  if (lists({0x50})) features.push_back({0x0050, 0, ready && family == MediaFamily::kHdDvd, {0x01, 0, 0x01, 0}});
  if (lists({0x51})) features.push_back({0x0051, 0, writable && family == MediaFamily::kHdDvd, {0x01, 0, 0x01, 0}});
  if (identity.powerManagement) features.push_back({0x0100, 0, true, {}});
  if (identity.realTimeStreaming) features.push_back({0x0107, 4, true, {identity.streamingBits, 0, 0, 0}});
  if (identity.serialFeature) {
    Feature f{0x0108, 0, identity.serialCurrent, std::vector<u8>(identity.serial.begin(), identity.serial.end())};
    while (f.data.size() % 4) f.data.push_back(' ');
    features.push_back(f);
  }

  c.reply.assign(8, 0);
  PutBe16(c.reply, 6, current);
  for (const Feature& f : features) {
    if (f.code < start) continue;
    if (rt == 1 && !f.current) continue;
    if (rt == 2 && f.code != start) continue;
    u8 head[4] = {u8(f.code >> 8), u8(f.code), u8((f.version << 2) | 0x02 | (f.current ? 1 : 0)),
                  static_cast<u8>(f.data.size())};
    c.reply.insert(c.reply.end(), head, head + 4);
    c.reply.insert(c.reply.end(), f.data.begin(), f.data.end());
  }
  PutBe32(c.reply, 0, static_cast<u32>(c.reply.size() - 4));
}

void CRecorderState::ModeSense(CommandContext& c) {
  u8 control = c.cdb[2] >> 6;
  u8 code = c.cdb[2] & 0x3F;
  if (c.cdb[3] != 0) {
    Fail(c, 5, 0x24, 0x00);
    return;
  }
  if (control == 3) {
    Fail(c, 5, 0x39, 0x00);  // saving parameters not supported
    return;
  }
  std::vector<std::vector<u8>> pages;
  auto add = [&](u8 page) {
    std::vector<u8> bytes;
    if (page == 0x05 && identity.modePage05) bytes = control == 2 ? DefaultPage05() : page05;
    else if (page == 0x08 && identity.modePage08) bytes = page08;
    else if (page == 0x2A && identity.modePage2A) bytes = ModePage2A();
    else return false;
    if (control == 1) {
      // Changeable values: every field of 05, WCE and RCD of 08, nothing of 2A.
      for (size_t i = 2; i < bytes.size(); ++i)
        bytes[i] = page == 0x05 ? 0xFF : (page == 0x08 && i == 2 ? 0x05 : 0);
    }
    pages.push_back(bytes);
    return true;
  };
  if (code == 0x3F) {
    add(0x05);
    add(0x08);
    add(0x2A);
  } else if (!add(code)) {
    Fail(c, 5, 0x24, 0x00);
    return;
  }
  c.reply.assign(8, 0);
  // Block descriptors, when the drive gives them: density 0, the number of
  // blocks, block length 2048.
  // DBD: the host asked for the page without block descriptors.
  u32 descriptorBytes = (c.cdb[1] & 0x08) ? 0 : identity.modeBlockDescriptorBytes;
  for (u32 at = 0; at < descriptorBytes; at += 8) {
    u32 blocks = medium.capacity > 0xFFFFFF ? 0xFFFFFF : medium.capacity;
    u8 d[8] = {0, u8(blocks >> 16), u8(blocks >> 8), u8(blocks), 0, 0, 0x08, 0x00};
    c.reply.insert(c.reply.end(), d, d + (descriptorBytes - at < 8 ? descriptorBytes - at : 8));
  }
  PutBe16(c.reply, 6, descriptorBytes);
  for (const std::vector<u8>& page : pages) c.reply.insert(c.reply.end(), page.begin(), page.end());
  PutBe16(c.reply, 0, static_cast<u32>(c.reply.size() - 2));
}

void CRecorderState::ModeSelect(CommandContext& c) {
  if (!(c.cdb[1] & 0x10)) {
    Fail(c, 5, 0x24, 0x00);  // PF must be set
    return;
  }
  if (c.cdb[1] & 0x01) {
    Fail(c, 5, 0x39, 0x00);
    return;
  }
  const u8* data = c.command->data;
  u32 length = c.command->transferLength;
  if (length < 8 || GetBe16(data + 6) != 0) {
    Fail(c, 5, 0x1A, 0x00);  // parameter list length error
    return;
  }
  std::vector<u8> new05 = page05, new08 = page08;
  bool set05 = false;
  for (u32 at = 8; at < length;) {
    if (length - at < 2) {
      Fail(c, 5, 0x1A, 0x00);
      return;
    }
    const u8* page = data + at;
    u8 code = page[0] & 0x3F;
    u32 size = 2u + page[1];
    if ((page[0] & 0x80) || size > length - at) {
      Fail(c, 5, 0x26, 0x00);  // PS set, or a page running past the list
      return;
    }
    // Media written anywhere, and DVD+R and BD-R, have no use for page 05.
    bool noWriteParameters = mediumPresent && medium.info && !trayOpen &&
                             (IsRandom() || IsDvdPlusR() || medium.info->family == MediaFamily::kBd);
    if (code == 0x05 && noWriteParameters) {
      Fail(c, 5, 0x26, 0x00);
      return;
    }
    if (code == 0x05 && identity.modePage05 && size == page05.size()) {
      u8 writeType = page[2] & 0x0F;
      u8 blockType = page[4] & 0x0F;
      u8 multi = page[3] >> 6;
      bool blockOk = blockType <= 3 || (blockType >= 8 && blockType <= 13);
      bool typeOk = writeType <= 4;
      if (mediumPresent && medium.info) {
        if (IsDvdMinus()) typeOk = writeType == 0 || writeType == 2;
        if (IsCd()) typeOk = writeType >= 1 && writeType <= 3;
      }
      if (!blockOk || !typeOk || multi == 2) {
        Fail(c, 5, 0x26, 0x00);
        return;
      }
      new05.assign(page, page + size);
      set05 = true;
    } else if (code == 0x08 && identity.modePage08 && size == 12) {
      new08[2] = page[2] & 0x05;
    } else {
      Fail(c, 5, 0x26, 0x00);
      return;
    }
    at += size;
  }
  if (set05) page05Set = true;
  page05 = new05;
  page08 = new08;
}

void CRecorderState::GetPerformance(CommandContext& c) {
  if (!identity.getPerformance) {
    Fail(c, 5, 0x20, 0x00);
    return;
  }
  u8 type = c.cdb[10];
  u32 maximum = GetBe16(c.cdb + 8);
  c.reply.assign(8, 0);
  u32 end = medium.capacity ? medium.capacity - 1 : 0;
  if (type == 0) {
    if (GetBe32(c.cdb + 2) >= medium.capacity) {
      Fail(c, 5, 0x21, 0x00);  // performance from a block beyond the medium
      return;
    }
    bool write = (c.cdb[1] & 0x04) != 0;
    c.reply[4] = write ? 0x02 : 0;
    if (maximum) {
      std::vector<u8> d(16, 0);
      u32 speed = write ? writeSpeed : readSpeed;
      PutBe32(d, 4, speed);
      PutBe32(d, 8, end);
      PutBe32(d, 12, speed);
      c.reply.insert(c.reply.end(), d.begin(), d.end());
    }
  } else if (type == 3) {
    std::vector<u32> speeds = WriteSpeeds();
    for (size_t i = 0; i < speeds.size() && i < maximum; ++i) {
      std::vector<u8> d(16, 0);
      PutBe32(d, 4, end);
      PutBe32(d, 8, MaxReadSpeed());
      PutBe32(d, 12, speeds[i]);
      c.reply.insert(c.reply.end(), d.begin(), d.end());
    }
  } else {
    Fail(c, 5, 0x24, 0x00);
    return;
  }
  PutBe32(c.reply, 0, static_cast<u32>(c.reply.size() - 4));
}

void CRecorderState::SetStreaming(CommandContext& c) {
  if (!identity.setStreaming) {
    Fail(c, 5, 0x20, 0x00);
    return;
  }
  if (c.cdb[8] != 0 || c.command->transferLength < 28) {
    Fail(c, 5, 0x24, 0x00);
    return;
  }
  const u8* d = c.command->data;
  u32 readSize = GetBe32(d + 12), readTime = GetBe32(d + 16);
  u32 writeSize = GetBe32(d + 20), writeTime = GetBe32(d + 24);
  if (readTime == 0 || writeTime == 0) {
    Fail(c, 5, 0x26, 0x00);
    return;
  }
  u64 read = u64(readSize) * 1000 / readTime;
  u64 write = u64(writeSize) * 1000 / writeTime;
  readSpeed = SnapReadSpeed(static_cast<u32>(read > 0xFFFF ? 0xFFFF : read));
  u32 snapped = SnapWriteSpeed(static_cast<u32>(write > 0xFFFF ? 0xFFFF : write));
  if (snapped) writeSpeed = snapped;
}

void CRecorderState::SetCdSpeed(CommandContext& c) {
  if ((c.cdb[1] & 0x03) > 1) {
    Fail(c, 5, 0x24, 0x00);  // rotation control: CLV or CAV only
    return;
  }
  readSpeed = SnapReadSpeed(GetBe16(c.cdb + 2));
  u32 snapped = SnapWriteSpeed(GetBe16(c.cdb + 4));
  if (snapped) writeSpeed = snapped;
}

void CRecorderState::ReadBufferCapacity(CommandContext& c) {
  DrainBuffer();
  u32 total = u32(identity.bufferKb) * 1024;
  u32 blank = total > bufferFill ? total - bufferFill : 0;
  c.reply.assign(12, 0);
  PutBe16(c.reply, 0, 10);
  if (c.cdb[1] & 0x01) {
    c.reply[3] = 0x01;
    PutBe32(c.reply, 8, blank / 2048);
  } else {
    PutBe32(c.reply, 4, total);
    PutBe32(c.reply, 8, blank);
  }
}
