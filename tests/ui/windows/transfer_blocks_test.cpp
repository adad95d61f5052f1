// The readers of file lists and descriptor blocks that come from other
// programs, and the byte buffer of clipboard text. Run natively under the
// sanitizers too: every malformed block must stay inside its bytes.
#include <gtest/gtest.h>

#include <random>

#include "ui/support/drop_blocks.h"
#include "ui/windows/byte_buffer.h"
#include "ui/windows/dropped_files.h"
#include "ui/windows/file_group_descriptor.h"

namespace {

using drop_blocks::AnsiList;
using drop_blocks::WideList;

// Every name of a list as its raw units (one char16_t per unit, whether
// the list is wide or 8-bit).
std::vector<std::u16string> Names(CDroppedFiles& files) {
  u32 count = 0;
  EXPECT_EQ(kHrOk, files.GetCount(&count));
  std::vector<std::u16string> out;
  for (u32 i = 0; i < count; ++i) {
    DropName name;
    EXPECT_EQ(kHrOk, files.FindName(i, &name));
    std::u16string text;
    const u8* p = files.Bytes() + name.offset;
    for (u32 k = 0; k < name.units; ++k)
      text += files.IsWide() ? static_cast<char16_t>(p[2 * k] | (p[2 * k + 1] << 8)) : static_cast<char16_t>(p[k]);
    out.push_back(text);
  }
  DropName past;
  EXPECT_EQ(kHrFalse, files.FindName(count, &past));
  return out;
}

std::string WithNamesAt(u32 offset, const std::string& list) {
  std::string b = list;
  drop_blocks::Put32(&b, 0, offset);
  return b;
}

TEST(DroppedFiles, MalformedBlocksGiveOnlyTheNamesThatLieWhollyInside) {
  const std::string two = WideList({u"C:\\a.iso", u"D:\\M\u00FAsica\\b.wav"});
  std::string odd = drop_blocks::Header(21, true) + '\0' + WideList({u"C:\\y"}).substr(20);
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
      {"names past the end", WithNamesAt(4000, two), {}},
      {"names inside the header", WithNamesAt(8, two), {}},
      {"header cut short", two.substr(0, 19), {}},
      {"names at an odd offset", odd, {u"C:\\y"}},
      {"empty list", WideList({}), {}},
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
  DropName name;
  const u32 order[] = {0, 1, 2, 1, 3, 0, 2};
  const u32 offsets[] = {20, 28, 36};  // the names' first bytes
  for (u32 i : order) {
    const HResult hr = files.FindName(i, &name);
    if (i == 3) {
      EXPECT_EQ(kHrFalse, hr);
      continue;
    }
    ASSERT_EQ(kHrOk, hr) << i;
    EXPECT_EQ(offsets[i], name.offset) << i;
  }
  // A reload starts over.
  ASSERT_TRUE(files.Load(block.data(), 28 + 6));
  EXPECT_EQ(kHrOk, files.FindName(0, &name));
  EXPECT_EQ(kHrFalse, files.FindName(1, &name)) << "the second name has lost its zero";
}

TEST(FileGroupDescriptor, DescriptorsReadBackAsWrittenWithNamesCutToThePathLimit) {
  std::mt19937 random(7);
  const u32 count = 9;
  std::vector<u8> block(FileGroupBlockSize(count));
  WriteFileGroupCount(block.data(), count);
  std::vector<FileDescriptorFields> written(count);
  for (u32 i = 0; i < count; ++i) {
    FileDescriptorFields& f = written[i];
    const u32 length = random() % 320;
    for (u32 k = 0; k < length; ++k) f.name.AppendChar(static_cast<wchar16>(0x20 + random() % 0xD000));
    f.flags = random();
    f.attributes = random();
    f.created = (u64(random()) << 32) | random();
    f.accessed = (u64(random()) << 32) | random();
    f.written = (u64(random()) << 32) | random();
    f.size = (u64(random()) << 32) | random();
    ASSERT_TRUE(WriteFileDescriptor(block.data(), static_cast<u32>(block.size()), i, f));
  }
  EXPECT_FALSE(WriteFileDescriptor(block.data(), static_cast<u32>(block.size()), count, written[0]));
  ASSERT_EQ(count, ReadFileGroupCount(block.data(), static_cast<u32>(block.size())));
  for (u32 i = 0; i < count; ++i) {
    FileDescriptorFields r;
    ASSERT_TRUE(ReadFileDescriptor(block.data(), static_cast<u32>(block.size()), i, &r));
    const FileDescriptorFields& w = written[i];
    const i32 kept = w.name.GetLength() < 259 ? w.name.GetLength() : 259;
    EXPECT_EQ(std::u16string(w.name.c_str(), kept), std::u16string(r.name.c_str(), r.name.GetLength())) << i;
    EXPECT_EQ(w.flags, r.flags);
    EXPECT_EQ(w.attributes, r.attributes);
    EXPECT_EQ(w.created, r.created);
    EXPECT_EQ(w.accessed, r.accessed);
    EXPECT_EQ(w.written, r.written);
    EXPECT_EQ(w.size, r.size);
  }
}

TEST(FileGroupDescriptor, ACountBeyondTheBlockAndANameWithoutItsZeroAreRefused) {
  std::vector<u8> block(FileGroupBlockSize(2));
  WriteFileGroupCount(block.data(), 1000);
  FileDescriptorFields f;
  f.name.Assign(u"x");
  ASSERT_TRUE(WriteFileDescriptor(block.data(), static_cast<u32>(block.size()), 1, f));
  EXPECT_EQ(2u, ReadFileGroupCount(block.data(), static_cast<u32>(block.size())));
  EXPECT_EQ(1u, ReadFileGroupCount(block.data(), static_cast<u32>(block.size() - 1)));
  EXPECT_EQ(0u, ReadFileGroupCount(block.data(), 3));
  for (u32 k = 0; k < 260; ++k) block[4 + 72 + 2 * k] = 'z';  // the first name fills its field
  FileDescriptorFields r;
  EXPECT_FALSE(ReadFileDescriptor(block.data(), static_cast<u32>(block.size()), 0, &r));
  EXPECT_TRUE(ReadFileDescriptor(block.data(), static_cast<u32>(block.size()), 1, &r));
  EXPECT_FALSE(ReadFileDescriptor(block.data(), static_cast<u32>(block.size()), 2, &r));
  EXPECT_EQ(0u, FileGroupBlockSize(0xFFFFFFFFu)) << "no block past the limit";
}

TEST(ByteBuffer, CapacityStepsAndTheZeroAfterTheContent) {
  const u32 steps[][2] = {{0, 256}, {255, 256}, {256, 512}, {2047, 2048}, {2048, 4096}, {4095, 4096}, {4096, 8192}, {10000, 12288}};
  for (const auto& s : steps) {
    ByteBuffer b;
    ASSERT_TRUE(b.Reserve(s[0]));
    EXPECT_EQ(s[1], b.Capacity()) << s[0];
  }
  ByteBuffer b;
  std::string expected;
  for (int i = 0; i < 40; ++i) {
    const std::string part(97, static_cast<char>('a' + i % 26));
    ASSERT_TRUE(b.Append(part.data(), static_cast<u32>(part.size())));
    expected += part;
    ASSERT_EQ(expected.size(), b.Length());
    ASSERT_EQ(expected, std::string(b.Data(), b.Length()));
    ASSERT_EQ('\0', b.Data()[b.Length()]);
  }
}

}  // namespace
