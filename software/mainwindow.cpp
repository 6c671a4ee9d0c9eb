#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "aboutdialog.h"
#include "ccd.h"
#include "comassistant.h"
#include "linearccd.h"
#include "makerinfo.h"
#include "oscilloscope.h"
#include "portsettings.h"

#include <QDesktopServices>
#include <QMessageBox>
#include <QPointer>
#include <QSerialPortInfo>
#include <QUrl>

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
    , ui(new Ui::MainWindow)
    , m_port(nullptr)
    , m_comAssistant(new ComAssistant(nullptr, &m_port))
    , m_oscilloscope(new Oscilloscope(nullptr))
    , m_linearCCD(new LinearCCD(nullptr))
    , m_ccd(new CCD(nullptr))
{
    ui->setupUi(this);
    setWindowTitle(QStringLiteral("Tessavo智能车调试助手--软件版 Beta"));
    refreshPortList();
    ui->openPort->setCheckable(true);
    ui->baudrateList->setCurrentIndex(8);
    ui->LableLink->setText(QStringLiteral("<p align=\"center\"><a href=\"%1\">Tessavo 只为专业<br/>"
                                          "点击进入淘宝店</a></p>")
                                   .arg(MakerInfo::shopUrl()));

    ui->tabWidget->clear();
    ui->tabWidget->addTab(m_comAssistant, QStringLiteral("串口助手"));
    ui->tabWidget->addTab(m_oscilloscope, QStringLiteral("示波器"));
    ui->tabWidget->addTab(m_linearCCD, QStringLiteral("线性ccd"));
    ui->tabWidget->addTab(m_ccd, QStringLiteral("摄像头"));

    connect(ui->LableLink, &QLabel::linkActivated, this, &MainWindow::onLinkClick);
    connect(this, &MainWindow::comOpen, m_ccd, &CCD::onComOpen);
    connect(this, &MainWindow::comClose, m_ccd, &CCD::onComClose);
}

MainWindow::~MainWindow()
{
    closeSerialPort();
    delete ui;
    delete m_comAssistant;
    delete m_oscilloscope;
    delete m_linearCCD;
    delete m_ccd;
}

void MainWindow::on_updataComBnt_clicked()
{
    refreshPortList();
}

void MainWindow::on_openPort_clicked()
{
    if (m_port)
        closeSerialPort();
    else
        openSerialPort();
    updatePanel();
}

void MainWindow::onReadData()
{
    if (!m_port)
        return;
    m_recvBuffer.append(m_port->readAll());
    if (m_recvBuffer.size() > kRecvBufferLimit)
        m_recvBuffer.remove(0, m_recvBuffer.size() - kRecvBufferLimit);

    switch (ui->tabWidget->currentIndex()) {
    case 0:
        m_comAssistant->handleData(m_recvBuffer);
        break;
    case 1:
        m_oscilloscope->handleData(m_recvBuffer);
        break;
    case 2:
        m_linearCCD->handleData(m_recvBuffer);
        break;
    case 3:
        m_ccd->handleData(m_recvBuffer);
        break;
    default:
        break;
    }
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

void MainWindow::refreshPortList()
{
    const PortNaming naming = platformPortNaming();
    const QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    ui->comList->clear();
    for (const QSerialPortInfo &info : ports) {
        const QString name = listedPortName(info.portName(), naming);
        if (!name.isEmpty())
            ui->comList->addItem(name);
    }
}

void MainWindow::openSerialPort()
{
    const QString device = deviceNameForEntry(ui->comList->currentText(), platformPortNaming());
    if (device.isEmpty()) {
        QMessageBox::critical(this, QStringLiteral("错误"),
                              QStringLiteral("不能打开指定串口\n请检查串口是否被占用"),
                              QMessageBox::Ok);
        return;
    }

    // A listed name and a typed path both go to the port as they are: it opens
    // a bare name (ttyUSB0, COM3) at its system location and a path as written.
    m_port = new QSerialPort(device, this);
    if (!m_port->open(QIODevice::ReadWrite)) {
        QMessageBox::critical(this, QStringLiteral("错误"), QStringLiteral("无法打开该串口！"),
                              QMessageBox::Ok);
        delete m_port;
        m_port = nullptr;
        return;
    }

    applyPortSettings();
    connect(m_port, &QSerialPort::readyRead, this, &MainWindow::onReadData);
    // Queued, because handling an error may close and delete the port, which
    // must not happen while the port is still emitting.
    const QPointer<QSerialPort> port = m_port;
    connect(
            m_port, &QSerialPort::errorOccurred, this,
            [this, port](QSerialPort::SerialPortError error) {
                if (port && port == m_port)
                    onPortError(error);
            },
            Qt::QueuedConnection);
    emit comOpen();
}

void MainWindow::applyPortSettings()
{
    if (!m_port)
        return;
    const LineSettings settings
            = lineSettingsFor(ui->baudrateList->currentText(), ui->ParityList->currentIndex(),
                              ui->DataBitsList->currentIndex(), ui->StopBitsList->currentIndex());
    // A setting the device refuses (a virtual port knows no parity, say)
    // leaves the port open with its previous value.
    m_port->setBaudRate(settings.baudRate);
    m_port->setDataBits(settings.dataBits);
    m_port->setParity(settings.parity);
    if (settings.stopBits)
        m_port->setStopBits(*settings.stopBits);
    m_port->setFlowControl(QSerialPort::NoFlowControl);
}

void MainWindow::closeSerialPort()
{
    if (!m_port)
        return;
    m_port->close();
    delete m_port;
    m_port = nullptr;
    emit comClose();
}

void MainWindow::updatePanel()
{
    const bool open = m_port != nullptr;
    ui->openPort->setText(open ? QStringLiteral("关闭串口") : QStringLiteral("打开串口"));
    QWidget *const settings[] = { ui->comList,    ui->baudrateList, ui->updataComBnt,
                                  ui->ParityList, ui->DataBitsList, ui->StopBitsList };
    for (QWidget *w : settings)
        w->setEnabled(!open);
}

void MainWindow::onPortError(QSerialPort::SerialPortError error)
{
    switch (error) {
    case QSerialPort::ResourceError:
    case QSerialPort::ReadError:
        // The device went away (adapter pulled, cable cut): close it as the
        // button would, so the panel tells the truth and the port can be reopened.
        closeSerialPort();
        updatePanel();
        ui->openPort->setChecked(false);
        QMessageBox::critical(this, QStringLiteral("错误"),
                              QStringLiteral("串口连接已断开！\n请检查设备后重新打开串口。"),
                              QMessageBox::Ok);
        break;
    case QSerialPort::WriteError:
        m_comAssistant->reportSendFailure();
        break;
    default:
        break;
    }
}
