// The sink filter without a graph: which media types it takes, its COM
// answers, its allocator rules, and the copy of the stream into the ring
// with the end of stream in each filter state.
#include "jobs/audio/wav_filter_win.h"

#include <gtest/gtest.h>

#include <vector>

#include "jobs/audio/wav_media_type_win.h"
#include "audio_dshow_fakes_win.h"
#undef GetFreeSpace  // a 16-bit era macro of <windows.h>
#include "runtime/ring_buffer.h"

namespace {

// A media type with a WAVEFORMATEX block; fields overridable per case.
struct TypeCase {
  const char* name;
  GUID major;
  GUID sub;
  GUID formatType;
  u16 tag, channels;
  u32 rate;
  u16 bits;
  u32 formatBytes;
  bool accepted;
};

struct OwnedType {
  AM_MEDIA_TYPE type = {};
  WAVEFORMATEX format = {};
};

void Fill(const TypeCase& c, OwnedType* out) {
  out->format.wFormatTag = c.tag;
  out->format.nChannels = c.channels;
  out->format.nSamplesPerSec = c.rate;
  out->format.wBitsPerSample = c.bits;
  out->format.nBlockAlign = static_cast<WORD>(c.channels * c.bits / 8);
  out->format.nAvgBytesPerSec = c.rate * out->format.nBlockAlign;
  out->type.majortype = c.major;
  out->type.subtype = c.sub;
  out->type.formattype = c.formatType;
  out->type.cbFormat = c.formatBytes;
  out->type.pbFormat = c.formatBytes ? reinterpret_cast<BYTE*>(&out->format) : nullptr;
}

TypeCase Cd() {
  return {"cd", MEDIATYPE_Audio, MEDIASUBTYPE_PCM, FORMAT_WaveFormatEx, 1, 2, 44100, 16, 18, true};
}

std::vector<u8> Drain(CRingBuffer& ring) {
  std::vector<u8> out(static_cast<size_t>(ring.GetDataSize()));
  if (!out.empty()) {
    EXPECT_TRUE(ring.Read(out.data(), static_cast<u32>(out.size())));
  }
  return out;
}

// Hands `n` pattern bytes to the pin through its own allocator.
HRESULT Deliver(CWavPin* pin, u32 n, u8 seed, std::vector<u8>* sent) {
  while (n > 0) {
    IMediaSample* sample = nullptr;
    HRESULT hr = pin->GetBuffer(&sample, nullptr, nullptr, 0);
    if (FAILED(hr)) return hr;
    BYTE* p = nullptr;
    sample->GetPointer(&p);
    LONG k = n < static_cast<u32>(sample->GetSize()) ? static_cast<LONG>(n) : sample->GetSize();
    for (LONG i = 0; i < k; ++i) {
      p[i] = static_cast<u8>(seed + sent->size() * 13 + (sent->size() >> 9));
      sent->push_back(p[i]);
    }
    sample->SetActualDataLength(k);
    hr = pin->Receive(sample);
    sample->Release();
    if (hr != S_OK) return hr;
    n -= static_cast<u32>(k);
  }
  return S_OK;
}

struct Streaming {
  CRingBuffer ring;
  CWavFilter filter;
  FakeUpstreamPin upstream;
  FakeGraph graph;
  explicit Streaming(u32 sectors, u32 ringBytes = 1 << 20, AudioAbort abort = AudioAbort())
      : filter(&ring, sectors, abort) {
    ring.Allocate(ringBytes, false);
    filter.JoinFilterGraph(&graph, L"VANTO Filter");
    OwnedType t;
    Fill(Cd(), &t);
    EXPECT_EQ(S_OK, filter.Pin()->ReceiveConnection(&upstream, &t.type));
    EXPECT_EQ(S_OK, filter.Pin()->Commit());
  }
};

}  // namespace

