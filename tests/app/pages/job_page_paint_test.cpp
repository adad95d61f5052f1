// The job pages' painters read back from the canvas's records: the times
// block while a job runs (with and without an elapsed time or an estimate),
// the heading and device line, the result at the end with its icon for
// each way a job ends, and the burn pane's gauge captions and status line
// for each status and each gauge shown or hidden.
#include "app/pages/job_page_paint.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "jobs/job_page.h"
#include "runtime/ui_strings.h"
#include "support/language_scope.h"
#include "ui/support/display_list_reader.h"
#include "ui/support/fixed_font.h"
#include "ui/support/memory_canvas.h"
#include "ui/windows/theme/theme_metrics.h"

namespace {

constexpr u32 kCanvasColour = 0xFF123456u;

struct TextAt {
  std::u16string text;
  double x, y;
  u32 colour;
  const CFont* font;
  bool operator==(const TextAt& o) const {
    return text == o.text && x == o.x && y == o.y && colour == o.colour && font == o.font;
  }
};
void PrintTo(const TextAt& r, std::ostream* os) {
  *os << '"' << std::string(r.text.begin(), r.text.end()) << "\" at (" << r.x << ", " << r.y << ") colour "
      << std::hex << r.colour << std::dec << " font " << r.font;
}

std::vector<TextAt> Runs(const CCanvas& canvas) {
  std::vector<TextAt> out;
  for (const DrawnRecord& r : RecordsOf(ReadRecords(canvas), kOpTextRun))
    out.push_back({r.text, r.x0, r.y0, r.colour, r.font});
  return out;
}

std::u16string Text(u32 id) { return GetUiText(id); }

// Three 24 x 24 frames of different colours: ok, failed, warnings.
struct StatusIcons {
  StatusIcons() {
    for (u32 i = 0; i < 3; ++i) {
      std::vector<u32> pixels(24 * 24, 0xFF000000u | (0x40u << (8 * i)));
      const BitmapView view = {24, 24, 24, pixels.data()};
      EXPECT_EQ(static_cast<i32>(i) + 1, strip.AppendFrame(view));
    }
  }
  const u32* Frame(i32 n) const {
    BitmapView view = {};
    strip.GetFrame(n, &view);
    return view.pixels;
  }
  CImageStrip strip;
};

class JobPagePaint : public ::testing::Test {
 protected:
  JobPagePaint() : target(400, 200) {
    pageFont = font.AcquireTaller(21, 16);
    target.canvas.SetFont(font.font);
    target.canvas.textColour = kCanvasColour;
  }
  ~JobPagePaint() override {
    if (pageFont) pageFont->Release();
  }
  // The canvas's font and colour are as they were after each painter.
  void ExpectCanvasGivenBack() {
    EXPECT_EQ(font.font, target.canvas.font);
    EXPECT_EQ(kCanvasColour, target.canvas.textColour);
  }

  CLanguageScope english{kLanguageEnglish};
  CFixedFontScope font;
  CFont* pageFont = nullptr;
  CMemoryCanvas target;
  StatusIcons icons;
};

}  // namespace

