// The Select Database File checks, the about box's keys, the splash shape and timing, the stored
// application look, and the single-instance guard of the real program.
#include <QFile>
#include <QPointer>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include "AboutDialog.h"
#include "ApplicationLook.h"
#include "FileSettingDialog.h"
#include "ShellTestSupport.h"
#include "SingleInstance.h"
#include "SplashScreen.h"
#include "TestRegistry.h"

using namespace wexholt;
using namespace wexholt::shell;
using namespace wexholt::shell::testing;

class DialogTest : public QObject {
  Q_OBJECT

  QTemporaryDir dir_;
  QString Folder() const { return dir_.path(); }
  QString File() const { return dir_.filePath(QStringLiteral("plain-file")); }

 private slots:
  void initTestCase() {
    QFile file(File());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("x");
  }

  void validateChecksInOrder_data() {
    QTest::addColumn<QString>("database");
    QTest::addColumn<QString>("temp");
    QTest::addColumn<QString>("log");
    QTest::addColumn<QString>("message");
    const QString badDatabase = QStringLiteral("Please select valid database file path to continue the recovery process.");
    const QString badTemp = QStringLiteral("Please select valid temporary file path to continue the recovery process.");
    const QString badLog = QStringLiteral("Please select valid Log file path to continue the recovery process.");
    const QString missing = Folder() + QStringLiteral("/missing");
    QTest::newRow("empty database path") << QString() << Folder() << Folder() << badDatabase;
    QTest::newRow("database path is a file") << File() << Folder() << Folder() << badDatabase;
    QTest::newRow("database checked before temp") << missing << missing << missing << badDatabase;
    QTest::newRow("missing temp path") << Folder() << missing << Folder() << badTemp;
    QTest::newRow("empty temp path") << Folder() << QString() << Folder() << badTemp;
    QTest::newRow("temp path may be a file") << Folder() << File() << Folder() << QString();
    QTest::newRow("missing log path") << Folder() << Folder() << missing << badLog;
    QTest::newRow("all valid") << Folder() << Folder() + QLatin1Char('/') << Folder() << QString();
  }

  void validateChecksInOrder() {
    QFETCH(QString, database);
    QFETCH(QString, temp);
    QFETCH(QString, log);
    QFETCH(QString, message);
    RunPaths paths;
    QCOMPARE(FileSettingDialog::Validate(database, temp, log, paths), message);
    if (message.isEmpty()) {
      // Every path gets exactly one trailing '/'.
      QCOMPARE(QString::fromStdString(paths.databasePath), database + QLatin1Char('/'));
      QVERIFY(QString::fromStdString(paths.tempPath).endsWith(QLatin1Char('/')));
      QVERIFY(!QString::fromStdString(paths.tempPath).endsWith(QStringLiteral("//")));
      QCOMPARE(QString::fromStdString(paths.logFolder), log + QLatin1Char('/'));
    }
  }

  void dialogStartsWithTheDefaultsAndKeepsOpenOnAFailedCheck() {
    ShellRecorder rec;
    FileSettingDialog dialog;
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Select Database File"));
    QVERIFY(dialog.DatabasePathEdit()->text().isEmpty());
    QVERIFY(dialog.TempPathEdit()->text().endsWith(QLatin1Char('/')));
    const QString log = dialog.LogPathEdit()->text();
    QVERIFY(!log.endsWith(QLatin1Char('/')));
    QVERIFY(QFileInfo(log).isDir());
    dialog.show();
    QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
    QVERIFY(dialog.isVisible());
    QCOMPARE(rec.Texts(), QStringList{QStringLiteral("Please select valid database file path to continue the recovery process.")});
    dialog.DatabasePathEdit()->setText(Folder());
    QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(QString::fromStdString(dialog.Paths().logFolder), log + QLatin1Char('/'));
    QCOMPARE(QString::fromStdString(dialog.Paths().tempPath), dialog.TempPathEdit()->text());
  }

