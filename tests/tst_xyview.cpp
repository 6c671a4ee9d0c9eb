#include "plothistory.h"
#include "xytrail.h"

#include <QTest>

namespace {

// The trail's points as "x,y x,y ...", oldest first.
QString pointsOf(const XYTrail &trail)
{
    QStringList points;
    for (qsizetype i = 0; i < trail.size(); ++i)
        points << QStringLiteral("%1,%2").arg(trail.x(i)).arg(trail.y(i));
    return points.join(QLatin1Char(' '));
}

} // namespace

// The XY view's trail.
class TestXYView : public QObject
{
    Q_OBJECT

private slots:
    void trailKeepsTheNewest();
    void channelsPairFromTheNewest();
};

void TestXYView::trailKeepsTheNewest()
{
    XYTrail trail(10);
    for (int n = 0; n < 25; ++n)
        trail.append(n, -n);
    QCOMPARE(trail.size(), 10);
    QCOMPARE(trail.x(0), 15.0f);
    QCOMPARE(trail.y(9), -24.0f);
    // Shrinking keeps the newest in order, growing loses nothing.
    trail.setCapacity(12);
    trail.append(25, -25);
    trail.append(26, -26);
    QCOMPARE(trail.size(), 12);
    trail.setCapacity(10);
    QCOMPARE(pointsOf(trail).section(QLatin1Char(' '), 0, 0), QStringLiteral("17,-17"));
    QCOMPARE(pointsOf(trail).section(QLatin1Char(' '), -1), QStringLiteral("26,-26"));
    QCOMPARE(XYTrail(1).capacity(), XYTrail::kMinPoints);
    QCOMPARE(XYTrail(1e9).capacity(), XYTrail::kMaxPoints);

    XYTrail shown(XYTrail::kMinPoints);
    XYTrail many(XYTrail::kMaxPoints);
    for (int n = 0; n < 30; ++n)
        many.append(n, n);
    shown.assignNewest(many);
    QCOMPARE(shown.size(), XYTrail::kMinPoints);
    QCOMPARE(shown.x(0), 20.0f);
    QCOMPARE(shown.x(9), 29.0f);
}

// The newest sample of X with the newest of Y, however many each holds.
void TestXYView::channelsPairFromTheNewest()
{
    PlotHistory x;
    PlotHistory y;
    for (int n = 0; n < 15; ++n)
        x.append(n, n);
    for (int n = 0; n < 12; ++n)
        y.append(100 + n, n);
    XYTrail trail(10);
    trail.assignPairs(x, y);
    QCOMPARE(trail.size(), 10);
    QCOMPARE(pointsOf(trail).section(QLatin1Char(' '), -2), QStringLiteral("13,110 14,111"));
    trail.setCapacity(20);
    trail.assignPairs(x, y);
    QCOMPARE(trail.size(), 12);
    QCOMPARE(pointsOf(trail).section(QLatin1Char(' '), 0, 0), QStringLiteral("3,100"));
}

QTEST_GUILESS_MAIN(TestXYView)
#include "tst_xyview.moc"
