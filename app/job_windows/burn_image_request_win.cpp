#include "app/job_windows/burn_image_request.h"
#include "jobs/image/image_cue_sheet.h"

bool AddImageCueSheet(BurnRequest* r) {
  CImageFile image;
  if (Failed(image.Open(r->imagePath.c_str(), true))) return false;
  CueSheet* sheet = r->cueSheets.AppendNew();
  if (!sheet) return false;
  if (!BuildImageCueSheet(image, sheet, (r->options & kOptionMode2Form1) != 0)) {
    r->cueSheets.RemoveAt(r->cueSheets.GetCount() - 1);
    return false;
  }
  return true;
}
