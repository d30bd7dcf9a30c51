#include "SaveDatabaseDialog.h"

#include <QFileDialog>
#include <QPointer>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QShowEvent>
#include <QVBoxLayout>

#include "ShellHooks.h"
#include "decoding/Text.h"
#include "save/OdbcConnection.h"

namespace wexholt::shell {
namespace {

SaveDatabaseDialog::FolderPicker& FolderPickerSlot() {
  static SaveDatabaseDialog::FolderPicker picker;
  return picker;
}
SaveDatabaseDialog::ConnectionTester& ConnectionTesterSlot() {
  static SaveDatabaseDialog::ConnectionTester tester;
  return tester;
}

std::string Text(const QLineEdit* edit) { return edit->text().toStdString(); }

}  // namespace

void SaveDatabaseDialog::SetFolderPicker(FolderPicker picker) { FolderPickerSlot() = std::move(picker); }
void SaveDatabaseDialog::SetConnectionTester(ConnectionTester tester) { ConnectionTesterSlot() = std::move(tester); }

SaveDatabaseDialog::SaveDatabaseDialog(CBrenmoorApp& app, QWidget* parent) : QDialog(parent), app_(app) {
  setWindowTitle(QStringLiteral("Save Database"));
  setObjectName(QStringLiteral("savedlgoption"));

  auto* intro = new QLabel(QStringLiteral("Choose the saving mode and click OK button to continue the process"), this);
  saveInDatabase_ = new QRadioButton(QStringLiteral("Save in database"), this);
  server_ = new QLineEdit(this);
  port_ = new QLineEdit(this);
  user_ = new QLineEdit(this);
  password_ = new QLineEdit(this);
  password_->setEchoMode(QLineEdit::Password);
  testConnection_ = new QPushButton(QStringLiteral("Test Connection"), this);
  testConnection_->setToolTip(QStringLiteral("Test connection"));
  saveAsScript_ = new QRadioButton(QStringLiteral("Save as Script"), this);
  folder_ = new QLineEdit(this);
  folder_->setReadOnly(true);
  browse_ = new QPushButton(QStringLiteral("..."), this);
  ok_ = new QPushButton(QStringLiteral("OK"), this);
  cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
  ok_->setDefault(true);

  auto* serverGrid = new QGridLayout;
  serverGrid->addWidget(new QLabel(QStringLiteral("Server:"), this), 0, 0);
  serverGrid->addWidget(server_, 0, 1);
  serverGrid->addWidget(new QLabel(QStringLiteral("Port:"), this), 1, 0);
  serverGrid->addWidget(port_, 1, 1);
  serverGrid->addWidget(new QLabel(QStringLiteral("User:"), this), 2, 0);
  serverGrid->addWidget(user_, 2, 1);
  serverGrid->addWidget(new QLabel(QStringLiteral("Password:"), this), 3, 0);
  serverGrid->addWidget(password_, 3, 1);
  serverGrid->addWidget(testConnection_, 4, 1, Qt::AlignRight);
  serverGrid->setContentsMargins(20, 0, 0, 0);

  auto* folderRow = new QHBoxLayout;
  folderRow->addWidget(new QLabel(QStringLiteral("Saving Folder:"), this));
  folderRow->addWidget(folder_, 1);
  folderRow->addWidget(browse_);
  folderRow->setContentsMargins(20, 0, 0, 0);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(ok_);
  buttons->addWidget(cancel_);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(intro);
  layout->addWidget(saveInDatabase_);
  layout->addLayout(serverGrid);
  layout->addWidget(saveAsScript_);
  layout->addLayout(folderRow);
  layout->addLayout(buttons);

  connect(saveInDatabase_, &QRadioButton::clicked, this, &SaveDatabaseDialog::SelectSaveInDatabase);
  connect(saveAsScript_, &QRadioButton::clicked, this, &SaveDatabaseDialog::SelectSaveAsScript);
  connect(testConnection_, &QPushButton::clicked, this, &SaveDatabaseDialog::TestConnection);
  connect(browse_, &QPushButton::clicked, this, &SaveDatabaseDialog::Browse);
  connect(ok_, &QPushButton::clicked, this, &SaveDatabaseDialog::Ok);
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);

  ResetEdits();
}

SaveDatabaseDialog& SaveDatabaseDialog::Instance(CBrenmoorApp& app, QWidget* parent) {
  // Owned by its parent window when it has one; made again when that window is gone or another
  // application object asks (a test makes several).
  static QPointer<SaveDatabaseDialog> dialog;
  if (dialog && &dialog->app_ != &app) {
    delete dialog.data();
    dialog = nullptr;
  }
  if (!dialog) dialog = new SaveDatabaseDialog(app, parent);
  return *dialog;
}

