// The extraction window as a real modal window over an image made by
// xorriso: it shows the file being written and closes by itself when done;
// Cancel and its caption's close stop the worker (joined before Run
// returns, the partial file removed), and while a read of the image hangs
// the window stays until the worker has ended: an aborted read ends at
// once, one that cannot be aborted is told after the notice time (on the
// virtual clock). A question is a real message box on the user-interface
// thread whose caption close answers "stop"; an image that cannot be opened
// is an error, a damaged one is told before its entries are extracted.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "app/job_windows/extract_window.h"
#include "app/job_windows/image_notices.h"
#include "jobs/image/iso9660_reader.h"
#include "render/text/font.h"
#include "render/text/glyph.h"
#include "runtime/file.h"
#include "support/language_scope.h"
#include "support/virtual_clock.h"
#include "tests/app/job_windows/file_image_source_win.h"
#include "ui/support/real_window.h"
#include "ui/windows/dialogs/message_box.h"
#include "ui/windows/frame/window_registry.h"

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
  ADD_FAILURE() << "a window was still open after two minutes";
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

// Runs `run` with `step` ticking in its modal loops and the watchdog set.
u32 Stepping(std::function<u32()> run, std::function<bool()> step) {
  g_step = step;
  const UINT_PTR tick = SetTimer(nullptr, 0, 5, Tick);
  const UINT_PTR dog = SetTimer(nullptr, 0, 120000, Watchdog);
  const u32 answer = run();
  KillTimer(nullptr, tick);
  KillTimer(nullptr, dog);
  g_step = nullptr;
  return answer;
}

u32 RunWith(CExtractWindow& w, const fs::path& target, std::function<bool()> step) {
  return Stepping([&] { return w.Run(Wide(kFixtures / "extract.iso").c_str(), Wide(target).c_str()); }, step);
}

std::u16string WindowTitle(HWND w) {
  wchar_t text[256] = {};
  GetWindowTextW(w, text, 256);
  return std::u16string(text, text + wcslen(text));
}

// extract.iso, except that, once armed (after the format detection, which
// reads the UDF anchor far into the image), the reads from `from` on hang:
// at the gate until Release, or the first in a read of an empty pipe (which
// an aborted read ends; given up after 30 s, so that a window that never
// stops its worker fails the test instead of hanging it).
class CHangingSource : public CTestFileSource {
 public:
  enum Hang { kPipeRead, kGated };
  CHangingSource(u64 from, Hang hang)
      : CTestFileSource(Wide(kFixtures / "extract.iso").c_str(), from), from_(from), hang_(hang) {
    CreatePipe(&pipeRead_, &pipeWrite_, nullptr, 0);
    release_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  }
  ~CHangingSource() override {
    Release();
    if (closer_) {
      WaitForSingleObject(closer_, 35000);
      CloseHandle(closer_);
    }
    CloseHandle(pipeRead_);
    if (pipeWrite_) CloseHandle(pipeWrite_);
    CloseHandle(release_);
  }
  HResult ReadAt(u64 offset, void* buffer, u32 count, u32* got) override {
    *got = 0;
    if (armed_ && offset >= from_ && !hung_.exchange(true)) {
      hanging_ = true;
      char byte = 0;
      DWORD n = 0;
      // Nothing is ever written: only an abort or the give-up ends it.
      SetTimeoutCloser();
      if (!ReadFile(pipeRead_, &byte, 1, &n, nullptr)) {
        const DWORD error = GetLastError();
        hanging_ = false;
        return HResultFromError(error);
      }
      hanging_ = false;
    }
    return CTestFileSource::ReadAt(offset, buffer, count, got);
  }
  void Arm() { hang_ == kGated ? gate.Shut() : armed_.store(true); }
  bool IsHanging() { return hanging_ || gate.Parked(); }
  void Release() {
    gate.Open();
    SetEvent(release_);
  }

