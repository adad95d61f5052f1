// The audio project page on a fake owner with its own platform table:
// layout of the column, the track rows and their pause field, the 99-track
// limit, totals at the CD size edges, the context menu's "Remove all" from
// a row's own handler, and the burn's request over a snapshot of the rows.
#include "app/pages/audio_project_page.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "app/commands/main_menu.h"
#include "tests/app/pages/track_measure_by_name.h"
#include "ui/support/drop_blocks.h"
#include "ui/support/display_list_reader.h"
#include "ui/support/fake_owner.h"
#include "ui/support/memory_canvas.h"
#include "ui/support/recording_theme_painter.h"
#include "ui/views/widget_paint.h"

namespace {

std::vector<AudioRefusal> g_refusals;
i32 g_popupAnswer = -1;
std::vector<std::vector<u8>> g_popupStates;  // enabled bits of each popup's items

void FakeRefusal(AudioRefusal why) { g_refusals.push_back(why); }
i32 FakePopup(CMenuModel* model, i32, i32, const CImageStrip*, const CImageStrip*, IPopupMenuOwner*) {
  std::vector<u8> states;
  for (i32 i = 0; i < model->count; ++i) states.push_back(model->GetItem(i)->flags & kMenuEnabled);
  g_popupStates.push_back(states);
  return g_popupAnswer;
}

class COwner : public CFakeOwnerOf<COwner> {
 public:
  COwner() { menu = BuildMainMenu(&storage); }
  auto Children() { return std::tie(page); }
  bool ClosePage(CPageHolder*) { return ++closes, true; }
  bool RunProjectBurn(BurnRequest& request) {
    burns.push_back(request.options);
    titles.push_back(request.titleId);
    sources.push_back(request.projectSource);
    std::vector<TrackExtent> layout;
    for (const TrackList& session : request.sessions) layout.insert(layout.end(), session.begin(), session.end());
    layouts.push_back(layout);
    return cueCounts.push_back(request.cueSheets.GetCount() ? request.cueSheets[0].count : 0), true;
  }
  MainMenuStorage storage;
  CMenuModel* menu = nullptr;
  CAudioProjectPage<COwner> page;
  int closes = 0;
  std::vector<u8> burns;
  std::vector<u32> titles;
  std::vector<IBurnSource*> sources;
  std::vector<u32> cueCounts;
  std::vector<std::vector<TrackExtent>> layouts;  // every session's extents of each burn
};

typedef CAudioProjectPage<COwner> Page;
typedef Page::Row Row;

bool Enabled(CMenuModel* menu, i32 id) {
  for (i32 i = 0; i < menu->count; ++i) {
    MenuItem* item = menu->GetItem(i);
    if (item->id == id && item->CanBeEnabled()) return (item->flags & kMenuEnabled) != 0;
    if (CMenuModel* sub = CMenuModel::AsSubmenu(item))
      for (i32 j = 0; j < sub->count; ++j)
        if (sub->GetItem(j)->id == id) return (sub->GetItem(j)->flags & kMenuEnabled) != 0;
  }
  return false;
}

std::string Ascii(const CWideString& s) {
  std::string out;
  for (i32 i = 0; i < s.GetLength(); ++i) out.push_back(static_cast<char>(s.At(i)));
  return out;
}

class AudioProjectPageTest : public ::testing::Test {
 protected:
  AudioProjectPageTest() : saved_(AudioServices()) {
    g_refusals.clear();
    g_popupStates.clear();
    g_popupAnswer = -1;
    AudioServices().measure = &MeasureTrackByName;
    AudioServices().tellRefusal = &FakeRefusal;
    previousRunner_ = SetPopupMenuRunner(&FakePopup);
    const Rect r = {0, 0, 1000, 500};
    owner.page.Create(kFlagVisible | 0x2, &r, &owner);
  }
  ~AudioProjectPageTest() {
    SetPopupMenuRunner(previousRunner_);
    AudioServices() = saved_;
    StoreFocusedWidget(nullptr);
    SetPressedWidget(nullptr);
  }
  COwner owner;
  Page& page = owner.page;

 private:
  AudioProjectServices saved_;
  PopupMenuRunner previousRunner_ = nullptr;
};

}  // namespace

