// The audio project inside the real main window: command 22 opens it, files
// dropped through the process's OLE drop target become tracks (text is
// refused), and the page's request and decoding source burn them to a CD-R
// on the simulated recorder, each track exactly its decoded audio padded to
// whole sectors. Files that cannot become CD audio are left out without a
// word, and one that goes bad after it was added fails the burn. With
// KELVANE_AUDIO_SHOT=<prefix> the window's pixels are written to
// <prefix>-en.bgra and <prefix>-es.bgra (top row first) for a look by eye.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "app/commands/command_ids.h"
#include "app/main_window/main_frame.h"
#include "jobs/audio/audio_decode_win.h"
#include "jobs/burn/burn_job.h"
#include "render/shadow_generator.h"
#include "render/text/font.h"
#include "runtime/win.h"
#undef GetFreeSpace
#include "runtime/ring_buffer.h"
#include "support/headless_job_ui.h"
#include "support/simulated_device_io.h"
#include "support/simulated_recorder.h"
#include "ui/support/drop_blocks.h"
#include "ui/support/fake_data_object_win.h"
#include "ui/support/ui_test_platform.h"
#include "ui/windows/ole/drop_target_win.h"
#include "ui/windows/ole/ole_session.h"

namespace {

typedef CAudioProjectPage<CMainFrame::PageHost> Page;

const char* const kFiles[] = {"t588000.wav", "t588001.flac", "t588000.mp3"};

std::u16string FullPath(const std::string& name) {
  const std::string relative = "fixtures\\audio\\" + name;
  wchar_t full[MAX_PATH];
  std::wstring w(relative.begin(), relative.end());
  const DWORD n = GetFullPathNameW(w.c_str(), MAX_PATH, full, nullptr);
  return std::u16string(reinterpret_cast<const char16_t*>(full), n);
}

std::vector<u8> ReadWhole(const std::string& name) {
  std::vector<u8> out;
  FILE* f = std::fopen(("fixtures/audio/" + name).c_str(), "rb");
  for (int c; f && (c = std::fgetc(f)) != EOF;) out.push_back(static_cast<u8>(c));
  if (f) std::fclose(f);
  return out;
}

POINTL ScreenCentre(const CWidget& w) {
  const Rect r = w.ToWindowRect();
  ScreenPoint s = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  FlipWorkAreaY(&s);
  return {s.x, s.y};
}

void WriteShot(CMainFrame& f, const std::string& path) {
  f.Repaint();
  const CCanvas& c = f.Canvas();
  FILE* out = std::fopen(path.c_str(), "wb");
  if (!out || !c.pixels) return;
  for (i32 row = c.height - 1; row >= 0; --row)
    std::fwrite(c.pixels + static_cast<size_t>(row) * c.width, 4, static_cast<size_t>(c.width), out);
  std::fclose(out);
  std::printf("shot %s: %d x %d\n", path.c_str(), c.width, c.height);
}

// Starts the burn of the page's project onto the first drive through the
// burn engine, as the task view does; false when it could not start.
bool StartPageBurn(CMainFrame& f, Page* page, BurnRequest* request, CBurnPage* job) {
  if (!page->PrepareBurn(request)) return false;
  request->destination = 0;
  job->driveManager = &f.drives;
  CDrive* drive = f.drives.OpenDrive(0);
  if (!drive) return false;
  drive->LockVolume();
  return job->StartJob(*request, drive, f.drives.GetName(0).c_str());
}

class AudioProjectWindowTest : public ::testing::Test {
 protected:
  AudioProjectWindowTest() : installed_(io_) {
    RestoreProgramResources();
    io_.AddOpticalDrive(u'E', &recorder_);
    MediumOptions cdr;
    cdr.preset = MediumPreset::kCdR;
    recorder_.InsertMedium(cdr);
    recorder_.MakeReady();
  }
  ~AudioProjectWindowTest() { SetCurrentLanguage(kLanguageEnglish); }

  COleSession ole_;
  CSimulatedRecorder recorder_;
  CSimulatedDeviceIo io_;
  CInstalledDeviceIo installed_;
};

}  // namespace

