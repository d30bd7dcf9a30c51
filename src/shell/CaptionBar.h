// CaptionBar: the one-line status text under the ribbon, with its bitmap on the left. The text is
// kept as set (a trailing line break included) and drawn on one line.
#pragma once

#include <QLabel>
#include <QWidget>
#include <string>

namespace wexholt::shell {

class CaptionBar : public QWidget {
  Q_OBJECT
 public:
  explicit CaptionBar(QWidget* parent = nullptr);

  // Sets the text and redraws the bar.
  void SetCaptionText(const std::string& text);
  const std::string& CaptionText() const { return text_; }
  QString ShownText() const;
  void SetLook(int look);

 private:
  std::string text_;
  QLabel* image_;
  QLabel* label_;
};

}  // namespace wexholt::shell
