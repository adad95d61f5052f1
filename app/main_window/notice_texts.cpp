#include "app/main_window/notice_texts.h"

#include "runtime/wide_string.h"

namespace {

const BilingualText kJobRunning = {
    u"A disc job is still running. Kelvane can be closed once it has finished.",
    u"Todavía hay un trabajo de disco en curso. Kelvane podrá cerrarse cuando haya terminado."};
const BilingualText kExportRunning = {
    u"Files are still being exported from an image. Kelvane can be closed once the export has finished.",
    u"Todavía se están exportando archivos de una imagen. Kelvane podrá cerrarse cuando termine la exportación."};

}  // namespace

UiString NoticeTextOf(NoticeText text) {
  if (text >= 0) return *GetUiString(static_cast<u32>(text));
  const wchar16* picked = PickText(text == kNoticeExportRunning ? kExportRunning : kJobRunning);
  return {picked, static_cast<u32>(GetStringLength(picked, 4096))};
}
