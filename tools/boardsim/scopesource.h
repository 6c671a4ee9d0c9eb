#ifndef SCOPESOURCE_H
#define SCOPESOURCE_H

#include "simrandom.h"
#include "unitsource.h"

#include <array>

// Mid-scale of a raw sample: the waveforms swing around it.
constexpr int kScopeMidScale = 32768;
// The frame counter in the trailing byte runs 0..254 and never takes 0xFF: a
// trailing byte that arrives after its frame was decoded must not pair with the
// next frame's first sync byte.
constexpr int kScopeCounterModulus = 255;

// An 11-byte oscilloscope frame: 0xFF 0xFF, the four samples most significant
// byte first, the trailing byte.
QByteArray scopeFrame(const std::array<quint16, 4> &samples, quint8 trailer);

enum class Waveform { Sine, Square, Triangle };

// The waveform's value from -1 to 1 at phase 0 <= phase < 1 of its period:
// sine and triangle start at 0 rising, the square starts high.
double waveformValue(Waveform waveform, double phase);

// The raw sample mid-scale + amplitude * value, rounded.
quint16 rawSample(double value, int amplitude);

// Frames of four channels sampled at the frame rate: CH1 sine, CH2 square,
// CH3 triangle, CH4 noise that takes a new random value frequency times a
// second (every frame for frequency 0 or at least the frame rate).
class ScopeSource : public UnitSource
{
public:
    ScopeSource(double rate, const std::array<double, 4> &frequencies,
                const std::array<int, 4> &amplitudes, quint64 seed);

    qint64 generate(QByteArray &out, qint64 n) override;

private:
    double m_rate;
    std::array<double, 4> m_frequencies;
    std::array<int, 4> m_amplitudes;
    SimRandom m_random;
    qint64 m_index = 0;
    qint64 m_noiseStep = -1;
    double m_noise = 0.0;
};

#endif // SCOPESOURCE_H
