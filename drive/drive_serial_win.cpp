// The drive serial number (text conversion goes through the system).
#include <cstring>

#include "drive/drive.h"
#include "drive/mmc/mmc_replies.h"
#include "runtime/heap.h"

bool CDrive::GetSerialNumber(CWideString* out) {
  u8* reply = static_cast<u8*>(rt::malloc(kConfigurationReplyLength));
  if (!reply) return false;
  std::memset(reply, 0, kConfigurationReplyLength);
  GetConfiguration(0, 0, reply, static_cast<u16>(kConfigurationReplyLength));
  ReplyView serial;
  bool ok = LastCommandSucceeded() && FindSerialNumber(reply, transferred, &serial);
  if (ok) out->AssignUtf8(reinterpret_cast<const char*>(serial.bytes), static_cast<i32>(serial.size));
  rt::free(reply);
  return ok;
}
