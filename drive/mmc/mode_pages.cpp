#include "drive/mmc/mode_pages.h"

#include <cstring>

#include "drive/mmc/mmc_replies.h"

namespace {

// Turns a MODE SENSE(10) reply holding the whole page `code`, with at least
// `needed` page bytes, into a MODE SELECT(10) list in place: the page moves
// up to byte 8 in the place of any block descriptors, the header announces
// none (and no long LBA), the mode data length is reserved, PS is cleared.
// Returns the page (at reply + 8) and the list's length, or null.
u8* PageForSelect(u8* reply, u32 valid, u8 code, u32 needed, u32* listLength) {
  u32 offset = 0, end = 0;
  if (!LocateModePage(reply, valid, &offset, &end)) return nullptr;
  u32 pageBytes = 2u + reply[offset + 1];
  if ((reply[offset] & 0x3F) != code || pageBytes < needed) return nullptr;
  // A page cut short would be sent back as a list the drive must refuse.
  if (offset + pageBytes > end) return nullptr;
  if (offset != kModeHeaderLength) std::memmove(reply + kModeHeaderLength, reply + offset, pageBytes);
  reply[0] = 0;
  reply[1] = 0;
  reply[4] = 0;
  reply[5] = 0;
  reply[6] = 0;
  reply[7] = 0;
  u8* page = reply + kModeHeaderLength;
  page[0] &= 0x7F;
  *listLength = kModeHeaderLength + pageBytes;
  return page;
}

}  // namespace

u32 PrepareWriteParametersList(u8* reply, u32 valid, const WriteParameterChoice& choice) {
  u32 length = 0;
  u8* page = PageForSelect(reply, valid, 0x05, 16, &length);
  if (!page) return 0;
  bool defaultLinkSizeValid = (page[2] & 0x20) != 0;
  if (choice.dvd) {
    u8 writeType = choice.incremental ? 0 : 2;
    page[2] = static_cast<u8>((page[2] & 0xF0) | writeType);
    page[2] |= 0x20;  // LS_V
    page[3] = static_cast<u8>((page[3] & 0xD0) | 0x20 | 5);  // FP, Track Mode 5
    page[4] = static_cast<u8>((page[4] & 0xF0) | 8);
    page[5] = 16;
    page[10] = 0;
    page[11] = 0;
    page[12] = 0;
    page[13] = 16;
  } else {
    u8 writeType = choice.incremental ? 1 : 2;
    page[2] = static_cast<u8>((page[2] & 0xF0) | writeType);
    u8 trackMode = choice.dataBlockType != 0 ? 4 : 0;
    page[3] = static_cast<u8>((page[3] & 0xF0) | trackMode);
    page[4] = static_cast<u8>((page[4] & 0xF0) | (choice.dataBlockType & 0x0F));
    if (!defaultLinkSizeValid) page[5] = 7;
    page[14] = 0;
    page[15] = 150;
  }
  page[2] = static_cast<u8>((page[2] & ~0x50) | (choice.testWrite ? 0x10 : 0) | (choice.bufe ? 0x40 : 0));
  page[8] = 0;  // session format
  page[3] = static_cast<u8>((page[3] & 0x3F) | (choice.noFurtherSession ? 0 : 0xC0));
  return length;
}

u32 PrepareCachingList(u8* reply, u32 valid, bool enable) {
  u32 length = 0;
  u8* page = PageForSelect(reply, valid, 0x08, 3, &length);
  if (!page) return 0;
  page[2] = static_cast<u8>((page[2] & ~0x05) | (enable ? 0x04 : 0));
  return length;
}

bool PrepareWriteParametersPage(u8* reply, u32 valid, const WriteParameterChoice& choice) {
  return PrepareWriteParametersList(reply, valid, choice) != 0;
}

bool PrepareCachingPage(u8* reply, u32 valid, bool enable) { return PrepareCachingList(reply, valid, enable) != 0; }
