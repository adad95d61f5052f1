// The information pages' rows read back from the canvas's records: where
// each label, value, badge and rule stands, the steps between rows, and
// that the measured height is where the last row ends.
#include "app/pages/info_rows.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/pages/device_info_rows.h"
#include "app/pages/disc_info_rows.h"
#include "runtime/ui_strings.h"
#include "support/language_scope.h"
#include "ui/support/display_list_reader.h"
#include "ui/support/fixed_font.h"
#include "ui/support/memory_canvas.h"

namespace {

constexpr u32 kLabelColour = 0xFF102030u;

struct TextAt {
  std::string text;
  double x, y;
  u32 colour;
  bool operator==(const TextAt& o) const { return text == o.text && x == o.x && y == o.y && colour == o.colour; }
};
void PrintTo(const TextAt& r, std::ostream* os) {
  *os << '"' << r.text << "\" at (" << r.x << ", " << r.y << ") colour " << std::hex << r.colour;
}

std::vector<TextAt> Runs(const CCanvas& canvas) {
  std::vector<TextAt> out;
  for (const DrawnRecord& r : RecordsOf(ReadRecords(canvas), kOpTextRun))
    out.push_back({std::string(r.text.begin(), r.text.end()), r.x0, r.y0, r.colour});
  return out;
}

class InfoRows : public ::testing::Test {
 protected:
  InfoRows() : target(600, 400) {
    target.canvas.SetFont(font.font);
    target.canvas.textColour = kLabelColour;
  }
  CLanguageScope english{kLanguageEnglish};
  CFixedFontScope font;
  CMemoryCanvas target;
};

// Two sessions: a data track from 0, an audio track with a 150-sector
// pregap, and a second session's track; the lead-out shows no row.
void FillTwoSessionDisc(DiscInfo& info) {
  info.driveName.Assign(u"E: Rec");
  info.profile = 0x09;
  info.profileName = {u"CD-R", 4};
  info.statusText = 186;  // "Finalized"
  info.stateText = 189;   // "Complete"
  info.sessions = 2;
  info.tracks = 3;
  info.size = 11899;
  const DiscTrackRecord records[] = {
      {1, 1, 1, 0, 1000, 0, 1000},
      {0, 2, 1, 1150, 2000, 1000, 3150},
      {1, 3, 2, 11400, 500, 11400, 11900},
      {0, kLeadOutTrack, 2, 11900, 0, 11900, 11900},
  };
  for (const DiscTrackRecord& r : records) info.records.Add(r);
}

}  // namespace

// A row: the label at the pen in the canvas colour, the value half a size
// after it in grey, the pen floor(2 x size) lower and the colour given
// back; an empty value draws nothing and keeps the pen.
TEST_F(InfoRows, ARowMovesThePenByTwiceTheSizeAndAnEmptyValueNot) {
  InfoRowPen pen = {&target.canvas, font.font, 7.5, 20, 300};
  DrawInfoRow(pen, u"Name:", 5, u"Disc", 4);
  EXPECT_EQ(285.0, pen.y);  // floor(15)
  EXPECT_EQ(20.0, pen.x);
  DrawInfoRow(pen, u"Gone:", 5, u"", 0);
  DrawInfoRow(pen, u"Gone:", 5, nullptr, 3);
  EXPECT_EQ(285.0, pen.y);
  pen.size = 6.7;
  DrawInfoRow(pen, u"Kind:", 5, u"CD", 2);
  EXPECT_EQ(272.0, pen.y);  // floor(13.4)
  EXPECT_EQ((std::vector<TextAt>{{"Name:", 20, 300, kLabelColour},
                              {"Disc", 20 + 50 + 3.75, 300, kInfoValueColour},
                              {"Kind:", 20, 285, kLabelColour},
                              {"CD", 20 + 50 + 3.35, 285, kInfoValueColour}}),
            Runs(target.canvas));
  EXPECT_EQ(kLabelColour, target.canvas.textColour);
  // Measuring only moves the pen the same way.
  InfoRowPen measure = {nullptr, font.font, 7.5, 20, 300};
  DrawInfoRow(measure, u"Name:", 5, u"Disc", 4);
  EXPECT_EQ(285.0, measure.y);
}

