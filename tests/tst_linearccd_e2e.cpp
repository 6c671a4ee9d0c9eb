#include "greyview.h"
#include "linearccd.h"
#include "mainwindow.h"
#include "testsupport.h"
#include "waveview.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSerialPort>
#include <QTabWidget>
#include <QTest>

#include <algorithm>

namespace {

constexpr int kLines = 300;

// Line number n, recognisable from its first two bytes; no byte is 0xFF.
QByteArray numberedLine(int n)
{
    QByteArray line(128, '\0');
    line[0] = char(n % 250);
    line[1] = char(n / 250);
    for (int i = 2; i < 128; ++i)
        line[i] = char((n * 11 + i * 3) % 255);
    return line;
}

// Records the line a view shows at each of its paints.
class ShownLines : public QObject
{
public:
    explicit ShownLines(GreyView *view)
        : m_view(view)
    {
        view->installEventFilter(this);
    }
    QList<QByteArray> lines;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && (lines.isEmpty() || lines.last() != m_view->data()))
            lines.append(m_view->data());
        return false;
    }

private:
    GreyView *m_view;
};

} // namespace

class TestLinearCCDE2E : public QObject
{
    Q_OBJECT

private slots:
    void linesArriveOverSerialPort();
};

void TestLinearCCDE2E::linesArriveOverSerialPort()
{
    SKIP_WITHOUT_SOCAT();
    VirtualSerialPair pair;
    QVERIFY2(pair.start(), "socat did not make a port pair");
    DialogDriver driver;

    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto *tabs = window.findChild<QTabWidget *>(QStringLiteral("tabWidget"));
    auto *tab = qobject_cast<LinearCCD *>(tabs->widget(2));
    QVERIFY(tab);
    tabs->setCurrentIndex(2);
    auto *grey = tab->findChild<QGroupBox *>(QStringLiteral("groupBox_3"))->findChild<GreyView *>();
    auto *wave = tab->findChild<QGroupBox *>(QStringLiteral("groupBox_2"))->findChild<WaveView *>();
    ShownLines shown(grey);

    window.findChild<QComboBox *>(QStringLiteral("comList"))->setEditText(pair.first());
    auto *openPort = window.findChild<QPushButton *>(QStringLiteral("openPort"));
    openPort->click();
    QVERIFY(driver.boxes.isEmpty());

    QSerialPort board(pair.second());
    QVERIFY(board.open(QIODevice::WriteOnly));

    // A stream of lines cut into writes of random sizes, so that reads end
    // anywhere in a frame and sometimes hold several frames.
    QByteArray stream;
    for (int n = 0; n < kLines; ++n)
        stream += numberedLine(n) + char(0xFF);
    QRandomGenerator random(7);
    for (qsizetype sent = 0; sent < stream.size();) {
        const qsizetype chunk = qMin<qsizetype>(random.bounded(1, 700), stream.size() - sent);
        board.write(stream.mid(sent, chunk));
        QVERIFY(board.waitForBytesWritten(5000));
        sent += chunk;
        QTest::qWait(random.bounded(3));
    }
    QTRY_COMPARE_WITH_TIMEOUT(grey->data(), numberedLine(kLines - 1), 10000);
    QTRY_COMPARE_WITH_TIMEOUT(window.recvBuffer(), QByteArray(), 10000);

    int last = -1;
    for (const QByteArray &line : std::as_const(shown.lines)) {
        if (line == QByteArray(128, '\0'))
            continue; // the line shown before the first frame
        const int n = quint8(line.at(0)) + 250 * quint8(line.at(1));
        QVERIFY(n > last);
        QCOMPARE(line, numberedLine(n));
        last = n;
    }
    QCOMPARE(last, kLines - 1);
    QCOMPARE(wave->data(), numberedLine(kLines - 1));
    const QByteArray lastLine = numberedLine(kLines - 1);
    const int max = quint8(*std::max_element(lastLine.begin(), lastLine.end(),
                                             [](char a, char b) { return quint8(a) < quint8(b); }));
    QCOMPARE(tab->findChild<QLabel *>(QStringLiteral("maxText"))->text(), QString::number(max));

    openPort->click();
    QVERIFY(driver.boxes.isEmpty());
}

QTEST_MAIN(TestLinearCCDE2E)
#include "tst_linearccd_e2e.moc"
