// The scan of a data path into the lists and the tree, Stop, and the refusals while busy.
#include <gtest/gtest.h>

#include <condition_variable>
#include <future>
#include <mutex>
#include <thread>

#include "workflow/WorkflowHarness.h"

namespace wexholt::testing {
namespace {

// Two databases; files in the data path itself; every kind of file a database folder can hold.
struct TwoDatabaseDir {
  TempDir dir;
  TwoDatabaseDir() {
    dir.Write("top.frm", TableFrmBytes());  // files in the data path are not listed
    dir.Write("notes.trg", "x");
    dir.Write("db1/city.frm", TableFrmBytes());
    dir.Write("db1/city_view.frm", ViewFrmBytes());
    dir.Write("db1/junk.frm", "TYPE=VIEX and more text");
    dir.Write("db1/tiny.frm", "\xFE");
    dir.Write("db1/empty.frm", "");
    dir.Write("db1/orders.TRG", "x");
    dir.Write("db1/items.trg", "x");
    dir.Write("db1/cart.trg", "x");
    dir.Write("db1/orders_ai.TRN", "x");
    dir.Write("db1/readme", "no extension");
    dir.Write("db1/city.MYD", "");
    dir.MakeDir("db1/nested.frm");  // a folder is never a file of the database
    dir.Write("db2/CITY.FRM", TableFrmBytes());
    dir.Write("db2/v2.frm", ViewFrmBytes());
    dir.Write("db2/v3.frm", ViewFrmBytes());
  }
};

TEST(Scan, TreeShapeItemDataAndLists) {
  TwoDatabaseDir data;
  Harness h;
  h.Scan(data.dir.Path());
  const std::string& root = data.dir.Path();

  const std::vector<std::string> expected = {
      "MYSQL database [-1] img 0",
      "  " + root + " [-1] img 0",
      "    db1 [-1] img 0",
      "      Tables [-1] img 0",
      "        city [1] img 0",
      "          Keys [-2] img 2",
      "      Trigger [-3] img 21",
      "        cart [1] img 0",
      "        items [2] img 0",
      "        orders [3] img 0",
      "      Views [-4] img 15",
      "        city_view [1] img 0",
      "    db2 [-1] img 0",
      "      Tables [-1] img 0",
      "        CITY [2] img 0",
      "          Keys [-2] img 2",
      "      Views [-4] img 15",
      "        v2 [2] img 0",
      "        v3 [3] img 0",
  };
  EXPECT_EQ(h.ui.TreeLines(), expected);

  EXPECT_EQ(h.wf.dataPath, root);
  EXPECT_EQ(h.wf.databaseFolders, (std::vector<std::string>{root + "db1", root + "db2"}));
  ASSERT_EQ(h.wf.tableEntries.size(), 2u);
  EXPECT_EQ(h.wf.tableEntries[0].databaseIndex, 0);
  EXPECT_EQ(h.wf.tableEntries[0].tableName, "city");
  EXPECT_EQ(h.wf.tableEntries[1].databaseIndex, 1);
  EXPECT_EQ(h.wf.tableEntries[1].tableName, "CITY");
  EXPECT_EQ(h.wf.viewPaths,
            (std::vector<std::string>{root + "db1/city_view.frm", root + "db2/v2.frm", root + "db2/v3.frm"}));
  ASSERT_EQ(h.wf.triggerEntries.size(), 3u);
  EXPECT_EQ(h.wf.triggerEntries[0].fileName, "cart.trg");
  EXPECT_EQ(h.wf.triggerEntries[0].text, "");
  EXPECT_EQ(h.wf.triggerEntries[0].folderPath, root + "db1");
  EXPECT_EQ(h.wf.triggerEntries[2].fileName, "orders.TRG");

  // The root and the data-path item are expanded; nothing else.
  h.ui.WithTree([](CheckTree& tree) {
    for (TreeItem t : tree.PreOrder()) {
      bool top = tree.Parent(t) == kNoTreeItem || tree.Parent(tree.Parent(t)) == kNoTreeItem;
      EXPECT_EQ(tree.Find(t)->expanded, top) << tree.Label(t);
    }
  });
  EXPECT_EQ(h.app.busy.load(), 0);
  EXPECT_FALSE(h.ui.ProgressVisible());
}

TEST(Scan, FrontEndCallsInOrder) {
  TwoDatabaseDir data;
  Harness h;
  h.Scan(data.dir.Path());
  const std::string& root = data.dir.Path();
  std::vector<std::string> calls;
  for (const std::string& c : h.ui.Calls()) {
    if (c.rfind("TreeInsert(", 0) != 0 && c.rfind("TreeExpand(", 0) != 0) calls.push_back(c);
  }
  const std::vector<std::string> expected = {
      "SelectDatabaseFile()",
      "TreeClear()",
      "TextBoxSet('')",
      "StatusLabelSet('')",
      "PreviousSetEnabled(false)",
      "NextSetEnabled(false)",
      "SetCaptionText('" + root + "')",
      "ProgressShow(true)",
      "OutputInsert(0,'" + root + " File is selected for recovery....')",
      "OutputClear()",
      "TreeClear()",
      "GridClear()",
      "TextBoxSet('')",
      "OutputInsert(0,'Finding Database and tables')",
      "OutputInsert(1,'Processing ibdata1 File')",
      "MessageBox('Ibdata1File Cannot be opened.Do you want to browse ibdata1 File Manually?',none,yesno)",
      "TreeRedraw()",
      "OutputInsert(2,'scanning completed.')",
      "MessageBox('Scanning completed for selected database file(s)',information,ok)",
      "ProgressShow(false)",
      "SetCaptionText('Scanning completed for selected database file(s).\r\n')",
      "ScanFinished()",
  };
  EXPECT_EQ(calls, expected);
  EXPECT_EQ(h.ui.Output(),
            (std::vector<std::string>{"Finding Database and tables", "Processing ibdata1 File", "scanning completed."}));
}

TEST(Scan, DataPathWithoutSubFoldersIsTheOneDatabase) {
  TempDir dir;
  std::string db = dir.MakeDir("shop");
  dir.Write("shop/orders.frm", TableFrmBytes());
  dir.Write("shop/orders.TRG", "x");
  Harness h;
  h.Scan(db);
  EXPECT_EQ(h.ui.TreeLines(), (std::vector<std::string>{
                                  "MYSQL database [-1] img 0",
                                  "  " + db + " [-1] img 0",
                                  "    shop [-1] img 0",
                                  "      Tables [-1] img 0",
                                  "        orders [1] img 0",
                                  "          Keys [-2] img 2",
                                  "      Trigger [-3] img 21",
                                  "        orders [1] img 0",
                              }));
  EXPECT_EQ(h.wf.databaseFolders, (std::vector<std::string>{dir.Path() + "shop"}));
  EXPECT_EQ(h.wf.tableEntries.at(0).databaseIndex, 0);
}

TEST(Scan, MissingOrUnlistableDataPathStillCompletes) {
  Harness h;
  h.Scan("/nonexistent-wexholt-folder/");
  // The stripped path still names a folder: one (empty) database item.
  EXPECT_EQ(h.ui.TreeLines().size(), 4u);
  EXPECT_EQ(h.app.busy.load(), 0);
  EXPECT_EQ(h.ui.MessageTexts().back(), "Scanning completed for selected database file(s)");
}

TEST(Scan, IbdataChosenByHandAfterYes) {
  TwoDatabaseDir data;
  Harness h;
  h.ui.QueueAnswer(MessageAnswer::kYes);
  h.ui.QueueOpenFile(data.dir.Path() + "no-such-ibdata1");
  h.Scan(data.dir.Path());
  EXPECT_EQ(h.ui.CallsStartingWith("FileOpenDialog(").size(), 1u);
  EXPECT_FALSE(h.wf.reader.SystemTablespaceOpen());
  EXPECT_EQ(h.app.busy.load(), 0);
}

TEST(Scan, RescanReplacesEverything) {
  TwoDatabaseDir data;
  Harness h;
  h.Scan(data.dir.Path());
  const std::vector<std::string> first = h.ui.TreeLines();
  h.Scan(data.dir.Path());
  EXPECT_EQ(h.ui.TreeLines(), first);
  EXPECT_EQ(h.wf.tableEntries.size(), 2u);
  EXPECT_EQ(h.wf.viewPaths.size(), 3u);
  EXPECT_EQ(h.wf.triggerEntries.size(), 3u);
}

// Holds the scan worker at its first database item until released.
class WorkerGate {
 public:
  void Attach(FakeFrontEnd& ui) {
    ui.onCall = [this](const std::string& call) {
      if (call.find("'db1'") == std::string::npos || call.rfind("TreeInsert(", 0) != 0) return;
      std::unique_lock<std::mutex> lock(mutex_);
      if (used_) return;
      used_ = true;
      held_ = true;
      changed_.notify_all();
      changed_.wait(lock, [this] { return released_; });
    };
  }
  void WaitUntilHeld() {
    std::unique_lock<std::mutex> lock(mutex_);
    ASSERT_TRUE(changed_.wait_for(lock, std::chrono::seconds(10), [this] { return held_; }));
  }
  void Release() {
    std::lock_guard<std::mutex> lock(mutex_);
    released_ = true;
    changed_.notify_all();
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  bool used_ = false, held_ = false, released_ = false;
};

struct ThreeDatabaseDir {
  TempDir dir;
  ThreeDatabaseDir() {
    for (const char* db : {"db1", "db2", "db3"}) dir.Write(std::string(db) + "/t.frm", TableFrmBytes());
  }
};

TEST(Stop, WorkerEndsEarlyAndStillReports) {
  ThreeDatabaseDir data;
  Harness h;
  WorkerGate gate;
  gate.Attach(h.ui);
  h.ui.QueueDatabaseFile(RunPaths{data.dir.Path(), "/tmp/", ""});
  h.wf.Open();
  gate.WaitUntilHeld();
  EXPECT_EQ(h.app.busy.load(), 1);

  h.ui.QueueAnswer(MessageAnswer::kYes);
  h.wf.Stop();
  EXPECT_EQ(h.ui.MessageTexts().back(), "Are you sure to stop the running process?");
  EXPECT_EQ(h.app.busy.load(), 0);
  EXPECT_EQ(h.app.stopRequested.load(), 1);
  // The worker has not ended yet: the commands still refuse.
  EXPECT_EQ(h.wf.ShowTreeItem(kNoTreeItem), 0);
  EXPECT_EQ(h.wf.NextPage(), 0);
  EXPECT_EQ(h.ui.MessageTexts().back(), "Please wait for the running process.");

  gate.Release();
  h.wf.WaitForScan();
  EXPECT_FALSE(h.wf.ScanRunning());
  EXPECT_EQ(h.app.busy.load(), 0);
  EXPECT_FALSE(h.ui.ProgressVisible());
  // db1 got its items, its files and the later folders were skipped, and so was ibdata1.
  EXPECT_NE(h.Item({"db1", "Tables"}), kNoTreeItem);
  EXPECT_EQ(h.Item({"db2"}), kNoTreeItem);
  EXPECT_TRUE(h.wf.tableEntries.empty());
  for (const std::string& text : h.ui.MessageTexts()) EXPECT_EQ(text.find("Ibdata1File"), std::string::npos);
  EXPECT_EQ(h.ui.MessageTexts().back(), "Scanning completed for selected database file(s)");
  EXPECT_EQ(h.ui.Output().back(), "scanning completed.");
}

TEST(Stop, AnsweredNoOrNotBusyChangesNothing) {
  Harness h;
  h.wf.Stop();
  EXPECT_TRUE(h.ui.Messages().empty());
  h.app.busy.store(1);
  h.wf.Stop();  // answered No by default
  EXPECT_EQ(h.app.busy.load(), 1);
  EXPECT_EQ(h.app.stopRequested.load(), 0);
}

TEST(Stop, NewOpenWaitsForTheStoppedWorker) {
  ThreeDatabaseDir data;
  Harness h;
  WorkerGate gate;
  gate.Attach(h.ui);
  h.ui.QueueDatabaseFile(RunPaths{data.dir.Path(), "/tmp/", ""});
  h.wf.Open();
  gate.WaitUntilHeld();
  h.ui.QueueAnswer(MessageAnswer::kYes);
  h.wf.Stop();

  // The second Open cannot start before the first worker has ended; release it a little later.
  std::thread releaser([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    gate.Release();
  });
  h.ui.QueueDatabaseFile(RunPaths{data.dir.Path(), "/tmp/", ""});
  h.wf.Open();
  h.wf.WaitForScan();
  releaser.join();

  EXPECT_EQ(h.app.stopRequested.load(), 0);
  EXPECT_EQ(h.wf.tableEntries.size(), 3u);
  EXPECT_NE(h.Item({"db3", "Tables", "t"}), kNoTreeItem);
  EXPECT_EQ(h.ui.CallsStartingWith("ScanFinished(").size(), 2u);
}

TEST(Busy, EveryCommandRefusesWhileBusy) {
  TwoDatabaseDir data;
  Harness h;
  h.Scan(data.dir.Path());
  TreeItem shown = h.Item({"db1", "Tables"});
  h.ui.TreeSelect(shown);
  ASSERT_EQ(h.wf.ShowTreeItem(shown), 1);
  h.ui.ClearCalls();
  h.ui.ClearMessages();

  h.app.busy.store(1);
  h.ui.TreeSelect(h.Item({"db2"}));
  EXPECT_EQ(h.wf.ShowTreeItem(h.Item({"db2"})), 0);
  EXPECT_EQ(h.ui.Calls(), (std::vector<std::string>{
                              "TreeSelect(" + std::to_string(h.Item({"db2"})) + ")",
                              "TreeSelect(" + std::to_string(shown) + ")",
                              "MessageBox('Please wait for the running process.',information,ok)",
                          }));
  EXPECT_EQ(h.wf.NextPage(), 0);
  EXPECT_EQ(h.wf.PreviousPage(), 0);
  h.wf.ExportGridToCsv();
  h.wf.Open();
  EXPECT_EQ(h.ui.MessageTexts(), std::vector<std::string>(5, "Please wait for the running process."));
  EXPECT_TRUE(h.ui.CallsStartingWith("SelectDatabaseFile(").empty());
  EXPECT_TRUE(h.ui.CallsStartingWith("FileSaveDialog(").empty());
  EXPECT_EQ(h.app.busy.load(), 1);
}

TEST(Busy, OpenCancelledChangesNothing) {
  TwoDatabaseDir data;
  Harness h;
  h.Scan(data.dir.Path());
  const auto lines = h.ui.TreeLines();
  h.ui.ClearCalls();
  h.wf.Open();  // the dialog queue is empty: cancelled
  EXPECT_EQ(h.ui.Calls(), (std::vector<std::string>{"SelectDatabaseFile()"}));
  EXPECT_EQ(h.ui.TreeLines(), lines);
}

}  // namespace
}  // namespace wexholt::testing
