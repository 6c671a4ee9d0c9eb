#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "aboutdialog.h"
#include "baudrates.h"
#include "captureplayer.h"
#include "ccd.h"
#include "comassistant.h"
#include "framehealthlabel.h"
#include "languagebutton.h"
#include "linearccd.h"
#include "makerinfo.h"
#include "oscilloscope.h"
#include "portsettings.h"
#include "portwatcher.h"
#include "recordingcontrol.h"
#include "replaycontrols.h"
#include "statusbarpanel.h"
#include "streamsink.h"

#include <QDesktopServices>
#include <QLineEdit>
#include <QMessageBox>
#include <QStatusBar>
#include <QUrl>

#include <algorithm>
#include <iterator>

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
    , ui(new Ui::MainWindow)
    , m_connection(new SerialConnection(this))
    , m_portWatcher(new PortWatcher(this))
    , m_statusPanel(nullptr)
    , m_router(nullptr)
    , m_player(new CapturePlayer(this))
    , m_recording(nullptr)
    , m_replay(nullptr)
    , m_languageButton(nullptr)
    , m_comAssistant(new ComAssistant(nullptr, *m_connection))
    , m_oscilloscope(new Oscilloscope(nullptr))
    , m_linearCCD(new LinearCCD(nullptr))
    , m_ccd(new CCD(nullptr))
{
    ui->setupUi(this);
    setWindowTitle(tr("Tessavo智能车调试助手--软件版 Beta"));
    refreshPortList();
    ui->openPort->setCheckable(true);
    ui->baudrateList->setCurrentIndex(8);
    ui->LableLink->setText(tr("<p align=\"center\"><a href=\"%1\">Tessavo 只为专业<br/>"
                              "点击进入淘宝店</a></p>")
                                   .arg(MakerInfo::shopUrl()));

    ui->tabWidget->clear();
    ui->tabWidget->addTab(m_comAssistant, tr("串口助手"));
    ui->tabWidget->addTab(m_oscilloscope, tr("示波器"));
    ui->tabWidget->addTab(m_linearCCD, tr("线性ccd"));
    ui->tabWidget->addTab(m_ccd, tr("摄像头"));
    m_router = new StreamRouter(this);
    // By the page itself, not its index: a tab that reads no stream gets nothing.
    const auto followTab = [this] {
        m_router->setCurrentSink(dynamic_cast<StreamSink *>(ui->tabWidget->currentWidget()));
    };
    followTab();
    connect(ui->tabWidget, &QTabWidget::currentChanged, this, followTab);
    m_statusPanel = new StatusBarPanel(statusBar(), m_connection);
    m_recording = new RecordingControl(m_connection);
    m_replay = new ReplayControls(m_player, m_connection);
    m_statusPanel->addSection(m_recording);
    m_statusPanel->addSection(m_replay);
    auto *frameHealth = new FrameHealthLabel(ui->tabWidget, m_router);
    m_statusPanel->addSection(frameHealth);
    m_languageButton = new LanguageButton;
    statusBar()->addPermanentWidget(m_languageButton);

    connect(ui->LableLink, &QLabel::linkActivated, this, &MainWindow::onLinkClick);
    connect(this, &MainWindow::comOpen, m_ccd, &CCD::onComOpen);
    connect(this, &MainWindow::comClose, m_ccd, &CCD::onComClose);
    connect(m_connection, &ByteSource::bytesReceived, m_router, &StreamRouter::receive);
    connect(m_player, &ByteSource::bytesReceived, m_router, &StreamRouter::receive);
    connect(m_player, &CapturePlayer::stateChanged, this, [this](CapturePlayer::State state) {
        onReplayActive(state != CapturePlayer::State::Idle);
    });
    connect(m_connection, &SerialConnection::countersReset, frameHealth, &FrameHealthLabel::reset);
    connect(m_languageButton, &LanguageButton::chosenByUser, this, [this](const QString &message) {
        statusBar()->showMessage(message, LanguageButton::kMessageMs);
    });
    connect(m_connection, &SerialConnection::opened, this, &MainWindow::comOpen);
    connect(m_connection, &SerialConnection::closed, this, &MainWindow::comClose);
    connect(m_connection, &SerialConnection::stateChanged, this,
            &MainWindow::onConnectionStateChanged);
    connect(m_connection, &SerialConnection::reconnected, this, &MainWindow::onReconnected);
    connect(m_portWatcher, &PortWatcher::portsChanged, this, &MainWindow::followPorts);
    m_portWatcher->setActive(true);
}

MainWindow::~MainWindow()
{
    m_connection->close();
    // The tabs go before the window: nothing may follow them meanwhile.
    disconnect(ui->tabWidget, nullptr, this, nullptr);
    m_router->setCurrentSink(nullptr);
    delete ui;
    delete m_comAssistant;
    delete m_oscilloscope;
    delete m_linearCCD;
    delete m_ccd;
}

QString MainWindow::portEntry() const
{
    return ui->comList->currentText();
}

void MainWindow::setPortEntry(const QString &entry)
{
    const int index = ui->comList->findText(entry);
    if (index >= 0)
        ui->comList->setCurrentIndex(index);
    else
        ui->comList->setEditText(entry);
}

qint32 MainWindow::baudRate() const
{
    return ui->baudrateList->currentText().toInt();
}

bool MainWindow::setBaudRate(qint32 rate)
{
    // The list offers the known rates only; an item of another text would
    // open at 9600.
    if (std::find(std::begin(kBaudRates), std::end(kBaudRates), rate) == std::end(kBaudRates))
        return false;
    return selectIndex(ui->baudrateList, ui->baudrateList->findText(QString::number(rate)));
}

