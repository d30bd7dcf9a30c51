#include "Ribbon.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QVBoxLayout>

#include "ApplicationLook.h"
#include "Artwork.h"
#include "workflow/Workflow.h"

namespace wexholt::shell {

Ribbon::Ribbon(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("ribbon"));
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(4, 2, 4, 3);
  outer->setSpacing(0);

  // Application button and the one category tab.
  auto* top = new QHBoxLayout;
  top->setSpacing(8);
  applicationButton_ = new QToolButton(this);
  applicationButton_->setObjectName(QStringLiteral("applicationButton"));
  applicationButton_->setIcon(QIcon(ApplicationButtonImage()));
  applicationButton_->setIconSize(QSize(40, 40));
  applicationButton_->setAutoRaise(true);
  applicationButton_->setPopupMode(QToolButton::InstantPopup);
  applicationButton_->setStyleSheet(QStringLiteral("QToolButton { border: none; } QToolButton::menu-indicator { image: none; }"));
  applicationButton_->setShortcut(QKeySequence(QStringLiteral("Alt+F")));
  applicationMenu_ = new QMenu(applicationButton_);
  applicationButton_->setMenu(applicationMenu_);
  top->addWidget(applicationButton_, 0, Qt::AlignTop);

  auto* tabColumn = new QVBoxLayout;
  tabColumn->setSpacing(0);
  auto* tabRow = new QHBoxLayout;
  auto* tab = new QLabel(QStringLiteral("Wexholt"), this);
  tab->setObjectName(QStringLiteral("categoryTab"));
  tab->setAlignment(Qt::AlignCenter);
  tab->setMinimumWidth(90);
  tab_ = tab;
  tabRow->addWidget(tab);
  tabRow->addStretch(1);
  tabColumn->addLayout(tabRow);

  auto* panels = new QHBoxLayout;
  panels->setSpacing(4);
  panels->setContentsMargins(0, 0, 0, 0);
  MakeButton(kCommandOpen, QStringLiteral("Open"), QStringLiteral("Open Database file"), kRibbonImageOpen);
  MakeButton(kCommandStop, QStringLiteral("Stop"), QStringLiteral("Stop running process"), kRibbonImageStop);
  MakeButton(kCommandSave, QStringLiteral("Save MySQL Data"), QStringLiteral("Save recovered data"), kRibbonImageSave);
  MakeButton(kCommandExportCsv, QStringLiteral("Export CSV"), QStringLiteral("Export the grid to a CSV file"),
             kRibbonImageExport);
  MakeButton(kCommandHelp, QStringLiteral("Help"), QStringLiteral("Help for Corvalt Wexholt"), kRibbonImageHelp);
  MakeButton(kCommandAbout, QStringLiteral("About"), QStringLiteral("About Corvalt Wexholt"), kRibbonImageAbout);
  AddPanel(panels, QString(), {kCommandOpen, kCommandStop, kCommandSave});
  AddPanel(panels, QStringLiteral("Export"), {kCommandExportCsv});
  AddPanel(panels, QStringLiteral("About"), {kCommandHelp, kCommandAbout});
  panels->addStretch(1);
  tabColumn->addLayout(panels);
  top->addLayout(tabColumn, 1);
  outer->addLayout(top);
  SetLook(kLookDefault);
}

QToolButton* Ribbon::MakeButton(int commandId, const QString& label, const QString& tooltip, int image) {
  auto* button = new QToolButton(this);
  button->setObjectName(QStringLiteral("command%1").arg(commandId));
  button->setText(label);
  button->setToolTip(tooltip);
  button->setIcon(RibbonIcon(image));
  button->setIconSize(QSize(32, 32));
  button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  button->setAutoRaise(true);
  button->setMinimumWidth(58);
  connect(button, &QToolButton::clicked, this, [this, commandId] { emit command(commandId); });
  buttons_.insert(commandId, button);
  return button;
}

QWidget* Ribbon::AddPanel(QHBoxLayout* row, const QString& caption, const QList<int>& commands) {
  auto* panel = new QWidget(this);
  panel->setObjectName(QStringLiteral("ribbonPanel"));
  auto* column = new QVBoxLayout(panel);
  column->setContentsMargins(4, 3, 4, 1);
  column->setSpacing(1);
  auto* buttons = new QHBoxLayout;
  buttons->setSpacing(2);
  for (int id : commands) buttons->addWidget(buttons_.value(id));
  column->addLayout(buttons);
  auto* title = new QLabel(caption.isEmpty() ? QStringLiteral(" ") : caption, panel);
  title->setObjectName(QStringLiteral("panelCaption"));
  title->setAlignment(Qt::AlignCenter);
  column->addWidget(title);
  row->addWidget(panel);
  return panel;
}

void Ribbon::SetLook(int look) {
  look_ = look;
  const LookColours c = ColoursOf(look);
  setStyleSheet(QStringLiteral(
                    "QWidget#ribbonPanel { border: 1px solid %1; border-radius: 3px; background: %2; }"
                    "QLabel#panelCaption { color: %3; background: transparent; border: none; }"
                    "QLabel#categoryTab { color: %3; background: %2; border: 1px solid %1; border-bottom: none;"
                    " border-top-left-radius: 3px; border-top-right-radius: 3px; padding: 2px 10px; }"
                    "QToolButton { color: %3; }")
                    .arg(c.panelBorder.name(), c.ribbonTop.name(), c.ribbonText.name()));
  update();
}

void Ribbon::paintEvent(QPaintEvent*) {
  const LookColours c = ColoursOf(look_);
  QPainter p(this);
  QLinearGradient g(0, 0, 0, height());
  g.setColorAt(0, c.ribbonTop);
  g.setColorAt(1, c.ribbonBottom);
  p.fillRect(rect(), g);
  p.setPen(c.panelBorder);
  p.drawLine(0, height() - 1, width(), height() - 1);
}

}  // namespace wexholt::shell
