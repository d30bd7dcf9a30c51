// DatabaseTree: the tree pane's control — a QTreeView drawing the check-state model of
// controls/CheckTree through a QAbstractItemModel adapter.
//
// Every item shows, from the left: its check box (unchecked, checked or tri-state, as CheckTree
// says), its 16 x 16 image from the tree's image list, and its label. A left click on the label
// (and only there: not on the expand button, the check box, the image or the empty row beside the
// label) selects the item and emits showItemRequested, which the main window handles as its
// show-item message. A click on the check box or the space key toggles the check. Keypad + and -
// expand and collapse the selected item, keypad * expands its whole branch. A tooltip with the label
// (cut to 78 characters) appears only when the label does not fit in the pane.
#pragma once

#include <QAbstractItemModel>
#include <QPalette>
#include <QStyledItemDelegate>
#include <QTreeView>
#include <atomic>
#include <string>
#include <unordered_map>
#include <vector>

#include "controls/CheckTree.h"
#include "workflow/FrontEnd.h"

namespace wexholt::shell {

// Hit-test flag of a click on an item's label (the only clicks that show an item).
constexpr int kHitOnItemLabel = 4;

// The adapter between CheckTree and Qt's views. Items are known to the outside by the handles the
// front end gave out (TreeItem); the model keeps them apart from CheckTree's own handles.
class DatabaseTreeModel : public QAbstractItemModel {
  Q_OBJECT
 public:
  explicit DatabaseTreeModel(QObject* parent = nullptr);

  // A new front-end handle; safe to call from any thread.
  TreeItem NewHandle() { return nextHandle_.fetch_add(1) + 1; }

  // Inserts the item known as handle after the last child of parent.
  void Insert(TreeItem handle, TreeItem parent, const std::string& label, int image, int32_t data);
  void Clear();

  bool Contains(TreeItem item) const;
  QModelIndex IndexOf(TreeItem item) const;
  TreeItem ItemAt(const QModelIndex& index) const;
  std::string Label(TreeItem item) const;
  int32_t Data(TreeItem item) const;
  TreeItem Parent(TreeItem item) const;
  size_t Count() const { return tree_.Count(); }
  CheckState State(TreeItem item) const;
  bool HasChildren(TreeItem item) const;
  std::vector<TreeItem> CheckedLeaves() const;
  std::vector<TreeItem> PreOrder() const;

  // Changes a check with the propagation rules of CheckTree; false for an unknown item.
  bool Toggle(TreeItem item);
  bool SetChecked(TreeItem item, bool checked);
  void SetExpanded(TreeItem item, bool expanded);

  const CheckTree& Tree() const { return tree_; }

  // QAbstractItemModel
  QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
  QModelIndex parent(const QModelIndex& child) const override;
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;

 signals:
  void checksChanged();

 private:
  TreeItem Internal(TreeItem item) const;
  TreeItem External(TreeItem internal) const;
  QModelIndex IndexOfInternal(TreeItem internal) const;
  void AnnounceCheckChange(TreeItem internal);

  CheckTree tree_;
  std::atomic<TreeItem> nextHandle_{0};
  std::unordered_map<TreeItem, TreeItem> toInternal_;
  std::unordered_map<TreeItem, TreeItem> toExternal_;
  std::unordered_map<TreeItem, int> rowOf_;  // internal handle -> row under its parent
};

// Where the parts of an item are drawn inside its visual rectangle.
struct TreeItemLayout {
  QRect checkBox;
  QRect image;
  QRect label;
};

class DatabaseTreeView : public QTreeView {
  Q_OBJECT
 public:
  explicit DatabaseTreeView(QWidget* parent = nullptr);

  DatabaseTreeModel* TreeModel() const { return model_; }

  // The rectangles of an item as drawn now (viewport coordinates).
  TreeItemLayout LayoutOf(const QModelIndex& index) const;
  static TreeItemLayout LayoutIn(const QRect& itemRect, const QFontMetrics& metrics, const QString& label);

  // Enabled with its own colours, or disabled with the dimmed look: the base colour with red,
  // green and blue each lowered by 10 (when 10 or more) and grey text.
  void SetWorking(bool enabled);
  bool Dimmed() const { return dimmed_; }

  // The tooltip text for a point of the viewport (empty: no tooltip there).
  QString ToolTipAt(const QPoint& viewportPos) const;

 signals:
  // A left click on an item's label (hitFlags is kHitOnItemLabel).
  void showItemRequested(wexholt::TreeItem item, int hitFlags);
  // The user changed a check (box click or space key); state is the item's new state.
  void checkboxClicked(wexholt::TreeItem item, int state);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool viewportEvent(QEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  void ToggleItem(TreeItem item);

  DatabaseTreeModel* model_;
  bool dimmed_ = false;
  QPalette normalPalette_;
};

// Paints check box, image and label at the places of TreeItemLayout.
class DatabaseTreeDelegate : public QStyledItemDelegate {
  Q_OBJECT
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  // The view changes checks itself; the delegate's own check box handling stays off.
  bool editorEvent(QEvent*, QAbstractItemModel*, const QStyleOptionViewItem&, const QModelIndex&) override {
    return false;
  }
};

}  // namespace wexholt::shell
