#include "app/job_windows/image_notices.h"

u32 DamagedEntriesOf(const CIso9660Reader& reader, u8 tree) { return reader.GetSkippedIn(tree); }

namespace {

const BilingualText kImageDamaged = {
    u"The image is damaged: some of its entries cannot be read and are left out.\nEntries left out: ",
    u"La imagen está dañada: algunas de sus entradas no se pueden leer y se omiten.\nEntradas omitidas: "};

}  // namespace

void DamagedImageText(u32 leftOut, CWideString* out) {
  out->Assign(PickText(kImageDamaged));
  out->AppendUInt(leftOut);
}

void TellDamagedImage(MessageBoxCall box, u32 leftOut) {
  if (!leftOut || !box) return;
  CWideString text;
  DamagedImageText(leftOut, &text);
  box(MessageText::Of(text.c_str()), MessageText::Id(kTextImageNoticeTitle), kImageWarningFlags);
}
