// The decisions of a disc copy, shared by the copy-disc window and the
// insert-disc prompt: what the source disc needs (read from the source
// drive, or from the layout a burn read into its temporary image) and
// whether the medium in the destination drive can take it, with the status
// line to show when it cannot. Portable: the drive goes through the device
// I/O seam.
#pragma once
#include "app/job_windows/job_status_texts.h"
#include "runtime/types.h"

class CDrive;
struct BurnRequest;

// UI string ids of the copy's status lines.
constexpr u32 kTextInsertSourceDisc = 128;
constexpr u32 kTextSourceDiscEmpty = 129;
constexpr u32 kTextInsertEmptyOrRewritable = 135;
constexpr u32 kTextInsertWritableDisc = 136;
constexpr u32 kTextCopyDisc = 147;
constexpr u32 kTextSourceDiscError = 153;
constexpr u32 kTextInsertA = 157;
constexpr u32 kTextAtDestination = 158;

// The medium names that follow "Insert a ".
extern const wchar16 kMediumNameCd[];      // "CD-R/RW"
extern const wchar16 kMediumNameDvdR[];    // "DVD-R/-RW (DL)"
extern const wchar16 kMediumNameDvdPlus[]; // "DVD+R (DL)"

// What a copy needs of its destination.
struct CopySource {
  u16 profile = 0;          // the source disc's profile
  u32 blocks = 0;           // blocks the copy writes (end of the last track)
  bool multi = false;       // more than one track
  bool singleData = false;  // one track of 2048-byte data sectors
  bool finalized = true;    // false: the last session was left open
  bool isCd = false;
};

// The source drive's disc, read with READ DISC INFORMATION and READ TRACK
// INFORMATION (the drive has been opened and probed).
enum class SourceRead : u8 {
  kOk,
  kNoDisc,       // no medium
  kBlank,        // a blank disc: nothing to copy
  kNoDiscInfo,   // READ DISC INFORMATION failed: nothing is shown
  kTrackError,   // the last track could not be read: "Error at origin disc"
};
SourceRead ReadCopySource(CDrive& drive, CopySource* out);

// The source as the burn recorded it before asking for the destination
// disc: the copied profile and the layout of its request.
CopySource CopySourceFromRequest(const BurnRequest& request);

// The destination medium as a check sees it (after a fresh probe).
struct DestinationMedium {
  u16 profile = 0;
  u8 mediaFlags = 0;
  u8 mediaFlags2 = 0;
  bool writable = false;
  bool blank = false;
  bool rewritable = false;
  u32 capacity = 0;  // blocks; read only for a writable medium
};
// Probes the drive again and reads its capacity.
DestinationMedium DescribeDestination(CDrive& drive);

struct CopyVerdict {
  bool ok = false;
  u32 statusId = 0;                // 0: the status line is left as it is
  const wchar16* medium = nullptr; // "Insert a " + medium + " at destination"
  bool overburn = false;           // a CD up to a tenth over its capacity
};
CopyVerdict JudgeCopyDestination(const CopySource& source, const DestinationMedium& medium);

// The insert-disc prompt's look at the disc in the destination drive of a
// one-drive copy, judged against the source the burn recorded in its
// request; the request's overburn bit follows the verdict.
CopyVerdict JudgeInsertedDisc(CDrive& drive, BurnRequest* request);

// What the person chose in the copy window besides what it found out.
struct CopyChoices {
  i32 source = -1;       // drive indexes behind the chosen entries
  i32 destination = -1;
  bool verify = false;   // "Verify" ticked
  bool direct = false;   // "Direct copy" ticked (it counts between two drives only)
};
// The copy window's accept: the request for a copy of `disc` (its last
// session left open stays open; a CD is copied disc at once), with the
// destination check's overburn.
void FillCopyRequest(BurnRequest* request, const CopyChoices& choices, const CopySource& disc, bool overburn);
