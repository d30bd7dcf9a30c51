// The database tree as the user handles it: three-state checks by mouse and space key, which clicks
// show an item, the keypad keys, tooltips only for labels that do not fit, the dimmed look; and the
// front end's tree and output calls made from a worker thread, applied in order.
#include <QCoreApplication>
#include <QSignalSpy>
#include <QTest>
#include <atomic>
#include <thread>

#include "ShellTestSupport.h"
#include "TestRegistry.h"

using namespace wexholt;
using namespace wexholt::shell;
using namespace wexholt::shell::testing;

class TreeTest : public QObject {
  Q_OBJECT

  std::unique_ptr<DatabaseTreeView> view_;
  TreeItem root_ = 0, db_ = 0, tables_ = 0, t1_ = 0, t2_ = 0, keys1_ = 0, keys2_ = 0, views_ = 0, v1_ = 0;

  DatabaseTreeModel* Model() { return view_->TreeModel(); }
  TreeItem Add(TreeItem parent, const char* label, int32_t data) {
    TreeItem h = Model()->NewHandle();
    Model()->Insert(h, parent, label, 0, data);
    return h;
  }
  CheckState State(TreeItem item) { return Model()->State(item); }
  void ClickCheckBox(TreeItem item) {
    const QModelIndex index = Model()->IndexOf(item);
    view_->scrollTo(index);
    QTest::mouseClick(view_->viewport(), Qt::LeftButton, {}, view_->LayoutOf(index).checkBox.center());
  }

 private slots:
  void init() {
    view_ = std::make_unique<DatabaseTreeView>();
    view_->resize(260, 400);
    root_ = Add(kNoTreeItem, "MYSQL database", kItemContainer);
    db_ = Add(root_, "shop", kItemContainer);
    tables_ = Add(db_, "Tables", kItemContainer);
    t1_ = Add(tables_, "customers", 1);
    keys1_ = Add(t1_, "Keys", kItemKeys);
    t2_ = Add(tables_, "orders", 2);
    keys2_ = Add(t2_, "Keys", kItemKeys);
    views_ = Add(db_, "Views", kItemViewsFolder);
    v1_ = Add(views_, "order_totals", 1);
    view_->show();
    QVERIFY(QTest::qWaitForWindowExposed(view_.get()));
    view_->expandAll();
  }

  void cleanup() { view_.reset(); }

