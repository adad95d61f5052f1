// Measuring an audio track's playing time. Windows only.
#pragma once
#include "jobs/audio/audio_status.h"
#include "jobs/audio/audio_track_info.h"

// Sets the path and both lengths of the track: from the graph's duration,
// or, for a ".bin"/".raw" file that no filter renders, from its size as raw
// CD audio. False (with the reason in *status when given) otherwise.
bool GetAudioTrackLength(AudioTrackInfo* track, const wchar16* path, AudioStatus* status = nullptr);
