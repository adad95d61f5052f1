// The sink filter without a graph: the media types it takes, its COM
// answers, its allocator, and scripts of graph states and stream events
// against what reaches the ring and the graph.
#include "jobs/audio/wav_filter_win.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <sstream>
#include <string>
#include <vector>

#include "jobs/audio/wav_media_type_win.h"
#include "audio_dshow_fakes_win.h"

namespace {

// A media type with a WAVEFORMATEX block of formatBytes bytes.
struct OwnedType {
  OwnedType(GUID major, GUID sub, GUID formatType, u16 tag, u16 channels, u32 rate, u16 bits, u32 formatBytes = 18) {
    format = {tag, channels, rate, rate * channels * bits / 8, static_cast<WORD>(channels * bits / 8), bits, 0};
    type.majortype = major;
    type.subtype = sub;
    type.formattype = formatType;
    type.cbFormat = formatBytes;
    type.pbFormat = formatBytes ? reinterpret_cast<BYTE*>(&format) : nullptr;
  }
  AM_MEDIA_TYPE type = {};
  WAVEFORMATEX format = {};
};

OwnedType Cd() { return OwnedType(MEDIATYPE_Audio, MEDIASUBTYPE_PCM, FORMAT_WaveFormatEx, 1, 2, 44100, 16); }

std::vector<u8> Drain(CRingBuffer& ring) {
  std::vector<u8> out(static_cast<size_t>(ring.GetDataSize()));
  EXPECT_TRUE(out.empty() || ring.Read(out.data(), static_cast<u32>(out.size())));
  return out;
}

// Hands n pattern bytes to the pin through its own allocator; the first
// result other than S_OK.
HRESULT Deliver(CWavPin* pin, u32 n, std::vector<u8>* sent) {
  for (HRESULT hr = S_OK; n > 0;) {
    IMediaSample* sample = nullptr;
    if (FAILED(hr = pin->GetBuffer(&sample, nullptr, nullptr, 0))) return hr;
    BYTE* p = nullptr;
    sample->GetPointer(&p);
    LONG k = n < static_cast<u32>(sample->GetSize()) ? static_cast<LONG>(n) : sample->GetSize();
    for (LONG i = 0; i < k; ++i) sent->push_back(p[i] = static_cast<u8>(3 + sent->size() * 13 + (sent->size() >> 9)));
    sample->SetActualDataLength(k);
    hr = pin->Receive(sample);
    sample->Release();
    if (hr != S_OK) return hr;
    n -= static_cast<u32>(k);
  }
  return S_OK;
}

// A connected, committed sink in a stand-in graph.
struct Streaming : SinkRig {
  explicit Streaming(u32 sectors, u32 ringBytes = 1 << 20, AudioAbort abort = AudioAbort())
      : SinkRig(sectors, ringBytes, abort, false) {
    EXPECT_TRUE(filter.Pin()->IsConnected());
    EXPECT_EQ(S_OK, filter.Pin()->Commit());
  }
};

}  // namespace

