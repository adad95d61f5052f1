// CDrive: one optical drive. It owns the open volume handle, sends one MMC
// command at a time through SCSI pass-through (via the device I/O seam) and
// keeps the outcome of the last command in the record: callers send, then
// test LastCommandSucceeded. Portable except GetSerialNumber (drive_serial_win.cpp).
#pragma once
#include <atomic>
#include "drive/mmc/cue_sheet.h"
#include "drive/mmc/mmc_commands.h"
#include "runtime/threads.h"
#include "runtime/types.h"
#include "runtime/wide_string.h"

// stateFlags
constexpr u8 kStateVolumeLocked = 0x01;
constexpr u8 kStateBecomingReady = 0x02;
constexpr u8 kStateBackgroundFormatShift = 3;  // bits 3-4
constexpr u8 kStateDiscStatusShift = 5;        // bits 5-6
// featureFlags
constexpr u8 kFeatureRealTimeStreamingBit = 0x01;
constexpr u8 kFeatureRbcbBit = 0x02;
constexpr u8 kFeatureWspdBit = 0x04;
constexpr u8 kFeatureScsBit = 0x08;
constexpr u8 kFeatureSwBit = 0x10;
constexpr u8 kFeatureFormattableBit = 0x20;
constexpr u8 kFeatureStopLongOperationBit = 0x40;
constexpr u8 kFeaturePowerManagementBit = 0x80;
// mediaFlags
constexpr u8 kMediaDvdPlusRWritable = 0x01;
constexpr u8 kMediaBlank = 0x02;
constexpr u8 kMediaCd = 0x04;
constexpr u8 kMediaDvd = 0x08;
constexpr u8 kMediaBd = 0x10;
constexpr u8 kMediaHdDvd = 0x20;
constexpr u8 kMediaRecordable = 0x40;
constexpr u8 kMediaRewritable = 0x80;
// mediaFlags2 (low nibble; the high nibble holds drive profile-list bits)
constexpr u8 kMedia2Ram = 0x01;
constexpr u8 kMedia2DvdPlus = 0x02;
constexpr u8 kMedia2DvdPlusRw = 0x04;
constexpr u8 kMedia2DoubleLayer = 0x08;

// Speeds in kB/s of 1x.
constexpr u32 kSpeedUnitCd = 176;
constexpr u32 kSpeedUnitDvd = 1385;
constexpr u32 kSpeedUnitBd = 4495;

// How long a wait on a device answer may last without progress (becoming
// ready, a long write whose progress stands still), and at all.
constexpr u32 kDefaultReadyWaitMs = 600000;
constexpr u32 kOperationWaitLimitMs = 8u * 60u * 60u * 1000u;
// Failures other than NOT READY after which the write parameters are given up.
constexpr u32 kWriteParameterAttempts = 3;
// Sends of one command that the drive answered without running it (UNIT
// ATTENTION, NOT READY for a passing cause, a busy or failed request).
constexpr u32 kCommandAttempts = 4;
// FORMAT UNIT parameter list: the 4-byte header and one 8-byte descriptor.
constexpr u32 kFormatParameterListBytes = 12;

class CDrive {
 public:
  CDrive();
  ~CDrive();
  CDrive(const CDrive&) = delete;
  CDrive& operator=(const CDrive&) = delete;

  // ---- Transport ----
  // Open and close write `handle` under `handleLock` when it is set (the
  // drive manager's lock, under which its poller reads the handle).
  bool OpenDevice(const wchar16* path);
  bool Close();
  // With a path stores it; with null reopens the stored path. Probes.
  bool Open(const wchar16* path);
  bool IsOpen() const { return handle != nullptr; }

  bool LockVolumeIoctl();
  bool UnlockVolumeIoctl(bool dismount);
  bool LockVolume();
  bool UnlockVolume(bool dismount);
  bool Reopen();

