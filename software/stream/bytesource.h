#ifndef BYTESOURCE_H
#define BYTESOURCE_H

#include <QByteArray>
#include <QObject>

// Where received bytes come from: the serial connection, or anything else
// that plays a board's part. Whoever listens cannot tell them apart.
class ByteSource : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

signals:
    // The bytes that arrived, in order. May be empty: a wake-up without new
    // bytes still lets the current tab look at what it left before.
    void bytesReceived(const QByteArray &bytes);
};

#endif // BYTESOURCE_H
