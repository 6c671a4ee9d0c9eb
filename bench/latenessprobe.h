#ifndef LATENESSPROBE_H
#define LATENESSPROBE_H

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <vector>

// How late the event loop of the thread it lives on serves a timer: a precise
// single-shot timer is started again at every timeout, and each timeout
// records by how much it missed the moment it was due. Long deliveries and
// long paints on that thread show as lateness; an idle loop shows next to none.
class LatenessProbe : public QObject
{
public:
    explicit LatenessProbe(int intervalMs = 10, QObject *parent = nullptr);

    // Starts afresh, forgetting what was recorded.
    void start();
    void stop();

    qsizetype count() const { return qsizetype(m_latenessNs.size()); }
    // Lateness in milliseconds that fraction q (0..1) of the timeouts did not
    // exceed (nearest rank): 0.5 the median, 1 the largest. 0 without any.
    double quantileMs(double q) const;
    // When the latest timeout came, in seconds after the start.
    double worstAtSeconds() const { return double(m_worstAtNs) / 1e9; }

private:
    void fire();
    void arm();

    int m_intervalMs;
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_dueNs = 0;
    qint64 m_worstNs = 0;
    qint64 m_worstAtNs = 0;
    std::vector<qint64> m_latenessNs;
};

#endif // LATENESSPROBE_H
