#ifndef TEXTLINEDECODER_H
#define TEXTLINEDECODER_H

#include "plotdecoder.h"

// What the text framings share: the stream is cut into lines ended by \n,
// with \r dropped at either end (\r\n and \n\r both end a line), and each
// line is decoded on its own. A line longer than kMaxLineBytes is garbage up
// to its end, so at most that many bytes wait for a line feed.
class TextLineDecoder : public PlotDecoder
{
public:
    void decode(QByteArray &buffer, PlotBatch &batch) override;

    static constexpr qsizetype kMaxLineBytes = 4096;

protected:
    enum class LineKind { Data, Text, Garbage };

    // Decodes one line without its line end, not empty. Only a data line
    // adds values and rows to batch (through addRow).
    virtual LineKind decodeLine(const char *begin, const char *end, PlotBatch &batch) = 0;

    // The line as the log shows it.
    static QString logText(const char *begin, const char *end);

private:
    void takeLine(const char *begin, const char *end, qint64 bytes, PlotBatch &batch);

    // The rest of an over-long line is on its way: it is garbage too.
    bool m_skippingLine = false;
};

#endif // TEXTLINEDECODER_H
