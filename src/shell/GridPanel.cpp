#include "GridPanel.h"

#include <QFont>
#include <QHeaderView>
#include <QResizeEvent>

#include "Artwork.h"

namespace wexholt::shell {
namespace {

// The text box shows CR LF line ends as single line breaks.
QString DisplayText(const std::string& text) {
  QString s = QString::fromUtf8(text.data(), qsizetype(text.size()));
  s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return s;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// RecordModel

void RecordModel::SetColumns(const std::vector<GridColumn>& columns) {
  beginResetModel();
  rows_.clear();
  headings_.clear();
  widths_.clear();
  for (const GridColumn& column : columns) {
    headings_.push_back(QString::fromStdString(column.heading));
    widths_.push_back(column.width);
  }
  endResetModel();
}

void RecordModel::SetRows(const std::vector<std::vector<std::string>>& rows) {
  beginResetModel();
  rows_.clear();
  rows_.reserve(rows.size());
  for (const auto& row : rows) {
    std::vector<QString> cells;
    cells.reserve(headings_.size());
    for (size_t k = 0; k < headings_.size(); ++k) {
      cells.push_back(k < row.size() ? QString::fromUtf8(row[k].data(), qsizetype(row[k].size())) : QString());
    }
    rows_.push_back(std::move(cells));
  }
  endResetModel();
}

void RecordModel::Clear() {
  beginResetModel();
  rows_.clear();
  headings_.clear();
  widths_.clear();
  endResetModel();
}

QString RecordModel::Cell(int row, int column) const {
  if (row < 0 || row >= int(rows_.size()) || column < 0 || column >= int(rows_[size_t(row)].size())) return {};
  return rows_[size_t(row)][size_t(column)];
}

int RecordModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(rows_.size()); }
int RecordModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(headings_.size()); }

QVariant RecordModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  if (role == Qt::DisplayRole) return Cell(index.row(), index.column());
  if (role == Qt::TextAlignmentRole) return int(Qt::AlignLeft | Qt::AlignVCenter);
  return {};
}

QVariant RecordModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal) return {};
  if (role == Qt::DisplayRole && section >= 0 && section < int(headings_.size())) return headings_[size_t(section)];
  if (role == Qt::TextAlignmentRole) return int(Qt::AlignLeft | Qt::AlignVCenter);
  return {};
}

// ---------------------------------------------------------------------------------------------
// GridPanel

GridPanel::GridPanel(QWidget* parent)
    : QWidget(parent),
      records_(new RecordModel(this)),
      grid_(new QTableView(this)),
      textBox_(new QTextEdit(this)),
      previous_(new QToolButton(this)),
      next_(new QToolButton(this)),
      status_(new QLabel(this)) {
  QFont gridFont(QStringLiteral("Arial"));
  gridFont.setPixelSize(16);
  grid_->setObjectName(QStringLiteral("recordGrid"));
  grid_->setModel(records_);
  grid_->setFont(gridFont);
  grid_->setShowGrid(true);
  grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
  grid_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid_->setWordWrap(false);
  grid_->setTextElideMode(Qt::ElideRight);
  grid_->verticalHeader()->hide();
  // Fixed row heights and explicit column widths: a page of 1000 rows is laid out without
  // measuring any cell.
  grid_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  grid_->verticalHeader()->setDefaultSectionSize(QFontMetrics(gridFont).height() + 6);
  grid_->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  grid_->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  grid_->horizontalHeader()->setHighlightSections(false);
  grid_->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  grid_->setContextMenuPolicy(Qt::PreventContextMenu);

  textBox_->setObjectName(QStringLiteral("textBox"));
  textBox_->setReadOnly(true);
  textBox_->setAcceptRichText(false);
  textBox_->setLineWrapMode(QTextEdit::NoWrap);
  textBox_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  textBox_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

  previous_->setObjectName(QStringLiteral("previousRecords"));
  next_->setObjectName(QStringLiteral("nextRecords"));
  previous_->setIcon(QIcon(PreviousPageImage()));
  next_->setIcon(QIcon(NextPageImage()));
  previous_->setIconSize(QSize(40, 18));
  next_->setIconSize(QSize(40, 18));
  previous_->setToolTip(QStringLiteral("Previous Records"));
  next_->setToolTip(QStringLiteral("Next Records"));
  previous_->setAutoRaise(false);
  next_->setAutoRaise(false);
  connect(previous_, &QToolButton::clicked, this, &GridPanel::previousPageRequested);
  connect(next_, &QToolButton::clicked, this, &GridPanel::nextPageRequested);

  QFont statusFont(QStringLiteral("Arial"));
  statusFont.setPixelSize(16);
  statusFont.setBold(true);
  status_->setFont(statusFont);
  status_->setObjectName(QStringLiteral("statusLabel"));

  // At creation: one empty column 1500 pixels wide; grid, status label and buttons hidden, the
  // empty text box shown.
  SetColumns({GridColumn{"", 1500}});
  grid_->hide();
  status_->hide();
  previous_->hide();
  next_->hide();
  textBox_->show();
  PlaceChildren();
}

void GridPanel::SetColumns(const std::vector<GridColumn>& columns) {
  records_->SetColumns(columns);
  for (size_t k = 0; k < columns.size(); ++k) grid_->horizontalHeader()->resizeSection(int(k), columns[k].width);
}

void GridPanel::SetRows(const std::vector<std::vector<std::string>>& rows) {
  records_->SetRows(rows);
  const std::vector<int>& widths = records_->Widths();
  for (size_t k = 0; k < widths.size(); ++k) {
    if (grid_->horizontalHeader()->sectionSize(int(k)) != widths[k]) grid_->horizontalHeader()->resizeSection(int(k), widths[k]);
  }
}

void GridPanel::ClearGrid() { records_->Clear(); }

void GridPanel::ShowRecords(bool recordsVisible) {
  grid_->setVisible(recordsVisible);
  textBox_->setVisible(!recordsVisible);
}

void GridPanel::SetText(const std::string& text) { textBox_->setPlainText(DisplayText(text)); }

void GridPanel::SetStatusText(const std::string& text) { status_->setText(QString::fromStdString(text)); }

void GridPanel::ShowPageButtons(bool visible) {
  previous_->setVisible(visible);
  next_->setVisible(visible);
}

void GridPanel::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  PlaceChildren();
}

void GridPanel::PlaceChildren() {
  const int cx = width();
  const int cy = height();
  grid_->setGeometry(0, 0, cx, qMax(0, cy - 35));
  textBox_->setGeometry(0, 0, cx, cy);
  previous_->setGeometry(cx - 120, cy - 31, 50, 25);
  next_->setGeometry(cx - 65, cy - 31, 50, 25);
  status_->setGeometry(10, cy - 31, 490, 25);
  previous_->raise();
  next_->raise();
}

}  // namespace wexholt::shell
