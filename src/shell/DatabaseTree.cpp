#include "DatabaseTree.h"

#include <QApplication>
#include <QHash>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionButton>
#include <QToolTip>

#include "Artwork.h"

namespace wexholt::shell {
namespace {

// Width of the three parts of an item: check box and image are 16 x 16 with gaps between them.
constexpr int kCheckLeft = 1;
constexpr int kImageLeft = 19;
constexpr int kLabelLeft = 37;
constexpr int kLabelPadding = 4;
constexpr int kToolTipMaxCharacters = 78;

const QPixmap& TreeImageCached(int image) {
  static QHash<int, QPixmap> cache;
  auto it = cache.find(image);
  if (it == cache.end()) it = cache.insert(image, TreeImage(image));
  return it.value();
}

Qt::CheckState ToQt(CheckState state) {
  switch (state) {
    case CheckState::kChecked: return Qt::Checked;
    case CheckState::kTriState: return Qt::PartiallyChecked;
    default: return Qt::Unchecked;
  }
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// DatabaseTreeModel

DatabaseTreeModel::DatabaseTreeModel(QObject* parent) : QAbstractItemModel(parent) {}

TreeItem DatabaseTreeModel::Internal(TreeItem item) const {
  auto it = toInternal_.find(item);
  return it == toInternal_.end() ? kNoTreeItem : it->second;
}

TreeItem DatabaseTreeModel::External(TreeItem internal) const {
  auto it = toExternal_.find(internal);
  return it == toExternal_.end() ? kNoTreeItem : it->second;
}

QModelIndex DatabaseTreeModel::IndexOfInternal(TreeItem internal) const {
  if (internal == kNoTreeItem || !tree_.Contains(internal)) return {};
  auto row = rowOf_.find(internal);
  if (row == rowOf_.end()) return {};
  return createIndex(row->second, 0, quintptr(internal));
}

void DatabaseTreeModel::Insert(TreeItem handle, TreeItem parent, const std::string& label, int image, int32_t data) {
  const TreeItem internalParent = Internal(parent);
  const QModelIndex parentIndex = IndexOfInternal(internalParent);
  const int row = internalParent == kNoTreeItem ? int(tree_.Roots().size()) : int(tree_.Children(internalParent).size());
  beginInsertRows(parentIndex, row, row);
  const TreeItem internal = tree_.Insert(internalParent, label, image, data);
  toInternal_[handle] = internal;
  toExternal_[internal] = handle;
  rowOf_[internal] = row;
  endInsertRows();
  // A checked ancestor turns tri-state when an unchecked item arrives below it.
  if (internalParent != kNoTreeItem) AnnounceCheckChange(internalParent);
}

void DatabaseTreeModel::Clear() {
  beginResetModel();
  tree_.Clear();
  toInternal_.clear();
  toExternal_.clear();
  rowOf_.clear();
  endResetModel();
}

bool DatabaseTreeModel::Contains(TreeItem item) const { return Internal(item) != kNoTreeItem; }

QModelIndex DatabaseTreeModel::IndexOf(TreeItem item) const { return IndexOfInternal(Internal(item)); }

TreeItem DatabaseTreeModel::ItemAt(const QModelIndex& index) const {
  if (!index.isValid() || index.model() != this) return kNoTreeItem;
  return External(TreeItem(index.internalId()));
}

std::string DatabaseTreeModel::Label(TreeItem item) const { return tree_.Label(Internal(item)); }
int32_t DatabaseTreeModel::Data(TreeItem item) const { return tree_.Data(Internal(item)); }
TreeItem DatabaseTreeModel::Parent(TreeItem item) const { return External(tree_.Parent(Internal(item))); }
CheckState DatabaseTreeModel::State(TreeItem item) const { return tree_.State(Internal(item)); }

bool DatabaseTreeModel::HasChildren(TreeItem item) const {
  const TreeItem internal = Internal(item);
  return internal != kNoTreeItem && !tree_.Children(internal).empty();
}

std::vector<TreeItem> DatabaseTreeModel::CheckedLeaves() const {
  std::vector<TreeItem> out;
  for (TreeItem internal : tree_.CheckedLeaves()) out.push_back(External(internal));
  return out;
}

std::vector<TreeItem> DatabaseTreeModel::PreOrder() const {
  std::vector<TreeItem> out;
  for (TreeItem internal : tree_.PreOrder()) out.push_back(External(internal));
  return out;
}

bool DatabaseTreeModel::Toggle(TreeItem item) {
  const TreeItem internal = Internal(item);
  if (!tree_.Toggle(internal)) return false;
  AnnounceCheckChange(internal);
  return true;
}

bool DatabaseTreeModel::SetChecked(TreeItem item, bool checked) {
  const TreeItem internal = Internal(item);
  if (!tree_.SetChecked(internal, checked)) return false;
  AnnounceCheckChange(internal);
  return true;
}

void DatabaseTreeModel::SetExpanded(TreeItem item, bool expanded) { tree_.SetExpanded(Internal(item), expanded); }

void DatabaseTreeModel::AnnounceCheckChange(TreeItem internal) {
  // The item, its ancestors and its descendants may all have changed their check image; the view
  // repaints what it shows on checksChanged, the item and its ancestors are named for other views.
  for (TreeItem up = internal; up != kNoTreeItem; up = tree_.Parent(up)) {
    const QModelIndex index = IndexOfInternal(up);
    emit dataChanged(index, index, {Qt::CheckStateRole});
  }
  emit checksChanged();
}

QModelIndex DatabaseTreeModel::index(int row, int column, const QModelIndex& parent) const {
  if (column != 0 || row < 0) return {};
  const std::vector<TreeItem>& children =
      parent.isValid() ? tree_.Children(TreeItem(parent.internalId())) : tree_.Roots();
  if (row >= int(children.size())) return {};
  return createIndex(row, 0, quintptr(children[size_t(row)]));
}

QModelIndex DatabaseTreeModel::parent(const QModelIndex& child) const {
  if (!child.isValid()) return {};
  return IndexOfInternal(tree_.Parent(TreeItem(child.internalId())));
}

int DatabaseTreeModel::rowCount(const QModelIndex& parent) const {
  if (parent.column() > 0) return 0;
  if (!parent.isValid()) return int(tree_.Roots().size());
  return int(tree_.Children(TreeItem(parent.internalId())).size());
}

int DatabaseTreeModel::columnCount(const QModelIndex&) const { return 1; }

QVariant DatabaseTreeModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const CheckTree::Item* item = tree_.Find(TreeItem(index.internalId()));
  if (item == nullptr) return {};
  switch (role) {
    case Qt::DisplayRole: return QString::fromStdString(item->label);
    case Qt::DecorationRole: return TreeImageCached(item->image);
    case Qt::CheckStateRole: return int(ToQt(tree_.State(TreeItem(index.internalId()))));
    case Qt::UserRole: return int(item->data);
    default: return {};
  }
}

Qt::ItemFlags DatabaseTreeModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable;
}

bool DatabaseTreeModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (role != Qt::CheckStateRole || !index.isValid()) return false;
  return SetChecked(ItemAt(index), value.toInt() == Qt::Checked);
}

