// Integer rectangle {left, top, right, bottom}, half-open (right and bottom
// excluded). Portable.
#pragma once
#include "runtime/types.h"

struct Rect {
  i32 left;
  i32 top;
  i32 right;
  i32 bottom;

  // Intersects in place. When left <= right and top <= bottom the result
  // stays and true is returned; otherwise all four become 0 and false is
  // returned (an empty but not inverted result counts as success).
  bool Intersect(const Rect& other) {
    if (other.left > left) left = other.left;
    if (other.top > top) top = other.top;
    if (other.right < right) right = other.right;
    if (other.bottom < bottom) bottom = other.bottom;
    if (left <= right && top <= bottom) return true;
    left = top = right = bottom = 0;
    return false;
  }
  bool IsEmpty() const { return right <= left || bottom <= top; }
  bool Contains(i32 x, i32 y) const { return left <= x && x < right && top <= y && y < bottom; }
};
