// Browsing for a disc image file in the browse dialog, as the Open command
// and the burn-image window do: the dialog starts in "Image"
// "ImageDirectory" with the view mode "ImageDirView" (taken when it is 0 to
// 3) and, when accepted, both are written back. Windows only.
#pragma once
#include "runtime/wide_string.h"

class CBrowseDialog;

// Runs the dialog; true with the chosen path when it was accepted.
bool BrowseForImage(CWideString* chosen);
// The parts around the run, for openers with their own dialog object.
void SeedImageBrowse(CBrowseDialog* dialog, CWideString* startFolder);
void SaveImageBrowse(const CBrowseDialog& dialog);
