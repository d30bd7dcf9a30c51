#include "Artwork.h"

#include <QBitmap>
#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>
#include <functional>

namespace wexholt::shell {
namespace {

void DrawDatabase(QPainter& p, QRectF r, QColor body) {
  const qreal capH = r.height() * 0.28;
  QPainterPath side;
  side.moveTo(r.left(), r.top() + capH / 2);
  side.lineTo(r.left(), r.bottom() - capH / 2);
  side.arcTo(QRectF(r.left(), r.bottom() - capH, r.width(), capH), 180, 180);
  side.lineTo(r.right(), r.top() + capH / 2);
  side.closeSubpath();
  QLinearGradient g(r.topLeft(), r.topRight());
  g.setColorAt(0, body.darker(130));
  g.setColorAt(0.45, body.lighter(130));
  g.setColorAt(1, body.darker(150));
  p.setPen(QPen(body.darker(220), 1.0));
  p.setBrush(g);
  p.drawPath(side);
  p.setBrush(body.lighter(150));
  p.drawEllipse(QRectF(r.left(), r.top(), r.width(), capH));
  // Two bands round the body.
  p.setBrush(Qt::NoBrush);
  for (qreal f : {0.42, 0.66}) {
    const qreal y = r.top() + r.height() * f;
    p.drawArc(QRectF(r.left(), y - capH / 2, r.width(), capH), 180 * 16, 180 * 16);
  }
}

void DrawFolder(QPainter& p, QRectF r, QColor colour) {
  QPainterPath tab;
  tab.moveTo(r.left(), r.top() + r.height() * 0.18);
  tab.lineTo(r.left() + r.width() * 0.38, r.top() + r.height() * 0.18);
  tab.lineTo(r.left() + r.width() * 0.48, r.top() + r.height() * 0.30);
  tab.lineTo(r.right(), r.top() + r.height() * 0.30);
  tab.lineTo(r.right(), r.bottom());
  tab.lineTo(r.left(), r.bottom());
  tab.closeSubpath();
  p.setPen(QPen(colour.darker(200), 1.0));
  p.setBrush(colour.darker(115));
  p.drawPath(tab);
  QLinearGradient g(r.topLeft(), r.bottomLeft());
  g.setColorAt(0, colour.lighter(140));
  g.setColorAt(1, colour);
  p.setBrush(g);
  p.drawRect(QRectF(r.left(), r.top() + r.height() * 0.40, r.width(), r.height() * 0.60));
}

void DrawKey(QPainter& p, QRectF r) {
  const QColor gold(214, 166, 38);
  p.setPen(QPen(gold.darker(190), r.width() / 16.0));
  p.setBrush(gold);
  const qreal d = r.width() * 0.46;
  p.drawEllipse(QRectF(r.left(), r.top() + r.height() * 0.1, d, d));
  p.setBrush(Qt::white);
  p.drawEllipse(QRectF(r.left() + d * 0.32, r.top() + r.height() * 0.1 + d * 0.32, d * 0.36, d * 0.36));
  QPen shaft(gold.darker(150), r.width() / 7.0, Qt::SolidLine, Qt::FlatCap);
  p.setPen(shaft);
  const QPointF a(r.left() + d * 0.9, r.top() + r.height() * 0.1 + d * 0.9);
  const QPointF b(r.right() - r.width() * 0.05, r.bottom() - r.height() * 0.05);
  p.drawLine(a, b);
  const QPointF mid = a + (b - a) * 0.62;
  p.drawLine(mid, mid + QPointF(r.width() * 0.16, -r.height() * 0.16));
}

void DrawViewGlass(QPainter& p, QRectF r) {
  // A framed sheet with a lens: a stored query looking at a table.
  p.setPen(QPen(QColor(40, 90, 150), 1.0));
  p.setBrush(QColor(225, 238, 252));
  p.drawRect(r.adjusted(0, r.height() * 0.08, -r.width() * 0.1, -r.height() * 0.2));
  p.setPen(QPen(QColor(120, 150, 190), 1.0));
  for (int i = 1; i <= 3; ++i) {
    const qreal y = r.top() + r.height() * (0.08 + 0.17 * i);
    p.drawLine(QPointF(r.left() + 2, y), QPointF(r.right() - r.width() * 0.1 - 2, y));
  }
  p.setPen(QPen(QColor(30, 30, 30), r.width() / 10.0, Qt::SolidLine, Qt::RoundCap));
  p.setBrush(QColor(255, 255, 255, 170));
  const QRectF lens(r.left() + r.width() * 0.42, r.top() + r.height() * 0.42, r.width() * 0.36, r.height() * 0.36);
  p.drawEllipse(lens);
  p.drawLine(lens.center() + QPointF(lens.width() * 0.36, lens.height() * 0.36), r.bottomRight());
}

void DrawLightning(QPainter& p, QRectF r) {
  QPainterPath bolt;
  bolt.moveTo(r.left() + r.width() * 0.62, r.top());
  bolt.lineTo(r.left() + r.width() * 0.18, r.top() + r.height() * 0.56);
  bolt.lineTo(r.left() + r.width() * 0.46, r.top() + r.height() * 0.56);
  bolt.lineTo(r.left() + r.width() * 0.32, r.bottom());
  bolt.lineTo(r.left() + r.width() * 0.84, r.top() + r.height() * 0.40);
  bolt.lineTo(r.left() + r.width() * 0.56, r.top() + r.height() * 0.40);
  bolt.closeSubpath();
  QLinearGradient g(r.topLeft(), r.bottomLeft());
  g.setColorAt(0, QColor(255, 232, 90));
  g.setColorAt(1, QColor(240, 140, 20));
  p.setPen(QPen(QColor(150, 80, 0), 1.0));
  p.setBrush(g);
  p.drawPath(bolt);
}

void DrawStop(QPainter& p, QRectF r) {
  QPainterPath oct;
  const QPointF c = r.center();
  const qreal rad = r.width() / 2;
  for (int i = 0; i < 8; ++i) {
    const qreal angle = (22.5 + 45.0 * i) * 3.14159265358979 / 180.0;
    const QPointF pt(c.x() + rad * std::cos(angle), c.y() + rad * std::sin(angle));
    if (i == 0) oct.moveTo(pt); else oct.lineTo(pt);
  }
  oct.closeSubpath();
  QRadialGradient g(c, rad);
  g.setColorAt(0, QColor(240, 80, 70));
  g.setColorAt(1, QColor(170, 20, 20));
  p.setPen(QPen(QColor(110, 0, 0), 1.0));
  p.setBrush(g);
  p.drawPath(oct);
  p.setBrush(Qt::white);
  p.setPen(Qt::NoPen);
  p.drawRect(QRectF(c.x() - rad * 0.5, c.y() - rad * 0.15, rad, rad * 0.3));
}

void DrawRoundBadge(QPainter& p, QRectF r, QColor colour, const QString& glyph) {
  QRadialGradient g(r.center() - QPointF(r.width() * 0.15, r.height() * 0.15), r.width() * 0.7);
  g.setColorAt(0, colour.lighter(160));
  g.setColorAt(1, colour);
  p.setPen(QPen(colour.darker(170), 1.0));
  p.setBrush(g);
  p.drawEllipse(r);
  QFont f(QStringLiteral("Arial"));
  f.setBold(true);
  f.setPixelSize(qMax(6, int(r.height() * 0.72)));
  p.setFont(f);
  p.setPen(Qt::white);
  p.drawText(r, Qt::AlignCenter, glyph);
}

void DrawSheet(QPainter& p, QRectF r) {
  p.setPen(QPen(QColor(60, 110, 60), 1.0));
  p.setBrush(Qt::white);
  p.drawRect(r);
  p.setBrush(QColor(120, 190, 110));
  p.drawRect(QRectF(r.left(), r.top(), r.width(), r.height() * 0.22));
  p.setPen(QPen(QColor(110, 160, 110), 1.0));
  for (int i = 1; i < 4; ++i) {
    const qreal y = r.top() + r.height() * (0.22 + 0.195 * i);
    p.drawLine(QPointF(r.left(), y), QPointF(r.right(), y));
  }
  const qreal x = r.left() + r.width() * 0.45;
  p.drawLine(QPointF(x, r.top()), QPointF(x, r.bottom()));
}

void DrawArrow(QPainter& p, QRectF r, bool down, QColor colour) {
  QPainterPath a;
  const qreal cx = r.center().x();
  if (down) {
    a.moveTo(cx - r.width() * 0.2, r.top());
    a.lineTo(cx + r.width() * 0.2, r.top());
    a.lineTo(cx + r.width() * 0.2, r.top() + r.height() * 0.5);
    a.lineTo(r.right(), r.top() + r.height() * 0.5);
    a.lineTo(cx, r.bottom());
    a.lineTo(r.left(), r.top() + r.height() * 0.5);
    a.lineTo(cx - r.width() * 0.2, r.top() + r.height() * 0.5);
  }
  a.closeSubpath();
  p.setPen(QPen(colour.darker(180), 1.0));
  p.setBrush(colour);
  p.drawPath(a);
}

void DrawRibbon32(QPainter& p, int index) {
  const QRectF full(1, 1, 30, 30);
  switch (index) {
    case kRibbonImageOpen:
      DrawFolder(p, QRectF(1, 6, 30, 22), QColor(238, 196, 80));
      DrawDatabase(p, QRectF(11, 2, 14, 17), QColor(70, 130, 200));
      break;
    case kRibbonImageStop:
      DrawStop(p, QRectF(2, 2, 28, 28));
      break;
    case kRibbonImageSave:
      DrawDatabase(p, QRectF(3, 8, 20, 22), QColor(70, 160, 90));
      DrawArrow(p, QRectF(18, 1, 13, 16), true, QColor(60, 120, 220));
      break;
    case kRibbonImageHelp:
      DrawRoundBadge(p, full, QColor(40, 110, 210), QStringLiteral("?"));
      break;
    case kRibbonImageAbout:
      DrawRoundBadge(p, full, QColor(30, 150, 140), QStringLiteral("i"));
      break;
    case kRibbonImageExport:
      DrawSheet(p, QRectF(2, 4, 24, 24));
      DrawArrow(p, QRectF(19, 9, 12, 14), true, QColor(230, 140, 30));
      break;
    default:
      DrawDatabase(p, QRectF(6, 3, 20, 26), QColor(120, 120, 140));
      break;
  }
}

// Draws on a square of unit x unit logical pixels, scaled to size.
QPixmap Draw(int size, const std::function<void(QPainter&)>& draw, int unit = 32) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  p.scale(qreal(size) / unit, qreal(size) / unit);
  draw(p);
  return pixmap;
}

}  // namespace

