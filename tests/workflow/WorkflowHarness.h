// A recovery workflow driven through the scripted fake front end, and throwaway data folders.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/FakeFrontEnd.h"
#include "workflow/BrenmoorApp.h"
#include "workflow/Workflow.h"

namespace wexholt::testing {

// A fresh folder under the system temporary folder, removed again at the end of the test.
class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "wexholt-wf-XXXXXX").string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    char* made = mkdtemp(buffer.data());
    path_ = std::string(made ? made : "/tmp") + "/";
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ec);
    std::filesystem::remove_all(path_, ec);
  }
  // Folder path ending with '/'.
  const std::string& Path() const { return path_; }
  std::string MakeDir(const std::string& relative) const {
    std::filesystem::create_directories(path_ + relative);
    return path_ + relative + "/";
  }
  std::string Write(const std::string& relative, const std::string& bytes) const {
    std::filesystem::path p(path_ + relative);
    std::filesystem::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << bytes;
    return p.string();
  }

 private:
  std::string path_;
};

inline std::string ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Bytes that start a table definition and a view definition.
inline std::string TableFrmBytes() { return std::string("\xFE\x01\x0A\x09\x03\x00", 6) + std::string(64, '\0'); }
inline std::string ViewFrmBytes() { return "TYPE=VIEW\nquery=select 1\n"; }

struct Harness {
  CBrenmoorApp app;
  FakeFrontEnd ui;
  RecoveryWorkflow wf{app, ui};

  // Open as the dialog would confirm it, and wait for the scan to end.
  void Scan(const std::string& dataPath, const std::string& logFolder = "") {
    ui.QueueDatabaseFile(RunPaths{dataPath, "/tmp/", logFolder});
    wf.Open();
    wf.WaitForScan();
  }
  // A click on the label of the item reached through labels (below the data-path item).
  int Click(const std::vector<std::string>& labels) {
    TreeItem item = Item(labels);
    EXPECT_NE(item, kNoTreeItem) << labels.back();
    ui.TreeSelect(item);
    return wf.ShowTreeItem(item);
  }
  TreeItem Item(const std::vector<std::string>& labels) {
    std::vector<std::string> full{"MYSQL database", wf.dataPath};
    full.insert(full.end(), labels.begin(), labels.end());
    return ui.FindPath(full);
  }
};

}  // namespace wexholt::testing
