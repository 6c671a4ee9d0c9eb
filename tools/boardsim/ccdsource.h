#ifndef CCDSOURCE_H
#define CCDSOURCE_H

#include "simrandom.h"
#include "unitsource.h"

#include <array>

constexpr int kCcdPixels = 128;

// Where the two dark edge lines of the track cross the sensor, in pixels.
struct CcdEdges
{
    double left;
    double right;
};

// The edges at a moment of the run. The car weaves and the track narrows and
// widens, so both drift; they stay on the sensor, the left one within pixels
// 6..46 and the right one within 82..122. phases shifts the drift of a run.
CcdEdges ccdEdges(double seconds, const std::array<double, 3> &phases);

// One line of the linear CCD: 128 pixels, then the end byte 0xFF. The track is
// bright between the edges, the carpet beyond them darker, the edge lines
// darkest; the lens dims the ends and noise of a few levels comes from random.
// Pixels stay within 0..254.
QByteArray ccdLine(const CcdEdges &edges, SimRandom &random);

// Lines of a run, line k showing the track at k / rate seconds.
class CcdSource : public UnitSource
{
public:
    CcdSource(double rate, quint64 seed);

    qint64 generate(QByteArray &out, qint64 n) override;

private:
    double m_rate;
    SimRandom m_random;
    std::array<double, 3> m_phases;
    qint64 m_index = 0;
};

#endif // CCDSOURCE_H