QPixmap RibbonImage(int index, int size) {
  return Draw(size, [index](QPainter& p) { DrawRibbon32(p, index); });
}

QIcon RibbonIcon(int index) {
  QIcon icon;
  icon.addPixmap(RibbonImage(index, 16));
  icon.addPixmap(RibbonImage(index, 32));
  QPixmap disabled = RibbonImage(index, 32);
  {
    // The disabled form: the same picture in grey.
    QImage img = disabled.toImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < img.height(); ++y) {
      auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
      for (int x = 0; x < img.width(); ++x) {
        const int grey = qGray(line[x]) / 2 + 100;
        line[x] = qRgba(grey, grey, grey, qAlpha(line[x]) / 2);
      }
    }
    icon.addPixmap(QPixmap::fromImage(img), QIcon::Disabled);
  }
  return icon;
}

QPixmap ApplicationButtonImage() {
  return Draw(40, [](QPainter& p) {
    QRadialGradient g(QPointF(15, 13), 24);
    g.setColorAt(0, QColor(255, 255, 255));
    g.setColorAt(0.5, QColor(170, 200, 240));
    g.setColorAt(1, QColor(60, 100, 170));
    p.setPen(QPen(QColor(40, 70, 130), 1.2));
    p.setBrush(g);
    p.drawEllipse(QRectF(1, 1, 38, 38));
    DrawDatabase(p, QRectF(11, 8, 18, 24), QColor(200, 80, 40));
  }, 40);
}

