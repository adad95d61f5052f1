#include "drive/mode_pages.h"

#include "drive/mmc_replies.h"

namespace {

// The page bytes of a reply when it holds page `code` with at least
// `needed` page bytes; also prepares the header for MODE SELECT (the mode
// data length is reserved there) and clears PS.
u8* PageForSelect(u8* reply, u32 valid, u8 code, u32 needed) {
  if (!reply || valid < kModeHeaderLength + needed) return nullptr;
  u8* page = reply + kModeHeaderLength;
  if ((page[0] & 0x3F) != code || u32(page[1]) + 2 < needed) return nullptr;
  reply[0] = 0;
  reply[1] = 0;
  page[0] &= 0x7F;
  return page;
}

}  // namespace

bool PrepareWriteParametersPage(u8* reply, u32 valid, const WriteParameterChoice& choice) {
  u8* page = PageForSelect(reply, valid, 0x05, 16);
  if (!page) return false;
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
  return true;
}

bool PrepareCachingPage(u8* reply, u32 valid, bool enable) {
  u8* page = PageForSelect(reply, valid, 0x08, 3);
  if (!page) return false;
  page[2] = static_cast<u8>((page[2] & ~0x05) | (enable ? 0x04 : 0));
  return true;
}
