#ifndef PLOTFRAMINGDETECTOR_H
#define PLOTFRAMINGDETECTOR_H

#include "plotdecoder.h"

#include <QByteArray>

#include <optional>

// Picks a plot framing from the first bytes of a stream, for the framing
// choice 自动. It decides as soon as the bytes tell (a JustFloat tail, a
// Teleplot line), else after a few complete lines, and at the latest once
// kDecideBytes have come.
class PlotFramingDetector
{
public:
    // The framing of a stream that begins with head, or nothing while more
    // bytes are needed to tell.
    static std::optional<PlotFraming> detect(const QByteArray &head);

    static constexpr qsizetype kDecideBytes = 4096;
    static constexpr int kDecideLines = 3;
};

#endif // PLOTFRAMINGDETECTOR_H
