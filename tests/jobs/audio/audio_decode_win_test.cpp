// Measuring and decoding real audio files through the system's DirectShow
// graph (WAV, FLAC, Ogg Vorbis, MP3 made by sox and lame), compared with
// the independent decodes the fixture script made.
#include "jobs/audio/audio_decode_win.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "jobs/audio/audio_graph_win.h"
#include "jobs/audio/audio_raw_track_win.h"
#include "jobs/audio/wav_filter_win.h"
#include "runtime/clock.h"
#include "runtime/threads.h"
#undef GetFreeSpace  // a 16-bit era macro of <windows.h>
#include "runtime/ring_buffer.h"

namespace {

const char kFolder[] = "fixtures\\audio\\";

std::string Fixture(const char* name) { return std::string(kFolder) + name; }

CWideString Wide(const std::string& utf8) {
  CWideString w;
  w.AppendUtf8(utf8.c_str(), static_cast<i32>(utf8.size()));
  return w;
}

bool ReadWhole(const std::string& path, std::vector<u8>* out) {
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  u8 buffer[65536];
  size_t n;
  out->clear();
  while ((n = std::fread(buffer, 1, sizeof(buffer), f)) > 0)
    out->insert(out->end(), buffer, buffer + n);
  std::fclose(f);
  return true;
}

u64 SampleCount(const char* name) {
  std::vector<u8> text;
  if (!ReadWhole(Fixture(name), &text)) return 0;
  return std::strtoull(std::string(text.begin(), text.end()).c_str(), nullptr, 10);
}

u32 SectorsOf(u64 samples) { return static_cast<u32>((samples + 587) / 588); }

struct Measured {
  bool ok;
  AudioTrackInfo track;
  AudioStatus status;
};

Measured Measure(const char* name) {
  Measured m;
  m.ok = GetAudioTrackLength(&m.track, Wide(Fixture(name)).c_str(), &m.status);
  return m;
}

struct Decoded {
  AudioStatus status;
  std::vector<u8> bytes;
};

// Decodes into a ring that holds the whole track, then drains it.
Decoded Decode(const AudioTrackInfo& track) {
  Decoded d;
  CRingBuffer ring;
  EXPECT_TRUE(ring.Allocate(16u << 20, false));
  d.status = DecodeAudioFile(track, &ring, AudioAbort());
  d.bytes.resize(static_cast<size_t>(ring.GetDataSize()));
  if (!d.bytes.empty()) {
    EXPECT_TRUE(ring.Read(d.bytes.data(), static_cast<u32>(d.bytes.size())));
  }
  return d;
}

bool AllZero(const std::vector<u8>& v, size_t from) {
  for (size_t i = from; i < v.size(); ++i)
    if (v[i] != 0) return false;
  return true;
}

// Decodes `sectors` of a file that gives no audio: the track comes back
// whole and silent, with `error`.
void ExpectSilentDecode(const char* name, u32 sectors, AudioError error, Decoded* out = nullptr) {
  AudioTrackInfo track;
  track.path = Wide(Fixture(name));
  track.sectors = sectors;
  Decoded d = Decode(track);
  EXPECT_EQ(error, d.status.error);
  if (out) *out = d;
  ASSERT_EQ(static_cast<size_t>(sectors) * 2352, d.bytes.size());
  EXPECT_TRUE(AllZero(d.bytes, 0));
}

// Signal-to-noise ratio in dB of 16-bit samples against a reference over
// the reference's length.
double SnrDb(const std::vector<u8>& got, const std::vector<u8>& reference) {
  size_t n = std::min(got.size(), reference.size()) / 2;
  double signal = 0, noise = 0;
  for (size_t i = 0; i < n; ++i) {
    double r = static_cast<i16>(reference[2 * i] | (reference[2 * i + 1] << 8));
    double g = static_cast<i16>(got[2 * i] | (got[2 * i + 1] << 8));
    signal += r * r;
    noise += (g - r) * (g - r);
  }
  if (noise == 0) return 200;
  return 10 * std::log10(signal / noise);
}

}  // namespace

