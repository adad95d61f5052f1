// Texts of the job log: stamps, banners, the SCSI error block, the end
// block, and the remaining-time estimate.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "jobs/job_log.h"
#include "jobs/job_page.h"

namespace {

std::string Narrow(const CWideString& text) {
  std::string out;
  for (i32 i = 0; i < text.GetLength(); ++i) out.push_back(static_cast<char>(text.At(i)));
  return out;
}

DateTime When(u16 y, u16 mo, u16 d, u16 h, u16 mi, u16 s) {
  DateTime t;
  t.Set(y, mo, d, 0, h, mi, s, 0);
  return t;
}

TEST(JobLogText, StampedLinesAndBanners) {
  CWideString log;
  AppendLogLine(&log, When(2026, 7, 4, 9, 5, 3), u"Starting to fill the cache...");
  AppendLogLine(&log, When(5, 12, 31, 23, 59, 59), u"x");
  AppendStartBanner(&log, u"E: KVSIM");
  EXPECT_EQ("[04/07/2026 - 09:05:03] Starting to fill the cache...\r\n[31/12/05 - 23:59:59] x\r\n"
            "************************ Start Job ************************\r\nDestination Device: E: KVSIM\r\n",
            Narrow(log));
  const std::pair<u64, const char*> times[] = {{3725, "62:05"}, {0, "00:00"}, {59, "00:59"}, {60, "01:00"}, {7503, "125:03"}};
  for (const auto& t : times) {
    log.Release();
    AppendEndBlock(&log, t.first);
    EXPECT_EQ(std::string("Total Time: ") + t.second + "\r\n************************ End Job ************************\r\n",
              Narrow(log));
  }
}

// Every two-digit field of a stamp and of the total time on both sides of
// its digit boundaries: 9 and 10 take two digits, 100 three.
TEST(JobLogText, TwoDigitFieldsAtTheirDigitBoundaries) {
  const struct {
    DateTime when;
    const char* text;
  } stamps[] = {
      {When(9, 10, 9, 10, 9, 10), "[09/10/09 - 10:09:10] x\r\n"},
      {When(10, 9, 10, 9, 10, 9), "[10/09/10 - 09:10:09] x\r\n"},
      {When(99, 1, 1, 0, 0, 0), "[01/01/99 - 00:00:00] x\r\n"},
      {When(100, 11, 30, 19, 59, 58), "[30/11/100 - 19:59:58] x\r\n"},
  };
  for (const auto& s : stamps) {
    CWideString log;
    AppendLogLine(&log, s.when, u"x");
    EXPECT_EQ(s.text, Narrow(log));
  }
  const std::pair<u64, const char*> times[] = {{9, "00:09"},    {10, "00:10"},   {540, "09:00"},   {599, "09:59"},
                                               {600, "10:00"},  {5999, "99:59"}, {6000, "100:00"}, {6009, "100:09"}};
  for (const auto& t : times) {
    CWideString log;
    AppendEndBlock(&log, t.first);
    EXPECT_EQ(std::string("Total Time: ") + t.second + "\r\n************************ End Job ************************\r\n",
              Narrow(log));
  }
}

TEST(JobLogText, ScsiErrorBlockListsEveryCommandByte) {
  FailedCommand c;
  std::memset(&c, 0, sizeof(c));
  c.status = 2;
  c.responseCode = 0x70;
  c.senseKey = 5;
  c.asc = 0x24;
  c.ascq = 0;
  const u8 cdb[16] = {0x2A, 0x00, 0x00, 0x01, 0x86, 0xA0, 0x00, 0x00, 0x10, 0x00, 0xAB, 0xCD, 0xEF, 0x01, 0x02, 0xFF};
  std::memcpy(c.cdb, cdb, 16);
  CWideString log;
  AppendScsiErrorBlock(&log, c);
  std::string expected =
      "********* SCSI Error ************\r\n"
      "ScsiStatus: 0x02\r\n"
      "ResponseCode: 0x70\r\n"
      "0x05, 0x24, 0x00 : INVALID FIELD IN CDB\r\n"
      "Command: 0x2a\r\n"
      "Command Block: \r\n";
  const char* hex[16] = {"2a", "00", "00", "01", "86", "a0", "00", "00", "10", "00", "ab", "cd", "ef", "01", "02", "ff"};
  for (int i = 1; i < 16; ++i) expected += std::string("\t\t Byte ") + std::to_string(i) + " : 0x" + hex[i] + "\r\n";
  expected += "*********************************\r\n";
  EXPECT_EQ(expected, Narrow(log));
}

TEST(JobLogText, FailedCommandCopiesTheRecordAndNoStaleSense) {
  CDrive drive;
  drive.scsiStatus = 2;
  drive.senseFormat = 0x71;
  drive.senseKey = 0x0E;
  drive.asc = 0xF0;
  drive.ascq = 0xF1;
  for (int i = 0; i < 16; ++i) drive.lastCdb[i] = static_cast<u8>(i * 3);
  for (int i = 0; i < 252; ++i) drive.sense[i] = static_cast<u8>(255 - i);
  FailedCommand c;
  CopyFailedCommand(drive, &c);
  EXPECT_EQ(0x71, c.responseCode);
  EXPECT_EQ(0, std::memcmp(c.cdb, drive.lastCdb, 16));
  EXPECT_EQ(0, std::memcmp(c.sense, drive.sense, 252));
  CWideString log;
  AppendScsiErrorBlock(&log, c);
  EXPECT_NE(std::string::npos, Narrow(log).find("0x0e, 0xf0, 0xf1 : No Found\r\n"));
  // A request the system refused brought no sense: the earlier one is not shown.
  drive.scsiStatus = 0;
  drive.errorCode = static_cast<i32>(0x8007045Du);
  CopyFailedCommand(drive, &c);
  EXPECT_EQ(0, c.responseCode);
  EXPECT_EQ(std::vector<u8>(252, 0), std::vector<u8>(c.sense, c.sense + 252));
}

TEST(RemainingTime, NoEstimateUntilRatesExist) {
  TimeSample h[4] = {};
  // Progress of 1 % a second from t = 10 s.
  EXPECT_EQ(0u, ComputeTimes(h, 0.01, 10));
  EXPECT_EQ(0u, ComputeTimes(h, 0.02, 11));
  EXPECT_EQ(0u, ComputeTimes(h, 0.03, 12));
  // Fourth sample: a rate is computed for it but older samples have none.
  EXPECT_EQ(0u, ComputeTimes(h, 0.04, 13));
  EXPECT_NEAR(0.01, h[3].rate, 1e-12);
  // Fifth: the mean of the older non-zero rates (one of them: 0.01/s).
  u32 ms = ComputeTimes(h, 0.05, 14);
  EXPECT_NEAR(95000.0, ms, 1.0);
  EXPECT_EQ(0u, ComputeTimes(h, 1.0, 15));
}

TEST(RemainingTime, StalledOrBackwardsGivesNoEstimate) {
  TimeSample h[4] = {};
  for (int i = 0; i < 6; ++i) ComputeTimes(h, 0.5, 10 + i);
  EXPECT_EQ(0u, ComputeTimes(h, 0.5, 20));
  TimeSample b[4] = {};
  double f[] = {0.9, 0.8, 0.7, 0.6, 0.5, 0.4};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(0u, ComputeTimes(b, f[i], 10 + i));
}

TEST(RemainingTime, NoElapsedTimeOrNoProgressGivesNoEstimate) {
  // Every sample at the same instant: no rate can be formed.
  TimeSample h[4] = {};
  for (int i = 1; i <= 6; ++i) EXPECT_EQ(0u, ComputeTimes(h, i * 0.1, 10)) << i;
  for (const TimeSample& s : h) EXPECT_EQ(0.0, s.rate);
  // No progress at all, however long it lasts.
  TimeSample z[4] = {};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(0u, ComputeTimes(z, 0.0, 10 + i)) << i;
  // A rate too small for the result: the largest estimate, not a wrap.
  TimeSample slow[4] = {};
  for (int i = 0; i < 6; ++i) ComputeTimes(slow, 1e-12 * (i + 1), 10 + i);
  EXPECT_EQ(0xFFFFFFFFu, ComputeTimes(slow, 7e-12, 16));
}

TEST(JobLogFile, AppendsRawUtf16AfterWhatIsThere) {
  const char* name = "job_log_append_probe.log";
  std::remove(name);
  {
    std::ofstream out(name, std::ios::binary);
    out << "AB";
  }
  const wchar16 text[] = {u'x', 0x00E9, 0x20AC, u'\r', u'\n'};
  ASSERT_TRUE(AppendToJobLogFile(u"job_log_append_probe.log", text, 5));
  ASSERT_TRUE(AppendToJobLogFile(u"job_log_append_probe.log", text, 1));
  std::ifstream in(name, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  in.close();
  // Earlier bytes kept, no byte-order mark, little-endian units.
  const unsigned char expected[] = {'A', 'B', 'x', 0, 0xE9, 0, 0xAC, 0x20, '\r', 0, '\n', 0, 'x', 0};
  ASSERT_EQ(sizeof(expected), bytes.size());
  EXPECT_EQ(0, std::memcmp(expected, bytes.data(), sizeof(expected)));
  std::remove(name);
  // A file that cannot be opened is reported, not written elsewhere.
  EXPECT_FALSE(AppendToJobLogFile(u"no_such_folder_for_logs/log.log", text, 5));
}

TEST(GuardedArithmetic, ZeroDivisorsAndClamps) {
  EXPECT_EQ(0u, SpeedFactor(7056, 0));
  EXPECT_EQ(40u, SpeedFactor(7056, 176));
  EXPECT_EQ(0u, BufferFillPercent(10, 0));
  EXPECT_EQ(75u, BufferFillPercent(512, 2048));
  EXPECT_EQ(0u, BufferFillPercent(4096, 2048));
  EXPECT_EQ(0u, DivideOrZero(5, 0));
  EXPECT_EQ(0xFFFF, ClampSpeedField(70000));
  EXPECT_EQ(1385, ClampSpeedField(1385));
}

}  // namespace
