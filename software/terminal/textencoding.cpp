#include "textencoding.h"

#include <QStringEncoder>

namespace TextEncoding {

QString local()
{
    // A name, kept in the settings: the terminal shows it translated.
    return QStringLiteral("本地");
}

QStringList available()
{
    QStringList names { local() };
    for (const char *name : { "UTF-8", "GB18030" }) {
        if (QStringDecoder(name).isValid())
            names << QString::fromLatin1(name);
    }
    return names;
}

QStringDecoder decoder(const QString &name)
{
    if (name != local()) {
        QStringDecoder named(name.toLatin1().constData());
        if (named.isValid())
            return named;
    }
    return QStringDecoder(QStringDecoder::System);
}

QByteArray encode(const QString &name, const QString &text)
{
    if (name != local()) {
        QStringEncoder named(name.toLatin1().constData());
        if (named.isValid())
            return named.encode(text);
    }
    return text.toLocal8Bit();
}

} // namespace TextEncoding
