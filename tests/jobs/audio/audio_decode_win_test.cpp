// Measuring and decoding real audio files through the system's DirectShow
// graph (WAV, FLAC, Ogg Vorbis, MP3 made by sox and lame), compared with the
// independent decodes the fixture script made.
#include "jobs/audio/audio_decode_win.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "jobs/audio/audio_graph_win.h"
#include "jobs/audio/audio_raw_track_win.h"
#include "jobs/audio/wav_media_type_win.h"
#include "jobs/audio/wav_filter_win.h"
#include "runtime/clock.h"
#include "runtime/threads.h"
#undef GetFreeSpace  // a 16-bit era macro of <windows.h>
#include "runtime/ring_buffer.h"

namespace {

std::string Fixture(const std::string& name) { return "fixtures\\audio\\" + name; }

CWideString Wide(const std::string& utf8) {
  CWideString w;
  w.AppendUtf8(utf8.c_str(), static_cast<i32>(utf8.size()));
  return w;
}

std::vector<u8> ReadWhole(const std::string& name) {
  std::vector<u8> out;
  FILE* f = std::fopen(Fixture(name).c_str(), "rb");
  EXPECT_NE(nullptr, f) << name;
  for (int c; f && (c = std::fgetc(f)) != EOF;) out.push_back(static_cast<u8>(c));
  if (f) std::fclose(f);
  return out;
}

struct Measured {
  bool ok;
  AudioTrackInfo track;
  AudioStatus status;
};

Measured Measure(const std::string& name) {
  Measured m;
  m.ok = GetAudioTrackLength(&m.track, Wide(Fixture(name)).c_str(), &m.status);
  return m;
}

// Decodes into a ring that holds the whole track, then drains it.
std::vector<u8> Decode(const AudioTrackInfo& track, AudioStatus* status) {
  CRingBuffer ring;
  EXPECT_TRUE(ring.Allocate(16u << 20, false));
  *status = DecodeAudioFile(track, &ring, AudioAbort());
  std::vector<u8> bytes(static_cast<size_t>(ring.GetDataSize()));
  EXPECT_TRUE(bytes.empty() || ring.Read(bytes.data(), static_cast<u32>(bytes.size())));
  return bytes;
}

std::string Ascii(const CWideString& text) {
  std::string out;
  for (i32 i = 0; i < text.GetLength(); ++i) out.push_back(static_cast<char>(text.At(i)));
  return out;
}

bool ZerosFrom(const std::vector<u8>& v, size_t from) {
  return std::all_of(v.begin() + std::min(from, v.size()), v.end(), [](u8 b) { return b == 0; });
}

// Signal-to-noise ratio in dB of 16-bit samples against a reference over
// the reference's length.
double SnrDb(const u8* got, const u8* reference, size_t bytes) {
  double signal = 0, noise = 0;
  for (size_t i = 0; i + 1 < bytes; i += 2) {
    double r = static_cast<i16>(reference[i] | (reference[i + 1] << 8)), g = static_cast<i16>(got[i] | (got[i + 1] << 8));
    signal += r * r;
    noise += (g - r) * (g - r);
  }
  return noise == 0 ? 200 : 10 * std::log10(signal / noise);
}

}  // namespace

