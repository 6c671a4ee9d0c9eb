#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "aboutdialog.h"
#include "captureplayer.h"
#include "ccd.h"
#include "comassistant.h"
#include "framehealthlabel.h"
#include "languagebutton.h"
#include "linearccd.h"
#include "makerinfo.h"
#include "oscilloscope.h"
#include "plotter.h"
#include "recordingcontrol.h"
#include "replaycontrols.h"
#include "serialconnection.h"
#include "serialpanel.h"
#include "statusbarpanel.h"
#include "tuningdock.h"
#include "tuningpanel.h"
#include "windowsettings.h"

#include <QDesktopServices>
#include <QScreen>
#include <QStatusBar>
#include <QUrl>

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
    , ui(new Ui::MainWindow)
    , m_connection(new SerialConnection(this))
    , m_player(new CapturePlayer(this))
    , m_router(new StreamRouter(this))
    , m_comAssistant(new ComAssistant(nullptr, *m_connection))
    , m_oscilloscope(new Oscilloscope(nullptr))
    , m_linearCCD(new LinearCCD(nullptr))
    , m_ccd(new CCD(nullptr))
    , m_plotter(new Plotter(nullptr))
{
    ui->setupUi(this);
    m_windowSettings = std::make_unique<WindowSettings>(this, ui->tabWidget);
    setWindowTitle(tr("Tessavo智能车调试助手--软件版 Beta"));
    m_serialPanel = new SerialPanel(*ui, m_connection, m_player, this);
    ui->LableLink->setText(tr("<p align=\"center\"><a href=\"%1\">Tessavo 只为专业<br/>"
                              "点击进入淘宝店</a></p>")
                                   .arg(MakerInfo::shopUrl()));

    ui->tabWidget->clear();
    ui->tabWidget->addTab(m_comAssistant, tr("串口助手"));
    ui->tabWidget->addTab(m_oscilloscope, tr("示波器"));
    ui->tabWidget->addTab(m_linearCCD, tr("线性ccd"));
    ui->tabWidget->addTab(m_ccd, tr("摄像头"));
    ui->tabWidget->addTab(m_plotter, tr("曲线"));
    // By the page itself, not its index: a tab that reads no stream gets nothing.
    const auto followTab = [this] {
        m_router->setCurrentSink(dynamic_cast<StreamSink *>(ui->tabWidget->currentWidget()));
    };
    followTab();
    connect(ui->tabWidget, &QTabWidget::currentChanged, this, followTab);
    m_tuningDock = new TuningDock(*m_connection, this);
    buildStatusBar();

    connect(ui->LableLink, &QLabel::linkActivated, this, &MainWindow::onLinkClick);
    connect(this, &MainWindow::comOpen, m_ccd, &CCD::onComOpen);
    connect(this, &MainWindow::comClose, m_ccd, &CCD::onComClose);
    // A size proposed by the camera tab while the port is open: closed, set,
    // opened again. A replay keeps the size as it is.
    connect(m_ccd, &CCD::sizeNeedsReopen, this, [this](QSize size) {
        if (!m_connection->isOpen())
            return;
        ui->openPort->click();
        m_ccd->setPictureSize(size);
        m_serialPanel->openChosenPort();
    });
    connect(m_serialPanel, &SerialPanel::sourceStarted, this, &MainWindow::comOpen);
    connect(m_serialPanel, &SerialPanel::sourceStopped, this, &MainWindow::comClose);
    // One read per screen refresh: a tab cannot show more often than that.
    m_connection->setReadInterval(qBound(4, qRound(1000 / qMax(screen()->refreshRate(), 1.0)), 33));
    connect(m_connection, &ByteSource::bytesReceived, m_router, &StreamRouter::receive);
    connect(m_player, &ByteSource::bytesReceived, m_router, &StreamRouter::receive);
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
    delete m_plotter;
}

void MainWindow::buildStatusBar()
{
    m_statusPanel = new StatusBarPanel(statusBar(), m_connection);
    auto *recording = new RecordingControl(m_connection);
    m_replay = new ReplayControls(m_player, m_connection);
    auto *frameHealth = new FrameHealthLabel(ui->tabWidget, m_router);
    m_statusPanel->addSection(recording);
    m_statusPanel->addSection(m_replay);
    m_statusPanel->addSection(frameHealth);
    statusBar()->addPermanentWidget(m_tuningDock->toggleButton());
    m_languageButton = new LanguageButton;
    statusBar()->addPermanentWidget(m_languageButton);
    // Nothing to record during a replay; the status bar needs the room.
    connect(m_serialPanel, &SerialPanel::replayingChanged, recording, &QWidget::setHidden);
    connect(m_serialPanel, &SerialPanel::replayingChanged, m_tuningDock->panel(),
            &TuningPanel::setReplaying);
    connect(m_tuningDock->panel(), &TuningPanel::message, this,
            [this](const QString &message) { statusBar()->showMessage(message, kMessageMs); });
    connect(m_connection, &SerialConnection::countersReset, frameHealth, &FrameHealthLabel::reset);
    connect(m_languageButton, &LanguageButton::chosenByUser, this, [this](const QString &message) {
        statusBar()->showMessage(message, LanguageButton::kMessageMs);
    });
}

QList<SettingsPart *> MainWindow::settingsParts() const
{
    return { m_windowSettings.get(), m_serialPanel, m_statusPanel, m_languageButton, m_comAssistant,
             m_oscilloscope,         m_linearCCD,   m_ccd,         m_plotter,        m_tuningDock };
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

void MainWindow::on_updataComBnt_clicked()
{
    m_serialPanel->refreshPortList();
}

void MainWindow::on_openPort_clicked()
{
    m_serialPanel->toggle();
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