// The 400-pixel column is centred with its left edge rounded toward zero;
// the band's controls stand at their places in it.
TEST_F(AudioProjectPageTest, ColumnLayout) {
  const struct {
    i32 width;
    i32 left;
  } cases[] = {{1000, 300}, {401, 0}, {399, 0}, {398, -1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.width);
    EXPECT_EQ(c.left, AudioColumnLeft(c.width));
    page.SetBounds(0, 0, c.width, 500);
    const Rect content = page.GetContentRect();
    EXPECT_EQ(AudioColumnLeft(content.right), (content.right - 400) / 2);
    const i32 l = AudioColumnLeft(content.right), h = content.bottom;
    EXPECT_EQ(l + 4, page.trackList.x);
    EXPECT_EQ(20, page.trackList.y);
    EXPECT_EQ(392, page.trackList.width);
    EXPECT_EQ(h - 89, page.trackList.height);
    EXPECT_EQ(l + 4, page.gauge.x);
    EXPECT_EQ(h - 57, page.gauge.y);
    EXPECT_EQ(l + 396 - 22, page.menuBar.x);
    EXPECT_EQ(h - 54 + page.gauge.height, page.menuBar.y);
    EXPECT_EQ(content.right - 24, page.closeButton.x);
  }
  // Laid out again at the same size, nothing is repainted.
  owner.repaints.clear();
  page.SetBounds(0, 0, 398, 500);
  EXPECT_TRUE(owner.repaints.empty());
}

// Readable files become rows in order, unreadable ones are left out
// silently, and a 100th track is refused with one message per drop.
TEST_F(AudioProjectPageTest, TracksUpTo99) {
  std::vector<std::u16string> names = {u"one_75", u"bad_10", u"two_150"};
  for (int i = 0; i < 100; ++i) names.push_back(u"more_" + std::u16string(1, u'1' + i % 9));
  const std::string block = drop_blocks::WideList(names);
  CDroppedFiles files;
  ASSERT_TRUE(files.Load(block.data(), static_cast<u32>(block.size())));
  EXPECT_FALSE(Enabled(owner.menu, kCmdBurnProject));
  page.AddFiles(&files);
  ASSERT_EQ(99u, page.trackList.rows.GetCount());
  EXPECT_EQ(std::vector<AudioRefusal>{AudioRefusal::kTooManyTracks}, g_refusals);
  EXPECT_EQ("one_75", Ascii(page.trackList.rows[0]->fileName));
  EXPECT_EQ("two_150", Ascii(page.trackList.rows[1]->fileName));
  EXPECT_EQ("00:01", Ascii(page.trackList.rows[0]->lengthText));
  EXPECT_EQ(page.trackList.rows.GetCount(), page.trackList.holders.GetCount());
  EXPECT_EQ(99 * 56 - 4, page.trackList.contentHeight);
  EXPECT_TRUE(Enabled(owner.menu, kCmdBurnProject));
  EXPECT_TRUE(Enabled(owner.menu, kCmdSave));
  EXPECT_FALSE(page.AddTrack(u"late_75"));
  // Rows stand 56 pixels apart from the top of the content.
  const Row* first = page.trackList.rows[0];
  const Row* second = page.trackList.rows[1];
  EXPECT_EQ(56, first->y - second->y);
  EXPECT_EQ(52, first->height);
}

// The totals at the edge of the 74-minute CD: 333000 sectors still fit it
// with the gauge just below full, one more needs the 80-minute CD.
TEST_F(AudioProjectPageTest, TotalsAtTheCdSizeEdge) {
  ASSERT_TRUE(page.AddTrack(u"a_166350"));
  ASSERT_TRUE(page.AddTrack(u"b_166500"));
  page.trackList.rows[0]->pauseField.SetText(u"2");  // 150 frames
  EXPECT_EQ(333000u, page.total);
  EXPECT_EQ("CD 74 min - Time:", Ascii(page.trackList.capacityText));
  EXPECT_EQ("74:00", Ascii(page.trackList.totalText));
  EXPECT_LT(page.gauge.value, 1.0);
  EXPECT_GT(page.gauge.value, 0.99999);
  // Without a pause of its own the first track still has its pregap.
  page.trackList.rows[0]->pauseField.SetText(u"0");
  EXPECT_EQ(333000u, page.total);
  ASSERT_TRUE(page.AddTrack(u"c_1"));
  EXPECT_EQ(333001u, page.total);
  EXPECT_EQ("CD 80 min - Time:", Ascii(page.trackList.capacityText));
}

