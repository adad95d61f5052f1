// The job pages' painters: the times block every job page shows (elapsed
// and remaining time, the heading, the device line, and at the end the
// result with the total time) and the burn page's progress pane (gauge
// captions and the status line). They draw only figures read from the job
// (JobPageFigures): no painter sends a drive command. Portable.
#pragma once
#include "app/pages/job_page_texts.h"
#include "render/canvas.h"
#include "render/image_strip.h"
#include "render/text/font.h"
#include "runtime/types.h"
#include "runtime/wide_string.h"

struct JobPageFigures {
  u8 flags;                       // the job's flags (finished, failed, warnings)
  u32 titleId;                    // heading, 0 = none
  const CWideString* deviceLine;  // may be empty
  u32 remainingMs;                // 0 = no estimate
  u64 elapsedSeconds;
  u64 totalSeconds;               // job end - job start
};

struct BurnPaintFigures {
  BurnStatusFigures line;
  bool memoryGaugeShown;
  bool deviceGaugeShown;
  const CWideString* memoryCaption;  // what follows "Memory cache:" (its size), may be empty
};

constexpr u32 kTextElapsedTime = 71;
constexpr u32 kTextRemainingTime = 72;
constexpr u32 kTextMemoryCacheLabel = 96;
constexpr u32 kTextDeviceCacheLabel = 97;
constexpr u32 kTextProcessCompleted = 105;
constexpr u32 kTextProcessFailed = 106;
constexpr u32 kJobTextColour = 0xFF000000u;
constexpr u32 kJobValueColour = 0xFF404040u;

// The clock seam's counter frequency (1 when it cannot be read).
double CounterFrequencyOrOne();

void PaintJobTimes(CCanvas& canvas, const JobPageFigures& f, CFont* pageFont, const CImageStrip& statusIcons);
void PaintBurnProgress(CCanvas& canvas, const JobPageFigures& f, const BurnPaintFigures& b, CFont* statusFont);
