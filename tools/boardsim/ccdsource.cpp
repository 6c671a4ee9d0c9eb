#include "ccdsource.h"

#include <QtMath>

namespace {

constexpr double kTrack = 205.0;
constexpr double kCarpet = 80.0;
constexpr double kEdgeLine = 20.0;
// Half the width of an edge line, and the width over which it fades into its
// surroundings (the lens does not image a sharp step).
constexpr double kEdgeHalfWidth = 2.0;
constexpr double kEdgeFade = 1.0;
constexpr double kNoise = 6.0;

double wave(double frequency, double seconds, double phase)
{
    return qSin(2.0 * M_PI * (frequency * seconds + phase));
}

} // namespace

CcdEdges ccdEdges(double seconds, const std::array<double, 3> &phases)
{
    const double centre
            = 64.0 + 12.0 * wave(0.11, seconds, phases[0]) + 4.0 * wave(0.37, seconds, phases[1]);
    const double halfWidth = 38.0 + 4.0 * wave(0.23, seconds, phases[2]);
    return { centre - halfWidth, centre + halfWidth };
}

QByteArray ccdLine(const CcdEdges &edges, SimRandom &random)
{
    QByteArray line(kCcdPixels + 1, char(0xFF));
    for (int i = 0; i < kCcdPixels; ++i) {
        const double x = i + 0.5;
        const double surface = x > edges.left && x < edges.right ? kTrack : kCarpet;
        const double distance = qMin(qAbs(x - edges.left), qAbs(x - edges.right));
        const double edge = qBound(0.0, (kEdgeHalfWidth + kEdgeFade - distance) / kEdgeFade, 1.0);
        const double offCentre = (x - kCcdPixels / 2.0) / (kCcdPixels / 2.0);
        const double lens = 1.0 - 0.3 * offCentre * offCentre;
        const double value
                = (surface * (1.0 - edge) + kEdgeLine * edge) * lens + kNoise * random.symmetric();
        line[i] = char(qBound(0, qRound(value), 254));
    }
    return line;
}

CcdSource::CcdSource(double rate, quint64 seed)
    : m_rate(rate)
    , m_random(seed)
{
    for (double &phase : m_phases)
        phase = m_random.unit();
}

qint64 CcdSource::generate(QByteArray &out, qint64 n)
{
    for (qint64 i = 0; i < n; ++i, ++m_index)
        out.append(ccdLine(ccdEdges(double(m_index) / m_rate, m_phases), m_random));
    return n;
}
