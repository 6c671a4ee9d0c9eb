#ifndef OSCILLOSCOPE_H
#define OSCILLOSCOPE_H

#include "scopeframedecoder.h"
#include "settingspart.h"
#include "streamsink.h"

#include <QByteArray>
#include <QWidget>

class OscilloscopeWave;
class QAction;
class QDoubleSpinBox;
class TriggerPanel;

QT_BEGIN_NAMESPACE
namespace Ui {
class Oscilloscope;
}
QT_END_NAMESPACE

// The oscilloscope tab: decodes the board's four-channel sample frames into
// voltages for the waveform view and carries the view's controls.
class Oscilloscope : public QWidget, public StreamSink, public SettingsPart
{
    Q_OBJECT

public:
    explicit Oscilloscope(QWidget *parent);
    ~Oscilloscope() override;

    // Decodes every complete frame in buffer into the view and removes what it
    // consumed; at most nine bytes, the possible start of a frame, stay.
    void handleData(QByteArray &buffer) override;
    std::optional<FrameTotals> frameTotals() const override
    {
        return FrameTotals { FrameHealth::Kind::Scope, frameCountsOf(m_decoder.stats()) };
    }
    // What the decoding met since the tab was made.
    const ScopeFrameStats &frameStats() const { return m_decoder.stats(); }

    // Each channel's scale and limits, the selected channel, the two dials
    // and the trigger.
    QString settingsGroup() const override;
    void saveSettings(SettingsGroup &group) const override;
    void restoreSettings(const SettingsGroup &group) override;

    // 0 while channel ch is off, else 1..kMaxScaleIndex for 20 V .. 1 mV per
    // division. Setting it puts it in place directly, without the buttons;
    // false for a channel or an index there is not.
    int channelScaleIndex(int ch) const;
    bool setChannelScaleIndex(int ch, int index);

    static constexpr int kMaxScaleIndex = 14;

private slots:
    void on_pushButton_CH1_clicked();
    void on_dial_yScaleIndex_valueChanged(int value);
    void on_pushButton_CH2_clicked();
    void on_pushButton_CH3_clicked();
    void on_pushButton_CH4_clicked();
    void on_dial_xScaleIndex_valueChanged(int value);
    void on_doubleSpinBox_ch1max_valueChanged(double value);
    void on_doubleSpinBox_ch1min_valueChanged(double value);
    void on_doubleSpinBox_ch2max_valueChanged(double value);
    void on_doubleSpinBox_ch2min_valueChanged(double value);
    void on_doubleSpinBox_ch3max_valueChanged(double value);
    void on_doubleSpinBox_ch3min_valueChanged(double value);
    void on_doubleSpinBox_ch4max_valueChanged(double value);
    void on_doubleSpinBox_ch4min_valueChanged(double value);
    void on_pushButton_clear_clicked();

private:
    void applyTrigger();
    void saveSamples();
    void saveScreen();
    void pressChannelButton(int ch);
    // Both at once, so that no box complains on the way; changes nothing when
    // the boxes cannot show them or maximum is not above minimum.
    void setLimits(int ch, double maximum, double minimum);
    void applyMaximum(int ch, double maximum);
    void applyMinimum(int ch, double minimum);
    void rejectLimits(int ch);
    QDoubleSpinBox *maxBox(int ch) const;
    QDoubleSpinBox *minBox(int ch) const;

    // Voltage of raw sample 0 and of 65535 minus it, per channel.
    double m_chMin[4];
    double m_chSpan[4];
    Ui::Oscilloscope *ui;
    OscilloscopeWave *m_wave;
    ScopeFrameDecoder m_decoder;
    // The screen's context menu: pause, save the samples, save the picture.
    QAction *m_pauseAction;
    // Below the clear button, in the room above the limit boxes.
    TriggerPanel *m_triggerPanel;
};

#endif // OSCILLOSCOPE_H
