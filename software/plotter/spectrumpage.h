#ifndef SPECTRUMPAGE_H
#define SPECTRUMPAGE_H

#include "spectrum.h"
#include "spectrumview.h"

#include <QFutureWatcher>
#include <QList>
#include <QWidget>

class PlotView;
class QAction;
class SettingsGroup;

QT_BEGIN_NAMESPACE
namespace Ui {
class SpectrumPage;
}
QT_END_NAMESPACE

// The plotter's page 频谱: the spectrum's controls (points, sample rate, dB
// range) over its screen, which shows the spectra of the time view's shown
// channels. The transforms run on another thread, one batch at a time, on
// copies of the newest samples; the screen takes their results when they
// are done.
class SpectrumPage : public QWidget
{
    Q_OBJECT

public:
    explicit SpectrumPage(QWidget *parent = nullptr);
    ~SpectrumPage() override;

    SpectrumView *view() const;

    // Brings the spectra of source's shown channels up to date; a channel is
    // computed again only when it has new samples or the settings changed,
    // and not while the batch before is still at work. A paused page keeps
    // what it shows.
    void refresh(const PlotView &source);
    // Forgets what is shown, paused or not.
    void clear();
    void setPaused(bool paused);
    // The screen's context menu: the tab's pause, then the page's exports.
    void addPauseAction(QAction *pause);

    int points() const;
    void setPoints(int points);
    // Samples a second as set by hand, or NaN when measured; setting one
    // chooses 手动.
    double manualRate() const;
    void setManualRate(double hertz);

    // The page's keys in the tab's group, all under spectrum/.
    void saveSettings(SettingsGroup &group) const;
    void restoreSettings(const SettingsGroup &group);

    static constexpr double kMinRate = 0.01;
    static constexpr double kMaxRate = 1e6;
    static constexpr double kDecibelBound = 300;

signals:
    // The screen took a batch of spectra.
    void spectraShown();

private:
    // A channel's spectrum and what it was computed from; as a task, the
    // samples taken for it.
    struct Cached
    {
        int channel = -1;
        const PlotHistory *history = nullptr;
        qint64 total = -1;
        QList<float> samples;
        double measuredRate = 0;
        Spectrum::Result result;
    };
    struct Shown
    {
        int channel;
        QString name;
        QColor colour;
    };

    void takeResults();
    void showCurves();
    void applySettings();
    void applyRange();
    QString noteFor(const PlotView &source) const;
    void saveSpectra();
    void saveScreen();

    Ui::SpectrumPage *ui;
    // Used only by the batch at work.
    Spectrum m_spectrum;
    QFutureWatcher<QList<Cached>> m_batch;
    // Results from before a clearing or a change of settings are dropped.
    int m_generation = 0;
    int m_batchGeneration = 0;
    QList<Cached> m_cache;
    // The channels shown, as the last refresh found them.
    QList<Shown> m_shown;
    bool m_paused = false;
};

#endif // SPECTRUMPAGE_H
