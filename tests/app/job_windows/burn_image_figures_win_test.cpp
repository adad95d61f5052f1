// The burn-image window's figures for images whose figures are as long as
// they get: 100 GB (a Blu-ray image's size and sector count), a volume label
// of 32 characters (as long as ISO 9660 allows) and both, in English and in
// Spanish. Read from a fresh paint of the window as the path typed into it
// left it: each pair of a heading and its value drawn alone gives the pair's
// ink, and no two pairs' ink meet, none leaves the window's content or
// reaches a control shown there; the size and the sector count show whole,
// a label that does not fit ends with "...".
#include <gtest/gtest.h>

// First: the canvas's DrawText is not the window system's macro.
#include "runtime/win.h"

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "app/job_windows/burn_image_window.h"
#include "support/language_scope.h"
#include "support/recorder_fixture.h"
#include "tests/app/job_windows/burn_image_window_steps_win.h"
#include "tests/app/job_windows/control_rects.h"
#include "tests/app/job_windows/sparse_file_win.h"
#include "ui/support/display_list_reader.h"
#include "ui/support/memory_canvas.h"

namespace {

constexpr u64 k100Gb = 100ull << 30;

// Where a pair's pixels are (content coordinates, y up, ends excluded) and
// what its text runs say.
struct PaintedPair {
  Rect ink = {0, 0, 0, 0};
  double x = 0;  // the heading's pen
  std::u16string heading, value;
};

bool Meet(const Rect& a, const Rect& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

std::string Narrow(const std::u16string& s) { return std::string(s.begin(), s.end()); }

// The window's content painted afresh, its text runs gathered into pairs
// (a heading in the window's big font and what follows it), and each pair
// drawn alone into an empty canvas for its ink.
std::vector<PaintedPair> PaintPairs(CBurnImageWindow& window) {
  CLockGuard hold(window.lock);
  const Rect content = window.GetContentRect();
  CMemoryCanvas fresh(content.right, content.bottom);
  window.PaintDecoration(fresh.canvas);
  std::vector<std::vector<DrawnRecord>> runs;
  for (const DrawnRecord& r : RecordsOf(ReadRecords(fresh.canvas), kOpTextRun)) {
    if (r.font == window.bigFont.Get() || runs.empty()) runs.emplace_back();
    runs.back().push_back(r);
  }
  // Room all round, so that ink beyond the content shows too.
  const i32 w = content.right, h = content.bottom;
  std::vector<PaintedPair> pairs;
  for (const std::vector<DrawnRecord>& pair : runs) {
    CMemoryCanvas alone(3 * w, 3 * h);
    PaintedPair p;
    p.x = pair[0].x0;
    p.heading = pair[0].text;
    for (size_t i = 1; i < pair.size(); ++i) p.value += pair[i].text;
    for (const DrawnRecord& r : pair) {
      alone.canvas.SetFont(const_cast<CFont*>(r.font));
      alone.canvas.textColour = r.colour;
      alone.canvas.DrawText(r.x0 + w, r.y0 + h, r.text.c_str(), static_cast<i32>(r.text.size()));
    }
    alone.Flush();
    i32 x0 = 3 * w, y0 = 3 * h, x1 = -1, y1 = -1;
    for (i32 y = 0; y < 3 * h; ++y)
      for (i32 x = 0; x < 3 * w; ++x)
        if (alone.pixels[static_cast<size_t>(y) * 3 * w + x]) {
          x0 = std::min(x0, x), x1 = std::max(x1, x);
          y0 = std::min(y0, y), y1 = std::max(y1, y);
        }
    if (x1 >= 0) p.ink = {x0 - w, y0 - h, x1 + 1 - w, y1 + 1 - h};
    pairs.push_back(p);
  }
  return pairs;
}

// The value as shown: whole, or its start with "..." after it.
bool WholeOrShortened(const std::u16string& shown, const std::u16string& value) {
  if (shown == value) return true;
  const size_t n = shown.size();
  return n >= 3 && shown.compare(n - 3, 3, u"...") == 0 && value.compare(0, n - 3, shown, 0, n - 3) == 0;
}

class BurnImageFiguresTest : public RecorderTest {
 protected:
  CScratchSettingsRoot root_{L"figures"};
};

TEST_F(BurnImageFiguresTest, TheFiguresKeepApartInsideTheWindow) {
  Attach();
  Insert(MediumPreset::kCdR);
  CDriveManager manager;
  const CSparseFile big(nullptr, k100Gb);
  const CSparseFile bigLabelled(L"fixtures\\iso\\long_label.iso", k100Gb);
  ASSERT_NE(nullptr, big.Path());
  ASSERT_NE(nullptr, bigLabelled.Path());
  const std::u16string label = u"UBUNTU_22_04_3_LTS_AMD64_DESKTOP";
  const std::u16string size100Gb = u"107.374.182.400 bytes (100.00 GB)";
  const struct {
    const char* name;
    const char16_t* path;
    bool hundredGb;  // what the image is: 100 GB or not, its label
    std::u16string label;
  } images[] = {
      {"100 GB", big.Path(), true, u""},
      {"a 32-character label", u"fixtures/iso/long_label.iso", false, label},
      {"100 GB with a 32-character label", bigLabelled.Path(), true, label},
  };
  for (const u32 language : {kLanguageEnglish, kLanguageSpanish}) {
    CLanguageScope scope(language);
    // One window, the images' paths typed one after the other.
    BurnRequest request;
    CBurnImageWindow w(manager, &request, true);
    ASSERT_TRUE(OpenOverImage(w, root_, images[0].path));
    for (const auto& image : images) {
      SCOPED_TRACE(testing::Message() << image.name << (language == kLanguageEnglish ? ", English" : ", Spanish"));
      w.imagePath.SetText(image.path);
      PumpPending();
      if (image.hundredGb) {
        ASSERT_EQ(size100Gb, std::u16string(w.sizeText.c_str()));
      }
      ASSERT_EQ(image.label, std::u16string(w.labelText.c_str()));
      const std::vector<PaintedPair> pairs = PaintPairs(w);
      ASSERT_EQ(image.label.empty() ? 2u : 4u, pairs.size());

      const Rect content = w.GetContentRect();
      std::vector<Rect> shown;  // the controls the window shows
      std::apply([&](auto&... child) { ((child.IsVisible() ? shown.push_back(Corners(child)) : void()), ...); },
                 w.Children());
      ASSERT_TRUE(w.infoHeading.IsVisible());
      for (size_t i = 0; i < pairs.size(); ++i) {
        const PaintedPair& p = pairs[i];
        SCOPED_TRACE(Narrow(p.heading + u" " + p.value));
        ASSERT_LT(p.ink.left, p.ink.right) << "nothing drawn";
        EXPECT_TRUE(p.ink.left >= 0 && p.ink.top >= 0 && p.ink.right <= content.right &&
                    p.ink.bottom <= content.bottom)
            << "ink " << p.ink.left << ".." << p.ink.right << " x " << p.ink.top << ".." << p.ink.bottom
            << " leaves the content 0.." << content.right << " x 0.." << content.bottom;
        for (size_t j = i + 1; j < pairs.size(); ++j)
          EXPECT_FALSE(Meet(p.ink, pairs[j].ink))
              << "drawn over by \"" << Narrow(pairs[j].heading + u" " + pairs[j].value) << "\": ink " << p.ink.left
              << ".." << p.ink.right << " and " << pairs[j].ink.left << ".." << pairs[j].ink.right;
        for (const Rect& c : shown)
          EXPECT_FALSE(Meet(p.ink, c)) << "runs into the control at " << c.left << ", " << c.top << ", " << c.right
                                       << ", " << c.bottom;
      }
      // Size and sectors whole on the first line, the left pairs where the
      // window's table puts them and the right ones no further left.
      EXPECT_EQ(std::u16string(w.sizeText.c_str()), pairs[0].value);
      EXPECT_EQ(std::u16string(w.sectorsText.c_str()), pairs[1].value);
      EXPECT_EQ(30.0, pairs[0].x);
      EXPECT_LE(double(content.right / 2 + 10), pairs[1].x);
      if (pairs.size() == 4) {
        EXPECT_TRUE(WholeOrShortened(pairs[2].value, image.label)) << Narrow(pairs[2].value);
        EXPECT_TRUE(WholeOrShortened(pairs[3].value, std::u16string(w.fsText.c_str()))) << Narrow(pairs[3].value);
        EXPECT_EQ(30.0, pairs[2].x);
        EXPECT_EQ(double(content.right / 2 + 10), pairs[3].x);
      }
    }
    w.CancelAndClose();
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(static_cast<HWND>(w.Handle())); }));
  }
  EXPECT_EQ(0u, io_.OpenHandleCount());
}

}  // namespace
