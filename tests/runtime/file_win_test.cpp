// File routines against a temporary file; byte order of disc fields.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "runtime/file.h"
#include "runtime/win.h"

namespace {

std::u16string TempPath() {
  wchar_t folder[MAX_PATH], path[MAX_PATH];
  GetTempPathW(MAX_PATH, folder);
  GetTempFileNameW(folder, L"kvt", 0, path);
  return AsW16(path);
}

TEST(FileRoutines, WriteReadSeekRoundTripAndEndOfFile) {
  const std::u16string path = TempPath();
  std::vector<u8> data(100000);
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<u8>(i * 7);
  CFileHandle out;
  ASSERT_EQ(out.Create(path.c_str()), kHrOk);
  u64 written = 0;
  ASSERT_EQ(WriteFileChunked(out.Get(), data.data(), data.size(), &written), kHrOk);
  EXPECT_EQ(written, data.size());
  EXPECT_EQ(out.Close(), kHrOk);
  EXPECT_EQ(out.Close(), kHrOk) << "closing twice is harmless";
  CFileHandle in;
  ASSERT_EQ(in.OpenRead(path.c_str()), kHrOk);
  u64 size = 0, position = 0, got = 0;
  ASSERT_EQ(FileSize(in.Get(), &size), kHrOk);
  EXPECT_EQ(size, data.size());
  ASSERT_EQ(FileSeek(in.Get(), -1000, kFileEnd, &position), kHrOk);
  EXPECT_EQ(position, data.size() - 1000);
  std::vector<u8> back(4000);
  ASSERT_EQ(FileReadAll(in.Get(), back.data(), back.size(), &got), kHrOk);
  EXPECT_EQ(got, 1000u) << "a read stops at the end of the file";
  EXPECT_TRUE(std::equal(back.begin(), back.begin() + 1000, data.end() - 1000));
  ASSERT_EQ(FileReadAll(in.Get(), back.data(), 10, &got), kHrOk);
  EXPECT_EQ(got, 0u);
  in.Close();
  EXPECT_TRUE(FileExists(path.c_str()) && !DirectoryExists(path.c_str()));
  const std::u16string dir = path + u".dir";
  EXPECT_TRUE(MakeDirectory(dir.c_str()));
  EXPECT_TRUE(DirectoryExists(dir.c_str()) && !FileExists(dir.c_str()));
  EXPECT_FALSE(MakeDirectory(dir.c_str())) << "an existing folder is not made again";
  RemoveDirectoryW(AsWide(dir.c_str()));
  EXPECT_TRUE(RemoveFile(path.c_str()));
  EXPECT_FALSE(FileExists(path.c_str()) || RemoveFile(path.c_str()));
}

TEST(FileRoutines, FailuresNeverReportSuccess) {
  CFileHandle file;
  EXPECT_LT(file.OpenRead(u"Z:\\no\\such\\folder\\file.bin"), 0);
  EXPECT_FALSE(file.IsOpen()) << "no handle is kept after a failed open";
  SetLastError(5);
  EXPECT_EQ(HResultFromLastError(), static_cast<HResult>(0x80070005u));
  SetLastError(0);
  EXPECT_EQ(HResultFromLastError(), 0);
  EXPECT_EQ(HResultFromFailedCall(), kHrFail) << "a failed call without an error code still fails";
  u64 got = 99;
  u8 buffer[4];
  EXPECT_LT(FileReadAll(INVALID_HANDLE_VALUE, buffer, 4, &got), 0);
  EXPECT_EQ(got, 0u);
}

TEST(ByteOrder, FieldsAndGuids) {
  u8 field[4];
  WriteBigEndian32(field, 0x12345678u);
  EXPECT_EQ(field[0], 0x12);
  EXPECT_EQ(ReadBigEndian32(field), 0x12345678u);
  EXPECT_EQ(ReadLittleEndian32(field), 0x78563412u);
  EXPECT_EQ(ByteSwap32(0x12345678u), 0x78563412u);
  WriteBigEndian16(field, 0xABCD);
  EXPECT_EQ(ReadBigEndian16(field), 0xABCDu);
  EXPECT_EQ(ReadLittleEndian16(field), 0xCDABu);
  Guid a{1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}}, b = a;
  EXPECT_TRUE(IsEqualGuid(&a, &b));
  b.data4[7] = 0;
  EXPECT_FALSE(IsEqualGuid(&a, &b));
}

}  // namespace
