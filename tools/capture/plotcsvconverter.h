#ifndef PLOTCSVCONVERTER_H
#define PLOTCSVCONVERTER_H

#include "plotdecoder.h"
#include "scopeframedecoder.h"

#include <QByteArray>
#include <QList>
#include <QStringList>

#include <memory>
#include <optional>

// Turns the frames a stream holds into CSV, through the decoders the window
// uses. Two passes over the file: the first learns the channels, so that the
// header names every channel the stream ever had; the second writes.
//
// The wide layout (FireWater, JustFloat, Plain, the oscilloscope's frames) has
// one line per frame: the arrival time when the file is a capture, then one
// column per channel. A frame with fewer channels than the header leaves the
// others empty. The long layout (Teleplot, whose values come one name at a
// time) has one line per value: the arrival time, the board's time stamp in
// milliseconds (empty without one), the name and the value. Teleplot's XY
// points have no place in it and are left out; they are counted.
class PlotCsvConverter
{
public:
    // plotFraming is a framing other than Auto, or nothing for the
    // oscilloscope's frames (raw 16-bit samples, CH1..CH4). timed: the bytes
    // come with arrival times, from a capture.
    PlotCsvConverter(std::optional<PlotFraming> plotFraming, bool timed);

    // The first pass: the bytes of one delivery.
    void learn(const QByteArray &bytes);
    // Ends the first pass and starts the second: the header line.
    QByteArray startWriting();
    // The second pass: appends to out the lines of the frames that the
    // delivery of bytes at micros completed.
    void convert(const QByteArray &bytes, quint64 micros, QByteArray &out);

    // Bytes that were no data in the pass so far: garbage and log text.
    qint64 skippedBytes() const;
    // Frames converted in the pass so far (lines of XY points are not).
    qint64 frames() const;
    // XY points left out in the pass so far.
    qint64 xyPoints() const { return m_xyPoints; }

private:
    struct Cell
    {
        int channel;
        double value;
        double timeMs;
    };

    void reset();
    // Decodes bytes and calls frame with the cells of each frame found.
    template<typename Frame>
    void decode(const QByteArray &bytes, Frame frame);
    // Takes the cells of the rows the decoder found: all as one frame, or
    // each row as a frame of its own.
    template<typename Frame>
    void decodeBuffer(bool oneFrame, Frame frame);
    bool isLong() const { return m_plotFraming == PlotFraming::Teleplot; }

    std::optional<PlotFraming> m_plotFraming;
    bool m_timed;
    std::unique_ptr<PlotDecoder> m_plot;
    ScopeFrameDecoder m_scope;
    QByteArray m_buffer;
    PlotBatch m_batch;
    QList<Cell> m_cells;
    // The columns of the wide layout.
    int m_columns = 0;
    QStringList m_names;
    qint64 m_xyPoints = 0;
};

#endif // PLOTCSVCONVERTER_H
