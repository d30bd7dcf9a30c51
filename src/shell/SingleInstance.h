// SingleInstance: one running copy of the program per machine. The guard is a lock file in the
// machine's temporary folder named after the instance name "Global\{CORVALTRUZEZIDOV_EXE_RUNNING1}"
// and held with flock() for the life of the process; the system drops the lock when the process
// ends, however it ends, so a crashed run never blocks the next one.
#pragma once

#include <QString>

namespace wexholt::shell {

inline constexpr const char* kInstanceName = "Global\\{CORVALTRUZEZIDOV_EXE_RUNNING1}";
inline constexpr const char* kAnotherInstanceText = "Another instance of application is already running";

class SingleInstance {
 public:
  // folder: where the lock file lives (default: the environment's WEXHOLT_INSTANCE_LOCK_DIR, else
  // /tmp).
  explicit SingleInstance(const QString& folder = {});
  ~SingleInstance();
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;

  // True when another process holds the lock (this one is the second instance).
  bool AlreadyRunning() const { return alreadyRunning_; }
  const QString& LockPath() const { return path_; }

  // The lock file name made from the instance name ('\' is not kept in a file name).
  static QString LockFileName();

 private:
  QString path_;
  int fd_ = -1;
  bool alreadyRunning_ = false;
};

}  // namespace wexholt::shell