// The disc holds the first track's 2 s pregap whatever its pause says, so
// the CD size and the time count it; the time's seconds are cut, not
// rounded; a total beyond 32 bits stays beyond every CD.
TEST_F(AudioProjectPageTest, TotalsCountTheFirstPregapAndCutTheSeconds) {
  struct Case {
    std::vector<const char16_t*> files;
    const char16_t* firstPause;  // null: as added (none)
    u32 total;
    const char* size;
    const char* time;
  } cases[] = {
      {{u"a_74"}, nullptr, 224, "CD 21 min", "00:02"},
      {{u"a_75"}, nullptr, 225, "CD 21 min", "00:03"},
      {{u"a_332850"}, nullptr, 333000, "CD 74 min", "74:00"},
      {{u"a_332851"}, nullptr, 333001, "CD 80 min", "74:00"},
      {{u"a_332850"}, u"1", 333000, "CD 74 min", "74:00"},
      {{u"a_332850"}, u"3", 333075, "CD 80 min", "74:01"},
      {{u"a_166350", u"b_166500"}, nullptr, 333000, "CD 74 min", "74:00"},
      {{u"a_4294967295", u"b_2"}, nullptr, 0xFFFFFFFFu, "CD ??? min", "954437:10"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.total);
    page.RemoveAllTracks();
    for (const char16_t* file : c.files) ASSERT_TRUE(page.AddTrack(file));
    if (c.firstPause) page.trackList.rows[0]->pauseField.SetText(c.firstPause);
    EXPECT_EQ(c.total, page.total);
    EXPECT_EQ(std::string(c.size) + " - Time:", Ascii(page.trackList.capacityText));
    EXPECT_EQ(c.time, Ascii(page.trackList.totalText));
  }
}

// Typed characters other than digits are dropped; the pause is the
// seconds x 75; more than 999 is cut to 999 and shown so; an empty field
// keeps the pause it had.
TEST_F(AudioProjectPageTest, PauseField) {
  ASSERT_TRUE(page.AddTrack(u"a_75"));
  Row* row = page.trackList.rows[0];
  row->pauseField.SetText(u"");
  for (char16_t c : u"12a") row->pauseField.OnChar(c, 1, 0);
  EXPECT_EQ("12", Ascii(row->pauseField.Text()));
  EXPECT_EQ(900u, row->pauseFrames);
  row->pauseField.SetText(u"1234");
  EXPECT_EQ(74925u, row->pauseFrames);
  EXPECT_EQ("999", Ascii(row->pauseField.Text()));
  row->pauseField.SetText(u"");
  EXPECT_EQ(74925u, row->pauseFrames);
  EXPECT_EQ(74925u + 75u, page.total);
}

// The row buttons: up and down exchange neighbours in the rows and the
// holders, the ends change nothing; remove takes one row out.
TEST_F(AudioProjectPageTest, RowCommands) {
  for (const char16_t* n : {u"a_1", u"b_2", u"c_3"}) ASSERT_TRUE(page.AddTrack(n));
  auto order = [&] {
    std::string s;
    for (Row* r : page.trackList.rows) s += static_cast<char>(r->fileName.At(0));
    for (u32 i = 0; i < page.trackList.holders.GetCount(); ++i)
      EXPECT_EQ(page.trackList.rows[i], page.trackList.holders[i]->Widget());
    return s;
  };
  Row* a = page.trackList.rows[0];
  Row* c = page.trackList.rows[2];
  const i32 topY = a->y;
  page.MoveTrackUp(a);
  page.MoveTrackDown(c);
  EXPECT_EQ("abc", order());
  page.MoveTrackDown(a);
  EXPECT_EQ("bac", order());
  EXPECT_EQ(topY - 56, a->y);
  page.MoveTrackUp(c);
  EXPECT_EQ("bca", order());
  page.RemoveTrack(page.trackList.rows[1]);
  EXPECT_EQ("ba", order());
  EXPECT_EQ(150u + 3u, page.total);  // with the first track's pregap
}

// "Remove all" chosen in the context menu a row opened from its own
// handler: the rows leave the list at once but stay alive until the posted
// step frees them; with nothing to paste or remove both entries are grey.
TEST_F(AudioProjectPageTest, RemoveAllFromARowsContextMenu) {
  page.ShowContextMenu();
  ASSERT_EQ(1u, g_popupStates.size());
  EXPECT_EQ((std::vector<u8>{0, 0}), g_popupStates[0]);
  for (const char16_t* n : {u"a_1", u"b_2"}) ASSERT_TRUE(page.AddTrack(n));
  Row* row = page.trackList.rows[0];
  g_popupAnswer = static_cast<i32>(kCmdRemoveAll);
  row->OnRButtonUp(0, nullptr);
  EXPECT_EQ((std::vector<u8>{0, 1}), g_popupStates[1]);
  EXPECT_EQ(0u, page.trackList.rows.GetCount());
  EXPECT_EQ(0u, page.trackList.holders.GetCount());
  EXPECT_EQ(2u, page.trackList.RemovedRowCount());
  EXPECT_FALSE(row->IsVisible());  // still a valid object inside its handler
  EXPECT_EQ(0u, page.total);
  page.FreeRemovedRows();
  EXPECT_EQ(0u, page.trackList.RemovedRowCount());
}

