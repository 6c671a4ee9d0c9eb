#include "tuningpanel.h"
#include "ui_tuningpanel.h"

#include "bytelink.h"
#include "filesaving.h"
#include "paramcontrolview.h"

#include <QAction>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

namespace {

// Quick commands per row of buttons.
constexpr int kCommandColumns = 3;

} // namespace

TuningPanel::TuningPanel(ByteLink &link, QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::TuningPanel)
    , m_link(link)
{
    ui->setupUi(this);
    connect(ui->editButton, &QPushButton::clicked, this, &TuningPanel::editRequested);
    connect(ui->importButton, &QPushButton::clicked, this, &TuningPanel::chooseImport);
    connect(ui->exportButton, &QPushButton::clicked, this, &TuningPanel::chooseExport);
    connect(&m_link, &ByteLink::opened, this, [this] { m_toldNotSent = false; });
    connect(&m_link, &ByteLink::closed, this, &TuningPanel::stopRepeats);
    connect(&m_link, &ByteLink::writeFailed, this, &TuningPanel::stopRepeats);
    setParamSet(ParamSet());
}

TuningPanel::~TuningPanel()
{
    // The views point into the form's widgets.
    qDeleteAll(m_views);
    delete ui;
}

ParamSet TuningPanel::paramSet() const
{
    ParamSet set = m_set;
    for (qsizetype n = 0; n < m_views.size(); ++n)
        set.controls[n] = m_views.at(n)->control();
    return set;
}

void TuningPanel::setParamSet(const ParamSet &set)
{
    stopRepeats();
    qDeleteAll(m_views);
    m_views.clear();
    m_set = set;
    for (qsizetype n = 0; n < set.controls.size(); ++n) {
        auto *view = new ParamControlView(set.controls.at(n), ui->controlsLayout, int(n), this);
        connect(view, &ParamControlView::sendRequested, this, &TuningPanel::send);
        m_views.append(view);
    }
    ui->emptyLabel->setVisible(set.controls.isEmpty() && set.commands.isEmpty());
    buildCommands();
}

void TuningPanel::buildCommands()
{
    qDeleteAll(m_commandButtons);
    m_commandButtons.clear();
    for (qsizetype n = 0; n < m_set.commands.size(); ++n) {
        const QuickCommand &command = m_set.commands.at(n);
        auto *button = new QPushButton(command.name, ui->commandsBox);
        button->setAccessibleName(command.name);
        QString tip = CommandTemplate::oneLine(command.command, command.mode);
        if (command.shortcut != 0) {
            // On the window and the floating panel alike, while the panel shows.
            auto *action = new QAction(button);
            action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_0 + command.shortcut)));
            action->setShortcutContext(Qt::ApplicationShortcut);
            connect(action, &QAction::triggered, button, &QPushButton::click);
            button->addAction(action);
            tip += tr("\n快捷键：%1").arg(action->shortcut().toString(QKeySequence::NativeText));
        }
        const QByteArray bytes = CommandTemplate::form(command.command, command.mode);
        if (command.periodMs > 0) {
            tip += tr("\n按下后每%1毫秒发送一次，再按停止").arg(command.periodMs);
            button->setCheckable(true);
            auto *timer = new QTimer(button);
            timer->setInterval(command.periodMs);
            connect(timer, &QTimer::timeout, this, [this, bytes] { send(bytes); });
            connect(button, &QPushButton::toggled, this, [this, button, timer, bytes](bool on) {
                if (!on) {
                    timer->stop();
                    return;
                }
                send(bytes);
                if (m_link.isOpen() && !m_replaying)
                    timer->start();
                else
                    button->setChecked(false);
            });
        } else {
            connect(button, &QPushButton::clicked, this, [this, bytes] { send(bytes); });
        }
        button->setToolTip(tip);
        ui->commandsLayout->addWidget(button, int(n / kCommandColumns), int(n % kCommandColumns));
        m_commandButtons.append(button);
    }
    ui->commandsBox->setVisible(!m_set.commands.isEmpty());
}

void TuningPanel::stopRepeats()
{
    for (QAbstractButton *button : std::as_const(m_commandButtons)) {
        if (button->isCheckable())
            button->setChecked(false);
    }
}

void TuningPanel::setReplaying(bool replaying)
{
    m_replaying = replaying;
    m_toldNotSent = false;
    if (replaying)
        stopRepeats();
}

void TuningPanel::send(const QByteArray &bytes)
{
    QString problem;
    if (m_replaying)
        problem = tr("回放时调参面板不发送");
    else if (!m_link.isOpen())
        problem = tr("串口未打开，调参面板的命令没有发送");
    else if (m_link.write(bytes))
        return;
    else
        problem = tr("调参面板的命令发送失败");
    if (!m_toldNotSent)
        emit message(problem);
    m_toldNotSent = true;
}

bool TuningPanel::importFile(const QString &path)
{
    QString problem;
    std::optional<ParamSet> set;
    QFile file(path);
    // Only a plain file: a named pipe would wait for a writer.
    if (!QFileInfo(path).isFile())
        problem = tr("不是普通文件");
    else if (QFileInfo(path).size() > ParamSet::kMaxFileSize)
        problem = tr("文件大于1MB，不是调参文件");
    else if (!file.open(QIODevice::ReadOnly))
        problem = file.errorString();
    else
        set = ParamSet::fromJson(file.read(ParamSet::kMaxFileSize + 1), &problem);
    if (!set) {
        QMessageBox::critical(this, tr("错误"), tr("不能导入%1：\n%2").arg(path, problem),
                              QMessageBox::Ok);
        return false;
    }
    setParamSet(*set);
    emit setChanged();
    return true;
}

bool TuningPanel::exportFile(const QString &path)
{
    if (saveWholeFile(path, paramSet().toJson()) == SaveResult::Saved)
        return true;
    QMessageBox::critical(this, tr("错误"), tr("写入文件%1失败！").arg(path), QMessageBox::Ok);
    return false;
}

void TuningPanel::chooseImport()
{
    const QString path = QFileDialog::getOpenFileName(this, tr("导入调参文件"), QString(),
                                                      tr("调参文件(*.json)"));
    if (!path.isEmpty())
        importFile(path);
}

void TuningPanel::chooseExport()
{
    const QString path = QFileDialog::getSaveFileName(
            this, tr("导出调参文件"), QStringLiteral("params.json"), tr("调参文件(*.json)"));
    if (!path.isEmpty())
        exportFile(path);
}
