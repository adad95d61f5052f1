// The extraction window as a real modal window over an image made by
// xorriso: it closes by itself when done, Cancel and its caption's close
// stop the worker (joined before Run returns, the partial file removed), a
// question is a real message box on the user-interface thread whose
// caption close answers "stop", and an image that cannot be opened is told.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "app/job_windows/extract_window.h"
#include "jobs/image/iso9660_reader.h"
#include "ui/support/real_window.h"

namespace {

namespace fs = std::filesystem;

const fs::path kFixtures = fs::path("fixtures") / "extract";

std::u16string Wide(const fs::path& p) {
  const std::wstring w = p.wstring();
  return std::u16string(w.begin(), w.end());
}

fs::path FreshFolder(const std::string& name) {
  const fs::path folder = fs::path("extract_window_out") / name;
  std::error_code ec;
  fs::remove_all(folder, ec);
  fs::create_directories(folder);
  return folder;
}

// Runs `step` on every tick of a 5 ms timer inside the modal loops until it
// answers true; a window still open after 20 s is closed.
std::function<bool()> g_step;
void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
  if (g_step && g_step()) {
    g_step = nullptr;
    KillTimer(nullptr, id);
  }
}
BOOL CALLBACK CloseVisible(HWND w, LPARAM) {
  if (IsWindowVisible(w)) PostMessageW(w, WM_CLOSE, 0, 0);
  return TRUE;
}
void CALLBACK Watchdog(HWND, UINT, UINT_PTR, DWORD) {
  ADD_FAILURE() << "a window was still open after 20 s";
  EnumThreadWindows(GetCurrentThreadId(), CloseVisible, 0);
}

// A visible window of this thread other than `except` (the message box
// over it), null when none is open.
struct Search {
  HWND except, found;
};
BOOL CALLBACK FindVisible(HWND w, LPARAM p) {
  Search* s = reinterpret_cast<Search*>(p);
  if (w == s->except || !IsWindowVisible(w)) return TRUE;
  s->found = w;
  return FALSE;
}
HWND OpenBox(HWND except) {
  Search search = {except, nullptr};
  EnumThreadWindows(GetCurrentThreadId(), FindVisible, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

struct Image {
  CIso9660Reader reader;
  u64 size = 0;
  Image() { EXPECT_TRUE(reader.ReadVolume(&size, Wide(kFixtures / "extract.iso").c_str())); }
  CFileNode* Entry(const char16_t* name) { return reader.GetJolietRoot().FindChild(name); }
};

u32 RunWith(CExtractWindow& w, const fs::path& target, std::function<bool()> step) {
  g_step = step;
  const UINT_PTR tick = SetTimer(nullptr, 0, 5, Tick);
  const UINT_PTR dog = SetTimer(nullptr, 0, 20000, Watchdog);
  const u32 answer = w.Run(Wide(kFixtures / "extract.iso").c_str(), Wide(target).c_str());
  KillTimer(nullptr, tick);
  KillTimer(nullptr, dog);
  g_step = nullptr;
  return answer;
}

TEST(ExtractWindow, ExtractsWithProgressAndClosesByItself) {
  Image image;
  const fs::path out = FreshFolder("done");
  CExtractWindow w;
  w.AddEntry(image.Entry(u"chunk_exact.bin"));
  w.AddEntry(image.Entry(u"Folder with a long name for Joliet"));
  EXPECT_EQ(w.GetTotal(), 6u) << "a file, then a folder with its four entries below";
  const u32 answer = RunWith(w, out, [] { return true; });
  EXPECT_EQ(answer, 0u);
  EXPECT_EQ(std::u16string(w.label.text.c_str()), u"Esto es un texto largo de prueba, bo que pasa?");
  EXPECT_EQ(std::u16string(w.title.c_str()), u"Extracting files...");
  EXPECT_EQ(w.GetOutcome(), kExtractDone);
  EXPECT_DOUBLE_EQ(w.progress.value, 100.0);
  EXPECT_EQ(fs::file_size(out / "chunk_exact.bin"), CImageExtraction::kChunkBytes);
  EXPECT_EQ(fs::file_size(out / "Folder with a long name for Joliet" / "deeper" / "level two" / "leaf.bin"), 70000u);
  fs::remove_all(out);
}

// Cancel and the caption's close, while the big file is being written: the
// worker stops at its next chunk and has ended when Run returns; the
// partial file is gone and nothing after it was written.
TEST(ExtractWindow, CancelAndCaptionCloseStopTheWorker) {
  for (bool caption : {false, true}) {
    SCOPED_TRACE(caption ? "caption close" : "Cancel");
    Image image;
    const fs::path out = FreshFolder(caption ? "caption" : "cancel");
    CExtractWindow w;
    w.AddEntry(image.Entry(u"big_sparse.bin"));
    w.AddEntry(image.Entry(u"empty.txt"));
    const u32 answer = RunWith(w, out, [&] {
      std::error_code ec;
      if (!w.Handle() || fs::file_size(out / "big_sparse.bin", ec) == 0 || ec) return false;
      if (caption)
        PostMessageW(static_cast<HWND>(w.Handle()), WM_SYSCOMMAND, SC_CLOSE, 0);
      else
        w.cancel.click.Call(&w);
      return true;
    });
    EXPECT_EQ(answer, 1u);
    EXPECT_EQ(w.GetOutcome(), kExtractCancelled);
    EXPECT_FALSE(fs::exists(out / "big_sparse.bin"));
    EXPECT_FALSE(fs::exists(out / "empty.txt"));
    fs::remove_all(out);
  }
}

// "The file exists. Overwrite?" is a real message box on this thread; its
// caption's close answers as Cancel: the run stops and the file is kept.
TEST(ExtractWindow, AQuestionClosedFromItsCaptionMeansNo) {
  Image image;
  const fs::path out = FreshFolder("question");
  std::ofstream(out / "chunk_exact.bin", std::ios::binary) << "old";
  CExtractWindow w;
  w.AddEntry(image.Entry(u"chunk_exact.bin"));
  w.AddEntry(image.Entry(u"empty.txt"));
  bool asked = false;
  const u32 answer = RunWith(w, out, [&] {
    if (!w.Handle()) return false;
    HWND box = OpenBox(static_cast<HWND>(w.Handle()));
    if (!box) return false;
    asked = true;
    PostMessageW(box, WM_SYSCOMMAND, SC_CLOSE, 0);
    return true;
  });
  EXPECT_TRUE(asked);
  EXPECT_EQ(answer, 0u) << "the window closed by itself";
  EXPECT_EQ(w.GetOutcome(), kExtractStopped);
  EXPECT_EQ(fs::file_size(out / "chunk_exact.bin"), 3u);
  EXPECT_FALSE(fs::exists(out / "empty.txt"));
  fs::remove_all(out);
}

TEST(ExtractWindow, AnImageThatCannotBeOpenedIsToldAndNothingRuns) {
  const fs::path out = FreshFolder("noimage");
  CExtractWindow w;
  bool told = false;
  g_step = [&] {
    HWND box = OpenBox(nullptr);
    if (!box) return false;
    told = true;
    PostMessageW(box, WM_SYSCOMMAND, SC_CLOSE, 0);
    return true;
  };
  const UINT_PTR tick = SetTimer(nullptr, 0, 5, Tick);
  EXPECT_EQ(w.Run(u"fixtures\\extract\\missing.iso", Wide(out).c_str()), 1u);
  KillTimer(nullptr, tick);
  g_step = nullptr;
  EXPECT_TRUE(told);
  EXPECT_EQ(w.Handle(), nullptr);
  fs::remove_all(out);
}

}  // namespace