TEST_F(AudioProjectWindowTest, DroppedFilesBurnToACdAsTheirDecodedAudio) {
  CMainFrame f;
  ASSERT_TRUE(f.Create(Rect{100, 100, 900, 700}));
  f.OnCommand(kCmdNewAudio);
  ASSERT_NE(nullptr, f.pageHost.Current());
  Page* page = static_cast<Page*>(f.pageHost.Current()->Widget());
  ASSERT_EQ(0u, page->trackList.rows.GetCount());
  CDropTarget* target = SharedDropTarget();
  ASSERT_NE(nullptr, target);

  // Text is no file list: refused, nothing added.
  {
    CFakeDataObject text;
    const std::u16string t = u"C:\\not\\a\\list.wav";
    text.Offer(CF_UNICODETEXT, std::string(reinterpret_cast<const char*>(t.c_str()), (t.size() + 1) * 2));
    DWORD effect = DROPEFFECT_COPY;
    target->DragEnter(&text, 0, ScreenCentre(page->trackList), &effect);
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_NONE), effect);
    effect = DROPEFFECT_COPY;
    target->Drop(&text, 0, ScreenCentre(page->trackList), &effect);
    EXPECT_EQ(0u, page->trackList.rows.GetCount());
  }
  // Three files dropped on the list.
  std::vector<std::u16string> names;
  for (const char* n : kFiles) names.push_back(FullPath(n));
  CFakeDataObject files;
  files.Offer(CF_HDROP, drop_blocks::WideList(names));
  DWORD effect = DROPEFFECT_COPY;
  target->DragEnter(&files, 0, ScreenCentre(page->trackList), &effect);
  EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_COPY), effect);
  target->DragOver(0, ScreenCentre(page->trackList), &effect);
  target->Drop(&files, 0, ScreenCentre(page->trackList), &effect);
  ASSERT_EQ(3u, page->trackList.rows.GetCount());
  for (u32 i = 0; i < 3; ++i) {
    const CWideString& name = page->trackList.rows[i]->fileName;
    EXPECT_EQ(std::string(kFiles[i]), std::string(name.c_str(), name.c_str() + name.GetLength()));
  }
  EXPECT_EQ(1000u, page->trackList.rows[0]->track.sectors);  // 588000 samples: exactly 1000 sectors
  EXPECT_EQ(1001u, page->trackList.rows[1]->track.sectors);
  page->trackList.rows[1]->pauseField.SetText(u"1");

  if (const char* shot = std::getenv("KELVANE_AUDIO_SHOT")) {
    WriteShot(f, std::string(shot) + "-en.bgra");
    f.SetLanguage(static_cast<i32>(kLanguageSpanish));
    WriteShot(f, std::string(shot) + "-es.bgra");
    f.SetLanguage(static_cast<i32>(kLanguageEnglish));
  }

  // The burn: the page's request and source through the burn engine.
  BurnRequest request;
  CHeadlessJobUi ui;
  CBurnPage job(&ui);
  ASSERT_TRUE(StartPageBurn(f, page, &request, &job));
  // Editing the project meanwhile changes nothing of what is burned.
  page->RemoveAllTracks();
  ASSERT_TRUE(job.mainThread.Join(240000));
  CWideString log;
  job.GetLogText(&log);
  const std::string logText(log.c_str(), log.c_str() + log.GetLength());
  EXPECT_FALSE(job.HasFlags(0x4)) << logText;
  EXPECT_TRUE(recorder_.Violations().empty());

  // Each track on the disc: the program's decode of the file, exactly its
  // sectors, and for WAV and FLAC sox's reference samples padded with zeros.
  const TrackList& layout = request.sessions[0];
  u32 track = 0;
  for (const TrackExtent& e : layout) {
    if (!e.content) continue;
    SCOPED_TRACE(kFiles[track]);
    std::vector<u8> disc;
    std::vector<u8> sector;
    for (u32 s = 0; s < e.sectorCount; ++s) {
      ASSERT_TRUE(recorder_.ReadStoredSector(static_cast<u32>(e.start) + s, &sector)) << s;
      ASSERT_EQ(2352u, sector.size());
      disc.insert(disc.end(), sector.begin(), sector.end());
    }
    AudioTrackInfo info;
    ASSERT_TRUE(GetAudioTrackLength(&info, names[track].c_str()));
    CRingBuffer ring;
    ASSERT_TRUE(ring.Allocate(8u << 20, false));
    ASSERT_TRUE(DecodeAudioFile(info, &ring, AudioAbort()).Ok());
    std::vector<u8> decoded(static_cast<size_t>(ring.GetDataSize()));
    ASSERT_TRUE(ring.Read(decoded.data(), static_cast<u32>(decoded.size())));
    EXPECT_EQ(static_cast<size_t>(e.sectorCount) * 2352, decoded.size());
    EXPECT_TRUE(decoded == disc);
    if (track < 2) {
      std::vector<u8> reference = ReadWhole(track == 0 ? "t588000.wav.pcm" : "t588001.wav.pcm");
      reference.resize(static_cast<size_t>(e.sectorCount) * 2352, 0);
      EXPECT_TRUE(reference == disc);
    }
    ++track;
  }
  EXPECT_EQ(3u, track);
  // The pauses are silence: the pregap's last sector and track 2's pause.
  std::vector<u8> sector;
  ASSERT_TRUE(recorder_.ReadStoredSector(static_cast<u32>(layout[2].start), &sector));
  EXPECT_TRUE(std::all_of(sector.begin(), sector.end(), [](u8 b) { return b == 0; }));
}

