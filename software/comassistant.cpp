#include "comassistant.h"
#include "ui_comassistant.h"

#include "byteutils.h"

#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QSerialPort>

namespace {

// Most bytes one send writes to the port.
constexpr qsizetype kSendLimit = 4096;
// Largest file loaded into the send editor: its hexadecimal text is three
// times as large, and far more than one send could ever use.
constexpr qint64 kLoadLimit = 1024 * 1024;

} // namespace

ComAssistant::ComAssistant(QWidget *parent, QSerialPort *const *port)
    : QWidget(parent)
    , ui(new Ui::ComAssistant)
    , m_port(port)
    , m_decoder(QStringDecoder::System)
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

    ui->DataGetted->moveCursor(QTextCursor::End);
    ui->DataGetted->insertPlainText(text);

    m_received.append(buffer);
    buffer.clear();
}

void ComAssistant::reportSendFailure()
{
    QMessageBox::critical(this, QStringLiteral("错误"),
                          QStringLiteral("数据发送失败！\n请检查串口连接。"), QMessageBox::Ok);
}

void ComAssistant::on_GettedTextBnt_clicked()
{
    ui->DataGetted->clear();
    m_decoder.resetState();
    ui->DataGetted->setPlainText(decodeText(m_received));
}

void ComAssistant::on_GettedHexBnt_clicked()
{
    ui->DataGetted->clear();
    QString text;
    bytesToHexText(m_received, text, 0);
    ui->DataGetted->setPlainText(text);
}

void ComAssistant::on_CleanDataGettedBnt_clicked()
{
    m_received.clear();
    m_decoder.resetState();
    ui->DataGetted->clear();
}

void ComAssistant::on_CleanDataSendBnt_clicked()
{
    ui->DataSend->clear();
}

void ComAssistant::on_SendBnt_clicked()
{
    QSerialPort *port = *m_port;
    if (!port || !port->isOpen()) {
        QMessageBox::information(this, QStringLiteral("提示"), QStringLiteral("请先打开串口。"),
                                 QMessageBox::Ok);
        return;
    }

    QByteArray data;
    if (ui->SendHexBnt->isChecked()) {
        if (!hexTextToBytes(ui->DataSend->toPlainText(), data)) {
            QMessageBox::critical(this, QStringLiteral("错误"),
                                  QStringLiteral("不是有效的十六进制表示格式！\n"
                                                 "请使用0-9和A-F表示，并用空格隔开每个字节。\n"
                                                 "如： FA 29 AA BB 3B"),
                                  QMessageBox::Ok);
            return;
        }
    } else if (ui->SendTextBnt->isChecked()) {
        data = ui->DataSend->toPlainText().toLocal8Bit();
    }
    if (data.isEmpty())
        return;

    if (data.size() > kSendLimit) {
        QMessageBox::critical(this, QStringLiteral("警告"),
                              QStringLiteral("发送数据大于4096字节，多余部分不能发送！"),
                              QMessageBox::Ok);
        data.truncate(kSendLimit);
    }
    // Read the port only now: while the warning was shown, the port may have
    // been closed or lost.
    port = *m_port;
    if (!port || !port->isOpen())
        return;
    if (port->write(data) != data.size())
        reportSendFailure();
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

    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        showOpenError(fileName);
        return;
    }
    // The raw bytes as received, whatever the display shows.
    if (file.write(m_received) != m_received.size() || !file.flush())
        QMessageBox::critical(this, QStringLiteral("错误"),
                              QStringLiteral("写入文件") + fileName + QStringLiteral("失败！"),
                              QMessageBox::Ok);
}

void ComAssistant::on_OpenDataBnt_clicked()
{
    const QString fileName = QFileDialog::getOpenFileName(this, QString(), QString(), QString());
    if (fileName.isEmpty())
        return;

    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        showOpenError(fileName);
        return;
    }
    if (file.size() > kLoadLimit) {
        QMessageBox::critical(this, QStringLiteral("错误"),
                              QStringLiteral("文件大于1MB，不能打开！"), QMessageBox::Ok);
        return;
    }
    const QByteArray bytes = file.readAll();

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
