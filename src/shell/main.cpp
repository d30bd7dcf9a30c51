// corvalt-wexholt: the desktop program.
//
//   corvalt-wexholt [--open DATADIR] [--select DB.TABLE] [--screenshot FILE.png]
//
// --open scans DATADIR without the Select Database File dialog (temporary and log folders: the
// dialog's defaults); --select then shows the named table (or view or trigger file) of database DB;
// --screenshot writes a picture of the main window to FILE.png once that is done and exits. With
// --screenshot no person is assumed: message boxes go to standard error and are answered OK or No.
#include <QApplication>
#include <QCommandLineParser>
#include <QScreen>
#include <QTimer>
#include <cstdio>

#include "MainWindow.h"
#include "ShellHooks.h"
#include "SingleInstance.h"
#include "workflow/BrenmoorApp.h"

using namespace wexholt;
using namespace wexholt::shell;

int main(int argc, char** argv) {
  // The instance guard comes first, then the application object (which loads the collation table).
  SingleInstance instance;
  static CBrenmoorApp app;

  QApplication qapp(argc, argv);
  QCoreApplication::setOrganizationName(QStringLiteral("CorvaltWexholt22.0"));
  QCoreApplication::setApplicationName(QStringLiteral("corvalt-wexholt"));
  QCoreApplication::setApplicationVersion(QStringLiteral("22.0"));
  QApplication::setApplicationDisplayName(QString());

  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral("Reads MySQL and MariaDB data files without a server."));
  parser.addHelpOption();
  parser.addVersionOption();
  QCommandLineOption openOption(QStringLiteral("open"), QStringLiteral("Scan DATADIR without the dialog."), QStringLiteral("DATADIR"));
  QCommandLineOption selectOption(QStringLiteral("select"), QStringLiteral("Show the table DB.TABLE after the scan."),
                                  QStringLiteral("DB.TABLE"));
  QCommandLineOption screenshotOption(QStringLiteral("screenshot"),
                                      QStringLiteral("Write a picture of the main window to FILE.png and exit."),
                                      QStringLiteral("FILE.png"));
  parser.addOption(openOption);
  parser.addOption(selectOption);
  parser.addOption(screenshotOption);
  parser.process(qapp);

  const QString screenshot = parser.value(screenshotOption);
  SetBatchMode(!screenshot.isEmpty());

  if (instance.AlreadyRunning()) {
    ShowMessage(nullptr, QString::fromLatin1(kAnotherInstanceText), MessageIcon::kInformation);
    return 1;
  }

  MainWindow window(app, MainWindowOptions{screenshot.isEmpty()});
  window.showMaximized();
  if (!screenshot.isEmpty()) {
    // Without a window manager nothing maximises the window; the picture shows the whole screen.
    if (QScreen* screen = window.screen()) window.setGeometry(screen->availableGeometry());
  }

  const QString select = parser.value(selectOption);
  auto takePicture = [&window, screenshot] {
    // Let the window lay itself out and paint once before the picture is taken.
    QTimer::singleShot(400, &window, [&window, screenshot] {
      const bool saved = window.grab().save(screenshot, "PNG");
      if (!saved) std::fprintf(stderr, "cannot write %s\n", screenshot.toLocal8Bit().constData());
      QCoreApplication::exit(saved ? 0 : 1);
    });
  };
  QObject::connect(&window, &MainWindow::scanFinished, &window, [&window, select, screenshot, takePicture] {
    if (!select.isEmpty() && !window.SelectByName(select)) {
      std::fprintf(stderr, "no item %s\n", select.toLocal8Bit().constData());
    }
    if (!screenshot.isEmpty()) takePicture();
  });

  if (parser.isSet(openOption)) {
    const QString dataPath = parser.value(openOption);
    QTimer::singleShot(0, &window, [&window, dataPath] { window.OpenDirectory(dataPath); });
  } else if (!screenshot.isEmpty()) {
    takePicture();
  }
  return qapp.exec();
}
