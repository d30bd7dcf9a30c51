// The data files are evidence: every operation of a recovery run reads them and never writes them.
//
// The test copies the fixture data directory, records the bytes and modification time of every
// file, and then does everything a user can do on the copy: the scan, a click on every tree item
// (tables, "Keys", views, trigger folders), Next to the end and Previous back to page 1 for every
// table, a CSV export of a grid, and a save into script files of every table. Through the file
// layer's open hook it checks that every data file was opened read-only, without O_CREAT or
// O_TRUNC; afterwards every file of the copy must be byte-identical and untouched, and no file may
// have appeared in or vanished from it.
#include <fcntl.h>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <sstream>
#include <string>
#include <vector>

#include "decoding/DataFile.h"
#include "save/SaveRun.h"
#include "support/FakeFrontEnd.h"
#include "support/Fixtures.h"
#include "workflow/BrenmoorApp.h"
#include "workflow/Workflow.h"

namespace wexholt {
namespace {

namespace fs = std::filesystem;

struct FileState {
  std::string bytes;
  fs::file_time_type modified;
};

std::map<std::string, FileState> Snapshot(const fs::path& root) {
  std::map<std::string, FileState> files;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    if (!entry.is_regular_file()) continue;
    std::ifstream in(entry.path(), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    files[fs::relative(entry.path(), root).string()] = {bytes.str(), entry.last_write_time()};
  }
  return files;
}

class TempFolder {
 public:
  explicit TempFolder(const std::string& name) {
    path_ = fs::temp_directory_path() /
            (name + "-" + std::to_string(::getpid()) + "-" +
             std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
    fs::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  // The folder as the program writes folder paths: ending with '/'.
  std::string Path() const { return path_.string() + "/"; }
  const fs::path& FsPath() const { return path_; }

 private:
  fs::path path_;
};

struct OpenRecord {
  std::string path;
  int flags = 0;
};

class RecordingProgress : public SaveProgress {
 public:
  void Line(const std::string& text) override { lines.push_back(text); }
  std::vector<std::string> lines;
};

TEST(NeverWrite, WholeRunLeavesEveryDataFileUntouched) {
  const std::string fixtures = testing::FixtureDataDir();
  if (!fs::exists(fixtures + "ibdata1")) GTEST_SKIP() << "no fixture data directory at " << fixtures;

  TempFolder data("wexholt-neverwrite-data");
  TempFolder work("wexholt-neverwrite-work");
  fs::copy(fixtures, data.FsPath(), fs::copy_options::recursive);
  fs::create_directories(work.FsPath() / "temp");
  fs::create_directories(work.FsPath() / "log");
  fs::create_directories(work.FsPath() / "scripts");
  const auto before = Snapshot(data.FsPath());
  ASSERT_FALSE(before.empty());

  std::mutex openedMutex;
  std::vector<OpenRecord> opened;
  DataFile::OpenObserver() = [&](const std::string& path, int flags) {
    std::lock_guard<std::mutex> lock(openedMutex);
    opened.push_back({path, flags});
  };

  {
    CBrenmoorApp app;
    testing::FakeFrontEnd ui;
    RecoveryWorkflow workflow(app, ui);
    RunPaths paths{data.Path(), work.Path() + "temp/", work.Path() + "log/"};
    workflow.OpenWithPaths(paths);
    workflow.WaitForScan();
    ASSERT_FALSE(workflow.tableEntries.empty()) << "the scan found no tables";

    std::vector<TreeItem> items;
    ui.WithTree([&](CheckTree& tree) { items = tree.PreOrder(); });
    ASSERT_FALSE(items.empty());
    int tablesPaged = 0;
    bool exported = false;
    for (TreeItem item : items) {
      ASSERT_EQ(workflow.ShowTreeItem(item), 1) << ui.TreeItemLabel(item);
      const bool isTable = ui.TreeItemData(item) >= 1 && ui.TreeItemParent(item) != kNoTreeItem &&
                           ui.TreeItemData(ui.TreeItemParent(item)) == kItemContainer;
      if (!isTable) continue;
      // A table: every page forward, then back to page 1.
      ++tablesPaged;
      for (int guard = 0; ui.NextEnabled() && guard < 100; ++guard) ASSERT_EQ(workflow.NextPage(), 1);
      for (int guard = 0; ui.PreviousEnabled() && guard < 100; ++guard) ASSERT_EQ(workflow.PreviousPage(), 1);
      if (!exported && !ui.Rows().empty()) {
        ui.QueueSaveFile(work.Path() + "export.csv");
        workflow.ExportGridToCsv();
        exported = true;
      }
    }
    EXPECT_GT(tablesPaged, 0);
    EXPECT_TRUE(exported) << "no table showed rows to export";
    EXPECT_TRUE(fs::exists(work.FsPath() / "export.csv"));

    std::vector<TableLocation> tables;
    for (const TableEntry& entry : workflow.tableEntries) {
      ASSERT_LT(static_cast<size_t>(entry.databaseIndex), workflow.databaseFolders.size());
      const std::string& folder = workflow.databaseFolders[static_cast<size_t>(entry.databaseIndex)];
      tables.push_back({folder, fs::path(folder).filename().string(), entry.tableName});
    }
    SaveOptions options;
    options.folder = work.Path() + "scripts/";
    DecoderSettings settings = app.decoder;
    settings.collations = &app.collationTable;
    RecordingProgress progress;
    SaveSummary summary = RunSave(data.Path(), tables, options, settings, progress);
    EXPECT_GT(summary.tablesSaved, 0);
  }
  DataFile::OpenObserver() = nullptr;

  // Every data file went through the file layer read-only.
  ASSERT_FALSE(opened.empty());
  size_t insideCopy = 0;
  for (const OpenRecord& record : opened) {
    EXPECT_EQ(record.flags & O_ACCMODE, O_RDONLY) << record.path;
    EXPECT_EQ(record.flags & (O_CREAT | O_TRUNC | O_APPEND), 0) << record.path;
    if (record.path.rfind(data.Path(), 0) == 0) ++insideCopy;
  }
  EXPECT_GT(insideCopy, before.size() / 2) << "the run opened few of the data files";

  // And the copy is as it was.
  const auto after = Snapshot(data.FsPath());
  for (const auto& [name, state] : before) {
    auto found = after.find(name);
    ASSERT_NE(found, after.end()) << name << " vanished";
    EXPECT_TRUE(found->second.bytes == state.bytes) << name << " changed";
    EXPECT_TRUE(found->second.modified == state.modified) << name << " was written";
  }
  for (const auto& [name, state] : after) EXPECT_TRUE(before.count(name)) << name << " appeared";
}

}  // namespace
}  // namespace wexholt
