#ifndef REPLAYSOURCE_H
#define REPLAYSOURCE_H

#include "unitsource.h"

// The bytes of a file, one unit per byte; ends with the file unless looping.
class ReplaySource : public UnitSource
{
public:
    ReplaySource(const QByteArray &bytes, bool loop);

    qint64 generate(QByteArray &out, qint64 n) override;

private:
    QByteArray m_bytes;
    bool m_loop;
    qsizetype m_position = 0;
};

#endif // REPLAYSOURCE_H