// Each file is measured (whole seconds, sectors rounded up, raw CD audio by
// its size) and decoded to exactly its sectors: the reference's bytes (exact,
// or close for lossy formats and converted PCM), then zeros; a file that
// gives no audio is measured with its reason and decodes to silence.
TEST(AudioGraph, FilesMeasureAndDecodeAsTheirReferences) {
  const AudioError kNone = AudioError::kNone;
  const AudioError kAnyFailure = static_cast<AudioError>(0xFF);
  struct Row {
    std::string file;
    AudioError measured;
    std::string reference;  // "": silence
    double minSnr;          // 0: byte-exact
    bool raw;
    u32 sectors;            // decoded when the file cannot be measured
    AudioError decoded;
  } rows[] = {
      {"t587999.wav", kNone, "t587999.wav.pcm", 0, false, 0, kNone},
      {"t588000.flac", kNone, "t588000.wav.pcm", 0, false, 0, kNone},
      {"t588001.flac", kNone, "t588001.wav.pcm", 0, false, 0, kNone},
      {"t588001.wav", kNone, "t588001.wav.pcm", 0, false, 0, kNone},
      {"t587999.ogg", kNone, "t587999.ogg.pcm", 60, false, 0, kNone},
      {"t588000.ogg", kNone, "t588000.ogg.pcm", 60, false, 0, kNone},
      {"t588001.ogg", kNone, "t588001.ogg.pcm", 60, false, 0, kNone},
      {"t588000.mp3", kNone, "t588000.mp3.pcm", 60, false, 0, kNone},  // the gapless tag gives the exact length
      {"short.wav", kNone, "short.wav.pcm", 0, false, 0, kNone},       // less than one sector
      {"short.flac", kNone, "short.wav.pcm", 0, false, 0, kNone},
      // One channel: the platform's parser offers it as it is, and no filter
      // converts it to the sink's own type (a stream type): not CD audio.
      {"mono.wav", AudioError::kNotCdAudio, "", 0, false, 75, AudioError::kNotCdAudio},
      {"bits24.wav", kNone, "bits24.cd.pcm", 60, false, 0, kNone},
      {"bits8.wav", kNone, "bits8.cd.pcm", 40, false, 0, kNone},
      {"track.raw", kNone, "track.raw", 0, true, 0, kNone},
      {"t\u00F6ne_\u00DF_\u65E5\u672C.flac", kNone, "t588000.wav.pcm", 0, false, 0, kNone},
      {"tr\u00E4ck_\u0416.raw", kNone, "track.raw", 0, true, 0, kNone},
      {"header_only.wav", AudioError::kNoDuration, "", 0, false, 3, AudioError::kDecodedShort},
      {"rate48k.wav", AudioError::kNotCdAudio, "", 0, false, 75, AudioError::kNotCdAudio},  // not resampled
      {"not_audio.wav", AudioError::kNotDecodable, "", 0, false, 2, AudioError::kNotDecodable},
      {"no_such_file.wav", AudioError::kMissingFile, "", 0, false, 5, AudioError::kMissingFile},
      // The name is case-sensitive: this one is not raw, so it goes to the
      // system's decoders, whose reason for refusing headerless PCM varies
      // from run to run (kAnyFailure: any failure, the same for both).
      {"track.RAW", kAnyFailure, "", 0, false, 1, kAnyFailure},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.file);
    Measured m = Measure(r.file);
    if (r.measured == kAnyFailure)
      EXPECT_NE(kNone, m.status.error);
    else
      EXPECT_EQ(r.measured, m.status.error);
    EXPECT_EQ(r.measured == kNone, m.ok);
    EXPECT_EQ(r.raw, m.track.raw);
    std::vector<u8> reference = r.reference.empty() ? std::vector<u8>() : ReadWhole(r.reference);
    AudioTrackInfo track = m.track;
    if (m.ok) {
      EXPECT_EQ((reference.size() + 2351) / 2352, track.sectors);
      EXPECT_EQ(reference.size() / 176400, track.seconds);
    } else {
      track.path = Wide(Fixture(r.file));
      track.sectors = r.sectors;
    }
    AudioStatus status;
    std::vector<u8> bytes = Decode(track, &status);
    if (r.decoded == kAnyFailure)
      EXPECT_NE(kNone, status.error);
    else
      EXPECT_EQ(r.decoded, status.error);
    ASSERT_EQ(static_cast<size_t>(track.sectors) * 2352, bytes.size());
    ASSERT_GE(bytes.size(), reference.size());
    if (r.minSnr == 0) {
      EXPECT_TRUE(std::equal(reference.begin(), reference.end(), bytes.begin()));
    } else {
      EXPECT_GT(SnrDb(bytes.data(), reference.data(), reference.size()), r.minSnr);
    }
    EXPECT_TRUE(ZerosFrom(bytes, reference.size()));
    CWideString text;
    AppendAudioStatusText(m.status, &text);  // the refused format is named
    EXPECT_TRUE(r.file != "rate48k.wav" || Ascii(text).find("not CD audio (48000 Hz, 2 channels, 16 bits)") != std::string::npos);
    EXPECT_TRUE(r.file != "mono.wav" || Ascii(text).find("not CD audio (44100 Hz, 1 channel, 16 bits)") != std::string::npos)
        << Ascii(text);
    EXPECT_TRUE(r.file != "not_audio.wav" || m.status.code != 0);
  }
  for (const char16_t* name : {u"a.raw", u"a.bin"}) EXPECT_TRUE(HasRawAudioName(name));
  for (const char16_t* name : {u".raw", u"a.RAW", u"a.wav"}) EXPECT_FALSE(HasRawAudioName(name));
}

