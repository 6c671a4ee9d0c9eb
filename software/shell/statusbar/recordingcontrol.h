#ifndef RECORDINGCONTROL_H
#define RECORDINGCONTROL_H

#include "recorder.h"
#include "serialconnection.h"

#include <QWidget>

class QLabel;
class QToolButton;

// The status bar's 录制: while a port is open, a click asks for a file and
// records every byte received into it, as a capture or as plain bytes; the
// elapsed time and the file's size show beside it. A second click, the port
// closing or a failed write end the recording.
class RecordingControl : public QWidget
{
    Q_OBJECT

public:
    explicit RecordingControl(SerialConnection *connection, QWidget *parent = nullptr);

    Recorder *recorder() { return &m_recorder; }

private:
    void onClicked(bool checked);
    void begin();
    void end();
    void onFailed(const QString &fileName);
    void updateAvailability();
    void refresh();

    SerialConnection *m_connection;
    Recorder m_recorder;
    QToolButton *m_button;
    QLabel *m_progress;
};

#endif // RECORDINGCONTROL_H
