// The main window on the sample data directory: Open through the dialog, the tree it builds, table,
// "Keys", view and trigger items, paging, the CSV export, the refusals while busy, and Close.
#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

#include "FileSettingDialog.h"
#include "SaveDatabaseDialog.h"
#include "ShellTestSupport.h"
#include "TestRegistry.h"

using namespace wexholt;
using namespace wexholt::shell;
using namespace wexholt::shell::testing;

namespace {

QStringList ChildLabels(DatabaseTreeModel* model, const QModelIndex& parent) {
  QStringList out;
  for (int row = 0; row < model->rowCount(parent); ++row) out.append(model->index(row, 0, parent).data().toString());
  return out;
}

QModelIndex ChildNamed(DatabaseTreeModel* model, const QModelIndex& parent, const QString& label) {
  for (int row = 0; row < model->rowCount(parent); ++row) {
    QModelIndex child = model->index(row, 0, parent);
    if (child.data().toString() == label) return child;
  }
  return {};
}

QStringList Headings(const RecordModel* model) {
  QStringList out;
  for (int c = 0; c < model->columnCount(); ++c) out.append(model->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString());
  return out;
}

QStringList OutputLines(QListWidget* list) {
  QStringList out;
  for (int k = 0; k < list->count(); ++k) out.append(list->item(k)->text());
  return out;
}

QString Caption(MainWindow& w) { return QString::fromStdString(w.Caption()->CaptionText()); }

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<CBrenmoorApp> app_;
  std::unique_ptr<ShellRecorder> recorder_;
  std::unique_ptr<MainWindow> window_;
  QTemporaryDir logDir_;

  TreeItem Item(const QString& database, const QString& name) { return window_->FindItem(database, name); }
  TreeItem KeysOf(const QString& table) {
    DatabaseTreeModel* model = window_->TreeModel();
    QModelIndex keys = ChildNamed(model, model->IndexOf(Item(QStringLiteral("shop"), table)), QStringLiteral("Keys"));
    return model->ItemAt(keys);
  }

 private slots:
  void initTestCase() {
    app_ = std::make_unique<CBrenmoorApp>();
    recorder_ = std::make_unique<ShellRecorder>();
    window_ = MakeShownWindow(*app_);
    QVERIFY(window_);
  }

  void cleanupTestCase() {
    window_.reset();
    recorder_.reset();
    app_.reset();
  }

  void startsWithItsFirstLines() {
    QCOMPARE(Caption(*window_), QStringLiteral("Select MySQL database file to continue the recovery process."));
    QCOMPARE(OutputLines(window_->Output()), QStringList{QStringLiteral("select database file to continue the recovery process.")});
    QCOMPARE(app_->log.outputLine, 1);
    QVERIFY(!window_->Progress()->isVisible());
    QVERIFY(!window_->RibbonBar()->Button(kCommandStop)->isEnabled());
    QVERIFY(window_->Panel()->TextBox()->isVisible());
    QVERIFY(!window_->Panel()->Grid()->isVisible());
    QVERIFY(!window_->Panel()->NextButton()->isVisible());
    QCOMPARE(window_->windowTitle(), QStringLiteral("Corvalt Wexholt v22.0"));
    QCOMPARE(window_->TreePane()->windowTitle(), QStringLiteral("MySQL Database Objects"));
    QCOMPARE(window_->OutputPane()->windowTitle(), QStringLiteral("Output"));
  }

