#include "greylevels.h"

#include "byteutils.h"

bool greyStatistics(const QByteArray &pixels, GreyStatistics &stats)
{
    quint32 min = 0;
    quint32 max = 0;
    quint32 sum = 0;
    if (!byteStatistics(pixels, min, max, sum))
        return false;
    stats.minimum = min;
    stats.maximum = max;
    stats.average = sum / quint32(pixels.size());
    stats.mid = (min + max) / 2;
    return true;
}

int modeThreshold(ThresholdMode mode, const GreyStatistics &stats, int fixedThreshold)
{
    switch (mode) {
    case ThresholdMode::MidValue:
        return int(stats.mid);
    case ThresholdMode::Fixed:
        return fixedThreshold;
    case ThresholdMode::Custom:
        break;
    }
    return 0;
}

bool runAlgorithm(ImgProcFunc imgProc, const QByteArray &pixels, int width, int height,
                  QByteArray &out)
{
    if (!imgProc || qint64(width) * height != pixels.size())
        return false;
    // Zeroed rather than left undefined, so that a plug-in that skips a byte
    // gives the same picture every time.
    out = QByteArray(pixels.size(), '\0');
    imgProc(reinterpret_cast<const unsigned char *>(pixels.constData()),
            reinterpret_cast<unsigned char *>(out.data()), width, height);
    return true;
}

QByteArray binarizeGrey(const QByteArray &pixels, int width, int height, ThresholdMode mode,
                        int threshold, ImgProcFunc imgProc)
{
    QByteArray out;
    if (mode != ThresholdMode::Custom)
        binarize(pixels, out, quint8(threshold));
    else
        runAlgorithm(imgProc, pixels, width, height, out);
    return out;
}
