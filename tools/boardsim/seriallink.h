#ifndef SERIALLINK_H
#define SERIALLINK_H

#include "boardlink.h"

#include <QSerialPort>

// A serial port named on the command line: a real one, or one end of a
// virtual null-modem pair made by another tool.
class SerialLink : public BoardLink
{
public:
    SerialLink(const QString &name, qint32 baud);

    bool open(QString &error) override;
    QString deviceName() const override { return m_name; }
    bool isVirtual() const override { return false; }
    bool readerPresent() override;
    qint64 write(const QByteArray &bytes) override;
    bool flushed() override;
    void forgetUnread() override { }

private:
    QString m_name;
    QSerialPort m_port;
    qint32 m_baud;
    bool m_lost = false;
};

#endif // SERIALLINK_H