TEST(WavFilterTypes, AcceptsOnlyCdAudioPcm) {
  const TypeCase cases[] = {
      Cd(),
      {"48 kHz", MEDIATYPE_Audio, MEDIASUBTYPE_PCM, FORMAT_WaveFormatEx, 1, 2, 48000, 16, 18,
       false},
      {"mono", MEDIATYPE_Audio, MEDIASUBTYPE_PCM, FORMAT_WaveFormatEx, 1, 1, 44100, 16, 18, false},
      {"24 bit", MEDIATYPE_Audio, MEDIASUBTYPE_PCM, FORMAT_WaveFormatEx, 1, 2, 44100, 24, 18,
       false},
      {"8 bit", MEDIATYPE_Audio, MEDIASUBTYPE_PCM, FORMAT_WaveFormatEx, 1, 2, 44100, 8, 18, false},
      {"float", MEDIATYPE_Audio, MEDIASUBTYPE_IEEE_FLOAT, FORMAT_WaveFormatEx, 3, 2, 44100, 32, 18,
       false},
      {"stream major", MEDIATYPE_Stream, MEDIASUBTYPE_PCM, FORMAT_WaveFormatEx, 1, 2, 44100, 16, 18,
       false},
      {"other subtype", MEDIATYPE_Audio, MEDIASUBTYPE_WAVE, FORMAT_WaveFormatEx, 1, 2, 44100, 16,
       18, false},
      {"no format type", MEDIATYPE_Audio, MEDIASUBTYPE_PCM, GUID_NULL, 1, 2, 44100, 16, 18, false},
      {"short block", MEDIATYPE_Audio, MEDIASUBTYPE_PCM, FORMAT_WaveFormatEx, 1, 2, 44100, 16, 16,
       false},
      {"no block", MEDIATYPE_Audio, MEDIASUBTYPE_PCM, FORMAT_WaveFormatEx, 1, 2, 44100, 16, 0,
       false},
  };
  for (const TypeCase& c : cases) {
    CWavFilter filter(nullptr, 0);
    FakeUpstreamPin upstream;
    OwnedType t;
    Fill(c, &t);
    EXPECT_EQ(c.accepted ? S_OK : S_FALSE, filter.Pin()->QueryAccept(&t.type)) << c.name;
    HRESULT hr = filter.Pin()->ReceiveConnection(&upstream, &t.type);
    EXPECT_EQ(c.accepted ? S_OK : VFW_E_TYPE_NOT_ACCEPTED, hr) << c.name;
    EXPECT_EQ(c.accepted, filter.Pin()->IsConnected()) << c.name;
    EXPECT_EQ(c.accepted ? 2 : 1, upstream.refs) << c.name;
    if (c.accepted) {
      AM_MEDIA_TYPE stored;
      ASSERT_EQ(S_OK, filter.Pin()->ConnectionMediaType(&stored));
      EXPECT_TRUE(IsCdAudioMediaType(&stored));
      EXPECT_NE(stored.pbFormat, t.type.pbFormat);  // a deep copy
      FreeMediaType(&stored);
      EXPECT_EQ(S_OK, filter.Pin()->Disconnect());
      EXPECT_EQ(1, upstream.refs);
    }
  }
}

TEST(WavFilterTypes, RemembersTheRefusedDecodedFormat) {
  CWavFilter filter(nullptr, 0);
  FakeUpstreamPin upstream;
  OwnedType t;
  Fill({"48 kHz", MEDIATYPE_Audio, MEDIASUBTYPE_PCM, FORMAT_WaveFormatEx, 1, 2, 48000, 16, 18,
        false},
       &t);
  WaveFormatSummary refused;
  EXPECT_FALSE(filter.Pin()->GetRefusedFormat(&refused));
  filter.Pin()->ReceiveConnection(&upstream, &t.type);
  ASSERT_TRUE(filter.Pin()->GetRefusedFormat(&refused));
  EXPECT_EQ(48000u, refused.samplesPerSecond);
  EXPECT_EQ(2, refused.channels);
}

