// The audio project end to end: "Audio CD" from the menu, three audio files
// (WAV, FLAC and MP3 made by sox and lame) dropped on its track list through
// the program's OLE drop target, "Burn project", Enter in the burn window,
// the burn page watched to its end; then each track on the CD-R against the
// program's decode of its file padded to whole sectors, and for WAV and
// FLAC against sox's own samples.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "app/commands/command_ids.h"
#include "app/pages/audio_project_page.h"
#include "app_session_win.h"
#include "open_page_win.h"
#include "burn_steps_win.h"
#include "jobs/audio/audio_decode_win.h"
#include "runtime/win.h"
#undef GetFreeSpace
#include "runtime/ring_buffer.h"
#include "shown_place_win.h"
#include "system_workers_win.h"
#include "ui/support/drop_blocks.h"
#include "ui/support/fake_data_object_win.h"
#include "ui/windows/ole/drop_target_win.h"
#include "ui/windows/ole/ole_session.h"

namespace {

using AudioPage = CAudioProjectPage<CMainFrame::PageHost>;

const wchar_t* const kFiles[] = {L"t588000.wav", L"t588001.flac", L"t588000.mp3"};

std::wstring Fixture(const wchar_t* name) { return BuildFolder() + L"fixtures\\audio\\" + name; }

std::vector<u8> ReadWhole(const std::wstring& path) {
  std::vector<u8> out;
  FILE* f = _wfopen(path.c_str(), L"rb");
  for (int c; f && (c = std::fgetc(f)) != EOF;) out.push_back(static_cast<u8>(c));
  if (f) std::fclose(f);
  return out;
}

AudioPage* AudioPageOf(CMainFrame& f) { return OpenPageAs<AudioPage>(f); }

POINTL ScreenCentre(const CWidget& w) {
  const Rect r = w.ToWindowRect();
  ScreenPoint s = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  FlipWorkAreaY(&s);
  return {s.x, s.y};
}

// The program's own decode of a file: exactly its sectors x 2352 bytes.
std::vector<u8> Decoded(const std::wstring& path) {
  AudioTrackInfo info;
  if (!GetAudioTrackLength(&info, reinterpret_cast<const wchar16*>(path.c_str()))) return {};
  CRingBuffer ring;
  if (!ring.Allocate(8u << 20, false) || !DecodeAudioFile(info, &ring, AudioAbort()).Ok()) return {};
  std::vector<u8> out(static_cast<size_t>(ring.GetDataSize()));
  if (!out.empty()) ring.Read(out.data(), static_cast<u32>(out.size()));
  return out;
}

// The system's media framework, and OLE once a window took drops, keep
// workers of their own for the rest of the process; they are started
// before the session counts the process's threads, so that only the
// program's own threads are held against it.
void WarmUpSystemWorkers(const std::wstring& path) {
  WarmUpDropWorkers();
  AudioTrackInfo info;
  GetAudioTrackLength(&info, reinterpret_cast<const wchar16*>(path.c_str()));
  {
    // As the program's user-interface thread measures: inside OLE.
    COleSession ole;
    GetAudioTrackLength(&info, reinterpret_cast<const wchar16*>(path.c_str()));
  }
  std::thread decoder([&] { Decoded(path); });
  decoder.join();
}

}  // namespace

