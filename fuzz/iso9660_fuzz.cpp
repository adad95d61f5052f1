// Disc image detection, volume descriptors, directory records and tree
// building over arbitrary bytes. The input is read as an image twice: as
// given (so raw layouts and the UDF anchor are reached) and placed at
// sector 16 (so small inputs hold descriptors and directories). Every name
// read loses its version and goes through the safe-name check, as
// extraction does.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "jobs/image/image_file.h"
#include "jobs/image/iso9660_format.h"
#include "jobs/image/iso9660_reader.h"
#include "jobs/image/safe_name.h"
#include "jobs/image/udf_anchor.h"

namespace {

void CheckNames(CDirNode& dir) {
  for (u32 i = 0; i < dir.GetChildCount(); ++i) {
    CFileNode* node = dir.ChildAt(i);
    const i32 outside = NameOutsideImageLength(node->name.c_str(), node->name.GetLength());
    if (outside < 0 || outside > node->name.GetLength()) __builtin_trap();
    IsSafePathComponent(node->name.c_str(), outside);
    if (node->IsDirectory()) CheckNames(*static_cast<CDirNode*>(node));
  }
}

void ReadAsImage(const u8* bytes, size_t size) {
  CMemoryImageSource source(bytes, size);
  CImageFile image;
  if (image.Attach(&source, false, true) == kHrOk) {
    u64 total = 0;
    image.GetSize(&total);
    u8 buffer[5000];
    u64 got = 0;
    image.Seek(total > 3000 ? total - 3000 : 0, 0);
    image.Read(buffer, sizeof(buffer), &got);
    CWideString text;
    DescribeFileSystems(image, &text);
  }
  CIso9660Reader reader;
  u64 imageSize = 0;
  if (reader.ReadVolumeFrom(&imageSize, &source, u"fuzz.iso")) {
    reader.GetPrimaryRoot().CountFiles();
    reader.GetJolietRoot().TotalSize();
    CheckNames(reader.GetPrimaryRoot());
    CheckNames(reader.GetJolietRoot());
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (1u << 22)) return 0;
  ReadAsImage(data, size);
  std::vector<u8> placed(kFirstDescriptorOffset + size, 0);
  if (size) std::memcpy(placed.data() + kFirstDescriptorOffset, data, size);
  ReadAsImage(placed.data(), placed.size());
  // The record walker and anchor test on the raw bytes.
  CDirRecordCursor cursor(data, size);
  DirRecord record;
  DateTime date;
  while (cursor.Next(&record)) IsoDateToTime(record.date, &date);
  IsUdfAnchor(data, size, kUdfAnchorSector);
  return 0;
}
