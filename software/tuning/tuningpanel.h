#ifndef TUNINGPANEL_H
#define TUNINGPANEL_H

#include "paramset.h"

#include <QList>
#include <QWidget>

class ByteLink;
class ParamControlView;
class QAbstractButton;

namespace Ui {
class TuningPanel;
}

// The tuning panel's contents: a set of named controls, each sending its
// command when it is moved or clicked, and the quick commands, each a button
// with an optional shortcut and an optional repeat. Everything goes out
// through the link, as the terminal's sends do, and nothing while a replay
// plays. It never opens a box for a send that cannot go out: it says so
// once, through message(), until the link opens again.
class TuningPanel : public QWidget
{
    Q_OBJECT

public:
    // link must outlive the panel.
    explicit TuningPanel(ByteLink &link, QWidget *parent = nullptr);
    ~TuningPanel() override;

    // The set with the values its controls show now.
    ParamSet paramSet() const;
    void setParamSet(const ParamSet &set);

    // The views of the controls and the buttons of the quick commands, in order.
    const QList<ParamControlView *> &controlViews() const { return m_views; }
    const QList<QAbstractButton *> &commandButtons() const { return m_commandButtons; }

    // Reads the set of a file in place of the panel's. A file that cannot be
    // read, or holds no valid set, leaves the panel as it was and is named
    // in one box.
    bool importFile(const QString &path);
    bool exportFile(const QString &path);

    void setReplaying(bool replaying);

signals:
    // A line for the status bar.
    void message(const QString &text);
    // The user asked to edit the set.
    void editRequested();
    // The set changed by an import, so that it is remembered.
    void setChanged();

private:
    void send(const QByteArray &bytes);
    void buildCommands();
    void chooseImport();
    void chooseExport();
    void stopRepeats();

    Ui::TuningPanel *ui;
    ByteLink &m_link;
    ParamSet m_set;
    QList<ParamControlView *> m_views;
    QList<QAbstractButton *> m_commandButtons;
    bool m_replaying = false;
    // Said that a send could not go out; quiet until the link opens again.
    bool m_toldNotSent = false;
};

#endif // TUNINGPANEL_H