// Burning builds the request over a snapshot: the audio option, the title,
// the page's source with the rows' tracks; editing the project afterwards
// leaves the snapshot as it was.
TEST_F(AudioProjectPageTest, BurnRequestOverASnapshot) {
  page.OnCommand(kCmdBurnProject);
  EXPECT_TRUE(owner.burns.empty());  // nothing to burn
  for (const char16_t* n : {u"a_1000", u"b_500", u"c_250"}) ASSERT_TRUE(page.AddTrack(n));
  page.trackList.rows[1]->pauseField.SetText(u"2");
  page.MoveTrackUp(page.trackList.rows[2]);  // a, c, b on the disc
  page.OnCommand(kCmdBurnProject);
  ASSERT_EQ(1u, owner.burns.size());
  EXPECT_EQ(kOptionAudioProject, owner.burns[0] & kOptionAudioProject);
  EXPECT_EQ(206u, owner.titles[0]);
  EXPECT_EQ(&page.Source(), owner.sources[0]);
  EXPECT_EQ(7u, owner.cueCounts[0]);
  // The rows' extents in the order shown, from the first track's 2 s
  // pregap on: b keeps its own pause behind c; every extent audio, none
  // marked CD-only.
  const struct {
    i32 start;
    u32 count;
    u8 content;
  } expected[] = {{-150, 150, 0}, {0, 1000, 1}, {1000, 250, 1}, {1250, 150, 0}, {1400, 500, 1}};
  ASSERT_EQ(5u, owner.layouts[0].size());
  for (size_t i = 0; i < 5; ++i) {
    const TrackExtent& e = owner.layouts[0][i];
    EXPECT_TRUE(e.start == expected[i].start && e.sectorCount == expected[i].count && e.content == expected[i].content)
        << i << ": " << e.start << " " << e.sectorCount;
    EXPECT_TRUE(e.sectorSize == 2352 && e.mode2Form1 == 0 && e.cdOnly == 0) << i;
  }
  page.RemoveAllTracks();
  ASSERT_EQ(3u, page.Source().TrackCount());
  EXPECT_EQ(500u, page.Source().Track(2).sectors) << "the snapshot in disc order";
  u64 size = 0;
  page.Source().GetSize(&size);
  EXPECT_EQ(1750u * 2352u, size);
}

// Each row's buttons at their corners (remove at the upper right, up and
// down at the lower right) reach the page through the row: up and down
// move that row one place in their own direction, every row then stands
// 56 pixels under the one before it from the top of the content; remove
// takes out only the row clicked.
TEST_F(AudioProjectPageTest, RowButtonsMoveTheirOwnRowEachWay) {
  for (const char16_t* n : {u"a_75", u"b_150", u"c_225", u"d_300"}) ASSERT_TRUE(page.AddTrack(n));
  CAudioTrackList<Page>& list = page.trackList;
  const i32 top = list.viewHeight > list.contentHeight ? list.viewHeight : list.contentHeight;
  auto order = [&] {
    std::string s;
    for (u32 i = 0; i < list.rows.GetCount(); ++i) {
      Row* r = list.rows[i];
      s += static_cast<char>(r->fileName.At(0));
      EXPECT_EQ(r, list.holders[i]->Widget());
      EXPECT_EQ(top - static_cast<i32>(i) * 56 - 52, r->y) << "row " << i;
      EXPECT_EQ(0, r->x);
      EXPECT_EQ(list.viewWidth, r->width);
      EXPECT_EQ(52, r->height);
    }
    return s;
  };
  auto click = [](CButton<Row>& button) { button.click.Call(button.parent); };
  Row* b = list.rows[1];
  EXPECT_EQ(b->width - 20, b->removeButton.x);
  EXPECT_EQ(b->height - 20, b->removeButton.y);
  EXPECT_EQ(b->width - 38, b->upButton.x);
  EXPECT_EQ(4, b->upButton.y);
  EXPECT_EQ(b->width - 20, b->downButton.x);
  EXPECT_EQ(4, b->downButton.y);
  EXPECT_EQ(b->removeButton.x + b->removeButton.width, b->width - 4);  // 4 from the right edge
  EXPECT_EQ(b->upButton.x + b->upButton.width, b->downButton.x - 2);
  EXPECT_EQ("abcd", order());
  click(b->upButton);
  EXPECT_EQ("bacd", order());
  click(b->upButton);  // already first
  EXPECT_EQ("bacd", order());
  click(b->downButton);
  EXPECT_EQ("abcd", order());
  click(b->downButton);
  EXPECT_EQ("acbd", order());
  click(b->downButton);
  EXPECT_EQ("acdb", order());
  click(b->downButton);  // already last
  EXPECT_EQ("acdb", order());
  EXPECT_EQ(150u + 750u, page.total);  // with the first track's pregap
  Row* c = list.rows[1];
  click(c->removeButton);
  EXPECT_EQ("adb", order());
  EXPECT_FALSE(c->IsVisible());
  EXPECT_EQ(150u + 525u, page.total);
  EXPECT_EQ(3 * 56 - 4, list.contentHeight);
}

