#ifndef GREYLEVELS_H
#define GREYLEVELS_H

#include "algorithmlibrary.h"

#include <QByteArray>
#include <QtGlobal>

// The grey-level arithmetic that the linear CCD and camera tabs share: the
// statistics they show and the binarized copy they draw beside the picture.

struct GreyStatistics
{
    quint32 minimum;
    quint32 maximum;
    quint32 average; // rounded down
    quint32 mid;     // (minimum + maximum) / 2, rounded down
};

// False for no pixels, which leaves stats untouched.
bool greyStatistics(const QByteArray &pixels, GreyStatistics &stats);

// How a picture is binarized: cut at its mid value, cut at a fixed
// threshold, or handed to the custom algorithm.
enum class ThresholdMode { MidValue, Fixed, Custom };

// The threshold a mode cuts at; the custom mode has none and gives 0.
int modeThreshold(ThresholdMode mode, const GreyStatistics &stats, int fixedThreshold);

// Calls the custom algorithm on a width x height picture and puts what it
// wrote into out. False, with no call, without an algorithm or when the
// picture does not hold width x height bytes.
bool runAlgorithm(ImgProcFunc imgProc, const QByteArray &pixels, int width, int height,
                  QByteArray &out);

// The binarized copy of a width x height picture. The threshold modes give
// 0xFF for every pixel above the low 8 bits of threshold and 0x00 for the
// others; the custom mode gives what runAlgorithm gives, or an empty array
// when it cannot run. What an empty array shows is the caller's choice.
QByteArray binarizeGrey(const QByteArray &pixels, int width, int height, ThresholdMode mode,
                        int threshold, ImgProcFunc imgProc);

#endif // GREYLEVELS_H
