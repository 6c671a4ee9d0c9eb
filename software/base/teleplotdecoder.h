#ifndef TELEPLOTDECODER_H
#define TELEPLOTDECODER_H

#include "textlinedecoder.h"

#include <QHash>

// Teleplot: ">name:value" or ">name:timestamp_ms:value" per line, several
// points of one name joined by ';', an optional unit after '§' and flags
// after '|'. A name is a channel from the first time it appears. Values
// flagged xy are points of an XY series instead, ">name:x:y" or
// ">name:x:y:timestamp_ms", several joined by ';' too; series and channels
// are named apart. Lines without '>' are log text, and so are values flagged
// as text (t) or as not to be plotted (np): the log still shows them.
class TeleplotDecoder : public TextLineDecoder
{
public:
    PlotFraming framing() const override { return PlotFraming::Teleplot; }

protected:
    LineKind decodeLine(const char *begin, const char *end, PlotBatch &batch) override;

private:
    enum class Flags { None, Text, XY };

    static Flags flagsOf(QByteArrayView flags);
    LineKind decodeXY(QByteArrayView name, QByteArrayView points, PlotBatch &batch);

    QHash<QByteArray, int> m_channels;
    QHash<QByteArray, int> m_xySeries;
};

#endif // TELEPLOTDECODER_H
