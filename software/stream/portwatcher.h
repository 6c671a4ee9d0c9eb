#ifndef PORTWATCHER_H
#define PORTWATCHER_H

#include <QFutureWatcher>
#include <QObject>
#include <QStringList>
#include <QTimer>

#include <functional>

// Keeps an eye on the serial ports the system lists, so that the panel's port
// list follows the cable: while active it looks about once a second and
// reports the list when it differs from the last one seen. The names are
// those the panel lists (see listedPortName).
//
// Asking the system can take tens of milliseconds (70 ms where udev is
// missing), so the looks while active are taken on a worker thread; scan()
// asks at once, for a user who waits for the answer anyway.
class PortWatcher : public QObject
{
    Q_OBJECT

public:
    using Scanner = std::function<QStringList()>;

    static constexpr int kIntervalMs = 1000;

    explicit PortWatcher(QObject *parent = nullptr);

    // The ports listed now; also taken as the last list seen.
    QStringList scan();
    void setActive(bool active);
    bool isActive() const { return m_timer.isActive(); }

    // Where the names come from: the system's serial ports unless replaced
    // (tests play ports that come and go). It runs on a worker thread.
    void setScanner(Scanner scanner) { m_scanner = std::move(scanner); }
    void setInterval(int ms) { m_timer.setInterval(ms); }

    static QStringList systemPorts();

signals:
    void portsChanged(const QStringList &names);

private:
    void poll();
    void compare();

    Scanner m_scanner;
    QStringList m_last;
    QTimer m_timer;
    QFutureWatcher<QStringList> m_pending;
};

#endif // PORTWATCHER_H
