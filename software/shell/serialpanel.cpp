#include "serialpanel.h"
#include "ui_mainwindow.h"

#include "baudrates.h"
#include "captureplayer.h"
#include "portsettings.h"
#include "portwatcher.h"

#include <QIntValidator>
#include <QLineEdit>
#include <QMessageBox>

namespace {

const QString kPort = QStringLiteral("port");
const QString kBaudRate = QStringLiteral("baudRate");
const QString kParity = QStringLiteral("parity");
const QString kDataBits = QStringLiteral("dataBits");
const QString kStopBits = QStringLiteral("stopBits");

} // namespace

SerialPanel::SerialPanel(Ui::MainWindow &ui, SerialConnection *connection, CapturePlayer *player,
                         QWidget *window)
    : QObject(window)
    , m_ui(ui)
    , m_connection(connection)
    , m_player(player)
    , m_window(window)
    , m_portWatcher(new PortWatcher(this))
{
    refreshPortList();
    m_ui.openPort->setCheckable(true);
    m_ui.baudrateList->setCurrentIndex(8);
    // The list keeps its items; a rate typed into the box stays in the box.
    m_ui.baudrateList->setEditable(true);
    m_ui.baudrateList->setInsertPolicy(QComboBox::NoInsert);
    m_ui.baudrateList->setValidator(
            new QIntValidator(kMinBaudRate, kMaxBaudRate, m_ui.baudrateList));

    connect(m_connection, &SerialConnection::opened, this, &SerialPanel::sourceStarted);
    connect(m_connection, &SerialConnection::closed, this, &SerialPanel::sourceStopped);
    connect(m_connection, &SerialConnection::stateChanged, this, &SerialPanel::onStateChanged);
    connect(m_connection, &SerialConnection::reconnected, this, &SerialPanel::onReconnected);
    connect(m_player, &CapturePlayer::stateChanged, this, [this](CapturePlayer::State state) {
        onReplayActive(state != CapturePlayer::State::Idle);
    });
    connect(m_portWatcher, &PortWatcher::portsChanged, this, &SerialPanel::followPorts);
    m_portWatcher->setActive(true);
}

QString SerialPanel::portEntry() const
{
    return m_ui.comList->currentText();
}

void SerialPanel::setPortEntry(const QString &entry)
{
    const int index = m_ui.comList->findText(entry);
    if (index >= 0)
        m_ui.comList->setCurrentIndex(index);
    else
        m_ui.comList->setEditText(entry);
}

qint32 SerialPanel::baudRate() const
{
    return m_ui.baudrateList->currentText().toInt();
}

bool SerialPanel::setBaudRate(qint32 rate)
{
    if (!isBaudRateInRange(rate))
        return false;
    const QString text = QString::number(rate);
    if (!selectIndex(m_ui.baudrateList, m_ui.baudrateList->findText(text)))
        m_ui.baudrateList->setEditText(text);
    return true;
}

// Refilled by hand (刷新) the list selects its first port.
void SerialPanel::refreshPortList()
{
    m_ui.comList->clear();
    m_ui.comList->addItems(m_portWatcher->scan());
}

void SerialPanel::toggle()
{
    // Closing also ends a wait for a lost port, also when what the panel
    // names cannot be opened.
    const bool wasOpen = m_connection->isOpen();
    m_connection->close();
    if (!wasOpen)
        open();
    updateControls();
}

void SerialPanel::openChosenPort()
{
    if (!m_connection->isOpen() && !m_player->isActive())
        m_ui.openPort->click();
}

QString SerialPanel::settingsGroup() const
{
    return QStringLiteral("serial");
}

void SerialPanel::saveSettings(SettingsGroup &group) const
{
    group.write(kPort, portEntry());
    group.write(kBaudRate, baudRate());
    group.write(kParity, m_ui.ParityList->currentIndex());
    group.write(kDataBits, m_ui.DataBitsList->currentIndex());
    group.write(kStopBits, m_ui.StopBitsList->currentIndex());
}

void SerialPanel::restoreSettings(const SettingsGroup &group)
{
    if (const auto port = group.readText(kPort, SettingsGroup::kMaxPathLength);
        port && !port->trimmed().isEmpty())
        setPortEntry(*port);
    if (const auto rate = group.readInt(kBaudRate, kMinBaudRate, kMaxBaudRate))
        setBaudRate(*rate);
    if (const auto index = group.readInt(kParity, 0, m_ui.ParityList->count() - 1))
        m_ui.ParityList->setCurrentIndex(*index);
    if (const auto index = group.readInt(kDataBits, 0, m_ui.DataBitsList->count() - 1))
        m_ui.DataBitsList->setCurrentIndex(*index);
    if (const auto index = group.readInt(kStopBits, 0, m_ui.StopBitsList->count() - 1))
        m_ui.StopBitsList->setCurrentIndex(*index);
}

