/*
 * Binarization by Otsu's threshold: the grey level that best separates the
 * pixels into a dark class (the track borders, the background) and a bright
 * class (the track), by maximizing the variance between the two classes.
 * Unlike a fixed threshold it follows the lighting, and unlike the mid value
 * it is not thrown off by a single bright reflection or dark spot.
 *
 * Works for any picture size: the 128 x 1 line of the linear CCD tab as well
 * as the camera tab's width x height pictures.
 */
#include "imgproc.h"

/* The grey level t for which "pixel > t" best splits the histogram. */
static int otsuThreshold(const unsigned char *src, long count)
{
    long histogram[256] = { 0 };
    double sumAll = 0.0;
    double sumDark = 0.0;
    double bestVariance = -1.0;
    long dark = 0;
    /* All pixels alike: nothing to separate, everything is dark. */
    int threshold = 255;
    long i;
    int t;

    for (i = 0; i < count; ++i)
        ++histogram[src[i]];
    for (t = 0; t < 256; ++t)
        sumAll += (double)t * (double)histogram[t];

    for (t = 0; t < 256; ++t) {
        long bright;
        double meanDark;
        double meanBright;
        double variance;

        dark += histogram[t];
        if (dark == 0)
            continue;
        bright = count - dark;
        if (bright == 0)
            break;
        sumDark += (double)t * (double)histogram[t];
        meanDark = sumDark / (double)dark;
        meanBright = (sumAll - sumDark) / (double)bright;
        variance
                = (double)dark * (double)bright * (meanDark - meanBright) * (meanDark - meanBright);
        if (variance > bestVariance) {
            bestVariance = variance;
            threshold = t;
        }
    }
    return threshold;
}

IMGPROC_EXPORT void IMGPROC_CDECL ImgProc(const unsigned char *src, unsigned char *dst, int width,
                                          int height)
{
    long count;
    long i;
    int threshold;

    if (width <= 0 || height <= 0)
        return;
    count = (long)width * (long)height;
    threshold = otsuThreshold(src, count);
    for (i = 0; i < count; ++i)
        dst[i] = src[i] > threshold ? 255 : 0;
}
