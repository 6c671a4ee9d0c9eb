#ifndef REPEATSENDER_H
#define REPEATSENDER_H

#include <QObject>
#include <QPointer>
#include <QTimer>

class ByteLink;

// The clock of repeated sending: asks for a send every period while its link
// stays open and sound. It sends nothing itself, so that every send takes the
// same path as a click on 发送.
class RepeatSender : public QObject
{
    Q_OBJECT

public:
    static constexpr int kMinPeriodMs = 10;
    static constexpr int kMaxPeriodMs = 60000;
    static constexpr int kDefaultPeriodMs = 1000;

    explicit RepeatSender(ByteLink *link, QObject *parent = nullptr);

    bool isActive() const { return m_timer.isActive(); }
    int period() const { return m_timer.interval(); }
    // Clamped to kMinPeriodMs..kMaxPeriodMs; a running clock takes it at once.
    void setPeriod(int ms);

    // Asks for a send every period from now on, until stop() or until the
    // link closes, goes away or fails; does nothing while it is not open.
    void start();
    void stop();

signals:
    void due();
    // The clock stopped, for whatever reason.
    void stopped();

private:
    QTimer m_timer;
    QPointer<ByteLink> m_link;
};

#endif // REPEATSENDER_H
