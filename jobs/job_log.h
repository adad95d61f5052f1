// The texts of a job log: time-stamped lines, the start banner, the SCSI
// error block and the end block (portable formatting), and the append of a
// finished job's log to "log.log" (UTF-16LE without byte-order mark) under
// one process-wide lock, so that two jobs ending at once both reach it.
#pragma once
#include "drive/drive.h"
#include "runtime/date_time.h"
#include "runtime/types.h"
#include "runtime/wide_string.h"

// The drive's last-command record from SCSI status through the raw sense
// bytes, as a job keeps it after a failure.
struct FailedCommand {
  u8 status;
  u8 responseCode;
  u8 senseKey;
  u8 asc;
  u8 ascq;
  u8 cdb[16];
  i32 error;
  u8 sense[252];
};
static_assert(sizeof(FailedCommand) == 280, "failed-command copy is 280 bytes");

void CopyFailedCommand(const CDrive& drive, FailedCommand* out);

// "[dd/mm/yyyy - hh:mm:ss] " + text + CRLF.
void AppendLogLine(CWideString* log, const DateTime& when, const wchar16* text);
// The start banner line and "Destination Device: " + name, each with CRLF.
void AppendStartBanner(CWideString* log, const wchar16* deviceName);
// The "SCSI Error" block of a failed command.
void AppendScsiErrorBlock(CWideString* log, const FailedCommand& command);
// "Total Time: " mm ":" ss CRLF and the end banner.
void AppendEndBlock(CWideString* log, u64 seconds);

// The log file's name, relative to the current directory.
extern const wchar16 kJobLogFileName[];
// Appends units of text to the file as raw UTF-16LE (opened for writing
// with read sharing, created when missing, written at its end). Callers
// from any thread are serialised by one process-wide lock. False when the
// file could not be opened or written (the job goes on regardless).
bool AppendToJobLogFile(const wchar16* path, const wchar16* text, i32 units);

// Platform services of the log: local time and debugger output.
bool ReadLocalTime(DateTime* out);
void WriteDebugText(const wchar16* text);
