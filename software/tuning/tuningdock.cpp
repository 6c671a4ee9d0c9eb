#include "tuningdock.h"

#include "paramset.h"
#include "paramseteditor.h"
#include "tuningpanel.h"

#include <QMainWindow>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QToolButton>

namespace {

const QString kShown = QStringLiteral("shown");
const QString kFloating = QStringLiteral("floating");
const QString kSet = QStringLiteral("set");

} // namespace

TuningDock::TuningDock(ByteLink &link, QMainWindow *window)
    : QDockWidget(tr("调参"), window)
    , m_window(window)
    , m_panel(new TuningPanel(link, this))
    , m_button(new QToolButton)
{
    setObjectName(QStringLiteral("tuningDock"));
    setWidget(m_panel);
    setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
    window->addDockWidget(Qt::RightDockWidgetArea, this);
    setFloating(true);
    hide();

    QAction *toggle = toggleViewAction();
    toggle->setToolTip(tr("显示或隐藏调参面板：滑块、开关、按钮和快捷指令"));
    m_button->setDefaultAction(toggle);
    m_button->setObjectName(QStringLiteral("tuningButton"));
    m_button->setAutoRaise(true);
    m_button->setFocusPolicy(Qt::NoFocus);

    connect(m_panel, &TuningPanel::editRequested, this, &TuningDock::edit);
    connect(m_panel, &TuningPanel::setChanged, this, [this] { m_setForThisRun = false; });
    connect(this, &QDockWidget::visibilityChanged, this, [this](bool visible) {
        if (!visible)
            return;
        // Once the window shows and has its place.
        if (isFloating())
            QTimer::singleShot(0, this, &TuningDock::placeBesideWindow);
        else
            makeRoom();
    });
    connect(this, &QDockWidget::topLevelChanged, this, [this](bool floating) {
        if (!floating)
            makeRoom();
    });
}

TuningDock::~TuningDock()
{
    if (m_button && !m_button->parent())
        delete m_button;
}

void TuningDock::setParamSetForThisRun(const ParamSet &set)
{
    m_panel->setParamSet(set);
    m_setForThisRun = true;
}

void TuningDock::edit()
{
    // Over the window: the floating panel may sit at the screen's edge.
    ParamSetEditor editor(m_panel->paramSet(), m_window);
    if (editor.exec() != QDialog::Accepted)
        return;
    m_panel->setParamSet(editor.paramSet());
    m_setForThisRun = false;
}

void TuningDock::placeBesideWindow()
{
    if (m_placed)
        return;
    m_placed = true;
    // Right of the window where the screen has room, else over its right edge.
    const QRect frame = m_window->frameGeometry();
    QRect screen = frame;
    if (const QScreen *current = m_window->screen())
        screen = current->availableGeometry();
    const QSize size = sizeHint().expandedTo(QSize(300, frame.height())).boundedTo(screen.size());
    const int x = qMin(frame.right() + 1, screen.right() + 1 - size.width());
    resize(size);
    move(qMax(screen.left(), x), frame.top());
}

void TuningDock::makeRoom()
{
    if (isFloating() || !isVisible())
        return;
    // The tabs keep the width they have at the window's smallest.
    const int width = qMax(sizeHint().width(), 300);
    const int needed = m_window->minimumWidth() + width
            + style()->pixelMetric(QStyle::PM_DockWidgetSeparatorExtent, nullptr, this);
    if (m_window->width() >= needed)
        return;
    if (m_window->isMaximized() || m_window->isFullScreen()) {
        setFloating(true);
        return;
    }
    m_window->resize(needed, m_window->height());
    m_window->resizeDocks({ this }, { width }, Qt::Horizontal);
}

QString TuningDock::settingsGroup() const
{
    return QStringLiteral("tuning");
}

void TuningDock::saveSettings(SettingsGroup &group) const
{
    group.write(kShown, !isHidden());
    group.write(kFloating, isFloating());
    if (!m_setForThisRun)
        group.write(kSet, QString::fromUtf8(m_panel->paramSet().toJson(QJsonDocument::Compact)));
}

void TuningDock::restoreSettings(const SettingsGroup &group)
{
    if (const auto text = group.readText(kSet, int(ParamSet::kMaxFileSize))) {
        if (const auto set = ParamSet::fromJson(text->toUtf8(), nullptr))
            m_panel->setParamSet(*set);
    }
    if (const auto floating = group.readBool(kFloating))
        setFloating(*floating);
    if (const auto shown = group.readBool(kShown))
        setVisible(*shown);
}
