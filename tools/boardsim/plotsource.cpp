#include "plotsource.h"

#include <QtEndian>

#include <cmath>

namespace {

constexpr double kTwoPi = 6.283185307179586;
// The target speeds the loop is stepped through, in m/s.
constexpr double kTargets[] = { 0.0, 2.0, 1.0, 3.0, 0.5 };

QByteArray number(double value)
{
    return QByteArray::number(value, 'g', 6);
}

} // namespace

PlotSource::PlotSource(SimFraming framing, int channels, double rate, quint64 seed)
    : m_framing(framing)
    , m_channels(channels)
    , m_rate(rate)
    , m_random(seed)
    , m_heardTarget(std::nan(""))
{ }

void PlotSource::hear(const QByteArray &bytes)
{
    m_command += bytes;
    qsizetype end;
    while ((end = m_command.indexOf('\n')) >= 0) {
        const QByteArray line = m_command.left(end).trimmed();
        m_command.remove(0, end + 1);
        const qsizetype equals = line.indexOf('=');
        bool ok = false;
        const double value = line.mid(equals + 1).toDouble(&ok);
        if (equals < 0 || !ok || !std::isfinite(value))
            continue;
        const QByteArray name = line.left(equals).trimmed();
        if (name == "kp")
            m_loop.kp = value;
        else if (name == "ki")
            m_loop.ki = value;
        else if (name == "kd")
            m_loop.kd = value;
        else if (name == "target")
            m_heardTarget = value;
    }
    // A line that never ends is no command.
    if (m_command.size() > 256)
        m_command.clear();
}

QString PlotSource::channelName(int channel)
{
    static const char *const kNames[] = { "speed", "target", "steer", "sensor" };
    return channel < 4 ? QLatin1String(kNames[channel]) : QStringLiteral("wave%1").arg(channel + 1);
}

QList<double> PlotSource::nextValues()
{
    const double t = m_index / m_rate;
    const qint64 step = qint64(t / kStepSeconds);
    m_loop.target = std::isnan(m_heardTarget) ? kTargets[step % std::size(kTargets)]
                                              : (step % 2 ? m_heardTarget : 0.0);
    m_loop.step(1.0 / m_rate);
    QList<double> values;
    for (int channel = 0; channel < m_channels; ++channel) {
        switch (channel) {
        case 0:
            values << m_loop.speed();
            break;
        case 1:
            values << m_loop.target;
            break;
        case 2:
            values << 0.3 * std::sin(kTwoPi * 0.4 * t) + 0.1 * std::sin(kTwoPi * 1.7 * t)
                            + 0.02 * m_random.symmetric();
            break;
        case 3:
            // A drifting reading with white noise and the motor's vibration,
            // whose lines the spectrum shows.
            values << 1.2 + 0.3 * std::sin(kTwoPi * 0.2 * t) + 0.15 * m_random.symmetric()
                            + 0.08 * std::sin(kTwoPi * kVibrationHz[0] * t)
                            + 0.04 * std::sin(kTwoPi * kVibrationHz[1] * t);
            break;
        default:
            values << channel * std::sin(kTwoPi * 0.1 * channel * t);
            break;
        }
    }
    return values;
}

qint64 PlotSource::generate(QByteArray &out, qint64 n)
{
    for (qint64 unit = 0; unit < n; ++unit, ++m_index) {
        if (m_framing == SimFraming::Plain && m_index == 0) {
            QStringList names;
            for (int channel = 0; channel < m_channels; ++channel)
                names << channelName(channel);
            out += names.join(QLatin1Char(' ')).toUtf8() + "\r\n";
        }
        const QList<double> values = nextValues();
        switch (m_framing) {
        case SimFraming::FireWater:
            for (int channel = 0; channel < m_channels; ++channel)
                out += (channel > 0 ? "," : "") + number(values[channel]);
            out += "\n";
            break;
        case SimFraming::JustFloat:
            for (const double value : values) {
                char bytes[4];
                qToLittleEndian(float(value), bytes);
                out.append(bytes, 4);
            }
            out.append("\x00\x00\x80\x7F", 4);
            break;
        case SimFraming::Teleplot: {
            const QByteArray stamp = QByteArray::number(qint64(m_index * 1000 / m_rate));
            if (m_index > 0 && m_index % kLapFrames == 0)
                out += "lap " + QByteArray::number(m_index / kLapFrames) + "\n";
            for (int channel = 0; channel < m_channels; ++channel) {
                out += ">" + channelName(channel).toUtf8() + ":" + stamp + ":"
                        + number(values[channel]);
                out += channel < 2 ? "\xC2\xA7m/s\n" : "\n";
            }
            // The car's position estimate on a figure-eight track, in metres.
            const double angle = kTwoPi * m_index / m_rate / kPathSeconds;
            out += ">path:" + number(4.0 * std::sin(angle) + 0.02 * m_random.symmetric()) + ":"
                    + number(2.0 * std::sin(2.0 * angle) + 0.02 * m_random.symmetric()) + "|xy\n";
            break;
        }
        case SimFraming::Plain:
            for (int channel = 0; channel < m_channels; ++channel)
                out += (channel > 0 ? " " : "") + number(values[channel]);
            out += "\r\n";
            break;
        }
    }
    return n;
}
