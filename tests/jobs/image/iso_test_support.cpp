#include "iso_test_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <sstream>

namespace isotest {

namespace {

bool ReadStream(FILE* f, std::vector<u8>* out) {
  if (!f) return false;
  out->clear();
  unsigned char chunk[65536];
  size_t n;
  while ((n = std::fread(chunk, 1, sizeof(chunk), f)) > 0) out->insert(out->end(), chunk, chunk + n);
  std::fclose(f);
  return true;
}

void Walk(CDirNode& dir, const std::string& prefix, NameRender render, std::map<std::string, TreeEntry>* out) {
  for (u32 i = 0; i < dir.GetChildCount(); ++i) {
    CFileNode* node = dir.ChildAt(i);
    TreeEntry e{node->IsDirectory(), node->size, node->location, node->flags, node->written};
    std::string path = prefix + "/" + render(ToU16(node->name));
    (*out)[path] = e;
    if (e.directory) Walk(*static_cast<CDirNode*>(node), path, render, out);
  }
}

}  // namespace

std::vector<u8> Fixture(const std::string& name) {
  std::vector<u8> bytes;
  EXPECT_TRUE(ReadStream(std::fopen(("fixtures/iso/" + name).c_str(), "rb"), &bytes)) << "missing: " << name;
  return bytes;
}

std::string FixtureText(const std::string& name) {
  std::vector<u8> bytes = Fixture(name);
  return std::string(bytes.begin(), bytes.end());
}

bool ReadFileUtf16(const std::u16string& path, std::vector<u8>* out) {
#ifdef _WIN32
  std::wstring wide(path.begin(), path.end());
  return ReadStream(_wfopen(wide.c_str(), L"rb"), out);
#else
  return ReadStream(std::fopen(ToUtf8(path).c_str(), "rb"), out);
#endif
}

std::string ToUtf8(const std::u16string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    u32 c = text[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size()) c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
    int extra = c < 0x80 ? 0 : c < 0x800 ? 1 : c < 0x10000 ? 2 : 3;
    out += static_cast<char>(extra ? ((0xFF00 >> (extra + 1)) & 0xFF) | (c >> (6 * extra)) : c);
    for (int k = extra - 1; k >= 0; --k) out += static_cast<char>(0x80 | ((c >> (6 * k)) & 0x3F));
  }
  return out;
}

std::u16string ToU16(const CWideString& text) { return std::u16string(text.c_str(), text.GetLength()); }

std::string ToLatin1Lossy(const std::u16string& text) {
  std::string out;
  for (char16_t c : text) out += c > 0xFF ? '_' : static_cast<char>(c);
  return out;
}

std::map<std::string, std::vector<ListedEntry>> ParseListing(const std::string& text) {
  static const char* const kMonths[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  std::map<std::string, std::vector<ListedEntry>> result;
  std::istringstream lines(text);
  std::string line, folder;
  const std::string header = "Directory listing of ";
  while (std::getline(lines, line)) {
    if (line.compare(0, header.size(), header) == 0) {
      folder = line.substr(header.size());
      if (!folder.empty() && folder.back() == '/') folder.pop_back();
      continue;
    }
    size_t open = line.find('[');
    if (line.size() < 10 || open == std::string::npos) continue;
    // "... size Mon dd yyyy [ location flags]  name " (a multi-extent part's
    // flags come out as "FFFF" without the bracket)
    ListedEntry e;
    e.directory = line[0] == 'd';
    std::istringstream head(line.substr(10, open - 10));
    int links, uid, gid;
    std::string month, flags, name;
    head >> links >> uid >> gid >> e.size >> month >> e.day >> e.year;
    for (int m = 0; m < 12; ++m)
      if (month == kMonths[m]) e.month = m + 1;
    std::istringstream place(line.substr(open + 1));
    place >> e.location >> flags >> std::ws;
    e.flags = static_cast<u32>(std::strtoul(flags.c_str(), nullptr, 16));
    std::getline(place, name);
    if (!name.empty() && name.back() == ' ') name.pop_back();
    if (name != "." && name != "..") result[folder + "/" + name].push_back(e);
  }
  return result;
}

std::string ListingField(const std::string& text, const std::string& field) {
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line))
    if (line.compare(0, field.size() + 2, field + ": ") == 0) return line.substr(field.size() + 2);
  return "";
}

std::map<std::string, TreeEntry> FlattenTree(CDirNode& root, NameRender render) {
  std::map<std::string, TreeEntry> out;
  Walk(root, "", render, &out);
  return out;
}

