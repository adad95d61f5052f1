// The layout of a source disc for a copy: its sessions of extents (tracks
// and the gaps between them) and, for CD, one disc-at-once cue sheet per
// session, planned from the TOC, the PMA and the track information replies.
// Portable: the planner works on reply bytes; CDeviceSource::ReadLayout
// (burn_source_device.cpp) sends the commands and feeds it.
#pragma once
#include "drive/mmc/cue_sheet.h"
#include "jobs/burn/burn_request.h"
#include "runtime/types.h"

// Reply lengths of the layout commands.
constexpr u16 kTocReplyLength = 804;
constexpr u16 kPmaReplyLength = 1104;
constexpr u32 kTrackInfoReplyLength = 40;
constexpr u16 kDiscInfoReplyLength = 42;

// What READ TRACK INFORMATION tells of one track.
struct LayoutTrackInfo {
  u32 start;       // bytes 8-11
  u32 size;        // bytes 24-27
  u8 trackMode;    // byte 5 low nibble
  u8 dataMode;     // byte 6 low nibble
  u32 session;     // byte 33 x 256 + byte 3
};
// Reads the fields the reply holds (size = valid bytes); false when the
// reply is too short to hold the session number.
bool ParseTrackInformation(const u8* reply, u32 size, LayoutTrackInfo* out);

// Data form (0x10 Mode 1, 0x20 Mode 2 Form 1, 0x00 CD-DA), block size and
// Mode 2 flag of a CD track by its track and data modes.
struct TrackForm {
  u8 dataForm;
  u32 blockSize;
  bool mode2;
};
TrackForm ClassifyCdTrack(u8 trackMode, u8 dataMode);

// LBA of a PMA address: (MIN x 60 + SEC) x 75 + FRAME - 150, or - 450150
// when MIN is 90-99, SEC below 60 and FRAME below 75 (a negative LBA).
i32 PmaAddressToLba(u8 minute, u8 second, u8 frame);

// Number of PMA descriptors of a reply (11 bytes each from byte 4), bounded
// by the valid bytes; 0 when the length field is below 2.
u32 CountPmaDescriptors(const u8* reply, u32 size);

// One TOC track of a CD as the planner sees it.
struct CdLayoutTrack {
  u8 ctl;
  u8 adr;
  u8 number;        // 1-99, or >= 100 for the lead-out
  i32 tocStart;     // the TOC descriptor's start LBA
  LayoutTrackInfo info;
  bool hasPma;      // a paired PMA address exists
  i32 pmaLba;       // its LBA
};

// Receives the planned layout.
class ILayoutSink {
 public:
  virtual TrackList* BeginSession() = 0;   // null: out of memory
  virtual CueSheet* BeginCueSheet() = 0;   // null: out of memory
  // A readable extent and a gap (described, never read).
  virtual bool AddExtent(i32 start, u32 count, u32 blockSize, bool mode2) = 0;
  virtual bool AddGap(i32 start, i32 end, u32 blockSize, bool mode2) = 0;

 protected:
  ~ILayoutSink() = default;
};

enum class LayoutResult : u8 {
  kOk,
  kTooManyEntries,  // a session needs more than 256 cue-sheet entries even without index 2
  kOutOfMemory,
};

// Plans a CD: per session a lead-in, each track's index 0 (when its start
// differs from the previous end), index 1, index 2 from the PMA (a gap to
// the PMA address when it lies after the track's end) and the lead-out.
// Addresses compare as signed numbers. A session that would need more than
// 256 entries loses its index-2 entries and their gaps first.
LayoutResult PlanCdLayout(const CdLayoutTrack* tracks, u32 count, ILayoutSink* sink);

// The cue sheet of a single-track 2048-byte disc of `blocks` blocks: lead-in
// (0x41, form G), track 1 index 0 at -150 and index 1 at 0 (form D), lead-out
// at `blocks` (form G); D = 0x20 with mode2 else 0x10, G = D + 4.
void BuildSingleTrackCueSheet(CueSheet* sheet, u32 blocks, bool mode2);
