#ifndef FRAMEHEALTHLABEL_H
#define FRAMEHEALTHLABEL_H

#include "framehealth.h"
#include "streamsink.h"

#include <QElapsedTimer>
#include <QHash>
#include <QLabel>
#include <QTimer>

#include <optional>

class QTabWidget;
class StreamRouter;

// The status bar's part that tells how the current tab's frames fare: frames
// decoded, garbage and resynchronisations on the oscilloscope; lines or
// pictures shown, skipped and misplaced, and bytes lost at the receive
// buffer's bound, on the linear CCD and camera tabs; and their rate. It reads
// the counts the tabs' decoders keep and never looks at the bytes itself.
// The terminal shows nothing here: its figure, the bytes, is the bar's 接收
// counter.
class FrameHealthLabel : public QLabel
{
    Q_OBJECT

public:
    // Wide enough for the widest figures, and never wider than this.
    static constexpr int kMaxWidth = 330;

    FrameHealthLabel(QTabWidget *tabs, const StreamRouter *router, QWidget *parent = nullptr);

public slots:
    // Counts from zero again, on every tab.
    void reset();

private:
    // Room between the text and the next part of the bar.
    static constexpr int kPadding = 4;

    // Sizes the label for the widest figures of every tab.
    void fitWidestFigures();
    void refresh();
    // The running totals of page; nothing for a page that reads no frames.
    std::optional<FrameTotals> readTotals(const QWidget *page) const;

    QTabWidget *m_tabs;
    const StreamRouter *m_router;
    // Per page, so that each tab's rate goes on while another is shown.
    QHash<const QWidget *, FrameHealth> m_health;
    QElapsedTimer m_clock;
    QTimer m_refreshTimer;
};

#endif // FRAMEHEALTHLABEL_H
