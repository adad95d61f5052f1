// BurnRequest: what a job window hands to a burn (source, destination,
// layout of sessions and tracks, disc-at-once cue sheets, method, speed and
// options), and TrackExtent, the 16-byte track entry of its layout that the
// source-disc reader builds too. Portable.
#pragma once
#include "drive/mmc/cue_sheet.h"
#include "runtime/array.h"
#include "runtime/types.h"
#include "runtime/wide_string.h"

class IBurnSource;

// One extent of a layout. start is signed: a CD pregap starts at -150.
struct TrackExtent {
  i32 start;
  u32 sectorSize;   // 2048, 2336 or 2352
  u32 sectorCount;
  u8 content;       // 1: the sectors come from the source; 0: zero sectors (a gap)
  u8 mode2Form1;    // data written as Mode 2 Form 1
  u8 cdOnly;        // written only on CD media (gaps read from a source disc)
  u8 spare;
};
static_assert(sizeof(TrackExtent) == 16, "track entry is 16 bytes");

// The source-disc reader's name for the same entry.
typedef TrackExtent SourceExtent;

// A fresh entry is zero but for content = 1.
template <>
struct ArrayTraits<TrackExtent> {
  static void InitNew(TrackExtent* slot) {
    *slot = TrackExtent();
    slot->content = 1;
  }
  static void CopyInto(TrackExtent* slot, const TrackExtent& from) { *slot = from; }
  static void Destroy(TrackExtent*) {}
};

typedef CArray<TrackExtent> TrackList;
typedef CArray<TrackList> SessionList;
typedef CArray<CueSheet> CueSheetList;

// Option bits.
constexpr u8 kOptionMode2Form1 = 0x01;
constexpr u8 kOptionVerify = 0x02;
constexpr u8 kOptionBufe = 0x04;
constexpr u8 kOptionCloseDisc = 0x08;
constexpr u8 kOptionOverburn = 0x10;
constexpr u8 kOptionDirectCopy = 0x20;
constexpr u8 kOptionAudioProject = 0x40;
constexpr u8 kOptionBitsCopied = 0x7F;  // bit 7 is never copied

// Burn methods and write-speed modes.
constexpr u32 kMethodTrackAtOnce = 0;
constexpr u32 kMethodDiscAtOnce = 1;
constexpr u32 kWriteSpeedAutomatic = 0;
constexpr u32 kWriteSpeedMaximum = 1;

constexpr i32 kNoDrive = -1;

struct BurnRequest {
  BurnRequest();
  ~BurnRequest();
  BurnRequest(const BurnRequest&) = delete;
  BurnRequest& operator=(const BurnRequest&) = delete;

  // Copies every field of other into this record (deep copies of the path,
  // the sessions and the cue sheets; option bits 0-6 only). False when an
  // allocation failed (the record then holds what could be copied).
  bool Assign(const BurnRequest& other);
  // Replaces this record's sessions / cue sheets by copies of the given ones.
  bool CopyTracks(const SessionList& from);
  bool CopyCueSheets(const CueSheetList& from);

  // Sum of sectorCount (sectorSize x sectorCount) over every entry of every
  // session; with contentOnly only entries whose content byte is non-zero.
  u32 SumTrackSectors(bool contentOnly) const;
  u64 SumTrackBytes(bool contentOnly) const;
  u32 CountContentEntries() const;
  // The first entry of the first session, or null.
  TrackExtent* FirstTrack();
  const TrackExtent* FirstTrack() const;

  i32 source;              // source drive index, -1: image file or project source
  i32 destination;         // destination drive index, -1: none
  CWideString imagePath;
  IBurnSource* projectSource;  // not owned
  void* projectPage;           // follow-up page, not owned
  SessionList sessions;
  CueSheetList cueSheets;
  u32 method;
  u32 writeSpeed;
  u32 titleId;
  u16 copiedProfile;
  u8 options;
};
