// The rows of the disc information page: the label/value rows of the medium
// and the track block with a badge per session, a row per track and a
// pregap row before a track that does not start where the previous one of
// its session ended. Portable.
#pragma once
#include "app/pages/disc_info.h"
#include "render/canvas.h"
#include "render/text/font.h"

constexpr u32 kSessionBadgeColour = 0xFF5858C0u;

// Writes the rows from `top` down between left and right (the rows view's
// content coordinates) and returns the y below the last one; with a null
// canvas it only measures. Nothing without a drive name.
double WriteDiscInfoRows(CCanvas* canvas, CFont* rowFont, double headingSize, const DiscInfo& info, double left,
                         double right, double top);

// The height the rows take (0 without a drive name).
i32 DiscInfoRowsHeight(CFont* rowFont, double headingSize, const DiscInfo& info);