  void openChecksTheDialogThenBuildsTheTree() {
    ShellRecorder& rec = *recorder_;
    rec.Forget();
    bool stayedOpen = false;
    rec.onDialog = [&](QDialog* dialog) {
      auto* files = qobject_cast<FileSettingDialog*>(dialog);
      QVERIFY(files);
      // OK with the database path left empty: the first message, and the dialog stays.
      QTest::mouseClick(files->OkButton(), Qt::LeftButton);
      stayedOpen = files->isVisible();
      files->DatabasePathEdit()->setText(QStringLiteral(WEXHOLT_SAMPLE_DATA));  // no '/' typed
      files->LogPathEdit()->setText(logDir_.path());
      QTest::mouseClick(files->OkButton(), Qt::LeftButton);
    };
    QSignalSpy finished(window_.get(), &MainWindow::scanFinished);
    window_->OnCommand(kCommandOpen);
    QVERIFY(finished.count() > 0 || finished.wait(20000));
    rec.onDialog = nullptr;
    QCoreApplication::processEvents();

    QVERIFY(stayedOpen);
    QCOMPARE(rec.Texts(), (QStringList{QStringLiteral("Please select valid database file path to continue the recovery process."),
                                       QStringLiteral("Scanning completed for selected database file(s)")}));
    QCOMPARE(int(rec.messages.back().icon), int(MessageIcon::kInformation));
    QCOMPARE(QString::fromStdString(app_->databasePath), SampleDataPath());
    QCOMPARE(QString::fromStdString(app_->logFolder), logDir_.path() + QLatin1Char('/'));

    DatabaseTreeModel* model = window_->TreeModel();
    QCOMPARE(ChildLabels(model, {}), QStringList{QStringLiteral("MYSQL database")});
    const QModelIndex root = model->index(0, 0);
    QCOMPARE(ChildLabels(model, root), QStringList{SampleDataPath()});
    const QModelIndex pathItem = model->index(0, 0, root);
    QVERIFY(window_->Tree()->isExpanded(root));
    QVERIFY(window_->Tree()->isExpanded(pathItem));
    QCOMPARE(ChildLabels(model, pathItem), QStringList{QStringLiteral("shop")});
    const QModelIndex shop = model->index(0, 0, pathItem);
    QCOMPARE(ChildLabels(model, shop), (QStringList{QStringLiteral("Tables"), QStringLiteral("Views"), QStringLiteral("Trigger")}));
    const QModelIndex tables = ChildNamed(model, shop, QStringLiteral("Tables"));
    QCOMPARE(ChildLabels(model, tables), (QStringList{QStringLiteral("audit_log"), QStringLiteral("customers"),
                                                       QStringLiteral("orders"), QStringLiteral("products")}));
    for (int row = 0; row < model->rowCount(tables); ++row) {
      const QModelIndex table = model->index(row, 0, tables);
      QCOMPARE(table.data(Qt::UserRole).toInt(), row + 1);
      QCOMPARE(ChildLabels(model, table), QStringList{QStringLiteral("Keys")});
      QCOMPARE(model->index(0, 0, table).data(Qt::UserRole).toInt(), kItemKeys);
      QCOMPARE(model->Tree().Find(TreeItem(model->index(0, 0, table).internalId()))->image, kTreeImageKeys);
    }
    const QModelIndex views = ChildNamed(model, shop, QStringLiteral("Views"));
    QCOMPARE(views.data(Qt::UserRole).toInt(), kItemViewsFolder);
    QCOMPARE(model->Tree().Find(TreeItem(views.internalId()))->image, kTreeImageViews);
    QCOMPARE(ChildLabels(model, views), (QStringList{QStringLiteral("order_totals"), QStringLiteral("vip_customers")}));
    const QModelIndex trigger = ChildNamed(model, shop, QStringLiteral("Trigger"));
    QCOMPARE(trigger.data(Qt::UserRole).toInt(), kItemTriggerFolder);
    QCOMPARE(model->Tree().Find(TreeItem(trigger.internalId()))->image, kTreeImageTrigger);
    QCOMPARE(ChildLabels(model, trigger), QStringList{QStringLiteral("orders")});

    const QStringList lines = OutputLines(window_->Output());
    QCOMPARE(lines.first(), QStringLiteral("Finding Database and tables"));
    QVERIFY(lines.contains(QStringLiteral("Processing ibdata1 File")));
    QCOMPARE(lines.last(), QStringLiteral("scanning completed."));
    QCOMPARE(Caption(*window_), QStringLiteral("Scanning completed for selected database file(s).\r\n"));
    QCOMPARE(app_->busy.load(), 0);
    QVERIFY(!window_->Progress()->isVisible());
    QTRY_VERIFY(!window_->RibbonBar()->Button(kCommandStop)->isEnabled());
    QVERIFY(QFile::exists(QString::fromStdString(app_->log.LogFilePath())));
    QVERIFY(QString::fromStdString(app_->log.LogFilePath()).contains(QStringLiteral("/CorvaltWexholt_log_")));
  }

