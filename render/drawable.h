// Objects drawn through the command stream by their own code (record 18).
// The recorder copies the object's state for that record into the stream
// (CDisplayList::RecordDrawableData), so one object can be recorded several
// times per frame at different places without being changed; Draw receives
// that copy. Portable.
#pragma once
#include "runtime/types.h"

class CCanvas;

class IDrawable {
 public:
  // Draws for one band: rows [rowStart, rowEnd), columns [clipLeft,
  // clipRight). data is the copy saved into the stream; it is read-only
  // and may be unaligned.
  virtual void Draw(CCanvas* canvas, const void* data, i32 rowStart, i32 rowEnd, i32 clipLeft,
                    i32 clipRight) = 0;

 protected:
  ~IDrawable() = default;
};
