#include "spectrum.h"

#include <kiss_fftr.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;
// 10 log10(p) as a multiple of log2(p), which the C library computes faster.
constexpr float kDecibelsPerOctave = 3.0102999566398f;

} // namespace

struct Spectrum::Transform
{
    explicit Transform(int points)
        : plan(kiss_fftr_alloc(points, 0, nullptr, nullptr))
        , input(size_t(points))
        , output(size_t(points / 2 + 1))
    { }
    ~Transform() { kiss_fftr_free(plan); }
    Transform(const Transform &) = delete;
    Transform &operator=(const Transform &) = delete;

    kiss_fftr_cfg plan;
    std::vector<kiss_fft_scalar> input;
    std::vector<kiss_fft_cpx> output;
};

Spectrum::Spectrum()
{
    setPoints(kDefaultPoints);
}

Spectrum::~Spectrum() = default;

bool Spectrum::validPoints(int points)
{
    return points >= kMinPoints && points <= kMaxPoints && (points & (points - 1)) == 0;
}

bool Spectrum::setPoints(int points)
{
    if (!validPoints(points))
        return false;
    if (points == m_points)
        return true;
    auto transform = std::make_unique<Transform>(points);
    if (!transform->plan)
        return false;
    m_transform = std::move(transform);
    m_points = points;
    return true;
}

double Spectrum::rateFromTimes(const PlotHistory &history, qsizetype count)
{
    count = qMin(count, history.size());
    if (count < 2)
        return qQNaN();
    const double span
            = double(history.seconds(history.size() - 1)) - history.seconds(history.size() - count);
    return span > 0 ? (count - 1) / span : qQNaN();
}

const Spectrum::Window &Spectrum::window(qsizetype count)
{
    Window &window = count == m_points ? m_full : m_part;
    if (qsizetype(window.weights.size()) == count)
        return window;
    // The periodic Hann window, whose coherent gain is its mean, 1/2.
    window.weights.resize(size_t(count));
    window.sum = 0;
    for (qsizetype n = 0; n < count; ++n) {
        const double weight = 0.5 - 0.5 * std::cos(2 * kPi * double(n) / double(count));
        window.weights[size_t(n)] = float(weight);
        window.sum += weight;
    }
    return window;
}

Spectrum::Result Spectrum::compute(const PlotHistory &history, double rate)
{
    const qsizetype count = qMin<qsizetype>(history.size(), m_points);
    return compute(newest(history, count), rateFromTimes(history, count), rate);
}

QList<float> Spectrum::newest(const PlotHistory &history, qsizetype count)
{
    count = qMin(count, history.size());
    QList<float> samples(count);
    history.copyValues(history.size() - count, count, samples.data());
    return samples;
}

Spectrum::Result Spectrum::compute(const QList<float> &samples, double measuredRate, double rate)
{
    Result result;
    const qsizetype count = qMin<qsizetype>(samples.size(), m_points);
    const float *values = samples.constData() + (samples.size() - count);
    result.samples = count;
    result.measuredRate = measuredRate;
    result.rate = rate > 0 && std::isfinite(rate) ? rate : measuredRate;
    if (count < kMinSamples || !(result.rate > 0) || !std::isfinite(result.rate))
        return result;
    result.binHz = result.rate / m_points;

    const Window &w = window(count);
    const float *firstNumber = std::find_if(values, values + count,
                                            [](float value) { return std::isfinite(value); });
    float held = firstNumber != values + count ? *firstNumber : 0;
    kiss_fft_scalar *input = m_transform->input.data();
    for (qsizetype n = 0; n < count; ++n) {
        const float value = values[n];
        if (std::isfinite(value))
            held = value;
        input[n] = held * w.weights[size_t(n)];
    }
    std::fill(input + count, input + m_points, kiss_fft_scalar(0));
    kiss_fftr(m_transform->plan, input, m_transform->output.data());

    // A line between DC and Nyquist splits its amplitude between the bin and
    // its mirror; the two ends have none.
    const int last = m_points / 2;
    const float side = float(2 / w.sum);
    const float ends = float(1 / w.sum);
    const float floorPower = std::pow(10.0f, kFloorDecibels / 10);
    result.decibels.resize(last + 1);
    float *decibels = result.decibels.data();
    for (int k = 0; k <= last; ++k) {
        const kiss_fft_cpx bin = m_transform->output[size_t(k)];
        const float scale = k == 0 || k == last ? ends : side;
        const float power = (bin.r * bin.r + bin.i * bin.i) * scale * scale;
        decibels[k] = kDecibelsPerOctave * std::log2(std::max(power, floorPower));
    }

    // DC leaks into the bins of its window's main lobe, two bins wide on each
    // side over the samples taken, wider in bins when they are padded. The
    // peak is the strongest bin above both neighbours past that lobe: the
    // flank of a slow drift's line there is no line of its own.
    const int from = int(std::ceil(2.0 * m_points / count)) + 1;
    int peak = -1;
    for (int k = qMax(from, 1); k < last; ++k) {
        if (decibels[k] > decibels[k - 1] && decibels[k] >= decibels[k + 1]
            && (peak < 0 || decibels[k] > decibels[peak]))
            peak = k;
    }
    if (peak < 0)
        return result;
    // A parabola through the top three bins in dB places the line between
    // them, to a few hundredths of a bin under a Hann window.
    const double before = decibels[peak - 1];
    const double top = decibels[peak];
    const double after = decibels[peak + 1];
    const double bend = before - 2 * top + after;
    const double offset = bend < 0 ? qBound(-0.5, 0.5 * (before - after) / bend, 0.5) : 0;
    result.peakHz = (peak + offset) * result.binHz;
    result.peakDecibels = top - 0.25 * (before - after) * offset;
    return result;
}
