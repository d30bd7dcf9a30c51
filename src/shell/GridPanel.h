// GridPanel: the main view's panel — the record grid (a table view over RecordModel: grid lines,
// full-row selection, Arial 16 px), the read-only text box in the same place, the Previous Records
// and Next Records image buttons and the status label that is never shown.
//
// Placement for a panel of cx x cy pixels, kept on every resize: grid (0, 0) cx x (cy - 35); text box
// (0, 0) cx x cy; Previous (cx - 120, cy - 31) and Next (cx - 65, cy - 31), 50 x 25 each; status label
// (10, cy - 31) 490 x 25. The grid and the text box are never shown together.
#pragma once

#include <QAbstractTableModel>
#include <QLabel>
#include <QTableView>
#include <QTextEdit>
#include <QToolButton>
#include <QWidget>
#include <string>
#include <vector>

#include "workflow/FrontEnd.h"

namespace wexholt::shell {

// The rows and columns of the record grid, held as display strings.
class RecordModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  using QAbstractTableModel::QAbstractTableModel;

  void SetColumns(const std::vector<GridColumn>& columns);  // removes all rows
  void SetRows(const std::vector<std::vector<std::string>>& rows);
  void Clear();
  // The widths asked for by the last SetColumns, in column order.
  const std::vector<int>& Widths() const { return widths_; }
  QString Cell(int row, int column) const;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  std::vector<QString> headings_;
  std::vector<int> widths_;
  std::vector<std::vector<QString>> rows_;
};

class GridPanel : public QWidget {
  Q_OBJECT
 public:
  explicit GridPanel(QWidget* parent = nullptr);

  QTableView* Grid() const { return grid_; }
  RecordModel* Records() const { return records_; }
  QTextEdit* TextBox() const { return textBox_; }
  QToolButton* PreviousButton() const { return previous_; }
  QToolButton* NextButton() const { return next_; }
  QLabel* StatusLabel() const { return status_; }

  void SetColumns(const std::vector<GridColumn>& columns);
  void SetRows(const std::vector<std::vector<std::string>>& rows);
  void ClearGrid();
  void ShowRecords(bool recordsVisible);
  void SetText(const std::string& text);
  void SetStatusText(const std::string& text);
  void ShowPageButtons(bool visible);

 signals:
  void previousPageRequested();
  void nextPageRequested();

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void PlaceChildren();

  RecordModel* records_;
  QTableView* grid_;
  QTextEdit* textBox_;
  QToolButton* previous_;
  QToolButton* next_;
  QLabel* status_;
};

}  // namespace wexholt::shell
