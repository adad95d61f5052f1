// Every field the reply readers take, at its exact bound: the reply cut to
// end with the field's last byte gives the field, one byte shorter does not
// (and, in the sanitizer build, is read from a block of exactly that size,
// so a read past it fails); the same with the reply's own length stating the
// shorter extent, and with it stating far more than the bytes returned.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "drive/mmc/mmc_replies.h"
#include "drive/mmc/mode_pages.h"
#include "../reply_builder.h"

namespace {

// Writes value big-endian into width bytes at `at`.
void WriteLength(std::vector<u8>& r, u32 at, u32 width, u32 value) {
  for (u32 i = 0; i < width; ++i) r[at + i] = static_cast<u8>(value >> (8 * (width - 1 - i)));
}

// One way a reply states how many of its bytes are valid: set(reply, n)
// makes it state n bytes; max is the most the field can state.
struct StatedLength {
  std::function<void(std::vector<u8>&, u32)> set;
  u32 max;
};

StatedLength BigEndian32Length() {
  return {[](std::vector<u8>& r, u32 n) { WriteLength(r, 0, 4, n - 4); }, 0xFFFFFFFFu};
}
StatedLength BigEndian16Length() {
  return {[](std::vector<u8>& r, u32 n) { WriteLength(r, 0, 2, n - 2); }, 0xFFFFu + 2};
}
// One length byte at `at` counting the bytes after `header`.
StatedLength ByteLength(u32 at, u32 header) {
  return {[at, header](std::vector<u8>& r, u32 n) { r[at] = static_cast<u8>(n - header); }, 255 + header};
}

struct BoundRow {
  std::string field;
  std::vector<u8> reply;
  u32 end;  // one past the field's last byte
  std::vector<StatedLength> lengths;
  // Whether the reader reports the field (with its value) from these bytes.
  std::function<bool(const u8*, u32)> reported;
};

// The reader over the first n bytes, copied into a block of exactly n bytes.
bool ReportedFrom(const BoundRow& row, const std::vector<u8>& reply, u32 n) {
  std::vector<u8> cut(reply.begin(), reply.begin() + n);
  return row.reported(cut.empty() ? nullptr : cut.data(), n);
}

std::vector<u8> ConfigurationReply() {
  ConfigurationBuilder c(0x1A);
  c.Profiles({0x1A, 0x1B, 0x09}, 0x1A);         // bytes 8-23
  c.Feature(0x0001, true, {0, 0, 0, 2, 1, 0, 0, 0});  // 24-35
  c.Feature(0x0108, true, {'K', 'V', '4', '1'});      // 36-43
  c.Feature(0x0035, true, {});                        // 44-47, no data
  return c.Finish();
}

// A MODE SENSE(10) reply with 8 bytes of block descriptors before the page.
std::vector<u8> ModeReplyWithDescriptors(const std::vector<u8>& page) {
  ReplyBuilder r;
  r.U16(u16(6 + 8 + page.size())).Zeros(4).U16(8).Zeros(8);
  for (u8 v : page) r.U8(v);
  return r.bytes;
}

constexpr u32 kPage = 16;  // where the page of those replies starts

// The page length byte stating n valid bytes of the reply.
StatedLength PageLength() {
  return {[](std::vector<u8>& r, u32 n) { r[kPage + 1] = static_cast<u8>(n - kPage - 2); }, kPage + 2 + 255};
}

std::vector<u8> CapabilitiesPage() {
  ReplyBuilder page = BlankCapabilitiesPage(3);
  for (auto f : {std::pair<u32, u16>{8, 7056}, {14, 5645}, {18, 8467}, {20, 1111}, {28, 4234}, {30, 3}, {34, 8467},
                 {38, 5645}, {42, 2822}})
    page.Put16(f.first, f.second);
  return page.bytes;
}

std::vector<u8> FixedSense() {
  std::vector<u8> s(18, 0);
  s[0] = 0x70;
  s[2] = 0x02;  // NOT READY
  s[7] = 10;
  s[12] = 0x04;
  s[13] = 0x04;
  s[15] = 0x80;  // SKSV: progress 0x4000 / 65536
  s[16] = 0x40;
  return s;
}

// Descriptor format: an information descriptor (bytes 8-19), then the
// sense-key specific one (20-27) with the progress.
std::vector<u8> DescriptorSense() {
  return {0x72, 0x02, 0x04, 0x07, 0, 0, 0, 20, 0x00, 0x0A, 0x80, 0, 0, 0, 0, 0, 0x12, 0x34, 0x56, 0x78,
          0x02, 0x06, 0, 0, 0x80, 0xC0, 0x00, 0};
}

double Progress(const u8* s, u32 n) {
  double fraction = -1;
  return GetSenseProgress(s, n, &fraction) ? fraction : -1;
}

std::vector<BoundRow> Rows() {
  std::vector<BoundRow> rows;
  const std::vector<u8> config = ConfigurationReply();
  const StatedLength config32 = BigEndian32Length();
  rows.push_back({"current profile", config, 8, {config32},
                  [](const u8* r, u32 n) { return ConfigurationCurrentProfile(r, n) == 0x1A; }});
  rows.push_back({"last listed profile", config, 24, {config32}, [](const u8* r, u32 n) {
                    std::vector<u16> listed;
                    ForEachListedProfile(r, n, [&](u16 p) { listed.push_back(p); });
                    return listed == std::vector<u16>{0x1A, 0x1B, 0x09};
                  }});
  rows.push_back({"core feature data", config, 36, {config32}, [](const u8* r, u32 n) {
                    const u8* d = FindFeature(r, n, kFeatureCore, true);
                    return d && d[7] == 2;
                  }});
  rows.push_back({"serial number", config, 44, {config32}, [](const u8* r, u32 n) {
                    ReplyView v;
                    return FindSerialNumber(r, n, &v) && std::string(reinterpret_cast<const char*>(v.bytes), v.size) == "KV41";
                  }});
  rows.push_back({"last feature, without data", config, 48, {config32},
                  [](const u8* r, u32 n) { return FindFeature(r, n, kFeatureStopLongOperation, false) != nullptr; }});

  ReplyBuilder disc;  // status 2, last session 3, 0x0102 sessions, last track 0x0103, background 2
  disc.U16(32).U8(0x0E).U8(1).U8(2).U8(1).U8(3).U8(0x22).U8(0).U8(1).U8(0).U8(1).Zeros(22);
  const StatedLength be16 = BigEndian16Length();
  rows.push_back({"disc status", disc.bytes, 8, {be16}, [](const u8* r, u32 n) {
                    DiscStatusBits s;
                    return ReadDiscStatus(r, n, &s) && s.discStatus == 2 && s.lastSessionState == 3 && s.backgroundFormat == 2;
                  }});
  rows.push_back({"session count", disc.bytes, 10, {be16}, [](const u8* r, u32 n) {
                    u32 v = 0;
                    return ReadSessionCount(r, n, &v) && v == 0x0102;
                  }});
  rows.push_back({"last track", disc.bytes, 12, {be16}, [](const u8* r, u32 n) {
                    u32 v = 0;
                    return ReadLastTrackNumber(r, n, &v) && v == 0x0103;
                  }});
  ReplyBuilder track;
  track.U16(46).Zeros(6).U32(1000).Zeros(4).U32(359000).Zeros(28);
  rows.push_back({"track start and free blocks", track.bytes, 20, {be16}, [](const u8* r, u32 n) {
                    u32 v = 0;
                    return ReadTrackEnd(r, n, &v) && v == 360000;
                  }});
  ReplyBuilder toc;
  toc.U16(2 + 3 * 8).U8(1).U8(3).Zeros(3 * 8);
  for (u32 k = 1; k <= 3; ++k)
    rows.push_back({"TOC descriptor " + std::to_string(k), toc.bytes, 4 + 8 * k, {be16},
                    [k](const u8* r, u32 n) { return CountTocDescriptors(r, n) >= k; }});
  ReplyBuilder atip;
  atip.U16(26).Zeros(10).U8(79).U8(59).U8(74).Zeros(13);
  rows.push_back({"ATIP lead-out", atip.bytes, 15, {be16}, [](const u8* r, u32 n) {
                    u32 v = 0;
                    return ReadAtipLeadOut(r, n, &v) && v == (79u * 60 + 59) * 75 + 74;
                  }});

  ReplyBuilder unformatted;
  unformatted.Zeros(3).U8(8).U32(12219392).U8(0x01).U8(0).U16(2048);
  const StatedLength list = ByteLength(3, 4);
  rows.push_back({"current capacity", unformatted.bytes, 12, {list},
                  [](const u8* r, u32 n) { return CapacityFromFormatCapacities(r, n, false) == 12219392; }});
  ReplyBuilder formats;
  formats.Zeros(3).U8(3 * 8).U32(2295104).U8(0x02).Zeros(3);
  formats.U32(2295104).U8(0x26 << 2).Zeros(3).U32(2200000).U8(0x00 << 2).Zeros(3);
  rows.push_back({"first formattable descriptor", formats.bytes, 20, {list}, [](const u8* r, u32 n) {
                    return CountFormattableDescriptors(r, n) >= 1 && FindFormatDescriptor(r, n, 0x26) != nullptr;
                  }});
  rows.push_back({"full format capacity", formats.bytes, 28, {list},
                  [](const u8* r, u32 n) { return CapacityFromFormatCapacities(r, n, true) == 2200000; }});

  const std::vector<u8> capabilities = ModeReplyWithDescriptors(CapabilitiesPage());
  const StatedLength page = PageLength();
  rows.push_back({"page code and length", capabilities, kPage + 2, {be16},
                  [](const u8* r, u32 n) { return LocateModePage(r, n, nullptr, nullptr); }});
  const struct {
    const char* name;
    u32 at;
    u16 value;
    u16 CapabilitiesSpeeds::*member;
  } speeds[] = {{"maximum read speed", 8, 7056, &CapabilitiesSpeeds::maxRead},
                {"current read speed", 14, 5645, &CapabilitiesSpeeds::currentRead},
                {"maximum write speed", 18, 8467, &CapabilitiesSpeeds::maxWrite},
                {"current write speed", 28, 4234, &CapabilitiesSpeeds::currentWrite}};
  for (const auto& s : speeds) {
    const u16 value = s.value;
    u16 CapabilitiesSpeeds::*member = s.member;
    rows.push_back({s.name, capabilities, kPage + s.at + 2, {be16, page},
                    [value, member](const u8* r, u32 n) { return ReadCapabilitiesSpeeds(r, n).*member == value; }});
  }
  const u32 written[] = {8467, 5645, 2822};
  for (u32 k = 1; k <= 3; ++k)
    rows.push_back({"write speed descriptor " + std::to_string(k), capabilities, kPage + 32 + 4 * k, {be16, page},
                    [k, written](const u8* r, u32 n) {
                      u32 out[4] = {};
                      return ReadCapabilitiesWriteSpeeds(r, n, out, 4) >= k && out[k - 1] == written[k - 1];
                    }});
  std::vector<u8> shortPage = {0x2A, 22, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x04, 0x50, 0, 0};
  // (Its page length picks the field, so only the reply's length is cut.)
  rows.push_back({"current write speed of a short page", ModeReplyWithDescriptors(shortPage), kPage + 22, {be16},
                  [](const u8* r, u32 n) { return ReadCapabilitiesSpeeds(r, n).currentWrite == 0x0450; }});
  std::vector<u8> writeParameters(2 + 0x32, 0);
  writeParameters[0] = 0x85;
  writeParameters[1] = 0x32;
  writeParameters[4] = 0x08;
  rows.push_back({"whole write parameters page", ModeReplyWithDescriptors(writeParameters), kPage + 2 + 0x32, {be16},
                  [](const u8* r, u32 n) {
                    std::vector<u8> copy(r, r + n);  // edited in place
                    return PrepareWriteParametersList(copy.data(), n, WriteParameterChoice{false, 8, true, false, false, false}) == 60;
                  }});
  std::vector<u8> caching(2 + 0x12, 0);
  caching[0] = 0x08;
  caching[1] = 0x12;
  rows.push_back({"whole caching page", ModeReplyWithDescriptors(caching), kPage + 2 + 0x12, {be16},
                  [](const u8* r, u32 n) {
                    std::vector<u8> copy(r, r + n);
                    return PrepareCachingList(copy.data(), n, true) == 28;
                  }});

  const std::vector<u8> fixed = FixedSense(), descriptor = DescriptorSense();
  const struct {
    const char* name;
    const std::vector<u8>* sense;
    u32 end;
    u8 SenseFields::*member;
    u8 value;
  } sense[] = {{"fixed sense key", &fixed, 3, &SenseFields::key, 2},
               {"fixed ASC", &fixed, 13, &SenseFields::asc, 0x04},
               {"fixed ASCQ", &fixed, 14, &SenseFields::ascq, 0x04},
               {"descriptor sense key", &descriptor, 2, &SenseFields::key, 2},
               {"descriptor ASC", &descriptor, 3, &SenseFields::asc, 0x04},
               {"descriptor ASCQ", &descriptor, 4, &SenseFields::ascq, 0x07}};
  for (const auto& s : sense) {
    u8 SenseFields::*member = s.member;
    const u8 value = s.value;
    rows.push_back({s.name, *s.sense, s.end, {},
                    [member, value](const u8* r, u32 n) { return DecodeSense(r, n).*member == value; }});
  }
  const StatedLength additional = ByteLength(7, 8);
  rows.push_back({"fixed sense progress", fixed, 18, {additional},
                  [](const u8* r, u32 n) { return Progress(r, n) == 0.25; }});
  rows.push_back({"descriptor sense progress", descriptor, 28, {additional},
                  [](const u8* r, u32 n) { return Progress(r, n) == 0.75; }});

  ReplyBuilder performance;
  performance.U32(4 + 3 * 16).Zeros(4);
  for (u32 s : {11080u, 5540u, 2770u}) performance.Zeros(4).U32(2295104).U32(s).U32(s);
  const u32 performanceSpeeds[] = {11080, 5540, 2770};
  for (u32 k = 1; k <= 3; ++k)
    rows.push_back({"performance descriptor " + std::to_string(k), performance.bytes, 8 + 16 * k, {BigEndian32Length()},
                    [k, performanceSpeeds](const u8* r, u32 n) {
                      u32 out[4] = {};
                      return ReadPerformanceWriteSpeeds(r, n, out, 4) >= k && out[k - 1] == performanceSpeeds[k - 1];
                    }});
  return rows;
}

}  // namespace

TEST(ReplyBounds, EachFieldNeedsItsLastByte) {
  for (const BoundRow& row : Rows()) {
    SCOPED_TRACE(row.field);
    ASSERT_LE(row.end, row.reply.size());
    EXPECT_TRUE(ReportedFrom(row, row.reply, static_cast<u32>(row.reply.size())));
    EXPECT_TRUE(ReportedFrom(row, row.reply, row.end));
    EXPECT_FALSE(ReportedFrom(row, row.reply, row.end - 1));
    for (const StatedLength& length : row.lengths) {
      // Every byte returned, the reply's own length ending at or one byte
      // before the field's end.
      for (u32 stated : {row.end, row.end - 1}) {
        std::vector<u8> r = row.reply;
        length.set(r, stated);
        EXPECT_EQ(stated == row.end, ReportedFrom(row, r, static_cast<u32>(r.size()))) << "stated " << stated;
      }
      // A length far beyond the bytes returned.
      std::vector<u8> r = row.reply;
      length.set(r, length.max);
      EXPECT_TRUE(ReportedFrom(row, r, row.end)) << "stated " << length.max;
      EXPECT_FALSE(ReportedFrom(row, r, row.end - 1)) << "stated " << length.max;
    }
  }
}
