#ifndef SENDHISTORYBROWSER_H
#define SENDHISTORYBROWSER_H

#include "sendhistory.h"

#include <QObject>

#include <functional>

class QMenu;
class QPlainTextEdit;

// Calls earlier sends back into the send editor: Ctrl+Up and Ctrl+Down step
// through them, and the editor's context menu lists them.
class SendHistoryBrowser : public QObject
{
    Q_OBJECT

public:
    // current reads what the editor holds and how it would be sent; show puts
    // an entry there.
    SendHistoryBrowser(QPlainTextEdit *editor, std::function<SendHistory::Entry()> current,
                       std::function<void(const SendHistory::Entry &)> show);

    SendHistory &history() { return m_history; }
    const SendHistory &history() const { return m_history; }

    // The history's part of the editor's context menu.
    void addActions(QMenu *menu);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPlainTextEdit *m_editor;
    std::function<SendHistory::Entry()> m_current;
    std::function<void(const SendHistory::Entry &)> m_show;
    SendHistory m_history;
};

#endif // SENDHISTORYBROWSER_H
