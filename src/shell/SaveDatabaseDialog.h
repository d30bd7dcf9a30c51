// SaveDatabaseDialog: the "Save Database" dialog. It asks where the checked tables go — into a
// running server reached over ODBC ("Save in database": server, port, user, password, with a
// connection test) or as scripts into a folder ("Save as Script") — and leaves the answer in the
// application object: decoder.saveToServer / decoder.saveToFolder, decoder.saveFolder and the
// connection texts serverName, serverPort, userName, password.
//
// One dialog object serves the whole process (SaveDatabaseDialog::Instance), so the outcome of
// the last connection test, the password and the folder stay between showings; the server, port
// and user edits get their defaults again each time it opens. Every message goes through
// ShowMessage (ShellHooks.h); the folder picker and the connection test can be replaced by tests.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <functional>
#include <string>

#include "save/SaveRun.h"
#include "workflow/BrenmoorApp.h"

namespace wexholt::shell {

class SaveDatabaseDialog : public QDialog {
  Q_OBJECT
 public:
  explicit SaveDatabaseDialog(CBrenmoorApp& app, QWidget* parent = nullptr);

  // The process's dialog, made on first use (and again for another application object).
  static SaveDatabaseDialog& Instance(CBrenmoorApp& app, QWidget* parent = nullptr);

  // Shows the dialog modally (through ExecDialog, so a dialog hook can answer it); true on OK.
  bool Ask();

  // The default server: the loopback address, so that the port is always the one used.
  static constexpr const char* kDefaultServer = "127.0.0.1";

  // Replaces the folder picker (returns the chosen folder, empty when cancelled); empty: the
  // real picker.
  using FolderPicker = std::function<QString(QWidget* parent, const QString& title)>;
  static void SetFolderPicker(FolderPicker picker);
  // Replaces the connection test (returns what ConnectionTest returns); empty: the real one.
  using ConnectionTester = std::function<std::string(const std::string& server, const std::string& port,
                                                     const std::string& user, const std::string& password)>;
  static void SetConnectionTester(ConnectionTester tester);

  // ---- Controls and state, for the shell and the tests ----
  QRadioButton* SaveInDatabaseRadio() const { return saveInDatabase_; }
  QRadioButton* SaveAsScriptRadio() const { return saveAsScript_; }
  QLineEdit* ServerEdit() const { return server_; }
  QLineEdit* PortEdit() const { return port_; }
  QLineEdit* UserEdit() const { return user_; }
  QLineEdit* PasswordEdit() const { return password_; }
  QLineEdit* FolderEdit() const { return folder_; }
  QPushButton* TestConnectionButton() const { return testConnection_; }
  QPushButton* BrowseButton() const { return browse_; }
  QPushButton* OkButton() const { return ok_; }
  QPushButton* CancelButton() const { return cancel_; }
  bool ConnectionTested() const { return connectionTested_ == 1; }

  // The actions of the buttons (also what the tests press).
  void SelectSaveInDatabase();
  void SelectSaveAsScript();
  void Browse();
  void TestConnection();
  void Ok();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void ResetEdits();
  void StoreServerDestination();

  CBrenmoorApp& app_;
  QRadioButton* saveInDatabase_;
  QRadioButton* saveAsScript_;
  QLineEdit* server_;
  QLineEdit* port_;
  QLineEdit* user_;
  QLineEdit* password_;
  QLineEdit* folder_;
  QPushButton* testConnection_;
  QPushButton* browse_;
  QPushButton* ok_;
  QPushButton* cancel_;
  uint8_t connectionTested_ = 0;
};

// The save run's options from what the dialog stored in the application object.
SaveOptions SaveOptionsFromApp(const CBrenmoorApp& app);

}  // namespace wexholt::shell