TEST(AudioGraph, LengthsMatchTheSampleCounts) {
  const char* stems[] = {"t587999", "t588000", "t588001"};
  const char* kinds[] = {".wav", ".flac", ".ogg"};
  for (const char* stem : stems) {
    u64 samples = SampleCount((std::string(stem) + ".samples").c_str());
    ASSERT_GT(samples, 0u) << "missing fixture " << stem;
    for (const char* kind : kinds) {
      std::string name = std::string(stem) + kind;
      Measured m = Measure(name.c_str());
      ASSERT_TRUE(m.ok) << name;
      EXPECT_EQ(SectorsOf(samples), m.track.sectors) << name;
      EXPECT_EQ(samples / 44100, m.track.seconds) << name;
      EXPECT_FALSE(m.track.raw);
    }
  }
  Measured mp3 = Measure("t588000.mp3");
  ASSERT_TRUE(mp3.ok);
  EXPECT_EQ(1000u, mp3.track.sectors);  // the gapless tag gives the exact length
  Measured shortWav = Measure("short.wav");
  ASSERT_TRUE(shortWav.ok);
  EXPECT_EQ(SectorsOf(SampleCount("short.samples")), shortWav.track.sectors);
  EXPECT_EQ(0u, shortWav.track.seconds);
}

TEST(AudioGraph, WavAndFlacDecodeByteExactWithZeroPadding) {
  const char* stems[] = {"t587999", "t588000", "t588001", "short"};
  for (const char* stem : stems) {
    for (const char* kind : {".wav", ".flac"}) {
      std::string name = std::string(stem) + kind;
      std::vector<u8> reference;
      ASSERT_TRUE(ReadWhole(Fixture((std::string(stem) + ".wav.pcm").c_str()), &reference)) << name;
      Measured m = Measure(name.c_str());
      ASSERT_TRUE(m.ok) << name;
      Decoded d = Decode(m.track);
      EXPECT_TRUE(d.status.Ok()) << name;
      ASSERT_EQ(static_cast<size_t>(m.track.sectors) * 2352, d.bytes.size()) << name;
      ASSERT_GE(d.bytes.size(), reference.size()) << name;
      EXPECT_TRUE(std::equal(reference.begin(), reference.end(), d.bytes.begin())) << name;
      EXPECT_TRUE(AllZero(d.bytes, reference.size())) << name;
    }
  }
}

TEST(AudioGraph, OggAndMp3DecodeAtTheExactLengthCloseToAnIndependentDecoder) {
  struct Case {
    const char* file;
    const char* reference;
    double minSnr;
  } cases[] = {
      {"t587999.ogg", "t587999.ogg.pcm", 60},
      {"t588001.ogg", "t588001.ogg.pcm", 60},
      {"t588000.mp3", "t588000.mp3.pcm", 60},
  };
  for (const Case& c : cases) {
    std::vector<u8> reference;
    ASSERT_TRUE(ReadWhole(Fixture(c.reference), &reference)) << c.file;
    Measured m = Measure(c.file);
    ASSERT_TRUE(m.ok) << c.file;
    EXPECT_EQ(SectorsOf(reference.size() / 4), m.track.sectors) << c.file;
    Decoded d = Decode(m.track);
    EXPECT_TRUE(d.status.Ok()) << c.file;
    ASSERT_EQ(static_cast<size_t>(m.track.sectors) * 2352, d.bytes.size()) << c.file;
    EXPECT_GT(SnrDb(d.bytes, reference), c.minSnr) << c.file;
    EXPECT_TRUE(AllZero(d.bytes, reference.size())) << c.file;
  }
}

TEST(AudioGraph, Mp3WithoutGaplessTagFillsItsMeasuredSectors) {
  Measured m = Measure("t588000_notag.mp3");
  ASSERT_TRUE(m.ok);
  // Without the tag the length includes the encoder's delay and padding:
  // at least the real audio, at most a few 1152-sample frames more.
  EXPECT_GE(m.track.sectors, 1000u);
  EXPECT_LE(m.track.sectors, 1000u + SectorsOf(3 * 1152));
  Decoded d = Decode(m.track);
  EXPECT_TRUE(d.status.Ok());
  ASSERT_EQ(static_cast<size_t>(m.track.sectors) * 2352, d.bytes.size());
  std::vector<u8> reference;
  ASSERT_TRUE(ReadWhole(Fixture("t588000_notag.mp3.pcm"), &reference));
  // Both decoders see the same frames; compare the middle of the track,
  // allowing for where each starts its output.
  double best = -1000;
  for (int shift = -1152 * 2; shift <= 1152 * 2; shift += 1) {
    size_t from = 44100 * 4 * 2;  // 2 s in
    size_t n = 44100 * 4 * 4;     // 4 s long
    std::vector<u8> a(d.bytes.begin() + from, d.bytes.begin() + from + n);
    std::vector<u8> b(reference.begin() + from + shift * 4,
                      reference.begin() + from + shift * 4 + n);
    double snr = SnrDb(a, b);
    if (snr > best) best = snr;
    if (best > 40) break;
  }
  EXPECT_GT(best, 40);
}