  void aboutBoxSwallowsEnterAndEscape() {
    ShellRecorder rec;
    AboutDialog about;
    QCOMPARE(about.windowTitle(), QStringLiteral("Corvalt Wexholt v22.0"));
    QCOMPARE(about.TitleLabel()->font().pixelSize(), 15);
    QCOMPARE(about.TitleLabel()->font().weight(), QFont::DemiBold);
    about.show();
    QVERIFY(QTest::qWaitForWindowExposed(&about));
    about.OkButton()->setFocus();
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
      QTest::keyClick(&about, key);
      QTest::keyClick(about.OkButton(), key);
      QVERIFY(about.isVisible());
    }
    QTest::mouseClick(about.OkButton(), Qt::LeftButton);
    QVERIFY(!about.isVisible());
    QCOMPARE(about.result(), int(QDialog::Accepted));
  }

  void splashShapeLeavesOutTheKeyColour() {
    QImage picture(5, 2, QImage::Format_RGB32);
    picture.fill(QColor(255, 0, 255));
    picture.setPixelColor(1, 0, Qt::black);
    picture.setPixelColor(2, 0, Qt::white);
    picture.setPixelColor(4, 0, Qt::red);
    picture.setPixelColor(0, 1, QColor(254, 0, 255));  // close to the key, still part of the picture
    const QRegion region = SplashScreen::RegionWithoutKey(picture);
    QCOMPARE(region, QRegion(1, 0, 2, 1) + QRegion(4, 0, 1, 1) + QRegion(0, 1, 1, 1));
  }

  void splashShowsForTwoSecondsThenGoes() {
    QWidget owner;
    QPointer<SplashScreen> splash = new SplashScreen(&owner, QStringLiteral("v22.0"));
    splash->Start();
    QVERIFY(splash->isVisible());
    QVERIFY(!splash->mask().isEmpty());
    QTest::qWait(SplashScreen::kDisplayMilliseconds - 300);
    QVERIFY(splash && splash->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(splash.isNull(), 3000);
  }

  void applicationLookIsStored() {
    CBrenmoorApp app;
    ShellRecorder rec;
    {
      auto window = MakeShownWindow(app);
      QVERIFY(window);
      window->OnCommand(217);
      QCOMPARE(window->Look(), 217);
    }
    QCOMPARE(LoadApplicationLook(), 217);
    auto again = MakeShownWindow(app);
    QCOMPARE(again->Look(), 217);
    again->OnCommand(kLookDefault);
    QCOMPARE(LoadApplicationLook(), kLookDefault);
  }

  void secondInstanceShowsTheMessageAndExits() {
    const QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/../src/shell/corvalt-wexholt");
    if (!QFileInfo(program).isExecutable()) QSKIP("the program is not built next to the tests");
    QTemporaryDir lockDir;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("WEXHOLT_INSTANCE_LOCK_DIR"), lockDir.path());

    QProcess first;
    first.setProcessEnvironment(env);
    first.start(program, {});
    QVERIFY(first.waitForStarted());
    // The first copy holds the lock once it runs.
    QTRY_VERIFY_WITH_TIMEOUT(SingleInstance(lockDir.path()).AlreadyRunning(), 10000);

    QProcess second;
    second.setProcessEnvironment(env);
    second.start(program, {QStringLiteral("--screenshot"), lockDir.filePath(QStringLiteral("never.png"))});
    QVERIFY(second.waitForFinished(15000));
    QCOMPARE(second.exitCode(), 1);
    QVERIFY(QString::fromUtf8(second.readAllStandardError()).contains(QStringLiteral("Another instance of application is already running")));
    QVERIFY(!QFile::exists(lockDir.filePath(QStringLiteral("never.png"))));
    QCOMPARE(first.state(), QProcess::Running);

    first.kill();
    QVERIFY(first.waitForFinished(5000));
    // With the first copy gone the lock is free again.
    QVERIFY(!SingleInstance(lockDir.path()).AlreadyRunning());
  }
};

static const int registered = RegisterTest([] { return new DialogTest; });

#include "DialogTest.moc"
