// Fixed-width integer names, the UTF-16 character type and HRESULT codes
// shared by every subsystem. Portable: no system headers.
#pragma once
#include <cstddef>
#include <cstdint>

typedef std::uint8_t u8;
typedef std::uint16_t u16;
typedef std::uint32_t u32;
typedef std::uint64_t u64;
typedef std::int8_t i8;
typedef std::int16_t i16;
typedef std::int32_t i32;
typedef std::int64_t i64;

// All program text is UTF-16. On Windows wchar_t has the same layout; the
// Windows layer converts pointers with AsWide / AsW16 (runtime/win.h).
typedef char16_t wchar16;

// HRESULT values as 32-bit signed integers (the system's HRESULT on Windows).
typedef i32 HResult;
constexpr HResult kHrOk = 0;
constexpr HResult kHrFalse = 1;  // end of data
constexpr HResult kHrNotImpl = static_cast<HResult>(0x80004001u);
constexpr HResult kHrNoInterface = static_cast<HResult>(0x80004002u);
constexpr HResult kHrPointer = static_cast<HResult>(0x80004003u);
constexpr HResult kHrFail = static_cast<HResult>(0x80004005u);
constexpr HResult kHrInvalidArg = static_cast<HResult>(0x80070057u);
constexpr HResult kHrSeekError = static_cast<HResult>(0x80030001u);
constexpr HResult kHrInvalidPointer = static_cast<HResult>(0x80030009u);
constexpr HResult kHrTypeNotAccepted = static_cast<HResult>(0x8004022Au);
constexpr HResult kHrAlreadyConnected = static_cast<HResult>(0x80040204u);
constexpr HResult kHrNoSampleBuffer = static_cast<HResult>(0x8004022Eu);
constexpr HResult kHrFormatNotSupported = static_cast<HResult>(0x80040064u);

// A system error code as an HRESULT: 0 stays 0, else 0x80070000 | low 16 bits.
constexpr HResult HResultFromError(u32 code) {
  return code == 0 ? 0 : static_cast<HResult>((code & 0xFFFFu) | 0x80070000u);
}

inline bool Succeeded(HResult hr) { return hr >= 0; }
inline bool Failed(HResult hr) { return hr < 0; }
