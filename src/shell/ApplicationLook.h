// Application looks: the nine colour schemes of the main window, numbered as their commands 210 to
// 218 (215 is the default), applied as a Fusion style palette plus the colours of the ribbon, the
// caption bar and the panes. The chosen number is stored in the settings under "ApplicationLook".
#pragma once

#include <QColor>
#include <QString>

class QApplication;

namespace wexholt::shell {

constexpr int kLookFirst = 210;
constexpr int kLookLast = 218;
constexpr int kLookDefault = 215;

struct LookColours {
  QColor window;        // frame, panes, dialogs
  QColor ribbonTop;     // ribbon gradient
  QColor ribbonBottom;
  QColor ribbonText;
  QColor panelBorder;
  QColor captionBar;    // caption bar background
  QColor captionText;
};

// The name shown in the look menu ("Windows 2000" ... "Office 2007 (aqua)").
QString LookName(int look);
// Colours of a look; an unknown number gives the default look.
LookColours ColoursOf(int look);
// A number outside 210..218 becomes the default.
int ValidLook(int look);
// Sets the application's style and palette for the look.
void ApplyApplicationLook(int look);

// The settings store of the program ("CorvaltWexholt22.0") and its application look value.
int LoadApplicationLook();
void StoreApplicationLook(int look);

}  // namespace wexholt::shell
