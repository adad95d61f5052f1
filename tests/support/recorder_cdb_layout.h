// Where each field of the command blocks the simulated recorder accepts
// lies, as MMC (and SPC for INQUIRY and REQUEST SENSE) lays them out: byte,
// width and bits. Every bit no field covers is reserved and must be zero,
// the control byte included (the drive supports neither NACA nor linked
// commands), and fields the drive does not implement (DPO, FL, the
// persistent prevent, group numbers) count as reserved too.
#pragma once
#include <string>
#include <vector>

#include "runtime/types.h"

// One field where it lies: `bytes` whole big-endian bytes from `byte`, or
// (bytes 1) the bits of `mask` in that byte; and its value.
struct CdbField {
  std::string name;
  u8 byte;
  u8 bytes;
  u8 mask;
  u32 value;
};

// The fields of a command block with their values, in layout order; false
// for an opcode without a layout or a block of the wrong length.
bool DecodeCdbFields(const u8* cdb, u8 length, std::vector<CdbField>* fields);

// True when every reserved bit (the control byte's included) is zero.
// False also for an opcode without a layout.
bool CdbReservedBitsClear(const u8* cdb, u8 length);

// The bits of byte `index` that some field of the block's layout covers
// (0xFF for the opcode byte, 0 past the block or without a layout).
u8 CdbFieldBits(const u8* cdb, u8 length, u8 index);
