// Feeds arbitrary bytes to every reader of drive replies and sense data.
// The bytes are copied into a heap block of exactly their size, so any read
// past the reply is caught by the address sanitizer.
#include <cstdint>
#include <cstring>
#include <vector>

#include "drive/mmc/mmc_replies.h"
#include "drive/mmc/mode_pages.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
  std::vector<u8> copy(data, data + size);
  const u8* r = copy.empty() ? nullptr : copy.data();
  u32 n = static_cast<u32>(size);

  SenseFields f = DecodeSense(r, n);
  double fraction = 0;
  GetSenseProgress(r, n, &fraction);

  ConfigurationCurrentProfile(r, n);
  for (u16 code : {kFeatureProfileList, kFeatureCore, kFeatureFormattable, kFeatureDvdPlusR,
                   kFeatureRealTimeStreaming, kFeatureDriveSerialNumber}) {
    const u8* d = FindFeature(r, n, code, (f.key & 1) != 0);
    if (d) {
      volatile u8 last = d[3 + FeatureAdditionalLength(d)];
      (void)last;
    }
  }
  u32 walked = 0;
  ForEachFeature(r, n, [&](const u8* d) {
    volatile u8 last = d[3 + FeatureAdditionalLength(d)];
    (void)last;
    return ++walked > 4096;
  });
  u32 profiles = 0;
  ForEachListedProfile(r, n, [&](u16 p) { profiles += p; });
  ReplyView serial;
  if (FindSerialNumber(r, n, &serial) && serial.size) {
    volatile u8 last = serial.bytes[serial.size - 1];
    (void)last;
  }

  u32 speeds[16];
  ReadCapabilitiesSpeeds(r, n);
  ReadCapabilitiesWriteSpeeds(r, n, speeds, 16);
  ReadPerformanceWriteSpeeds(r, n, speeds, 16);

  CountFormattableDescriptors(r, n);
  FindFormatDescriptor(r, n, 0x26);
  CapacityFromFormatCapacities(r, n, true);
  CapacityFromFormatCapacities(r, n, false);

  u32 value = 0;
  CountTocDescriptors(r, n);
  ReadAtipLeadOut(r, n, &value);
  ReadLastTrackNumber(r, n, &value);
  ReadSessionCount(r, n, &value);
  ReadTrackEnd(r, n, &value);
  DiscStatusBits status;
  ReadDiscStatus(r, n, &status);

  ModeReplyStatedLength(r, n);
  u32 pageStart = 0, pageEnd = 0;
  if (LocateModePage(r, n, &pageStart, &pageEnd) && pageEnd > pageStart) {
    volatile u8 first = r[pageStart];
    volatile u8 last = r[pageEnd - 1];
    (void)first;
    (void)last;
  }

  // Mode pages are edited in place: work on a separate copy of each.
  std::vector<u8> page(copy);
  WriteParameterChoice choice = {(n & 1) != 0, 8, (n & 2) != 0, true, (n & 4) != 0, false};
  PrepareWriteParametersPage(page.empty() ? nullptr : page.data(), n, choice);
  std::vector<u8> caching(copy);
  PrepareCachingPage(caching.empty() ? nullptr : caching.data(), n, true);
  return 0;
}
