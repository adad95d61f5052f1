// A disc for the simulated recorders of the job-window and end-to-end
// tests: its kind and state, and with `blocks`, one track of that many blocks (or two audio
// tracks of 2352-byte blocks).
#pragma once
#include "support/simulated_recorder.h"

inline MediumOptions Disc(MediumPreset preset, DiscFill fill, u32 blocks = 0, bool audioPair = false) {
  MediumOptions m;
  m.preset = preset;
  m.fill = fill;
  if (blocks) {
    TrackContent t;
    t.blocks = blocks;
    if (audioPair) {
      t.blockSize = 2352;
      t.audio = true;
      m.sessions = {{t, t}};
    } else {
      m.sessions = {{t}};
    }
  }
  return m;
}
