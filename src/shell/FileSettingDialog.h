// FileSettingDialog: the "Select Database File" dialog shown before every scan. It collects the data
// path to scan (a data directory or one database folder), a temporary folder and the folder for the
// log file; OK checks them, gives each a trailing '/', and leaves them in Paths(). Cancel changes
// nothing. A new dialog is made for every Open, so the edits always start with their defaults: the
// database path empty, the system temporary folder (with '/'), and the user's desktop folder
// (without '/', created when missing).
#pragma once

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>

#include "workflow/FrontEnd.h"

namespace wexholt::shell {

class FileSettingDialog : public QDialog {
  Q_OBJECT
 public:
  explicit FileSettingDialog(QWidget* parent = nullptr);

  QLineEdit* DatabasePathEdit() const { return databasePath_; }
  QLineEdit* TempPathEdit() const { return tempPath_; }
  QLineEdit* LogPathEdit() const { return logPath_; }
  QPushButton* OkButton() const { return ok_; }
  QPushButton* CancelButton() const { return cancel_; }

  // The checked paths, each ending with '/' (valid after the dialog closed with OK).
  const RunPaths& Paths() const { return paths_; }

  // The defaults of the two lower edits.
  static QString DefaultTempPath();
  static QString DefaultLogPath();

  // Checks the three texts as OK does; the first failing check's message, or empty when all pass
  // (then paths holds the three paths with their '/').
  static QString Validate(const QString& databasePath, const QString& tempPath, const QString& logPath, RunPaths& paths);

 private:
  void BrowseDatabasePath();
  void BrowseTempPath();
  void BrowseLogPath();
  void Ok();

  QLineEdit* databasePath_;
  QLineEdit* tempPath_;
  QLineEdit* logPath_;
  QPushButton* ok_;
  QPushButton* cancel_;
  RunPaths paths_;
};

}  // namespace wexholt::shell
