#ifndef PLOTDECODER_H
#define PLOTDECODER_H

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <memory>
#include <optional>

// The ways a board may print the values it wants plotted. Auto is no framing
// of its own: the plotter picks one from the first bytes.
enum class PlotFraming { Auto, FireWater, JustFloat, Teleplot, Plain };

// What a plot decoder did with the bytes it was given, since it was made.
// Every byte it consumed is counted in exactly one of dataBytes, textBytes
// and garbageBytes.
struct PlotStats
{
    // Lines or binary frames that carried values, XY points included.
    qint64 frames = 0;
    // Of those, the lines of XY points.
    qint64 xyFrames = 0;
    // Values decoded, the non-finite ones included; an XY point is two.
    qint64 values = 0;
    // NaN and infinities among them: gaps in the curves.
    qint64 nonFinite = 0;
    // Bytes of lines or frames that did not parse, or that belong to none.
    qint64 garbageBytes = 0;
    // Frames decoded after garbage: places where the stream caught up.
    qint64 resyncs = 0;
    // Lines of text that carry no values for the plot (log lines, text
    // values, headers).
    qint64 textLines = 0;
    // Bytes of frames and of empty lines, and bytes of text lines.
    qint64 dataBytes = 0;
    qint64 textBytes = 0;
};

// Consecutive values of one frame: values[offset .. offset + count) belong to
// channels channel .. channel + count - 1.
struct PlotRow
{
    qsizetype offset = 0;
    int channel = 0;
    int count = 0;
    // How many channels the stream has from this row on: a frame of another
    // length changes it, a new name raises it.
    int channelCount = 0;
    // The board's own time stamp in milliseconds, or NaN for none.
    double timeMs = 0;
};

// A point of a named XY series (Teleplot's values flagged xy).
struct XYPoint
{
    int series = 0;
    double x = 0;
    double y = 0;
    // The board's own time stamp in milliseconds, or NaN for none.
    double timeMs = 0;
};

// What one call of PlotDecoder::decode found, in stream order.
struct PlotBatch
{
    QList<double> values;
    QList<PlotRow> rows;
    // The XY points, in stream order among themselves.
    QList<XYPoint> xyPoints;
    // Text that is no data, for the plot's log; the newest lines only, when
    // there are very many.
    QStringList log;

    void clear();
    void addLog(const QString &line);

    static constexpr int kMaxLogLines = 500;
};

// A decoder of one plot framing. It takes what it can from the front of the
// receive buffer and appends what it found to a batch; what may be the start
// of a frame waits in the buffer for the next call. However a stream is cut
// into deliveries, a well-formed stream decodes to the same rows.
class PlotDecoder
{
public:
    virtual ~PlotDecoder() = default;

    virtual PlotFraming framing() const = 0;
    virtual void decode(QByteArray &buffer, PlotBatch &batch) = 0;

    // The channels known now, in order: names from the stream, else CH1, CH2...
    const QStringList &channelNames() const { return m_names; }
    // The unit of each channel where the stream gave one (Teleplot), else empty.
    const QStringList &channelUnits() const { return m_units; }
    // The XY series known now, in order of their first point (Teleplot only).
    const QStringList &xySeriesNames() const { return m_xyNames; }
    const PlotStats &stats() const { return m_stats; }

    static constexpr int kMaxChannels = 64;
    static constexpr int kMaxXYSeries = 64;

    // A decimal number as boards print it: optional spaces around, an
    // optional sign, exponents, nan and inf. Nothing else may be in the text.
    static bool parseNumber(const char *begin, const char *end, double &value);
    // "CH1" for channel 0.
    static QString defaultName(int channel);

    // The decoder of framing, or nothing for Auto.
    static std::unique_ptr<PlotDecoder> create(PlotFraming framing);
    // "FireWater", "JustFloat", "Teleplot", "Plain"; "auto" for Auto.
    static QString framingName(PlotFraming framing);
    // The framing named by framingName (any case), or nothing.
    static std::optional<PlotFraming> framingFromName(const QString &name);

protected:
    // Appends a row of count values from channel on, already in values, and
    // counts them.
    void addRow(PlotBatch &batch, qsizetype offset, int channel, int count, double timeMs);
    // Appends a point of an XY series and counts its two values.
    void addXYPoint(PlotBatch &batch, const XYPoint &point);
    // A frame of bytes bytes was decoded.
    void countFrame(qint64 bytes);
    // Bytes that belong to no frame: the next frame is a resynchronisation.
    void discard(qint64 bytes);
    // Channels CH1..CHcount, for the framings whose channels have no names.
    void setUnnamedCount(int count);

    QStringList m_names;
    QStringList m_units;
    QStringList m_xyNames;
    PlotStats m_stats;
    // Garbage was thrown away since the last frame.
    bool m_outOfStep = false;
};

#endif // PLOTDECODER_H
