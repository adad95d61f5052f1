// Files offered on the clipboard as descriptors and streams, and file lists
// and text read from it, under Wine's OLE clipboard.
#include <gtest/gtest.h>

#include <ole2.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "runtime/heap.h"
#include "ui/support/drop_blocks.h"
#include "ui/support/fake_data_object_win.h"
#include "ui/windows/clipboard_files.h"
#include "ui/windows/clipboard_read.h"
#include "ui/windows/file_data_object_win.h"
#include "ui/windows/file_group_descriptor.h"
#include "ui/windows/ole_session.h"
#include "ui/windows/transfer_formats_win.h"

namespace {

// An image of 80000 bytes, each byte a function of its offset; two files
// inside it.
struct ImageFile {
  ImageFile() {
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    path = std::wstring(folder) + L"kelvane_transfer.bin";
    std::string bytes(80000, '\0');
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
    HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(f);
    content = bytes;
  }
  ~ImageFile() { DeleteFileW(path.c_str()); }
  std::string Slice(u64 at, u64 n) const { return content.substr(at, n); }
  std::wstring path;
  std::string content;
};

struct FileSpec {
  const char16_t* name;
  u64 position;
  u64 size;
};
const FileSpec kFiles[] = {{u"a.bin", 100, 3000}, {u"dir\\b.bin", 5000, 70001}};

std::string ReadAll(IStream* stream, ULONG chunk, HRESULT* last) {
  std::string out;
  std::vector<char> buffer(chunk);
  for (;;) {
    ULONG n = 0;
    *last = stream->Read(buffer.data(), chunk, &n);
    out.append(buffer.data(), n);
    if (*last != S_OK || n == 0) return out;
  }
}

IStream* Contents(IDataObject* data, LONG index, HRESULT* hr) {
  FORMATETC format = RegisterTransferFormats()[kFormatContents];
  format.lindex = index;
  STGMEDIUM medium = {};
  *hr = data->GetData(&format, &medium);
  return *hr == S_OK ? medium.pstm : nullptr;
}

// The descriptor block now on the clipboard, read with the plain clipboard
// functions.
std::vector<std::u16string> ClipboardDescriptorNames() {
  std::vector<std::u16string> names;
  if (!OpenClipboard(nullptr)) return names;
  HANDLE block = GetClipboardData(RegisterTransferFormats()[kFormatDescriptor].cfFormat);
  const u8* bytes = block ? static_cast<const u8*>(GlobalLock(block)) : nullptr;
  if (bytes) {
    const u32 size = static_cast<u32>(GlobalSize(block));
    FileDescriptorFields f;
    for (u32 i = 0; i < ReadFileGroupCount(bytes, size); ++i)
      if (ReadFileDescriptor(bytes, size, i, &f)) names.push_back(std::u16string(f.name.c_str(), f.name.GetLength()));
    GlobalUnlock(block);
  }
  CloseClipboard();
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
  u8* descriptor = static_cast<u8*>(rt::malloc(FileGroupBlockSize(2)));
  u64* positions = static_cast<u64*>(rt::malloc(2 * sizeof(u64)));
  WriteFileGroupCount(descriptor, 2);
  for (u32 i = 0; i < 2; ++i) {
    FileDescriptorFields f;
    f.name.Assign(kFiles[i].name);
    f.size = kFiles[i].size;
    WriteFileDescriptor(descriptor, FileGroupBlockSize(2), i, f);
    positions[i] = kFiles[i].position;
  }
  CFileDataObject* object = CFileDataObject::Create(descriptor, FileGroupBlockSize(2), positions, 2);
  ASSERT_TRUE(object->SetSourceFile(reinterpret_cast<const wchar16*>(image.path.c_str())));

  IEnumFORMATETC* formats = nullptr;
  ASSERT_EQ(S_OK, object->EnumFormatEtc(DATADIR_GET, &formats));
  FORMATETC got[5];
  ULONG fetched = 0;
  EXPECT_EQ(S_FALSE, formats->Next(5, got, &fetched));
  formats->Release();
  ASSERT_EQ(3u, fetched);
  const wchar_t* names[] = {L"FileGroupDescriptorW", L"FileContents", L"UntrustedDragDrop"};
  const DWORD media[] = {TYMED_HGLOBAL, TYMED_ISTREAM, TYMED_HGLOBAL};
  for (u32 i = 0; i < 3; ++i) {
    EXPECT_EQ(RegisterClipboardFormatW(names[i]), got[i].cfFormat) << i;
    EXPECT_EQ(media[i], got[i].tymed) << i;
  }
  IUnknown* async = nullptr;
  ASSERT_EQ(S_OK, object->QueryInterface(IID_IDataObjectAsyncCapability, reinterpret_cast<void**>(&async)));
  EXPECT_NE(static_cast<IUnknown*>(static_cast<IDataObject*>(object)), async) << "a table of its own";
  async->Release();
  EXPECT_EQ(E_NOINTERFACE, object->QueryInterface(IID_IStream, reinterpret_cast<void**>(&async)));

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
  std::string readFirst, readSecond;
  std::vector<char> buffer(777);
  for (int turn = 0; turn < 200; ++turn) {
    ULONG n = 0;
    first->Read(buffer.data(), 777, &n);
    readFirst.append(buffer.data(), n);
    second->Read(buffer.data(), 777, &n);
    readSecond.append(buffer.data(), n);
  }
  EXPECT_EQ(image.Slice(100, 3000), readFirst);
  ULONG n = 1;
  EXPECT_EQ(S_FALSE, first->Read(buffer.data(), 10, &n)) << "past the end";
  EXPECT_EQ(0u, n);

  // Seeking stays inside the range and reports positions relative to it.
  LARGE_INTEGER move;
  ULARGE_INTEGER at;
  move.QuadPart = 0;
  ASSERT_EQ(S_OK, second->Seek(move, STREAM_SEEK_END, &at));
  EXPECT_EQ(70001u, at.QuadPart);
  move.QuadPart = -1;
  EXPECT_EQ(STG_E_INVALIDFUNCTION, second->Seek(move, STREAM_SEEK_SET, &at));
  move.QuadPart = 1;
  EXPECT_EQ(STG_E_INVALIDFUNCTION, second->Seek(move, STREAM_SEEK_END, &at));
  move.QuadPart = -5;
  ASSERT_EQ(S_OK, second->Seek(move, STREAM_SEEK_END, &at));
  IStream* clone = nullptr;
  ASSERT_EQ(S_OK, second->Clone(&clone));
  EXPECT_EQ(image.Slice(5000 + 70001 - 5, 5), ReadAll(second, 100, &hr));
  EXPECT_EQ(image.Slice(5000 + 70001 - 5, 5), ReadAll(clone, 3, &hr)) << "the clone has its own position";
  move.QuadPart = 0;
  ASSERT_EQ(S_OK, second->Seek(move, STREAM_SEEK_SET, &at));
  EXPECT_EQ(image.Slice(5000, 70001), ReadAll(second, 65536, &hr));
  EXPECT_EQ(S_FALSE, hr);
  clone->Release();
  first->Release();
  second->Release();
}

TEST_F(ClipboardTransfer, APublishedSetOffersTheFilesAddedAndStaysOnTheClipboardAfterItGoes) {
  ImageFile image;
  CClipboardFiles files;
  ASSERT_TRUE(files.BeginFromFile(3, reinterpret_cast<const wchar16*>(image.path.c_str())));
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
  const u8* bytes = static_cast<const u8*>(GlobalLock(medium.hGlobal));
  const u32 size = static_cast<u32>(GlobalSize(medium.hGlobal));
  EXPECT_EQ(2u, ReadFileGroupCount(bytes, size)) << "the count is the descriptors filled, not the one announced";
  FileDescriptorFields d;
  ASSERT_TRUE(ReadFileDescriptor(bytes, size, 1, &d));
  EXPECT_EQ(70001u, d.size);
  EXPECT_EQ(file_group::kWrittenFlags, d.flags);
  SYSTEMTIME when = {2009, 6, 0, 1, 12, 30, 15, 0};
  FILETIME expected;
  SystemTimeToFileTime(&when, &expected);
  EXPECT_EQ((u64(expected.dwHighDateTime) << 32) | expected.dwLowDateTime, d.written);
  GlobalUnlock(medium.hGlobal);
  ReleaseStgMedium(&medium);
  HRESULT hr;
  IStream* stream = Contents(clip, 0, &hr);
  ASSERT_NE(nullptr, stream) << std::hex << hr;
  EXPECT_EQ(image.Slice(100, 3000), ReadAll(stream, 4096, &hr));
  stream->Release();
  clip->Release();

  // A new copy lets the old set go: its descriptors stay on the clipboard.
  ASSERT_TRUE(files.BeginFromFile(1, reinterpret_cast<const wchar16*>(image.path.c_str())));
  EXPECT_EQ((std::vector<std::u16string>{u"a.bin", u"dir\\b.bin"}), ClipboardDescriptorNames());
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
    u32 count = 0;
    list.GetCount(&count);
    ASSERT_EQ(2u, count);
    CWideString name;
    ASSERT_EQ(kHrOk, list.GetName(1, &name));
    EXPECT_EQ(std::u16string(u"D:\\M\u00FAsica"), std::u16string(name.c_str(), name.GetLength()));
    CWideString read;
    read.Assign(u">");
    ASSERT_TRUE(GetClipboardText(&read));
    EXPECT_EQ(u">" + text, std::u16string(read.c_str(), read.GetLength())) << "appended";
    if (pass == 0) {
      ASSERT_EQ(S_OK, OleFlushClipboard());
      EXPECT_EQ(1, data.References()) << "the clipboard let the object go";
    }
  }
}

}  // namespace