// A connection is taken only for decoded CD audio: PCM, 2 channels,
// 44,100 Hz, 16 bits under the audio major type and the PCM subtype (the
// stream major type is the file source's, see the graph tests). QueryAccept
// takes any type: what a sample brings is judged when it comes.
TEST(WavFilterTypes, AcceptsOnlyCdAudioPcmAndRemembersWhatItRefused) {
  struct Case {
    const char* name;
    OwnedType t;
    bool accepted;
    u32 refusedRate;  // a decoded format kept for the error text, or 0
  } cases[] = {
      {"cd", Cd(), true, 0},
      {"48 kHz", OwnedType(MEDIATYPE_Audio, MEDIASUBTYPE_PCM, FORMAT_WaveFormatEx, 1, 2, 48000, 16), false, 48000},
      {"mono", OwnedType(MEDIATYPE_Audio, MEDIASUBTYPE_PCM, FORMAT_WaveFormatEx, 1, 1, 44100, 16), false, 44100},
      {"24 bit", OwnedType(MEDIATYPE_Audio, MEDIASUBTYPE_PCM, FORMAT_WaveFormatEx, 1, 2, 44100, 24), false, 44100},
      {"8 bit", OwnedType(MEDIATYPE_Audio, MEDIASUBTYPE_PCM, FORMAT_WaveFormatEx, 1, 2, 44100, 8), false, 44100},
      {"float", OwnedType(MEDIATYPE_Audio, MEDIASUBTYPE_IEEE_FLOAT, FORMAT_WaveFormatEx, 3, 2, 44100, 32), false, 44100},
      {"stream major", OwnedType(MEDIATYPE_Stream, MEDIASUBTYPE_PCM, FORMAT_WaveFormatEx, 1, 2, 44100, 16), false, 0},
      {"other subtype", OwnedType(MEDIATYPE_Audio, MEDIASUBTYPE_WAVE, FORMAT_WaveFormatEx, 1, 2, 44100, 16), false, 44100},
      {"no format type", OwnedType(MEDIATYPE_Audio, MEDIASUBTYPE_PCM, GUID_NULL, 1, 2, 44100, 16), false, 0},
      {"short block", OwnedType(MEDIATYPE_Audio, MEDIASUBTYPE_PCM, FORMAT_WaveFormatEx, 1, 2, 44100, 16, 16), false, 0},
      {"no block", OwnedType(MEDIATYPE_Audio, MEDIASUBTYPE_PCM, FORMAT_WaveFormatEx, 1, 2, 44100, 16, 0), false, 0},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(c.name);
    CWavFilter filter(nullptr, 0);
    FakeUpstreamPin upstream;
    EXPECT_EQ(S_OK, filter.Pin()->QueryAccept(&c.t.type));
    EXPECT_EQ(c.accepted ? S_OK : VFW_E_TYPE_NOT_ACCEPTED, filter.Pin()->ReceiveConnection(&upstream, &c.t.type));
    EXPECT_EQ(c.accepted, filter.Pin()->IsConnected());
    EXPECT_EQ(c.accepted ? 2 : 1, upstream.refs);
    WaveFormatSummary refused = {};
    EXPECT_EQ(c.refusedRate != 0, filter.Pin()->GetRefusedFormat(&refused));
    EXPECT_EQ(c.refusedRate, refused.samplesPerSecond);
    if (!c.accepted) continue;
    AM_MEDIA_TYPE stored;
    ASSERT_EQ(S_OK, filter.Pin()->ConnectionMediaType(&stored));
    EXPECT_TRUE(IsCdAudioMediaType(&stored) && stored.pbFormat != c.t.type.pbFormat);  // a deep copy
    FreeMediaType(&stored);
    EXPECT_EQ(S_OK, filter.Pin()->Disconnect());
    EXPECT_EQ(1, upstream.refs);
  }
}

