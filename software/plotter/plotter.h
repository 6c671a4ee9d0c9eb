#ifndef PLOTTER_H
#define PLOTTER_H

#include "plotdecoder.h"
#include "settingspart.h"
#include "streamsink.h"

#include <QElapsedTimer>
#include <QSet>
#include <QWidget>

#include <memory>

class PlotView;
class SpectrumPage;
class QStackedLayout;
class QTimer;
class QTreeWidgetItem;
class XYPage;
class TriggerPanel;

QT_BEGIN_NAMESPACE
namespace Ui {
class Plotter;
}
QT_END_NAMESPACE

// The plotter tab: decodes what a board prints for plotting (FireWater,
// JustFloat, Teleplot or Plain, or picks one) into named curves, with a
// legend, the view's controls and a log of the text that is no data.
class Plotter : public QWidget, public StreamSink, public SettingsPart
{
    Q_OBJECT

public:
    // The pages of the plot's frame, in the order of the view box.
    enum class View { Time, Spectrum, XY };

    explicit Plotter(QWidget *parent);
    ~Plotter() override;

    void handleData(QByteArray &buffer) override;
    std::optional<FrameTotals> frameTotals() const override;

    // The framing, the hidden channels, the Y axis, the window, the trigger,
    // the view and the spectrum's settings.
    QString settingsGroup() const override;
    void saveSettings(SettingsGroup &group) const override;
    void restoreSettings(const SettingsGroup &group) override;

    // The framing chosen, Auto included, and the one decoding now (nothing
    // while Auto has not picked one yet).
    PlotFraming framingChoice() const;
    void setFramingChoice(PlotFraming framing);
    std::optional<PlotFraming> activeFraming() const;
    // Statistics of the decoder at work, or zeros.
    PlotStats stats() const;
    PlotView *view() const { return m_view; }
    SpectrumPage *spectrumPage() const { return m_spectrum; }
    XYPage *xyPage() const { return m_xy; }
    View currentView() const;
    void setView(View view);
    // Shows the decoder's figures under the plot; the refresh does it four
    // times a second.
    void showStatistics(const PlotStats &stats);
    // Lines in the log under the plot.
    QStringList logLines() const;

    static constexpr int kLogLines = PlotBatch::kMaxLogLines;

private:
    void startDecoder(PlotFraming framing);
    void decode(QByteArray &buffer);
    void syncChannels(int count);
    void addLegendItem(int channel);
    void refresh();
    void showCursor(const QString &text);
    void applyView();
    void applyXAxis();
    void applyYAxis();
    void applyTrigger();
    void saveSamples();
    void saveScreen();

    Ui::Plotter *ui;
    // The pages of the views, in the view box's order.
    QStackedLayout *m_pages;
    PlotView *m_view;
    SpectrumPage *m_spectrum;
    XYPage *m_xy;
    QTimer *m_refreshTimer;
    std::unique_ptr<PlotDecoder> m_decoder;
    // The first bytes, while 自动 has not picked a framing.
    QByteArray m_head;
    PlotBatch m_batch;
    // Arrival times, from the tab's start or the last clearing.
    QElapsedTimer m_clock;
    // The first time stamp of the board, which the X axis counts from.
    double m_firstStampMs;
    // Names of channels hidden by the user, also before they appear.
    QSet<QString> m_hidden;
    int m_legendRefreshes = 0;
    // Under the Y axis controls.
    TriggerPanel *m_triggerPanel;
};

#endif // PLOTTER_H
