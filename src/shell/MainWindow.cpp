#include "MainWindow.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QStatusBar>
#include <QVBoxLayout>

#include "AboutDialog.h"
#include "ApplicationLook.h"
#include "Artwork.h"
#include "FileSettingDialog.h"
#include "ShellHooks.h"
#include "SplashScreen.h"

namespace wexholt::shell {
namespace {

QString FromUtf8(const std::string& text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

// Output lines are shown without the line break some of them carry for the log.
QString OutputText(const std::string& line) {
  QString s = FromUtf8(line);
  while (s.endsWith(QLatin1Char('\n')) || s.endsWith(QLatin1Char('\r'))) s.chop(1);
  return s;
}

// The progress indicator, when shown, advances by one step per tick and starts again at 0 after
// 1000 steps.
constexpr int kProgressSteps = 1000;
constexpr int kProgressTickMilliseconds = 10;

}  // namespace

MainWindow::MainWindow(CBrenmoorApp& app, MainWindowOptions options, QWidget* parent)
    : QMainWindow(parent), app_(app) {
  // Construction: the stored look, nothing busy, no page state.
  look_ = LoadApplicationLook();
  app_.applicationLook = look_;
  app_.busy.store(0);
  app_.stopRequested.store(0);
  workflow_ = std::make_unique<RecoveryWorkflow>(app_, *this);

  setWindowTitle(QString::fromUtf8(kApplicationTitle));
  setWindowIcon(ApplicationIcon());
  setObjectName(QStringLiteral("mainFrame"));

  if (options.showSplash) {
    auto* splash = new SplashScreen(this, QStringLiteral("v22.0"));
    splash->Start();
  }

  // Ribbon and caption bar above the central view.
  ribbon_ = new Ribbon(this);
  connect(ribbon_, &Ribbon::command, this, &MainWindow::OnCommand);
  caption_ = new CaptionBar(this);
  panel_ = new GridPanel(this);
  auto* view = new QWidget(this);
  auto* column = new QVBoxLayout(view);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  column->addWidget(panel_, 1);
  setMenuWidget([this] {
    auto* top = new QWidget(this);
    auto* layout = new QVBoxLayout(top);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(ribbon_);
    layout->addWidget(caption_);
    return top;
  }());
  setCentralWidget(view);
  connect(panel_, &GridPanel::previousPageRequested, this, [this] { HandleMessage(kMessagePreviousPage); });
  connect(panel_, &GridPanel::nextPageRequested, this, [this] { HandleMessage(kMessageNextPage); });

  BuildStatusBar();
  BuildPanes();
  BuildApplicationMenu();
  ApplyLook(look_);

  caption_->SetCaptionText(kInitialCaption);
  progress_->hide();
  output_->insertItem(0, QString::fromLatin1(kInitialOutputLine));
  app_.log.outputLine = 1;
  if (app_.log.IsOpen()) app_.log.Close();

  // Stop is enabled only while busy; the flag is polled.
  commandTimer_.setInterval(100);
  connect(&commandTimer_, &QTimer::timeout, this, &MainWindow::UpdateCommandStates);
  commandTimer_.start();
  UpdateCommandStates();

  progressTimer_.setInterval(kProgressTickMilliseconds);
  connect(&progressTimer_, &QTimer::timeout, this, [this] {
    progress_->setValue(progress_->value() >= kProgressSteps ? 0 : progress_->value() + 1);
  });
  resize(1200, 800);
}

MainWindow::~MainWindow() {
  if (saveWorker_.joinable()) {
    app_.stopRequested.store(1);
    saveWorker_.join();
  }
  workflow_.reset();  // waits for a running scan worker, delivering its calls
}

void MainWindow::BuildStatusBar() {
  QStatusBar* bar = statusBar();
  bar->setSizeGripEnabled(true);
  link_ = new QLabel(bar);
  link_->setObjectName(QStringLiteral("websiteLink"));
  link_->setText(QStringLiteral("<a href=\"help\">%1</a>").arg(QString::fromLatin1(kProductName)));
  link_->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
  link_->setToolTip(QStringLiteral("Corvalt Wexholt documentation"));
  connect(link_, &QLabel::linkActivated, this, [] { OpenUrl(HelpPageUrl()); });
  bar->addWidget(link_);
  auto* separator = new QFrame(bar);
  separator->setFrameShape(QFrame::VLine);
  separator->setFrameShadow(QFrame::Sunken);
  bar->addWidget(separator);
  pane_ = new QLabel(QString::fromLatin1(kProductName), bar);
  pane_->setObjectName(QStringLiteral("statusPane"));
  bar->addPermanentWidget(pane_);
  progress_ = new QProgressBar(bar);
  progress_->setObjectName(QStringLiteral("progressIndicator"));
  progress_->setRange(0, kProgressSteps);
  progress_->setTextVisible(false);
  // Not in the status bar's layout: placed at (250, 3), (width - 560) x 17 on every resize.
  bar->installEventFilter(this);
  PlaceProgress();
}

void MainWindow::PlaceProgress() {
  QStatusBar* bar = statusBar();
  progress_->setGeometry(250, 3, qMax(0, bar->width() - 560), 17);
  progress_->raise();
}

void MainWindow::BuildPanes() {
  setDockNestingEnabled(true);
  const auto features = QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable | QDockWidget::DockWidgetClosable;

  treeDock_ = new QDockWidget(QString::fromLatin1(kTreePaneTitle), this);
  treeDock_->setObjectName(QStringLiteral("treePane"));
  treeDock_->setFeatures(features);
  auto* frame = new QFrame(treeDock_);
  // A one-pixel shadow-coloured frame around the tree.
  frame->setFrameShape(QFrame::Box);
  frame->setFrameShadow(QFrame::Plain);
  frame->setLineWidth(1);
  frame->setStyleSheet(QStringLiteral("QFrame#treeFrame { border: 1px solid palette(mid); }"));
  frame->setObjectName(QStringLiteral("treeFrame"));
  auto* frameLayout = new QVBoxLayout(frame);
  frameLayout->setContentsMargins(1, 1, 1, 1);
  tree_ = new DatabaseTreeView(frame);
  tree_->setObjectName(QStringLiteral("databaseTree"));
  frameLayout->addWidget(tree_);
  treeDock_->setWidget(frame);
  addDockWidget(Qt::LeftDockWidgetArea, treeDock_);
  // The click arrives after the tree has finished with the mouse press, as a posted message would.
  connect(tree_, &DatabaseTreeView::showItemRequested, this,
          [this](TreeItem item, int hitFlags) { HandleMessage(kMessageShowTreeItem, hitFlags, qint64(item)); },
          Qt::QueuedConnection);

  outputDock_ = new QDockWidget(QString::fromLatin1(kOutputPaneTitle), this);
  outputDock_->setObjectName(QStringLiteral("outputPane"));
  outputDock_->setFeatures(features);
  output_ = new QListWidget(outputDock_);
  output_->setObjectName(QStringLiteral("outputList"));
  output_->setSelectionMode(QAbstractItemView::SingleSelection);
  output_->setContextMenuPolicy(Qt::PreventContextMenu);
  output_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  output_->setUniformItemSizes(true);
  outputDock_->setWidget(output_);
  addDockWidget(Qt::RightDockWidgetArea, outputDock_);
  resizeDocks({treeDock_, outputDock_}, {200, 400}, Qt::Horizontal);
  tree_->setFocus();
}

void MainWindow::BuildApplicationMenu() {
  QMenu* menu = ribbon_->ApplicationMenu();
  menu->addAction(RibbonIcon(kRibbonImageOpen), QStringLiteral("Open"), this, [this] { OnCommand(kCommandOpen); });
  menu->addAction(RibbonIcon(kRibbonImageExport), QStringLiteral("Export CSV"), this, [this] { OnCommand(kCommandExportCsv); });
  menu->addSeparator();
  QMenu* looks = menu->addMenu(QStringLiteral("Application Look"));
  for (int look = kLookFirst; look <= kLookLast; ++look) {
    QAction* action = looks->addAction(LookName(look), this, [this, look] { OnCommand(look); });
    action->setCheckable(true);
    action->setData(look);
  }
  connect(looks, &QMenu::aboutToShow, this, [this, looks] {
    for (QAction* action : looks->actions()) action->setChecked(action->data().toInt() == look_);
  });
  menu->addAction(treeDock_->toggleViewAction());
  menu->addAction(outputDock_->toggleViewAction());
  menu->addAction(QStringLiteral("Caption Bar"), this, [this] { OnCommand(kCommandShowCaptionBar); });
  menu->addSeparator();
  menu->addAction(QStringLiteral("Close"), this, &MainWindow::RequestClose);
}

void MainWindow::UpdateCommandStates() {
  if (QToolButton* stop = ribbon_->Button(kCommandStop)) stop->setEnabled(app_.busy.load() != 0);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == statusBar() && (event->type() == QEvent::Resize || event->type() == QEvent::Show)) PlaceProgress();
  return QMainWindow::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------------------------
// Commands and messages

void MainWindow::OnCommand(int commandId) {
  switch (commandId) {
    case kCommandOpen: workflow_->Open(); break;
    case kCommandStop: workflow_->Stop(); break;
    case kCommandSave: Save(); break;
    case kCommandHelp: Help(); break;
    case kCommandAbout: About(); break;
    case kCommandExportCsv: workflow_->ExportGridToCsv(); break;
    case kCommandShowCaptionBar: caption_->show(); break;
    default:
      if (commandId >= kLookFirst && commandId <= kLookLast) ApplyLook(commandId);
      break;
  }
  UpdateCommandStates();
}

qint64 MainWindow::HandleMessage(int message, qint64 wParam, qint64 lParam, const QString& text) {
  qint64 result = 0;
  switch (message) {
    case kMessageShowTreeItem: result = workflow_->ShowTreeItem(TreeItem(lParam)); break;
    case kMessagePreviousPage: result = workflow_->PreviousPage(); break;
    case kMessageNextPage: result = workflow_->NextPage(); break;
    case kMessageProgressRange:
      ProgressSetRange(int(wParam), int(lParam));
      ProgressSetPosition(0);
      break;
    case kMessageProgressPosition: ProgressSetPosition(int(wParam)); break;
    case kMessageSetPanelText: panel_->setWindowTitle(text); break;
    case kMessageReleaseText: break;
    case kMessageErrorBox: ShowMessage(this, text, MessageIcon::kError); break;
    case kMessageOutputAndLog: workflow_->AddOutputAndLogLine(text.toStdString()); break;
    default: break;
  }
  UpdateCommandStates();
  return result;
}

void MainWindow::Help() {
  if (app_.busy.load() == 1) {
    ShowMessage(this, QStringLiteral("Please stop the running process to continue the process."), MessageIcon::kInformation);
    return;
  }
  OpenUrl(HelpPageUrl());
}

void MainWindow::About() {
  if (app_.busy.load() == 1) {
    ShowMessage(this, QStringLiteral("Please stop the running process to continue the process."), MessageIcon::kInformation);
    return;
  }
  AboutDialog about(this);
  ExecDialog(&about);
}

void MainWindow::ApplyLook(int look) {
  look_ = ValidLook(look);
  app_.applicationLook = look_;
  ApplyApplicationLook(look_);
  ribbon_->SetLook(look_);
  caption_->SetLook(look_);
  StoreApplicationLook(look_);
  update();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  // The window never closes by itself: a confirmed Close ends the process.
  event->ignore();
  RequestClose();
}

void MainWindow::RequestClose() {
  if (app_.busy.load() == 1) {
    ShowMessage(this, QStringLiteral("Please stop the running process to close the application."), MessageIcon::kInformation);
    return;
  }
  if (ShowMessage(this, QStringLiteral("Do you want to close the application?"), MessageIcon::kQuestion,
                  MessageButtons::kYesNo) != MessageAnswer::kYes) {
    return;
  }
  TableReader& reader = workflow_->reader;
  reader.systemFile.Close();
  reader.ibdFile.Close();
  reader.myisamDataFile.Close();
  const std::string& logPath = app_.log.LogFilePath();
  if (!logPath.empty() && QFileInfo::exists(FromUtf8(logPath))) {
    ShowMessage(this, QStringLiteral("Log file path : ") + FromUtf8(logPath), MessageIcon::kInformation);
  }
  OpenUrl(HelpPageUrl());
  ExitProcess(kCloseExitCode);
}

// ---------------------------------------------------------------------------------------------
// Command line helpers

void MainWindow::OpenDirectory(const QString& dataPath, const QString& tempPath, const QString& logFolder) {
  RunPaths paths;
  QString data = QDir::cleanPath(QFileInfo(dataPath).absoluteFilePath());
  paths.databasePath = data.toStdString();
  paths.tempPath = (tempPath.isEmpty() ? FileSettingDialog::DefaultTempPath() : tempPath).toStdString();
  paths.logFolder = (logFolder.isEmpty() ? FileSettingDialog::DefaultLogPath() : logFolder).toStdString();
  auto slash = [](std::string& s) {
    if (!s.empty() && s.back() != '/') s.push_back('/');
  };
  slash(paths.databasePath);
  slash(paths.tempPath);
  slash(paths.logFolder);
  workflow_->OpenWithPaths(paths);
}

TreeItem MainWindow::FindItem(const QString& database, const QString& name) const {
  DatabaseTreeModel* model = tree_->TreeModel();
  auto children = [model](const QModelIndex& parent) {
    QList<QModelIndex> out;
    for (int row = 0; row < model->rowCount(parent); ++row) out.append(model->index(row, 0, parent));
    return out;
  };
  auto label = [](const QModelIndex& index) { return index.data(Qt::DisplayRole).toString(); };
  // "MYSQL database" / data path / database / Tables, Views or Trigger / item.
  for (const QModelIndex& root : children({})) {
    for (const QModelIndex& pathItem : children(root)) {
      for (const QModelIndex& dbItem : children(pathItem)) {
        if (label(dbItem) != database) continue;
        for (const QString& folder : {QStringLiteral("Tables"), QStringLiteral("Views"), QStringLiteral("Trigger")}) {
          for (const QModelIndex& folderItem : children(dbItem)) {
            if (label(folderItem) != folder) continue;
            for (const QModelIndex& item : children(folderItem)) {
              if (label(item) == name) return model->ItemAt(item);
            }
          }
        }
      }
    }
  }
  return kNoTreeItem;
}

bool MainWindow::SelectByName(const QString& name) {
  const int dot = name.indexOf(QLatin1Char('.'));
  if (dot <= 0) return false;
  const TreeItem item = FindItem(name.left(dot), name.mid(dot + 1));
  if (item == kNoTreeItem) return false;
  TreeSelect(item);
  tree_->scrollTo(tree_->TreeModel()->IndexOf(item));
  HandleMessage(kMessageShowTreeItem, kHitOnItemLabel, qint64(item));
  return true;
}

// ---------------------------------------------------------------------------------------------
// FrontEnd

void MainWindow::TreeClear() {
  Apply([this] { tree_->TreeModel()->Clear(); });
}

TreeItem MainWindow::TreeInsert(TreeItem parent, const std::string& label, int image, int32_t data) {
  const TreeItem handle = tree_->TreeModel()->NewHandle();
  Apply([this, handle, parent, label, image, data] { tree_->TreeModel()->Insert(handle, parent, label, image, data); });
  return handle;
}

void MainWindow::TreeExpand(TreeItem item) {
  Apply([this, item] { tree_->expand(tree_->TreeModel()->IndexOf(item)); });
}

void MainWindow::TreeRedraw() {
  Apply([this] { tree_->viewport()->update(); });
}

void MainWindow::TreeSetEnabled(bool enabled) {
  Apply([this, enabled] { tree_->SetWorking(enabled); });
}

void MainWindow::TreeSelect(TreeItem item) {
  Apply([this, item] {
    const QModelIndex index = tree_->TreeModel()->IndexOf(item);
    if (index.isValid()) {
      tree_->setCurrentIndex(index);
    } else {
      tree_->clearSelection();
      tree_->setCurrentIndex(QModelIndex());
    }
  });
}

TreeItem MainWindow::TreeSelectedItem() {
  return Ask<TreeItem>([this] {
    const QModelIndexList selected = tree_->selectionModel()->selectedIndexes();
    if (selected.isEmpty()) return kNoTreeItem;
    return tree_->TreeModel()->ItemAt(selected.first());
  });
}

std::string MainWindow::TreeItemLabel(TreeItem item) {
  return Ask<std::string>([this, item] { return tree_->TreeModel()->Label(item); });
}

int32_t MainWindow::TreeItemData(TreeItem item) {
  return Ask<int32_t>([this, item] { return tree_->TreeModel()->Data(item); });
}

TreeItem MainWindow::TreeItemParent(TreeItem item) {
  return Ask<TreeItem>([this, item] { return tree_->TreeModel()->Parent(item); });
}

size_t MainWindow::TreeItemCount() {
  return Ask<size_t>([this] { return tree_->TreeModel()->Count(); });
}

std::vector<TreeItem> MainWindow::TreeCheckedItems() {
  return Ask<std::vector<TreeItem>>([this] { return tree_->TreeModel()->CheckedLeaves(); });
}

void MainWindow::OutputClear() {
  Apply([this] { output_->clear(); });
}

void MainWindow::OutputInsert(int index, const std::string& line) {
  Apply([this, index, line] {
    output_->insertItem(index, OutputText(line));
    output_->scrollToItem(output_->item(qMin(index, output_->count() - 1)));
  });
}

void MainWindow::GridSetColumns(const std::vector<GridColumn>& columns) {
  Apply([this, columns] { panel_->SetColumns(columns); });
}

void MainWindow::GridSetRows(const std::vector<std::vector<std::string>>& rows) {
  if (OnGuiThread()) {
    panel_->SetRows(rows);
  } else {
    Apply([this, rows] { panel_->SetRows(rows); });
  }
}

void MainWindow::GridClear() {
  Apply([this] { panel_->ClearGrid(); });
}

void MainWindow::GridShowRecords(bool recordsVisible) {
  Apply([this, recordsVisible] { panel_->ShowRecords(recordsVisible); });
}

void MainWindow::TextBoxSet(const std::string& text) {
  Apply([this, text] { panel_->SetText(text); });
}

void MainWindow::StatusLabelSet(const std::string& text) {
  Apply([this, text] { panel_->SetStatusText(text); });
}

void MainWindow::PageButtonsShow(bool visible) {
  Apply([this, visible] { panel_->ShowPageButtons(visible); });
}

void MainWindow::PreviousSetEnabled(bool enabled) {
  Apply([this, enabled] { panel_->PreviousButton()->setEnabled(enabled); });
}

void MainWindow::NextSetEnabled(bool enabled) {
  Apply([this, enabled] { panel_->NextButton()->setEnabled(enabled); });
}

void MainWindow::SetCaptionText(const std::string& text) {
  Apply([this, text] { caption_->SetCaptionText(text); });
}

void MainWindow::ProgressShow(bool visible) {
  Apply([this, visible] {
    progress_->setVisible(visible);
    if (visible) {
      PlaceProgress();
      progressTimer_.start();
    } else {
      progressTimer_.stop();
    }
    UpdateCommandStates();
  });
}

void MainWindow::ProgressSetRange(int low, int high) {
  Apply([this, low, high] {
    progressTimer_.stop();
    progress_->setRange(low, high);
  });
}

void MainWindow::ProgressSetPosition(int position) {
  Apply([this, position] { progress_->setValue(position); });
}

MessageAnswer MainWindow::MessageBox(const std::string& text, MessageIcon icon, MessageButtons buttons) {
  return Ask<MessageAnswer>([this, &text, icon, buttons] {
    UpdateCommandStates();
    return ShowMessage(this, FromUtf8(text), icon, buttons);
  });
}

std::optional<RunPaths> MainWindow::SelectDatabaseFile() {
  return Ask<std::optional<RunPaths>>([this]() -> std::optional<RunPaths> {
    FileSettingDialog dialog(this);
    if (ExecDialog(&dialog) != QDialog::Accepted) return std::nullopt;
    return dialog.Paths();
  });
}

std::string MainWindow::FileOpenDialog() {
  return Ask<std::string>([this] { return RunFileDialog(this, QStringLiteral("open"), {}, {}).toStdString(); });
}

std::string MainWindow::FileSaveDialog(const std::string& proposedName, const std::string& extension) {
  return Ask<std::string>([this, &proposedName, &extension] {
    return RunFileDialog(this, QStringLiteral("save"), FromUtf8(proposedName), FromUtf8(extension)).toStdString();
  });
}

void MainWindow::ScanFinished() {
  QMetaObject::invokeMethod(this, [this] {
    UpdateCommandStates();
    emit scanFinished();
  }, Qt::QueuedConnection);
}

void MainWindow::PumpWhileWaiting() { QCoreApplication::processEvents(QEventLoop::AllEvents, 5); }

}  // namespace wexholt::shell
