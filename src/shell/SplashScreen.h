// SplashScreen: the shaped window shown for two seconds while the main window is built. Its picture
// gives its size and its shape (every pixel that is not magenta 0xFF00FF); "v22.0" is drawn centred
// over it. It fades in over 500 ms, stays 2000 ms, fades out over 200 ms and deletes itself.
#pragma once

#include <QImage>
#include <QPixmap>
#include <QRegion>
#include <QWidget>

namespace wexholt::shell {

class SplashScreen : public QWidget {
  Q_OBJECT
 public:
  SplashScreen(QWidget* owner, const QString& versionText);

  // Shows the window, centred on the screen, and starts its timer.
  void Start();

  // The window region of a picture: the union of the horizontal runs of non-magenta pixels of every
  // row.
  static QRegion RegionWithoutKey(const QImage& picture);

  static constexpr int kDisplayMilliseconds = 2000;
  static constexpr int kFadeInMilliseconds = 500;
  static constexpr int kFadeOutMilliseconds = 200;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void FadeOut();

  QPixmap picture_;
  QString versionText_;
};

}  // namespace wexholt::shell
