// Files offered on the clipboard as descriptors and streams, and file lists
// and text read from it, under Wine's OLE clipboard.
#include <gtest/gtest.h>

#include <ole2.h>
#include <shlobj.h>

#include <string>
#include <utility>
#include <vector>

#include "runtime/heap.h"
#include "runtime/platform.h"
#include "ui/support/drop_blocks.h"
#include "ui/support/fake_data_object_win.h"
#include "ui/windows/ole/clipboard_files.h"
#include "ui/windows/ole/clipboard_read.h"
#include "ui/windows/ole/file_data_object_win.h"
#include "ui/windows/ole/file_group_descriptor.h"
#include "ui/windows/ole/ole_session.h"
#include "ui/windows/ole/transfer_formats_win.h"

namespace {

// An image of 80000 bytes, each a function of its offset, holding two files.
struct ImageFile {
  ImageFile() : content(80000, '\0') {
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    path = std::wstring(folder) + L"kelvane_transfer.bin";
    for (size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
    HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(f, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
    CloseHandle(f);
  }
  ~ImageFile() { DeleteFileW(path.c_str()); }
  const wchar16* Path() const { return reinterpret_cast<const wchar16*>(path.c_str()); }
  std::wstring path;
  std::string content;
};
struct FileSpec {
  const char16_t* name;
  u64 position, size;
} const kFiles[] = {{u"a.bin", 100, 3000}, {u"dir\\b.bin", 5000, 70001}};

std::string ReadAll(IStream* stream, ULONG chunk, HRESULT* last) {
  std::string out;
  std::vector<char> buffer(chunk);
  for (ULONG n = 1; n && (*last = stream->Read(buffer.data(), chunk, &n)) == S_OK;) out.append(buffer.data(), n);
  return out;
}

IStream* Contents(IDataObject* data, LONG index, HRESULT* hr) {
  FORMATETC format = RegisterTransferFormats()[kFormatContents];
  format.lindex = index;
  STGMEDIUM medium = {};
  *hr = data->GetData(&format, &medium);
  return *hr == S_OK ? medium.pstm : nullptr;
}

// The names of a descriptor block in a global block.
std::vector<std::u16string> DescriptorNames(HGLOBAL block) {
  std::vector<std::u16string> names;
  const u8* bytes = block ? static_cast<const u8*>(GlobalLock(block)) : nullptr;
  if (!bytes) return names;
  const u32 size = static_cast<u32>(GlobalSize(block));
  FileDescriptorFields f;
  for (u32 i = 0; ReadFileDescriptor(bytes, size, i, &f); ++i)
    names.push_back(std::u16string(f.name.c_str(), f.name.GetLength()));
  GlobalUnlock(block);
  return names;
}

struct ClipboardTransfer : testing::Test {
  static void SetUpTestSuite() { ole = new COleSession; }
  static void TearDownTestSuite() { delete ole; }
  void TearDown() override { OleSetClipboard(nullptr); }
  static COleSession* ole;
};
COleSession* ClipboardTransfer::ole = nullptr;

TEST_F(ClipboardTransfer, TheDataObjectEnumeratesBoundsLindexAndGivesEachStreamItsOwnPosition) {
  ImageFile image;
  const u32 size = FileGroupBlockSize(2);
  u8* descriptor = static_cast<u8*>(rt::malloc(size));
  u64* positions = static_cast<u64*>(rt::malloc(2 * sizeof(u64)));
  WriteFileGroupCount(descriptor, 2);
  for (u32 i = 0; i < 2; ++i) {
    FileDescriptorFields f;
    f.name.Assign(kFiles[i].name);
    f.size = kFiles[i].size;
    WriteFileDescriptor(descriptor, size, i, f);
    positions[i] = kFiles[i].position;
  }
  CFileDataObject* object = CFileDataObject::Create(descriptor, size, positions, 2);
  ASSERT_TRUE(object->SetSourceFile(image.Path()));

  IEnumFORMATETC* formats = nullptr;
  ASSERT_EQ(S_OK, object->EnumFormatEtc(DATADIR_GET, &formats));
  FORMATETC got[5];
  ULONG fetched = 0;
  EXPECT_EQ(S_FALSE, formats->Next(5, got, &fetched));
  formats->Release();
  ASSERT_EQ(3u, fetched);
  const wchar_t* names[] = {L"FileGroupDescriptorW", L"FileContents", L"UntrustedDragDrop"};
  const DWORD media[] = {TYMED_HGLOBAL, TYMED_ISTREAM, TYMED_HGLOBAL};
  for (u32 i = 0; i < 3; ++i)
    EXPECT_TRUE(RegisterClipboardFormatW(names[i]) == got[i].cfFormat && media[i] == got[i].tymed) << i;
  void* other = nullptr;
  EXPECT_EQ(E_NOINTERFACE, object->QueryInterface(IID_IStream, &other));

  HRESULT hr;
  for (LONG bad : {-1L, 2L, 0x7FFFFFFFL}) {
    EXPECT_EQ(nullptr, Contents(object, bad, &hr)) << bad;
    EXPECT_EQ(E_FAIL, hr) << bad;
  }
  IStream* first = Contents(object, 0, &hr);
  IStream* second = Contents(object, 1, &hr);
  ASSERT_TRUE(first && second);
  object->Release();  // the streams outlive the data object

  // Interleaved reads: each stream keeps its own place in the one file.
  std::string read[2];
  char buffer[777];
  for (int turn = 0; turn < 100; ++turn) {
    for (int k = 0; k < 2; ++k) {
      ULONG n = 0;
      (k ? second : first)->Read(buffer, sizeof(buffer), &n);
      read[k].append(buffer, n);
    }
  }
  EXPECT_EQ(image.content.substr(100, 3000), read[0]);
  EXPECT_EQ(image.content.substr(5000, 70001), read[1]);
  ULONG n = 1;
  EXPECT_EQ(S_FALSE, first->Read(buffer, 10, &n)) << "past the end";
  EXPECT_EQ(0u, n);

  // Seeks stay inside the range and report positions relative to it.
  LARGE_INTEGER move;
  ULARGE_INTEGER at;
  move.QuadPart = -1;
  EXPECT_EQ(STG_E_INVALIDFUNCTION, second->Seek(move, STREAM_SEEK_SET, &at));
  move.QuadPart = 1;
  EXPECT_EQ(STG_E_INVALIDFUNCTION, second->Seek(move, STREAM_SEEK_END, &at));
  move.QuadPart = -5;
  ASSERT_EQ(S_OK, second->Seek(move, STREAM_SEEK_END, &at));
  EXPECT_EQ(69996u, at.QuadPart);
  IStream* clone = nullptr;
  ASSERT_EQ(S_OK, second->Clone(&clone));
  EXPECT_EQ(image.content.substr(5000 + 69996, 5), ReadAll(second, 100, &hr));
  EXPECT_EQ(image.content.substr(5000 + 69996, 5), ReadAll(clone, 3, &hr)) << "the clone has its own position";
  EXPECT_EQ(S_FALSE, hr);
  clone->Release();
  first->Release();
  second->Release();
}

TEST_F(ClipboardTransfer, APublishedSetOffersTheFilesAddedAndStaysOnTheClipboardAfterItGoes) {
  ImageFile image;
  CClipboardFiles files;
  ASSERT_TRUE(files.BeginFromFile(3, image.Path()));
  for (const FileSpec& f : kFiles) {
    ClipboardFileEntry entry;
    entry.name.Assign(f.name);
    entry.size = f.size;
    entry.written.Set(2009, 6, 1, 0, 12, 30, 15, 0);
    ASSERT_TRUE(files.AddFile(entry, f.position));
  }
  ASSERT_TRUE(files.Publish());

  IDataObject* clip = nullptr;
  ASSERT_EQ(S_OK, OleGetClipboard(&clip));
  FORMATETC format = RegisterTransferFormats()[kFormatDescriptor];
  STGMEDIUM medium = {};
  ASSERT_EQ(S_OK, clip->GetData(&format, &medium));
  EXPECT_EQ((std::vector<std::u16string>{u"a.bin", u"dir\\b.bin"}), DescriptorNames(medium.hGlobal))
      << "the count is the descriptors filled, not the one announced";
  ReleaseStgMedium(&medium);
  HRESULT hr;
  IStream* stream = Contents(clip, 0, &hr);
  ASSERT_NE(nullptr, stream) << std::hex << hr;
  EXPECT_EQ(image.content.substr(100, 3000), ReadAll(stream, 4096, &hr));
  stream->Release();
  clip->Release();

  // A new copy lets the old set go: its descriptors stay on the clipboard.
  ASSERT_TRUE(files.BeginFromFile(1, image.Path()));
  ASSERT_TRUE(OpenClipboard(nullptr));
  EXPECT_EQ(2u, DescriptorNames(GetClipboardData(format.cfFormat)).size());
  CloseClipboard();
}

TEST_F(ClipboardTransfer, FileListsAndTextReadFromTheClipboardSurviveTheFlush) {
  CFakeDataObject data;
  data.Offer(CF_HDROP, drop_blocks::WideList({u"C:\\a.iso", u"D:\\M\u00FAsica"}));
  const std::u16string text = u"caf\u00E9 \u00F1";
  data.Offer(CF_UNICODETEXT, std::string(reinterpret_cast<const char*>(text.c_str()), (text.size() + 1) * 2));
  ASSERT_EQ(S_OK, OleSetClipboard(&data));
  for (int pass = 0; pass < 2; ++pass) {
    CDroppedFiles list;
    ASSERT_TRUE(GetClipboardFiles(&list)) << pass;
    CWideString name, read(u">");
    EXPECT_EQ(kHrOk, list.GetName(1, &name));
    EXPECT_EQ(kHrFalse, list.GetName(2, &name));
    EXPECT_EQ(std::u16string(u"D:\\M\u00FAsica"), std::u16string(name.c_str(), name.GetLength()));
    ASSERT_TRUE(GetClipboardText(&read, 4096));
    EXPECT_EQ(u">" + text, std::u16string(read.c_str(), read.GetLength())) << "appended";
    if (pass) break;
    ASSERT_EQ(S_OK, OleFlushClipboard());
    EXPECT_EQ(1, data.References()) << "the clipboard let the object go";
  }
}

// Every field of a published descriptor as the shell reads it: a
// directory's attribute and a file's, three distinct times each in its own
// field (day and month told apart), a size above 4 GiB in its two halves,
// and the flags naming what is valid. A set takes no more files than it
// was begun for.
TEST_F(ClipboardTransfer, EveryDescriptorFieldReachesTheShellAsGiven) {
  struct CNoStreams final : IFileStreamProvider {
    IStream* OpenStream(u64, u64) override { return nullptr; }
  } provider;
  CClipboardFiles files;
  ASSERT_TRUE(files.BeginFromProvider(2, &provider));
  ClipboardFileEntry folder, file;
  folder.name.Assign(u"dir");
  folder.flags = 1;
  folder.created.Set(2001, 2, 3, 0, 4, 5, 6, 7);
  folder.accessed.Set(2002, 3, 4, 0, 5, 6, 7, 8);
  folder.written.Set(2003, 4, 5, 0, 6, 7, 8, 9);
  file.name.Assign(u"dir\\big.iso");
  file.size = 0x100000005ull;
  file.created.Set(2010, 11, 12, 0, 13, 14, 15, 16);
  file.accessed.Set(2011, 12, 1, 0, 2, 3, 4, 5);
  file.written.Set(2012, 1, 30, 0, 23, 59, 58, 999);
  ASSERT_TRUE(files.AddFile(folder, 0));
  ASSERT_TRUE(files.AddFile(file, 1 << 20));
  EXPECT_FALSE(files.AddFile(file, 0)) << "the set is full";
  EXPECT_EQ(2u, files.FileCount());
  ASSERT_TRUE(files.Publish());

  auto fileTime = [](const DateTime& d) {
    SYSTEMTIME s = {d.year, d.month, 0, d.day, d.hour, d.minute, d.second, d.milliseconds};
    FILETIME f;
    EXPECT_TRUE(SystemTimeToFileTime(&s, &f));
    return (u64(f.dwHighDateTime) << 32) | f.dwLowDateTime;
  };
  IDataObject* clip = nullptr;
  ASSERT_EQ(S_OK, OleGetClipboard(&clip));
  FORMATETC format = RegisterTransferFormats()[kFormatDescriptor];
  STGMEDIUM medium = {};
  ASSERT_EQ(S_OK, clip->GetData(&format, &medium));
  const FILEGROUPDESCRIPTORW* group = static_cast<const FILEGROUPDESCRIPTORW*>(GlobalLock(medium.hGlobal));
  ASSERT_NE(nullptr, group);
  ASSERT_EQ(2u, group->cItems);
  const ClipboardFileEntry* entries[] = {&folder, &file};
  for (u32 i = 0; i < 2; ++i) {
    const FILEDESCRIPTORW& d = group->fgd[i];
    const ClipboardFileEntry& e = *entries[i];
    EXPECT_EQ(static_cast<DWORD>(FD_ATTRIBUTES | FD_CREATETIME | FD_ACCESSTIME | FD_WRITESTIME | FD_FILESIZE),
              d.dwFlags);
    EXPECT_EQ(static_cast<DWORD>(i == 0 ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL), d.dwFileAttributes) << i;
    const std::pair<FILETIME, const DateTime*> times[] = {
        {d.ftCreationTime, &e.created}, {d.ftLastAccessTime, &e.accessed}, {d.ftLastWriteTime, &e.written}};
    for (const auto& t : times)
      EXPECT_EQ(fileTime(*t.second), (u64(t.first.dwHighDateTime) << 32) | t.first.dwLowDateTime)
          << i << ": " << t.second->year;
    EXPECT_EQ(e.size, (u64(d.nFileSizeHigh) << 32) | d.nFileSizeLow) << i;
    EXPECT_EQ(std::u16string(e.name.c_str(), e.name.GetLength()), std::u16string(reinterpret_cast<const char16_t*>(d.cFileName)));
  }
  GlobalUnlock(medium.hGlobal);
  ReleaseStgMedium(&medium);
  clip->Release();
}

}  // namespace