// ---------------------------------------------------------------------------------------------
// DatabaseTreeView

DatabaseTreeView::DatabaseTreeView(QWidget* parent) : QTreeView(parent), model_(new DatabaseTreeModel(this)) {
  // The item handle travels through queued connections under its own name.
  qRegisterMetaType<wexholt::TreeItem>("wexholt::TreeItem");
  setModel(model_);
  setItemDelegate(new DatabaseTreeDelegate(this));
  setHeaderHidden(true);
  setRootIsDecorated(true);
  setUniformRowHeights(true);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setAllColumnsShowFocus(true);
  setMouseTracking(true);
  setContextMenuPolicy(Qt::PreventContextMenu);
  setFrameShape(QFrame::NoFrame);
  normalPalette_ = palette();
  connect(model_, &DatabaseTreeModel::checksChanged, viewport(), qOverload<>(&QWidget::update));
  connect(this, &QTreeView::expanded, this, [this](const QModelIndex& index) { model_->SetExpanded(model_->ItemAt(index), true); });
  connect(this, &QTreeView::collapsed, this, [this](const QModelIndex& index) { model_->SetExpanded(model_->ItemAt(index), false); });
}

TreeItemLayout DatabaseTreeView::LayoutIn(const QRect& itemRect, const QFontMetrics& metrics, const QString& label) {
  TreeItemLayout layout;
  const int top = itemRect.top() + (itemRect.height() - 16) / 2;
  layout.checkBox = QRect(itemRect.left() + kCheckLeft, top, 16, 16);
  layout.image = QRect(itemRect.left() + kImageLeft, top, 16, 16);
  layout.label = QRect(itemRect.left() + kLabelLeft, itemRect.top(),
                       metrics.horizontalAdvance(label) + 2 * kLabelPadding, itemRect.height());
  return layout;
}

