// The pictures, one draw function per picture (frame = frame index of a
// strip, 0 for a single picture). Used by the skin generator.
#pragma once
#include "runtime/types.h"
#include "skin_pen.h"

void DrawAppIconSmall(CPen& pen, i32 frame);  // 16 x 16
void DrawAppIconLarge(CPen& pen, i32 frame);  // 32 x 32
void DrawMenuIcon(CPen& pen, i32 frame);
void DrawMessageIcon(CPen& pen, i32 frame);
void DrawNotice(CPen& pen, i32 frame);
void DrawHostBackground(CPen& pen, i32 frame);
void DrawStartIcon(CPen& pen, i32 frame);
void DrawJobButton(CPen& pen, i32 frame);
void DrawJobStatus(CPen& pen, i32 frame);
void DrawWatermark(CPen& pen, i32 frame);
void DrawPulse(CPen& pen, i32 frame);
void DrawBrowseIcon(CPen& pen, i32 frame);
void DrawAudioTile(CPen& pen, i32 frame);
