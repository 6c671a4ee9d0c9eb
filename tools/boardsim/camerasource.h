#ifndef CAMERASOURCE_H
#define CAMERASOURCE_H

#include "simoptions.h"
#include "simrandom.h"
#include "unitsource.h"

#include <array>

// The track in one row of the camera picture, in pixels from the left.
struct CameraTrackRow
{
    double centre;
    double halfWidth;
};

// The track as the car's camera sees it, tilted down at the road ahead: the
// bottom row is just in front of the car, the top row far away, so the track
// narrows towards the top. The car drifts sideways on the track and the track
// bends away ahead of it; phases shifts both for a run.
CameraTrackRow cameraTrackRow(int width, int height, int row, double seconds,
                              const std::array<double, 2> &phases);

// One picture: width * height pixels row by row from the top, then the end
// byte 0xFF. Bright track, dark edge lines, darker carpet, brighter towards the
// car, with noise of a few levels. Pixels stay within 0..254.
QByteArray cameraPicture(int width, int height, double seconds, const std::array<double, 2> &phases,
                         SimRandom &random);

// The picture's pixels (without its end byte) led by a header of the
// framing: text or binary, with the picture number as ID; as a JPEG file
// (FORMAT 0) or grey bytes (FORMAT 24).
QByteArray headedPicture(const QByteArray &pixels, int width, int height, qint32 id,
                         CameraFraming framing, bool jpeg);

// Pictures of a run, picture k showing the track at k / rate seconds.
class CameraSource : public UnitSource
{
public:
    CameraSource(int width, int height, double rate, quint64 seed,
                 CameraFraming framing = CameraFraming::EndByte, bool jpeg = false);

    qint64 generate(QByteArray &out, qint64 n) override;

private:
    int m_width;
    int m_height;
    double m_rate;
    SimRandom m_random;
    std::array<double, 2> m_phases;
    qint64 m_index = 0;
    CameraFraming m_framing;
    bool m_jpeg;
};

#endif // CAMERASOURCE_H
