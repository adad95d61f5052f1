// Speeds, write cache, write parameters and the capacity of the medium.
#include <cstring>

#include "drive/drive.h"
#include "drive/mmc/mmc_replies.h"
#include "drive/mmc/mode_pages.h"
#include "drive/wait_deadline.h"
#include "runtime/byte_order.h"

u32 CDrive::GetSpeedUnit() const {
  if (mediaFlags & kMediaCd) return kSpeedUnitCd;
  if (mediaFlags & kMediaDvd) return kSpeedUnitDvd;
  if (mediaFlags & (kMediaHdDvd | kMediaBd)) return kSpeedUnitBd;
  return 0;
}

bool CDrive::ReadCapabilities(u8* reply104, u32* valid) {
  std::memset(reply104, 0, kCapabilitiesReplyLength);
  ModeSense(0, 0x2A, 0, reply104, static_cast<u16>(kCapabilitiesReplyLength));
  *valid = LastCommandSucceeded() ? transferred : 0;
  return *valid != 0;
}

u32 CDrive::GetCurrentReadSpeed() {
  u8 reply[kCapabilitiesReplyLength];
  u32 valid = 0;
  ReadCapabilities(reply, &valid);
  return ReadCapabilitiesSpeeds(reply, valid).currentRead;
}

u32 CDrive::GetMaxReadSpeed() {
  u8 reply[kCapabilitiesReplyLength];
  u32 valid = 0;
  ReadCapabilities(reply, &valid);
  return ReadCapabilitiesSpeeds(reply, valid).maxRead;
}

u32 CDrive::GetCurrentWriteSpeed() {
  u8 reply[kCapabilitiesReplyLength];
  u32 valid = 0;
  ReadCapabilities(reply, &valid);
  return ReadCapabilitiesSpeeds(reply, valid).currentWrite;
}

void CDrive::SetStreamingSizes(u8* descriptor28, u32 readSize, u32 writeSize) {
  WriteBigEndian32(descriptor28 + 12, readSize);
  WriteBigEndian32(descriptor28 + 20, writeSize);
}

namespace {

u16 CdSpeedField(u32 speed) { return speed > 0xFFFF ? 0xFFFF : static_cast<u16>(speed); }

// The mode parameter header of MODE SENSE(10) / MODE SELECT(10).
constexpr u32 kModeHeaderBytes = 8;

// Room for a mode page that is sent back: the header, block descriptors and
// the longest page.
constexpr u32 kModePageReplyCapacity = 288;

// MODE SENSE(10) of one page into `reply` (kModePageReplyCapacity bytes),
// asking for the usual length first. When the drive holds more than that
// (block descriptors before the page, or a longer page) and filled what was
// asked, it is asked again for all of it. *valid = the bytes returned.
bool SenseModePage(CDrive& drive, u8 control, u8 code, u8* reply, u32 usual, u32* valid) {
  *valid = 0;
  std::memset(reply, 0, kModePageReplyCapacity);
  drive.ModeSense(control, code, 0, reply, static_cast<u16>(usual));
  if (!drive.LastCommandSucceeded()) return false;
  *valid = drive.transferred;
  u32 stated = ModeReplyStatedLength(reply, *valid);
  if (stated <= usual || *valid < usual) return true;
  u32 length = stated < kModePageReplyCapacity ? stated : kModePageReplyCapacity;
  std::memset(reply, 0, kModePageReplyCapacity);
  *valid = 0;
  drive.ModeSense(control, code, 0, reply, static_cast<u16>(length));
  if (!drive.LastCommandSucceeded()) return false;
  *valid = drive.transferred;
  return true;
}

}  // namespace

bool CDrive::SetSpeeds(bool readIsMax, u32 readSpeed, bool writeIsMax, u32 writeSpeed) {
  u8 descriptor[mmc::kStreamingDescriptorLength];
  std::memset(descriptor, 0, sizeof(descriptor));
  WriteBigEndian32(descriptor + 16, 1000);
  WriteBigEndian32(descriptor + 24, 1000);
  SetStreamingSizes(descriptor, readSpeed, writeSpeed);
  SetStreaming(descriptor);
  if (!LastCommandSucceeded()) {
    SetCdSpeed(false, readIsMax ? mmc::kMaximumCdSpeed : CdSpeedField(readSpeed),
               writeIsMax ? mmc::kMaximumCdSpeed : CdSpeedField(writeSpeed));
    if (!LastCommandSucceeded()) return false;
  }
  WaitUntilReady();
  return true;
}

bool CDrive::SetReadSpeed(u32 speed, u32* newSpeed) {
  if (newSpeed) *newSpeed = 0;
  if (!SetSpeeds(false, speed, false, GetCurrentWriteSpeed())) return false;
  if (newSpeed) *newSpeed = GetCurrentReadSpeed();
  return true;
}

bool CDrive::SetMaxReadSpeed(u32* newSpeed) {
  if (newSpeed) *newSpeed = 0;
  u8 reply[kCapabilitiesReplyLength];
  u32 valid = 0;
  ReadCapabilities(reply, &valid);
  CapabilitiesSpeeds speeds = ReadCapabilitiesSpeeds(reply, valid);
  if (!SetSpeeds(true, speeds.maxRead, false, speeds.currentWrite)) return false;
  if (newSpeed) *newSpeed = GetCurrentReadSpeed();
  return true;
}

bool CDrive::SetWriteSpeed(u32 speed, u32* newSpeed) {
  if (newSpeed) *newSpeed = 0;
  if (!SetSpeeds(false, GetCurrentReadSpeed(), false, speed)) return false;
  if (newSpeed) *newSpeed = GetCurrentWriteSpeed();
  return true;
}

