#include "appfont.h"

#include <QApplication>
#include <QStringList>

QFont formFont()
{
    QFont font;
    font.setFamilies({ QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("PingFang SC") });
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);
    return font;
}

void applyFormFont()
{
#ifndef Q_OS_WIN
    QApplication::setFont(formFont());
#endif
}
