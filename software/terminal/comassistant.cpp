#include "comassistant.h"
#include "ui_comassistant.h"

#include "bytelink.h"
#include "byteutils.h"
#include "filesaving.h"
#include "portslotlink.h"
#include "receivedisplay.h"
#include "repeatsender.h"
#include "sendhistory.h"
#include "sendhistorybrowser.h"
#include "textencoding.h"

#include <QDateTime>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>
#include <QSaveFile>

namespace {

// Most bytes one send writes to the port.
constexpr qsizetype kSendLimit = 4096;
// Largest file loaded into the send editor: its hexadecimal text is three
// times as large, and far more than one send could ever use.
constexpr qint64 kLoadLimit = 1024 * 1024;

const QString kDisplay = QStringLiteral("display");
const QString kSend = QStringLiteral("send");
const QString kEncoding = QStringLiteral("encoding");
const QString kTimestamps = QStringLiteral("timestamps");
const QString kLineEnding = QStringLiteral("lineEnding");
const QString kRepeatPeriod = QStringLiteral("repeatPeriod");
const QString kHistory = QStringLiteral("history");
// The modes of the display and of the editor, as the settings name them.
const QStringList kModes = { QStringLiteral("text"), QStringLiteral("hex") };
// "text:" or "hex:" before the editor's content.
constexpr int kHistoryPrefixLength = 5;

} // namespace

ComAssistant::ComAssistant(QWidget *parent, QSerialPort *const *port)
    : ComAssistant(parent, *new PortSlotLink(port))
{
    m_link->setParent(this);
}

ComAssistant::ComAssistant(QWidget *parent, ByteLink &link)
    : QWidget(parent)
    , ui(new Ui::ComAssistant)
    , m_link(&link)
    , m_saveShownAction(new QAction(tr("保存显示内容"), this))
    , m_repeat(new RepeatSender(&link, this))
    , m_history(nullptr)
    , m_reportingFailure(false)
{
    ui->setupUi(this);
    for (QPlainTextEdit *edit : { ui->DataGetted, ui->DataSend }) {
        edit->setWordWrapMode(QTextOption::WrapAnywhere);
        edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    }
    ui->DataGetted->setReadOnly(true);
    // Nobody undoes received data; an undo history would double its memory
    // and slow every delivery.
    ui->DataGetted->setUndoRedoEnabled(false);

    m_display = std::make_unique<ReceiveDisplay>(ui->DataGetted, &m_received);
    // Each item keeps the encoding's name; the system's own shows translated.
    for (const QString &name : TextEncoding::available())
        ui->EncodingList->addItem(name == TextEncoding::local() ? tr("本地") : name, name);
    connect(ui->EncodingList, &QComboBox::currentIndexChanged, this, [this] {
        if (!hexDisplay())
            rerender();
    });
    connect(ui->TimestampBnt, &QCheckBox::toggled, this, &ComAssistant::rerender);
    m_saveShownAction->setObjectName(QStringLiteral("saveShownAction"));
    connect(m_saveShownAction, &QAction::triggered, this, &ComAssistant::saveShownText);
    ui->DataGetted->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ui->DataGetted, &QWidget::customContextMenuRequested, this,
            &ComAssistant::showReceiveMenu);
    m_history = new SendHistoryBrowser(
            ui->DataSend,
            [this] {
                return SendHistory::Entry { ui->DataSend->toPlainText(), hexSend() };
            },
            [this](const SendHistory::Entry &entry) {
                setHexSend(entry.hex);
                ui->DataSend->setPlainText(entry.text);
                ui->DataSend->moveCursor(QTextCursor::End);
            });
    connect(ui->DataSend, &QPlainTextEdit::textChanged, this, [this] { m_hexBytes.reset(); });
    connect(ui->repeatSendBox, &QCheckBox::toggled, this, &ComAssistant::setRepeating);
    connect(ui->repeatPeriodBox, &QSpinBox::valueChanged, m_repeat, &RepeatSender::setPeriod);
    connect(m_repeat, &RepeatSender::due, this, [this] {
        if (!sendEditor(true))
            m_repeat->stop();
    });
    connect(m_link, &ByteLink::writeFailed, this, &ComAssistant::reportSendFailure);
    connect(m_repeat, &RepeatSender::stopped, ui->repeatSendBox,
            [this] { ui->repeatSendBox->setChecked(false); });
}

ComAssistant::~ComAssistant()
{
    delete ui;
}

void ComAssistant::handleData(QByteArray &buffer)
{
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    m_received.append(buffer, now);
    m_display->append(buffer, now);
    buffer.clear();
}

QString ComAssistant::settingsGroup() const
{
    return QStringLiteral("terminal");
}

void ComAssistant::saveSettings(SettingsGroup &group) const
{
    group.write(kDisplay, kModes.at(hexDisplay() ? 1 : 0));
    group.write(kSend, kModes.at(hexSend() ? 1 : 0));
    group.write(kEncoding, textEncoding());
    group.write(kTimestamps, timestamps());
    group.write(kLineEnding, lineEndingNames().at(int(lineEnding())));
    group.write(kRepeatPeriod, ui->repeatPeriodBox->value());
    group.write(kHistory, sendHistory());
}

