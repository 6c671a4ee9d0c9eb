#include "receivedisplay.h"

#include "receivehistory.h"
#include "textencoding.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

namespace {

// How far back a text render looks for the start of the first line.
constexpr qint64 kLineSearch = 4096;

} // namespace

ReceiveDisplay::ReceiveDisplay(QPlainTextEdit *edit, ReceiveHistory *history)
    : m_edit(edit)
    , m_history(history)
    , m_encoding(TextEncoding::local())
{ }

void ReceiveDisplay::setLimit(qint64 bytes)
{
    m_limit = qMax<qint64>(bytes, 1);
}

void ReceiveDisplay::append(const QByteArray &bytes, qint64 msecs)
{
    const QString text = m_renderer.append(bytes, msecs);
    // The cursor normally rests at the end already; moving it there anyway
    // would scroll the view twice per delivery.
    if (!m_edit->textCursor().atEnd())
        m_edit->moveCursor(QTextCursor::End);
    m_edit->insertPlainText(text);
    trim();
    if (m_history->spillFailed() && !m_headerTellsFailure)
        updateHeader();
}

void ReceiveDisplay::render(bool hex, const QString &encoding, bool timestamps)
{
    m_hex = hex;
    m_encoding = encoding;
    m_timestamps = timestamps;
    const qint64 start = renderStart(hex);
    m_renderer.reset(hex, encoding, timestamps, start);
    const QByteArray bytes = m_history->read(start);

    QString text;
    if (!timestamps) {
        text = m_renderer.append(bytes, 0);
    } else {
        // Delivery by delivery, each with its own time.
        const auto &arrivals = m_history->arrivals();
        auto next = std::upper_bound(
                arrivals.begin(), arrivals.end(), start,
                [](qint64 offset, const ReceiveHistory::Arrival &a) { return offset < a.offset; });
        qint64 msecs = next == arrivals.begin() ? 0 : std::prev(next)->msecs;
        qint64 from = start;
        const qint64 end = start + bytes.size();
        while (from < end) {
            const qint64 to = next == arrivals.end() ? end : qMin(end, next->offset);
            text += m_renderer.append(QByteArrayView(bytes).sliced(from - start, to - from), msecs);
            from = to;
            if (next != arrivals.end())
                msecs = (next++)->msecs;
        }
    }

    m_hasHeader = start > 0 || m_history->spillFailed();
    m_headerTellsFailure = m_history->spillFailed();
    if (m_hasHeader)
        text.prepend(headerText() + QLatin1Char('\n'));
    m_edit->clear();
    m_edit->setPlainText(text);
}

void ReceiveDisplay::clear()
{
    m_edit->clear();
    m_renderer.reset(m_hex, m_encoding, m_timestamps, 0);
    m_windowStart = 0;
    m_hasHeader = false;
    m_headerTellsFailure = false;
}

void ReceiveDisplay::trim()
{
    const auto &starts = m_renderer.paragraphStarts();
    const qint64 end = m_renderer.offset();
    // Trimmed in slices of half the limit: one edit removes many
    // paragraphs at once, and the document compacts its storage (a copy of
    // all it holds) after a trim only.
    if (end - starts.front() <= m_limit + m_limit / 2)
        return;
    // Keeps the paragraphs that hold the newest m_limit bytes at least.
    qsizetype drop = 0;
    while (drop + 1 < qsizetype(starts.size()) && end - starts[drop + 1] >= m_limit)
        ++drop;
    if (drop == 0)
        return;
    m_windowStart = starts[drop];

    QTextDocument *document = m_edit->document();
    const int firstData = m_hasHeader ? 1 : 0;
    QTextCursor cursor(document);
    cursor.setPosition(document->findBlockByNumber(firstData + int(drop)).position(),
                       QTextCursor::KeepAnchor);
    m_renderer.dropParagraphs(drop);
    m_hasHeader = true;
    m_headerTellsFailure = m_history->spillFailed();
    // The old header and the dropped paragraphs give way to the new header.
    cursor.insertText(headerText() + QLatin1Char('\n'));
    m_history->forgetArrivalsBefore(m_windowStart - kLineSearch - 16);
}

void ReceiveDisplay::updateHeader()
{
    QTextCursor cursor(m_edit->document());
    if (m_hasHeader)
        cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    m_headerTellsFailure = m_history->spillFailed();
    cursor.insertText(headerText() + (m_hasHeader ? QString() : QStringLiteral("\n")));
    m_hasHeader = true;
}

QString ReceiveDisplay::headerText() const
{
    QStringList notes;
    if (firstShown() > 0)
        notes << tr("（前面 %1 字节未显示，保存数据仍会全部写入）").arg(firstShown());
    if (m_headerTellsFailure)
        notes << tr("（临时文件写入失败，之后接收的数据全部留在内存中，不会丢失）");
    return notes.join(QLatin1Char(' '));
}

qint64 ReceiveDisplay::renderStart(bool hex)
{
    if (hex)
        return m_windowStart - m_windowStart % 16;
    if (m_windowStart == 0)
        return 0;
    // Text starts with a whole line: after the last line break before the
    // window, if there is one close by.
    const qint64 from = qMax<qint64>(0, m_windowStart - kLineSearch);
    const QByteArray before = m_history->read(from, m_windowStart - from + 1);
    for (qsizetype i = qMin<qsizetype>(m_windowStart - from, before.size()) - 1; i >= 0; --i) {
        const bool lineFeedNext = i + 1 < before.size() && before[i + 1] == '\n';
        if (before[i] == '\n' || (before[i] == '\r' && !lineFeedNext))
            return from + i + 1;
    }
    return m_windowStart;
}
