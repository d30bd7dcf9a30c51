// CBrenmoorApp: the process-wide values, one object per process, owned by whoever runs the
// workflow (the Qt shell, the CLI, a test).
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "definitions/Collations.h"
#include "definitions/DecoderSettings.h"
#include "workflow/ProcessLog.h"

namespace wexholt {

struct CBrenmoorApp {
  CBrenmoorApp();  // loads the collation table (built-in, then "collation (2)" of the current directory)

  int32_t applicationLook = 215;
  int32_t highColourIcons = 1;
  // 1 while a scan, a table load, paging or an export runs. Read by the GUI thread and the scan
  // worker.
  std::atomic<int32_t> busy{0};
  std::atomic<int32_t> stopRequested{0};
  std::string databasePath;  // each ends with '/'
  std::string tempPath;
  std::string logFolder;
  CollationTable collationTable;
  ProcessLog log;            // logFilePath, logFile, outputLine
  DecoderSettings decoder;   // newTemporalFormat, saveToFolder, saveToServer, saveFolder, blobFileCounter
  std::string serverName;
  std::string serverPort;
  std::string userName;
  std::string password;
};

}  // namespace wexholt
