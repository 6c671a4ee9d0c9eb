#include "xypage.h"
#include "ui_xypage.h"

#include "csvformat.h"
#include "exportdialogs.h"
#include "plotview.h"
#include "settingsgroup.h"
#include "xyview.h"

#include <QAction>
#include <QImage>
#include <QSignalBlocker>

namespace {

const QString kX = QStringLiteral("xy/x");
const QString kY = QStringLiteral("xy/y");
const QString kPoints = QStringLiteral("xy/points");
const QString kEqualScale = QStringLiteral("xy/equalScale");
// A series is named as Teleplot flags it, apart from a channel of its name.
const QString kSeriesMark = QStringLiteral("|xy");
constexpr int kMaxNameLength = 200;

} // namespace

XYPage::XYPage(const PlotView *channels, QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::XYPage)
    , m_channels(channels)
    , m_view(new XYView(channels, this))
    , m_pauseAction(new QAction(tr("暂停"), this))
{
    ui->setupUi(this);
    ui->verticalLayout_page->addWidget(m_view, 1);
    m_view->setPointCount(ui->spinBox_points->value());

    connect(ui->comboBox_x, &QComboBox::activated, this, [this] { choose(ui->comboBox_x); });
    connect(ui->comboBox_y, &QComboBox::activated, this, [this] { choose(ui->comboBox_y); });
    connect(ui->spinBox_points, &QSpinBox::valueChanged, m_view, &XYView::setPointCount);
    connect(ui->checkBox_equalScale, &QCheckBox::toggled, m_view, &XYView::setEqualScale);
    connect(m_view, &XYView::cursorText, this, &XYPage::cursorText);

    m_pauseAction->setCheckable(true);
    connect(m_pauseAction, &QAction::toggled, this, &XYPage::pauseToggled);
    auto *saveSamplesAction = new QAction(tr("保存数据(CSV)"), this);
    connect(saveSamplesAction, &QAction::triggered, this, &XYPage::saveSamples);
    auto *saveScreenAction = new QAction(tr("保存图像(PNG)"), this);
    connect(saveScreenAction, &QAction::triggered, this, &XYPage::saveScreen);
    m_view->addActions({ m_pauseAction, saveSamplesAction, saveScreenAction });
    m_view->setContextMenuPolicy(Qt::ActionsContextMenu);
    applyChoice();
}

XYPage::~XYPage()
{
    delete ui;
}

void XYPage::addPoints(const QList<XYPoint> &points, const QStringList &seriesNames)
{
    m_view->addPoints(points, seriesNames);
}

void XYPage::clear()
{
    m_view->clear();
}

void XYPage::clearSeries()
{
    m_view->clearSeries();
}

void XYPage::refresh()
{
    syncChoices();
    m_view->refresh();
}

void XYPage::setPaused(bool paused)
{
    const QSignalBlocker blocker(m_pauseAction);
    m_pauseAction->setChecked(paused);
    m_view->setPaused(paused);
}

void XYPage::syncChoices()
{
    QStringList channels;
    for (int channel = 0; channel < m_channels->channelCount(); ++channel)
        channels << m_channels->channelName(channel);
    if (channels != m_listedChannels || m_view->seriesNames() != m_listedSeries) {
        m_listedChannels = channels;
        m_listedSeries = m_view->seriesNames();
        listChoices();
    }
}

// The boxes list the channels, then the series. What was chosen stays chosen
// where it is listed; else X and Y are the first series, or the first two
// channels.
void XYPage::listChoices()
{
    const QStringList &channels = m_listedChannels;
    const QStringList &series = m_listedSeries;
    const QSignalBlocker blockX(ui->comboBox_x);
    const QSignalBlocker blockY(ui->comboBox_y);
    ui->comboBox_x->clear();
    ui->comboBox_y->clear();
    for (const QString &name : channels) {
        ui->comboBox_x->addItem(name, name);
        ui->comboBox_y->addItem(name, name);
    }
    for (const QString &name : series) {
        const QString text = QStringLiteral("%1 (XY)").arg(name);
        ui->comboBox_x->addItem(text, name + kSeriesMark);
        ui->comboBox_y->addItem(text, name + kSeriesMark);
    }
    int x = ui->comboBox_x->findData(m_wantedX);
    if (x < 0)
        x = series.isEmpty() ? 0 : int(channels.size());
    int y = ui->comboBox_y->findData(m_wantedY);
    if (x >= channels.size())
        y = x;
    else if (y < 0 || y >= channels.size())
        y = qMin(1, int(channels.size()) - 1);
    ui->comboBox_x->setCurrentIndex(x);
    ui->comboBox_y->setCurrentIndex(y);
    applyChoice();
}