// The same pin again is refused (the format type is looked at before, the
// format block after); another pin replaces the connection, which lets go
// of the first. The filter's state plays no part: paused or running, the
// answers come in the same order as when stopped.
TEST(WavFilterTypes, ConnectionRulesInEveryState) {
  OwnedType t = Cd();
  OwnedType unformatted(MEDIATYPE_Audio, MEDIASUBTYPE_PCM, GUID_NULL, 1, 2, 44100, 16);
  OwnedType rate48k(MEDIATYPE_Audio, MEDIASUBTYPE_PCM, FORMAT_WaveFormatEx, 1, 2, 48000, 16);
  const struct {
    const char* name;
    FILTER_STATE state;
  } states[] = {{"stopped", State_Stopped}, {"paused", State_Paused}, {"running", State_Running}};
  for (const auto& s : states) {
    SCOPED_TRACE(s.name);
    CWavFilter filter(nullptr, 0);
    FakeUpstreamPin first, second;
    if (s.state == State_Paused) filter.Pause();
    if (s.state == State_Running) filter.Run(0);
    ASSERT_EQ(s.state, filter.State());
    const struct {
      IPin* connector;
      const AM_MEDIA_TYPE* type;
      HRESULT answer;
      IPin* connected;  // afterwards
    } steps[] = {
        {nullptr, &t.type, E_POINTER, nullptr},
        {&first, nullptr, E_POINTER, nullptr},
        {&first, &unformatted.type, VFW_E_TYPE_NOT_ACCEPTED, nullptr},
        {&first, &rate48k.type, VFW_E_TYPE_NOT_ACCEPTED, nullptr},
        {&first, &t.type, S_OK, &first},
        {&first, &t.type, VFW_E_ALREADY_CONNECTED, &first},
        {&first, &unformatted.type, VFW_E_TYPE_NOT_ACCEPTED, &first},  // the format type first
        {&first, &rate48k.type, VFW_E_ALREADY_CONNECTED, &first},      // the format block after
        {&second, &rate48k.type, VFW_E_TYPE_NOT_ACCEPTED, &first},
        {&second, &t.type, S_OK, &second},
    };
    for (const auto& step : steps) {
      const int at = static_cast<int>(&step - steps);
      EXPECT_EQ(step.answer, filter.Pin()->ReceiveConnection(step.connector, step.type)) << "step " << at;
      IPin* peer = nullptr;
      filter.Pin()->ConnectedTo(&peer);
      EXPECT_EQ(step.connected, peer) << "step " << at;
      if (peer) peer->Release();
    }
    EXPECT_TRUE(first.refs == 1 && second.refs == 2) << "the first pin let go, the second kept";
    AM_MEDIA_TYPE stored;
    ASSERT_EQ(S_OK, filter.Pin()->ConnectionMediaType(&stored));
    EXPECT_TRUE(IsCdAudioMediaType(&stored));
    FreeMediaType(&stored);
    if (s.state != State_Stopped) {
      EXPECT_EQ(VFW_E_NOT_STOPPED, filter.Pin()->Disconnect());
      filter.Stop();
    }
    EXPECT_EQ(S_OK, filter.Pin()->Disconnect());
    EXPECT_EQ(S_FALSE, filter.Pin()->Disconnect());
    EXPECT_TRUE(first.refs == 1 && second.refs == 1);
  }
}

// Positions, like seeking, are the upstream pin's: asked of it at every
// call, and not offered while nothing is connected.
TEST(WavFilterCom, PositionsArePassedToTheUpstreamPin) {
  CWavFilter filter(nullptr, 0);
  FakeUpstreamPin upstream;
  for (const IID* iid : {&IID_IMediaPosition, &IID_IMediaSeeking}) {
    void* none = reinterpret_cast<void*>(1);
    EXPECT_EQ(E_NOINTERFACE, filter.QueryInterface(*iid, &none));
    EXPECT_EQ(nullptr, none);
  }
  OwnedType t = Cd();
  ASSERT_EQ(S_OK, filter.Pin()->ReceiveConnection(&upstream, &t.type));
  IMediaPosition* position = nullptr;
  ASSERT_EQ(S_OK, filter.QueryInterface(IID_IMediaPosition, reinterpret_cast<void**>(&position)));
  EXPECT_EQ(2, filter.RefCount()) << "the filter's own count";
  REFTIME length = 0;
  EXPECT_EQ(S_OK, position->get_Duration(&length));
  EXPECT_EQ(3.5, length);
  EXPECT_EQ(S_OK, position->put_CurrentPosition(1.25));
  EXPECT_EQ(1.25, upstream.position);
  LONG can = 0;
  EXPECT_EQ(E_NOTIMPL, position->CanSeekForward(&can)) << "the upstream pin's own answer";
  IBaseFilter* back = nullptr;
  ASSERT_EQ(S_OK, position->QueryInterface(IID_IBaseFilter, reinterpret_cast<void**>(&back)));
  EXPECT_EQ(static_cast<IBaseFilter*>(&filter), back);
  back->Release();
  EXPECT_EQ(2, upstream.refs) << "each call let go of what it asked the upstream pin for";
  EXPECT_EQ(S_OK, filter.Pin()->Disconnect());
  EXPECT_EQ(VFW_E_NOT_CONNECTED, position->get_Duration(&length)) << "held past the connection";
  position->Release();
  EXPECT_EQ(1, filter.RefCount());
}

