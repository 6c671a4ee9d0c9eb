#ifndef PLAINDECODER_H
#define PLAINDECODER_H

#include "textlinedecoder.h"

#include <QHash>
#include <QList>

// Plain, as the Arduino plotter reads it: values separated by commas, spaces
// or tabs, each optionally as "label:value". A labelled value goes to the
// channel of its label; the n-th unlabelled value of a line to the n-th
// column, named by an all-text first line if there was one, else CHn. A
// channel comes into being the first time it is named.
class PlainDecoder : public TextLineDecoder
{
public:
    PlotFraming framing() const override { return PlotFraming::Plain; }

protected:
    LineKind decodeLine(const char *begin, const char *end, PlotBatch &batch) override;

private:
    // The channel of name, made if new; -1 when there is no room.
    int channelOf(const QString &name);

    QHash<QString, int> m_channels;
    // The header's names of the columns.
    QStringList m_header;
    // The channel of each column, once known.
    QList<int> m_columns;
    // A line was seen: a header may only come first.
    bool m_started = false;
};

#endif // PLAINDECODER_H