QPixmap TreeImage(int index) {
  return Draw(16, [index](QPainter& p) {
    switch (index) {
      case 2: DrawKey(p, QRectF(1, 1, 14, 14)); break;
      case 15: DrawViewGlass(p, QRectF(0.5, 0.5, 15, 15)); break;
      case 21: DrawLightning(p, QRectF(2, 0.5, 12, 15)); break;
      default: DrawFolder(p, QRectF(0.5, 1.5, 15, 13), QColor(238, 196, 80)); break;
    }
  }, 16);
}

namespace {
QPixmap PageImage(bool next) {
  QPixmap pixmap(40, 18);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  QColor colour(40, 120, 200);
  for (int k = 0; k < 2; ++k) {
    QPainterPath tri;
    const qreal x0 = 6 + k * 13;
    if (next) {
      tri.moveTo(x0, 2);
      tri.lineTo(x0 + 13, 9);
      tri.lineTo(x0, 16);
    } else {
      tri.moveTo(x0 + 13, 2);
      tri.lineTo(x0, 9);
      tri.lineTo(x0 + 13, 16);
    }
    tri.closeSubpath();
    QLinearGradient g(0, 2, 0, 16);
    g.setColorAt(0, colour.lighter(150));
    g.setColorAt(1, colour);
    p.setPen(QPen(colour.darker(170), 1.0));
    p.setBrush(g);
    p.drawPath(tri);
  }
  return pixmap;
}
}  // namespace