// Names, identity, enumerators, and out values that are set also when there
// is nothing to give.
TEST(WavFilterCom, AnswersOfTheFilterAndItsPin) {
  CWavFilter filter(nullptr, 0);
  CLSID id;
  ASSERT_EQ(S_OK, filter.GetClassID(&id));
  EXPECT_TRUE(IsEqualGUID(id, kWavFilterClassId));
  FILTER_INFO info;
  ASSERT_EQ(S_OK, filter.QueryFilterInfo(&info));
  EXPECT_TRUE(std::wstring(info.achName) == L"CWavFilter" && info.pGraph == nullptr);
  PIN_INFO pinInfo;
  ASSERT_EQ(S_OK, filter.Pin()->QueryPinInfo(&pinInfo));
  EXPECT_TRUE(std::wstring(pinInfo.achName) == L"CWavPin In" && pinInfo.dir == PINDIR_INPUT);
  EXPECT_EQ(static_cast<IBaseFilter*>(&filter), pinInfo.pFilter);
  pinInfo.pFilter->Release();
  IMemInputPin* input = nullptr;
  IMemAllocator* allocator = nullptr;
  ASSERT_EQ(S_OK, filter.Pin()->QueryInterface(IID_IMemInputPin, reinterpret_cast<void**>(&input)));
  ASSERT_EQ(S_OK, input->GetAllocator(&allocator));
  EXPECT_EQ(static_cast<IMemAllocator*>(filter.Pin()), allocator);
  allocator->Release();
  input->Release();
  IPin* peer = reinterpret_cast<IPin*>(1);
  EXPECT_TRUE(filter.Pin()->ConnectedTo(&peer) == VFW_E_NOT_CONNECTED && peer == nullptr);
  AM_MEDIA_TYPE type;
  memset(&type, 0xAB, sizeof(type));
  EXPECT_TRUE(filter.Pin()->ConnectionMediaType(&type) == VFW_E_NOT_CONNECTED && type.pbFormat == nullptr);
  IReferenceClock* clock = reinterpret_cast<IReferenceClock*>(1);
  EXPECT_TRUE(filter.GetSyncSource(&clock) == S_OK && clock == nullptr);
  IPin* found = reinterpret_cast<IPin*>(1);
  EXPECT_TRUE(filter.FindPin(L"Out", &found) == VFW_E_NOT_FOUND && found == nullptr);
  LPWSTR pinId = nullptr;
  ASSERT_EQ(S_OK, filter.Pin()->QueryId(&pinId));
  EXPECT_TRUE(filter.FindPin(pinId, &found) == S_OK && found == static_cast<IPin*>(filter.Pin()));
  found->Release();
  CoTaskMemFree(pinId);
  LPWSTR vendor = reinterpret_cast<LPWSTR>(1);
  EXPECT_TRUE(filter.QueryVendorInfo(&vendor) == E_NOTIMPL && vendor == nullptr);
  IMediaSeeking* seeking = reinterpret_cast<IMediaSeeking*>(1);
  EXPECT_EQ(E_NOINTERFACE, filter.QueryInterface(IID_IMediaSeeking, reinterpret_cast<void**>(&seeking)));
  EXPECT_EQ(nullptr, seeking);
  EXPECT_EQ(E_POINTER, filter.QueryInterface(IID_IBaseFilter, nullptr));
  IEnumPins* pins = nullptr;
  ASSERT_EQ(S_OK, filter.EnumPins(&pins));
  EXPECT_EQ(S_FALSE, pins->Skip(1)) << "skips nothing";
  ULONG fetched = 0;
  for (HRESULT expected : {S_OK, S_FALSE}) {  // the one pin, then nothing
    IPin* pin = nullptr;
    EXPECT_EQ(expected, pins->Next(1, &pin, &fetched));
    EXPECT_EQ(expected == S_OK ? static_cast<IPin*>(filter.Pin()) : nullptr, pin);
    if (pin) pin->Release();
  }
  EXPECT_EQ(0u, fetched);
  pins->Release();
  EXPECT_EQ(1, filter.Pin()->RefCount());
  for (int round = 0; round < 2; ++round) {  // every enumeration offers the CD type once
    IEnumMediaTypes* types = nullptr;
    ASSERT_EQ(S_OK, filter.Pin()->EnumMediaTypes(&types));
    for (ULONG count : {0u, 1u, 2u}) EXPECT_EQ(S_FALSE, types->Skip(count)) << "skips nothing";
    AM_MEDIA_TYPE* offered = nullptr;
    ASSERT_EQ(S_OK, types->Next(1, &offered, nullptr));
    // The stream major type with the PCM subtype and the CD audio format.
    EXPECT_TRUE(IsEqualGUID(offered->majortype, MEDIATYPE_Stream) && IsEqualGUID(offered->subtype, MEDIASUBTYPE_PCM));
    EXPECT_TRUE(offered->bFixedSizeSamples && !offered->bTemporalCompression && offered->lSampleSize == 4 &&
                offered->pUnk == nullptr && offered->cbFormat == 18);
    EXPECT_TRUE(IsCdAudioMediaType(offered) && filter.Pin()->QueryAccept(offered) == S_OK);
    DeleteMediaType(offered);
    EXPECT_EQ(S_FALSE, types->Next(1, &offered, nullptr));
    EXPECT_EQ(S_FALSE, types->Skip(1));
    IEnumMediaTypes* clone = reinterpret_cast<IEnumMediaTypes*>(1);
    EXPECT_TRUE(types->Clone(&clone) == E_NOTIMPL && clone == nullptr);
    types->Release();
  }
}

