#ifndef JUSTFLOATDECODER_H
#define JUSTFLOATDECODER_H

#include "plotdecoder.h"

// JustFloat: N little-endian float32 values, then the tail 00 00 80 7F. The
// channels are CH1..CHN, N from the newest frame. A frame whose length is no
// multiple of four, or is empty, or longer than kMaxChannels values, is
// garbage; so is whatever came before a tail when the stream was lost (more
// than a whole frame without a tail), since its start is unknown.
class JustFloatDecoder : public PlotDecoder
{
public:
    PlotFraming framing() const override { return PlotFraming::JustFloat; }
    // At most kMaxFrameBytes + 3 bytes wait for a tail.
    void decode(QByteArray &buffer, PlotBatch &batch) override;

    static constexpr qsizetype kTailBytes = 4;
    static constexpr qsizetype kMaxFrameBytes = kMaxChannels * 4 + kTailBytes;

    // The tail as a float is +infinity, which therefore cannot be sent.
    static QByteArray tail() { return QByteArray("\x00\x00\x80\x7F", 4); }

private:
    bool m_lost = false;
};

#endif // JUSTFLOATDECODER_H
