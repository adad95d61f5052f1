// The "FileGroupDescriptorW" block: a 32-bit count, then one 592-byte
// descriptor per file (flags, attributes, three file times, size, a name of
// at most 260 units with its zero). The program writes it to offer files
// on the clipboard and reads it back to serve their contents; a block read
// from elsewhere is untrusted, so the reader bounds the count by the
// descriptors that fit in the block and refuses a name without its zero.
// Portable: file times are 64-bit FILETIME values, converted by the caller.
#pragma once
#include "runtime/types.h"
#include "runtime/wide_string.h"

namespace file_group {
constexpr u32 kCountSize = 4;
constexpr u32 kDescriptorSize = 592;
// Field offsets inside one descriptor.
constexpr u32 kFlagsField = 0;
constexpr u32 kAttributesField = 36;
constexpr u32 kCreationField = 40;
constexpr u32 kAccessField = 48;
constexpr u32 kWriteField = 56;
constexpr u32 kSizeHighField = 64;
constexpr u32 kSizeLowField = 68;
constexpr u32 kNameField = 72;
constexpr u32 kNameUnits = 260;  // the zero included
// Attributes, the three times and the size are valid.
constexpr u32 kWrittenFlags = 0x7C;
constexpr u32 kAttributeDirectory = 0x10;
constexpr u32 kAttributeNormal = 0x80;
// Larger blocks are neither built nor read.
constexpr u32 kBlockLimit = 64u << 20;
}  // namespace file_group

struct FileDescriptorFields {
  CWideString name;
  u32 flags = 0;
  u32 attributes = 0;
  u64 created = 0;  // FILETIME values
  u64 accessed = 0;
  u64 written = 0;
  u64 size = 0;
};

// Bytes of a block of count descriptors; 0 when it would pass the limit.
u32 FileGroupBlockSize(u32 count);
void WriteFileGroupCount(u8* block, u32 count);
// Writes descriptor index of a block of size bytes (the name cut to 259
// units); false when the descriptor does not lie inside the block.
bool WriteFileDescriptor(u8* block, u32 size, u32 index, const FileDescriptorFields& fields);

// The stored count, bounded by the whole descriptors the block holds; 0
// for a block shorter than the count.
u32 ReadFileGroupCount(const u8* block, u32 size);
// Descriptor index of the block; false when it lies past the count or the
// block, or when its name has no terminating zero.
bool ReadFileDescriptor(const u8* block, u32 size, u32 index, FileDescriptorFields* out);
