#include <gtest/gtest.h>

#include <vector>

#include "runtime/file.h"
#include "runtime/win.h"

namespace {

class TempFile {
 public:
  TempFile() {
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    GetTempFileNameW(folder, L"kvt", 0, path_);
  }
  ~TempFile() { DeleteFileW(path_); }
  const wchar16* Path() const { return AsW16(path_); }

 private:
  wchar_t path_[MAX_PATH];
};

TEST(FileRoutines, WriteReadSeekRoundTrip) {
  TempFile temp;
  std::vector<u8> data(100000);
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<u8>(i * 7);
  {
    CFileHandle file;
    ASSERT_EQ(kHrOk, file.Create(temp.Path()));
    u64 written = 0;
    ASSERT_EQ(kHrOk, WriteFileChunked(file.Get(), data.data(), data.size(), &written));
    EXPECT_EQ(data.size(), written);
    EXPECT_EQ(kHrOk, file.Close());
    EXPECT_EQ(kHrOk, file.Close()) << "closing twice is harmless";
  }
  CFileHandle file;
  ASSERT_EQ(kHrOk, file.OpenRead(temp.Path()));
  u64 size = 0;
  ASSERT_EQ(kHrOk, FileSize(file.Get(), &size));
  EXPECT_EQ(data.size(), size);
  u64 position = 0;
  ASSERT_EQ(kHrOk, FileSeek(file.Get(), -1000, kFileEnd, &position));
  EXPECT_EQ(data.size() - 1000, position);
  std::vector<u8> back(4000);
  u64 got = 0;
  ASSERT_EQ(kHrOk, FileReadAll(file.Get(), back.data(), back.size(), &got));
  EXPECT_EQ(1000u, got) << "a read stops at the end of the file";
  EXPECT_TRUE(std::equal(back.begin(), back.begin() + 1000, data.end() - 1000));
  ASSERT_EQ(kHrOk, FileReadAll(file.Get(), back.data(), 10, &got));
  EXPECT_EQ(0u, got);
}

TEST(FileRoutines, FailuresNeverReportSuccess) {
  CFileHandle file;
  HResult hr = file.OpenRead(u"Z:\\no\\such\\folder\\file.bin");
  EXPECT_LT(hr, 0);
  EXPECT_FALSE(file.IsOpen()) << "no handle is kept after a failed open";
  SetLastError(5);
  EXPECT_EQ(static_cast<HResult>(0x80070005u), HResultFromLastError());
  SetLastError(0);
  EXPECT_EQ(0, HResultFromLastError());
  EXPECT_EQ(kHrFail, HResultFromFailedCall()) << "a failed call without an error code still fails";
  u64 got = 99;
  u8 buffer[4];
  EXPECT_LT(FileReadAll(INVALID_HANDLE_VALUE, buffer, 4, &got), 0);
  EXPECT_EQ(0u, got);
}

TEST(FileRoutines, ExistenceTestsAndDirectories) {
  TempFile temp;
  EXPECT_TRUE(FileExists(temp.Path()));
  EXPECT_FALSE(DirectoryExists(temp.Path()));
  std::u16string dir = std::u16string(temp.Path()) + u".dir";
  EXPECT_TRUE(MakeDirectory(dir.c_str()));
  EXPECT_TRUE(DirectoryExists(dir.c_str()));
  EXPECT_FALSE(FileExists(dir.c_str()));
  EXPECT_FALSE(MakeDirectory(dir.c_str())) << "an existing folder is not created again";
  RemoveDirectoryW(AsWide(dir.c_str()));
  EXPECT_TRUE(RemoveFile(temp.Path()));
  EXPECT_FALSE(FileExists(temp.Path()));
  EXPECT_FALSE(RemoveFile(temp.Path()));
}

TEST(ByteOrder, BigEndianFieldsAndSwap) {
  const u8 field[4] = {0x12, 0x34, 0x56, 0x78};
  EXPECT_EQ(0x12345678u, ReadBigEndian32(field));
  EXPECT_EQ(0x78563412u, ByteSwap32(0x12345678u));
  EXPECT_EQ(0x1234u, ReadBigEndian16(field));
  Guid a{1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}}, b = a;
  EXPECT_TRUE(IsEqualGuid(&a, &b));
  b.data4[7] = 0;
  EXPECT_FALSE(IsEqualGuid(&a, &b));
}

}  // namespace
