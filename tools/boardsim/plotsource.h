#ifndef PLOTSOURCE_H
#define PLOTSOURCE_H

#include "simoptions.h"
#include "simrandom.h"
#include "speedloop.h"
#include "unitsource.h"

#include <QByteArray>
#include <QList>

// Frames of named signals for the plotter, one frame per sample time at the
// rate, in one of the plot framings: speed (a speed loop answering steps of
// its target), target, steer (a steering error) and sensor (a noisy
// reading with the motor's vibration in it), then further waves for more
// channels. Teleplot stamps each value with the board's time in
// milliseconds, adds the car's position as an XY point `path` and prints a
// lap line now and then; Plain names its columns in a first line.
class PlotSource : public UnitSource
{
public:
    PlotSource(SimFraming framing, int channels, double rate, quint64 seed);

    qint64 generate(QByteArray &out, qint64 n) override;

    // The name of each channel, in order.
    static QString channelName(int channel);
    // Every this many frames Teleplot prints a lap line.
    static constexpr int kLapFrames = 500;
    // The target steps every this many seconds.
    static constexpr double kStepSeconds = 2.0;
    // The vibration in sensor, in Hz.
    static constexpr double kVibrationHz[2] = { 13.0, 31.0 };
    // One round of the XY path takes this long.
    static constexpr double kPathSeconds = 20.0;

    SpeedLoop &speedLoop() { return m_loop; }

    // Lines kp=, ki=, kd= and target= set the speed loop's gains, and the
    // height of the target's steps: from then on it steps between 0 and that.
    void hear(const QByteArray &bytes) override;

private:
    // The values of the next frame.
    QList<double> nextValues();

    SimFraming m_framing;
    int m_channels;
    double m_rate;
    SimRandom m_random;
    SpeedLoop m_loop;
    qint64 m_index = 0;
    // A command line not yet ended.
    QByteArray m_command;
    // The target's height set by a command, or NaN while the steps are the
    // program's own.
    double m_heardTarget;
};

#endif // PLOTSOURCE_H
