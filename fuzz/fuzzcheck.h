#ifndef FUZZCHECK_H
#define FUZZCHECK_H

#include <QByteArray>

#include <cstdio>
#include <cstdlib>
#include <string>

// A broken invariant is a finding like a crash: it stops the fuzzer, which
// keeps the input that caused it.
#define FUZZ_CHECK(condition) \
    do { \
        if (!(condition)) { \
            std::fprintf(stderr, "%s:%d: invariant broken: %s\n", __FILE__, __LINE__, #condition); \
            std::abort(); \
        } \
    } while (false)

inline QByteArray toByteArray(const std::string &bytes)
{
    return QByteArray(bytes.data(), qsizetype(bytes.size()));
}

#endif // FUZZCHECK_H