TEST(WavFilterTypes, ConnectionRules) {
  CWavFilter filter(nullptr, 0);
  FakeUpstreamPin first, second;
  OwnedType t;
  Fill(Cd(), &t);
  EXPECT_EQ(E_POINTER, filter.Pin()->ReceiveConnection(nullptr, &t.type));
  EXPECT_EQ(E_POINTER, filter.Pin()->ReceiveConnection(&first, nullptr));
  ASSERT_EQ(S_OK, filter.Pin()->ReceiveConnection(&first, &t.type));
  EXPECT_EQ(VFW_E_ALREADY_CONNECTED, filter.Pin()->ReceiveConnection(&first, &t.type));
  EXPECT_EQ(VFW_E_ALREADY_CONNECTED, filter.Pin()->ReceiveConnection(&second, &t.type));
  EXPECT_EQ(1, second.refs);
  IPin* peer = nullptr;
  EXPECT_EQ(S_OK, filter.Pin()->ConnectedTo(&peer));
  EXPECT_EQ(&first, peer);
  peer->Release();
  filter.Pause();
  EXPECT_EQ(VFW_E_NOT_STOPPED, filter.Pin()->Disconnect());
  filter.Stop();
  EXPECT_EQ(S_OK, filter.Pin()->Disconnect());
  EXPECT_EQ(S_FALSE, filter.Pin()->Disconnect());
  EXPECT_EQ(1, first.refs);
}

TEST(WavFilterCom, OutputsAreSetWhenNothingIsThere) {
  CWavFilter filter(nullptr, 0);
  IPin* peer = reinterpret_cast<IPin*>(1);
  EXPECT_EQ(VFW_E_NOT_CONNECTED, filter.Pin()->ConnectedTo(&peer));
  EXPECT_EQ(nullptr, peer);
  AM_MEDIA_TYPE type;
  memset(&type, 0xAB, sizeof(type));
  EXPECT_EQ(VFW_E_NOT_CONNECTED, filter.Pin()->ConnectionMediaType(&type));
  EXPECT_EQ(nullptr, type.pbFormat);
  EXPECT_EQ(0u, type.cbFormat);
  IReferenceClock* clock = reinterpret_cast<IReferenceClock*>(1);
  EXPECT_EQ(S_OK, filter.GetSyncSource(&clock));
  EXPECT_EQ(nullptr, clock);
  IPin* found = reinterpret_cast<IPin*>(1);
  EXPECT_EQ(VFW_E_NOT_FOUND, filter.FindPin(L"Out", &found));
  EXPECT_EQ(nullptr, found);
  LPWSTR id = nullptr;
  ASSERT_EQ(S_OK, filter.Pin()->QueryId(&id));
  EXPECT_EQ(S_OK, filter.FindPin(id, &found));
  EXPECT_EQ(static_cast<IPin*>(filter.Pin()), found);
  found->Release();
  CoTaskMemFree(id);
  LPWSTR vendor = reinterpret_cast<LPWSTR>(1);
  EXPECT_EQ(E_NOTIMPL, filter.QueryVendorInfo(&vendor));
  EXPECT_EQ(nullptr, vendor);
  IMediaSeeking* seeking = reinterpret_cast<IMediaSeeking*>(1);
  EXPECT_EQ(E_NOINTERFACE,
            filter.QueryInterface(IID_IMediaSeeking, reinterpret_cast<void**>(&seeking)));
  EXPECT_EQ(nullptr, seeking);
  EXPECT_EQ(E_POINTER, filter.QueryInterface(IID_IBaseFilter, nullptr));
}

