#ifndef SIMOPTIONS_H
#define SIMOPTIONS_H

#include <QString>
#include <QStringList>

#include <array>

// What the simulated board sends, one kind at a time.
enum class SimMode { Text, Scope, Ccd, Camera, Plot, Replay };

// How plot mode prints its values.
enum class SimFraming { FireWater, JustFloat, Teleplot, Plain };

// How camera pictures are framed: ended by FF, or led by a text or binary
// header that gives their size.
enum class CameraFraming { EndByte, HeaderText, HeaderBinary };

// Everything the command line chooses. A unit is what the rate and the count
// are measured in: a text line, a scope frame, a CCD line, a camera picture or,
// when replaying, one byte.
struct SimOptions
{
    SimMode mode = SimMode::Text;
    // The file to replay.
    QString file;
    // The serial port to write to; empty for a virtual port of our own.
    QString port;
    qint32 baud = 115200;
    // Units per second.
    double rate = 0.0;
    // Units to send before falling silent; 0 for no limit.
    qint64 count = 0;
    // Seconds of sending before falling silent; 0 for no limit.
    double seconds = 0.0;
    quint64 seed = 0;
    bool seedGiven = false;
    // Wait for the next reader when the reader closes the port, instead of stopping.
    bool stay = false;
    // Start the file again at its end.
    bool loop = false;
    // Scope channels CH1..CH4: sine, square, triangle, noise. For the noise
    // channel the frequency is how often it takes a new value (0: every frame).
    std::array<double, 4> frequencies { 1.0, 0.5, 2.0, 20.0 };
    // Peak deviation of each channel from mid-scale (32768), in raw sample units.
    std::array<int, 4> amplitudes { 20000, 20000, 20000, 20000 };
    int width = 120;
    int height = 40;
    CameraFraming cameraFraming = CameraFraming::EndByte;
    // Pictures led by a header sent as JPEG files instead of grey bytes.
    bool jpeg = false;
    SimFraming plotFraming = SimFraming::FireWater;
    // Plot channels, 1..64.
    int channels = 4;
};

enum class ParseOutcome { Run, Help, Version, Error };

// Reads the command line (arguments[0] is the program). On Error, error holds
// a one-line explanation. virtualPorts tells whether the system can create a
// virtual port; without one, --port is required.
ParseOutcome parseSimArguments(const QStringList &arguments, bool virtualPorts, SimOptions &options,
                               QString &error);

QString simHelpText();
// The program's name and version, for --version.
QString simVersionText();

// The unit of a mode, singular or plural as n asks: "3 frames", "1 picture".
QString unitCount(SimMode mode, qint64 n);

// What a mode sends, for messages: "linear CCD lines".
QString modeDescription(SimMode mode);

#endif // SIMOPTIONS_H