  CDrive& SendCommandIn(const u8* cdb, u8 cdbLength, void* buffer, u32 transferLength);
  CDrive& SendCommandOut(const u8* cdb, u8 cdbLength, const void* buffer, u32 transferLength);
  // Sends a built command with its own direction and transfer length.
  CDrive& Send(const MmcCommand& command, void* buffer);
  bool StoreCommandResult(u8 status, const u8* cdb, const u8* senseBytes);
  bool LastCommandSucceeded() const { return scsiStatus == 0 && errorCode == 0; }
  // NOT READY for a passing cause: becoming ready, or a format, immediate
  // operation or long write in progress.
  bool IsBecomingReady() const;
  // NOT READY because an operation runs (format 04/04, operation 04/07,
  // long write 04/08): the drive makes progress.
  bool IsOperationInProgress() const;
  // An answer that says nothing about the command or the medium: UNIT
  // ATTENTION, or a BUSY status.
  bool IsPassingAnswer() const;
  // Sends TEST UNIT READY every 10 ms while the drive is not ready for a
  // passing cause, through passing answers and one failed request; ends on
  // anything else or at the ready-wait deadline. A drive whose deadline ran
  // out without it becoming ready is not waited for again until it answers
  // otherwise. True when the last command succeeded.
  bool WaitUntilReady();
  // TEST UNIT READY, then WaitUntilReady: an immediate command has
  // answered before its work is done, so the drive is asked anew.
  bool WaitReady();
  // Sends a command (send(), which uses this record) until the drive has
  // run it: again after a UNIT ATTENTION or a NOT READY for a passing cause
  // (once it is ready), and, for a `query` that changes nothing, also after
  // a busy status or a failed request. At most kCommandAttempts sends. True
  // when the last answer was success.
  template <class Command>
  bool Retry(bool query, Command send);
  // PREVENT ALLOW MEDIUM REMOVAL (allow), sent again whatever the answer
  // until it succeeds (kCommandAttempts in all). False when removal may
  // still be prevented.
  bool AllowRemoval();

  // ---- MMC commands (each returns the record) ----
  CDrive& TestUnitReady();
  CDrive& RequestSense(void* buffer252);
  // The parameter list: header and one descriptor (kFormatParameterListBytes).
  CDrive& FormatUnit(const void* parameterList);
  CDrive& Inquiry(bool evpd, u8 pageCode, void* buffer, u32 length);
  CDrive& StartStopUnit(u8 loEjStart, u8 powerCondition, bool immediate);
  CDrive& PreventAllowMediumRemoval(bool prevent);
  CDrive& ReadCapacity(void* buffer8);
  CDrive& Read(u32 lba, u16 blocks, void* buffer, bool fua);
  CDrive& Write(u32 lba, u16 blocks, const void* buffer, u32 blockSize, bool fua);
  CDrive& Seek(u32 lba);
  CDrive& SynchronizeCache(bool immediate, u32 lba, u16 blocks);
  CDrive& ReadTocPmaAtip(bool msf, u8 format, u8 trackOrSession, void* buffer, u16 length);
  CDrive& GetConfiguration(u8 rt, u16 startingFeature, void* buffer, u16 length);
  CDrive& ReadDiscInformation(u8 dataType, void* buffer, u16 length);
  CDrive& ReadTrackInformation(void* buffer40, u32 addressOrNumber, u8 addressType);
  CDrive& ReserveTrack(bool arsv, u32 value);
  CDrive& SendOpcInformation(const void* descriptors, u16 length);
  CDrive& ModeSelect(bool savePages, const void* buffer, u16 length);
  CDrive& ModeSense(u8 pageControl, u8 pageCode, u8 subpageCode, void* buffer, u16 length);
  CDrive& CloseTrackSession(bool immediate, u8 closeFunction, u16 trackNumber);
  CDrive& ReadBufferCapacity(bool block, void* buffer16);
  CDrive& SendCueSheet(const void* sheet, u32 bytes);
  CDrive& Blank(bool immediate, u8 blankingType, u32 addressOrTrack);
  CDrive& GetPerformance(u8 dataType, u32 startingLba, u16 maxDescriptors, u8 type, void* buffer,
                         u32 length);
  CDrive& SetStreaming(const void* descriptor28);
  CDrive& SetCdSpeed(bool rotationControl, u16 readSpeed, u16 writeSpeed);
  CDrive& ReadCd(u8 expectedSectorType, u32 lba, u32 blocks, void* buffer, bool dap);

