#ifndef PLOTCOLUMNS_H
#define PLOTCOLUMNS_H

#include <QList>
#include <QtGlobal>

// One plot channel reduced to the columns of the screen as samples arrive,
// so that painting a million samples costs one stroke per column. Each
// column covers a run of keys (sample numbers, or seconds) of the same
// width, and keeps the least, greatest, first and last finite value in it.
// Columns are numbered from key 0 on: column n covers [n * width,
// (n + 1) * width). The newest count + 1 columns are kept.
class PlotColumns
{
public:
    struct Column
    {
        float minimum;
        float maximum;
        float first;
        float last;
        // A finite value came.
        bool filled;
        // A NaN or infinity came: no stroke joins this column to the one
        // before.
        bool broken;
    };

    // Forgets every column; count columns of width keys each from now on.
    void reset(int count, double width);
    void add(double key, float value);

    int count() const { return m_count; }
    double width() const { return m_width; }
    // The column of key.
    qint64 columnOf(double key) const;
    // The newest column that got a value, or -1.
    qint64 newest() const { return m_newest; }
    // Column n, or nothing when it is not held or got no value.
    const Column *column(qint64 n) const;

private:
    QList<Column> m_columns;
    int m_count = 0;
    double m_width = 1;
    qint64 m_newest = -1;
};

#endif // PLOTCOLUMNS_H
