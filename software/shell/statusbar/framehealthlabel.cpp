#include "framehealthlabel.h"

#include "ccd.h"
#include "linearccd.h"
#include "oscilloscope.h"
#include "statusbarpanel.h"
#include "streamrouter.h"

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
        FrameHealth::Kind kind;
        FrameCounts totals;
        if (!readTotals(page, kind, totals))
            continue;
        const auto found = m_health.find(page);
        if (found != m_health.end()) {
            found->update(totals, now);
        } else {
            // Counted from when the page is first seen, or since a reset.
            FrameHealth health(kind);
            health.reset(totals, now);
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

bool FrameHealthLabel::readTotals(const QWidget *page, FrameHealth::Kind &kind,
                                  FrameCounts &totals) const
{
    if (const auto *scope = qobject_cast<const Oscilloscope *>(page)) {
        const ScopeFrameStats &stats = scope->frameStats();
        kind = FrameHealth::Kind::Scope;
        totals.frames = stats.frames;
        totals.garbageBytes = stats.garbageBytes;
        totals.resyncs = stats.resyncs;
        return true;
    }
    const FrameStats *stats = nullptr;
    if (const auto *line = qobject_cast<const LinearCCD *>(page)) {
        kind = FrameHealth::Kind::Line;
        stats = &line->frameStats();
    } else if (const auto *camera = qobject_cast<const CCD *>(page)) {
        kind = FrameHealth::Kind::Picture;
        stats = &camera->frameStats();
    } else {
        return false;
    }
    totals.frames = stats->taken;
    totals.skipped = stats->skipped;
    totals.misplaced = stats->misplaced;
    totals.overflowBytes = m_router->droppedBytes();
    return true;
}
