// Ribbon: the command bar across the top of the main window — the round application button (with
// the look menu and the pane toggles), one category tab "Wexholt", and panels of large buttons:
// Open, Stop, Save MySQL Data (no panel name), Export CSV ("Export"), Help and About ("About").
// Every button emits command() with its command id; the main window decides what it does.
#pragma once

#include <QHBoxLayout>
#include <QMap>
#include <QMenu>
#include <QToolButton>
#include <QWidget>

namespace wexholt::shell {

class Ribbon : public QWidget {
  Q_OBJECT
 public:
  explicit Ribbon(QWidget* parent = nullptr);

  // The button of a command id (nullptr when the ribbon has none).
  QToolButton* Button(int commandId) const { return buttons_.value(commandId, nullptr); }
  QToolButton* ApplicationButton() const { return applicationButton_; }
  QMenu* ApplicationMenu() const { return applicationMenu_; }
  void SetLook(int look);

 signals:
  void command(int commandId);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QWidget* AddPanel(QHBoxLayout* row, const QString& caption, const QList<int>& commands);
  QToolButton* MakeButton(int commandId, const QString& label, const QString& tooltip, int image);

  QMap<int, QToolButton*> buttons_;
  QToolButton* applicationButton_;
  QMenu* applicationMenu_;
  QWidget* tab_;
  int look_ = 215;
};

}  // namespace wexholt::shell
