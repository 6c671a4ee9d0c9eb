#include "sendhistory.h"

namespace {

const QString kTextPrefix = QStringLiteral("text:");
const QString kHexPrefix = QStringLiteral("hex:");

} // namespace

void SendHistory::add(const Entry &entry)
{
    m_position = -1;
    if (entry.text.trimmed().isEmpty() || entry.text.size() > kMaxTextLength)
        return;
    m_entries.removeOne(entry);
    m_entries.prepend(entry);
    if (m_entries.size() > kLimit)
        m_entries.removeLast();
}

void SendHistory::clear()
{
    m_entries.clear();
    m_position = -1;
}

std::optional<SendHistory::Entry> SendHistory::older(const Entry &current)
{
    followEdits(current);
    if (m_position + 1 >= m_entries.size())
        return std::nullopt;
    if (m_position < 0)
        m_draft = current;
    return m_entries.at(++m_position);
}

std::optional<SendHistory::Entry> SendHistory::newer(const Entry &current)
{
    followEdits(current);
    if (m_position < 0)
        return std::nullopt;
    return --m_position < 0 ? m_draft : m_entries.at(m_position);
}

void SendHistory::followEdits(const Entry &current)
{
    if (m_position >= 0 && m_entries.at(m_position) != current)
        m_position = -1;
}

QStringList SendHistory::toStrings() const
{
    QStringList strings;
    for (const Entry &entry : m_entries)
        strings.append((entry.hex ? kHexPrefix : kTextPrefix) + entry.text);
    return strings;
}

void SendHistory::setStrings(const QStringList &strings)
{
    clear();
    // Oldest first, so that each add() puts the next newer one before it.
    for (auto it = strings.crbegin(); it != strings.crend(); ++it) {
        if (it->startsWith(kTextPrefix))
            add({ it->mid(kTextPrefix.size()), false });
        else if (it->startsWith(kHexPrefix))
            add({ it->mid(kHexPrefix.size()), true });
    }
}
