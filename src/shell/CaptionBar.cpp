#include "CaptionBar.h"

#include <QHBoxLayout>

#include "ApplicationLook.h"
#include "Artwork.h"

namespace wexholt::shell {

CaptionBar::CaptionBar(QWidget* parent) : QWidget(parent), image_(new QLabel(this)), label_(new QLabel(this)) {
  setObjectName(QStringLiteral("captionBar"));
  setAutoFillBackground(true);
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(6, 3, 6, 3);
  row->setSpacing(6);
  image_->setPixmap(CaptionBitmap());
  image_->setFixedSize(16, 16);
  label_->setTextFormat(Qt::PlainText);
  label_->setObjectName(QStringLiteral("captionText"));
  QFont font = label_->font();
  font.setBold(true);
  label_->setFont(font);
  row->addWidget(image_);
  row->addWidget(label_, 1);
  setFixedHeight(26);
  SetLook(kLookDefault);
}

QString CaptionBar::ShownText() const { return label_->text(); }

void CaptionBar::SetCaptionText(const std::string& text) {
  text_ = text;
  QString shown = QString::fromStdString(text);
  shown.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
  shown.replace(QLatin1Char('\n'), QLatin1Char(' '));
  label_->setText(shown.trimmed());
  update();
}

void CaptionBar::SetLook(int look) {
  const LookColours c = ColoursOf(look);
  QPalette p = palette();
  p.setColor(QPalette::Window, c.captionBar);
  p.setColor(QPalette::WindowText, c.captionText);
  setPalette(p);
  label_->setPalette(p);
}

}  // namespace wexholt::shell
