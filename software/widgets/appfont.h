#ifndef APPFONT_H
#define APPFONT_H

#include <QFont>

// The forms place their widgets in pixels, laid out for a Windows font of
// 9 points at 96 dpi. Desktop fonts elsewhere are wider and cut texts in the
// narrowest boxes, so the program brings a font that fits them.

// WenQuanYi Micro Hei (Linux, fonts-wqy-microhei), else PingFang SC (macOS),
// at 11 pixels. Its Latin letters and digits are narrower than those of
// DejaVu Sans (115200: 36 px against 42 px), and at 12 px no font fits the
// nine Chinese characters of the linear CCD tab's note into its 131 px. The
// size is in pixels, like the forms, so that it fits whatever logical DPI the
// platform reports.
QFont formFont();

// Makes formFont() the application's font, except on Windows, whose own font
// is the one the forms were laid out for. Called once the QApplication exists
// and before any window is built.
void applyFormFont();

#endif // APPFONT_H
