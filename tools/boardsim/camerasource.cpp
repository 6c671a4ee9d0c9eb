#include "camerasource.h"

#include <QBuffer>
#include <QImage>
#include <QtEndian>
#include <QtMath>

namespace {

constexpr double kNoise = 5.0;

} // namespace

CameraTrackRow cameraTrackRow(int width, int height, int row, double seconds,
                              const std::array<double, 2> &phases)
{
    // Nearness of the row: 0 at the far top edge, 1 at the bottom.
    const double near = (row + 0.5) / height;
    const double far = 1.0 - near;
    const double sideways = 0.10 * qSin(2.0 * M_PI * (0.13 * seconds + phases[0]));
    const double bend = 0.45 * qSin(2.0 * M_PI * (0.05 * seconds + phases[1]));
    return { width * (0.5 + sideways + bend * far * far), width * (0.10 + 0.32 * near) };
}

QByteArray cameraPicture(int width, int height, double seconds, const std::array<double, 2> &phases,
                         SimRandom &random)
{
    QByteArray picture(qsizetype(width) * height + 1, char(0xFF));
    char *pixel = picture.data();
    for (int row = 0; row < height; ++row) {
        const CameraTrackRow track = cameraTrackRow(width, height, row, seconds, phases);
        const double near = (row + 0.5) / height;
        const double edgeLine = qMax(1.0, 0.12 * track.halfWidth);
        for (int column = 0; column < width; ++column) {
            const double distance = qAbs(column + 0.5 - track.centre);
            double value;
            if (distance < track.halfWidth - edgeLine)
                value = 170.0 + 45.0 * near;
            else if (distance <= track.halfWidth)
                value = 30.0;
            else
                value = 65.0 + 20.0 * near;
            value += kNoise * random.symmetric();
            *pixel++ = char(qBound(0, qRound(value), 254));
        }
    }
    return picture;
}

QByteArray headedPicture(const QByteArray &pixels, int width, int height, qint32 id,
                         CameraFraming framing, bool jpeg)
{
    QByteArray data = pixels;
    if (jpeg) {
        const QImage image(reinterpret_cast<const uchar *>(pixels.constData()), width, height,
                           width, QImage::Format_Grayscale8);
        data.clear();
        QBuffer file(&data);
        file.open(QIODevice::WriteOnly);
        image.save(&file, "JPEG", 90);
    }
    const qint32 format = jpeg ? 0 : 24;
    if (framing == CameraFraming::HeaderText) {
        return QStringLiteral("image:%1,%2,%3,%4,%5\n")
                       .arg(id)
                       .arg(data.size())
                       .arg(width)
                       .arg(height)
                       .arg(format)
                       .toLatin1()
                + data;
    }
    QByteArray header(28, '\0');
    const qint32 fields[]
            = { id, qint32(data.size()), width, height, format, 0x7F800000, 0x7F800000 };
    for (int i = 0; i < 7; ++i)
        qToLittleEndian(fields[i], header.data() + 4 * i);
    return header + data;
}

CameraSource::CameraSource(int width, int height, double rate, quint64 seed, CameraFraming framing,
                           bool jpeg)
    : m_width(width)
    , m_height(height)
    , m_rate(rate)
    , m_random(seed)
    , m_framing(framing)
    , m_jpeg(jpeg)
{
    for (double &phase : m_phases)
        phase = m_random.unit();
}

qint64 CameraSource::generate(QByteArray &out, qint64 n)
{
    for (qint64 i = 0; i < n; ++i, ++m_index) {
        QByteArray picture
                = cameraPicture(m_width, m_height, double(m_index) / m_rate, m_phases, m_random);
        if (m_framing != CameraFraming::EndByte) {
            picture.chop(1);
            picture = headedPicture(picture, m_width, m_height, qint32(m_index), m_framing, m_jpeg);
        }
        out.append(picture);
    }
    return n;
}