TEST(AudioGraph, HeaderOnlyWavHasNoLengthAndDecodesToSilence) {
  Measured m = Measure("header_only.wav");
  EXPECT_FALSE(m.ok);
  EXPECT_FALSE(m.status.Ok());
  Decoded d;
  ExpectSilentDecode("header_only.wav", 3, AudioError::kDecodedShort, &d);  // nothing came
  EXPECT_EQ(0u, d.status.bytesDecoded);
}

// The sink takes nothing but CD audio (see the filter tests for the
// refusals). The system's decoder here, the platform's GStreamer-based
// parser, converts channels and sample sizes on request to the type the
// sink offers, so such files reach the sink as CD audio of the right length.
TEST(AudioGraph, OtherPcmFormatsArriveConvertedToCdAudio) {
  struct Case {
    const char* file;
    const char* reference;  // the same file converted by sox
    double minSnr;
  } cases[] = {
      {"mono.wav", "mono.cd.pcm", 60},
      {"bits24.wav", "bits24.cd.pcm", 60},
      {"bits8.wav", "bits8.cd.pcm", 40},
  };
  for (const Case& c : cases) {
    Measured m = Measure(c.file);
    ASSERT_TRUE(m.ok) << c.file;
    EXPECT_TRUE(m.status.Ok()) << c.file;
    EXPECT_EQ(75u, m.track.sectors) << c.file;  // one second
    std::vector<u8> reference;
    ASSERT_TRUE(ReadWhole(Fixture(c.reference), &reference)) << c.file;
    Decoded d = Decode(m.track);
    EXPECT_TRUE(d.status.Ok()) << c.file;
    ASSERT_EQ(75u * 2352, d.bytes.size()) << c.file;
    EXPECT_GT(SnrDb(d.bytes, reference), c.minSnr) << c.file;
  }
}

// Another sample rate is not converted: a clear error when the file is
// measured, and silence with that error if it is decoded all the same.
TEST(AudioGraph, OtherSampleRateIsRefusedWithAClearError) {
  Measured m = Measure("rate48k.wav");
  EXPECT_FALSE(m.ok);
  EXPECT_EQ(AudioError::kNotCdAudio, m.status.error);
  ASSERT_TRUE(m.status.hasRefusedFormat);
  EXPECT_EQ(48000u, m.status.refused.samplesPerSecond);
  EXPECT_EQ(2, m.status.refused.channels);
  EXPECT_EQ(16, m.status.refused.bitsPerSample);
  CWideString text;
  AppendAudioStatusText(m.status, &text);
  std::string ascii;
  for (i32 i = 0; i < text.GetLength(); ++i) ascii.push_back(static_cast<char>(text.At(i)));
  EXPECT_NE(std::string::npos, ascii.find("not CD audio (48000 Hz, 2 channels, 16 bits)")) << ascii;

  ExpectSilentDecode("rate48k.wav", 75, AudioError::kNotCdAudio);
}

TEST(AudioGraph, UndecodableFileGivesAClearError) {
  Measured m = Measure("not_audio.wav");
  EXPECT_FALSE(m.ok);
  EXPECT_EQ(AudioError::kNotDecodable, m.status.error);
  EXPECT_NE(0, m.status.code);
  ExpectSilentDecode("not_audio.wav", 2, AudioError::kNotDecodable);
}

TEST(AudioGraph, MissingFileHasNoLengthAndDecodesToSilence) {
  Measured m = Measure("no_such_file.wav");
  EXPECT_FALSE(m.ok);
  EXPECT_EQ(AudioError::kMissingFile, m.status.error);
  ExpectSilentDecode("no_such_file.wav", 5, AudioError::kMissingFile);
}