TEST(WavFilterCom, IdentityNamesAndEnumerators) {
  CWavFilter filter(nullptr, 0);
  CLSID id;
  ASSERT_EQ(S_OK, filter.GetClassID(&id));
  EXPECT_TRUE(IsEqualGUID(id, kWavFilterClassId));
  FILTER_INFO info;
  ASSERT_EQ(S_OK, filter.QueryFilterInfo(&info));
  EXPECT_STREQ(L"CWavFilter", info.achName);
  EXPECT_EQ(nullptr, info.pGraph);
  PIN_INFO pinInfo;
  ASSERT_EQ(S_OK, filter.Pin()->QueryPinInfo(&pinInfo));
  EXPECT_STREQ(L"CWavPin In", pinInfo.achName);
  EXPECT_EQ(PINDIR_INPUT, pinInfo.dir);
  EXPECT_EQ(static_cast<IBaseFilter*>(&filter), pinInfo.pFilter);
  pinInfo.pFilter->Release();
  IMemInputPin* input = nullptr;
  ASSERT_EQ(S_OK, filter.Pin()->QueryInterface(IID_IMemInputPin, reinterpret_cast<void**>(&input)));
  IMemAllocator* allocator = nullptr;
  ASSERT_EQ(S_OK, input->GetAllocator(&allocator));
  EXPECT_EQ(static_cast<IMemAllocator*>(filter.Pin()), allocator);
  allocator->Release();
  input->Release();

  IEnumPins* pins = nullptr;
  ASSERT_EQ(S_OK, filter.EnumPins(&pins));
  IPin* pin = nullptr;
  ULONG fetched = 0;
  EXPECT_EQ(S_OK, pins->Next(1, &pin, &fetched));
  EXPECT_EQ(1u, fetched);
  EXPECT_EQ(static_cast<IPin*>(filter.Pin()), pin);
  pin->Release();
  EXPECT_EQ(S_FALSE, pins->Next(1, &pin, &fetched));
  EXPECT_EQ(0u, fetched);
  EXPECT_EQ(S_OK, pins->Reset());
  EXPECT_EQ(S_OK, pins->Next(1, &pin, nullptr));
  pin->Release();
  pins->Release();
  EXPECT_EQ(1, filter.Pin()->RefCount());

  // Every enumeration offers the CD type, also after an earlier one ran out.
  for (int round = 0; round < 2; ++round) {
    IEnumMediaTypes* types = nullptr;
    ASSERT_EQ(S_OK, filter.Pin()->EnumMediaTypes(&types));
    AM_MEDIA_TYPE* type = nullptr;
    ASSERT_EQ(S_OK, types->Next(1, &type, nullptr));
    EXPECT_TRUE(IsCdAudioMediaType(type));
    EXPECT_EQ(S_OK, filter.Pin()->QueryAccept(type));
    DeleteMediaType(type);
    EXPECT_EQ(S_FALSE, types->Next(1, &type, nullptr));
    IEnumMediaTypes* clone = reinterpret_cast<IEnumMediaTypes*>(1);
    EXPECT_EQ(E_NOTIMPL, types->Clone(&clone));
    EXPECT_EQ(nullptr, clone);
    types->Release();
  }
}

TEST(WavAllocator, PropertiesAndCommit) {
  CWavFilter filter(nullptr, 0);
  CWavPin* pin = filter.Pin();
  ALLOCATOR_PROPERTIES props;
  ASSERT_EQ(S_OK, pin->GetAllocatorRequirements(&props));
  EXPECT_EQ(1, props.cBuffers);
  EXPECT_EQ(16384, props.cbBuffer);
  EXPECT_EQ(1, props.cbAlign);
  ALLOCATOR_PROPERTIES request = {3, 4000, 2, 0}, actual;
  EXPECT_EQ(VFW_E_BADALIGN, pin->SetProperties(&request, &actual));
  request.cbAlign = 1;
  request.cBuffers = 0;
  EXPECT_EQ(E_INVALIDARG, pin->SetProperties(&request, &actual));
  request.cBuffers = 100000;
  request.cbBuffer = 100000;
  EXPECT_EQ(E_INVALIDARG, pin->SetProperties(&request, &actual));
  request = {3, 4000, 1, 0};
  ASSERT_EQ(S_OK, pin->SetProperties(&request, &actual));
  EXPECT_EQ(3, actual.cBuffers);
  EXPECT_EQ(4000, actual.cbBuffer);

  IMediaSample* sample = nullptr;
  EXPECT_EQ(VFW_E_NOT_COMMITTED, pin->GetBuffer(&sample, nullptr, nullptr, 0));
  ASSERT_EQ(S_OK, pin->Commit());
  EXPECT_EQ(VFW_E_ALREADY_COMMITTED, pin->SetProperties(&request, &actual));
  IMediaSample* taken[3];
  for (IMediaSample*& s : taken) {
    ASSERT_EQ(S_OK, pin->GetBuffer(&s, nullptr, nullptr, AM_GBF_NOWAIT));
    EXPECT_EQ(4000, s->GetSize());
    EXPECT_EQ(0, s->GetActualDataLength());
  }
  EXPECT_EQ(VFW_E_TIMEOUT, pin->GetBuffer(&sample, nullptr, nullptr, AM_GBF_NOWAIT));
  EXPECT_EQ(nullptr, sample);
  // Lengths are bounded by the buffer.
  EXPECT_EQ(VFW_E_BUFFER_OVERFLOW, taken[0]->SetActualDataLength(4001));
  EXPECT_EQ(VFW_E_BUFFER_OVERFLOW, taken[0]->SetActualDataLength(-1));
  EXPECT_EQ(S_OK, taken[0]->SetActualDataLength(4000));
  taken[1]->Release();
  ASSERT_EQ(S_OK, pin->GetBuffer(&sample, nullptr, nullptr, AM_GBF_NOWAIT));
  EXPECT_EQ(taken[1], sample);
  taken[1] = sample;
  for (IMediaSample* s : taken) s->Release();
  EXPECT_EQ(S_OK, pin->Decommit());
  EXPECT_FALSE(pin->HoldsBufferBlock());
}

