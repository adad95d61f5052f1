// The audio project as a burn source: each pass delivers exactly the
// snapshot's tracks from an empty ring, a stalled pass can be stopped, a
// failed track fails the read, and the snapshot never follows the project.
#include "jobs/audio/audio_project_source.h"

#include <gtest/gtest.h>

#include <atomic>
#include <vector>

#include "jobs/audio/audio_cd_format.h"
#include "jobs/audio/audio_ring_writer.h"
#include "runtime/clock.h"
#include "runtime/ring_buffer.h"

namespace {

std::atomic<int> g_decodes{0};
std::atomic<bool> g_failSecond{false};

// Writes the track's sectors as bytes derived from its path's first unit
// and the position, through the program's track writer (its waits end on
// the abort). A track whose name starts with 'x' fails when asked to.
AudioStatus FakeDecode(const AudioTrackInfo& track, CRingBuffer* ring, AudioAbort abort) {
  ++g_decodes;
  AudioStatus status;
  if (g_failSecond.load() && track.path.At(0) == u'x') {
    status.error = AudioError::kNotDecodable;
    status.code = static_cast<HResult>(0x80040265u);
    return status;
  }
  CTrackRingWriter writer(ring, track.sectors, abort);
  u8 block[1000];
  const u8 seed = static_cast<u8>(track.path.At(0));
  u64 at = 0;
  while (writer.Delivered() < writer.Limit()) {
    for (u32 i = 0; i < sizeof(block); ++i) block[i] = static_cast<u8>(seed + (at + i) * 3);
    if (!writer.Write(block, sizeof(block))) break;
    at += sizeof(block);
  }
  if (writer.AbortSeen() || abort.IsSet()) status.error = AudioError::kAborted;
  return status;
}

AudioTrackInfo Track(const char16_t* name, u32 sectors) {
  AudioTrackInfo t;
  t.path.Assign(name);
  t.sectors = sectors;
  return t;
}

std::vector<u8> Expected(const std::vector<AudioTrackInfo>& tracks) {
  std::vector<u8> out;
  for (const AudioTrackInfo& t : tracks) {
    const u8 seed = static_cast<u8>(t.path.At(0));
    for (u64 i = 0; i < u64(t.sectors) * kCdSectorBytes; ++i) out.push_back(static_cast<u8>(seed + i * 3));
  }
  return out;
}

// Reads the stream in chunks of `chunk` bytes until a read answers other
// than kHrOk (end of data, or a failure).
std::vector<u8> ReadAll(CAudioProjectSource& source, u32 chunk, HResult* last) {
  std::vector<u8> out;
  std::vector<u8> buffer(chunk);
  for (;;) {
    u64 got = 0;
    *last = source.Read(buffer.data(), chunk, &got);
    if (*last != kHrOk) return out;
    out.insert(out.end(), buffer.begin(), buffer.begin() + static_cast<long>(got));
  }
}

class AudioProjectSourceTest : public ::testing::Test {
 protected:
  AudioProjectSourceTest() {
    g_decodes = 0;
    g_failSecond = false;
  }
  void SetTracks(const std::vector<AudioTrackInfo>& tracks) {
    std::vector<const AudioTrackInfo*> pointers;
    for (const AudioTrackInfo& t : tracks) pointers.push_back(&t);
    ASSERT_TRUE(source.SetTracks(pointers.data(), static_cast<u32>(pointers.size())));
  }
  CAudioProjectSource source{&FakeDecode};
};

}  // namespace

// Two passes (the burn, then the verify): each starts with an empty ring
// and yields exactly the sectors x 2352 bytes of every track in order, the
// second even after the first was abandoned half way.
TEST_F(AudioProjectSourceTest, EachPassDeliversExactlyTheTracksFromTheStart) {
  // 3000 sectors are 7 MB: more than the 4 MiB ring holds.
  const std::vector<AudioTrackInfo> tracks = {Track(u"a", 1), Track(u"b", 3000), Track(u"c", 7)};
  SetTracks(tracks);
  u64 size = 0;
  ASSERT_EQ(kHrOk, source.GetSize(&size));
  EXPECT_EQ(3008u * 2352u, size);
  const std::vector<u8> expected = Expected(tracks);
  for (u32 chunk : {32768u, 5u * 1024 * 1024 + 3}) {  // a chunk larger than the ring too
    SCOPED_TRACE(chunk);
    u64 position = 99;
    ASSERT_EQ(kHrOk, source.Seek(0, kSeekStart, &position));
    EXPECT_EQ(0u, position);
    HResult last = kHrOk;
    const std::vector<u8> got = ReadAll(source, chunk, &last);
    EXPECT_EQ(kHrFalse, last);
    ASSERT_EQ(expected.size(), got.size());
    EXPECT_TRUE(expected == got);
    // Abandon a pass in the middle: the next one starts clean.
    ASSERT_EQ(kHrOk, source.Seek(0, kSeekStart, nullptr));
    std::vector<u8> part(10000);
    u64 n = 0;
    ASSERT_EQ(kHrOk, source.Read(part.data(), part.size(), &n));
  }
}

