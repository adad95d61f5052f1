#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "iso_test_support.h"
#include "jobs/image/image_stream_win.h"
#include "jobs/image/iso9660_reader.h"

namespace {

struct FileInImage {
  u64 location = 0;
  u64 size = 0;
};

// The Joliet tree's record of a root file, read from the image on disk.
FileInImage Find(const char16_t* image, const char16_t* name) {
  CIso9660Reader reader;
  u64 size = 0;
  EXPECT_TRUE(reader.ReadVolume(&size, image)) << isotest::ToUtf8(image);
  FileInImage found;
  CFileNode* node = reader.GetJolietRoot().FindChild(name);
  EXPECT_NE(node, nullptr) << isotest::ToUtf8(name);
  if (node) {
    found.location = node->location;
    found.size = node->size;
    EXPECT_EQ(node->source, image);
  }
  return found;
}

std::vector<u8> Source(const char16_t* name) {
  std::vector<u8> bytes;
  EXPECT_TRUE(isotest::ReadFileUtf16(std::u16string(u"fixtures/iso/src_joliet/") + name, &bytes));
  return bytes;
}

LARGE_INTEGER Move(i64 value) {
  LARGE_INTEGER move;
  move.QuadPart = value;
  return move;
}

TEST(ImageStream, ReadsTheFileInEveryLayoutThenReportsTheEnd) {
  std::vector<u8> expected = Source(u"big.bin");
  ASSERT_EQ(expected.size(), 300000u);
  for (const char16_t* image : {u"fixtures/iso/joliet.iso", u"fixtures/iso/joliet.mode1.bin",
                                u"fixtures/iso/joliet.mode2.bin", u"fixtures/iso/joliet.2336.bin"}) {
    SCOPED_TRACE(isotest::ToUtf8(image));
    FileInImage file = Find(image, u"big.bin");
    CImageStream* stream = CImageStream::Create(image, file.location * 2048, file.size);
    ASSERT_NE(stream, nullptr);
    std::vector<u8> data;
    std::vector<u8> chunk(7001);
    HRESULT hr = S_OK;
    ULONG got = 0;
    int reads = 0;
    while ((hr = stream->Read(chunk.data(), static_cast<ULONG>(chunk.size()), &got)) == S_OK && reads++ < 1000)
      data.insert(data.end(), chunk.begin(), chunk.begin() + got);
    EXPECT_EQ(hr, S_FALSE);  // the short last read
    data.insert(data.end(), chunk.begin(), chunk.begin() + got);
    EXPECT_GT(got, 0u);
    EXPECT_TRUE(data == expected);
    // At the end: S_FALSE with nothing, every time.
    for (int i = 0; i < 3; ++i) {
      got = 77;
      EXPECT_EQ(stream->Read(chunk.data(), 10, &got), S_FALSE);
      EXPECT_EQ(got, 0u);
    }
    EXPECT_EQ(stream->Release(), 0u);
  }
}

TEST(ImageStream, SeeksInsideTheExtentOnly) {
  const char16_t* image = u"fixtures/iso/joliet.mode1.bin";
  FileInImage file = Find(image, u"block_plus_one.bin");
  std::vector<u8> expected = Source(u"block_plus_one.bin");
  CImageStream* stream = CImageStream::Create(image, file.location * 2048, file.size);
  ASSERT_NE(stream, nullptr);
  ULARGE_INTEGER position;
  ASSERT_EQ(stream->Seek(Move(0), STREAM_SEEK_END, &position), S_OK);
  EXPECT_EQ(position.QuadPart, 2049u);
  EXPECT_EQ(stream->Seek(Move(1), STREAM_SEEK_END, &position), STG_E_INVALIDFUNCTION);
  EXPECT_EQ(stream->Seek(Move(-1), STREAM_SEEK_SET, &position), STG_E_INVALIDFUNCTION);
  EXPECT_EQ(stream->Seek(Move(0), 7, &position), STG_E_INVALIDFUNCTION);
  EXPECT_EQ(stream->Seek(Move(0x7FFFFFFFFFFFFFFFll), STREAM_SEEK_END, &position), STG_E_INVALIDFUNCTION);
  ASSERT_EQ(stream->Seek(Move(2047), STREAM_SEEK_SET, &position), S_OK);
  EXPECT_EQ(position.QuadPart, 2047u);
  ASSERT_EQ(stream->Seek(Move(-1), STREAM_SEEK_CUR, &position), S_OK);
  EXPECT_EQ(position.QuadPart, 2046u);
  u8 bytes[8] = {};
  ULONG got = 0;
  // Crossing the end of the extent: what is left, reported as short.
  EXPECT_EQ(stream->Read(bytes, 8, &got), S_FALSE);
  EXPECT_EQ(got, 3u);
  EXPECT_EQ(bytes[0], expected[2046]);
  EXPECT_EQ(bytes[2], expected[2048]);
  EXPECT_EQ(stream->Read(nullptr, 8, &got), STG_E_INVALIDPOINTER);
  EXPECT_EQ(stream->Read(bytes, 0, &got), S_OK);
  stream->Release();
}

TEST(ImageStream, ExtentIsClampedToTheImage) {
  const char16_t* image = u"fixtures/iso/joliet.2336.bin";
  bool found = false;
  std::vector<u8> plain = isotest::ReadFixture("joliet.iso", &found);
  ASSERT_TRUE(found);
  CImageStream* stream = CImageStream::Create(image, plain.size() - 100, 1u << 30);
  ASSERT_NE(stream, nullptr);
  STATSTG stat;
  ASSERT_EQ(stream->Stat(&stat, STATFLAG_NONAME), S_OK);
  EXPECT_EQ(stat.cbSize.QuadPart, 100u);
  std::vector<u8> data(1000);
  ULONG got = 0;
  EXPECT_EQ(stream->Read(data.data(), 1000, &got), S_FALSE);
  ASSERT_EQ(got, 100u);
  EXPECT_TRUE(std::equal(data.begin(), data.begin() + 100, plain.end() - 100));
  EXPECT_EQ(stream->Read(data.data(), 1000, &got), S_FALSE);
  EXPECT_EQ(got, 0u);
  stream->Release();
  // Starting past the end: an empty stream, not endless empty successes.
  stream = CImageStream::Create(image, plain.size() + 4096, 5000);
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(stream->Read(data.data(), 10, &got), S_FALSE);
  EXPECT_EQ(got, 0u);
  stream->Release();
}

TEST(ImageStream, StatInterfacesAndReferences) {
  const char16_t* image = u"fixtures/iso/joliet.iso";
  FileInImage file = Find(image, u"exact2048.bin");
  CImageStream* stream = CImageStream::Create(image, file.location * 2048, file.size);
  ASSERT_NE(stream, nullptr);
  STATSTG stat;
  EXPECT_EQ(stream->Stat(nullptr, 0), STG_E_INVALIDPOINTER);
  ASSERT_EQ(stream->Stat(&stat, STATFLAG_DEFAULT), S_OK);
  EXPECT_EQ(stat.type, static_cast<DWORD>(STGTY_STREAM));
  EXPECT_EQ(stat.cbSize.QuadPart, 2048u);
  EXPECT_EQ(stat.pwcsName, nullptr);
  void* out = nullptr;
  EXPECT_EQ(stream->QueryInterface(IID_IStream, &out), S_OK);
  EXPECT_EQ(out, static_cast<IStream*>(stream));
  EXPECT_EQ(stream->QueryInterface(IID_ISequentialStream, &out), S_OK);
  EXPECT_EQ(stream->QueryInterface(IID_IUnknown, &out), S_OK);
  EXPECT_EQ(stream->QueryInterface(IID_IDataObject, &out), E_NOINTERFACE);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(stream->QueryInterface(IID_IStream, nullptr), E_POINTER);
  EXPECT_EQ(stream->AddRef(), 5u);
  EXPECT_EQ(stream->Release(), 4u);
  EXPECT_EQ(stream->Write("x", 1, nullptr), E_NOTIMPL);
  EXPECT_EQ(stream->Clone(nullptr), E_NOTIMPL);
  EXPECT_EQ(stream->Commit(0), E_NOTIMPL);
  EXPECT_EQ(stream->Release(), 3u);
  EXPECT_EQ(stream->Release(), 2u);
  EXPECT_EQ(stream->Release(), 1u);
  EXPECT_EQ(stream->Release(), 0u);
}

TEST(ImageStream, MissingImageFailsReadsAndSeeks) {
  CImageStream* stream = CImageStream::Create(u"fixtures/iso/no such image.iso", 0, 100);
  ASSERT_NE(stream, nullptr);
  u8 bytes[4];
  ULONG got = 9;
  EXPECT_TRUE(FAILED(stream->Read(bytes, 4, &got)));
  EXPECT_EQ(got, 0u);
  ULARGE_INTEGER position;
  EXPECT_EQ(stream->Seek(Move(0), STREAM_SEEK_CUR, &position), STG_E_INVALIDFUNCTION);
  stream->Release();
}

TEST(ImageFileOnDisk, OpensDetectsAndReadsFiles) {
  bool found = false;
  std::vector<u8> plain = isotest::ReadFixture("udf.iso", &found);
  ASSERT_TRUE(found);
  struct Case {
    const char16_t* path;
    i32 layout;
    const char16_t* systems;
  };
  for (const Case& c : {Case{u"fixtures/iso/udf.iso", kLayoutIso2048, u"ISO9660/Joliet/UDF Bridge"},
                        Case{u"fixtures/iso/udf.mode1.bin", kLayoutRawMode1, u"ISO9660/Joliet"},
                        Case{u"fixtures/iso/udf.mode2.bin", kLayoutRawMode2Form1, u"ISO9660/Joliet"},
                        Case{u"fixtures/iso/udf.2336.bin", kLayoutMode2Form1, u"ISO9660/Joliet"}}) {
    SCOPED_TRACE(isotest::ToUtf8(c.path));
    CImageFile image;
    ASSERT_EQ(image.Open(c.path, true), kHrOk);
    EXPECT_EQ(image.GetLayout(), c.layout);
    CWideString text;
    DescribeFileSystems(image, &text);
    EXPECT_EQ(isotest::ToU16(text), c.systems);
    EXPECT_EQ(isotest::ToU16(image.GetLabel()), u"UDF BRIDGE");
    EXPECT_TRUE(isotest::ReadAllUserData(image) == plain);
    image.Close();
    EXPECT_FALSE(image.IsOpen());
  }
  CImageFile missing;
  HResult hr = missing.Open(u"fixtures/iso/absent.iso", true);
  EXPECT_EQ(hr, HResultFromError(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(missing.GetLayout(), kLayoutUnknown);
}

TEST(ImageFileOnDisk, ReaderBuildsTreesFromFiles) {
  CIso9660Reader reader;
  u64 size = 0;
  EXPECT_FALSE(reader.ReadVolume(&size, u"fixtures/iso/absent.iso"));
  EXPECT_EQ(size, 0u);
  EXPECT_FALSE(reader.ReadVolume(&size, u"fixtures/iso/audio.raw"));
  ASSERT_TRUE(reader.ReadVolume(&size, u"fixtures/iso/bigdir.iso"));
  EXPECT_EQ(reader.GetPrimaryRoot().CountFiles(), 5001u);
  EXPECT_EQ(reader.GetJolietRoot().CountFiles(), 5001u);
  CDirNode* many = static_cast<CDirNode*>(reader.GetJolietRoot().FindChild(u"many"));
  ASSERT_NE(many, nullptr);
  EXPECT_EQ(many->files.GetCount(), 5000u);
  EXPECT_EQ(isotest::ToU16(many->files[0].name), u"File_0000.dat");
  EXPECT_EQ(isotest::ToU16(many->files[4999].name), u"File_4999.dat");
}

}  // namespace
