// The Save Database dialog: its controls and defaults, the radio buttons' enabling, the connection
// test's messages, the OK rules of both modes and what they leave in the application object.
// It registers itself with the desktop program's test runner (TestRegistry).
#include <QTest>
#include <vector>

#include "SaveDatabaseDialog.h"
#include "ShellHooks.h"
#include "TestRegistry.h"

using namespace wexholt;
using namespace wexholt::shell;
using namespace wexholt::shell::testing;

class SaveDatabaseDialogTest : public QObject {
  Q_OBJECT

  QStringList messages_;
  std::vector<std::string> tested_;
  bool serverAnswers_ = true;

  void UseFakeServer() {
    SaveDatabaseDialog::SetConnectionTester([this](const std::string& s, const std::string& p, const std::string& u,
                                                   const std::string& pw) {
      tested_.push_back(s + " " + p + " " + u + " " + pw);
      return serverAnswers_ ? std::string("Connection is successful")
                            : std::string("Connection is Failed\n[HY000] Can't connect to server");
    });
  }

 private slots:
  void init() {
    messages_.clear();
    tested_.clear();
    serverAnswers_ = true;
    SetMessageHook([this](const QString& text, MessageIcon, MessageButtons) {
      messages_ << text;
      return MessageAnswer::kOk;
    });
    UseFakeServer();
  }
  void cleanup() {
    SetMessageHook({});
    SetDialogHook({});
    SaveDatabaseDialog::SetConnectionTester({});
    SaveDatabaseDialog::SetFolderPicker({});
  }

  void opensWithDefaultsInDatabaseMode() {
    CBrenmoorApp app;
    SaveDatabaseDialog d(app);
    QCOMPARE(d.windowTitle(), QStringLiteral("Save Database"));
    QCOMPARE(d.ServerEdit()->text(), QStringLiteral("127.0.0.1"));
    QCOMPARE(d.PortEdit()->text(), QStringLiteral("3306"));
    QCOMPARE(d.UserEdit()->text(), QStringLiteral("root"));
    QVERIFY(d.PasswordEdit()->text().isEmpty());
    QCOMPARE(d.PasswordEdit()->echoMode(), QLineEdit::Password);
    QVERIFY(d.FolderEdit()->isReadOnly());
    QVERIFY(d.SaveInDatabaseRadio()->isChecked());
    QVERIFY(!d.FolderEdit()->isEnabled() && !d.BrowseButton()->isEnabled());
    QVERIFY(d.ServerEdit()->isEnabled() && d.TestConnectionButton()->isEnabled());
    QCOMPARE(d.TestConnectionButton()->toolTip(), QStringLiteral("Test connection"));
  }

  void radioButtonsSwapWhatIsEnabled() {
    CBrenmoorApp app;
    SaveDatabaseDialog d(app);
    d.SaveAsScriptRadio()->click();
    QVERIFY(d.SaveAsScriptRadio()->isChecked() && !d.SaveInDatabaseRadio()->isChecked());
    QVERIFY(d.FolderEdit()->isEnabled() && d.BrowseButton()->isEnabled());
    for (QWidget* w : {static_cast<QWidget*>(d.ServerEdit()), static_cast<QWidget*>(d.PortEdit()),
                       static_cast<QWidget*>(d.UserEdit()), static_cast<QWidget*>(d.PasswordEdit()),
                       static_cast<QWidget*>(d.TestConnectionButton())})
      QVERIFY(!w->isEnabled());
    d.SaveInDatabaseRadio()->click();
    QVERIFY(!d.FolderEdit()->isEnabled() && d.ServerEdit()->isEnabled());
  }

  void emptyEditsStopTheTestWithTheirMessage_data() {
    QTest::addColumn<QString>("server");
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("port");
    QTest::addColumn<QString>("message");
    QTest::newRow("server first") << "" << "" << "" << "Please enter Server name.";
    QTest::newRow("then user") << "db1" << "" << "" << "Please enter user name.";
    QTest::newRow("then port") << "db1" << "u" << "" << "Please enter port number.";
  }
  void emptyEditsStopTheTestWithTheirMessage() {
    QFETCH(QString, server);
    QFETCH(QString, user);
    QFETCH(QString, port);
    QFETCH(QString, message);
    CBrenmoorApp app;
    SaveDatabaseDialog d(app);
    d.ServerEdit()->setText(server);
    d.UserEdit()->setText(user);
    d.PortEdit()->setText(port);
    d.TestConnectionButton()->click();
    QCOMPARE(messages_, QStringList{message});
    QVERIFY(tested_.empty());
  }

