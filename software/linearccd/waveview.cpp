#include "waveview.h"

#include <QMouseEvent>
#include <QPainter>

namespace {

constexpr int kWindowWidth = 540;
constexpr int kWindowHeight = 280;
constexpr int kLeft = 18;    // x of pixel 0's left edge
constexpr int kRight = 530;  // x of pixel 127's right edge
constexpr int kBottom = 265; // y of level 0
constexpr int kTop = 10;     // y of level 255
constexpr int kStep = 4;     // logical units per pixel
// The number boxes are sized for narrow digits; with a wider font the numbers
// overflow them, and clipping would turn "255" into "55".
constexpr int kRightAligned = Qt::AlignRight | Qt::TextDontClip;
constexpr int kCentred = Qt::AlignHCenter | Qt::TextDontClip;

int levelY(int level)
{
    return kBottom - level;
}

} // namespace

WaveView::WaveView(QWidget *parent)
    : QWidget(parent)
    , m_data(kPixels, '\0')
    , m_threshold(0)
{
    setMouseTracking(true);
    setCursor(Qt::CrossCursor);
    // The plot covers every pixel, so nothing behind it needs painting first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    buildCurve();
}

WaveView::~WaveView() = default;

void WaveView::setData(const QByteArray &data, int threshold)
{
    if (data.size() != kPixels)
        return;
    m_data = data;
    m_threshold = quint8(threshold);
    buildCurve();
    repaint();
}

void WaveView::buildCurve()
{
    // A flat step per pixel joined by vertical risers: two points per pixel.
    m_curve.resize(2 * kPixels);
    for (int i = 0; i < kPixels; ++i) {
        const int y = levelY(quint8(m_data.at(i)));
        m_curve[2 * i] = QPoint(kLeft + kStep * i, y);
        m_curve[2 * i + 1] = QPoint(kLeft + kStep * (i + 1), y);
    }
}

void WaveView::mouseMoveEvent(QMouseEvent *event)
{
    const int xl = int(kWindowWidth * event->position().x() / width());
    const int yl = int(kWindowHeight * event->position().y() / height());
    emit mouseMove(QPoint((xl - kLeft) / kStep, kBottom - yl));
}

void WaveView::buildGrid()
{
    const qreal ratio = devicePixelRatioF();
    m_grid = QPixmap(size() * ratio);
    m_grid.setDevicePixelRatio(ratio);
    m_gridFont = font();

    QPainter painter(&m_grid);
    painter.setFont(m_gridFont);
    painter.setWindow(0, 0, kWindowWidth, kWindowHeight);
    painter.fillRect(0, 0, kWindowWidth, kWindowHeight, QColor(0, 0, 0));

    painter.setPen(QPen(Qt::darkGreen, 0));
    for (int v = 50; v <= 200; v += 50) {
        painter.drawLine(kLeft, levelY(v), kRight, levelY(v));
        painter.drawText(QRect(1, 260 - v, 18, 11), kRightAligned, QString::number(v));
    }
    for (int n = 10; n <= 120; n += 10) {
        const int x = kLeft + kStep * n;
        painter.drawLine(x, kBottom, x, kTop);
        painter.drawText(QRect(x - 9, kBottom, 19, 11), kCentred, QString::number(n));
    }
    painter.drawLine(kLeft, kBottom, kRight, kBottom);
    painter.drawText(QRect(-4, kBottom, 20, 11), kRightAligned, QStringLiteral("0"));
    painter.drawLine(kLeft, kTop, kRight, kTop);
    painter.drawText(QRect(1, 5, 18, 11), kRightAligned, QStringLiteral("255"));
    painter.drawLine(kLeft, kBottom, kLeft, kTop);
    painter.drawLine(kRight, kBottom, kRight, kTop);
    painter.drawText(QRect(522, kBottom, 19, 11), kCentred, QStringLiteral("128"));
}

void WaveView::paintEvent(QPaintEvent *)
{
    if (m_grid.deviceIndependentSize() != QSizeF(size())
        || m_grid.devicePixelRatio() != devicePixelRatioF() || m_gridFont != font())
        buildGrid();

    QPainter painter(this);
    painter.drawPixmap(0, 0, m_grid);
    painter.setWindow(0, 0, kWindowWidth, kWindowHeight);

    painter.setPen(QPen(Qt::yellow, 0));
    painter.drawPolyline(m_curve);

    painter.setPen(QPen(Qt::cyan, 0));
    painter.drawLine(kLeft, levelY(m_threshold), kLeft + kStep * kPixels, levelY(m_threshold));
}
