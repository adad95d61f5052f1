#include "drive/mmc/cue_sheet.h"

namespace {

u8* NextEntry(CueSheet* sheet, u8 ctl, u8 adr, i32 lba) {
  if (!sheet || sheet->count >= kCueSheetEntries) return nullptr;
  u8* e = sheet->entries[sheet->count++];
  e[0] = static_cast<u8>((ctl << 4) | (adr & 0x0F));
  LbaToMsf(lba, e + 5, e + 6, e + 7);
  return e;
}

}  // namespace

void LbaToMsf(i32 lba, u8* minute, u8* second, u8* frame) {
  u32 f = static_cast<u32>(lba) + 150u;
  *minute = static_cast<u8>(f / 4500);
  *second = static_cast<u8>((f / 75) % 60);
  *frame = static_cast<u8>(f % 75);
}

u8* AppendCueSheetEntry(CueSheet* sheet, u8 ctl, u8 adr, u8 tno, u8 index, u8 dataForm, i32 lba) {
  u8* e = NextEntry(sheet, ctl, adr, lba);
  if (e) {
    e[1] = tno;
    e[2] = index;
    e[3] = dataForm;
  }
  return e;
}

u8* AppendCueSheetLeadOut(CueSheet* sheet, u8 ctl, u8 adr, u8 dataForm, i32 lba) {
  u8* e = NextEntry(sheet, ctl, adr, lba);
  if (e) {
    e[1] = 0xAA;
    e[2] = 1;
    e[3] = dataForm;
    e[4] = 0;
  }
  return e;
}
