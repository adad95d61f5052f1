// Byte-order helpers for disc structures and drive replies. Portable.
#pragma once
#include "runtime/types.h"

inline u32 ByteSwap32(u32 v) {
  return (v >> 24) | ((v >> 8) & 0xFF00u) | ((v << 8) & 0xFF0000u) | (v << 24);
}
inline u32 ReadBigEndian32(const void* field) {
  const u8* p = static_cast<const u8*>(field);
  return (u32(p[0]) << 24) | (u32(p[1]) << 16) | (u32(p[2]) << 8) | u32(p[3]);
}
inline u16 ReadBigEndian16(const void* field) {
  const u8* p = static_cast<const u8*>(field);
  return static_cast<u16>((p[0] << 8) | p[1]);
}
inline u32 ReadLittleEndian32(const void* field) {
  const u8* p = static_cast<const u8*>(field);
  return u32(p[0]) | (u32(p[1]) << 8) | (u32(p[2]) << 16) | (u32(p[3]) << 24);
}
inline u16 ReadLittleEndian16(const void* field) {
  const u8* p = static_cast<const u8*>(field);
  return static_cast<u16>(p[0] | (p[1] << 8));
}
inline void WriteBigEndian32(void* field, u32 v) {
  u8* p = static_cast<u8*>(field);
  p[0] = u8(v >> 24); p[1] = u8(v >> 16); p[2] = u8(v >> 8); p[3] = u8(v);
}
inline void WriteBigEndian16(void* field, u16 v) {
  u8* p = static_cast<u8*>(field);
  p[0] = u8(v >> 8); p[1] = u8(v);
}