TEST(WavAllocator, MemoryIsFreedOnlyWhenEverySampleIsBack) {
  CWavFilter filter(nullptr, 0);
  CWavPin* pin = filter.Pin();
  ALLOCATOR_PROPERTIES request = {2, 1024, 1, 0}, actual;
  ASSERT_EQ(S_OK, pin->SetProperties(&request, &actual));
  ASSERT_EQ(S_OK, pin->Commit());
  IMediaSample *a = nullptr, *b = nullptr;
  ASSERT_EQ(S_OK, pin->GetBuffer(&a, nullptr, nullptr, 0));
  ASSERT_EQ(S_OK, pin->GetBuffer(&b, nullptr, nullptr, 0));
  BYTE* p = nullptr;
  a->GetPointer(&p);
  EXPECT_EQ(S_OK, pin->Decommit());
  EXPECT_FALSE(pin->IsCommitted());
  EXPECT_TRUE(pin->HoldsBufferBlock());
  p[1023] = 7;  // still usable by its holder
  a->Release();
  EXPECT_TRUE(pin->HoldsBufferBlock());
  IMediaSample* none = nullptr;
  EXPECT_EQ(VFW_E_NOT_COMMITTED, pin->GetBuffer(&none, nullptr, nullptr, 0));
  b->Release();
  EXPECT_FALSE(pin->HoldsBufferBlock());
  // A new commit makes a new block.
  ASSERT_EQ(S_OK, pin->Commit());
  ASSERT_EQ(S_OK, pin->GetBuffer(&a, nullptr, nullptr, 0));
  a->Release();
}

namespace {
struct WaitCall {
  CWavPin* pin;
  HRESULT hr = E_FAIL;
  IMediaSample* sample = nullptr;
  std::atomic<bool> started{false};
};
u32 WaitForBuffer(void* p) {
  WaitCall* call = static_cast<WaitCall*>(p);
  call->started = true;
  call->hr = call->pin->GetBuffer(&call->sample, nullptr, nullptr, 0);
  return 0;
}
}  // namespace

TEST(WavAllocator, WaitingGetBufferWakesOnReleaseAndOnDecommit) {
  CWavFilter filter(nullptr, 0);
  CWavPin* pin = filter.Pin();
  ASSERT_EQ(S_OK, pin->Commit());
  IMediaSample* held = nullptr;
  ASSERT_EQ(S_OK, pin->GetBuffer(&held, nullptr, nullptr, 0));

  WaitCall released{pin};
  CThread first;
  ASSERT_TRUE(first.Start(&WaitForBuffer, &released, 0));
  while (!released.started) Sleep(1);
  Sleep(50);
  EXPECT_EQ(E_FAIL, released.hr);  // still waiting
  held->Release();
  ASSERT_TRUE(first.Join(30000));
  EXPECT_EQ(S_OK, released.hr);
  ASSERT_NE(nullptr, released.sample);

  WaitCall decommitted{pin};
  CThread second;
  ASSERT_TRUE(second.Start(&WaitForBuffer, &decommitted, 0));
  while (!decommitted.started) Sleep(1);
  Sleep(50);
  EXPECT_EQ(S_OK, pin->Decommit());
  ASSERT_TRUE(second.Join(30000));
  EXPECT_EQ(VFW_E_NOT_COMMITTED, decommitted.hr);
  EXPECT_EQ(nullptr, decommitted.sample);
  EXPECT_TRUE(pin->HoldsBufferBlock());  // the first waiter still holds its sample
  released.sample->Release();
  EXPECT_FALSE(pin->HoldsBufferBlock());
}