TreeItemLayout DatabaseTreeView::LayoutOf(const QModelIndex& index) const {
  return LayoutIn(visualRect(index), fontMetrics(), index.data(Qt::DisplayRole).toString());
}

void DatabaseTreeView::SetWorking(bool enabled) {
  if (enabled) {
    dimmed_ = false;
    setPalette(normalPalette_);
    setEnabled(true);
    return;
  }
  normalPalette_ = palette();
  QPalette dim = normalPalette_;
  QColor base = normalPalette_.color(QPalette::Active, QPalette::Base);
  auto lower = [](int c) { return c >= 10 ? c - 10 : c; };
  base.setRgb(lower(base.red()), lower(base.green()), lower(base.blue()));
  const QColor grey = normalPalette_.color(QPalette::Disabled, QPalette::Text);
  for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
    dim.setColor(group, QPalette::Base, base);
    dim.setColor(group, QPalette::Text, grey);
  }
  dimmed_ = true;
  setPalette(dim);
  setEnabled(false);
}

QString DatabaseTreeView::ToolTipAt(const QPoint& viewportPos) const {
  const QModelIndex index = indexAt(viewportPos);
  if (!index.isValid()) return {};
  const TreeItemLayout layout = LayoutOf(index);
  const bool over = layout.checkBox.contains(viewportPos) || layout.image.contains(viewportPos) ||
                    layout.label.contains(viewportPos);
  if (!over) return {};
  const int textRight = layout.label.left() + layout.label.width() - kLabelPadding;
  if (textRight <= viewport()->width() - 3) return {};
  return index.data(Qt::DisplayRole).toString().left(kToolTipMaxCharacters);
}

void DatabaseTreeView::ToggleItem(TreeItem item) {
  if (!model_->Toggle(item)) return;
  emit checkboxClicked(item, int(model_->State(item)));
}

void DatabaseTreeView::mousePressEvent(QMouseEvent* event) {
  const QPoint pos = event->position().toPoint();
  const QModelIndex index = indexAt(pos);
  if (event->button() == Qt::LeftButton && index.isValid() && LayoutOf(index).checkBox.contains(pos)) {
    // A click on the check box changes the check, then selects the item.
    ToggleItem(model_->ItemAt(index));
    setCurrentIndex(index);
    event->accept();
    return;
  }
  QTreeView::mousePressEvent(event);
  if (!index.isValid() || (event->button() != Qt::LeftButton && event->button() != Qt::RightButton)) return;
  // Every click on an item selects it, the expand button included.
  if (currentIndex() != index) setCurrentIndex(index);
  if (event->button() == Qt::LeftButton && LayoutOf(index).label.contains(pos)) {
    emit showItemRequested(model_->ItemAt(index), kHitOnItemLabel);
  }
}

void DatabaseTreeView::mouseDoubleClickEvent(QMouseEvent* event) {
  const QPoint pos = event->position().toPoint();
  const QModelIndex index = indexAt(pos);
  // The second click of a double click on the check box counts as another check click.
  if (event->button() == Qt::LeftButton && index.isValid() && LayoutOf(index).checkBox.contains(pos)) {
    ToggleItem(model_->ItemAt(index));
    event->accept();
    return;
  }
  QTreeView::mouseDoubleClickEvent(event);
}

