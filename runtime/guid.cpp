#include <cstring>

#include "runtime/file.h"

bool IsEqualGuid(const void* a, const void* b) { return std::memcmp(a, b, sizeof(Guid)) == 0; }
