// GetAudioTrackLength: a track's playing time in seconds and sectors.
#include <dshow.h>

#include "jobs/audio/audio_track_length_win.h"

#include "jobs/audio/audio_graph_win.h"
#include "jobs/audio/audio_raw_track_win.h"
#include "jobs/audio/wav_filter_win.h"
#include "runtime/file.h"
#include "runtime/platform.h"
#include "runtime/win.h"

namespace {

void LogTrackSize(u32 sectors) {
  CWideString line;
  line.AppendAscii("Track Size: ");
  line.AppendUInt(sectors);
  line.AppendAscii("\r\n");
  OutputDebugText(line.c_str());
}

// The graph's duration (100-ns units) of a file the sink accepts.
AudioStatus MeasureThroughGraph(const wchar16* path, i64* duration) {
  CComScope com;  // ends after the sink is gone
  CWavFilter sink(nullptr, 0);
  if (!com.Ok()) {
    AudioStatus status;
    status.error = AudioError::kSystem;
    status.code = com.Result();
    return status;
  }
  IGraphBuilder* graph = nullptr;
  AudioStatus status = BuildDecodeGraph(&graph, path, &sink);
  if (status.Ok()) {
    IMediaSeeking* seeking = nullptr;
    HRESULT hr = graph->QueryInterface(IID_IMediaSeeking, reinterpret_cast<void**>(&seeking));
    LONGLONG d = 0;
    if (SUCCEEDED(hr) && seeking) hr = seeking->GetDuration(&d);
    if (FAILED(hr) || !seeking) {
      status.error = AudioError::kNoDuration;
      status.code = FAILED(hr) ? hr : E_NOINTERFACE;
    }
    *duration = d;
    if (seeking) seeking->Release();
  }
  ReleaseDecodeGraph(graph, &sink);
  return status;
}

AudioStatus MeasureRawFile(const wchar16* path, u64* size) {
  AudioStatus status;
  CFileHandle file;
  HResult hr = file.Open(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL);
  if (hr == 0) hr = FileSize(file.Get(), size);
  if (hr != 0) {
    status.error = AudioError::kReadFailed;
    status.code = hr;
  }
  return status;
}

}  // namespace

bool GetAudioTrackLength(AudioTrackInfo* track, const wchar16* path, AudioStatus* status) {
  AudioStatus local;
  AudioStatus& result = status ? *status : local;
  result = AudioStatus();
  if (!path || !FileExists(path)) {
    result.error = AudioError::kMissingFile;
    return false;
  }
  track->path.Assign(path);
  track->raw = false;
  i64 duration = 0;
  result = MeasureThroughGraph(path, &duration);
  if (result.Ok()) {
    if (!TrackLengthFromDuration(duration, &track->seconds, &track->sectors)) {
      result.error = AudioError::kNoDuration;
      return false;
    }
    LogTrackSize(track->sectors);
    return true;
  }
  if (result.error == AudioError::kSystem || !HasRawAudioName(path)) return false;
  u64 size = 0;
  AudioStatus raw = MeasureRawFile(path, &size);
  if (!raw.Ok()) {
    result = raw;
    return false;
  }
  if (!TrackLengthFromRawBytes(size, &track->seconds, &track->sectors)) {
    result.error = AudioError::kNoDuration;
    return false;
  }
  track->raw = true;
  result = AudioStatus();
  return true;
}
