#include "statusbarpanel.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSizePolicy>
#include <QStatusBar>
#include <QToolButton>

StatusBarPanel::StatusBarPanel(QStatusBar *bar, SerialConnection *connection)
    : QObject(bar)
    , m_bar(bar)
    , m_connection(connection)
    , m_state(new QLabel)
    , m_counters(new QToolButton)
    , m_rate(new QLabel)
    , m_autoReconnect(new QCheckBox(tr("自动重连")))
{
    m_state->setObjectName(QStringLiteral("portStateLabel"));
    // A long typed path must not widen the window: the label takes the room
    // left over and cuts what does not fit.
    m_state->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_state->setMinimumWidth(m_state->fontMetrics().horizontalAdvance(QStringLiteral("M")) * 8);

    m_counters->setObjectName(QStringLiteral("trafficCounters"));
    m_counters->setAutoRaise(true);
    m_counters->setToolTip(tr("打开串口以来接收和发送的字节数，单击清零"));
    m_counters->setFocusPolicy(Qt::NoFocus);
    m_rate->setObjectName(QStringLiteral("receiveRateLabel"));
    m_rate->setToolTip(tr("最近一秒的接收速率"));
    m_rate->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_rate->setMinimumWidth(m_rate->fontMetrics().horizontalAdvance(QStringLiteral("999.9 KB/s")));
    m_autoReconnect->setObjectName(QStringLiteral("autoReconnectBox"));
    m_autoReconnect->setToolTip(tr("串口断开后，设备一回来就重新打开它"));
    m_autoReconnect->setFocusPolicy(Qt::NoFocus);

    m_bar->addWidget(m_state, 1);
    m_bar->addPermanentWidget(m_counters);
    m_bar->addPermanentWidget(m_rate);
    m_bar->addPermanentWidget(m_autoReconnect);

    m_refreshTimer.setInterval(kRefreshMs);
    connect(&m_refreshTimer, &QTimer::timeout, this, &StatusBarPanel::refresh);
    connect(m_counters, &QToolButton::clicked, this, &StatusBarPanel::resetCounters);
    connect(m_autoReconnect, &QCheckBox::toggled, m_connection,
            &SerialConnection::setAutoReconnect);
    connect(m_connection, &SerialConnection::stateChanged, this, &StatusBarPanel::onStateChanged);
    connect(m_connection, &SerialConnection::reconnected, this, &StatusBarPanel::onReconnected);
    connect(m_connection, &SerialConnection::networkChanged, this,
            [this] { onStateChanged(m_connection->state()); });
    onStateChanged(m_connection->state());
}

void StatusBarPanel::addSection(QWidget *widget)
{
    // The index counts the state label too, which is not a permanent widget;
    // an index at or before it would append the section after the others.
    m_bar->insertPermanentWidget(1 + m_sections++, widget);
}

void StatusBarPanel::layOutSection(QWidget *section, std::initializer_list<QWidget *> parts)
{
    section->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    auto *layout = new QHBoxLayout(section);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    for (QWidget *part : parts)
        layout->addWidget(part);
}

bool StatusBarPanel::autoReconnect() const
{
    return m_autoReconnect->isChecked();
}

void StatusBarPanel::setAutoReconnect(bool on)
{
    m_autoReconnect->setChecked(on);
}

QString StatusBarPanel::settingsGroup() const
{
    return QStringLiteral("serial");
}

void StatusBarPanel::saveSettings(SettingsGroup &group) const
{
    group.write(QStringLiteral("autoReconnect"), autoReconnect());
}

void StatusBarPanel::restoreSettings(const SettingsGroup &group)
{
    if (const auto on = group.readBool(QStringLiteral("autoReconnect")))
        setAutoReconnect(*on);
}

QString StatusBarPanel::waitingText()
{
    return tr("串口已断开，等待重新连接…");
}

QString StatusBarPanel::reconnectedText()
{
    return tr("已重新连接");
}

void StatusBarPanel::onStateChanged(SerialConnection::State state)
{
    const QString name = m_connection->deviceName();
    switch (state) {
    case SerialConnection::State::Open:
        if (const NetworkLink *link = m_connection->networkLink())
            showState(networkStateText(*link));
        else
            showState(tr("%1 %2 已打开").arg(name).arg(m_connection->settings().baudRate));
        m_refreshTimer.start();
        break;
    case SerialConnection::State::Connecting:
        showState(tr("%1 正在连接…").arg(name));
        break;
    case SerialConnection::State::Closed:
        showState(name.isEmpty() ? tr("串口已关闭") : tr("%1 已关闭").arg(name));
        break;
    case SerialConnection::State::Lost:
        showState(tr("%1 已断开").arg(name));
        break;
    case SerialConnection::State::Waiting:
        showState(waitingText());
        // Stays until the port is back or the wait ends.
        m_bar->showMessage(waitingText());
        return;
    }
    if (m_bar->currentMessage() == waitingText())
        m_bar->clearMessage();
    refresh();
}

QString StatusBarPanel::networkStateText(const NetworkLink &link)
{
    const QString address = link.address().toString();
    const QString peer = link.peer();
    switch (link.phase()) {
    case NetworkLink::Phase::Connected:
        return peer.isEmpty() ? tr("%1 已连接").arg(address)
                              : tr("%1 已连接 %2").arg(address, peer);
    case NetworkLink::Phase::Listening:
        return tr("%1 正在监听").arg(address);
    case NetworkLink::Phase::Open:
        return tr("%1 对方 %2").arg(address, peer);
    case NetworkLink::Phase::Connecting:
        break;
    }
    return tr("%1 正在连接…").arg(address);
}

void StatusBarPanel::onReconnected()
{
    m_bar->showMessage(reconnectedText(), kReconnectedMs);
}

void StatusBarPanel::resetCounters()
{
    m_connection->resetCounters();
    refresh();
}

void StatusBarPanel::refresh()
{
    // Unchanged texts cost nothing: the widgets ignore them.
    m_counters->setText(tr("接收 %1  发送 %2")
                                .arg(m_connection->receivedBytes())
                                .arg(m_connection->sentBytes()));
    const qint64 rate = m_connection->receiveRate();
    m_rate->setText(TrafficCounter::rateText(rate));
    // Once closed, the rate runs down to nothing and the display stops.
    if (!m_connection->isOpen() && rate == 0)
        m_refreshTimer.stop();
}

void StatusBarPanel::showState(const QString &text)
{
    m_state->setText(text);
    m_state->setToolTip(text);
}
