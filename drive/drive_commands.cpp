// The MMC command builders of CDrive: build the block, send it.
#include "drive/drive.h"
#include "drive/mmc/mmc_commands.h"

CDrive& CDrive::TestUnitReady() { return Send(BuildTestUnitReady(), nullptr); }
CDrive& CDrive::RequestSense(void* buffer252) { return Send(BuildRequestSense(), buffer252); }
CDrive& CDrive::FormatUnit(const void* parameterList) {
  return Send(BuildFormatUnit(kFormatParameterListBytes), const_cast<void*>(parameterList));
}
CDrive& CDrive::Inquiry(bool evpd, u8 pageCode, void* buffer, u32 length) {
  return Send(BuildInquiry(evpd, pageCode, length), buffer);
}
CDrive& CDrive::StartStopUnit(u8 loEjStart, u8 powerCondition, bool immediate) {
  return Send(BuildStartStopUnit(loEjStart, powerCondition, immediate), nullptr);
}
CDrive& CDrive::PreventAllowMediumRemoval(bool prevent) {
  return Send(BuildPreventAllowMediumRemoval(prevent), nullptr);
}
CDrive& CDrive::ReadCapacity(void* buffer8) { return Send(BuildReadCapacity(), buffer8); }
CDrive& CDrive::Read(u32 lba, u16 blocks, void* buffer, bool fua) {
  return Send(BuildRead10(lba, blocks, fua), buffer);
}
CDrive& CDrive::Write(u32 lba, u16 blocks, const void* buffer, u32 blockSize, bool fua) {
  return Send(BuildWrite10(lba, blocks, blockSize, fua), const_cast<void*>(buffer));
}
CDrive& CDrive::Seek(u32 lba) { return Send(BuildSeek10(lba), nullptr); }
CDrive& CDrive::SynchronizeCache(bool immediate, u32 lba, u16 blocks) {
  return Send(BuildSynchronizeCache(immediate, lba, blocks), nullptr);
}
CDrive& CDrive::ReadTocPmaAtip(bool msf, u8 format, u8 trackOrSession, void* buffer, u16 length) {
  return Send(BuildReadTocPmaAtip(msf, format, trackOrSession, length), buffer);
}
CDrive& CDrive::GetConfiguration(u8 rt, u16 startingFeature, void* buffer, u16 length) {
  return Send(BuildGetConfiguration(rt, startingFeature, length), buffer);
}
CDrive& CDrive::ReadDiscInformation(u8 dataType, void* buffer, u16 length) {
  return Send(BuildReadDiscInformation(dataType, length), buffer);
}
CDrive& CDrive::ReadTrackInformation(void* buffer40, u32 addressOrNumber, u8 addressType) {
  return Send(BuildReadTrackInformation(addressType, addressOrNumber), buffer40);
}
CDrive& CDrive::ReserveTrack(bool arsv, u32 value) { return Send(BuildReserveTrack(arsv, value), nullptr); }
CDrive& CDrive::SendOpcInformation(const void* descriptors, u16 length) {
  if (!descriptors) length = 0;
  return Send(BuildSendOpcInformation(length), const_cast<void*>(descriptors));
}
CDrive& CDrive::ModeSelect(bool savePages, const void* buffer, u16 length) {
  return Send(BuildModeSelect10(savePages, length), const_cast<void*>(buffer));
}
CDrive& CDrive::ModeSense(u8 pageControl, u8 pageCode, u8 subpageCode, void* buffer, u16 length) {
  return Send(BuildModeSense10(pageControl, pageCode, subpageCode, length), buffer);
}
CDrive& CDrive::CloseTrackSession(bool immediate, u8 closeFunction, u16 trackNumber) {
  return Send(BuildCloseTrackSession(immediate, closeFunction, trackNumber), nullptr);
}
CDrive& CDrive::ReadBufferCapacity(bool block, void* buffer16) {
  return Send(BuildReadBufferCapacity(block), buffer16);
}
CDrive& CDrive::SendCueSheet(const void* sheet, u32 bytes) {
  return Send(BuildSendCueSheet(bytes), const_cast<void*>(sheet));
}
CDrive& CDrive::Blank(bool immediate, u8 blankingType, u32 addressOrTrack) {
  return Send(BuildBlank(immediate, blankingType, addressOrTrack), nullptr);
}
CDrive& CDrive::GetPerformance(u8 dataType, u32 startingLba, u16 maxDescriptors, u8 type, void* buffer,
                               u32 length) {
  return Send(BuildGetPerformance(dataType, startingLba, maxDescriptors, type, length), buffer);
}
CDrive& CDrive::SetStreaming(const void* descriptor28) {
  return Send(BuildSetStreaming(), const_cast<void*>(descriptor28));
}
CDrive& CDrive::SetCdSpeed(bool rotationControl, u16 readSpeed, u16 writeSpeed) {
  return Send(BuildSetCdSpeed(rotationControl, readSpeed, writeSpeed), nullptr);
}
CDrive& CDrive::ReadCd(u8 expectedSectorType, u32 lba, u32 blocks, void* buffer, bool dap) {
  return Send(BuildReadCd(expectedSectorType, lba, blocks, dap), buffer);
}

CDrive& ReadFormatCapacities(CDrive* drive, void* buffer144) {
  return drive->Send(BuildReadFormatCapacities(), buffer144);
}
