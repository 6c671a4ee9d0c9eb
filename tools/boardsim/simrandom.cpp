#include "simrandom.h"

quint64 SimRandom::next()
{
    m_state += 0x9E3779B97F4A7C15ULL;
    quint64 z = m_state;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

double SimRandom::unit()
{
    // The top 53 bits fill a double's mantissa exactly.
    return double(next() >> 11) * (1.0 / 9007199254740992.0);
}

double SimRandom::symmetric()
{
    return 2.0 * unit() - 1.0;
}

int SimRandom::between(int low, int high)
{
    const quint64 span = quint64(qint64(high) - qint64(low)) + 1;
    return int(qint64(low) + qint64(next() % span));
}
