// The log file byte for byte: name from the local time, UTF-16LE, one byte order mark, CR LF, the
// run separator, and the lines the scan and a tree click write.
#include <gtest/gtest.h>

#include <ctime>
#include <sys/stat.h>

#include "decoding/Text.h"
#include "workflow/WorkflowHarness.h"

namespace wexholt::testing {
namespace {

// 7 March 2022, 09:05:41 local time.
std::time_t FixedTime() {
  std::tm t{};
  t.tm_mday = 7;
  t.tm_mon = 2;
  t.tm_year = 122;
  t.tm_hour = 9;
  t.tm_min = 5;
  t.tm_sec = 41;
  t.tm_isdst = -1;
  return std::mktime(&t);
}

const std::string kSeparator = "\r\n" + std::string(80, '*') + "\r\n";

std::string ScanLog(const std::string& dataPath) {
  return kSeparator + dataPath + " File is selected for recovery....\r\n" + "MySql database File Path:\t" + dataPath +
         "\r\n" + "Processing ibdata1 File\r\n" + "ibdata1 File cannot be open\r\n" +
         "Scanning completed for selected database file(s).\r\n";
}

TEST(ProcessLog, ScanWithoutIbdata1ByteExact) {
  TempDir data;
  data.Write("db1/t.frm", TableFrmBytes());
  TempDir logs;
  Harness h;
  h.app.log.clock = FixedTime;
  h.Scan(data.Path(), logs.Path());  // the ibdata1 question is answered No

  const std::string path = logs.Path() + "CorvaltWexholt_log_7-3-2022-9-5-41.txt";
  EXPECT_EQ(h.app.log.LogFilePath(), path);
  EXPECT_EQ(ReadFileBytes(path), "\xFF\xFE" + Utf16le(ScanLog(data.Path())));
  EXPECT_EQ(h.ui.MessageTexts().back(), "Scanning completed for selected database file(s)");
}

TEST(ProcessLog, SecondOpenInTheSameSecondContinuesTheFile) {
  TempDir data;
  data.Write("db1/t.frm", TableFrmBytes());
  TempDir logs;
  Harness h;
  h.app.log.clock = FixedTime;
  h.Scan(data.Path(), logs.Path());
  ASSERT_EQ(h.Click({"db1", "Tables"}), 1);
  h.Scan(data.Path(), logs.Path());

  const std::string expected = "\xFF\xFE" + Utf16le(ScanLog(data.Path()) +
                                                    "Please wait while Tables folder is scanning.\r\n"
                                                    "Scanning process completed.\r\n" +
                                                    ScanLog(data.Path()));
  EXPECT_EQ(ReadFileBytes(logs.Path() + "CorvaltWexholt_log_7-3-2022-9-5-41.txt"), expected);
}

TEST(ProcessLog, ManualIbdata1ThatCannotBeOpenedIsLogged) {
  TempDir data;
  data.Write("db1/t.frm", TableFrmBytes());
  TempDir logs;
  Harness h;
  h.app.log.clock = FixedTime;
  h.ui.QueueAnswer(MessageAnswer::kYes);
  h.ui.QueueOpenFile(data.Path() + "missing-ibdata1");
  h.Scan(data.Path(), logs.Path());
  std::string log = ScanLog(data.Path());
  log.insert(log.find("Scanning completed"), "Manually browse ibdata1 File cannot be open\r\n");
  EXPECT_EQ(ReadFileBytes(logs.Path() + "CorvaltWexholt_log_7-3-2022-9-5-41.txt"), "\xFF\xFE" + Utf16le(log));
}

TEST(ProcessLog, TextOutsideAsciiIsWrittenAsUtf16) {
  TempDir logs;
  ProcessLog log;
  log.clock = FixedTime;
  ASSERT_TRUE(log.OpenLog(logs.Path()));
  log.WriteLog("Zürich 東京 \xF0\x9F\x98\x80\r\n");
  log.Close();
  EXPECT_EQ(ReadFileBytes(log.LogFilePath()),
            std::string("\xFF\xFE", 2) + Utf16le(kSeparator) +
                std::string("Z\0\xFC\0r\0i\0c\0h\0 \0\x71\x67\xAC\x4E \0\x3D\xD8\x00\xDE\r\0\n\0", 28));
}

TEST(ProcessLog, UnwritableLogFolderNeverStopsTheScan) {
  TempDir data;
  data.Write("db1/t.frm", TableFrmBytes());
  for (const std::string& folder : {std::string("/nonexistent-wexholt-logs/"), data.Path() + "db1/t.frm/"}) {
    SCOPED_TRACE(folder);
    Harness h;
    h.Scan(data.Path(), folder);
    EXPECT_FALSE(h.app.log.IsOpen());
    EXPECT_EQ(h.app.busy.load(), 0);
    EXPECT_FALSE(h.ui.ProgressVisible());
    EXPECT_EQ(h.ui.MessageTexts().back(), "Scanning completed for selected database file(s)");
    EXPECT_EQ(h.Click({"db1", "Tables"}), 1);
  }
}

}  // namespace
}  // namespace wexholt::testing