  void okWithAReachableServerTestsFirstAndClosesOnTheSecondOk() {
    CBrenmoorApp app;
    SaveDatabaseDialog d(app);
    d.ServerEdit()->setText("db1");
    d.PortEdit()->setText("3307");
    d.PasswordEdit()->setText("secret");
    d.OkButton()->click();
    QCOMPARE(messages_, QStringList{"Connection is successful"});
    QCOMPARE(tested_, (std::vector<std::string>{"db1 3307 root secret"}));
    QCOMPARE(d.result(), 0);  // still open
    QVERIFY(app.decoder.saveToServer && !app.decoder.saveToFolder);
    QCOMPARE(app.serverName, std::string("db1"));
    QCOMPARE(app.serverPort, std::string("3307"));
    QCOMPARE(app.userName, std::string("root"));
    QCOMPARE(app.password, std::string("secret"));
    d.OkButton()->click();
    QCOMPARE(d.result(), int(QDialog::Accepted));
    QCOMPARE(messages_.size(), 1);
    SaveOptions options = SaveOptionsFromApp(app);
    QVERIFY(options.toServer);
    QCOMPARE(options.server, std::string("db1"));
  }

  void okWithAWrongPortShowsTheDriverTextAndRefuses() {
    SaveDatabaseDialog::SetConnectionTester({});  // the real test: nothing listens on port 1
    CBrenmoorApp app;
    SaveDatabaseDialog d(app);
    d.PortEdit()->setText("1");
    d.OkButton()->click();
    QCOMPARE(messages_.size(), 2);
    QVERIFY2(messages_[0].startsWith("Connection is Failed\n") && messages_[0].size() > 21, qPrintable(messages_[0]));
    QCOMPARE(messages_[1], QStringLiteral("Test connection is unsuccessful.Saving in database cannot be done."));
    QVERIFY(!d.ConnectionTested());
    QVERIFY(!app.decoder.saveToServer);
    QCOMPARE(d.result(), 0);
  }

  void scriptModeNeedsAFolder() {
    CBrenmoorApp app;
    app.decoder.saveToServer = true;
    SaveDatabaseDialog d(app);
    d.SaveAsScriptRadio()->click();
    d.OkButton()->click();
    QCOMPARE(messages_, QStringList{"Please select valid destination folder path."});
    QCOMPARE(d.result(), 0);
    QVERIFY(app.decoder.saveToFolder && !app.decoder.saveToServer);

    QString title;
    SaveDatabaseDialog::SetFolderPicker([&](QWidget*, const QString& t) {
      title = t;
      return QStringLiteral("/tmp/saved");
    });
    d.BrowseButton()->click();
    QCOMPARE(title, QStringLiteral("Please choose a folder."));
    QCOMPARE(d.FolderEdit()->text(), QStringLiteral("/tmp/saved"));
    d.OkButton()->click();
    QCOMPARE(d.result(), int(QDialog::Accepted));
    QCOMPARE(app.decoder.saveFolder, std::string("/tmp/saved/"));
    SaveDatabaseDialog::SetFolderPicker([](QWidget*, const QString&) { return QString(); });
    d.BrowseButton()->click();
    QVERIFY(d.FolderEdit()->text().isEmpty());  // a cancelled picker empties the edit
  }

  void oneDialogKeepsItsTestAndPasswordButResetsItsEditsOnEveryShowing() {
    CBrenmoorApp app;
    SaveDatabaseDialog& d = SaveDatabaseDialog::Instance(app);
    QCOMPARE(&SaveDatabaseDialog::Instance(app), &d);
    d.ServerEdit()->setText("db1");
    d.PasswordEdit()->setText("pw");
    d.TestConnectionButton()->click();
    QVERIFY(d.ConnectionTested());
    app.serverName = "unchanged";
    SetDialogHook([](QDialog* dialog) { static_cast<SaveDatabaseDialog*>(dialog)->CancelButton()->click(); });
    QVERIFY(!d.Ask());
    QCOMPARE(app.serverName, std::string("unchanged"));  // Cancel stores nothing
    QCOMPARE(d.ServerEdit()->text(), QStringLiteral("127.0.0.1"));
    QCOMPARE(d.PasswordEdit()->text(), QStringLiteral("pw"));
    QVERIFY(d.ConnectionTested());
  }
};

static const int registered = RegisterTest([] { return new SaveDatabaseDialogTest; });

#include "SaveDatabaseDialogTest.moc"
