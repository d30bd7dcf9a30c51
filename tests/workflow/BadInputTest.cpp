// Data paths and data folders that are not what a server leaves behind: paths that cannot be
// listed, symbolic-link loops, names with spaces, quotes and UTF-8, empty files, a .frm that is a
// folder, unreadable files and a great many empty database folders. Each case must end: the scan
// with its completion message, a click with its completion line, and always idle (busy cleared,
// progress hidden, tree enabled).
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <iostream>
#include <mutex>
#include <thread>
#include <unistd.h>

#include "support/Fixtures.h"
#include "workflow/WorkflowHarness.h"

namespace wexholt::testing {
namespace {

namespace fs = std::filesystem;

// Ends the test program when a case has not finished within the given time: a hang fails loudly
// instead of blocking the run.
class Watchdog {
 public:
  Watchdog(const std::string& what, std::chrono::seconds limit) {
    thread_ = std::thread([this, what, limit] {
      std::unique_lock<std::mutex> lock(mutex_);
      if (!done_.wait_for(lock, limit, [this] { return finished_; })) {
        std::cerr << "hang: " << what << " did not end within " << limit.count() << " s\n";
        std::_Exit(1);
      }
    });
  }
  ~Watchdog() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      finished_ = true;
    }
    done_.notify_all();
    thread_.join();
  }

 private:
  std::mutex mutex_;
  std::condition_variable done_;
  bool finished_ = false;
  std::thread thread_;
};

constexpr std::chrono::seconds kCaseLimit{120};

void ExpectIdle(Harness& h, const std::string& what) {
  EXPECT_EQ(h.app.busy.load(), 0) << what;
  EXPECT_FALSE(h.wf.ScanRunning()) << what;
  EXPECT_FALSE(h.ui.ProgressVisible()) << what;
  EXPECT_TRUE(h.ui.TreeEnabled()) << what;
  const std::vector<std::string> progress = h.ui.CallsStartingWith("ProgressShow(");
  if (!progress.empty()) {
    EXPECT_EQ(progress.back(), "ProgressShow(false)") << what;
  }
}

void ExpectScanCompleted(Harness& h, const std::string& what) {
  const std::vector<std::string> messages = h.ui.MessageTexts();
  ASSERT_FALSE(messages.empty()) << what;
  EXPECT_EQ(messages.back(), "Scanning completed for selected database file(s)") << what;
  EXPECT_EQ(h.ui.CallsStartingWith("ScanFinished(").size(), 1u) << what;
  ExpectIdle(h, what);
}

// Clicks every item of the tree in turn, then Next and Previous after each; every click must end
// with its completion line and idle.
void ClickEverything(Harness& h) {
  std::vector<TreeItem> items;
  h.ui.WithTree([&](CheckTree& tree) { items = tree.PreOrder(); });
  for (TreeItem item : items) {
    const std::string label = h.ui.TreeItemLabel(item);
    h.ui.TreeSelect(item);
    ASSERT_EQ(h.wf.ShowTreeItem(item), 1) << label;
    EXPECT_EQ(h.ui.Output().back(), "Scanning process completed.") << label;
    ExpectIdle(h, label);
    EXPECT_EQ(h.wf.NextPage(), 1) << label;
    ExpectIdle(h, label + " Next");
    EXPECT_EQ(h.wf.PreviousPage(), 1) << label;
    ExpectIdle(h, label + " Previous");
  }
}

void CopyFile(const std::string& from, const std::string& to) {
  fs::create_directories(fs::path(to).parent_path());
  fs::copy_file(from, to, fs::copy_options::overwrite_existing);
}

bool HaveFixtures() { return fs::exists(FixtureDataDir() + "paging/myi_3.frm"); }

// A three-row MyISAM table of the fixtures under another folder and file name.
void CopyMyisamTable(const std::string& folder, const std::string& table) {
  const std::string from = FixtureDataDir() + "paging/myi_3.";
  for (const char* extension : {"frm", "MYI", "MYD"}) CopyFile(from + extension, folder + table + "." + extension);
}

