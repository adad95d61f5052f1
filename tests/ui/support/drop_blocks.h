// Builders of DROPFILES file lists as other programs hand them over: the
// header {offset of the names, point, non-client flag, wide flag}, the
// names each with its zero, then the closing empty name. Portable.
#pragma once
#include <string>
#include <vector>

#include "runtime/types.h"

namespace drop_blocks {

inline void Put32(std::string* b, size_t at, u32 v) {
  for (int i = 0; i < 4; ++i) (*b)[at + i] = static_cast<char>(v >> (8 * i));
}

inline std::string Header(u32 namesOffset, bool wide) {
  std::string b(20, '\0');
  Put32(&b, 0, namesOffset);
  Put32(&b, 16, wide ? 1 : 0);
  return b;
}

inline std::string WideList(const std::vector<std::u16string>& names, bool close = true) {
  std::string b = Header(20, true);
  for (const std::u16string& n : names)
    for (char16_t c : n + u'\0') b += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
  return close ? b + std::string(2, '\0') : b;
}

inline std::string AnsiList(const std::vector<std::string>& names) {
  std::string b = Header(20, false);
  for (const std::string& n : names) b += n + '\0';
  return b + '\0';
}

}  // namespace drop_blocks
