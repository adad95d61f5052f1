// Outcome of measuring or decoding one audio file, and its text for the job
// log. Portable.
#pragma once
#include "jobs/audio/audio_cd_format.h"
#include "runtime/types.h"
#include "runtime/wide_string.h"

enum class AudioError : u8 {
  kNone = 0,
  kMissingFile,   // the path names no file
  kNotCdAudio,    // the file decodes, but not to 44100 Hz 2-channel 16-bit PCM
  kNotDecodable,  // no filter of the system renders the file
  kNoDuration,    // rendered, but without a usable playing time
  kSystem,        // COM or the filter graph failed
  kReadFailed,    // a raw track could not be read
  kDecodeFailed,  // the graph reported an error while decoding
  kDecodedShort,  // the stream ended well before the measured length
  kAborted,       // the job was cancelled
};

struct AudioStatus {
  AudioError error = AudioError::kNone;
  HResult code = 0;      // the system's result behind the error, 0 when none
  u64 bytesDecoded = 0;  // decoded bytes the track received (before cut and padding)
  // The sink was offered a format it does not take (with kNone: the
  // platform's filters then converted the audio to CD audio).
  bool hasRefusedFormat = false;
  WaveFormatSummary refused = {};

  bool Ok() const { return error == AudioError::kNone; }
};

// One line without a line break, e.g. "The audio is not CD audio (48000 Hz,
// 2 channels, 16 bits); only 44100 Hz stereo 16-bit PCM can be written".
void AppendAudioStatusText(const AudioStatus& status, CWideString* out);