// While the job runs the elapsed time stands at the left of the top row,
// its value right after its label; the remaining time (rounded up to whole
// seconds) at 188 only with an estimate. No result and no icon yet.
TEST_F(JobPagePaint, TimesWhileTheJobRuns) {
  ASSERT_TRUE(pageFont);
  const u32 black = kJobTextColour, grey = kJobValueColour;
  const double elapsedEnd = 8 + 10.0 * Text(kTextElapsedTime).size();
  const double remainingEnd = 188 + 10.0 * Text(kTextRemainingTime).size();
  ASSERT_EQ(158.0, elapsedEnd);
  const struct Case {
    u64 elapsed;
    u32 remainingMs;
    std::vector<TextAt> expected;
  } cases[] = {
      {0, 0, {{Text(kTextElapsedTime), 8, 32, black, font.font}}},
      {65, 0, {{Text(kTextElapsedTime), 8, 32, black, font.font}, {u"01:05", elapsedEnd, 32, grey, font.font}}},
      {0,
       1000,
       {{Text(kTextElapsedTime), 8, 32, black, font.font},
        {Text(kTextRemainingTime), 188, 32, black, font.font},
        {u"00:01", remainingEnd, 32, grey, font.font}}},
      {3599,
       1001,
       {{Text(kTextElapsedTime), 8, 32, black, font.font},
        {u"59:59", elapsedEnd, 32, grey, font.font},
        {Text(kTextRemainingTime), 188, 32, black, font.font},
        {u"00:02", remainingEnd, 32, grey, font.font}}},
  };
  const CWideString noDevice;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.elapsed * 100000 + c.remainingMs);
    target.canvas.Reset();
    const JobPageFigures f = {0, 0, &noDevice, c.remainingMs, c.elapsed, 0};
    PaintJobTimes(target.canvas, f, pageFont, icons.strip);
    EXPECT_EQ(c.expected, Runs(target.canvas));
    const std::vector<DrawnRecord> all = ReadRecords(target.canvas);
    EXPECT_TRUE(RecordsOf(all, kOpBitmap).empty());
    // The panel: a 360 x 138 tinted rounded box and its frame.
    const std::vector<DrawnRecord> boxes = RecordsOf(all, kOpRoundRect);
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(0.0, boxes[0].x0);
    EXPECT_EQ(0.0, boxes[0].y0);
    EXPECT_EQ(360.0, boxes[0].x1);
    EXPECT_EQ(138.0, boxes[0].y1);
    EXPECT_EQ((ThemeTintColor() & 0x00FFFFFFu) | 0x33000000u, boxes[0].colour);
    const std::vector<DrawnRecord> frames = RecordsOf(all, kOpRoundRectFrame);
    ASSERT_EQ(1u, frames.size());
    EXPECT_EQ(360.0, frames[0].x1);
    EXPECT_EQ(138.0, frames[0].y1);
    EXPECT_EQ(ThemeTintColor(), frames[0].colour);
    ExpectCanvasGivenBack();
  }
}

// From the top of the panel down: the heading in the page font one page
// line below 134, the device line 1.25 lines of the canvas font below it,
// and at the end the result two page lines lower: the icon of the way the
// job ended, its text beside it centred on the icon, and the total time
// one page line under it. A stopped job that has not ended shows neither
// times nor a result.
TEST_F(JobPagePaint, HeadingDeviceLineAndTheResultForEachEnd) {
  ASSERT_TRUE(pageFont);
  const double page = pageFont->lineHeight, line = font.font->lineHeight;
  ASSERT_NE(page, line);  // a mix-up of the two fonts shows
  const u32 grey = kJobValueColour, black = kJobTextColour;
  const CWideString device(u"E: Recorder");
  const CWideString noDevice;
  const double titleY = 134 - page, deviceY = titleY - 1.25 * line;
  const std::u16string done = Text(kTextProcessCompleted), failed = Text(kTextProcessFailed);
  const struct Case {
    u8 flags;
    u32 titleId;
    const CWideString* device;
    i32 frame;  // -1: no result
    const std::u16string* result;
  } cases[] = {
      {kJobFinished, 90, &device, 0, &done},
      {kJobFinished | kJobVerifyWarnings, 90, &device, 2, &done},
      {kJobFinished | kJobStopped, 90, &device, 1, &failed},
      {kJobFinished | kJobStopped | kJobVerifyWarnings, 90, &device, 1, &failed},
      {kJobStopped, 90, &device, -1, nullptr},
      {kJobFinished, 0, &noDevice, 0, &done},
      {kJobFinished, 90, &noDevice, 0, &done},
      {kJobFinished, 0, &device, 0, &done},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "flags " << int(c.flags) << " title " << c.titleId << " device "
                                    << c.device->GetLength());
    target.canvas.Reset();
    const JobPageFigures f = {c.flags, c.titleId, c.device, 4000, 30, 754};
    PaintJobTimes(target.canvas, f, pageFont, icons.strip);
    std::vector<TextAt> expected;
    double y = 134;
    if (c.titleId) {
      y = titleY;
      expected.push_back({Text(c.titleId), 8, y, grey, pageFont});
    }
    if (c.device->GetLength()) {
      y = c.titleId ? deviceY : 134 - 1.25 * line;
      expected.push_back({c.device->c_str(), 8, y, grey, font.font});
    }
    const std::vector<DrawnRecord> bitmaps = RecordsOf(ReadRecords(target.canvas), kOpBitmap);
    if (c.frame >= 0) {
      const double iconY = std::floor(y - 2 * page);
      expected.push_back({*c.result, 26, iconY + std::floor((24 - page) / 2), grey, pageFont});
      expected.push_back({Text(kTextElapsedTime), 8, iconY - page, black, font.font});
      expected.push_back({u"12:34", 8 + 10.0 * Text(kTextElapsedTime).size(), iconY - page, grey, font.font});
      ASSERT_EQ(1u, bitmaps.size());
      EXPECT_EQ(icons.Frame(c.frame), bitmaps[0].pixels);
      EXPECT_EQ(8.0, bitmaps[0].x0);
      EXPECT_EQ(iconY, bitmaps[0].y0);
      EXPECT_EQ(1.0, bitmaps[0].opacity);
    } else {
      EXPECT_TRUE(bitmaps.empty());
    }
    EXPECT_EQ(expected, Runs(target.canvas));
    ExpectCanvasGivenBack();
  }
}

