// The test objects of test_shell: each test file registers its QObject test class here, and main
// runs them one after the other in one QApplication.
#pragma once

#include <QObject>
#include <functional>
#include <vector>

namespace wexholt::shell::testing {

using TestFactory = std::function<QObject*()>;
std::vector<TestFactory>& RegisteredTests();
inline int RegisterTest(TestFactory factory) {
  RegisteredTests().push_back(std::move(factory));
  return int(RegisteredTests().size());
}

}  // namespace wexholt::shell::testing
