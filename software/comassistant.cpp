#include "comassistant.h"
#include "ui_comassistant.h"

#include "byteutils.h"
#include "repeatsender.h"
#include "sendhistorybrowser.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QSaveFile>
#include <QSerialPort>

namespace {

// Most bytes one send writes to the port.
constexpr qsizetype kSendLimit = 4096;
// Largest file loaded into the send editor: its hexadecimal text is three
// times as large, and far more than one send could ever use.
constexpr qint64 kLoadLimit = 1024 * 1024;

// A text document pays for every paragraph it holds, and the hexadecimal
// display has a line every 16 bytes. Line breaks are therefore shown as line
// separators, with a real paragraph break after every kLinesPerParagraph
// lines: the display and its plain text look the same, at a fraction of the
// cost per line.
constexpr int kLinesPerParagraph = 16;

// Rewrites the line breaks of text (CR LF, CR, LF or a paragraph separator,
// each as the document would take it) as described above. linesInParagraph
// counts the breaks already in the display's last paragraph.
QString groupLines(const QString &text, int &linesInParagraph)
{
    QString out(text.size(), Qt::Uninitialized);
    QChar *dst = out.data();
    const QChar *src = text.constData();
    const QChar *end = src + text.size();
    for (; src != end; ++src) {
        const char16_t c = src->unicode();
        if (c != u'\n' && c != u'\r' && c != QChar::ParagraphSeparator
            && c != QChar::LineSeparator) {
            *dst++ = *src;
            continue;
        }
        if (c == u'\r' && src + 1 != end && src[1] == u'\n')
            ++src;
        if (++linesInParagraph < kLinesPerParagraph) {
            *dst++ = QChar(QChar::LineSeparator);
        } else {
            *dst++ = QLatin1Char('\n');
            linesInParagraph = 0;
        }
    }
    out.truncate(dst - out.constData());
    return out;
}

} // namespace

ComAssistant::ComAssistant(QWidget *parent, QSerialPort *const *port)
    : QWidget(parent)
    , ui(new Ui::ComAssistant)
    , m_port(port)
    , m_decoder(QStringDecoder::System)
    , m_linesInParagraph(0)
    , m_repeat(new RepeatSender(this))
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
    connect(m_repeat, &RepeatSender::failed, this, &ComAssistant::reportSendFailure);
    connect(m_repeat, &RepeatSender::stopped, ui->repeatSendBox,
            [this] { ui->repeatSendBox->setChecked(false); });
}

ComAssistant::~ComAssistant()
{
    delete ui;
}

void ComAssistant::handleData(QByteArray &buffer)
{
    QString text;
    if (ui->GettedTextBnt->isChecked())
        text = decodeText(buffer);
    else
        bytesToHexText(buffer, text, int(m_received.size()));

    // The cursor normally rests at the end already; moving it there anyway
    // would scroll the view twice per delivery.
    if (!ui->DataGetted->textCursor().atEnd())
        ui->DataGetted->moveCursor(QTextCursor::End);
    ui->DataGetted->insertPlainText(groupLines(text, m_linesInParagraph));

    m_received.append(buffer);
    buffer.clear();
}

