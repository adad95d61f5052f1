#include "app/pages/device_info_rows.h"

#include "app/pages/info_rows.h"
#include "render/text/text_layout.h"
#include "runtime/ui_strings.h"
#include "ui/views/control_painters.h"

namespace {

const wchar16 kKilobytes[] = u" KB";

u32 ChipColour(u8 mode) {
  return mode == kChipReadOnly ? kChipReadOnlyColour : mode == kChipReadWrite ? kChipReadWriteColour : kChipFeatureColour;
}

i32 LengthOf(const wchar16* text) {
  i32 n = 0;
  while (text[n]) ++n;
  return n;
}

void Row(InfoRowPen& pen, u32 labelId, const CWideString& value) {
  const UiString* label = GetUiString(labelId);
  DrawInfoRow(pen, label->text, static_cast<i32>(label->length), value.c_str(), value.GetLength());
}

// "Read only" and "Read/Write" with their swatches, right-aligned.
void DrawLegend(InfoRowPen& pen, double right) {
  const u32 ids[2] = {kTextReadWrite, kTextReadOnly};
  const u32 colours[2] = {kChipReadWriteColour, kChipReadOnlyColour};
  double end = right - pen.size;
  for (int i = 0; i < 2; ++i) {
    const UiString* t = GetUiString(ids[i]);
    const double x = end - TextWidth(pen, t->text, static_cast<i32>(t->length));
    const u32 before = pen.canvas->textColour;
    pen.canvas->textColour = kInfoValueColour;
    pen.canvas->DrawText(x, pen.y, t->text, static_cast<i32>(t->length));
    pen.canvas->textColour = before;
    pen.canvas->FillRoundRect(x - 4 - pen.size, pen.y, x - 4, pen.y + pen.size, 2, colours[i]);
    end = x - 4 - pen.size - pen.size;
  }
}

void DrawGroup(InfoRowPen& pen, const FeatureGroup& group, double chipStart, double left, double right) {
  const UiString* heading = GetUiString(group.headingId);
  pen.canvas->DrawText(chipStart, pen.y, heading->text, static_cast<i32>(heading->length));
  DrawHeadingRule(pen.canvas, left, right, pen.y);
  pen.y -= RowStep(pen.size, 1.5) + 4;
  double x = chipStart;
  for (u32 i = 0; i < group.chipCount; ++i) {
    const FeatureChip& chip = group.chips[i];
    const i32 n = LengthOf(chip.text);
    if (x + TextWidth(pen, chip.text, n) > right) {
      x = chipStart;
      pen.y -= pen.size + 6;
    }
    x += DrawBadge(pen, x, pen.y, chip.text, n, ChipColour(chip.mode)) + 6;
  }
  pen.y -= RowStep(pen.size, 2.0);
}

}  // namespace

void PaintDeviceInfo(CCanvas& canvas, CFont* headingFont, CFont* rowFont, const DeviceInfo& info, double left,
                     double bottom, double right, double top) {
  const double headingSize = headingFont ? headingFont->size : 0.0;
  {
    CCanvasFontScope font(canvas, headingFont);
    const UiString* heading = GetUiString(kTextDeviceInformation);
    DrawTextInBox(&canvas, left, bottom, right, top, heading->text, static_cast<i32>(heading->length), kTextCentre);
  }
  CCanvasFontScope font(canvas, rowFont);
  InfoRowPen pen = {&canvas, rowFont, rowFont ? static_cast<double>(rowFont->size) : 0.0, left,
                    top - 3 * RowStep(headingSize, 1.5)};
  Row(pen, kTextVendorId, info.vendor);
  Row(pen, kTextProductId, info.product);
  Row(pen, kTextFirmware, info.firmware);
  Row(pen, kTextVendorInfo, info.vendorInfo);
  if (info.bufferKb) {
    CWideString buffer;
    buffer.AppendUInt(info.bufferKb);
    buffer.Append(kKilobytes);
    Row(pen, kTextBufferCapacity, buffer);
  }
  Row(pen, kTextSerialNumber, info.serial);

  pen.y -= headingSize;
  const double chipStart = left + pen.size;
  DrawLegend(pen, right);
  FeatureGroup groups[kFeatureGroupCount];
  BuildFeatureGroups(info.features, groups);
  for (const FeatureGroup& group : groups)
    if (group.shown) DrawGroup(pen, group, chipStart, left, right);
}
