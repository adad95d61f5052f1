#include "jobs/audio/audio_status.h"

namespace {

void AppendFormat(const WaveFormatSummary& f, CWideString* out) {
  out->AppendAscii(" (");
  out->AppendUInt(f.samplesPerSecond);
  out->AppendAscii(" Hz, ");
  out->AppendUInt(f.channels);
  out->AppendAscii(f.channels == 1 ? " channel, " : " channels, ");
  out->AppendUInt(f.bitsPerSample);
  out->AppendAscii(" bits");
  if (f.tag != 1) {
    out->AppendAscii(", format tag ");
    out->AppendUInt(f.tag);
  }
  out->AppendAscii(")");
}

void AppendCode(HResult code, CWideString* out) {
  if (code == 0) return;
  out->AppendAscii(" (error 0x");
  out->AppendHex(HexFormat{static_cast<u32>(code), 8, 1});
  out->AppendAscii(")");
}

}  // namespace

void AppendAudioStatusText(const AudioStatus& status, CWideString* out) {
  switch (status.error) {
    case AudioError::kNone:
      out->AppendAscii("Decoded");
      return;
    case AudioError::kMissingFile:
      out->AppendAscii("The audio file does not exist");
      return;
    case AudioError::kNotCdAudio:
      out->AppendAscii("The audio is not CD audio");
      if (status.hasRefusedFormat) AppendFormat(status.refused, out);
      out->AppendAscii("; only 44100 Hz stereo 16-bit PCM can be written");
      return;
    case AudioError::kNotDecodable:
      out->AppendAscii("No installed decoder can read the audio file");
      AppendCode(status.code, out);
      return;
    case AudioError::kNoDuration:
      out->AppendAscii("The playing time of the audio file is unknown");
      AppendCode(status.code, out);
      return;
    case AudioError::kSystem:
      out->AppendAscii("The media framework failed");
      AppendCode(status.code, out);
      return;
    case AudioError::kReadFailed:
      out->AppendAscii("The audio file could not be read");
      AppendCode(status.code, out);
      return;
    case AudioError::kDecodeFailed:
      out->AppendAscii("Decoding stopped with an error; the rest of the track is silence");
      AppendCode(status.code, out);
      return;
    case AudioError::kDecodedShort:
      out->AppendAscii("The audio ended after ");
      out->AppendUInt64(status.bytesDecoded / kCdBytesPerSecond);
      out->AppendAscii(" s, before its measured length; the rest of the track is silence");
      return;
    case AudioError::kAborted:
      out->AppendAscii("Decoding was cancelled");
      return;
  }
  out->AppendAscii("Unknown audio error");
}
