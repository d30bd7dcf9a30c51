#include "ShellTestSupport.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QTest>

#include "FileSettingDialog.h"

namespace wexholt::shell::testing {

ShellRecorder::ShellRecorder() {
  SetMessageHook([this](const QString& text, MessageIcon icon, MessageButtons buttons) {
    messages.push_back({text, icon, buttons});
    if (!answers.empty()) {
      MessageAnswer answer = answers.front();
      answers.pop_front();
      return answer;
    }
    return buttons == MessageButtons::kYesNo ? MessageAnswer::kNo : MessageAnswer::kOk;
  });
  SetDialogHook([this](QDialog* dialog) {
    if (onDialog) {
      onDialog(dialog);
    } else {
      dialog->reject();
    }
  });
  SetFileDialogHook([this](const QString& kind, const QString& proposedName, const QString& extension) {
    fileDialogKind = kind;
    fileDialogProposedName = proposedName;
    fileDialogExtension = extension;
    return fileDialogAnswer;
  });
  SetOpenUrlHook([this](const QString& url) { openedUrls.append(url); });
  SetExitHook([this](int code) { exitCodes.push_back(code); });
}

ShellRecorder::~ShellRecorder() {
  SetMessageHook({});
  SetDialogHook({});
  SetFileDialogHook({});
  SetOpenUrlHook({});
  SetExitHook({});
}

QStringList ShellRecorder::Texts() const {
  QStringList out;
  for (const ShownMessage& m : messages) out.append(m.text);
  return out;
}

QString SampleDataPath() { return QStringLiteral(WEXHOLT_SAMPLE_DATA "/"); }

std::unique_ptr<MainWindow> MakeShownWindow(CBrenmoorApp& app) {
  auto window = std::make_unique<MainWindow>(app, MainWindowOptions{false});
  window->resize(1280, 800);
  window->show();
  if (!QTest::qWaitForWindowExposed(window.get())) return nullptr;
  return window;
}

bool OpenThroughDialog(MainWindow& window, ShellRecorder& recorder, const QString& dataPath, const QString& logFolder) {
  recorder.onDialog = [dataPath, logFolder](QDialog* dialog) {
    auto* files = qobject_cast<FileSettingDialog*>(dialog);
    if (files == nullptr) {
      dialog->reject();
      return;
    }
    files->DatabasePathEdit()->setText(dataPath);
    files->LogPathEdit()->setText(logFolder);
    QTest::mouseClick(files->OkButton(), Qt::LeftButton);
  };
  QSignalSpy finished(&window, &MainWindow::scanFinished);
  window.OnCommand(kCommandOpen);
  const bool done = finished.count() > 0 || finished.wait(20000);
  recorder.onDialog = nullptr;
  QCoreApplication::processEvents();
  return done;
}

QPoint LabelCentre(MainWindow& window, TreeItem item) {
  DatabaseTreeView* tree = window.Tree();
  const QModelIndex index = tree->TreeModel()->IndexOf(item);
  tree->scrollTo(index);
  return tree->LayoutOf(index).label.center();
}

void ClickLabel(MainWindow& window, TreeItem item) {
  QTest::mouseClick(window.Tree()->viewport(), Qt::LeftButton, {}, LabelCentre(window, item));
  // The show-item message is posted; let it run.
  QCoreApplication::processEvents();
  QCoreApplication::processEvents();
}

}  // namespace wexholt::shell::testing
