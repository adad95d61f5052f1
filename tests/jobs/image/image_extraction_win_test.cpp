// Extraction of image entries to disk, against images made by xorriso
// (fixtures/extract): byte-exact copies of Joliet trees with long names and
// a sparse file of several hundred MB, hostile names refused without a byte
// written outside the target, questions on existing entries, a full disk,
// and a failing read or a cancel in the middle of a file (no partial file
// left).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/headless_job_ui.h"
#include "iso_test_support.h"
#include "jobs/image/image_extraction.h"
#include "jobs/image/iso9660_reader.h"
#include "runtime/file.h"
#include "runtime/message_answers.h"
#include "runtime/win.h"

namespace {

namespace fs = std::filesystem;
using isotest::ToU16;

const fs::path kFixtures = fs::path("fixtures") / "extract";

std::u16string Wide(const fs::path& p) {
  const std::wstring w = p.wstring();
  return std::u16string(w.begin(), w.end());
}

// A fresh, empty folder under extract_out; its parent holds nothing else.
fs::path FreshFolder(const std::string& name) {
  const fs::path parent = fs::path("extract_out") / name;
  std::error_code ec;
  fs::remove_all(parent, ec);
  fs::create_directories(parent / "target");
  return parent / "target";
}

bool SameBytes(const fs::path& a, const fs::path& b) {
  std::ifstream fa(a, std::ios::binary), fb(b, std::ios::binary);
  if (!fa || !fb) return false;
  std::vector<char> ba(1 << 20), bb(1 << 20);
  for (;;) {
    fa.read(ba.data(), ba.size());
    fb.read(bb.data(), bb.size());
    if (fa.gcount() != fb.gcount()) return false;
    if (fa.gcount() == 0) return true;
    if (std::memcmp(ba.data(), bb.data(), static_cast<size_t>(fa.gcount())) != 0) return false;
  }
}

// Every node below dir has its copy under `out` equal to `src`.
void ExpectCopies(CDirNode& dir, const fs::path& src, const fs::path& out, u32* files) {
  for (u32 i = 0; i < dir.GetChildCount(); ++i) {
    CFileNode* node = dir.ChildAt(i);
    const std::u16string name = ToU16(node->name);
    const fs::path s = src / std::wstring(name.begin(), name.end());
    const fs::path o = out / std::wstring(name.begin(), name.end());
    if (node->IsDirectory()) {
      EXPECT_TRUE(fs::is_directory(o)) << o.string();
      ExpectCopies(*static_cast<CDirNode*>(node), s, o, files);
    } else {
      ++*files;
      EXPECT_EQ(fs::file_size(o), node->size) << o.string();
      EXPECT_TRUE(SameBytes(s, o)) << o.string();
    }
  }
}

std::vector<fs::path> EverythingUnder(const fs::path& p) {
  std::vector<fs::path> all;
  for (const auto& e : fs::recursive_directory_iterator(p)) all.push_back(e.path());
  return all;
}

struct OpenedImage {
  CIso9660Reader reader;
  u64 size = 0;
  bool Read(const char* name) {
    const std::u16string path = Wide(kFixtures / name);
    return reader.ReadVolume(&size, path.c_str());
  }
};

void AddChildren(CImageExtraction* x, CDirNode& dir) {
  for (u32 i = 0; i < dir.GetChildCount(); ++i) x->AddEntry(dir.ChildAt(i));
}

TEST(ImageExtraction, JolietTreeComesOutByteExact) {
  OpenedImage image;
  ASSERT_TRUE(image.Read("extract.iso"));
  CDirNode& root = image.reader.GetJolietRoot();
  const fs::path out = FreshFolder("exact");
  CImageExtraction x;
  AddChildren(&x, root);
  EXPECT_EQ(x.GetTotal(), root.CountDirs() + root.CountFiles());
  ASSERT_EQ(x.OpenImage(Wide(kFixtures / "extract.iso").c_str()), 0);
  x.SetTargetFolder(Wide(out).c_str());  // no trailing separator: one is added
  EXPECT_EQ(ToU16(x.GetTargetFolder()).back(), u'\\');
  CHeadlessJobUi ui;
  EXPECT_EQ(x.Run(&ui), kExtractDone);
  EXPECT_TRUE(ui.Questions().empty());
  EXPECT_EQ(x.GetDone(), x.GetTotal());
  EXPECT_DOUBLE_EQ(ui.BarValue(kBarOverall), 100.0);
  // Each file's name is the caption while it is written: the last one's
  // stays (the root's files follow its folders).
  EXPECT_EQ(ui.Caption(kBarOverall), ToU16(root.ChildAt(root.GetChildCount() - 1)->name));
  u32 files = 0;
  ExpectCopies(root, kFixtures / "src", out, &files);
  EXPECT_EQ(files, 12u);
  EXPECT_TRUE(fs::is_directory(out / "Empty folder"));
  EXPECT_EQ(fs::file_size(out / "big_sparse.bin"), 400ull * 1024 * 1024 + 12345);
  fs::remove_all(out.parent_path());
}

// Each hostile entry alone, from either tree: refused with "Error when
// creating file", nothing created in the target or beside it. The plain
// entry of the same image is extracted.
TEST(ImageExtraction, HostileNamesAreRefusedAndNothingEscapes) {
  OpenedImage image;
  ASSERT_TRUE(image.Read("hostile.iso"));
  for (CDirNode* root : {&image.reader.GetJolietRoot(), &image.reader.GetPrimaryRoot()}) {
    const bool joliet = root == &image.reader.GetJolietRoot();
    u32 refused = 0;
    for (u32 i = 0; i < root->GetChildCount(); ++i) {
      CFileNode* node = root->ChildAt(i);
      const std::string name = isotest::ToUtf8(ToU16(node->name));
      const bool safe = name.rfind("SAFE", 0) == 0 || name == "safe.txt";
      const fs::path out = FreshFolder("hostile" + std::to_string(i));
      CImageExtraction x;
      x.AddEntry(node);
      ASSERT_EQ(x.OpenImage(Wide(kFixtures / "hostile.iso").c_str()), 0);
      x.SetTargetFolder(Wide(out).c_str());
      CHeadlessJobUi ui;
      ui.SetDefaultAnswer(kAnswerOk);
      const ExtractOutcome outcome = x.Run(&ui);
      if (safe) {
        EXPECT_EQ(outcome, kExtractDone) << name;
        EXPECT_EQ(EverythingUnder(out).size(), 1u) << name;
      } else {
        ++refused;
        EXPECT_EQ(outcome, kExtractFailed) << name;
        ASSERT_EQ(ui.Questions().size(), 1u) << name;
        EXPECT_EQ(ui.Questions()[0].textId, CImageExtraction::kTextCannotCreate) << name;
        EXPECT_TRUE(EverythingUnder(out).empty()) << name;
      }
      // Beside the target: nothing but the target itself.
      EXPECT_EQ(EverythingUnder(out.parent_path()).size(), 1u + EverythingUnder(out).size()) << name;
      fs::remove_all(out.parent_path());
    }
    EXPECT_EQ(refused, 9u) << (joliet ? "Joliet" : "primary");
  }
  EXPECT_FALSE(fs::exists(fs::path("extract_out") / "escape.txt"));
  EXPECT_FALSE(fs::exists("escape.txt"));
  EXPECT_FALSE(fs::exists("evil.txt"));
}

// No target folder: nothing is written to the root of the current drive.
TEST(ImageExtraction, NoTargetFolderWritesNothing) {
  OpenedImage image;
  ASSERT_TRUE(image.Read("extract.iso"));
  CImageExtraction x;
  x.AddEntry(image.reader.GetJolietRoot().FindChild(u"empty.txt"));
  ASSERT_EQ(x.OpenImage(Wide(kFixtures / "extract.iso").c_str()), 0);
  x.SetTargetFolder(u"");
  CHeadlessJobUi ui;
  EXPECT_EQ(x.Run(&ui), kExtractFailed);
  ASSERT_EQ(ui.Questions().size(), 1u);
  EXPECT_EQ(ui.Questions()[0].textId, CImageExtraction::kTextCannotCreate);
  EXPECT_FALSE(fs::exists("\\empty.txt"));
}

// Existing entries of the same names: the questions, and what each answer
// does.
TEST(ImageExtraction, ExistingEntriesAskAndAnswersDecide) {
  OpenedImage image;
  ASSERT_TRUE(image.Read("extract.iso"));
  CDirNode& root = image.reader.GetJolietRoot();
  CFileNode* folder = root.FindChild(u"Folder with a long name for Joliet");
  CFileNode* file = root.FindChild(u"one_mb.bin");
  CFileNode* after = root.FindChild(u"empty.txt");
  ASSERT_TRUE(folder && file && after);
  enum Pre { kDir, kFile };
  struct Case {
    CFileNode* entry;
    Pre existing;
    u32 answer;
    u32 question;
    ExtractOutcome outcome;
    bool goesOn;  // the entry's contents and the next entry are written
  } cases[] = {
      {folder, kDir, kAnswerOk, CImageExtraction::kTextDirExistsContinue, kExtractDone, true},
      {folder, kDir, kAnswerCancel, CImageExtraction::kTextDirExistsContinue, kExtractStopped, false},
      {folder, kFile, kAnswerOk, CImageExtraction::kTextFileOverDir, kExtractFailed, false},
      {file, kFile, kAnswerOk, CImageExtraction::kTextOverwriteFile, kExtractDone, true},
      {file, kFile, kAnswerCancel, CImageExtraction::kTextOverwriteFile, kExtractStopped, false},
      {file, kFile, kAnswerNo, CImageExtraction::kTextOverwriteFile, kExtractStopped, false},
      {folder, kDir, kAnswerNo, CImageExtraction::kTextDirExistsContinue, kExtractStopped, false},
      {file, kDir, kAnswerOk, CImageExtraction::kTextDirOverFile, kExtractFailed, false},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(n);
    const fs::path out = FreshFolder("existing" + std::to_string(n++));
    const std::u16string name = ToU16(c.entry->name);
    const fs::path there = out / std::wstring(name.begin(), name.end());
    if (c.existing == kDir) {
      fs::create_directory(there);
    } else {
      std::ofstream(there, std::ios::binary) << "old";
    }
    CImageExtraction x;
    x.AddEntry(c.entry);
    x.AddEntry(after);
    ASSERT_EQ(x.OpenImage(Wide(kFixtures / "extract.iso").c_str()), 0);
    x.SetTargetFolder(Wide(out).c_str());
    CHeadlessJobUi ui;
    ui.QueueAnswer(c.answer);
    ui.SetDefaultAnswer(kAnswerOk);
    EXPECT_EQ(x.Run(&ui), c.outcome);
    ASSERT_EQ(ui.Questions().size(), 1u);
    EXPECT_EQ(ui.Questions()[0].textId, c.question);
    EXPECT_EQ(fs::exists(out / "empty.txt"), c.goesOn);
    if (c.entry == file && c.existing == kFile) {
      EXPECT_EQ(fs::file_size(there), c.goesOn ? file->size : 3u);
    }
    if (c.entry == folder && c.existing == kDir) {
      EXPECT_EQ(fs::exists(there / "deeper" / "level two" / "leaf.bin"), c.goesOn);
    }
    fs::remove_all(out.parent_path());
  }
}

// The image file read chunk by chunk, with a hook before a chosen read.
class CHookedSource : public IImageSource {
 public:
  CHookedSource(const fs::path& path, u64 from, u32 hookAt, bool fail, CImageExtraction* x)
      : from_(from), hookAt_(hookAt), fail_(fail), x_(x) {
    file_.OpenRead(Wide(path).c_str());
  }
  HResult ReadAt(u64 offset, void* buffer, u32 count, u32* got) override {
    *got = 0;
    // Only the file's own data counts (not the format detection).
    if (offset >= from_ && ++reads_ == hookAt_) {
      if (fail_) return HResultFromError(23);  // a CRC error of the medium
      x_->Cancel();
    }
    HResult hr = FileSeek(file_.Get(), static_cast<i64>(offset), kFileBegin, nullptr);
    u64 n = 0;
    if (hr == 0) hr = FileReadAll(file_.Get(), buffer, count, &n);
    *got = static_cast<u32>(n);
    return hr;
  }
  HResult GetSize(u64* size) override { return FileSize(file_.Get(), size); }
  u32 Reads() const { return reads_; }