// A series is X and Y at once: chosen in either box, both show it; a channel
// chosen for X then pairs with a channel again.
void XYPage::choose(QComboBox *box)
{
    const int channels = int(m_listedChannels.size());
    QComboBox *x = ui->comboBox_x;
    QComboBox *y = ui->comboBox_y;
    if (box == y && y->currentIndex() >= channels)
        x->setCurrentIndex(y->currentIndex());
    if (x->currentIndex() >= channels)
        y->setCurrentIndex(x->currentIndex());
    else if (y->currentIndex() >= channels)
        y->setCurrentIndex(qMin(1, channels - 1));
    m_wantedX = ui->comboBox_x->currentData().toString();
    m_wantedY = ui->comboBox_y->currentData().toString();
    applyChoice();
}

// Y has nothing to choose while X is a series.
void XYPage::applyChoice()
{
    const int x = ui->comboBox_x->currentIndex();
    const int channels = int(m_listedChannels.size());
    const bool series = x >= channels;
    ui->comboBox_y->setEnabled(!series && ui->comboBox_y->count() > 0);
    if (series)
        m_view->showSeries(x - channels);
    else
        m_view->showChannels(x, ui->comboBox_y->currentIndex());
}

void XYPage::saveSettings(SettingsGroup &group) const
{
    group.write(kX, m_wantedX.isEmpty() ? ui->comboBox_x->currentData().toString() : m_wantedX);
    group.write(kY, m_wantedY.isEmpty() ? ui->comboBox_y->currentData().toString() : m_wantedY);
    group.write(kPoints, ui->spinBox_points->value());
    group.write(kEqualScale, ui->checkBox_equalScale->isChecked());
}

void XYPage::restoreSettings(const SettingsGroup &group)
{
    if (const auto x = group.readText(kX, kMaxNameLength))
        m_wantedX = *x;
    if (const auto y = group.readText(kY, kMaxNameLength))
        m_wantedY = *y;
    if (const auto points
        = group.readInt(kPoints, int(XYTrail::kMinPoints), int(XYTrail::kMaxPoints)))
        ui->spinBox_points->setValue(*points);
    if (const auto equal = group.readBool(kEqualScale))
        ui->checkBox_equalScale->setChecked(*equal);
    // The boxes choose again by the names just read.
    listChoices();
}

// The header names the chosen channels, or a series' x and y.
void XYPage::saveSamples()
{
    const int x = ui->comboBox_x->currentIndex();
    const int channels = int(m_listedChannels.size());
    QString xName = QStringLiteral("x");
    QString yName = QStringLiteral("y");
    if (x >= channels && x - channels < m_listedSeries.size()) {
        xName = m_listedSeries[x - channels] + QStringLiteral(" x");
        yName = m_listedSeries[x - channels] + QStringLiteral(" y");
    } else if (x >= 0 && x < channels) {
        xName = m_listedChannels[x];
        yName = m_listedChannels.value(ui->comboBox_y->currentIndex(), yName);
    }
    exportFile(this, QStringLiteral("xy"), QStringLiteral("csv"), tr("CSV文件(*.csv)"),
               [&] { return xyPointsCsv(m_view->shownPoints(), xName, yName); });
}

void XYPage::saveScreen()
{
    const QImage screen = m_view->screenImage();
    exportFile(this, QStringLiteral("xy"), QStringLiteral("png"), tr("PNG图像(*.png)"),
               [&screen] { return pngBytes(screen); });
}