namespace {

// Everything the audio project holds and shows of its tracks.
std::string ProjectState(CMainFrame& f, Page& page) {
  std::string s;
  for (u32 i = 0; i < page.trackList.rows.GetCount(); ++i) {
    const auto* row = page.trackList.rows[i];
    s += std::string(row->fileName.c_str(), row->fileName.c_str() + row->fileName.GetLength()) + " " +
         std::to_string(row->track.sectors) + " " + std::to_string(row->pauseFrames) + "; ";
  }
  const CWideString& capacity = page.trackList.capacityText;
  const CWideString& time = page.trackList.totalText;
  s += "total " + std::to_string(page.total) + " " + std::string(capacity.c_str(), capacity.c_str() + capacity.GetLength()) +
       std::string(time.c_str(), time.c_str() + time.GetLength()) + " gauge " + std::to_string(page.gauge.value) +
       " content " + std::to_string(page.trackList.contentHeight) + " holders " +
       std::to_string(page.trackList.holders.GetCount()) + " removed " + std::to_string(page.trackList.RemovedRowCount());
  for (i32 id : {static_cast<i32>(kCmdBurnProject), static_cast<i32>(kCmdPaste)}) {
    const MenuItem* item = nullptr;
    for (i32 i = 0; i < f.menu->count && !item; ++i)
      if (CMenuModel* sub = CMenuModel::AsSubmenu(f.menu->GetItem(i)))
        for (i32 j = 0; j < sub->count && !item; ++j)
          if (sub->GetItem(j)->id == id) item = sub->GetItem(j);
    s += " menu " + std::to_string(id) + (item && (item->flags & kMenuEnabled) ? " on" : " off");
  }
  return s;
}

std::vector<AudioRefusal> g_toldRefusals;
void NoteRefusal(AudioRefusal why) { g_toldRefusals.push_back(why); }

// The files on the clipboard as a file list.
bool PutFilesOnClipboard(const std::vector<std::u16string>& names) {
  const std::string block = drop_blocks::WideList(names);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, block.size());
  if (!memory) return false;
  memcpy(GlobalLock(memory), block.data(), block.size());
  GlobalUnlock(memory);
  if (!OpenClipboard(nullptr)) return GlobalFree(memory), false;
  EmptyClipboard();
  const bool set = SetClipboardData(CF_HDROP, memory) != nullptr;
  CloseClipboard();
  if (!set) GlobalFree(memory);
  return set;
}

}  // namespace

