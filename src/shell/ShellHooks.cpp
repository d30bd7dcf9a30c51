#include "ShellHooks.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QTimer>
#include <QUrl>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace wexholt::shell {
namespace {

MessageHook& MessageHookSlot() {
  static MessageHook hook;
  return hook;
}
DialogHook& DialogHookSlot() {
  static DialogHook hook;
  return hook;
}
FileDialogHook& FileDialogHookSlot() {
  static FileDialogHook hook;
  return hook;
}
OpenUrlHook& OpenUrlHookSlot() {
  static OpenUrlHook hook;
  return hook;
}
ExitHook& ExitHookSlot() {
  static ExitHook hook;
  return hook;
}
bool batchMode = false;

}  // namespace

MessageAnswer ShowMessage(QWidget* owner, const QString& text, MessageIcon icon, MessageButtons buttons) {
  if (MessageHookSlot()) return MessageHookSlot()(text, icon, buttons);
  if (batchMode) {
    std::fprintf(stderr, "%s: %s\n", kApplicationTitle, text.toUtf8().constData());
    return buttons == MessageButtons::kYesNo ? MessageAnswer::kNo : MessageAnswer::kOk;
  }
  QMessageBox box(owner);
  box.setWindowTitle(QString::fromUtf8(kApplicationTitle));
  box.setText(text);
  switch (icon) {
    case MessageIcon::kNone: box.setIcon(QMessageBox::NoIcon); break;
    case MessageIcon::kInformation: box.setIcon(QMessageBox::Information); break;
    case MessageIcon::kQuestion: box.setIcon(QMessageBox::Question); break;
    case MessageIcon::kError: box.setIcon(QMessageBox::Critical); break;
  }
  if (buttons == MessageButtons::kYesNo) {
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(QMessageBox::Yes);
  } else {
    box.setStandardButtons(QMessageBox::Ok);
  }
  const int result = box.exec();
  if (buttons == MessageButtons::kYesNo) return result == QMessageBox::Yes ? MessageAnswer::kYes : MessageAnswer::kNo;
  return MessageAnswer::kOk;
}

void SetMessageHook(MessageHook hook) { MessageHookSlot() = std::move(hook); }

void SetDialogHook(DialogHook hook) { DialogHookSlot() = std::move(hook); }

int ExecDialog(QDialog* dialog) {
  if (DialogHookSlot()) {
    // Runs once the dialog's own event loop has started, so the hook can press its buttons.
    QTimer::singleShot(0, dialog, [dialog] {
      if (DialogHookSlot()) DialogHookSlot()(dialog);
    });
  } else if (batchMode) {
    QTimer::singleShot(0, dialog, [dialog] { dialog->reject(); });
  }
  return dialog->exec();
}

void SetFileDialogHook(FileDialogHook hook) { FileDialogHookSlot() = std::move(hook); }

QString RunFileDialog(QWidget* owner, const QString& kind, const QString& proposedName, const QString& extension) {
  if (FileDialogHookSlot()) return FileDialogHookSlot()(kind, proposedName, extension);
  if (batchMode) return {};
  QFileDialog dialog(owner);
  dialog.setOption(QFileDialog::ReadOnly, false);
  if (kind == QLatin1String("save")) {
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    if (!extension.isEmpty()) {
      dialog.setDefaultSuffix(extension);
      dialog.setNameFilter(QStringLiteral("*.") + extension);
    }
    dialog.selectFile(proposedName);
  } else {
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
  }
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().first();
}

void SetOpenUrlHook(OpenUrlHook hook) { OpenUrlHookSlot() = std::move(hook); }

void OpenUrl(const QString& url) {
  if (OpenUrlHookSlot()) {
    OpenUrlHookSlot()(url);
    return;
  }
  if (batchMode || url.isEmpty()) return;
  // A page that cannot be opened is not reported.
  QDesktopServices::openUrl(QUrl(url));
}

void SetExitHook(ExitHook hook) { ExitHookSlot() = std::move(hook); }

void ExitProcess(int code) {
  if (ExitHookSlot()) {
    ExitHookSlot()(code);
    return;
  }
  std::fflush(nullptr);
  ::_exit(code);
}

QString HelpPageUrl() {
  // Installed next to the program (build tree), under share/ (installed tree), or in the sources.
  const QString exeDir = QCoreApplication::applicationDirPath();
  const QStringList candidates = {
      exeDir + QStringLiteral("/help/index.html"),
      exeDir + QStringLiteral("/../share/corvalt-wexholt/help/index.html"),
#ifdef WEXHOLT_HELP_SOURCE_DIR
      QStringLiteral(WEXHOLT_HELP_SOURCE_DIR "/index.html"),
#endif
  };
  for (const QString& path : candidates) {
    QFileInfo info(path);
    if (info.isFile()) return QUrl::fromLocalFile(info.canonicalFilePath()).toString();
  }
  return {};
}

void SetBatchMode(bool batch) { batchMode = batch; }
bool BatchMode() { return batchMode; }

}  // namespace wexholt::shell
