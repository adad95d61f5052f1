// Raw CD-audio tracks (".bin"/".raw" files that no filter renders): the
// file's bytes are the PCM. Windows only.
#pragma once
#include "jobs/audio/audio_abort.h"
#include "jobs/audio/audio_status.h"
#include "jobs/audio/audio_track_info.h"

class CRingBuffer;

// Copies a raw CD-audio file into the ring buffer, cut or padded to the
// track's sectors.
AudioStatus CopyRawAudioTrack(const AudioTrackInfo& track, CRingBuffer* ring, AudioAbort abort);

// A name longer than 4 characters ending in ".bin" or ".raw", compared
// case-sensitively.
bool HasRawAudioName(const wchar16* path);
