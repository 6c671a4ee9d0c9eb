#include "replaycontrols.h"

#include "capturefile.h"
#include "exportdialogs.h"
#include "statusbarpanel.h"

#include <QActionGroup>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMenu>
#include <QMessageBox>
#include <QProgressBar>
#include <QStatusBar>
#include <QToolButton>

ReplayControls::ReplayControls(CapturePlayer *player, SerialConnection *connection, QWidget *parent)
    : QWidget(parent)
    , m_player(player)
    , m_connection(connection)
    , m_replay(new QToolButton)
    , m_progress(new QProgressBar)
    , m_speed(new QToolButton)
    , m_speeds(new QActionGroup(this))
    , m_pause(new QToolButton)
{
    m_replay->setObjectName(QStringLiteral("replayButton"));
    m_replay->setText(tr("回放"));
    m_replay->setToolTip(tr("打开录制文件或任意数据文件，像串口收到的一样回放"));
    m_progress->setObjectName(QStringLiteral("replayProgress"));
    m_progress->setRange(0, 1000);
    // Room for "12:34/56:78"; from an hour on the bar shows the time played
    // alone, and its tooltip both times.
    m_progress->setFixedWidth(fontMetrics().horizontalAdvance(QStringLiteral("00:00/00:00")) + 16);
    m_progress->setMaximumHeight(fontMetrics().height() + 4);
    m_progress->setAlignment(Qt::AlignCenter);
    m_speed->setObjectName(QStringLiteral("replaySpeed"));
    m_speed->setToolTip(tr("回放速度：录制时的速度的倍数"));
    m_speed->setPopupMode(QToolButton::InstantPopup);
    m_speed->setAutoRaise(true);
    auto *menu = new QMenu(m_speed);
    for (double speed : kSpeeds) {
        QAction *action
                = menu->addAction(speed > 0 ? QStringLiteral("×%1").arg(speed) : tr("最快"));
        action->setData(speed);
        action->setCheckable(true);
        m_speeds->addAction(action);
    }
    m_speed->setMenu(menu);
    m_pause->setObjectName(QStringLiteral("replayPause"));
    m_pause->setText(tr("暂停"));
    for (QWidget *w : { static_cast<QWidget *>(m_replay), static_cast<QWidget *>(m_speed),
                        static_cast<QWidget *>(m_pause) })
        w->setFocusPolicy(Qt::NoFocus);
    m_replay->setAutoRaise(true);
    m_pause->setAutoRaise(true);

    StatusBarPanel::layOutSection(this, { m_replay, m_progress, m_speed, m_pause });

    m_refreshTimer.setInterval(kRefreshMs);
    connect(&m_refreshTimer, &QTimer::timeout, this, &ReplayControls::refresh);
    connect(m_replay, &QToolButton::clicked, this, &ReplayControls::onReplayClicked);
    connect(m_pause, &QToolButton::clicked, this, [this] {
        if (m_player->state() == CapturePlayer::State::Paused)
            m_player->resume();
        else
            m_player->pause();
    });
    connect(m_speeds, &QActionGroup::triggered, this, &ReplayControls::chooseSpeed);
    connect(m_player, &CapturePlayer::stateChanged, this, &ReplayControls::onPlayerStateChanged);
    connect(m_player, &CapturePlayer::finished, this, &ReplayControls::onFinished);
    connect(m_connection, &SerialConnection::stateChanged, this,
            &ReplayControls::updateAvailability);
    chooseSpeed(m_speeds->actions().at(2));
    onPlayerStateChanged(m_player->state());
}

