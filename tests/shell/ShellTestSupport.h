// Helpers of the desktop program's tests: a recorder that answers message boxes, the sample data
// directory, and a main window opened on it through the Select Database File dialog.
#pragma once

#include <QDialog>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "MainWindow.h"
#include "ShellHooks.h"

namespace wexholt::shell::testing {

struct ShownMessage {
  QString text;
  MessageIcon icon;
  MessageButtons buttons;
};

// Installs the message, dialog, file-dialog, open-address and exit hooks for its lifetime.
// Message boxes are recorded and answered from answers (then OK, or No for a question).
class ShellRecorder {
 public:
  ShellRecorder();
  ~ShellRecorder();

  std::vector<ShownMessage> messages;
  std::deque<MessageAnswer> answers;
  QStringList openedUrls;
  std::vector<int> exitCodes;
  // What the file dialogs were asked and what they answer.
  QString fileDialogKind, fileDialogProposedName, fileDialogExtension;
  QString fileDialogAnswer;
  // Called with every modal dialog once it is up; empty: the dialog is cancelled.
  std::function<void(QDialog*)> onDialog;

  QStringList Texts() const;
  bool Saw(const QString& text) const { return Texts().contains(text); }
  void Forget() { messages.clear(); }
};

QString SampleDataPath();  // ends with '/'

// A main window (no splash) shown on the offscreen screen.
std::unique_ptr<MainWindow> MakeShownWindow(CBrenmoorApp& app);

// Presses Open, answers the dialog with dataPath and a log folder, waits for the scan to end.
bool OpenThroughDialog(MainWindow& window, ShellRecorder& recorder, const QString& dataPath, const QString& logFolder);

// The centre of an item's label in the tree's viewport (the item is scrolled into view first).
QPoint LabelCentre(MainWindow& window, TreeItem item);
// Clicks the label of an item and lets the show-item message be handled.
void ClickLabel(MainWindow& window, TreeItem item);

}  // namespace wexholt::shell::testing
