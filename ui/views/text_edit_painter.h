// The text edit's content painter: the rounded box, the visible part of the
// text with the selection highlighted (only while the edit has the focus),
// the caret when the blink shows it, and the border. The painter keeps
// nothing. Portable.
#pragma once
#include "runtime/types.h"

class CCanvas;
class CEditText;

void PaintTextEdit(CCanvas& canvas, const CEditText& edit, i32 width, i32 height, bool focused);