TEST(WavFilterStream, ShortStreamIsPaddedAndRunningEndReportsComplete) {
  Streaming s(3);
  s.filter.Pause();
  s.filter.Run(0);
  std::vector<u8> sent;
  ASSERT_EQ(S_OK, Deliver(s.filter.Pin(), 2352 * 2 - 10, 3, &sent));
  EXPECT_EQ(S_OK, s.filter.Pin()->EndOfStream());
  EXPECT_EQ(1, s.graph.completes.load());
  EXPECT_EQ(reinterpret_cast<LONG_PTR>(static_cast<IBaseFilter*>(&s.filter)), s.graph.lastSender);
  std::vector<u8> out = Drain(s.ring);
  ASSERT_EQ(2352u * 3, out.size());
  EXPECT_TRUE(std::equal(sent.begin(), sent.end(), out.begin()));
  for (size_t i = sent.size(); i < out.size(); ++i) ASSERT_EQ(0, out[i]) << i;
  EXPECT_EQ(sent.size(), s.filter.Pin()->BytesReceived());
}

TEST(WavFilterStream, LongStreamIsCutAndEndedAtTheExpectedSectors) {
  Streaming s(2);
  s.filter.Run(0);
  std::vector<u8> sent;
  ASSERT_EQ(S_OK, Deliver(s.filter.Pin(), 2352 * 2 - 100, 9, &sent));
  EXPECT_EQ(0, s.graph.completes.load());
  EXPECT_FALSE(s.filter.Pin()->TrackFull());
  // The sample that runs past the track's end fills it, ends the stream
  // and asks the upstream filter to stop.
  EXPECT_EQ(S_FALSE, Deliver(s.filter.Pin(), 200, 9, &sent));
  EXPECT_TRUE(s.filter.Pin()->TrackFull());
  EXPECT_EQ(1, s.graph.completes.load());
  EXPECT_EQ(S_FALSE, Deliver(s.filter.Pin(), 50, 9, &sent));
  EXPECT_EQ(2352u * 2 + 100, s.filter.Pin()->BytesReceived());
  // The source's own end later adds nothing and reports nothing again.
  EXPECT_EQ(S_OK, s.filter.Pin()->EndOfStream());
  EXPECT_EQ(1, s.graph.completes.load());
  std::vector<u8> out = Drain(s.ring);
  ASSERT_EQ(2352u * 2, out.size());
  EXPECT_TRUE(std::equal(out.begin(), out.end(), sent.begin()));
}

TEST(WavFilterStream, ExactlyFullTrackWaitsForItsEnd) {
  Streaming s(2);
  s.filter.Run(0);
  std::vector<u8> sent;
  ASSERT_EQ(S_OK, Deliver(s.filter.Pin(), 2352 * 2, 1, &sent));
  EXPECT_EQ(0, s.graph.completes.load());
  EXPECT_FALSE(s.filter.Pin()->TrackFull());
  EXPECT_EQ(S_OK, s.filter.Pin()->EndOfStream());
  EXPECT_EQ(1, s.graph.completes.load());
  EXPECT_EQ(2352u * 2, Drain(s.ring).size());
}

TEST(WavFilterStream, TrackFilledWhilePausedIsReportedOnRun) {
  Streaming s(1);
  s.filter.Pause();
  std::vector<u8> sent;
  EXPECT_EQ(S_FALSE, Deliver(s.filter.Pin(), 3000, 5, &sent));
  EXPECT_EQ(0, s.graph.completes.load());
  s.filter.Run(0);
  EXPECT_EQ(1, s.graph.completes.load());
  EXPECT_EQ(2352u, s.ring.GetDataSize());
}

