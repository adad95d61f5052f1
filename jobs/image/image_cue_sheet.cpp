#include "jobs/image/image_cue_sheet.h"

#include <cstring>

void BuildSingleTrackCueSheet(CueSheet* sheet, u32 blocks, bool mode2) {
  std::memset(sheet, 0, sizeof(*sheet));
  u8 data = mode2 ? 0x20 : 0x10;
  u8 generated = static_cast<u8>(data + 4);
  // The lead-in entry is written directly: 0x41, TNO 0, INDEX 0, MSF 0.
  u8* leadIn = sheet->entries[sheet->count++];
  leadIn[0] = 0x41;
  leadIn[3] = generated;
  AppendCueSheetEntry(sheet, 4, 1, 1, 0, data, -150);
  AppendCueSheetEntry(sheet, 4, 1, 1, 1, data, 0);
  AppendCueSheetLeadOut(sheet, 4, 1, generated, static_cast<i32>(blocks));
}

bool BuildImageCueSheet(const CImageFile& image, CueSheet* sheet, bool mode2) {
  std::memset(sheet, 0, sizeof(*sheet));
  u64 size = 0;
  if (!image.IsOpen() || Failed(image.GetSize(&size))) return false;
  u64 blocks = UserDataSectors(size);
  // The lead-out address must fit the MSF of a CD; larger "images" cannot
  // be written disc-at-once to one anyway.
  if (blocks > 0x7FFFFFFF) return false;
  BuildSingleTrackCueSheet(sheet, static_cast<u32>(blocks), mode2);
  return true;
}

void LogCueSheet(const CueSheet& sheet, CWideString* text) {
  text->AssignChars(u"", 0);
  text->Append(u"Cue Sheet\r\n");
  text->Append(u"\tCTL\tADR\tTno\tIdx\tDtf\tSCM\tMin\tSec\tFrm\tLBA\r\n");
  for (u32 i = 0; i < 114; ++i) text->AppendChar(u'=');
  text->Append(u"\r\n");
  u32 count = sheet.count < kCueSheetEntries ? sheet.count : kCueSheetEntries;
  for (u32 i = 0; i < count; ++i) {
    const u8* e = sheet.entries[i];
    const u8 fields[6] = {static_cast<u8>(e[0] >> 4), static_cast<u8>(e[0] & 15), e[1], e[2], e[3], e[4]};
    for (u8 f : fields) {
      text->AppendChar(u'\t');
      text->AppendHex(HexFormat{f, 2, 1});
    }
    for (u32 k = 5; k < 8; ++k) {
      text->AppendChar(u'\t');
      text->AppendUIntPadded(e[k], 2);
    }
    text->AppendChar(u'\t');
    i32 lba = (static_cast<i32>(e[5]) * 60 + e[6]) * 75 + e[7] - 150;
    text->AppendInt(lba);
    text->Append(u"\r\n");
  }
}
