#ifndef SPECTRUM_H
#define SPECTRUM_H

#include "plothistory.h"

#include <QList>

#include <memory>
#include <vector>

// The magnitude spectrum of a channel's newest samples: a Hann window, a real
// FFT of N points (a power of two) and the amplitude of each bin in dB, so
// that a sine of amplitude A reads 20·log10(A) at its peak (the window's
// coherent gain is corrected). Fewer samples than N are windowed as they are
// and padded with zeros; the bins stay N / 2 + 1. A sample that is no number
// repeats the one before it, so that one gap does not spoil the whole line.
class Spectrum
{
public:
    struct Result
    {
        // Bins 0 .. N / 2, binHz apart.
        QList<float> decibels;
        // The sample rate used, and the one the times show (NaN when they
        // show none).
        double rate = qQNaN();
        double measuredRate = qQNaN();
        double binHz = qQNaN();
        // The strongest line outside the DC bin's lobe (a bin above both
        // its neighbours), placed between bins by the shape of its top; NaN
        // while there is none.
        double peakHz = qQNaN();
        double peakDecibels = qQNaN();
        // Samples taken, at most N.
        qsizetype samples = 0;

        bool valid() const { return !decibels.isEmpty(); }
    };

    Spectrum();
    ~Spectrum();
    Spectrum(const Spectrum &) = delete;
    Spectrum &operator=(const Spectrum &) = delete;

    // A power of two from kMinPoints to kMaxPoints; anything else is refused.
    bool setPoints(int points);
    int points() const { return m_points; }
    static bool validPoints(int points);

    // The spectrum of the newest points() samples of history, at rate
    // samples a second, or at the rate their times show when rate is not a
    // positive number. Without a rate or with fewer than kMinSamples samples
    // the result has no bins.
    Result compute(const PlotHistory &history, double rate);
    // The same from the newest samples taken out of a history (the newest
    // last), which another thread may compute, and the rate their times
    // showed.
    Result compute(const QList<float> &samples, double measuredRate, double rate);
    static QList<float> newest(const PlotHistory &history, qsizetype count);

    // (count - 1) / (t_last - t_first) over the newest count samples, or NaN
    // when those times do not advance.
    static double rateFromTimes(const PlotHistory &history, qsizetype count);

    static constexpr int kMinPoints = 256;
    static constexpr int kMaxPoints = 65536;
    static constexpr int kDefaultPoints = 4096;
    static constexpr qsizetype kMinSamples = 16;
    // An empty bin reads this rather than -inf.
    static constexpr float kFloorDecibels = -200;

private:
    struct Window
    {
        std::vector<float> weights;
        double sum = 0;
    };
    // The FFT's plan and buffers, in the library's types.
    struct Transform;

    // The window over count samples, made once for each length: the full
    // one, and the last shorter one while the history fills.
    const Window &window(qsizetype count);

    int m_points = 0;
    std::unique_ptr<Transform> m_transform;
    Window m_full;
    Window m_part;
};

#endif // SPECTRUM_H
