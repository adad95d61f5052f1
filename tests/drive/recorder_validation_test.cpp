// The simulated recorder refuses requests a real drive or the system would
// refuse, and records each as a violation.
#include <gtest/gtest.h>

#include <cstring>

#include "drive/scsi_pass_through.h"
#include "support/recorder_client.h"
#include "support/simulated_device_io.h"
#include "support/virtual_clock.h"

namespace {

class RecorderValidation : public ::testing::Test {
 protected:
  RecorderValidation() : installed_(clock_), client_(recorder_) {
    MediumOptions options;
    options.preset = MediumPreset::kDvdR;
    recorder_.InsertMedium(options);
    recorder_.MakeReady();
    client_.TestUnitReady();  // takes the unit attention
  }
  CVirtualClock clock_;
  CInstalledClock installed_;
  CSimulatedRecorder recorder_;
  CRecorderClient client_;
};

TEST_F(RecorderValidation, CommandBlockLengthMustMatchTheOpcodeGroup) {
  std::vector<u8> buffer(8);
  // READ CAPACITY is a 10-byte command; sent as 12 bytes it is refused.
  RecorderReply r = client_.Raw({0x25, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 1, buffer.data(), 8);
  EXPECT_FALSE(r.outcome.transportOk);
  EXPECT_EQ(87u, r.outcome.transportError);
  ASSERT_EQ(1u, recorder_.Violations().size());
  // TEST UNIT READY as 10 bytes.
  r = client_.Raw({0x00, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 1, nullptr, 0);
  EXPECT_FALSE(r.outcome.transportOk);
  EXPECT_EQ(2u, recorder_.Violations().size());
  // The right lengths pass.
  r = client_.Raw({0x25, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 1, buffer.data(), 8);
  EXPECT_TRUE(r.Good());
  EXPECT_EQ(2u, recorder_.Violations().size());
}

TEST_F(RecorderValidation, DirectionAndTransferLengthFollowTheCommand) {
  std::vector<u8> buffer(200);
  // Data-in command sent as data out.
  EXPECT_FALSE(client_.Raw({0x51, 0, 0, 0, 0, 0, 0, 0, 34, 0}, 0, buffer.data(), 34).outcome.transportOk);
  // Allocation length above the transfer length: the drive would overrun the buffer.
  EXPECT_FALSE(client_.Raw({0x51, 0, 0, 0, 0, 0, 0, 0, 200, 0}, 1, buffer.data(), 34).outcome.transportOk);
  // A transfer on a command without data.
  EXPECT_FALSE(client_.Raw({0x00, 0, 0, 0, 0, 0}, 1, buffer.data(), 16).outcome.transportOk);
  // A transfer length without a buffer.
  EXPECT_FALSE(client_.Raw({0x51, 0, 0, 0, 0, 0, 0, 0, 34, 0}, 1, nullptr, 34).outcome.transportOk);
  // MODE SELECT whose parameter list length differs from the bytes sent.
  std::vector<u8> list(20, 0);
  EXPECT_FALSE(client_.Raw({0x55, 0x10, 0, 0, 0, 0, 0, 0, 24, 0}, 0, list.data(), 20).outcome.transportOk);
  EXPECT_EQ(5u, recorder_.Violations().size());
  // A transfer larger than the allocation is allowed (the drive sends less).
  RecorderReply r = client_.Raw({0x12, 0, 0, 0, 96, 0}, 1, buffer.data(), 200);
  EXPECT_TRUE(r.Good());
  EXPECT_EQ(96u, r.outcome.dataTransferred);
}

TEST_F(RecorderValidation, WriteTransferMustBeWholeBlocksOfTheMediumSize) {
  std::vector<u8> data(2 * 2352);
  RecorderReply r = client_.Out({0x2A, 0, 0, 0, 0, 0, 0, 0, 2, 0}, data);
  EXPECT_FALSE(r.outcome.transportOk);
  EXPECT_EQ(1u, recorder_.Violations().size());
  EXPECT_FALSE(recorder_.ReadStoredSector(0, &data));
}

TEST_F(RecorderValidation, UnknownOpcodeIsAnIllegalRequest) {
  RecorderReply r = client_.In({0xA8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
  EXPECT_EQ(2, r.outcome.status);
  EXPECT_EQ(5, r.Key());
  EXPECT_EQ(0x20, r.Asc());
  EXPECT_TRUE(recorder_.Violations().empty());
}

// Pass-through requests through the device seam.
class PassThroughValidation : public RecorderValidation {
 protected:
  PassThroughValidation() { io_.AddOpticalDrive(u'E', &recorder_); }

  void* Open(u32 access = kGenericRead | kGenericWrite) {
    return io_.CreateFile(u"\\\\.\\E:", access, kFileShareRead | kFileShareWrite, kOpenExisting, kFileAttributeNormal);
  }
  ScsiPassThroughRequest Inquiry() {
    ScsiPassThroughRequest request = {};
    request.header.length = sizeof(ScsiPassThroughDirect);
    request.header.cdbLength = 6;
    request.header.senseInfoLength = kScsiSenseLength;
    request.header.dataIn = kScsiDataIn;
    request.header.dataTransferLength = 96;
    request.header.timeOutValue = 120;
    request.header.dataBuffer = buffer_;
    request.header.senseInfoOffset = kScsiSenseOffset;
    request.header.cdb[0] = 0x12;
    request.header.cdb[4] = 96;
    return request;
  }
  bool Send(void* handle, ScsiPassThroughRequest& request, u32 outSize = sizeof(ScsiPassThroughRequest)) {
    u32 returned = 0;
    return io_.DeviceIoControl(handle, kIoctlScsiPassThroughDirect, &request, sizeof(ScsiPassThroughDirect),
                               &request, outSize, &returned);
  }

  CSimulatedDeviceIo io_;
  u8 buffer_[96] = {};
};

TEST_F(PassThroughValidation, WellFormedRequestReturnsData) {
  void* handle = Open();
  ASSERT_NE(InvalidDeviceHandle(), handle);
  ScsiPassThroughRequest request = Inquiry();
  ASSERT_TRUE(Send(handle, request));
  EXPECT_EQ(0, request.header.scsiStatus);
  EXPECT_EQ(96u, request.header.dataTransferLength);
  EXPECT_EQ(0x05, buffer_[0]);
  EXPECT_EQ(0, std::memcmp(buffer_ + 8, "KVSIM", 5));
  EXPECT_TRUE(io_.CloseHandle(handle));
}

TEST_F(PassThroughValidation, MalformedRequestsFailWithInvalidParameter) {
  void* handle = Open();
  struct Case {
    const char* what;
    void (*spoil)(ScsiPassThroughRequest&);
  } cases[] = {
      {"length", [](ScsiPassThroughRequest& r) { r.header.length = 40; }},
      {"cdb length", [](ScsiPassThroughRequest& r) { r.header.cdbLength = 0; }},
      {"direction", [](ScsiPassThroughRequest& r) { r.header.dataIn = 3; }},
      {"time-out", [](ScsiPassThroughRequest& r) { r.header.timeOutValue = 0; }},
      {"sense offset", [](ScsiPassThroughRequest& r) { r.header.senseInfoOffset = 8; }},
      {"sense past output", [](ScsiPassThroughRequest& r) { r.header.senseInfoOffset = sizeof(ScsiPassThroughRequest); }},
      {"buffer", [](ScsiPassThroughRequest& r) { r.header.dataBuffer = nullptr; }},
      {"cdb group", [](ScsiPassThroughRequest& r) { r.header.cdbLength = 10; }},
  };
  u32 n = 0;
  for (const Case& c : cases) {
    ScsiPassThroughRequest request = Inquiry();
    c.spoil(request);
    SetDeviceIoLastError(0);
    EXPECT_FALSE(Send(handle, request)) << c.what;
    EXPECT_EQ(87u, GetDeviceIoLastError()) << c.what;
    EXPECT_EQ(++n, recorder_.Violations().size()) << c.what;
  }
  ScsiPassThroughRequest request = Inquiry();
  EXPECT_FALSE(Send(handle, request, 40));  // output smaller than the header
  io_.CloseHandle(handle);
}

TEST_F(PassThroughValidation, HandleRules) {
  ScsiPassThroughRequest request = Inquiry();
  SetDeviceIoLastError(0);
  EXPECT_FALSE(Send(reinterpret_cast<void*>(0x1234), request));
  EXPECT_EQ(6u, GetDeviceIoLastError());
  void* readOnly = Open(kGenericRead);
  ASSERT_NE(InvalidDeviceHandle(), readOnly);
  EXPECT_FALSE(Send(readOnly, request));
  EXPECT_EQ(5u, GetDeviceIoLastError());
  u32 returned = 0;
  EXPECT_FALSE(io_.DeviceIoControl(readOnly, 0x2D1400, nullptr, 0, nullptr, 0, &returned));
  EXPECT_EQ(1u, GetDeviceIoLastError());
  EXPECT_TRUE(io_.CloseHandle(readOnly));
  EXPECT_FALSE(io_.CloseHandle(readOnly));
  EXPECT_EQ(6u, GetDeviceIoLastError());
}

TEST_F(PassThroughValidation, CheckConditionFillsTheSenseArea) {
  recorder_.RemoveMedium();
  void* handle = Open();
  ScsiPassThroughRequest request = {};
  request.header.length = sizeof(ScsiPassThroughDirect);
  request.header.cdbLength = 6;
  request.header.senseInfoLength = kScsiSenseLength;
  request.header.dataIn = kScsiDataIn;
  request.header.timeOutValue = 120;
  request.header.senseInfoOffset = kScsiSenseOffset;
  ASSERT_TRUE(Send(handle, request));  // TEST UNIT READY: unit attention first
  EXPECT_EQ(2, request.header.scsiStatus);
  EXPECT_EQ(6, request.sense[2] & 0x0F);
  ASSERT_TRUE(Send(handle, request));
  EXPECT_EQ(2, request.header.scsiStatus);
  EXPECT_EQ(0x70, request.sense[0]);
  EXPECT_EQ(2, request.sense[2] & 0x0F);
  EXPECT_EQ(0x3A, request.sense[12]);
  EXPECT_EQ(18, request.header.senseInfoLength);
  io_.CloseHandle(handle);
}

}  // namespace