// A badge: white text on a box reaching 2 pixels around it on every side;
// the heading rule one pixel high, 2 to 3 pixels under the pen.
TEST_F(InfoRows, BadgeBoxAndHeadingRule) {
  InfoRowPen pen = {&target.canvas, font.font, 8, 0, 0};
  EXPECT_EQ(90.0, DrawBadge(pen, 30, 100, u"Session 1", 9, 0xFF5858C0u));
  DrawHeadingRule(&target.canvas, 12, 340, 60);
  DrawHeadingRule(nullptr, 12, 340, 60);
  const std::vector<DrawnRecord> all = ReadRecords(target.canvas);
  const std::vector<DrawnRecord> boxes = RecordsOf(all, kOpRoundRect);
  ASSERT_EQ(1u, boxes.size());
  EXPECT_EQ(28.0, boxes[0].x0);
  EXPECT_EQ(98.0, boxes[0].y0);
  EXPECT_EQ(122.0, boxes[0].x1);
  EXPECT_EQ(110.0, boxes[0].y1);
  EXPECT_EQ(2.0, boxes[0].radius);
  EXPECT_EQ(0xFF5858C0u, boxes[0].colour);
  EXPECT_EQ((std::vector<TextAt>{{"Session 1", 30, 100, kInfoBadgeTextColour}}), Runs(target.canvas));
  EXPECT_EQ(kLabelColour, target.canvas.textColour);
  const std::vector<DrawnRecord> rules = RecordsOf(all, kOpRect);
  ASSERT_EQ(1u, rules.size());
  EXPECT_EQ(12.0, rules[0].x0);
  EXPECT_EQ(57.0, rules[0].y0);
  EXPECT_EQ(340.0, rules[0].x1);
  EXPECT_EQ(58.0, rules[0].y1);
  EXPECT_EQ(0xFF000000u, rules[0].colour);
}

// The disc rows from the top down, each where the steps put it: medium rows
// two sizes apart, the heading, then per session a badge and its tracks
// indented one more size, a pregap row before a track that starts after
// the previous end. The measured height is where the last row leaves the
// pen, drawn or not.
TEST_F(InfoRows, DiscRowsStepDownAndTheHeightIsWhereTheLastRowEnds) {
  DiscInfo info;
  FillTwoSessionDisc(info);
  const double size = font.font->size, heading = 11;
  ASSERT_EQ(8.0, size);
  const double top = 380, left = 4 + 8, right = 500 - 8;
  const double bottom = WriteDiscInfoRows(&target.canvas, font.font, heading, info, 4, 500, top);
  const u32 label = kLabelColour, value = kInfoValueColour;
  const double l = left, t = top - size;
  const double headingY = t - 8 * 16 - heading;  // eight medium rows
  const double firstBadge = headingY - 12 - 4, firstRow = firstBadge - 14;
  const double secondBadge = firstRow - 3 * 16, lastRow = secondBadge - 14;
  const double indent = l + size, rowX = indent + size;
  const std::vector<TextAt> expected = {
      {"Name:", l, t, label},
      {"E: Rec", l + 54, t, value},
      {"Profile:", l, t - 16, label},
      {"CD-R", l + 84, t - 16, value},
      {"Status:", l, t - 32, label},
      {"Finalized", l + 74, t - 32, value},
      {"State of last session:", l, t - 48, label},
      {"Complete", l + 224, t - 48, value},
      {"Erasable:", l, t - 64, label},
      {"No", l + 94, t - 64, value},
      {"Sessions:", l, t - 80, label},
      {"2", l + 94, t - 80, value},
      {"Tracks:", l, t - 96, label},
      {"3", l + 74, t - 96, value},
      {"Size in sectors:", l, t - 112, label},
      {"11900", l + 164, t - 112, value},
      {"Track information", indent, headingY, label},
      {"Session 1", indent, firstBadge, kInfoBadgeTextColour},
      {"Track 01:", rowX, firstRow, label},
      {"Type: Data, LBA: 0, Size: 1000", rowX + 94, firstRow, value},
      {"Pregap:", rowX, firstRow - 16, label},
      {"Type: Audio, LBA: 1000, Size: 150", rowX + 74, firstRow - 16, value},
      {"Track 02:", rowX, firstRow - 32, label},
      {"Type: Audio, LBA: 1150, Size: 2000", rowX + 94, firstRow - 32, value},
      {"Session 2", indent, secondBadge, kInfoBadgeTextColour},
      {"Track 03:", rowX, lastRow, label},
      {"Type: Data, LBA: 11400, Size: 500", rowX + 94, lastRow, value},
  };
  EXPECT_EQ(expected, Runs(target.canvas));
  EXPECT_EQ(lastRow - 16, bottom);
  // Measured from 0 the height is the distance down to that point.
  EXPECT_EQ(static_cast<i32>(top - bottom), DiscInfoRowsHeight(font.font, heading, info));

  const std::vector<DrawnRecord> all = ReadRecords(target.canvas);
  const std::vector<DrawnRecord> badges = RecordsOf(all, kOpRoundRect);
  ASSERT_EQ(2u, badges.size());
  EXPECT_EQ(indent - 2, badges[0].x0);
  EXPECT_EQ(firstBadge - 2, badges[0].y0);
  EXPECT_EQ(firstBadge + size + 2, badges[0].y1);
  EXPECT_EQ(secondBadge - 2, badges[1].y0);
  EXPECT_EQ(kSessionBadgeColour, badges[1].colour);
  const std::vector<DrawnRecord> rules = RecordsOf(all, kOpRect);
  ASSERT_EQ(1u, rules.size());
  EXPECT_EQ(left, rules[0].x0);
  EXPECT_EQ(right, rules[0].x1);
  EXPECT_EQ(headingY - 3, rules[0].y0);
}

