#include "SplashScreen.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPropertyAnimation>
#include <QScreen>
#include <QTimer>

#include "Artwork.h"

namespace wexholt::shell {

SplashScreen::SplashScreen(QWidget* owner, const QString& versionText)
    : QWidget(owner, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::Tool | Qt::SplashScreen),
      versionText_(versionText) {
  setObjectName(QStringLiteral("splashScreen"));
  setAttribute(Qt::WA_DeleteOnClose);
  setAttribute(Qt::WA_ShowWithoutActivating);
  setCursor(Qt::ArrowCursor);
  const QImage image = SplashPicture();
  picture_ = QPixmap::fromImage(image);
  setFixedSize(picture_.size());
  setMask(RegionWithoutKey(image));
}

QRegion SplashScreen::RegionWithoutKey(const QImage& picture) {
  const QImage image = picture.convertToFormat(QImage::Format_RGB32);
  const QRgb key = qRgb(255, 0, 255);
  QRegion region;
  for (int y = 0; y < image.height(); ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    int x = 0;
    while (x < image.width()) {
      while (x < image.width() && (line[x] & 0xFFFFFF) == (key & 0xFFFFFF)) ++x;
      const int start = x;
      while (x < image.width() && (line[x] & 0xFFFFFF) != (key & 0xFFFFFF)) ++x;
      if (x > start) region += QRect(start, y, x - start, 1);
    }
  }
  return region;
}

namespace {
// Window opacity needs a window system; elsewhere (the offscreen platform) the splash shows at once.
bool CanBlend() { return QGuiApplication::platformName() != QLatin1String("offscreen"); }
}  // namespace

void SplashScreen::Start() {
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect full = screen->geometry();
    move(full.left() + (full.width() - width()) / 2, full.top() + (full.height() - height()) / 2);
  }
  if (!CanBlend()) {
    show();
    QTimer::singleShot(kDisplayMilliseconds, this, &QWidget::close);
    return;
  }
  setWindowOpacity(0.0);
  show();
  auto* fadeIn = new QPropertyAnimation(this, "windowOpacity", this);
  fadeIn->setDuration(kFadeInMilliseconds);
  fadeIn->setStartValue(0.0);
  fadeIn->setEndValue(1.0);
  fadeIn->start(QAbstractAnimation::DeleteWhenStopped);
  QTimer::singleShot(kDisplayMilliseconds, this, &SplashScreen::FadeOut);
}

void SplashScreen::FadeOut() {
  auto* fadeOut = new QPropertyAnimation(this, "windowOpacity", this);
  fadeOut->setDuration(kFadeOutMilliseconds);
  fadeOut->setStartValue(windowOpacity());
  fadeOut->setEndValue(0.0);
  connect(fadeOut, &QPropertyAnimation::finished, this, &QWidget::close);
  fadeOut->start(QAbstractAnimation::DeleteWhenStopped);
}

void SplashScreen::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.drawPixmap(0, 0, picture_);
  QFont font = QGuiApplication::font();
  font.setPixelSize(25);
  p.setFont(font);
  p.setPen(Qt::black);
  p.drawText(rect(), Qt::AlignCenter | Qt::TextSingleLine, versionText_);
}

}  // namespace wexholt::shell
