#ifndef FIREWATERDECODER_H
#define FIREWATERDECODER_H

#include "textlinedecoder.h"

// FireWater: "[tag:]v1,v2,...,vN" per line. The text before the last colon
// is a tag and is not plotted; a line tagged "image" announces a picture,
// which goes to the log. The channels are CH1..CHN, N from the newest line.
class FireWaterDecoder : public TextLineDecoder
{
public:
    PlotFraming framing() const override { return PlotFraming::FireWater; }

protected:
    LineKind decodeLine(const char *begin, const char *end, PlotBatch &batch) override;
};

#endif // FIREWATERDECODER_H
