#include "jobs/burn/burn_source_device.h"

#include <cstring>

#include "drive/mmc/mmc_replies.h"
#include "jobs/image/image_cue_sheet.h"
#include "jobs/job_page.h"
#include "jobs/burn/source_layout.h"
#include "runtime/heap.h"

namespace {

constexpr u64 kNoLba = ~0ull;

u32 Be32(const u8* p) { return (u32(p[0]) << 24) | (u32(p[1]) << 16) | (u32(p[2]) << 8) | p[3]; }

// Bytes of a reply that hold data: what the drive returned, at most asked.
u32 ValidBytes(const CDrive& drive, u32 asked) { return drive.transferred < asked ? drive.transferred : asked; }

// The planner's output goes into the source's lists.
class CSourceSink final : public ILayoutSink {
 public:
  explicit CSourceSink(CDeviceSource* source) : source_(source) {}
  TrackList* BeginSession() override { return source_->AddSession(); }
  CueSheet* BeginCueSheet() override { return source_->AddCueSheet(); }
  bool AddExtent(i32 start, u32 count, u32 blockSize, bool mode2) override {
    return source_->AddExtent(start, count, blockSize, mode2);
  }
  bool AddGap(i32 start, i32 end, u32 blockSize, bool mode2) override {
    return source_->AddExtentRange(start, end, blockSize, mode2);
  }

 private:
  CDeviceSource* source_;
};

// READ TRACK INFORMATION of one track (address type 1) into info; false
// when the command failed or the reply is too short.
bool ReadTrack(CDrive* drive, u32 track, LayoutTrackInfo* info) {
  u8 reply[kTrackInfoReplyLength];
  std::memset(reply, 0, sizeof(reply));
  if (!drive->Retry(true, [&] { drive->ReadTrackInformation(reply, track, 1); })) return false;
  return ParseTrackInformation(reply, ValidBytes(*drive, sizeof(reply)), info);
}

}  // namespace

CDeviceSource::CDeviceSource(CDrive* drive, bool releaseOnClose)
    : drive_(drive), releaseOnClose_(releaseOnClose), extents_(16), sessions_(16), cueSheets_(16) {}

void CDeviceSource::ClearLayout() {
  cueSheets_.Destroy();
  sessions_.Destroy();
  extents_.Destroy();
  totalSize_ = 0;
  currentExtent_ = 0;
  currentLba_ = 0;
  endLba_ = 0;
}

void CDeviceSource::Close() {
  ReleaseDrive();
  ClearLayout();
}

void CDeviceSource::Attach(CDrive* drive, bool releaseOnClose) {
  drive_ = drive;
  releaseOnClose_ = releaseOnClose;
}

HResult CDeviceSource::ReleaseDrive() {
  HResult hr = kHrOk;
  if (drive_ && releaseOnClose_ && drive_->IsOpen()) {
    if (!drive_->AllowRemoval()) hr = kHrFail;
    drive_->UnlockVolume(false);
    drive_->Close();
  }
  // Reads after a release fail instead of using a drive handed back.
  drive_ = nullptr;
  return hr;
}

TrackList* CDeviceSource::AddSession() { return sessions_.AppendNew(); }

CueSheet* CDeviceSource::AddCueSheet() {
  CueSheet* sheet = cueSheets_.AppendNew();
  if (sheet) std::memset(sheet, 0, sizeof(*sheet));
  return sheet;
}

bool CDeviceSource::AddExtent(i32 start, u32 count, u32 blockSize, bool mode2) {
  if (sessions_.GetCount() == 0 && !AddSession()) return false;
  TrackExtent extent = TrackExtent();
  extent.start = start;
  extent.sectorSize = blockSize;
  extent.sectorCount = count;
  extent.content = 1;
  extent.mode2Form1 = mode2 ? 1 : 0;
  if (!sessions_[sessions_.GetCount() - 1].Add(extent) || !extents_.Add(extent)) return false;
  totalSize_ += static_cast<u64>(count) * blockSize;
  return true;
}

bool CDeviceSource::AddExtentRange(i32 start, i32 end, u32 blockSize, bool mode2) {
  if (end <= start) return true;  // nothing between them
  if (sessions_.GetCount() == 0 && !AddSession()) return false;
  TrackExtent extent = TrackExtent();
  extent.start = start;
  extent.sectorSize = blockSize;
  extent.sectorCount = static_cast<u32>(static_cast<i64>(end) - start);
  extent.content = 0;
  extent.mode2Form1 = mode2 ? 1 : 0;
  extent.cdOnly = 1;
  return sessions_[sessions_.GetCount() - 1].Add(extent) && extents_.Add(extent);
}