void ComAssistant::restoreSettings(const SettingsGroup &group)
{
    if (const auto mode = group.readChoice(kDisplay, kModes))
        setHexDisplay(*mode == 1);
    if (const auto mode = group.readChoice(kSend, kModes))
        setHexSend(*mode == 1);
    const QStringList encodings = TextEncoding::available();
    if (const auto index = group.readChoice(kEncoding, encodings))
        setTextEncoding(encodings.at(*index));
    if (const auto on = group.readBool(kTimestamps))
        ui->TimestampBnt->setChecked(*on);
    if (const auto ending = group.readChoice(kLineEnding, lineEndingNames()))
        setLineEnding(LineEnding(*ending));
    if (const auto period
        = group.readInt(kRepeatPeriod, RepeatSender::kMinPeriodMs, RepeatSender::kMaxPeriodMs))
        setRepeatPeriod(*period);
    if (const auto history = group.readTextList(kHistory, SendHistory::kLimit,
                                                SendHistory::kMaxTextLength + kHistoryPrefixLength))
        m_history->history().setStrings(*history);
}

void ComAssistant::reportSendFailure()
{
    m_repeat->stop();
    if (m_reportingFailure)
        return;
    m_reportingFailure = true;
    QMessageBox::critical(this, tr("错误"), tr("数据发送失败！\n请检查串口连接。"),
                          QMessageBox::Ok);
    m_reportingFailure = false;
}

bool ComAssistant::hexDisplay() const
{
    return ui->GettedHexBnt->isChecked();
}

void ComAssistant::setHexDisplay(bool hex)
{
    if (hex == hexDisplay())
        return;
    if (hex) {
        ui->GettedHexBnt->setChecked(true);
        on_GettedHexBnt_clicked();
    } else {
        ui->GettedTextBnt->setChecked(true);
        on_GettedTextBnt_clicked();
    }
}

bool ComAssistant::hexSend() const
{
    return ui->SendHexBnt->isChecked();
}

void ComAssistant::setHexSend(bool hex)
{
    (hex ? ui->SendHexBnt : ui->SendTextBnt)->setChecked(true);
}

QString ComAssistant::textEncoding() const
{
    return ui->EncodingList->currentData().toString();
}

void ComAssistant::setTextEncoding(const QString &name)
{
    const int index = ui->EncodingList->findData(name);
    if (index >= 0)
        ui->EncodingList->setCurrentIndex(index);
}

bool ComAssistant::timestamps() const
{
    return ui->TimestampBnt->isChecked();
}

void ComAssistant::setReceiveLimits(qsizetype memoryBytes, qint64 displayBytes)
{
    m_received.setMemoryLimit(memoryBytes);
    m_display->setLimit(displayBytes);
}

LineEnding ComAssistant::lineEnding() const
{
    return LineEnding(ui->lineEndingList->currentIndex());
}

void ComAssistant::setLineEnding(LineEnding ending)
{
    ui->lineEndingList->setCurrentIndex(int(ending));
}

void ComAssistant::setRepeatPeriod(int ms)
{
    ui->repeatPeriodBox->setValue(ms);
}

QStringList ComAssistant::sendHistory() const
{
    return m_history->history().toStrings();
}

void ComAssistant::on_GettedTextBnt_clicked()
{
    rerender();
}

void ComAssistant::on_GettedHexBnt_clicked()
{
    rerender();
}

void ComAssistant::on_CleanDataGettedBnt_clicked()
{
    m_received.clear();
    m_display->clear();
}

void ComAssistant::on_CleanDataSendBnt_clicked()
{
    ui->DataSend->clear();
}

void ComAssistant::on_SendBnt_clicked()
{
    if (sendEditor(false))
        m_history->history().add({ ui->DataSend->toPlainText(), hexSend() });
}

bool ComAssistant::sendEditor(bool quietly)
{
    if (!m_link->isOpen()) {
        if (!quietly)
            QMessageBox::information(this, tr("提示"), tr("请先打开串口。"), QMessageBox::Ok);
        return false;
    }

    QByteArray data;
    if (ui->SendHexBnt->isChecked()) {
        if (!m_hexBytes) {
            QByteArray bytes;
            if (hexTextToBytes(ui->DataSend->toPlainText(), bytes))
                m_hexBytes = bytes;
        }
        if (m_hexBytes) {
            data = *m_hexBytes;
        } else {
            // Also during a repeated send: the clock stops first, so the box
            // comes once.
            m_repeat->stop();
            QMessageBox::critical(this, tr("错误"),
                                  tr("不是有效的十六进制表示格式！\n"
                                     "请使用0-9和A-F表示，并用空格隔开每个字节。\n"
                                     "如： FA 29 AA BB 3B"),
                                  QMessageBox::Ok);
            return false;
        }
    } else if (ui->SendTextBnt->isChecked()) {
        data = TextEncoding::encode(textEncoding(), ui->DataSend->toPlainText());
        if (!data.isEmpty())
            data += lineEndingBytes(lineEnding());
    }
    if (data.isEmpty())
        return true;

    // The ending counts: what goes out is the first 4096 bytes of it all.
    if (data.size() > kSendLimit) {
        if (!quietly)
            QMessageBox::critical(this, tr("警告"), tr("发送数据大于4096字节，多余部分不能发送！"),
                                  QMessageBox::Ok);
        data.truncate(kSendLimit);
    }
    // Asked again: while the warning was shown, the link may have been
    // closed or lost.
    if (!m_link->isOpen())
        return false;
    if (!m_link->write(data)) {
        reportSendFailure();
        return false;
    }
    return true;
}