bool CDrive::SetMaxWriteSpeed(u32* newSpeed) {
  if (newSpeed) *newSpeed = 0;
  u8 reply[kCapabilitiesReplyLength];
  u32 valid = 0;
  ReadCapabilities(reply, &valid);
  CapabilitiesSpeeds speeds = ReadCapabilitiesSpeeds(reply, valid);
  if (!SetSpeeds(false, speeds.currentRead, true, speeds.maxWrite)) return false;
  if (newSpeed) *newSpeed = GetCurrentWriteSpeed();
  return true;
}

u32 CDrive::GetWriteSpeeds(u32* out, u32 max) {
  if (!out) return 0;
  u8 reply[kPerformanceReplyLength];
  std::memset(reply, 0, sizeof(reply));
  GetPerformance(0, 0, kPerformanceMaxDescriptors, 3, reply, sizeof(reply));
  if (LastCommandSucceeded()) return ReadPerformanceWriteSpeeds(reply, transferred, out, max);
  u8 page[kCapabilitiesReplyLength];
  u32 valid = 0;
  ReadCapabilities(page, &valid);
  return ReadCapabilitiesWriteSpeeds(page, valid, out, max);
}

bool CDrive::SetWriteCache(bool enable) {
  u8 reply[kModePageReplyCapacity];
  u32 valid = 0;
  bool read = SenseModePage(*this, 0, 0x08, reply, kCachingReplyLength, &valid);
  WaitUntilReady();
  // A page the drive did not give whole is never sent back.
  u32 length = read ? PrepareCachingList(reply, valid, enable) : 0;
  if (length == 0) return false;
  ModeSelect(false, reply, static_cast<u16>(length));
  bool ok = LastCommandSucceeded();
  WaitUntilReady();
  return ok;
}

bool CDrive::RetryModePage(bool select, u8* reply, u32* length) {
  CWaitDeadline deadline(readyWaitMs);
  u32 failures = 0;
  for (;;) {
    if (select)
      ModeSelect(false, reply, static_cast<u16>(*length));
    else
      SenseModePage(*this, 2, 0x05, reply, kWriteParametersReplyLength, length);
    if (LastCommandSucceeded()) return true;
    // Only a drive that is busy becoming ready or writing is waited for; an
    // incompatible or missing medium, or a refused page, fails in a few tries.
    bool notReady = errorCode == 0 && senseKey == 2 && asc == 0x04;
    if (!notReady && ++failures >= kWriteParameterAttempts) return false;
    if (deadline.Expired() || (notReady && readyWaitExpired)) return false;
    deadline.Sleep(10);
    TestUnitReady();
    WaitUntilReady();
  }
}

bool CDrive::SetWriteParameters(u8 dataBlockType, bool noFurtherSession, bool bufe, bool incremental,
                                bool testWrite) {
  WaitUntilReady();
  u8 page[kModePageReplyCapacity];
  u32 length = 0;
  if (!RetryModePage(false, page, &length)) return false;
  WriteParameterChoice choice;
  choice.dvd = (mediaFlags & kMediaDvd) != 0;
  choice.dataBlockType = dataBlockType;
  choice.noFurtherSession = noFurtherSession;
  choice.bufe = bufe;
  choice.incremental = incremental;
  choice.testWrite = testWrite;
  length = PrepareWriteParametersList(page, length, choice);
  if (length == 0) return false;
  // Session format (page byte 8, after the 8-byte mode header): CD-ROM XA
  // for a CD written in Mode 2, as its tracks are.
  if (!choice.dvd && dataBlockType >= 9 && dataBlockType <= 13) page[kModeHeaderBytes + 8] = 0x20;
  if (!RetryModePage(true, page, &length)) return false;
  WaitUntilReady();
  return true;
}

u32 CDrive::GetDiscCapacity() {
  if ((mediaFlags & kMediaCd) && IsRewritableMedia()) {
    u8 atip[32];
    std::memset(atip, 0, sizeof(atip));
    ReadTocPmaAtip(false, 4, 0, atip, sizeof(atip));
    u32 frames = 0;
    // The ATIP gives the start of the last possible lead-out as a time, which
    // counts the 150-frame pregap: the blocks before it are that time less 150.
    if (LastCommandSucceeded() && ReadAtipLeadOut(atip, transferred, &frames))
      return frames > 150 ? frames - 150 : 0;
  }
  if (featureFlags & kFeatureFormattableBit) {
    u8 reply[mmc::kFormatCapacitiesLength];
    std::memset(reply, 0, sizeof(reply));
    ReadFormatCapacities(this, reply);
    if (LastCommandSucceeded()) {
      bool dvdPlusRw = (mediaFlags & kMediaDvd) && (mediaFlags2 & kMedia2DvdPlusRw);
      u32 blocks = CapacityFromFormatCapacities(reply, transferred, dvdPlusRw);
      if (blocks) return blocks;
    }
  }
  u8 disc[42];
  std::memset(disc, 0, sizeof(disc));
  ReadDiscInformation(0, disc, sizeof(disc));
  u32 track = 0;
  if (!LastCommandSucceeded() || !ReadLastTrackNumber(disc, transferred, &track)) return 0;
  u8 info[mmc::kTrackInformationLength];
  std::memset(info, 0, sizeof(info));
  ReadTrackInformation(info, track, 1);
  u32 blocks = 0;
  if (!LastCommandSucceeded() || !ReadTrackEnd(info, transferred, &blocks)) return 0;
  return blocks;
}
