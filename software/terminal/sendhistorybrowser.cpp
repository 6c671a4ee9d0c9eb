#include "sendhistorybrowser.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPlainTextEdit>

namespace {

// Characters of an entry that its menu item shows.
constexpr int kItemLength = 40;

QString itemText(const SendHistory::Entry &entry)
{
    QString text = entry.text.simplified();
    if (text.size() > kItemLength)
        text = text.left(kItemLength - 1) + QChar(0x2026);
    if (entry.hex)
        text += SendHistoryBrowser::tr("  (十六进制)");
    // A lone & would mark a shortcut.
    return text.replace(QLatin1Char('&'), QLatin1String("&&"));
}

} // namespace

SendHistoryBrowser::SendHistoryBrowser(QPlainTextEdit *editor,
                                       std::function<SendHistory::Entry()> current,
                                       std::function<void(const SendHistory::Entry &)> show)
    : QObject(editor)
    , m_editor(editor)
    , m_current(std::move(current))
    , m_show(std::move(show))
{
    editor->installEventFilter(this);
    editor->viewport()->installEventFilter(this);
}

void SendHistoryBrowser::addActions(QMenu *menu)
{
    QMenu *recent = menu->addMenu(tr("发送历史"));
    recent->setEnabled(!m_history.entries().isEmpty());
    for (const SendHistory::Entry &entry : m_history.entries()) {
        QAction *action = recent->addAction(itemText(entry));
        action->setToolTip(entry.text);
        connect(action, &QAction::triggered, this, [this, entry] { m_show(entry); });
    }
    recent->addSeparator();
    recent->addAction(tr("清空发送历史"), this, [this] { m_history.clear(); });
}

bool SendHistoryBrowser::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_editor && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if ((key->modifiers() & ~Qt::KeypadModifier) != Qt::ControlModifier
            || (key->key() != Qt::Key_Up && key->key() != Qt::Key_Down))
            return false;
        const SendHistory::Entry current = m_current();
        const auto entry
                = key->key() == Qt::Key_Up ? m_history.older(current) : m_history.newer(current);
        if (entry)
            m_show(*entry);
        return true;
    }
    if (event->type() == QEvent::ContextMenu) {
        // From the mouse over the text, or from the keyboard to the editor.
        const auto *request = static_cast<QContextMenuEvent *>(event);
        QMenu *menu = watched == m_editor ? m_editor->createStandardContextMenu()
                                          : m_editor->createStandardContextMenu(request->pos());
        menu->addSeparator();
        addActions(menu);
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(request->globalPos());
        return true;
    }
    return false;
}
