#ifndef SPECTRUMPAGE_H
#define SPECTRUMPAGE_H

#include "spectrum.h"
#include "spectrumview.h"

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
// channels.
class SpectrumPage : public QWidget
{
    Q_OBJECT

public:
    explicit SpectrumPage(QWidget *parent = nullptr);
    ~SpectrumPage() override;

    SpectrumView *view() const;

    // Brings the spectra of source's shown channels up to date; a channel is
    // computed again only when it has new samples or the settings changed.
    // A paused page keeps what it shows.
    void refresh(const PlotView &source);
    // Forgets what is shown, paused or not.
    void clear();
    void setPaused(bool paused);
    bool paused() const { return m_paused; }
    // The screen's context menu: the tab's pause, then the page's exports.
    void addPauseAction(QAction *pause);

    int points() const;
    void setPoints(int points);
    // Samples a second as set by hand, or NaN when measured.
    double manualRate() const;
    void setManualRate(double hertz);
    void setAutomaticRate();

    // The page's keys in the tab's group, all under spectrum/.
    void saveSettings(SettingsGroup &group) const;
    void restoreSettings(const SettingsGroup &group);

    static constexpr double kMinRate = 0.001;
    static constexpr double kMaxRate = 1e6;
    static constexpr double kDecibelBound = 300;

private:
    // What a channel's spectrum was computed from.
    struct Cached
    {
        const PlotHistory *history = nullptr;
        qint64 total = -1;
        Spectrum::Result result;
    };

    void applySettings();
    void applyRange();
    QString noteFor(const PlotView &source) const;
    void saveSpectra();
    void saveScreen();

    Ui::SpectrumPage *ui;
    Spectrum m_spectrum;
    QList<Cached> m_cache;
    // The channels shown last, to tell when the curves need making again.
    QList<int> m_shown;
    bool m_paused = false;
};

#endif // SPECTRUMPAGE_H
