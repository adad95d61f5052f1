// The image's figures laid out in a font whose every character (the blank
// too) is 10 pixels wide, so each pair's extent is exact: a size too wide
// for the left column (as the window's fonts are on a screen of more dots
// per inch) moves the sectors right by just what it needs, as far as they
// still fit whole; past that the size ends with "...". The label line keeps
// the table's places and shortens its values. No pair reaches the next one
// or the right edge, 8 pixels in.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/job_windows/burn_image_window_figures.h"
#include "support/language_scope.h"
#include "ui/support/display_list_reader.h"
#include "ui/support/fixed_font.h"
#include "ui/support/memory_canvas.h"

namespace {

// A heading and its value as recorded: from the heading's pen to the end
// of the value's advance.
struct Extent {
  double left, right;
  std::u16string value;
};

TEST(BurnImageFigures, TheSectorsGiveWayToAWholeSizeAndNothingMeets) {
  CLanguageScope english(kLanguageEnglish);
  CFixedFontScope fonts;
  ASSERT_TRUE(fonts.font && fonts.tall);
  const CWideString size100Gb(u"107.374.182.400 bytes (100.00 GB)"), sizeSmall(u"1.474.560 bytes (1.41 MB)");
  const CWideString sectors(u"52.428.800"), label(u"UBUNTU_22_04_3_LTS_AMD64_DESKTOP"), none(u"");
  const CWideString fileSystems(u"ISO9660/UDF Bridge");
  // "Size: " 60 and a value of 330 or 250; "Sectors: 52.428.800" 190; the
  // least room between pairs 8.
  const struct {
    i32 width;
    const CWideString* size;
    const CWideString* label;
    double sectorsX;
    bool sizeWhole, labelWhole;
  } rows[] = {
      {1000, &sizeSmall, &label, 510, true, true},  // all at the table's places: 1000 / 2 + 10
      {800, &size100Gb, &label, 428, true, false},  // moved by what the size needs: 30 + 390 + 8
      {600, &size100Gb, &none, 402, false, false},  // as far as they stay whole: 600 - 8 - 190
  };
  // Whole, or a start of it with "..." after it.
  const auto expectShown = [](const CWideString& value, bool whole, const std::u16string& shown) {
    const std::u16string text = value.c_str();
    if (whole) {
      EXPECT_EQ(text, shown);
      return;
    }
    ASSERT_GT(shown.size(), 3u);
    EXPECT_EQ(text.substr(0, shown.size() - 3) + u"...", shown);
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.width);
    CMemoryCanvas target(row.width, 200);
    PaintBurnImageFigures(target.canvas, fonts.tall, fonts.font, row.width, 100,
                          BurnImageFigures{row.size, &sectors, row.label, &fileSystems});
    std::vector<Extent> pairs;
    for (const DrawnRecord& r : RecordsOf(ReadRecords(target.canvas), kOpTextRun)) {
      if (r.font == fonts.tall) pairs.push_back({r.x0, r.x0, u""});
      ASSERT_FALSE(pairs.empty());
      pairs.back().right = r.x0 + 10.0 * r.text.size();
      if (r.font == fonts.font) pairs.back().value = r.text;
    }
    ASSERT_EQ(row.label->GetLength() ? 4u : 2u, pairs.size());
    for (const Extent& p : pairs) EXPECT_LE(p.right, row.width - 8);
    EXPECT_LE(pairs[0].right + 8, pairs[1].left);
    EXPECT_EQ(30.0, pairs[0].left);
    EXPECT_EQ(row.sectorsX, pairs[1].left);
    EXPECT_EQ(u"52.428.800", pairs[1].value);
    expectShown(*row.size, row.sizeWhole, pairs[0].value);
    if (pairs.size() == 4) {
      EXPECT_LE(pairs[2].right + 8, pairs[3].left);
      EXPECT_EQ(30.0, pairs[2].left);
      EXPECT_EQ(double(row.width / 2 + 10), pairs[3].left);
      expectShown(label, row.labelWhole, pairs[2].value);
      EXPECT_EQ(u"ISO9660/UDF Bridge", pairs[3].value);
    }
  }
}

}  // namespace
