#include "scopesource.h"

#include <QtMath>

#include <cmath>

namespace {

double phaseAt(double frequency, double seconds)
{
    const double cycles = frequency * seconds;
    return cycles - std::floor(cycles);
}

} // namespace

QByteArray scopeFrame(const std::array<quint16, 4> &samples, quint8 trailer)
{
    QByteArray frame;
    frame.reserve(11);
    frame.append(char(0xFF));
    frame.append(char(0xFF));
    for (const quint16 sample : samples) {
        frame.append(char(sample >> 8));
        frame.append(char(sample & 0xFF));
    }
    frame.append(char(trailer));
    return frame;
}

double waveformValue(Waveform waveform, double phase)
{
    switch (waveform) {
    case Waveform::Sine:
        return qSin(2.0 * M_PI * phase);
    case Waveform::Square:
        return phase < 0.5 ? 1.0 : -1.0;
    case Waveform::Triangle:
        if (phase < 0.25)
            return 4.0 * phase;
        if (phase < 0.75)
            return 2.0 - 4.0 * phase;
        return 4.0 * phase - 4.0;
    }
    return 0.0;
}

quint16 rawSample(double value, int amplitude)
{
    const int raw = kScopeMidScale + qRound(amplitude * qBound(-1.0, value, 1.0));
    return quint16(qBound(0, raw, 65535));
}

ScopeSource::ScopeSource(double rate, const std::array<double, 4> &frequencies,
                         const std::array<int, 4> &amplitudes, quint64 seed)
    : m_rate(rate)
    , m_frequencies(frequencies)
    , m_amplitudes(amplitudes)
    , m_random(seed)
{ }

qint64 ScopeSource::generate(QByteArray &out, qint64 n)
{
    for (qint64 i = 0; i < n; ++i, ++m_index) {
        const double seconds = double(m_index) / m_rate;
        const double noiseRate = m_frequencies[3];
        const qint64 step = noiseRate > 0.0 && noiseRate < m_rate
                ? qint64(std::floor(noiseRate * seconds))
                : m_index;
        if (step != m_noiseStep) {
            m_noiseStep = step;
            m_noise = m_random.symmetric();
        }
        const std::array<quint16, 4> samples {
            rawSample(waveformValue(Waveform::Sine, phaseAt(m_frequencies[0], seconds)),
                      m_amplitudes[0]),
            rawSample(waveformValue(Waveform::Square, phaseAt(m_frequencies[1], seconds)),
                      m_amplitudes[1]),
            rawSample(waveformValue(Waveform::Triangle, phaseAt(m_frequencies[2], seconds)),
                      m_amplitudes[2]),
            rawSample(m_noise, m_amplitudes[3])
        };
        out.append(scopeFrame(samples, quint8(m_index % kScopeCounterModulus)));
    }
    return n;
}