bool SaveDatabaseDialog::Ask() { return ExecDialog(this) == QDialog::Accepted; }

void SaveDatabaseDialog::showEvent(QShowEvent* event) {
  if (!event->spontaneous()) ResetEdits();
  QDialog::showEvent(event);
}

void SaveDatabaseDialog::ResetEdits() {
  server_->setText(QString::fromUtf8(kDefaultServer));
  port_->setText(QStringLiteral("3306"));
  user_->setText(QStringLiteral("root"));
  SelectSaveInDatabase();
}

void SaveDatabaseDialog::SelectSaveInDatabase() {
  saveInDatabase_->setChecked(true);
  saveAsScript_->setChecked(false);
  folder_->setEnabled(false);
  browse_->setEnabled(false);
  for (QWidget* w : {static_cast<QWidget*>(server_), static_cast<QWidget*>(port_), static_cast<QWidget*>(user_),
                     static_cast<QWidget*>(password_), static_cast<QWidget*>(testConnection_)})
    w->setEnabled(true);
}

void SaveDatabaseDialog::SelectSaveAsScript() {
  saveInDatabase_->setChecked(false);
  saveAsScript_->setChecked(true);
  folder_->setEnabled(true);
  browse_->setEnabled(true);
  for (QWidget* w : {static_cast<QWidget*>(server_), static_cast<QWidget*>(port_), static_cast<QWidget*>(user_),
                     static_cast<QWidget*>(password_), static_cast<QWidget*>(testConnection_)})
    w->setEnabled(false);
}

void SaveDatabaseDialog::Browse() {
  const QString title = QStringLiteral("Please choose a folder.");
  QString chosen;
  if (FolderPickerSlot()) {
    chosen = FolderPickerSlot()(this, title);
  } else if (!BatchMode()) {
    chosen = QFileDialog::getExistingDirectory(this, title, QString(), QFileDialog::ShowDirsOnly);
  }
  folder_->setText(chosen);
}

void SaveDatabaseDialog::TestConnection() {
  const std::string server = Text(server_), user = Text(user_), port = Text(port_), password = Text(password_);
  if (server.empty()) {
    ShowMessage(this, QStringLiteral("Please enter Server name."), MessageIcon::kInformation);
    return;
  }
  if (user.empty()) {
    ShowMessage(this, QStringLiteral("Please enter user name."), MessageIcon::kInformation);
    return;
  }
  if (port.empty()) {
    ShowMessage(this, QStringLiteral("Please enter port number."), MessageIcon::kInformation);
    return;
  }
  const std::string result = ConnectionTesterSlot() ? ConnectionTesterSlot()(server, port, user, password)
                                                    : ConnectionTest(server, port, user, password);
  connectionTested_ = ConnectionTestSucceeded(result) ? 1 : 0;
  ShowMessage(this, QString::fromStdString(result), MessageIcon::kInformation);
}

void SaveDatabaseDialog::StoreServerDestination() {
  app_.decoder.saveToServer = true;
  app_.serverName = Text(server_);
  app_.userName = Text(user_);
  app_.serverPort = Text(port_);
  app_.password = Text(password_);
}

void SaveDatabaseDialog::Ok() {
  if (saveInDatabase_->isChecked()) {
    app_.decoder.saveToFolder = false;
    if (connectionTested_ == 1) {
      StoreServerDestination();
      accept();
      return;
    }
    // Not tested yet: test now. A good connection is stored and shown; the next OK confirms it.
    TestConnection();
    if (connectionTested_ == 1) {
      StoreServerDestination();
    } else {
      ShowMessage(this, QStringLiteral("Test connection is unsuccessful.Saving in database cannot be done."),
                  MessageIcon::kInformation);
    }
    return;
  }
  app_.decoder.saveToFolder = true;
  app_.decoder.saveToServer = false;
  if (folder_->text().isEmpty()) {
    ShowMessage(this, QStringLiteral("Please select valid destination folder path."), MessageIcon::kInformation);
    return;
  }
  app_.decoder.saveFolder = WithTrailingSeparator(Text(folder_));
  accept();
}

SaveOptions SaveOptionsFromApp(const CBrenmoorApp& app) {
  SaveOptions options;
  options.toServer = app.decoder.saveToServer;
  options.folder = app.decoder.saveFolder;
  options.server = app.serverName;
  options.port = app.serverPort;
  options.user = app.userName;
  options.password = app.password;
  return options;
}

}  // namespace wexholt::shell
