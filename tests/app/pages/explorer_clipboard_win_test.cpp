// Copy from an opened image: the files on the clipboard are named as they
// are written outside the image (an ISO 9660 name without its version, a
// name without an extension without the dot left before it), relative to
// the copied selection, and a paste reads the bytes the image was made from.
#include <gtest/gtest.h>

#include <ole2.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/pages/explorer_clipboard.h"
#include "jobs/image/iso9660_reader.h"
#include "ui/windows/ole/file_group_descriptor.h"
#include "ui/windows/ole/ole_session.h"
#include "ui/windows/ole/transfer_formats_win.h"

namespace {

namespace fs = std::filesystem;

const fs::path kPlainSource = fs::path("fixtures") / "extract" / "plain_src";
const char16_t kPlainImage[] = u"fixtures\\extract\\plain.iso";

std::string Bytes(const fs::path& p) {
  std::ifstream f(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

std::string ReadStream(IStream* stream) {
  std::string out;
  char buffer[4096];
  for (ULONG n = 1; n && stream->Read(buffer, sizeof(buffer), &n) == S_OK;) out.append(buffer, n);
  return out;
}

struct ExplorerClipboard : testing::Test {
  static void SetUpTestSuite() { ole = new COleSession; }
  static void TearDownTestSuite() { delete ole; }
  void TearDown() override { OleSetClipboard(nullptr); }
  static COleSession* ole;
};
COleSession* ExplorerClipboard::ole = nullptr;

TEST_F(ExplorerClipboard, PlainIsoNamesGoWithoutTheirVersions) {
  CIso9660Reader reader;
  u64 size = 0;
  ASSERT_TRUE(reader.ReadVolume(&size, kPlainImage));
  CDirNode& root = reader.GetPrimaryRoot();
  std::vector<const CFileNode*> entries;
  for (u32 i = 0; i < root.GetChildCount(); ++i) entries.push_back(root.ChildAt(i));
  ASSERT_EQ(3u, entries.size());
  ASSERT_NE(nullptr, root.FindChild(u"README.;1")) << "the tree keeps the names as recorded";
  CClipboardFiles files;
  ASSERT_TRUE(CopyImageEntries(&files, kPlainImage, true, entries.data(), static_cast<u32>(entries.size())));

  IDataObject* clip = nullptr;
  ASSERT_EQ(S_OK, OleGetClipboard(&clip));
  FORMATETC format = RegisterTransferFormats()[kFormatDescriptor];
  STGMEDIUM medium = {};
  ASSERT_EQ(S_OK, clip->GetData(&format, &medium));
  std::vector<std::u16string> names;
  const u8* block = static_cast<const u8*>(GlobalLock(medium.hGlobal));
  ASSERT_NE(nullptr, block);
  FileDescriptorFields f;
  for (u32 i = 0; ReadFileDescriptor(block, static_cast<u32>(GlobalSize(medium.hGlobal)), i, &f); ++i)
    names.push_back(std::u16string(f.name.c_str(), f.name.GetLength()));
  GlobalUnlock(medium.hGlobal);
  ReleaseStgMedium(&medium);

  const struct {
    std::u16string name;
    fs::path source;  // empty: a folder
  } expected[] = {
      {u"DOCS", {}},
      {u"DOCS\\INNER.BIN", kPlainSource / "docs" / "inner.bin"},
      {u"README", kPlainSource / "README"},
      {u"THIS_IS_.TXT", kPlainSource / "this is a long name.txt"},
  };
  ASSERT_EQ(std::size(expected), names.size());
  for (const auto& e : expected) {
    const auto at = std::find(names.begin(), names.end(), e.name);
    ASSERT_NE(names.end(), at) << std::string(e.name.begin(), e.name.end());
    if (e.source.empty()) continue;
    FORMATETC contents = RegisterTransferFormats()[kFormatContents];
    contents.lindex = static_cast<LONG>(at - names.begin());
    STGMEDIUM stream = {};
    ASSERT_EQ(S_OK, clip->GetData(&contents, &stream)) << std::string(e.name.begin(), e.name.end());
    const std::string made = Bytes(e.source);
    EXPECT_FALSE(made.empty());
    EXPECT_TRUE(made == ReadStream(stream.pstm)) << std::string(e.name.begin(), e.name.end());
    ReleaseStgMedium(&stream);
  }
  clip->Release();
}

}  // namespace