int MainWindow::parityIndex() const
{
    return ui->ParityList->currentIndex();
}

bool MainWindow::setParityIndex(int index)
{
    return selectIndex(ui->ParityList, index);
}

int MainWindow::dataBitsIndex() const
{
    return ui->DataBitsList->currentIndex();
}

bool MainWindow::setDataBitsIndex(int index)
{
    return selectIndex(ui->DataBitsList, index);
}

int MainWindow::stopBitsIndex() const
{
    return ui->StopBitsList->currentIndex();
}

bool MainWindow::setStopBitsIndex(int index)
{
    return selectIndex(ui->StopBitsList, index);
}

int MainWindow::currentTab() const
{
    return ui->tabWidget->currentIndex();
}

bool MainWindow::setCurrentTab(int index)
{
    if (index < 0 || index >= ui->tabWidget->count())
        return false;
    ui->tabWidget->setCurrentIndex(index);
    return true;
}

void MainWindow::openChosenPort()
{
    if (!m_connection->isOpen() && !m_player->isActive())
        ui->openPort->click();
}

bool MainWindow::selectIndex(QComboBox *list, int index)
{
    if (index < 0 || index >= list->count())
        return false;
    list->setCurrentIndex(index);
    return true;
}

void MainWindow::on_updataComBnt_clicked()
{
    refreshPortList();
}

void MainWindow::on_openPort_clicked()
{
    // Closing also ends a wait for a lost port, also when what the panel
    // names cannot be opened.
    const bool wasOpen = m_connection->isOpen();
    m_connection->close();
    if (!wasOpen)
        openSerialPort();
    updatePanel();
}

void MainWindow::onReadData()
{
    m_connection->readPending();
}

void MainWindow::onLinkClick(QString href)
{
    QDesktopServices::openUrl(QUrl(href));
}

void MainWindow::on_exit_triggered()
{
    close();
}

void MainWindow::on_about_triggered()
{
    AboutDialog dialog;
    dialog.exec();
}

void MainWindow::on_buyHardware_triggered()
{
    QDesktopServices::openUrl(QUrl(MakerInfo::shopUrl()));
}

// Refilled by hand (刷新) the list selects its first port.
void MainWindow::refreshPortList()
{
    ui->comList->clear();
    ui->comList->addItems(m_portWatcher->scan());
}

// Refilled as ports come and go, the list keeps what the user chose or typed,
// even when that port is gone for now; an empty box takes the first port.
void MainWindow::followPorts(const QStringList &names)
{
    const QString entry = ui->comList->currentText();
    const int cursor = ui->comList->lineEdit()->cursorPosition();
    ui->comList->clear();
    ui->comList->addItems(names);
    if (entry.isEmpty())
        return;
    setPortEntry(entry);
    ui->comList->lineEdit()->setCursorPosition(cursor);
}

void MainWindow::openSerialPort()
{
    const QString device = deviceNameForEntry(ui->comList->currentText(), platformPortNaming());
    if (device.isEmpty()) {
        QMessageBox::critical(this, tr("错误"), tr("不能打开指定串口\n请检查串口是否被占用"),
                              QMessageBox::Ok);
        return;
    }
    const LineSettings settings
            = lineSettingsFor(ui->baudrateList->currentText(), ui->ParityList->currentIndex(),
                              ui->DataBitsList->currentIndex(), ui->StopBitsList->currentIndex());
    if (!m_connection->open(device, settings))
        QMessageBox::critical(this, tr("错误"), tr("无法打开该串口！"), QMessageBox::Ok);
}

void MainWindow::updatePanel()
{
    const bool open = m_connection->isOpen();
    const bool replaying = m_player->isActive();
    ui->openPort->setText(open ? tr("关闭串口") : tr("打开串口"));
    // A replay feeds the tabs as an open port would: no port may open meanwhile.
    ui->openPort->setEnabled(!replaying);
    QWidget *const settings[] = { ui->comList,    ui->baudrateList, ui->updataComBnt,
                                  ui->ParityList, ui->DataBitsList, ui->StopBitsList };
    for (QWidget *w : settings)
        w->setEnabled(!open && !replaying);
}

void MainWindow::onConnectionStateChanged(SerialConnection::State state)
{
    // The list follows the cable only while it can be chosen from.
    m_portWatcher->setActive(state != SerialConnection::State::Open);
    if (state == SerialConnection::State::Lost || state == SerialConnection::State::Waiting) {
        // Closed as the button would close it, so the panel tells the truth
        // and the port can be opened again; pressing 打开串口 also ends a wait.
        updatePanel();
        ui->openPort->setChecked(false);
    }
    if (state == SerialConnection::State::Lost)
        QMessageBox::critical(this, tr("错误"), tr("串口连接已断开！\n请检查设备后重新打开串口。"),
                              QMessageBox::Ok);
}

void MainWindow::onReplayActive(bool active)
{
    // Pausing and resuming keep the replay active: only its start and end count.
    if (m_replaying == active)
        return;
    m_replaying = active;
    updatePanel();
    // Nothing to record meanwhile; the status bar needs the room.
    m_recording->setVisible(!active);
    m_portWatcher->setActive(!active);
    if (active)
        emit comOpen();
    else
        emit comClose();
}

void MainWindow::onReconnected(const QString &device)
{
    updatePanel();
    ui->openPort->setChecked(true);
    // An adapter back under another name: the box names the port in use.
    if (deviceNameForEntry(ui->comList->currentText(), platformPortNaming()) != device)
        setPortEntry(device);
}
