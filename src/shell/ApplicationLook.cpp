#include "ApplicationLook.h"

#include <QApplication>
#include <QPalette>
#include <QSettings>
#include <QStyle>
#include <QStyleFactory>

namespace wexholt::shell {
namespace {

struct LookEntry {
  int look;
  const char* name;
  LookColours colours;
};

const LookEntry kLooks[] = {
    {210, "Windows 2000", {QColor(212, 208, 200), QColor(224, 221, 214), QColor(200, 196, 188), QColor(0, 0, 0),
                           QColor(128, 128, 128), QColor(10, 36, 106), QColor(255, 255, 255)}},
    {211, "Office XP", {QColor(219, 216, 209), QColor(246, 245, 242), QColor(219, 216, 209), QColor(0, 0, 0),
                        QColor(166, 166, 166), QColor(182, 189, 210), QColor(0, 0, 0)}},
    {212, "Windows XP", {QColor(236, 233, 216), QColor(252, 252, 249), QColor(226, 222, 205), QColor(0, 0, 0),
                         QColor(172, 168, 153), QColor(0, 84, 227), QColor(255, 255, 255)}},
    {213, "Office 2003", {QColor(196, 218, 250), QColor(227, 239, 255), QColor(158, 190, 245), QColor(0, 0, 0),
                          QColor(59, 97, 156), QColor(89, 135, 214), QColor(255, 255, 255)}},
    {214, "Visual Studio 2005", {QColor(240, 239, 230), QColor(252, 252, 250), QColor(229, 229, 215),
                                 QColor(0, 0, 0), QColor(165, 165, 151), QColor(191, 205, 219), QColor(0, 0, 0)}},
    {215, "Office 2007 (blue)", {QColor(191, 219, 255), QColor(219, 234, 254), QColor(175, 206, 245),
                                 QColor(21, 66, 139), QColor(141, 178, 227), QColor(213, 228, 242), QColor(21, 66, 139)}},
    {216, "Office 2007 (black)", {QColor(83, 83, 83), QColor(96, 96, 96), QColor(60, 60, 60), QColor(255, 255, 255),
                                  QColor(40, 40, 40), QColor(70, 70, 70), QColor(255, 255, 255)}},
    {217, "Office 2007 (silver)", {QColor(208, 212, 221), QColor(238, 240, 244), QColor(200, 205, 215),
                                   QColor(76, 83, 92), QColor(164, 170, 182), QColor(226, 229, 235), QColor(76, 83, 92)}},
    {218, "Office 2007 (aqua)", {QColor(192, 210, 230), QColor(224, 234, 244), QColor(175, 197, 222),
                                 QColor(40, 70, 110), QColor(140, 170, 200), QColor(210, 224, 238), QColor(40, 70, 110)}},
};

const LookEntry& EntryOf(int look) {
  for (const LookEntry& entry : kLooks) {
    if (entry.look == look) return entry;
  }
  return kLooks[kLookDefault - kLookFirst];
}

constexpr const char* kSettingsKey = "CorvaltWexholt22.0";
constexpr const char* kLookValue = "ApplicationLook";

}  // namespace

QString LookName(int look) { return QString::fromLatin1(EntryOf(look).name); }
LookColours ColoursOf(int look) { return EntryOf(look).colours; }
int ValidLook(int look) { return look >= kLookFirst && look <= kLookLast ? look : kLookDefault; }

void ApplyApplicationLook(int look) {
  const LookColours colours = ColoursOf(look);
  if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion"))) QApplication::setStyle(fusion);
  QPalette palette = QApplication::style()->standardPalette();
  const bool dark = colours.window.lightness() < 128;
  palette.setColor(QPalette::Window, colours.window);
  palette.setColor(QPalette::Button, colours.ribbonBottom);
  palette.setColor(QPalette::WindowText, dark ? Qt::white : Qt::black);
  palette.setColor(QPalette::ButtonText, dark ? Qt::white : Qt::black);
  palette.setColor(QPalette::Base, Qt::white);
  palette.setColor(QPalette::AlternateBase, QColor(245, 247, 250));
  palette.setColor(QPalette::Text, Qt::black);
  palette.setColor(QPalette::Highlight, look == 216 ? QColor(255, 190, 70) : look == 210 ? QColor(10, 36, 106) : QColor(51, 120, 210));
  palette.setColor(QPalette::HighlightedText, look == 216 ? Qt::black : Qt::white);
  palette.setColor(QPalette::Disabled, QPalette::Text, QColor(109, 109, 109));
  palette.setColor(QPalette::Disabled, QPalette::WindowText, QColor(128, 128, 128));
  palette.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(128, 128, 128));
  palette.setColor(QPalette::Link, QColor(0, 102, 204));
  QApplication::setPalette(palette);
}

int LoadApplicationLook() {
  QSettings settings(QString::fromLatin1(kSettingsKey), QStringLiteral("corvalt-wexholt"));
  return ValidLook(settings.value(QString::fromLatin1(kLookValue), kLookDefault).toInt());
}

void StoreApplicationLook(int look) {
  QSettings settings(QString::fromLatin1(kSettingsKey), QStringLiteral("corvalt-wexholt"));
  settings.setValue(QString::fromLatin1(kLookValue), look);
}

}  // namespace wexholt::shell
