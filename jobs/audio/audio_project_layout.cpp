#include "jobs/audio/audio_project_layout.h"

#include "jobs/audio/audio_cd_format.h"

namespace {

constexpr u8 kAdrPosition = 1;
constexpr u8 kFormAudio = 0x00;
constexpr u8 kFormLeadAudio = 0x01;  // lead-in and lead-out of an audio disc

bool AppendExtent(TrackList* list, i32 start, u32 count, u8 content) {
  TrackExtent* e = list->AppendNew();
  if (!e) return false;
  e->start = start;
  e->sectorSize = kCdSectorBytes;
  e->sectorCount = count;
  e->content = content;
  e->mode2Form1 = 0;
  e->cdOnly = 0;
  e->spare = 0;
  return true;
}

struct CdSize {
  u32 limit;  // minutes x 4500 + 1
  const wchar16* name;
};
const CdSize kCdSizes[] = {
    {94501, u"CD 21 min"}, {333001, u"CD 74 min"}, {360001, u"CD 80 min"},
    {405001, u"CD 90 min"}, {445501, u"CD 99 min"},
};

}  // namespace

bool AppendAudioTrackExtents(u32 pauseFrames, u32 sectors, TrackList* list, i32* position) {
  u32 pause = pauseFrames;
  if (list->GetCount() == 0 && pause < kFirstTrackPause) pause = kFirstTrackPause;
  // Lengths come from the files: a length no position can reach is refused.
  const i64 end = static_cast<i64>(*position) + pause + sectors;
  if (end > 0x7FFFFFFF) return false;
  const u32 before = list->GetCount();
  if (pause != 0 && !AppendExtent(list, *position, pause, 0)) return false;
  if (!AppendExtent(list, *position + static_cast<i32>(pause), sectors, 1)) {
    if (list->GetCount() > before) list->DeleteAt(before);
    return false;
  }
  *position = static_cast<i32>(end);
  return true;
}

AudioLayoutResult BuildAudioCueSheet(BurnRequest* request, const TrackList& layout) {
  // The whole layout is checked before anything is appended: every track
  // needs a number, the lead-out a time address, every entry room in the
  // sheet.
  u32 tracks = 0;
  for (const TrackExtent& e : layout) tracks += e.content ? 1 : 0;
  if (tracks == 0) return AudioLayoutResult::kNoTracks;
  if (tracks > kMaxAudioTracks) return AudioLayoutResult::kTooManyTracks;
  const TrackExtent& last = layout[layout.GetCount() - 1];
  const i64 end = static_cast<i64>(last.start) + last.sectorCount;
  if (end + kFirstTrackPause >= kMaxCueFrames) return AudioLayoutResult::kTooLong;
  if (layout.GetCount() + 2 > kCueSheetEntries) return AudioLayoutResult::kCueSheetFull;  // lead-in, lead-out

  TrackList* session = request->sessions.AppendNew();
  if (!session) return AudioLayoutResult::kOutOfMemory;
  CueSheet* sheet = request->cueSheets.AppendNew();
  if (!sheet) {
    request->sessions.DeleteAt(request->sessions.GetCount() - 1);
    return AudioLayoutResult::kOutOfMemory;
  }
  sheet->count = 0;
  bool ok = AppendCueSheetEntry(sheet, 0, kAdrPosition, 0, 0, kFormLeadAudio, -150) != nullptr;
  // A pause belongs to the track after it: INDEX 0 of the next number.
  u8 number = 0;
  for (const TrackExtent& e : layout) {
    if (!ok) break;
    const u8 index = e.content ? 1 : 0;
    const u8 track = static_cast<u8>(number + 1);
    ok = session->Add(e) && AppendCueSheetEntry(sheet, 0, kAdrPosition, track, index, kFormAudio, e.start) != nullptr;
    if (e.content) number = track;
  }
  ok = ok && AppendCueSheetLeadOut(sheet, 0, kAdrPosition, kFormLeadAudio, static_cast<i32>(end)) != nullptr;
  if (ok) return AudioLayoutResult::kOk;
  request->sessions.DeleteAt(request->sessions.GetCount() - 1);
  request->cueSheets.DeleteAt(request->cueSheets.GetCount() - 1);
  return AudioLayoutResult::kOutOfMemory;
}

u32 AudioProjectTotal(const AudioLayoutTrack* tracks, u32 count) {
  // The disc holds the first track's pregap however short its pause was
  // set, so the CD size and the time count it.
  u64 total = 0;
  for (u32 i = 0; i < count; ++i) {
    const u32 pause = i == 0 && tracks[i].pauseFrames < kFirstTrackPause ? kFirstTrackPause : tracks[i].pauseFrames;
    total += static_cast<u64>(pause) + tracks[i].sectors;
  }
  return total > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<u32>(total);
}

CdSizeChoice ChooseCdSize(u32 totalSectors) {
  for (const CdSize& size : kCdSizes)
    if (totalSectors < size.limit) return {size.name, static_cast<double>(totalSectors) / size.limit};
  return {u"CD ??? min", 1.0};
}

bool ParsePauseSeconds(const wchar16* text, i32 length, u32* seconds, bool* saturated) {
  u32 value = 0;
  i32 digits = 0;
  bool over = false;
  for (; digits < length && text[digits] >= u'0' && text[digits] <= u'9'; ++digits) {
    if (over) continue;
    value = value * 10 + static_cast<u32>(text[digits] - u'0');
    if (value > kMaxPauseSeconds) over = true;
  }
  if (digits == 0) return false;
  *saturated = over;
  *seconds = over ? kMaxPauseSeconds : value;
  return true;
}

