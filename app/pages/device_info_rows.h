// The body of the device information page: heading, identification rows,
// the read-only / read-write legend and the groups of feature chips, which
// wrap at the right edge. Portable.
#pragma once
#include "app/pages/device_info.h"
#include "render/canvas.h"
#include "render/text/font.h"

constexpr u32 kChipReadWriteColour = 0xFFA04040u;
constexpr u32 kChipReadOnlyColour = 0xFF40A040u;
constexpr u32 kChipFeatureColour = 0xFF5858C0u;

// Draws inside the rectangle {left, bottom, right, top} (y up).
void PaintDeviceInfo(CCanvas& canvas, CFont* headingFont, CFont* rowFont, const DeviceInfo& info, double left,
                     double bottom, double right, double top);
