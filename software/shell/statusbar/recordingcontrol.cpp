#include "recordingcontrol.h"

#include "capturefile.h"
#include "exportdialogs.h"
#include "statusbarpanel.h"

#include <QDateTime>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QToolButton>

RecordingControl::RecordingControl(SerialConnection *connection, QWidget *parent)
    : QWidget(parent)
    , m_connection(connection)
    , m_button(new QToolButton)
    , m_progress(new QLabel)
{
    m_button->setObjectName(QStringLiteral("recordButton"));
    m_button->setText(tr("录制"));
    m_button->setCheckable(true);
    m_button->setAutoRaise(true);
    m_button->setFocusPolicy(Qt::NoFocus);
    m_button->setToolTip(tr("把收到的每个字节连同到达时间录制到文件"));
    m_progress->setObjectName(QStringLiteral("recordProgress"));
    m_progress->setMinimumWidth(
            fontMetrics().horizontalAdvance(QStringLiteral("00:00:00 999.9 MB")));
    m_progress->hide();

    StatusBarPanel::layOutSection(this, { m_button, m_progress });

    connect(m_button, &QToolButton::clicked, this, &RecordingControl::onClicked);
    connect(m_connection, &ByteSource::bytesReceived, &m_recorder, &Recorder::record);
    connect(m_connection, &SerialConnection::closed, this, &RecordingControl::end);
    connect(m_connection, &SerialConnection::stateChanged, this,
            &RecordingControl::updateAvailability);
    connect(&m_recorder, &Recorder::progressed, this, &RecordingControl::refresh);
    connect(&m_recorder, &Recorder::failed, this, &RecordingControl::onFailed);
    updateAvailability();
}

void RecordingControl::onClicked(bool checked)
{
    if (checked)
        begin();
    else
        end();
}

void RecordingControl::begin()
{
    const QString captureFilter = tr("录制文件 (*.cap)");
    const QString rawFilter = tr("原始数据 (*.bin)");
    QString filter = captureFilter;
    const QString fileName = QFileDialog::getSaveFileName(
            window(), tr("录制"),
            timestampedFileName(QStringLiteral("capture"), QStringLiteral("cap"),
                                QDateTime::currentDateTime()),
            captureFilter + QStringLiteral(";;") + rawFilter, &filter);
    // The port may have closed while the dialog was up.
    if (fileName.isEmpty() || !m_connection->isOpen()) {
        m_button->setChecked(false);
        return;
    }
    const bool raw = filter == rawFilter
            || QFileInfo(fileName).suffix().compare(QLatin1String("bin"), Qt::CaseInsensitive) == 0;
    const SaveResult result
            = m_recorder.start(fileName, raw ? Recorder::Format::Raw : Recorder::Format::Capture);
    if (result != SaveResult::Saved) {
        m_button->setChecked(false);
        showSaveError(window(), fileName, result);
        return;
    }
    m_button->setToolTip(tr("正在录制到%1，单击停止").arg(fileName));
    m_progress->show();
    refresh();
}

void RecordingControl::end()
{
    m_recorder.stop();
    m_button->setChecked(false);
    m_button->setToolTip(tr("把收到的每个字节连同到达时间录制到文件"));
    m_progress->hide();
}

void RecordingControl::onFailed(const QString &fileName)
{
    end();
    QMessageBox::critical(
            window(), tr("错误"),
            tr("写入文件%1失败！录制已停止，文件保留了此前录下的数据。").arg(fileName),
            QMessageBox::Ok);
}

void RecordingControl::updateAvailability()
{
    m_button->setEnabled(m_connection->isOpen() || m_recorder.isRecording());
}

void RecordingControl::refresh()
{
    if (m_recorder.isRecording())
        m_progress->setText(durationText(m_recorder.elapsedMs()) + QLatin1Char(' ')
                            + sizeText(m_recorder.size()));
}
