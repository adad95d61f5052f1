// What the explorer page and the extraction window tell the user about a
// disc image: an image that cannot be opened is an error with one OK
// button; an image whose volume had entries left out because it is damaged
// (data past its end, a broken record, the very same name twice in one
// folder) is told once, with how many entries the tree lacks, before the
// rest is shown or extracted. Windows only.
#pragma once
#include "jobs/image/iso9660_reader.h"
#include "runtime/wide_string.h"
#include "ui/windows/dialogs/message_box.h"

constexpr u32 kTextErrorOpeningImage = 119;  // "Error opening image"
constexpr u32 kTextImageNoticeTitle = 8;     // "Warning!"
constexpr u32 kImageErrorFlags = 0x40001;    // one OK button, the error icon
constexpr u32 kImageWarningFlags = 0x10001;  // one OK button, the warning icon

typedef u32 (*MessageBoxCall)(const MessageText& text, const MessageText& title, u32 flags);

// The entries left out of a tree (each one is damage); 0 when none was.
u32 DamagedEntriesOf(const CIso9660Reader& reader, u8 tree);
// The damaged-image text of the current language with the count.
void DamagedImageText(u32 leftOut, CWideString* out);
// The damaged-image notice; nothing for 0.
void TellDamagedImage(MessageBoxCall box, u32 leftOut);
