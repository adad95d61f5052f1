#include "ui/windows/ole/file_group_descriptor.h"

#include <cstring>

#include "runtime/byte_order.h"

namespace {

void Write32(u8* p, u32 v) {
  p[0] = u8(v);
  p[1] = u8(v >> 8);
  p[2] = u8(v >> 16);
  p[3] = u8(v >> 24);
}

void Write64(u8* p, u64 v) {
  Write32(p, static_cast<u32>(v));
  Write32(p + 4, static_cast<u32>(v >> 32));
}

u64 Read64(const u8* p) { return ReadLittleEndian32(p) | (u64(ReadLittleEndian32(p + 4)) << 32); }

// The descriptor's first byte, or null when it does not lie in the block.
template <class Byte>
Byte* DescriptorAt(Byte* block, u32 size, u32 index) {
  const u64 start = file_group::kCountSize + u64(index) * file_group::kDescriptorSize;
  if (!block || start + file_group::kDescriptorSize > size) return nullptr;
  return block + start;
}

}  // namespace

u32 FileGroupBlockSize(u32 count) {
  const u64 bytes = file_group::kCountSize + u64(count) * file_group::kDescriptorSize;
  return bytes > file_group::kBlockLimit ? 0 : static_cast<u32>(bytes);
}

void WriteFileGroupCount(u8* block, u32 count) {
  if (block) Write32(block, count);
}

bool WriteFileDescriptor(u8* block, u32 size, u32 index, const FileDescriptorFields& fields) {
  u8* d = DescriptorAt(block, size, index);
  if (!d) return false;
  std::memset(d, 0, file_group::kDescriptorSize);
  Write32(d + file_group::kFlagsField, fields.flags);
  Write32(d + file_group::kAttributesField, fields.attributes);
  Write64(d + file_group::kCreationField, fields.created);
  Write64(d + file_group::kAccessField, fields.accessed);
  Write64(d + file_group::kWriteField, fields.written);
  Write32(d + file_group::kSizeHighField, static_cast<u32>(fields.size >> 32));
  Write32(d + file_group::kSizeLowField, static_cast<u32>(fields.size));
  u32 units = static_cast<u32>(fields.name.GetLength());
  if (units > file_group::kNameUnits - 1) units = file_group::kNameUnits - 1;
  const wchar16* name = fields.name.c_str();
  u8* to = d + file_group::kNameField;
  for (u32 i = 0; i < units; ++i) {
    to[2 * i] = u8(name[i]);
    to[2 * i + 1] = u8(name[i] >> 8);
  }
  return true;  // the zero after the name is already there
}

u32 ReadFileGroupCount(const u8* block, u32 size) {
  if (!block || size < file_group::kCountSize) return 0;
  const u32 stored = ReadLittleEndian32(block);
  const u32 fit = (size - file_group::kCountSize) / file_group::kDescriptorSize;
  return stored < fit ? stored : fit;
}

bool ReadFileDescriptor(const u8* block, u32 size, u32 index, FileDescriptorFields* out) {
  if (!out || index >= ReadFileGroupCount(block, size)) return false;
  const u8* d = DescriptorAt(block, size, index);
  const u8* name = d + file_group::kNameField;
  u32 units = 0;
  while (units < file_group::kNameUnits && ReadLittleEndian16(name + 2 * units) != 0) ++units;
  if (units == file_group::kNameUnits) return false;
  out->flags = ReadLittleEndian32(d + file_group::kFlagsField);
  out->attributes = ReadLittleEndian32(d + file_group::kAttributesField);
  out->created = Read64(d + file_group::kCreationField);
  out->accessed = Read64(d + file_group::kAccessField);
  out->written = Read64(d + file_group::kWriteField);
  out->size = (u64(ReadLittleEndian32(d + file_group::kSizeHighField)) << 32) |
              ReadLittleEndian32(d + file_group::kSizeLowField);
  wchar16* text = out->name.SetLength(static_cast<i32>(units));
  if (text) std::memcpy(text, name, units * 2);
  return text != nullptr;
}
