#ifndef TELEPLOTDECODER_H
#define TELEPLOTDECODER_H

#include "textlinedecoder.h"

#include <QHash>

// Teleplot: ">name:value" or ">name:timestamp_ms:value" per line, several
// points of one name joined by ';', an optional unit after '§' and flags
// after '|'. A name is a channel from the first time it appears. Lines
// without '>' are log text, and so are values flagged as text (t), as XY
// pairs (xy) or as not to be plotted (np): this plotter draws curves over time
// only, and the log still shows them.
class TeleplotDecoder : public TextLineDecoder
{
public:
    PlotFraming framing() const override { return PlotFraming::Teleplot; }

protected:
    LineKind decodeLine(const char *begin, const char *end, PlotBatch &batch) override;

private:
    QHash<QByteArray, int> m_channels;
};

#endif // TELEPLOTDECODER_H
