#include "picview.h"

#include <QMouseEvent>
#include <QPainter>
#include <QtMath>

#include <cstring>

namespace {

// Grey level of a picture that has not received any data yet.
constexpr int kBlankGrey = 60;

} // namespace

PicView::PicView(QWidget *parent)
    : QWidget(parent)
    , m_image(nullptr)
    , m_autoZoom(false)
{
    setMouseTracking(true);
    setCursor(Qt::CrossCursor);
}

PicView::~PicView()
{
    delete m_image;
}

bool PicView::setPictureSize(int width, int height)
{
    if (width < 1 || height < 1)
        return false;
    auto *image = new QImage(width, height, QImage::Format_Indexed8);
    if (image->isNull()) {
        delete image;
        return false;
    }
    image->setColorCount(256);
    for (int i = 0; i < 256; ++i)
        image->setColor(i, qRgb(i, i, i));
    image->fill(kBlankGrey);

    delete m_image;
    m_image = image;
    m_shown = QImage(width, height, QImage::Format_RGB32);
    updateShown();
    // The picture covers the whole view, stretched or at the view's fixed
    // size, so nothing behind it needs painting first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    updateSizeLimits();
    repaint();
    return true;
}

bool PicView::setData(const QByteArray &data)
{
    if (!m_image || data.size() != qsizetype(m_image->width()) * m_image->height())
        return false;
    // Scan lines are padded to 4 bytes, so the rows are copied one by one.
    const int width = m_image->width();
    for (int y = 0; y < m_image->height(); ++y)
        std::memcpy(m_image->scanLine(y), data.constData() + qsizetype(y) * width, size_t(width));
    updateShown();
    repaint();
    return true;
}

void PicView::setAutoZoom(bool on)
{
    m_autoZoom = on;
    updateSizeLimits();
    repaint();
}

QImage *PicView::image() const
{
    return m_image;
}

void PicView::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_image)
        return;
    const QPointF pos = event->position();
    int x;
    int y;
    if (m_autoZoom) {
        // Truncation toward zero: a drag just left of or above the widget
        // still reports the first column or row.
        x = int(pos.x() / (double(width()) / m_image->width()));
        y = int(pos.y() / (double(height()) / m_image->height()));
    } else {
        x = qFloor(pos.x());
        y = qFloor(pos.y());
    }
    if (x >= 0 && x < m_image->width() && y >= 0 && y < m_image->height())
        emit cursorValue(x, y, m_image->pixelIndex(x, y));
}

void PicView::paintEvent(QPaintEvent *)
{
    if (!m_image)
        return;
    QPainter painter(this);
    if (m_autoZoom)
        painter.drawImage(rect(), m_shown, m_shown.rect());
    else
        painter.drawImage(0, 0, m_shown);
}

void PicView::updateShown()
{
    const int width = m_image->width();
    for (int y = 0; y < m_image->height(); ++y) {
        const uchar *grey = m_image->constScanLine(y);
        auto *pixel = reinterpret_cast<QRgb *>(m_shown.scanLine(y));
        for (int x = 0; x < width; ++x)
            pixel[x] = qRgb(grey[x], grey[x], grey[x]);
    }
}

void PicView::updateSizeLimits()
{
    if (m_autoZoom) {
        setMinimumSize(320, 240);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    } else if (m_image) {
        setFixedSize(m_image->size());
    } else {
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    }
}