TEST(AudioGraph, Mp3WithoutGaplessTagFillsItsMeasuredSectors) {
  Measured m = Measure("t588000_notag.mp3");
  ASSERT_TRUE(m.ok);
  // Without the tag the length includes the encoder's delay and padding:
  // at least the real audio, at most a few 1152-sample frames more.
  EXPECT_GE(m.track.sectors, 1000u);
  EXPECT_LE(m.track.sectors, 1000u + (3 * 1152 + 587) / 588);
  AudioStatus status;
  std::vector<u8> bytes = Decode(m.track, &status);
  EXPECT_TRUE(status.Ok());
  ASSERT_EQ(static_cast<size_t>(m.track.sectors) * 2352, bytes.size());
  std::vector<u8> reference = ReadWhole("t588000_notag.mp3.pcm");
  // Both decoders see the same frames; compare 4 s from 2 s in, allowing
  // for where each starts its output.
  double best = -1000;
  for (int shift = -1152 * 2; shift <= 1152 * 2 && best <= 40; ++shift)
    best = std::max(best, SnrDb(bytes.data() + 352800, reference.data() + 352800 + shift * 4, 705600));
  EXPECT_GT(best, 40);
}

TEST(AudioGraph, DecodeLongerThanItsTrackStopsAtTheTracksEnd) {
  std::vector<u8> reference = ReadWhole("t588001.wav.pcm"), raw = ReadWhole("track.raw");
  for (const char* file : {"t588001.flac", "track.raw"}) {
    Measured m = Measure(file);
    ASSERT_TRUE(m.ok);
    m.track.sectors = 100;
    AudioStatus status;
    std::vector<u8> bytes = Decode(m.track, &status);
    EXPECT_TRUE(status.Ok()) << file;
    ASSERT_EQ(100u * 2352, bytes.size());
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), (m.track.raw ? raw : reference).begin()));
    // The graph was stopped soon after the track filled, not run to the end.
    EXPECT_TRUE(m.track.raw || status.bytesDecoded < reference.size() / 2);
  }
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

// A small ring drained while the decode runs delivers the whole track; a
// cancel ends a decode that waits on a full ring.
TEST(AudioGraph, SmallRingDrainedWhileItRunsAndCancelOfAFullOne) {
  std::vector<u8> reference = ReadWhole("t588001.wav.pcm");
  for (const char* file : {"t588001.flac", "t588000.flac", "t588000.mp3"}) {
    SCOPED_TRACE(file);
    bool drain = std::string(file) == "t588001.flac";
    Measured m = Measure(file);
    ASSERT_TRUE(m.ok);
    CRingBuffer ring;
    ASSERT_TRUE(ring.Allocate(drain ? 20000 : 64 * 1024, false));
    std::atomic<u8> flags{0};
    DecodeCall call(&m.track, &ring, AudioAbort::OnFlags(&flags, 0x4));
    CThread thread;
    ASSERT_TRUE(thread.Start(&DecodeOnThread, &call, 256 * 1024));
    std::vector<u8> got;
    u8 buffer[4096];
    for (int idle = 0; drain;) {
      u32 k = static_cast<u32>(std::min<u64>(ring.GetDataSize(), sizeof(buffer)));
      if (k == 0) {
        if ((call.done.load() && ring.GetDataSize() == 0) || ++idle > 60000) break;
        SleepFor(1);
        continue;
      }
      if (ring.Read(buffer, k)) got.insert(got.end(), buffer, buffer + k);
    }
    if (!drain) {  // wait (with a deadline) until it waits for space that never comes
      for (int i = 0; i < 30000 && ring.GetFreeSpace() >= 16384; ++i) SleepFor(1);
      SleepFor(100);
      EXPECT_FALSE(call.done.load());
      flags = 0x4;
    }
    ASSERT_TRUE(thread.Join(60000));
    EXPECT_EQ(drain ? AudioError::kNone : AudioError::kAborted, call.status.error);
    if (!drain) continue;
    ASSERT_EQ(static_cast<size_t>(m.track.sectors) * 2352, got.size());
    EXPECT_TRUE(std::equal(reference.begin(), reference.end(), got.begin()) && ZerosFrom(got, reference.size()));
  }
}

