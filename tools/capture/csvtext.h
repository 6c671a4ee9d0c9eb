#ifndef CSVTEXT_H
#define CSVTEXT_H

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// Pieces of the CSV the converter writes: fields separated by commas, lines
// ended by a line feed, numbers with a dot.
namespace CsvText {

// A value in the shortest form that reads back the same; a value that is a
// float32 (JustFloat) in the float's shortest form, 0.1 rather than
// 0.10000000149011612. NaN is an empty field, the infinities inf and -inf.
void appendNumber(QByteArray &out, double value);
// Seconds with microseconds: 12.345678.
void appendSeconds(QByteArray &out, quint64 micros);
// A text field, quoted when it holds a comma, a quote or a line break.
void appendText(QByteArray &out, const QString &text);

} // namespace CsvText

#endif // CSVTEXT_H
