#ifndef TEXTENCODING_H
#define TEXTENCODING_H

#include <QByteArray>
#include <QString>
#include <QStringDecoder>
#include <QStringList>

// The encodings the terminal reads and writes text in, by the names its
// encoding list shows: "本地" (the system's 8-bit encoding), "UTF-8" and
// "GB18030" (which covers GBK and GB2312).
namespace TextEncoding {

// The name of the system's 8-bit encoding, the default.
QString local();

// The names this Qt can decode, in the order offered: "本地" always, the
// others where a decoder of that name exists.
QStringList available();

// A decoder for name; an unknown name gives the local decoder. Invalid input
// comes out as U+FFFD.
QStringDecoder decoder(const QString &name);

// Text as bytes in the encoding name; characters it cannot represent are
// replaced as the encoder does.
QByteArray encode(const QString &name, const QString &text);

} // namespace TextEncoding

#endif // TEXTENCODING_H
