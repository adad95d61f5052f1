// The burn's memory cache: the hand-over between the main thread (the one
// producer) and the write or verify thread (the one consumer), the zero
// padding, and the progress published from it every refresh period.
#include <cstring>

#include "jobs/burn/burn_job.h"
#include "runtime/clock.h"

CacheWait CBurnPage::PutIntoCache(const u8* data, u32 n) {
  u64 capacity = cache.GetCapacity();
  if (capacity == 0) return n == 0 ? CacheWait::kOk : CacheWait::kPeerQuit;
  while (n > 0) {
    // A cache smaller than the data takes it in slices.
    u32 slice = capacity < n ? static_cast<u32>(capacity) : n;
    while (!cache.Write(data, slice)) {
      if (IsStopped()) return CacheWait::kStopped;
      if (consumerDone.load()) return CacheWait::kPeerQuit;
      SleepFor(1);
    }
    data += slice;
    n -= slice;
  }
  return CacheWait::kOk;
}

CacheWait CBurnPage::TakeFromCache(u8* out, u32 n) {
  if (n > cache.GetCapacity()) return CacheWait::kSourceShort;
  while (!cache.Read(out, n)) {
    if (IsStopped()) return CacheWait::kStopped;
    // The producer has delivered everything it will: these bytes never come.
    if (sourceDone.load() && cache.GetDataSize() < n) return CacheWait::kSourceShort;
    SleepFor(1);
  }
  return CacheWait::kOk;
}

CacheWait CBurnPage::TakeInPlace(u32 n, u8* copy, CacheTake* take) {
  take->data = nullptr;
  take->pending = 0;
  if (n > cache.GetCapacity()) return CacheWait::kSourceShort;
  while (cache.GetDataSize() < n) {
    if (IsStopped()) return CacheWait::kStopped;
    // The producer has delivered everything it will: these bytes never come.
    if (sourceDone.load() && cache.GetDataSize() < n) return CacheWait::kSourceShort;
    SleepFor(1);
  }
  u32 span = 0;
  const u8* at = cache.GetReadSpan(&span);
  if (span >= n) {
    take->data = at;
    take->pending = n;
    return CacheWait::kOk;
  }
  // Over the end of the cache: the two pieces are joined in the copy.
  if (!cache.Read(copy, n)) return CacheWait::kSourceShort;
  take->data = copy;
  return CacheWait::kOk;
}

void CBurnPage::FinishTake(CacheTake* take) {
  if (take->pending) cache.CommitRead(take->pending);
  take->pending = 0;
}

CacheWait CBurnPage::WaitForCacheSpace(u32 n) {
  if (n > cache.GetCapacity()) return CacheWait::kPeerQuit;
  while (cache.GetFreeSpace() < n) {
    if (IsStopped()) return CacheWait::kStopped;
    if (consumerDone.load()) return CacheWait::kPeerQuit;
    SleepFor(1);
  }
  return CacheWait::kOk;
}

CacheWait CBurnPage::DropFromCache(u32 n) {
  u8 scratch[kPadSliceBytes];
  while (n > 0) {
    u32 slice = n < kPadSliceBytes ? n : kPadSliceBytes;
    CacheWait wait = TakeFromCache(scratch, slice);
    if (wait != CacheWait::kOk) return wait;
    n -= slice;
  }
  return CacheWait::kOk;
}

void CBurnPage::PadCache(u32 bytes) {
  u8 zeros[kPadSliceBytes];
  std::memset(zeros, 0, sizeof(zeros));
  while (bytes > 0 && !IsStopped()) {
    u32 slice = bytes < kPadSliceBytes ? bytes : kPadSliceBytes;
    if (PutIntoCache(zeros, slice) != CacheWait::kOk) return;
    bytes -= slice;
  }
}

void CBurnPage::RefreshProgress() {
  CLockGuard guard(refreshLock_);
  IJobUi* ui = Ui();
  bool suspendedHere = false;
  if (ui && !redrawSuspended_) {
    ui->SuspendRedraw(true);
    redrawSuspended_ = true;
    suspendedHere = true;
  }
  u64 capacity = cache.GetCapacity();
  if (capacity > 0 && ui) {
    u64 free = cache.GetFreeSpace();
    if (free > capacity) free = capacity;
    double fill = 1.0 - static_cast<double>(free) / static_cast<double>(capacity);
    bool settled = sourceDone.load() || status.load() == kStatusLoadingCache;
    u32 colour = CacheBarColour(fill, settled);
    double value = fill * 100.0;
    if (colour != lastCacheColour_ || value != lastCacheValue_) {
      ui->SetBarColour(kBarMemoryCache, colour);
      ui->SetBarValue(kBarMemoryCache, value);
      lastCacheColour_ = colour;
      lastCacheValue_ = value;
    }
  }
  i64 device = driveBufferPercent.load();
  if (device != lastDeviceValue_ && ui) {
    ui->SetBarValue(kBarDeviceCache, static_cast<double>(device));
    lastDeviceValue_ = device;
  }
  u32 total = totalSectors.load();
  if (total != 0) UpdateProgress(static_cast<double>(sectorsDone.load()) / static_cast<double>(total));
  if (suspendedHere) {
    redrawSuspended_ = false;
    ui->SuspendRedraw(false);
  }
}
