// Files of images on disk: the image file source, the reader over it, and
// the IStream that hands one file of an image to the shell.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "iso_test_support.h"
#include "jobs/image/image_stream_win.h"
#include "jobs/image/iso9660_reader.h"

namespace {

// The stream over a root file of the image's Joliet tree, read from disk.
CImageStream* Open(const char16_t* image, const char16_t* name, u64* size) {
  CIso9660Reader reader;
  u64 imageSize = 0;
  EXPECT_TRUE(reader.ReadVolume(&imageSize, image)) << isotest::ToUtf8(image);
  CFileNode* node = reader.GetJolietRoot().FindChild(name);
  EXPECT_TRUE(node && node->source == image);
  *size = node ? node->size : 0;
  return node ? CImageStream::Create(image, node->location * 2048, node->size) : nullptr;
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

TEST(ImageStream, ReadsTheFileThenReportsTheEnd) {
  std::vector<u8> expected = Source(u"big.bin");
  for (const char16_t* image : {u"fixtures/iso/joliet.iso", u"fixtures/iso/joliet.2336.bin"}) {
    u64 size = 0;
    CImageStream* stream = Open(image, u"big.bin", &size);
    ASSERT_NE(stream, nullptr);
    std::vector<u8> data, chunk(7001);
    ULONG got = 0;
    HRESULT hr;
    while ((hr = stream->Read(chunk.data(), static_cast<ULONG>(chunk.size()), &got)) == S_OK && data.size() < size)
      data.insert(data.end(), chunk.begin(), chunk.begin() + got);
    EXPECT_EQ(hr, S_FALSE);  // the short last read, then nothing
    data.insert(data.end(), chunk.begin(), chunk.begin() + got);
    EXPECT_TRUE(data == expected);
    EXPECT_TRUE(stream->Read(chunk.data(), 10, &got) == S_FALSE && got == 0);
    EXPECT_EQ(stream->Release(), 0u);
  }
}

TEST(ImageStream, SeeksInsideTheExtentOnly) {
  u64 size = 0;
  CImageStream* stream = Open(u"fixtures/iso/joliet.mode1.bin", u"block_plus_one.bin", &size);
  ASSERT_NE(stream, nullptr);
  std::vector<u8> expected = Source(u"block_plus_one.bin");
  struct Case {
    i64 move;
    DWORD origin;
    HRESULT hr;
    u64 position;
  } cases[] = {{0, STREAM_SEEK_END, S_OK, 2049},  {1, STREAM_SEEK_END, STG_E_INVALIDFUNCTION, 0},
               {-1, STREAM_SEEK_SET, STG_E_INVALIDFUNCTION, 0}, {0, 7, STG_E_INVALIDFUNCTION, 0},
               {0x7FFFFFFFFFFFFFFFll, STREAM_SEEK_END, STG_E_INVALIDFUNCTION, 0},
               {2047, STREAM_SEEK_SET, S_OK, 2047},  {-1, STREAM_SEEK_CUR, S_OK, 2046}};
  for (const Case& c : cases) {
    ULARGE_INTEGER position{};
    EXPECT_EQ(c.hr, stream->Seek(Move(c.move), c.origin, &position)) << c.move;
    EXPECT_TRUE(c.hr != S_OK || c.position == position.QuadPart) << c.move;
  }
  u8 bytes[8] = {};
  ULONG got = 0;
  EXPECT_EQ(stream->Read(bytes, 8, &got), S_FALSE);  // across the end: what is left
  EXPECT_TRUE(got == 3 && bytes[0] == expected[2046] && bytes[2] == expected[2048]);
  EXPECT_EQ(stream->Read(nullptr, 8, &got), STG_E_INVALIDPOINTER);
  EXPECT_EQ(stream->Read(bytes, 0, &got), S_OK);
  stream->Release();
}

TEST(ImageStream, ExtentClampedToTheImageAndMissingImages) {
  std::vector<u8> plain = isotest::Fixture("joliet.iso");
  CImageStream* stream = CImageStream::Create(u"fixtures/iso/joliet.2336.bin", plain.size() - 100, 1u << 30);
  STATSTG stat;
  ASSERT_EQ(stream->Stat(&stat, STATFLAG_NONAME), S_OK);
  EXPECT_EQ(stat.cbSize.QuadPart, 100u);
  std::vector<u8> data(1000);
  ULONG got = 0;
  EXPECT_EQ(stream->Read(data.data(), 1000, &got), S_FALSE);
  EXPECT_TRUE(got == 100 && std::equal(data.begin(), data.begin() + 100, plain.end() - 100));
  stream->Release();
  stream = CImageStream::Create(u"fixtures/iso/joliet.2336.bin", plain.size() + 4096, 5000);  // an empty stream
  EXPECT_TRUE(stream->Read(data.data(), 10, &got) == S_FALSE && got == 0);
  stream->Release();
  stream = CImageStream::Create(u"fixtures/iso/no such image.iso", 0, 100);
  got = 9;
  EXPECT_TRUE(FAILED(stream->Read(data.data(), 4, &got)) && got == 0);
  ULARGE_INTEGER position;
  EXPECT_EQ(stream->Seek(Move(0), STREAM_SEEK_CUR, &position), STG_E_INVALIDFUNCTION);
  stream->Release();
}

TEST(ImageStream, StatInterfacesAndReferences) {
  u64 size = 0;
  CImageStream* stream = Open(u"fixtures/iso/joliet.iso", u"exact2048.bin", &size);
  ASSERT_NE(stream, nullptr);
  STATSTG stat;
  EXPECT_EQ(stream->Stat(nullptr, 0), STG_E_INVALIDPOINTER);
  ASSERT_EQ(stream->Stat(&stat, STATFLAG_DEFAULT), S_OK);
  EXPECT_TRUE(stat.type == STGTY_STREAM && stat.cbSize.QuadPart == 2048u && stat.pwcsName == nullptr);
  void* out = nullptr;
  for (REFIID iid : {IID_IStream, IID_ISequentialStream, IID_IUnknown}) {
    EXPECT_EQ(stream->QueryInterface(iid, &out), S_OK);
    EXPECT_EQ(out, static_cast<IStream*>(stream));
  }
  EXPECT_EQ(stream->QueryInterface(IID_IDataObject, &out), E_NOINTERFACE);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(stream->QueryInterface(IID_IStream, nullptr), E_POINTER);
  EXPECT_TRUE(stream->Write("x", 1, nullptr) == E_NOTIMPL && stream->Clone(nullptr) == E_NOTIMPL && stream->Commit(0) == E_NOTIMPL);
  for (ULONG left : {3u, 2u, 1u, 0u}) EXPECT_EQ(stream->Release(), left);
}

// The file source behind CImageFile::Open and CIso9660Reader::ReadVolume
// (the streams above read through it): failures of files that are not there
// or hold no file system.
TEST(ImageFileOnDisk, MissingAndUnrecognisedFiles) {
  CImageFile missing;
  EXPECT_EQ(missing.Open(u"fixtures/iso/absent.iso", true), HResultFromError(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(missing.GetLayout(), kLayoutUnknown);
  CIso9660Reader reader;
  u64 size = 1;
  EXPECT_FALSE(reader.ReadVolume(&size, u"fixtures/iso/absent.iso"));
  EXPECT_EQ(size, 0u);
  EXPECT_FALSE(reader.ReadVolume(&size, u"fixtures/iso/audio.raw"));
  EXPECT_EQ(reader.GetFlags(), 0);
}

}  // namespace
