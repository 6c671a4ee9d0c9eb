#ifndef LINEENDING_H
#define LINEENDING_H

#include <QByteArray>
#include <QStringList>

// What a text send ends with, for boards whose parser waits for the end of a
// line. In the order the terminal's list offers them.
enum class LineEnding {
    None,
    CrLf,
    Lf,
    Cr,
};

// The bytes appended to a text send.
QByteArray lineEndingBytes(LineEnding ending);
// The names the settings keep, in the order of the enum: "none", "crlf", "lf"
// and "cr".
QStringList lineEndingNames();

#endif // LINEENDING_H
