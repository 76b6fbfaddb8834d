// The text summary of one device: its count of writes in words a reader expects.
#include <gtest/gtest.h>

#include <string>

#include "cli/run_report.h"

namespace {

DeviceReport Report(size_t writes, WriteVerdict verdict, bool verifyRan) {
  DeviceReport report;
  report.port = "/dev/ttyUSB0";
  report.ok = true;
  report.verifyRan = verifyRan;
  for (size_t i = 0; i < writes; ++i) {
    WriteRecord write;
    write.job.command = "AT+APN=x\r\n";
    write.verdict = verdict;
    write.verified = verifyRan;
    report.writes.push_back(write);
  }
  return report;
}

TEST(RunReportText, CountsWritesInWordsAndSaysWhatADryRunWouldDo) {
  struct Case {
    DeviceReport report;
    const char* starts;
  };
  const Case cases[] = {
      {Report(1, WriteVerdict::kAccepted, true), "/dev/ttyUSB0: ok, 1 write verified"},
      {Report(3, WriteVerdict::kAccepted, true), "/dev/ttyUSB0: ok, 3 writes verified"},
      {Report(0, WriteVerdict::kAccepted, true), "/dev/ttyUSB0: ok, nothing to write"},
      {Report(2, WriteVerdict::kWouldWrite, false), "/dev/ttyUSB0: would write 2, nothing sent"},
  };
  for (const Case& c : cases) {
    const std::string text = FormatRunText(c.report, false);
    EXPECT_EQ(text.rfind(c.starts, 0), 0u) << text;
  }
}

}  // namespace
