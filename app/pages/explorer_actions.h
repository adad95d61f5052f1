// What the explorer page asks of the windows around it: a message box, the
// folder browser, and the two steps that belong to other windows (the
// extraction of entries into a folder, choosing where a saved image goes
// and starting its saving page). The program's versions are the defaults
// or are installed by the page's opener; tests install their own. A step
// left null keeps its command disabled. Windows only.
#pragma once
#include "app/main_window/page_holder.h"
#include "jobs/project/project_tree.h"
#include "runtime/wide_string.h"
#include "ui/windows/dialogs/folder_browser.h"
#include "ui/windows/dialogs/message_box.h"

constexpr u32 kTextBrowseForFolder = 121;

// The folder browser titled by a UI string, started at initial; true with
// the chosen folder when it was accepted.
inline bool ChooseFolderWithBrowser(u32 titleId, const wchar16* initial, CWideString* chosen) {
  CFolderBrowser browser;
  if (browser.Show(titleId, initial && *initial ? initial : nullptr) != CFolderBrowser::kAccepted) return false;
  chosen->Assign(browser.GetPath());
  return true;
}

// The extraction window run over the entries; leftOut is the number of
// entries a damaged image's tree lacks (0 for a whole image).
bool ExtractWithWindow(void* context, const wchar16* imagePath, CFileNode* const* entries, u32 count,
                       const wchar16* folder, u32 leftOut);
// The browse dialog in "Image" "SaveImageDirectory", written back when
// accepted; true with the chosen path.
bool ChooseSavedImagePath(void* context, CWideString* path);

struct ExplorerActions {
  u32 (*messageBox)(const MessageText& text, const MessageText& title, u32 flags) = ShowMessageBox;
  bool (*chooseFolder)(u32 titleId, const wchar16* initial, CWideString* chosen) = ChooseFolderWithBrowser;
  // Extracts the entries (files, folders with their contents) of the image
  // into the folder with its progress window (a damaged image told first).
  bool (*extract)(void* context, const wchar16* imagePath, CFileNode* const* entries, u32 count,
                  const wchar16* folder, u32 leftOut) = ExtractWithWindow;
  // Asks where the image is to be saved; true with the path.
  bool (*chooseImagePath)(void* context, CWideString* path) = ChooseSavedImagePath;
  // Opens the saving page for the path with the project's page set aside
  // meanwhile; false when it did not start (the page is back).
  bool (*startSaving)(void* context, const wchar16* path, CPageHolder* project) = nullptr;
  void* context = nullptr;
};