// Without a medium only the name and the profile; a blank disc shows its
// recordable size instead of a capacity; a track that starts before the
// previous end has no pregap row; without a drive nothing at all.
TEST_F(InfoRows, RowsLeftOutForWhatTheDiscDoesNotHave) {
  DiscInfo empty;
  EXPECT_EQ(100.0, WriteDiscInfoRows(&target.canvas, font.font, 11, empty, 0, 500, 100));
  EXPECT_EQ(0, DiscInfoRowsHeight(font.font, 11, empty));
  EXPECT_TRUE(Runs(target.canvas).empty());

  DiscInfo none;
  none.driveName.Assign(u"E:");
  none.profileName = {u"None", 4};
  EXPECT_EQ(100 - 8 - 2 * 16 - 11, WriteDiscInfoRows(&target.canvas, font.font, 11, none, 0, 500, 100));
  std::vector<std::string> texts;
  for (const TextAt& r : Runs(target.canvas)) texts.push_back(r.text);
  EXPECT_EQ((std::vector<std::string>{"Name:", "E:", "Profile:", "None"}), texts);

  target.canvas.Reset();
  DiscInfo blank;
  blank.driveName.Assign(u"E:");
  blank.profile = 0x09;
  blank.profileName = {u"CD-R", 4};
  blank.erasable = true;
  blank.availableSize = 359847;
  DiscTrackRecord overlap = {0, 10, 1, 900, 100, 1000, 1000};
  blank.records.Add(overlap);
  blank.records.Add(DiscTrackRecord{0, kLeadOutTrack, 1, 1000, 0, 1000, 1000});
  WriteDiscInfoRows(&target.canvas, font.font, 11, blank, 0, 500, 100);
  texts.clear();
  for (const TextAt& r : Runs(target.canvas)) texts.push_back(r.text);
  EXPECT_EQ((std::vector<std::string>{"Name:", "E:", "Profile:", "CD-R", "Erasable:", "Yes",
                                      "Available size in sectors:", "359847", "Track information", "Session 1",
                                      "Track 10:", "Type: Audio, LBA: 900, Size: 100"}),
            texts);
}

