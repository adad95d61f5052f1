// A stand-in for measuring audio files, for page tests: a file named
// "name_S" is a track of S sectors; one whose name starts with "bad" cannot
// be read.
#pragma once
#include <string>

#include "jobs/audio/audio_track_info.h"

inline bool MeasureTrackByName(AudioTrackInfo* track, const wchar16* path) {
  std::u16string p(path);
  if (p.rfind(u"bad", 0) == 0) return false;
  const size_t at = p.rfind(u'_');
  u32 sectors = 0;
  for (size_t i = at + 1; at != std::u16string::npos && i < p.size(); ++i) sectors = sectors * 10 + (p[i] - u'0');
  track->sectors = sectors;
  track->seconds = sectors / 75;
  return sectors > 0;
}
