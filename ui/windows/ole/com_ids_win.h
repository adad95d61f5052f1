// The interface identifiers the program's own COM objects answer in
// QueryInterface, written out once and checked against the system headers
// at compile time. The objects derive from the headers' interface
// declarations and mark every slot `override`, so the compiler also checks
// the slot order and signatures of their tables. Windows only.
#pragma once
#include <objidl.h>
#include <oleidl.h>
#include <shldisp.h>

#include "runtime/win.h"

namespace com_ids {

constexpr GUID kUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
constexpr GUID kDataObject = {0x0000010E, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
constexpr GUID kDropTarget = {0x00000122, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
constexpr GUID kEnumFormatEtc = {0x00000103, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
constexpr GUID kStream = {0x0000000C, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
constexpr GUID kSequentialStream = {0x0C733A30, 0x2A1C, 0x11CE, {0xAD, 0xE5, 0x00, 0xAA, 0x00, 0x44, 0x77, 0x3D}};
// The asynchronous-transfer interface of a data object.
constexpr GUID kAsyncOperation = {0x3D8B0590, 0xF691, 0x11D2, {0x8E, 0xA9, 0x00, 0x60, 0x97, 0xDF, 0x5B, 0xD4}};

constexpr bool Same(const GUID& a, const GUID& b) {
  if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3) return false;
  for (int i = 0; i < 8; ++i)
    if (a.Data4[i] != b.Data4[i]) return false;
  return true;
}

static_assert(Same(kUnknown, __uuidof(IUnknown)), "IUnknown");
static_assert(Same(kDataObject, __uuidof(IDataObject)), "IDataObject");
static_assert(Same(kDropTarget, __uuidof(IDropTarget)), "IDropTarget");
static_assert(Same(kEnumFormatEtc, __uuidof(IEnumFORMATETC)), "IEnumFORMATETC");
static_assert(Same(kStream, __uuidof(IStream)), "IStream");
static_assert(Same(kSequentialStream, __uuidof(ISequentialStream)), "ISequentialStream");
static_assert(Same(kAsyncOperation, __uuidof(IDataObjectAsyncCapability)), "IDataObjectAsyncCapability");

}  // namespace com_ids
