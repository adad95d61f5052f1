// Builds drive replies byte by byte for the reply-reader tests.
#pragma once
#include <vector>

#include "runtime/types.h"

class ReplyBuilder {
 public:
  ReplyBuilder& U8(u8 v) {
    bytes.push_back(v);
    return *this;
  }
  ReplyBuilder& U16(u16 v) { return U8(u8(v >> 8)).U8(u8(v)); }
  ReplyBuilder& U32(u32 v) { return U16(u16(v >> 16)).U16(u16(v)); }
  ReplyBuilder& Zeros(u32 n) {
    bytes.insert(bytes.end(), n, 0);
    return *this;
  }
  // Overwrites a big-endian field already present.
  void Put16(u32 at, u16 v) {
    bytes[at] = u8(v >> 8);
    bytes[at + 1] = u8(v);
  }
  void Put32(u32 at, u32 v) {
    Put16(at, u16(v >> 16));
    Put16(at + 2, u16(v));
  }
  u32 Size() const { return static_cast<u32>(bytes.size()); }
  const u8* Data() const { return bytes.data(); }

  std::vector<u8> bytes;
};

// A GET CONFIGURATION reply: header with the current profile, then features
// added with Feature(); Finish() writes the data length.
class ConfigurationBuilder {
 public:
  explicit ConfigurationBuilder(u16 currentProfile) { b.U32(0).U16(0).U16(currentProfile); }
  ConfigurationBuilder& Feature(u16 code, bool current, const std::vector<u8>& data) {
    b.U16(code).U8(current ? 1 : 0).U8(u8(data.size()));
    for (u8 v : data) b.U8(v);
    return *this;
  }
  ConfigurationBuilder& Profiles(const std::vector<u16>& profiles, u16 current) {
    std::vector<u8> data;
    for (u16 p : profiles) {
      data.push_back(u8(p >> 8));
      data.push_back(u8(p));
      data.push_back(p == current ? 1 : 0);
      data.push_back(0);
    }
    return Feature(0x0000, true, data);
  }
  std::vector<u8> Finish() {
    b.Put32(0, b.Size() - 4);
    return b.bytes;
  }
  ReplyBuilder b;
};

// A MODE SENSE(10) reply: 8-byte header then the page bytes.
inline std::vector<u8> ModeReply(const std::vector<u8>& page) {
  ReplyBuilder r;
  r.U16(u16(6 + page.size())).Zeros(6);
  for (u8 v : page) r.U8(v);
  return r.bytes;
}

// A zeroed capabilities page (0x2A) with room for `descriptors` write speed
// descriptors; its fields are set with Put16.
inline ReplyBuilder BlankCapabilitiesPage(u32 descriptors) {
  ReplyBuilder page;
  page.Zeros(32 + descriptors * 4);
  page.bytes[0] = 0x2A;
  page.bytes[1] = static_cast<u8>(page.Size() - 2);
  return page;
}