QPixmap PreviousPageImage() { return PageImage(false); }
QPixmap NextPageImage() { return PageImage(true); }

QPixmap OkImage() {
  return Draw(16, [](QPainter& p) {
    p.setPen(QPen(QColor(20, 140, 40), 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    QPainterPath tick;
    tick.moveTo(2.5, 8.5);
    tick.lineTo(6.5, 12.5);
    tick.lineTo(13.5, 3.5);
    p.drawPath(tick);
  }, 16);
}

QPixmap CancelImage() {
  return Draw(16, [](QPainter& p) {
    p.setPen(QPen(QColor(200, 30, 30), 2.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 12.5));
    p.drawLine(QPointF(12.5, 3.5), QPointF(3.5, 12.5));
  }, 16);
}

QPixmap CaptionBitmap() {
  // Drawn on white; white is the transparent colour of this bitmap.
  QImage image(16, 16, QImage::Format_RGB32);
  image.fill(Qt::white);
  {
    QPainter p(&image);
    DrawRoundBadge(p, QRectF(1, 1, 14, 14), QColor(30, 110, 200), QStringLiteral("i"));
  }
  QPixmap pixmap = QPixmap::fromImage(image);
  pixmap.setMask(pixmap.createMaskFromColor(Qt::white, Qt::MaskInColor));
  return pixmap;
}

QImage SplashPicture() {
  const int w = 440, h = 250;
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(QColor(255, 0, 255));
  QPainter p(&image);
  // No antialiasing on the outline: the edge pixels are either the picture or the key colour.
  QPainterPath shape;
  shape.addRoundedRect(QRectF(0, 20, w - 1, h - 21), 26, 26);
  shape.addEllipse(QRectF(w - 120, 0, 100, 100));
  p.setPen(Qt::NoPen);
  QLinearGradient bg(0, 0, 0, h);
  bg.setColorAt(0, QColor(36, 82, 150));
  bg.setColorAt(1, QColor(12, 34, 74));
  p.setBrush(bg);
  p.drawPath(shape.simplified());
  p.setRenderHint(QPainter::Antialiasing);
  DrawDatabase(p, QRectF(w - 100, 18, 60, 72), QColor(230, 150, 60));
  p.setRenderHint(QPainter::TextAntialiasing);
  QFont title(QStringLiteral("Arial"));
  title.setPixelSize(38);
  title.setBold(true);
  p.setFont(title);
  p.setPen(Qt::white);
  p.drawText(QRectF(28, 60, w - 160, 50), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Corvalt Wexholt"));
  QFont sub(QStringLiteral("Arial"));
  sub.setPixelSize(15);
  p.setFont(sub);
  p.setPen(QColor(200, 220, 250));
  p.drawText(QRectF(30, 110, w - 60, 24), Qt::AlignLeft | Qt::AlignVCenter,
             QStringLiteral("MySQL data files, read without a server"));
  // A light band under the version text, which the splash window draws centred on the picture.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(235, 242, 252));
  p.drawRoundedRect(QRectF(w / 2.0 - 60, h / 2.0 + 2, 120, 36).translated(0, -19 + 0), 8, 8);
  return image;
}

QPixmap AboutHeader(int width, int height) {
  QPixmap pixmap(width, height);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient g(0, 0, width, height);
  g.setColorAt(0, QColor(26, 64, 128));
  g.setColorAt(1, QColor(60, 130, 200));
  p.fillRect(pixmap.rect(), g);
  p.setPen(QPen(QColor(255, 255, 255, 40), 2));
  for (int x = -height; x < width; x += 18) p.drawLine(x, height, x + height, 0);
  const qreal s = height * 0.7;
  DrawDatabase(p, QRectF(width - s - 14, (height - s) / 2, s * 0.8, s), QColor(230, 150, 60));
  QFont f(QStringLiteral("Arial"));
  f.setPixelSize(qMax(10, height / 3));
  f.setBold(true);
  p.setFont(f);
  p.setPen(Qt::white);
  p.drawText(QRectF(16, 0, width - s - 40, height), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Corvalt Wexholt"));
  return pixmap;
}

QIcon ApplicationIcon() {
  QIcon icon;
  for (int size : {16, 32, 48}) {
    icon.addPixmap(Draw(size, [](QPainter& p) { DrawDatabase(p, QRectF(5, 2, 22, 28), QColor(200, 90, 40)); }));
  }
  return icon;
}

}  // namespace wexholt::shell
