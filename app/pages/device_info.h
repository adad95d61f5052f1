// What the device information page shows of a drive: its identification
// (INQUIRY), buffer size (capabilities page), serial number, and the
// features and profiles it lists (GET CONFIGURATION) with the write
// abilities some of those features announce; and the chip groups the page
// draws from them. Read once, when the page is built. Portable, except the
// identification texts and the read from the drive itself
// (device_info_read_win.cpp: UTF-8 and the serial number).
#pragma once
#include "drive/drive.h"
#include "runtime/wide_string.h"

// UI string ids of the page.
constexpr u32 kTextDeviceInformation = 166;
constexpr u32 kTextVendorId = 167;
constexpr u32 kTextProductId = 168;
constexpr u32 kTextFirmware = 169;
constexpr u32 kTextVendorInfo = 170;
constexpr u32 kTextBufferCapacity = 171;
constexpr u32 kTextSerialNumber = 172;
constexpr u32 kTextCdFeatures = 173;
constexpr u32 kTextDvdFeatures = 174;
constexpr u32 kTextBdFeatures = 175;
constexpr u32 kTextHdDvdFeatures = 176;
constexpr u32 kTextOtherFeatures = 177;
constexpr u32 kTextReadOnly = 178;
constexpr u32 kTextReadWrite = 179;

constexpr u32 kInquiryReplyLength = 96;
constexpr u32 kFeatureTableSize = 0x150;  // feature codes 0x0000-0x014F
constexpr u32 kProfileTableSize = 0x5B;   // profiles 0x00-0x5A

// Write abilities some features announce in their data (writeBits).
enum WriteAbility : u16 {
  kWriteCdText = 1 << 0,          // CD Read: CD-Text
  kWriteC2 = 1 << 1,              // CD Read: C2 error pointers
  kWriteDvdRw = 1 << 2,           // DVD-R/-RW Write: DVD-RW
  kWriteDvdRDualLayer = 1 << 3,   // DVD-R/-RW Write: dual layer
  kWriteDvdRwDualLayer = 1 << 4,  // Formattable
  kWriteDvdPlusR = 1 << 5,
  kWriteDvdPlusRDualLayer = 1 << 6,
  kWriteDvdPlusRw = 1 << 7,
  kWriteDvdPlusRwDualLayer = 1 << 8,
};

struct DeviceFeatures {
  u8 features[kFeatureTableSize];  // 1: listed by the drive
  u8 profiles[kProfileTableSize];  // 1: listed by the drive
  u16 writeBits;
};

struct DeviceInfo {
  CWideString vendor, product, firmware, vendorInfo, serial;
  u32 bufferKb = 0;  // 0: not reported
  DeviceFeatures features = {};
};

// Vendor (bytes 8-15), product (16-31) and firmware (32-35) as UTF-8 without
// the padding after them; vendor information: every non-zero byte of 36-55
// as one character. Only bytes the reply holds are read.
void ReadInquiryTexts(const u8* reply, u32 size, DeviceInfo* info);
// Marks every listed feature and profile of a GET CONFIGURATION reply (only
// descriptors that lie whole inside the valid bytes and the reply's own
// length) and the write abilities; codes past the tables are ignored.
void ReadDeviceFeatures(const u8* reply, u32 size, DeviceFeatures* out);

// Opened drive: identification, serial number, buffer, features, each
// command sent once (user-interface thread). A failed GET CONFIGURATION
// leaves the tables clear.
void ReadDeviceInfo(CDrive& drive, DeviceInfo* info);

// ---- Chip groups ----------------------------------------------------------

enum ChipMode : u8 { kChipReadOnly = 0, kChipReadWrite = 1, kChipFeature = 2 };

struct FeatureChip {
  const wchar16* text;
  u8 mode;
};

constexpr u32 kFeatureGroupCount = 5;
constexpr u32 kMaxGroupChips = 12;

struct FeatureGroup {
  u32 headingId;
  bool shown;
  u32 chipCount;
  FeatureChip chips[kMaxGroupChips];
};

// The CD, DVD, Blu-ray, HD DVD and other-feature groups: which are shown
// and their chips in order, each chip only when the drive lists it.
void BuildFeatureGroups(const DeviceFeatures& features, FeatureGroup groups[kFeatureGroupCount]);