bool SerialPanel::selectIndex(QComboBox *list, int index)
{
    if (index < 0 || index >= list->count())
        return false;
    list->setCurrentIndex(index);
    return true;
}

// Refilled as ports come and go, the list keeps what the user chose or typed,
// even when that port is gone for now; an empty box takes the first port.
void SerialPanel::followPorts(const QStringList &names)
{
    const QString entry = m_ui.comList->currentText();
    const int cursor = m_ui.comList->lineEdit()->cursorPosition();
    m_ui.comList->clear();
    m_ui.comList->addItems(names);
    if (entry.isEmpty())
        return;
    setPortEntry(entry);
    m_ui.comList->lineEdit()->setCursorPosition(cursor);
}

void SerialPanel::open()
{
    const QString device = deviceNameForEntry(portEntry(), platformPortNaming());
    if (device.isEmpty()) {
        QMessageBox::critical(m_window, tr("错误"), tr("不能打开指定串口\n请检查串口是否被占用"),
                              QMessageBox::Ok);
        return;
    }
    const QString rateText = m_ui.baudrateList->currentText().trimmed();
    if (!baudRateForText(rateText)) {
        showRateRefused(rateText);
        return;
    }
    const LineSettings settings
            = lineSettingsFor(rateText, m_ui.ParityList->currentIndex(),
                              m_ui.DataBitsList->currentIndex(), m_ui.StopBitsList->currentIndex());
    if (m_connection->open(device, settings))
        return;
    if (m_connection->baudRateRefused())
        showRateRefused(rateText);
    else
        QMessageBox::critical(m_window, tr("错误"), tr("无法打开该串口！"), QMessageBox::Ok);
}

void SerialPanel::showRateRefused(const QString &rate)
{
    QMessageBox::critical(
            m_window, tr("错误"),
            tr("无法使用波特率 %1，串口未打开。\n可选 %2 至 %3 之间串口支持的波特率。")
                    .arg(rate)
                    .arg(kMinBaudRate)
                    .arg(kMaxBaudRate),
            QMessageBox::Ok);
}

void SerialPanel::updateControls()
{
    const bool open = m_connection->isOpen();
    m_ui.openPort->setText(open ? tr("关闭串口") : tr("打开串口"));
    // A replay feeds the tabs as an open port would: no port may open meanwhile.
    m_ui.openPort->setEnabled(!m_replaying);
    QWidget *const settings[] = { m_ui.comList,    m_ui.baudrateList, m_ui.updataComBnt,
                                  m_ui.ParityList, m_ui.DataBitsList, m_ui.StopBitsList };
    for (QWidget *w : settings)
        w->setEnabled(!open && !m_replaying);
}

void SerialPanel::onStateChanged(SerialConnection::State state)
{
    // The list follows the cable only while it can be chosen from.
    m_portWatcher->setActive(state != SerialConnection::State::Open);
    if (state == SerialConnection::State::Lost || state == SerialConnection::State::Waiting) {
        // Closed as the button would close it, so the panel tells the truth
        // and the port can be opened again; pressing 打开串口 also ends a wait.
        updateControls();
        m_ui.openPort->setChecked(false);
    }
    if (state == SerialConnection::State::Lost)
        QMessageBox::critical(m_window, tr("错误"),
                              tr("串口连接已断开！\n请检查设备后重新打开串口。"), QMessageBox::Ok);
}

void SerialPanel::onReconnected(const QString &device)
{
    updateControls();
    m_ui.openPort->setChecked(true);
    // An adapter back under another name: the box names the port in use.
    if (deviceNameForEntry(portEntry(), platformPortNaming()) != device)
        setPortEntry(device);
}

void SerialPanel::onReplayActive(bool active)
{
    // Pausing and resuming keep the replay active: only its start and end count.
    if (m_replaying == active)
        return;
    m_replaying = active;
    updateControls();
    m_portWatcher->setActive(!active);
    emit replayingChanged(active);
    if (active)
        emit sourceStarted();
    else
        emit sourceStopped();
}
