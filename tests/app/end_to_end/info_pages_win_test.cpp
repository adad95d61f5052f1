// The information pages through the interface: Burner > Disc information
// and Device information over a recorder holding a two-session CD, each a
// new page that reads the drive and gives it back; screenshots of both.
#include <gtest/gtest.h>

#include "app/commands/command_ids.h"
#include "app/main_window/main_frame.h"
#include "app_session_win.h"
#include "person_win.h"
#include "runtime/ui_strings.h"

namespace {

typedef CDiscInfoPage<CMainFrame::PageHost> DiscPage;
typedef CDeviceInfoPage<CMainFrame::PageHost> DevicePage;

TrackContent Track(u32 blocks, bool audio, u32 pregap) {
  TrackContent t;
  t.blocks = blocks;
  t.audio = audio;
  t.blockSize = audio ? 2352 : 2048;
  t.pregap = pregap;
  return t;
}

TEST(EndToEndInfoPages, DiscAndDeviceInformationOfATwoSessionCd) {
  CAppSession app;
  MediumOptions cd;
  cd.preset = MediumPreset::kCdR;
  cd.fill = DiscFill::kComplete;
  cd.sessions = {{Track(12000, false, 0), Track(9000, true, 150), Track(7000, true, 150)}, {Track(3000, false, 0)}};
  DriveIdentity writer;
  writer.profiles = {0x08, 0x09, 0x0A, 0x10, 0x11, 0x14, 0x1A, 0x1B, 0x2B, 0x40, 0x41, 0x43};
  app.AddRecorder(u'E', cd, writer);
  ASSERT_TRUE(app.Run([&](CPerson& p) {
    p.WaitUntil("the disc information entry", [](CMainFrame& f) { return MenuEntryEnabled(f, kCmdDiscInfo); });
    ASSERT_TRUE(p.ChooseMenuItem(kCmdDiscInfo));
    u32 records = 0;
    std::u16string profile;
    p.WaitUntil("the disc information page", [&](CMainFrame& f) {
      CPageHolder* page = f.pageHost.Current();
      if (!page || page == f.pageHost.StartStripHolder() || page->Widget()->width != 480) return false;
      const DiscPage& disc = *static_cast<DiscPage*>(page->Widget());
      records = disc.info.records.GetCount();
      profile.assign(disc.info.profileName.text, disc.info.profileName.length);
      return true;
    });
    EXPECT_EQ(5u, records);  // four tracks and the lead-out
    EXPECT_EQ(std::u16string(u"CD-R"), profile);
    p.Screenshot(L"e2e-disc-info.png");

    ASSERT_TRUE(p.ChooseMenuItem(kCmdDeviceInfo));
    std::u16string vendor;
    bool bluRay = false;
    p.WaitUntil("the device information page", [&](CMainFrame& f) {
      if (f.pageHost.list.Count() != 3) return false;
      const DevicePage& device = *static_cast<DevicePage*>(f.pageHost.Current()->Widget());
      vendor = device.info.vendor.c_str();
      bluRay = device.info.features.profiles[0x41] != 0;
      return true;
    });
    EXPECT_EQ(std::u16string(u"KVSIM"), vendor);
    EXPECT_TRUE(bluRay);
    p.Screenshot(L"e2e-device-info.png");
    // In Spanish the page needs only a repaint.
    ASSERT_TRUE(p.ChooseMenuItem(kCmdSpanish));
    p.WaitUntil("the Spanish texts", [](CMainFrame&) { return GetCurrentLanguage() == kLanguageSpanish; });
    p.Screenshot(L"e2e-device-info-es.png");
    ASSERT_TRUE(p.ChooseMenuItem(kCmdEnglish));

    // Close Window closes them one after the other.
    ASSERT_TRUE(p.ChooseMenuItem(kCmdCloseWindow));
    ASSERT_TRUE(p.ChooseMenuItem(kCmdCloseWindow));
    p.WaitUntil("only the start page", [](CMainFrame& f) { return f.pageHost.list.Count() == 1; });
  }));
}

}  // namespace
