// Decode speed of audio files through the DirectShow graph into the ring
// buffer (drained by a second thread, as a burn does), as a multiple of
// real time, next to an independent decoder on the same files in the same
// run: sox for FLAC, lame for MP3 (this sox has no MP3). Under Wine a Unix
// program cannot be waited for, so scripts/bench makes the 10-minute files,
// times the reference decoders natively and passes their times in: folder
// (Windows path) [flac reference s] [mp3 reference s].
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "jobs/audio/audio_decode_win.h"
#include "runtime/clock.h"
#include "runtime/threads.h"
#include "runtime/win.h"
#include "runtime/ring_buffer.h"

namespace {

constexpr u32 kSeconds = 600;

struct Drain {
  CRingBuffer* ring;
  std::atomic<bool> done{false};
  u64 bytes = 0;
};

u32 DrainRing(void* p) {
  Drain* d = static_cast<Drain*>(p);
  static u8 buffer[65536];
  for (;;) {
    u64 n = d->ring->GetDataSize();
    if (n == 0) {
      if (d->done.load() && d->ring->GetDataSize() == 0) return 0;
      SleepFor(1);
      continue;
    }
    u32 k = n < sizeof(buffer) ? static_cast<u32>(n) : sizeof(buffer);
    if (d->ring->Read(buffer, k)) d->bytes += k;
  }
}

// Seconds the graph takes to decode the file into a 4 MiB ring; -1 on failure.
double DecodeThroughGraph(const std::wstring& path, u64* bytes) {
  AudioTrackInfo track;
  AudioStatus status;
  if (!GetAudioTrackLength(&track, reinterpret_cast<const wchar16*>(path.c_str()), &status)) {
    std::printf("cannot measure %ls (error %d)\n", path.c_str(), static_cast<int>(status.error));
    return -1;
  }
  CRingBuffer ring;
  ring.Allocate(0x400000, false);
  Drain drain;
  drain.ring = &ring;
  CThread consumer;
  if (!consumer.Start(&DrainRing, &drain, 64 * 1024)) return -1;
  u64 t0 = 0, t1 = 0;
  ReadPerformanceCounter(&t0);
  status = DecodeAudioFile(track, &ring, AudioAbort());
  ReadPerformanceCounter(&t1);
  drain.done = true;
  consumer.Join();
  *bytes = drain.bytes;
  if (!status.Ok())
    std::printf("decode of %ls: error %d\n", path.c_str(), static_cast<int>(status.error));
  return ElapsedSeconds(t0, t1);
}

void Report(const char* name, double graph, const char* referenceName, double reference,
            u64 bytes) {
  double audio = static_cast<double>(bytes) / 176400.0;
  std::printf("%-4s %.1f s of audio: graph %.2f s = %.0fx real time", name, audio, graph,
              audio / graph);
  if (reference > 0)
    std::printf("; %s %.2f s = %.0fx real time; graph speed / %s speed = %.2f", referenceName,
                reference, audio / reference, referenceName, reference / graph);
  std::printf("\n");
}

}  // namespace

int main(int argc, char** argv) {
  InitCounterFrequency();
  std::string folderText = argc > 1 ? argv[1] : ".";
  std::wstring folder(folderText.begin(), folderText.end());
  double flacReference = argc > 2 ? std::atof(argv[2]) : 0;
  double mp3Reference = argc > 3 ? std::atof(argv[3]) : 0;
  std::wstring flac = folder + L"\\bench.flac", mp3 = folder + L"\\bench.mp3";
  u64 bytes = 0;
  DecodeThroughGraph(flac, &bytes);  // warm-up: loads the platform's filters
  double graphFlac = DecodeThroughGraph(flac, &bytes);
  if (graphFlac > 0) Report("FLAC", graphFlac, "sox", flacReference, bytes);
  double graphMp3 = DecodeThroughGraph(mp3, &bytes);
  if (graphMp3 > 0) Report("MP3", graphMp3, "lame", mp3Reference, bytes);
  return graphFlac > 0 && graphMp3 > 0 ? 0 : 1;
}
