#include "SingleInstance.h"

#include <QByteArray>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace wexholt::shell {

QString SingleInstance::LockFileName() {
  QString name = QString::fromLatin1(kInstanceName);
  name.replace(QLatin1Char('\\'), QLatin1Char('_'));
  name.replace(QLatin1Char('/'), QLatin1Char('_'));
  return name + QStringLiteral(".lock");
}

SingleInstance::SingleInstance(const QString& folder) {
  QString dir = folder;
  if (dir.isEmpty()) dir = QString::fromLocal8Bit(qgetenv("WEXHOLT_INSTANCE_LOCK_DIR"));
  if (dir.isEmpty()) dir = QStringLiteral("/tmp");
  path_ = dir + QLatin1Char('/') + LockFileName();
  const QByteArray path = path_.toLocal8Bit();
  // Every user of the machine shares the one lock file: it is created readable and writable by
  // all, and a file made by another user is opened read-only, which flock() accepts as well.
  const mode_t oldMask = ::umask(0);
  fd_ = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  ::umask(oldMask);
  if (fd_ < 0) fd_ = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
  if (fd_ < 0) return;  // no lock possible: run without the guard
  if (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
    alreadyRunning_ = errno == EWOULDBLOCK;
    ::close(fd_);
    fd_ = -1;
  }
}

SingleInstance::~SingleInstance() {
  if (fd_ >= 0) ::close(fd_);
}

}  // namespace wexholt::shell