// The wheel over a track row's own area is the list's: it scrolls one row
// per notch, exactly as over the gap between two rows, and the list then
// follows the pointer at the same place in its own coordinates; a notch
// back up returns to the top. Over the row's pause field the edit takes the
// wheel and nothing scrolls.
TEST_F(AudioProjectPageTest, TheWheelOverARowScrollsTheListAsOverAGapButNotOverItsPauseField) {
  for (int i = 0; i < 12; ++i) ASSERT_TRUE(page.AddTrack(u"t_75"));
  CAudioTrackList<Page>& list = page.trackList;
  ASSERT_TRUE(list.flags & kFlagVScroll) << "more rows than the list shows";
  const double step = 56.0 / (list.contentHeight - list.viewHeight);
  const Rect second = list.rows[1]->ToWindowRect();
  const Rect pause = list.rows[1]->pauseField.ToWindowRect();
  const struct {
    const char* where;
    Point at;  // desktop
    bool scrolls;
  } cases[] = {
      {"on the second row, left of its label", {second.left + 3, second.top + 26}, true},
      {"on the second row, under its move buttons' line", {second.left + 200, second.top + 2}, true},
      {"in the gap under the second row", {second.left + 3, second.top - 2}, true},
      {"on the second row, just left of its pause field", {pause.left - 1, pause.top}, true},
      {"on the second row's pause field", {(pause.left + pause.right) / 2, (pause.top + pause.bottom) / 2}, false},
      {"on the pause field's first pixel", {pause.left, pause.top}, false},
      {"on the pause field's last pixel", {pause.right - 1, pause.bottom - 1}, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.where);
    list.positionY = 1.0;
    list.PlaceTrackRows();
    list.pointerPoint = {-1, -1};
    const std::u16string pauseText(list.rows[1]->pauseField.Text().c_str());
    EXPECT_TRUE(RouteMouseToChildren(page, c.at, MouseEvent{MouseKind::kWheel, 0, -120, 0}));
    EXPECT_EQ(pauseText, std::u16string(list.rows[1]->pauseField.Text().c_str()));
    if (!c.scrolls) {
      EXPECT_DOUBLE_EQ(1.0, list.positionY);
      EXPECT_EQ(-1, list.pointerPoint.x) << "the list did not follow the pointer";
      continue;
    }
    EXPECT_DOUBLE_EQ(1.0 - step, list.positionY);
    Point inList = c.at;
    list.WindowToLocal(&inList);
    EXPECT_EQ(inList.x, list.pointerPoint.x);
    EXPECT_EQ(inList.y, list.pointerPoint.y);
    // The rows moved up a row: the pointer is over the next one now.
    EXPECT_TRUE(RouteMouseToChildren(page, c.at, MouseEvent{MouseKind::kWheel, 0, 120, 0}));
    EXPECT_DOUBLE_EQ(1.0, list.positionY);
  }
}

