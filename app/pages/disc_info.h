// What the disc information page shows of the medium in a drive: the drive's
// name, the profile, the status texts, sessions, tracks, size, and one
// record per TOC descriptor with the session and size READ TRACK
// INFORMATION gives for it. Read once, when the page is built. Portable.
#pragma once
#include "app/pages/page_text_ids.h"
#include "drive/drive.h"
#include "drive/mmc/media_profiles.h"
#include "runtime/array.h"
#include "runtime/wide_string.h"

// UI string ids of the page.
constexpr u32 kTextDiscInformation = 180;
constexpr u32 kTextDiscName = 181;
constexpr u32 kTextDiscProfile = 182;
constexpr u32 kTextDiscStatus = 183;
constexpr u32 kTextStatusEmpty = 184;
constexpr u32 kTextStatusIncomplete = 185;
constexpr u32 kTextStatusFinalized = 186;
constexpr u32 kTextLastSessionState = 187;
constexpr u32 kTextStateDamaged = 188;
constexpr u32 kTextStateComplete = 189;
constexpr u32 kTextErasable = 190;
constexpr u32 kTextTracks = 191;
constexpr u32 kTextSessions = 192;
constexpr u32 kTextSizeInSectors = 193;
constexpr u32 kTextAvailableSize = 194;
constexpr u32 kTextTrackInformation = 195;
constexpr u32 kTextSession = 196;
constexpr u32 kTextTrack = 197;
constexpr u32 kTextType = 198;
constexpr u32 kTextData = 199;
constexpr u32 kTextAudio = 200;
constexpr u32 kTextYes = 2;
constexpr u32 kTextNo = 3;

// The lead-out's track number in a TOC.
constexpr u32 kLeadOutTrack = 0xAA;
// READ TOC (format 0) reply: the header and at most 100 descriptors.
constexpr u16 kDiscTocReplyLength = 804;
constexpr u16 kDiscInfoReplyBytes = 42;

struct DiscTrackRecord {
  u8 data;           // 1: data track (CONTROL bit 2), 0: audio
  u32 track;         // the TOC descriptor's track number
  u32 session;       // READ TRACK INFORMATION; 0 when it could not be read
  u32 start;         // the TOC descriptor's start address
  u32 size;          // READ TRACK INFORMATION; 0 when it could not be read
  u32 previousEnd;   // end of the previous track of the session, or start
  u32 end;           // start + size
};

struct DiscInfo {
  CWideString driveName;  // empty: no drive (an empty pane)
  u16 profile = 0;        // 0: no medium
  ProfileName profileName = {u"", 0};
  i32 statusText = -1;    // UI string id, -1 none
  i32 stateText = -1;     // last session's state, UI string id, -1 none
  u32 tracks = 0;
  u32 sessions = 0;
  u32 size = 0;           // last block address (READ CAPACITY), 0 none
  u32 availableSize = 0;  // recordable blocks when size is 0
  bool erasable = false;
  CArray<DiscTrackRecord> records;
};

// Reads the medium of an opened (probed) drive into info: profile, status,
// disc information, capacity and the track records. Stops after the
// profile when there is no medium, and before the records when the TOC
// cannot be read. The drive name is the caller's. Each command is sent
// once: the page reads on the user-interface thread, which never waits for
// a drive to become ready (the manager's open has just probed it).
void ReadDiscInfo(CDrive& drive, DiscInfo* info);

// The status texts of the drive's disc-status and last-session bits.
i32 DiscStatusText(u8 discStatus);
i32 SessionStateText(u8 sessionState);
