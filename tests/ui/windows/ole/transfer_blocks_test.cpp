// The readers of file lists and descriptor blocks that come from other
// programs, and the byte buffer of clipboard text. Run natively under the
// sanitizers too: every malformed block must stay inside its bytes.
#include <gtest/gtest.h>

#include <random>

#include "ui/support/drop_blocks.h"
#include "ui/windows/ole/dropped_files.h"
#include "ui/windows/ole/file_group_descriptor.h"

namespace {

using drop_blocks::AnsiList;
using drop_blocks::WideList;

// Every name of a list as its raw units.
std::vector<std::u16string> Names(CDroppedFiles& files) {
  u32 count = 0;
  files.GetCount(&count);
  std::vector<std::u16string> out;
  DropName name;
  for (u32 i = 0; files.FindName(i, &name) == kHrOk; ++i) {
    const u8* p = files.Bytes() + name.offset;
    std::u16string text;
    for (u32 k = 0; k < name.units; ++k)
      text += files.IsWide() ? static_cast<char16_t>(p[2 * k] | (p[2 * k + 1] << 8)) : static_cast<char16_t>(p[k]);
    out.push_back(text);
  }
  EXPECT_EQ(count, out.size());
  return out;
}

TEST(DroppedFiles, MalformedBlocksGiveOnlyTheNamesThatLieWhollyInside) {
  const std::string two = WideList({u"C:\\a.iso", u"D:\\M\u00FAsica\\b.wav"});
  std::string past = two, inHeader = two;
  drop_blocks::Put32(&past, 0, 4000);
  drop_blocks::Put32(&inHeader, 0, 8);
  struct Case {
    const char* what;
    std::string block;
    std::vector<std::u16string> names;
  } cases[] = {
      {"wide list", two, {u"C:\\a.iso", u"D:\\M\u00FAsica\\b.wav"}},
      {"8-bit list read by bytes", AnsiList({"C:\\a.iso", "C:\\caf\xE9"}), {u"C:\\a.iso", u"C:\\caf\u00E9"}},
      {"no closing empty name", WideList({u"C:\\a", u"C:\\b"}, false), {u"C:\\a", u"C:\\b"}},
      {"last name cut by the block's end", two.substr(0, two.size() - 6), {u"C:\\a.iso"}},
      {"half a unit at the end", two.substr(0, 20 + 18 + 1), {u"C:\\a.iso"}},
      {"names past the end", past, {}},
      {"names inside the header", inHeader, {}},
      {"header cut short", two.substr(0, 19), {}},
      {"names at an odd offset", drop_blocks::Header(21, true) + '\0' + WideList({u"C:\\y"}).substr(20), {u"C:\\y"}},
  };
  for (const Case& c : cases) {
    CDroppedFiles files;
    ASSERT_TRUE(files.Load(c.block.data(), static_cast<u32>(c.block.size()))) << c.what;
    EXPECT_EQ(c.names, Names(files)) << c.what;
  }
}

TEST(DroppedFiles, TheCursorRestartsFromTheFirstNameForAnEarlierIndex) {
  const std::string block = WideList({u"one", u"two", u"three"});
  CDroppedFiles files;
  ASSERT_TRUE(files.Load(block.data(), static_cast<u32>(block.size())));
  const u32 offsets[] = {20, 28, 36, 0};  // the names' first bytes; 3 is past the list
  DropName name;
  for (u32 i : {0, 1, 2, 1, 3, 0, 2}) {
    ASSERT_EQ(i < 3 ? kHrOk : kHrFalse, files.FindName(i, &name)) << i;
    if (i < 3) {
      EXPECT_EQ(offsets[i], name.offset) << i;
    }
  }
  ASSERT_TRUE(files.Load(block.data(), 34));  // a reload starts over; "two" lost its zero
  EXPECT_EQ(kHrOk, files.FindName(0, &name));
  EXPECT_EQ(kHrFalse, files.FindName(1, &name));
}

TEST(FileGroupDescriptor, DescriptorsReadBackAsWrittenWithNamesCutToThePathLimit) {
  std::mt19937_64 random(7);
  const u32 count = 9;
  std::vector<u8> block(FileGroupBlockSize(count));
  const u32 size = static_cast<u32>(block.size());
  WriteFileGroupCount(block.data(), count);
  std::vector<FileDescriptorFields> written(count);
  for (u32 i = 0; i < count; ++i) {
    FileDescriptorFields& f = written[i];
    for (u32 k = random() % 320; k > 0; --k) f.name.AppendChar(static_cast<wchar16>(0x20 + random() % 0xD000));
    f.flags = static_cast<u32>(random());
    f.attributes = static_cast<u32>(random());
    f.created = random(), f.accessed = random(), f.written = random(), f.size = random();
    ASSERT_TRUE(WriteFileDescriptor(block.data(), size, i, f));
  }
  EXPECT_FALSE(WriteFileDescriptor(block.data(), size, count, written[0]));
  ASSERT_EQ(count, ReadFileGroupCount(block.data(), size));
  for (u32 i = 0; i < count; ++i) {
    FileDescriptorFields r;
    ASSERT_TRUE(ReadFileDescriptor(block.data(), size, i, &r));
    const FileDescriptorFields& w = written[i];
    const i32 kept = w.name.GetLength() < 259 ? w.name.GetLength() : 259;
    EXPECT_EQ(std::u16string(w.name.c_str(), kept), std::u16string(r.name.c_str(), r.name.GetLength())) << i;
    EXPECT_TRUE(w.flags == r.flags && w.attributes == r.attributes && w.created == r.created &&
                w.accessed == r.accessed && w.written == r.written && w.size == r.size)
        << i;
  }
}

TEST(FileGroupDescriptor, ACountBeyondTheBlockAndANameWithoutItsZeroAreRefused) {
  std::vector<u8> block(FileGroupBlockSize(2));
  const u32 size = static_cast<u32>(block.size());
  WriteFileGroupCount(block.data(), 1000);
  EXPECT_EQ(2u, ReadFileGroupCount(block.data(), size));
  EXPECT_EQ(1u, ReadFileGroupCount(block.data(), size - 1));
  EXPECT_EQ(0u, ReadFileGroupCount(block.data(), 3));
  for (u32 k = 0; k < 260; ++k) block[4 + 72 + 2 * k] = 'z';  // the first name fills its field
  FileDescriptorFields r;
  EXPECT_FALSE(ReadFileDescriptor(block.data(), size, 0, &r));
  EXPECT_TRUE(ReadFileDescriptor(block.data(), size, 1, &r));
  EXPECT_FALSE(ReadFileDescriptor(block.data(), size, 2, &r));
  EXPECT_EQ(0u, FileGroupBlockSize(0xFFFFFFFFu)) << "no block past the limit";
}

}  // namespace
