// The device information read from an opened drive (the serial number goes
// through the system's text conversion).
#include <cstring>

#include "app/pages/device_info.h"
#include "drive/mmc/mmc_replies.h"
#include "runtime/heap.h"

void ReadDeviceInfo(CDrive& drive, DeviceInfo* info) {
  u8 inquiry[kInquiryReplyLength];
  std::memset(inquiry, 0, sizeof(inquiry));
  if (drive.Retry(true, [&] { drive.Inquiry(false, 0, inquiry, sizeof(inquiry)); }))
    ReadInquiryTexts(inquiry, ValidReplyBytes(drive, sizeof(inquiry)), info);

  drive.GetSerialNumber(&info->serial);

  // The buffer size (kB) is field 12 of the capabilities page, wherever
  // the page lies after the header and any block descriptors.
  u8 page[kCapabilitiesReplyLength];
  std::memset(page, 0, sizeof(page));
  info->bufferKb = 0;
  if (drive.Retry(true, [&] { drive.ModeSense(0, 0x2A, 0, page, sizeof(page)); }))
    info->bufferKb = ModePageField16(page, ValidReplyBytes(drive, sizeof(page)), 12);

  std::memset(&info->features, 0, sizeof(info->features));
  u8* reply = static_cast<u8*>(rt::malloc(kConfigurationReplyLength));
  if (!reply) return;
  std::memset(reply, 0, kConfigurationReplyLength);
  if (drive.Retry(true, [&] { drive.GetConfiguration(0, 0, reply, static_cast<u16>(kConfigurationReplyLength)); }))
    ReadDeviceFeatures(reply, ValidReplyBytes(drive, kConfigurationReplyLength), &info->features);
  rt::free(reply);
}