 private:
  // The give-up of the pipe read: its writing end closed after 30 s.
  void SetTimeoutCloser() {
    struct Closer {
      static DWORD WINAPI Run(void* p) {
        CHangingSource* s = static_cast<CHangingSource*>(p);
        if (WaitForSingleObject(s->release_, 30000) == WAIT_TIMEOUT) {
          CloseHandle(s->pipeWrite_);
          s->pipeWrite_ = nullptr;
        }
        return 0;
      }
    };
    closer_ = CreateThread(nullptr, 0, &Closer::Run, this, 0, nullptr);
  }

  u64 from_;
  Hang hang_;
  HANDLE pipeRead_ = nullptr, pipeWrite_ = nullptr, release_ = nullptr, closer_ = nullptr;
  std::atomic<bool> armed_{false}, hung_{false}, hanging_{false};
};

// A window over a first entry (big_sparse.bin unless named) whose read
// hangs `into` bytes in (its second chunk unless told), and a second entry
// (empty.txt unless named).
struct HangingRun {
  Image image;
  CExtractWindow w;
  CHangingSource* source = nullptr;
  fs::path out;
  HangingRun(const std::string& name, CHangingSource::Hang hang, const char16_t* second = u"empty.txt",
             const char16_t* first = u"big_sparse.bin", u64 into = CImageExtraction::kChunkBytes)
      : out(FreshFolder(name)) {
    CFileNode* hanging = image.Entry(first);
    w.AddEntry(hanging);
    w.AddEntry(image.Entry(second));
    source = new CHangingSource(hanging->location * 2048 + into, hang);
    EXPECT_EQ(w.extraction.AttachImage(source, false), 0);
    source->Arm();
  }
  ~HangingRun() {
    source->Release();
    w.extraction.AttachImage(nullptr, false);
    delete source;
    std::error_code ec;
    fs::remove_all(out, ec);
  }
  u32 Run(std::function<bool()> step) {
    return Stepping([&] { return w.RunOpened(Wide(out).c_str(), 0); }, step);
  }
};

// The label says what the window does in the interface's language: at
// first "Extracting files...", then with the name of the file being
// written; the last file's name stays when it closes by itself.
TEST(ExtractWindow, ExtractsWithProgressShowsTheFileBeingWrittenAndClosesByItself) {
  const struct {
    u32 language;
    std::u16string title;
  } cases[] = {{kLanguageEnglish, u"Extracting files..."}, {kLanguageSpanish, u"Extrayendo ficheros..."}};
  for (const auto& c : cases) {
    CLanguageScope language(c.language);
    Image image;
    const fs::path out = FreshFolder("done");
    CExtractWindow w;
    w.AddEntry(image.Entry(u"chunk_exact.bin"));
    w.AddEntry(image.Entry(u"Folder with a long name for Joliet"));
    EXPECT_EQ(w.GetTotal(), 6u) << "a file, then a folder with its four entries below";
    std::u16string first;
    const u32 answer = RunWith(w, out, [&] {
      if (w.Handle() && first.empty()) first = w.label.text.c_str();
      return !first.empty();
    });
    EXPECT_EQ(answer, 0u);
    EXPECT_EQ(first.substr(0, c.title.size()), c.title);
    // The folder's sub-folders come before its files.
    EXPECT_EQ(std::u16string(w.label.text.c_str()), c.title + u" inner file with spaces.txt");
    EXPECT_EQ(std::u16string(w.title.c_str()), c.title);
    EXPECT_EQ(w.GetOutcome(), kExtractDone);
    EXPECT_DOUBLE_EQ(w.progress.value, 100.0);
    EXPECT_EQ(fs::file_size(out / "chunk_exact.bin"), CImageExtraction::kChunkBytes);
    EXPECT_EQ(fs::file_size(out / "Folder with a long name for Joliet" / "deeper" / "level two" / "leaf.bin"), 70000u);
    fs::remove_all(out);
  }
}

