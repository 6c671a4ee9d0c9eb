#include "framehealthlabel.h"

#include "statusbarpanel.h"
#include "streamrouter.h"
#include "streamsink.h"

#include <QTabWidget>

#include <algorithm>

FrameHealthLabel::FrameHealthLabel(QTabWidget *tabs, const StreamRouter *router, QWidget *parent)
    : QLabel(parent)
    , m_tabs(tabs)
    , m_router(router)
{
    setObjectName(QStringLiteral("frameHealthLabel"));
    fitWidestFigures();

    m_clock.start();
    m_refreshTimer.setInterval(StatusBarPanel::kRefreshMs);
    connect(&m_refreshTimer, &QTimer::timeout, this, &FrameHealthLabel::refresh);
    connect(m_tabs, &QTabWidget::currentChanged, this, &FrameHealthLabel::refresh);
    m_refreshTimer.start();
    reset();
}

void FrameHealthLabel::fitWidestFigures()
{
    const QStringList texts = FrameHealth::widestTexts();
    const auto widest = [&texts](const QFontMetrics &metrics) {
        int width = 0;
        for (const QString &text : texts)
            width = std::max(width, metrics.horizontalAdvance(text));
        return width;
    };
    // A font wider than the program's own is made smaller until they fit,
    // down to a size still readable.
    const int room = kMaxWidth - 2 * margin() - kPadding;
    QFont smaller = font();
    while (widest(QFontMetrics(smaller)) > room) {
        if (smaller.pixelSize() > 0) {
            if (smaller.pixelSize() <= 9)
                break;
            smaller.setPixelSize(smaller.pixelSize() - 1);
        } else {
            if (smaller.pointSizeF() <= 7)
                break;
            smaller.setPointSizeF(smaller.pointSizeF() - 0.5);
        }
    }
    if (smaller != font())
        setFont(smaller);
    // Growing figures must not push the bar's other parts about.
    setFixedWidth(std::min(widest(fontMetrics()) + 2 * margin() + kPadding, int(kMaxWidth)));
}

void FrameHealthLabel::reset()
{
    // Every page counts again from now.
    m_health.clear();
    refresh();
}

void FrameHealthLabel::refresh()
{
    const qint64 now = m_clock.elapsed();
    for (int i = 0; i < m_tabs->count(); ++i) {
        const QWidget *page = m_tabs->widget(i);
        const std::optional<FrameTotals> totals = readTotals(page);
        if (!totals)
            continue;
        const auto found = m_health.find(page);
        if (found != m_health.end()) {
            found->update(totals->counts, now);
        } else {
            // Counted from when the page is first seen, or since a reset.
            FrameHealth health(totals->kind);
            health.reset(totals->counts, now);
            m_health.insert(page, health);
        }
    }

    const auto current = m_health.constFind(m_tabs->currentWidget());
    const bool shown = current != m_health.constEnd();
    if (shown) {
        // Unchanged texts cost nothing: the label ignores them.
        setText(current->text());
        setToolTip(current->toolTip());
    }
    // Shown before the status bar takes it, it would become a window.
    if (parentWidget() || !shown)
        setVisible(shown);
}

std::optional<FrameTotals> FrameHealthLabel::readTotals(const QWidget *page) const
{
    const auto *sink = dynamic_cast<const StreamSink *>(page);
    std::optional<FrameTotals> totals = sink ? sink->frameTotals() : std::nullopt;
    // Only a tab that waits for end bytes lets the buffer reach its bound.
    if (totals && totals->kind != FrameHealth::Kind::Scope)
        totals->counts.overflowBytes = m_router->droppedBytes();
    return totals;
}