void ComAssistant::reportSendFailure()
{
    m_repeat->stop();
    if (m_reportingFailure)
        return;
    m_reportingFailure = true;
    QMessageBox::critical(this, QStringLiteral("错误"),
                          QStringLiteral("数据发送失败！\n请检查串口连接。"), QMessageBox::Ok);
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

LineEnding ComAssistant::lineEnding() const
{
    return LineEnding(ui->lineEndingList->currentIndex());
}

void ComAssistant::setLineEnding(LineEnding ending)
{
    ui->lineEndingList->setCurrentIndex(int(ending));
}

int ComAssistant::repeatPeriod() const
{
    return ui->repeatPeriodBox->value();
}

void ComAssistant::setRepeatPeriod(int ms)
{
    ui->repeatPeriodBox->setValue(ms);
}

QStringList ComAssistant::sendHistory() const
{
    return m_history->history().toStrings();
}

void ComAssistant::setSendHistory(const QStringList &entries)
{
    m_history->history().setStrings(entries);
}

void ComAssistant::on_GettedTextBnt_clicked()
{
    m_decoder.resetState();
    showWhole(decodeText(m_received));
}

void ComAssistant::on_GettedHexBnt_clicked()
{
    QString text;
    bytesToHexText(m_received, text, 0);
    showWhole(text);
}

void ComAssistant::on_CleanDataGettedBnt_clicked()
{
    m_received.clear();
    m_decoder.resetState();
    ui->DataGetted->clear();
    m_linesInParagraph = 0;
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
    QSerialPort *port = *m_port;
    if (!port || !port->isOpen()) {
        if (!quietly)
            QMessageBox::information(this, QStringLiteral("提示"), QStringLiteral("请先打开串口。"),
                                     QMessageBox::Ok);
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
            QMessageBox::critical(this, QStringLiteral("错误"),
                                  QStringLiteral("不是有效的十六进制表示格式！\n"
                                                 "请使用0-9和A-F表示，并用空格隔开每个字节。\n"
                                                 "如： FA 29 AA BB 3B"),
                                  QMessageBox::Ok);
            return false;
        }
    } else if (ui->SendTextBnt->isChecked()) {
        data = ui->DataSend->toPlainText().toLocal8Bit();
        if (!data.isEmpty())
            data += lineEndingBytes(lineEnding());
    }
    if (data.isEmpty())
        return true;

    // The ending counts: what goes out is the first 4096 bytes of it all.
    if (data.size() > kSendLimit) {
        if (!quietly)
            QMessageBox::critical(this, QStringLiteral("警告"),
                                  QStringLiteral("发送数据大于4096字节，多余部分不能发送！"),
                                  QMessageBox::Ok);
        data.truncate(kSendLimit);
    }
    // Read the port only now: while the warning was shown, the port may have
    // been closed or lost.
    port = *m_port;
    if (!port || !port->isOpen())
        return false;
    if (port->write(data) != data.size()) {
        reportSendFailure();
        return false;
    }
    return true;
}

void ComAssistant::on_SaveDataGettedBnt_clicked()
{
    QString filter;
    if (ui->GettedTextBnt->isChecked())
        filter = QStringLiteral("文本文件(*.txt)");
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
    if (file.write(m_received) != m_received.size() || !file.flush() || !file.commit())
        QMessageBox::critical(this, QStringLiteral("错误"),
                              QStringLiteral("写入文件") + fileName + QStringLiteral("失败！"),
                              QMessageBox::Ok);
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
        QMessageBox::critical(this, QStringLiteral("错误"),
                              fileName + QStringLiteral("不是普通文件，不能打开！"),
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
        QMessageBox::critical(this, QStringLiteral("错误"),
                              QStringLiteral("文件大于1MB，不能打开！"), QMessageBox::Ok);
        return;
    }

    // The suffix is what follows the last dot, or the whole name without one;
    // only a lower-case "txt" is loaded as text.
    const QString suffix = fileName.mid(fileName.lastIndexOf(QLatin1Char('.')) + 1);
    QString text;
    if (suffix == QLatin1String("txt")) {
        ui->SendTextBnt->setChecked(true);
        bytesToText(bytes, text);
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
    m_repeat->start(*m_port);
    if (!m_repeat->isActive())
        ui->repeatSendBox->setChecked(false);
}

void ComAssistant::showWhole(const QString &text)
{
    ui->DataGetted->clear();
    m_linesInParagraph = 0;
    ui->DataGetted->setPlainText(groupLines(text, m_linesInParagraph));
}

QString ComAssistant::decodeText(const QByteArray &bytes)
{
    QString text = m_decoder.decode(bytes);
    text.remove(QChar(u'\0'));
    return text;
}

void ComAssistant::showOpenError(const QString &fileName)
{
    QMessageBox::critical(this, QStringLiteral("错误"),
                          QStringLiteral("无法打开文件") + fileName
                                  + QStringLiteral("，是否被其他程序占用？"),
                          QMessageBox::Ok);
}