HResult CDeviceSource::ReadLayout() {
  ClearLayout();
  if (!drive_ || !drive_->IsOpen()) return kHrFail;
  // A failed probe leaves no current profile: no layout is read.
  drive_->ProbeMediaRetrying();
  if (drive_->currentProfile == 0) return kHrFail;

  u8 discInfo[kDiscInfoReplyLength];
  std::memset(discInfo, 0, sizeof(discInfo));
  if (!drive_->Retry(true, [&] { drive_->ReadDiscInformation(0, discInfo, sizeof(discInfo)); }) ||
      ValidBytes(*drive_, sizeof(discInfo)) < 12)
    return kHrFail;
  u32 lastTrack = u32(discInfo[11]) * 256 + discInfo[6];

  bool ok = true;
  if (drive_->mediaFlags & kMediaCd) {
    u8* toc = static_cast<u8*>(rt::malloc(kTocReplyLength + kPmaReplyLength));
    if (!toc) return kHrFail;
    u8* pma = toc + kTocReplyLength;
    std::memset(toc, 0, kTocReplyLength + kPmaReplyLength);
    ok = drive_->Retry(true, [&] { drive_->ReadTocPmaAtip(false, 0, 0, toc, kTocReplyLength); });
    u32 tocSize = ValidBytes(*drive_, kTocReplyLength);
    u32 pmaCount = 0;
    if (ok) {
      // A failed PMA read only means no index-2 entries.
      if (drive_->Retry(true, [&] { drive_->ReadTocPmaAtip(true, 3, 0, pma, kPmaReplyLength); })) pmaCount = CountPmaDescriptors(pma, ValidBytes(*drive_, kPmaReplyLength));
    }
    u32 count = ok ? CountTocDescriptors(toc, tocSize) : 0;
    CdLayoutTrack* tracks = count ? static_cast<CdLayoutTrack*>(rt::malloc(count * sizeof(CdLayoutTrack))) : nullptr;
    if (count && !tracks) ok = false;
    for (u32 k = 0; ok && k < count; ++k) {
      const u8* d = toc + 4 + k * 8;
      CdLayoutTrack& t = tracks[k];
      std::memset(&t, 0, sizeof(t));
      t.adr = d[1] >> 4;
      t.ctl = d[1] & 15;
      t.number = d[2];
      t.tocStart = static_cast<i32>(Be32(d + 4));
      if (t.number >= 100) continue;  // the lead-out has no track information
      // A track whose information cannot be read cannot be copied.
      if (!ReadTrack(drive_, t.number, &t.info)) {
        ok = false;
        break;
      }
      if (pmaCount > 0 && k + 1 < pmaCount) {
        const u8* p = pma + 4 + (k + 1) * 11;
        t.hasPma = true;
        t.pmaLba = PmaAddressToLba(p[4], p[5], p[6]);
      }
    }
    if (ok) {
      CSourceSink sink(this);
      ok = PlanCdLayout(tracks, count, &sink) == LayoutResult::kOk;
    }
    rt::free(tracks);
    rt::free(toc);
  } else {
    u32 seen = 0;
    for (u32 track = 1; ok && track <= lastTrack; ++track) {
      u8 reply[kTrackInfoReplyLength];
      std::memset(reply, 0, sizeof(reply));
      LayoutTrackInfo info;
      if (!drive_->Retry(true, [&] { drive_->ReadTrackInformation(reply, track, 1); }) || !ParseTrackInformation(reply, ValidBytes(*drive_, sizeof(reply)), &info)) {
        ok = false;
        break;
      }
      // A blank (invisible or reserved, unwritten) track holds nothing to copy.
      if ((reply[6] & 0x40) || info.size == 0) continue;
      if (info.session > seen) {
        ++seen;
        if (!AddSession()) ok = false;
      }
      if (ok) ok = AddExtent(static_cast<i32>(info.start), info.size, 2048, false);
    }
    if (ok && lastTrack == 1 && extents_.GetCount() > 0) {
      CueSheet* sheet = AddCueSheet();
      if (!sheet)
        ok = false;
      else
        BuildSingleTrackCueSheet(sheet, extents_[0].sectorCount, false);
    }
  }
  // An empty layout cannot be copied.
  if (ok && totalSize_ == 0) ok = false;
  if (!ok) {
    ClearLayout();
    return kHrFail;
  }

  // Position the drive at the first readable extent.
  PositionAt(0);
  drive_->SendOpcInformation(nullptr, 0);
  drive_->WaitUntilReady();
  PrepareDrive();
  return kHrOk;
}