std::string Describe(CDirNode& root) {
  std::ostringstream out;
  out << root.blocks << "\n";
  for (u32 i = 0; i < root.GetChildCount(); ++i) {
    CFileNode* n = root.ChildAt(i);
    const DateTime& d = n->written;
    out << ToUtf8(ToU16(n->name)) << " " << n->flags << " " << n->size << " " << n->location << " " << (n->source != nullptr) << " "
        << d.year << "-" << d.month << "-" << d.day << " " << d.weekday << " " << d.hour << ":" << d.minute << ":" << d.second << "\n";
    if (n->IsDirectory()) out << "{" << Describe(*static_cast<CDirNode*>(n)) << "}\n";
  }
  return out.str();
}

HResult CTestSource::ReadAt(u64 offset, void* buffer, u32 count, u32* got) {
  *got = 0;
  if (offset >= size_) return kHrOk;
  u64 n = size_ - offset < count ? size_ - offset : count;
  if (offset + n > faultAt_) {
    if (fault_ == kFail) return kHrFail;
    n = fault_ == kShort && offset < faultAt_ ? faultAt_ - offset : 0;
  }
  u8* out = static_cast<u8*>(buffer);
  for (u64 i = 0; i < n; ++i) out[i] = offset + i < bytes_.size() ? bytes_[offset + i] : 0;
  *got = static_cast<u32>(n);
  return kHrOk;
}

std::vector<u8> MakeRecord(const std::string& name, u32 location, u32 size, u8 flags) {
  u32 length = 33 + static_cast<u32>(name.size());
  length += length & 1;
  std::vector<u8> r(length, 0);
  r[0] = static_cast<u8>(length);
  for (int i = 0; i < 4; ++i) {  // both-endian fields
    r[2 + i] = r[9 - i] = static_cast<u8>(location >> (8 * i));
    r[10 + i] = r[17 - i] = static_cast<u8>(size >> (8 * i));
  }
  const u8 date[7] = {124, 3, 9, 12, 30, 45, 0};
  std::memcpy(r.data() + 18, date, 7);
  r[25] = flags;
  r[32] = static_cast<u8>(name.size());
  std::memcpy(r.data() + 33, name.data(), name.size());
  return r;
}

void SynthImage::Descriptor(u32 sector, u8 type, u32 rootLocation, u32 rootSize, u8 version) {
  u8* d = bytes.data() + size_t(sector) * 2048;
  d[0] = type;
  std::memcpy(d + 1, "CD001", 5);
  d[6] = version;
  std::memcpy(d + 40, "SYNTHETIC                       ", 32);
  std::memcpy(d + 156, MakeRecord(std::string(1, '\0'), rootLocation, rootSize, 2).data(), 34);
}

void SynthImage::Joliet(u32 sector, u32 rootLocation, u32 rootSize) {
  Descriptor(sector, 2, rootLocation, rootSize, 1);
  u8* d = bytes.data() + size_t(sector) * 2048;
  std::memcpy(d + 88, "%/E", 3);
  for (int i = 0; i < 16; ++i) {
    d[40 + 2 * i] = 0;
    d[41 + 2 * i] = i < 2 ? "JL"[i] : ' ';
  }
}

void SynthImage::Terminator(u32 sector) { Descriptor(sector, 255, 0, 0); }

void SynthImage::Directory(u32 sector, u32 parent, const std::vector<std::vector<u8>>& records) {
  std::vector<std::vector<u8>> all = {MakeRecord(std::string(1, '\0'), sector, 2048, 2),
                                      MakeRecord(std::string(1, '\1'), parent, 2048, 2)};
  all.insert(all.end(), records.begin(), records.end());
  size_t at = size_t(sector) * 2048;
  for (const std::vector<u8>& r : all) {
    if ((at % 2048) + r.size() > 2048) at = (at / 2048 + 1) * 2048;
    if (at + r.size() > bytes.size()) return;
    std::memcpy(bytes.data() + at, r.data(), r.size());
    at += r.size();
  }
}

std::vector<u8> ReadAllUserData(CImageFile& image) {
  u64 size = 0, got = 0;
  image.GetSize(&size);
  std::vector<u8> data(static_cast<size_t>(size));
  image.Seek(0, 0);
  image.Read(data.data(), size, &got);
  data.resize(static_cast<size_t>(got));
  return data;
}

}  // namespace isotest
