#include "jobs/job_log.h"

#include <cstring>

#include "drive/mmc/sense_messages.h"

const wchar16 kJobLogFileName[] = u"log.log";

namespace {

void AppendTwoDigits(CWideString* text, u32 value) { text->AppendUIntPadded(value, 2); }

void AppendHexByte(CWideString* text, u8 value) { text->AppendHex(HexFormat{value, 2, 1}); }

const wchar16 kCrLf[] = u"\r\n";

}  // namespace

void CopyFailedCommand(const CDrive& drive, FailedCommand* out) {
  out->status = drive.scsiStatus;
  out->responseCode = drive.senseFormat;
  out->senseKey = drive.senseKey;
  out->asc = drive.asc;
  out->ascq = drive.ascq;
  std::memcpy(out->cdb, drive.lastCdb, sizeof(out->cdb));
  out->error = drive.errorCode;
  std::memcpy(out->sense, drive.sense, sizeof(out->sense));
  // A request the system refused brought no sense: what the record still
  // holds belongs to an earlier command.
  if (drive.errorCode != 0) {
    out->responseCode = 0;
    std::memset(out->sense, 0, sizeof(out->sense));
  }
}

void AppendLogLine(CWideString* log, const DateTime& when, const wchar16* text) {
  log->AppendChar(u'[');
  AppendTwoDigits(log, when.day);
  log->AppendChar(u'/');
  AppendTwoDigits(log, when.month);
  log->AppendChar(u'/');
  AppendTwoDigits(log, when.year);
  log->Append(u" - ");
  AppendTwoDigits(log, when.hour);
  log->AppendChar(u':');
  AppendTwoDigits(log, when.minute);
  log->AppendChar(u':');
  AppendTwoDigits(log, when.second);
  log->Append(u"] ");
  log->Append(text);
  log->Append(kCrLf);
}

void AppendStartBanner(CWideString* log, const wchar16* deviceName) {
  log->Append(u"************************ Start Job ************************");
  log->Append(kCrLf);
  log->Append(u"Destination Device: ");
  log->Append(deviceName);
  log->Append(kCrLf);
}

void AppendScsiErrorBlock(CWideString* log, const FailedCommand& c) {
  log->Append(u"********* SCSI Error ************");
  log->Append(kCrLf);
  log->Append(u"ScsiStatus: 0x");
  AppendHexByte(log, c.status);
  log->Append(kCrLf);
  log->Append(u"ResponseCode: 0x");
  AppendHexByte(log, c.responseCode);
  log->Append(kCrLf);
  log->Append(u"0x");
  AppendHexByte(log, c.senseKey);
  log->Append(u", 0x");
  AppendHexByte(log, c.asc);
  log->Append(u", 0x");
  AppendHexByte(log, c.ascq);
  log->Append(u" : ");
  log->Append(GetSenseMessage(c.senseKey, c.asc, c.ascq));
  log->Append(kCrLf);
  log->Append(u"Command: 0x");
  AppendHexByte(log, c.cdb[0]);
  log->Append(kCrLf);
  log->Append(u"Command Block: ");
  log->Append(kCrLf);
  for (u32 i = 1; i < 16; ++i) {
    log->Append(u"\t\t Byte ");
    log->AppendUInt(i);
    log->Append(u" : 0x");
    AppendHexByte(log, c.cdb[i]);
    log->Append(kCrLf);
  }
  log->Append(u"*********************************");
  log->Append(kCrLf);
}

void AppendEndBlock(CWideString* log, u64 seconds) {
  log->Append(u"Total Time: ");
  AppendMinutesSeconds(log, seconds);
  log->Append(kCrLf);
  log->Append(u"************************ End Job ************************");
  log->Append(kCrLf);
}
