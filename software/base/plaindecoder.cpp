#include "plaindecoder.h"

#include <QVarLengthArray>

namespace {

bool isSeparator(char c)
{
    return c == ',' || c == ' ' || c == '\t';
}

struct Field
{
    const char *begin;
    const char *end;
};

} // namespace

TextLineDecoder::LineKind PlainDecoder::decodeLine(const char *begin, const char *end,
                                                   PlotBatch &batch)
{
    const bool first = !m_started;
    m_started = true;

    QVarLengthArray<Field, 16> fields;
    for (const char *c = begin; c < end;) {
        while (c < end && isSeparator(*c))
            ++c;
        const char *start = c;
        while (c < end && !isSeparator(*c))
            ++c;
        if (c > start)
            fields.append(Field { start, c });
    }
    if (fields.isEmpty())
        return LineKind::Text;
    if (fields.size() > kMaxChannels)
        return LineKind::Garbage;

    // Parsed whole first: a line that fails adds nothing.
    const qsizetype offset = batch.values.size();
    QVarLengthArray<const char *, 16> labelEnds;
    bool allText = true;
    for (const Field &field : fields) {
        const char *colon = field.end;
        while (colon > field.begin && colon[-1] != ':')
            --colon;
        const char *valueBegin = colon > field.begin ? colon : field.begin;
        double value;
        if (!parseNumber(valueBegin, field.end, value)) {
            if (colon > field.begin)
                allText = false;
            labelEnds.append(nullptr);
            continue;
        }
        allText = false;
        batch.values.append(value);
        labelEnds.append(colon > field.begin ? colon - 1 : nullptr);
    }
    if (batch.values.size() - offset < fields.size()) {
        batch.values.resize(offset);
        if (first && allText) {
            for (const Field &field : fields)
                m_header.append(QString::fromUtf8(field.begin, field.end - field.begin));
        }
        return first && allText ? LineKind::Text : LineKind::Garbage;
    }

    QVarLengthArray<int, 16> channels;
    int column = 0;
    for (qsizetype n = 0; n < fields.size(); ++n) {
        int channel;
        if (labelEnds[n]) {
            channel = channelOf(QString::fromUtf8(fields[n].begin, labelEnds[n] - fields[n].begin));
        } else {
            if (column >= m_columns.size()) {
                const QString name
                        = column < m_header.size() ? m_header[column] : defaultName(column);
                m_columns.append(channelOf(name));
                if (m_columns.last() < 0)
                    m_columns.removeLast();
            }
            channel = column < m_columns.size() ? m_columns[column] : -1;
            ++column;
        }
        if (channel < 0) {
            batch.values.resize(offset);
            return LineKind::Garbage;
        }
        channels.append(channel);
    }

    // Values of consecutive channels make one row.
    qsizetype rowStart = 0;
    for (qsizetype n = 1; n <= channels.size(); ++n) {
        if (n == channels.size() || channels[n] != channels[n - 1] + 1) {
            addRow(batch, offset + rowStart, channels[rowStart], int(n - rowStart), qQNaN());
            rowStart = n;
        }
    }
    return LineKind::Data;
}

int PlainDecoder::channelOf(const QString &name)
{
    const auto found = m_channels.constFind(name);
    if (found != m_channels.constEnd())
        return *found;
    if (m_names.size() == kMaxChannels)
        return -1;
    const int channel = int(m_names.size());
    m_channels.insert(name, channel);
    m_names.append(name);
    m_units.append(QString());
    return channel;
}