// The device page from the top down: the identification rows three heading
// steps under the top (an empty value leaves no row), the legend right-
// aligned one size in from the right edge with a swatch 4 pixels before
// each text, each group's heading and rule, and its chips 6 pixels apart,
// one that would pass the right edge by one pixel starting the next line.
TEST_F(InfoRows, DeviceRowsLegendAndChipsWrapOnePixelPastTheEdge) {
  CFont* heading = font.AcquireTaller(21, 16);
  ASSERT_TRUE(heading);
  ASSERT_EQ(12.0, heading->size);
  DeviceInfo info;
  info.vendor.Assign(u"KV");
  info.product.Assign(u"P1");
  info.firmware.Assign(u"1.0");
  info.bufferKb = 2048;
  info.serial.Assign(u"S9");
  info.features.features[0x0042] = 1;  // TSR
  info.features.features[0x0101] = 1;  // SMART
  info.features.features[0x010D] = 1;  // AACS
  const u32 label = kLabelColour, value = kInfoValueColour, white = kInfoBadgeTextColour;
  // TSR 8..38, SMART 44..94, AACS 100..140.
  for (const double right : {140.0, 139.0}) {
    SCOPED_TRACE(right);
    target.canvas.Reset();
    target.canvas.SetFont(font.font);
    target.canvas.textColour = kLabelColour;
    PaintDeviceInfo(target.canvas, heading, font.font, info, 0, 0, right, 400);
    std::vector<TextAt> texts = Runs(target.canvas);
    ASSERT_FALSE(texts.empty());
    // The heading, centred above the rows (wrapped in a column this narrow).
    std::string title;
    while (!texts.empty() && texts[0].y > 346) {
      title += (title.empty() ? "" : " ") + texts[0].text;
      texts.erase(texts.begin());
    }
    EXPECT_EQ("Device Information", title);
    const bool wraps = right < 140;
    const double aacsX = wraps ? 8 : 100, aacsY = wraps ? 206 - 14 : 206;
    const std::vector<TextAt> expected = {
        {"Vendor identification:", 0, 346, label},
        {"KV", 224, 346, value},
        {"Product identification:", 0, 330, label},
        {"P1", 234, 330, value},
        {"Firmware version:", 0, 314, label},
        {"1.0", 174, 314, value},
        {"Buffer capacity:", 0, 298, label},
        {"2048 KB", 164, 298, value},
        {"Serial number:", 0, 282, label},
        {"S9", 144, 282, value},
        {"Read/Write", right - 108, 254, value},
        {"Read only", right - 218, 254, value},
        {"CD features", 8, 254, label},
        {"Other features", 8, 222, label},
        {"TSR", 8, 206, white},
        {"SMART", 44, 206, white},
        {"AACS", aacsX, aacsY, white},
    };
    EXPECT_EQ(expected, texts);
    const std::vector<DrawnRecord> all = ReadRecords(target.canvas);
    const std::vector<DrawnRecord> boxes = RecordsOf(all, kOpRoundRect);
    ASSERT_EQ(5u, boxes.size());
    // The swatches: size x size, 4 pixels before their texts.
    EXPECT_EQ(right - 120, boxes[0].x0);
    EXPECT_EQ(right - 112, boxes[0].x1);
    EXPECT_EQ(254.0, boxes[0].y0);
    EXPECT_EQ(262.0, boxes[0].y1);
    EXPECT_EQ(kChipReadWriteColour, boxes[0].colour);
    EXPECT_EQ(right - 230, boxes[1].x0);
    EXPECT_EQ(right - 222, boxes[1].x1);
    EXPECT_EQ(kChipReadOnlyColour, boxes[1].colour);
    // The last chip's badge.
    EXPECT_EQ(aacsX - 2, boxes[4].x0);
    EXPECT_EQ(aacsX + 42, boxes[4].x1);
    EXPECT_EQ(aacsY - 2, boxes[4].y0);
    EXPECT_EQ(kChipFeatureColour, boxes[4].colour);
    const std::vector<DrawnRecord> rules = RecordsOf(all, kOpRect);
    ASSERT_EQ(2u, rules.size());
    EXPECT_EQ(251.0, rules[0].y0);
    EXPECT_EQ(219.0, rules[1].y0);
    EXPECT_EQ(right, rules[1].x1);
    EXPECT_EQ(font.font, target.canvas.font);
    EXPECT_EQ(kLabelColour, target.canvas.textColour);
  }
  heading->Release();
}