// A pass whose reader went away (a cancelled burn) leaves the decoder
// waiting for room in the full ring: Stop ends and joins it, and the
// snapshot can then be replaced; while it decodes, it cannot.
TEST_F(AudioProjectSourceTest, AStalledPassStopsAndTheSnapshotHoldsMeanwhile) {
  SetTracks({Track(u"a", 4000), Track(u"b", 10)});
  ASSERT_EQ(kHrOk, source.Seek(0, kSeekStart, nullptr));
  u8 some[100];
  u64 n = 0;
  ASSERT_EQ(kHrOk, source.Read(some, sizeof(some), &n));  // the ring is filling now
  EXPECT_TRUE(source.IsDecoding());
  const AudioTrackInfo replacement = Track(u"z", 1);
  const AudioTrackInfo* list[] = {&replacement};
  EXPECT_FALSE(source.SetTracks(list, 1));  // the running pass keeps its tracks
  EXPECT_EQ(2u, source.TrackCount());
  EXPECT_EQ(u'a', source.Track(0).path.At(0));
  source.Stop();
  EXPECT_FALSE(source.IsDecoding());
  EXPECT_EQ(1, g_decodes.load());  // stopped inside the first track
  // A read after the stop ends instead of waiting.
  std::vector<u8> rest(8u << 20);
  HResult last = kHrOk;
  ReadAll(source, static_cast<u32>(rest.size()), &last);
  EXPECT_NE(kHrOk, last);
  ASSERT_TRUE(source.SetTracks(list, 1));
  EXPECT_EQ(1u, source.TrackCount());
}

// A track that cannot be decoded fails the read with its reason; the
// source never hands out its silence as if it were the track.
TEST_F(AudioProjectSourceTest, AFailedTrackFailsTheRead) {
  g_failSecond = true;
  SetTracks({Track(u"a", 2), Track(u"x", 5), Track(u"c", 5)});
  ASSERT_EQ(kHrOk, source.Seek(0, kSeekStart, nullptr));
  HResult last = kHrOk;
  ReadAll(source, 4096, &last);
  EXPECT_EQ(static_cast<HResult>(0x80040265u), last);
  EXPECT_EQ(AudioError::kNotDecodable, source.LastFailure().error);
  EXPECT_EQ(1u, source.FailedTrack());
  EXPECT_EQ(2, g_decodes.load());  // the third track is not started
}

// As the platform's decoder does with a file it cannot decode: the track
// is padded with silence first, and the failure is reported only once the
// silence is out of the ring (here: once the reader has taken all but at
// most one byte of it).
AudioStatus SilenceThenFailure(const AudioTrackInfo& track, CRingBuffer* ring, AudioAbort abort) {
  CTrackRingWriter writer(ring, track.sectors, abort);
  writer.Pad();
  for (int i = 0; i < 2000 && ring->GetDataSize() > 1; ++i) SleepFor(1);
  AudioStatus status;
  status.error = AudioError::kNotCdAudio;
  status.code = static_cast<HResult>(0x80040266u);
  return status;
}

// The last track cannot be decoded: its silence may fill the whole rest of
// the stream before the failure is known, and a reader that asks for the
// whole stream at once still gets the failure, never the silence as the
// track.
TEST(AudioProjectSourceSilence, AReaderThatTookTheWholeTrackStillSeesItFail) {
  CAudioProjectSource source(&SilenceThenFailure);
  const AudioTrackInfo track = Track(u"x", 20);
  const AudioTrackInfo* list[] = {&track};
  ASSERT_TRUE(source.SetTracks(list, 1));
  for (u32 chunk : {20u * 2352, 4096u}) {
    SCOPED_TRACE(chunk);
    ASSERT_EQ(kHrOk, source.Seek(0, kSeekStart, nullptr));
    HResult last = kHrOk;
    const std::vector<u8> got = ReadAll(source, chunk, &last);
    EXPECT_EQ(static_cast<HResult>(0x80040266u), last);
    EXPECT_LT(got.size(), 20u * 2352) << "never the whole track";
    EXPECT_EQ(AudioError::kNotCdAudio, source.LastFailure().error);
  }
}

// Without a pass (no Seek) a read fails at once rather than waiting.
TEST_F(AudioProjectSourceTest, AReadWithoutAPassEnds) {
  SetTracks({Track(u"a", 2)});
  u8 buffer[16];
  u64 n = 1;
  EXPECT_TRUE(Failed(source.Read(buffer, sizeof(buffer), &n)));
  EXPECT_EQ(0u, n);
}