void DatabaseTreeView::keyPressEvent(QKeyEvent* event) {
  const QModelIndex index = currentIndex();
  const TreeItem item = model_->ItemAt(index);
  const bool keypad = event->modifiers() & Qt::KeypadModifier;
  switch (event->key()) {
    case Qt::Key_Space:
      if (item != kNoTreeItem) ToggleItem(item);
      event->accept();
      return;
    case Qt::Key_Plus:
      if (keypad) {
        if (index.isValid()) expand(index);
        event->accept();
        return;
      }
      break;
    case Qt::Key_Minus:
      if (keypad) {
        if (index.isValid()) collapse(index);
        event->accept();
        return;
      }
      break;
    case Qt::Key_Asterisk:
      if (keypad) {
        if (index.isValid()) {
          expandRecursively(index);
          scrollTo(index, QAbstractItemView::PositionAtTop);
        }
        event->accept();
        return;
      }
      break;
    case Qt::Key_Right:
      if (model_->HasChildren(item)) {
        expand(index);
        event->accept();
        return;
      }
      break;
    case Qt::Key_Left:
      if (model_->HasChildren(item)) {
        collapse(index);
        event->accept();
        return;
      }
      break;
    default:
      break;
  }
  QTreeView::keyPressEvent(event);
}

bool DatabaseTreeView::viewportEvent(QEvent* event) {
  if (event->type() == QEvent::ToolTip) {
    auto* help = static_cast<QHelpEvent*>(event);
    const QString text = ToolTipAt(help->pos());
    if (text.isEmpty()) {
      QToolTip::hideText();
      event->ignore();
    } else {
      QToolTip::showText(help->globalPos(), text, viewport());
    }
    return true;
  }
  return QTreeView::viewportEvent(event);
}

void DatabaseTreeView::contextMenuEvent(QContextMenuEvent* event) { event->accept(); }

// ---------------------------------------------------------------------------------------------
// DatabaseTreeDelegate

void DatabaseTreeDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
  const QWidget* widget = option.widget;
  QStyle* style = widget ? widget->style() : QApplication::style();
  const QString label = index.data(Qt::DisplayRole).toString();
  const TreeItemLayout layout = DatabaseTreeView::LayoutIn(option.rect, option.fontMetrics, label);
  const bool enabled = option.state & QStyle::State_Enabled;
  const QPalette::ColorGroup group =
      !enabled ? QPalette::Disabled : (option.state & QStyle::State_Active ? QPalette::Active : QPalette::Inactive);
  const bool selected = option.state & QStyle::State_Selected;

  painter->save();
  // Full-row selection; the selection stays visible when the tree has no focus.
  if (selected) painter->fillRect(option.rect, option.palette.brush(enabled ? QPalette::Active : QPalette::Disabled, QPalette::Highlight));

  QStyleOptionButton check;
  check.rect = layout.checkBox;
  check.palette = option.palette;
  check.state = enabled ? QStyle::State_Enabled : QStyle::State_None;
  switch (index.data(Qt::CheckStateRole).toInt()) {
    case Qt::Checked: check.state |= QStyle::State_On; break;
    case Qt::PartiallyChecked: check.state |= QStyle::State_NoChange; break;
    default: check.state |= QStyle::State_Off; break;
  }
  if ((option.state & QStyle::State_MouseOver) && enabled) check.state |= QStyle::State_MouseOver;
  style->drawPrimitive(QStyle::PE_IndicatorCheckBox, &check, painter, widget);

  QPixmap image = index.data(Qt::DecorationRole).value<QPixmap>();
  if (!enabled) {
    QStyleOption iconOption;
    iconOption.initFrom(widget);
    image = style->generatedIconPixmap(QIcon::Disabled, image, &iconOption);
  }
  painter->drawPixmap(layout.image, image);

  painter->setFont(option.font);
  painter->setPen(option.palette.color(selected && enabled ? QPalette::Active : group,
                                       selected && enabled ? QPalette::HighlightedText : QPalette::Text));
  painter->drawText(layout.label.adjusted(4, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, label);
  painter->restore();
}

QSize DatabaseTreeDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
  const QString label = index.data(Qt::DisplayRole).toString();
  return QSize(kLabelLeft + option.fontMetrics.horizontalAdvance(label) + 2 * kLabelPadding,
               qMax(18, option.fontMetrics.height() + 4));
}

}  // namespace wexholt::shell