TEST(AudioGraph, RawTrackIsMeasuredFromItsSizeAndCopiedWithPadding) {
  Measured m = Measure("track.raw");
  ASSERT_TRUE(m.ok) << static_cast<int>(m.status.error);
  EXPECT_TRUE(m.track.raw);
  EXPECT_EQ(10u, m.track.seconds);
  EXPECT_EQ(751u, m.track.sectors);
  std::vector<u8> file;
  ASSERT_TRUE(ReadWhole(Fixture("track.raw"), &file));
  Decoded d = Decode(m.track);
  EXPECT_TRUE(d.status.Ok());
  ASSERT_EQ(751u * 2352, d.bytes.size());
  EXPECT_TRUE(std::equal(file.begin(), file.end(), d.bytes.begin()));
  EXPECT_TRUE(AllZero(d.bytes, file.size()));
  // A raw track measured longer than the file now is padded; shorter is cut.
  AudioTrackInfo shorter = m.track;
  shorter.sectors = 100;
  Decoded cut = Decode(shorter);
  ASSERT_EQ(100u * 2352, cut.bytes.size());
  EXPECT_TRUE(std::equal(cut.bytes.begin(), cut.bytes.end(), file.begin()));
}

TEST(AudioGraph, UpperCaseRawExtensionIsNotRaw) {
  EXPECT_TRUE(HasRawAudioName(u"a.raw"));
  EXPECT_TRUE(HasRawAudioName(u"a.bin"));
  EXPECT_FALSE(HasRawAudioName(u".raw"));
  EXPECT_FALSE(HasRawAudioName(u"a.RAW"));
  EXPECT_FALSE(HasRawAudioName(u"a.wav"));
  Measured m = Measure("track.RAW");
  EXPECT_FALSE(m.ok);
  EXPECT_FALSE(m.track.raw);
}

namespace {
struct DecodeCall {
  DecodeCall(AudioTrackInfo* t, CRingBuffer* r, AudioAbort a) : track(t), ring(r), abort(a) {}
  AudioTrackInfo* track;
  CRingBuffer* ring;
  AudioAbort abort;
  AudioStatus status;
  std::atomic<bool> done{false};
};
u32 DecodeOnThread(void* p) {
  DecodeCall* call = static_cast<DecodeCall*>(p);
  call->status = DecodeAudioFile(*call->track, call->ring, call->abort);
  call->done = true;
  return 0;
}
}  // namespace

TEST(AudioGraph, CancelDuringADecodeWithAFullRingReturns) {
  for (const char* file : {"t588000.flac", "t588000.mp3"}) {
    Measured m = Measure(file);
    ASSERT_TRUE(m.ok) << file;
    CRingBuffer ring;
    ASSERT_TRUE(ring.Allocate(64 * 1024, false));
    std::atomic<u8> flags{0};
    AudioAbort abort = AudioAbort::OnFlags(&flags, 0x4);
    DecodeCall call(&m.track, &ring, abort);
    CThread thread;
    ASSERT_TRUE(thread.Start(&DecodeOnThread, &call, 256 * 1024));
    // Wait (with a generous deadline) until the decode has filled the ring
    // and is waiting for space that never comes.
    for (int i = 0; i < 30000 && ring.GetFreeSpace() >= 16384; ++i) SleepFor(1);
    EXPECT_LT(ring.GetFreeSpace(), 16384u) << file;
    SleepFor(100);
    EXPECT_FALSE(call.done.load()) << file;
    flags = 0x4;
    ASSERT_TRUE(thread.Join(60000)) << file;
    EXPECT_EQ(AudioError::kAborted, call.status.error) << file;
    EXPECT_LE(ring.GetDataSize(), 64u * 1024);
  }
}