// The burn pane: "Memory cache:" (then what the job adds, its size) at (8, 66)
// while the memory cache is in use and its gauge shows, "Device cache:" at
// (188, 66) only while the drive writes and its gauge shows, the status
// line at (8, 84) in the status font; nothing once the job has ended or
// stopped, and no line without a status.
TEST_F(JobPagePaint, BurnCaptionsAndStatusLineForEachStatus) {
  ASSERT_TRUE(pageFont);
  CFont* statusFont = pageFont;
  const u32 black = kJobTextColour, grey = kJobValueColour;
  const std::u16string memory = Text(kTextMemoryCacheLabel), drive = Text(kTextDeviceCacheLabel);
  const struct Case {
    u32 status;
    bool memoryCaption, deviceCaption;  // shown when its gauge is
  } cases[] = {
      {kStatusLoadingCache, true, false}, {kStatusBurning, true, true},       {kStatusVerifying, true, false},
      {kStatusClosingSession, true, true}, {kStatusLeadIn, true, true},       {kStatusLeadOut, true, true},
      {kStatusClosingTrack, false, false}, {kStatusSyncCache, false, false},  {kStatusQuickErase, false, false},
      {kStatusFinished, false, false},     {kStatusNone, false, false},
  };
  const CWideString noCaption, ownCaption(u" (64.00 MB)"), noDevice;
  for (const Case& c : cases) {
    for (int gauges = 0; gauges < 8; ++gauges) {
      const bool memoryShown = gauges & 1, deviceShown = (gauges & 2) != 0, own = (gauges & 4) != 0;
      SCOPED_TRACE(testing::Message() << "status " << c.status << " gauges " << gauges);
      BurnStatusFigures line = {c.status, 16, 2400, 0, 150, 42, 2};
      const BurnPaintFigures b = {line, memoryShown, deviceShown, own ? &ownCaption : &noCaption};
      const JobPageFigures f = {0, 0, &noDevice, 0, 2, 0};
      target.canvas.Reset();
      PaintBurnProgress(target.canvas, f, b, statusFont);
      std::vector<TextAt> expected;
      if (c.memoryCaption && memoryShown)
        expected.push_back({own ? memory + ownCaption.c_str() : memory, 8, 66, black, font.font});
      if (c.deviceCaption && deviceShown) expected.push_back({drive, 188, 66, black, font.font});
      if (c.status != kStatusNone) {
        CWideString text;
        BuildBurnStatusLine(&text, line);
        expected.push_back({text.c_str(), 8, 84, grey, statusFont});
      }
      EXPECT_EQ(expected, Runs(target.canvas));
      ExpectCanvasGivenBack();

      for (u8 end : {kJobFinished, kJobStopped}) {
        target.canvas.Reset();
        const JobPageFigures ended = {end, 0, &noDevice, 0, 2, 0};
        PaintBurnProgress(target.canvas, ended, b, statusFont);
        EXPECT_TRUE(Runs(target.canvas).empty());
      }
    }
  }
  // One line as the page shows it.
  target.canvas.Reset();
  const BurnPaintFigures closing = {{kStatusClosingSession, 0, 0, 0, 0, 42, 2}, false, false, &noCaption};
  const JobPageFigures f = {0, 0, &noDevice, 0, 2, 0};
  PaintBurnProgress(target.canvas, f, closing, statusFont);
  const std::vector<TextAt> runs = Runs(target.canvas);
  ASSERT_EQ(1u, runs.size());
  EXPECT_EQ(u"Closing session (42%)..", runs[0].text);

  // The job gave the size while the program spoke English; the gauge's
  // name follows the language shown now.
  CLanguageScope spanish(kLanguageSpanish);
  target.canvas.Reset();
  const BurnPaintFigures burning = {{kStatusBurning, 0, 0, 0, 0, -1, 2}, true, false, &ownCaption};
  PaintBurnProgress(target.canvas, f, burning, statusFont);
  const std::vector<TextAt> spoken = Runs(target.canvas);
  ASSERT_EQ(2u, spoken.size());
  EXPECT_EQ(u"Cach\u00E9 de memoria: (64.00 MB)", spoken[0].text);
}
