#include "csvformat.h"

#include "xytrail.h"

#include <algorithm>
#include <charconv>

namespace {

// Appends value to out without a temporary string per number. A double
// takes at most 24 characters in its shortest form.
template<typename T>
void appendNumber(QByteArray &out, T value)
{
    char digits[32];
    const std::to_chars_result result = std::to_chars(digits, digits + sizeof digits, value);
    out.append(digits, result.ptr - digits);
}

// Two digits, zero-padded, for the parts of a time.
void appendTwoDigits(QByteArray &out, int value)
{
    out.append(char('0' + value / 10 % 10)).append(char('0' + value % 10));
}

// A name in the header line, quoted where it needs to be.
QByteArray headerField(const QString &name)
{
    QByteArray field = name.toUtf8();
    if (field.contains(',') || field.contains('"') || field.contains('\n')) {
        field.replace("\"", "\"\"");
        field = '"' + field + '"';
    }
    return field;
}

} // namespace

QByteArray scopeSamplesCsv(const QList<double> (&stores)[4])
{
    qsizetype rows = 0;
    for (const QList<double> &store : stores)
        rows = std::max(rows, store.size());

    static const char header[] = "sample,CH1,CH2,CH3,CH4\n";
    // A row takes at most 20 characters for the index, four times a comma
    // and 24 for a number, and the line feed: 121. The numbers go straight
    // into the array, which is cut to what they took.
    constexpr qsizetype kRowLimit = 128;
    QByteArray csv(qsizetype(sizeof header - 1) + rows * kRowLimit, Qt::Uninitialized);
    char *out = std::copy(header, header + sizeof header - 1, csv.data());
    char *const end = csv.data() + csv.size();
    for (qsizetype row = 0; row < rows; ++row) {
        out = std::to_chars(out, end, qint64(row - (rows - 1))).ptr;
        for (const QList<double> &store : stores) {
            *out++ = ',';
            // A shorter store starts later: its newest sample is in the last row.
            const qsizetype index = row - (rows - store.size());
            if (index >= 0)
                out = std::to_chars(out, end, store.at(index)).ptr;
        }
        *out++ = '\n';
    }
    csv.truncate(out - csv.data());
    return csv;
}

QByteArray plotSamplesCsv(const QStringList &names, const QList<QList<float>> &values,
                          const QList<float> &seconds)
{
    qsizetype rows = seconds.size();
    for (const QList<float> &store : values)
        rows = std::max(rows, store.size());
    QByteArray csv("sample,time");
    for (const QString &name : names)
        csv.append(',').append(headerField(name));
    csv.append('\n');
    csv.reserve(csv.size() + rows * (24 + 16 * (values.size() + 1)));
    for (qsizetype row = 0; row < rows; ++row) {
        appendNumber(csv, qint64(row - (rows - 1)));
        csv.append(',');
        const qsizetype timeIndex = row - (rows - seconds.size());
        if (timeIndex >= 0)
            appendNumber(csv, seconds.at(timeIndex));
        for (const QList<float> &store : values) {
            csv.append(',');
            const qsizetype index = row - (rows - store.size());
            if (index >= 0)
                appendNumber(csv, store.at(index));
        }
        csv.append('\n');
    }
    return csv;
}

QByteArray linePixelsCsv(const QByteArray &line)
{
    QByteArray csv("pixel,value\n");
    for (qsizetype i = 0; i < line.size(); ++i) {
        appendNumber(csv, i);
        csv.append(',');
        appendNumber(csv, int(quint8(line.at(i))));
        csv.append('\n');
    }
    return csv;
}

QByteArray lineRecordHeader(int count)
{
    QByteArray csv("time");
    for (int i = 0; i < count; ++i) {
        csv.append(',');
        appendNumber(csv, i);
    }
    return csv.append('\n');
}

QByteArray lineRecordRow(const QDateTime &time, const QByteArray &line)
{
    const QDate date = time.date();
    const QTime clock = time.time();
    QByteArray csv;
    csv.reserve(24 + 4 * line.size());
    appendNumber(csv, date.year());
    csv.append('-');
    appendTwoDigits(csv, date.month());
    csv.append('-');
    appendTwoDigits(csv, date.day());
    csv.append(' ');
    appendTwoDigits(csv, clock.hour());
    csv.append(':');
    appendTwoDigits(csv, clock.minute());
    csv.append(':');
    appendTwoDigits(csv, clock.second());
    csv.append('.');
    csv.append(char('0' + clock.msec() / 100));
    appendTwoDigits(csv, clock.msec() % 100);
    for (const char pixel : line) {
        csv.append(',');
        appendNumber(csv, int(quint8(pixel)));
    }
    return csv.append('\n');
}

QByteArray spectrumCsv(const QStringList &names, const QList<double> &binHz,
                       const QList<QList<float>> &decibels)
{
    const bool shared = std::all_of(binHz.begin(), binHz.end(),
                                    [&binHz](double step) { return step == binHz.first(); });
    qsizetype rows = 0;
    for (const QList<float> &curve : decibels)
        rows = std::max(rows, curve.size());
    QByteArray csv;
    if (shared)
        csv.append("frequency");
    for (qsizetype c = 0; c < names.size(); ++c) {
        if (!shared)
            csv.append(c > 0 ? "," : "").append(headerField(names[c] + QStringLiteral(" Hz")));
        csv.append(',').append(headerField(names[c]));
    }
    csv.append('\n');
    csv.reserve(csv.size() + rows * 26 * (decibels.size() + 1));
    for (qsizetype row = 0; row < rows; ++row) {
        if (shared && !binHz.isEmpty())
            appendNumber(csv, row * binHz.first());
        for (qsizetype c = 0; c < decibels.size(); ++c) {
            if (c > 0 || shared)
                csv.append(',');
            if (!shared) {
                if (row < decibels[c].size())
                    appendNumber(csv, row * binHz[c]);
                csv.append(',');
            }
            if (row < decibels[c].size())
                appendNumber(csv, decibels[c][row]);
        }
        csv.append('\n');
    }
    return csv;
}

QByteArray xyPointsCsv(const XYTrail &points, const QString &xName, const QString &yName)
{
    QByteArray csv = headerField(xName) + ',' + headerField(yName) + '\n';
    csv.reserve(csv.size() + points.size() * 32);
    for (qsizetype i = 0; i < points.size(); ++i) {
        appendNumber(csv, points.x(i));
        csv.append(',');
        appendNumber(csv, points.y(i));
        csv.append('\n');
    }
    return csv;
}
