#include "greyview.h"

#include <QPainter>

namespace {

constexpr int kWindowHeight = 30;

} // namespace

GreyView::GreyView(QWidget *parent)
    : QWidget(parent)
    , m_data(kPixels, '\0')
{
    // The bars cover every pixel, so nothing behind them needs painting first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

GreyView::~GreyView() = default;

void GreyView::setData(const QByteArray &data)
{
    if (data.size() != kPixels)
        return;
    m_data = data;
    repaint();
}

void GreyView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setWindow(0, 0, kPixels, kWindowHeight);
    for (int i = 0; i < kPixels; ++i) {
        const int level = quint8(m_data.at(i));
        painter.fillRect(i, 0, 1, kWindowHeight, QColor(level, level, level));
    }
}
