// test_shell: the desktop program's windows driven on the offscreen platform.
#include <QApplication>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "TestRegistry.h"

namespace wexholt::shell::testing {
std::vector<TestFactory>& RegisteredTests() {
  static std::vector<TestFactory> tests;
  return tests;
}
}  // namespace wexholt::shell::testing

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // Settings go to a test location, and the instance lock of a running copy is left alone.
  QStandardPaths::setTestModeEnabled(true);
  QTemporaryDir lockDir;
  qputenv("WEXHOLT_INSTANCE_LOCK_DIR", lockDir.path().toLocal8Bit());
  QApplication app(argc, argv);
  QCoreApplication::setOrganizationName(QStringLiteral("CorvaltWexholt22.0"));
  QCoreApplication::setApplicationName(QStringLiteral("corvalt-wexholt-test"));
  int failed = 0;
  for (const auto& factory : wexholt::shell::testing::RegisteredTests()) {
    std::unique_ptr<QObject> test(factory());
    failed += QTest::qExec(test.get(), argc, argv);
  }
  return failed == 0 ? 0 : 1;
}