TEST(BadInput, DataPathsThatCannotBeListed) {
  TempDir dir;
  const std::string file = dir.Write("plain-file", "not a folder");
  struct Case {
    std::string name;
    std::string path;
  };
  const std::vector<Case> cases = {
      {"missing folder", dir.Path() + "no-such-folder/"},
      {"regular file", file + "/"},
      {"empty path", ""},
  };
  for (const Case& c : cases) {
    Watchdog watchdog(c.name, kCaseLimit);
    Harness h;
    h.Scan(c.path);
    ExpectScanCompleted(h, c.name);
    EXPECT_TRUE(h.wf.tableEntries.empty()) << c.name;
    EXPECT_TRUE(h.wf.viewPaths.empty()) << c.name;
    EXPECT_TRUE(h.wf.triggerEntries.empty()) << c.name;
    ClickEverything(h);
  }
}

TEST(BadInput, UnreadableFoldersAndFiles) {
  if (!HaveFixtures()) GTEST_SKIP() << "no fixture data directory";
  TempDir dir;
  CopyMyisamTable(dir.Path() + "open/", "t");
  CopyMyisamTable(dir.Path() + "shut/", "t");
  CopyMyisamTable(dir.Path() + "files/", "t");
  fs::permissions(dir.Path() + "shut", fs::perms::none);
  for (const char* extension : {"frm", "MYI", "MYD"}) {
    fs::permissions(dir.Path() + "files/t." + extension, fs::perms::none);
  }
  if (::access((dir.Path() + "files/t.MYD").c_str(), R_OK) == 0) {
    GTEST_SKIP() << "this user reads files whatever their permissions (root)";
  }

  Watchdog watchdog("unreadable", kCaseLimit);
  Harness h;
  h.Scan(dir.Path());
  ExpectScanCompleted(h, "unreadable");
  // The unreadable folder lists nothing, the unreadable .frm is not known as a table definition.
  ASSERT_EQ(h.wf.tableEntries.size(), 1u);
  EXPECT_EQ(h.wf.tableEntries[0].tableName, "t");
  EXPECT_EQ(h.wf.databaseFolders.at(static_cast<size_t>(h.wf.tableEntries[0].databaseIndex)), dir.Path() + "open");
  ClickEverything(h);
  fs::permissions(dir.Path() + "shut", fs::perms::owner_all);
}

TEST(BadInput, SymbolicLinkLoopsEndTheScan) {
  if (!HaveFixtures()) GTEST_SKIP() << "no fixture data directory";
  TempDir dir;
  CopyMyisamTable(dir.Path() + "db/", "t");
  fs::create_directory_symlink(dir.Path(), dir.Path() + "parent");   // a database folder that is the data path
  fs::create_directory_symlink("..", dir.Path() + "db/up");          // a folder inside a database
  fs::create_symlink("itself", dir.Path() + "itself");               // a link to itself
  fs::create_symlink("self.frm", dir.Path() + "db/self.frm");
  fs::create_symlink("ring.TRG", dir.Path() + "db/ring.TRG");

  Watchdog watchdog("symbolic-link loops", kCaseLimit);
  Harness h;
  h.Scan(dir.Path());
  ExpectScanCompleted(h, "symbolic-link loops");
  EXPECT_EQ(h.wf.databaseFolders, (std::vector<std::string>{dir.Path() + "db", dir.Path() + "parent"}));
  ASSERT_EQ(h.wf.tableEntries.size(), 1u);
  EXPECT_EQ(h.wf.tableEntries[0].tableName, "t");
  // A trigger file name that leads nowhere is still listed (its content is read only when shown).
  ASSERT_EQ(h.wf.triggerEntries.size(), 1u);
  ClickEverything(h);
  ASSERT_EQ(h.Click({"db", "Trigger", "ring"}), 1);
  EXPECT_EQ(h.ui.TextBox(), "");
}

