// The device information read from an opened drive (the identification
// and the serial number go through the system's text conversion).
#include <cstring>

#include "app/pages/device_info.h"
#include "drive/mmc/mmc_replies.h"
#include "runtime/heap.h"

namespace {

// Bytes [from, to) of the reply that it holds, as UTF-8 without trailing
// blanks or zeros.
void AssignField(const u8* reply, u32 size, u32 from, u32 to, CWideString* out) {
  if (to > size) to = size;
  while (to > from && (reply[to - 1] == ' ' || reply[to - 1] == 0)) --to;
  out->SetLength(0);
  if (to > from) out->AssignUtf8(reinterpret_cast<const char*>(reply + from), static_cast<i32>(to - from));
}

}  // namespace

void ReadInquiryTexts(const u8* reply, u32 size, DeviceInfo* info) {
  AssignField(reply, size, 8, 16, &info->vendor);
  AssignField(reply, size, 16, 32, &info->product);
  AssignField(reply, size, 32, 36, &info->firmware);
  info->vendorInfo.SetLength(0);
  for (u32 i = 36; i < 56 && i < size; ++i)
    if (reply[i]) info->vendorInfo.AppendChar(static_cast<wchar16>(reply[i]));
}

void ReadDeviceInfo(CDrive& drive, DeviceInfo* info) {
  u8 inquiry[kInquiryReplyLength];
  std::memset(inquiry, 0, sizeof(inquiry));
  if (drive.Inquiry(false, 0, inquiry, sizeof(inquiry)).LastCommandSucceeded())
    ReadInquiryTexts(inquiry, ValidReplyBytes(drive, sizeof(inquiry)), info);

  drive.GetSerialNumber(&info->serial);

  // The buffer size (kB) is field 12 of the capabilities page, wherever
  // the page lies after the header and any block descriptors.
  u8 page[kCapabilitiesReplyLength];
  std::memset(page, 0, sizeof(page));
  info->bufferKb = 0;
  if (drive.ModeSense(0, 0x2A, 0, page, sizeof(page)).LastCommandSucceeded())
    info->bufferKb = ModePageField16(page, ValidReplyBytes(drive, sizeof(page)), 12);

  std::memset(&info->features, 0, sizeof(info->features));
  u8* reply = static_cast<u8*>(rt::malloc(kConfigurationReplyLength));
  if (!reply) return;
  std::memset(reply, 0, kConfigurationReplyLength);
  if (drive.GetConfiguration(0, 0, reply, static_cast<u16>(kConfigurationReplyLength)).LastCommandSucceeded())
    ReadDeviceFeatures(reply, ValidReplyBytes(drive, kConfigurationReplyLength), &info->features);
  rt::free(reply);
}
