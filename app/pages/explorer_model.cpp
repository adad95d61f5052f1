#include "app/pages/explorer_model.h"

const MediaSizeChoice kMediaSizes[kMediaSizeCount] = {
    {u"CD 74 Min", 681984000ull},   {u"CD 80 Min", 737280000ull},   {u"CD 90 Min", 829440000ull},
    {u"CD 99 Min", 912384000ull},   {u"DVD-R SL", 4707319808ull},   {u"DVD+R SL", 4700372992ull},
    {u"DVD-R DL", 8543666176ull},   {u"DVD+R DL", 8547991552ull},
};
const wchar16* const kFileSystemNames[kFileSystemCount] = {u"ISO 9660", u"UDF"};
const wchar16* const kIsoVersionNames[kIsoVersionCount] = {u"ISO 9660", u"ISO 9660 + Joliet"};
const wchar16* const kUdfVersionNames[kUdfVersionCount] = {u"1.02", u"1.50", u"2.00", u"2.01", u"2.50", u"2.60"};

void AddTreeTotals(const CDirNode& dir, TreeTotals* totals) {
  totals->files += dir.files.GetCount();
  for (const CFileNode& file : dir.files) totals->bytes += file.size;
  totals->folders += dir.dirs.GetCount();
  for (const CDirNode& sub : dir.dirs) AddTreeTotals(sub, totals);
}

void AddEntryTotals(const CFileNode& entry, TreeTotals* totals) {
  if (!entry.IsDirectory()) {
    ++totals->files;
    totals->bytes += entry.size;
    return;
  }
  ++totals->folders;
  AddTreeTotals(static_cast<const CDirNode&>(entry), totals);
}

CapacityReading ReadCapacity(u64 size, u64 capacity, u32 normalColour) {
  const double share = capacity ? static_cast<double>(size) / static_cast<double>(capacity) * 100.0 : 100.0;
  if (size > capacity) {
    const double over = share - 100.0;
    return {over > 100.0 ? 100.0 : over, kCapacityOverflowColour, kTextDataOverflow, size - capacity};
  }
  return {share, normalColour, kTextAvailableSpace, capacity - size};
}

namespace {

// A child named name or alike (the names a new folder's insert refuses).
bool HasChildNamed(const CDirNode& dir, const CWideString& name) {
  for (const CDirNode& sub : dir.dirs)
    if (NodeNamesAlike(sub.name.c_str(), sub.name.GetLength(), name.c_str(), name.GetLength())) return true;
  for (const CFileNode& file : dir.files)
    if (NodeNamesAlike(file.name.c_str(), file.name.GetLength(), name.c_str(), name.GetLength())) return true;
  return false;
}

}  // namespace

void NewFolderName(const CDirNode& dir, const wchar16* base, CWideString* out) {
  out->Assign(base);
  // Among n children at most n names are taken: the counter ends by n + 1.
  const u64 limit = static_cast<u64>(dir.GetChildCount()) + 1;
  for (u64 n = 1; n <= limit && HasChildNamed(dir, *out); ++n) {
    out->Assign(base);
    out->AppendChar(u'(');
    out->AppendUInt64(n);
    out->AppendChar(u')');
  }
}
