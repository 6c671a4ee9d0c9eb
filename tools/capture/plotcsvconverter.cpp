#include "plotcsvconverter.h"

#include "csvtext.h"

#include <cmath>

PlotCsvConverter::PlotCsvConverter(std::optional<PlotFraming> plotFraming, bool timed)
    : m_plotFraming(plotFraming)
    , m_timed(timed)
{
    reset();
}

void PlotCsvConverter::reset()
{
    if (m_plotFraming)
        m_plot = PlotDecoder::create(*m_plotFraming);
    m_scope = ScopeFrameDecoder();
    m_buffer.clear();
    m_xyPoints = 0;
}

template<typename Frame>
void PlotCsvConverter::decodeBuffer(bool oneFrame, Frame frame)
{
    m_batch.clear();
    m_plot->decode(m_buffer, m_batch);
    m_xyPoints += m_batch.xyPoints.size();
    m_cells.clear();
    for (const PlotRow &row : std::as_const(m_batch.rows)) {
        for (int n = 0; n < row.count; ++n)
            m_cells.append(Cell { row.channel + n, m_batch.values[row.offset + n], row.timeMs });
        if (!oneFrame) {
            frame(m_cells);
            m_cells.clear();
        }
    }
    if (!m_cells.isEmpty())
        frame(m_cells);
}

template<typename Frame>
void PlotCsvConverter::decode(const QByteArray &bytes, Frame frame)
{
    if (!m_plot) {
        m_buffer.append(bytes);
        for (const ScopeFrame &scope : m_scope.takeFrames(m_buffer)) {
            m_cells.clear();
            for (int channel = 0; channel < 4; ++channel)
                m_cells.append(Cell { channel, double(scope.raw[channel]), qQNaN() });
            frame(m_cells);
        }
        return;
    }
    if (m_plot->framing() != PlotFraming::Plain) {
        m_buffer.append(bytes);
        decodeBuffer(false, frame);
        return;
    }
    // A Plain line with its labels out of order makes several rows: fed one
    // line at a time, whatever a call finds is one line, one frame.
    for (qsizetype from = 0; from < bytes.size();) {
        const qsizetype feed = bytes.indexOf('\n', from);
        const qsizetype end = feed < 0 ? bytes.size() : feed + 1;
        m_buffer.append(bytes.constData() + from, end - from);
        decodeBuffer(true, frame);
        from = end;
    }
}

void PlotCsvConverter::learn(const QByteArray &bytes)
{
    decode(bytes, [this](const QList<Cell> &cells) {
        for (const Cell &cell : cells)
            m_columns = qMax(m_columns, cell.channel + 1);
    });
}

QByteArray PlotCsvConverter::startWriting()
{
    // A FireWater or JustFloat stream whose frames got shorter has fewer
    // names now than it had channels.
    m_names = m_plot ? m_plot->channelNames() : QStringList();
    while (m_names.size() < m_columns)
        m_names.append(PlotDecoder::defaultName(int(m_names.size())));
    reset();

    QByteArray header;
    QStringList columns;
    if (m_timed)
        columns.append(QStringLiteral("time_s"));
    if (isLong())
        columns << QStringLiteral("board_time_ms") << QStringLiteral("name")
                << QStringLiteral("value");
    else
        columns += m_names.first(m_columns);
    for (qsizetype n = 0; n < columns.size(); ++n) {
        if (n > 0)
            header.append(',');
        CsvText::appendText(header, columns[n]);
    }
    header.append('\n');
    return header;
}

void PlotCsvConverter::convert(const QByteArray &bytes, quint64 micros, QByteArray &out)
{
    QList<double> line(m_columns);
    decode(bytes, [&](const QList<Cell> &cells) {
        if (isLong()) {
            for (const Cell &cell : cells) {
                if (m_timed) {
                    CsvText::appendSeconds(out, micros);
                    out.append(',');
                }
                CsvText::appendNumber(out, cell.timeMs);
                out.append(',');
                CsvText::appendText(out, m_plot->channelNames().value(cell.channel));
                out.append(',');
                CsvText::appendNumber(out, cell.value);
                out.append('\n');
            }
            return;
        }
        line.fill(qQNaN());
        for (const Cell &cell : cells) {
            if (cell.channel < m_columns)
                line[cell.channel] = cell.value;
        }
        if (m_timed)
            CsvText::appendSeconds(out, micros);
        for (int column = 0; column < m_columns; ++column) {
            if (m_timed || column > 0)
                out.append(',');
            CsvText::appendNumber(out, line[column]);
        }
        out.append('\n');
    });
}

qint64 PlotCsvConverter::skippedBytes() const
{
    if (!m_plot)
        return m_scope.stats().garbageBytes;
    return m_plot->stats().garbageBytes + m_plot->stats().textBytes;
}

qint64 PlotCsvConverter::frames() const
{
    return m_plot ? m_plot->stats().frames - m_plot->stats().xyFrames : m_scope.stats().frames;
}
