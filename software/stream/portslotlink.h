#ifndef PORTSLOTLINK_H
#define PORTSLOTLINK_H

#include "bytelink.h"

#include <QPointer>
#include <QSerialPort>

// A link over a serial port that someone else owns, found through the address
// of their pointer to it: each use takes the port that is there now, or finds
// none (as without an address). The owner opens, reads and closes the port;
// the link only writes.
//
// It follows the port it last wrote to: closed() when that one closes, and
// writeFailed() when it fails while open. Nobody else watches such a port,
// so a device that breaks under it counts as a failed write, and is told
// once until the next write.
class PortSlotLink : public ByteLink
{
    Q_OBJECT

public:
    explicit PortSlotLink(QSerialPort *const *slot, QObject *parent = nullptr);

    bool isOpen() const override;
    bool write(const QByteArray &bytes) override;

private:
    void follow(QSerialPort *port);
    void forget();
    void onError(QSerialPort::SerialPortError error);

    QSerialPort *const *m_slot;
    QPointer<QSerialPort> m_port;
    // A failure was told since the last write.
    bool m_failed = false;
};

#endif // PORTSLOTLINK_H