 private:
  CFileHandle file_;
  u64 from_;
  u32 reads_ = 0, hookAt_;
  bool fail_;
  CImageExtraction* x_;
};

// A read failing in the middle of a file, or a cancel while it is copied:
// the run ends at that chunk, the partial file is removed and nothing after
// it is written.
TEST(ImageExtraction, FailedReadOrCancelMidFileLeavesNoPartialFile) {
  OpenedImage image;
  ASSERT_TRUE(image.Read("extract.iso"));
  CDirNode& root = image.reader.GetJolietRoot();
  CFileNode* big = root.FindChild(u"big_sparse.bin");
  CFileNode* after = root.FindChild(u"empty.txt");
  ASSERT_TRUE(big && after);
  for (bool fail : {true, false}) {
    SCOPED_TRACE(fail ? "read failure" : "cancel");
    const fs::path out = FreshFolder(fail ? "readfail" : "cancel");
    CImageExtraction x;
    x.AddEntry(big);
    x.AddEntry(after);
    CHookedSource* source = new CHookedSource(kFixtures / "extract.iso", big->location * 2048, 100, fail, &x);
    ASSERT_EQ(x.AttachImage(source, true), 0);
    x.SetTargetFolder(Wide(out).c_str());
    CHeadlessJobUi ui;
    ui.SetDefaultAnswer(kAnswerOk);
    EXPECT_EQ(x.Run(&ui), fail ? kExtractFailed : kExtractCancelled);
    // A cancel is tested before the next chunk: no read after it.
    EXPECT_EQ(source->Reads(), 100u);
    EXPECT_TRUE(EverythingUnder(out).empty());
    if (fail) {
      ASSERT_EQ(ui.Questions().size(), 1u);
      EXPECT_EQ(ui.Questions()[0].textId, CImageExtraction::kTextCannotCreate);
      EXPECT_EQ(x.GetError(), HResultFromError(23));
    } else {
      EXPECT_TRUE(ui.Questions().empty());
    }
    EXPECT_EQ(x.GetDone(), 0u);
    fs::remove_all(out.parent_path());
  }
}

// A full disk: the target's file is a link to /dev/full made by the
// fixture script. The write fails, the run ends with "There is not enough
// space in disk" and the disk-full error, and nothing after it is written.
// (Wine can neither stat nor delete the device behind the link: the
// removal of the partial file is the next test's.)
TEST(ImageExtraction, FullDiskEndsTheRunWithItsError) {
  const fs::path out = kFixtures / "full";
  OpenedImage image;
  ASSERT_TRUE(image.Read("extract.iso"));
  CDirNode& root = image.reader.GetJolietRoot();
  CImageExtraction x;
  x.AddEntry(root.FindChild(u"one_mb.bin"));
  x.AddEntry(root.FindChild(u"empty.txt"));
  ASSERT_EQ(x.OpenImage(Wide(kFixtures / "extract.iso").c_str()), 0);
  x.SetTargetFolder(Wide(out).c_str());
  CHeadlessJobUi ui;
  ui.SetDefaultAnswer(kAnswerOk);
  EXPECT_EQ(x.Run(&ui), kExtractFailed);
  EXPECT_EQ(x.GetError(), HResultFromError(112)) << "made by tests/fixtures/extract_images.sh";
  ASSERT_EQ(ui.Questions().size(), 1u);
  EXPECT_EQ(ui.Questions()[0].textId, CImageExtraction::kTextNoSpace);
  EXPECT_FALSE(fs::exists(out / "empty.txt"));
}

// The disk fills up in the middle of a file: two chunks reach the file,
// the third write fails. The run ends with "There is not enough space in
// disk" and the write's error, the partial file is removed and nothing
// after it is written.
u32 g_writes = 0;
HResult FillsAfterTwoChunks(void* file, const void* buffer, u64 count, u64* written) {
  if (++g_writes > 2) {
    *written = 0;
    return HResultFromError(112);
  }
  return WriteFileChunked(file, buffer, count, written);
}

TEST(ImageExtraction, WriteFailureMidFileRemovesThePartialFile) {
  OpenedImage image;
  ASSERT_TRUE(image.Read("extract.iso"));
  CDirNode& root = image.reader.GetJolietRoot();
  const fs::path out = FreshFolder("diskfull");
  CImageExtraction x;
  x.AddEntry(root.FindChild(u"one_mb.bin"));
  x.AddEntry(root.FindChild(u"empty.txt"));
  ASSERT_EQ(x.OpenImage(Wide(kFixtures / "extract.iso").c_str()), 0);
  x.SetTargetFolder(Wide(out).c_str());
  g_writes = 0;
  x.writeChunk = FillsAfterTwoChunks;
  CHeadlessJobUi ui;
  EXPECT_EQ(x.Run(&ui), kExtractFailed);
  EXPECT_EQ(g_writes, 3u);
  EXPECT_EQ(x.GetError(), HResultFromError(112));
  ASSERT_EQ(ui.Questions().size(), 1u);
  EXPECT_EQ(ui.Questions()[0].textId, CImageExtraction::kTextNoSpace);
  EXPECT_TRUE(EverythingUnder(out).empty());
  fs::remove_all(out.parent_path());
}

}  // namespace