TEST(EndToEndAudio, ThreeDroppedFilesBurnToACdR) {
  // The media framework decodes in real time: drive time on the system
  // clock too.
  CAppSession::Options options;
  options.virtualClock = false;
  options.watchdogSeconds = 420;
  WarmUpSystemWorkers(Fixture(kFiles[2]));
  CAppSession app(options);
  MediumOptions cdr;
  cdr.preset = MediumPreset::kCdR;
  CSimulatedRecorder& e = app.AddRecorder(u'E', cdr);
  std::vector<std::u16string> names;
  for (const wchar_t* n : kFiles) {
    const std::wstring path = Fixture(n);
    names.push_back(std::u16string(path.begin(), path.end()));
  }
  CFakeDataObject files;
  files.Offer(CF_HDROP, drop_blocks::WideList(names));
  ASSERT_TRUE(app.Run([&](CPerson& p) {
    ASSERT_TRUE(p.ChooseMenuItem(kCmdNewAudio));
    ASSERT_TRUE(p.WaitUntil("the audio project", [](CMainFrame& f) { return AudioPageOf(f) != nullptr; }));
    // The shell's drag over the track list and the drop, as OLE calls the
    // program's target on its thread.
    p.OnUi([&](CMainFrame& f) {
      CDropTarget* target = SharedDropTarget();
      ASSERT_NE(nullptr, target);
      const POINTL at = ScreenCentre(AudioPageOf(f)->trackList);
      DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
      target->DragEnter(&files, 0, at, &effect);
      EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_COPY), effect);
      target->DragOver(0, at, &effect);
      target->Drop(&files, 0, at, &effect);
    });
    ASSERT_TRUE(p.WaitUntil("three tracks", [](CMainFrame& f) {
      return AudioPageOf(f) && AudioPageOf(f)->trackList.rows.GetCount() == 3;
    }));
    EXPECT_TRUE(p.WaitUntil("Burn project enabled", [](CMainFrame& f) { return MenuEntryEnabled(f, kCmdBurnProject); }));
    p.Screenshot(L"e2e-audio-project.png");
    ASSERT_TRUE(p.ChooseMenuItem(kCmdBurnProject));
    void* window = p.WaitForActiveWindow("the burn window", p.MainWindow());
    // Without the image row, centred on the page that asked.
    p.OnUi([&](CMainFrame& f) {
      ASSERT_NE(nullptr, AudioPageOf(f));
      ExpectShownPlace(window, 540, 342, 259, 199, AudioPageOf(f)->ToWindowRect(), "audio burn window");
    });
    ASSERT_TRUE(p.WaitUntil("OK enabled", [window](CMainFrame&) {
      CBurnImageWindow* w = WindowObject<CBurnImageWindow>(window);
      return w && !(w->ok.flags & kFlagDisabled);
    }));
    ASSERT_TRUE(p.Press(VK_RETURN));
    ASSERT_TRUE(WaitForBurnEnd(p, 300000));
    p.OnUi([](CMainFrame& f) {
      BurnJobPage* page = BurnPageAt(f);
      ASSERT_NE(nullptr, page);
      EXPECT_FALSE(page->engine.HasFlags(0x4));
    });
    p.Screenshot(L"e2e-audio-end.png");
  }));
  EXPECT_TRUE(e.Violations().empty());

  // Track n's sectors follow its pause: the 2 s pregap before the first,
  // none before the others (their pause fields say 0).
  u32 lba = 0;
  for (u32 t = 0; t < 3; ++t) {
    SCOPED_TRACE(t);
    const std::wstring path = Fixture(kFiles[t]);
    const std::vector<u8> decoded = Decoded(path);
    ASSERT_FALSE(decoded.empty());
    ASSERT_EQ(0u, decoded.size() % 2352);
    const u32 sectors = static_cast<u32>(decoded.size() / 2352);
    std::vector<u8> disc;
    std::vector<u8> sector;
    for (u32 s = 0; s < sectors; ++s) {
      ASSERT_TRUE(e.ReadStoredSector(lba + s, &sector)) << lba + s;
      disc.insert(disc.end(), sector.begin(), sector.end());
    }
    EXPECT_TRUE(decoded == disc);
    if (t < 2) {
      std::vector<u8> reference = ReadWhole(Fixture(t == 0 ? L"t588000.wav.pcm" : L"t588001.wav.pcm"));
      reference.resize(decoded.size(), 0);
      EXPECT_TRUE(reference == disc);
    }
    lba += sectors;
  }
}
