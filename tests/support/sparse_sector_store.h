// Sector contents of a simulated medium, kept only for sectors that hold
// something other than zeros. Not thread-safe (the recorder locks).
#pragma once
#include <map>
#include <vector>

#include "runtime/types.h"

class CSparseSectorStore {
 public:
  // Stores one sector as written (its size is kept); an all-zero sector
  // frees its entry but stays known as written.
  void Put(u32 lba, const u8* data, u32 size);
  // The sector's bytes and size; false when it was never written.
  bool Get(u32 lba, std::vector<u8>* out) const;
  bool Written(u32 lba) const;
  // Bytes of the sector as written, 0 when never written.
  u32 SizeOf(u32 lba) const;
  void Clear();
  u32 Count() const { return static_cast<u32>(sizes_.size()); }
  u32 StoredCount() const { return static_cast<u32>(data_.size()); }

 private:
  std::map<u32, u16> sizes_;
  std::map<u32, std::vector<u8>> data_;
};