  void checkBoxClicksPropagateInBothDirections() {
    QSignalSpy checks(view_.get(), &DatabaseTreeView::checkboxClicked);
    QSignalSpy shows(view_.get(), &DatabaseTreeView::showItemRequested);

    ClickCheckBox(db_);
    for (TreeItem item : {db_, tables_, t1_, keys1_, t2_, keys2_, views_, v1_}) QCOMPARE(State(item), CheckState::kChecked);
    QCOMPARE(State(root_), CheckState::kChecked);  // its only child is fully checked
    QCOMPARE(view_->currentIndex(), Model()->IndexOf(db_));  // a check click selects the item

    ClickCheckBox(t1_);
    QCOMPARE(State(t1_), CheckState::kUnchecked);
    QCOMPARE(State(keys1_), CheckState::kUnchecked);
    QCOMPARE(State(tables_), CheckState::kTriState);
    QCOMPARE(State(db_), CheckState::kTriState);
    QCOMPARE(State(root_), CheckState::kTriState);
    QCOMPARE(Model()->CheckedLeaves(), (std::vector<TreeItem>{keys2_, v1_}));

    // Checking the last unchecked leaf turns every ancestor whose items are now all checked.
    ClickCheckBox(keys1_);
    QCOMPARE(State(t1_), CheckState::kChecked);
    QCOMPARE(State(tables_), CheckState::kChecked);
    QCOMPARE(State(db_), CheckState::kChecked);

    // A tri-state item becomes checked on a click.
    ClickCheckBox(v1_);
    QCOMPARE(State(views_), CheckState::kUnchecked);
    QCOMPARE(State(db_), CheckState::kTriState);
    ClickCheckBox(db_);
    QCOMPARE(State(v1_), CheckState::kChecked);

    QCOMPARE(checks.count(), 5);
    QCOMPARE(checks.at(1).at(1).toInt(), int(CheckState::kUnchecked));
    QCOMPARE(shows.count(), 0);  // check clicks never show an item
    QCOMPARE(Model()->index(0, 0).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
  }

  void spaceTogglesTheSelectedItem() {
    QSignalSpy checks(view_.get(), &DatabaseTreeView::checkboxClicked);
    view_->setCurrentIndex(Model()->IndexOf(tables_));
    QTest::keyClick(view_.get(), Qt::Key_Space);
    QCOMPARE(State(tables_), CheckState::kChecked);
    QCOMPARE(State(keys2_), CheckState::kChecked);
    QCOMPARE(State(db_), CheckState::kTriState);
    QTest::keyClick(view_.get(), Qt::Key_Space);
    QCOMPARE(State(tables_), CheckState::kUnchecked);
    QCOMPARE(checks.count(), 2);
  }

  void onlyALabelClickShowsTheItem() {
    QSignalSpy shows(view_.get(), &DatabaseTreeView::showItemRequested);
    const QModelIndex index = Model()->IndexOf(t2_);
    const TreeItemLayout layout = view_->LayoutOf(index);
    QTest::mouseClick(view_->viewport(), Qt::LeftButton, {}, layout.label.center());
    QCOMPARE(shows.count(), 1);
    QCOMPARE(shows.at(0).at(0).value<TreeItem>(), t2_);
    QCOMPARE(shows.at(0).at(1).toInt(), kHitOnItemLabel);
    QCOMPARE(view_->currentIndex(), index);

    // The expand button collapses the item and shows nothing.
    const QRect rect = view_->visualRect(index);
    QVERIFY(view_->isExpanded(index));
    QTest::mouseClick(view_->viewport(), Qt::LeftButton, {}, QPoint(rect.left() - view_->indentation() / 2, rect.center().y()));
    QVERIFY(!view_->isExpanded(index));
    // Beside the label, on the image, and with the right button: selected, not shown.
    QTest::mouseClick(view_->viewport(), Qt::LeftButton, {}, QPoint(layout.label.right() + 10, layout.label.center().y()));
    QTest::mouseClick(view_->viewport(), Qt::LeftButton, {}, layout.image.center());
    QTest::mouseClick(view_->viewport(), Qt::RightButton, {}, view_->LayoutOf(Model()->IndexOf(v1_)).label.center());
    QCOMPARE(view_->currentIndex(), Model()->IndexOf(v1_));
    QCOMPARE(shows.count(), 1);
  }

  void keypadKeysExpandAndCollapse() {
    view_->collapseAll();
    const QModelIndex db = Model()->IndexOf(db_);
    view_->setCurrentIndex(Model()->IndexOf(root_));
    QTest::keyClick(view_.get(), Qt::Key_Plus, Qt::KeypadModifier);
    QVERIFY(view_->isExpanded(Model()->IndexOf(root_)));
    view_->setCurrentIndex(db);
    QTest::keyClick(view_.get(), Qt::Key_Asterisk, Qt::KeypadModifier);
    for (TreeItem item : {db_, tables_, t1_, t2_, views_}) QVERIFY(view_->isExpanded(Model()->IndexOf(item)));
    QTest::keyClick(view_.get(), Qt::Key_Minus, Qt::KeypadModifier);
    QVERIFY(!view_->isExpanded(db));
    QVERIFY(Model()->Tree().Find(TreeItem(db.internalId()))->expanded == false);
    QTest::keyClick(view_.get(), Qt::Key_Right);
    QVERIFY(view_->isExpanded(db));
    QTest::keyClick(view_.get(), Qt::Key_Left);
    QVERIFY(!view_->isExpanded(db));
  }

  void tooltipOnlyForLabelsThatDoNotFit() {
    const std::string longLabel(120, 'x');
    const TreeItem wide = Model()->NewHandle();
    Model()->Insert(wide, tables_, longLabel, 0, 3);
    view_->expandAll();
    QCoreApplication::processEvents();
    const TreeItemLayout shortOne = view_->LayoutOf(Model()->IndexOf(t1_));
    const TreeItemLayout longOne = view_->LayoutOf(Model()->IndexOf(wide));
    QCOMPARE(view_->ToolTipAt(shortOne.label.center()), QString());
    QCOMPARE(view_->ToolTipAt(longOne.label.topLeft() + QPoint(5, 3)), QString(78, QLatin1Char('x')));
    QCOMPARE(view_->ToolTipAt(longOne.checkBox.center()), QString(78, QLatin1Char('x')));
  }

  void busyLookIsDimmedAndRestored() {
    const QColor base = view_->palette().color(QPalette::Active, QPalette::Base);
    view_->SetWorking(false);
    QVERIFY(!view_->isEnabled());
    QVERIFY(view_->Dimmed());
    const QColor dim = view_->palette().color(QPalette::Disabled, QPalette::Base);
    auto lower = [](int c) { return c >= 10 ? c - 10 : c; };
    QCOMPARE(dim, QColor(lower(base.red()), lower(base.green()), lower(base.blue())));
    // A disabled tree takes no clicks.
    QSignalSpy shows(view_.get(), &DatabaseTreeView::showItemRequested);
    QTest::mouseClick(view_->viewport(), Qt::LeftButton, {}, view_->LayoutOf(Model()->IndexOf(t1_)).label.center());
    QCOMPARE(shows.count(), 0);
    view_->SetWorking(true);
    QVERIFY(view_->isEnabled());
    QCOMPARE(view_->palette().color(QPalette::Active, QPalette::Base), base);
  }

  // The scan worker's calls: handles come back at once, the changes arrive in order, questions wait.
  void workerCallsArriveInOrder() {
    CBrenmoorApp app;
    ShellRecorder rec;
    auto window = MakeShownWindow(app);
    QVERIFY(window);
    FrontEnd& ui = *window;
    std::atomic<bool> done{false};
    std::vector<TreeItem> handles;
    MessageAnswer answer = MessageAnswer::kOk;
    size_t countSeenByWorker = 0;
    rec.answers.push_back(MessageAnswer::kYes);
    std::thread worker([&] {
      ui.TreeClear();
      ui.OutputClear();
      TreeItem parent = ui.TreeInsert(kNoTreeItem, "root", 0, kItemContainer);
      handles.push_back(parent);
      for (int k = 0; k < 300; ++k) {
        handles.push_back(ui.TreeInsert(parent, "item " + std::to_string(k), 0, k + 1));
        ui.OutputInsert(k, "line " + std::to_string(k));
      }
      ui.TreeExpand(parent);
      ui.SetCaptionText("from the worker");
      answer = ui.MessageBox("question", MessageIcon::kNone, MessageButtons::kYesNo);
      countSeenByWorker = ui.TreeItemCount();
      done = true;
    });
    while (!done) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    worker.join();
    QCoreApplication::processEvents();

    QCOMPARE(answer, MessageAnswer::kYes);
    QCOMPARE(countSeenByWorker, size_t(301));  // the question came after every insert
    QCOMPARE(rec.Texts(), QStringList{QStringLiteral("question")});
    QCOMPARE(int(rec.messages[0].icon), int(MessageIcon::kNone));
    DatabaseTreeModel* model = window->TreeModel();
    const QModelIndex root = model->index(0, 0);
    QCOMPARE(model->rowCount(root), 300);
    QVERIFY(window->Tree()->isExpanded(root));
    for (int k = 0; k < 300; ++k) {
      const QModelIndex child = model->index(k, 0, root);
      QCOMPARE(model->ItemAt(child), handles[size_t(k + 1)]);
      QCOMPARE(window->TreeItemLabel(handles[size_t(k + 1)]), "item " + std::to_string(k));
      QCOMPARE(window->TreeItemData(handles[size_t(k + 1)]), k + 1);
      QCOMPARE(window->TreeItemParent(handles[size_t(k + 1)]), handles[0]);
      QCOMPARE(window->Output()->item(k)->text(), QStringLiteral("line %1").arg(k));
    }
    QCOMPARE(QString::fromStdString(window->Caption()->CaptionText()), QStringLiteral("from the worker"));
    // After a clear, old handles find nothing.
    window->TreeClear();
    QCOMPARE(window->TreeItemLabel(handles[1]), std::string());
    QCOMPARE(window->TreeItemCount(), size_t(0));
  }
};

static const int registered = RegisterTest([] { return new TreeTest; });

#include "TreeTest.moc"
