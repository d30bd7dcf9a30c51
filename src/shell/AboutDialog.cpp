#include "AboutDialog.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QWindow>

#include "Artwork.h"
#include "ShellHooks.h"
#include "workflow/FrontEnd.h"

namespace wexholt::shell {
namespace {

// 263 x 166 dialog units.
constexpr int kWidth = 395;
constexpr int kHeight = 270;
constexpr int kHeaderHeight = 85;

bool IsSwallowedKey(int key) { return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape; }

}  // namespace

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent), title_(new QLabel(this)), ok_(new QPushButton(QStringLiteral("OK"), this)) {
  setObjectName(QStringLiteral("aboutBox"));
  setWindowTitle(QString::fromUtf8(kApplicationTitle));
  setFixedSize(kWidth, kHeight);

  auto* header = new QLabel(this);
  header->setPixmap(AboutHeader(kWidth, kHeaderHeight));
  header->setGeometry(0, 0, kWidth, kHeaderHeight);

  QFont titleFont(QStringLiteral("Arial"));
  titleFont.setPixelSize(15);
  titleFont.setWeight(QFont::DemiBold);  // 600
  title_->setFont(titleFont);
  title_->setText(QString::fromUtf8(kApplicationTitle));
  title_->setGeometry(16, kHeaderHeight + 8, kWidth - 32, 22);

  auto link = [this](const QString& url, const QString& text, const QString& tip, int y) {
    auto* label = new QLabel(this);
    label->setText(QStringLiteral("<a href=\"%1\">%2</a>").arg(url.toHtmlEscaped(), text.toHtmlEscaped()));
    label->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
    label->setToolTip(tip);
    label->setGeometry(16, y, kWidth - 32, 20);
    connect(label, &QLabel::linkActivated, this, [](const QString& target) { OpenUrl(target); });
    return label;
  };
  const QString help = HelpPageUrl();
  link(help, QStringLiteral("Corvalt Wexholt documentation"), QStringLiteral("Company website"), kHeaderHeight + 34);
  link(QStringLiteral("mailto:") + QString::fromLatin1(kSupportAddress), QString::fromLatin1(kSupportAddress),
       QStringLiteral("Support email address"), kHeaderHeight + 56);
  link(QStringLiteral("mailto:") + QString::fromLatin1(kSalesAddress), QString::fromLatin1(kSalesAddress),
       QStringLiteral("Sales email address"), kHeaderHeight + 78);

  auto* notice = new QLabel(QStringLiteral("Reads MySQL and MariaDB data files without a server; never writes to them."), this);
  notice->setGeometry(16, kHeaderHeight + 104, kWidth - 32, 20);
  auto* separator = new QLabel(QString(60, QLatin1Char('_')), this);
  separator->setGeometry(16, kHeaderHeight + 120, kWidth - 32, 16);
  separator->setAlignment(Qt::AlignCenter);

  ok_->setGeometry(kWidth - 96, kHeight - 36, 80, 26);
  ok_->setAutoDefault(false);
  ok_->setDefault(false);
  connect(ok_, &QPushButton::clicked, this, &QDialog::accept);

  // Enter and Escape do nothing wherever the focus is.
  for (QWidget* child : findChildren<QWidget*>()) child->installEventFilter(this);
}

void AboutDialog::keyPressEvent(QKeyEvent* event) {
  if (IsSwallowedKey(event->key())) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

bool AboutDialog::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && IsSwallowedKey(static_cast<QKeyEvent*>(event)->key())) return true;
  return QDialog::eventFilter(watched, event);
}

void AboutDialog::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QDialog::mousePressEvent(event);
  // The window system moves the box when it can; otherwise the box follows the mouse itself.
  if (windowHandle() && windowHandle()->startSystemMove()) return;
  dragging_ = true;
  dragOffset_ = event->globalPosition().toPoint() - frameGeometry().topLeft();
}

void AboutDialog::mouseMoveEvent(QMouseEvent* event) {
  if (dragging_) move(event->globalPosition().toPoint() - dragOffset_);
}

void AboutDialog::mouseReleaseEvent(QMouseEvent*) { dragging_ = false; }

}  // namespace wexholt::shell
