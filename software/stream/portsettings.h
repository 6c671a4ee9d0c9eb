#ifndef PORTSETTINGS_H
#define PORTSETTINGS_H

#include <QList>
#include <QSerialPort>
#include <QString>
#include <QStringList>

#include <optional>

// How the serial panel names ports and sets up the line.
//
// Naming:  Windows boards appear as COM ports, which
// the list shows as COM3 and opens as COM3 or, from COM10 on, as \\.\COM10.
// Elsewhere the list shows every port by its own name (ttyUSB0, cu.usbserial-1)
// and opens it as named; a typed device path is opened as written there.
enum class PortNaming { ComStyle, SystemNames };

// The naming of the platform the program was built for.
PortNaming platformPortNaming();

// The name of an enumerated port as it goes into the list, cut at its first NUL
// character; empty when the list leaves it out (COM style: names not starting
// with "com" in any letter case).
QString listedPortName(const QString &enumeratedName, PortNaming naming);

// The device name to open for the text of the port list, or an empty string
// when the text names no device: an empty text, or in COM style a text starting
// with "com" whose rest is no decimal number. In COM style any other text is a
// device name typed by the user and is opened as written.
QString deviceNameForEntry(const QString &entry, PortNaming naming);

// Line settings chosen in the serial panel.
struct LineSettings
{
    qint32 baudRate;
    QSerialPort::DataBits dataBits;
    QSerialPort::Parity parity;
    std::optional<QSerialPort::StopBits> stopBits; // unset: leave the port's own
};

// The settings for the panel's choices: the baud rate by the box's text (a
// listed or typed rate; any other text gives 9600), parity by index (none, odd, even), data bits by
// index (8, 7, 6, 5) and stop bits by index (1, 2; any other index sets none).
LineSettings lineSettingsFor(const QString &baudText, int parityIndex, int dataBitsIndex,
                             int stopBitsIndex);

// What tells one USB serial adapter from another besides its name, which
// the system may change when the adapter is plugged in again.
struct PortIdentity
{
    QString name;         // as the enumerator gives it
    QString serialNumber; // empty when the adapter reports none
    bool hasIds = false;  // whether vendorId and productId are known
    quint16 vendorId = 0;
    quint16 productId = 0;
};

// The port among available to take for the lost adapter when it comes back
// under another name: one with its serial number, or else one with its vendor
// and product IDs whose serial number does not differ from the lost one's.
// Ports listed in presentAtLoss were other devices when the adapter went away
// and are never taken. Empty when nothing fits.
QString returningPortName(const PortIdentity &lost, const QList<PortIdentity> &available,
                          const QStringList &presentAtLoss);

#endif // PORTSETTINGS_H