// A middle press autoscrolls the track list as every scroll view, but the
// list draws no indicator at the anchor (the list views, the folder trees
// and the task view's pane do); its rows still move under the pointer.
TEST_F(AudioProjectPageTest, TheTrackListAutoscrollsWithoutAnIndicator) {
  for (int i = 0; i < 12; ++i) ASSERT_TRUE(page.AddTrack(u"t_75"));
  CAudioTrackList<Page>& list = page.trackList;
  ASSERT_TRUE(list.flags & kFlagVScroll);
  // In the gap under the second row: the rows take the presses over them.
  const Rect second = list.rows[1]->ToWindowRect();
  const Point at = {second.left + 100, second.top - 2};
  ASSERT_TRUE(RouteMouseToChildren(page, at, MouseEvent{MouseKind::kMiddleDown, kMouseMiddleButton, 0, 0}));
  ASSERT_TRUE(list.scrollState & kScrollAuto) << "the press started autoscroll in the list";
  Point below = list.anchorPoint;
  below.y -= 60;
  list.OnMouseMove(kMouseMiddleButton, &below);
  EXPECT_LT(list.velocityY, 0.0) << "toward the bottom";
  CMemoryCanvas memory(list.width, list.height);
  list.PaintContent(memory.canvas);
  EXPECT_TRUE(RecordsOf(ReadRecords(memory.canvas), kOpCircle).empty()) << "no disc, no dots";
  EXPECT_TRUE(RecordsOf(ReadRecords(memory.canvas), kOpRoundRect).empty()) << "no chevrons";
  list.EndAutoScroll(0, &below);
  EXPECT_FALSE(list.scrollState & kScrollAuto);
}

// The rows are painted through the list's page holders: each row's own
// painter, then its controls from the last declared to the first: the
// move-down and move-up buttons, the pause field, the remove button. A row
// scrolled out of the list's content and a hidden row draw nothing.
TEST_F(AudioProjectPageTest, RowsPaintTheirControlsInTheListsOrderAndOnlyInsideTheList) {
  for (int i = 0; i < 12; ++i) ASSERT_TRUE(page.AddTrack(u"t_75"));
  CAudioTrackList<Page>& list = page.trackList;
  list.positionY = 0.0;  // scrolled to the last row
  list.PlaceTrackRows();
  list.rows[11]->ModifyFlags(kFlagVisible, 0);
  CRecordingThemePainter painter;
  CMemoryCanvas memory(1000, 500);
  ::PaintClipped(page, memory.canvas);
  const std::vector<DrawnRecord> drawn = ReadRecords(memory.canvas);
  Point origin = {0, 0};
  owner.ToWindowPoint(&origin);
  auto onCanvas = [&](const CWidget& w) {
    Rect r = w.ToWindowRect();
    return Rect{r.left - origin.x, r.top - origin.y, r.right - origin.x, r.bottom - origin.y};
  };
  // The buttons' pictures drawn inside a row's box, in the order drawn.
  auto buttonsIn = [&](const Row* row) {
    const Rect box = onCanvas(*row);
    std::vector<i32> frames;
    for (const ThemeCall& c : painter.CallsOf('b'))
      if (c.originX >= box.left && c.originX < box.right && c.originY >= box.top && c.originY < box.bottom)
        frames.push_back(c.image);
    return frames;
  };
  // Where a filled shape over exactly the widget's box was recorded; -1
  // when none was.
  auto filledAt = [&](const CWidget& w) {
    const Rect box = onCanvas(w);
    for (size_t i = 0; i < drawn.size(); ++i)
      if (drawn[i].op == kOpRoundRect && drawn[i].x0 == box.left && drawn[i].y0 == box.top &&
          drawn[i].x1 == box.right && drawn[i].y1 == box.bottom)
        return static_cast<i32>(i);
    return -1;
  };
  for (u32 shown : {10u, 6u}) {
    SCOPED_TRACE(shown);
    const Row* row = list.rows[shown];
    EXPECT_EQ((std::vector<i32>{kTrackDownIcon, kTrackUpIcon, kTrackRemoveIcon}), buttonsIn(row));
    ASSERT_GE(filledAt(*row), 0);
    EXPECT_LT(filledAt(*row), filledAt(row->pauseField)) << "the row's own painter, then its pause field";
  }
  const Rect content = list.ToWindowRect();
  ASSERT_LT(content.bottom, list.rows[0]->ToWindowRect().top) << "the first row lies above the list";
  for (u32 away : {0u, 11u}) {
    SCOPED_TRACE(away);
    EXPECT_TRUE(buttonsIn(list.rows[away]).empty());
    EXPECT_EQ(-1, filledAt(*list.rows[away]));
    EXPECT_EQ(-1, filledAt(list.rows[away]->pauseField));
  }
}
