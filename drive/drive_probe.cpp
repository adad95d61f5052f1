// The medium probe: GET CONFIGURATION and READ DISC INFORMATION folded into
// the record's flag bytes, and the predicates over them.
#include <cstring>

#include "drive/drive.h"
#include "drive/mmc/media_profiles.h"
#include "drive/mmc/mmc_replies.h"
#include "runtime/heap.h"

namespace {

constexpr u32 kDiscInformationProbeLength = 162;

// The reply buffer of GET CONFIGURATION, on the heap (2 KB).
class CReplyBuffer {
 public:
  explicit CReplyBuffer(u32 size) : size_(size), bytes_(static_cast<u8*>(rt::malloc(size))) {
    if (bytes_) std::memset(bytes_, 0, size);
  }
  ~CReplyBuffer() { rt::free(bytes_); }
  CReplyBuffer(const CReplyBuffer&) = delete;
  CReplyBuffer& operator=(const CReplyBuffer&) = delete;
  u8* Get() const { return bytes_; }
  u32 Size() const { return size_; }

 private:
  u32 size_;
  u8* bytes_;
};

}  // namespace

bool CDrive::ProbeMedia() {
  // The volume-locked bit belongs to the handle, not to the medium: it is
  // cleared when the handle is opened or closed.
  stateFlags &= static_cast<u8>(~(kStateBecomingReady | 0x18 | 0x60));
  sessionState &= static_cast<u8>(~0x03);
  mediaFlags = 0;  // bits 0-1 start afresh too, so a changed medium keeps nothing
  mediaFlags2 = 0;
  profileBits[0] = 0;
  profileBits[1] = 0;
  profileBits[2] &= static_cast<u8>(~0x1F);
  featureFlags = 0;
  currentProfile = 0;
  physicalInterface = 0;

  CReplyBuffer config(kConfigurationReplyLength);
  if (!config.Get()) return false;
  GetConfiguration(0, 0, config.Get(), static_cast<u16>(config.Size()));
  if (!LastCommandSucceeded()) {
    if (senseKey == 2 && asc == 0x04) stateFlags |= kStateBecomingReady;
    return false;
  }
  const u8* reply = config.Get();
  const u32 size = transferred;

  currentProfile = ConfigurationCurrentProfile(reply, size);
  u8 bits = 0, bits2 = 0;
  ProfileMediaBits(currentProfile, &bits, &bits2);
  mediaFlags |= bits;
  mediaFlags2 |= bits2;
  if (currentProfile == 0x1B || currentProfile == 0x2B) {
    const u8* d = FindFeature(reply, size, kFeatureDvdPlusR, false);
    if (d && FeatureAdditionalLength(d) >= 1 && (d[4] & 1)) mediaFlags |= kMediaDvdPlusRWritable;
  }

  ForEachListedProfile(reply, size, [this](u16 profile) {
    u32 byteIndex = 0;
    u8 mask = 0;
    if (!ProfileListBit(profile, &byteIndex, &mask)) return;
    if (byteIndex == 0)
      mediaFlags2 |= mask;
    else
      profileBits[byteIndex - 1] |= mask;
  });

  u8 disc[kDiscInformationProbeLength];
  std::memset(disc, 0, sizeof(disc));
  ReadDiscInformation(0, disc, sizeof(disc));
  DiscStatusBits status;
  if (LastCommandSucceeded() && ReadDiscStatus(disc, transferred, &status)) {
    if (status.discStatus == 0) mediaFlags |= kMediaBlank;
    stateFlags |= static_cast<u8>(status.discStatus << kStateDiscStatusShift);
    stateFlags |= static_cast<u8>(status.backgroundFormat << kStateBackgroundFormatShift);
    sessionState |= status.lastSessionState;
  }

  const u8* core = FindFeature(reply, size, kFeatureCore, false);
  if (FeatureIsCurrent(core) && FeatureAdditionalLength(core) >= 4)
    physicalInterface = (u32(core[4]) << 24) | (u32(core[5]) << 16) | (u32(core[6]) << 8) | core[7];

  const u8* streaming = FindFeature(reply, size, kFeatureRealTimeStreaming, false);
  if (FeatureIsCurrent(streaming)) {
    featureFlags |= kFeatureRealTimeStreamingBit;
    u8 b = FeatureAdditionalLength(streaming) >= 1 ? streaming[4] : 0;
    if (b & 0x10) featureFlags |= kFeatureRbcbBit;
    if (b & 0x02) featureFlags |= kFeatureWspdBit;
    if (b & 0x08) featureFlags |= kFeatureScsBit;
    if (b & 0x01) featureFlags |= kFeatureSwBit;
  }
  if (FeatureIsCurrent(FindFeature(reply, size, kFeatureFormattable, false)))
    featureFlags |= kFeatureFormattableBit;
  if (FeatureIsCurrent(FindFeature(reply, size, kFeatureStopLongOperation, false)))
    featureFlags |= kFeatureStopLongOperationBit;
  if (FeatureIsCurrent(FindFeature(reply, size, kFeaturePowerManagement, false)))
    featureFlags |= kFeaturePowerManagementBit;
  return true;
}

bool CDrive::ProbeMediaRetrying() {
  bool probed = false;
  Retry(true, [&] { probed = ProbeMedia(); });
  return probed;
}

bool CDrive::IsRewritableMedia() const {
  return (mediaFlags & kMediaRewritable) || (mediaFlags2 & (kMedia2Ram | kMedia2DvdPlusRw));
}

bool CDrive::IsWritableMedia() const {
  return (mediaFlags & kMediaRecordable) || (mediaFlags2 & kMedia2DvdPlus) || IsRewritableMedia();
}

bool CDrive::IsRecorder() const {
  return (mediaFlags2 & 0x60) || (profileBits[0] & 0x87) || (profileBits[1] & 0x10) || (profileBits[2] & 0x01);
}
