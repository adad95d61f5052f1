#include "app/main_window/notice_texts.h"

#include "runtime/wide_string.h"

namespace {

const BilingualText kJobRunning = {
    u"A disc job is still running. Kelvane can be closed once it has finished.",
    u"Todavía hay un trabajo de disco en curso. Kelvane podrá cerrarse cuando haya terminado."};

}  // namespace

UiString NoticeTextOf(NoticeText text) {
  if (text >= 0) return *GetUiString(static_cast<u32>(text));
  const wchar16* picked = PickText(kJobRunning);
  return {picked, static_cast<u32>(GetStringLength(picked, 4096))};
}
