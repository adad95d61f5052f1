#include "iso_test_support.h"

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

const char* const kMonths[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                 "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

void Walk(CDirNode& dir, const std::string& prefix, NameRender render, std::map<std::string, TreeEntry>* out) {
  for (u32 i = 0; i < dir.GetChildCount(); ++i) {
    CFileNode* node = dir.ChildAt(i);
    TreeEntry entry;
    entry.directory = node->IsDirectory();
    entry.size = node->size;
    entry.location = node->location;
    entry.flags = node->flags;
    entry.written = node->written;
    entry.name = ToU16(node->name);
    std::string path = prefix + "/" + render(entry.name);
    (*out)[path] = entry;
    if (entry.directory) Walk(*static_cast<CDirNode*>(node), path, render, out);
  }
}

}  // namespace

std::vector<u8> ReadFixture(const std::string& name, bool* found) {
  std::vector<u8> bytes;
  *found = ReadStream(std::fopen(("fixtures/iso/" + name).c_str(), "rb"), &bytes);
  return bytes;
}

std::string ReadFixtureText(const std::string& name, bool* found) {
  std::vector<u8> bytes = ReadFixture(name, found);
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
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size()) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    }
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
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
  std::map<std::string, std::vector<ListedEntry>> result;
  std::istringstream lines(text);
  std::string line;
  std::string folder;
  const std::string header = "Directory listing of ";
  while (std::getline(lines, line)) {
    if (line.compare(0, header.size(), header) == 0) {
      folder = line.substr(header.size());
      if (!folder.empty() && folder.back() == '/') folder.pop_back();
      continue;
    }
    size_t open = line.find('[');
    if (line.size() < 10 || open == std::string::npos) continue;
    ListedEntry entry;
    entry.directory = line[0] == 'd';
    // "... size Mon dd yyyy [ location flags]  name "
    std::istringstream head(line.substr(10, open - 10));
    int links, uid, gid;
    std::string month;
    head >> links >> uid >> gid >> entry.size >> month >> entry.day >> entry.year;
    for (int m = 0; m < 12; ++m)
      if (month == kMonths[m]) entry.month = m + 1;
    size_t p = open + 1;
    while (p < line.size() && line[p] == ' ') ++p;
    entry.location = std::strtoull(line.c_str() + p, nullptr, 10);
    while (p < line.size() && line[p] != ' ') ++p;  // location
    while (p < line.size() && line[p] == ' ') ++p;
    entry.flags = static_cast<u32>(std::strtoul(line.c_str() + p, nullptr, 16));
    while (p < line.size() && line[p] != ' ') ++p;  // flags (and ']')
    while (p < line.size() && line[p] == ' ') ++p;
    std::string name = line.substr(p);
    if (!name.empty() && name.back() == ' ') name.pop_back();
    if (name == "." || name == "..") continue;
    result[folder + "/" + name].push_back(entry);
  }
  return result;
}

std::string ListingField(const std::string& text, const std::string& field) {
  std::istringstream lines(text);
  std::string line;
  std::string prefix = field + ": ";
  while (std::getline(lines, line))
    if (line.compare(0, prefix.size(), prefix) == 0) return line.substr(prefix.size());
  return "";
}

std::map<std::string, TreeEntry> FlattenTree(CDirNode& root, NameRender render) {
  std::map<std::string, TreeEntry> out;
  Walk(root, "", render, &out);
  return out;
}

HResult CSparseSource::ReadAt(u64 offset, void* buffer, u32 count, u32* got) {
  *got = 0;
  if (offset >= size_) return kHrOk;
  u64 n = size_ - offset < count ? size_ - offset : count;
  u8* out = static_cast<u8*>(buffer);
  for (u64 i = 0; i < n; ++i) out[i] = offset + i < head_.size() ? head_[offset + i] : 0;
  *got = static_cast<u32>(n);
  return kHrOk;
}

HResult CFaultySource::ReadAt(u64 offset, void* buffer, u32 count, u32* got) {
  *got = 0;
  if (offset >= bytes_.size()) return kHrOk;
  u64 n = bytes_.size() - offset < count ? bytes_.size() - offset : count;
  if (offset + n > faultAt_) {
    if (mode_ == kFail) return kHrFail;
    n = offset < faultAt_ ? faultAt_ - offset : 0;
    if (mode_ == kZero) n = 0;
  }
  std::memcpy(buffer, bytes_.data() + offset, static_cast<size_t>(n));
  *got = static_cast<u32>(n);
  return kHrOk;
}

std::vector<u8> MakeRecord(const std::string& name, u32 location, u32 size, u8 flags) {
  u32 length = 33 + static_cast<u32>(name.size());
  length += length & 1;
  std::vector<u8> r(length, 0);
  r[0] = static_cast<u8>(length);
  for (int i = 0; i < 4; ++i) {
    r[2 + i] = static_cast<u8>(location >> (8 * i));
    r[6 + 3 - i] = static_cast<u8>(location >> (8 * i));
    r[10 + i] = static_cast<u8>(size >> (8 * i));
    r[14 + 3 - i] = static_cast<u8>(size >> (8 * i));
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
  std::memset(d + 40, ' ', 32);
  std::memcpy(d + 40, "SYNTHETIC", 9);
  std::vector<u8> root = MakeRecord(std::string(1, '\0'), rootLocation, rootSize, 2);
  std::memcpy(d + 156, root.data(), 34);
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

void SynthImage::Terminator(u32 sector) {
  u8* d = bytes.data() + size_t(sector) * 2048;
  d[0] = 255;
  std::memcpy(d + 1, "CD001", 5);
  d[6] = 1;
}

void SynthImage::Directory(u32 sector, const std::vector<std::vector<u8>>& records) {
  size_t at = size_t(sector) * 2048;
  for (const std::vector<u8>& r : records) {
    if ((at % 2048) + r.size() > 2048) at = (at / 2048 + 1) * 2048;
    if (at + r.size() > bytes.size()) return;
    std::memcpy(bytes.data() + at, r.data(), r.size());
    at += r.size();
  }
}

std::vector<u8> ReadAllUserData(CImageFile& image) {
  u64 size = 0;
  image.GetSize(&size);
  std::vector<u8> data(static_cast<size_t>(size));
  image.Seek(0, 0);
  u64 got = 0;
  image.Read(data.data(), size, &got);
  data.resize(static_cast<size_t>(got));
  return data;
}

}  // namespace isotest
