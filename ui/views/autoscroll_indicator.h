// The autoscroll indicator: a translucent disc at the anchor of a middle
// press, chevrons for the axes that can scroll (flag bits 0x800 and 0x1000)
// and a dot 15 pixels from the centre toward the pointer, in content
// coordinates (y up). Portable.
#pragma once
#include "ui/windows/frame/ui_types.h"

class CCanvas;

void DrawAutoScrollIndicator(CCanvas& canvas, Point anchor, Point pointer, u32 axes, u32 dotColour);
