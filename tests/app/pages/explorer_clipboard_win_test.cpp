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
#include "runtime/startup.h"
#include "runtime/static_text.h"
#include "support/own_process.h"
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

// What a paste reads of a file on the clipboard at each exit callback
// below: its bytes ("+") or not ("-").
struct ExitNote {
  IDataObject* clip = nullptr;
  LONG index = -1;
  std::string bytes;
  std::string trace;
};
ExitNote g_note;
void NoteStream() {
  FORMATETC contents = RegisterTransferFormats()[kFormatContents];
  contents.lindex = g_note.index;
  STGMEDIUM stream = {};
  std::string got;
  if (g_note.clip->GetData(&contents, &stream) == S_OK) {
    char buffer[4096];
    ULONG n = 0;
    for (HRESULT hr = S_OK; hr == S_OK;) {  // S_FALSE with the last bytes
      hr = stream.pstm->Read(buffer, sizeof(buffer), &n);
      if (SUCCEEDED(hr)) got.append(buffer, n);
      if (!n) break;
    }
  }
  const bool read = got == g_note.bytes;
  if (stream.pstm) ReleaseStgMedium(&stream);
  g_note.trace += read ? "+" : "-";
}
struct TextBefore {};
struct TextAfter {};
void NoteTexts() {
  for (const CWideString* text : {&rt::CStaticText<TextBefore>::Get(u"before"), &rt::CStaticText<TextAfter>::Get(u"after")})
    g_note.trace += text->GetBuffer() ? "t" : "_";
}

// Files copied from an image that needs decoding are read through the
// program's stream provider, a static record with its own copy of the
// image's path. Its first use registers the exit callback that releases
// that path, so the exit list releases it in the order of first use among
// the static texts; pastes after that find no image. (The provider's first
// use, in a process of its own.)
void ReleaseTheStreamProviderInTheOrderOfFirstUse() {
  CIso9660Reader reader;
  u64 size = 0;
  ASSERT_TRUE(reader.ReadVolume(&size, kPlainImage));
  const CFileNode* readme = reader.GetPrimaryRoot().FindChild(u"README.;1");
  ASSERT_NE(nullptr, readme);
  rt::RunExitCallbacks();  // an empty exit list to start from
  g_note = ExitNote();
  rt::CStaticText<TextBefore>::Get(u"before");
  rt::atexit(NoteStream);
  rt::atexit(NoteTexts);
  CClipboardFiles files;
  ASSERT_TRUE(CopyImageEntries(&files, kPlainImage, false, &readme, 1));  // through the provider
  ASSERT_EQ(4u, rt::ExitListCount()) << "the provider's first use registered its release";
  rt::atexit(NoteStream);
  rt::CStaticText<TextAfter>::Get(u"after");
  rt::atexit(NoteTexts);
  ASSERT_TRUE(CopyImageEntries(&files, kPlainImage, false, &readme, 1));  // registers nothing more
  EXPECT_EQ(7u, rt::ExitListCount());

  ASSERT_EQ(S_OK, OleGetClipboard(&g_note.clip));
  g_note.index = 0;
  g_note.bytes = Bytes(kPlainSource / "README");
  ASSERT_FALSE(g_note.bytes.empty());
  rt::RunExitCallbacks();
  g_note.clip->Release();
  EXPECT_EQ("+_t-__", g_note.trace) << "the text before, the path, then the text after released in turn";
}
TEST_F(ExplorerClipboard, TheStreamProviderIsReleasedFromTheExitListInTheOrderOfFirstUse) {
  ExpectInOwnProcess(&ReleaseTheStreamProviderInTheOrderOfFirstUse);
}

}  // namespace
