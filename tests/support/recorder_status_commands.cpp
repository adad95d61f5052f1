// Readiness, sense, tray and event commands: TEST UNIT READY, REQUEST SENSE,
// START STOP UNIT, PREVENT ALLOW MEDIUM REMOVAL, GET EVENT STATUS
// NOTIFICATION.
#include "recorder_state.h"

void CRecorderState::TestUnitReady(CommandContext& c) {
  // Readiness was tested before the command ran; a DVD+RW formatting in
  // the background is ready.
  (void)c;
}

void CRecorderState::RequestSense(CommandContext& c) {
  SenseCondition sense;
  if (deferredPending && !Busy()) {
    sense = deferred;
    sense.deferred = true;
    deferredPending = false;
  } else if (unitAttention && !(mediumPresent && !trayOpen && NowMs() < readyAtMs)) {
    sense.key = 6;
    sense.asc = attentionAsc;
    sense.ascq = attentionAscq;
    unitAttention = false;
  } else if (Busy() || !MediumReady()) {
    CommandContext probe;
    probe.cdb = c.cdb;
    FailNotReady(probe);
    sense = probe.sense;
  } else {
    UpdateBackgroundFormat();
    if (medium.backgroundFormat == 2 && identity.sksvProgress) {
      u64 now = NowMs();
      u64 span = medium.backgroundEndMs > medium.backgroundStartMs ? medium.backgroundEndMs - medium.backgroundStartMs : 1;
      u64 done = now > medium.backgroundStartMs ? now - medium.backgroundStartMs : 0;
      u64 value = medium.backgroundBase + done * (65536 - medium.backgroundBase) / span;
      sense.hasProgress = true;
      sense.progress = static_cast<u16>(value > 65535 ? 65535 : value);
    }
  }
  bool descriptor = (c.cdb[1] & 0x01) || senseFormat == SenseFormat::kDescriptor;
  c.reply.assign(32, 0);
  u32 n = BuildSense(sense, descriptor, c.reply.data(), 32);
  c.reply.resize(n);
}

void CRecorderState::StartStopUnit(CommandContext& c) {
  bool immed = c.cdb[1] & 0x01;
  u8 power = c.cdb[4] >> 4;
  u8 loadEject = c.cdb[4] & 0x03;
  if (power != 0) return;
  if (loadEject == 2) {
    if (preventRemoval) {
      Fail(c, 5, 0x53, 0x02);
      return;
    }
    if (trayOpen) return;
    trayOpen = true;
    medium.cached.clear();  // what was not flushed is lost
    cacheDirty = false;
    mediaEventPending = true;
    mediaEventCode = 3;
    if (!immed) c.sleepMs = timings.ejectMs;
  } else if (loadEject == 3) {
    if (!trayOpen) return;
    trayOpen = false;
    if (mediumPresent) {
      readyAtMs = NowMs() + timings.ejectMs + timings.becomingReadyMs;
      unitAttention = identity.reportUnitAttention;
      attentionAsc = 0x28;
      attentionAscq = 0;
      mediaEventPending = true;
      mediaEventCode = 2;
    }
    if (!immed) c.sleepMs = timings.ejectMs;
  }
  // Start and stop of the spindle change nothing a command can see.
}

void CRecorderState::PreventAllow(CommandContext& c) { preventRemoval = (c.cdb[4] & 0x01) != 0; }

void CRecorderState::EventStatus(CommandContext& c) {
  if (!(c.cdb[1] & 0x01)) {
    Fail(c, 5, 0x24, 0x00);  // only polled operation
    return;
  }
  u8 supported = 0x10;  // media
  if (identity.busyEvents) supported |= 0x40;
  u8 requested = c.cdb[4] & supported;
  c.reply.assign(4, 0);
  c.reply[3] = supported;
  if (!requested) {
    c.reply[1] = 2;
    c.reply[2] = 0x80;  // NEA
    return;
  }
  bool busy = Busy();
  u8 chosen;
  if ((requested & 0x10) && mediaEventPending)
    chosen = 4;
  else if ((requested & 0x40) && busy)
    chosen = 6;
  else
    chosen = (requested & 0x10) ? 4 : 6;
  c.reply.resize(8, 0);
  c.reply[1] = 6;
  c.reply[2] = chosen;
  if (chosen == 4) {
    if (mediaEventPending) {
      c.reply[4] = mediaEventCode;
      mediaEventPending = false;
    }
    c.reply[5] = static_cast<u8>((trayOpen ? 0x01 : 0) | (mediumPresent ? 0x02 : 0));
  } else if (busy) {
    u64 now = NowMs();
    u64 remaining = longOp.endMs > now ? (longOp.endMs - now + 99) / 100 : 0;
    c.reply[4] = 1;  // busy event
    c.reply[5] = 2;  // immediate command in progress
    PutBe16(c.reply, 6, static_cast<u32>(remaining > 0xFFFF ? 0xFFFF : remaining));
  }
}