TEST(WavAllocator, PropertiesCommitAndSamples) {
  CWavFilter filter(nullptr, 0);
  CWavPin* pin = filter.Pin();
  ALLOCATOR_PROPERTIES props, actual;
  ASSERT_EQ(S_OK, pin->GetAllocatorRequirements(&props));
  EXPECT_TRUE(props.cBuffers == 1 && props.cbBuffer == 16384 && props.cbAlign == 1);
  struct Request {
    ALLOCATOR_PROPERTIES props;
    HRESULT hr;
  } requests[] = {{{3, 4000, 2, 0}, VFW_E_BADALIGN}, {{0, 4000, 1, 0}, E_INVALIDARG}, {{100000, 100000, 1, 0}, E_INVALIDARG},
                  {{3, 4000, 1, 0}, S_OK}};
  for (Request& r : requests) EXPECT_EQ(r.hr, pin->SetProperties(&r.props, &actual)) << r.props.cBuffers;
  EXPECT_TRUE(actual.cBuffers == 3 && actual.cbBuffer == 4000);
  IMediaSample* sample = nullptr;
  EXPECT_EQ(VFW_E_NOT_COMMITTED, pin->GetBuffer(&sample, nullptr, nullptr, 0));
  ASSERT_EQ(S_OK, pin->Commit());
  EXPECT_EQ(VFW_E_ALREADY_COMMITTED, pin->SetProperties(&requests[3].props, &actual));
  IMediaSample* taken[3];
  for (IMediaSample*& s : taken) {
    ASSERT_EQ(S_OK, pin->GetBuffer(&s, nullptr, nullptr, AM_GBF_NOWAIT));
    EXPECT_TRUE(s->GetSize() == 4000 && s->GetActualDataLength() == 0);
  }
  EXPECT_TRUE(pin->GetBuffer(&sample, nullptr, nullptr, AM_GBF_NOWAIT) == VFW_E_TIMEOUT && sample == nullptr);
  EXPECT_EQ(VFW_E_BUFFER_OVERFLOW, taken[0]->SetActualDataLength(4001));  // lengths bounded by the buffer
  EXPECT_EQ(VFW_E_BUFFER_OVERFLOW, taken[0]->SetActualDataLength(-1));
  EXPECT_EQ(S_OK, taken[0]->SetActualDataLength(4000));
  taken[1]->Release();
  ASSERT_EQ(S_OK, pin->GetBuffer(&sample, nullptr, nullptr, AM_GBF_NOWAIT));
  EXPECT_EQ(taken[1], sample);
  // A decommit frees the memory only when every sample is back.
  BYTE* p = nullptr;
  taken[0]->GetPointer(&p);
  EXPECT_EQ(S_OK, pin->Decommit());
  EXPECT_TRUE(!pin->IsCommitted() && pin->HoldsBufferBlock());
  p[3999] = 7;  // still usable by its holder
  for (IMediaSample* s : taken) s->Release();
  EXPECT_FALSE(pin->HoldsBufferBlock());
  ASSERT_EQ(S_OK, pin->Commit());  // a new commit makes a new block
  ASSERT_EQ(S_OK, pin->GetBuffer(&sample, nullptr, nullptr, 0));
  sample->Release();
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
  WaitCall released{pin}, decommitted{pin};
  for (WaitCall* call : {&released, &decommitted}) {
    CThread thread;
    ASSERT_TRUE(thread.Start(&WaitForBuffer, call, 0));
    while (!call->started) Sleep(1);
    Sleep(50);
    EXPECT_EQ(E_FAIL, call->hr);  // still waiting
    if (call == &released) {
      held->Release();
    } else {
      EXPECT_EQ(S_OK, pin->Decommit());
    }
    ASSERT_TRUE(thread.Join(30000));
  }
  EXPECT_TRUE(released.hr == S_OK && released.sample != nullptr);
  EXPECT_TRUE(decommitted.hr == VFW_E_NOT_COMMITTED && decommitted.sample == nullptr);
  EXPECT_TRUE(pin->HoldsBufferBlock());  // the first waiter still holds its sample
  released.sample->Release();
  EXPECT_FALSE(pin->HoldsBufferBlock());
}