// Why the sink takes CD audio only under the audio major type, while it
// offers a stream type: the platform's file source offers a file's bytes
// under the stream major type and agrees to the sink's own type. A sink
// that took CD audio whatever the major type would be connected straight to
// the file source, which hands out no decoded audio, and no file would be
// measured or decoded. Refused there, the graph connects the file through
// the platform's parser and decoder, whose output is decoded audio.
TEST(AudioGraph, TheFileSourceTakesTheSinksStreamTypeSoTheSinkTakesOnlyDecodedAudio) {
  CComScope com;
  ASSERT_TRUE(com.Ok());
  for (const char* file : {"t587999.wav", "t588000.flac", "t588000.mp3"}) {
    SCOPED_TRACE(file);
    IGraphBuilder* graph = nullptr;
    ASSERT_EQ(S_OK, CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                     reinterpret_cast<void**>(&graph)));
    CWavFilter sink(nullptr, 0);
    ASSERT_EQ(S_OK, graph->AddFilter(&sink, L"VANTO Filter"));
    IBaseFilter* source = nullptr;
    ASSERT_EQ(S_OK, graph->AddSourceFilter(reinterpret_cast<LPCWSTR>(Wide(Fixture(file)).c_str()), L"Source", &source));
    IEnumPins* pins = nullptr;
    IPin* output = nullptr;
    ASSERT_EQ(S_OK, source->EnumPins(&pins));
    ASSERT_EQ(S_OK, pins->Next(1, &output, nullptr));
    pins->Release();
    // The file's bytes under the stream major type; the sink's own type is
    // one the file source takes.
    IEnumMediaTypes* types = nullptr;
    AM_MEDIA_TYPE* own = nullptr;
    ASSERT_EQ(S_OK, output->EnumMediaTypes(&types));
    ASSERT_EQ(S_OK, types->Next(1, &own, nullptr));
    EXPECT_TRUE(IsEqualGUID(own->majortype, MEDIATYPE_Stream));
    DeleteMediaType(own);
    types->Release();
    AM_MEDIA_TYPE* offered = CreateCdAudioMediaType();
    ASSERT_NE(nullptr, offered);
    EXPECT_EQ(S_OK, output->QueryAccept(offered));
    // Straight from the file to the sink: refused by the sink.
    EXPECT_TRUE(FAILED(graph->ConnectDirect(output, sink.Pin(), offered)));
    EXPECT_FALSE(sink.Pin()->IsConnected());
    DeleteMediaType(offered);
    // Through the platform's filters: decoded audio.
    ASSERT_EQ(S_OK, graph->Connect(output, sink.Pin()));
    IPin* upstream = nullptr;
    ASSERT_EQ(S_OK, sink.Pin()->ConnectedTo(&upstream));
    EXPECT_NE(output, upstream) << "a parser or decoder between them";
    upstream->Release();
    AM_MEDIA_TYPE connected;
    ASSERT_EQ(S_OK, sink.Pin()->ConnectionMediaType(&connected));
    EXPECT_TRUE(IsEqualGUID(connected.majortype, MEDIATYPE_Audio) && IsCdAudioMediaType(&connected));
    FreeMediaType(&connected);
    output->Release();
    source->Release();
    ReleaseDecodeGraph(graph, &sink);
  }
}

TEST(AudioGraph, ReleasingTheGraphLetsGoOfTheSinkEvenWhenTheGraphIsStillHeld) {
  CComScope com;
  ASSERT_TRUE(com.Ok());
  for (const char* file : {"t588000.flac", "t588000.mp3", "rate48k.wav", "not_audio.wav"}) {
    CWavFilter sink(nullptr, 0);
    IGraphBuilder* graph = nullptr;
    BuildDecodeGraph(&graph, Wide(Fixture(file)).c_str(), &sink);
    ASSERT_NE(nullptr, graph) << file;
    EXPECT_GT(sink.RefCount(), 1) << file;  // the graph holds the sink
    graph->AddRef();                        // someone keeps the graph past the sink
    ReleaseDecodeGraph(graph, &sink);
    EXPECT_TRUE(!sink.Pin()->IsConnected() && sink.RefCount() == 1 && sink.Pin()->RefCount() == 1) << file;
    AM_MEDIA_TYPE type;
    EXPECT_EQ(VFW_E_NOT_CONNECTED, sink.Pin()->ConnectionMediaType(&type)) << file;
    graph->Release();
  }
}
