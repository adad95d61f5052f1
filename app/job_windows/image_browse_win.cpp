#include "app/job_windows/image_browse.h"

#include "app/job_windows/browse_dialog.h"
#include "runtime/settings.h"

namespace {

const wchar16 kImageKey[] = u"Image";
const wchar16 kFolderValue[] = u"ImageDirectory";
const wchar16 kViewValue[] = u"ImageDirView";

}  // namespace

void SeedImageBrowse(CBrowseDialog* dialog, CWideString* startFolder) {
  CSettingsKey settings;
  settings.ReadString(kImageKey, kFolderValue, startFolder);
  u32 view = 0;
  if (settings.ReadDword(kImageKey, kViewValue, &view) && view <= 3) dialog->viewMode = static_cast<i32>(view);
}

void SaveImageBrowse(const CBrowseDialog& dialog) {
  CSettingsKey settings;
  settings.WriteString(kImageKey, kFolderValue, dialog.GetCurrentFolder());
  if (dialog.viewMode >= 0) settings.WriteDword(kImageKey, kViewValue, static_cast<u32>(dialog.viewMode));
}

bool BrowseForImage(CWideString* chosen) {
  CBrowseDialog dialog(false);
  CWideString start;
  SeedImageBrowse(&dialog, &start);
  if (dialog.RunModal(start.IsEmpty() ? nullptr : start.c_str()) != CBrowseDialog::kAccepted) return false;
  SaveImageBrowse(dialog);
  dialog.GetResultPath(chosen);
  return true;
}