void ComAssistant::on_SaveDataGettedBnt_clicked()
{
    QString filter;
    if (ui->GettedTextBnt->isChecked())
        filter = tr("文本文件(*.txt)");
    else if (!ui->GettedHexBnt->isChecked())
        return;

    const QString fileName = QFileDialog::getSaveFileName(this, QString(), QString(), filter);
    if (fileName.isEmpty())
        return;

    // Written beside the chosen file and put in its place only when complete,
    // so that a full disk leaves an earlier file as it was.
    QSaveFile file(fileName);
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly)) {
        showOpenError(fileName);
        return;
    }
    // The raw bytes as received, whatever the display shows. Flushed first:
    // commit() does not notice a failed final flush in every Qt 6 version.
    if (!m_received.writeTo(file) || !file.flush() || !file.commit())
        showWriteError(fileName);
}

void ComAssistant::on_OpenDataBnt_clicked()
{
    const QString fileName = QFileDialog::getOpenFileName(this, QString(), QString(), QString());
    if (fileName.isEmpty())
        return;

    // Only a plain file: opening a named pipe waits for a writer, and a
    // device such as /dev/zero never ends.
    const QFileInfo info(fileName);
    if (info.exists() && !info.isFile()) {
        QMessageBox::critical(this, tr("错误"), tr("%1不是普通文件，不能打开！").arg(fileName),
                              QMessageBox::Ok);
        return;
    }
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        showOpenError(fileName);
        return;
    }
    // The size is checked again on what was read: a file may grow meanwhile
    // (a log being written), and some report no size at all.
    const bool tooLarge = file.size() > kLoadLimit;
    const QByteArray bytes = tooLarge ? QByteArray() : file.read(kLoadLimit + 1);
    if (tooLarge || bytes.size() > kLoadLimit) {
        QMessageBox::critical(this, tr("错误"), tr("文件大于1MB，不能打开！"), QMessageBox::Ok);
        return;
    }

    // The suffix is what follows the last dot, or the whole name without one;
    // only a lower-case "txt" is loaded as text.
    const QString suffix = fileName.mid(fileName.lastIndexOf(QLatin1Char('.')) + 1);
    QString text;
    if (suffix == QLatin1String("txt")) {
        ui->SendTextBnt->setChecked(true);
        text = TextEncoding::decoder(textEncoding()).decode(bytes);
        text.remove(QChar(u'\0'));
    } else {
        ui->SendHexBnt->setChecked(true);
        bytesToHexText(bytes, text, 0);
    }
    ui->DataSend->setPlainText(text);
}

void ComAssistant::setRepeating(bool on)
{
    if (!on) {
        m_repeat->stop();
        return;
    }
    if (m_repeat->isActive())
        return;
    // The first send at once, with the boxes of 发送, which a repeated send
    // does not show again.
    if (!sendEditor(false)) {
        ui->repeatSendBox->setChecked(false);
        return;
    }
    m_history->history().add({ ui->DataSend->toPlainText(), hexSend() });
    m_repeat->start();
    if (!m_repeat->isActive())
        ui->repeatSendBox->setChecked(false);
}

void ComAssistant::rerender()
{
    m_display->render(hexDisplay(), textEncoding(), timestamps());
}

void ComAssistant::saveShownText()
{
    const QString fileName
            = QFileDialog::getSaveFileName(this, QString(), QString(), tr("文本文件(*.txt)"));
    if (fileName.isEmpty())
        return;
    const QByteArray bytes = TextEncoding::encode(textEncoding(), ui->DataGetted->toPlainText());
    switch (saveWholeFile(fileName, bytes)) {
    case SaveResult::Saved:
        break;
    case SaveResult::OpenFailed:
        showOpenError(fileName);
        break;
    case SaveResult::WriteFailed:
        showWriteError(fileName);
        break;
    }
}

void ComAssistant::showReceiveMenu(const QPoint &pos)
{
    std::unique_ptr<QMenu> menu(ui->DataGetted->createStandardContextMenu(pos));
    menu->addSeparator();
    menu->addAction(m_saveShownAction);
    menu->exec(ui->DataGetted->viewport()->mapToGlobal(pos));
}

void ComAssistant::showOpenError(const QString &fileName)
{
    QMessageBox::critical(this, tr("错误"),
                          tr("无法打开文件%1，是否被其他程序占用？").arg(fileName),
                          QMessageBox::Ok);
}

void ComAssistant::showWriteError(const QString &fileName)
{
    QMessageBox::critical(this, tr("错误"), tr("写入文件%1失败！").arg(fileName), QMessageBox::Ok);
}
