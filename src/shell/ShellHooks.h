// ShellHooks: the few places where the desktop program reaches past its own windows — message
// boxes, the modal dialogs, opening an address in the browser, ending the process — routed through
// replaceable functions so that a test (or a run without a person, such as --screenshot) can answer
// them without blocking.
#pragma once

#include <QString>
#include <functional>
#include <string>

#include "workflow/FrontEnd.h"

class QDialog;
class QWidget;

namespace wexholt::shell {

// Shows a message box with the application title as caption. The default shows a QMessageBox with
// the icon and buttons asked for; a hook installed with SetMessageHook answers instead.
MessageAnswer ShowMessage(QWidget* owner, const QString& text, MessageIcon icon,
                          MessageButtons buttons = MessageButtons::kOk);

using MessageHook = std::function<MessageAnswer(const QString& text, MessageIcon icon, MessageButtons buttons)>;
void SetMessageHook(MessageHook hook);  // empty: real message boxes again

// Called right after a modal dialog of the shell (Select Database File, About, the save-file and
// file-open dialogs of the workflow) has been opened, from inside its event loop, so that a test can
// fill it and press its buttons. Empty: nothing is called.
using DialogHook = std::function<void(QDialog* dialog)>;
void SetDialogHook(DialogHook hook);
// Runs dialog->exec(), calling the dialog hook once the dialog is up.
int ExecDialog(QDialog* dialog);

// Answers the workflow's file dialogs without showing them. It receives the kind ("open" or
// "save"), the proposed name and the extension; an empty answer is a cancelled dialog. When no hook
// is set the real QFileDialog is shown.
using FileDialogHook = std::function<QString(const QString& kind, const QString& proposedName, const QString& extension)>;
void SetFileDialogHook(FileDialogHook hook);
QString RunFileDialog(QWidget* owner, const QString& kind, const QString& proposedName, const QString& extension);

// Opens an address (a file: URL of the help page, a mailto: address). The default hands it to the
// desktop; a hook records it instead.
using OpenUrlHook = std::function<void(const QString& url)>;
void SetOpenUrlHook(OpenUrlHook hook);
void OpenUrl(const QString& url);

// Ends the process at once with the exit code, without any shutdown work. A hook replaces it (tests).
using ExitHook = std::function<void(int code)>;
void SetExitHook(ExitHook hook);
void ExitProcess(int code);

// The local help page installed with the program, as a file: URL (empty when it cannot be found).
QString HelpPageUrl();

// Batch mode: no person watches (--screenshot). Every message box is written to standard error and
// answered with OK or No; the file dialogs are cancelled.
void SetBatchMode(bool batch);
bool BatchMode();

}  // namespace wexholt::shell
