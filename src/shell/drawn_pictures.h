#pragma once
// The program's pictures, drawn with QPainter so that nothing is taken from
// elsewhere: tool bar and menu bitmaps, the splash picture, the picture of
// the about window and the program icon.
#include <QIcon>
#include <QImage>

namespace kalvanta::pictures {

QIcon newIcon();
QIcon openIcon();
QIcon saveAsIcon();
QIcon printIcon();
QIcon printerSetupIcon();
QIcon cutIcon();
QIcon copyIcon();
QIcon pasteIcon();
QIcon helpIcon();
QIcon editIcon();
QIcon programIcon();

// 522 × 385, 24-bit.
QImage splashPicture();
// 240 pixels wide.
QImage aboutPicture();

} // namespace kalvanta::pictures