void ReplayControls::chooseAndPlay()
{
    const QString fileName = QFileDialog::getOpenFileName(window(), tr("回放"), QString(),
                                                          tr("录制文件 (*.cap);;所有文件 (*)"));
    if (fileName.isEmpty())
        return;
    qint64 rawRate = 0;
    switch (CapturePlayer::fileKind(fileName)) {
    case CaptureReader::Kind::Capture:
        break;
    case CaptureReader::Kind::UnsupportedVersion:
        QMessageBox::critical(
                window(), tr("错误"),
                tr("%1是更新版本的录制文件，本程序无法回放。").arg(QFileInfo(fileName).fileName()),
                QMessageBox::Ok);
        return;
    case CaptureReader::Kind::Raw: {
        bool ok = false;
        const int rate = QInputDialog::getInt(
                window(), tr("回放"), tr("该文件没有时间信息，按原始数据回放。\n每秒回放字节数："),
                m_rawRate, 1, 100000000, 100, &ok);
        if (!ok)
            return;
        m_rawRate = rate;
        rawRate = rate;
        break;
    }
    }
    // The port may have been opened while the dialogs were up.
    if (m_connection->state() == SerialConnection::State::Open
        || m_connection->state() == SerialConnection::State::Waiting
        || m_connection->state() == SerialConnection::State::Connecting)
        return;
    if (!m_player->start(fileName, rawRate))
        showSaveError(window(), fileName, SaveResult::OpenFailed);
}

void ReplayControls::onReplayClicked()
{
    if (m_player->isActive())
        m_player->stop();
    else
        chooseAndPlay();
    m_replay->setChecked(m_player->isActive());
}

void ReplayControls::chooseSpeed(QAction *action)
{
    action->setChecked(true);
    m_speed->setText(action->text());
    m_player->setSpeed(action->data().toDouble());
}

void ReplayControls::onPlayerStateChanged(CapturePlayer::State state)
{
    const bool active = state != CapturePlayer::State::Idle;
    m_replay->setCheckable(active);
    m_replay->setChecked(active);
    m_replay->setText(active ? tr("停止") : tr("回放"));
    m_replay->setToolTip(active ? tr("停止回放%1").arg(m_player->fileName())
                                : tr("打开录制文件或任意数据文件，像串口收到的一样回放"));
    m_pause->setText(state == CapturePlayer::State::Paused ? tr("继续") : tr("暂停"));
    m_progress->setVisible(active);
    m_speed->setVisible(active);
    m_pause->setVisible(active);
    if (active) {
        m_refreshTimer.start();
        showMessage(tr("正在回放 %1").arg(QFileInfo(m_player->fileName()).fileName()), 0);
    } else {
        m_refreshTimer.stop();
    }
    updateAvailability();
    refresh();
}

void ReplayControls::onFinished(CapturePlayer::Outcome outcome)
{
    const QString name = QFileInfo(m_player->fileName()).fileName();
    switch (outcome) {
    case CapturePlayer::Outcome::Finished:
        showMessage(tr("回放结束"));
        break;
    case CapturePlayer::Outcome::Stopped:
        showMessage(tr("回放已停止"));
        break;
    case CapturePlayer::Outcome::Damaged:
        showMessage(tr("回放结束：文件已损坏"));
        QMessageBox::warning(window(), tr("回放"),
                             tr("录制文件%1从第 %2 字节起已损坏（不完整或内容错误），"
                                "已回放此前的数据（到 %3）。")
                                     .arg(name)
                                     .arg(m_player->damageOffset())
                                     .arg(durationText(m_player->positionMs())),
                             QMessageBox::Ok);
        break;
    case CapturePlayer::Outcome::ReadFailed:
        QMessageBox::critical(window(), tr("错误"), tr("读取文件%1失败，回放已停止。").arg(name),
                              QMessageBox::Ok);
        break;
    }
}

void ReplayControls::updateAvailability()
{
    const SerialConnection::State port = m_connection->state();
    m_replay->setEnabled(m_player->isActive()
                         || (port != SerialConnection::State::Open
                             && port != SerialConnection::State::Waiting
                             && port != SerialConnection::State::Connecting));
}

void ReplayControls::refresh()
{
    if (!m_player->isActive())
        return;
    const qint64 duration = m_player->durationMs();
    const qint64 position = m_player->positionMs();
    m_progress->setValue(duration > 0 ? int(position * 1000 / duration) : 0);
    const QString both = durationText(position) + QLatin1Char('/') + durationText(duration);
    m_progress->setFormat(duration < 3600 * 1000 ? both : durationText(position));
    m_progress->setToolTip(both);
}

void ReplayControls::showMessage(const QString &text, int timeoutMs)
{
    if (auto *bar = qobject_cast<QStatusBar *>(parentWidget()))
        bar->showMessage(text, timeoutMs);
}