std::string Bytes(const fs::path& p) {
  std::ifstream f(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

// An image with ISO 9660 names alone (made without Joliet): the tree shows
// the names as recorded, with their versions; exported, the files on disk
// go without them ("README.;1" as README) and hold the bytes they were
// made from, and the label names each file as it is written.
TEST(ExtractWindow, PlainIsoNamesComeOutWithoutTheirVersions) {
  CIso9660Reader reader;
  u64 size = 0;
  const fs::path image = kFixtures / "plain.iso";
  ASSERT_TRUE(reader.ReadVolume(&size, Wide(image).c_str()));
  CDirNode& root = reader.GetPrimaryRoot();
  ASSERT_EQ(3u, root.GetChildCount());
  const fs::path out = FreshFolder("plain");
  CExtractWindow w;
  for (u32 i = 0; i < root.GetChildCount(); ++i) w.AddEntry(root.ChildAt(i));
  const u32 answer = Stepping([&] { return w.Run(Wide(image).c_str(), Wide(out).c_str()); }, [] { return true; });
  EXPECT_EQ(0u, answer);
  EXPECT_EQ(kExtractDone, w.GetOutcome());
  const fs::path src = kFixtures / "plain_src";
  const struct {
    const char16_t* inTree;
    fs::path onDisk, source;
  } files[] = {
      {u"THIS_IS_.TXT;1", out / "THIS_IS_.TXT", src / "this is a long name.txt"},
      {u"README.;1", out / "README", src / "README"},
      {u"DOCS", out / "DOCS" / "INNER.BIN", src / "docs" / "inner.bin"},
  };
  for (const auto& f : files) {
    EXPECT_NE(nullptr, root.FindChild(f.inTree)) << f.onDisk.string();
    const std::string made = Bytes(f.source);
    EXPECT_FALSE(made.empty()) << f.source.string();
    EXPECT_TRUE(made == Bytes(f.onDisk)) << f.onDisk.string();
  }
  std::vector<std::string> written;
  for (const auto& e : fs::recursive_directory_iterator(out)) written.push_back(e.path().filename().string());
  std::sort(written.begin(), written.end());
  EXPECT_EQ((std::vector<std::string>{"DOCS", "INNER.BIN", "README", "THIS_IS_.TXT"}), written);
  // The last file written, by the name it was written under.
  const std::u16string label = w.label.text.c_str();
  EXPECT_EQ(u" THIS_IS_.TXT", label.substr(label.size() - 13)) << std::string(label.begin(), label.end());
  fs::remove_all(out);
}

// The rows the default font's glyphs of `text` cover, from the lowest
// descender to the highest accent (and the font's line height).
i32 GlyphRowsOf(const std::u16string& text, double* lineHeight = nullptr) {
  CFont* font = GetDefaultFont();
  if (!font) return 0;
  double top = 0, bottom = 0;
  for (char16_t c : text)
    if (const Glyph* g = font->FindGlyph(c)) {
      top = std::max(top, g->bottom + g->rows);
      bottom = std::min(bottom, g->bottom);
    }
  if (lineHeight) *lineHeight = font->lineHeight;
  font->Release();
  return static_cast<i32>(top - bottom);
}

// The label names the file being written with every glyph whole at the
// default font: "Extracting files... École.txt" inks every row from the
// descender of the g to the top of the acute over the É, inside the
// label's box (the label is 16 rows high).
TEST(ExtractWindow, TheLabelShowsTheAccentOfTheFileBeingWritten) {
  CLanguageScope language(kLanguageEnglish);
  const std::u16string shown = u"Extracting files... \u00C9cole.txt";
  const i32 glyphRows = GlyphRowsOf(shown);
  HangingRun run("accent", CHangingSource::kGated, u"empty.txt", u"\u00C9cole.txt", 0);
  i32 inked = -1, labelHeight = 0;
  run.Run([&] {
    auto& label = run.w.label;
    if (!run.w.Handle() || !run.source->IsHanging() || std::u16string(label.text.c_str()) != shown) return false;
    // The rows where the text changes the window's pixels.
    label.text.Assign(u"");
    run.w.Repaint();
    const std::vector<u32> ground = SurfacePixelsOver(run.w, label.ToWindowRect());
    label.text.Assign(shown.c_str());
    label.LayoutText();
    run.w.Repaint();
    const std::vector<u32> drawn = SurfacePixelsOver(run.w, label.ToWindowRect());
    labelHeight = label.height;
    inked = 0;
    for (i32 y = 0; y < label.height; ++y) {
      bool ink = false;
      for (i32 x = 0; x < label.width; ++x) ink = ink || drawn[y * label.width + x] != ground[y * label.width + x];
      inked += ink;
    }
    run.source->Release();
    return true;
  });
  EXPECT_EQ(16, labelHeight);
  EXPECT_EQ(13, glyphRows) << "the font's glyphs, from the descender to the acute";
  EXPECT_EQ(glyphRows, inked) << "every row of the glyphs shows";
}

// A name nearly as long as Joliet allows, with accented capitals: the
// 16-row label shows one line, shortened, every glyph whole. Read from the
// window's surface as the worker's caption left it (a fresh paint gives the
// same pixels), against the ground the label covers: its ink is the ink of
// the same label made roomy (taller, as wide), which is one line, as high
// as the text's glyphs from the descender to the acute; the rows below that
// line stay clear; and its first columns are those of the start of the text
// drawn alone: "Extracting files... " and the start of the name.
TEST(ExtractWindow, ALongNameShowsOnOneLineShortenedWithEveryGlyphWhole) {
  CLanguageScope language(kLanguageEnglish);
  const std::u16string name = u"\u00C1vila y \u00DAbeda, fotograf\u00EDas de las vacaciones de verano 2023.jpg";
  const std::u16string shown = u"Extracting files... " + name;
  const std::u16string start = u"Extracting files... \u00C1vila";
  ASSERT_EQ(63u, name.size());
  double lineHeight = 0;
  const i32 glyphRows = GlyphRowsOf(shown, &lineHeight);
  HangingRun run("long", CHangingSource::kGated, u"empty.txt", name.c_str(), 0);
  ASSERT_NE(nullptr, run.image.Entry(name.c_str()));
  std::vector<u32> drawn, again, ground, roomyDrawn, roomyGround, startDrawn;
  i32 width = 0, height = 0, roomyHeight = 0;
  run.Run([&] {
    auto& label = run.w.label;
    if (!run.w.Handle() || !run.source->IsHanging() || std::u16string(label.text.c_str()) != shown) return false;
    width = label.width;
    height = label.height;
    drawn = SurfacePixelsOver(run.w, label.ToWindowRect());
    run.w.Repaint();
    again = SurfacePixelsOver(run.w, label.ToWindowRect());
    const auto paint = [&](const char16_t* text) {
      label.text.Assign(text);
      label.LayoutText();
      run.w.Repaint();
      return SurfacePixelsOver(run.w, label.ToWindowRect());
    };
    ground = paint(u"");
    startDrawn = paint(start.c_str());
    // Roomy: up to the content's top, above the label.
    const i32 x = label.x, y = label.y;
    roomyHeight = run.w.GetContentRect().bottom - y - 4;
    label.SetBounds(x, y, width, roomyHeight);
    roomyGround = paint(u"");
    roomyDrawn = paint(shown.c_str());
    label.SetBounds(x, y, width, height);
    paint(shown.c_str());
    run.source->Release();
    return true;
  });
  ASSERT_EQ(16, height);
  ASSERT_GT(roomyHeight, 2 * lineHeight) << "room for a second line";
  ASSERT_EQ(drawn.size(), ground.size());
  EXPECT_TRUE(drawn == again) << "a fresh paint gives the same pixels";
  // The ink: the rows and columns where the text changes the ground.
  const auto inkOf = [&](const std::vector<u32>& pixels, const std::vector<u32>& under, i32 rows) {
    i32 x0 = width, x1 = -1, y0 = rows, y1 = -1;
    for (i32 y = 0; y < rows; ++y)
      for (i32 x = 0; x < width; ++x)
        if (pixels[y * width + x] != under[y * width + x]) {
          x0 = std::min(x0, x);
          x1 = std::max(x1, x);
          y0 = std::min(y0, y);
          y1 = std::max(y1, y);
        }
    std::vector<std::vector<u32>> ink;
    for (i32 y = y0; y <= y1; ++y) ink.push_back(std::vector<u32>(pixels.begin() + y * width + x0, pixels.begin() + y * width + x1 + 1));
    return ink;
  };
  const auto line = inkOf(drawn, ground, height);
  const auto roomy = inkOf(roomyDrawn, roomyGround, roomyHeight);
  EXPECT_EQ(glyphRows, static_cast<i32>(roomy.size())) << "the roomy label shows one line, accents and descenders whole";
  EXPECT_TRUE(line == roomy) << "every glyph of the line whole, as in the roomy label";
  for (i32 y = 0; y < height - glyphRows; ++y)
    for (i32 x = 0; x < width; ++x)
      ASSERT_EQ(ground[y * width + x], drawn[y * width + x]) << "inked below the line, row " << y << " column " << x;
  // The columns up to the last that the start inks, over the label's rows.
  i32 startEnd = -1;
  for (i32 y = 0; y < height; ++y)
    for (i32 x = 0; x < width; ++x)
      if (startDrawn[y * width + x] != ground[y * width + x]) startEnd = std::max(startEnd, x);
  ASSERT_GT(startEnd, 0);
  for (i32 y = 0; y < height; ++y)
    for (i32 x = 0; x <= startEnd; ++x)
      ASSERT_EQ(startDrawn[y * width + x], drawn[y * width + x]) << "the start of the text, row " << y << " column " << x;
}

// The window's minimum track size is the size it opens with.
TEST(ExtractWindow, CannotBeMadeSmallerThanItOpens) {
  Image image;
  const fs::path out = FreshFolder("size");
  CExtractWindow w;
  w.AddEntry(image.Entry(u"big_sparse.bin"));
  MINMAXINFO info = {};
  RECT r = {};
  RunWith(w, out, [&] {
    if (!w.Handle()) return false;
    HWND hwnd = static_cast<HWND>(w.Handle());
    GetWindowRect(hwnd, &r);
    SendMessageW(hwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    w.CancelAndClose();
    return true;
  });
  EXPECT_EQ(399, info.ptMinTrackSize.x);
  EXPECT_EQ(159, info.ptMinTrackSize.y);
  EXPECT_EQ(r.right - r.left, info.ptMinTrackSize.x) << "as wide as it opens";
  EXPECT_EQ(r.bottom - r.top, info.ptMinTrackSize.y) << "as high as it opens";
  fs::remove_all(out);
}

// Cancel and the caption's close, while the big file is being written: the
// worker stops at its next chunk and has ended when Run returns; the
// partial file is gone and nothing after it was written.
TEST(ExtractWindow, CancelAndCaptionCloseStopTheWorker) {
  for (int way : {0, 1, 2}) {
    SCOPED_TRACE(way == 0 ? "Cancel" : way == 1 ? "system close" : "caption button");
    Image image;
    const fs::path out = FreshFolder(way == 0 ? "cancel" : way == 1 ? "caption" : "button");
    CExtractWindow w;
    w.AddEntry(image.Entry(u"big_sparse.bin"));
    w.AddEntry(image.Entry(u"empty.txt"));
    const u32 answer = RunWith(w, out, [&] {
      std::error_code ec;
      if (!w.Handle() || fs::file_size(out / "big_sparse.bin", ec) == 0 || ec) return false;
      if (way == 0)
        w.cancel.click.Call(&w);
      else if (way == 1)
        PostMessageW(static_cast<HWND>(w.Handle()), WM_SYSCOMMAND, SC_CLOSE, 0);
      else
        PostMessageW(static_cast<HWND>(w.Handle()), WM_CLOSE, 0, 0);  // as the caption's button does
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

// The message box object of an open box's window.
CMessageBox* BoxOf(HWND box) {
  WindowBinding* record = WindowRegistry::Resolve(reinterpret_cast<uintptr_t>(box));
  return record ? static_cast<CMessageBox*>(record->object) : nullptr;
}

// Extracting into a folder that holds the file: the overwrite question
// opens with no button focused. The first Tab gives the focus to the box
// itself (its caption's close button lit), the third to Cancel; Enter on
// either presses it, not the default OK: the file is kept and the
// extraction stops as the question's Cancel stops it.
TEST(ExtractWindow, EnterOnTheFocusedCloseOrCancelOfTheOverwriteQuestionKeepsTheFile) {
  const struct {
    const char* target;
    int tabs;
  } cases[] = {{"the box", 1}, {"Cancel", 3}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.target);
    Image image;
    const fs::path out = FreshFolder("enter_cancel");
    std::ofstream(out / "chunk_exact.bin", std::ios::binary) << "old";
    CExtractWindow w;
    w.AddEntry(image.Entry(u"chunk_exact.bin"));
    w.AddEntry(image.Entry(u"empty.txt"));
    std::string atOpen, beforeEnter;
    int tabs = 0;
    bool closeLit = false;
    auto name = [](CMessageBox* box) -> std::string {
      const CWidget* f = FocusedWidget();
      if (!f) return "none";
      if (f == static_cast<const CWidget*>(box)) return "the box";
      return f == &box->buttons[0] ? "OK" : f == &box->buttons[1] ? "Cancel" : "other";
    };
    const u32 answer = RunWith(w, out, [&] {
      if (!w.Handle()) return false;
      HWND hwnd = OpenBox(static_cast<HWND>(w.Handle()));
      CMessageBox* box = hwnd ? BoxOf(hwnd) : nullptr;
      if (!box) return false;
      if (atOpen.empty()) atOpen = name(box);
      if (tabs < c.tabs) {
        PostMessageW(hwnd, WM_KEYDOWN, VK_TAB, 1);  // as typed: through the question's loop
        PostMessageW(hwnd, WM_KEYUP, VK_TAB, 1);
        ++tabs;
        return false;
      }
      beforeEnter = name(box);
      closeLit = box->hotButton == kCaptionClose;
      PostMessageW(hwnd, WM_KEYDOWN, VK_RETURN, 1);
      PostMessageW(hwnd, WM_KEYUP, VK_RETURN, 1);
      return true;
    });
    EXPECT_EQ("none", atOpen) << "the question opens with no button focused";
    EXPECT_EQ(c.target, beforeEnter);
    EXPECT_EQ(c.tabs == 1, closeLit) << "the close button is lit while the box itself has the focus";
    EXPECT_EQ(answer, 0u) << "the window closed by itself";
    EXPECT_EQ(w.GetOutcome(), kExtractStopped);
    EXPECT_EQ(fs::file_size(out / "chunk_exact.bin"), 3u) << "the file that was there is kept";
    EXPECT_FALSE(fs::exists(out / "empty.txt"));
    fs::remove_all(out);
  }
}

// A press held on the extraction window's Cancel when the worker's question
// opens over it: the held button had the mouse capture, and every click on
// the question was dropped as meant for the window below. The question
// takes the mouse: a click on its Cancel answers (the file is kept, the
// extraction stops by itself), and the held Cancel below neither fires nor
// stays held.
TEST(ExtractWindow, AQuestionOpenedUnderAHeldPressAnswersItsOwnClicks) {
  HangingRun run("held_press", CHangingSource::kGated, u"chunk_exact.bin");
  std::ofstream(run.out / "chunk_exact.bin", std::ios::binary) << "old";
  CMessageBox* box = nullptr;
  bool heldWhenAsked = false;
  HWND below = nullptr;
  std::vector<HWND> clicked;
  int step = 0;
  const u32 answer = run.Run([&] {
    HWND hwnd = static_cast<HWND>(run.w.Handle());
    if (!hwnd || (step < 3 && !run.source->IsHanging())) return false;
    below = hwnd;
    switch (step) {
      case 0:  // the pointer comes over the window's Cancel ...
        PostMouseAsTheSystemWould(WM_MOUSEMOVE, 0, WidgetCentre(run.w.cancel));
        break;
      case 1:  // ... and presses it, just before the worker asks
        PostMouseAsTheSystemWould(WM_LBUTTONDOWN, MK_LBUTTON, WidgetCentre(run.w.cancel));
        break;
      case 2:  // the worker goes on to the file that is there, and asks
        if (CaptureOwner() != &run.w.cancel || GetCapture() != hwnd) return false;
        heldWhenAsked = (run.w.cancel.state & CButton<CExtractWindow>::kHeld) != 0;
        run.source->Release();
        break;
      case 3: {
        HWND question = OpenBox(hwnd);
        if (!question || !(box = BoxOf(question))) return false;
        clicked.push_back(PostMouseAsTheSystemWould(WM_MOUSEMOVE, 0, WidgetCentre(box->buttons[1])));
        break;
      }
      case 4:
        clicked.push_back(PostMouseAsTheSystemWould(WM_LBUTTONDOWN, MK_LBUTTON, WidgetCentre(box->buttons[1])));
        break;
      case 5:
        clicked.push_back(PostMouseAsTheSystemWould(WM_LBUTTONUP, 0, WidgetCentre(box->buttons[1])));
        return true;
    }
    ++step;
    return false;
  });
  ASSERT_EQ(3u, clicked.size());
  EXPECT_TRUE(heldWhenAsked) << "the press was still held below when the question opened";
  for (HWND target : clicked) EXPECT_NE(below, target) << "the window below kept the mouse";
  EXPECT_EQ(answer, 0u) << "the question answered; the Cancel below did not fire";
  EXPECT_EQ(run.w.GetOutcome(), kExtractStopped);
  EXPECT_EQ(fs::file_size(run.out / "chunk_exact.bin"), 3u);
  EXPECT_EQ(0, run.w.cancel.state & (CButton<CExtractWindow>::kHot | CButton<CExtractWindow>::kHeld));
}

// A read of the image that hangs (a drive or share that stopped
// answering) while Cancel is pressed: the read is aborted, the partial file
// removed and the window closes at once, without waiting for the read.
TEST(ExtractWindow, CancelAbortsAHangingRead) {
  HangingRun run("aborted", CHangingSource::kPipeRead);
  DWORD cancelledAt = 0;
  const u32 answer = run.Run([&] {
    if (!run.w.Handle() || !run.source->IsHanging()) return false;
    cancelledAt = GetTickCount();
    run.w.cancel.click.Call(&run.w);
    return true;
  });
  const DWORD took = GetTickCount() - cancelledAt;
  EXPECT_EQ(answer, 1u);
  EXPECT_LT(took, 5000u) << "the read was aborted, not waited for";
  EXPECT_EQ(run.w.GetOutcome(), kExtractCancelled);
  EXPECT_FALSE(run.w.HasToldNoAnswer());
  EXPECT_FALSE(fs::exists(run.out / "big_sparse.bin")) << "no partial file";
  EXPECT_FALSE(fs::exists(run.out / "empty.txt"));
}

// A read that cannot be aborted: the window stays open and says it is
// stopping, with Cancel disabled; after the notice time the user is told,
// once, that the image does not answer; when the read ends the worker
// stops, the partial file goes and the window closes by itself.
TEST(ExtractWindow, AReadThatCannotBeAbortedKeepsTheWindowAndIsTold) {
  CLanguageScope language(kLanguageEnglish);
  CVirtualClock clock;
  CInstalledClock installed(clock);
  HangingRun run("stuck", CHangingSource::kGated);
  bool cancelled = false, stayed = false, stopping = false, told = false;
  u64 toldAfterMs = 0, cancelledAtMs = 0;
  const u32 answer = run.Run([&] {
    HWND hwnd = static_cast<HWND>(run.w.Handle());
    if (!hwnd || !run.source->IsHanging()) return false;
    if (!cancelled) {
      cancelled = true;
      cancelledAtMs = clock.NowMs();
      run.w.cancel.click.Call(&run.w);
      return false;
    }
    if (!IsWindow(hwnd)) return true;  // closed under the hanging read: the test fails below
    stayed = true;
    stopping = run.w.IsStopping() && (run.w.cancel.flags & kFlagDisabled) &&
               std::u16string(run.w.label.text.c_str()) == u"Stopping...";
    HWND box = OpenBox(hwnd);
    if (!box) return false;
    told = IsWindow(hwnd) && WindowTitle(box) == u"Warning!";
    toldAfterMs = clock.NowMs() - cancelledAtMs;
    run.source->Release();
    PostMessageW(box, WM_SYSCOMMAND, SC_CLOSE, 0);
    return true;
  });
  EXPECT_TRUE(stayed) << "the window stayed while the read hung";
  EXPECT_TRUE(stopping) << "and said that it is stopping";
  EXPECT_TRUE(told) << "the user was told while the window waited";
  EXPECT_GE(toldAfterMs, CExtractWindow::kStopNoticeMs);
  EXPECT_TRUE(run.w.HasToldNoAnswer());
  EXPECT_EQ(answer, 1u);
  EXPECT_EQ(run.w.GetOutcome(), kExtractCancelled);
  EXPECT_FALSE(fs::exists(run.out / "big_sparse.bin")) << "no partial file";
}

// The window destroyed under a hanging read (the program being ended):
// Run still returns only after the worker, and the user is told while it
// waits.
TEST(ExtractWindow, AWindowDestroyedUnderAHangingReadStillWaitsForItsWorker) {
  CVirtualClock clock;
  CInstalledClock installed(clock);
  HangingRun run("destroyed", CHangingSource::kGated);
  bool destroyed = false, toldWhileHanging = false;
  const u32 answer = run.Run([&] {
    if (!destroyed) {
      if (!run.w.Handle() || !run.source->IsHanging()) return false;
      destroyed = true;
      DestroyWindow(static_cast<HWND>(run.w.Handle()));
      return false;
    }
    HWND box = OpenBox(nullptr);
    if (!box) return false;
    toldWhileHanging = run.source->IsHanging();
    run.source->Release();
    PostMessageW(box, WM_SYSCOMMAND, SC_CLOSE, 0);
    return true;
  });
  EXPECT_TRUE(destroyed);
  EXPECT_TRUE(toldWhileHanging);
  EXPECT_FALSE(run.source->IsHanging()) << "Run returned after the read";
  EXPECT_EQ(run.w.GetOutcome(), kExtractCancelled);
  EXPECT_FALSE(fs::exists(run.out / "big_sparse.bin")) << "no partial file";
  EXPECT_EQ(answer, 1u) << "a run that did not end by itself counts as cancelled";
}

// An image cut short by its maker's tool: before the window opens the user
// is told once that it is damaged (a warning with one OK button), then the
// entries the tree holds are extracted.
TEST(ExtractWindow, ADamagedImageIsToldFirstAndTheRestExtracted) {
  CLanguageScope language(kLanguageEnglish);
  const std::u16string cut = Wide(fs::path("fixtures") / "iso" / "joliet.cut.iso.part");
  CIso9660Reader reader;
  u64 size = 0;
  ASSERT_TRUE(reader.ReadVolume(&size, cut.c_str()));
  const u32 leftOut = DamagedEntriesOf(reader, kTreeJoliet);
  ASSERT_GT(leftOut, 0u);
  CDirNode& root = reader.GetJolietRoot();
  const fs::path out = FreshFolder("damaged");
  CExtractWindow w;
  for (u32 i = 0; i < root.GetChildCount(); ++i) w.AddEntry(root.ChildAt(i));
  int boxes = 0;
  bool beforeTheWindow = false;
  const u32 answer = Stepping([&] { return w.Run(cut.c_str(), Wide(out).c_str(), leftOut); }, [&] {
    HWND box = OpenBox(static_cast<HWND>(w.Handle()));
    if (!box || WindowTitle(box) != u"Warning!") return w.Handle() != nullptr;
    ++boxes;
    beforeTheWindow = w.Handle() == nullptr;
    PostMessageW(box, WM_SYSCOMMAND, SC_CLOSE, 0);
    return false;
  });
  EXPECT_EQ(boxes, 1);
  EXPECT_TRUE(beforeTheWindow);
  EXPECT_EQ(answer, 0u);
  EXPECT_EQ(w.GetOutcome(), kExtractDone);
  for (u32 i = 0; i < root.GetChildCount(); ++i) {
    const CFileNode* entry = root.ChildAt(i);
    const std::u16string name(entry->name.c_str(), entry->name.GetLength());
    EXPECT_TRUE(fs::exists(out / std::wstring(name.begin(), name.end())));
  }
  EXPECT_FALSE(fs::exists(out / "big.bin")) << "its data lies past the end";
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
