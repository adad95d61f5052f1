#include "app/pages/explorer_actions.h"

#include "app/job_windows/browse_dialog.h"
#include "app/job_windows/extract_window.h"
#include "runtime/settings.h"

bool ExtractWithWindow(void*, const wchar16* imagePath, CFileNode* const* entries, u32 count,
                       const wchar16* folder, u32 leftOut) {
  CExtractWindow window;
  for (u32 i = 0; i < count; ++i) window.AddEntry(entries[i]);
  window.Run(imagePath, folder, leftOut);
  return true;
}

bool ChooseSavedImagePath(void*, CWideString* path) {
  CBrowseDialog dialog(false);
  CSettingsKey settings;
  CWideString start;
  settings.ReadString(u"Image", u"SaveImageDirectory", &start);
  if (dialog.RunModal(start.IsEmpty() ? nullptr : start.c_str()) != CBrowseDialog::kAccepted) return false;
  settings.WriteString(u"Image", u"SaveImageDirectory", dialog.GetCurrentFolder());
  dialog.GetResultPath(path);
  return !path->IsEmpty();
}