  // ---- Probe ----
  bool ProbeMedia();
  // ProbeMedia through passing answers (as Retry does for a query).
  bool ProbeMediaRetrying();
  bool GetSerialNumber(CWideString* out);
  bool IsRewritableMedia() const;
  bool IsWritableMedia() const;
  bool IsRecorder() const;
  u8 DiscStatus() const { return (stateFlags >> kStateDiscStatusShift) & 3; }
  u8 LastSessionState() const { return sessionState & 3; }
  u8 BackgroundFormatStatus() const { return (stateFlags >> kStateBackgroundFormatShift) & 3; }

  // ---- Speeds, cache, write parameters, capacity ----
  u32 GetSpeedUnit() const;
  u32 GetCurrentReadSpeed();
  u32 GetMaxReadSpeed();
  u32 GetCurrentWriteSpeed();
  bool SetReadSpeed(u32 speed, u32* newSpeed = nullptr);
  bool SetMaxReadSpeed(u32* newSpeed = nullptr);
  bool SetWriteSpeed(u32 speed, u32* newSpeed = nullptr);
  bool SetMaxWriteSpeed(u32* newSpeed = nullptr);
  static void SetStreamingSizes(u8* descriptor28, u32 readSize, u32 writeSize);
  u32 GetWriteSpeeds(u32* out, u32 max);
  bool SetWriteCache(bool enable);
  // False when the drive keeps refusing the page (after a few failures that
  // are not NOT READY, or at the ready-wait deadline). A CD written in
  // Mode 2 (data block types 9-13) gets the CD-ROM XA session format.
  bool SetWriteParameters(u8 dataBlockType, bool noFurtherSession, bool bufe, bool incremental,
                          bool testWrite);
  u32 GetDiscCapacity();

  // ---- Record (fields in their documented order) ----
  void* handle;
  u8 scsiStatus;
  u8 senseFormat;
  u8 senseKey;
  u8 asc;
  u8 ascq;
  u8 lastCdb[16];
  i32 errorCode;
  u8 sense[252];
  u32 timeoutSeconds;
  u16 currentProfile;
  u32 physicalInterface;
  CWideString devicePath;
  u8 stateFlags;
  u8 sessionState;
  u8 featureFlags;
  u8 mediaFlags;
  u8 mediaFlags2;
  u8 profileBits[3];
  // Bytes the last request moved (as the system reported, at most asked).
  u32 transferred;
  // Deadline of every wait on a device answer.
  u32 readyWaitMs;
  // A wait ran out while the drive stayed NOT READY (cleared when TEST UNIT
  // READY answers otherwise, and when the drive is opened again).
  bool readyWaitExpired;
  // See OpenDevice; null for a record of its own.
  CLock* handleLock;
  // Where WaitUntilReady publishes the percentage of a long operation that
  // the drive reports (-1 when it reports none), so that a job's page can
  // show it without sending a command itself. Null: not published.
  std::atomic<i32>* progressSink;

 private:
  bool ReadCapabilities(u8* reply104, u32* valid);
  bool SetSpeeds(bool readIsMax, u32 readSpeed, bool writeIsMax, u32 writeSpeed);
  bool RetryModePage(bool select, u8* reply, u32* length);
  bool ProfileListed(u32 byteIndex, u8 mask) const;
  void SetHandle(void* value);
};

template <class Command>
bool CDrive::Retry(bool query, Command send) {
  for (u32 attempt = 1;; ++attempt) {
    send();
    if (LastCommandSucceeded()) return true;
    bool again = IsPassingAnswer() || IsBecomingReady() || (query && errorCode != 0);
    if (!again || attempt >= kCommandAttempts) return false;
    if (!WaitReady()) return false;
  }
}

// Unlocks (without dismount) and closes a held drive that is open; the
// pointer is left as it is.
void ReleaseDrive(CDrive** holder);

// READ FORMAT CAPACITIES into a 144-byte buffer.
CDrive& ReadFormatCapacities(CDrive* drive, void* buffer144);
