#ifndef BYTEUTILS_H
#define BYTEUTILS_H

#include <QByteArray>
#include <QChar>
#include <QString>

// Conversions between received bytes and what the tabs show or send.
//
// Hexadecimal text: two upper-case digits per byte, each followed by one space,
// or by a line feed when the byte's running position is 15 modulo 16. Read back
// from tokens of one or two digits separated by spaces, tabs, line feeds or
// carriage returns.

// Smallest byte, largest byte and sum of all bytes. False for an empty array,
// which leaves the three outputs untouched.
bool byteStatistics(const QByteArray &data, quint32 &min, quint32 &max, quint32 &sum);

// Appends to dst 0xFF for every byte of src above the threshold, 0x00 otherwise.
void binarize(const QByteArray &src, QByteArray &dst, quint8 threshold);

// The two upper-case hexadecimal digits of a byte.
QByteArray byteToHex(quint8 value);

// True for the four separators of hexadecimal text: space, tab, line feed, carriage return.
bool isSpaceChar(QChar c);

// Replaces text with the bytes decoded in the local 8-bit encoding. Every byte
// is decoded; zero bytes are left out of the text and nothing after them is lost.
void bytesToText(const QByteArray &data, QString &text);

// Appends the bytes written as hexadecimal text to out. On malformed text out is
// emptied (also of what it held before) and the result is false.
bool hexTextToBytes(const QString &text, QByteArray &out);

// Replaces text with the hexadecimal text of data, the first byte counted as
// running position start, so that chunks converted in turn continue the same lines.
void bytesToHexText(const QByteArray &data, QString &text, int start);

#endif // BYTEUTILS_H