TEST(AudioGraph, DecodeThroughASmallRingDrainedWhileItRuns) {
  Measured m = Measure("t588001.flac");
  ASSERT_TRUE(m.ok);
  std::vector<u8> reference;
  ASSERT_TRUE(ReadWhole(Fixture("t588001.wav.pcm"), &reference));
  CRingBuffer ring;
  ASSERT_TRUE(ring.Allocate(20000, false));
  DecodeCall call(&m.track, &ring, AudioAbort());
  CThread thread;
  ASSERT_TRUE(thread.Start(&DecodeOnThread, &call, 256 * 1024));
  std::vector<u8> got;
  u8 buffer[4096];
  for (int idle = 0; idle < 60000;) {
    u64 n = ring.GetDataSize();
    if (n == 0) {
      if (call.done.load() && ring.GetDataSize() == 0) break;
      SleepFor(1);
      ++idle;
      continue;
    }
    u32 k = n < sizeof(buffer) ? static_cast<u32>(n) : sizeof(buffer);
    ASSERT_TRUE(ring.Read(buffer, k));
    got.insert(got.end(), buffer, buffer + k);
  }
  ASSERT_TRUE(thread.Join(60000));
  EXPECT_TRUE(call.status.Ok());
  ASSERT_EQ(static_cast<size_t>(m.track.sectors) * 2352, got.size());
  EXPECT_TRUE(std::equal(reference.begin(), reference.end(), got.begin()));
  EXPECT_TRUE(AllZero(got, reference.size()));
}

TEST(AudioGraph, ReleasingTheGraphLetsGoOfTheSinkEvenWhenTheGraphIsStillHeld) {
  CComScope com;
  ASSERT_TRUE(com.Ok());
  for (const char* file : {"t588000.flac", "t588000.mp3", "rate48k.wav", "not_audio.wav"}) {
    CWavFilter sink(nullptr, 0);
    IGraphBuilder* graph = nullptr;
    AudioStatus status = BuildDecodeGraph(&graph, Wide(Fixture(file)).c_str(), &sink);
    ASSERT_NE(nullptr, graph) << file;
    EXPECT_GT(sink.RefCount(), 1) << file;  // the graph holds the sink
    // Someone else keeps the graph alive past the sink's scope.
    graph->AddRef();
    ReleaseDecodeGraph(graph, &sink);
    EXPECT_FALSE(sink.Pin()->IsConnected()) << file;
    EXPECT_EQ(1, sink.RefCount()) << file;
    EXPECT_EQ(1, sink.Pin()->RefCount()) << file;
    AM_MEDIA_TYPE type;
    EXPECT_EQ(VFW_E_NOT_CONNECTED, sink.Pin()->ConnectionMediaType(&type)) << file;
    graph->Release();
    (void)status;
  }
}

TEST(AudioGraph, DecodeLongerThanItsTrackStopsAtTheTracksEnd) {
  Measured m = Measure("t588001.flac");
  ASSERT_TRUE(m.ok);
  std::vector<u8> reference;
  ASSERT_TRUE(ReadWhole(Fixture("t588001.wav.pcm"), &reference));
  AudioTrackInfo track = m.track;
  track.sectors = 100;
  Decoded d = Decode(track);
  EXPECT_TRUE(d.status.Ok()) << static_cast<int>(d.status.error);
  ASSERT_EQ(100u * 2352, d.bytes.size());
  EXPECT_TRUE(std::equal(d.bytes.begin(), d.bytes.end(), reference.begin()));
  // The graph was stopped soon after the track filled, not run to the
  // end of the file.
  EXPECT_GE(d.status.bytesDecoded, 100u * 2352);
  EXPECT_LT(d.status.bytesDecoded, reference.size() / 2);
}

TEST(AudioGraph, PathsWithCharactersBeyondAscii) {
  struct Case {
    const char* file;  // UTF-8
    const char* reference;
    bool raw;
  } cases[] = {
      {"t\u00F6ne_\u00DF_\u65E5\u672C.flac", "t588000.wav.pcm", false},
      {"tr\u00E4ck_\u0416.raw", "track.raw", true},
  };
  for (const Case& c : cases) {
    std::string name = c.file;
    Measured m = Measure(name.c_str());
    ASSERT_TRUE(m.ok) << c.reference << " " << static_cast<int>(m.status.error);
    EXPECT_EQ(c.raw, m.track.raw);
    std::vector<u8> reference;
    ASSERT_TRUE(ReadWhole(Fixture(c.reference), &reference));
    EXPECT_EQ((reference.size() + 2351) / 2352, m.track.sectors) << c.reference;
    Decoded d = Decode(m.track);
    EXPECT_TRUE(d.status.Ok()) << c.reference;
    ASSERT_EQ(static_cast<size_t>(m.track.sectors) * 2352, d.bytes.size());
    EXPECT_TRUE(std::equal(reference.begin(), reference.end(), d.bytes.begin())) << c.reference;
  }
}