  void tableLabelClickShowsFirstPageAndPagesBothWays() {
    ShellRecorder& rec = *recorder_;
    rec.Forget();
    GridPanel* panel = window_->Panel();
    QElapsedTimer timer;
    timer.start();
    ClickLabel(*window_, Item(QStringLiteral("shop"), QStringLiteral("orders")));
    const qint64 elapsed = timer.elapsed();
    qInfo("orders: first page of 1000 rows shown %lld ms after the click", elapsed);
    QVERIFY2(elapsed < 3000, "a page of 1000 rows takes too long");

    QCOMPARE(Caption(*window_), QStringLiteral("orders[1000]"));
    QCOMPARE(panel->Records()->rowCount(), 1000);
    QCOMPARE(Headings(panel->Records()), (QStringList{QStringLiteral("id"), QStringLiteral("customer_id"), QStringLiteral("product_id"),
                                                     QStringLiteral("quantity"), QStringLiteral("ordered_at"), QStringLiteral("status"),
                                                     QStringLiteral("note")}));
    QCOMPARE(panel->Records()->Cell(0, 0), QStringLiteral("1"));
    QCOMPARE(panel->Records()->Cell(999, 0), QStringLiteral("1000"));
    QVERIFY(panel->Grid()->isVisible());
    QVERIFY(!panel->TextBox()->isVisible());
    QVERIFY(panel->NextButton()->isVisible() && panel->PreviousButton()->isVisible());
    QVERIFY(panel->NextButton()->isEnabled());
    QVERIFY(!panel->PreviousButton()->isEnabled());
    QVERIFY(window_->Tree()->isEnabled());
    QVERIFY(!window_->Tree()->Dimmed());
    QVERIFY(rec.messages.empty());
    const QStringList lines = OutputLines(window_->Output());
    QVERIFY(lines.contains(QStringLiteral("Please wait while orders folder is scanning.")));
    QCOMPARE(lines.last(), QStringLiteral("Scanning process completed."));

    QTest::mouseClick(panel->NextButton(), Qt::LeftButton);
    QCOMPARE(Caption(*window_), QStringLiteral("1000 rows to 1500"));
    QCOMPARE(panel->Records()->rowCount(), 500);
    QCOMPARE(panel->Records()->Cell(0, 0), QStringLiteral("1001"));
    QCOMPARE(rec.Texts(), QStringList{QStringLiteral("No more records in table")});
    QVERIFY(!panel->NextButton()->isEnabled());
    QVERIFY(panel->PreviousButton()->isEnabled());

    QTest::mouseClick(panel->PreviousButton(), Qt::LeftButton);
    QCOMPARE(Caption(*window_), QStringLiteral("0 rows to 1000"));
    QCOMPARE(panel->Records()->rowCount(), 1000);
    QCOMPARE(panel->Records()->Cell(0, 0), QStringLiteral("1"));
    QVERIFY(panel->NextButton()->isEnabled());
    QVERIFY(!panel->PreviousButton()->isEnabled());
    QCOMPARE(app_->busy.load(), 0);
    QVERIFY(!window_->Progress()->isVisible());
  }

  void clicksBesideTheLabelShowNothing() {
    DatabaseTreeView* tree = window_->Tree();
    window_->resizeDocks({window_->TreePane()}, {420}, Qt::Horizontal);
    QCoreApplication::processEvents();
    const TreeItem products = Item(QStringLiteral("shop"), QStringLiteral("products"));
    const QModelIndex index = window_->TreeModel()->IndexOf(products);
    const QString before = Caption(*window_);
    const int linesBefore = window_->Output()->count();

    // The expand button sits in the indentation left of the item.
    const QRect rect = tree->visualRect(index);
    const QPoint expandButton(rect.left() - tree->indentation() / 2, rect.center().y());
    QVERIFY(!tree->isExpanded(index));
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, expandButton);
    QCoreApplication::processEvents();
    QVERIFY(tree->isExpanded(index));
    QCOMPARE(tree->currentIndex(), index);

