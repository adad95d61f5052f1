// The benchmarks' instant DVD+RW recorder: one optical drive "R:" behind the
// device I/O seam that answers every command at once. Writes are taken and
// dropped; reads give the blocks of the benchmark image again (FillBlock),
// so a verify pass compares equal. The drive lists CD-R, CD-RW, DVD+RW and
// DVD+R (so the burn-image window takes it for a recorder); the disc is a
// blank DVD+RW of a single-layer disc's capacity.
#pragma once
#include <cstring>

#include "drive/device_io.h"
#include "drive/scsi_pass_through.h"
#include "runtime/byte_order.h"
#include "runtime/types.h"

constexpr u32 kInstantBlock = 2048;
constexpr u32 kInstantCapacity = 2295104;  // blocks of a 4.7 GB DVD+RW

// Image contents any block of which can be made again cheaply.
inline void FillBlock(u8* block, u32 lba) {
  u32* words = reinterpret_cast<u32*>(block);
  u32 base = lba * 0x9E3779B1u;
  for (u32 i = 0; i < kInstantBlock / 4; ++i) words[i] = base + i;
}

class CInstantRecorder final : public IDeviceIo {
 public:
  u32 GetLogicalDriveStrings(u32 length, wchar16* buffer) override {
    static const wchar16 kRoots[] = u"R:\\\0";
    if (length < 5) return 5;
    std::memcpy(buffer, kRoots, sizeof(kRoots));
    return 4;
  }
  u32 GetDriveType(const wchar16*) override { return kDriveTypeCdrom; }
  void* CreateFile(const wchar16*, u32, u32, u32, u32) override { return reinterpret_cast<void*>(0x5150); }
  bool CloseHandle(void*) override { return true; }
  bool DeviceIoControl(void*, u32 code, void* in, u32 inSize, void*, u32, u32* returned) override {
    if (returned) *returned = 0;
    if (code != kIoctlScsiPassThroughDirect) return true;  // lock, unlock, dismount
    if (inSize < sizeof(ScsiPassThroughDirect)) return false;
    ScsiPassThroughDirect* r = static_cast<ScsiPassThroughDirect*>(in);
    r->scsiStatus = 0;
    u8* data = static_cast<u8*>(r->dataBuffer);
    u32 length = r->dataTransferLength;
    if (r->dataIn != kScsiDataIn || !data || !length) return true;
    const u8* cdb = r->cdb;
    switch (cdb[0]) {
      case 0x28: {  // READ(10)
        u32 lba = ReadBigEndian32(cdb + 2);
        u32 count = ReadBigEndian16(cdb + 7);
        for (u32 i = 0; i < count && (i + 1) * kInstantBlock <= length; ++i)
          FillBlock(data + i * kInstantBlock, lba + i);
        break;
      }
      case 0x46: {  // GET CONFIGURATION: current profile DVD+RW, and the profile list
        static const u8 kConfig[] = {0, 0, 0, 24, 0, 0, 0, 0x1A,  // header: 24 bytes follow
                                     0, 0, 0x03, 16,               // profile list, current
                                     0, 0x1A, 1, 0, 0, 0x1B, 0, 0, 0, 0x09, 0, 0, 0, 0x0A, 0, 0};
        std::memset(data, 0, length);
        std::memcpy(data, kConfig, length < sizeof(kConfig) ? length : sizeof(kConfig));
        break;
      }
      case 0x51:  // READ DISC INFORMATION: a blank disc, its last track 1
        std::memset(data, 0, length);
        if (length >= 2) WriteBigEndian16(data, 32);
        if (length >= 7) data[6] = 1;
        break;
      case 0x52:  // READ TRACK INFORMATION: track 1 from 0, every block free
        std::memset(data, 0, length);
        if (length >= 28) {
          WriteBigEndian16(data, 34);
          data[2] = 1;
          WriteBigEndian32(data + 16, kInstantCapacity);
          WriteBigEndian32(data + 24, kInstantCapacity);
        }
        break;
      case 0x25:  // READ CAPACITY
        std::memset(data, 0, length);
        if (length >= 8) {
          WriteBigEndian32(data, kInstantCapacity - 1);
          WriteBigEndian32(data + 4, kInstantBlock);
        }
        break;
      default:
        std::memset(data, 0, length);
        break;
    }
    return true;
  }
};
