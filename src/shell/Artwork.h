// Artwork: every picture of the desktop program, drawn with QPainter when first asked for — the
// ribbon images, the application button, the tree's image list, the page buttons, the OK and Cancel
// images of the Select Database File dialog, the caption bar bitmap, the splash picture and the about
// header. Nothing is loaded from files.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace wexholt::shell {

// Ribbon image indexes (the same index in the small 16 x 16 and the large 32 x 32 strip).
constexpr int kRibbonImageOpen = 0;
constexpr int kRibbonImageStop = 1;
constexpr int kRibbonImageSave = 2;
constexpr int kRibbonImageHelp = 8;
constexpr int kRibbonImageAbout = 9;
constexpr int kRibbonImageExport = 10;

QPixmap RibbonImage(int index, int size);  // size 16 or 32
QIcon RibbonIcon(int index);               // both sizes
QPixmap ApplicationButtonImage();          // 40 x 40, round

// The tree's image list: 16 x 16 images; the scan uses indexes 0 (folder), 2 (keys), 15 (views) and
// 21 (trigger). Other indexes give the folder image.
QPixmap TreeImage(int index);

QPixmap PreviousPageImage();  // 342
QPixmap NextPageImage();      // 343
QPixmap OkImage();            // 321
QPixmap CancelImage();        // 322

// The caption bar bitmap, 16 x 16, with white (the transparent colour) already made transparent.
QPixmap CaptionBitmap();

// The splash picture: the shape is everything that is not magenta (0xFF00FF).
QImage SplashPicture();
// The about box header, width x height pixels.
QPixmap AboutHeader(int width, int height);

// The window icon.
QIcon ApplicationIcon();

}  // namespace wexholt::shell
