// Feeds arbitrary bytes to the device information page's reader of
// GET CONFIGURATION replies and builds its chip groups. The
// bytes are copied into a heap block of exactly their size, so any read
// past the reply is caught by the address sanitizer.
#include <cstdint>
#include <vector>

#include "app/pages/device_info.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
  std::vector<u8> copy(data, data + size);
  const u8* r = copy.empty() ? nullptr : copy.data();
  const u32 n = static_cast<u32>(size);
  DeviceFeatures features;
  ReadDeviceFeatures(r, n, &features);
  FeatureGroup groups[kFeatureGroupCount];
  BuildFeatureGroups(features, groups);
  return 0;
}
