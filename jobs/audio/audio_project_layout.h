// The audio project's arithmetic: the track extents and the disc-at-once
// cue sheet of a burn, the project's totals and the CD size they need, the
// pause field's seconds and the minutes:seconds texts. Portable: plain
// numbers, texts and the burn request's records.
#pragma once
#include "jobs/burn/burn_request.h"
#include "runtime/types.h"
#include "runtime/wide_string.h"

// A CD holds tracks 1 to 99.
constexpr u32 kMaxAudioTracks = 99;
// The pause before the first track is never shorter than the 2 s pregap.
constexpr u32 kFirstTrackPause = 150;
// The pause field: whole seconds, at most three digits.
constexpr u32 kMaxPauseSeconds = 999;
// Cue-sheet times are minutes:seconds:frames with at most 99 minutes: the
// lead-out (start + 150 frames) must lie below 100:00:00.
constexpr i64 kMaxCueFrames = 100 * 60 * 75;

// One track as the layout sees it.
struct AudioLayoutTrack {
  u32 sectors;      // 2352-byte sectors of the file's audio
  u32 pauseFrames;  // silence before it, in sectors (0: none)
};

// Appends the extents of one track at *position: a pause extent {gap, 2352,
// pause} when there is a pause (the first track of the list, when the list
// is still empty, gets at least kFirstTrackPause), then the track's extent
// {content, 2352, sectors}; *position moves past both. Neither extent
// carries the CD-only mark: the window that accepted the burn decided the
// medium, and the write loop must not skip the audio. False (nothing
// appended) when the list could not grow or the end would pass the largest
// position.
bool AppendAudioTrackExtents(u32 pauseFrames, u32 sectors, TrackList* list, i32* position);

enum class AudioLayoutResult : u8 {
  kOk,
  kNoTracks,
  kTooManyTracks,  // more than kMaxAudioTracks
  kTooLong,        // the lead-out lies beyond the cue sheet's 99:59:74
  kCueSheetFull,   // more entries than a cue sheet holds
  kOutOfMemory,
};

// Appends one session, a copy of the layout (the tracks' extents as
// AppendAudioTrackExtents lays them out from -kFirstTrackPause), and its
// cue sheet (a lead-in, per pause extent an INDEX 0 entry, per track
// extent an INDEX 1 entry, the lead-out at the layout's end) to the
// request. Nothing is appended unless the whole layout fits.
AudioLayoutResult BuildAudioCueSheet(BurnRequest* request, const TrackList& layout);

// The sectors the project takes on the disc: the sum over tracks of pause +
// sectors, the first pause at least kFirstTrackPause (as the layout writes
// it); 0xFFFFFFFF when the sum does not fit.
u32 AudioProjectTotal(const AudioLayoutTrack* tracks, u32 count);

// The smallest CD the total stays below: its name ("CD 74 min") and the
// gauge value total / limit; "CD ??? min" and 1.0 beyond the largest.
struct CdSizeChoice {
  const wchar16* name;
  double fill;
};
CdSizeChoice ChooseCdSize(u32 totalSectors);

// The pause field's text: its leading decimal digits as seconds, saturated
// at kMaxPauseSeconds however many digits follow (*saturated tells). False
// when the text does not start with a digit (the stored pause stays).
bool ParsePauseSeconds(const wchar16* text, i32 length, u32* seconds, bool* saturated);