// Scripts of filter states and stream events: P pause, R run, S stop, E end
// of stream, F flush, "D<n>" deliver n bytes (S_OK), "d<n>" deliver them
// and be told to stop (S_FALSE), "=<n>" completions reported so far. The
// ring then holds the bytes sent up to the track's end, then zeros.
TEST(WavFilterStream, ScriptsOfStatesAndEvents) {
  struct Script {
    const char* what;
    u32 sectors;
    const char* steps;
    u32 ringBytes;
  } scripts[] = {
      {"short stream padded, end reported", 3, "P R D4694 =0 E =1", 3 * 2352},
      {"long stream cut and ended at its sectors", 2, "R D4604 =0 d200 =1 d50 E =1", 2 * 2352},
      {"exactly full waits for its end", 2, "R D4704 =0 E =1", 2 * 2352},
      {"filled while paused, reported on run", 1, "P d3000 =0 R =1", 2352},
      {"empty stream gives its zero sectors", 4, "R E =1", 4 * 2352},
      {"end while paused reported on run, once", 1, "P E =0 R =1 P R =1", 2352},
      {"a flush forgets an end that waited", 1, "P E F R =0 E =1", 2352},
      {"a flush lets a filled track end again", 1, "R d3000 =1 P F d100 =1 R =2", 2352},
      {"an end while stopped is ignored", 1, "E R =0", 0},
      {"a stop drops an end that waited for run", 1, "P E S R =0", 2352},
  };
  for (const Script& s : scripts) {
    SCOPED_TRACE(s.what);
    Streaming rig(s.sectors);
    CWavFilter& f = rig.filter;
    std::vector<u8> sent;
    std::istringstream steps(s.steps);
    for (std::string step; steps >> step;) {
      u32 n = step.size() > 1 ? static_cast<u32>(std::stoul(step.substr(1))) : 0;
      switch (step[0]) {
        case 'P': f.Pause(); break;
        case 'R': f.Run(0); break;
        case 'S': f.Stop(); break;
        case 'E': EXPECT_EQ(S_OK, f.Pin()->EndOfStream()); break;
        case 'F': {
          f.Pin()->BeginFlush();
          f.Pin()->EndFlush();
          break;
        }
        case 'D': EXPECT_EQ(S_OK, Deliver(f.Pin(), n, &sent)) << step; break;
        case 'd': EXPECT_EQ(S_FALSE, Deliver(f.Pin(), n, &sent)) << step; break;
        case '=': EXPECT_EQ(static_cast<int>(n), rig.graph.completes.load()) << step; break;
      }
    }
    std::vector<u8> out = Drain(rig.ring);
    ASSERT_EQ(s.ringBytes, out.size());
    size_t data = std::min(sent.size(), out.size());
    EXPECT_TRUE(std::equal(out.begin(), out.begin() + data, sent.begin()));
    EXPECT_EQ(std::vector<u8>(out.size() - data, 0), std::vector<u8>(out.begin() + data, out.end()));
    EXPECT_TRUE(rig.graph.completes.load() == 0 ||
                rig.graph.lastSender == reinterpret_cast<LONG_PTR>(static_cast<IBaseFilter*>(&f)));
  }
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
  sample.actual = -5;
  EXPECT_EQ(S_OK, s.filter.Pin()->Receive(&sample));
  EXPECT_EQ(64u, s.ring.GetDataSize());
  s.filter.Pin()->BeginFlush();
  sample.actual = 4;
  EXPECT_EQ(S_FALSE, s.filter.Pin()->Receive(&sample));
  s.filter.Pin()->EndFlush();
  EXPECT_EQ(S_OK, s.filter.Pin()->Receive(&sample));
  OwnedType other(MEDIATYPE_Audio, MEDIASUBTYPE_PCM, FORMAT_WaveFormatEx, 1, 2, 48000, 16);
  sample.changedType = &other.type;  // a change to another type is refused
  EXPECT_EQ(VFW_E_TYPE_NOT_ACCEPTED, s.filter.Pin()->Receive(&sample));
  EXPECT_EQ(68u, s.ring.GetDataSize());
  IMediaSample* list[2] = {&sample, &sample};
  long processed = -1;
  sample.changedType = nullptr;
  EXPECT_TRUE(s.filter.Pin()->ReceiveMultiple(list, 2, &processed) == S_OK && processed == 2);
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
  for (bool cancel : {true, false}) {
    std::atomic<u8> flags{0};
    Streaming s(100, 4096, AudioAbort::OnFlags(&flags, 0x4));
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
    if (cancel)
      flags = 0x4;
    else
      s.filter.Stop();
    ASSERT_TRUE(thread.Join(30000));
    EXPECT_TRUE(call.hr == S_FALSE && s.filter.Pin()->AbortSeen() == cancel);
    if (!cancel) continue;
    EXPECT_EQ(S_OK, s.filter.Pin()->EndOfStream());  // after a cancel the end neither pads nor reports
    EXPECT_TRUE(s.graph.completes.load() == 0 && !s.filter.Pin()->PadToExpected());
  }
}
