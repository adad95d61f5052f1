#include "app/main_window/notice_texts.h"

namespace {

const wchar16 kJobRunningEnglish[] =
    u"A disc job is still running. Kelvane can be closed once it has finished.";
const wchar16 kJobRunningSpanish[] =
    u"Todavía hay un trabajo de disco en curso. Kelvane podrá cerrarse cuando haya terminado.";

constexpr u32 Length(const wchar16* text) {
  u32 n = 0;
  while (text[n]) ++n;
  return n;
}

}  // namespace

UiString NoticeTextOf(NoticeText text) {
  if (text >= 0) return *GetUiString(static_cast<u32>(text));
  if (GetCurrentLanguage() == kLanguageSpanish) return {kJobRunningSpanish, Length(kJobRunningSpanish)};
  return {kJobRunningEnglish, Length(kJobRunningEnglish)};
}
