#ifndef TEXTFIT_H
#define TEXTFIT_H

#include <QList>
#include <QSize>
#include <QString>
#include <QStringList>

class QWidget;

// One text a widget shows, the room its style lays the text out in, and the
// room the text needs in the widget's font. Heights are only compared where a
// text taller than its room is clipped (labels, fields); a push button or a
// check box draws its text over its whole height.
struct TextRoom
{
    QString objectName;
    QString text;
    QSize needed;
    QSize given;
    bool heightMatters = false;
    // A spin box's minimum or maximum rather than the value it shows.
    bool rangeEnd = false;

    bool fits() const
    {
        return needed.width() <= given.width()
                && (!heightMatters || needed.height() <= given.height());
    }
    // "name "text": needs W px, has W px", with heights where they matter.
    QString describe() const;
};

// Measures every text that root and its children visible with it show:
// labels (plain and rich text; image labels have none), push buttons, check
// boxes and radio buttons, combo boxes (the current text and every item as
// the closed box would show it), spin boxes (at their minimum, maximum and
// current values, with prefix and suffix) and line edits (their text or
// placeholder). Each is measured the way the widget's style lays it out.
// Lay root out (show it) before measuring.
QList<TextRoom> measureTexts(const QWidget *root);

// The descriptions of the texts under root that do not fit, empty when all do.
QStringList textsThatDoNotFit(const QWidget *root);

#endif // TEXTFIT_H
