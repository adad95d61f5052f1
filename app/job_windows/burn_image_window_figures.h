// The image's figures as the burn-image window paints them under its
// "Information" heading: "Size:" and "Sectors:" on one line, "Label:" and
// "File system:" on the line under it (only for an image with a label).
// Each heading is in the heading font, its value after a blank of the value
// font. The left pairs start at x 30, the right ones at the middle plus 10.
// No pair runs into the next one or past the right edge: the size and the
// sector count are kept whole by moving the sectors right as far as the
// size needs (while they still fit whole themselves); whatever does not fit
// its room then ends with "...". Portable.
#pragma once
#include "runtime/types.h"
#include "runtime/wide_string.h"

class CCanvas;
class CFont;

struct BurnImageFigures {
  const CWideString* size;
  const CWideString* sectors;
  const CWideString* label;        // empty: no second line
  const CWideString* fileSystems;
};

// Paints the figures in a content `width` pixels wide, the first line's
// baseline at `baseline` and the second's 20 pixels under it.
void PaintBurnImageFigures(CCanvas& canvas, CFont* headingFont, CFont* valueFont, i32 width, double baseline,
                           const BurnImageFigures& figures);
