#include "FileSettingDialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QStandardPaths>
#include <QToolButton>

#include "Artwork.h"
#include "ShellHooks.h"

namespace wexholt::shell {
namespace {

// The dialog is laid out in dialog units (403 x 161); one unit is 1.5 pixels across and 1.625 down
// for the usual 8-point dialog font.
QRect Units(int x, int y, int w, int h) {
  return QRect(int(x * 1.5), int(y * 1.625), int(w * 1.5), int(h * 1.625));
}

QString WithSlash(QString path) {
  if (!path.isEmpty() && !path.endsWith(QLatin1Char('/'))) path += QLatin1Char('/');
  return path;
}

QString PickFolder(QWidget* owner, const QString& title, const QString& start) {
  return QFileDialog::getExistingDirectory(owner, title, start, QFileDialog::ShowDirsOnly);
}

}  // namespace

FileSettingDialog::FileSettingDialog(QWidget* parent)
    : QDialog(parent),
      databasePath_(new QLineEdit(this)),
      tempPath_(new QLineEdit(this)),
      logPath_(new QLineEdit(this)),
      ok_(new QPushButton(QStringLiteral("OK"), this)),
      cancel_(new QPushButton(QStringLiteral("Cancel"), this)) {
  setWindowTitle(QStringLiteral("Select Database File"));
  setObjectName(QStringLiteral("selectDatabaseFile"));
  setFixedSize(Units(0, 0, 403, 161).size());

  auto group = [this](const QString& title, QRect r) {
    auto* box = new QGroupBox(title, this);
    box->setGeometry(r);
    box->lower();
  };
  group(QStringLiteral("Select MySQL Database File:"), Units(5, 12, 391, 37));
  group(QStringLiteral("Select Temporary Path:"), Units(5, 55, 391, 37));
  group(QStringLiteral("Select Log File Path:"), Units(5, 98, 390, 37));

  auto browse = [this](QRect r) {
    auto* button = new QToolButton(this);
    button->setText(QStringLiteral("..."));
    button->setGeometry(r);
    return button;
  };
  databasePath_->setGeometry(Units(11, 25, 349, 15));
  tempPath_->setGeometry(Units(11, 68, 347, 15));
  logPath_->setGeometry(Units(11, 112, 347, 15));
  databasePath_->setObjectName(QStringLiteral("databasePath"));
  tempPath_->setObjectName(QStringLiteral("tempPath"));
  logPath_->setObjectName(QStringLiteral("logPath"));
  QToolButton* browseDatabase = browse(Units(366, 23, 25, 17));
  QToolButton* browseTemp = browse(Units(365, 67, 25, 17));
  QToolButton* browseLog = browse(Units(365, 111, 25, 17));
  connect(browseDatabase, &QToolButton::clicked, this, &FileSettingDialog::BrowseDatabasePath);
  connect(browseTemp, &QToolButton::clicked, this, &FileSettingDialog::BrowseTempPath);
  connect(browseLog, &QToolButton::clicked, this, &FileSettingDialog::BrowseLogPath);

  ok_->setGeometry(Units(162, 141, 55, 16));
  cancel_->setGeometry(Units(222, 141, 55, 16));
  ok_->setIcon(QIcon(OkImage()));
  cancel_->setIcon(QIcon(CancelImage()));
  ok_->setDefault(true);
  connect(ok_, &QPushButton::clicked, this, &FileSettingDialog::Ok);
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);

  tempPath_->setText(DefaultTempPath());
  logPath_->setText(DefaultLogPath());
}

QString FileSettingDialog::DefaultTempPath() { return WithSlash(QDir::tempPath()); }

QString FileSettingDialog::DefaultLogPath() {
  QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
  if (desktop.isEmpty()) desktop = QDir::homePath() + QStringLiteral("/Desktop");
  QDir().mkpath(desktop);
  while (desktop.size() > 1 && desktop.endsWith(QLatin1Char('/'))) desktop.chop(1);
  return desktop;
}

QString FileSettingDialog::Validate(const QString& databasePath, const QString& tempPath, const QString& logPath,
                                    RunPaths& paths) {
  // The database path must be a folder; for the other two, existence is enough.
  if (databasePath.isEmpty() || !QFileInfo(databasePath).isDir()) {
    return QStringLiteral("Please select valid database file path to continue the recovery process.");
  }
  if (tempPath.isEmpty() || !QFileInfo::exists(tempPath)) {
    return QStringLiteral("Please select valid temporary file path to continue the recovery process.");
  }
  if (logPath.isEmpty() || !QFileInfo::exists(logPath)) {
    return QStringLiteral("Please select valid Log file path to continue the recovery process.");
  }
  paths.databasePath = WithSlash(databasePath).toStdString();
  paths.tempPath = WithSlash(tempPath).toStdString();
  paths.logFolder = WithSlash(logPath).toStdString();
  return {};
}

void FileSettingDialog::Ok() {
  RunPaths paths;
  const QString message = Validate(databasePath_->text(), tempPath_->text(), logPath_->text(), paths);
  if (!message.isEmpty()) {
    ShowMessage(this, message, MessageIcon::kInformation);
    return;
  }
  paths_ = paths;
  accept();
}

void FileSettingDialog::BrowseDatabasePath() {
  const QString chosen = PickFolder(this, QStringLiteral("Select location to choose database file."), databasePath_->text());
  if (!chosen.isEmpty()) databasePath_->setText(WithSlash(chosen));
}

void FileSettingDialog::BrowseTempPath() {
  const QString chosen = PickFolder(this, QStringLiteral("Select location for temporary path."), tempPath_->text());
  if (!chosen.isEmpty()) tempPath_->setText(WithSlash(chosen));
}

void FileSettingDialog::BrowseLogPath() {
  const QString chosen = PickFolder(this, QStringLiteral("Select location to save Log file."), logPath_->text()).trimmed();
  if (!chosen.isEmpty() && QFileInfo(chosen).isDir()) logPath_->setText(chosen);
}

}  // namespace wexholt::shell
