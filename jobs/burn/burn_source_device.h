// CDeviceSource: a burn source over the disc in a source drive. It reads the
// disc's layout (sessions, tracks, gaps and one disc-at-once cue sheet per
// session, source_layout.cpp), then delivers the readable extents' sectors
// in disc order: 2048-byte blocks with READ(10), others with READ CD.
// Positions are LBAs. Portable (commands go through CDrive).
#pragma once
#include "drive/mmc/cue_sheet.h"
#include "drive/drive.h"
#include "jobs/burn/burn_request.h"
#include "jobs/burn/burn_source.h"
#include "runtime/array.h"

// Attempts of one read before it fails.
constexpr u32 kSourceReadAttempts = 6;

class CDeviceSource final : public IBurnSource {
 public:
  // The drive is borrowed. With releaseOnClose false (the source disc is in
  // the destination drive itself) ReleaseDrive only forgets the pointer.
  explicit CDeviceSource(CDrive* drive = nullptr, bool releaseOnClose = true);
  ~CDeviceSource() { Close(); }
  CDeviceSource(const CDeviceSource&) = delete;
  CDeviceSource& operator=(const CDeviceSource&) = delete;

  // Reads the source disc's layout into the extent, session and cue-sheet
  // lists and positions the drive at the first readable extent. 0, or a
  // failure (no drive, no medium, a failed disc or track read, a layout
  // that does not fit a cue sheet, an empty layout) with empty lists.
  HResult ReadLayout();

  HResult Seek(i64 move, u32 origin, u64* newPosition) override;
  // The total bytes of the readable extents.
  HResult GetSize(u64* bytes) override;
  HResult Read(void* buffer, u64 bytes, u64* bytesRead) override;
  // Reads whole blocks across extents; a failed read (after six attempts)
  // reports 0 bytes and E_FAIL; past the last readable extent E_FAIL.
  HResult ReadSectors(void* buffer, u64 bytes, u64* bytesRead);

  // Appends a readable extent (start, count, size, Mode 2) to the last
  // session and the extent list, adding its bytes to the total size.
  bool AddExtent(i32 start, u32 count, u32 blockSize, bool mode2);
  // Appends a gap from start to end (readable 0, CD-only 1); a range that
  // is empty or reversed adds nothing.
  bool AddExtentRange(i32 start, i32 end, u32 blockSize, bool mode2);
  // Starts a new session list (and, for CD, its cue-sheet block).
  TrackList* AddSession();
  CueSheet* AddCueSheet();

  // The drive to read (a source over no drive reads nothing).
  void Attach(CDrive* drive, bool releaseOnClose);

  // Allows medium removal (retried), unlocks the volume and closes the
  // drive (when this source releases it) and forgets the pointer. 0, or
  // E_FAIL when removal may still be prevented.
  HResult ReleaseDrive();
  // ReleaseDrive, then frees the lists.
  void Close();
  // Empties the lists and the total.
  void ClearLayout();

  CDrive* Drive() const { return drive_; }
  const TrackList& Extents() const { return extents_; }
  const SessionList& Sessions() const { return sessions_; }
  const CueSheetList& CueSheets() const { return cueSheets_; }
  u64 TotalSize() const { return totalSize_; }
  u64 CurrentLba() const { return currentLba_; }
  u32 CurrentExtent() const { return currentExtent_; }
  // 0: the drive's maximum.
  void SetReadSpeed(u32 kbs) { readSpeed_ = kbs; }

 private:
  // Positions on the first readable extent whose end is at least lba.
  void PositionAt(u64 lba);
  // Sets the read speed and seeks the drive to the current LBA.
  void PrepareDrive();
  bool ReadBlocks(u64 lba, u32 count, u32 blockSize, void* buffer);

  CDrive* drive_;
  bool releaseOnClose_;
  TrackList extents_;
  SessionList sessions_;
  CueSheetList cueSheets_;
  u32 readSpeed_ = 0;
  u32 currentExtent_ = 0;
  u64 endLba_ = 0;
  u64 currentLba_ = 0;
  u64 totalSize_ = 0;
};