void CDeviceSource::PositionAt(u64 lba) {
  currentLba_ = kNoLba;
  currentExtent_ = 0;
  endLba_ = 0;
  for (u32 i = 0; i < extents_.GetCount(); ++i) {
    const TrackExtent& e = extents_[i];
    if (!e.content || e.start < 0) continue;
    u64 start = static_cast<u64>(e.start);
    u64 end = start + e.sectorCount;
    if (end >= lba) {
      currentExtent_ = i;
      currentLba_ = lba > start ? lba : start;
      endLba_ = end;
      return;
    }
  }
  currentLba_ = 0;
  endLba_ = 0;
}

void CDeviceSource::PrepareDrive() {
  if (!drive_) return;
  drive_->WaitUntilReady();
  if (readSpeed_ == 0)
    drive_->SetMaxReadSpeed();
  else
    drive_->SetReadSpeed(ClampSpeedField(readSpeed_));
  drive_->WaitUntilReady();
  drive_->Seek(static_cast<u32>(currentLba_));
  drive_->WaitUntilReady();
}

HResult CDeviceSource::Seek(i64 move, u32 origin, u64* newPosition) {
  if (origin != kSeekCurrent) PositionAt(move > 0 ? static_cast<u64>(move) : 0);
  PrepareDrive();
  if (newPosition) *newPosition = currentLba_;
  return kHrOk;
}

HResult CDeviceSource::GetSize(u64* bytes) {
  if (bytes) *bytes = totalSize_;
  return kHrOk;
}

HResult CDeviceSource::Read(void* buffer, u64 bytes, u64* bytesRead) { return ReadSectors(buffer, bytes, bytesRead); }

bool CDeviceSource::ReadBlocks(u64 lba, u32 count, u32 blockSize, void* buffer) {
  u32 expected = count * blockSize;
  for (u32 attempt = 0; attempt < kSourceReadAttempts; ++attempt) {
    if (blockSize == 2048) {
      drive_->Read(static_cast<u32>(lba), static_cast<u16>(count), buffer, false);
    } else {
      u8 type = blockSize == 2324 ? 5 : blockSize == 2336 ? 3 : 1;
      drive_->ReadCd(type, static_cast<u32>(lba), count, buffer, false);
    }
    // A reply shorter than asked is no read either.
    if (drive_->LastCommandSucceeded() && drive_->transferred == expected) return true;
  }
  return false;
}

HResult CDeviceSource::ReadSectors(void* buffer, u64 bytes, u64* bytesRead) {
  if (bytesRead) *bytesRead = 0;
  u8* out = static_cast<u8*>(buffer);
  u64 delivered = 0;
  for (;;) {
    if (currentExtent_ >= extents_.GetCount() || !drive_) return kHrFail;
    const TrackExtent& extent = extents_[currentExtent_];
    u32 blockSize = extent.sectorSize;
    if (blockSize == 0) return kHrFail;
    u64 remaining = endLba_ > currentLba_ ? endLba_ - currentLba_ : 0;
    u64 wanted = (bytes - delivered) / blockSize;
    if (remaining > 0 && wanted == 0) {
      // Less room than one block: nothing can be delivered, which is not
      // the end of the source.
      if (delivered) break;
      return kHrInvalidArg;
    }
    u64 n = remaining < wanted ? remaining : wanted;
    // At most 16 2048-byte blocks per chunk are read by the engine; bound a
    // single command all the same.
    while (n > 0) {
      u32 chunk = n > 64 ? 64 : static_cast<u32>(n);
      if (!ReadBlocks(currentLba_, chunk, blockSize, out + delivered)) return kHrFail;
      currentLba_ += chunk;
      delivered += static_cast<u64>(chunk) * blockSize;
      n -= chunk;
      wanted -= chunk;
    }
    if (wanted == 0) break;
    // The extent ran out: go on in the next readable one.
    u32 next = currentExtent_ + 1;
    while (next < extents_.GetCount() && (!extents_[next].content || extents_[next].start < 0)) ++next;
    // None left: the source has ended (later reads deliver 0 bytes).
    if (next >= extents_.GetCount()) break;
    currentExtent_ = next;
    currentLba_ = static_cast<u64>(extents_[next].start);
    endLba_ = currentLba_ + extents_[next].sectorCount;
  }
  if (bytesRead) *bytesRead = delivered;
  return kHrOk;
}
