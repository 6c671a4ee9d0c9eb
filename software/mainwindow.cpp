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
#include <QSerialPortInfo>
#include <QUrl>

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
    , ui(new Ui::MainWindow)
    , m_connection(new SerialConnection(this))
    , m_router(nullptr)
    , m_comAssistant(new ComAssistant(nullptr, m_connection->portSlot()))
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
    m_router = new StreamRouter(ui->tabWidget, this);

    connect(ui->LableLink, &QLabel::linkActivated, this, &MainWindow::onLinkClick);
    connect(this, &MainWindow::comOpen, m_ccd, &CCD::onComOpen);
    connect(this, &MainWindow::comClose, m_ccd, &CCD::onComClose);
    connect(m_connection, &ByteSource::bytesReceived, m_router, &StreamRouter::receive);
    connect(m_connection, &SerialConnection::stateChanged, this,
            &MainWindow::onConnectionStateChanged);
    connect(m_connection, &SerialConnection::errorOccurred, this, &MainWindow::onConnectionError);
}

MainWindow::~MainWindow()
{
    m_connection->close();
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
    if (m_connection->isOpen())
        m_connection->close();
    else
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
    const LineSettings settings
            = lineSettingsFor(ui->baudrateList->currentText(), ui->ParityList->currentIndex(),
                              ui->DataBitsList->currentIndex(), ui->StopBitsList->currentIndex());
    if (!m_connection->open(device, settings))
        QMessageBox::critical(this, QStringLiteral("错误"), QStringLiteral("无法打开该串口！"),
                              QMessageBox::Ok);
}

void MainWindow::updatePanel()
{
    const bool open = m_connection->isOpen();
    ui->openPort->setText(open ? QStringLiteral("关闭串口") : QStringLiteral("打开串口"));
    QWidget *const settings[] = { ui->comList,    ui->baudrateList, ui->updataComBnt,
                                  ui->ParityList, ui->DataBitsList, ui->StopBitsList };
    for (QWidget *w : settings)
        w->setEnabled(!open);
}

void MainWindow::onConnectionStateChanged(SerialConnection::State state)
{
    if (state == SerialConnection::State::Open) {
        emit comOpen();
        return;
    }
    emit comClose();
    if (state == SerialConnection::State::Lost) {
        // Closed as the button would close it, so the panel tells the truth
        // and the port can be opened again.
        updatePanel();
        ui->openPort->setChecked(false);
        QMessageBox::critical(this, QStringLiteral("错误"),
                              QStringLiteral("串口连接已断开！\n请检查设备后重新打开串口。"),
                              QMessageBox::Ok);
    }
}

void MainWindow::onConnectionError(QSerialPort::SerialPortError error)
{
    if (error == QSerialPort::WriteError)
        m_comAssistant->reportSendFailure();
}