TEST(WavFilterStream, EmptyStreamGivesTheExpectedZeroSectors) {
  Streaming s(4);
  s.filter.Run(0);
  s.filter.Pin()->EndOfStream();
  std::vector<u8> out = Drain(s.ring);
  ASSERT_EQ(2352u * 4, out.size());
  for (u8 b : out) ASSERT_EQ(0, b);
}

TEST(WavFilterStream, MeasuringSinkWithoutRingTakesTheStreamAndReportsTheEnd) {
  CWavFilter filter(nullptr, 5);
  FakeGraph graph;
  FakeUpstreamPin upstream;
  filter.JoinFilterGraph(&graph, L"VANTO Filter");
  OwnedType t;
  Fill(Cd(), &t);
  ASSERT_EQ(S_OK, filter.Pin()->ReceiveConnection(&upstream, &t.type));
  filter.Run(0);
  u8 bytes[100] = {};
  FakeSample sample;
  sample.data = bytes;
  sample.size = sample.actual = 100;
  EXPECT_EQ(S_OK, filter.Pin()->Receive(&sample));
  EXPECT_EQ(S_OK, filter.Pin()->EndOfStream());
  EXPECT_EQ(1, graph.completes.load());
  EXPECT_EQ(100u, filter.Pin()->BytesReceived());
  EXPECT_TRUE(filter.Pin()->PadToExpected());
  filter.Stop();
  filter.JoinFilterGraph(nullptr, nullptr);
  EXPECT_EQ(1, graph.refs);
}

TEST(WavFilterStream, EndWhilePausedIsReportedOnRun) {
  Streaming s(1);
  s.filter.Pause();
  s.filter.Pin()->EndOfStream();
  EXPECT_EQ(0, s.graph.completes.load());
  EXPECT_TRUE(s.filter.EndOfStreamPending());
  s.filter.Run(0);
  EXPECT_EQ(1, s.graph.completes.load());
  s.filter.Pause();
  s.filter.Run(0);
  EXPECT_EQ(1, s.graph.completes.load());  // once only
  EXPECT_EQ(2352u, s.ring.GetDataSize());
}

TEST(WavFilterStream, FlushForgetsAnEndThatWaitedForRun) {
  Streaming s(1);
  s.filter.Pause();
  EXPECT_EQ(S_OK, s.filter.Pin()->EndOfStream());
  EXPECT_TRUE(s.filter.EndOfStreamPending());
  s.filter.Pin()->BeginFlush();
  s.filter.Pin()->EndFlush();
  EXPECT_FALSE(s.filter.EndOfStreamPending());
  s.filter.Run(0);
  EXPECT_EQ(0, s.graph.completes.load());
  // The restarted stream's own end is reported.
  EXPECT_EQ(S_OK, s.filter.Pin()->EndOfStream());
  EXPECT_EQ(1, s.graph.completes.load());
}

TEST(WavFilterStream, FlushLetsAFilledTrackReportItsEndAgain) {
  Streaming s(1);
  s.filter.Run(0);
  std::vector<u8> sent;
  EXPECT_EQ(S_FALSE, Deliver(s.filter.Pin(), 3000, 2, &sent));
  EXPECT_EQ(1, s.graph.completes.load());
  s.filter.Pause();
  s.filter.Pin()->BeginFlush();
  s.filter.Pin()->EndFlush();
  EXPECT_FALSE(s.filter.Pin()->TrackFull());
  // Data after the flush finds the track full again (nothing more is
  // written) and its end reaches the graph once it runs.
  EXPECT_EQ(S_FALSE, Deliver(s.filter.Pin(), 100, 2, &sent));
  EXPECT_EQ(1, s.graph.completes.load());
  s.filter.Run(0);
  EXPECT_EQ(2, s.graph.completes.load());
  EXPECT_EQ(2352u, s.ring.GetDataSize());
}

TEST(WavFilterStream, EndWhileStoppedIsIgnored) {
  Streaming s(1);
  s.filter.Pin()->EndOfStream();
  s.filter.Run(0);
  EXPECT_EQ(0, s.graph.completes.load());
  EXPECT_EQ(0u, s.ring.GetDataSize());
  // A stop drops an end that waited for Run.
  s.filter.Pause();
  s.filter.Pin()->EndOfStream();
  s.filter.Stop();
  s.filter.Run(0);
  EXPECT_EQ(0, s.graph.completes.load());
}

