#ifndef SIMRANDOM_H
#define SIMRANDOM_H

#include <QtGlobal>

// Pseudo-random numbers from a 64-bit seed (splitmix64). Written out instead of
// taken from <random>, whose distributions differ between standard libraries:
// one seed has to give the same bytes on every system.
class SimRandom
{
public:
    explicit SimRandom(quint64 seed)
        : m_state(seed)
    { }

    quint64 next();
    // Uniform in [0, 1).
    double unit();
    // Uniform in [-1, 1).
    double symmetric();
    // Uniform whole number from low to high, both included.
    int between(int low, int high);

private:
    quint64 m_state;
};

#endif // SIMRANDOM_H
