// AboutDialog: the about box — header picture, the application title in Arial 15 px semi-bold, links
// to the help page and the two mail addresses, a one-line notice, and OK. Enter and Escape are
// swallowed, so only OK or the window's close button close it; a press anywhere outside its
// controls drags the box like its title bar.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QPushButton>

namespace wexholt::shell {

inline constexpr const char* kSupportAddress = "support@corvalt-wexholt.example";
inline constexpr const char* kSalesAddress = "sales@corvalt-wexholt.example";

class AboutDialog : public QDialog {
  Q_OBJECT
 public:
  explicit AboutDialog(QWidget* parent = nullptr);

  QLabel* TitleLabel() const { return title_; }
  QPushButton* OkButton() const { return ok_; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  QLabel* title_;
  QPushButton* ok_;
  QPoint dragOffset_;
  bool dragging_ = false;
};

}  // namespace wexholt::shell
