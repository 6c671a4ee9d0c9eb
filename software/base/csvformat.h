#ifndef CSVFORMAT_H
#define CSVFORMAT_H

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QStringList>

class XYTrail;

// The CSV files the tabs export: comma-separated, one record per line ending
// in a line feed, numbers with a dot, a header line first. Numbers are
// written in the shortest form that reads back as the same double.

// The four oscilloscope stores, one row per sample index. Rows are aligned at
// the newest sample: the last row holds every channel's newest sample, and a
// channel that holds fewer samples than the longest one has empty fields at
// the top. The first column counts samples back from the newest (0, -1, ...),
// the others are CH1..CH4 in volts.
QByteArray scopeSamplesCsv(const QList<double> (&stores)[4]);

// The plotter's curves, one row per sample index, aligned at the newest
// sample like the oscilloscope's: "sample,time", then a column per channel
// named in the header (quoted where a name needs it). time is the seconds of
// the row's sample on the channel that holds the most samples; NaN and
// infinities are written as nan, inf and -inf.
QByteArray plotSamplesCsv(const QStringList &names, const QList<QList<float>> &values,
                          const QList<float> &seconds);

// The plotter's spectra, one row per bin: "frequency" in Hz, then each
// channel's magnitude in dB under its name, when the channels' bins are
// equally far apart; otherwise each channel has its own frequency column,
// "<name> Hz", before its own.
QByteArray spectrumCsv(const QStringList &names, const QList<double> &binHz,
                       const QList<QList<float>> &decibels);

// One CCD line: "pixel,value", then a row per pixel with its grey level.
QByteArray linePixelsCsv(const QByteArray &line);

// The header of a CCD recording: "time" and the pixel numbers 0..count - 1.
QByteArray lineRecordHeader(int count);
// One row of a CCD recording: the local time with milliseconds
// (2024-05-01 14:03:07.250), then the grey level of every pixel.
QByteArray lineRecordRow(const QDateTime &time, const QByteArray &line);

// The points of an XY view: a header naming what X and Y show, then a row
// per point, oldest first.
QByteArray xyPointsCsv(const XYTrail &points, const QString &xName, const QString &yName);

#endif // CSVFORMAT_H
