// The save run: the checked (or named) tables read from the data files and written into a live
// server over ODBC, or into one SQL script per database in a folder, with their views and triggers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "definitions/DecoderSettings.h"
#include "workflow/Workflow.h"

namespace wexholt {

struct SaveOptions {
  bool toServer = false;      // false: scripts into folder
  std::string folder;         // script mode: the save folder (ends with '/')
  std::string server;         // server mode: connection texts
  std::string port = "3306";
  std::string user = "root";
  std::string password;
  bool replaceExisting = false;  // server mode: drop and recreate a table that exists
};

// What the run reports as it goes. Called on the thread that runs the save.
class SaveProgress {
 public:
  virtual ~SaveProgress() = default;
  virtual void Line(const std::string& text) = 0;              // output list + log
  virtual void TableProgress(const std::string& table, uint64_t rowsSaved) {}
  virtual void Progress(int percent) {}
  virtual bool StopRequested() { return false; }
  // The damaged pages or regions a table's walk skipped ("<db>.<table>: N damaged pages skipped"),
  // once per table after its rows were read to the end; by default a line like the others.
  virtual void DamagedPagesSkipped(const std::string& text) { Line(text); }
};

struct SaveSummary {
  int tablesSaved = 0;
  int tablesFailed = 0;
  uint64_t rowsSaved = 0;
  bool stopped = false;
};

// Saves tables of the data directory dataPath (ends with '/'). settings supplies the collation
// table; the run sets and clears the save-mode flags itself.
SaveSummary RunSave(const std::string& dataPath, const std::vector<TableLocation>& tables,
                    const SaveOptions& options, DecoderSettings& settings, SaveProgress& progress);

}  // namespace wexholt
