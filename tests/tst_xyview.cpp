#include "csvformat.h"
#include "plothistory.h"
#include "plotter.h"
#include "plotview.h"
#include "settingsgroup.h"
#include "xypage.h"
#include "xytrail.h"
#include "xyview.h"

#include <QComboBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

#include <cmath>

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

// The XY view: its trail, its scale, and the page in the plotter with
// Teleplot's series, pause and the remembered choice.
class TestXYView : public QObject
{
    Q_OBJECT

private slots:
    void trailKeepsTheNewest();
    void channelsPairFromTheNewest();
    void circleStaysRound();
    void seriesShowAndPause();
    void choiceIsRememberedByName();
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
    // The CSV names its columns, quoted where a name needs it.
    XYTrail two(XYTrail::kMinPoints);
    two.append(1.5f, -2);
    two.append(NAN, 3);
    QCOMPARE(xyPointsCsv(two, QStringLiteral("pos,x"), QStringLiteral("y")),
             QByteArray("\"pos,x\",y\n1.5,-2\nnan,3\n"));
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

// Two channels drawing a circle, in a view twice as wide as it is tall: each
// point lands as far from the centre as the others, within a pixel.
void TestXYView::circleStaysRound()
{
    PlotView channels;
    channels.setChannelCount(2);
    const int count = 360;
    for (int n = 0; n < count; ++n) {
        const double angle = 2 * M_PI * n / count;
        channels.addSample(0, float(1 + 3 * std::cos(angle)), n);
        channels.addSample(1, float(-2 + 3 * std::sin(angle)), n);
    }
    XYView view(&channels);
    view.resize(640, 300);
    view.showChannels(0, 1);
    view.refresh();
    QCOMPARE(view.shownPoints().size(), count);
    const auto radii = [&view] {
        const QPointF centre = view.scale().toPixel(1, -2);
        double low = INFINITY, high = 0;
        for (qsizetype i = 0; i < view.shownPoints().size(); ++i) {
            const QPointF p
                    = view.scale().toPixel(view.shownPoints().x(i), view.shownPoints().y(i));
            const double r = std::hypot(p.x() - centre.x(), p.y() - centre.y());
            low = qMin(low, r);
            high = qMax(high, r);
        }
        return std::pair(low, high);
    };
    const auto [low, high] = radii();
    QVERIFY2(high - low <= 1 && low > 100,
             qPrintable(QStringLiteral("%1 .. %2").arg(low).arg(high)));
    // Each axis filling the view makes it an ellipse.
    view.setEqualScale(false);
    const auto [wideLow, wideHigh] = radii();
    QVERIFY(wideHigh - wideLow > 100);
}

// Teleplot's series is X and Y at once; pause holds the points shown.
void TestXYView::seriesShowAndPause()
{
    Plotter plotter(nullptr);
    plotter.resize(900, 500);
    plotter.setFramingChoice(PlotFraming::Teleplot);
    plotter.setView(Plotter::View::XY);
    QByteArray stream = ">speed:1\n";
    for (int n = 0; n < 50; ++n)
        stream += ">path:" + QByteArray::number(n) + ":" + QByteArray::number(-n) + "|xy\n";
    plotter.handleData(stream);
    XYPage *page = plotter.xyPage();
    auto *xBox = page->findChild<QComboBox *>(QStringLiteral("comboBox_x"));
    auto *yBox = page->findChild<QComboBox *>(QStringLiteral("comboBox_y"));
    QTRY_COMPARE(page->view()->shownPoints().size(), 50);
    QCOMPARE(xBox->currentText(), QStringLiteral("path (XY)"));
    QCOMPARE(yBox->currentText(), QStringLiteral("path (XY)"));
    QVERIFY(!yBox->isEnabled());
    QCOMPARE(page->view()->shownPoints().y(49), -49.0f);

    plotter.findChild<QPushButton *>(QStringLiteral("pushButton_plotPause"))->click();
    QVERIFY(page->view()->paused());
    QByteArray more = ">path:7:7|xy\n";
    plotter.handleData(more);
    QTest::qWait(150);
    QCOMPARE(page->view()->shownPoints().size(), 50);
    // The view's own menu resumes it, and the button follows.
    page->view()->actions().at(0)->trigger();
    QVERIFY(!plotter.findChild<QPushButton *>(QStringLiteral("pushButton_plotPause"))->isChecked());
    QTRY_COMPARE(page->view()->shownPoints().size(), 51);
}

// X and Y are remembered by name and chosen when those names arrive, after
// the settings were read.
void TestXYView::choiceIsRememberedByName()
{
    SettingsGroup group;
    {
        Plotter plotter(nullptr);
        plotter.setFramingChoice(PlotFraming::Teleplot);
        plotter.setView(Plotter::View::XY);
        QByteArray stream = ">a:1\n>b:2\n>c:3\n";
        plotter.handleData(stream);
        auto *xBox = plotter.xyPage()->findChild<QComboBox *>(QStringLiteral("comboBox_x"));
        auto *yBox = plotter.xyPage()->findChild<QComboBox *>(QStringLiteral("comboBox_y"));
        QTRY_COMPARE(xBox->count(), 3);
        yBox->setCurrentIndex(0);
        emit yBox->activated(0);
        xBox->setCurrentIndex(2);
        emit xBox->activated(2);
        plotter.xyPage()->findChild<QSpinBox *>()->setValue(500);
        plotter.saveSettings(group);
    }
    QCOMPARE(group.values().value(QStringLiteral("xy/x")).toString(), QStringLiteral("c"));
    QCOMPARE(group.values().value(QStringLiteral("xy/points")).toInt(), 500);

    Plotter plotter(nullptr);
    plotter.restoreSettings(group);
    plotter.setFramingChoice(PlotFraming::Teleplot);
    QCOMPARE(plotter.currentView(), Plotter::View::XY);
    QByteArray stream = ">c:1\n>b:2\n>a:3\n";
    plotter.handleData(stream);
    QTRY_COMPARE(plotter.xyPage()->view()->xChannel(), 0);
    QCOMPARE(plotter.xyPage()->view()->yChannel(), 2);
    QCOMPARE(plotter.xyPage()->view()->pointCount(), 500);
}

QTEST_MAIN(TestXYView)
#include "tst_xyview.moc"
