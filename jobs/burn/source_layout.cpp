#include "jobs/burn/source_layout.h"

#include <cstring>

#include "runtime/byte_order.h"

namespace {

u32 Be32At(const u8* p) { return (u32(p[0]) << 24) | (u32(p[1]) << 16) | (u32(p[2]) << 8) | p[3]; }

u8 ByteAt(const u8* reply, u32 size, u32 index) { return index < size ? reply[index] : 0; }

constexpr u32 kMaxSessions = 100;

// Per-session entry counts and choices of one planning pass.
struct SessionPlan {
  u32 entries[kMaxSessions];
  bool dropIndex2[kMaxSessions];
  u32 sessions;
};

// One pass over the tracks: counts the entries of every session into plan
// and, with a sink, emits the layout. The session index of the pass is
// S - 1 (S sessions seen so far).
LayoutResult Pass(const CdLayoutTrack* tracks, u32 count, ILayoutSink* sink, SessionPlan* plan) {
  i64 end = 0;  // E: end of what is described so far
  u32 seen = 0;
  CueSheet* block = nullptr;
  bool haveBlock = false;
  u8 sessionCtl = 0;
  u8 leadInForm = 0;
  for (u32 k = 0; k < count; ++k) {
    const CdLayoutTrack& t = tracks[k];
    u32 s = seen ? seen - 1 : 0;
    if (t.number >= 100) {
      // The lead-out closes the last session.
      if (haveBlock) {
        ++plan->entries[s];
        if (sink) AppendCueSheetLeadOut(block, sessionCtl, t.adr, leadInForm, t.tocStart);
      }
      end = static_cast<i64>(t.tocStart) + t.info.size;
      continue;
    }
    TrackForm form = ClassifyCdTrack(t.info.trackMode, t.info.dataMode);
    i64 start = static_cast<i32>(t.info.start);
    i64 indexZero;
    bool hasIndexZero;
    if (t.info.session > seen) {
      if (haveBlock) {
        ++plan->entries[s];
        if (sink) AppendCueSheetLeadOut(block, sessionCtl, t.adr, leadInForm, static_cast<i32>(end));
      }
      if (seen + 1 >= kMaxSessions) return LayoutResult::kTooManyEntries;
      leadInForm = form.dataForm == 0x00 ? 0x01 : static_cast<u8>(form.dataForm | 0x04);
      sessionCtl = t.ctl;
      ++seen;
      s = seen - 1;
      plan->entries[s] = 1;  // the lead-in
      haveBlock = true;
      if (sink) {
        if (!sink->BeginSession()) return LayoutResult::kOutOfMemory;
        block = sink->BeginCueSheet();
        if (!block) return LayoutResult::kOutOfMemory;
        u8* leadIn = block->entries[block->count++];
        leadIn[0] = static_cast<u8>((t.ctl << 4) | (t.adr & 15));
        leadIn[3] = leadInForm;
      }
      indexZero = seen == 1 ? end - 150 : start - 150;
    } else {
      indexZero = end;
    }
    // Index 0 only for a gap before the track's start (a damaged TOC can
    // put the end described so far at or past it).
    hasIndexZero = indexZero < start;
    if (!haveBlock) continue;  // a track before any session: nothing to describe it in
    if (hasIndexZero) {
      ++plan->entries[s];
      if (sink) {
        AppendCueSheetEntry(block, t.ctl, t.adr, t.number, 0, form.dataForm, static_cast<i32>(indexZero));
        if (!sink->AddGap(static_cast<i32>(indexZero), static_cast<i32>(start), form.blockSize, form.mode2))
          return LayoutResult::kOutOfMemory;
      }
    }
    ++plan->entries[s];
    if (sink) {
      AppendCueSheetEntry(block, t.ctl, t.adr, t.number, 1, form.dataForm, static_cast<i32>(start));
      if (!sink->AddExtent(static_cast<i32>(start), t.info.size, form.blockSize, form.mode2))
        return LayoutResult::kOutOfMemory;
    }
    end = start + t.info.size;
    // Index 2 from the PMA: only for an address after the track's end and
    // not past the next descriptor's start.
    if (t.hasPma && !plan->dropIndex2[s]) {
      i64 pma = t.pmaLba;
      bool bounded = k + 1 < count && pma <= static_cast<i64>(tracks[k + 1].tocStart);
      if (pma > end && bounded) {
        ++plan->entries[s];
        if (sink) {
          AppendCueSheetEntry(block, t.ctl, t.adr, t.number, 2, form.dataForm, static_cast<i32>(end));
          if (!sink->AddGap(static_cast<i32>(end), static_cast<i32>(pma), form.blockSize, form.mode2))
            return LayoutResult::kOutOfMemory;
        }
        end = pma;
      }
    }
  }
  plan->sessions = seen;
  return LayoutResult::kOk;
}

}  // namespace

bool ParseTrackInformation(const u8* reply, u32 size, LayoutTrackInfo* out) {
  *out = LayoutTrackInfo();
  if (size < 28) return false;
  out->start = Be32At(reply + 8);
  out->size = Be32At(reply + 24);
  out->trackMode = reply[5] & 15;
  out->dataMode = reply[6] & 15;
  out->session = u32(ByteAt(reply, size, 33)) * 256 + reply[3];
  return true;
}

TrackForm ClassifyCdTrack(u8 trackMode, u8 dataMode) {
  TrackForm form;
  if (dataMode == 1)
    form.dataForm = 0x10;
  else if (dataMode == 2)
    form.dataForm = 0x20;
  else
    form.dataForm = (trackMode & 4) ? 0x10 : 0x00;
  u8 mode = trackMode & 15;
  form.blockSize = (mode <= 3 || (mode >= 8 && mode <= 11)) ? 2352 : 2048;
  form.mode2 = form.dataForm == 0x20;
  return form;
}

i32 PmaAddressToLba(u8 minute, u8 second, u8 frame) {
  i32 frames = (static_cast<i32>(minute) * 60 + second) * 75 + frame;
  if (minute >= 90 && minute <= 99 && second < 60 && frame < 75) return frames - 450150;
  return frames - 150;
}

u32 CountPmaDescriptors(const u8* reply, u32 size) {
  if (size < 4) return 0;
  u32 length = (u32(reply[0]) << 8) | reply[1];
  if (length < 2) return 0;
  u32 count = (length - 2) / 11;
  u32 fit = (size - 4) / 11;
  return count < fit ? count : fit;
}

LayoutResult PlanCdLayout(const CdLayoutTrack* tracks, u32 count, ILayoutSink* sink) {
  SessionPlan plan;
  std::memset(&plan, 0, sizeof(plan));
  LayoutResult result = Pass(tracks, count, nullptr, &plan);
  if (result != LayoutResult::kOk) return result;
  bool again = false;
  for (u32 s = 0; s < plan.sessions; ++s) {
    if (plan.entries[s] > kCueSheetEntries) {
      plan.dropIndex2[s] = true;
      again = true;
    }
  }
  if (again) {
    for (u32 s = 0; s < kMaxSessions; ++s) plan.entries[s] = 0;
    result = Pass(tracks, count, nullptr, &plan);
    if (result != LayoutResult::kOk) return result;
    for (u32 s = 0; s < plan.sessions; ++s)
      if (plan.entries[s] > kCueSheetEntries) return LayoutResult::kTooManyEntries;
  }
  for (u32 s = 0; s < kMaxSessions; ++s) plan.entries[s] = 0;
  return Pass(tracks, count, sink, &plan);
}
