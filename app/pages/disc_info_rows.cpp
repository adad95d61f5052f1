#include "app/pages/disc_info_rows.h"

#include <cmath>

#include "app/pages/info_rows.h"
#include "runtime/ui_strings.h"

namespace {

const wchar16 kPregapLabel[] = u"Pregap:";
const wchar16 kLbaText[] = u", LBA: ";

void Row(InfoRowPen& pen, u32 labelId, const wchar16* value, i32 length) {
  const UiString* label = GetUiString(labelId);
  DrawInfoRow(pen, label->text, static_cast<i32>(label->length), value, length);
}
void Row(InfoRowPen& pen, u32 labelId, const CWideString& value) {
  Row(pen, labelId, value.c_str(), value.GetLength());
}
void Row(InfoRowPen& pen, u32 labelId, u64 number) {
  CWideString text;
  text.AppendUInt64(number);
  Row(pen, labelId, text);
}
void TextRow(InfoRowPen& pen, u32 labelId, u32 valueId) {
  const UiString* value = GetUiString(valueId);
  Row(pen, labelId, value->text, static_cast<i32>(value->length));
}
void AppendText(CWideString* s, u32 id) {
  const UiString* t = GetUiString(id);
  s->AppendChars(t->text, static_cast<i32>(t->length));
}

// "Type: Data, LBA: <address>, Size: <size>"
void LocationText(CWideString* s, bool data, u32 address, u32 size) {
  s->SetLength(0);
  AppendText(s, kTextType);
  s->AppendChar(u' ');
  AppendText(s, data ? kTextData : kTextAudio);
  s->Append(kLbaText);
  s->AppendUInt(address);
  s->Append(u", ");
  AppendText(s, kTextSize);
  s->AppendChar(u' ');
  s->AppendUInt(size);
}

void WriteTrackBlock(InfoRowPen& pen, const DiscInfo& info, double indent, double left, double right) {
  const u32 count = info.records.GetCount();
  if (count == 0) return;
  const UiString* heading = GetUiString(kTextTrackInformation);
  if (pen.canvas) pen.canvas->DrawText(indent, pen.y, heading->text, static_cast<i32>(heading->length));
  DrawHeadingRule(pen.canvas, left, right, pen.y);
  pen.y -= RowStep(pen.size, 1.5) + 4;

  u32 lastSession = 0, shown = 0;
  double rowX = indent;
  CWideString label, value;
  for (u32 i = 0; i < count; ++i) {
    const DiscTrackRecord& r = info.records[i];
    if (r.track == kLeadOutTrack) continue;
    if (r.session != lastSession && i + 1 != count) {
      lastSession = r.session;
      label.SetLength(0);
      AppendText(&label, kTextSession);
      label.AppendChar(u' ');
      label.AppendUInt(++shown);
      DrawBadge(pen, indent, pen.y, label.c_str(), label.GetLength(), kSessionBadgeColour);
      pen.y -= pen.size + 6;
      rowX = indent + pen.size;
    }
    pen.x = rowX;
    // A track that starts after the previous end has a pregap; one that
    // starts before it (a size the drive over-reported) has none.
    if (r.start > r.previousEnd) {
      LocationText(&value, r.data != 0, r.previousEnd, r.start - r.previousEnd);
      DrawInfoRow(pen, kPregapLabel, sizeof(kPregapLabel) / 2 - 1, value.c_str(), value.GetLength());
    }
    label.SetLength(0);
    AppendText(&label, kTextTrack);
    label.AppendChar(u' ');
    label.AppendUIntPadded(r.track, 2);
    label.AppendChar(u':');
    LocationText(&value, r.data != 0, r.start, r.size);
    DrawInfoRow(pen, label.c_str(), label.GetLength(), value.c_str(), value.GetLength());
  }
}

}  // namespace

double WriteDiscInfoRows(CCanvas* canvas, CFont* rowFont, double headingSize, const DiscInfo& info, double left,
                         double right, double top) {
  if (info.driveName.GetLength() == 0) return top;
  const double size = rowFont ? rowFont->size : 0.0;
  left += 8;
  right -= 8;
  InfoRowPen pen = {canvas, rowFont, size, left, top - size};
  Row(pen, kTextDiscName, info.driveName);
  Row(pen, kTextDiscProfile, info.profileName.text, static_cast<i32>(info.profileName.length));
  if (info.profile != 0) {
    if (info.statusText >= 0) TextRow(pen, kTextDiscStatus, static_cast<u32>(info.statusText));
    if (info.stateText >= 0) TextRow(pen, kTextLastSessionState, static_cast<u32>(info.stateText));
    TextRow(pen, kTextErasable, info.erasable ? kTextYes : kTextNo);
    if (info.sessions) Row(pen, kTextSessions, info.sessions);
    if (info.tracks) Row(pen, kTextTracks, info.tracks);
    // READ CAPACITY gives the last block's address: the size is one more.
    if (info.size)
      Row(pen, kTextSizeInSectors, u64(info.size) + 1);
    else if (info.availableSize)
      Row(pen, kTextAvailableSize, info.availableSize);
  }
  const double indent = left + size;
  pen.y -= headingSize;
  WriteTrackBlock(pen, info, indent, left, right);
  return pen.y;
}

i32 DiscInfoRowsHeight(CFont* rowFont, double headingSize, const DiscInfo& info) {
  const double bottom = WriteDiscInfoRows(nullptr, rowFont, headingSize, info, 0, 0, 0);
  return static_cast<i32>(std::ceil(-bottom));
}
