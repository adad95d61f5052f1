// Objects drawn through the command stream by their own code (record 18).
// The stream keeps a copy of the object's state (SaveData) so one object can
// be recorded several times per frame at different places; Draw receives
// that copy and must not change the object. Portable.
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
  // Lower row bound of what will be drawn.
  virtual double Top() = 0;
  // Upper row bound (exclusive).
  virtual double Bottom() = 0;
  // Moves what will be drawn.
  virtual void Offset(double dx, double dy) = 0;
  // Bytes of state copied into the record.
  virtual u32 DataSize() = 0;
  virtual void SaveData(void* dst) = 0;
  virtual void LoadData(const void* src) = 0;

 protected:
  ~IDrawable() = default;
};
