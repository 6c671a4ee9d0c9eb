#ifndef BYTELINK_H
#define BYTELINK_H

#include "bytesource.h"

// A two-way line to the board that the terminal sends through: the serial
// connection now, a network link as well. Whoever owns the link opens and
// closes it and tells the user when it is lost; a sender only writes, and
// hears when its bytes can no longer go out.
class ByteLink : public ByteSource
{
    Q_OBJECT

public:
    using ByteSource::ByteSource;

    virtual bool isOpen() const = 0;
    // True when the link took all of bytes to send them; false while it is
    // not open or when it refused them.
    virtual bool write(const QByteArray &bytes) = 0;

signals:
    // The link came into use and went out of use again, closed or lost:
    // each opened() is followed by exactly one closed().
    void opened();
    void closed();
    // Bytes the link took did not go out, or the line under a link that
    // stays open broke: further sends fail as well.
    void writeFailed();
};

#endif // BYTELINK_H
