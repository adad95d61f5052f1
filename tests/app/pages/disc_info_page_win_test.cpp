// The disc information page over the simulated recorder: the rows it shows
// for each kind of disc, the track block with its sessions and pregaps, the
// replies it must not trust, its layout and scrolling, and the drive given
// back on every way out.
#include <gtest/gtest.h>

#include "app/pages/info_rows.h"
#include "tests/app/pages/info_pages_fixture.h"

namespace {

std::string Number(u64 n) { return std::to_string(n); }

class DiscInfoPageTest : public InfoPagesTest {
 protected:
  // The rows the page shows, read from its rows view's painting.
  std::vector<std::string> Rows(DiscPage& page) {
    CMemoryCanvas m(page.rows.width, page.rows.height > 4000 ? page.rows.height : 4000);
    page.PaintInfo(m.canvas);
    return TextRows(m.canvas, kInfoValueColour, kInfoBadgeTextColour);
  }
  std::string NameRow() { return "Name: " + Narrow(std::u16string(owner_->drives.GetName(0).c_str())); }
};

TrackContent Track(u32 blocks, bool audio = false, u32 pregap = 0) {
  TrackContent t;
  t.blocks = blocks;
  t.audio = audio;
  t.blockSize = audio ? 2352 : 2048;
  t.pregap = pregap;
  return t;
}

TEST_F(DiscInfoPageTest, RowsForEachKindOfDisc) {
  Attach();
  struct Case {
    const char* name;
    MediumOptions medium;
    std::vector<std::string> expected;  // after the name row; "*" stands for the size row
  };
  MediumOptions twoSessions;
  twoSessions.preset = MediumPreset::kCdR;
  twoSessions.fill = DiscFill::kComplete;
  // Session 2 starts after the lead-out and lead-in of session 1 (11400).
  twoSessions.sessions = {{Track(1000), Track(2000, true, 150)}, {Track(500)}};
  MediumOptions blank;
  blank.preset = MediumPreset::kCdR;
  MediumOptions plusRw;
  plusRw.preset = MediumPreset::kDvdPlusRw;
  plusRw.fill = DiscFill::kComplete;
  plusRw.sessions = {{Track(3000)}};
  MediumOptions bdR;
  bdR.preset = MediumPreset::kBdR;
  bdR.fill = DiscFill::kAppendable;
  bdR.sessions = {{Track(4000)}};
  const Case cases[] = {
      {"two-session CD",
       twoSessions,
       {"Profile: CD-R", "Status: Finalized", "State of last session: Complete", "Erasable: No", "Sessions: 2",
        "Tracks: 3", "Size in sectors: 15050", "Track information", "[Session 1]",
        "Track 01: Type: Data, LBA: 0, Size: 1000", "Pregap: Type: Audio, LBA: 1000, Size: 150",
        "Track 02: Type: Audio, LBA: 1150, Size: 2000", "[Session 2]", "Track 03: Type: Data, LBA: 14550, Size: 500"}},
      {"blank CD-R", blank, {"Profile: CD-R", "Status: Empty", "State of last session: Empty", "Erasable: No", "Sessions: 1",
                      "Tracks: 1", "*"}},
      {"DVD+RW", plusRw, {"Profile: DVD+RW", "*", "*", "Erasable: Yes", "*", "*", "*", "Track information",
                          "[Session 1]", "*"}},
      {"BD-R with room", bdR, {"Profile: BD-R", "Status: Incomplete", "State of last session: Empty",
                               "Erasable: No", "Sessions: 2", "Tracks: 2", "Size in sectors: 4000",
                               "Track information", "[Session 1]", "Track 01: Type: Data, LBA: 0, Size: 4000"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Insert(c.medium);
    DiscPage& page = OpenDiscPage();
    std::vector<std::string> rows = Rows(page);
    ASSERT_EQ(c.expected.size() + 1, rows.size()) << ::testing::PrintToString(rows);
    EXPECT_EQ(NameRow(), rows[0]);
    for (size_t i = 0; i < c.expected.size(); ++i) {
      if (c.expected[i] != "*") {
        EXPECT_EQ(c.expected[i], rows[i + 1]);
      }
    }
    // Nothing of the drive stays open.
    EXPECT_EQ(0u, io_.OpenHandleCount());
    owner_.reset();
  }
}

// The numbers that come from the medium's capacity rather than its tracks.
TEST_F(DiscInfoPageTest, BlankDiscShowsItsRecordableSizeAndRewritableItsFormattedSize) {
  Attach();
  Insert(MediumPreset::kCdR);
  DiscPage& blank = OpenDiscPage();
  ASSERT_FALSE(Rows(blank).empty());
  EXPECT_EQ("Available size in sectors: " + Number(recorder_.CapacityBlocks()), Rows(blank).back());
  EXPECT_EQ(0u, blank.info.records.GetCount());
  owner_.reset();
  MediumOptions plusRw;
  plusRw.preset = MediumPreset::kDvdPlusRw;
  plusRw.fill = DiscFill::kComplete;
  Insert(plusRw);
  DiscPage& page = OpenDiscPage();
  const std::vector<std::string> rows = Rows(page);
  u32 start = 0, size = 0, next = 0;
  ASSERT_TRUE(recorder_.TrackInfo(1, &start, &size, &next));
  EXPECT_EQ("Track 01: Type: Data, LBA: 0, Size: " + Number(size), rows.back());
  EXPECT_NE(rows.end(), std::find(rows.begin(), rows.end(), "Size in sectors: " + Number(recorder_.CapacityBlocks())));
}

// Replies that claim more than arrived, or that contradict each other.
TEST_F(DiscInfoPageTest, RepliesAreReadOnlyAsFarAsTheyArrived) {
  Attach();
  MediumOptions cd;
  cd.preset = MediumPreset::kCdRom;
  cd.sessions = {{Track(1000), Track(1000), Track(1000)}};
  Insert(cd);
  CDriveManager drives;
  struct Case {
    const char* name;
    u8 opcode;
    u32 occurrence;
    std::vector<u8> reply;
    u32 records;
    std::vector<std::string> expectedTail;
  };
  // A TOC whose length claims 0xFFFE bytes: only the two descriptors that
  // came are read.
  std::vector<u8> toc = {0xFF, 0xFE, 1, 1, 0, 0x14, 1, 0, 0, 0, 0, 0, 0, 0x14, 0xAA, 0, 0, 0, 0x03, 0xE8};
  // Track 1 said to be 5000 blocks long: track 2 at 1000 starts inside it,
  // which is no gap.
  std::vector<u8> track1(40, 0);
  track1[1] = 38;
  track1[2] = 1;
  track1[3] = 1;
  track1[27] = 0x88, track1[26] = 0x13;  // 5000
  // Track 2 said to run past the last address: its end must not wrap round
  // to before track 3.
  std::vector<u8> track2(track1);
  track2[2] = 2;
  track2[24] = track2[25] = track2[26] = 0xFF, track2[27] = 0xF0;
  const Case cases[] = {
      {"TOC longer than its bytes", mmc::kReadTocPmaAtip, 1, toc, 2, {"Track 01: Type: Data, LBA: 0, Size: 1000"}},
      {"overlapping sizes", mmc::kReadTrackInformation, 1, track1, 4,
       {"Track 01: Type: Data, LBA: 0, Size: 5000", "Track 02: Type: Data, LBA: 1000, Size: 1000",
        "Track 03: Type: Data, LBA: 2000, Size: 1000"}},
      {"size past the last address", mmc::kReadTrackInformation, 2, track2, 4,
       {"Track 02: Type: Data, LBA: 1000, Size: 4294967280", "Track 03: Type: Data, LBA: 2000, Size: 1000"}},
      {"capacity at the last address", mmc::kReadCapacity, 1, {0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 8, 0}, 4, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CHeldDrive drive(drives, 0);
    ASSERT_TRUE(drive);
    RecorderFault f;
    f.opcode = c.opcode;
    f.occurrence = c.occurrence;
    f.kind = FaultKind::kReply;
    f.bytes = c.reply;
    recorder_.ClearFaults();
    recorder_.AddFault(f);
    DiscInfo info;
    info.driveName.Assign(u"E:");
    ReadDiscInfo(*drive.Get(), &info);
    EXPECT_EQ(c.records, info.records.GetCount());
    std::vector<std::string> rows;
    {
      CMemoryCanvas m(480, 2000);
      CFontRef font(AcquireInfoRowFont());
      WriteDiscInfoRows(&m.canvas, font.Get(), 12, info, 0, 480, 2000);
      rows = TextRows(m.canvas, kInfoValueColour, kInfoBadgeTextColour);
    }
    ASSERT_GE(rows.size(), c.expectedTail.size());
    for (size_t i = 0; i < c.expectedTail.size(); ++i)
      EXPECT_EQ(c.expectedTail[i], rows[rows.size() - c.expectedTail.size() + i]);
    if (c.opcode == mmc::kReadCapacity) {
      EXPECT_NE(rows.end(), std::find(rows.begin(), rows.end(), "Size in sectors: 4294967296"));
    }
    EXPECT_TRUE(recorder_.Violations().empty()) << ViolationText();
  }
  // Every TOC request asks for the whole 804-byte reply and no more.
  TraceEntry last;
  ASSERT_TRUE(recorder_.LastCommand(mmc::kReadTocPmaAtip, &last));
  EXPECT_EQ(804u, last.transferLength);
}

// The page reads on the user-interface thread: a drive that stops being
// ready while it is read is not waited for.
TEST_F(DiscInfoPageTest, ADriveThatStaysNotReadyIsNotWaitedFor) {
  Attach();
  MediumOptions cd;
  cd.preset = MediumPreset::kCdRom;
  Insert(cd);
  CDriveManager drives;
  CHeldDrive drive(drives, 0);
  ASSERT_TRUE(drive);
  RecorderFault stuck;
  stuck.opcode = mmc::kReadDiscInformation;
  stuck.kind = FaultKind::kStuck;
  recorder_.AddFault(stuck);
  const u64 before = clock_.NowMs();
  DiscInfo info;
  ReadDiscInfo(*drive.Get(), &info);
  EXPECT_LT(clock_.NowMs() - before, 1000u);
  EXPECT_EQ(0u, info.sessions);
  EXPECT_EQ(0u, info.records.GetCount());
}

// No drive, no medium, a TOC that fails, a drive in use: the pane stays as
// far as it got and the drive is never left open.
TEST_F(DiscInfoPageTest, TheDriveGoesBackOnEveryWayOut) {
  struct Case {
    const char* name;
    bool attach, medium, tocFails, inUse;
    size_t rows;  // rows shown
  } const cases[] = {
      {"no drive", false, false, false, false, 0},
      {"no medium", true, false, false, false, 1},
      {"TOC refused", true, true, true, false, 8},
      {"drive in use", true, true, false, true, 0},
      {"readable disc", true, true, false, false, 11},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CSimulatedRecorder recorder;
    CSimulatedDeviceIo io;
    CInstalledDeviceIo installed(io);
    if (c.attach) io.AddOpticalDrive(u'E', &recorder);
    if (c.medium) {
      recorder.InsertMedium(MediumOptions{MediumPreset::kDvdRom, DiscFill::kComplete, 0, {}, 0});
      recorder.MakeReady();
    }
    if (c.tocFails) {
      RecorderFault f;
      f.opcode = mmc::kReadTocPmaAtip;
      f.times = 0;
      recorder.AddFault(f);
    }
    {
      CInfoPagesOwner owner;
      CDrive* job = c.inUse ? owner.drives.OpenDrive(0) : nullptr;
      owner.host.OpenDiscInfoPage();
      DiscPage& page = *static_cast<DiscPage*>(owner.host.Current()->Widget());
      CMemoryCanvas m(480, 1000);
      page.PaintInfo(m.canvas);
      EXPECT_EQ(c.rows, TextRows(m.canvas, kInfoValueColour, kInfoBadgeTextColour).size());
      EXPECT_EQ(c.inUse ? 1u : 0u, io.OpenHandleCount());
      ReleaseDrive(&job);
    }
    StoreFocusedWidget(nullptr);
  }
}

// The page stands in the middle of the host, the rows view under the
// heading; a long track list scrolls, the top at position 1.
TEST_F(DiscInfoPageTest, LayoutAndScrolling) {
  Attach();
  MediumOptions many;
  many.preset = MediumPreset::kCdRom;
  many.sessions.resize(1);
  for (int i = 0; i < 40; ++i) many.sessions[0].push_back(Track(100));
  Insert(many);
  DiscPage& page = OpenDiscPage();
  const Rect area = owner_->host.GetContentRect();
  EXPECT_EQ(area.right / 2 - 240, page.x);
  EXPECT_EQ(480, page.width);
  EXPECT_EQ(area.bottom, page.height);
  EXPECT_EQ(12, page.rows.x);
  EXPECT_EQ(12, page.rows.y);
  EXPECT_EQ(480 - 26, page.rows.width);
  EXPECT_EQ(area.bottom - 62, page.rows.height);
  EXPECT_EQ(480 - 34, page.closeButton.x);
  EXPECT_EQ(area.bottom - 32, page.closeButton.y);
  page.Place(0, 0, 479, 300);  // (479 / 2) - 240 rounds toward zero
  EXPECT_EQ(-1, page.x);
  EXPECT_EQ(300 - 62, page.rows.height);

  ASSERT_TRUE(page.rows.flags & kFlagVScroll);
  ASSERT_GT(page.rows.contentHeight, page.rows.viewHeight);
  const double size = page.rowFont.Get()->size;
  auto firstAndLast = [&](double position) {
    page.rows.positionY = position;
    CMemoryCanvas m(page.rows.width, page.rows.height);
    page.PaintInfo(m.canvas);
    const std::vector<DrawnRecord> runs = RecordsOf(ReadRecords(m.canvas), kOpTextRun);
    return std::make_pair(runs.front().y0, runs.back().y0);
  };
  const auto top = firstAndLast(1.0);
  EXPECT_EQ(page.rows.viewHeight - size, top.first);  // "Name:" at the top of the view
  const auto bottom = firstAndLast(0.0);
  EXPECT_GE(bottom.second, 0.0);  // the last track row within the view
  EXPECT_LT(bottom.second, 3 * size);

  // The close button closes this page only.
  CPageHolder* holder = owner_->host.Current();
  owner_->host.OpenDiscInfoPage();
  EXPECT_NE(holder, owner_->host.Current());
  owner_->host.list.Activate(holder);
  page.OnCloseClicked();
  EXPECT_EQ(2u, owner_->host.list.Count());
  EXPECT_FALSE(owner_->host.list.Contains(holder));
}

}  // namespace