TEST(BadInput, NamesWithSpacesQuotesAndUtf8) {
  if (!HaveFixtures()) GTEST_SKIP() << "no fixture data directory";
  const std::vector<std::string> names = {"my db", "it's", "q\"uote", "back`tick", "café", "数据"};
  TempDir dir;
  for (const std::string& name : names) {
    CopyMyisamTable(dir.Path() + name + "/", name);
    dir.Write(name + "/" + name + " view.frm", ViewFrmBytes());
  }
  Watchdog watchdog("names", kCaseLimit);
  Harness h;
  h.Scan(dir.Path());
  ExpectScanCompleted(h, "names");
  ASSERT_EQ(h.wf.tableEntries.size(), names.size());
  for (const std::string& name : names) {
    ASSERT_EQ(h.Click({name, "Tables", name}), 1) << name;
    EXPECT_EQ(h.ui.Caption(), name + "[3]");
    EXPECT_EQ(h.ui.Rows().size(), 3u) << name;
    ExpectIdle(h, name);
    ASSERT_EQ(h.Click({name, "Tables", name, "Keys"}), 1) << name;
    EXPECT_EQ(h.ui.Rows().size(), 3u) << name;
    ASSERT_EQ(h.Click({name, "Views", name + " view"}), 1) << name;
    EXPECT_NE(h.ui.TextBox(), "") << name;
    const TreeItem table = h.Item({name, "Tables", name});
    h.ui.WithTree([&](CheckTree& tree) { tree.SetChecked(table, true); });
  }
  std::vector<std::string> checked;
  for (const TableLocation& t : h.wf.CheckedTables()) {
    EXPECT_EQ(t.databaseFolder, dir.Path() + t.databaseName);
    checked.push_back(t.databaseName + "." + t.tableName);
  }
  std::vector<std::string> expected;
  for (const std::string& name : names) expected.push_back(name + "." + name);
  std::sort(checked.begin(), checked.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(checked, expected);
}

TEST(BadInput, EmptyFilesAndAFolderNamedLikeADefinition) {
  if (!HaveFixtures()) GTEST_SKIP() << "no fixture data directory";
  TempDir dir;
  const std::string paging = FixtureDataDir() + "paging/";
  const std::string db = dir.MakeDir("zero");
  dir.Write("ibdata1", "");
  // MyISAM: both files empty, an empty index file beside good rows, an empty data file.
  CopyFile(paging + "myi_3.frm", db + "both.frm");
  dir.Write("zero/both.MYI", "");
  dir.Write("zero/both.MYD", "");
  CopyMyisamTable(db, "noindex");
  dir.Write("zero/noindex.MYI", "");
  CopyMyisamTable(db, "nodata");
  dir.Write("zero/nodata.MYD", "");
  // InnoDB: an empty tablespace, with an empty ibdata1 beside it.
  CopyFile(paging + "inno_3.frm", db + "inno.frm");
  dir.Write("zero/inno.ibd", "");
  dir.Write("zero/empty.frm", "");
  dir.Write("zero/both.TRG", "");
  dir.MakeDir("zero/folder.frm");
  dir.MakeDir("zero/folder.TRG");

  Watchdog watchdog("empty files", kCaseLimit);
  Harness h;
  h.Scan(dir.Path());
  ExpectScanCompleted(h, "empty files");
  const std::vector<std::string> messages = h.ui.MessageTexts();
  EXPECT_NE(std::find(messages.begin(), messages.end(),
                      "Ibdata1File Cannot be opened.Do you want to browse ibdata1 File Manually?"),
            messages.end());
  std::vector<std::string> tables;
  for (const TableEntry& e : h.wf.tableEntries) tables.push_back(e.tableName);
  EXPECT_EQ(tables, (std::vector<std::string>{"both", "inno", "nodata", "noindex"}));
  ASSERT_EQ(h.wf.triggerEntries.size(), 1u);
  EXPECT_EQ(h.wf.triggerEntries[0].fileName, "both.TRG");

  struct Case {
    std::string table;
    size_t rows;
  };
  for (const Case& c : std::vector<Case>{{"both", 0}, {"inno", 0}, {"nodata", 0}, {"noindex", 3}}) {
    ASSERT_EQ(h.Click({"zero", "Tables", c.table}), 1) << c.table;
    EXPECT_EQ(h.ui.Caption(), c.table + "[" + std::to_string(c.rows) + "]");
    EXPECT_EQ(h.ui.Columns().size(), 3u) << c.table;
    EXPECT_EQ(h.ui.NextEnabled(), c.rows > 0) << c.table;
    ExpectIdle(h, c.table);
  }
  ASSERT_EQ(h.Click({"zero", "Trigger", "both"}), 1);
  EXPECT_EQ(h.ui.TextBox(), "");
  ClickEverything(h);
}

// An ibdata1 that holds no dictionary is reported as one that cannot be opened, and the tables with
// an .ibd of their own are still read (as without ibdata1).
TEST(BadInput, SystemTablespaceWithoutADictionary) {
  if (!HaveFixtures()) GTEST_SKIP() << "no fixture data directory";
  const std::string paging = FixtureDataDir() + "paging/";
  const std::string whole = ReadFileBytes(FixtureDataDir() + "ibdata1");
  ASSERT_GT(whole.size(), 5u * 16384u);
  struct Case {
    std::string name;
    std::string bytes;
  };
  for (const Case& c : std::vector<Case>{{"empty", ""},
                                         {"half a page", std::string(8192, '\0')},
                                         {"cut after page 4", whole.substr(0, 5 * 16384)}}) {
    TempDir dir;
    dir.Write("ibdata1", c.bytes);
    CopyFile(paging + "inno_3.frm", dir.Path() + "db/inno_3.frm");
    CopyFile(paging + "inno_3.ibd", dir.Path() + "db/inno_3.ibd");
    Watchdog watchdog(c.name, kCaseLimit);
    Harness h;
    h.Scan(dir.Path());
    ExpectScanCompleted(h, c.name);
    const std::vector<std::string> messages = h.ui.MessageTexts();
    EXPECT_NE(std::find(messages.begin(), messages.end(),
                        "Ibdata1File Cannot be opened.Do you want to browse ibdata1 File Manually?"),
              messages.end())
        << c.name;
    EXPECT_FALSE(h.wf.reader.SystemTablespaceOpen()) << c.name;
    ASSERT_EQ(h.Click({"db", "Tables", "inno_3"}), 1) << c.name;
    EXPECT_EQ(h.ui.Caption(), "inno_3[3]") << c.name;
    ExpectIdle(h, c.name);
  }
}

TEST(BadInput, TenThousandEmptyDatabaseFolders) {
  constexpr int kFolders = 10000;
  TempDir dir;
  for (int i = 0; i < kFolders; ++i) fs::create_directory(dir.Path() + "db" + std::to_string(100000 + i));

  Watchdog watchdog("10000 folders", kCaseLimit);
  Harness h;
  const auto start = std::chrono::steady_clock::now();
  h.Scan(dir.Path());
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  ::testing::Test::RecordProperty("scan_seconds", std::to_string(seconds));
  std::cout << "scan of " << kFolders << " empty database folders: " << seconds << " s\n";

  ExpectScanCompleted(h, "10000 folders");
  ASSERT_EQ(h.wf.databaseFolders.size(), static_cast<size_t>(kFolders));
  EXPECT_EQ(h.wf.databaseFolders.front(), dir.Path() + "db100000");
  EXPECT_EQ(h.wf.databaseFolders.back(), dir.Path() + "db109999");
  EXPECT_EQ(h.ui.TreeLines().size(), static_cast<size_t>(2 + 2 * kFolders));
  ASSERT_EQ(h.Click({"db109999", "Tables"}), 1);
  ExpectIdle(h, "last folder");
}

}  // namespace
}  // namespace wexholt::testing