TEST(WavFilterStream, ReceiveRulesForStateFlushAndForeignSamples) {
  Streaming s(10);
  u8 bytes[64] = {1, 2, 3, 4};
  FakeSample sample;
  sample.data = bytes;
  sample.size = 64;
  sample.actual = 1000;  // claims more than its buffer
  EXPECT_EQ(VFW_E_WRONG_STATE, s.filter.Pin()->Receive(&sample));
  s.filter.Run(0);
  EXPECT_EQ(E_POINTER, s.filter.Pin()->Receive(nullptr));
  EXPECT_EQ(S_OK, s.filter.Pin()->Receive(&sample));
  EXPECT_EQ(64u, s.ring.GetDataSize());
  sample.actual = -5;
  EXPECT_EQ(S_OK, s.filter.Pin()->Receive(&sample));
  EXPECT_EQ(64u, s.ring.GetDataSize());
  s.filter.Pin()->BeginFlush();
  sample.actual = 4;
  EXPECT_EQ(S_FALSE, s.filter.Pin()->Receive(&sample));
  s.filter.Pin()->EndFlush();
  EXPECT_EQ(S_OK, s.filter.Pin()->Receive(&sample));
  EXPECT_EQ(68u, s.ring.GetDataSize());
  // A sample that changes the type to something else is refused.
  OwnedType t;
  Fill({"48 kHz", MEDIATYPE_Audio, MEDIASUBTYPE_PCM, FORMAT_WaveFormatEx, 1, 2, 48000, 16, 18,
        false},
       &t);
  sample.changedType = &t.type;
  EXPECT_EQ(VFW_E_TYPE_NOT_ACCEPTED, s.filter.Pin()->Receive(&sample));
  EXPECT_EQ(68u, s.ring.GetDataSize());
  IMediaSample* list[2] = {&sample, &sample};
  long processed = -1;
  sample.changedType = nullptr;
  EXPECT_EQ(S_OK, s.filter.Pin()->ReceiveMultiple(list, 2, &processed));
  EXPECT_EQ(2, processed);
  EXPECT_EQ(E_POINTER, s.filter.Pin()->ReceiveMultiple(nullptr, 2, &processed));
}

namespace {
struct ReceiveCall {
  CWavPin* pin;
  IMediaSample* sample;
  HRESULT hr = E_FAIL;
  std::atomic<bool> done{false};
};
u32 ReceiveOnce(void* p) {
  ReceiveCall* call = static_cast<ReceiveCall*>(p);
  call->hr = call->pin->Receive(call->sample);
  call->done = true;
  return 0;
}
}  // namespace

TEST(WavFilterStream, FullRingWaitEndsOnCancelAndOnStop) {
  for (int how = 0; how < 2; ++how) {
    std::atomic<u8> flags{0};
    AudioAbort abort = AudioAbort::OnFlags(&flags, 0x4);
    Streaming s(100, 4096, abort);
    s.filter.Run(0);
    std::vector<u8> bytes(8000, 0x55);
    FakeSample sample;
    sample.data = bytes.data();
    sample.size = sample.actual = 8000;
    ReceiveCall call{s.filter.Pin(), &sample};
    CThread thread;
    ASSERT_TRUE(thread.Start(&ReceiveOnce, &call, 0));
    while (s.ring.GetDataSize() < 4096) Sleep(1);
    Sleep(30);
    EXPECT_FALSE(call.done.load());  // waiting for space
    if (how == 0)
      flags = 0x4;
    else
      s.filter.Stop();
    ASSERT_TRUE(thread.Join(30000));
    EXPECT_EQ(S_FALSE, call.hr);
    EXPECT_EQ(how == 0, s.filter.Pin()->AbortSeen());
    if (how == 0) {
      // After a cancel the end of stream neither pads nor reports.
      EXPECT_EQ(S_OK, s.filter.Pin()->EndOfStream());
      EXPECT_EQ(0, s.graph.completes.load());
      EXPECT_FALSE(s.filter.Pin()->PadToExpected());
    }
  }
}
