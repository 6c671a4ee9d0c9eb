#include "textsource.h"

#include <QtMath>

namespace {

const char16_t *const kEvents[] = {
    u"识别到起跑线，开始计时", u"进入环岛",           u"驶出环岛",         u"十字路口",
    u"前方坡道，减速",         u"丢线！保持上次方向", u"障碍物，向左避让", u"重新找到赛道"
};

} // namespace

TextSource::TextSource(double rate, quint64 seed)
    : m_rate(rate)
    , m_random(seed)
{ }

qint64 TextSource::generate(QByteArray &out, qint64 n)
{
    for (qint64 i = 0; i < n; ++i)
        out.append(line(m_index++).toLocal8Bit());
    return n;
}

QString TextSource::line(qint64 index)
{
    const double seconds = double(index) / m_rate;
    const qint64 ms = qRound64(seconds * 1000.0);
    const QString stamp = QStringLiteral("[%1.%2] ")
                                  .arg(ms / 1000, 5, 10, QLatin1Char(' '))
                                  .arg(ms % 1000, 3, 10, QLatin1Char('0'));

    constexpr int eventCount = int(sizeof(kEvents) / sizeof(kEvents[0]));
    if (index > 0 && m_random.between(0, 7) == 0) {
        return stamp + QStringLiteral("事件：")
                + QString::fromUtf16(kEvents[m_random.between(0, eventCount - 1)])
                + QLatin1Char('\n');
    }

    const int speed
            = qRound(150.0 + 30.0 * qSin(2.0 * M_PI * seconds / 7.0)) + m_random.between(-5, 5);
    const int servo
            = qRound(1500.0 + 120.0 * qSin(2.0 * M_PI * seconds / 3.3)) + m_random.between(-10, 10);
    const int error = (servo - 1500) / 4 + m_random.between(-3, 3);
    const double battery = qMax(7.0, 8.2 - seconds / 600.0) + 0.02 * m_random.symmetric();
    return stamp
            + QStringLiteral("速度:%1cm/s 舵机:%2 偏差:%3 电池:%4V\n")
                      .arg(speed)
                      .arg(servo)
                      .arg(error)
                      .arg(battery, 0, 'f', 2);
}
