// The command fields a drive reads are checked by the simulated recorder in
// every drive and job test; here only what it cannot see: transfer lengths
// worked out from counts, and counts too large for their fields.
#include <gtest/gtest.h>

#include "drive/mmc/mmc_commands.h"
#include "drive/scsi_pass_through.h"

TEST(MmcCommands, TransferLengthsAndFieldLimits) {
  struct Row {
    MmcCommand command;
    u32 transfer;
    bool valid;
  } rows[] = {
      {BuildInquiry(false, 0, 0x160), 0x160, true},  // the block holds the low byte only
      {BuildRead10(0, 16, true), 16 * 2048, true},
      {BuildWrite10(0, 0x102, 2352, false), 0x102 * 2352, true},
      {BuildReadCd(0, 0, 3, false), 3 * 2048, true},  // any type: 2048
      {BuildReadCd(1, 0, 2, true), 2 * 2352, true},
      {BuildReadCd(3, 0, 1, false), 2336, true},
      {BuildReadCd(5, 0, 1, false), 2324, true},
      {BuildReadCd(2, 0, 1, false), 2048, true},
      {BuildReadCd(1, 0, 0xFFFFFF, false), 0, false},  // bytes beyond 32 bits
      {BuildReadCd(0, 0, 0x1000001, false), 0, false},  // blocks beyond 24 bits
      {BuildSendCueSheet(0xFFFFFF), 0xFFFFFF, true},
      {BuildSendCueSheet(0x1000008), 0, false},
      {BuildSendOpcInformation(0), 0, true},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(r.transfer, r.command.transfer) << std::hex << int(r.command.cdb[0]);
    EXPECT_EQ(r.valid, r.command.valid) << std::hex << int(r.command.cdb[0]);
  }
  EXPECT_EQ(0x60, rows[0].command.cdb[4]);
  EXPECT_EQ(0x08, rows[1].command.cdb[1]);                       // FUA
  EXPECT_EQ(0x06, rows[4].command.cdb[1]);                       // CD-DA with DAP
  EXPECT_EQ(1, rows[12].command.cdb[1]);                         // DoOPC without a list
  EXPECT_EQ(kScsiDataOut, rows[2].command.direction);
  EXPECT_EQ(0x02, BuildStartStopUnit(2, 0, false).cdb[4]);       // eject
}
