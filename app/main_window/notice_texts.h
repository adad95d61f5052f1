// What the slide-in notice says: a UI string id (0 and up), or one of the
// notice's own texts (negative), which the string table does not hold.
// Either is looked up at paint time in the current language. Portable.
#pragma once
#include "runtime/ui_strings.h"

typedef i32 NoticeText;

constexpr u32 kNoticeTitleWarning = 8;          // "Warning!"
constexpr NoticeText kNoticePreviewArea = 159;  // the data-project area is a preview
// The main window stays open while a disc job runs, and while files are
// exported from an image.
constexpr NoticeText kNoticeJobRunning = -1;
constexpr NoticeText kNoticeExportRunning = -2;

UiString NoticeTextOf(NoticeText text);