    // Right of the label, in the same row.
    const TreeItemLayout layout = tree->LayoutOf(index);
    QVERIFY(layout.label.right() + 10 < tree->viewport()->width());
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, QPoint(layout.label.right() + 8, layout.label.center().y()));
    QCoreApplication::processEvents();
    // On the image.
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, layout.image.center());
    QCoreApplication::processEvents();

    QCOMPARE(Caption(*window_), before);
    QCOMPARE(window_->Output()->count(), linesBefore);
  }

  void keysItemShowsTheColumnList() {
    ClickLabel(*window_, KeysOf(QStringLiteral("customers")));
    RecordModel* records = window_->Panel()->Records();
    QCOMPARE(Headings(records), (QStringList{QStringLiteral("Column Name"), QStringLiteral("Data Type"), QStringLiteral("size"),
                                            QStringLiteral("Allow Nulls"), QStringLiteral("Key Name")}));
    QCOMPARE(records->rowCount(), 6);
    QCOMPARE(records->Cell(0, 0), QStringLiteral("id"));
    QCOMPARE(records->Cell(0, 3), QStringLiteral("False"));
    QCOMPARE(records->Cell(0, 4), QStringLiteral("Primary Key"));
    QCOMPARE(records->Cell(2, 0), QStringLiteral("email"));
    QCOMPARE(records->Cell(2, 3), QStringLiteral("True"));
    QCOMPARE(records->Cell(2, 4), QStringLiteral("Unique Key"));
    QCOMPARE(records->Cell(3, 4), QString());
    QCOMPARE(Caption(*window_), QStringLiteral("Keys[6]"));
    QVERIFY(!window_->Panel()->NextButton()->isEnabled());
    QVERIFY(!window_->Panel()->PreviousButton()->isEnabled());
  }

  void viewAndTriggerShowTheirStatements() {
    GridPanel* panel = window_->Panel();
    ClickLabel(*window_, Item(QStringLiteral("shop"), QStringLiteral("order_totals")));
    QVERIFY(panel->TextBox()->isVisible());
    QVERIFY(!panel->Grid()->isVisible());
    QString text = panel->TextBox()->toPlainText();
    QVERIFY2(text.contains(QStringLiteral("CREATE")) && text.contains(QStringLiteral("VIEW")) &&
                 text.contains(QStringLiteral("order_totals")),
             qPrintable(text));
    QCOMPARE(Caption(*window_), QStringLiteral("order_totals"));

    DatabaseTreeModel* model = window_->TreeModel();
    const QModelIndex shop = model->parent(model->parent(model->IndexOf(Item(QStringLiteral("shop"), QStringLiteral("orders")))));
    const QModelIndex trigger = model->index(0, 0, ChildNamed(model, shop, QStringLiteral("Trigger")));
    ClickLabel(*window_, model->ItemAt(trigger));
    text = panel->TextBox()->toPlainText();
    QVERIFY2(text.contains(QStringLiteral("CREATE")) && text.contains(QStringLiteral("TRIGGER")) &&
                 text.contains(QStringLiteral("orders_ai")),
             qPrintable(text));
    QVERIFY(!text.contains(QLatin1Char('\r')));
    QCOMPARE(panel->Records()->rowCount(), 0);
  }

  void csvExportProposesLabelAndWritesTheGrid() {
    ShellRecorder& rec = *recorder_;
    ClickLabel(*window_, Item(QStringLiteral("shop"), QStringLiteral("customers")));
    QCOMPARE(Caption(*window_), QStringLiteral("customers[36]"));
    QTemporaryDir dir;
    rec.Forget();
    rec.fileDialogAnswer = dir.filePath(QStringLiteral("customers_.csv"));
    QTest::mouseClick(window_->RibbonBar()->Button(kCommandExportCsv), Qt::LeftButton);
    rec.fileDialogAnswer.clear();
    QCOMPARE(rec.fileDialogKind, QStringLiteral("save"));
    QCOMPARE(rec.fileDialogProposedName, QStringLiteral("customers_"));
    QCOMPARE(rec.fileDialogExtension, QStringLiteral("csv"));
    QCOMPARE(rec.Texts(), QStringList{QStringLiteral("File saved successfully.")});
    QFile file(dir.filePath(QStringLiteral("customers_.csv")));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    const QString text = QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData()), bytes.size() / 2);
    QVERIFY(text.startsWith(QStringLiteral("id,name,email,city,created,vip\r\n")));
    QCOMPARE(text.count(QStringLiteral("\r\n")), 37);
  }

  void nothingCheckedRefusesSave() {
    recorder_->Forget();
    QTest::mouseClick(window_->RibbonBar()->Button(kCommandSave), Qt::LeftButton);
    QCOMPARE(recorder_->Texts(), QStringList{QStringLiteral("Please select folder to save the database")});
  }

  void saveWritesTheCheckedTableAsAScript() {
    ShellRecorder& rec = *recorder_;
    DatabaseTreeModel* model = window_->TreeModel();
    const TreeItem customers = Item(QStringLiteral("shop"), QStringLiteral("customers"));
    QVERIFY(model->SetChecked(customers, true));
    QTemporaryDir folder;
    rec.Forget();
    rec.onDialog = [&](QDialog* dialog) {
      auto* save = qobject_cast<SaveDatabaseDialog*>(dialog);
      QVERIFY(save);
      save->SelectSaveAsScript();
      save->FolderEdit()->setText(folder.path());
      save->Ok();
    };
    QSignalSpy finished(window_.get(), &MainWindow::saveFinished);
    QTest::mouseClick(window_->RibbonBar()->Button(kCommandSave), Qt::LeftButton);
    rec.onDialog = nullptr;
    QVERIFY(app_->busy.load() == 1 || finished.count() > 0);
    QVERIFY(finished.count() > 0 || finished.wait(20000));
    QCOMPARE(app_->busy.load(), 0);
    QVERIFY(!window_->Progress()->isVisible());
    const QString summary = QStringLiteral("Save completed: 1 table(s) saved, 0 not saved, 36 row(s).");
    QCOMPARE(rec.Texts(), QStringList{summary});
    QCOMPARE(OutputLines(window_->Output()).last(), summary);
    QFile script(folder.filePath(QStringLiteral("shop.sql")));
    QVERIFY(script.open(QIODevice::ReadOnly));
    QVERIFY(script.readAll().contains("customers"));
    // The grid on screen still shows display text.
    QVERIFY(!app_->decoder.SaveMode());
    QVERIFY(model->SetChecked(customers, false));
  }

  void busyRefusesEveryCommandButStop_data() {
    QTest::addColumn<int>("action");
    QTest::addColumn<QString>("expected");
    const QString wait = QStringLiteral("Please wait for the running process.");
    const QString stopFirst = QStringLiteral("Please stop the running process to continue the process.");
    QTest::newRow("open") << kCommandOpen << wait;
    QTest::newRow("save") << kCommandSave << wait;
    QTest::newRow("export") << kCommandExportCsv << wait;
    QTest::newRow("next page") << kMessageNextPage << wait;
    QTest::newRow("previous page") << kMessagePreviousPage << wait;
    QTest::newRow("tree click") << kMessageShowTreeItem << wait;
    QTest::newRow("help") << kCommandHelp << stopFirst;
    QTest::newRow("about") << kCommandAbout << stopFirst;
    QTest::newRow("close") << 0 << QStringLiteral("Please stop the running process to close the application.");
  }

  void busyRefusesEveryCommandButStop() {
    QFETCH(int, action);
    QFETCH(QString, expected);
    ShellRecorder& rec = *recorder_;
    ClickLabel(*window_, Item(QStringLiteral("shop"), QStringLiteral("products")));
    const QString caption = Caption(*window_);
    const QModelIndex shown = window_->Tree()->currentIndex();
    rec.Forget();
    rec.openedUrls.clear();
    app_->busy.store(1);
    QTRY_VERIFY(window_->RibbonBar()->Button(kCommandStop)->isEnabled());
    switch (action) {
      case kMessageNextPage:
      case kMessagePreviousPage: window_->HandleMessage(action); break;
      case kMessageShowTreeItem: ClickLabel(*window_, Item(QStringLiteral("shop"), QStringLiteral("audit_log"))); break;
      case 0: window_->close(); break;
      default: QTest::mouseClick(window_->RibbonBar()->Button(action), Qt::LeftButton); break;
    }
    app_->busy.store(0);
    QCOMPARE(rec.Texts(), QStringList{expected});
    QCOMPARE(int(rec.messages.front().icon), int(MessageIcon::kInformation));
    QCOMPARE(Caption(*window_), caption);
    QCOMPARE(window_->Tree()->currentIndex(), shown);  // a refused click gives the selection back
    QVERIFY(rec.exitCodes.empty());
    QVERIFY(rec.openedUrls.isEmpty());
    QTRY_VERIFY(!window_->RibbonBar()->Button(kCommandStop)->isEnabled());
  }

  void stopAsksThenClearsBusy() {
    recorder_->Forget();
    app_->busy.store(1);
    recorder_->answers.push_back(MessageAnswer::kYes);
    window_->OnCommand(kCommandStop);
    QCOMPARE(recorder_->Texts(), QStringList{QStringLiteral("Are you sure to stop the running process?")});
    QCOMPARE(app_->busy.load(), 0);
    QCOMPARE(app_->stopRequested.load(), 1);
    app_->stopRequested.store(0);
  }

  void helpAndAboutWhenIdle() {
    ShellRecorder& rec = *recorder_;
    rec.Forget();
    rec.openedUrls.clear();
    QTest::mouseClick(window_->RibbonBar()->Button(kCommandHelp), Qt::LeftButton);
    QCOMPARE(rec.openedUrls.size(), 1);
    QVERIFY2(rec.openedUrls[0].startsWith(QStringLiteral("file:")) && rec.openedUrls[0].endsWith(QStringLiteral("/help/index.html")),
             qPrintable(rec.openedUrls[0]));
    QString shown;
    rec.onDialog = [&](QDialog* dialog) {
      shown = dialog->objectName();
      dialog->accept();
    };
    QTest::mouseClick(window_->RibbonBar()->Button(kCommandAbout), Qt::LeftButton);
    rec.onDialog = nullptr;
    QCOMPARE(shown, QStringLiteral("aboutBox"));
    QVERIFY(rec.messages.empty());
  }

  void gridButtonsKeepTheirPlaceOnResize() {
    GridPanel* panel = window_->Panel();
    for (QSize size : {QSize(1280, 800), QSize(900, 600), QSize(1400, 900)}) {
      window_->resize(size);
      QCoreApplication::processEvents();
      const int cx = panel->width(), cy = panel->height();
      QCOMPARE(panel->PreviousButton()->geometry(), QRect(cx - 120, cy - 31, 50, 25));
      QCOMPARE(panel->NextButton()->geometry(), QRect(cx - 65, cy - 31, 50, 25));
      QCOMPARE(panel->Grid()->geometry(), QRect(0, 0, cx, cy - 35));
      QCOMPARE(window_->Progress()->geometry(), QRect(250, 3, window_->statusBar()->width() - 560, 17));
    }
  }

  void closeAnsweredYesShowsTheLogAndEndsWith255() {
    ShellRecorder& rec = *recorder_;
    rec.Forget();
    rec.answers.push_back(MessageAnswer::kNo);
    window_->close();
    QCOMPARE(rec.Texts(), QStringList{QStringLiteral("Do you want to close the application?")});
    QCOMPARE(int(rec.messages.front().icon), int(MessageIcon::kQuestion));
    QVERIFY(rec.exitCodes.empty());

    rec.Forget();
    rec.openedUrls.clear();
    rec.answers.push_back(MessageAnswer::kYes);
    window_->close();
    QCOMPARE(rec.Texts(), (QStringList{QStringLiteral("Do you want to close the application?"),
                                       QStringLiteral("Log file path : ") + QString::fromStdString(app_->log.LogFilePath())}));
    QCOMPARE(rec.exitCodes, std::vector<int>{kCloseExitCode});
    QVERIFY(!app_->log.LogFilePath().empty());
    QCOMPARE(rec.openedUrls.size(), 1);
    QVERIFY(window_->isVisible());  // the process ends by the exit, not by closing the window
  }

  void closeBeforeAnyOpenHasNoLogNotice() {
    CBrenmoorApp app;
    ShellRecorder rec;
    auto window = MakeShownWindow(app);
    QVERIFY(window);
    rec.answers.push_back(MessageAnswer::kYes);
    window->close();
    QCOMPARE(rec.Texts(), QStringList{QStringLiteral("Do you want to close the application?")});
    QCOMPARE(rec.exitCodes, std::vector<int>{kCloseExitCode});
  }
};

static const int registered = RegisterTest([] { return new MainWindowTest; });

#include "MainWindowTest.moc"
