#include "sparse_sector_store.h"

void CSparseSectorStore::Put(u32 lba, const u8* data, u32 size) {
  sizes_[lba] = static_cast<u16>(size);
  bool zero = true;
  for (u32 i = 0; i < size && zero; ++i) zero = data[i] == 0;
  if (zero) {
    data_.erase(lba);
    return;
  }
  data_[lba].assign(data, data + size);
}

bool CSparseSectorStore::Get(u32 lba, std::vector<u8>* out) const {
  auto size = sizes_.find(lba);
  if (size == sizes_.end()) return false;
  auto stored = data_.find(lba);
  if (stored == data_.end())
    out->assign(size->second, 0);
  else
    *out = stored->second;
  return true;
}

bool CSparseSectorStore::Written(u32 lba) const { return sizes_.count(lba) != 0; }

u32 CSparseSectorStore::SizeOf(u32 lba) const {
  auto size = sizes_.find(lba);
  return size == sizes_.end() ? 0 : size->second;
}

void CSparseSectorStore::Clear() {
  sizes_.clear();
  data_.clear();
}