// Files that cannot become CD audio, dropped or pasted into a project: a
// 48 kHz WAV (no resampling) and a text file named .mp3. Each is left out
// without a message and nothing else of the project changes; among good
// files only the good ones are added, in their order. A file that was
// good when added but cannot be decoded when the burn reads it fails the
// burn.
TEST_F(AudioProjectWindowTest, FilesThatCannotBecomeCdAudioAreLeftOutWithoutAWord) {
  g_toldRefusals.clear();
  // The platform's table and an empty clipboard again afterwards.
  struct CRefusalsNoted {
    CRefusalsNoted() : saved(AudioServices()) { AudioServices().tellRefusal = &NoteRefusal; }
    ~CRefusalsNoted() {
      AudioServices() = saved;
      if (OpenClipboard(nullptr)) {
        EmptyClipboard();
        CloseClipboard();
      }
    }
    const AudioProjectServices saved;
  } noted;
  wchar_t folder[MAX_PATH];
  GetTempPathW(MAX_PATH, folder);
  const std::wstring textPath = std::wstring(folder) + L"kelvane_notes.mp3";
  const std::u16string notAudio(reinterpret_cast<const char16_t*>(textPath.c_str()));
  {
    FILE* out = _wfopen(textPath.c_str(), L"wb");
    ASSERT_NE(nullptr, out);
    for (int i = 0; i < 200; ++i) std::fputs("These are notes, not audio.\n", out);
    std::fclose(out);
  }
  const std::u16string rate48k = FullPath("rate48k.wav"), good = FullPath("t588000.wav"),
                       flac = FullPath("t588001.flac");

  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  CloseClipboard();

  CMainFrame f;
  ASSERT_TRUE(f.Create(Rect{100, 100, 900, 700}));
  f.OnCommand(kCmdNewAudio);
  Page* page = static_cast<Page*>(f.pageHost.Current()->Widget());
  CDropTarget* target = SharedDropTarget();
  ASSERT_NE(nullptr, target);
  const auto drop = [&](const std::vector<std::u16string>& names) {
    CFakeDataObject files;
    files.Offer(CF_HDROP, drop_blocks::WideList(names));
    DWORD effect = DROPEFFECT_COPY;
    target->DragEnter(&files, 0, ScreenCentre(page->trackList), &effect);
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_COPY), effect) << "a file list is taken";
    target->DragOver(0, ScreenCentre(page->trackList), &effect);
    target->Drop(&files, 0, ScreenCentre(page->trackList), &effect);
  };
  const auto paste = [&](const std::vector<std::u16string>& names) {
    ASSERT_TRUE(PutFilesOnClipboard(names));
    f.OnCommand(kCmdPaste);
  };
  drop({good});
  ASSERT_EQ(1u, page->trackList.rows.GetCount());
  page->trackList.rows[0]->pauseField.SetText(u"2");
  const std::string before = ProjectState(f, *page);

  const struct {
    const char* what;
    bool pasted;
    std::vector<std::u16string> files;
  } refused[] = {
      {"a 48 kHz WAV dropped", false, {rate48k}},
      {"a text file named .mp3 dropped", false, {notAudio}},
      {"both dropped together", false, {rate48k, notAudio}},
      {"a 48 kHz WAV pasted", true, {rate48k}},
      {"a text file named .mp3 pasted", true, {notAudio}},
  };
  for (const auto& c : refused) {
    SCOPED_TRACE(c.what);
    if (c.pasted)
      paste(c.files);
    else
      drop(c.files);
    if (c.pasted) {
      // The clipboard still offers its file list: Paste stays on.
      EXPECT_EQ(before.substr(0, before.rfind(" menu 33")) + " menu 33 on", ProjectState(f, *page));
    } else {
      EXPECT_EQ(before, ProjectState(f, *page));
    }
    EXPECT_TRUE(g_toldRefusals.empty());
  }
  // Among good files: only those, in their order.
  drop({rate48k, flac, notAudio, good});
  ASSERT_EQ(3u, page->trackList.rows.GetCount());
  const auto name = [&](u32 i) {
    const CWideString& n = page->trackList.rows[i]->fileName;
    return std::string(n.c_str(), n.c_str() + n.GetLength());
  };
  EXPECT_EQ("t588000.wav t588001.flac t588000.wav", name(0) + " " + name(1) + " " + name(2));
  EXPECT_TRUE(g_toldRefusals.empty());

  // A track whose file changed into 48 kHz audio after it was added: the
  // burn that reads it fails instead of writing silence.
  const std::wstring copyPath = std::wstring(folder) + L"kelvane_track.wav";
  const std::u16string copy(reinterpret_cast<const char16_t*>(copyPath.c_str()));
  ASSERT_TRUE(CopyFileW(reinterpret_cast<const wchar_t*>(good.c_str()), copyPath.c_str(), FALSE));
  page->RemoveAllTracks();
  drop({copy});
  ASSERT_EQ(1u, page->trackList.rows.GetCount());
  ASSERT_TRUE(CopyFileW(reinterpret_cast<const wchar_t*>(rate48k.c_str()), copyPath.c_str(), FALSE));
  BurnRequest request;
  CHeadlessJobUi ui;
  CBurnPage job(&ui);
  ASSERT_TRUE(StartPageBurn(f, page, &request, &job));
  ASSERT_TRUE(job.mainThread.Join(240000));
  CWideString log;
  job.GetLogText(&log);
  const std::string logText(log.c_str(), log.c_str() + log.GetLength());
  EXPECT_TRUE(job.HasFlags(kJobStopped)) << logText;
  EXPECT_NE(std::string::npos, logText.find("Error reading the source")) << logText;

  DeleteFileW(textPath.c_str());
  DeleteFileW(copyPath.c_str());
}
